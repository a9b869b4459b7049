// Replacing files through a temporary beside them.
#include "os/replace.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "os/input.h"
#include "os/signals.h"
#include "record/layout.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string RandomName() {
    static std::random_device rd;
    char name[40];
    std::snprintf(name, sizeof name, ".gibo-%08x%08x.tmp", rd(), rd());
    return name;
}

int CreateExclusive(const std::string& path) {
#ifdef _WIN32
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
#endif
}

bool WriteAll(int fd, const char* p, size_t n, std::string& error) {
    while (n > 0) {
#ifdef _WIN32
        const int got = _write(fd, p, static_cast<unsigned>(n > 1u << 30 ? 1u << 30 : n));
#else
        const ssize_t got = ::write(fd, p, n);
#endif
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = SystemReason(errno);
            return false;
        }
        p += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

#ifndef _WIN32
// The owner, group and mode of the file being replaced; a new file gets the mode the umask
// allows, as any new file would.
void TakeOver(int fd, const std::string& target) {
    struct stat st;
    if (lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            (void)!fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        }
        fchmod(fd, st.st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}
#endif

}  // namespace

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    CloseFd(m_fd);
    if (!m_temp.empty()) {
        std::remove(m_temp.c_str());
        m_temp.clear();
    }
    ForgetTemporary(m_slot);
    m_slot = -1;
}

bool FileReplacement::Begin(const std::string& target, const InputFile* source,
                            std::string& error) {
    Discard();
    m_target = target;
    struct stat st;
#ifdef _WIN32
    const int there = stat(target.c_str(), &st);
#else
    const int there = lstat(target.c_str(), &st);
#endif
    if (there == 0 && (st.st_mode & S_IFMT) == S_IFDIR) {
        error = "is a directory";
        return false;
    }
    if (there == 0 && source && static_cast<unsigned long long>(st.st_dev) == source->Device() &&
        static_cast<unsigned long long>(st.st_ino) == source->Inode()) {
        error = "is the file being read; it is not replaced by a part of itself";
        return false;
    }
    const std::string dir = DirectoryOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = dir + RandomName();
        m_slot = RegisterTemporary(temp);
        if (m_slot < 0) {
            error = "the path is too long";
            return false;
        }
        m_fd = CreateExclusive(temp);
        if (m_fd >= 0) {
            m_temp = temp;
            return true;
        }
        const int err = errno;
        ForgetTemporary(m_slot);
        m_slot = -1;
        if (err != EEXIST) {
            error = "cannot create a file in " + (dir.empty() ? std::string(".") : dir) + ": " +
                    SystemReason(err);
            return false;
        }
    }
    error = "cannot find a free temporary name in " + dir;
    return false;
}

bool FileReplacement::CopyFrom(int fd, long long offset, std::string& error) {
    return ReadPieces(
        fd, offset, [this, &error](const char* p, size_t n) { return WriteAll(m_fd, p, n, error); },
        error);
}

bool FileReplacement::Commit(std::string& error) {
#ifdef _WIN32
    const bool synced = _commit(m_fd) == 0;
    const int err = errno;
    const bool closed = _close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed ||
        !MoveFileExA(m_temp.c_str(), m_target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = synced ? "cannot replace the file" : SystemReason(err);
        return false;
    }
#else
    TakeOver(m_fd, m_target);
    const bool synced = fsync(m_fd) == 0;
    const int err = errno;
    const bool closed = ::close(m_fd) == 0;
    const int closeErr = errno;
    m_fd = -1;
    if (!synced || !closed) {
        error = SystemReason(synced ? closeErr : err);
        return false;
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        error = "cannot replace the file: " + SystemReason(errno);
        return false;
    }
    SyncDirectory(DirectoryOf(m_target));
#endif
    m_temp.clear();
    ForgetTemporary(m_slot);
    m_slot = -1;
    return true;
}
