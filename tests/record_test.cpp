// The record object: defaults, switching getters and copy semantics.
#include <gtest/gtest.h>

#include <string>

#include "GiboFile.h"

TEST(RecordObject, NewObjectHasEmptyTextsAndCompactDefaults) {
    CGiboFile f;
    EXPECT_EQ(f.GetError(), 0u);
    EXPECT_TRUE(f.GetShowGiboTitle().IsEmpty());
    EXPECT_TRUE(f.GetGameCondition2().IsEmpty());
    EXPECT_EQ(f.GetWGeup(), 0);
    EXPECT_EQ(f.GetRule(), 0);
    EXPECT_EQ(f.GetDum(), 0);
    EXPECT_EQ(f.GetGameCommentator(), "Velix");
    EXPECT_EQ(f.GetGameWAvataID(), 0);
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

TEST(RecordObject, AssignmentReplacesTheCompactHeader) {
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
}

TEST(RecordObject, SelfAssignmentKeepsEverything) {
    CGiboFile f;
    f.SetNewFormat(1);
    LoadCompact(f, "GTYPE:4");
    CGBHLoad* const before = f.GetGBHLoad();
    CGiboFile& alias = f;
    f = alias;
    EXPECT_EQ(f.GetGBHLoad(), before);
    EXPECT_EQ(f.GetGBHLoad()->m_pGiboFile, &f);
    EXPECT_EQ(f.GetGameType(), "4");
}

TEST(RecordObject, SwitchingTextGettersReadTheFieldTheFlagChooses) {
    using Getter = CString (CGiboFile::*)() const;
    struct Row {
        const char* name;
        Getter getter;
        CString CGiboFile::*own;
        CString CGBHLoad::*compact;
    };
    const Row rows[] = {
        {"GetShowGiboTitle", &CGiboFile::GetShowGiboTitle, &CGiboFile::m_strShowGiboTitle,
         &CGBHLoad::m_strShowGiboTitle},
        {"GetGameType", &CGiboFile::GetGameType, &CGiboFile::m_strGameType,
         &CGBHLoad::m_strGameType},
        {"GetGameName", &CGiboFile::GetGameName, &CGiboFile::m_strGameName,
         &CGBHLoad::m_strGameName},
        {"GetGameDate", &CGiboFile::GetGameDate, &CGiboFile::m_strGameDate,
         &CGBHLoad::m_strGameDate},
        {"GetGameCondition", &CGiboFile::GetGameCondition, &CGiboFile::m_strGameCondition,
         &CGBHLoad::m_strGameCondition},
        {"GetGameResult", &CGiboFile::GetGameResult, &CGiboFile::m_strGameResult,
         &CGBHLoad::m_strGameResult},
        {"GetGameTime", &CGiboFile::GetGameTime, &CGiboFile::m_strGameTime,
         &CGBHLoad::m_strGameTime},
        {"GetGameTime2", &CGiboFile::GetGameTime2, &CGiboFile::m_strGameTime2,
         &CGBHLoad::m_strGameTime2},
        {"GetGameTotalNum", &CGiboFile::GetGameTotalNum, &CGiboFile::m_strGameTotalNum,
         &CGBHLoad::m_strGameTotalNum},
        {"GetTotalNum", &CGiboFile::GetTotalNum, &CGiboFile::m_strTotalNum,
         &CGBHLoad::m_strGameTotalNum},
        {"GetGameWUser", &CGiboFile::GetGameWUser, &CGiboFile::m_strWUser, &CGBHLoad::m_strWUser},
        {"GetGameWUser2", &CGiboFile::GetGameWUser2, &CGiboFile::m_strWUser2,
         &CGBHLoad::m_strWUser2},
        {"GetGameBUser", &CGiboFile::GetGameBUser, &CGiboFile::m_strBUser, &CGBHLoad::m_strBUser},
        {"GetGameBUser2", &CGiboFile::GetGameBUser2, &CGiboFile::m_strBUser2,
         &CGBHLoad::m_strBUser2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CGiboFile f;
        f.*r.own = "own";
        f.GetGBHLoad()->*r.compact = "compact";
        EXPECT_EQ((f.*r.getter)(), "own");
        f.SetNewFormat(1);
        EXPECT_EQ((f.*r.getter)(), "compact");
    }
}

TEST(RecordObject, TotalNumGettersDifferOnlyWithTheFlagClear) {
    CGiboFile f;
    f.m_strTotalNum = "211";
    f.m_strGameTotalNum = "total 211";
    EXPECT_EQ(f.GetTotalNum(), "211");
    EXPECT_EQ(f.GetGameTotalNum(), "total 211");
    f.SetNewFormat(1);
    EXPECT_EQ(f.GetTotalNum(), f.GetGameTotalNum());
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
    f.m_strBNick = "bnick";
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
