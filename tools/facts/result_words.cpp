// The result vocabulary. The forms are the library's own result table in its four languages,
// the Western notation, and the phrasings Chinese, Korean and Japanese game reports use;
// every pattern reads the same way in all of them (nothing depends on context).
#include "result_words.h"

namespace facts {

const ResultPattern kResultPatterns[] = {
    // Wins by resignation: 黑中盘胜, 白中盤勝, 黒中押し勝ち, 흑 불계승, B+R.
    {U"{C}中盘胜", Side::kNamed, WinKind::kResignation},
    {U"{C}[の]中押[し]胜[ち]", Side::kNamed, WinKind::kResignation},
    {U"{C}불계승", Side::kNamed, WinKind::kResignation},
    {U"{E}+r", Side::kNamed, WinKind::kResignation},
    {U"{E}+resign[ation]", Side::kNamed, WinKind::kResignation},
    {U"{E}winsbyresignation", Side::kNamed, WinKind::kResignation},
    {U"{E}wonbyresignation", Side::kNamed, WinKind::kResignation},
    // The named side resigned: 黑棋认输, 黑方投子, 白投子认负, 黑中盘负, 黒が投了, 흑 기권,
    // 흑 불계패, Black resigns.
    {U"{C}认输", Side::kOther, WinKind::kResignation},
    {U"{C}认负", Side::kOther, WinKind::kResignation},
    {U"{C}投子[认输|认负]", Side::kOther, WinKind::kResignation},
    {U"{C}中盘负", Side::kOther, WinKind::kResignation},
    {U"{C}[が]投了", Side::kOther, WinKind::kResignation},
    {U"{C}[の]中押[し]负[け]", Side::kOther, WinKind::kResignation},
    {U"{C}기권", Side::kOther, WinKind::kResignation},
    {U"{C}불계패", Side::kOther, WinKind::kResignation},
    {U"{E}resigns", Side::kOther, WinKind::kResignation},
    {U"{E}resigned", Side::kOther, WinKind::kResignation},
    // Wins by points: 黑胜3目半, 白胜1/4子, 黒3目半勝ち, 흑 3집반 승, W+3.5.
    {U"{C}胜{P}", Side::kNamed, WinKind::kPoints},
    {U"{C}胜{S}", Side::kNamed, WinKind::kPoints},
    {U"{C}[の]{P}胜[ち]", Side::kNamed, WinKind::kPoints},
    {U"{C}{P}승", Side::kNamed, WinKind::kPoints},
    {U"{C}[の]{P}负[け]", Side::kOther, WinKind::kPoints},
    {U"{C}{P}패", Side::kOther, WinKind::kPoints},
    {U"{E}+{N}", Side::kNamed, WinKind::kPoints},
    {U"{E}winsby{N}point[s]", Side::kNamed, WinKind::kPoints},
    {U"{E}wonby{N}point[s]", Side::kNamed, WinKind::kPoints},
    // The bare colour word of the library's table rows 0 and 1: a win by score.
    {U"{K}", Side::kNamed, WinKind::kPoints},
    // Wins on time: 黑超时胜, 白時間勝, 白時間越え勝, 黒時間切れ勝ち, 흑 시간 초과승, B+T.
    {U"{C}超时胜", Side::kNamed, WinKind::kTime},
    {U"{C}时间[越え]胜[ち]", Side::kNamed, WinKind::kTime},
    {U"{C}[の]时间切れ胜[ち]", Side::kNamed, WinKind::kTime},
    {U"{C}시간[초과]승", Side::kNamed, WinKind::kTime},
    {U"{E}+t[ime]", Side::kNamed, WinKind::kTime},
    {U"{E}winsontime", Side::kNamed, WinKind::kTime},
    {U"{E}wonontime", Side::kNamed, WinKind::kTime},
    // The named side lost on time: 黑超时负, 白超时判负, 黒の時間切れ負け, 흑 시간패.
    {U"{C}超时[判]负", Side::kOther, WinKind::kTime},
    {U"{C}[の]时间切れ负[け]", Side::kOther, WinKind::kTime},
    {U"{C}시간[초과]패", Side::kOther, WinKind::kTime},
    // Wins by forfeit or a ruling: 白不战胜, 黒の反則勝ち, 흑 부전승, B+F; the named side
    // forfeited or was ruled out: 黑弃权, 白判负, 黑犯规负, 黒の反則負け, 흑 반칙패.
    {U"{C}不战胜[ち]", Side::kNamed, WinKind::kForfeit},
    {U"{C}[の]反则胜[ち]", Side::kNamed, WinKind::kForfeit},
    {U"{C}부전승", Side::kNamed, WinKind::kForfeit},
    {U"{C}반칙승", Side::kNamed, WinKind::kForfeit},
    {U"{E}+f[orfeit]", Side::kNamed, WinKind::kForfeit},
    {U"{E}winsbyforfeit", Side::kNamed, WinKind::kForfeit},
    {U"{E}wonbyforfeit", Side::kNamed, WinKind::kForfeit},
    {U"{C}弃权[负]", Side::kOther, WinKind::kForfeit},
    {U"{C}判负", Side::kOther, WinKind::kForfeit},
    {U"{C}犯规负", Side::kOther, WinKind::kForfeit},
    {U"{C}[の]反则负[け]", Side::kOther, WinKind::kForfeit},
    {U"{C}반칙패", Side::kOther, WinKind::kForfeit},
    // The winner alone: 黑胜, 白勝ち, 흑승, B+; the loser alone: 黑负, 黒負け, 흑패.
    {U"{C}胜[ち]", Side::kNamed, WinKind::kUnknown},
    {U"{C}승", Side::kNamed, WinKind::kUnknown},
    {U"{E}+", Side::kNamed, WinKind::kUnknown},
    {U"{E}wins", Side::kNamed, WinKind::kUnknown},
    {U"{E}won", Side::kNamed, WinKind::kUnknown},
    {U"{C}负[け]", Side::kOther, WinKind::kUnknown},
    {U"{C}패", Side::kOther, WinKind::kUnknown},
    // Draws and games without a winner: 和棋, 和局, 平局, 無勝負, 持碁, 引き分け, 무승부, 빅, Jigo.
    {U"和棋", Side::kNone, WinKind::kDraw},
    {U"和局", Side::kNone, WinKind::kDraw},
    {U"平局", Side::kNone, WinKind::kDraw},
    {U"无胜负", Side::kNone, WinKind::kDraw},
    {U"持碁", Side::kNone, WinKind::kDraw},
    {U"引[き]分[け]", Side::kNone, WinKind::kDraw},
    {U"무승부", Side::kNone, WinKind::kDraw},
    {U"빅", Side::kNone, WinKind::kDraw},
    {U"draw", Side::kNone, WinKind::kDraw},
    {U"jigo", Side::kNone, WinKind::kDraw},
    {U"ジゴ", Side::kNone, WinKind::kDraw},
};

const size_t kResultPatternCount = sizeof kResultPatterns / sizeof kResultPatterns[0];

char32_t FoldResultChar(char32_t cp) {
    // Traditional (and Japanese) form, then the Simplified one the patterns use.
    static const char32_t kFolds[][2] = {
        {U'黒', U'黑'}, {U'勝', U'胜'}, {U'盤', U'盘'}, {U'時', U'时'},
        {U'間', U'间'}, {U'認', U'认'}, {U'輸', U'输'}, {U'負', U'负'},
        {U'無', U'无'}, {U'權', U'权'}, {U'権', U'权'}, {U'棄', U'弃'},
        {U'戰', U'战'}, {U'戦', U'战'}, {U'則', U'则'}, {U'規', U'规'},
    };
    for (const auto& fold : kFolds) {
        if (fold[0] == cp) {
            return fold[1];
        }
    }
    return cp;
}

}  // namespace facts
