#include "framework/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "framework/Faults.h"
#include "framework/Gbk.h"
#include "framework/SystemPath.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gibo {

namespace {

// The directory part of a path, separator included; empty for a bare name.
std::string DirectoryOf(const std::string& path) {
    size_t cut = 0;
    const size_t n = path.size();
    for (size_t i = 0; i < n; i += GbkCharLen(path.data(), i, n)) {
        const char c = path[i];
#ifdef _WIN32
        // A trail byte 0x5C of a double-byte character is stepped over, never taken for '\'.
        if (c == '/' || c == '\\' || (c == ':' && i == 1)) {
            cut = i + 1;
        }
#else
        if (c == '/') {
            cut = i + 1;
        }
#endif
    }
    return path.substr(0, cut);
}

// A name no other save is using: the process, a counter and the clock make it unique, and the
// exclusive create below catches what they miss.
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

#ifdef _WIN32

// Paths reach the wide-character calls converted from GBK (see SystemPath.h), so a GBK name
// means the same file whatever the system's ANSI code page is.

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

std::string CreateTempBeside(const char* pszPath) {
    if (!pszPath || !*pszPath) {
        return std::string();
    }
    const std::string dir = DirectoryOf(pszPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TempName(dir);
        SystemPath path;
        if (!ToSystemPath(name.c_str(), path)) {
            break;
        }
        const int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                                _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            ::_close(fd);
            return name;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return std::string();
}

bool RenameOver(const char* pszFrom, const char* pszTo) {
    if (FaultDue(FileOp::Rename)) {
        return false;
    }
    SystemPath from;
    SystemPath to;
    if (!ToSystemPath(pszFrom, from) || !ToSystemPath(pszTo, to)) {
        return false;
    }
    // ReplaceFile swaps the new data in under the existing file's identity, keeping its
    // attributes and security; with nothing to replace, a plain move puts the file in place.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;  // as rename() refuses: a record never takes a directory's place
    }
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        return true;
    }
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
    if (!pszPath) {
        return std::string();
    }
    struct stat st;
    if (::lstat(pszPath, &st) == 0 && S_ISLNK(st.st_mode)) {
        // A dangling link has no file to resolve to; the link itself is then replaced.
        if (char* real = ::realpath(pszPath, nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return pszPath;
}

std::string CreateTempBeside(const char* pszPath) {
    if (!pszPath || !*pszPath) {
        return std::string();
    }
    const std::string dir = DirectoryOf(pszPath);
    struct stat target;
    const bool keepMode = ::stat(pszPath, &target) == 0 && S_ISREG(target.st_mode);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TempName(dir);
        const int fd = FaultDue(FileOp::Open)
                           ? -1
                           : ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Best effort: a record saved with the default permissions is still a record.
            if (keepMode) {
                (void)::fchmod(fd, target.st_mode & 07777);
            }
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return std::string();
}

bool RenameOver(const char* pszFrom, const char* pszTo) {
    return !FaultDue(FileOp::Rename) && ::rename(pszFrom, pszTo) == 0;
}

#endif

}  // namespace gibo
