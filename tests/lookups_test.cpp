// Lookups over the display tables: bounds, the shared rule buffer, levels, result texts to codes.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "GiboFile.h"
#include "TestSupport.h"
#include "display/Tables.h"

using gibo::g_szDeakukResult;
using gibo::g_szDeakukRule;

TEST(Lookups, IndexesPastTheTablesGetFixedAnswers) {
    CGiboFile f;
    EXPECT_STREQ(f.GetNationName(5), "China");
    EXPECT_STREQ(f.GetNationName(6), "");
    EXPECT_STREQ(f.GetNationName(255), "");
    EXPECT_EQ(std::string(f.GetDeakukKind(6)), Hex("C8 C3 C1 F9 D7 D3"));
    EXPECT_EQ(std::string(f.GetDeakukKind(7)), Hex("B7 D6 CF C8"));  // the even game
    EXPECT_EQ(std::string(f.GetDeakukKind(255)), Hex("B7 D6 CF C8"));
    EXPECT_STREQ(f.GetDeakukRule(12, 5), "");
    EXPECT_STREQ(f.GetDeakukRule(255, 0), "");
    EXPECT_EQ(f.GetDeakukResult(9), nullptr);
    EXPECT_EQ(f.GetDeakukResult(255), nullptr);
    for (int k : {9, 255, -1, INT_MIN}) {
        EXPECT_STREQ(f.GetStrGameResult(k), " ") << k;
    }
    for (int i : {36, -1, 255}) {
        EXPECT_TRUE(f.GetLevel(i).IsEmpty()) << i;
        EXPECT_TRUE(f.GetLevel2(i).IsEmpty()) << i;
    }
    EXPECT_EQ(f.GetLevel2(35).str(), Gbk("P 9<dan>"));
    for (int k = 0; k < 9; ++k) {  // and within, the GBK result names
        EXPECT_EQ(f.GetDeakukResult(static_cast<unsigned char>(k)),
                  g_szDeakukResult[gibo::kResultGbk][k]);
        EXPECT_EQ(f.GetStrGameResult(k), g_szDeakukResult[gibo::kResultGbk][k]);
    }
}

TEST(Lookups, RuleWithKomiIsFormattedWholeInTheSharedBuffer) {
    CGiboFile f, other;
    EXPECT_EQ(f.GetDeakukRule(0, 7), g_szDeakukRule[0]);  // row 0 names its own komi
    EXPECT_EQ(f.GetDeakukRule(1, 0), g_szDeakukRule[1]);
    // No komi, however long, cuts the text: every formatting row with the extremes of int.
    for (unsigned char row = 1; row < 12; ++row) {
        for (int komi : {5, -3, INT_MAX, INT_MIN}) {
            SCOPED_TRACE(::testing::Message() << "row " << int(row) << " komi " << komi);
            EXPECT_EQ(
                std::string(f.GetDeakukRule(row, komi)),
                g_szDeakukRule[row] + Gbk(" (<komi> ") + std::to_string(komi) + Gbk("<pts>)"));
        }
    }
    EXPECT_EQ(std::string(f.GetDeakukRule(1, 5)),
              Hex("C8 C3 CF C8 20 28 BA DA CC F9 20 35 C4 BF 29"));
    // Every call clears the buffer, even one answered from the table.
    const char* formatted = f.GetDeakukRule(2, 5);
    other.GetDeakukRule(1, 0);
    EXPECT_STREQ(formatted, "");
    other.GetDeakukRule(3, 6);
    EXPECT_EQ(std::string(formatted), g_szDeakukRule[3] + Gbk(" (<komi> 6<pts>)"));
}

TEST(Lookups, LevelNames) {
    const struct {
        unsigned char code;
        const char* text;
    } cases[] = {{0, "18<kyu>"},  {17, "1<kyu>"},   {18, "1<dan>"},    {26, "9<dan>"},
                 {27, "P1<dan>"}, {40, "P14<dan>"}, {255, "P229<dan>"}};
    CGiboFile f;
    for (const auto& c : cases) {
        EXPECT_EQ(f.ExtGetLvStr(c.code).str(), Gbk(c.text)) << int(c.code);
        EXPECT_EQ(f.m_strLvBuf.str(), Gbk(c.text)) << int(c.code);
    }
}

TEST(Lookups, EveryResultRowMapsBackToItsCode) {
    CGiboFile f;
    for (int block = 0; block < 4; ++block) {
        for (int k = 2; k < 9; ++k) {
            // Shift-JIS rows 5 and 7 are one text; the lower code wins.
            const int expected = (block == gibo::kResultJapanese && k == 7) ? 5 : k;
            const std::string row = g_szDeakukResult[block][k];
            std::string doubled;  // every blank doubled
            for (char c : row) {
                doubled += c == ' ' ? "  " : std::string(1, c);
            }
            SCOPED_TRACE(::testing::Message() << "block " << block << " code " << k);
            EXPECT_EQ(f.CompareOtherNationResult(row.c_str()), expected);
            EXPECT_EQ(f.CompareOtherNationResult(("  " + doubled).c_str()), expected);
        }
    }
}

TEST(Lookups, ResultTexts) {
    const struct {
        std::string text;
        int code;
    } cases[] = {
        {Hex("C8 E6 BA D2 B0 E8 BD C2"), 3},  // Korean resignation without blanks
        {Hex("C8 E6") + std::string(300, ' ') + Hex("BA D2 B0 E8 BD C2"), 3},  // many blanks
        {Hex("B0 D7 C6 E5 D6 D0 C5 CC CA A4") + std::string(200, 'x'), 2},     // only begins so
        {Hex("BA DA 20 33 C4 BF"), 0},  // GBK colour words with a margin
        {Hex("B0 D7 20 33 C4 BF"), 1},
        {Hex("B0 D7 33 C4 BF"), 2},     // the colour word needs its blank
        {"x" + Hex("B6 C2") + "y", 0},  // Big5 black inside a text
        {"x" + Hex("94 92"), 1},        // Shift-JIS white inside a text
        {Hex("B0 D7 20 BA DA 20"), 0},  // black before white
        {"", 2},
        {"abc", 2},
    };
    CGiboFile f;
    for (const auto& c : cases) {
        EXPECT_EQ(f.CompareOtherNationResult(c.text.c_str()), c.code) << c.text.substr(0, 20);
    }
}
