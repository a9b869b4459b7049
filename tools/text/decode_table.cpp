#include "text/decode_table.h"

#include <cstring>

void DecodeTable::Learn(Piece& piece, const char* bytes, size_t count) {
    std::string text;
    const bool valid = m_convert(std::string(bytes, count), text) && text.size() <= 8;
    piece.len = valid ? static_cast<signed char>(text.size()) : kInvalid;
    std::memcpy(piece.text, text.data(), valid ? text.size() : 0);
    if (count == 1 && static_cast<unsigned char>(bytes[0]) < 0x80) {
        m_plain[static_cast<unsigned char>(bytes[0])] = piece.len == 1 && piece.text[0] == bytes[0];
    }
}

bool DecodeTable::Decode(const std::string& bytes, std::string& out) {
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 2);
    const char* p = bytes.data();
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        // Bytes that stand for themselves (ASCII, but for Shift-JIS's 0x5C and 0x7E) at once.
        size_t plain = i;
        while (plain < n && m_plain[static_cast<unsigned char>(p[plain])]) {
            ++plain;
        }
        out.append(p + i, plain - i);
        if ((i = plain) == n) {
            break;
        }
        const unsigned char c = static_cast<unsigned char>(p[i]);
        // Two bytes when they convert together (a character, or a byte of one and then the
        // next), as the converter reads them; else the byte alone.
        if (c >= 0x80 && i + 1 < n) {
            std::unique_ptr<Piece[]>& row = m_pairs[c - 0x80];
            if (!row) {
                row.reset(new Piece[256]);
            }
            Piece& two = row[static_cast<unsigned char>(p[i + 1])];
            if (two.len == kUnknown) {
                Learn(two, p + i, 2);
            }
            if (two.len >= 0) {
                out.append(two.text, static_cast<size_t>(two.len));
                i += 2;
                continue;
            }
        }
        Piece& one = m_single[c];
        if (one.len == kUnknown) {
            Learn(one, p + i, 1);
        }
        if (one.len < 0) {
            return false;
        }
        out.append(one.text, static_cast<size_t>(one.len));
        ++i;
    }
    return true;
}
