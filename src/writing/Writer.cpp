// Joining the parameter text, a body file and an audio file into one record file.
#include <cstdint>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "framework/BulkFile.h"
#include "framework/FileSystem.h"

namespace {

enum class Copy { kDone, kReadFailed, kWriteFailed };

// Copies the rest of a file, inside the system where it can, else through one buffer. Read and
// write failures are told apart: they carry different error codes.
Copy CopyAll(gibo::BulkFile& from, gibo::BulkFile& to, std::vector<unsigned char>& buffer) {
    try {
        if (from.CopyRestTo(to)) {
            return Copy::kDone;
        }
    } catch (const CFileException&) {
        return Copy::kWriteFailed;  // the output's position is lost: nothing more goes into it
    }
    for (;;) {
        unsigned got = 0;
        try {
            got = from.Read(buffer.data(), static_cast<unsigned>(buffer.size()));
        } catch (const CFileException&) {
            return Copy::kReadFailed;
        }
        if (got == 0) {
            return Copy::kDone;
        }
        try {
            to.Write(buffer.data(), got);
        } catch (const CFileException&) {
            return Copy::kWriteFailed;
        }
    }
}

void AppendItem(std::string& strOut, const char* pszTag, long long nValue) {
    strOut += "\\[";
    strOut += pszTag;
    strOut += " = ";
    strOut += std::to_string(nValue);
    strOut += "\\]\r\n";
}

}  // namespace

int CGiboFile::SaveFile(unsigned char byType, CString strPath, CString strBodyPath,
                        CString strAudioPath) {
    CFileFind find;
    if (!find.FindFile(strBodyPath)) {
        m_dwError = GIBO_ERR_OPEN;
        return 0;
    }
    const bool bHasAudio = !strAudioPath.IsEmpty() && find.FindFile(strAudioPath);

    // The record is written under a temporary name beside the target and moved into place only
    // when it is complete and closed: a failed save leaves the old record as it was, and
    // strPath may name the body or audio file itself. A link at strPath stays a link.
    const std::string target = gibo::ResolveLinks(strPath);
    gibo::RemoveGuard tempGuard;
    const std::string temp = gibo::CreateTempBeside(target.c_str());
    if (temp.empty()) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }
    tempGuard.Arm(temp);
    gibo::BulkFile out;
    if (!out.Open(temp.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }

    // SZAUDIO is a signed 32-bit number: a larger audio file could not be found again.
    gibo::BulkFile audio;
    long long nAudio = 0;
    if (bHasAudio) {
        if (!audio.Open(strAudioPath, CFile::modeRead | CFile::typeBinary)) {
            m_dwError = GIBO_ERR_AUDIO_OPEN;
            return 0;
        }
        try {
            nAudio = audio.GetLength();
        } catch (const CFileException&) {
            nAudio = -1;
        }
        if (nAudio < 0 || nAudio > INT32_MAX) {
            m_dwError = GIBO_ERR_AUDIO_OPEN;
            return 0;
        }
    }

    // Items already in the header get the values in place; missing ones get a line of their
    // own, which is not added to the parameter text. In a damaged header one item can stand in
    // the other's value ("\[SZAUDIO =\[TYPE = 3\]"), and the second replacement then removes
    // the first: an item that does not read back as written also gets a line, which the loader
    // finds before it.
    const std::string typeText = std::to_string(byType);
    const std::string sizeText = std::to_string(nAudio);
    ReplaceParam("TYPE", typeText.c_str());
    ReplaceParam("SZAUDIO", sizeText.c_str());
    int bFound = 0;
    const bool bTypeItem = GetParam("TYPE", bFound).str() == typeText && bFound;
    const bool bSizeItem = GetParam("SZAUDIO", bFound).str() == sizeText && bFound;
    std::string head;
    head.reserve(static_cast<size_t>(m_strHeader.GetLength()) + 64);
    head += "\\HS\r\n";
    if (!bTypeItem) {
        AppendItem(head, "TYPE", byType);
    }
    if (!bSizeItem) {
        AppendItem(head, "SZAUDIO", nAudio);
    }
    head += m_strHeader.str();
    head += "\\HE\r\n";
    if (head.size() > UINT32_MAX) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }
    try {
        out.Write(head.data(), static_cast<unsigned>(head.size()));
        out.Write("\\GS\r\n", 5);
    } catch (const CFileException&) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }

    gibo::BulkFile body;
    if (!body.Open(strBodyPath, CFile::modeRead | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_BODY_OPEN;
        return 0;
    }
    std::vector<unsigned char> buffer(gibo::kCopyPiece);
    Copy copied = CopyAll(body, out, buffer);
    if (copied == Copy::kDone) {
        try {
            out.Write("\\GE\r\n", 5);
        } catch (const CFileException&) {
            copied = Copy::kWriteFailed;
        }
    }
    if (copied == Copy::kReadFailed) {
        m_dwError = GIBO_ERR_BODY_OPEN;
        return 0;
    }
    if (copied == Copy::kDone && bHasAudio) {
        copied = CopyAll(audio, out, buffer);
        if (copied == Copy::kReadFailed) {
            m_dwError = GIBO_ERR_AUDIO_OPEN;
            return 0;
        }
    }
    if (copied == Copy::kWriteFailed) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }

    // Close reports what the last buffered write could not put on disk. The sources are closed
    // too: a file still open cannot be replaced on every system, and strPath may name one.
    body.Abort();
    audio.Abort();
    try {
        out.Close();
    } catch (const CFileException&) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }
    if (!gibo::RenameOver(temp.c_str(), target.c_str())) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }
    tempGuard.Release();
    return 1;
}
