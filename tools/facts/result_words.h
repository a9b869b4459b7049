// The vocabulary of result texts: the forms a result is written in, as patterns over the
// folded text, and the folding of Traditional and Japanese characters to the Simplified ones
// the patterns are written with.
#ifndef GIBO_TOOLS_FACTS_RESULT_WORDS_H
#define GIBO_TOOLS_FACTS_RESULT_WORDS_H

#include <cstddef>

#include "game_result.h"

namespace facts {

// Who wins, relative to the colour a pattern names.
enum class Side { kNamed, kOther, kNone };

// A pattern is matched against the whole folded text (no blanks, ASCII lower case):
//   {C}  a colour word (黑, 白, 黑棋, 白方, 黑番, 흑, 백, ...)
//   {K}  a bare colour word as the library's result table has it (黑, 白, 흑, 백)
//   {E}  a Western colour (b, w, black, white)
//   {P}  a margin in points (3目半, 3.5目, 半目, 三目半, 3집반, 반집)
//   {S}  a margin in stones of Chinese counting (1/4子, 3又3/4子, 四分之一子), two points each
//   {N}  a bare number of points, as Western notation writes it (3.5)
//   [x]  the characters x or nothing; [x|y] x, y or nothing
struct ResultPattern {
    const char32_t* pattern;
    Side side;
    WinKind kind;
};

extern const ResultPattern kResultPatterns[];
extern const size_t kResultPatternCount;

// The Simplified form of a Traditional or Japanese character of the result vocabulary (黒 is
// 黑, 勝 is 胜, 盤 is 盘, ...); any other character unchanged.
char32_t FoldResultChar(char32_t cp);

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_RESULT_WORDS_H
