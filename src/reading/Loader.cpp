// Taking a record file apart: header into the parameter text, body into the .lbk side file,
// audio trailer into the .lao side file.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "framework/FileFailure.h"
#include "framework/FileSystem.h"
#include "framework/Gbk.h"
#include "framework/LineReader.h"

namespace {

const char kCrLf[] = "\r\n";

// The side files' common stem: the path up to the last '.' of its file-name part, or the whole
// path when the name has no '.'. Searching the whole path would give "dir.x\rec" the stem
// "dir" and a name without '.' the empty stem, and two records would share side files.
CString SideFileStem(const CString& strPath) {
    const int nameStart = std::max(strPath.ReverseFind('/'), strPath.ReverseFind('\\')) + 1;
    const int dot = strPath.ReverseFind('.');
    return dot >= nameStart ? strPath.Left(dot) : strPath;
}

// The standard text-to-integer conversion (white space skipped, digits up to the first other
// character, 0 without digits), but saturating instead of overflowing on absurd digit runs.
long long NumberOf(const CString& strValue) {
    return std::strtoll(strValue, nullptr, 10);
}

// Removes blanks at both ends of a body line. A blank is never the trail byte of a double-byte
// character, but it may follow a lead byte as its second byte, and then it stays; only a line
// that ends in a blank needs the walk over its characters that tells them apart.
void TrimBlanks(const char*& p, size_t& n) {
    size_t first = 0;
    while (first < n && p[first] == ' ') {
        ++first;
    }
    size_t end = n;
    if (first < n && p[n - 1] == ' ') {
        end = first;
        for (size_t i = first; i < n;) {
            const size_t len = gibo::GbkCharLen(p, i, n);
            if (len == 2 || p[i] != ' ') {
                end = i + len;
            }
            i += len;
        }
    }
    p += first;
    n = end - first;
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
// at a time: a write call per line would cost more than the line itself. A line longer than the
// piece goes to the file directly.
class BodyWriter {
public:
    explicit BodyWriter(int fd) : m_fd(fd), m_piece(gibo::kCopyPiece) {}
    bool Line(const char* pData, size_t nCount) {
        if (nCount + 2 > m_piece.size() - m_used) {
            if (!Flush()) {
                return false;
            }
            if (nCount + 2 > m_piece.size()) {
                return Put(pData, nCount) && Put(kCrLf, 2);
            }
        }
        char* out = m_piece.data() + m_used;
        std::memcpy(out, pData, nCount);
        out[nCount] = '\r';
        out[nCount + 1] = '\n';
        m_used += nCount + 2;
        return true;
    }
    bool Flush() {
        const bool ok = Put(m_piece.data(), m_used);
        m_used = 0;
        return ok;
    }
    gibo::Status Failure() const { return m_failure; }

private:
    bool Put(const void* pData, size_t nCount) {
        if (m_failure == 0 && nCount > 0) {
            m_failure = gibo::WriteAll(m_fd, pData, nCount);
        }
        return m_failure == 0;
    }

    int m_fd;
    gibo::Status m_failure = 0;
    std::vector<char> m_piece;
    size_t m_used = 0;
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

// Passes over the text before the next marker (a backslash and the two letters) in pieces, so
// that lines of any length before the header or between it and the body cost no memory, and
// gives the rest of the line that holds it (without its line end). False when the file ends
// first.
bool SkipToMarker(gibo::LineReader& lines, const char* pszLetters, std::string& strRest) {
    const char* p = nullptr;
    size_t n = 0;
    bool bLineEnd = false;
    bool bTrail = false;  // the next byte is the second of a double-byte character
    int nMatched = 0;     // bytes of the marker matched, the backslash at a character start
    bool bFound = false;
    while (lines.NextPiece(p, n, bLineEnd)) {
        size_t i = 0;
        for (; !bFound && i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(p[i]);
            if (bTrail) {
                bTrail = false;
                nMatched = 0;
            } else if (nMatched == 2 && c == pszLetters[1]) {
                bFound = true;
            } else {
                nMatched = c == '\\' ? 1 : nMatched == 1 && c == pszLetters[0] ? 2 : 0;
                bTrail = gibo::IsGbkLead(c);
            }
        }
        if (bFound) {
            strRest.append(p + i, n - i);
            if (bLineEnd) {
                break;
            }
        }
        if (bLineEnd) {
            bTrail = false;
            nMatched = 0;
        }
    }
    if (bFound && bLineEnd && !strRest.empty() && strRest.back() == '\r') {
        strRest.pop_back();
    }
    return bFound;
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
    std::string first;
    bool bTooLong = false;
    bool bComplete = false;
    if (SkipToMarker(lines, "HS", first)) {
        bComplete =
            !first.empty() && TakeHeaderLine(first.data(), first.size(), strHeader, bTooLong);
        const char* line = nullptr;
        size_t n = 0;
        while (!bComplete && !bTooLong && lines.Next(line, n)) {
            bComplete = TakeHeaderLine(line, n, strHeader, bTooLong);
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
// through a link. A directory there stays, and the side file is not created. Windows cannot
// remove a file another program holds open; that one is emptied instead.
gibo::Failure CreateSideFile(const CString& strSide, unsigned long dwCode, gibo::Fd& fd,
                             gibo::RemoveGuard& guard) {
    const gibo::Status removed = gibo::RemovePath(strSide);
    gibo::Status created =
        removed == 0 || removed == ENOENT ? gibo::CreateNew(strSide, 0666, fd) : removed;
#ifdef _WIN32
    if (removed == EACCES) {
        created = gibo::OpenFile(strSide, gibo::kWrite | gibo::kCreate | gibo::kTruncate, fd);
    }
#endif
    if (created != 0) {
        return gibo::Fail(dwCode);
    }
    guard.Arm(strSide.str());
    return gibo::Failure();
}

// Writes the body lines, from the first \GS after the \HE line to the first \GE, into a new
// body file; the rest of the \HE line is not looked at again.
gibo::Failure WriteBody(gibo::LineReader& lines, const CString& strPath, const CString& strBodyPath,
                        gibo::RemoveGuard& guard) {
    gibo::Fd body;
    if (gibo::Failure f = CreateSideFile(strBodyPath, GIBO_ERR_BODY_CREATE, body, guard)) {
        return f;
    }
    BodyWriter bodyLines(body.Get());
    bool bComplete = false;
    bool bWritten = true;
    // Lines are trimmed at both ends before \GS is looked for, and what follows it is not
    // trimmed again: the rest of its line only loses the blanks at its end.
    auto take = [&](const char* line, size_t n) {
        const size_t ge = FindMarker(line, n, "\\GE");
        bComplete = ge != gibo::kNpos;
        bWritten = bComplete ? PutLastBodyLine(bodyLines, line, ge) : bodyLines.Line(line, n);
    };
    std::string first;
    const bool bStarted = SkipToMarker(lines, "GS", first);
    if (bStarted) {
        const char* p = first.data();
        size_t n = first.size();
        TrimBlanks(p, n);
        if (n > 0) {
            take(first.data(), static_cast<size_t>(p + n - first.data()));
        }
    }
    const char* line = nullptr;
    size_t n = 0;
    while (bStarted && !bComplete && bWritten && lines.Next(line, n)) {
        TrimBlanks(line, n);
        take(line, n);
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
        nAudio = NumberOf(record.GetParam("SZAUDIO", bFound));
        if (gibo::Failure f = RefuseRecordAsSideFile(strPath, strBodyPath, strAudioPath, nAudio)) {
            return f;
        }
        if (gibo::Failure f = WriteBody(lines, strPath, strBodyPath, bodyGuard)) {
            return f;
        }
        byType = static_cast<unsigned char>(NumberOf(record.GetParam("TYPE", bFound)));
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
    const CString stem = SideFileStem(strPath);
    strBodyPath = stem + ".lbk";
    strAudioPath = stem + ".lao";
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
    byType = static_cast<unsigned char>(NumberOf(GetParam("TYPE", bFound)));
    return 1;
}
