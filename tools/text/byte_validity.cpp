#include "text/byte_validity.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

// What the converter said of each byte from 0x80 alone, and of each two bytes it starts; asked
// when first met, so that one record costs few questions and a collection no more than its
// characters. Every code page here is stateless, so a byte's fate depends on it and the
// byte after it only.
class PageBytes {
public:
    explicit PageBytes(Codepage cp) : m_cp(cp) {
        std::fill(std::begin(m_single), std::end(m_single), -1);
    }

    bool Single(unsigned char c) {
        signed char& known = m_single[c - 0x80];
        if (known < 0) {
            known = Valid(std::string(1, static_cast<char>(c)));
        }
        return known != 0;
    }

    bool Pair(unsigned char c, unsigned char t) {
        std::unique_ptr<signed char[]>& row = m_pairs[c - 0x80];
        if (!row) {
            row.reset(new signed char[256]);
            std::fill(row.get(), row.get() + 256, -1);
        }
        signed char& known = row[t];
        if (known < 0) {
            const char two[] = {static_cast<char>(c), static_cast<char>(t)};
            known = Valid(std::string(two, 2));
        }
        return known != 0;
    }

private:
    bool Valid(const std::string& bytes) {
        static Converter utf8("UTF-8");
        std::string out;
        return utf8.DecodeStrict(bytes, m_cp, out);
    }

    Codepage m_cp;
    signed char m_single[128];                    // -1 until asked, then 0 or 1
    std::unique_ptr<signed char[]> m_pairs[128];  // by lead byte, then as m_single
};

}  // namespace

size_t InvalidBytes(const std::string& bytes, Codepage cp) {
    static PageBytes pages[] = {PageBytes(Codepage::Gbk), PageBytes(Codepage::Cp949),
                                PageBytes(Codepage::Big5), PageBytes(Codepage::ShiftJis)};
    PageBytes& page = pages[static_cast<int>(cp)];
    size_t invalid = 0;
    // The same walk as Converter::Decode: two bytes when they convert, else one, else a fault.
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
        } else if (i + 1 < bytes.size() && page.Pair(c, static_cast<unsigned char>(bytes[i + 1]))) {
            i += 2;
        } else {
            invalid += page.Single(c) ? 0 : 1;
            ++i;
        }
    }
    return invalid;
}
