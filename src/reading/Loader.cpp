// Taking a record file apart: header into the parameter text, body into the .lbk side file,
// audio trailer into the .lao side file.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GiboFile.h"
#include "framework/FileFailure.h"
#include "framework/FileSystem.h"
#include "framework/Gbk.h"
#include "framework/LineReader.h"
#include "framework/Paths.h"
#include "reading/Number.h"

namespace {

const char kCrLf[] = "\r\n";

// Removes blanks at both ends of a body line. A blank is never the second byte of a character.
void TrimBlanks(const char*& p, size_t& n) {
    while (n > 0 && p[0] == ' ') {
        ++p;
        --n;
    }
    while (n > 0 && p[n - 1] == ' ') {
        --n;
    }
}

// Where the marker (a backslash and two letters) begins in the line, or kNpos. Most lines hold
// no backslash at all, and saying so takes one memchr.
size_t FindMarker(const char* p, size_t n, const char* pszMarker) {
    if (!std::memchr(p, '\\', n)) {
        return gibo::kNpos;
    }
    return gibo::GbkFind(p, n, pszMarker, 3);
}

// Appends a header line and CR LF to the parameter text, growing it geometrically.
bool AppendHeaderLine(CString& strHeader, const char* p, size_t n) {
    const size_t old = static_cast<size_t>(strHeader.GetLength());
    if (n > static_cast<size_t>(INT_MAX) - 2 - old) {
        return false;  // more than a CString holds
    }
    const int total = static_cast<int>(old + n + 2);
    char* out = strHeader.GetBuffer(total);
    std::memcpy(out + old, p, n);
    std::memcpy(out + old + n, kCrLf, 2);
    strHeader.ReleaseBuffer(total);
    return true;
}

// Body lines, each followed by CR LF, gathered in a fixed piece and handed to the file a piece
// at a time: a write call per line would cost more than the line itself. A text longer than the
// piece goes to the file directly.
class BodyWriter {
public:
    explicit BodyWriter(int fd) : m_fd(fd), m_piece(gibo::kCopyPiece) {}
    bool Line(const char* pData, size_t nCount) {
        if (nCount + 2 > m_piece.size() - m_used) {
            return Text(pData, nCount) && Text(kCrLf, 2);
        }
        char* out = m_piece.data() + m_used;
        std::memcpy(out, pData, nCount);
        out[nCount] = '\r';
        out[nCount + 1] = '\n';
        m_used += nCount + 2;
        return true;
    }
    // Bytes of a line that is handed over in parts.
    bool Text(const char* pData, size_t nCount) {
        if (nCount > m_piece.size() - m_used) {
            if (!Flush()) {
                return false;
            }
            if (nCount > m_piece.size()) {
                return Put(pData, nCount);
            }
        }
        std::memcpy(m_piece.data() + m_used, pData, nCount);
        m_used += nCount;
        return true;
    }
    bool Flush() {
        const bool ok = Put(m_piece.data(), m_used);
        m_used = 0;
        return ok;
    }
    int64_t Size() const { return m_written + static_cast<int64_t>(m_used); }
    // Writes from an earlier size on again.
    bool Rewind(int64_t nSize) {
        int64_t at = 0;
        if (Flush()) {
            m_failure = gibo::SeekFd(m_fd, nSize, SEEK_SET, at);
        }
        m_written = nSize;
        return m_failure == 0;
    }
    gibo::Status Failure() const { return m_failure; }

private:
    bool Put(const void* pData, size_t nCount) {
        if (m_failure == 0 && nCount > 0) {
            m_failure = gibo::WriteAll(m_fd, pData, nCount);
            m_written += static_cast<int64_t>(nCount);
        }
        return m_failure == 0;
    }

    int m_fd;
    gibo::Status m_failure = 0;
    std::vector<char> m_piece;
    size_t m_used = 0;
    int64_t m_written = 0;
};

// Finds a text of single-byte characters (a marker, "STO", "GE") in bytes taken one at a time,
// at character starts only: a valid second byte after a lead byte belongs to its character.
// None of these texts overlaps itself, so a mismatch only has to look at the byte at hand again.
struct GbkMatcher {
    const char* pszText;
    int nLength;
    int nMatched = 0;
    bool bTrail = false;  // the last byte began a character that c may complete

    bool Take(char ch) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (bTrail && gibo::IsGbkTrail(c)) {
            bTrail = false;
            nMatched = 0;
        } else if (c == static_cast<unsigned char>(pszText[nMatched])) {
            bTrail = false;
            if (++nMatched == nLength) {
                nMatched = 0;
                return true;
            }
        } else {
            nMatched = c == static_cast<unsigned char>(pszText[0]) ? 1 : 0;
            bTrail = gibo::IsGbkLead(c);
        }
        return false;
    }
    void Reset() {
        nMatched = 0;
        bTrail = false;
    }
};

