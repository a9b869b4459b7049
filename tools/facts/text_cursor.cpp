// The shared cursor.
#include "text_cursor.h"

#include <algorithm>
#include <string_view>

namespace facts {

namespace {

// The value of a Chinese digit from one to nine (两 is the counting form of two), or 0. Zero
// has no use in a count.
int ChineseDigit(char32_t c) {
    static const std::u32string kDigits = U"一二三四五六七八九";
    if (c == U'两' || c == U'兩') {
        return 2;
    }
    const size_t at = kDigits.find(c);
    return at == std::u32string::npos ? 0 : static_cast<int>(at) + 1;
}

bool IsAsciiDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool Cursor::Take(char32_t c) {
    if (AtEnd() || m_text[m_pos] != c) {
        return false;
    }
    ++m_pos;
    return true;
}

int Cursor::TakeAny(const char32_t* alternatives) {
    const std::u32string_view all(alternatives);
    const std::u32string_view rest = std::u32string_view(m_text).substr(m_pos);
    size_t start = 0;
    for (int index = 0; start <= all.size(); ++index) {
        const size_t end = std::min(all.find(U'|', start), all.size());
        const std::u32string_view word = all.substr(start, end - start);
        if (!word.empty() && rest.substr(0, word.size()) == word) {
            m_pos += word.size();
            return index;
        }
        start = end + 1;
    }
    return -1;
}

bool Cursor::TakeNumber(int min_digits, int max_digits, int& value) {
    const size_t end = static_cast<size_t>(
        std::find_if_not(m_text.begin() + m_pos, m_text.end(), IsAsciiDigit) - m_text.begin());
    const int digits = static_cast<int>(end - m_pos);
    if (digits < min_digits || digits > max_digits) {
        return false;
    }
    value = 0;
    for (; m_pos < end; ++m_pos) {
        value = value * 10 + static_cast<int>(m_text[m_pos] - '0');
    }
    return true;
}

bool Cursor::TakeMarked(const char32_t* marks, int& value) {
    const size_t start = m_pos;
    int number = 0;
    SkipBlanks();
    if (TakeNumber(1, 2, number) && TakeAny(marks) >= 0) {
        value = number;
        return true;
    }
    m_pos = start;
    return false;
}

bool Cursor::SkipBlanks() {
    const size_t start = m_pos;
    while (Take(U' ')) {
    }
    return m_pos != start;
}

bool Cursor::TakeChineseNumber(int& value) {
    const size_t start = m_pos;
    const int lead = ChineseDigit(Peek());
    if (lead != 0) {
        ++m_pos;
    }
    if (!Take(U'十')) {
        // A lone digit; a run of digits (二〇二三) is a year or a code, not a count.
        if (lead == 0 || ChineseDigit(Peek()) != 0) {
            m_pos = start;
            return false;
        }
        value = lead;
        return true;
    }
    const int unit = ChineseDigit(Peek());
    if (unit != 0) {
        ++m_pos;
    }
    value = (lead == 0 ? 1 : lead) * 10 + unit;
    return true;
}

bool Cursor::TakeSmallNumber(int& value) {
    return TakeNumber(1, 2, value) || TakeChineseNumber(value);
}

}  // namespace facts
