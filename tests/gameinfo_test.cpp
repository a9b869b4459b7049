// The game-information interpreter: items of a code letter and a value, the setters' number and
// text conversions, and the display fields composed after one call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GiboFile.h"
#include "HexBytes.h"

namespace {

std::string Str(const CString& s) {
    return s.str();
}

// ParsingTagData takes a writable text; it returns a position inside it.
struct Text {
    explicit Text(const std::string& s) : bytes(s.begin(), s.end()) { bytes.push_back('\0'); }
    char* data() { return bytes.data(); }
    std::vector<char> bytes;
};

const std::string kFriendly = Hex("D3 D1 C7 E9 B6 D4 BE D6");  // 友情对局

}  // namespace

TEST(GameInfo, AppliesEveryItemAndStopsAtTheEnd) {
    CGiboFile f;
    Text t("S1,R2,D65,Z75");
    EXPECT_EQ(f.ParsingTagData(t.data()), t.data() + 13);
    EXPECT_EQ(f.m_nGameType, 1);
    EXPECT_EQ(Str(f.m_strGameType), kFriendly);
    EXPECT_EQ(f.m_nGameCondition, 2);
    EXPECT_EQ(f.m_nDum, 6);
    EXPECT_EQ(f.m_nZipsu, 7);
    EXPECT_EQ(f.m_nZipsuFrac, 5);
}

TEST(GameInfo, StopsAtTheFirstEmptyItem) {
    CGiboFile f;
    Text t("S0,,S5");
    char* rest = f.ParsingTagData(t.data());
    EXPECT_EQ(rest, t.data() + 4);
    EXPECT_EQ(f.m_nGameType, 0);
    EXPECT_EQ(Str(f.m_strGameType), Hex("C9 FD BD B5 BC B6 B6 D4 BE D6"));  // 升降级对局
    // The host may go on from there.
    EXPECT_EQ(f.ParsingTagData(rest), t.data() + 6);
    EXPECT_EQ(Str(f.m_strGameType), Hex("D6 B0 D2 B5 D1 A1 CA D6 B6 D4 BE D6"));  // 职业选手对局

    Text leading(",S1");
    EXPECT_EQ(f.ParsingTagData(leading.data()), leading.data() + 1);
    EXPECT_EQ(f.m_nGameType, 5);
}

TEST(GameInfo, LaterItemsOverrideEarlierOnesAndUnknownOnesArePassedOver) {
    CGiboFile f;
    Text t("S1,IXa,Q7,s2,S3,IXb");
    f.ParsingTagData(t.data());
    EXPECT_EQ(f.m_nGameType, 3);
    EXPECT_EQ(Str(f.m_strGameType), kFriendly);  // 3 has no name: the text stays
    EXPECT_EQ(f.m_strWId, "b");
}

TEST(GameInfo, NumberSetters) {
    const struct {
        const char* item;
        int CGiboFile::*field;
        int value;
    } cases[] = {
        {"R258", &CGiboFile::m_nGameCondition, 258},
        {"D65", &CGiboFile::m_nDum, 6},
        {"D-65", &CGiboFile::m_nDum, -6},
        {"D9", &CGiboFile::m_nDum, 0},
        {"G12", &CGiboFile::m_nGongje, 12},
        {"W255", &CGiboFile::m_nGameResult, 255},
        {"W-3", &CGiboFile::m_nGameResult, -3},
        {"Z75", &CGiboFile::m_nZipsu, 7},
        {"Z75", &CGiboFile::m_nZipsuFrac, 5},
        {"Z-15", &CGiboFile::m_nZipsu, -1},
        {"Z-15", &CGiboFile::m_nZipsuFrac, -5},
        {"Z-5", &CGiboFile::m_nZipsu, 0},
        {"Z-5", &CGiboFile::m_nZipsuFrac, -5},
        {"JX82", &CGiboFile::m_nWCode, 82},
        {"KX-1", &CGiboFile::m_nBCode, -1},
        {"S 12abc", &CGiboFile::m_nGameType, 12},
        {"Sabc", &CGiboFile::m_nGameType, 0},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        Text t(c.item);
        f.ParsingTagData(t.data());
        EXPECT_EQ(f.*c.field, c.value) << c.item;
    }
}

