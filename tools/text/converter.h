// Code-page conversion for the tool's input and output. The library works in GBK bytes and
// never converts; the tool converts at its edges: display texts and header values on the way
// out, option values typed by the user on the way in.
#ifndef GIBO_TOOLS_TEXT_CONVERTER_H
#define GIBO_TOOLS_TEXT_CONVERTER_H

#include <memory>
#include <string>

enum class Codepage { Gbk, Cp949, Big5, ShiftJis };
constexpr int kCodepageCount = 4;  // tables indexed by Codepage have a row each
static_assert(static_cast<int>(Codepage::ShiftJis) == kCodepageCount - 1, "a row per code page");

class DecodeTable;

// The names of a code page: for the user, for iconv and for the Windows code-page API.
struct CodepageNames {
    Codepage cp;
    const char* name;
    const char* iconv;
    unsigned windowsCp;
};
const CodepageNames& NamesOf(Codepage cp);

// Accepts GBK, CP949, BIG5 and SHIFT_JIS (any case; "-" for "_"). False for anything else.
bool ParseCodepage(const std::string& name, Codepage& cp);
const char* CodepageName(Codepage cp);

// The character set of the user's locale ("UTF-8", "GBK", ...). A plain ASCII locale (the C
// locale of a container) answers "UTF-8": every terminal met in practice takes it, while ASCII
// could show none of the texts.
std::string LocaleCharset();

class Converter {
public:
    // Converts between the code pages and one outside character set, the terminal's.
    explicit Converter(std::string charset);
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Bytes that are not valid in cp come out as "\xNN", so that a damaged record still prints
    // and the reader can see which bytes were wrong. invalid counts them.
    std::string Decode(const std::string& bytes, Codepage cp);
    std::string Decode(const std::string& bytes, Codepage cp, size_t& invalid);
    // False, with out unspecified, when some byte of bytes is not valid text in cp.
    bool DecodeStrict(const std::string& bytes, Codepage cp, std::string& out);
    // False when the text holds a character that cp cannot store.
    bool Encode(const std::string& text, Codepage cp, std::string& out);

private:
    // The system's conversion of the whole of in, from cp or (encode) into it; false when some
    // byte or character does not convert.
    bool Convert(bool encode, Codepage cp, const std::string& in, std::string& out);
    // Decoding of cp by pieces, kept for the run: the converter is asked once per piece met.
    DecodeTable& Table(Codepage cp);

    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
    std::string m_charset;
    bool m_tabled = false;  // whole texts decode through the tables too
    std::unique_ptr<DecodeTable> m_tables[kCodepageCount];
};

// Replaces every byte that does not belong to a well-formed UTF-8 sequence with U+FFFD.
std::string ValidUtf8(const std::string& bytes);

#endif  // GIBO_TOOLS_TEXT_CONVERTER_H
