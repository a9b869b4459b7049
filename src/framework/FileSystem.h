// Path-level operations the loader and the writer build on: identity, links, temporaries and
// cleanup. Paths are byte strings in the build's code page: POSIX systems take them as they
// are, Windows converted from GBK to its wide-character calls (SystemPath.h).
#ifndef GIBO_FRAMEWORK_FILESYSTEM_H
#define GIBO_FRAMEWORK_FILESYSTEM_H

#include <memory>
#include <string>
#include <utility>

#include "framework/SysFile.h"

namespace gibo {

// Whole files (audio, body) are read and written in pieces of this size.
constexpr unsigned kCopyPiece = 64 * 1024;

// A piece of kCopyPiece bytes, left uninitialised: only bytes a read or a copy put there are
// looked at, and clearing 64 KiB for every small record costs more than reading it.
class PieceBuffer {
public:
    char* data() { return m_bytes.get(); }
    const char* data() const { return m_bytes.get(); }
    size_t size() const { return kCopyPiece; }

private:
    std::unique_ptr<char[]> m_bytes{new char[kCopyPiece]};
};

// True when both paths exist and name one file (device and inode, or volume and file index),
// however they are spelled and through whatever links.
bool SameFile(const char* pszA, const char* pszB);

// Removes a file (a link, not its target) for cleanup; false when nothing was removed.
bool RemoveFile(const char* pszPath);

// The path that writes to pszPath really reach: symbolic links are followed to the file they
// name, also when it does not exist yet, so that replacing the file keeps the links.
std::string ResolveLinks(const char* pszPath);

// Removes a file when it goes out of scope, unless Release() was called first: the side files
// of a failed load, the temporary of a failed save.
class RemoveGuard {
public:
    RemoveGuard() = default;
    RemoveGuard(const RemoveGuard&) = delete;
    RemoveGuard& operator=(const RemoveGuard&) = delete;
    ~RemoveGuard() {
        if (!m_strPath.empty()) {
            RemoveFile(m_strPath.c_str());
        }
    }
    void Arm(std::string strPath) { m_strPath = std::move(strPath); }
    void Release() { m_strPath.clear(); }

private:
    std::string m_strPath;
};

// Replaces the file at a name with a new one, written beside it under a temporary name and
// moved into place only when complete and on disk. All steps act in the target's directory,
// held open from the start. The new file gets the owner, group and mode of the regular file it
// replaces (else the usual mode), and replaces only the file that stood at the name when
// Begin looked: if anything else stands there by the rename, nothing is changed.
class Replacement {
public:
    Replacement() = default;
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;
    ~Replacement();  // removes the temporary unless it took the target's place

    // Starts: EISDIR when a directory stands at the name (a link there is replaced, not
    // followed), kOtherFile when pExpected is given and the name holds
    // another file, or the system's reason why the temporary could not be made.
    Status Begin(const char* pszTarget, const FileId* pExpected = nullptr);
    int Fd() const { return m_temp.Get(); }
    const std::string& TempPath() const { return m_strTemp; }
    // What stood at the name when Begin looked.
    const FileId& Original() const { return m_original; }

    // The steps of Commit, for callers that report them apart: the owner and mode, the data on
    // disk and the temporary closed; the rename (kOtherFile, and nothing changed, when the name no
    // longer holds the file Begin found); the directory entry on disk.
    Status Finish();
    Status Place();
    Status SyncPlaced();
    Status Commit();

private:
    std::string m_strTarget;
    std::string m_strTemp;
    gibo::Fd m_dir;
    gibo::Fd m_temp;
    FileId m_original;
    RemoveGuard m_guard;
};

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_FILESYSTEM_H