TEST(GameInfo, LevelsKeepTheLowEightBits) {
    const struct {
        const char* item;
        unsigned char white, black;
    } cases[] = {
        {"LX27", 27, 0},  {"LX300", 44, 0}, {"L300", 0, 0},  // "L3" is the code, "00" the value
        {"NX-1", 0, 255}, {"NX256", 0, 0},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        Text t(c.item);
        f.ParsingTagData(t.data());
        EXPECT_EQ(f.m_byWGeup, c.white) << c.item;
        EXPECT_EQ(f.m_byBGeup, c.black) << c.item;
    }
}

TEST(GameInfo, TextSettersCopyTheValue) {
    CGiboFile f;
    Text t("IXhong,AXnick,MYkim,BZ" + Hex("BA DA 5C"));
    f.ParsingTagData(t.data());
    EXPECT_EQ(f.m_strWId, "hong");
    EXPECT_EQ(f.m_strWNick, "nick");
    EXPECT_EQ(f.m_strBId, "kim");
    EXPECT_EQ(Str(f.m_strBNick), Hex("BA DA 5C"));
    // Name and place have no letter; only the host sets them.
    char name[] = "cup";
    char place[] = "hall";
    f.SetGameName(name);
    f.SetGamePlace(place);
    EXPECT_EQ(f.GetGameName(), "cup");
    EXPECT_EQ(f.m_strGamePlace, "hall");
    EXPECT_EQ(f.GetWNick(), "hong");  // flag clear: the id, not the nick
}

TEST(GameInfo, NullValuesReadAsEmpty) {
    CGiboFile f;
    f.m_strWId = "old";
    f.SetGameWId(nullptr);
    f.SetGameDum(nullptr);
    f.SetGameTime(nullptr);
    f.SetGameDate(nullptr);
    EXPECT_TRUE(f.m_strWId.IsEmpty());
    EXPECT_EQ(f.m_nDum, 0);
}

TEST(GameInfo, TimeControlTexts) {
    // 限制时间, 时, 分, 秒, 读秒, 番
    const std::string limit = Hex("CF DE D6 C6 CA B1 BC E4"), h = Hex("CA B1"), m = Hex("B7 D6"),
                      s = Hex("C3 EB"), byo = Hex("B6 C1 C3 EB"), n = Hex("B7 AC");
    const struct {
        const char* item;
        std::string time, time2;
    } cases[] = {
        {"T30-3-3600", limit + "1" + h + " 0" + m + "\r\n30" + s + " " + byo + " 3" + n,
         "1" + h + Hex("BC E4") + " 0" + m + " (30" + s + " " + byo + " 3" + n + ")"},
        {"T30-3-5430", limit + "1" + h + " 30" + m + "\r\n30" + s + " " + byo + " 3" + n,
         "1" + h + Hex("BC E4") + " 30" + m + " (30" + s + " " + byo + " 3" + n + ")"},
        {"T30-3-600", limit + " 10" + m + "\r\n30" + s + " " + byo + " 3" + n,
         "10" + m + " (30" + s + " " + byo + " 3" + n + ")"},
        {"T30-3-659", limit + " 10" + m + "\r\n30" + s + " " + byo + " 3" + n,
         "10" + m + " (30" + s + " " + byo + " 3" + n + ")"},
        // An empty field reads as -1, a number missing at the end as 0.
        {"T-5", limit + " 0" + m + "\r\n-1" + s + " " + byo + " 5" + n,
         "0" + m + " (-1" + s + " " + byo + " 5" + n + ")"},
        {"T30--600", limit + " 10" + m + "\r\n30" + s + " " + byo + " -1" + n,
         "10" + m + " (30" + s + " " + byo + " -1" + n + ")"},
        {"T", limit + " 0" + m + "\r\n0" + s + " " + byo + " 0" + n,
         "0" + m + " (0" + s + " " + byo + " 0" + n + ")"},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        Text t(c.item);
        f.ParsingTagData(t.data());
        EXPECT_EQ(Str(f.m_strGameTime), c.time) << c.item;
        EXPECT_EQ(Str(f.m_strGameTime2), c.time2) << c.item;
    }
}

