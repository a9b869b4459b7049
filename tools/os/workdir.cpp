// Private temporary directories and loading through them.
#include "os/workdir.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "cli/errors.h"
#include "os/input.h"
#include "os/signals.h"
#include "record/layout.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path TempBase() {
    std::error_code ec;
#ifndef _WIN32
    const char* tmpdir = std::getenv("TMPDIR");
    if (!tmpdir || !*tmpdir) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        for (const char* candidate : {runtime, "/dev/shm"}) {
            if (candidate && *candidate && fs::is_directory(candidate, ec) &&
                access(candidate, W_OK | X_OK) == 0) {
                return candidate;
            }
        }
    }
#endif
    fs::path base = fs::temp_directory_path(ec);
    return ec ? fs::path(".") : base;
}

std::string MakeTempDir() {
    const fs::path base = TempBase();
#ifdef _WIN32
    std::error_code ec;
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path p = base / ("gibo-" + std::to_string(rd()));
        if (fs::create_directory(p, ec)) {
            return p.string();
        }
    }
    return std::string();
#else
    std::string templ = (base / "gibo-XXXXXX").string();
    if (!mkdtemp(&templ[0])) {
        return std::string();
    }
    return templ;
#endif
}

// What the library reports when it could not write the private copy, in words that say where
// the room ran out.
std::string ScratchError(const PrivateDir& dir, const std::string& what, const std::string& why,
                         long long need) {
    return "cannot make the private copy of the " + what + " in " + dir.Path() + " (" + why +
           "); it needs up to " + std::to_string(need) +
           " bytes there: set TMPDIR to a directory with that much room";
}

}  // namespace

PrivateDir::PrivateDir() {
    DeferSignals defer;  // made and registered in one step, so that a stop finds it
    const std::string path = MakeTempDir();
    if (path.empty()) {
        return;
    }
    m_path = path;
    const std::string files[] = {Record(), Body(), Audio(), Scratch()};
    m_slots[0] = RegisterTemporary(path, true);
    for (int i = 0; i < 4; ++i) {
        m_slots[i + 1] = RegisterTemporary(files[i]);
    }
    for (int slot : m_slots) {
        if (slot < 0) {
            fs::remove(path);
            m_path.clear();
            break;
        }
    }
}

PrivateDir::~PrivateDir() {
    if (m_path.empty()) {
        return;
    }
    std::error_code ec;
    fs::remove_all(m_path, ec);
    for (int slot : m_slots) {
        ForgetTemporary(slot);
    }
}

void PrivateDir::Clear() const {
    if (m_path.empty()) {
        return;
    }
    if (m_audio) {
        std::remove(Audio().c_str());  // large, perhaps: not kept until the next record with audio
        m_audio = false;
    }
}

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
    if (!dir.Ok()) {
        error = "cannot create a private temporary directory in " + TempBase().string() +
                "; set TMPDIR to a writable directory";
        return false;
    }
    dir.Clear();  // what the previous record of a batch left
    std::error_code ec;
    // Records of a batch are opened one after another under the same descriptor number, so
    // that one link serves them all.
    if (dir.m_linked != in.OpenedName()) {
        std::remove(dir.Record().c_str());
        dir.m_linked.clear();
        fs::create_symlink(in.OpenedName(), dir.Record(), ec);
        if (!ec) {
            dir.m_linked = in.OpenedName();
        } else {
            // No symbolic links here (Windows without the privilege): work on a copy.
            ec.clear();
            fs::copy_file(in.OpenedName(), dir.Record(), ec);
            if (ec) {
                error = ScratchError(dir, "record", ec.message(), in.Size());
                return false;
            }
        }
    }
    try {
        const int ok = loaded.record.LoadFile(dir.Record().c_str(), loaded.bodyPath,
                                              loaded.audioPath, loaded.type, loaded.hasAudio);
        dir.m_audio = ok && loaded.hasAudio;
        if (!ok) {
            const unsigned long code = loaded.record.GetError();
            error = code == GIBO_ERR_BODY_CREATE
                        ? ScratchError(dir, "body", "cannot create it", in.Size())
                    : code == GIBO_ERR_AUDIO_CREATE
                        ? ScratchError(dir, "audio", "cannot create it", in.Size())
                        : LoadErrorText(code);
            return false;
        }
    } catch (const CFileException& e) {
        const std::string file = e.m_strFileName.str();
        const std::string why = SystemReason(static_cast<int>(e.m_lOsError));
        if (file.compare(0, dir.Path().size(), dir.Path()) == 0 && file != dir.Record()) {
            error = ScratchError(dir, file == dir.Body() ? "body" : "audio", why, in.Size());
        } else {
            error = "read error: " + why;
        }
        return false;
    }
    long long end = 0;
    if (loaded.hasAudio && BodyEnd(in.Fd(), end, error)) {
        const long long audio = static_cast<long long>(fs::file_size(loaded.audioPath.str(), ec));
        const long long after = end < 0 ? 0 : in.Size() - end;
        loaded.audioInBody = !ec && audio > after ? audio - after : 0;
    }
    error.clear();
    return true;
}
