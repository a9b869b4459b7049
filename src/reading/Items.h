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

// Reads the comma-separated items at pszText and calls onItem(item) with each, cut to
// kItemLimit bytes and zero-terminated, up to and including the first empty one. Returns where
// reading stopped: just past that item's comma, or at the text's terminating zero.
template <class OnItem>
char* WalkItems(CGiboFile& reader, char* pszText, OnItem onItem) {
    char* cursor = pszText;
    // readTag writes no terminating zero: the field buffer is zero-filled once and only the
    // bytes an item used are cleared again, which costs far less than clearing 1 KiB per item.
    char field[kFieldBuffer] = {0};
    for (;;) {
        reader.readTag(&cursor, field, 0);
        const size_t len = std::strlen(field);
        char item[kItemLimit + 1];
        const size_t kept = GbkCut(field, len, kItemLimit);  // never half a character
        std::memcpy(item, field, kept);
        item[kept] = '\0';
        onItem(item);
        if (len == 0) {
            return cursor;
        }
        std::memset(field, 0, len);
    }
}

}  // namespace gibo

#endif  // GIBO_READING_ITEMS_H
