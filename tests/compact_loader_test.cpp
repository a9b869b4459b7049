// The compact header loader: item splitting, conversions, time and date texts, bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GiboFile.h"

namespace {

// GBK words of the expected texts.
const std::string kLimit = "\xCF\xDE\xD6\xC6\xCA\xB1\xBC\xE4";              // 限制时间
const std::string kHour = "\xCA\xB1";                                       // 时
const std::string kHours = "\xCA\xB1\xBC\xE4";                              // 时间
const std::string kMin = "\xB7\xD6";                                        // 分
const std::string kSec = "\xC3\xEB";                                        // 秒
const std::string kByoyomi = "\xB6\xC1\xC3\xEB";                            // 读秒
const std::string kTimes = "\xB7\xAC";                                      // 番
const std::string kYear = "\xC4\xEA";                                       // 年
const std::string kMonth = "\xD4\xC2";                                      // 月
const std::string kDay = "\xC8\xD5";                                        // 日
const std::string kAm = "\xC9\xCF\xCE\xE7";                                 // 上午
const std::string kPm = "\xCF\xC2\xCE\xE7";                                 // 下午
const std::string kNoLimit = "\xC3\xBF\xB7\xBD\xCF\xDE\xCA\xB1: \xCE\xDE";  // 每方限时: 无

// Loads a header into a record object's compact header; keeps the text so that the returned
// position can be checked against it.
struct Loaded {
    CGiboFile file;
    std::string text;
    char* end = nullptr;

