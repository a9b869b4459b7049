#include "framework/Paths.h"

#include "framework/Gbk.h"

namespace gibo {

namespace {

// Where the file-name part begins.
size_t NameStart(const std::string& path) {
#ifdef _WIN32
    size_t start = 0;
    const size_t n = path.size();
    for (size_t i = 0; i < n; i += GbkCharLen(path.data(), i, n)) {
        const char c = path[i];
        if (c == '/' || c == '\\' || (c == ':' && i == 1)) {
            start = i + 1;
        }
    }
    return start;
#else
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
#endif
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
    return path.substr(0, NameStart(path));
}

std::string RecordStem(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && dot >= NameStart(path) ? path.substr(0, dot) : path;
}

}  // namespace gibo
