// The record object: defaults, switching getters and copy semantics.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GiboFile.h"

TEST(RecordObject, NewObjectHasEmptyTextsAndCompactDefaults) {
    CGiboFile f;
    EXPECT_EQ(f.GetError(), 0u);
    EXPECT_TRUE(f.GetShowGiboTitle().IsEmpty());
    EXPECT_EQ(f.GetGameCommentator(), "Velix");
    f.SetNewFormat(1);
    EXPECT_EQ(f.GetGameType(), "0");
    EXPECT_EQ(f.GetTotalNum(), "0");
}

namespace {

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

TEST(RecordObject, TextGettersReadTheFieldTheFlagChooses) {
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
