// The game-information interpreter: items of a code letter and a value, the setters' number and
// text conversions, and the display fields composed after one call.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "TestSupport.h"

namespace {

// ParsingTagData takes a writable text; it returns a position inside it.
struct Text {
    explicit Text(const std::string& s) : bytes(s.begin(), s.end()) { bytes.push_back('\0'); }
    char* data() { return bytes.data(); }
    std::vector<char> bytes;
};

// Interprets one text in a fresh record object.
struct Parsed {
    explicit Parsed(const std::string& text) : t(text) { f.ParsingTagData(t.data()); }
    CGiboFile f;
    Text t;
};

const std::string kFriendly = Hex("D3 D1 C7 E9 B6 D4 BE D6");  // 友情对局

}  // namespace

TEST(GameInfo, LaterItemsWinAndOnlyThreeTypesHaveNames) {
    CGiboFile f;
    Text all("S1,IXa,Q7,s2,S3,IXb");  // unknown codes are passed over
    f.ParsingTagData(all.data());
    EXPECT_EQ(f.m_nGameType, 3);
    EXPECT_EQ(f.m_strGameType.str(), kFriendly);  // 3 has no name: the text of 1 stays
    EXPECT_EQ(f.m_strWId, "b");
    Text t("S0,,S5");
    char* rest = f.ParsingTagData(t.data());
    EXPECT_EQ(f.m_nGameType, 0);
    EXPECT_EQ(f.m_strGameType.str(), Hex("C9 FD BD B5 BC B6 B6 D4 BE D6"));  // 升降级对局
    f.ParsingTagData(rest);  // the host may go on from there
    EXPECT_EQ(f.m_strGameType.str(), Hex("D6 B0 D2 B5 D1 A1 CA D6 B6 D4 BE D6"));  // 职业选手对局
}

#define FIELD(item, field, value)                                                  \
    {                                                                              \
        item, [](const CGiboFile& f) { return static_cast<long>(f.field); }, value \
    }

TEST(GameInfo, NumberSettersKeepTheirFieldsWidth) {
    const struct {
        const char* item;
        std::function<long(const CGiboFile&)> get;
        long value;
    } cases[] = {
        FIELD("R258", m_nGameCondition, 258),
        FIELD("D65", m_nDum, 6),
        FIELD("D-65", m_nDum, -6),
        FIELD("D9", m_nDum, 0),
        FIELD("G12", m_nGongje, 12),
        FIELD("W255", m_nGameResult, 255),
        FIELD("W-3", m_nGameResult, -3),
        FIELD("Z75", m_nZipsu, 7),
        FIELD("Z75", m_nZipsuFrac, 5),
        FIELD("Z-15", m_nZipsu, -1),
        FIELD("Z-15", m_nZipsuFrac, -5),
        FIELD("Z-5", m_nZipsu, 0),
        FIELD("Z-5", m_nZipsuFrac, -5),
        FIELD("JX82", m_nWCode, 82),
        FIELD("KX-1", m_nBCode, -1),
        FIELD("S 12abc", m_nGameType, 12),
        FIELD("Sabc", m_nGameType, 0),
        FIELD("LX27", m_byWGeup, 27),
        FIELD("LX300", m_byWGeup, 44),
        FIELD("L300", m_byWGeup, 0),  // code "L3", value "00"
        FIELD("NX-1", m_byBGeup, 255),
        FIELD("NX256", m_byBGeup, 0),
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.get(Parsed(c.item).f), c.value) << c.item;
    }
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
        {"T30-3-3600", "<limit>1<h> 0<min>\r\n30<sec> <byo> 3<times>",
         "1<hours> 0<min> (30<sec> <byo> 3<times>)"},
        {"T30-3-5430", "<limit>1<h> 30<min>\r\n30<sec> <byo> 3<times>",
         "1<hours> 30<min> (30<sec> <byo> 3<times>)"},
        {"T30-3-600", "<limit> 10<min>\r\n30<sec> <byo> 3<times>",
         "10<min> (30<sec> <byo> 3<times>)"},
        {"T30-3-659", "<limit> 10<min>\r\n30<sec> <byo> 3<times>",
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
    // A one-letter code leaves the longest value, 254 bytes: the 7 after them is cut off.
    // The black id is 150 times 黑: its cut keeps whole characters, 126 of them.
    std::string black;
    for (int i = 0; i < 150; ++i) {
        black += "\xBA\xDA";
    }
    Text t("IX" + std::string(2000, 'a') + ",MX" + black + ",G" + std::string(254, '0') + "7,S1");
    EXPECT_EQ(f.ParsingTagData(t.data()), t.data() + t.bytes.size() - 1);
    EXPECT_EQ(f.m_strWId, std::string(253, 'a').c_str());  // 255-byte item less the code
    EXPECT_EQ(f.m_strBId, black.substr(0, 252).c_str());
    EXPECT_EQ(f.m_nGongje, 0);
    EXPECT_EQ(f.m_nGameType, 1);
}

TEST(GameInfo, OneCallComposesNamesResultConditionCountAndTitle) {
    CGiboFile f;
    f.SetNationCode(1);
    f.m_strHeader = "\\[GAMETOTALNUM=abc211de\\]\r\n";
    Text t("IXlee,AXsedol,JX1,LX27,MXkim,BXfoo,KX3,NX20,W0,Z65,R3,D55");
    f.ParsingTagData(t.data());
    // White is of the host's nation: shown by id. Black is foreign with a nick.
    EXPECT_EQ(f.GetGameWUser().str(), Gbk("lee ( <pro>1<dan> )"));
    EXPECT_EQ(f.GetGameBUser2().str(), Gbk("foo(3<dan>)"));
    const std::string result = Gbk("<black>  6<pts> <half><win>");
    const std::string condition = Gbk("<C8 C3>3<D7 D3> <handicap> ( <black><B5 B9 CC F9> 5<pts> )");
    EXPECT_EQ(f.GetGameResult().str(), result);
    EXPECT_EQ(f.GetGameCondition().str(), condition);
    EXPECT_EQ(f.GetTotalNum(), "211");
    EXPECT_EQ(f.GetShowGiboTitle().str(), Gbk("<white>:lee(P 1<dan>) Vs <black>:foo(3<dan>) - ") +
                                              result + "(" + condition +
                                              Gbk(" <total>:211<moves>)"));
    // A null text still composes the display.
    CGiboFile empty;
    EXPECT_EQ(empty.ParsingTagData(nullptr), nullptr);
    EXPECT_EQ(empty.m_strGameTotalNum.str(), Gbk("<total>: <moves>"));
    EXPECT_FALSE(empty.m_strShowGiboTitle.IsEmpty());
}

TEST(GameInfo, NewFormatHandsTheTextToTheCompactHeader) {
    CGiboFile f, reference;
    f.SetNewFormat(1);
    reference.SetNewFormat(1);
    Text t("GTYPE:4,,S1"), same("GTYPE:4,,S1");
    char* rest = f.ParsingTagData(t.data());
    EXPECT_EQ(rest - t.data(), reference.GetGBHLoad()->LoadHeader(same.data()) - same.data());
    EXPECT_EQ(rest, t.data() + 9);
    EXPECT_EQ(f.GetGameType(), "4");
    // No setter and no derived field of the record object ran.
    EXPECT_EQ(f.m_nGameType, 0);
    EXPECT_TRUE(f.m_strGameType.IsEmpty());
    EXPECT_TRUE(f.m_strShowGiboTitle.IsEmpty());
    EXPECT_TRUE(f.m_strGameTotalNum.IsEmpty());
}
