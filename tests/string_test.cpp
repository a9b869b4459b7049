// CString: GBK-safe searching, replacing and trimming; clamping; formatting; buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "GiboString.h"

namespace {

// GBK characters whose second byte looks like an ASCII character.
#define KANJI_5C "\x81\x5C"  // 乗: second byte is the backslash
#define KANJI_41 "\x81\x41"  // 丄: second byte is 'A'
#define HEI "\xBA\xDA"       // 黑

// 81 81 5C is 81 81 and a lone 5C: a second byte depends on all bytes before it. A byte that
// cannot be one (below 0x40, 0x7F, 0xFF) stands alone after a lead byte; 0x80 and 0xFF lead
// nothing. A start inside a character moves on to the next one.
TEST(CStringSearch, FindAndReverseFindNeverMatchAtASecondByte) {
    const struct {
        const char *text, *needle;
        int start, found;
    } cases[] = {{"\x81\x5C\\", "\\", 0, 2},
                 {"\x81\x5C", "\\", 0, -1},
                 {KANJI_41 "A", "A", 0, 2},
                 {KANJI_41 "A", "AA", 0, -1},
                 {"\x81\x81\\", "\x81\x5C", 0, -1},
                 {"\x81\x81\\", "\\", 0, 2},
                 {"\x81\x5C\\", "\\", 1, 2},
                 {"\x81\x81\x81\\", "\\", 1, -1},
                 {"\x81\x81\x81\\", "\\", 3, -1},
                 {"\x81\x81\x81\\\\", "\\", 3, 4},
                 {"\x81/", "/", 0, 1},
                 {"\x81\x81\x81=", "=", 0, 3},
                 {"\x81\x81\x81=", "=", 3, 3},
                 {"\x81?", "?", 0, 1},
                 {"\x81@", "@", 0, -1},
                 {"\x81~", "~", 0, -1},
                 {"\xFE\x7F", "\x7F", 0, 1},
                 {"\xFE\x80", "\x80", 0, -1},
                 {"\x81\xFE", "\xFE", 0, -1},
                 {"\xFE\xFF", "\xFF", 0, 1},
                 {"\x80\\", "\\", 0, 1},
                 {"\xFF\\", "\\", 0, 1},
                 {"abc", "abc", 0, 0},
                 {"ab", "", 2, 2},
                 {"abc", "c", 5, -1},
                 {"abc", "c", -1, -1},
                 {"abc", nullptr, 0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " / " << c.needle << " @" << c.start);
        EXPECT_EQ(CString(c.text).Find(c.needle, c.start), c.found);
        if (c.needle && std::strlen(c.needle) == 1 && c.start == 0) {
            EXPECT_EQ(CString(c.text).Find(c.needle[0]), c.found);
        }
    }
    const std::pair<const char*, int> reverse[] = {
        {"a\\" KANJI_5C, 1}, {KANJI_5C KANJI_5C, -1}, {"\\a\\b", 2}, {"", -1}};
    for (const auto& [text, found] : reverse) {
        EXPECT_EQ(CString(text).ReverseFind('\\'), found) << text;
    }
    EXPECT_EQ(CString(KANJI_41 "xA").ReverseFind('A'), 3);
}

TEST(CStringReplace, ReplacesWholeCharactersOnly) {
    struct Case {
        const char *text, *from, *to, *result;
        int count;
    };
    const Case cases[] = {
        {"C:\\" KANJI_5C "\\dir", "\\", "/", "C:/" KANJI_5C "/dir", 2},
        {KANJI_5C KANJI_5C, "\\", "/", KANJI_5C KANJI_5C, 0},
        {KANJI_41 "AA", "AA", "b", KANJI_41 "b", 1},
        {"aa", "a", "aa", "aaaa", 2},  // the replacement is not searched again
        {"aaaaa", "aa", "b", "bba", 2},
        {"\\\\" HEI "\xB1\x5C", "\\", " ", "  " HEI "\xB1\x5C", 2},
        {"abc", "", "x", "abc", 0},
        {HEI "x" HEI, HEI, "y", "yxy", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CString s(c.text);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count);
        EXPECT_EQ(s, c.result);
        if (std::strlen(c.from) == 1 && std::strlen(c.to) == 1) {  // and the character form
            CString t(c.text);
            EXPECT_EQ(t.Replace(c.from[0], c.to[0]), c.count);
            EXPECT_EQ(t, c.result);
        }
    }
}

TEST(CStringTrim, TrimsWholeCharactersOnly) {
    const struct Case {
        const char *text, *set, *left, *right;  // after TrimLeft(set), TrimRight(set)
    } cases[] = {
        {KANJI_5C "\\", "\\", KANJI_5C "\\", KANJI_5C},
        {"\\" KANJI_5C, "\\", KANJI_5C, "\\" KANJI_5C},
        // A double-byte character in the set removes only that whole character.
        {KANJI_5C "a" KANJI_5C, KANJI_5C, "a" KANJI_5C, KANJI_5C "a"},
        {"\\a\\", KANJI_5C, "\\a\\", "\\a\\"},
        {"xyx", "xy", "", ""},
        // No set: white space, which is never a second byte: after a lead byte it goes too.
        {" \t\r\n x y \r\n\v\f", nullptr, "x y \r\n\v\f", " \t\r\n x y"},
        {"ab\xF5\n", nullptr, "ab\xF5\n", "ab\xF5"},
        {"\xF5 ", nullptr, "\xF5 ", "\xF5"},
        {"\x81\t\xF5", nullptr, "\x81\t\xF5", "\x81\t\xF5"},
        {KANJI_41 "\xF5  \r\n", nullptr, KANJI_41 "\xF5  \r\n", KANJI_41 "\xF5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CString l(c.text), r(c.text);
        c.set ? l.TrimLeft(c.set) : l.TrimLeft();
        c.set ? r.TrimRight(c.set) : r.TrimRight();
        EXPECT_EQ(l.str(), c.left);
        EXPECT_EQ(r.str(), c.right);
    }
    CString nul("\0x", 2);  // a NUL byte is text like any other, never in the set
    nul.TrimLeft("x");
    EXPECT_EQ(nul.GetLength(), 2);
}

TEST(CStringCut, CountsAreClamped) {
    const CString s("abcdef");
    const std::pair<CString, const char*> cuts[] = {
        {s.Left(2), "ab"},       {s.Left(-1), ""},
        {s.Left(100), "abcdef"}, {s.Right(2), "ef"},
        {s.Right(-5), ""},       {s.Right(100), "abcdef"},
        {s.Mid(2, 2), "cd"},     {s.Mid(1, 100), "bcdef"},
        {s.Mid(1, -1), ""},      {s.Mid(-3, 2), "ab"},
        {s.Mid(6), ""}};
    for (const auto& [cut, expected] : cuts) {
        EXPECT_EQ(cut, expected);
    }
    CString d("abcdef");
    EXPECT_EQ(d.Delete(0, 2), 4);
    EXPECT_EQ(d.Delete(3, 100), 3);
    for (const auto& [at, n] : {std::pair{-1, 1}, {1, 0}, {3, 1}}) {
        EXPECT_EQ(d.Delete(at, n), 3);  // before the start, nothing, or past the end
    }
    EXPECT_EQ(d, "cde");
}

template <typename... Args>
void ExpectFormatLikePrintf(const char* pszFormat, Args... args) {
    std::string expected(static_cast<size_t>(std::snprintf(nullptr, 0, pszFormat, args...)), '\0');
    std::snprintf(&expected[0], expected.size() + 1, pszFormat, args...);
    CString s("old text");
    s.Format(pszFormat, args...);
    EXPECT_EQ(s.str(), expected) << pszFormat;
}

// %s, %d and %% are built without printf; output of any length must come out as printf's.
TEST(CStringFormat, AgreesWithPrintfAndMayReadItsOwnText) {
    const char* volatile none = nullptr;  // printf's own spelling of a null %s
    ExpectFormatLikePrintf("%d:%s:%d", -42, std::string(100000, 'z').c_str(), 7);
    ExpectFormatLikePrintf("%d" HEI, 3);  // GBK bytes in the format pass through
    // Literal text past the 512 bytes built without printf, after and before a conversion.
    ExpectFormatLikePrintf((std::string("%d") + std::string(600, 'x')).c_str(), 3);
    ExpectFormatLikePrintf((std::string(600, 'x') + "%d").c_str(), 3);
    ExpectFormatLikePrintf("%d|%d|%d|%d", INT_MIN, INT_MAX, 0, -7);
    ExpectFormatLikePrintf("%s ( %s )", "kim01", "3" HEI);
    ExpectFormatLikePrintf("%s%s%d", "", "", 5);
    ExpectFormatLikePrintf("100%% %d%%", 5);
    ExpectFormatLikePrintf("%5d|%-4s|%x|%c|%03d", 42, "ab", 255, 'q', 7);
    ExpectFormatLikePrintf("%d %s", 1, static_cast<const char*>(none));
    // Arguments may point into the string being formatted.
    CString s("ab");
    s.Format("%s-%s", static_cast<const char*>(s), static_cast<const char*>(s));
    EXPECT_EQ(s, "ab-ab");
    s.Format("%d%s", 1, static_cast<const char*>(s) + 3);
    EXPECT_EQ(s, "1ab");
}

// Host code of the legacy framework passes the objects themselves: Format takes them as their
// text, also when the object is the string being formatted, and in results of any length.
TEST(CStringFormat, TakesCStringArgumentsAsTheirText) {
    const std::string longBytes(3000, 'y');
    const CString name(HEI "kim"), level("3" HEI), longText(longBytes.c_str());
    CString s("old text");
    s.Format("%s ( %s )", name, level);
    EXPECT_EQ(s.str(), HEI "kim ( 3" HEI " )");
    s.Format("%d:%s:%5s|%s", 7, name, CString("ab"), "c");  // printf's own path, for the width
    EXPECT_EQ(s.str(), "7:" HEI "kim:   ab|c");
    s.Format("<%s>", longText);
    EXPECT_EQ(s.str(), "<" + longBytes + ">");
    s.Format("%s%s", s, s);
    EXPECT_EQ(s.str(), "<" + longBytes + "><" + longBytes + ">");
    // The layout that lets a compiler passing objects by value through "..." (32- and 64-bit
    // Windows compilers do) hand printf the text: the object is the pointer to its characters.
    static_assert(sizeof(CString) == sizeof(const char*), "one pointer");
    const char* inside = nullptr;
    std::memcpy(&inside, &name, sizeof inside);
    EXPECT_EQ(inside, static_cast<const char*>(name));
}

// A copy shares the characters until one side changes: every change leaves the other copy
// as it was, whichever of the two changes. Some take parts of the string itself.
TEST(CStringBasics, CopiesAreIndependent) {
    using Change = void (*)(CString&);
    const std::pair<Change, const char*> changes[] = {
        {[](CString& s) { s += s; }, " ab" HEI "ab  ab" HEI "ab "},
        {[](CString& s) { s = static_cast<const char*>(s) + 2; }, "b" HEI "ab "},
        {[](CString& s) { s.Empty(); }, ""},
        {[](CString& s) { s.Replace("ab", s); }, "  ab" HEI "ab " HEI " ab" HEI "ab  "},
        {[](CString& s) { s.Replace('a', 'z'); }, " zb" HEI "zb "},
        {[](CString& s) { s.Insert(1, s); }, "  ab" HEI "ab ab" HEI "ab "},
        {[](CString& s) { s.Delete(1, 2); }, " " HEI "ab "},
        {[](CString& s) { s.TrimLeft(); }, "ab" HEI "ab "},
        {[](CString& s) { s.TrimRight(" b"); }, " ab" HEI "a"},
        {[](CString& s) { s.Format("%d%s", 1, s); }, "1 ab" HEI "ab "},
        {[](CString& s) { s.GetBuffer(0)[1] = 'Q'; }, " Qb" HEI "ab "},
        {[](CString& s) { s.ReleaseBuffer(2); }, " a"},
        {[](CString& s) { std::strcpy(s.GetBuffer(20), "long enough"), s.ReleaseBuffer(); },
         "long enough"},
    };
    const char* const original = " ab" HEI "ab ";
    for (const auto& [change, changed] : changes) {
        for (const bool first : {true, false}) {
            CString a(original);
            CString b;
            b = a;
            CString& changing = first ? a : b;
            change(changing);
            EXPECT_EQ(changing, changed);
            EXPECT_EQ(first ? b : a, original) << changed;
        }
    }
}

TEST(CStringBasics, BuffersConstructionConcatenationAndComparison) {
    // Existing content is reachable in place; ReleaseBuffer never reaches past the buffer, and a
    // smaller request keeps the text.
    CString s("hello");
    s.GetBuffer(0)[0] = 'j';
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "jel");
    s.GetBuffer(1);
    s.ReleaseBuffer(100);
    EXPECT_EQ(s, "jel");
    // The empty text a string starts with is shared and never written: using it leaves every
    // other empty string empty.
    CString e;
    e.GetBuffer(0)[0] = '\0';
    e.ReleaseBuffer();
    for (CString t : {CString(), CString(""), CString("x", 0)}) {
        t.TrimLeft();
        t.TrimRight("x");
        t.Delete(0);
        t.Replace('a', 'b');
        t.ReleaseBuffer();
        t += "";
        EXPECT_TRUE(t.IsEmpty() && e.IsEmpty() && *static_cast<const char*>(CString()) == '\0');
    }
    CString moved(std::move(e = "ab"));
    EXPECT_TRUE(e.IsEmpty());  // and usable
    e = moved.Left(1);
    EXPECT_EQ(e + moved.Right(1), "ab");
    const char bytes[] = {'a', '\0', 'b'};
    EXPECT_EQ(CString(bytes, 3).GetLength(), 3);
    EXPECT_EQ(CString(nullptr), "");
    EXPECT_TRUE(CString("x", -1).IsEmpty());
    const CString a("ab");
    EXPECT_EQ("x" + a + "y" + CString(HEI), "xaby" HEI);
    // Comparison is as strcmp's: up to the first NUL, bytes unsigned, never the addresses.
    EXPECT_TRUE(CString("ab\0z", 4) == CString("ab"));
    EXPECT_EQ(CString("ab\0z", 4).Compare("ab"), 0);
    std::vector<CString> texts = {"b", HEI, "ab", "a", ""};
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<CString>{"", "a", "ab", "b", HEI}));
    const CString x("x");
    EXPECT_TRUE(x < "y" && "w" < x && x > "w" && "y" > x && x <= "x" && "x" <= x && x >= "x" &&
                "x" >= x && !(x < x) && !(x > x) && x <= CString("y") && CString("y") >= x);
}

}  // namespace
