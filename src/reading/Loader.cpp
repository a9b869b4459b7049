// Taking a record file apart: header into the parameter text, body into the .lbk side file,
// audio trailer into the .lao side file.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "framework/BulkFile.h"
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

// Reading and writing that report the file layer's failures as a result, so that the caller
// can clean up and return an error code.
bool ReadLine(gibo::LineReader& reader, const char*& p, size_t& n, bool& bReadFailed) {
    try {
        return reader.Next(p, n);
    } catch (const CFileException&) {
        bReadFailed = true;
        return false;
    }
}

bool Put(CFile& file, const void* pData, size_t nCount) {
    try {
        file.Write(pData, static_cast<unsigned>(nCount));
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

bool CloseChecked(CFile& file) {
    try {
        file.Close();
        return true;
    } catch (const CFileException&) {
        file.Abort();
        return false;
    }
}

// Body lines, each followed by CR LF, gathered in a fixed piece and handed to the file a piece
// at a time: a write call per line would cost more than the line itself. A line longer than the
// piece goes to the file directly.
class BodyWriter {
public:
    explicit BodyWriter(CFile& file) : m_file(file), m_piece(gibo::kCopyPiece) {}
    bool Line(const char* pData, size_t nCount) {
        if (nCount + 2 > m_piece.size() - m_used) {
            if (!Flush()) {
                return false;
            }
            if (nCount + 2 > m_piece.size()) {
                return Put(m_file, pData, nCount) && Put(m_file, kCrLf, 2);
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
        const bool ok = Put(m_file, m_piece.data(), m_used);
        m_used = 0;
        return ok;
    }

private:
    CFile& m_file;
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

}  // namespace

int CGiboFile::LoadFile(CString strPath, CString& strBodyPath, CString& strAudioPath,
                        unsigned char& byType, int& bAudio) {
    bAudio = 0;
    byType = 255;
    const CString stem = SideFileStem(strPath);
    strBodyPath = stem + ".lbk";
    strAudioPath = stem + ".lao";
    m_strHeader.Empty();

    CFile record;
    if (!record.Open(strPath, CFile::modeRead | CFile::typeText)) {
        m_dwError = GIBO_ERR_OPEN;
        return 0;
    }
    // Lines are views into the reader's buffer: nothing is copied or allocated per line.
    gibo::LineReader lines(record);
    const char* line = nullptr;
    size_t n = 0;

    // Header: from the first \HS to the first \HE after it.
    bool bReadFailed = false;
    bool bStarted = false;
    bool bComplete = false;
    while (!bComplete && ReadLine(lines, line, n, bReadFailed)) {
        if (!bStarted) {
            const size_t hs = FindMarker(line, n, "\\HS");
            if (hs == gibo::kNpos) {
                continue;
            }
            bStarted = true;
            line += hs + 3;
            n -= hs + 3;
            if (n == 0) {
                continue;
            }
        }
        const size_t he = FindMarker(line, n, "\\HE");
        if (he != gibo::kNpos) {
            n = he;
            bComplete = true;
            if (n == 0) {
                continue;
            }
        }
        if (!AppendHeaderLine(m_strHeader, line, n)) {
            bReadFailed = true;
            break;
        }
    }
    if (bReadFailed) {
        m_dwError = GIBO_ERR_OPEN;
        return 0;
    }
    if (!bComplete) {
        m_dwError = GIBO_ERR_NO_HEADER;
        return 0;
    }

    // Writing a side file that is the record itself would empty the record before it is read.
    // Refuse before anything is created; the audio only matters when the record has some.
    int bFound = 0;
    const long long nAudio = NumberOf(GetParam("SZAUDIO", bFound));
    if (gibo::SameFile(strBodyPath, strPath)) {
        m_dwError = GIBO_ERR_BODY_CREATE;
        return 0;
    }
    if (nAudio != 0 &&
        (gibo::SameFile(strAudioPath, strPath) || gibo::SameFile(strAudioPath, strBodyPath))) {
        m_dwError = GIBO_ERR_AUDIO_CREATE;
        return 0;
    }

    // A failed load leaves no partial side file behind.
    gibo::RemoveGuard bodyGuard;
    CFile body;
    if (!body.Open(strBodyPath, CFile::modeCreate | CFile::modeWrite)) {
        m_dwError = GIBO_ERR_BODY_CREATE;
        return 0;
    }
    bodyGuard.Arm(strBodyPath.str());

    // Body: from the first \GS after the \HE line to the first \GE; the rest of the \HE line is
    // not looked at again.
    BodyWriter bodyLines(body);
    bool bWriteFailed = false;
    bStarted = false;
    bComplete = false;
    while (!bComplete && !bWriteFailed && ReadLine(lines, line, n, bReadFailed)) {
        TrimBlanks(line, n);
        if (!bStarted) {
            const size_t gs = FindMarker(line, n, "\\GS");
            if (gs == gibo::kNpos) {
                continue;
            }
            bStarted = true;
            line += gs + 3;
            n -= gs + 3;
            if (n == 0) {
                continue;
            }
        }
        const size_t ge = FindMarker(line, n, "\\GE");
        if (ge == gibo::kNpos) {
            bWriteFailed = !bodyLines.Line(line, n);
            continue;
        }
        bComplete = true;
        bWriteFailed = !PutLastBodyLine(bodyLines, line, ge);
    }
    record.Abort();  // read only: nothing to flush
    if (!bWriteFailed) {
        bWriteFailed = !bodyLines.Flush();
    }
    if (!CloseChecked(body) || bWriteFailed) {
        m_dwError = GIBO_ERR_BODY_CREATE;
        return 0;
    }
    if (bReadFailed) {
        m_dwError = GIBO_ERR_OPEN;
        return 0;
    }
    if (!bComplete) {
        m_dwError = GIBO_ERR_NO_BODY;
        return 0;
    }

    byType = static_cast<unsigned char>(NumberOf(GetParam("TYPE", bFound)));
    if (nAudio == 0) {
        strAudioPath.Empty();
        bodyGuard.Release();
        return 1;
    }

    // The audio is the last SZAUDIO bytes of the file: read from the end, since the text
    // reader stopped at \GE. A size that the writer cannot have stated (negative, 2 GiB or
    // more) or that reaches before the file's start is refused rather than guessed at.
    gibo::BulkFile in;
    if (!in.Open(strPath, CFile::modeRead | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_AUDIO_REOPEN;
        return 0;
    }
    try {
        if (nAudio < 0 || nAudio > INT32_MAX || nAudio > in.GetLength()) {
            m_dwError = GIBO_ERR_AUDIO_REOPEN;
            return 0;
        }
        in.Seek(-nAudio, CFile::end);
    } catch (const CFileException&) {
        m_dwError = GIBO_ERR_AUDIO_REOPEN;
        return 0;
    }

    gibo::RemoveGuard audioGuard;
    gibo::BulkFile audio;
    if (!audio.Open(strAudioPath, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_AUDIO_CREATE;
        return 0;
    }
    audioGuard.Arm(strAudioPath.str());
    bool bCopied = false;
    try {
        bCopied = in.CopyRestTo(audio);
    } catch (const CFileException&) {
        m_dwError = GIBO_ERR_AUDIO_CREATE;
        return 0;
    }
    std::vector<unsigned char> buffer(bCopied ? 0 : gibo::kCopyPiece);
    while (!bCopied) {
        unsigned got = 0;
        try {
            got = in.Read(buffer.data(), gibo::kCopyPiece);
        } catch (const CFileException&) {
            m_dwError = GIBO_ERR_AUDIO_REOPEN;
            return 0;
        }
        if (got == 0) {
            break;
        }
        if (!Put(audio, buffer.data(), got)) {
            m_dwError = GIBO_ERR_AUDIO_CREATE;
            return 0;
        }
    }
    if (!CloseChecked(audio)) {
        m_dwError = GIBO_ERR_AUDIO_CREATE;
        return 0;
    }
    bAudio = 1;
    bodyGuard.Release();
    audioGuard.Release();
    return 1;
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
