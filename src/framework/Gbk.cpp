#include "framework/Gbk.h"

#include <cstring>

namespace gibo {

namespace {

// Whether hay[at] is the second byte of a character, looking back no further than `floor`, a
// known boundary. A byte that is not a lead byte always ends a character (a byte of its own or
// the second byte of a pair), so the lead bytes just before `at` begin at a boundary, and from
// there they pair up (each is a valid second byte): after an odd run the last lead byte takes
// hay[at] when that can be a second byte, and stands alone when it cannot.
bool IsSecondByte(const char* hay, size_t floor, size_t at) {
    if (!IsGbkTrail(static_cast<unsigned char>(hay[at]))) {
        return false;
    }
    size_t run = at;
    while (run > floor && IsGbkLead(static_cast<unsigned char>(hay[run - 1]))) {
        --run;
    }
    return (at - run) % 2 != 0;
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
    if (start < n && IsSecondByte(hay, boundary, start)) {
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
        if (IsSecondByte(hay, known, c)) {
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
