// The items \[TAG=value\] of a parameter text, listed in order. The library only looks items
// up by tag; showing and checking a record needs all of them, duplicates included.
#ifndef GIBO_TOOLS_RECORD_HEADER_ITEMS_H
#define GIBO_TOOLS_RECORD_HEADER_ITEMS_H

#include <string>
#include <vector>

struct HeaderItem {
    std::string tag;    // before the "=", blanks at its end removed
    std::string value;  // after the "=" up to the closer, unchanged
    int line = 0;       // of the opener, counting from firstLine
    bool hasEquals = true;
    bool closed = true;  // false: no closer before the end of the text
};

// Walks the text as GBK: a 0x5C, "[" or "]" that is the second byte of a double-byte
// character opens or closes nothing.
std::vector<HeaderItem> ListHeaderItems(const std::string& text, int firstLine = 1);

// The value without blanks, tabs, CR and LF at either end: items written as "\[TAG = v\]"
// carry a blank that belongs to the layout, not to the value.
std::string TrimValue(const std::string& value);

// Position of needle (not empty) in text at or after from, matching only at character starts
// of GBK text; npos when absent.
size_t FindGbk(const std::string& text, const std::string& needle, size_t from = 0);

#endif  // GIBO_TOOLS_RECORD_HEADER_ITEMS_H
