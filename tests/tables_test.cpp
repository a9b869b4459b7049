// The display tables, checked for transcription slips: valid code-page text, zero padding, and
// words shared between related rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "display/Tables.h"

using namespace gibo;

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

// A non-empty row of whole characters of its code page, then zeros to the end of the slot.
void ExpectRow(const char* slot, size_t width, Page page) {
    const std::string row(slot);
    ASSERT_LT(row.size(), width);
    EXPECT_FALSE(row.empty());
    for (size_t i = row.size(); i < width; ++i) {
        EXPECT_EQ(slot[i], '\0') << Shown(row) << ": byte " << i;
    }
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

TEST(DisplayTables, RowsAreWholeCharactersOfTheirCodePageZeroPadded) {
    for (const auto& row : g_szNationName) {
        ExpectRow(row, kNationSlot, kAscii);
    }
    for (const auto& row : g_szDeakukKind) {
        ExpectRow(row, kTextSlot, kGbk);
    }
    for (const auto& row : g_szDeakukRule) {
        ExpectRow(row, kTextSlot, kGbk);
    }
    const Page pages[kResultBlockCount] = {kCp949, kBig5, kGbk, kSjis};
    for (int b = 0; b < kResultBlockCount; ++b) {
        for (const auto& row : g_szDeakukResult[b]) {
            ExpectRow(row, kTextSlot, pages[b]);
        }
    }
    for (int i = 0; i < kLevelCount; ++i) {
        ExpectRow(g_szLevel[i], kTextSlot, kGbk);
        ExpectRow(g_szLevel2[i], kTextSlot, kGbk);
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
