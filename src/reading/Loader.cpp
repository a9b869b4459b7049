// Taking a record file apart: header into the parameter text, body into the .lbk side file,
// audio trailer into the .lao side file.
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
#include "framework/Paths.h"
#include "reading/BodyWriter.h"
#include "reading/Number.h"
#include "reading/RecordScanner.h"

namespace {

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

// Writes the body lines into a new body file.
gibo::Failure WriteBody(gibo::RecordScanner& scanner, const CString& strBodyPath,
                        gibo::RemoveGuard& guard) {
    gibo::Fd body;
    if (gibo::Failure f = CreateSideFile(strBodyPath, GIBO_ERR_BODY_CREATE, body, guard)) {
        return f;
    }
    gibo::BodyWriter bodyLines(body.Get());
    const gibo::Failure read = scanner.ScanBody(bodyLines);
    bodyLines.Flush();
    const gibo::Status closed = body.Close();
    if (bodyLines.Failure() || closed) {
        return gibo::Raise(GIBO_ERR_BODY_CREATE, bodyLines.Failure() ? bodyLines.Failure() : closed,
                           strBodyPath);
    }
    return read;
}

// Copies the audio, the last nAudio bytes of the record, into a new audio file.
gibo::Failure CopyAudio(const CString& strPath, long long nAudio, const CString& strAudioPath,
                        gibo::RemoveGuard& guard) {
    gibo::Fd in;
    int64_t length = 0;
    int64_t at = 0;
    if (gibo::OpenFile(strPath, gibo::kRead, in) != 0 || gibo::LengthOf(in.Get(), length) != 0 ||
        !gibo::AudioFits(nAudio, length) || gibo::SeekFd(in.Get(), -nAudio, SEEK_END, at) != 0) {
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
        // One pass over the file, in pieces: nothing is copied or allocated per line.
        gibo::RecordScanner scanner(in.Get(), strPath);
        if (gibo::Failure f = scanner.ReadHeader(record.m_strHeader)) {
            return f;
        }
        int bFound = 0;
        nAudio = gibo::NumberOf(record.GetParam("SZAUDIO", bFound));
        if (gibo::Failure f = RefuseRecordAsSideFile(strPath, strBodyPath, strAudioPath, nAudio)) {
            return f;
        }
        if (gibo::Failure f = WriteBody(scanner, strBodyPath, bodyGuard)) {
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
