// The compact header loader, and the record object around it: getters, defaults, copies.

#include "TestSupport.h"

namespace {

const std::string kNoLimit = Hex("C3 BF B7 BD CF DE CA B1") + ": " + Hex("CE DE");  // 每方限时: 无

// A header loaded into a record object's compact header, with the text the end points into.
struct HeaderLoad {
    CGiboFile file;
    std::string text;
    char* end = nullptr;

    explicit HeaderLoad(const std::string& header, int nNation = 0) : text(header) {
        file.SetNationCode(nNation);
        end = file.GetGBHLoad()->LoadHeader(&text[0]);
    }
    const CGBHLoad& h() { return *file.GetGBHLoad(); }
    size_t Offset() const { return static_cast<size_t>(end - text.data()); }
};

TEST(CompactLoader, TimeAndDateTextsAreTheLetterItemsTexts) {
    // Other order, missing numbers 0, extras ignored; the text must equal the letter item's.
    const char* const cases[][2] = {
        {"GTIME:600-30-3", "T30-3-600"},
        {"GTIME", "T0-0-0"},
        {"GTIME:600--3", "T0-3-600"},
        {"GTIME:60-20-1-99", "T20-1-60"},
        // Without the blank it is not the no-limit value and parses as numbers (none).
        {"GTIME:\xC3\xBF\xB7\xBD\xCF\xDE\xCA\xB1:\xCE\xDE", "T0-0-0"},
        {"GDATE:12-12-5-14-7-0", "C12:12:5:14:7"},
        {"GDATE:12", "C12:0:0:0:0"},
        {"GDATE:2024-01-02-23-05-59-9", "C2024:1:2:23:5"},
        {"GDATE:2024--3", "C2024:0:3:0:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        HeaderLoad l(c[0]);
        CGiboFile letters;
        std::string item = c[1];
        letters.ParsingTagData(&item[0]);
        EXPECT_EQ(l.h().m_strGameTime, letters.m_strGameTime);
        EXPECT_EQ(l.h().m_strGameTime2, letters.m_strGameTime2);
        EXPECT_EQ(l.h().m_strGameDate, letters.m_strGameDate);
        const bool time = c[1][0] == 'T';
        EXPECT_EQ((time ? l.h().m_strGameTimeRaw : l.h().m_strGameDateRaw).str(),
                  l.text.substr(std::min<size_t>(6, l.text.size())));  // after "GTIME:"
    }
    // A field is read from its first 1023 bytes, as readTag keeps a field.
    HeaderLoad cut("");
    cut.file.GetGBHLoad()->SetGameDateText((std::string(1022, ' ') + "12-3").c_str());
    EXPECT_EQ(cut.h().m_strGameDate, HeaderLoad("GDATE:1-3").h().m_strGameDate);
    // No time limit is stored verbatim and keeps the one-line text of before.
    HeaderLoad l("GTIME:600-30-3,GTIME:" + kNoLimit);
    EXPECT_EQ(l.h().m_strGameTime.str(), kNoLimit);
    EXPECT_EQ(l.h().m_strGameTime2.str(), Gbk("10<min> (30<sec> <byo> 3<times>)"));
    EXPECT_EQ(l.h().m_strGameTimeRaw.str(), kNoLimit);
}

TEST(CompactLoader, NumbersKeepTheLowBitsOfTheirField) {
    const auto number = [](const char* header, auto field) {
        return long(HeaderLoad(header).h().*field);
    };
    EXPECT_EQ(number("GBKIND:300", &CGBHLoad::m_byGiboKind), 44);
    EXPECT_EQ(number("GBKIND: 7", &CGBHLoad::m_byGiboKind), 7);
    EXPECT_EQ(number("GTYPE:-1", &CGBHLoad::m_byGameType), 255);
    EXPECT_EQ(number("BAID:70000", &CGBHLoad::m_wBAvataID), 4464);
    EXPECT_EQ(number("BAID:-1", &CGBHLoad::m_wBAvataID), 65535);
    EXPECT_EQ(number("DUM:-65", &CGBHLoad::m_nDum), -65);
    EXPECT_EQ(number("TCNT:  211moves", &CGBHLoad::m_nTotalNum), 211);
    EXPECT_EQ(number("ZIPSU:abc", &CGBHLoad::m_nZipsu), 0);
    EXPECT_EQ(number("AUSZ:+4096", &CGBHLoad::m_nAudioSize), 4096);
    // The game type's text is the stored byte.
    EXPECT_EQ(HeaderLoad("GTYPE:260").h().m_strGameType, "4");
    EXPECT_EQ(HeaderLoad("GTYPE:-2").h().m_strGameType, "254");
}

TEST(CompactLoader, TagsMatchExactly) {
    // Each name finds its own row, not a longer or shorter neighbour (GNAME/GNAMEF).
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
    // Bounded: at most 255 value bytes and a zero; a bare tag gives an empty value.
    std::string item = "GCMT:" + std::string(256, 'c');
    char value[300];
    std::fill(value, value + sizeof value, '#');
    unsigned char index = 0;
    ASSERT_EQ(f.GetNewTagData(&item[0], index, value), 1);
    EXPECT_EQ(index, 15);
    EXPECT_EQ(std::string(value), std::string(255, 'c'));
    EXPECT_EQ(value[256], '#');
}

TEST(CompactLoader, TextValuesAreStoredByteForByteAndTheLastWins) {
    const std::string nick = Hex("81 5C 61 BA DA");  // 乗a黑: a trail byte 0x5C passes through
    HeaderLoad l("WNICK:" + nick + ",GCMT:" + nick);
    EXPECT_EQ((l.h().m_strWNick + l.h().m_strGameCommentator).str(), nick + nick);
    // The name tags share one field.
    for (const auto& [header, name] : {std::pair{"GNAME:a:b", "a:b"},
                                       {"GNAME:a,GNAMEF:b", "b"},
                                       {"GNAME:a,GNAME", ""},
                                       {"GPLC:hall,GPLCF:cup", "cup"}}) {
        EXPECT_EQ(HeaderLoad(header).h().m_strGameName, name) << header;
    }
    EXPECT_EQ(HeaderLoad("GPLC:hall,GPLCF:cup").h().m_strGamePlace, "hall");
    EXPECT_EQ(HeaderLoad("GTYPE:1,GTYPE:2").h().m_strGameType, "2");
}

TEST(CompactLoader, BothVocabulariesStopAtTheFirstEmptyItemAndPassOverUnknownOnes) {
    const struct Case {
        const char *header, *rest;  // rest: where reading stopped
        unsigned char kind;
        const char* type;
    } cases[] = {
        {"", "", 0, "0"},
        {",GTYPE:3", "GTYPE:3", 0, "0"},
        {"GBKIND:1,,GTYPE:3", "GTYPE:3", 1, "0"},
        {"GTYPE:4", "", 0, "4"},
        {"GTYPE:4,", "", 0, "4"},
        {"GTYPE:4,,,GBKIND:2", ",GBKIND:2", 0, "4"},
        {"GBKIND:1,GTYPE:2,GTIME:600-30-3,GDATE:12-12-5-14-7-0,WID:kim01,TCNT:211,", "", 1, "2"},
        {"XYZ:5, GTYPE:5,gtype:6,GNAM:x,GNAMEFX:y,GBKIND:3", "", 3, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        HeaderLoad l(c.header);
        ASSERT_NE(l.end, nullptr);
        EXPECT_EQ(l.Offset(), l.text.size() - std::string(c.rest).size());
        EXPECT_EQ(l.h().m_byGiboKind, c.kind);
        EXPECT_EQ(l.h().m_strGameType, c.type);
        EXPECT_TRUE(l.h().m_strGameName.IsEmpty());
        EXPECT_EQ(l.text, std::string(c.header));  // the text is only read
        // The letter vocabulary walks the same items and stops at the same place.
        CGiboFile letters;
        std::string same = c.header;
        EXPECT_EQ(letters.ParsingTagData(&same[0]) - same.data(), l.end - l.text.data());
    }
    // A second load changes only its own tags.
    HeaderLoad l("GTYPE:2,WID:kim");
    char second[] = "WID:lee,GCMT:x";
    EXPECT_EQ(l.file.GetGBHLoad()->LoadHeader(second), second + sizeof second - 1);
    EXPECT_EQ(l.h().m_strGameType, "2");
    EXPECT_EQ(l.h().m_strWId, "lee");
    EXPECT_EQ(l.h().m_strGameCommentator, "x");
}

TEST(CompactLoader, OverLongItemsAreCutAndDoNotDisturbTheNext) {
    // An item longer than 255 bytes keeps its first 255 (the value loses the tag's 6).
    for (size_t valueLen : {249u, 250u, 1023u, 1024u, 5000u}) {
        SCOPED_TRACE(valueLen);
        HeaderLoad l("GNAME:" + std::string(valueLen, 'x') + ",GTYPE:9");
        EXPECT_EQ(l.h().m_strGameName.GetLength(),
                  static_cast<int>(std::min<size_t>(valueLen, 249)));
        EXPECT_EQ(l.h().m_strGameType, "9");
        EXPECT_EQ(l.Offset(), l.text.size());
    }
    // A tag part too long for any short tag is skipped, and so is its value.
    for (size_t tagLen : {128u, 200u}) {
        EXPECT_EQ(HeaderLoad(std::string(tagLen, 'G') + ":1,GTYPE:6").h().m_strGameType, "6");
    }
}

TEST(CompactLoader, WithoutOwnerOnlyPlainValuesCountAndTitleAreMade) {
    CGBHLoad h(nullptr);
    char text[] = "GTYPE:4,GTIME:600-30-3";
    EXPECT_EQ(h.LoadHeader(text), nullptr);
    EXPECT_EQ(h.m_strGameType, "0");
    h.SetGameTimeText("600-30-3");
    h.SetGameDateText("12-12-5-14-7-0");
    h.m_strWId = "id";
    EXPECT_TRUE(h.m_strGameTime.IsEmpty() && h.m_strGameTimeRaw.IsEmpty() &&
                h.m_strGameDate.IsEmpty() && h.GetWNick().IsEmpty());
    // Plain values need no owner; an index past the table does nothing.
    h.DispatchTag(1, "7");
    h.DispatchTag(28, "9");
    h.DispatchTag(255, "9");
    EXPECT_EQ(h.m_strGameType, "7");
    EXPECT_EQ(CGiboFile().GetGBHLoad()->LoadHeader(nullptr), nullptr);
    h.m_strWUser = "wu";
    h.m_strWUser2 = "w2";
    h.m_strBUser2 = "b2";
    h.m_strGameResult = "r";
    h.m_strGameCondition = "c";
    h.m_byGameResult = 3;
    h.m_nTotalNum = -4;
    h.MakeData();
    EXPECT_EQ((h.m_strWUser + h.m_strGameResult + h.m_strGameCondition).str(), "wurc");
    EXPECT_EQ(h.m_strGameTotalNum.str(), Gbk("<total>: -4<moves>"));
    EXPECT_EQ(h.m_strShowGiboTitle.str(), Gbk("<white>:w2 Vs <black>:b2 - r(c <total>:-4<moves>)"));
}

void LoadCompact(CGiboFile& f, std::string header) {
    ASSERT_NE(f.GetGBHLoad()->LoadHeader(&header[0]), nullptr);
}

// Each text getter with the record object's and the compact header's field (null: never read).
#define GETTER(getter, own, compact) \
    { #getter, &CGiboFile::getter, own, compact }
#define BOTH(getter, own, compact) GETTER(getter, &CGiboFile::own, &CGBHLoad::compact)
const struct TextGetter {
    const char* name;
    CString (CGiboFile::*get)() const;
    CString CGiboFile::*own;
    CString CGBHLoad::*compact;
} kTextGetters[] = {
    BOTH(GetShowGiboTitle, m_strShowGiboTitle, m_strShowGiboTitle),
    BOTH(GetGameType, m_strGameType, m_strGameType),
    BOTH(GetGameName, m_strGameName, m_strGameName),
    BOTH(GetGameDate, m_strGameDate, m_strGameDate),
    BOTH(GetGameCondition, m_strGameCondition, m_strGameCondition),
    BOTH(GetGameResult, m_strGameResult, m_strGameResult),
    BOTH(GetGameTime, m_strGameTime, m_strGameTime),
    BOTH(GetGameTime2, m_strGameTime2, m_strGameTime2),
    BOTH(GetGameTotalNum, m_strGameTotalNum, m_strGameTotalNum),
    BOTH(GetTotalNum, m_strTotalNum, m_strGameTotalNum),
    BOTH(GetGameWUser, m_strWUser, m_strWUser),
    BOTH(GetGameWUser2, m_strWUser2, m_strWUser2),
    BOTH(GetGameBUser, m_strBUser, m_strBUser),
    BOTH(GetGameBUser2, m_strBUser2, m_strBUser2),
    GETTER(GetGameCondition2, &CGiboFile::m_strGameCondition2, nullptr),
    GETTER(GetGamePlace, nullptr, &CGBHLoad::m_strGamePlace),
    GETTER(GetGameWImage, nullptr, &CGBHLoad::m_strWImage),
    GETTER(GetGameBImage, nullptr, &CGBHLoad::m_strBImage),
    GETTER(GetGameCommentator, nullptr, &CGBHLoad::m_strGameCommentator),
};

// A source with every part a copy must carry set.
void FillRich(CGiboFile& f) {
    f.SetNationCode(1);
    std::string letters =
        "S5,R3,D65,G2,W1,Z75,T30-3-3600,C2012:12:5:14:7,IXkim,LX27,MXlee,NX20,"
        "AXk,BXl,JX7,KX1";
    f.ParsingTagData(&letters[0]);
    LoadCompact(f,
                "GBKIND:2,GTYPE:4,GCDT:3,GTIME:600-30-3,GRLT:4,DUM:-4,TCNT:211,GNAME:n,"
                "GDATE:2012-12-5-14-7-0,GPLC:hall,GCMT:c,WID:cw,WLV:20,WNICK:K,WNCD:7,"
                "WAID:5,WIMG:w,BID:cb,BLV:19,BNICK:L,BNCD:1,BAID:6,BIMG:b");
    f.MakeData();
    f.SetParam("TYPE", "2");
    f.m_dwError = GIBO_ERR_NO_BODY;
    f.m_strGameCondition2 = "c2";
    f.ExtGetLvStr(20);
    f.SetNewFormat(1);
}

// Everything a host reads of a record object, with the flag clear and set.
std::vector<std::string> Snapshot(CGiboFile& f) {
    const unsigned char flag = f.m_bNewFormat;
    std::vector<std::string> out = {std::to_string(flag), std::to_string(f.GetError()),
                                    std::string(f.m_strHeader), std::string(f.m_strLvBuf)};
    for (unsigned char setting : {0, 1}) {
        f.SetNewFormat(setting);
        for (const TextGetter& g : kTextGetters) {
            out.emplace_back((f.*g.get)());
        }
        for (int n : {int(f.GetWGeup()), int(f.GetBGeup()), int(f.GetRule()), f.GetDum(),
                      int(f.GetGiboKind()), int(f.GetGameWAvataID()), int(f.GetGameBAvataID())}) {
            out.push_back(std::to_string(n));
        }
        out.emplace_back(f.GetWNick());
        out.emplace_back(f.GetBNick());
    }
    f.SetNewFormat(flag);
    return out;
}

}  // namespace

TEST(RecordObject, CopiesEqualTheirSourceAndOwnTheirCompactHeader) {
    auto* src = new CGiboFile;
    FillRich(*src);
    const std::vector<std::string> expected = Snapshot(*src);
    CGiboFile copy(*src);
    CGiboFile assigned;
    LoadCompact(assigned, "GTYPE:9,GCMT:old,GNAMEF:x");
    assigned.m_strGameName = "old name";
    assigned = *src;
    for (CGiboFile* f : {&copy, &assigned}) {
        EXPECT_EQ(Snapshot(*f), expected);
        EXPECT_NE(f->GetGBHLoad(), src->GetGBHLoad());
        EXPECT_EQ(f->GetGBHLoad()->m_pGiboFile, f);
    }
    EXPECT_EQ(src->GetGBHLoad()->m_pGiboFile, src);

    // A copy's shown name follows its own nation code, and changes stay apart.
    src->SetNationCode(7);
    LoadCompact(*src, "GTYPE:6");
    EXPECT_EQ(src->GetWNick(), "cw");
    EXPECT_EQ(copy.GetWNick(), "K");
    EXPECT_EQ(assigned.GetGameType(), "4");

    // Self-assignment keeps everything.
    CGBHLoad* const before = src->GetGBHLoad();
    CGiboFile& alias = *src;
    *src = alias;
    EXPECT_EQ(src->GetGBHLoad(), before);
    EXPECT_EQ(before->m_pGiboFile, src);
    EXPECT_EQ(src->GetGameType(), "6");

    // Copies outlive the source.
    delete src;
    LoadCompact(copy, "GTYPE:5");
    EXPECT_EQ(copy.GetGameType(), "5");
    EXPECT_EQ(copy.GetGamePlace(), "hall");
}

TEST(RecordObject, DefaultsAndTextGettersReadingTheFieldTheFlagChooses) {
    CGiboFile fresh;
    EXPECT_EQ(fresh.GetError(), 0u);
    EXPECT_TRUE(fresh.GetShowGiboTitle().IsEmpty());
    EXPECT_EQ(fresh.GetGameCommentator(), "Velix");
    fresh.SetNewFormat(1);
    EXPECT_EQ(fresh.GetGameType(), "0");
    EXPECT_EQ(fresh.GetTotalNum(), "0");
    for (const TextGetter& g : kTextGetters) {
        CGiboFile f;
        if (g.own) {
            f.*g.own = "own";
        }
        if (g.compact) {
            f.GetGBHLoad()->*g.compact = "compact";
        }
        EXPECT_EQ((f.*g.get)(), g.own ? "own" : "compact") << g.name;
        f.SetNewFormat(1);
        EXPECT_EQ((f.*g.get)(), g.compact ? "compact" : "own") << g.name;
    }
}

TEST(RecordObject, NumberAndNameGettersReadTheFieldsTheFlagChooses) {
    CGiboFile f;
    FillRich(f);
    f.m_nGameCondition = 258;  // the getter keeps the low 8 bits
    const struct {
        int rule, dum, wGeup, bGeup;
        const char *w, *b;
    } byFlag[] = {
        {2, 6, 27, 20, "kim", "lee"},  // own fields: the ids, even of a foreign player
        {3, -4, 20, 19, "K", "cb"},    // compact: the nick of a foreign player
    };
    for (unsigned char flag : {0, 1}) {
        const auto& e = byFlag[flag];
        f.SetNewFormat(flag);
        EXPECT_EQ(f.GetRule(), e.rule);
        EXPECT_EQ(f.GetDum(), e.dum);
        EXPECT_EQ(f.GetWGeup(), e.wGeup);
        EXPECT_EQ(f.GetBGeup(), e.bGeup);
        EXPECT_EQ(f.GetWNick(), e.w);
        EXPECT_EQ(f.GetBNick(), e.b);
        EXPECT_EQ(f.GetGiboKind(), 2);  // these always read the compact header
        EXPECT_EQ(f.GetGameWAvataID(), 5);
        EXPECT_EQ(f.GetGameBAvataID(), 6);
    }
}
