// Results as people write them: understood only where certain.
#include <gtest/gtest.h>

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

const ResultCase kCases[] = {
    // Black resigned, in every language: white wins by resignation.
    {"黑棋认输", W, WinKind::kResignation, 0},
    {"黑方投子", W, WinKind::kResignation, 0},
    {"黑方投子認負", W, WinKind::kResignation, 0},
    {"黒が投了", W, WinKind::kResignation, 0},
    {"흑 기권", W, WinKind::kResignation, 0},
    {"흑 불계패", W, WinKind::kResignation, 0},
    {"Black resigns", W, WinKind::kResignation, 0},
    // White wins by resignation.
    {"白中盘胜", W, WinKind::kResignation, 0},
    {"白棋中盘胜", W, WinKind::kResignation, 0},
    {"白中盤勝", W, WinKind::kResignation, 0},
    {"백 불계승", W, WinKind::kResignation, 0},
    {"白中押し勝ち", W, WinKind::kResignation, 0},
    {"黒番中押し勝", B, WinKind::kResignation, 0},
    {"W+R", W, WinKind::kResignation, 0},
    {"ｂ＋Ｒｅｓｉｇｎ", B, WinKind::kResignation, 0},
    // Points, in each unit and numeral.
    {"黑胜3目半", B, WinKind::kPoints, 3.5},
    {"黑胜 3.5目", B, WinKind::kPoints, 3.5},
    {"黑胜三目半", B, WinKind::kPoints, 3.5},
    {"白勝半目", W, WinKind::kPoints, 0.5},
    {"黑胜1/4子", B, WinKind::kPoints, 0.5},
    {"黑胜3又3/4子", B, WinKind::kPoints, 7.5},
    {"白胜四分之三子", W, WinKind::kPoints, 1.5},
    {"白胜1.75子", W, WinKind::kPoints, 3.5},
    {"黑胜2子", B, WinKind::kPoints, 4},
    {"흑 3집반 승", B, WinKind::kPoints, 3.5},
    {"백 반집승", W, WinKind::kPoints, 0.5},
    {"흑 1집반 패", W, WinKind::kPoints, 1.5},
    {"黒3目半勝ち", B, WinKind::kPoints, 3.5},
    {"白の十二目勝", W, WinKind::kPoints, 12},
    {"黒２目半負け", W, WinKind::kPoints, 2.5},
    {"W+3.5", W, WinKind::kPoints, 3.5},
    {"White wins by 0.5 points", W, WinKind::kPoints, 0.5},
    // Time and forfeit.
    {"黑超时负", W, WinKind::kTime, 0},
    {"白超時勝", W, WinKind::kTime, 0},
    {"黒の時間切れ負け", W, WinKind::kTime, 0},
    {"흑 시간 초과승", B, WinKind::kTime, 0},
    {"B+T", B, WinKind::kTime, 0},
    {"白不战胜", W, WinKind::kForfeit, 0},
    {"黒の反則負け", W, WinKind::kForfeit, 0},
    {"흑 반칙패", W, WinKind::kForfeit, 0},
    {"W+F", W, WinKind::kForfeit, 0},
    // The winner alone.
    {"黑胜", B, WinKind::kUnknown, 0},
    {"백승", W, WinKind::kUnknown, 0},
    {"黒負け", W, WinKind::kUnknown, 0},
    {"B+", B, WinKind::kUnknown, 0},
    // Draws.
    {"和棋", D, WinKind::kDraw, 0},
    {"和局", D, WinKind::kDraw, 0},
    {"무승부", D, WinKind::kDraw, 0},
    {"持碁", D, WinKind::kDraw, 0},
    {"引き分け", D, WinKind::kDraw, 0},
    {"Jigo", D, WinKind::kDraw, 0},
    {"DRAW", D, WinKind::kDraw, 0},
    // Not certain: a unit missing, a margin no rule gives, words left over, both colours,
    // a bare number (the library's code 0 or a draw?), damage.
    {"黑胜3.5", U, WinKind::kUnknown, 0},
    {"黑胜3.5目半", U, WinKind::kUnknown, 0},
    {"黑胜3.7目", U, WinKind::kUnknown, 0},
    {"黑胜0目", U, WinKind::kUnknown, 0},
    {"黑胜1/3子", U, WinKind::kUnknown, 0},
    {"B+0", U, WinKind::kUnknown, 0},
    {"B+R+", U, WinKind::kUnknown, 0},
    {"黑胜3目半!", U, WinKind::kUnknown, 0},
    {"黑白", U, WinKind::kUnknown, 0},
    {"黑中盘胜白", U, WinKind::kUnknown, 0},
    {"0", U, WinKind::kUnknown, 0},
    {"1", U, WinKind::kUnknown, 0},
    {"?", U, WinKind::kUnknown, 0},
    {"Void", U, WinKind::kUnknown, 0},
    {"打ち掛け", U, WinKind::kUnknown, 0},
    {"", U, WinKind::kUnknown, 0},
    {"\xe9\xbb", U, WinKind::kUnknown, 0},
};

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
        {0, 65, B, WinKind::kPoints, 6.5},   {1, 5, W, WinKind::kPoints, 0.5},
        {1, 0, W, WinKind::kPoints, 0},      {2, 65, D, WinKind::kDraw, 0},
        {3, 0, B, WinKind::kResignation, 0}, {4, 0, W, WinKind::kResignation, 0},
        {5, 0, B, WinKind::kTime, 0},        {8, 0, W, WinKind::kTime, 0},
        {9, 0, U, WinKind::kUnknown, 0},     {255, 0, U, WinKind::kUnknown, 0},
        {-1, 0, U, WinKind::kUnknown, 0},
    };
    for (const auto& c : cases) {
        const facts::GameResult r = facts::ResultFromCode(c.code, c.tenths);
        EXPECT_EQ(r.winner, c.winner) << c.code;
        EXPECT_EQ(r.kind, c.kind) << c.code;
        EXPECT_DOUBLE_EQ(r.margin, c.margin) << c.code;
    }
}

