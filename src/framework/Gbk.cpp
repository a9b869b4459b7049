#include "framework/Gbk.h"

#include <cstring>

namespace gibo {

namespace {

// Where the lead bytes just before `at` begin, not looking below `floor`. The result is a
// character boundary when `floor` is one: a byte that is not a lead byte always ends a
// character (a byte of its own or the second byte of a pair). From there the lead bytes pair
// up, so `at` is a boundary exactly when it lies an even number of bytes further.
size_t LeadRunStart(const char* p, size_t floor, size_t at) {
    while (at > floor && IsGbkLead(static_cast<unsigned char>(p[at - 1]))) {
        --at;
    }
    return at;
}

}  // namespace

// Candidates come from memchr; each is checked against the last known boundary, which only
// moves forward, so a search costs one pass over the text wherever it starts.
size_t GbkFind(const char* hay, size_t n, const char* needle, size_t m, size_t start,
               size_t boundary) {
    if (start > n || m > n || boundary > start) {
        return kNpos;
    }
    // The first boundary at or after start: start itself, or the byte after it when it is the
    // second byte of a pair. The end of the text is always a boundary.
    size_t known = start;
    if (start < n && (start - LeadRunStart(hay, boundary, start)) % 2 != 0) {
        ++known;
    }
    if (m == 0) {
        return known;
    }
    const size_t last = n - m;  // the last position a match may start at
    const unsigned char first = static_cast<unsigned char>(needle[0]);
    for (size_t from = known; from <= last;) {
        const void* hit = std::memchr(hay + from, first, last - from + 1);
        if (!hit) {
            return kNpos;
        }
        const size_t c = static_cast<size_t>(static_cast<const char*>(hit) - hay);
        if ((c - LeadRunStart(hay, known, c)) % 2 != 0) {
            known = c + 1;  // c is a second byte: the next character starts after it
        } else if (std::memcmp(hay + c, needle, m) == 0) {
            return c;
        } else {
            known = c;
        }
        from = c + 1;
    }
    return kNpos;
}

}  // namespace gibo
