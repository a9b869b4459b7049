// The record object's display fields: names with levels, result, condition, move count, title.
#include <gtest/gtest.h>

#include <string>

#include "GiboFile.h"
#include "HexBytes.h"

TEST(DerivedFields, PlayerShownByNickOnlyWhenForeignAndNickGiven) {
    const struct {
        int playerCode;
        const char* nick;
        std::string shown;
        unsigned char blackLevel;
        const char *black, *black2;
    } cases[] = {
        {7, "nick", "id", 27, " ( <pro>1<dan> )", "(P 1<dan>)"},  // same nation as the host
        {8, "", "id", 27, " ( <pro>1<dan> )", "(P 1<dan>)"},      // foreign, but no nick
        {8, "nick", "nick", 36, " (  )", "()"},  // a level past the table: empty brackets
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.SetNationCode(7);
        f.m_strWId = f.m_strBId = "id";
        f.m_strWNick = f.m_strBNick = c.nick;
        f.m_nWCode = f.m_nBCode = c.playerCode;
        f.m_byWGeup = 0;
        f.m_byBGeup = c.blackLevel;
        f.MakeWUserName();
        f.MakeBUserName();
        EXPECT_EQ(f.m_strWUser.str(), c.shown + Gbk(" ( 18<kyu> )"));
        EXPECT_EQ(f.m_strWUser2.str(), c.shown + Gbk("(18<kyu>)"));
        EXPECT_EQ(f.m_strBUser.str(), c.shown + Gbk(c.black));
        EXPECT_EQ(f.m_strBUser2.str(), c.shown + Gbk(c.black2));
    }
}

TEST(DerivedFields, ResultTexts) {
    const struct {
        int code, points, tenths;
        const char* item;  // hex of the GAMERESULT value; null: no such item
        const char* text;  // null: the earlier text is kept
    } cases[] = {
        {0, 6, 5, nullptr, "<black>  6<pts> <half><win>"},
        {0, 6, 0, nullptr, "<black>  6<pts> <win>"},
        {1, 0, 5, nullptr, "<white>  <half><pts> <win>"},
        {1, -1, -5, nullptr, "<white>  -1<pts> <half><win>"},  // SetGameZip("-15")
        {1, 0, -5, nullptr, "<white>  <half><pts> <win>"},
        {-1, 3, 0, nullptr, "  3<pts> <win>"},   // a negative code has a blank for its colour word
        {3, 6, 5, nullptr, "<black><resign> "},  // named results ignore the margin
        {8, 6, 0, nullptr, "<white> <h><BC E4><win> "},
        // A zero margin, or a code with no name, keeps the earlier text.
        {0, 0, 0, nullptr, nullptr},
        {1, 0, 0, nullptr, nullptr},
        {9, 6, 5, nullptr, nullptr},
        {254, 0, 0, nullptr, nullptr},
        {256, 0, 0, nullptr, nullptr},
        // Code 255: the result is the header's text in any code page, shown in GBK. Which text
        // maps to which code is the lookups' test.
        {255, 2, 5, "C8 E6 20 BA D2 B0 E8 BD C2", "<black><resign> "},  // Korean resignation
        {255, 2, 5, "94 92 8E 9E 8A D4 89 7A 82 A6 8F 9F",
         "<white><C6 E5 B3 AC CA B1 CA A4 20>"},                    // Shift-JIS time-out
        {255, 2, 5, "77 68 61 74", "<BA CD C6 E5 20>"},             // unrecognised: a draw
        {255, 2, 5, "B9 E9 20 78", "<white>  2<pts> <half><win>"},  // score win: the margin
        {255, 2, 5, nullptr, "<BA CD C6 E5 20>"},                   // no item: a draw
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strGameResult = "earlier";
        f.m_strHeader =
            c.item ? ("\\[GAMERESULT=" + Hex(c.item) + "\\]\r\n").c_str() : "\\[TYPE=1\\]";
        f.m_nGameResult = c.code;
        f.m_nZipsu = c.points;
        f.m_nZipsuFrac = c.tenths;
        f.MakeGameResult();
        EXPECT_EQ(f.m_strGameResult.str(), c.text ? Gbk(c.text) : "earlier")
            << c.code << " " << c.points << "." << c.tenths << " " << (c.item ? c.item : "");
    }
}

TEST(DerivedFields, Conditions) {
    const struct {
        int condition, dum;
        const char* text;
    } cases[] = {
        {0, 7, "<min><CF C8 A3 BA><komi>6<pts><half>"},
        {1, 7, "<handicap>"},
        {3, 0, "<C8 C3>3<D7 D3> <handicap>"},
        {3, 5, "<C8 C3>3<D7 D3> <handicap> ( <black><B5 B9 CC F9> 5<pts> )"},
        {-2, 0, "<C8 C3>-2<D7 D3> <handicap>"},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_nGameCondition = c.condition;
        f.m_nDum = c.dum;
        f.MakeGameCondition();
        EXPECT_EQ(f.m_strGameCondition.str(), Gbk(c.text)) << c.condition << " " << c.dum;
    }
}

TEST(DerivedFields, MoveCountKeepsTheMiddleOfTheHeaderValue) {
    const char* const cases[][2] = {{"\\[GAMETOTALNUM=abc211de\\]", "211"},
                                    {"\\[GAMETOTALNUM=abc1de\\]", "1"},
                                    {"\\[GAMETOTALNUM=abcde\\]", ""},
                                    {"\\[GAMETOTALNUM=a\\]", ""},
                                    {"", ""}};
    for (const auto& c : cases) {
        CGiboFile f;
        f.m_strHeader = c[0];
        f.MakeGameTotalNum();
        EXPECT_EQ(f.m_strTotalNum, c[1]) << c[0];
        EXPECT_EQ(f.m_strGameTotalNum.str(), Gbk("<total>: ") + c[1] + Gbk("<moves>")) << c[0];
    }
}

TEST(DerivedFields, TitleQuotesFiveFieldsEvenWhenEmpty) {
    CGiboFile f;
    f.MakeShowGiboTitle();
    EXPECT_EQ(f.m_strShowGiboTitle.str(), Gbk("<white>: Vs <black>: - ( <total>:<moves>)"));
    f.m_strWUser2 = "w";
    f.m_strBUser2 = "b";
    f.m_strGameResult = "r";
    f.m_strGameCondition = "c";
    f.m_strTotalNum = "9";
    f.MakeShowGiboTitle();
    EXPECT_EQ(f.m_strShowGiboTitle.str(), Gbk("<white>:w Vs <black>:b - r(c <total>:9<moves>)"));
}
