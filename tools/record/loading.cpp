// Loading records through a private directory.
#include "record/loading.h"

#include <filesystem>

#include "cli/errors.h"
#include "os/input.h"
#include "os/workdir.h"
#include "record/layout.h"

namespace {

// The library's load, with its failures in words that say which file could not be made.
bool Load(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded, std::string& error) {
    try {
        const int ok = loaded.record.LoadFile(dir.Record().c_str(), loaded.bodyPath,
                                              loaded.audioPath, loaded.type, loaded.hasAudio);
        dir.KeepsAudio(ok && loaded.hasAudio);
        if (!ok) {
            const unsigned long code = loaded.record.GetError();
            error = code == GIBO_ERR_BODY_CREATE ? dir.NoRoom("body", "cannot create it", in.Size())
                    : code == GIBO_ERR_AUDIO_CREATE
                        ? dir.NoRoom("audio", "cannot create it", in.Size())
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

bool LoadPrivately(const std::string& path, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error) {
    InputFile in;
    return OpenRecord(path, in, error) && LoadPrivately(in, dir, loaded, error);
}

bool LoadPrivately(const InputFile& in, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error) {
    if (!dir.Hold(in, error) || !Load(in, dir, loaded, error)) {
        return false;
    }
    long long end = 0;
    if (loaded.hasAudio && BodyEnd(in.Fd(), end, error)) {
        std::error_code ec;
        const auto audio =
            static_cast<long long>(std::filesystem::file_size(loaded.audioPath.str(), ec));
        const long long after = end < 0 ? 0 : in.Size() - end;
        loaded.audioInBody = !ec && audio > after ? audio - after : 0;
    }
    error.clear();
    return true;
}
