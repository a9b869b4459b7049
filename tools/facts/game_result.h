// Game results as people write them, read only where the reading is certain.
//
// A record's GAMERESULT text may say who won in Chinese (Simplified or Traditional), Korean,
// Japanese or the common Western notation: 黑棋认输, 黑方投子, 黒が投了, 흑 기권 (black
// resigned), 白中盘胜, 백 불계승, 白中押し勝ち (white by resignation), 黑胜3目半, 黑胜 3.5目,
// 黑胜1/4子, 흑 3집반 승, 黒3目半勝ち (black by 3.5 points; a stone of Chinese counting is two
// points), 黑超时负 (white on time), 和棋, 무승부, 持碁 (draw), B+R, W+3.5, B+T, Draw, Jigo.
// Every text must match one of the known forms whole, after blanks are dropped; anything else,
// a margin without its unit (黑胜3.5) or a margin of zero included, is an unknown result with
// the text kept. A wrong winner is worse than none.
#ifndef GIBO_TOOLS_FACTS_GAME_RESULT_H
#define GIBO_TOOLS_FACTS_GAME_RESULT_H

#include <string>

namespace facts {

enum class Winner { kUnknown, kBlack, kWhite, kDraw };
enum class WinKind { kUnknown, kPoints, kResignation, kTime, kForfeit, kDraw };

struct GameResult {
    std::string text;  // the text as given (empty for ResultFromCode)
    Winner winner = Winner::kUnknown;
    WinKind kind = WinKind::kUnknown;  // unknown also where the winner alone is stated (黑胜)
    double margin = 0;                 // in points; 0 when not given
    bool known() const { return winner != Winner::kUnknown; }
};

// The result a UTF-8 text states for certain, or an unknown one with the text kept.
GameResult ParseGameResult(const std::string& text);

// The result of the library's result code (0 to 8, the rows of its result table; 0 and 1 are
// wins by score, with the margin in tenths of a point). Any other code, 255 (result given as
// text) among them, is unknown.
GameResult ResultFromCode(int code, int margin_tenths);

// "black", "white", "draw", "unknown" and "points", "resignation", "time", "forfeit", "draw",
// "unknown": the words the index stores and the commands print.
const char* WinnerName(Winner winner);
const char* KindName(WinKind kind);

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_GAME_RESULT_H
