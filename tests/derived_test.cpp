// The record object's display fields: names with levels, result, condition, move count, title.
#include <gtest/gtest.h>

#include <string>

#include "GiboFile.h"
#include "HexBytes.h"

namespace {

const std::string kBlack = Hex("BA DA 20");                      // "黑 ", the GBK colour word
const std::string kWhite = Hex("B0 D7 20");                      // "白 "
const std::string kPointsWin = Hex("C4 BF 20 CA A4");            // "目 胜"
const std::string kPointsHalfWin = Hex("C4 BF 20 B0 EB CA A4");  // "目 半胜"
const std::string kHalfPointWin = Hex("B0 EB C4 BF 20 CA A4");   // "半目 胜"

std::string Str(const CString& s) {
    return s.str();
}

}  // namespace

TEST(DerivedFields, PlayerShownByNickOnlyWhenForeignAndNickGiven) {
    const struct {
        int playerCode;
        const char* nick;
        const char* shown;
    } cases[] = {
        {7, "nick", "id"},  // same nation as the host
        {8, "", "id"},      // foreign, but no nick
        {8, "nick", "nick"},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.SetNationCode(7);
        f.m_strWId = "id";
        f.m_strBId = "id";
        f.m_strWNick = c.nick;
        f.m_strBNick = c.nick;
        f.m_nWCode = c.playerCode;
        f.m_nBCode = c.playerCode;
        f.m_byWGeup = 0;
        f.m_byBGeup = 27;
        f.MakeWUserName();
        f.MakeBUserName();
        const std::string shown = c.shown;
        EXPECT_EQ(Str(f.m_strWUser), shown + " ( " + Hex("31 38 BC B6") + " )");
        EXPECT_EQ(Str(f.m_strWUser2), shown + "(" + Hex("31 38 BC B6") + ")");
        EXPECT_EQ(Str(f.m_strBUser), shown + " ( " + Hex("D6 B0 D2 B5 31 B6 CE") + " )");
        EXPECT_EQ(Str(f.m_strBUser2), shown + "(" + Hex("50 20 31 B6 CE") + ")");
    }
}

TEST(DerivedFields, LevelPastTheTableLeavesEmptyBrackets) {
    CGiboFile f;
    f.m_strWId = "w";
    f.m_byWGeup = 36;
    f.MakeWUserName();
    EXPECT_EQ(f.m_strWUser, "w (  )");
    EXPECT_EQ(f.m_strWUser2, "w()");
}

TEST(DerivedFields, ResultTexts) {
    const struct {
        int code, points, tenths;
        std::string text;
    } cases[] = {
        {0, 6, 5, kBlack + " 6" + kPointsHalfWin},
        {0, 6, 0, kBlack + " 6" + kPointsWin},
        {1, 0, 5, kWhite + " " + kHalfPointWin},
        {1, -1, -5, kWhite + " -1" + kPointsHalfWin},  // SetGameZip("-15")
        {1, 0, -5, kWhite + " " + kHalfPointWin},
        {-1, 3, 0, "  3" + kPointsWin},  // a negative code has a blank for its colour word
        {3, 6, 5, Hex("BA DA C6 E5 D6 D0 C5 CC CA A4 20")},  // named results ignore the margin
        {8, 6, 0, Hex("B0 D7 20 CA B1 BC E4 CA A4 20")},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_nGameResult = c.code;
        f.m_nZipsu = c.points;
        f.m_nZipsuFrac = c.tenths;
        f.MakeGameResult();
        EXPECT_EQ(Str(f.m_strGameResult), c.text) << c.code << " " << c.points << "." << c.tenths;
    }
}

TEST(DerivedFields, ResultKeptForZeroMarginAndUnknownCodes) {
    const struct {
        int code, points, tenths;
    } cases[] = {{0, 0, 0}, {1, 0, 0}, {9, 6, 5}, {100, 0, 0}, {254, 0, 0}, {256, 0, 0}};
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strGameResult = "earlier";
        f.m_nGameResult = c.code;
        f.m_nZipsu = c.points;
        f.m_nZipsuFrac = c.tenths;
        f.MakeGameResult();
        EXPECT_EQ(f.m_strGameResult, "earlier") << c.code;
    }
}