// Writes the body text of the \GE line. A line that begins with "STO" may hold several body
// records run together; each goes on a line of its own, and after a split a trailing "GE"
// piece too. Offsets into the one line keep this linear however many records it holds.
bool PutLastBodyLine(BodyWriter& body, const char* p, size_t n) {
    if (n == 0) {
        return true;
    }
    if (n < 3 || p[0] != 'S' || p[1] != 'T' || p[2] != 'O') {
        return body.Line(p, n);
    }
    size_t from = 0;  // always on a character boundary: every split is at an ASCII "STO"
    bool split = false;
    for (;;) {
        const size_t hit = gibo::GbkFind(p + from, n - from, "STO", 3, 3);
        if (hit == gibo::kNpos) {
            break;
        }
        if (!body.Line(p + from, hit)) {
            return false;
        }
        from += hit;
        split = true;
    }
    if (split) {
        const size_t ge = gibo::GbkFind(p + from, n - from, "GE", 2, 0);
        if (ge != gibo::kNpos) {
            if (!body.Line(p + from, ge)) {
                return false;
            }
            from += ge;
        }
    }
    return body.Line(p + from, n - from);
}

// Passes over the text up to the next marker (a backslash and two letters) in pieces, so that
// lines of any length before the header or between it and the body cost no memory, and leaves
// the reader right after it. False when the file ends first.
bool SkipToMarker(gibo::LineReader& lines, const char* pszMarker) {
    GbkMatcher marker{pszMarker, 3};
    const char* p = nullptr;
    size_t n = 0;
    bool bLineEnd = false;
    while (lines.NextPiece(p, n, bLineEnd)) {
        for (size_t i = 0; i < n; ++i) {
            if (marker.Take(p[i])) {
                lines.Unread(p + i + 1);
                return true;
            }
        }
        if (bLineEnd) {
            marker.Reset();
        }
    }
    return false;
}

// Appends one header line, or its part before \HE; true when it held \HE.
bool TakeHeaderLine(const char* line, size_t n, CString& strHeader, bool& bTooLong) {
    const size_t he = FindMarker(line, n, "\\HE");
    const size_t keep = he == gibo::kNpos ? n : he;
    if ((he == gibo::kNpos || keep > 0) && !AppendHeaderLine(strHeader, line, keep)) {
        bTooLong = true;
    }
    return he != gibo::kNpos;
}

// Reads the header lines into the parameter text, from the first \HS to the first \HE.
gibo::Failure ReadHeader(gibo::LineReader& lines, const CString& strPath, CString& strHeader) {
    bool bTooLong = false;
    bool bComplete = false;
    if (SkipToMarker(lines, "\\HS")) {
        const char* line = nullptr;
        size_t n = 0;
        // The rest of the \HS line adds nothing when it is empty.
        for (bool bFirst = true; !bComplete && !bTooLong && lines.Next(line, n); bFirst = false) {
            if (n > 0 || !bFirst) {
                bComplete = TakeHeaderLine(line, n, strHeader, bTooLong);
            }
        }
    }
    if (bTooLong) {
        return gibo::Raise(GIBO_ERR_OPEN, EFBIG, strPath);
    }
    if (bComplete) {
        return gibo::Failure();
    }
    if (lines.Failure()) {
        return gibo::Raise(GIBO_ERR_OPEN, lines.Failure(), strPath);
    }
    return gibo::Fail(GIBO_ERR_NO_HEADER);
}

// Writing a side file that is the record itself would lose the record before it is read.
gibo::Failure RefuseRecordAsSideFile(const CString& strPath, const CString& strBodyPath,
                                     const CString& strAudioPath, long long nAudio) {
    if (gibo::SameFile(strBodyPath, strPath)) {
        return gibo::Fail(GIBO_ERR_BODY_CREATE);
    }
    if (nAudio != 0 && gibo::SameFile(strAudioPath, strPath)) {
        return gibo::Fail(GIBO_ERR_AUDIO_CREATE);
    }
    return gibo::Failure();
}

