// The game-information interpreter and its scanning primitives, with their bounds.

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

// Each letter's setter and conversion, read back as a number of the field's own width.
TEST(GameInfo, NumberSettersKeepTheirFieldsWidth) {
    using F = CGiboFile;
    const struct {
        const char* item;
        int F::*field;
        int value;
    } ints[] = {{"R258", &F::m_nGameCondition, 258},
                {"D65", &F::m_nDum, 6},
                {"D-65", &F::m_nDum, -6},
                {"G12", &F::m_nGongje, 12},
                {"W-3", &F::m_nGameResult, -3},
                {"Z75", &F::m_nZipsu, 7},
                {"Z75", &F::m_nZipsuFrac, 5},
                {"Z-15", &F::m_nZipsu, -1},
                {"Z-15", &F::m_nZipsuFrac, -5},
                {"JX82", &F::m_nWCode, 82},
                {"KX-1", &F::m_nBCode, -1}};
    for (const auto& c : ints) {
        EXPECT_EQ(Parsed(c.item).f.*c.field, c.value) << c.item;
    }
    // Levels are bytes; "L300" is a two-letter code with the value "00".
    for (const auto& [item, level] : {std::pair{"LX27", 27}, {"LX300", 44}, {"L300", 0}}) {
        EXPECT_EQ(Parsed(item).f.m_byWGeup, level) << item;
    }
    EXPECT_EQ(Parsed("NX-1").f.m_byBGeup, 255);
    // Read as the standard conversion reads them, saturating on absurd digit runs.
    for (const std::string digits :
         {" \t\n\v\f\r+12x", "-7", "+-3", "2147483648", "-2147483649", "9223372036854775807",
          "99999999999999999999", "-9223372036854775808", "-99999999999999999999", "\xB0"}) {
        EXPECT_EQ(Parsed("S" + digits).f.m_nGameType,
                  static_cast<int>(std::strtoll(digits.c_str(), nullptr, 10)))
            << Shown(digits);
    }
}

TEST(GameInfo, TextSettersCopyTheValue) {
    Parsed p("IXhong,AXnick,MYkim,BZ" + Hex("BA DA 5C"));
    CGiboFile& f = p.f;
    EXPECT_EQ((f.m_strWId + f.m_strWNick + f.m_strBId + f.m_strBNick).str(),
              "hongnickkim" + Hex("BA DA 5C"));
    // Name and place have no letter; only the host sets them. Null values read as empty.
    char name[] = "cup", place[] = "hall";
    f.SetGameName(name);
    f.SetGamePlace(place);
    EXPECT_EQ(f.GetGameName(), "cup");
    EXPECT_EQ(f.m_strGamePlace, "hall");
    f.SetGameWId(nullptr);
    f.SetGameCondition(nullptr);
    f.SetGameTime(nullptr);
    f.SetGameDate(nullptr);
    EXPECT_TRUE(f.m_strWId.IsEmpty());
    EXPECT_EQ(f.m_nGameCondition, 0);
}

