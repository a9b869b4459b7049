// GBK character boundaries, the one rule every walk over text follows: a lead byte 0x81-0xFE
// and the byte after it are one character when that byte can be a second byte (0x40-0x7E,
// 0x80-0xFE); otherwise the lead byte is a character of its own. So no byte below 0x40 (the
// separators '/', '.', ',', '=', the blank, CR and LF) is ever taken into a character, while a
// backslash (0x5C) after a lead byte is that character's second byte.
#ifndef GIBO_FRAMEWORK_GBK_H
#define GIBO_FRAMEWORK_GBK_H

#include <cstddef>

namespace gibo {

inline bool IsGbkLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

inline bool IsGbkTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// Length of the character at p[i] in a text of n bytes: 2 for a lead byte followed by a valid
// second byte, else 1 (a lead byte at the very end stands alone).
inline size_t GbkCharLen(const char* p, size_t i, size_t n) {
    return (i + 1 < n && IsGbkLead(static_cast<unsigned char>(p[i])) &&
            IsGbkTrail(static_cast<unsigned char>(p[i + 1])))
               ? 2
               : 1;
}

// True when p[0..n) ends with a lead byte that has no second byte: a backslash written after
// it would become its second byte. Looks back over the lead bytes at the end only: the byte
// before them ends a character, and from there lead bytes pair up (each is a valid second byte).
inline bool GbkEndsInLoneLead(const char* p, size_t n) {
    size_t run = 0;
    while (run < n && IsGbkLead(static_cast<unsigned char>(p[n - 1 - run]))) {
        ++run;
    }
    return run % 2 != 0;
}

// How many bytes of p[0..n) fit into nLimit without cutting a character in two: texts cut at a
// buffer's bound end on a whole character.
inline size_t GbkCut(const char* p, size_t n, size_t nLimit) {
    if (n <= nLimit) {
        return n;
    }
    size_t i = 0;
    for (size_t len = 0; i < n && i + (len = GbkCharLen(p, i, n)) <= nLimit; i += len) {
    }
    return i;
}

constexpr size_t kNpos = static_cast<size_t>(-1);

// First occurrence of needle[0..m) in hay[0..n) that starts on a character boundary at or
// after byte `start`; kNpos when there is none. An empty needle is found at the first boundary
// at or after start. `boundary`, at or before start, must be known to begin a character: the
// search looks no further back than that, so a caller going through a text in steps stays
// linear (a run of double-byte characters otherwise has to be looked back over each time).
size_t GbkFind(const char* hay, size_t n, const char* needle, size_t m, size_t start = 0,
               size_t boundary = 0);

}  // namespace gibo

#endif  // GIBO_FRAMEWORK_GBK_H
