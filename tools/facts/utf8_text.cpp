// UTF-8 decoding, narrow forms and display width.
#include "utf8_text.h"

#include <cctype>

namespace facts {

namespace {

const char32_t kReplacement = 0xFFFD;

// Length of the sequence a lead byte starts, 0 for a byte that cannot start one.
int SequenceLength(unsigned char lead) {
    return lead < 0x80   ? 1
           : lead < 0xC2 ? 0
           : lead < 0xE0 ? 2
           : lead < 0xF0 ? 3
           : lead < 0xF5 ? 4
                         : 0;
}

// The code point of a complete sequence, or kInvalid when it is overlong, a surrogate or too
// big. (U+FFFD itself is a valid character and stays one.)
const char32_t kInvalid = 0xFFFFFFFF;

char32_t SequenceValue(const std::string& text, size_t at, int length) {
    static const unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t cp = static_cast<unsigned char>(text[at]) & kLeadMask[length];
    for (int i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[at + i]);
        if ((c & 0xC0) != 0x80) {
            return kInvalid;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return kInvalid;
    }
    return cp;
}

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian wide and full-width blocks: Hangul jamo, CJK radicals to Yi, Hangul syllables,
// compatibility ideographs, vertical and small forms, full-width forms, the ideograph planes.
const Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xA960, 0xA97F}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x20000, 0x3FFFD},
};

// Combining marks and joiners, which take no column of their own.
const Range kZero[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F},
    {0x20D0, 0x20FF}, {0x302A, 0x302D}, {0x3099, 0x309A}, {0xFE00, 0xFE0F},
};

template <size_t N>
bool InRanges(char32_t cp, const Range (&ranges)[N]) {
    for (const Range& range : ranges) {
        if (cp >= range.first && cp <= range.last) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        const int length = SequenceLength(static_cast<unsigned char>(text[i]));
        const char32_t cp =
            length == 0 || i + length > text.size() ? kInvalid : SequenceValue(text, i, length);
        // A broken sequence gives up one byte only, so the next character is not swallowed.
        out += cp == kInvalid ? kReplacement : cp;
        i += cp == kInvalid ? 1 : length;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = kReplacement;
    }
    static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    const int length = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    out += static_cast<char>(length == 1 ? cp : kLead[length] | (cp >> (6 * (length - 1))));
    for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) {
        out += static_cast<char>(0x80 | ((cp >> shift) & 0x3F));
    }
}

std::string EncodeUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t cp : text) {
        AppendUtf8(out, cp);
    }
    return out;
}

char32_t NarrowForm(char32_t cp) {
    if (cp >= 0xFF01 && cp <= 0xFF5E) {
        return cp - 0xFF01 + 0x21;
    }
    return cp == 0x3000 ? U' ' : cp;
}

bool IsBlank(char32_t cp) {
    return cp == ' ' || (cp >= 0x09 && cp <= 0x0D) || cp == 0xA0 || cp == 0x1680 ||
           (cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
}

std::u32string MatchingText(const std::string& text, bool blanks, char32_t (*fold)(char32_t)) {
    std::u32string out;
    for (char32_t cp : DecodeUtf8(text)) {
        cp = NarrowForm(cp);
        if (!IsBlank(cp)) {
            out += (cp >= 'A' && cp <= 'Z') ? cp - 'A' + 'a' : fold ? fold(cp) : cp;
        } else if (blanks && !out.empty() && out.back() != U' ') {
            out += U' ';
        }
    }
    if (!out.empty() && out.back() == U' ') {
        out.pop_back();
    }
    return out;
}

int CharWidth(char32_t cp) {
    if (IsControl(cp)) {
        return 0;
    }
    if (InRanges(cp, kZero)) {
        return 0;
    }
    return InRanges(cp, kWide) ? 2 : 1;
}

int DisplayWidth(const std::string& text) {
    int width = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        width += CharWidth(cp);
    }
    return width;
}

bool CodesetIsUtf8(const std::string& codeset) {
    std::string name;
    for (char c : codeset) {
        if (c != '-' && c != '_') {
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return name == "utf8";
}

}  // namespace facts
