// A cursor over code points, with the small readers the date and result parsers share.
#ifndef GIBO_TOOLS_FACTS_TEXT_CURSOR_H
#define GIBO_TOOLS_FACTS_TEXT_CURSOR_H

#include <string>

namespace facts {

class Cursor {
public:
    explicit Cursor(std::u32string text) : m_text(std::move(text)) {}
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char32_t Peek() const { return AtEnd() ? 0 : m_text[m_pos]; }
    size_t Pos() const { return m_pos; }
    void Reset(size_t pos) { m_pos = pos; }
    bool Take(char32_t c);
    // Takes the first of the alternatives (separated by '|') that the text continues with, and
    // tells which one it was (0 for the first); -1 when none.
    int TakeAny(const char32_t* alternatives);
    // A run of ASCII digits of min..max digits; a longer run is refused whole.
    bool TakeNumber(int min_digits, int max_digits, int& value);
    // Blanks, a number of one or two digits, then one of the marks ("5月", " 30초"); the cursor
    // stays where it was, and value as it was, unless all of them are there.
    bool TakeMarked(const char32_t* marks, int& value);
    // A whole number up to 99 in ASCII digits or Chinese numerals (五, 十二, 二十三).
    bool TakeSmallNumber(int& value);
    bool SkipBlanks();

private:
    bool TakeChineseNumber(int& value);

    std::u32string m_text;
    size_t m_pos = 0;
};

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_TEXT_CURSOR_H