// Creates a side file as a new regular file: whatever stands at its name, a file or a link
// someone planted, is removed first, and the create is exclusive, so nothing is ever written
// through a link. A directory there stays, and the side file is not created. A side file the
// caller may not remove (a directory it may not change; on Windows, a file another program
// holds open) is emptied instead, where that reaches nothing but that file (EmptyInPlace).
gibo::Failure CreateSideFile(const CString& strSide, unsigned long dwCode, gibo::Fd& fd,
                             gibo::RemoveGuard& guard) {
    const gibo::Status removed = gibo::RemovePath(strSide);
    gibo::Status created =
        removed == 0 || removed == ENOENT ? gibo::CreateNew(strSide, 0666, fd) : removed;
    if (removed == EACCES) {
        created = gibo::EmptyInPlace(strSide, fd);
    }
    if (created != 0) {
        return gibo::Fail(dwCode);
    }
    guard.Arm(strSide.str());
    return gibo::Failure();
}

// A body line that runs over the end of a piece, taken a piece at a time and written as it
// comes, so that no line is ever held: blanks at its start are skipped, blanks are held back as
// a count until something follows them, and a backslash or "\G" until the marker is decided.
// A \GE line that begins with "STO" and holds further body records is written again, split,
// from the record file, where its text lies unchanged; that is the last body line, so nothing
// written after it is lost, and the split text is longer than the text it replaces. (A record
// that cannot seek, a pipe, fails there with the system's error.)
class LongBodyLine {
public:
    LongBodyLine(BodyWriter& body, gibo::LineReader& lines) : m_body(&body), m_lines(&lines) {}

    // bRest: the rest of the \GS line, whose blanks at the start stay.
    void Begin(bool bRest, const char* p) {
        *this = LongBodyLine(*m_body, *m_lines);
        m_bRest = bRest;
        m_bLeading = !bRest;
        m_nStart = m_lines->Offset(p);
        m_nOutStart = m_body->Size();
    }
    // Takes the next bytes of the line; true when they hold \GE, which ends the body.
    bool Take(const char* p, size_t n, bool bLineEnd) {
        if (m_bCr && !(bLineEnd && n == 0) && Byte('\r', m_lines->Offset(p) - 1)) {
            return true;
        }
        // A CR at the end of a piece belongs to the line end if an LF follows it.
        m_bCr = n > 0 && p[n - 1] == '\r';
        const size_t end = m_bCr ? n - 1 : n;
        m_bCr = m_bCr && !bLineEnd;
        for (size_t i = 0; i < end;) {
            size_t j = i;
            if (!m_bLeading && m_marker.nMatched == 0 && !m_marker.bTrail) {
                while (j < end && p[j] != ' ' && p[j] != '\\' &&
                       !gibo::IsGbkLead(static_cast<unsigned char>(p[j]))) {
                    ++j;
                }
            }
            if (j > i) {
                FlushBlanks();
                Text(p + i, j - i);
                i = j;
            } else if (Byte(p[i], m_lines->Offset(p + i))) {
                return true;
            } else {
                ++i;
            }
        }
        return false;
    }
    // The line ends without \GE; the rest of the \GS line adds nothing when it is empty.
    bool End() {
        if (m_bCr) {
            Byte('\r', 0);
        }
        Text("\\G", static_cast<size_t>(m_marker.nMatched));
        return m_nText == 0 && m_bRest ? true : m_body->Text(kCrLf, 2);
    }
    // The line held \GE: its text before the marker is written; split it if it holds records.
    bool EndBody() {
        if (m_nText == 0) {
            return true;
        }
        if (!m_bSto || m_nLastSto < 0) {
            return m_body->Text(kCrLf, 2);
        }
        if (!m_body->Rewind(m_nOutStart) || m_lines->Rewind(m_nStart) != 0) {
            return false;
        }
        GbkMatcher sto{"STO", 3};
        int64_t t = 0;
        const char* p = nullptr;
        size_t n = 0;
        bool bLineEnd = false;
        while (t < m_nText && m_lines->NextPiece(p, n, bLineEnd)) {
            for (size_t i = 0; i < n && t < m_nText; ++i, ++t) {
                const int held = sto.nMatched;
                if (sto.Take(p[i])) {
                    m_body->Text(kCrLf, t > 2 ? 2 : 0);
                    m_body->Text("STO", 3);
                } else if (sto.nMatched != held + 1) {
                    m_body->Text("STO", static_cast<size_t>(held));
                    if (sto.nMatched == 0) {
                        m_body->Text(kCrLf, t == m_nGe ? 2 : 0);
                        m_body->Text(p + i, 1);
                    }
                }
            }
        }
        m_body->Text("STO", static_cast<size_t>(sto.nMatched));
        return m_body->Text(kCrLf, 2) && m_lines->Failure() == 0;
    }

private:
    // One byte that may be a blank, part of a marker or the second byte of a character.
    bool Byte(char c, int64_t nAt) {
        if (m_bLeading) {
            if (c == ' ') {
                return false;
            }
            m_bLeading = false;
            m_nStart = nAt;
        }
        const int held = m_marker.nMatched;
        if (m_marker.Take(c)) {
            return true;
        }
        const bool bHold = m_marker.nMatched > 0;
        if (!bHold || m_marker.nMatched != held + 1) {
            Text("\\G", static_cast<size_t>(held));
        }
        if (c == ' ') {  // never a second byte
            ++m_nBlanks;
        } else {
            FlushBlanks();
            if (!bHold) {
                Text(&c, 1);
            }
        }
        return false;
    }
    void FlushBlanks() {
        static const char kBlanks[] = "                                ";
        for (; m_nBlanks > 0; m_nBlanks -= std::min(m_nBlanks, sizeof kBlanks - 1)) {
            Text(kBlanks, std::min(m_nBlanks, sizeof kBlanks - 1));
        }
    }
    // Writes text of the line; while it may turn out to be a \GE line that begins with "STO",
    // notes where its last further "STO" and the first "GE" after that lie.
    void Text(const char* p, size_t n) {
        m_body->Text(p, n);
        size_t i = 0;
        for (; i < n && (m_nText < 3 || m_bSto); ++i, ++m_nText) {
            if (m_sto.Take(p[i])) {
                m_bSto = m_bSto || m_nText == 2;
                if (m_nText > 2) {
                    m_nLastSto = m_nText - 2;
                    m_nGe = -1;
                }
            }
            if (m_ge.Take(p[i]) && m_nLastSto >= 0 && m_nGe < 0) {
                m_nGe = m_nText - 1;
            }
        }
        m_nText += static_cast<int64_t>(n - i);
    }

