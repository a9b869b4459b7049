// The game-information interpreter: letter items, the setters' conversions, the composed texts.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

// Interprets one text in a fresh record object.
struct Parsed {
    explicit Parsed(std::string text) : t(std::move(text)) { f.ParsingTagData(t.data()); }
    CGiboFile f;
    std::string t;
};

const std::string kFriendly = Hex("D3 D1 C7 E9 B6 D4 BE D6");  // 友情对局

}  // namespace

TEST(GameInfo, LaterItemsWinAndOnlyThreeTypesHaveNames) {
    CGiboFile f;
    std::string all("S1,IXa,Q7,s2,S3,IXb");  // unknown codes are passed over
    f.ParsingTagData(all.data());
    EXPECT_EQ(f.m_nGameType, 3);
    EXPECT_EQ(f.m_strGameType.str(), kFriendly);  // 3 has no name: the text of 1 stays
    EXPECT_EQ(f.m_strWId, "b");
    std::string t("S0,,S5");
    char* rest = f.ParsingTagData(t.data());
    EXPECT_EQ(f.m_nGameType, 0);
    EXPECT_EQ(f.m_strGameType.str(), Hex("C9 FD BD B5 BC B6 B6 D4 BE D6"));  // 升降级对局
    f.ParsingTagData(rest);  // the host may go on from there
    EXPECT_EQ(f.m_strGameType.str(), Hex("D6 B0 D2 B5 D1 A1 CA D6 B6 D4 BE D6"));  // 职业选手对局
}

// Each setter's conversion, read back as a number of the field's own width.
TEST(GameInfo, NumberSettersKeepTheirFieldsWidth) {
    const auto number = [](const char* item, auto field) { return long(Parsed(item).f.*field); };
    EXPECT_EQ(number("R258", &CGiboFile::m_nGameCondition), 258);
    EXPECT_EQ(number("D65", &CGiboFile::m_nDum), 6);
    EXPECT_EQ(number("D-65", &CGiboFile::m_nDum), -6);
    EXPECT_EQ(number("D9", &CGiboFile::m_nDum), 0);
    EXPECT_EQ(number("G12", &CGiboFile::m_nGongje), 12);
    EXPECT_EQ(number("W255", &CGiboFile::m_nGameResult), 255);
    EXPECT_EQ(number("W-3", &CGiboFile::m_nGameResult), -3);
    EXPECT_EQ(number("Z75", &CGiboFile::m_nZipsu), 7);
    EXPECT_EQ(number("Z75", &CGiboFile::m_nZipsuFrac), 5);
    EXPECT_EQ(number("Z-15", &CGiboFile::m_nZipsu), -1);
    EXPECT_EQ(number("Z-15", &CGiboFile::m_nZipsuFrac), -5);
    EXPECT_EQ(number("Z-5", &CGiboFile::m_nZipsu), 0);
    EXPECT_EQ(number("Z-5", &CGiboFile::m_nZipsuFrac), -5);
    EXPECT_EQ(number("JX82", &CGiboFile::m_nWCode), 82);
    EXPECT_EQ(number("KX-1", &CGiboFile::m_nBCode), -1);
    EXPECT_EQ(number("S 12abc", &CGiboFile::m_nGameType), 12);
    EXPECT_EQ(number("Sabc", &CGiboFile::m_nGameType), 0);
    EXPECT_EQ(number("LX27", &CGiboFile::m_byWGeup), 27);
    EXPECT_EQ(number("LX300", &CGiboFile::m_byWGeup), 44);
    EXPECT_EQ(number("L300", &CGiboFile::m_byWGeup), 0);
    EXPECT_EQ(number("NX-1", &CGiboFile::m_byBGeup), 255);
    EXPECT_EQ(number("NX256", &CGiboFile::m_byBGeup), 0);
}

TEST(GameInfo, TextSettersCopyTheValue) {
    Parsed p("IXhong,AXnick,MYkim,BZ" + Hex("BA DA 5C"));
    CGiboFile& f = p.f;
    EXPECT_EQ(f.m_strWId, "hong");
    EXPECT_EQ(f.m_strWNick, "nick");
    EXPECT_EQ(f.m_strBId, "kim");
    EXPECT_EQ(f.m_strBNick.str(), Hex("BA DA 5C"));
    // Name and place have no letter; only the host sets them.
    char name[] = "cup";
    char place[] = "hall";
    f.SetGameName(name);
    f.SetGamePlace(place);
    EXPECT_EQ(f.GetGameName(), "cup");
    EXPECT_EQ(f.m_strGamePlace, "hall");
    // Null values read as empty.
    f.SetGameWId(nullptr);
    f.SetGameDum(nullptr);
    f.SetGameTime(nullptr);
    f.SetGameDate(nullptr);
    EXPECT_TRUE(f.m_strWId.IsEmpty());
    EXPECT_EQ(f.m_nDum, 0);
}

