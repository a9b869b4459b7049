// Paths as the operating system takes them. Host paths are GBK bytes. POSIX systems take the
// bytes as they are; on Windows they go to the wide-character calls, converted from code page
// 936, so a GBK name means the same file whatever the system's ANSI code page is.
#ifndef GIBO_FRAMEWORK_SYSTEMPATH_H
#define GIBO_FRAMEWORK_SYSTEMPATH_H

#include <string>

namespace gibo {

#ifdef _WIN32
using SystemChar = wchar_t;
#else
using SystemChar = char;
#endif
using SystemPath = std::basic_string<SystemChar>;

// False for a null or empty path, and on Windows for bytes that are not GBK: such a name
// cannot be meant, and a lossy conversion could reach another file.
bool ToSystemPath(const char* pszPath, SystemPath& out);

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_SYSTEMPATH_H
