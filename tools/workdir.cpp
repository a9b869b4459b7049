// Private temporary directories and loading through them.
#include "workdir.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "errors.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The directory in use, as fixed buffers the signal handler can read without allocating.
const int kPathMax = 4096;
const char* const kNames[] = {"/record.gib", "/record.lbk", "/record.lao", "/scratch"};
char g_szDir[kPathMax];
char g_szFiles[4][kPathMax + 16];

void RemoveFiles() {
    for (const char* file : g_szFiles) {
        std::remove(file);
    }
}

void RemoveCurrent() {
    if (!g_szDir[0]) {
        return;
    }
    RemoveFiles();
#ifdef _WIN32
    _rmdir(g_szDir);
#else
    rmdir(g_szDir);
#endif
    g_szDir[0] = '\0';
}

void OnSignal(int sig) {
    RemoveCurrent();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

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

}  // namespace

PrivateDir::PrivateDir() {
    m_path = MakeTempDir();
    if (m_path.empty() || m_path.size() >= static_cast<size_t>(kPathMax)) {
        m_path.clear();
        return;
    }
    std::snprintf(g_szDir, sizeof g_szDir, "%s", m_path.c_str());
    for (int i = 0; i < 4; ++i) {
        std::snprintf(g_szFiles[i], sizeof g_szFiles[i], "%s%s", m_path.c_str(), kNames[i]);
    }
}

PrivateDir::~PrivateDir() {
    if (m_path.empty()) {
        return;
    }
    RemoveCurrent();
    std::error_code ec;
    fs::remove_all(m_path, ec);  // anything a failed step may have left
}

void PrivateDir::Clear() const {
    if (m_path.empty()) {
        return;
    }
    if (m_nullLinks) {
        std::remove(g_szFiles[0]);
        if (!m_onlyLinkAndBody) {
            std::remove(g_szFiles[2]);  // the audio file is always a file of its own
        }
    } else if (m_onlyLinkAndBody) {
        std::remove(g_szFiles[0]);
        std::remove(g_szFiles[1]);
    } else {
        RemoveFiles();
    }
    m_onlyLinkAndBody = true;  // until a load says otherwise
#ifndef _WIN32
    if (m_discard && !m_nullLinks) {
        // A failed load removes its side files, the link included: made again when needed.
        std::remove(g_szFiles[1]);
        m_nullLinks = symlink("/dev/null", g_szFiles[1]) == 0;
    }
#endif
}

void InstallCleanupHandlers() {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

bool LoadPrivately(const std::string& path, const PrivateDir& dir, LoadedRecord& loaded,
                   std::string& error) {
    if (!dir.Ok()) {
        error = "cannot create a private temporary directory";
        return false;
    }
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) {
        error = LoadErrorText(GIBO_ERR_OPEN) + " (no such file)";
        return false;
    }
    if (fs::is_directory(st)) {
        error = "is a directory (use -r DIR to read the records in it)";
        return false;
    }
    dir.Clear();  // what the previous record of a batch left
    dir.m_onlyLinkAndBody = false;
    // The working directory once per run, not once per record.
    static const fs::path cwd = fs::current_path(ec);
    const fs::path target = fs::path(path).is_absolute() ? fs::path(path) : cwd / path;
    fs::create_symlink(target, dir.Record(), ec);
    if (ec) {
        // No symbolic links here (Windows without the privilege): work on a copy.
        ec.clear();
        fs::copy_file(target, dir.Record(), ec);
        if (ec) {
            error = LoadErrorText(GIBO_ERR_OPEN) + " (" + ec.message() + ")";
            return false;
        }
    }
    try {
        const int ok = loaded.record.LoadFile(dir.Record().c_str(), loaded.bodyPath,
                                              loaded.audioPath, loaded.type, loaded.hasAudio);
        dir.m_onlyLinkAndBody = ok && !loaded.hasAudio;
        dir.m_nullLinks = dir.m_nullLinks && ok;
        if (!ok) {
            const unsigned long code = loaded.record.GetError();
            error = LoadErrorText(code);
            if (code == GIBO_ERR_OPEN) {
                FILE* fp = std::fopen(path.c_str(), "rb");
                if (fp) {
                    std::fclose(fp);
                } else {
                    error += std::string(" (") + std::strerror(errno) + ")";
                }
            }
            return false;
        }
    } catch (const CFileException& e) {
        error = std::string("read error: ") + e.what();
        return false;
    }
    return true;
}
