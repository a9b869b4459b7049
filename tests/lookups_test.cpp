// The display tables, checked for transcription slips, and the lookups over them.

#include <climits>

#include "TestSupport.h"
#include "display/Tables.h"

using namespace gibo;

TEST(Lookups, IndexesPastTheTablesGetFixedAnswers) {
    CGiboFile f;
    EXPECT_STREQ(f.GetNationName(5), "China");
    EXPECT_STREQ(f.GetNationName(6), "");
    EXPECT_EQ(std::string(f.GetDeakukKind(6)), Hex("C8 C3 C1 F9 D7 D3"));
    EXPECT_EQ(std::string(f.GetDeakukKind(7)), Hex("B7 D6 CF C8"));  // the even game
    EXPECT_STREQ(f.GetDeakukRule(12, 5), "");
    EXPECT_STREQ(f.GetDeakukRule(255, 0), "");
    EXPECT_EQ(f.GetDeakukResult(9), nullptr);
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

namespace {

// Lead and trail byte ranges (pairs of bounds) of each code page; ASCII has no lead bytes.
enum Page { kGbk, kCp949, kBig5, kSjis, kAscii };
const std::vector<int> kLead[] = {
    {0x81, 0xFE}, {0x81, 0xFE}, {0x81, 0xFE}, {0x81, 0x9F, 0xE0, 0xFC}, {}};
const std::vector<int> kTrail[] = {{0x40, 0x7E, 0x80, 0xFE},
                                   {0x41, 0x5A, 0x61, 0x7A, 0x81, 0xFE},
                                   {0x40, 0x7E, 0xA1, 0xFE},
                                   {0x40, 0x7E, 0x80, 0xFC},
                                   {}};
// Printable ASCII; Shift-JIS adds its single-byte katakana.
const std::vector<int> kSingle[] = {
    {0x20, 0x7E}, {0x20, 0x7E}, {0x20, 0x7E}, {0x20, 0x7E, 0xA1, 0xDF}, {0x20, 0x7E}};

bool In(const std::vector<int>& ranges, unsigned char c) {
    for (size_t i = 0; i < ranges.size(); i += 2) {
        if (c >= ranges[i] && c <= ranges[i + 1]) {
            return true;
        }
    }
    return false;
}

// A non-empty row of whole characters of its code page.
void ExpectRow(const std::string& row, Page page) {
    EXPECT_FALSE(row.empty());
    for (size_t i = 0; i < row.size(); ++i) {
        const auto c = static_cast<unsigned char>(row[i]);
        if (In(kLead[page], c)) {
            ASSERT_LT(i + 1, row.size()) << Shown(row) << ": a lead byte ends the row";
            EXPECT_TRUE(In(kTrail[page], static_cast<unsigned char>(row[++i]))) << Shown(row);
        } else {
            EXPECT_TRUE(In(kSingle[page], c)) << Shown(row) << ": byte " << i;
        }
    }
}

}  // namespace

TEST(DisplayTables, RowsAreWholeCharactersOfTheirCodePage) {
    for (const auto& row : g_szNationName) {
        ExpectRow(row, kAscii);
    }
    for (const auto& row : g_szDeakukKind) {
        ExpectRow(row, kGbk);
    }
    for (const auto& row : g_szDeakukRule) {
        ExpectRow(row, kGbk);
    }
    const Page pages[kResultBlockCount] = {kCp949, kBig5, kGbk, kSjis};
    for (int b = 0; b < kResultBlockCount; ++b) {
        for (const auto& row : g_szDeakukResult[b]) {
            ExpectRow(row, pages[b]);
        }
    }
    for (int i = 0; i < kLevelCount; ++i) {
        ExpectRow(g_szLevel[i], kGbk);
        ExpectRow(g_szLevel2[i], kGbk);
    }
}

TEST(DisplayTables, RelatedRowsShareTheirWords) {
    // Handicap kinds and rules: 让 N 子 for two to nine stones, N in characters for the kinds.
    const std::string give = Hex("C8 C3"), stones = Hex("D7 D3");
    const char* const counts[] = {"B6 FE", "C8 FD", "CB C4", "CE E5", "C1 F9"};  // 二 .. 六
    for (int n = 2; n < kKindCount; ++n) {
        EXPECT_EQ(g_szDeakukKind[n], give + Hex(counts[n - 2]) + stones) << n;
    }
    for (int n = 2; n <= 9; ++n) {
        EXPECT_EQ(g_szDeakukRule[n], give + std::to_string(n) + stones + " " + Gbk("<handicap>"));
    }
    EXPECT_EQ(std::string(g_szDeakukRule[1]), g_szDeakukKind[1]);
    // Every win names its colour with the colour word of rows 0 (black) and 1 (white).
    for (const auto& block : g_szDeakukResult) {
        for (int k = 3; k < kResultCount; ++k) {
            const std::string row = block[k];
            std::string colour = block[1 - k % 2];
            colour.erase(colour.find_last_not_of(' ') + 1);
            EXPECT_EQ(row.substr(0, colour.size()), colour) << Shown(row);
        }
    }
    // Levels: 18 kyu down to 1 kyu, 1 to 9 dan, then professionals in two forms.
    for (int row = 0; row < kLevelCount; ++row) {
        const std::string amateur = row < 18 ? std::to_string(18 - row) + Gbk("<kyu>")
                                             : std::to_string(row - 17) + Gbk("<dan>");
        EXPECT_EQ(g_szLevel[row],
                  row < 27 ? amateur : Gbk("<pro>") + std::to_string(row - 26) + Gbk("<dan>"));
        EXPECT_EQ(g_szLevel2[row],
                  row < 27 ? amateur : "P " + std::to_string(row - 26) + Gbk("<dan>"));
    }
}
