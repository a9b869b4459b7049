// Results as people write them: understood only where certain.
#include <gtest/gtest.h>

#include <string>

#include "display/Tables.h"
#include "game_result.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

using facts::WinKind;
using facts::Winner;

struct ResultCase {
    const char* text;
    Winner winner;
    WinKind kind;
    double margin;
};

const Winner B = Winner::kBlack;
const Winner W = Winner::kWhite;
const Winner D = Winner::kDraw;
const Winner U = Winner::kUnknown;

const WinKind kRes = WinKind::kResignation;
const WinKind kPts = WinKind::kPoints;
const WinKind kTime = WinKind::kTime;
const WinKind kForfeit = WinKind::kForfeit;
const WinKind kNone = WinKind::kUnknown;

// clang-format off
const ResultCase kCases[] = {
    // Black resigned, in every language: white wins by resignation.
    {"黑棋认输", W, kRes, 0},   {"黑方投子", W, kRes, 0},   {"黑方投子認負", W, kRes, 0},
    {"黒が投了", W, kRes, 0},   {"흑 기권", W, kRes, 0},    {"흑 불계패", W, kRes, 0},
    {"Black resigns", W, kRes, 0},
    // Wins by resignation.
    {"白中盘胜", W, kRes, 0},   {"白棋中盘胜", W, kRes, 0}, {"白中盤勝", W, kRes, 0},
    {"백 불계승", W, kRes, 0},  {"白中押し勝ち", W, kRes, 0}, {"黒番中押し勝", B, kRes, 0},
    {"W+R", W, kRes, 0},        {"ｂ＋Ｒｅｓｉｇｎ", B, kRes, 0},
    // Points, in each unit and numeral.
    {"黑胜3目半", B, kPts, 3.5}, {"黑胜 3.5目", B, kPts, 3.5},  {"黑胜两目半", B, kPts, 2.5},
    {"白勝半目", W, kPts, 0.5},  {"黑胜1/4子", B, kPts, 0.5},   {"黑胜3又3/4子", B, kPts, 7.5},
    {"白胜四分之三子", W, kPts, 1.5}, {"白胜1.75子", W, kPts, 3.5}, {"黑胜1/2子", B, kPts, 1},
    {"흑 3집반 승", B, kPts, 3.5}, {"백 반집승", W, kPts, 0.5},  {"흑 1집반 패", W, kPts, 1.5},
    {"黒3目半勝ち", B, kPts, 3.5}, {"白の十二目勝", W, kPts, 12}, {"黒２目半負け", W, kPts, 2.5},
    {"W+3.5", W, kPts, 3.5}, {"White wins by 0.5 points", W, kPts, 0.5}, {"黑胜2子", B, kPts, 4},
    // Time and forfeit.
    {"黑超时负", W, kTime, 0},   {"白超時勝", W, kTime, 0},   {"黒の時間切れ負け", W, kTime, 0},
    {"흑 시간 초과승", B, kTime, 0}, {"B+T", B, kTime, 0},    {"白不战胜", W, kForfeit, 0},
    {"黒の反則負け", W, kForfeit, 0}, {"흑 반칙패", W, kForfeit, 0}, {"W+F", W, kForfeit, 0},
    // The winner alone; draws.
    {"黑胜", B, kNone, 0},       {"백승", W, kNone, 0},       {"黒負け", W, kNone, 0},
    {"B+", B, kNone, 0},         {"和棋", D, WinKind::kDraw, 0}, {"和局", D, WinKind::kDraw, 0},
    {"무승부", D, WinKind::kDraw, 0}, {"持碁", D, WinKind::kDraw, 0},
    {"引き分け", D, WinKind::kDraw, 0}, {"Jigo", D, WinKind::kDraw, 0},
    {"DRAW", D, WinKind::kDraw, 0},
    // Not certain: a unit missing, a margin no rule gives, words left over, both colours, a
    // bare number (the library's code 0, or a draw?), damage.
    {"黑胜3.5", U, kNone, 0},    {"黑胜3.5目半", U, kNone, 0}, {"黑胜3.7目", U, kNone, 0},
    {"黑胜0目", U, kNone, 0},    {"黑胜1/3子", U, kNone, 0},   {"黑胜4/4子", U, kNone, 0},
    {"B+0", U, kNone, 0},        {"B+R+", U, kNone, 0},        {"黑胜3目半!", U, kNone, 0},
    {"黑白", U, kNone, 0},       {"黑中盘胜白", U, kNone, 0},  {"0", U, kNone, 0},
    {"1", U, kNone, 0},          {"?", U, kNone, 0},           {"Void", U, kNone, 0},
    {"打ち掛け", U, kNone, 0},   {"", U, kNone, 0},            {"\xe9\xbb", U, kNone, 0},
};
// clang-format on

TEST(ResultTest, TextsUnderstoodOnlyWhereCertain) {
    for (const ResultCase& c : kCases) {
        const facts::GameResult r = facts::ParseGameResult(c.text);
        EXPECT_EQ(r.winner, c.winner) << c.text;
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_DOUBLE_EQ(r.margin, c.margin) << c.text;
        EXPECT_EQ(r.text, c.text);
    }
}

TEST(ResultTest, LibraryCodesMapToTheSameFacts) {
    struct {
        int code, tenths;
        Winner winner;
        WinKind kind;
        double margin;
    } const cases[] = {
        {0, 65, B, kPts, 6.5}, {1, 5, W, kPts, 0.5},          {1, 0, W, kPts, 0},
        {1, -5, W, kPts, 0},   {2, 65, D, WinKind::kDraw, 0}, {3, 0, B, kRes, 0},
        {4, 0, W, kRes, 0},    {5, 0, B, kTime, 0},           {8, 0, W, kTime, 0},
        {9, 0, U, kNone, 0},   {255, 0, U, kNone, 0},         {-1, 0, U, kNone, 0},
    };
    for (const auto& c : cases) {
        const facts::GameResult r = facts::ResultFromCode(c.code, c.tenths);
        EXPECT_EQ(r.winner, c.winner) << c.code;
        EXPECT_EQ(r.kind, c.kind) << c.code;
        EXPECT_DOUBLE_EQ(r.margin, c.margin) << c.code;
    }
}

#ifndef _WIN32
std::string ToUtf8(const std::string& bytes, const char* codepage) {
    iconv_t cd = iconv_open("UTF-8", codepage);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string();
    }
    std::string in = bytes;
    std::string out(in.size() * 4, '\0');
    char* src = &in[0];
    char* dst = &out[0];
    size_t left = in.size();
    size_t room = out.size();
    const bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1);
    iconv_close(cd);
    return ok ? out.substr(0, out.size() - room) : std::string();
}

// Every row of the library's result table, read in its block's code page, means what its code
// means.
TEST(ResultTest, EveryRowOfTheLibrarysTableIsUnderstood) {
    const char* const codepages[gibo::kResultBlockCount] = {"CP949", "BIG5", "GBK", "SHIFT_JIS"};
    for (int block = 0; block < gibo::kResultBlockCount; ++block) {
        for (int code = 0; code < gibo::kResultCount; ++code) {
            const facts::GameResult meant = facts::ResultFromCode(code, 0);
            const facts::GameResult r = facts::ParseGameResult(
                ToUtf8(gibo::g_szDeakukResult[block][code], codepages[block]));
            EXPECT_EQ(r.winner, meant.winner) << codepages[block] << " " << code << " " << r.text;
            EXPECT_EQ(r.kind, meant.kind) << codepages[block] << " " << code << " " << r.text;
        }
    }
}
#endif

}  // namespace
