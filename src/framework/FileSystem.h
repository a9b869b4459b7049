// Path-level operations the loader and the writer build on: identity, links, temporaries and
// cleanup. Paths are byte strings in the build's code page: POSIX systems take them as they
// are, Windows converted from GBK to its wide-character calls (SystemPath.h).
#ifndef GIBO_FRAMEWORK_FILESYSTEM_H
#define GIBO_FRAMEWORK_FILESYSTEM_H

#include <string>
#include <utility>

#include "framework/SysFile.h"

namespace gibo {

// Whole files (audio, body) are read and written in pieces of this size.
constexpr unsigned kCopyPiece = 64 * 1024;

// True when both paths exist and name one file (device and inode, or volume and file index),
// however they are spelled and through whatever links.
bool SameFile(const char* pszA, const char* pszB);

// Removes a file (a link, not its target) for cleanup; false when nothing was removed.
bool RemoveFile(const char* pszPath);

// The path that writes to pszPath really reach: symbolic links are followed to the file they
// name, also when it does not exist yet, so that replacing the file keeps the links.
std::string ResolveLinks(const char* pszPath);

// A new, empty file with a unique name beside pszTarget, created exclusively and open for
// writing. It stays private to its owner while it is written when a file stands at pszTarget
// (TakeOverAttributes gives it that file's owner and mode at the end); a new record gets the
// usual permissions at once.
struct TempFile {
    std::string strPath;
    Fd fd;
};
Status CreateTempBeside(const char* pszTarget, TempFile& out);
// Gives the temporary the owner, group (where the process may) and mode of the file at
// pszTarget, so that replacing it keeps them. Best effort: a record is still a record.
void TakeOverAttributes(const TempFile& temp, const char* pszTarget);

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

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_FILESYSTEM_H
