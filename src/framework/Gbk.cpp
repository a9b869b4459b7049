#include "framework/Gbk.h"

#include <cstring>

namespace gibo {

size_t GbkFind(const char* hay, size_t n, const char* needle, size_t m, size_t start) {
    if (start > n || m > n) {
        return kNpos;
    }
    const size_t last = n - m;  // the last position a match may start at
    size_t i = 0;
    while (i < start) {
        i += GbkCharLen(hay, i, n);
    }
    if (m == 0) {
        return i <= n ? i : kNpos;
    }
    const char first = needle[0];
    while (i <= last) {
        if (hay[i] == first && std::memcmp(hay + i, needle, m) == 0) {
            return i;
        }
        i += GbkCharLen(hay, i, n);
    }
    return kNpos;
}

}  // namespace gibo