    BodyWriter* m_body;
    gibo::LineReader* m_lines;
    bool m_bRest = false;
    bool m_bLeading = true;
    bool m_bCr = false;  // a CR at the end of the last piece, not yet known to be text
    size_t m_nBlanks = 0;
    GbkMatcher m_marker{"\\GE", 3};
    int64_t m_nStart = 0;     // where the text begins in the record file
    int64_t m_nOutStart = 0;  // and in the body file
    int64_t m_nText = 0;      // bytes of text written
    bool m_bSto = false;      // the text begins with "STO"
    GbkMatcher m_sto{"STO", 3};
    GbkMatcher m_ge{"GE", 2};
    int64_t m_nLastSto = -1;
    int64_t m_nGe = -1;
};

// Writes the body lines, from the first \GS after the \HE line to the first \GE, into a new
// body file; the rest of the \HE line is not looked at again.
gibo::Failure WriteBody(gibo::LineReader& lines, const CString& strPath, const CString& strBodyPath,
                        gibo::RemoveGuard& guard) {
    gibo::Fd body;
    if (gibo::Failure f = CreateSideFile(strBodyPath, GIBO_ERR_BODY_CREATE, body, guard)) {
        return f;
    }
    BodyWriter bodyLines(body.Get());
    LongBodyLine longLine(bodyLines, lines);
    bool bComplete = false;
    bool bWritten = true;
    bool bLong = false;  // a line runs over the end of a piece
    bool bRest = true;   // the rest of the \GS line, which keeps the blanks at its start
    const char* p = nullptr;
    size_t n = 0;
    bool bLineEnd = false;
    const bool bStarted = SkipToMarker(lines, "\\GS");
    while (bStarted && !bComplete && bWritten && lines.NextPiece(p, n, bLineEnd)) {
        if (!bLong && bLineEnd) {
            // Most lines lie whole in the piece at hand.
            n -= n > 0 && p[n - 1] == '\r' ? 1 : 0;
            const char* line = p;
            TrimBlanks(line, n);
            if (bRest && n > 0) {
                n += static_cast<size_t>(line - p);
                line = p;
            }
            if (n > 0 || !bRest) {
                const size_t ge = FindMarker(line, n, "\\GE");
                bComplete = ge != gibo::kNpos;
                bWritten =
                    bComplete ? PutLastBodyLine(bodyLines, line, ge) : bodyLines.Line(line, n);
            }
        } else {
            if (!bLong) {
                longLine.Begin(bRest, p);
                bLong = true;
            }
            bComplete = longLine.Take(p, n, bLineEnd);
            if (bComplete) {
                bWritten = longLine.EndBody();
            } else if (bLineEnd) {
                bWritten = longLine.End();
                bLong = false;
            }
        }
        bRest = false;
    }
    if (bLong && !bComplete && bWritten && !lines.Failure()) {
        longLine.End();  // the last line, without a line end
    }
    bodyLines.Flush();
    const gibo::Status closed = body.Close();
    if (bodyLines.Failure() || closed) {
        return gibo::Raise(GIBO_ERR_BODY_CREATE, bodyLines.Failure() ? bodyLines.Failure() : closed,
                           strBodyPath);
    }
    if (lines.Failure()) {
        return gibo::Raise(GIBO_ERR_OPEN, lines.Failure(), strPath);
    }
    return bComplete ? gibo::Failure() : gibo::Fail(GIBO_ERR_NO_BODY);
}

