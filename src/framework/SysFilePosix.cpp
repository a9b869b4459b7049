// The file layer on POSIX systems.
#ifndef _WIN32

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/Faults.h"
#include "framework/FileSystem.h"
#include "framework/Paths.h"
#include "framework/SysFile.h"

namespace gibo {

namespace {

int Errno() {
    return errno ? errno : EIO;
}

// Opens and refuses a directory: a record, a side file or a temporary is never one.
Status OpenChecked(const char* pszPath, int flags, unsigned perms, Fd& out) {
    out.Abort();
    if (!pszPath || !*pszPath) {
        return ENOENT;
    }
    const int fd = ::open(pszPath, flags | O_CLOEXEC | O_NOCTTY, perms);
    if (fd < 0) {
        return Errno();
    }
    Fd opened(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        return Errno();
    }
    if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    }
    out = std::move(opened);
    return 0;
}

int Flags(unsigned nMode) {
    int flags = (nMode & kWrite) ? ((nMode & kRead) ? O_RDWR : O_WRONLY) : O_RDONLY;
    if (nMode & kCreate) {
        flags |= O_CREAT;
    }
    if (nMode & kTruncate) {
        flags |= O_TRUNC;
    }
    return flags;
}

}  // namespace

Status CloseDescriptor(int fd) {
    // Linux closes the descriptor even when close reports a failure: never retry.
    return ::close(fd) != 0 ? Errno() : 0;
}

Status OpenFile(const char* pszPath, unsigned nMode, Fd& out) {
    if (const int fault = FaultDue(FileOp::Open)) {
        return fault;
    }
    return OpenChecked(pszPath, Flags(nMode), 0666, out);
}

Status CreateNew(const char* pszPath, unsigned nPerms, Fd& out) {
    if (const int fault = FaultDue(FileOp::Create)) {
        return fault;
    }
    return OpenChecked(pszPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, nPerms, out);
}

Status EmptyInPlace(const char* pszPath, Fd& out) {
    if (const int fault = FaultDue(FileOp::Open)) {
        return fault;
    }
    // O_NONBLOCK: a FIFO planted there must not stop the load; it is refused below.
    Fd fd;
    if (const Status s = OpenChecked(pszPath, O_WRONLY | O_NOFOLLOW | O_NONBLOCK, 0, fd)) {
        return s;
    }
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) {
        return Errno();
    }
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1) {
        return EACCES;
    }
    if (::ftruncate(fd.Get(), 0) != 0) {
        return Errno();
    }
    out = std::move(fd);
    return 0;
}

Status CheckReplaceable(const char* pszPath) {
    if (const int fault = FaultDue(FileOp::Open)) {
        return fault;
    }
    struct stat st;
    if (::stat(pszPath, &st) != 0) {
        return errno == ENOENT ? 0 : Errno();
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;  // a record never takes their place
    }
    // Opening is the one test that counts what the system counts (owner, mode, ACLs, a
    // read-only mount).
    const int fd = ::open(pszPath, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Errno();
    }
    ::close(fd);
    return 0;
}

Status ReadSome(int fd, void* pBuf, size_t nCount, size_t& nGot) {
    nGot = 0;
    if (const int fault = FaultDue(FileOp::Read)) {
        return fault;
    }
    for (;;) {
        const ssize_t n = ::read(fd, pBuf, nCount);
        if (n >= 0) {
            nGot = static_cast<size_t>(n);
            return 0;
        }
        if (errno != EINTR) {
            return Errno();
        }
    }
}

Status WriteAll(int fd, const void* pBuf, size_t nCount) {
    if (const int fault = FaultDue(FileOp::Write)) {
        return fault;
    }
    const char* p = static_cast<const char*>(pBuf);
    while (nCount > 0) {
        const ssize_t n = ::write(fd, p, nCount);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0 ? ENOSPC : Errno();
        }
        p += n;
        nCount -= static_cast<size_t>(n);
    }
    return 0;
}

Status CopyRest(int from, int to) {
#ifdef __linux__
    // The bytes never pass through this process, as with cp. A system or file system that
    // cannot copy so says so before the first byte, and the buffer below takes over.
    bool any = false;
    for (;;) {
        const int fault = FaultDue(FileOp::Copy);
        const ssize_t n =
            fault ? (errno = fault, -1) : ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n > 0) {
            any = true;
            continue;
        }
        if (n == 0) {
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        const bool unsupported = errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                 errno == EOPNOTSUPP || errno == EBADF;
        if (any || !unsupported) {
            return Errno();
        }
        break;
    }
#endif
    return CopyThroughBuffer(from, to, kCopyPiece, 0);
}

void StartWriteOut(int fd, int64_t nOffset, int64_t nCount) {
#ifdef __linux__
    // A failure here is the sync's to report.
    (void)::sync_file_range(fd, static_cast<off_t>(nOffset), static_cast<off_t>(nCount),
                            SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
    (void)nOffset;
    (void)nCount;
#endif
}

Status LengthOf(int fd, int64_t& nLength) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        return Errno();
    }
    nLength = static_cast<int64_t>(st.st_size);
    return 0;
}

