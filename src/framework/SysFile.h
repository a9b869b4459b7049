// The file layer under the loader, the writer and the public file classes: plain calls on
// descriptors and paths that return a status (0, or the system's error number as errno gives
// it) and never raise. One implementation per system (SysFilePosix.cpp, SysFileWindows.cpp);
// paths are GBK bytes (SystemPath.h). Every call passes the fault seam first (Faults.h).
#ifndef GIBO_FRAMEWORK_SYSFILE_H
#define GIBO_FRAMEWORK_SYSFILE_H

#include <cstddef>
#include <cstdint>
#include <functional>

namespace gibo {

using Status = int;  // 0: done; else an errno value

// Not an errno value: a replacement found another file at the name than the one it was to
// replace (or none where one stood), and changed nothing.
constexpr Status kOtherFile = 0x4F544852;

// Owns a descriptor and closes it, ignoring failures, when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Abort(); }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    Status Close();  // reports what the system reports
    void Abort();    // closes, ignoring every failure

private:
    int m_fd = -1;
};

// The system's own close of a descriptor, one implementation per system: 0 or the errno value.
Status CloseDescriptor(int fd);

enum OpenMode : unsigned { kRead = 1, kWrite = 2, kCreate = 4, kTruncate = 8 };

// Opens a file (never a directory: EISDIR) with OpenMode bits.
Status OpenFile(const char* pszPath, unsigned nMode, Fd& out);
// Creates a new file for writing, exclusively: fails with EEXIST when anything stands at the
// path, a link included, so nothing is written through a name another user planted.
Status CreateNew(const char* pszPath, unsigned nMode, Fd& out);
// Opens the file at the path and empties it, for a side file that the caller may not remove:
// POSIX takes only a regular file, not a link, that the caller owns and that has no other name
// (else EACCES), so that nothing but the caller's own side file is emptied; Windows, where a
// file another program holds open cannot be removed, any file it may write.
Status EmptyInPlace(const char* pszPath, Fd& out);
// 0 when nothing stands at the path, or a regular file that the process could open for
// writing; else why a record must not replace what stands there (EACCES and the like; EISDIR
// for a directory, EINVAL for a device, FIFO or socket).
Status CheckReplaceable(const char* pszPath);

// Reads up to nCount bytes; nGot 0 at the end of the file.
Status ReadSome(int fd, void* pBuf, size_t nCount, size_t& nGot);
Status WriteAll(int fd, const void* pBuf, size_t nCount);
// Copies `from` from its position to its end onto `to` at its position, inside the system
// where it can (copy_file_range), else through a buffer.
Status CopyRest(int from, int to);
// The same through a buffer of nBuffer bytes (at most as many as are left to copy), for a copy
// that looks at the bytes or a file that is synced next. Each piece read is shown to pSee
// first, when given; the copy stops, with 0, where it returns false. nWriteOut, when not 0:
// each nWriteOut bytes written are handed to the disk at once, so that the write-out overlaps
// the copying and the sync waits only for the last piece.
using SeePiece = std::function<bool(const char* pData, size_t nCount)>;
Status CopyThroughBuffer(int from, int to, size_t nBuffer, int64_t nWriteOut,
                         const SeePiece& see = nullptr);
// Starts writing nCount bytes of the file from nOffset out to the disk, without waiting for
// them (where the system has no such call, nothing happens).
void StartWriteOut(int fd, int64_t nOffset, int64_t nCount);
Status LengthOf(int fd, int64_t& nLength);
Status SeekFd(int fd, int64_t nOffset, int nWhence, int64_t& nPosition);
// Puts the file's data on disk.
Status SyncData(int fd);
// Puts the directory entry of pszPath on disk (a no-op where the system has no such step).
Status SyncDirectoryOf(const char* pszPath);

// What stands at a name: the link itself, not what it leads to. Two looks at a name see the
// same file when both found nothing, or the same kind of file at the same device and inode
// (volume and file index) with the same change time: a file removed and another made may get
// the freed inode number at once.
struct FileId {
    bool bExists = false;
    bool bRegular = false;
    bool bDirectory = false;
    unsigned nType = 0;  // the kind of file, as the system tells it
    uint64_t nDev = 0;
    uint64_t nIno = 0;
    int64_t nChanged = 0;  // the inode's change time, in nanoseconds
    unsigned nMode = 0;    // permission bits
    unsigned nUid = 0;
    unsigned nGid = 0;
};
bool SameId(const FileId& a, const FileId& b);
// The identity of an open file.
Status IdentityOf(int fd, FileId& out);

// The directory that pszPath's name stands in, held open so that a replacement looks, creates
// and renames in that very directory however the names above it change. Windows works by path
// and leaves dir closed; the calls below take either.
Status OpenDirectoryOf(const char* pszPath, Fd& dir);
// What stands at the file name of pszPath in dir; bExists false when nothing does.
Status LookAt(const Fd& dir, const char* pszPath, FileId& out);
// CreateNew, RenameOver and SyncDirectoryOf in dir.
Status CreateNewIn(const Fd& dir, const char* pszPath, unsigned nPerms, Fd& out);
Status RenameIn(const Fd& dir, const char* pszFrom, const char* pszTo, bool* pbKeepFrom);
Status SyncDirectory(const Fd& dir, const char* pszPath);
// Gives fd the owner, group (where the process may) and permission bits of id; never wider
// bits than id has. Nothing where the system keeps them itself (Windows' ReplaceFile).
void TakeOwnerAndMode(int fd, const FileId& id);

// Puts pszFrom in place of pszTo in one step. On Windows a replace that failed after the old
// file went moves the temporary into place, and failing that leaves it (the only copy) on
// disk: *pbKeepFrom is then set.
Status RenameOver(const char* pszFrom, const char* pszTo, bool* pbKeepFrom);
// Removes a file or link (never a directory's contents); ENOENT when nothing stands there.
Status RemovePath(const char* pszPath);

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_SYSFILE_H
