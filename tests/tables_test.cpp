// The display tables, row by row and byte by byte, against the rows' hex transcriptions.
#include <gtest/gtest.h>

#include <string>

#include "HexBytes.h"
#include "display/Tables.h"

namespace {

// The row's bytes, then zeros to the end of the slot.
void ExpectSlot(const char* slot, size_t width, const std::string& expected) {
    ASSERT_LT(expected.size(), width);
    EXPECT_EQ(std::string(slot, expected.size()), expected);
    for (size_t i = expected.size(); i < width; ++i) {
        EXPECT_EQ(slot[i], '\0') << "byte " << i << " after " << expected;
    }
}

}  // namespace

TEST(DisplayTables, NationNames) {
    const char* const rows[] = {"Korea", "Japan", "China", "English", "Taiwan", "China"};
    ASSERT_EQ(sizeof gibo::g_szNationName, 6u * 12u);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ExpectSlot(gibo::g_szNationName[i], 12, rows[i]);
    }
}

TEST(DisplayTables, HandicapKinds) {
    const char* const rows[] = {"B7 D6 CF C8",       "C8 C3 CF C8",       "C8 C3 B6 FE D7 D3",
                                "C8 C3 C8 FD D7 D3", "C8 C3 CB C4 D7 D3", "C8 C3 CE E5 D7 D3",
                                "C8 C3 C1 F9 D7 D3"};
    ASSERT_EQ(sizeof gibo::g_szDeakukKind, 7u * 32u);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        ExpectSlot(gibo::g_szDeakukKind[i], 32, Hex(rows[i]));
    }
}

TEST(DisplayTables, GameRules) {
    const char* const rows[] = {"B7 D6 CF C8 A3 BA BA DA CC F9 36 C4 BF B0 EB",
                                "C8 C3 CF C8",
                                "C8 C3 32 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 33 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 34 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 35 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 36 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 37 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 38 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "C8 C3 39 D7 D3 20 C8 C3 D7 D3 C6 E5",
                                "20 CB C0 BB EE 31 3A B7 D6 CF C8",
                                "20 CB C0 BB EE 32 3A B7 D6 CF C8"};
    ASSERT_EQ(sizeof gibo::g_szDeakukRule, 12u * 32u);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        ExpectSlot(gibo::g_szDeakukRule[i], 32, Hex(rows[i]));
    }
}

TEST(DisplayTables, ResultNamesInFourCodePages) {
    // Storage order: Korean, Big5, GBK, Shift-JIS.
    const char* const blocks[4][9] = {
        {"C8 E6 20", "B9 E9 20", "B9 AB BD C2 BA CE", "C8 E6 20 BA D2 B0 E8 BD C2",
         "B9 E9 20 BA D2 B0 E8 BD C2", "C8 E6 20 BD C3 B0 A3 20 C3 CA B0 FA BD C2",
         "B9 E9 20 BD C3 B0 A3 20 C3 CA B0 FA BD C2", "C8 E6 20 BD C3 B0 A3 BD C2",
         "B9 E9 20 BD C3 B0 A3 BD C2"},
        {"B6 C2", "A5 D5", "B5 4C B3 D3 AD 74", "B6 C2 A4 A4 BD 4C B3 D3",
         "A5 D5 A4 A4 BD 4C B3 D3", "B6 C2 B6 57 AE C9 B3 D3", "A5 D5 B6 57 AE C9 B3 D3",
         "B6 C2 AE C9 B6 A1 B3 D3", "A5 D5 AE C9 B6 A1 B3 D3"},
        {"BA DA 20", "B0 D7 20", "BA CD C6 E5 20", "BA DA C6 E5 D6 D0 C5 CC CA A4 20",
         "B0 D7 C6 E5 D6 D0 C5 CC CA A4 20", "BA DA C6 E5 B3 AC CA B1 CA A4 20",
         "B0 D7 C6 E5 B3 AC CA B1 CA A4 20", "BA DA C6 E5 CA B1 BC E4 CA A4 20",
         "B0 D7 20 CA B1 BC E4 CA A4 20"},
        {"8D 95", "94 92", "88 F8 95 AA 82 AF", "8D 95 92 86 89 9F 82 B5 8F 9F",
         "94 92 92 86 89 9F 82 B5 8F 9F", "8D 95 8E 9E 8A D4 8F 9F",
         "94 92 8E 9E 8A D4 89 7A 82 A6 8F 9F", "8D 95 8E 9E 8A D4 8F 9F",
         "94 92 8E 9E 8A D4 8F 9F"}};
    ASSERT_EQ(sizeof gibo::g_szDeakukResult, 4u * 9u * 32u);
    for (int b = 0; b < 4; ++b) {
        for (int k = 0; k < 9; ++k) {
            SCOPED_TRACE(::testing::Message() << "block " << b << " code " << k);
            ExpectSlot(gibo::g_szDeakukResult[b][k], 32, Hex(blocks[b][k]));
        }
    }
}

TEST(DisplayTables, LevelNamesInBothForms) {
    const std::string kyu = Hex("BC B6"), dan = Hex("B6 CE"), pro = Hex("D6 B0 D2 B5");
    ASSERT_EQ(sizeof gibo::g_szLevel, 36u * 32u);
    ASSERT_EQ(sizeof gibo::g_szLevel2, 36u * 32u);
    for (int row = 0; row < 36; ++row) {
        SCOPED_TRACE(row);
        std::string level, level2;
        if (row < 18) {
            level = level2 = std::to_string(18 - row) + kyu;
        } else if (row < 27) {
            level = level2 = std::to_string(row - 17) + dan;
        } else {
            level = pro + std::to_string(row - 26) + dan;
            level2 = "P " + std::to_string(row - 26) + dan;
        }
        ExpectSlot(gibo::g_szLevel[row], 32, level);
        ExpectSlot(gibo::g_szLevel2[row], 32, level2);
    }
}
