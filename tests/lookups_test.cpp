// Lookups over the display tables: out-of-range answers, the shared rule buffer, computed level
// names and the mapping of result texts in four code pages back to result codes.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "GiboFile.h"
#include "HexBytes.h"
#include "display/Tables.h"

namespace {

const std::string kKomi = Hex("BA DA CC F9");  // 黑贴
const std::string kPoints = Hex("C4 BF");      // 目

}  // namespace

TEST(Lookups, NationNameIsEmptyPastTheTable) {
    CGiboFile f;
    EXPECT_STREQ(f.GetNationName(0), "Korea");
    EXPECT_STREQ(f.GetNationName(5), "China");
    EXPECT_STREQ(f.GetNationName(6), "");
    EXPECT_STREQ(f.GetNationName(255), "");
}

TEST(Lookups, HandicapKindFallsBackToEvenGame) {
    CGiboFile f;
    EXPECT_EQ(std::string(f.GetDeakukKind(6)), Hex("C8 C3 C1 F9 D7 D3"));
    EXPECT_EQ(std::string(f.GetDeakukKind(7)), Hex("B7 D6 CF C8"));
    EXPECT_EQ(std::string(f.GetDeakukKind(255)), Hex("B7 D6 CF C8"));
}

TEST(Lookups, RuleWithoutKomiIsTheTableRow) {
    CGiboFile f;
    EXPECT_EQ(f.GetDeakukRule(0, 7), gibo::g_szDeakukRule[0]);  // row 0 names its own komi
    EXPECT_EQ(f.GetDeakukRule(1, 0), gibo::g_szDeakukRule[1]);
    EXPECT_STREQ(f.GetDeakukRule(12, 5), "");
    EXPECT_STREQ(f.GetDeakukRule(255, 0), "");
}

TEST(Lookups, RuleWithKomiIsFormattedWhole) {
    CGiboFile f;
    // No komi, however long, cuts the text: every formatting row with the extremes of int.
    const int komis[] = {5, -3, INT_MAX, INT_MIN};
    for (unsigned char row = 1; row < 12; ++row) {
        for (int komi : komis) {
            SCOPED_TRACE(::testing::Message() << "row " << int(row) << " komi " << komi);
            const std::string expected = std::string(gibo::g_szDeakukRule[row]) + " (" + kKomi +
                                         " " + std::to_string(komi) + kPoints + ")";
            EXPECT_EQ(std::string(f.GetDeakukRule(row, komi)), expected);
        }
    }
    EXPECT_EQ(std::string(f.GetDeakukRule(1, 5)),
              Hex("C8 C3 CF C8 20 28 BA DA CC F9 20 35 C4 BF 29"));
}

TEST(Lookups, EveryRuleCallClearsTheSharedBuffer) {
    CGiboFile f, other;
    const char* formatted = f.GetDeakukRule(2, 5);
    ASSERT_STRNE(formatted, "");
    other.GetDeakukRule(1, 0);  // answers from the table, still clears the buffer
    EXPECT_STREQ(formatted, "");
    other.GetDeakukRule(3, 6);
    EXPECT_EQ(std::string(formatted),
              std::string(gibo::g_szDeakukRule[3]) + " (" + kKomi + " 6" + kPoints + ")");
}

TEST(Lookups, ResultNamesAreTheGbkBlock) {
    CGiboFile f;
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(f.GetDeakukResult(static_cast<unsigned char>(k)),
                  gibo::g_szDeakukResult[gibo::kResultGbk][k]);
        EXPECT_EQ(f.GetStrGameResult(k), gibo::g_szDeakukResult[gibo::kResultGbk][k]);
    }
    EXPECT_EQ(f.GetDeakukResult(9), nullptr);
    EXPECT_EQ(f.GetDeakukResult(255), nullptr);
    for (int k : {9, 255, -1, INT_MIN}) {
        EXPECT_STREQ(f.GetStrGameResult(k), " ") << k;
    }
}

TEST(Lookups, LevelNamesOutOfRangeAreEmpty) {
    CGiboFile f;
    EXPECT_EQ(f.GetLevel(0), Hex("31 38 BC B6").c_str());
    EXPECT_EQ(f.GetLevel(27), Hex("D6 B0 D2 B5 31 B6 CE").c_str());
    EXPECT_EQ(f.GetLevel2(27), Hex("50 20 31 B6 CE").c_str());
    EXPECT_EQ(f.GetLevel2(35), Hex("50 20 39 B6 CE").c_str());
    for (int i : {36, -1, 255}) {
        EXPECT_TRUE(f.GetLevel(i).IsEmpty()) << i;
        EXPECT_TRUE(f.GetLevel2(i).IsEmpty()) << i;
    }
}

