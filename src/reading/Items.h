// The comma-separated items of a game-information text, shared by both vocabularies: their
// limits and the walk over the items.
#ifndef GIBO_READING_ITEMS_H
#define GIBO_READING_ITEMS_H

#include <cstddef>
#include <cstring>

#include "GiboFile.h"
#include "framework/Gbk.h"

namespace gibo {

// readTag fills a field buffer of kFieldBuffer bytes and keeps at most kFieldBuffer - 1 of a
// field; only the first kItemLimit bytes of an item are interpreted; a value keeps at most
// kValueLimit bytes and a terminating zero.
constexpr size_t kFieldBuffer = 1024;
constexpr size_t kItemLimit = 255;
constexpr size_t kValueLimit = 255;

// Reads the comma-separated items at pszText and calls onItem(item, length) with each, cut to
// kItemLimit bytes, never inside a character, and zero-terminated in a buffer of the walk's
// own; up to and including the first empty one. Returns where reading stopped: just past that
// item's comma, or at the text's terminating zero (null for a null text).
template <class OnItem>
char* WalkItems(char* pszText, OnItem onItem) {
    char item[kItemLimit + 1];
    if (!pszText) {
        item[0] = '\0';
        onItem(item, size_t{0});
        return pszText;
    }
    // The fields are scanned in place: a comma is never the second byte of a character.
    for (char* p = pszText;;) {
        const char* field = p;
        while (*p != '\0' && *p != ',') {
            ++p;
        }
        const auto len = static_cast<size_t>(p - field);
        if (*p == ',') {
            ++p;
        }
        const size_t kept = GbkCut(field, len, kItemLimit);
        std::memcpy(item, field, kept);
        item[kept] = '\0';
        onItem(item, kept);
        if (len == 0) {
            return p;
        }
    }
}

}  // namespace gibo

#endif  // GIBO_READING_ITEMS_H
