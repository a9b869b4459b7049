// Listing header items.
#include "record/header_items.h"

#include "framework/Gbk.h"

namespace {

// Position of the two-byte marker at or after from, at a character start; counts the LFs passed.
size_t FindMarker(const std::string& text, size_t from, char second, int& line) {
    const size_t n = text.size();
    for (size_t i = from; i < n; i += gibo::GbkCharLen(text.data(), i, n)) {
        if (text[i] == '\n') {
            ++line;
        } else if (text[i] == '\\' && i + 1 < n && text[i + 1] == second) {
            return i;
        }
    }
    return std::string::npos;
}

}  // namespace

std::vector<HeaderItem> ListHeaderItems(const std::string& text, int firstLine) {
    std::vector<HeaderItem> items;
    int line = firstLine;
    size_t pos = 0;
    for (;;) {
        const size_t open = FindMarker(text, pos, '[', line);
        if (open == std::string::npos) {
            break;
        }
        HeaderItem item;
        item.line = line;
        size_t close = FindMarker(text, open + 2, ']', line);
        if (close == std::string::npos) {
            item.closed = false;
            close = text.size();
        }
        const std::string inner = text.substr(open + 2, close - open - 2);
        const size_t eq = FindGbk(inner, "=");
        if (eq == std::string::npos) {
            item.hasEquals = false;
            item.tag = inner;
        } else {
            item.tag = inner.substr(0, eq);
            item.value = inner.substr(eq + 1);
        }
        item.tag.erase(item.tag.find_last_not_of(" \t") + 1);
        items.push_back(item);
        if (!item.closed) {
            break;
        }
        pos = close + 2;
    }
    return items;
}

std::string TrimValue(const std::string& value) {
    const char* const ws = " \t\r\n";
    const size_t first = value.find_first_not_of(ws);
    if (first == std::string::npos) {
        return std::string();
    }
    return value.substr(first, value.find_last_not_of(ws) - first + 1);
}

size_t FindGbk(const std::string& text, const std::string& needle, size_t from) {
    return gibo::GbkFind(text.data(), text.size(), needle.data(), needle.size(), from);
}
