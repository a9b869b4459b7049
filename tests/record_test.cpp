// The record object: defaults, switching getters and copy semantics.
#include <gtest/gtest.h>

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