TEST(Lookups, ComputedLevelNames) {
    const std::string kyu = Hex("BC B6"), dan = Hex("B6 CE");
    const struct {
        unsigned char code;
        std::string text;
    } cases[] = {
        {0, "18" + kyu},  {17, "1" + kyu},   {18, "1" + dan},     {26, "9" + dan},
        {27, "P1" + dan}, {40, "P14" + dan}, {255, "P229" + dan},
    };
    CGiboFile f;
    for (const auto& c : cases) {
        EXPECT_EQ(f.ExtGetLvStr(c.code), c.text.c_str()) << int(c.code);
        EXPECT_EQ(f.m_strLvBuf, c.text.c_str()) << int(c.code);
    }
    // Amateur levels agree with the compact level table.
    for (int code = 0; code < 27; ++code) {
        EXPECT_EQ(f.ExtGetLvStr(static_cast<unsigned char>(code)), f.GetLevel2(code)) << code;
    }
}

TEST(Lookups, EveryResultRowMapsBackToItsCode) {
    CGiboFile f;
    for (int block = 0; block < 4; ++block) {
        for (int k = 2; k < 9; ++k) {
            // Shift-JIS rows 5 and 7 are one text; the lower code wins.
            const int expected = (block == gibo::kResultJapanese && k == 7) ? 5 : k;
            const std::string row = gibo::g_szDeakukResult[block][k];
            std::string doubled;  // every blank doubled
            for (char c : row) {
                doubled += c;
                if (c == ' ') {
                    doubled += ' ';
                }
            }
            SCOPED_TRACE(::testing::Message() << "block " << block << " code " << k);
            EXPECT_EQ(f.CompareOtherNationResult(row.c_str()), expected);
            EXPECT_EQ(f.CompareOtherNationResult(("  " + doubled).c_str()), expected);
        }
    }
}

TEST(Lookups, ResultTextsTable) {
    const struct {
        const char* what;
        std::string text;
        int code;
    } cases[] = {
        {"Korean resignation without blanks", Hex("C8 E6 BA D2 B0 E8 BD C2"), 3},
        {"GBK time win without the blanks", Hex("B0 D7 CA B1 BC E4 CA A4"), 8},
        {"GBK resignation without trailing blank", Hex("BA DA C6 E5 D6 D0 C5 CC CA A4"), 3},
        {"Shift-JIS time win is code 5, never 7", Hex("8D 95 8E 9E 8A D4 8F 9F"), 5},
        {"Shift-JIS time-out", Hex("94 92 8E 9E 8A D4 89 7A 82 A6 8F 9F"), 6},
        {"Big5 draw", Hex("B5 4C B3 D3 AD 74"), 2},
        {"Shift-JIS draw", Hex("88 F8 95 AA 82 AF"), 2},
        {"GBK black colour word with margin", Hex("BA DA 20 33 C4 BF"), 0},
        {"GBK white colour word with margin", Hex("B0 D7 20 33 C4 BF"), 1},
        {"GBK colour word needs its blank", Hex("B0 D7 33 C4 BF"), 2},
        {"Korean white score win", Hex("B9 E9 20 35 C1 FD"), 1},
        {"Big5 black inside a text", "x" + Hex("B6 C2") + "y", 0},
        {"Shift-JIS white inside a text", "x" + Hex("94 92"), 1},
        {"black before white", Hex("B0 D7 20 BA DA 20"), 0},
        {"GBK resignation without 棋 matches nothing", Hex("BA DA D6 D0 C5 CC CA A4"), 2},
        {"empty", "", 2},
        {"blanks only", "    ", 2},
        {"unrelated", "abc", 2},
    };
    CGiboFile f;
    for (const auto& c : cases) {
        EXPECT_EQ(f.CompareOtherNationResult(c.text.c_str()), c.code) << c.what;
    }
}

TEST(Lookups, LongResultTextIsComparedWhole) {
    CGiboFile f;
    // 300 blanks between the characters still leave the Korean resignation text.
    const std::string spaced = Hex("C8 E6") + std::string(300, ' ') + Hex("BA D2 B0 E8 BD C2");
    EXPECT_EQ(f.CompareOtherNationResult(spaced.c_str()), 3);
    // A long text that merely begins with a row is not that row.
    const std::string tail = Hex("B0 D7 C6 E5 D6 D0 C5 CC CA A4") + std::string(200, 'x');
    EXPECT_EQ(f.CompareOtherNationResult(tail.c_str()), 2);
}