TEST(GameInfo, DateTexts) {
    // 年 月 日, 上午 (morning), 下午 (afternoon)
    const std::string y = Hex("C4 EA"), mo = Hex("D4 C2"), d = Hex("C8 D5"),
                      am = Hex("C9 CF CE E7"), pm = Hex("CF C2 CE E7");
    const struct {
        const char* item;
        std::string date;
    } cases[] = {
        {"C2013:1:7:14:5", "2013" + y + "1" + mo + "7" + d + " " + pm + " 2:5"},
        {"C2013:1:7:12:0", "2013" + y + "1" + mo + "7" + d + " " + am + " 12:0"},
        {"C2013:1:7:0:30", "2013" + y + "1" + mo + "7" + d + " " + am + " 0:30"},
        {"C2013::7", "2013" + y + "-1" + mo + "7" + d + " " + am + " 0:0"},
        {"C13:1:7:23", "13" + y + "1" + mo + "7" + d + " " + pm + " 11:0"},
    };
    for (const auto& c : cases) {
        CGiboFile f;
        Text t(c.item);
        f.ParsingTagData(t.data());
        EXPECT_EQ(Str(f.m_strGameDate), c.date) << c.item;
    }
}

TEST(GameInfo, OverLongItemsAreCutAndReadingGoesOn) {
    CGiboFile f;
    Text t("IX" + std::string(2000, 'a') + ",MX" + std::string(300, 'b') + ",S1");
    char* rest = f.ParsingTagData(t.data());
    EXPECT_EQ(rest, t.data() + t.bytes.size() - 1);
    EXPECT_EQ(f.m_strWId, std::string(253, 'a').c_str());  // 255-byte item less the code
    EXPECT_EQ(f.m_strBId, std::string(253, 'b').c_str());
    EXPECT_EQ(f.m_nGameType, 1);
}

TEST(GameInfo, NullTextStillComposesTheDisplay) {
    CGiboFile f;
    EXPECT_EQ(f.ParsingTagData(nullptr), nullptr);
    EXPECT_EQ(Str(f.m_strGameTotalNum), Hex("D7 DC 3A 20 CA FD"));
    EXPECT_FALSE(f.m_strShowGiboTitle.IsEmpty());
}

TEST(GameInfo, OneCallComposesNamesResultConditionCountAndTitle) {
    CGiboFile f;
    f.SetNationCode(1);
    f.m_strHeader = "\\[GAMETOTALNUM=abc211de\\]\r\n";
    Text t("IXlee,AXsedol,JX1,LX27,MXkim,BXfoo,KX3,NX20,W0,Z65,R3,D55");
    f.ParsingTagData(t.data());
    // White is of the host's nation: shown by id. Black is foreign with a nick.
    EXPECT_EQ(Str(f.GetGameWUser()), "lee ( " + Hex("D6 B0 D2 B5 31 B6 CE") + " )");
    EXPECT_EQ(Str(f.GetGameBUser2()), "foo(" + Hex("33 B6 CE") + ")");
    const std::string result = Hex("BA DA 20") + " 6" + Hex("C4 BF 20 B0 EB CA A4");
    const std::string condition =
        Hex("C8 C3 33 D7 D3 20 C8 C3 D7 D3 C6 E5 20 28 20 BA DA B5 B9 CC F9") + " 5" +
        Hex("C4 BF 20 29");
    EXPECT_EQ(Str(f.GetGameResult()), result);
    EXPECT_EQ(Str(f.GetGameCondition()), condition);
    EXPECT_EQ(f.GetTotalNum(), "211");
    EXPECT_EQ(Str(f.GetShowGiboTitle()), Hex("B0 D7 3A") + "lee(" + Hex("50 20 31 B6 CE") +
                                             ") Vs " + Hex("BA DA 3A") + "foo(" + Hex("33 B6 CE") +
                                             ") - " + result + "(" + condition + " " +
                                             Hex("D7 DC 3A") + "211" + Hex("CA FD") + ")");
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
