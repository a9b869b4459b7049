// Reading records through the library's scanner, and loading them through a private directory.
#include "record/loading.h"

#include <cstdio>

#include "cli/errors.h"
#include "framework/FileSystem.h"
#include "os/input.h"
#include "os/workdir.h"

namespace {

// The library's load, with its failures in words that say which file could not be made.
bool Load(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded, std::string& error) {
    try {
        const int ok = loaded.record.LoadFile(dir.Record().c_str(), loaded.bodyPath,
                                              loaded.audioPath, loaded.type, loaded.hasAudio);
        dir.KeepsAudio(ok && loaded.hasAudio);
        if (!ok) {
            const unsigned long code = loaded.record.GetError();
            const bool body = code == GIBO_ERR_BODY_CREATE;
            error = body || code == GIBO_ERR_AUDIO_CREATE
                        ? dir.NoRoom(body ? "body" : "audio", "cannot create it", in.Size())
                        : LoadErrorText(code);
            return false;
        }
    } catch (const CFileException& e) {
        const std::string file = e.m_strFileName.str();
        const std::string why = SystemReason(static_cast<int>(e.m_lOsError));
        if (file.compare(0, dir.Path().size(), dir.Path()) == 0 && file != dir.Record()) {
            error = dir.NoRoom(file == dir.Body() ? "body" : "audio", why, in.Size());
        } else {
            error = "read error: " + why;
        }
        return false;
    }
    return true;
}

}  // namespace

bool OpenRecord(const std::string& path, InputFile& in, std::string& error) {
    if (in.Open(path, error)) {
        return true;
    }
    error = LoadErrorText(GIBO_ERR_OPEN) + " (" + error + ")";
    return false;
}

bool ReadRecord(const std::string& path, ScannedRecord& scanned, std::string& error) {
    InputFile in;
    if (!OpenRecord(path, in, error)) {
        return false;
    }
    const gibo::Failure failure =
        gibo::ScanRecord(in.Fd(), path.c_str(), scanned.record, scanned.type, scanned.sizes);
    scanned.error = failure.dwCode;
    if (failure.err != 0) {
        error = "read error: " + SystemReason(failure.err);
    } else if (failure) {
        error = LoadErrorText(failure.dwCode);
    }
    return !failure;
}

bool LoadPrivately(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error) {
    if (!dir.Hold(in, error) || !Load(in, dir, loaded, error)) {
        return false;
    }
    if (loaded.hasAudio) {  // the scanner measures the audio where the loader took it
        ScannedRecord scanned;
        int64_t at = 0;
        if (gibo::SeekFd(in.Fd(), 0, SEEK_SET, at) == 0 &&
            !gibo::ScanRecord(in.Fd(), dir.Record().c_str(), scanned.record, scanned.type,
                              scanned.sizes)) {
            loaded.audioInBody = scanned.sizes.nAudioInBody;
        }
    }
    error.clear();
    return true;
}
