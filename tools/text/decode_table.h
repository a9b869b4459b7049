// Conversion into UTF-8 by table: what the system's converter made of each byte, and of each two
// bytes from 0x80, asked when first met. The code pages here are stateless, with characters of
// one or two bytes, so a text converts as its pieces do; an index run then asks the converter
// once per character met instead of once per text.
#ifndef GIBO_TOOLS_TEXT_DECODE_TABLE_H
#define GIBO_TOOLS_TEXT_DECODE_TABLE_H

#include <functional>
#include <memory>
#include <string>

class DecodeTable {
public:
    // The system's conversion of one or two bytes into out; false when they are not valid text.
    using Convert = std::function<bool(const std::string& bytes, std::string& out)>;
    explicit DecodeTable(Convert convert) : m_convert(std::move(convert)) {}

    // bytes converted into out, as the converter would convert them at once; false, with out
    // unspecified, when some byte is not valid text.
    bool Decode(const std::string& bytes, std::string& out);

private:
    struct Piece {
        signed char len = kUnknown;  // bytes of text, or kUnknown, kInvalid
        char text[8];                // two characters of up to four bytes at most
    };
    static const signed char kUnknown = -1;
    static const signed char kInvalid = -2;

    void Learn(Piece& piece, const char* bytes, size_t count);

    Convert m_convert;
    Piece m_single[256];
    bool m_plain[256] = {};                 // bytes learnt to convert to themselves
    std::unique_ptr<Piece[]> m_pairs[128];  // by first byte from 0x80, then by second byte
};

#endif  // GIBO_TOOLS_TEXT_DECODE_TABLE_H
