// The file layer on Windows: the C run-time's descriptors over the wide-character calls, so
// that a GBK name means the same file whatever the system's ANSI code page is.
#ifdef _WIN32

#include <cerrno>
#include <climits>
#include <vector>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "framework/Faults.h"
#include "framework/FileSystem.h"
#include "framework/SysFile.h"
#include "framework/SystemPath.h"

namespace gibo {

namespace {

int Errno() {
    return errno ? errno : EIO;
}

int FromWin32(DWORD err) {
    switch (err) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        default:
            return EIO;
    }
}

Status OpenChecked(const char* pszPath, int flags, int perms, Fd& out) {
    out.Abort();
    SystemPath path;
    if (!ToSystemPath(pszPath, path)) {
        return ENOENT;
    }
    const int fd = ::_wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, perms);
    if (fd < 0) {
        return Errno();
    }
    Fd opened(fd);
    struct _stat64 st;
    if (::_fstat64(fd, &st) != 0) {
        return Errno();
    }
    if ((st.st_mode & _S_IFMT) == _S_IFDIR) {
        return EISDIR;
    }
    out = std::move(opened);
    return 0;
}

}  // namespace

Status CloseDescriptor(int fd) {
    return ::_close(fd) != 0 ? Errno() : 0;
}

Status OpenFile(const char* pszPath, unsigned nMode, Fd& out) {
    if (const int fault = FaultDue(FileOp::Open)) {
        return fault;
    }
    int flags = (nMode & kWrite) ? ((nMode & kRead) ? _O_RDWR : _O_WRONLY) : _O_RDONLY;
    if (nMode & kCreate) {
        flags |= _O_CREAT;
    }
    if (nMode & kTruncate) {
        flags |= _O_TRUNC;
    }
    return OpenChecked(pszPath, flags, _S_IREAD | _S_IWRITE, out);
}

Status CreateNew(const char* pszPath, unsigned, Fd& out) {
    if (const int fault = FaultDue(FileOp::Create)) {
        return fault;
    }
    return OpenChecked(pszPath, _O_WRONLY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE, out);
}

Status EmptyInPlace(const char* pszPath, Fd& out) {
    return OpenFile(pszPath, kWrite | kCreate | kTruncate, out);
}

Status CheckReplaceable(const char* pszPath) {
    if (const int fault = FaultDue(FileOp::Open)) {
        return fault;
    }
    SystemPath path;
    if (!ToSystemPath(pszPath, path)) {
        return ENOENT;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return 0;  // nothing stands there
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return EISDIR;  // a record never takes its place
    }
    // Write access, shared with everyone, as the check of what the caller may open.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return FromWin32(GetLastError());
    }
    CloseHandle(h);
    return 0;
}

Status ReadSome(int fd, void* pBuf, size_t nCount, size_t& nGot) {
    nGot = 0;
    if (const int fault = FaultDue(FileOp::Read)) {
        return fault;
    }
    const unsigned ask = nCount > INT_MAX ? INT_MAX : static_cast<unsigned>(nCount);
    const int n = ::_read(fd, pBuf, ask);
    if (n < 0) {
        return Errno();
    }
    nGot = static_cast<size_t>(n);
    return 0;
}

Status WriteAll(int fd, const void* pBuf, size_t nCount) {
    if (const int fault = FaultDue(FileOp::Write)) {
        return fault;
    }
    const char* p = static_cast<const char*>(pBuf);
    while (nCount > 0) {
        const unsigned ask = nCount > INT_MAX ? INT_MAX : static_cast<unsigned>(nCount);
        const int n = ::_write(fd, p, ask);
        if (n <= 0) {
            return n == 0 ? ENOSPC : Errno();
        }
        p += n;
        nCount -= static_cast<size_t>(n);
    }
    return 0;
}

Status CopyRest(int from, int to) {
    // Always through the buffer: a refused in-system copy (EXDEV) changes nothing here.
    const int fault = FaultDue(FileOp::Copy);
    if (fault != 0 && fault != EXDEV) {
        return fault;
    }
    return CopyThroughBuffer(from, to, kCopyPiece, 0);
}

void StartWriteOut(int, int64_t, int64_t) {
    // Windows has no call that only starts the write-out; the flush before the replace does it.
}