Status SeekFd(int fd, int64_t nOffset, int nWhence, int64_t& nPosition) {
    const off_t at = ::lseek(fd, static_cast<off_t>(nOffset), nWhence);
    if (at < 0) {
        return Errno();
    }
    nPosition = static_cast<int64_t>(at);
    return 0;
}

Status SyncData(int fd) {
    if (const int fault = FaultDue(FileOp::Sync)) {
        return fault;
    }
    // fsync, not fdatasync: the owner and mode just given to a temporary must last as well.
    return ::fsync(fd) == 0 ? 0 : Errno();
}

Status SyncDirectoryOf(const char* pszPath) {
    if (const int fault = FaultDue(FileOp::Sync)) {
        return fault;
    }
    std::string dir = DirectoryOf(pszPath);
    if (dir.empty()) {
        dir = ".";
    }
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Errno();
    }
    Fd owned(fd);
    return ::fsync(fd) == 0 ? 0 : Errno();
}

Status RenameOver(const char* pszFrom, const char* pszTo, bool* pbKeepFrom) {
    if (pbKeepFrom) {
        *pbKeepFrom = false;
    }
    if (const int fault = FaultDue(FileOp::Rename)) {
        return fault;
    }
    return ::rename(pszFrom, pszTo) == 0 ? 0 : Errno();
}

namespace {

FileId IdFromStat(const struct stat& st) {
    FileId id;
    id.bExists = true;
    id.bRegular = S_ISREG(st.st_mode);
    id.bDirectory = S_ISDIR(st.st_mode);
    id.nType = static_cast<unsigned>(st.st_mode & S_IFMT);
    id.nChanged = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    id.nDev = static_cast<uint64_t>(st.st_dev);
    id.nIno = static_cast<uint64_t>(st.st_ino);
    id.nMode = static_cast<unsigned>(st.st_mode & 07777);
    id.nUid = static_cast<unsigned>(st.st_uid);
    id.nGid = static_cast<unsigned>(st.st_gid);
    return id;
}

std::string NameOf(const char* pszPath) {
    const std::string path = pszPath ? pszPath : "";
    return path.substr(DirectoryOf(path).size());
}

}  // namespace

Status IdentityOf(int fd, FileId& out) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        return Errno();
    }
    out = IdFromStat(st);
    return 0;
}

Status OpenDirectoryOf(const char* pszPath, Fd& dir) {
    if (const int fault = FaultDue(FileOp::Open)) {
        return fault;
    }
    std::string path = DirectoryOf(pszPath ? pszPath : "");
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Errno();
    }
    dir = Fd(fd);
    return 0;
}

Status LookAt(const Fd& dir, const char* pszPath, FileId& out) {
    out = FileId();
    struct stat st;
    if (::fstatat(dir.Get(), NameOf(pszPath).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? 0 : Errno();
    }
    out = IdFromStat(st);
    return 0;
}

Status CreateNewIn(const Fd& dir, const char* pszPath, unsigned nPerms, Fd& out) {
    if (const int fault = FaultDue(FileOp::Create)) {
        return fault;
    }
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
    const int fd = ::openat(dir.Get(), NameOf(pszPath).c_str(), flags, nPerms);
    if (fd < 0) {
        return Errno();
    }
    out = Fd(fd);
    return 0;
}

Status RenameIn(const Fd& dir, const char* pszFrom, const char* pszTo, bool* pbKeepFrom) {
    if (pbKeepFrom) {
        *pbKeepFrom = false;
    }
    if (const int fault = FaultDue(FileOp::Rename)) {
        return fault;
    }
    const int d = dir.Get();
    return ::renameat(d, NameOf(pszFrom).c_str(), d, NameOf(pszTo).c_str()) == 0 ? 0 : Errno();
}

Status SyncDirectory(const Fd& dir, const char*) {
    if (const int fault = FaultDue(FileOp::Sync)) {
        return fault;
    }
    return ::fsync(dir.Get()) == 0 ? 0 : Errno();
}

void TakeOwnerAndMode(int fd, const FileId& id) {
    // Owner and group where the process may (root; a group it belongs to), then the mode,
    // since a change of owner clears the set-id bits.
    if (::fchown(fd, id.nUid, id.nGid) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), id.nGid);
    }
    (void)::fchmod(fd, id.nMode);
}

Status RemovePath(const char* pszPath) {
    if (const int fault = FaultDue(FileOp::Remove)) {
        return fault;
    }
    if (!pszPath || !*pszPath) {
        return ENOENT;
    }
    return ::unlink(pszPath) == 0 ? 0 : Errno();
}

}  // namespace gibo

#endif  // !_WIN32
