// Taking a record file apart: header into the parameter text, body into the .lbk side file,
// audio trailer into the .lao side file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "GiboFile.h"
#include "framework/FileSystem.h"
#include "framework/Gbk.h"

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

// Removes blanks at both ends of a body line in one pass. A blank is never the trail byte of a
// double-byte character, but it may follow a lead byte as its second byte, and then it stays.
void TrimBlanks(CString& strLine) {
    const char* p = strLine;
    const size_t n = static_cast<size_t>(strLine.GetLength());
    size_t first = 0;
    while (first < n && p[first] == ' ') {
        ++first;
    }
    size_t end = first;
    for (size_t i = first; i < n;) {
        const size_t len = gibo::GbkCharLen(p, i, n);
        if (len == 2 || p[i] != ' ') {
            end = i + len;
        }
        i += len;
    }
    if (first > 0 || end < n) {
        strLine = strLine.Mid(static_cast<int>(first), static_cast<int>(end - first));
    }
}

// Reading and writing that report the file layer's failures as a result, so that the caller
// can clean up and return an error code.
bool ReadLine(CStdioFile& file, CString& strLine, bool& bReadFailed) {
    try {
        return file.ReadString(strLine) != FALSE;
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

bool PutLine(CFile& file, const char* pData, size_t nCount) {
    return Put(file, pData, nCount) && Put(file, kCrLf, 2);
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

// Writes the body text of the \GE line. A line that begins with "STO" may hold several body
// records run together; each goes on a line of its own, and after a split a trailing "GE"
// piece too. Offsets into the one line keep this linear however many records it holds.
bool PutLastBodyLine(CFile& body, const CString& strLine) {
    const char* p = strLine;
    const size_t n = static_cast<size_t>(strLine.GetLength());
    if (n == 0) {
        return true;
    }
    if (n < 3 || p[0] != 'S' || p[1] != 'T' || p[2] != 'O') {
        return PutLine(body, p, n);
    }
    size_t from = 0;  // always on a character boundary: every split is at an ASCII "STO"
    bool split = false;
    for (;;) {
        const size_t hit = gibo::GbkFind(p + from, n - from, "STO", 3, 3);
        if (hit == gibo::kNpos) {
            break;
        }
        if (!PutLine(body, p + from, hit)) {
            return false;
        }
        from += hit;
        split = true;
    }
    if (split) {
        const size_t ge = gibo::GbkFind(p + from, n - from, "GE", 2, 0);
        if (ge != gibo::kNpos) {
            if (!PutLine(body, p + from, ge)) {
                return false;
            }
            from += ge;
        }
    }
    return PutLine(body, p + from, n - from);
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

    CStdioFile record;
    if (!record.Open(strPath, CFile::modeRead | CFile::typeText)) {
        m_dwError = GIBO_ERR_OPEN;
        return 0;
    }

    // Header: from the first \HS to the first \HE after it.
    bool bReadFailed = false;
    bool bStarted = false;
    bool bComplete = false;
    CString line;
    while (!bComplete && ReadLine(record, line, bReadFailed)) {
        if (!bStarted) {
            const int hs = line.Find("\\HS");
            if (hs < 0) {
                continue;
            }
            bStarted = true;
            line = line.Mid(hs + 3);
            if (line.IsEmpty()) {
                continue;
            }
        }
        const int he = line.Find("\\HE");
        if (he >= 0) {
            line = line.Left(he);
            bComplete = true;
            if (line.IsEmpty()) {
                continue;
            }
        }
        m_strHeader += line;
        m_strHeader += kCrLf;
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
    bool bWriteFailed = false;
    bStarted = false;
    bComplete = false;
    while (!bComplete && !bWriteFailed && ReadLine(record, line, bReadFailed)) {
        TrimBlanks(line);
        if (!bStarted) {
            const int gs = line.Find("\\GS");
            if (gs < 0) {
                continue;
            }
            bStarted = true;
            line = line.Mid(gs + 3);
            if (line.IsEmpty()) {
                continue;
            }
        }
        const int ge = line.Find("\\GE");
        if (ge < 0) {
            line += kCrLf;  // one write per line
            bWriteFailed = !Put(body, line, static_cast<size_t>(line.GetLength()));
            continue;
        }
        bComplete = true;
        bWriteFailed = !PutLastBodyLine(body, line.Left(ge));
    }
    record.Abort();  // read only: nothing to flush
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
    CFile in;
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
    CFile audio;
    if (!audio.Open(strAudioPath, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_AUDIO_CREATE;
        return 0;
    }
    audioGuard.Arm(strAudioPath.str());
    unsigned char buffer[1024];
    for (;;) {
        unsigned got = 0;
        try {
            got = in.Read(buffer, sizeof buffer);
        } catch (const CFileException&) {
            m_dwError = GIBO_ERR_AUDIO_REOPEN;
            return 0;
        }
        if (got == 0) {
            break;
        }
        if (!Put(audio, buffer, got)) {
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
