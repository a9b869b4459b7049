// The compact header's display texts (MakeData), with the loaded fields set directly.
#include <gtest/gtest.h>

#include <string>

#include "GBHLoad.h"
#include "GiboFile.h"
#include "HexBytes.h"

namespace {

std::string Str(const CString& s) {
    return s.str();
}

const std::string kPro1 = Hex("20 28 20 D6 B0 D2 B5 31 B6 CE 20 29");  // " ( 职业1段 )"
const std::string kPro1Short = Hex("28 50 20 31 B6 CE 29");            // "(P 1段)"

}  // namespace

TEST(CompactDisplay, NamesFollowTheOwnersNationCode) {
    const struct {
        unsigned char code;
        const char* nick;
        const char* shown;
    } cases[] = {{3, "K", "I"}, {4, "K", "K"}, {4, "", "I"}};
    for (const auto& c : cases) {
        CGiboFile f;
        f.SetNationCode(3);
        CGBHLoad& g = *f.GetGBHLoad();
        g.m_strWId = g.m_strBId = "I";
        g.m_strWNick = g.m_strBNick = c.nick;
        g.m_byWCode = g.m_byBCode = c.code;
        g.m_byWGeup = 27;
        g.m_byBGeup = 36;  // past the table: empty level
        f.MakeData();      // whatever the flag
        const std::string shown = c.shown;
        EXPECT_EQ(Str(g.m_strWUser), shown + kPro1);
        EXPECT_EQ(Str(g.m_strWUser2), shown + kPro1Short);
        EXPECT_EQ(Str(g.m_strBUser), shown + " (  )");
        EXPECT_EQ(Str(g.m_strBUser2), shown + "()");
    }
}

TEST(CompactDisplay, Results) {
    const std::string black = Hex("BA DA 20");
    const struct {
        unsigned char code;
        int margin;
        std::string text;
    } cases[] = {
        {0, 65, black + " 6" + Hex("C4 BF 20 B0 EB CA A4")},
        {0, 60, black + " 6" + Hex("C4 BF 20 CA A4")},
        {0, 5, black + " " + Hex("B0 EB C4 BF 20 CA A4")},
        {0, -65, black + " -6" + Hex("C4 BF 20 B0 EB CA A4")},
        {1, -5, Hex("B0 D7 20") + " " + Hex("B0 EB C4 BF 20 CA A4")},
        {0, 0, "earlier"},
        {3, 65, Hex("BA DA C6 E5 D6 D0 C5 CC CA A4 20")},
        {9, 65, " "},
        {255, 0, " "},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        CGBHLoad& g = *f.GetGBHLoad();
        g.m_strGameResult = "earlier";
        g.m_byGameResult = c.code;
        g.m_nZipsu = c.margin;
        g.MakeData();
        EXPECT_EQ(Str(g.m_strGameResult), c.text) << int(c.code) << " " << c.margin;
    }
}

TEST(CompactDisplay, ConditionIsTheRuleLookup) {
    const struct {
        unsigned char code;
        int dum;
        std::string text;
    } cases[] = {
        {0, 7, Hex("B7 D6 CF C8 A3 BA BA DA CC F9 36 C4 BF B0 EB")},
        {1, 0, Hex("C8 C3 CF C8")},
        {1, 5, Hex("C8 C3 CF C8 20 28 BA DA CC F9 20 35 C4 BF 29")},
        {12, 5, ""},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        CGBHLoad& g = *f.GetGBHLoad();
        g.m_byGameCondition = c.code;
        g.m_nDum = c.dum;
        g.MakeData();
        // A later lookup must not change the copied text.
        f.GetDeakukRule(2, 9);
        EXPECT_EQ(Str(g.m_strGameCondition), c.text) << int(c.code);
    }
}

TEST(CompactDisplay, CountAndTitle) {
    CGiboFile f;
    f.SetNewFormat(1);
    CGBHLoad& g = *f.GetGBHLoad();
    g.m_strWId = "w";
    g.m_strBId = "b";
    g.m_byWGeup = 27;
    g.m_byBGeup = 0;
    g.m_byGameResult = 3;
    g.m_byGameCondition = 1;
    g.m_nTotalNum = 211;
    f.MakeData();
    EXPECT_EQ(Str(f.GetGameTotalNum()), Hex("D7 DC 3A 20") + "211" + Hex("CA FD"));
    EXPECT_EQ(Str(f.GetShowGiboTitle()),
              Hex("B0 D7 3A") + "w" + kPro1Short + " Vs " + Hex("BA DA 3A") + "b(18" +
                  Hex("BC B6") + ") - " + Hex("BA DA C6 E5 D6 D0 C5 CC CA A4 20") + "(" +
                  Hex("C8 C3 CF C8") + " " + Hex("D7 DC 3A") + "211" + Hex("CA FD") + ")");
}

TEST(CompactDisplay, WithoutOwnerOnlyCountAndTitleAreMade) {
    CGBHLoad g(nullptr);
    g.m_strWUser = "wu";
    g.m_strWUser2 = "w2";
    g.m_strBUser2 = "b2";
    g.m_strGameResult = "r";
    g.m_strGameCondition = "c";
    g.m_strWId = "id";
    g.m_byGameResult = 3;
    g.m_nTotalNum = -4;
    g.MakeData();
    EXPECT_EQ(g.m_strWUser, "wu");
    EXPECT_EQ(g.m_strGameResult, "r");
    EXPECT_EQ(g.m_strGameCondition, "c");
    EXPECT_EQ(Str(g.m_strGameTotalNum), Hex("D7 DC 3A 20") + "-4" + Hex("CA FD"));
    EXPECT_EQ(Str(g.m_strShowGiboTitle), Hex("B0 D7 3A") + "w2 Vs " + Hex("BA DA 3A") +
                                             "b2 - r(c " + Hex("D7 DC 3A") + "-4" + Hex("CA FD") +
                                             ")");
}

TEST(CompactDisplay, LoadedHeaderShowsEveryText) {
    CGiboFile f;
    f.SetNewFormat(1);
    char text[] = "WID:kim01,WLV:20,BID:lee02,BLV:19,GRLT:0,ZIPSU:35,GCDT:2,DUM:6,TCNT:211,";
    f.ParsingTagData(text);
    f.MakeData();
    const std::string result = Hex("BA DA 20") + " 3" + Hex("C4 BF 20 B0 EB CA A4");
    const std::string condition =
        Hex("C8 C3 32 D7 D3 20 C8 C3 D7 D3 C6 E5 20 28 BA DA CC F9 20") + "6" + Hex("C4 BF 29");
    EXPECT_EQ(Str(f.GetGameWUser()), "kim01 ( 3" + Hex("B6 CE") + " )");
    EXPECT_EQ(Str(f.GetGameResult()), result);
    EXPECT_EQ(Str(f.GetGameCondition()), condition);
    EXPECT_EQ(Str(f.GetShowGiboTitle()), Hex("B0 D7 3A") + "kim01(3" + Hex("B6 CE") + ") Vs " +
                                             Hex("BA DA 3A") + "lee02(2" + Hex("B6 CE") + ") - " +
                                             result + "(" + condition + " " + Hex("D7 DC 3A") +
                                             "211" + Hex("CA FD") + ")");
}
