// Code pages of header values: their names, conversion both ways, and detection of the code page
// of a record whose header does not say.
#include <gtest/gtest.h>

#include "record/gameinfo.h"
#include "text/converter.h"
#include "text/detect.h"
#include "text/display_pieces.h"

namespace {

// A name, a place and a result as each language writes them, in its code page and in UTF-8.
struct Sample {
    Codepage cp;
    const char* bytes;
    const char* utf8;
};
const Sample kSamples[] = {
    {Codepage::Gbk, "\xb9\xc5\xc1\xa6 \xc6\xe5\xca\xa5", "古力 棋圣"},
    {Codepage::Cp949, "\xc0\xcc\xbc\xbc\xb5\xb9 \xb9\xe9 \xba\xd2\xb0\xe8\xbd\xc2",
     "이세돌 백 불계승"},
    {Codepage::Big5, "\xaa\x4c\xae\xfc\xae\x70 \xb3\x5c\xa5\x5c", "林海峰 許功"},
    // Shift-JIS as Windows writes it: NEC's circled digits, and 0x5C and 0x7E as in ASCII.
    {Codepage::ShiftJis, "\x88\xe4\x8e\x52 \x94\x5c\x93\x6f \xb1 \x87\x40 C:\\~",
     "井山 能登 ｱ ① C:\\~"},
};

TEST(Converter, ConvertsEachCodepageBothWays) {
    Converter utf8("UTF-8");
    for (const Sample& s : kSamples) {
        std::string text, bytes;
        EXPECT_TRUE(utf8.DecodeStrict(s.bytes, s.cp, text)) << CodepageName(s.cp);
        EXPECT_EQ(text, s.utf8);
        EXPECT_TRUE(utf8.Encode(s.utf8, s.cp, bytes)) << CodepageName(s.cp);
        EXPECT_EQ(bytes, s.bytes);
    }
    std::string bytes;
    EXPECT_FALSE(utf8.Encode("이세돌", Codepage::Gbk, bytes));
    EXPECT_FALSE(utf8.Encode("\xf0\x9f\x98\x80", Codepage::ShiftJis, bytes));  // an emoji
    EXPECT_FALSE(utf8.Encode("\xff", Codepage::Gbk, bytes));                   // no UTF-8
}

TEST(Converter, ShowsBytesOfNoCharacterAsHexAndCountsThem) {
    const struct {
        const char* bytes;
        const char* shown;
        size_t invalid;
    } cases[] = {
        {"a\xff"
         "b",
         "a\\xFFb", 1},
        {"\xff\xb9\xc5", "\\xFF古", 1},       // the character after a bad byte still reads
        {"\xb9\xc5\x81", "古\\x81", 1},       // a lead byte cut off at the end
        {"\x81\x20\xb9\xc5", "\\x81 古", 1},  // a lead byte with no second byte of its own
        {"plain", "plain", 0},
    };
    Converter utf8("UTF-8");
    for (const auto& c : cases) {
        size_t invalid = 99;
        EXPECT_EQ(utf8.Decode(c.bytes, Codepage::Gbk, invalid), c.shown);
        EXPECT_EQ(invalid, c.invalid) << c.shown;
        std::string strict;
        EXPECT_EQ(utf8.DecodeStrict(c.bytes, Codepage::Gbk, strict), c.invalid == 0);
    }
}

TEST(ValidUtf8, ReplacesEachByteOfABrokenSequence) {
    const std::string r = "\xef\xbf\xbd";
    const std::pair<std::string, std::string> cases[] = {
        {"棋 \xf0\x9f\x98\x80 \x7f Ａ", "棋 \xf0\x9f\x98\x80 \x7f Ａ"},
        {"a\xff"
         "b",
         "a" + r + "b"},
        {"\xc0\x80", r + r},                  // an overlong NUL
        {"\xed\xa0\x80", r + r + r},          // a surrogate
        {"\xf4\x90\x80\x80", r + r + r + r},  // beyond U+10FFFF
        {"\xe6\xa3", r + r},                  // cut off
        {"\xe6\xa3"
         "a",
         r + r + "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidUtf8(c.first), c.second);
    }
}

std::string Header(const std::string& items) {
    return "\\[TYPE=1\\]\r\n" + items + "\\[GAMEINFOMAIN=S1\\]\r\n";
}

TEST(Detection, NamesTheCodepageAndWhy) {
    const struct {
        std::string items;
        Codepage cp;
        const char* reason;
    } cases[] = {
        {"\\[GAMERESULT=\xb9\xe9 \xba\xd2\xb0\xe8\xbd\xc2\\]\r\n", Codepage::Cp949, "result text"},
        {"\\[GAMEWHITENAME=\xcd\xf5\xc1\xa2\xd5\x5c\\]\r\n", Codepage::Gbk, "statistics"},
        {"\\[GAMEWHITENAME=\xc0\xcc\xbc\xbc\xb5\xb9\\]\r\n", Codepage::Cp949, "statistics"},
        {"\\[GAMEWHITENAME=\xb1\x69\xae\xdd\\]\r\n", Codepage::Big5, "statistics"},
        {"\\[GAMEWHITENAME=\x88\xe4\x8e\x52\x97\x54\x91\xbe\\]\r\n", Codepage::ShiftJis,
         "statistics"},
        {"\\[GAMEWHITENAME=\xb9\xc5\xc1\xa6\\]\r\n", Codepage::Gbk, "tie"},  // GBK among the best
        {"\\[GAMENAME=\xff\\]\r\n", Codepage::Gbk, "invalid bytes"},
        {"\\[GAMENAME=\xb1 \x93\x8c\\]\r\n", Codepage::ShiftJis, "only valid one"},
        // The tag counts as much as the value; only the first GAMERESULT is read.
        {"\\[\xc0\xcc\xbc\xbc\xb5\xb9=x\\]\r\n", Codepage::Cp949, "statistics"},
        {"\\[GAMERESULT=kim\\]\r\n\\[GAMERESULT=\xb9\xe9 \xba\xd2\xb0\xe8\xbd\xc2\\]\r\n",
         Codepage::Cp949, "statistics"},
    };
    for (const auto& c : cases) {
        const Detection d = DetectCodepage(ListHeaderItems(Header(c.items)));
        EXPECT_EQ(CodepageName(d.cp), std::string(CodepageName(c.cp))) << c.items;
        EXPECT_EQ(d.reason, c.reason) << c.items;
    }
}

TEST(Plausibility, ScoresANameHighestInItsOwnCodepage) {
    for (const Sample& s : kSamples) {
        const std::string name = std::string(s.bytes).substr(0, 6);
        Converter utf8("UTF-8");
        for (const Codepage other : {Codepage::Gbk, Codepage::Cp949, Codepage::Big5}) {
            std::string text;
            if (other != s.cp && utf8.DecodeStrict(name, other, text)) {
                EXPECT_GT(PlausibilityScore(name, s.cp), PlausibilityScore(name, other))
                    << CodepageName(s.cp) << " against " << CodepageName(other);
            }
        }
    }
    EXPECT_EQ(PlausibilityScore("plain ASCII", Codepage::Gbk), 0);
    // Half-width Katakana: rare in Japanese; Hiragana and Katakana, first to last: frequent.
    EXPECT_EQ(PlausibilityScore("\xa1\xdf", Codepage::ShiftJis),
              2 * PlausibilityScore("\xb1", Codepage::ShiftJis));
    EXPECT_LT(PlausibilityScore("\xb1", Codepage::ShiftJis), 0);
    for (const char* kana : {"\x82\x9f", "\x82\xf1", "\x83\x40", "\x83\x96"}) {
        EXPECT_GT(PlausibilityScore(kana, Codepage::ShiftJis), 0) << kana;
    }
}

}  // namespace

// A record's display texts with the names of each sample (letters and compact information):
// the names read in their own code page, the library's words beside them in GBK.
Value Display(Tool& tool, const Sample& s, bool compact, const std::string& name) {
    CGiboFile record;
    const std::string info =
        compact ? "GBKIND:1,WID:" + name + ",WLV:35,BID:" + name + ",BLV:34,GRLT:3,"
                : "S1,R0,W3,IX" + name + ",LX35,MX" + name + ",NX34";
    InterpretInfo(record, info, compact ? InfoFormat::Compact : InfoFormat::Letters);
    return DisplayPieces(record, s.cp, tool);
}

TEST(DisplayPieces, NamesInTheirCodepageAndTheLibrarysWordsInGbk) {
    Tool json("show", "UTF-8");
    Args args;
    std::string error;
    ASSERT_TRUE(args.Parse({"--json"}, Args::Common(), error));
    ASSERT_TRUE(json.Configure(args, error));
    for (const Sample& s : kSamples) {
        for (bool compact : {false, true}) {
            Value v = Display(json, s, compact, s.bytes);
            const std::string name = s.utf8;
            EXPECT_EQ(v.Find("white")->str(), name + " ( 职业9段 )");
            EXPECT_EQ(v.Find("black_short")->str(), name + "(P 8段)");
            EXPECT_EQ(v.Find("title")->str().find("白:" + name + "(P 9段) Vs 黑:" + name), 0u)
                << v.Find("title")->str();
            EXPECT_EQ(v.Find("result")->str(), "黑棋中盘胜 ");
        }
    }
    // A name with the placeholders' control character is converted whole, as one GBK text.
    Value marked = Display(json, kSamples[1], false,
                           "\x1f"
                           "0\x1f");
    EXPECT_EQ(marked.Find("white_short")->str(),
              "\x1f"
              "0\x1f(P 9段)");
    Tool raw("show", "UTF-8");
    Args rawArgs;
    ASSERT_TRUE(rawArgs.Parse({"--raw"}, Args::Common(), error));
    ASSERT_TRUE(raw.Configure(rawArgs, error)) << error;
    EXPECT_EQ(Display(raw, kSamples[1], true, kSamples[1].bytes).Find("white_short")->str(),
              std::string(kSamples[1].bytes) + "(P 9\xb6\xce)");
}

// Conversion into UTF-8 goes through tables learnt from single bytes and pairs; a text must
// come out as the converter makes it at once (asked under another name of UTF-8, which takes no
// table), for text of every kind: valid, damaged, cut in the middle of a character.
TEST(DecodeTable, ConvertsAsTheConverterDoesAtOnce) {
    Converter tabled("UTF-8");
    Converter whole("ISO-10646/UTF8/");
    unsigned state = 12345;
    const auto next = [&state] { return (state = state * 1103515245 + 12345) >> 16; };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(next() % 12, '\0');
        for (char& c : bytes) {
            const unsigned r = next();
            c = static_cast<char>(r % 4 == 0 ? r % 0x80 : 0x80 + r % 0x80);
        }
        for (const Codepage cp :
             {Codepage::Gbk, Codepage::Cp949, Codepage::Big5, Codepage::ShiftJis}) {
            size_t invalid = 0, expectedInvalid = 0;
            ASSERT_EQ(tabled.Decode(bytes, cp, invalid), whole.Decode(bytes, cp, expectedInvalid))
                << CodepageName(cp) << " round " << round;
            ASSERT_EQ(invalid, expectedInvalid);
        }
    }
}
