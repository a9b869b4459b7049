#include "framework/SystemPath.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace gibo {

bool ToSystemPath(const char* pszPath, SystemPath& out) {
    out.clear();
    if (!pszPath || !*pszPath) {
        return false;
    }
#ifdef _WIN32
    constexpr UINT kGbk = 936;
    const int n = ::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, pszPath, -1, nullptr, 0);
    if (n <= 1) {
        return false;
    }
    out.resize(static_cast<size_t>(n));
    if (::MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, pszPath, -1, &out[0], n) != n) {
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(n - 1));  // the converted terminating zero
#else
    out.assign(pszPath, std::strlen(pszPath));
#endif
    return true;
}

}  // namespace gibo
