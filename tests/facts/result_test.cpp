// Results as people write them: understood only where certain.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "GiboFile.h"
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

TEST(ResultTest, NamesForStorage) {
    const char* const winners[] = {"unknown", "black", "white", "draw"};
    const char* const kinds[] = {"unknown", "points", "resignation", "time", "forfeit", "draw"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_STREQ(facts::KindName(static_cast<WinKind>(k)), kinds[k]);
        EXPECT_STREQ(facts::WinnerName(static_cast<Winner>(k % 4)), winners[k % 4]);
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

// The rows of the library's result table in their code pages (codes 0 to 8 in each block).
// The library's own lookup checks the transcription; the text, read in its code page, must
// then mean what its code means.
TEST(ResultTest, EveryRowOfTheLibrarysTableIsUnderstood) {
    const struct {
        const char* codepage;
        const char* rows;  // codes 0 to 8, each ended by a newline
    } blocks[] = {
        {"CP949",
         "\xc8\xe6 \n\xb9\xe9 \n\xb9\xab\xbd\xc2\xba\xce\n\xc8\xe6 \xba\xd2\xb0\xe8\xbd\xc2\n"
         "\xb9\xe9 \xba\xd2\xb0\xe8\xbd\xc2\n\xc8\xe6 \xbd\xc3\xb0\xa3 \xc3\xca\xb0\xfa\xbd\xc2\n"
         "\xb9\xe9 \xbd\xc3\xb0\xa3 \xc3\xca\xb0\xfa\xbd\xc2\n\xc8\xe6 \xbd\xc3\xb0\xa3\xbd\xc2\n"
         "\xb9\xe9 \xbd\xc3\xb0\xa3\xbd\xc2\n"},
        {"BIG5",
         "\xb6\xc2\n\xa5\xd5\n\xb5\x4c\xb3\xd3\xad\x74\n\xb6\xc2\xa4\xa4\xbd\x4c\xb3\xd3\n"
         "\xa5\xd5\xa4\xa4\xbd\x4c\xb3\xd3\n\xb6\xc2\xb6\x57\xae\xc9\xb3\xd3\n"
         "\xa5\xd5\xb6\x57\xae\xc9\xb3\xd3\n\xb6\xc2\xae\xc9\xb6\xa1\xb3\xd3\n"
         "\xa5\xd5\xae\xc9\xb6\xa1\xb3\xd3\n"},
        {"SHIFT_JIS",
         "\x8d\x95\n\x94\x92\n\x88\xf8\x95\xaa\x82\xaf\n\x8d\x95\x92\x86\x89\x9f\x82\xb5\x8f\x9f\n"
         "\x94\x92\x92\x86\x89\x9f\x82\xb5\x8f\x9f\n\x8d\x95\x8e\x9e\x8a\xd4\x8f\x9f\n"
         "\x94\x92\x8e\x9e\x8a\xd4\x89\x7a\x82\xa6\x8f\x9f\n\x8d\x95\x8e\x9e\x8a\xd4\x8f\x9f\n"
         "\x94\x92\x8e\x9e\x8a\xd4\x8f\x9f\n"},
    };
    CGiboFile file;
    for (const auto& block : blocks) {
        std::stringstream rows(block.rows);
        std::string bytes;
        int code = 0;
        for (; std::getline(rows, bytes); ++code) {
            const facts::GameResult meant = facts::ResultFromCode(code, 0);
            const facts::GameResult library =
                facts::ResultFromCode(file.CompareOtherNationResult(CString(bytes.c_str())), 0);
            ASSERT_EQ(library.winner, meant.winner) << block.codepage << " " << code;
            ASSERT_EQ(library.kind, meant.kind) << block.codepage << " " << code;
            const facts::GameResult r = facts::ParseGameResult(ToUtf8(bytes, block.codepage));
            EXPECT_EQ(r.winner, meant.winner) << r.text;
            EXPECT_EQ(r.kind, meant.kind) << r.text;
        }
        EXPECT_EQ(code, 9);
    }
    for (int code = 0; code < 9; ++code) {  // the GBK block, as the library returns it
        const facts::GameResult r = facts::ParseGameResult(
            ToUtf8(file.GetDeakukResult(static_cast<unsigned char>(code)), "GBK"));
        EXPECT_EQ(r.winner, facts::ResultFromCode(code, 0).winner) << r.text;
        EXPECT_EQ(r.kind, facts::ResultFromCode(code, 0).kind) << r.text;
    }
}
#endif

}  // namespace