// Copies the audio, the last nAudio bytes of the record, into a new audio file. A size that
// the writer cannot have stated (negative, 2 GiB or more) or that reaches before the file's
// start is refused rather than guessed at.
gibo::Failure CopyAudio(const CString& strPath, long long nAudio, const CString& strAudioPath,
                        gibo::RemoveGuard& guard) {
    gibo::Fd in;
    int64_t length = 0;
    int64_t at = 0;
    if (gibo::OpenFile(strPath, gibo::kRead, in) != 0 || gibo::LengthOf(in.Get(), length) != 0 ||
        nAudio < 0 || nAudio > INT32_MAX || nAudio > length ||
        gibo::SeekFd(in.Get(), -nAudio, SEEK_END, at) != 0) {
        return gibo::Fail(GIBO_ERR_AUDIO_REOPEN);
    }
    gibo::Fd audio;
    if (gibo::Failure f = CreateSideFile(strAudioPath, GIBO_ERR_AUDIO_CREATE, audio, guard)) {
        return f;
    }
    gibo::Status s = gibo::CopyRest(in.Get(), audio.Get());
    const gibo::Status closed = audio.Close();
    s = s ? s : closed;
    return s ? gibo::Raise(GIBO_ERR_AUDIO_CREATE, s, strAudioPath) : gibo::Failure();
}

// The load, step by step; the caller reports how it ended.
gibo::Failure LoadSteps(CGiboFile& record, const CString& strPath, const CString& strBodyPath,
                        CString& strAudioPath, unsigned char& byType, gibo::RemoveGuard& bodyGuard,
                        gibo::RemoveGuard& audioGuard) {
    long long nAudio = 0;
    {
        gibo::Fd in;
        if (gibo::OpenFile(strPath, gibo::kRead, in) != 0) {
            return gibo::Fail(GIBO_ERR_OPEN);
        }
        // Lines are views into the reader's buffer: nothing is copied or allocated per line.
        gibo::LineReader lines(in.Get());
        if (gibo::Failure f = ReadHeader(lines, strPath, record.m_strHeader)) {
            return f;
        }
        int bFound = 0;
        nAudio = gibo::NumberOf(record.GetParam("SZAUDIO", bFound));
        if (gibo::Failure f = RefuseRecordAsSideFile(strPath, strBodyPath, strAudioPath, nAudio)) {
            return f;
        }
        if (gibo::Failure f = WriteBody(lines, strPath, strBodyPath, bodyGuard)) {
            return f;
        }
        byType = static_cast<unsigned char>(gibo::NumberOf(record.GetParam("TYPE", bFound)));
    }
    if (nAudio == 0) {
        strAudioPath.Empty();
        return gibo::Failure();
    }
    return CopyAudio(strPath, nAudio, strAudioPath, audioGuard);
}

}  // namespace

int CGiboFile::LoadFile(CString strPath, CString& strBodyPath, CString& strAudioPath,
                        unsigned char& byType, int& bAudio) {
    bAudio = 0;
    byType = 255;
    const std::string stem = gibo::RecordStem(strPath.str());
    strBodyPath = (stem + ".lbk").c_str();
    strAudioPath = (stem + ".lao").c_str();
    m_strHeader.Empty();

    gibo::Failure failure;
    {
        // A failed load leaves no side file behind: the guards remove them unless released.
        gibo::RemoveGuard bodyGuard;
        gibo::RemoveGuard audioGuard;
        failure =
            LoadSteps(*this, strPath, strBodyPath, strAudioPath, byType, bodyGuard, audioGuard);
        if (!failure) {
            bAudio = strAudioPath.IsEmpty() ? 0 : 1;
            bodyGuard.Release();
            audioGuard.Release();
        }
    }
    return gibo::Conclude(failure, m_dwError);
}

int CGiboFile::LoadStream(CString strHeader, unsigned char& byType) {
    byType = 255;
    m_strHeader.Empty();
    if (strHeader.GetLength() < 10) {
        m_dwError = GIBO_ERR_NO_HEADER;
        return 0;
    }
    m_strHeader = strHeader;
    int bFound = 0;
    byType = static_cast<unsigned char>(gibo::NumberOf(GetParam("TYPE", bFound)));
    return 1;
}
