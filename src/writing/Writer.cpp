// Joining the parameter text, a body file and an audio file into one record file.
#include <cstdint>
#include <string>

#include "GiboFile.h"
#include "framework/FileSystem.h"

namespace {

enum class Copy { kDone, kReadFailed, kWriteFailed };

// Copies the rest of a file through one fixed buffer. Read and write failures are told apart:
// they carry different error codes.
Copy CopyAll(CFile& from, CFile& to) {
    unsigned char buffer[1024];
    for (;;) {
        unsigned got = 0;
        try {
            got = from.Read(buffer, sizeof buffer);
        } catch (const CFileException&) {
            return Copy::kReadFailed;
        }
        if (got == 0) {
            return Copy::kDone;
        }
        try {
            to.Write(buffer, got);
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
    CFile out;
    if (!out.Open(temp.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_CREATE;
        return 0;
    }

    // SZAUDIO is a signed 32-bit number: a larger audio file could not be found again.
    CFile audio;
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
    // own, which is not added to the parameter text.
    const bool bTypeItem = ReplaceParam("TYPE", std::to_string(byType).c_str()) != 0;
    const bool bSizeItem = ReplaceParam("SZAUDIO", std::to_string(nAudio).c_str()) != 0;
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

    CFile body;
    if (!body.Open(strBodyPath, CFile::modeRead | CFile::typeBinary)) {
        m_dwError = GIBO_ERR_BODY_OPEN;
        return 0;
    }
    Copy copied = CopyAll(body, out);
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
        copied = CopyAll(audio, out);
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