    explicit Loaded(const std::string& header, int nNation = 0) : text(header) {
        file.SetNationCode(nNation);
        end = file.GetGBHLoad()->LoadHeader(&text[0]);
    }
    const CGBHLoad& h() { return *file.GetGBHLoad(); }
    size_t Offset() const { return static_cast<size_t>(end - text.data()); }
};

// The value part of a single item: everything after its first colon.
std::string ValueOf(const std::string& item) {
    const size_t colon = item.find(':');
    return colon == std::string::npos ? std::string() : item.substr(colon + 1);
}

TEST(CompactLoader, TimeControlTexts) {
    struct Case {
        const char* header;
        std::string time, time2;
    };
    const Case cases[] = {
        {"GTIME:600-30-3", kLimit + " 10" + kMin + "\r\n30" + kSec + " " + kByoyomi + " 3" + kTimes,
         "10" + kMin + " (30" + kSec + " " + kByoyomi + " 3" + kTimes + ")"},
        {"GTIME:3600-60-5",
         kLimit + "1" + kHour + " 0" + kMin + "\r\n60" + kSec + " " + kByoyomi + " 5" + kTimes,
         "1" + kHours + " 0" + kMin + " (60" + kSec + " " + kByoyomi + " 5" + kTimes + ")"},
        // 2 h 1 min 59 s: the seconds beyond the minute are dropped.
        {"GTIME:7319-30-10",
         kLimit + "2" + kHour + " 1" + kMin + "\r\n30" + kSec + " " + kByoyomi + " 10" + kTimes,
         "2" + kHours + " 1" + kMin + " (30" + kSec + " " + kByoyomi + " 10" + kTimes + ")"},
        // Missing numbers are 0.
        {"GTIME:119", kLimit + " 1" + kMin + "\r\n0" + kSec + " " + kByoyomi + " 0" + kTimes,
         "1" + kMin + " (0" + kSec + " " + kByoyomi + " 0" + kTimes + ")"},
        {"GTIME", kLimit + " 0" + kMin + "\r\n0" + kSec + " " + kByoyomi + " 0" + kTimes,
         "0" + kMin + " (0" + kSec + " " + kByoyomi + " 0" + kTimes + ")"},
        // An empty part is 0 and does not shift the following numbers.
        {"GTIME:600--3", kLimit + " 10" + kMin + "\r\n0" + kSec + " " + kByoyomi + " 3" + kTimes,
         "10" + kMin + " (0" + kSec + " " + kByoyomi + " 3" + kTimes + ")"},
        // A fourth number is ignored.
        {"GTIME:60-20-1-99",
         kLimit + " 1" + kMin + "\r\n20" + kSec + " " + kByoyomi + " 1" + kTimes,
         "1" + kMin + " (20" + kSec + " " + kByoyomi + " 1" + kTimes + ")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Loaded l(c.header);
        EXPECT_EQ(l.h().m_strGameTime.str(), c.time);
        EXPECT_EQ(l.h().m_strGameTime2.str(), c.time2);
        EXPECT_EQ(l.h().m_strGameTimeRaw.str(), ValueOf(c.header));
    }
}

TEST(CompactLoader, NoTimeLimitIsStoredVerbatimAndKeepsTheOneLineText) {
    Loaded l("GTIME:600-30-3,GTIME:" + kNoLimit);
    const std::string time2 = "10" + kMin + " (30" + kSec + " " + kByoyomi + " 3" + kTimes + ")";
    EXPECT_EQ(l.h().m_strGameTime.str(), kNoLimit);
    EXPECT_EQ(l.h().m_strGameTime2.str(), time2);
    EXPECT_EQ(l.h().m_strGameTimeRaw.str(), kNoLimit);

    // Without the blank it is not the special value and parses as numbers (none).
    Loaded near("GTIME:\xC3\xBF\xB7\xBD\xCF\xDE\xCA\xB1:\xCE\xDE");  // 每方限时:无
    EXPECT_EQ(near.h().m_strGameTime.str(),
              kLimit + " 0" + kMin + "\r\n0" + kSec + " " + kByoyomi + " 0" + kTimes);
}

TEST(CompactLoader, DateTexts) {
    struct Case {
        const char* header;
        std::string date;
    };
    const Case cases[] = {
        {"GDATE:12-12-5-14-7-0", "12" + kYear + "12" + kMonth + "5" + kDay + " " + kPm + " 2:7"},
        {"GDATE:12-12-5-12-0", "12" + kYear + "12" + kMonth + "5" + kDay + " " + kAm + " 12:0"},
        {"GDATE:12-12-5-13-0", "12" + kYear + "12" + kMonth + "5" + kDay + " " + kPm + " 1:0"},
        {"GDATE:12", "12" + kYear + "0" + kMonth + "0" + kDay + " " + kAm + " 0:0"},
        {"GDATE:2024-01-02-23-05-59",
         "2024" + kYear + "1" + kMonth + "2" + kDay + " " + kPm + " 11:5"},
        {"GDATE:2024--3", "2024" + kYear + "0" + kMonth + "3" + kDay + " " + kAm + " 0:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Loaded l(c.header);
        EXPECT_EQ(l.h().m_strGameDate.str(), c.date);
        EXPECT_EQ(l.h().m_strGameDateRaw.str(), ValueOf(c.header));
    }
}

TEST(CompactLoader, NumbersKeepTheLowBitsOfTheirField) {
    using Get = std::function<long(const CGBHLoad&)>;
    struct Case {
        const char* header;
        Get get;
        long expected;
    };
    const Get kind = [](const CGBHLoad& h) { return h.m_byGiboKind; };
    const Get type = [](const CGBHLoad& h) { return h.m_byGameType; };
    const Get wAvatar = [](const CGBHLoad& h) { return h.m_wWAvataID; };
    const Get bAvatar = [](const CGBHLoad& h) { return h.m_wBAvataID; };
    const Get rule = [](const CGBHLoad& h) { return h.GetRule(); };
    const Get wLevel = [](const CGBHLoad& h) { return h.m_byWGeup; };
    const Get bCode = [](const CGBHLoad& h) { return h.m_byBCode; };
    const Get dum = [](const CGBHLoad& h) { return h.m_nDum; };
    const Get total = [](const CGBHLoad& h) { return h.m_nTotalNum; };
    const Get zipsu = [](const CGBHLoad& h) { return h.m_nZipsu; };
    const Get audio = [](const CGBHLoad& h) { return h.m_nAudioSize; };
    const Case cases[] = {
        {"GBKIND:300", kind, 44},    {"GTYPE:259", type, 3},          {"GTYPE:-1", type, 255},
        {"WAID:65541", wAvatar, 5},  {"BAID:70000", bAvatar, 4464},   {"BAID:-1", bAvatar, 65535},
        {"GCDT:258", rule, 2},       {"WLV:283", wLevel, 27},         {"BNCD:512", bCode, 0},
        {"DUM:-65", dum, -65},       {"TCNT:  211moves", total, 211}, {"ZIPSU:abc", zipsu, 0},
        {"AUSZ:+4096", audio, 4096}, {"GBKIND: 7", kind, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Loaded l(c.header);
        EXPECT_EQ(c.get(l.h()), c.expected);
    }
}

TEST(CompactLoader, GameTypeTextIsTheStoredByte) {
    EXPECT_EQ(Loaded("GTYPE:4").h().m_strGameType, "4");
    EXPECT_EQ(Loaded("GTYPE:260").h().m_strGameType, "4");
    EXPECT_EQ(Loaded("GTYPE:-2").h().m_strGameType, "254");
}

TEST(CompactLoader, TagsMatchExactly) {
    // Each table name finds its own row, not a longer or shorter neighbour (GNAME/GNAMEF,
    // GPLC/GPLCF).
    CGiboFile f;
    for (int i = 0; i < GIBO_SHORTTAG_COUNT; ++i) {
        std::string item = std::string(g_szShortTag[i]) + ":v";
        unsigned char index = 200;
        char value[256] = {0};
        EXPECT_EQ(f.GetNewTagData(&item[0], index, value), 1) << item;
        EXPECT_EQ(index, i) << item;
        EXPECT_STREQ(value, "v");
    }
    for (const char* item :
         {"GNAM:x", "GNAMEFX:x", " GTYPE:5", "gtype:5", "GTYPE :5", "XYZ:5", ":5", ""}) {
        std::string s(item);
        unsigned char index = 200;
        char value[8] = "keep";
        EXPECT_EQ(f.GetNewTagData(&s[0], index, value), -1) << item;
        EXPECT_EQ(index, 200) << item;
        EXPECT_STREQ(value, "keep") << item;
    }
}

TEST(CompactLoader, UnknownTagsChangeNothing) {
    Loaded l("XYZ:5, GTYPE:5,gtype:6,GNAM:x,GNAMEFX:y");
    EXPECT_EQ(l.h().m_byGameType, 0);
    EXPECT_EQ(l.h().m_strGameType, "0");
    EXPECT_TRUE(l.h().m_strGameName.IsEmpty());
    EXPECT_EQ(l.Offset(), l.text.size());
}

TEST(CompactLoader, NameTagsShareOneFieldAndTheLastWins) {
    EXPECT_EQ(Loaded("GNAME:a:b").h().m_strGameName, "a:b");
    EXPECT_EQ(Loaded("GNAME:a,GNAMEF:b").h().m_strGameName, "b");
    EXPECT_EQ(Loaded("GNAMEF:b,GNAME:a").h().m_strGameName, "a");
    EXPECT_EQ(Loaded("GNAME:a,GNAME").h().m_strGameName, "");

    Loaded l("GPLC:hall,GPLCF:cup");
    EXPECT_EQ(l.h().m_strGameName, "cup");
    EXPECT_EQ(l.h().m_strGamePlace, "hall");
    EXPECT_EQ(Loaded("GTYPE:1,GTYPE:2").h().m_strGameType, "2");
}

TEST(CompactLoader, TextValuesAreStoredByteForByte) {
    // A trail byte 0x5C (乗) and other high bytes pass through unchanged.
    const std::string nick =
        "\x81\x5C"
        "a\xBA\xDA";  // 乗a黑
    Loaded l("WID:kim01,WNICK:" + nick + ",WIMG:w.png,BID:lee02,BNICK:L,BIMG:b.png,GCMT:" + nick);
    EXPECT_EQ(l.h().m_strWId, "kim01");
    EXPECT_EQ(l.h().m_strWNick.str(), nick);
    EXPECT_EQ(l.h().m_strWImage, "w.png");
    EXPECT_EQ(l.h().m_strBId, "lee02");
    EXPECT_EQ(l.h().m_strBNick, "L");
    EXPECT_EQ(l.h().m_strBImage, "b.png");
    EXPECT_EQ(l.h().m_strGameCommentator.str(), nick);
}

TEST(CompactLoader, StopsAtTheFirstEmptyItem) {
    struct Case {
        const char* header;
        const char* rest;  // where reading stopped
        unsigned char kind;
        const char* type;
    };
    const Case cases[] = {
        {"", "", 0, "0"},
        {",GTYPE:3", "GTYPE:3", 0, "0"},
        {"GBKIND:1,,GTYPE:3", "GTYPE:3", 1, "0"},
        {"GTYPE:4", "", 0, "4"},
        {"GTYPE:4,", "", 0, "4"},
        {"GTYPE:4,,,GBKIND:2", ",GBKIND:2", 0, "4"},
        {"GBKIND:1,GTYPE:2,GTIME:600-30-3,GDATE:12-12-5-14-7-0,WID:kim01,TCNT:211,", "", 1, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Loaded l(c.header);
        ASSERT_NE(l.end, nullptr);
        const size_t restLen = std::string(c.rest).size();
        EXPECT_EQ(l.Offset(), l.text.size() - restLen);  // a position inside the caller's text
        EXPECT_EQ(l.h().m_byGiboKind, c.kind);
        EXPECT_EQ(l.h().m_strGameType, c.type);
        EXPECT_EQ(l.text, std::string(c.header));  // the text is only read
    }
}

TEST(CompactLoader, ASecondLoadChangesOnlyItsOwnTags) {
    Loaded l("GTYPE:2,WID:kim");
    char second[] = "WID:lee,GCMT:x";
    EXPECT_EQ(l.file.GetGBHLoad()->LoadHeader(second), second + sizeof second - 1);
    EXPECT_EQ(l.h().m_strGameType, "2");
    EXPECT_EQ(l.h().m_strWId, "lee");
    EXPECT_EQ(l.h().m_strGameCommentator, "x");
}

TEST(CompactLoader, OverLongItemsAreCutAndDoNotDisturbTheNext) {
    // An item longer than 255 bytes keeps its first 255 (the value loses the tag's 6).
    for (size_t valueLen : {249u, 250u, 300u, 1023u, 1024u, 5000u}) {
        SCOPED_TRACE(valueLen);
        Loaded l("GNAME:" + std::string(valueLen, 'x') + ",GTYPE:9");
        EXPECT_EQ(l.h().m_strGameName.GetLength(),
                  static_cast<int>(std::min<size_t>(valueLen, 249)));
        EXPECT_EQ(l.h().m_strGameType, "9");
        EXPECT_EQ(l.Offset(), l.text.size());
    }
    // A tag part too long for any short tag is skipped, and so is its value.
    Loaded l(std::string(200, 'G') + ":1,GTYPE:6");
    EXPECT_EQ(l.h().m_strGameType, "6");
}

TEST(CompactLoader, GetNewTagDataBoundsItsValue) {
    CGiboFile f;
    std::string item = "GCMT:" + std::string(400, 'c');
    char value[300];
    std::fill(value, value + sizeof value, '#');
    unsigned char index = 0;
    ASSERT_EQ(f.GetNewTagData(&item[0], index, value), 1);
    EXPECT_EQ(index, 15);
    EXPECT_EQ(std::string(value), std::string(255, 'c'));
    EXPECT_EQ(value[256], '#');  // nothing past the 256-byte buffer

    std::string bare = "GNAMEF";
    std::fill(value, value + sizeof value, '#');
    ASSERT_EQ(f.GetNewTagData(&bare[0], index, value), 1);
    EXPECT_EQ(index, 10);
    EXPECT_STREQ(value, "");
}

TEST(CompactLoader, WithoutOwnerNothingIsLoaded) {
    CGBHLoad h(nullptr);
    char text[] = "GTYPE:4,GTIME:600-30-3";
    EXPECT_EQ(h.LoadHeader(text), nullptr);
    EXPECT_EQ(h.m_strGameType, "0");
    h.SetGameTimeText("600-30-3");
    h.SetGameDateText("12-12-5-14-7-0");
    EXPECT_TRUE(h.m_strGameTime.IsEmpty());
    EXPECT_TRUE(h.m_strGameTimeRaw.IsEmpty());
    EXPECT_TRUE(h.m_strGameDate.IsEmpty());
    EXPECT_TRUE(h.GetWNick().IsEmpty());

    // Plain values need no owner; an index past the table does nothing.
    h.DispatchTag(1, "7");
    EXPECT_EQ(h.m_strGameType, "7");
    h.DispatchTag(28, "9");
    h.DispatchTag(255, "9");
    EXPECT_EQ(h.m_strGameType, "7");

    CGiboFile f;
    EXPECT_EQ(f.GetGBHLoad()->LoadHeader(nullptr), nullptr);
}

TEST(CompactLoader, ShownNameFollowsTheOwnersNation) {
    struct Case {
        const char* header;
        int nation;
        const char* shown;
    };
    const Case cases[] = {
        {"WID:kim,WNICK:K,WNCD:3", 3, "kim"},  // own nation: id
        {"WID:kim,WNICK:K,WNCD:3", 5, "K"},    // foreign with nick: nick
        {"WID:kim,WNCD:3", 5, "kim"},          // foreign without nick: id
        {"WID:kim,WNICK:K,WNCD:300", 44, "kim"},
        {"WID:kim,WNICK:K,WNCD:300", 300, "K"},  // 300 is kept as 44: no longer equal
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Loaded l(c.header, c.nation);
        EXPECT_EQ(l.h().GetWNick(), c.shown);
        std::string black(c.header);
        for (char& ch : black) {
            if (ch == 'W') {
                ch = 'B';
            }
        }
        Loaded b(black, c.nation);
        EXPECT_EQ(b.h().GetBNick(), c.shown);
    }
}

}  // namespace
