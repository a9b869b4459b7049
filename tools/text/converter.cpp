// Code pages, and what conversion does the same on every system.
#include "text/converter.h"

#include <cctype>

#include "text/decode_table.h"
#include "utf8_text.h"

namespace {

const CodepageNames kCodepages[] = {
    {Codepage::Gbk, "GBK", "GBK", 936},
    {Codepage::Cp949, "CP949", "CP949", 949},
    {Codepage::Big5, "BIG5", "BIG5", 950},
    {Codepage::ShiftJis, "SHIFT_JIS", "CP932", 932},
};

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
    if (!DecodeStrict(bytes, cp, out)) {
        // A piece at a time: a byte that starts no character is escaped and the next byte is
        // tried afresh.
        invalid = Table(cp).DecodeEscaped(bytes, out);
    }
    return out;
}

bool Converter::DecodeStrict(const std::string& bytes, Codepage cp, std::string& out) {
    return m_tabled ? Table(cp).Decode(bytes, out) : Convert(false, cp, bytes, out);
}

bool Converter::Encode(const std::string& text, Codepage cp, std::string& out) {
    return Convert(true, cp, text, out);
}

DecodeTable& Converter::Table(Codepage cp) {
    std::unique_ptr<DecodeTable>& table = m_tables[static_cast<int>(cp)];
    if (!table) {
        table.reset(new DecodeTable([this, cp](const std::string& piece, std::string& text) {
            return Convert(false, cp, piece, text);
        }));
    }
    return *table;
}

std::string ValidUtf8(const std::string& bytes) {
    return facts::EncodeUtf8(facts::DecodeUtf8(bytes));
}