TEST(ResultTest, NamesForStorage) {
    EXPECT_STREQ(facts::WinnerName(B), "black");
    EXPECT_STREQ(facts::WinnerName(W), "white");
    EXPECT_STREQ(facts::WinnerName(D), "draw");
    EXPECT_STREQ(facts::WinnerName(U), "unknown");
    const char* const kinds[] = {"unknown", "points", "resignation", "time", "forfeit", "draw"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_STREQ(facts::KindName(static_cast<WinKind>(k)), kinds[k]);
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
        const char* rows[9];
    } blocks[] = {
        {"CP949",
         {"\xc8\xe6 ", "\xb9\xe9 ", "\xb9\xab\xbd\xc2\xba\xce", "\xc8\xe6 \xba\xd2\xb0\xe8\xbd\xc2",
          "\xb9\xe9 \xba\xd2\xb0\xe8\xbd\xc2", "\xc8\xe6 \xbd\xc3\xb0\xa3 \xc3\xca\xb0\xfa\xbd\xc2",
          "\xb9\xe9 \xbd\xc3\xb0\xa3 \xc3\xca\xb0\xfa\xbd\xc2", "\xc8\xe6 \xbd\xc3\xb0\xa3\xbd\xc2",
          "\xb9\xe9 \xbd\xc3\xb0\xa3\xbd\xc2"}},
        {"BIG5",
         {"\xb6\xc2", "\xa5\xd5", "\xb5\x4c\xb3\xd3\xad\x74", "\xb6\xc2\xa4\xa4\xbd\x4c\xb3\xd3",
          "\xa5\xd5\xa4\xa4\xbd\x4c\xb3\xd3", "\xb6\xc2\xb6\x57\xae\xc9\xb3\xd3",
          "\xa5\xd5\xb6\x57\xae\xc9\xb3\xd3", "\xb6\xc2\xae\xc9\xb6\xa1\xb3\xd3",
          "\xa5\xd5\xae\xc9\xb6\xa1\xb3\xd3"}},
        {"SHIFT_JIS",
         {"\x8d\x95", "\x94\x92", "\x88\xf8\x95\xaa\x82\xaf",
          "\x8d\x95\x92\x86\x89\x9f\x82\xb5\x8f\x9f", "\x94\x92\x92\x86\x89\x9f\x82\xb5\x8f\x9f",
          "\x8d\x95\x8e\x9e\x8a\xd4\x8f\x9f", "\x94\x92\x8e\x9e\x8a\xd4\x89\x7a\x82\xa6\x8f\x9f",
          "\x8d\x95\x8e\x9e\x8a\xd4\x8f\x9f", "\x94\x92\x8e\x9e\x8a\xd4\x8f\x9f"}},
    };
    CGiboFile file;
    for (const auto& block : blocks) {
        for (int code = 0; code < 9; ++code) {
            const std::string bytes = block.rows[code];
            const facts::GameResult meant = facts::ResultFromCode(code, 0);
            const facts::GameResult library =
                facts::ResultFromCode(file.CompareOtherNationResult(CString(bytes.c_str())), 0);
            ASSERT_EQ(library.winner, meant.winner) << block.codepage << " " << code;
            ASSERT_EQ(library.kind, meant.kind) << block.codepage << " " << code;
            const facts::GameResult r = facts::ParseGameResult(ToUtf8(bytes, block.codepage));
            EXPECT_EQ(r.winner, meant.winner) << r.text;
            EXPECT_EQ(r.kind, meant.kind) << r.text;
        }
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