TEST(DerivedFields, ResultGivenAsTextInTheHeader) {
    const struct {
        const char* what;
        std::string header;
        std::string text;
    } cases[] = {
        {"Korean resignation", "\\[GAMERESULT=" + Hex("C8 E6 20 BA D2 B0 E8 BD C2") + "\\]\r\n",
         Hex("BA DA C6 E5 D6 D0 C5 CC CA A4 20")},
        {"Big5 resignation", "\\[GAMERESULT=" + Hex("A5 D5 A4 A4 BD 4C B3 D3") + "\\]\r\n",
         Hex("B0 D7 C6 E5 D6 D0 C5 CC CA A4 20")},
        {"GBK time-out", "\\[GAMERESULT=" + Hex("BA DA C6 E5 B3 AC CA B1 CA A4") + "\\]\r\n",
         Hex("BA DA C6 E5 B3 AC CA B1 CA A4 20")},
        {"Shift-JIS time-out",
         "\\[GAMERESULT=" + Hex("94 92 8E 9E 8A D4 89 7A 82 A6 8F 9F") + "\\]",
         Hex("B0 D7 C6 E5 B3 AC CA B1 CA A4 20")},
        {"Shift-JIS draw", "\\[GAMERESULT=" + Hex("88 F8 95 AA 82 AF") + "\\]",
         Hex("BA CD C6 E5 20")},
        {"unrecognised", "\\[GAMERESULT=whatever\\]", Hex("BA CD C6 E5 20")},
        {"missing item", "\\[TYPE=1\\]", Hex("BA CD C6 E5 20")},
        {"Korean score win uses the margin", "\\[GAMERESULT=" + Hex("B9 E9 20") + "x\\]",
         kWhite + " 2" + kPointsHalfWin},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strHeader = c.header.c_str();
        f.m_nGameResult = 255;
        f.m_nZipsu = 2;
        f.m_nZipsuFrac = 5;
        f.MakeGameResult();
        EXPECT_EQ(Str(f.m_strGameResult), c.text) << c.what;
    }
}

TEST(DerivedFields, Conditions) {
    const std::string handicap = Hex("C8 C3 D7 D3 C6 E5");  // 让子棋
    const struct {
        int condition, dum;
        std::string text;
    } cases[] = {
        {0, 7, Hex("B7 D6 CF C8 A3 BA BA DA CC F9 36 C4 BF B0 EB")},
        {1, 7, handicap},
        {3, 0, Hex("C8 C3") + "3" + Hex("D7 D3") + " " + handicap},
        {3, 5,
         Hex("C8 C3") + "3" + Hex("D7 D3") + " " + handicap + " ( " + Hex("BA DA B5 B9 CC F9") +
             " 5" + Hex("C4 BF") + " )"},
        {-2, 0, Hex("C8 C3") + "-2" + Hex("D7 D3") + " " + handicap},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_nGameCondition = c.condition;
        f.m_nDum = c.dum;
        f.MakeGameCondition();
        EXPECT_EQ(Str(f.m_strGameCondition), c.text) << c.condition << " " << c.dum;
    }
}

TEST(DerivedFields, MoveCountKeepsTheMiddleOfTheHeaderValue) {
    const struct {
        const char* header;
        const char* count;
    } cases[] = {
        {"\\[GAMETOTALNUM=abc211de\\]", "211"},
        {"\\[GAMETOTALNUM=abc1de\\]", "1"},
        {"\\[GAMETOTALNUM=abcde\\]", ""},
        {"\\[GAMETOTALNUM=a\\]", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strHeader = c.header;
        f.MakeGameTotalNum();
        EXPECT_EQ(f.m_strTotalNum, c.count) << c.header;
        EXPECT_EQ(Str(f.m_strGameTotalNum), Hex("D7 DC 3A 20") + c.count + Hex("CA FD"))
            << c.header;
    }
}

TEST(DerivedFields, TitleQuotesFiveFieldsEvenWhenEmpty) {
    CGiboFile f;
    f.MakeShowGiboTitle();
    EXPECT_EQ(Str(f.m_strShowGiboTitle),
              Hex("B0 D7 3A 20 56 73 20 BA DA 3A 20 2D 20 28 20 D7 DC 3A CA FD 29"));
    f.m_strWUser2 = "w";
    f.m_strBUser2 = "b";
    f.m_strGameResult = "r";
    f.m_strGameCondition = "c";
    f.m_strTotalNum = "9";
    f.MakeShowGiboTitle();
    EXPECT_EQ(Str(f.m_strShowGiboTitle), Hex("B0 D7") + ":w Vs " + Hex("BA DA") + ":b - r(c " +
                                             Hex("D7 DC") + ":9" + Hex("CA FD") + ")");
}
