// Reading a record file the way the loader reads it, in pieces.
#include "reading/RecordScanner.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "framework/FileSystem.h"
#include "framework/Gbk.h"
#include "reading/BodyWriter.h"
#include "reading/Number.h"

namespace {

const char kCrLf[] = "\r\n";
const char* const kMarkers[] = {"\\HS", "\\HE", "\\GS", "\\GE"};

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
template <class Sink>
bool PutLastBodyLine(Sink& body, const char* p, size_t n) {
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

// A body line that runs over the end of a piece, taken a piece at a time and written as it
// comes, so that no line is ever held: blanks at its start are skipped, blanks are held back as
// a count until something follows them, and a backslash or "\G" until the marker is decided.
// A \GE line that begins with "STO" and holds further body records is written again, split,
// from the record file, where its text lies unchanged; that is the last body line, so nothing
// written after it is lost, and the split text is longer than the text it replaces. (A record
// that cannot seek, a pipe, fails there with the system's error.)
template <class Sink>
class LongBodyLine {
public:
    LongBodyLine(Sink& body, gibo::LineReader& lines) : m_body(&body), m_lines(&lines) {}

    // bRest: the rest of the \GS line, whose blanks at the start stay.
    void Begin(bool bRest, const char* p) {
        *this = LongBodyLine(*m_body, *m_lines);
        m_bRest = bRest;
        m_bLeading = !bRest;
        m_nStart = m_lines->Offset(p);
        m_body->Mark();
    }
    // Where the \GE found lies in the record file.
    int64_t MarkerAt() const { return m_nMarkerAt; }
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
        if (!m_body->Rewind() || m_lines->Rewind(m_nStart) != 0) {
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
            m_nMarkerAt = nAt - 2;
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

    Sink* m_body;
    gibo::LineReader* m_lines;
    bool m_bRest = false;
    bool m_bLeading = true;
    bool m_bCr = false;  // a CR at the end of the last piece, not yet known to be text
    size_t m_nBlanks = 0;
    GbkMatcher m_marker{"\\GE", 3};
    int64_t m_nStart = 0;  // where the text begins in the record file
    int64_t m_nMarkerAt = -1;
    int64_t m_nText = 0;  // bytes of text written
    bool m_bSto = false;  // the text begins with "STO"
    GbkMatcher m_sto{"STO", 3};
    GbkMatcher m_ge{"GE", 2};
    int64_t m_nLastSto = -1;
    int64_t m_nGe = -1;
};

}  // namespace

namespace gibo {

// Counts body text as a body file's reader would: lines, and lines that begin with "STO". Each
// line is told to events, if given, with the record line the scanner stands on.
class BodyCounter final : public BodySink {
public:
    BodyCounter(const RecordScanner& scanner, ScanEvents* pEvents)
        : m_scanner(scanner), m_pEvents(pEvents) {}
    bool Line(const char* p, size_t n) override {  // always at a line's start
        const bool sto = n >= 3 && p[0] == 'S' && p[1] == 'T' && p[2] == 'O';
        ++m_now.lines;
        m_now.records += sto ? 1 : 0;
        if (m_pEvents) {
            m_pEvents->OnBodyLine(m_scanner.Line(), n == 0, sto);
        }
        return true;
    }
    bool Text(const char* p, size_t n) override {
        for (size_t i = 0; i < n; ++i) {
            if (p[i] == '\n') {
                LineEnd();
                continue;
            }
            if (m_now.column < 3) {
                m_now.sto = m_now.sto && p[i] == "STO"[m_now.column];
                m_now.lineSto = m_now.sto && m_now.column == 2;
                m_now.records += m_now.lineSto ? 1 : 0;
            }
            ++m_now.column;
            if (m_now.column >= 3) {  // only a line end matters until the next line
                const void* lf = std::memchr(p + i + 1, '\n', n - i - 1);
                i = lf ? static_cast<size_t>(static_cast<const char*>(lf) - p) - 1 : n;
            }
        }
        return true;
    }
    void Mark() override { m_mark = m_now; }
    bool Rewind() override {
        m_now = m_mark;
        return true;
    }
    void Counts(long long& nLines, long long& nRecords) const {
        nLines = m_now.lines + (m_now.column > 0 ? 1 : 0);  // a last line without line end
        nRecords = m_now.records;
    }

private:
    // Every line the loader writes ends with CR LF: a line of one byte before the LF is empty.
    void LineEnd() {
        ++m_now.lines;
        if (m_pEvents) {
            m_pEvents->OnBodyLine(m_scanner.Line(), m_now.column <= 1, m_now.lineSto);
        }
        m_now.column = 0;
        m_now.sto = true;
        m_now.lineSto = false;
    }

    struct State {
        long long lines = 0;
        long long records = 0;
        size_t column = 0;  // of the next byte in its line; only the first three matter
        bool sto = true;
        bool lineSto = false;
    };
    const RecordScanner& m_scanner;
    ScanEvents* m_pEvents;
    State m_now;
    State m_mark;
};

RecordScanner::RecordScanner(int fd, const CString& strPath, ScanEvents* pEvents)
    : m_lines(fd), m_strPath(strPath), m_pEvents(pEvents) {}

void RecordScanner::Found(Marker marker, int64_t nOffset) {
    if (m_pEvents) {
        m_pEvents->OnMarker(marker, m_nLine, nOffset, m_nLineStart);
    }
}

// In pieces, so that lines of any length before the header or between it and the body cost no
// memory.
bool RecordScanner::Find(Marker marker) {
    GbkMatcher matcher{kMarkers[static_cast<int>(marker)], 3};
    const char* p = nullptr;
    size_t n = 0;
    bool bLineEnd = false;
    while (m_lines.NextPiece(p, n, bLineEnd)) {
        for (size_t i = 0; i < n; ++i) {
            if (matcher.Take(p[i])) {
                m_bInBody = m_bInBody || marker == Marker::Gs;
                Found(marker, m_lines.Offset(p + i) - 2);
                m_lines.Unread(p + i + 1);
                return true;
            }
        }
        if (bLineEnd) {
            matcher.Reset();
            ++m_nLine;
            m_nLineStart = m_lines.Tell();
        }
    }
    return false;
}

// Appends one header line that began at nStart, or its part before \HE; true when it held \HE.
bool RecordScanner::TakeHeaderLine(const char* line, size_t n, int64_t nStart, CString& strHeader,
                                   bool& bTooLong) {
    const size_t he = FindMarker(line, n, "\\HE");
    const size_t keep = he == kNpos ? n : he;
    if ((he == kNpos || keep > 0) && !AppendHeaderLine(strHeader, line, keep)) {
        bTooLong = true;
    }
    if (m_pEvents) {
        m_pEvents->OnHeaderLine(line, keep, m_nLine);
    }
    if (he != kNpos) {
        Found(Marker::He, nStart + static_cast<int64_t>(he));
    }
    return he != kNpos;
}

Failure RecordScanner::ReadHeader(CString& strHeader) {
    bool bTooLong = false;
    bool bComplete = false;
    if (Find(Marker::Hs)) {
        const char* line = nullptr;
        size_t n = 0;
        // The rest of the \HS line adds nothing when it is empty.
        for (bool bFirst = true; !bComplete && !bTooLong; bFirst = false, ++m_nLine) {
            const int64_t start = m_lines.Tell();
            if (!m_lines.Next(line, n)) {
                break;
            }
            m_nLineStart = bFirst ? m_nLineStart : start;
            if (n > 0 || !bFirst) {
                bComplete = TakeHeaderLine(line, n, start, strHeader, bTooLong);
            } else if (m_pEvents) {
                m_pEvents->OnHeaderLine(line, 0, m_nLine);
            }
        }
    }
    if (bTooLong) {
        return Raise(GIBO_ERR_OPEN, EFBIG, m_strPath);
    }
    if (bComplete) {
        m_nLineStart = m_lines.Tell();
        return Failure();
    }
    if (m_lines.Failure()) {
        return Raise(GIBO_ERR_OPEN, m_lines.Failure(), m_strPath);
    }
    return Fail(GIBO_ERR_NO_HEADER);
}

// A body line that lies whole in the piece at hand (p, n up to its LF): trimmed, and written
// unless it is the empty rest of the \GS line. True when it held \GE.
template <class Sink>
bool RecordScanner::TakeShortLine(Sink& body, const char* p, size_t n, bool bRest, bool& bWritten) {
    n -= n > 0 && p[n - 1] == '\r' ? 1 : 0;
    const char* line = p;
    TrimBlanks(line, n);
    if (bRest && n > 0) {  // the rest of the \GS line keeps the blanks at its start
        n += static_cast<size_t>(line - p);
        line = p;
    }
    if (n == 0 && bRest) {
        return false;
    }
    const size_t ge = FindMarker(line, n, "\\GE");
    if (ge == kNpos) {
        bWritten = body.Line(line, n);
        return false;
    }
    m_nLineStart = m_lines.Offset(p);
    Found(Marker::Ge, m_lines.Offset(line + ge));
    m_nBodyEnd = m_lines.Tell();
    bWritten = PutLastBodyLine(body, line, ge);
    return true;
}

// Passes over the rest of the \GE line, when asked to, to learn where it ends.
void RecordScanner::FindLineEnd(bool bLineEnd) {
    const char* p = nullptr;
    size_t n = 0;
    while (m_bWantEnd && !bLineEnd && m_lines.NextPiece(p, n, bLineEnd)) {
    }
    m_nBodyEnd = bLineEnd ? m_lines.Tell() : -1;
}

template <class Sink>
Failure RecordScanner::ScanBodyWith(Sink& body) {
    LongBodyLine<Sink> longLine(body, m_lines);
    bool bComplete = false;
    bool bWritten = true;
    bool bLong = false;  // a line runs over the end of a piece
    bool bRest = true;   // the rest of the \GS line
    const char* p = nullptr;
    size_t n = 0;
    bool bLineEnd = false;
    const bool bStarted = m_bInBody || Find(Marker::Gs);
    while (bStarted && !bComplete && bWritten && m_lines.NextPiece(p, n, bLineEnd)) {
        if (!bLong && bLineEnd) {  // most lines lie whole in the piece at hand
            bComplete = TakeShortLine(body, p, n, bRest, bWritten);
        } else {
            if (!bLong) {
                longLine.Begin(bRest, p);
                m_nLineStart = m_lines.Offset(p);
                bLong = true;
            }
            bComplete = longLine.Take(p, n, bLineEnd);
            if (bComplete) {
                Found(Marker::Ge, longLine.MarkerAt());
                FindLineEnd(bLineEnd);
                bWritten = longLine.EndBody();
            } else if (bLineEnd) {
                bWritten = longLine.End();
                bLong = false;
            }
        }
        m_nLine += bLineEnd && !bComplete ? 1 : 0;
        bRest = false;
    }
    if (bLong && !bComplete && bWritten && !m_lines.Failure()) {
        longLine.End();  // the last line, without a line end
    }
    if (m_lines.Failure()) {
        return Raise(GIBO_ERR_OPEN, m_lines.Failure(), m_strPath);
    }
    return bComplete ? Failure() : Fail(GIBO_ERR_NO_BODY);
}

Failure RecordScanner::ScanBody(BodySink& body) {
    return ScanBodyWith(body);
}
Failure RecordScanner::ScanBody(BodyWriter& body) {
    return ScanBodyWith(body);
}
Failure RecordScanner::ScanBody(BodyCounter& body) {
    return ScanBodyWith(body);
}

bool AudioFits(long long nAudio, int64_t nLength) {
    return nAudio >= 0 && nAudio <= INT32_MAX && nAudio <= nLength;
}

Failure ScanRecord(int fd, const CString& strPath, CGiboFile& record, unsigned char& byType,
                   RecordSizes& sizes, ScanEvents* pEvents) {
    byType = 255;
    sizes = RecordSizes();
    record.m_strHeader.Empty();
    RecordScanner scanner(fd, strPath, pEvents);
    if (Failure f = scanner.ReadHeader(record.m_strHeader)) {
        return f;
    }
    int bFound = 0;
    const long long nAudio = NumberOf(record.GetParam("SZAUDIO", bFound));
    if (nAudio != 0 || pEvents) {
        scanner.WantBodyEnd();
    }
    BodyCounter body(scanner, pEvents);
    if (Failure f = scanner.ScanBody(body)) {
        return f;
    }
    byType = static_cast<unsigned char>(NumberOf(record.GetParam("TYPE", bFound)));
    body.Counts(sizes.nBodyLines, sizes.nBodyRecords);
    sizes.nBodyEnd = scanner.BodyEnd();
    int64_t length = 0;
    if (LengthOf(fd, length) != 0) {
        return nAudio == 0 ? Failure() : Fail(GIBO_ERR_AUDIO_REOPEN);
    }
    sizes.nLength = length;
    if (!AudioFits(nAudio, length)) {
        return Fail(GIBO_ERR_AUDIO_REOPEN);
    }
    sizes.nAudio = nAudio;
    const long long after = sizes.nBodyEnd < 0 ? 0 : length - sizes.nBodyEnd;
    sizes.nAudioInBody = nAudio > after ? nAudio - after : 0;
    return Failure();
}

}  // namespace gibo