Status LengthOf(int fd, int64_t& nLength) {
    struct _stat64 st;
    if (::_fstat64(fd, &st) != 0) {
        return Errno();
    }
    nLength = static_cast<int64_t>(st.st_size);
    return 0;
}

Status SeekFd(int fd, int64_t nOffset, int nWhence, int64_t& nPosition) {
    const __int64 at = ::_lseeki64(fd, nOffset, nWhence);
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
    return ::_commit(fd) == 0 ? 0 : Errno();  // FlushFileBuffers
}

Status SyncDirectoryOf(const char*) {
    // Windows keeps no directory handle to flush; MoveFileEx's write-through stands for it.
    return 0;
}

Status RenameOver(const char* pszFrom, const char* pszTo, bool* pbKeepFrom) {
    bool keep = false;
    SystemPath from;
    SystemPath to;
    if (!ToSystemPath(pszFrom, from) || !ToSystemPath(pszTo, to)) {
        return ENOENT;
    }
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return EISDIR;  // as rename() refuses: a record never takes a directory's place
    }
    DWORD err = 0;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // ReplaceFile swaps the new data in under the existing file's identity, keeping its
        // attributes and security. The seam's failures are Windows error codes here; the one
        // that comes after the old file went is made real by removing it.
        if (const int fault = FaultDue(FileOp::Rename)) {
            err = static_cast<DWORD>(fault);
            if (err == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
                DeleteFileW(to.c_str());
            }
        } else if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr, nullptr)) {
            return 0;
        } else {
            err = GetLastError();
        }
        // From here on the temporary may be the only copy of the record: only a move that
        // succeeded lets it go.
        keep = err == ERROR_UNABLE_TO_MOVE_REPLACEMENT || err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
    }
    DWORD moveErr = 0;
    if (const int fault = FaultDue(FileOp::Rename)) {
        moveErr = static_cast<DWORD>(fault);
    } else if (MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    } else {
        moveErr = GetLastError();
    }
    if (pbKeepFrom) {
        *pbKeepFrom = keep;
    }
    return FromWin32(moveErr);
}

namespace {

FileId IdFromHandle(HANDLE h) {
    FileId id;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) {
        return id;
    }
    id.bExists = true;
    id.bRegular = !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY |
                                             FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
    id.bDirectory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    id.nType = id.bRegular ? 1 : id.bDirectory ? 2 : 3;
    id.nDev = info.dwVolumeSerialNumber;
    id.nIno = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.nMode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return id;
}

}  // namespace

Status IdentityOf(int fd, FileId& out) {
    const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    out = h == INVALID_HANDLE_VALUE ? FileId() : IdFromHandle(h);
    return out.bExists ? 0 : EBADF;
}

Status OpenDirectoryOf(const char*, Fd& dir) {
    dir.Abort();  // Windows works by path
    return 0;
}

Status LookAt(const Fd&, const char* pszPath, FileId& out) {
    out = FileId();
    SystemPath path;
    if (!ToSystemPath(pszPath, path)) {
        return ENOENT;
    }
    const HANDLE h = CreateFileW(
        path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const Status s = FromWin32(GetLastError());
        return s == ENOENT ? 0 : s;
    }
    out = IdFromHandle(h);
    CloseHandle(h);
    return 0;
}

Status CreateNewIn(const Fd&, const char* pszPath, unsigned nPerms, Fd& out) {
    return CreateNew(pszPath, nPerms, out);
}

Status RenameIn(const Fd&, const char* pszFrom, const char* pszTo, bool* pbKeepFrom) {
    return RenameOver(pszFrom, pszTo, pbKeepFrom);
}

Status SyncDirectory(const Fd&, const char* pszPath) {
    return SyncDirectoryOf(pszPath);
}

void TakeOwnerAndMode(int, const FileId&) {
    // ReplaceFile keeps the replaced file's attributes and security.
}

Status RemovePath(const char* pszPath) {
    if (const int fault = FaultDue(FileOp::Remove)) {
        return fault;
    }
    SystemPath path;
    if (!ToSystemPath(pszPath, path)) {
        return ENOENT;
    }
    return DeleteFileW(path.c_str()) ? 0 : FromWin32(GetLastError());
}

}  // namespace gibo

#endif  // _WIN32
