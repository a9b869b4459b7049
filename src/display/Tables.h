// The fixed display vocabulary: nation names, handicap kinds, game rules, result names in four
// code pages and the two forms of level names. Rows are zero-terminated byte strings in
// zero-filled fixed-width slots; nothing changes them at run time.
#ifndef GIBO_DISPLAY_TABLES_H
#define GIBO_DISPLAY_TABLES_H

namespace gibo {

enum {
    kNationCount = 6,
    kNationSlot = 12,
    kKindCount = 7,
    kRuleCount = 12,
    kResultBlockCount = 4,
    kResultCount = 9,
    kLevelCount = 36,
    kTextSlot = 32
};

// Blocks of g_szDeakukResult in storage order. The row number is the result code in every
// block: 0/1 black/white by score (colour word only), 2 draw, 3/4 resignation, 5/6 time-out,
// 7/8 on time (black, then white).
enum { kResultKorean = 0, kResultBig5 = 1, kResultGbk = 2, kResultJapanese = 3 };

extern const char g_szNationName[kNationCount][kNationSlot];  // ASCII
extern const char g_szDeakukKind[kKindCount][kTextSlot];      // GBK
extern const char g_szDeakukRule[kRuleCount][kTextSlot];      // GBK
extern const char g_szDeakukResult[kResultBlockCount][kResultCount][kTextSlot];
extern const char g_szLevel[kLevelCount][kTextSlot];   // GBK, professionals as 职业N段
extern const char g_szLevel2[kLevelCount][kTextSlot];  // GBK, professionals as ‘P N段’

}  // namespace gibo

#endif  // GIBO_DISPLAY_TABLES_H
