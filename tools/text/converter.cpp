// Code pages, and what conversion does the same on every system.
#include "text/converter.h"

#include <cctype>

#include "text/decode_table.h"

namespace {

const CodepageNames kCodepages[] = {
    {Codepage::Gbk, "GBK", "GBK", 936},
    {Codepage::Cp949, "CP949", "CP949", 949},
    {Codepage::Big5, "BIG5", "BIG5", 950},
    {Codepage::ShiftJis, "SHIFT_JIS", "CP932", 932},
};

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the well-formed UTF-8 sequence at s[i], or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        return 1;
    }
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80;
        hi = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + len > s.size() || b(i + 1) < lo || b(i + 1) > hi) {
        return 0;
    }
    for (size_t k = 2; k < len; ++k) {
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) {
            return 0;
        }
    }
    return len;
}

}  // namespace

const CodepageNames& NamesOf(Codepage cp) {
    for (const CodepageNames& row : kCodepages) {
        if (row.cp == cp) {
            return row;
        }
    }
    return kCodepages[0];
}

bool ParseCodepage(const std::string& name, Codepage& cp) {
    std::string upper;
    for (char c : name) {
        upper += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const CodepageNames& row : kCodepages) {
        if (upper == row.name) {
            cp = row.cp;
            return true;
        }
    }
    return false;
}

const char* CodepageName(Codepage cp) {
    return NamesOf(cp).name;
}

std::string Converter::Decode(const std::string& bytes, Codepage cp) {
    size_t invalid = 0;
    return Decode(bytes, cp, invalid);
}

std::string Converter::Decode(const std::string& bytes, Codepage cp, size_t& invalid) {
    invalid = 0;
    std::string out;
    if (DecodeStrict(bytes, cp, out) || DecodeEscaped(bytes, cp, out, invalid)) {
        return out;
    }
    // A piece at a time, where there is no faster way: a byte that starts no character is
    // escaped and the next byte is tried afresh.
    DecodeTable pieces([this, cp](const std::string& piece, std::string& text) {
        return DecodeStrict(piece, cp, text);
    });
    invalid = pieces.DecodeEscaped(bytes, out);
    return out;
}

std::string ValidUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t len = Utf8SequenceAt(bytes, i);
        if (len == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(bytes, i, len);
            i += len;
        }
    }
    return out;
}
