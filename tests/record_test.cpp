// The record object: defaults, switching getters and copy semantics.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace

TEST(RecordObject, CopyConstructionGivesTheCopyItsOwnCompactHeader) {
    auto* src = new CGiboFile;
    src->SetNationCode(1);
    src->SetNewFormat(1);
    src->m_strWId = "own-id";
    LoadCompact(*src, "GTYPE:4,WID:kim,WNICK:K,WNCD:7,GPLC:hall");

    CGiboFile copy(*src);
    EXPECT_NE(copy.GetGBHLoad(), src->GetGBHLoad());
    EXPECT_EQ(copy.GetGBHLoad()->m_pGiboFile, &copy);
    EXPECT_EQ(copy.GetGameType(), "4");
    EXPECT_EQ(copy.GetWNick(), "K");
    EXPECT_EQ(copy.m_strWId, "own-id");

    // The copy's shown name follows the copy's nation code, not the source's.
    src->SetNationCode(7);
    EXPECT_EQ(src->GetWNick(), "kim");
    EXPECT_EQ(copy.GetWNick(), "K");

    // And it outlives the source.
    delete src;
    LoadCompact(copy, "GTYPE:5");
    EXPECT_EQ(copy.GetGameType(), "5");
    EXPECT_EQ(copy.GetGamePlace(), "hall");
}

TEST(RecordObject, AssignmentReplacesTheCompactHeaderExceptOnItself) {
    CGiboFile src;
    src.SetNewFormat(1);
    LoadCompact(src, "GTYPE:4,WID:kim");
    CGiboFile dst;
    LoadCompact(dst, "GTYPE:9,GCMT:old");
    dst.m_strGameName = "old name";

    dst = src;
    EXPECT_NE(dst.GetGBHLoad(), src.GetGBHLoad());
    EXPECT_EQ(dst.GetGBHLoad()->m_pGiboFile, &dst);
    EXPECT_EQ(src.GetGBHLoad()->m_pGiboFile, &src);
    EXPECT_EQ(dst.GetGameType(), "4");
    EXPECT_EQ(dst.GetWNick(), "kim");
    EXPECT_EQ(dst.GetGameCommentator(), "Velix");  // nothing of the old header is left
    dst.SetNewFormat(0);
    EXPECT_TRUE(dst.GetGameName().IsEmpty());

    // Changing one afterwards leaves the other alone.
    LoadCompact(src, "GTYPE:6");
    EXPECT_EQ(dst.GetGBHLoad()->GetGameType(), "4");

    // Self-assignment keeps everything.
    CGBHLoad* const before = src.GetGBHLoad();
    CGiboFile& alias = src;
    src = alias;
    EXPECT_EQ(src.GetGBHLoad(), before);
    EXPECT_EQ(before->m_pGiboFile, &src);
    EXPECT_EQ(src.GetGameType(), "6");
}

#define SWITCHING(getter, own, compact) \
    { #getter, &CGiboFile::getter, &CGiboFile::own, &CGBHLoad::compact }

TEST(RecordObject, SwitchingTextGettersReadTheFieldTheFlagChooses) {
    const struct {
        const char* name;
        CString (CGiboFile::*getter)() const;
        CString CGiboFile::*own;
        CString CGBHLoad::*compact;
    } rows[] = {
        SWITCHING(GetShowGiboTitle, m_strShowGiboTitle, m_strShowGiboTitle),
        SWITCHING(GetGameType, m_strGameType, m_strGameType),
        SWITCHING(GetGameName, m_strGameName, m_strGameName),
        SWITCHING(GetGameDate, m_strGameDate, m_strGameDate),
        SWITCHING(GetGameCondition, m_strGameCondition, m_strGameCondition),
        SWITCHING(GetGameResult, m_strGameResult, m_strGameResult),
        SWITCHING(GetGameTime, m_strGameTime, m_strGameTime),
        SWITCHING(GetGameTime2, m_strGameTime2, m_strGameTime2),
        SWITCHING(GetGameTotalNum, m_strGameTotalNum, m_strGameTotalNum),
        SWITCHING(GetTotalNum, m_strTotalNum, m_strGameTotalNum),
        SWITCHING(GetGameWUser, m_strWUser, m_strWUser),
        SWITCHING(GetGameWUser2, m_strWUser2, m_strWUser2),
        SWITCHING(GetGameBUser, m_strBUser, m_strBUser),
        SWITCHING(GetGameBUser2, m_strBUser2, m_strBUser2),
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        CGiboFile f;
        f.*r.own = "own";
        f.GetGBHLoad()->*r.compact = "compact";
        EXPECT_EQ((f.*r.getter)(), "own");
        f.SetNewFormat(1);
        EXPECT_EQ((f.*r.getter)(), "compact");
    }
}

TEST(RecordObject, NumberAndNameGetters) {
    CGiboFile f;
    f.m_nGameCondition = 258;
    f.m_nDum = 6;
    f.m_byWGeup = 20;
    f.m_byBGeup = 21;
    f.m_strWId = "wid";
    f.m_strWNick = "wnick";
    f.m_strBId = "bid";
    f.m_nWCode = 5;  // a foreign player: still the id while the flag is clear
    LoadCompact(f, "GCDT:3,DUM:-4,WLV:27,BLV:28,WID:cw,WNICK:cn,WNCD:9,BID:cb");
    EXPECT_EQ(f.GetRule(), 2);  // the low 8 bits of 258
    EXPECT_EQ(f.GetDum(), 6);
    EXPECT_EQ(f.GetWGeup(), 20);
    EXPECT_EQ(f.GetBGeup(), 21);
    EXPECT_EQ(f.GetWNick(), "wid");
    EXPECT_EQ(f.GetWUser(), "wid");
    EXPECT_EQ(f.GetBNick(), "bid");
    EXPECT_EQ(f.GetBUser(), "bid");

    f.SetNewFormat(1);
    EXPECT_EQ(f.GetRule(), 3);
    EXPECT_EQ(f.GetDum(), -4);
    EXPECT_EQ(f.GetWGeup(), 27);
    EXPECT_EQ(f.GetBGeup(), 28);
    EXPECT_EQ(f.GetWNick(), "cn");  // nation 9 is not the host's 0
    EXPECT_EQ(f.GetWUser(), "cn");
    EXPECT_EQ(f.GetBNick(), "cb");
}

TEST(RecordObject, SomeGettersAlwaysReadTheCompactHeader) {
    CGiboFile f;
    f.m_strGamePlace = "own place";
    LoadCompact(f, "GPLC:hall,GBKIND:2,WAID:65541,BAID:9,WIMG:w.png,BIMG:b.png,GCMT:c");
    f.m_strGameCondition2 = "cond2";
    for (unsigned char flag : {0, 1}) {
        SCOPED_TRACE(static_cast<int>(flag));
        f.SetNewFormat(flag);
        EXPECT_EQ(f.GetGamePlace(), "hall");
        EXPECT_EQ(f.GetGiboKind(), 2);
        EXPECT_EQ(f.GetGameWAvataID(), 5);
        EXPECT_EQ(f.GetGameBAvataID(), 9);
        EXPECT_EQ(f.GetGameWImage(), "w.png");
        EXPECT_EQ(f.GetGameBImage(), "b.png");
        EXPECT_EQ(f.GetGameCommentator(), "c");
        EXPECT_EQ(f.GetGameCondition2(), "cond2");
    }
}
