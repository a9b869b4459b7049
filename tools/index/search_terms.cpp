// Pair tokens for the full-text index.
#include "index/search_terms.h"

#include <vector>

namespace {

// Code points as their UTF-8 byte sequences; a stray byte stands for itself.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (i + n > text.size()) {
            n = 1;
        }
        std::string ch = text.substr(i, n);
        if (n == 1 && c >= 'A' && c <= 'Z') {
            ch[0] = static_cast<char>(c - 'A' + 'a');
        }
        chars.push_back(ch);
        i += n;
    }
    return chars;
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

}  // namespace

std::string PairTokens(const std::string& text) {
    const std::vector<std::string> chars = Characters(text);
    std::string tokens;
    for (size_t i = 0; i + 1 < chars.size(); ++i) {
        if (!tokens.empty()) {
            tokens += ' ';
        }
        tokens += Hex(chars[i] + chars[i + 1]);
    }
    return tokens;
}

std::string PairPhrase(const std::string& text) {
    const std::string tokens = PairTokens(text);
    return tokens.empty() ? std::string() : "\"" + tokens + "\"";
}

std::string KeyTokens(const std::string& keys) {
    std::string tokens;
    size_t start = 0;
    while (start < keys.size()) {
        size_t end = keys.find(' ', start);
        end = end == std::string::npos ? keys.size() : end;
        const std::string t = PairTokens(keys.substr(start, end - start));
        tokens += std::string(tokens.empty() || t.empty() ? "" : " ") + t;
        start = end + 1;
    }
    return tokens;
}
