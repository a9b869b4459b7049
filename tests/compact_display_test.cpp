// The compact header's display texts (MakeData), with the loaded fields set directly.
#include <gtest/gtest.h>

#include <string>

#include "GBHLoad.h"
#include "GiboFile.h"
#include "TestSupport.h"

TEST(CompactDisplay, ResultsAndConditions) {
    const struct {
        unsigned char code;
        int margin;
        const char* text;
    } results[] = {
        {0, 65, "<black>  6<pts> <half><win>"},
        {0, 60, "<black>  6<pts> <win>"},
        {0, 5, "<black>  <half><pts> <win>"},
        {0, -65, "<black>  -6<pts> <half><win>"},
        {1, -5, "<white>  <half><pts> <win>"},
        {0, 0, "earlier"},
        {3, 65, "<black><resign> "},
        {9, 65, " "},
        {255, 0, " "},
    };
    for (const auto& c : results) {
        CGiboFile f;
        CGBHLoad& g = *f.GetGBHLoad();
        g.m_strGameResult = "earlier";
        g.m_byGameResult = c.code;
        g.m_nZipsu = c.margin;
        g.MakeData();
        EXPECT_EQ(g.m_strGameResult.str(), Gbk(c.text)) << int(c.code) << " " << c.margin;
    }
    // The condition is the rule lookup, copied: a later lookup does not change it.
    const struct {
        unsigned char code;
        int dum;
        const char* text;
    } conditions[] = {{0, 7, "<min><CF C8 A3 BA><komi>6<pts><half>"},
                      {1, 0, "<C8 C3 CF C8>"},
                      {1, 5, "<C8 C3 CF C8> (<komi> 5<pts>)"},
                      {12, 5, ""}};
    for (const auto& c : conditions) {
        CGiboFile f;
        CGBHLoad& g = *f.GetGBHLoad();
        g.m_byGameCondition = c.code;
        g.m_nDum = c.dum;
        g.MakeData();
        f.GetDeakukRule(2, 9);
        EXPECT_EQ(g.m_strGameCondition.str(), Gbk(c.text)) << int(c.code);
    }
}

TEST(CompactDisplay, WithoutOwnerOnlyCountAndTitleAreMade) {
    CGBHLoad g(nullptr);
    g.m_strWUser = "wu";
    g.m_strWUser2 = "w2";
    g.m_strBUser2 = "b2";
    g.m_strGameResult = "r";
    g.m_strGameCondition = "c";
    g.m_strWId = "id";
    g.m_byGameResult = 3;
    g.m_nTotalNum = -4;
    g.MakeData();
    EXPECT_EQ(g.m_strWUser, "wu");
    EXPECT_EQ(g.m_strGameResult, "r");
    EXPECT_EQ(g.m_strGameCondition, "c");
    EXPECT_EQ(g.m_strGameTotalNum.str(), Gbk("<total>: -4<moves>"));
    EXPECT_EQ(g.m_strShowGiboTitle.str(), Gbk("<white>:w2 Vs <black>:b2 - r(c <total>:-4<moves>)"));
}