TEST(GameInfo, TimeControlTexts) {
    // The total is in seconds; an empty field reads as -1, a number missing at the end as 0.
    const char* const cases[][3] = {
        {"T30-3-5430", "<limit>1<h> 30<min>\r\n30<sec> <byo> 3<times>",
         "1<hours> 30<min> (30<sec> <byo> 3<times>)"},
        {"T30-3-600", "<limit> 10<min>\r\n30<sec> <byo> 3<times>",
         "10<min> (30<sec> <byo> 3<times>)"},
        {"T-5", "<limit> 0<min>\r\n-1<sec> <byo> 5<times>", "0<min> (-1<sec> <byo> 5<times>)"},
        {"T30--600", "<limit> 10<min>\r\n30<sec> <byo> -1<times>",
         "10<min> (30<sec> <byo> -1<times>)"},
        {"T", "<limit> 0<min>\r\n0<sec> <byo> 0<times>", "0<min> (0<sec> <byo> 0<times>)"},
    };
    for (const auto& c : cases) {
        Parsed p(c[0]);
        EXPECT_EQ(p.f.m_strGameTime.str(), Gbk(c[1])) << c[0];
        EXPECT_EQ(p.f.m_strGameTime2.str(), Gbk(c[2])) << c[0];
    }
}

TEST(GameInfo, DateTexts) {
    const char* const cases[][2] = {
        {"C2013:1:7:14:5", "2013<year>1<month>7<day> <pm> 2:5"},
        {"C2013:1:7:12:0", "2013<year>1<month>7<day> <am> 12:0"},
        {"C2013:1:7:0:30", "2013<year>1<month>7<day> <am> 0:30"},
        {"C2013::7", "2013<year>-1<month>7<day> <am> 0:0"},
        {"C13:1:7:23", "13<year>1<month>7<day> <pm> 11:0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parsed(c[0]).f.m_strGameDate.str(), Gbk(c[1])) << c[0];
    }
}

TEST(GameInfo, OverLongItemsAreCutAndReadingGoesOn) {
    CGiboFile f;
    // Items are cut at 255 bytes (G: the 7 is lost), on a whole character (黑 x150 keeps 126).
    const std::string black = Repeat("\xBA\xDA", 150);
    std::string t("IX" + std::string(2000, 'a') + ",MX" + black + ",G" + std::string(254, '0') +
                  "7,S1");
    EXPECT_EQ(f.ParsingTagData(t.data()), t.data() + t.size());
    EXPECT_EQ(f.m_strWId, std::string(253, 'a').c_str());  // 255-byte item less the code
    EXPECT_EQ(f.m_strBId, black.substr(0, 252).c_str());
    EXPECT_EQ(f.m_nGongje, 0);
    EXPECT_EQ(f.m_nGameType, 1);
}

TEST(GameInfo, OneCallComposesNamesResultConditionCountAndTitle) {
    CGiboFile f;
    f.SetNationCode(1);
    f.m_strHeader = "\\[GAMETOTALNUM=abc211de\\]\r\n";
    std::string t("IXlee,AXsedol,JX1,LX27,MXkim,BXfoo,KX3,NX20,W0,Z65,R3,D55");
    f.ParsingTagData(t.data());
    // The title quotes every text the call composed: white by id (own nation), black by nick.
    EXPECT_EQ(f.GetShowGiboTitle().str(),
              Gbk("<white>:lee(P 1<dan>) Vs <black>:foo(3<dan>) - <black>  6<pts> <half><win>(<C8 "
                  "C3>3<D7 D3> <handicap> ( <black><B5 B9 CC F9> 5<pts> ) <total>:211<moves>)"));
    // A null text still composes the display.
    CGiboFile empty;
    EXPECT_EQ(empty.ParsingTagData(nullptr), nullptr);
    EXPECT_EQ(empty.m_strGameTotalNum.str(), Gbk("<total>: <moves>"));
    EXPECT_FALSE(empty.m_strShowGiboTitle.IsEmpty());
}

TEST(GameInfo, NewFormatHandsTheTextToTheCompactHeader) {
    CGiboFile f;
    f.SetNewFormat(1);
    std::string t("GTYPE:4,,S1");
    EXPECT_EQ(f.ParsingTagData(t.data()), t.data() + 9);  // the compact loader's stop
    EXPECT_EQ(f.GetGameType(), "4");
    // No setter and no derived field of the record object ran.
    EXPECT_EQ(f.m_nGameType, 0);
    EXPECT_TRUE(f.m_strShowGiboTitle.IsEmpty());
}
