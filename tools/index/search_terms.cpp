// Pair tokens for the full-text index.
#include "index/search_terms.h"

namespace {

// The byte length of the character at i: its UTF-8 sequence, or 1 for a stray byte.
size_t CharLength(const std::string& text, size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return i + n > text.size() ? 1 : n;
}

// The character's bytes in hexadecimal, an ASCII letter in lower case.
void AppendHex(std::string& out, const std::string& text, size_t at, size_t length) {
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = at; i < at + length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        c = length == 1 && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
}

}  // namespace

std::string PairTokens(const std::string& text) {
    std::string tokens;
    size_t last = 0, lastLength = 0;  // the character before; none after a blank
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharLength(text, at);
        if (text[at] == ' ') {
            lastLength = 0;
        } else {
            if (lastLength > 0) {
                tokens += tokens.empty() ? "" : " ";
                AppendHex(tokens, text, last, lastLength);
                AppendHex(tokens, text, at, length);
            }
            last = at;
            lastLength = length;
        }
        at += length;
    }
    return tokens;
}

std::string PairPhrase(const std::string& text) {
    const std::string tokens = PairTokens(text);
    return tokens.empty() ? std::string() : "\"" + tokens + "\"";
}