TEST(GameInfo, TimeAndDateTexts) {
    // The total is in seconds; an empty field reads as -1, a number missing at the end as 0.
    const char* const cases[][3] = {
        {"T30-3-5430", "<limit>1<h> 30<min>\r\n30<sec> <byo> 3<times>",
         "1<hours> 30<min> (30<sec> <byo> 3<times>)"},
        {"T30-3-600", "<limit> 10<min>\r\n30<sec> <byo> 3<times>",
         "10<min> (30<sec> <byo> 3<times>)"},
        {"T-5", "<limit> 0<min>\r\n-1<sec> <byo> 5<times>", "0<min> (-1<sec> <byo> 5<times>)"},
        {"T", "<limit> 0<min>\r\n0<sec> <byo> 0<times>", "0<min> (0<sec> <byo> 0<times>)"},
        {"C2013:1:7:14:5", "2013<year>1<month>7<day> <pm> 2:5"},
        {"C2013:1:7:12:0", "2013<year>1<month>7<day> <am> 12:0"},
        {"C2013:1:7:0:30", "2013<year>1<month>7<day> <am> 0:30"},
        {"C2013::7", "2013<year>-1<month>7<day> <am> 0:0"}};
    for (const auto& c : cases) {
        Parsed p(c[0]);
        const bool date = c[0][0] == 'C';
        EXPECT_EQ((date ? p.f.m_strGameDate : p.f.m_strGameTime).str(), Gbk(c[1])) << c[0];
        EXPECT_EQ(p.f.m_strGameTime2.str(), date ? "" : Gbk(c[2])) << c[0];
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

TEST(GameInfo, OneCallComposesTheDisplayUnlessTheCompactHeaderTakesTheText) {
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
    // With the new-format flag the compact header takes the text; no setter and no derived
    // field of the record object runs.
    CGiboFile compact;
    compact.SetNewFormat(1);
    std::string c("GTYPE:4,,S1");
    EXPECT_EQ(compact.ParsingTagData(c.data()), c.data() + 9);  // the compact loader's stop
    EXPECT_EQ(compact.GetGameType(), "4");
    EXPECT_EQ(compact.m_nGameType, 0);
    EXPECT_TRUE(compact.m_strShowGiboTitle.IsEmpty());
}

namespace {

// A zero-filled output buffer of the callers' size, followed by a guard that must stay intact.
template <size_t N>
struct Guarded {
    char buf[N + 64];
    Guarded() {
        std::fill(buf, buf + N, '\0');
        std::fill(buf + N, buf + N + 64, '#');
    }
    bool GuardIntact() const {
        return std::all_of(buf + N, buf + N + 64, [](char c) { return c == '#'; });
    }
    std::string Text() const { return std::string(buf, strnlen(buf, N)); }
};

using Strings = std::vector<std::string>;

// Reads every field of text with readTag; the cursor must always stay inside the text.
Strings Fields(std::string text, int nSep) {
    CGiboFile f;
    Strings out;
    char* cursor = &text[0];
    char* const end = cursor + text.size();
    while (*cursor != '\0') {
        Guarded<1024> field;
        f.readTag(&cursor, field.buf, nSep);
        EXPECT_TRUE(field.GuardIntact());
        EXPECT_LE(cursor, end);
        out.push_back(field.Text());
    }
    EXPECT_EQ(cursor, end);  // on the terminating zero, never past it
    return out;
}

TEST(ReadTag, CutsFieldsAtTheSeparator) {
    EXPECT_EQ(Fields("S1,R2", 0), (Strings{"S1", "R2"}));
    EXPECT_EQ(Fields("a,,b,", 0), (Strings{"a", "", "b"}));
    EXPECT_EQ(Fields("600-30-3", 1), (Strings{"600", "30", "3"}));
    EXPECT_EQ(Fields("GNAME:a:b", 2), (Strings{"GNAME", "a", "b"}));
    EXPECT_EQ(Fields("a-b,c", 0), (Strings{"a-b", "c"}));
    // GBK bytes pass through; the separators are below 0x40 and never a trail byte.
    EXPECT_EQ(Fields("\x81\x5C,\xBA\xDA", 0), (Strings{"\x81\x5C", "\xBA\xDA"}));  // 乗,黑
    // An over-long field keeps 1023 bytes and is consumed whole.
    for (size_t len : {1023u, 1024u, 4000u}) {
        EXPECT_EQ(Fields(std::string(len, 'a') + ",next", 0),
                  (Strings{std::string(1023, 'a'), "next"}));
    }
    // A cut ends on a whole character: 600 times 黑 keep 511 of them, not 511 and a half.
    EXPECT_EQ(Fields(Repeat("\xBA\xDA", 600) + ",next", 0),
              (Strings{Repeat("\xBA\xDA", 511), "next"}));
    // Nothing to read writes nothing, nor does either reader move.
    CGiboFile f;
    char out[8] = "keep", empty[] = "", text[] = "a,b";
    char *null = nullptr, *atEmpty = empty, *atText = text;
    EXPECT_EQ(f.readTagNum(&null, 0), 0);
    EXPECT_EQ(f.readTagNum(nullptr, 0), 0);
    f.readTag(&null, out, 0);
    f.readTag(nullptr, out, 0);
    f.readTag(&atEmpty, out, 0);
    f.readTag(&atText, nullptr, 0);
    EXPECT_STREQ(out, "keep");
    EXPECT_EQ(atEmpty, empty);
    EXPECT_EQ(atText, text);
}

TEST(ReadTagNum, ReadsNumbersInARow) {
    struct Case {
        std::string text;
        int sep;
        std::vector<int> numbers;  // four reads
    };
    // Missing: -1; past the end: 0; a field is cut at 255 bytes and consumed whole.
    const Case cases[] = {{"30-3-3600", 1, {30, 3, 3600, 0}},
                          {"--5", 1, {-1, -1, 5, 0}},
                          {"12ab:7", 2, {12, 7, 0, 0}},
                          {" -4,+9,x", 0, {-4, 9, 0, 0}},
                          {"", 0, {0, 0, 0, 0}},
                          {std::string(255, '0') + "7-42", 1, {0, 42, 0, 0}},
                          {std::string(254, '0') + "7-1", 1, {7, 1, 0, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        CGiboFile f;
        std::string text(c.text);
        char* cursor = &text[0];
        std::vector<int> got;
        for (int i = 0; i < 4; ++i) {
            got.push_back(f.readTagNum(&cursor, c.sep));
        }
        EXPECT_EQ(got, c.numbers);
    }
}

TEST(GetTagData, SplitsCodeAndValueWithinTheBuffer) {
    struct Case {
        std::string item;
        char code;
        int result;
        std::string value;  // "keep": untouched
    };
    const std::string v255(255, 'v');
    const Case cases[] = {
        {"S1", 'S', 1, "1"},
        {"IXplayer", 'I', 1, "player"},
        {"K?\xBA\xDA", 'K', 1, "\xBA\xDA"},  // the second code character is not examined
        {"s1", 's', 0, "keep"},
        {"S", 'S', 1, ""},
        {"I", 'I', 1, ""},  // shorter than its two-character code
        {"", '\0', 0, "keep"},
        {"Nx" + v255, 'N', 1, v255},
        {"Nx" + v255 + "v", 'N', 1, v255},
        {"Nx" + Repeat("\xBA\xDA", 200), 'N', 1, Repeat("\xBA\xDA", 127)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.substr(0, 20));
        CGiboFile f;
        std::string item(c.item);
        char code = '@';
        Guarded<256> value;
        if (c.value == "keep") {
            std::strcpy(value.buf, "keep");
        }
        EXPECT_EQ(f.GetTagData(&item[0], code, value.buf), c.result);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(value.Text(), c.value);
        EXPECT_TRUE(value.GuardIntact());
    }
    CGiboFile f;
    char code = '@';
    EXPECT_EQ(f.GetTagData(nullptr, code, nullptr), 0);
    EXPECT_EQ(code, '@');
    char item[] = "S12";
    EXPECT_EQ(f.GetTagData(item, code, nullptr), 1);  // the value is optional
    EXPECT_EQ(code, 'S');
}

TEST(RemoveSpace, DropsOnlyBlanksWithinTheBuffer) {
    const std::pair<std::string, std::string> cases[] = {
        {"a b  c", "abc"},
        {" lead and trail ", "leadandtrail"},
        {"tab\tstays\n", "tab\tstays\n"},
        {"\x81\x5C \xBA\xDA", "\x81\x5C\xBA\xDA"},  // 乗 黑
        {"", ""},
        {Repeat(" z", 200), std::string(200, 'z')},  // blanks do not count toward the limit
        {std::string(300, 'y'), std::string(255, 'y')},
        {Repeat("\xBA\xDA", 150), Repeat("\xBA\xDA", 127)}};
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(from);
        CGiboFile f;
        std::string src = from;
        Guarded<256> dst;
        f.RemoveSpace(dst.buf, &src[0]);
        EXPECT_EQ(dst.Text(), to);
        EXPECT_TRUE(dst.GuardIntact());
        src.resize(std::max<size_t>(src.size(), 256));  // and in place
        f.RemoveSpace(&src[0], &src[0]);
        EXPECT_EQ(std::string(src.c_str()), to);
    }
    CGiboFile f;
    char src[] = "a b";
    f.RemoveSpace(nullptr, src);
    EXPECT_STREQ(src, "a b");
    char dst[8] = "keep";
    f.RemoveSpace(dst, nullptr);
    EXPECT_STREQ(dst, "");
}

}  // namespace
