// File-system operations the framework's file classes lack: identity, removal, temporaries and
// replacing a file in one step. Paths are byte strings in the build's code page: POSIX systems
// take them as they are, Windows converted from GBK to its wide-character calls (SystemPath.h).
#ifndef GIBO_FRAMEWORK_FILESYSTEM_H
#define GIBO_FRAMEWORK_FILESYSTEM_H

#include <string>
#include <utility>

namespace gibo {

// Whole files (audio, body) are copied in pieces of this size: at least the size of a file's
// stream buffer, so that the bytes go between the system and the piece directly instead of
// through the stream buffer in small steps.
constexpr unsigned kCopyPiece = 64 * 1024;

// True when both paths exist and name one file (device and inode, or volume and file index),
// however they are spelled and through whatever links.
bool SameFile(const char* pszA, const char* pszB);

// Removes a file (a link, not its target); false when nothing was removed.
bool RemoveFile(const char* pszPath);

// The path that writes to pszPath really reach: a symbolic link is followed to the file it
// names, so that replacing the file keeps the link. Any other path comes back unchanged.
std::string ResolveLinks(const char* pszPath);

// Creates a new, empty file with a unique name in the directory of pszPath and returns its
// path, or the empty string when none can be created. When a file stands at pszPath, the new
// one gets its permissions, so that replacing it keeps them.
std::string CreateTempBeside(const char* pszPath);

// Puts pszFrom in the place of pszTo in one step, replacing a file that stands there.
bool RenameOver(const char* pszFrom, const char* pszTo);

// Removes a file when it goes out of scope, unless Release() was called first: the side files
// of a failed load, the temporary of a failed save.
class RemoveGuard {
public:
    RemoveGuard() = default;
    explicit RemoveGuard(std::string strPath) : m_strPath(std::move(strPath)) {}
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
