// The display tables, kept together so that every fixed text of the display lives in one place.
// Non-ASCII bytes are hex escapes; a digit right after an escape is an escape too (\x31 for
// "1"), since a literal digit would be swallowed into the escape before it.
#include "display/Tables.h"

namespace gibo {

const char g_szNationName[kNationCount][kNationSlot] = {
    "Korea",    // 0
    "Japan",    // 1
    "China",    // 2
    "English",  // 3
    "Taiwan",   // 4
    "China",    // 5
};

const char g_szDeakukKind[kKindCount][kTextSlot] = {
    "\xB7\xD6\xCF\xC8",          // 0 分先   even game
    "\xC8\xC3\xCF\xC8",          // 1 让先   weaker takes black, no komi
    "\xC8\xC3\xB6\xFE\xD7\xD3",  // 2 让二子 two stones
    "\xC8\xC3\xC8\xFD\xD7\xD3",  // 3 让三子 three stones
    "\xC8\xC3\xCB\xC4\xD7\xD3",  // 4 让四子 four stones
    "\xC8\xC3\xCE\xE5\xD7\xD3",  // 5 让五子 five stones
    "\xC8\xC3\xC1\xF9\xD7\xD3",  // 6 让六子 six stones
};

// Row 0 names its own komi (full-width colon); rows 10 and 11 lead with a blank and use an
// ASCII colon.
const char g_szDeakukRule[kRuleCount][kTextSlot] = {
    "\xB7\xD6\xCF\xC8\xA3\xBA\xBA\xDA\xCC\xF9\x36\xC4\xBF\xB0\xEB",  // 0  分先：黑贴6目半 6.5 komi
    "\xC8\xC3\xCF\xC8",                                              // 1  让先 no komi
    "\xC8\xC3\x32\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 2  让2子 让子棋
    "\xC8\xC3\x33\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 3  让3子 让子棋
    "\xC8\xC3\x34\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 4  让4子 让子棋
    "\xC8\xC3\x35\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 5  让5子 让子棋
    "\xC8\xC3\x36\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 6  让6子 让子棋
    "\xC8\xC3\x37\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 7  让7子 让子棋
    "\xC8\xC3\x38\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 8  让8子 让子棋
    "\xC8\xC3\x39\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5",                 // 9  让9子 让子棋
    " \xCB\xC0\xBB\xEE\x31:\xB7\xD6\xCF\xC8",  // 10 ‘ 死活1:分先’ life-and-death 1
    " \xCB\xC0\xBB\xEE\x32:\xB7\xD6\xCF\xC8",  // 11 ‘ 死活2:分先’ life-and-death 2
};

const char g_szDeakukResult[kResultBlockCount][kResultCount][kTextSlot] = {
    {
        // Korean, CP949.
        "\xC8\xE6 ",                                           // 0 흑
        "\xB9\xE9 ",                                           // 1 백
        "\xB9\xAB\xBD\xC2\xBA\xCE",                            // 2 무승부
        "\xC8\xE6 \xBA\xD2\xB0\xE8\xBD\xC2",                   // 3 흑 불계승
        "\xB9\xE9 \xBA\xD2\xB0\xE8\xBD\xC2",                   // 4 백 불계승
        "\xC8\xE6 \xBD\xC3\xB0\xA3 \xC3\xCA\xB0\xFA\xBD\xC2",  // 5 흑 시간 초과승
        "\xB9\xE9 \xBD\xC3\xB0\xA3 \xC3\xCA\xB0\xFA\xBD\xC2",  // 6 백 시간 초과승
        "\xC8\xE6 \xBD\xC3\xB0\xA3\xBD\xC2",                   // 7 흑 시간승
        "\xB9\xE9 \xBD\xC3\xB0\xA3\xBD\xC2",                   // 8 백 시간승
    },
    {
        // Traditional Chinese, Big5.
        "\xB6\xC2",                          // 0 黑
        "\xA5\xD5",                          // 1 白
        "\xB5\x4C\xB3\xD3\xAD\x74",          // 2 無勝負
        "\xB6\xC2\xA4\xA4\xBD\x4C\xB3\xD3",  // 3 黑中盤勝
        "\xA5\xD5\xA4\xA4\xBD\x4C\xB3\xD3",  // 4 白中盤勝
        "\xB6\xC2\xB6\x57\xAE\xC9\xB3\xD3",  // 5 黑超時勝
        "\xA5\xD5\xB6\x57\xAE\xC9\xB3\xD3",  // 6 白超時勝
        "\xB6\xC2\xAE\xC9\xB6\xA1\xB3\xD3",  // 7 黑時間勝
        "\xA5\xD5\xAE\xC9\xB6\xA1\xB3\xD3",  // 8 白時間勝
    },
    {
        // Simplified Chinese, GBK. Every row ends in a blank; row 8 has no 棋.
        "\xBA\xDA ",                                  // 0 ‘黑 ’
        "\xB0\xD7 ",                                  // 1 ‘白 ’
        "\xBA\xCD\xC6\xE5 ",                          // 2 ‘和棋 ’
        "\xBA\xDA\xC6\xE5\xD6\xD0\xC5\xCC\xCA\xA4 ",  // 3 ‘黑棋中盘胜 ’
        "\xB0\xD7\xC6\xE5\xD6\xD0\xC5\xCC\xCA\xA4 ",  // 4 ‘白棋中盘胜 ’
        "\xBA\xDA\xC6\xE5\xB3\xAC\xCA\xB1\xCA\xA4 ",  // 5 ‘黑棋超时胜 ’
        "\xB0\xD7\xC6\xE5\xB3\xAC\xCA\xB1\xCA\xA4 ",  // 6 ‘白棋超时胜 ’
        "\xBA\xDA\xC6\xE5\xCA\xB1\xBC\xE4\xCA\xA4 ",  // 7 ‘黑棋时间胜 ’
        "\xB0\xD7 \xCA\xB1\xBC\xE4\xCA\xA4 ",         // 8 ‘白 时间胜 ’
    },
    {
        // Japanese, Shift-JIS. Rows 5 and 7 are the same text; only row 6 has 越え.
        "\x8D\x95",                                          // 0 黒
        "\x94\x92",                                          // 1 白
        "\x88\xF8\x95\xAA\x82\xAF",                          // 2 引分け
        "\x8D\x95\x92\x86\x89\x9F\x82\xB5\x8F\x9F",          // 3 黒中押し勝
        "\x94\x92\x92\x86\x89\x9F\x82\xB5\x8F\x9F",          // 4 白中押し勝
        "\x8D\x95\x8E\x9E\x8A\xD4\x8F\x9F",                  // 5 黒時間勝
        "\x94\x92\x8E\x9E\x8A\xD4\x89\x7A\x82\xA6\x8F\x9F",  // 6 白時間越え勝
        "\x8D\x95\x8E\x9E\x8A\xD4\x8F\x9F",                  // 7 黒時間勝
        "\x94\x92\x8E\x9E\x8A\xD4\x8F\x9F",                  // 8 白時間勝
    },
};

// Level code = row: 0-17 kyu (18 down to 1), 18-26 dan (1 to 9), 27-35 professional dan.
// 级 BC B6, 段 B6 CE, 职业 D6 B0 D2 B5.
const char g_szLevel[kLevelCount][kTextSlot] = {
    "18\xBC\xB6",                    // 0  18级
    "17\xBC\xB6",                    // 1  17级
    "16\xBC\xB6",                    // 2  16级
    "15\xBC\xB6",                    // 3  15级
    "14\xBC\xB6",                    // 4  14级
    "13\xBC\xB6",                    // 5  13级
    "12\xBC\xB6",                    // 6  12级
    "11\xBC\xB6",                    // 7  11级
    "10\xBC\xB6",                    // 8  10级
    "9\xBC\xB6",                     // 9  9级
    "8\xBC\xB6",                     // 10 8级
    "7\xBC\xB6",                     // 11 7级
    "6\xBC\xB6",                     // 12 6级
    "5\xBC\xB6",                     // 13 5级
    "4\xBC\xB6",                     // 14 4级
    "3\xBC\xB6",                     // 15 3级
    "2\xBC\xB6",                     // 16 2级
    "1\xBC\xB6",                     // 17 1级
    "1\xB6\xCE",                     // 18 1段
    "2\xB6\xCE",                     // 19 2段
    "3\xB6\xCE",                     // 20 3段
    "4\xB6\xCE",                     // 21 4段
    "5\xB6\xCE",                     // 22 5段
    "6\xB6\xCE",                     // 23 6段
    "7\xB6\xCE",                     // 24 7段
    "8\xB6\xCE",                     // 25 8段
    "9\xB6\xCE",                     // 26 9段
    "\xD6\xB0\xD2\xB5\x31\xB6\xCE",  // 27 职业1段
    "\xD6\xB0\xD2\xB5\x32\xB6\xCE",  // 28 职业2段
    "\xD6\xB0\xD2\xB5\x33\xB6\xCE",  // 29 职业3段
    "\xD6\xB0\xD2\xB5\x34\xB6\xCE",  // 30 职业4段
    "\xD6\xB0\xD2\xB5\x35\xB6\xCE",  // 31 职业5段
    "\xD6\xB0\xD2\xB5\x36\xB6\xCE",  // 32 职业6段
    "\xD6\xB0\xD2\xB5\x37\xB6\xCE",  // 33 职业7段
    "\xD6\xB0\xD2\xB5\x38\xB6\xCE",  // 34 职业8段
    "\xD6\xB0\xD2\xB5\x39\xB6\xCE",  // 35 职业9段
};

// The compact form: the same amateur rows, professionals as ‘P N段’.
const char g_szLevel2[kLevelCount][kTextSlot] = {
    "18\xBC\xB6",   // 0  18级
    "17\xBC\xB6",   // 1  17级
    "16\xBC\xB6",   // 2  16级
    "15\xBC\xB6",   // 3  15级
    "14\xBC\xB6",   // 4  14级
    "13\xBC\xB6",   // 5  13级
    "12\xBC\xB6",   // 6  12级
    "11\xBC\xB6",   // 7  11级
    "10\xBC\xB6",   // 8  10级
    "9\xBC\xB6",    // 9  9级
    "8\xBC\xB6",    // 10 8级
    "7\xBC\xB6",    // 11 7级
    "6\xBC\xB6",    // 12 6级
    "5\xBC\xB6",    // 13 5级
    "4\xBC\xB6",    // 14 4级
    "3\xBC\xB6",    // 15 3级
    "2\xBC\xB6",    // 16 2级
    "1\xBC\xB6",    // 17 1级
    "1\xB6\xCE",    // 18 1段
    "2\xB6\xCE",    // 19 2段
    "3\xB6\xCE",    // 20 3段
    "4\xB6\xCE",    // 21 4段
    "5\xB6\xCE",    // 22 5段
    "6\xB6\xCE",    // 23 6段
    "7\xB6\xCE",    // 24 7段
    "8\xB6\xCE",    // 25 8段
    "9\xB6\xCE",    // 26 9段
    "P 1\xB6\xCE",  // 27 P 1段
    "P 2\xB6\xCE",  // 28 P 2段
    "P 3\xB6\xCE",  // 29 P 3段
    "P 4\xB6\xCE",  // 30 P 4段
    "P 5\xB6\xCE",  // 31 P 5段
    "P 6\xB6\xCE",  // 32 P 6段
    "P 7\xB6\xCE",  // 33 P 7段
    "P 8\xB6\xCE",  // 34 P 8段
    "P 9\xB6\xCE",  // 35 P 9段
};

}  // namespace gibo
