#include "framework/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "framework/Faults.h"
#include "framework/Paths.h"
#include "framework/SystemPath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gibo {

namespace {

// A name no other save is using: the process, a counter and the clock make it unique, and the
// exclusive create catches what they miss.
std::string TempName(const std::string& dir) {
    static std::atomic<unsigned> s_nCounter{0};
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char name[96];
    std::snprintf(name, sizeof name, ".gibo-%lx-%x-%llx.tmp", pid, s_nCounter++,
                  ticks & 0xFFFFFFFFFFull);
    return dir + name;
}

}  // namespace

Replacement::~Replacement() {
    m_temp.Abort();  // closed before its guard removes it, as Windows needs
}

Status Replacement::Begin(const char* pszTarget, const FileId* pExpected) {
    if (!pszTarget || !*pszTarget) {
        return ENOENT;
    }
    m_strTarget = pszTarget;
    Status s = OpenDirectoryOf(pszTarget, m_dir);
    s = s ? s : LookAt(m_dir, pszTarget, m_original);
    if (s) {
        return s;
    }
    if (m_original.bDirectory) {
        return EISDIR;
    }
    if (pExpected && !SameId(*pExpected, m_original)) {
        return kOtherFile;
    }
    // Private while it is written when it replaces a file, which gives it its mode at the end;
    // what replaces a link or a new name gets the usual mode.
    const unsigned perms = m_original.bRegular ? 0600 : 0666;
    const std::string dir = DirectoryOf(pszTarget);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TempName(dir);
        s = CreateNewIn(m_dir, name.c_str(), perms, m_temp);
        if (s == 0) {
            m_strTemp = std::move(name);
            m_guard.Arm(m_strTemp);
            return 0;
        }
        if (s != EEXIST) {
            return s;
        }
    }
    return EEXIST;
}

Status Replacement::Finish() {
    if (m_original.bRegular) {
        TakeOwnerAndMode(m_temp.Get(), m_original);
    }
    const Status s = SyncData(m_temp.Get());
    const Status closed = m_temp.Close();
    return s ? s : closed;
}

Status Replacement::Place() {
    TestHook("rename");
    FileId now;
    if (const Status s = LookAt(m_dir, m_strTarget.c_str(), now)) {
        return s;
    }
    if (!SameId(now, m_original)) {
        return kOtherFile;  // another file took the name since Begin: it is not ours to replace
    }
    bool bKeepTemp = false;
    const Status s = RenameIn(m_dir, m_strTemp.c_str(), m_strTarget.c_str(), &bKeepTemp);
    if (s == 0 || bKeepTemp) {
        m_guard.Release();  // in place, or the record's only copy now
    }
    return s;
}

Status Replacement::SyncPlaced() {
    return SyncDirectory(m_dir, m_strTarget.c_str());
}

Status Replacement::Commit() {
    Status s = Finish();
    s = s ? s : Place();
    return s ? s : SyncPlaced();
}

#ifdef _WIN32

bool SameFile(const char* pszA, const char* pszB) {
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {pszA, pszB};
    for (int k = 0; k < 2; ++k) {
        SystemPath path;
        if (!ToSystemPath(paths[k], path)) {
            return false;
        }
        HANDLE h =
            CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return false;
        }
        const BOOL ok = GetFileInformationByHandle(h, &info[k]);
        CloseHandle(h);
        if (!ok) {
            return false;
        }
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool RemoveFile(const char* pszPath) {
    SystemPath path;
    return ToSystemPath(pszPath, path) && DeleteFileW(path.c_str());
}

std::string ResolveLinks(const char* pszPath) {
    return pszPath ? pszPath : "";
}

#else

bool SameFile(const char* pszA, const char* pszB) {
    struct stat a;
    struct stat b;
    if (!pszA || !pszB || ::stat(pszA, &a) != 0 || ::stat(pszB, &b) != 0) {
        return false;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool RemoveFile(const char* pszPath) {
    return pszPath && *pszPath && ::unlink(pszPath) == 0;
}

std::string ResolveLinks(const char* pszPath) {
    std::string path = pszPath ? pszPath : "";
    // As many links as the system itself follows before it gives up (ELOOP).
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return path;
        }
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), &target[0], target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) {
            return path;  // changed under us: the link itself is replaced
        }
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : DirectoryOf(path) + target;
    }
    return path;
}

#endif

}  // namespace gibo
