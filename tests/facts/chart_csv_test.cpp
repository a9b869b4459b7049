// Export: CSV rows and terminal bar charts.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "bar_chart.h"
#include "csv.h"
#include "utf8_text.h"

namespace {

TEST(CsvTest, FieldsAreQuotedOnlyWhereNeeded) {
    const struct {
        const char* value;
        const char* field;
    } cases[] = {
        {"柯洁", "柯洁"},
        {"", ""},
        {"이세돌, 9단", "\"이세돌, 9단\""},
        {"say \"jigo\"", "\"say \"\"jigo\"\"\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+cmd", "'+cmd"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"＝1+1", "'＝1+1"},
        {"\tx", "'\tx"},
        {"-0.5", "-0.5"},
        {"-1.2.3", "'-1.2.3"},
        {"-a1", "'-a1"},
        {"+9", "+9"},
        {"-", "'-"},
        {"B+R", "B+R"},
        {"\xff\xfe", "\xef\xbf\xbd\xef\xbf\xbd"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(facts::CsvField(c.value), c.field) << c.value;
    }
    facts::CsvOptions raw;
    raw.guard_formulas = false;
    EXPECT_EQ(facts::CsvField("=1+1", raw), "=1+1");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The column where a line's bar begins: after the label and its padding.
int BarColumn(const std::string& line, const char* glyph) {
    return facts::DisplayWidth(line.substr(0, line.find(glyph)));
}

TEST(ChartTest, BarsStartInOneColumnWhateverTheLabelsScript) {
    const std::vector<facts::ChartRow> rows = {
        {"柯洁", {12}}, {"Lee Sedol", {3}}, {"井山裕太", {7}}, {"이세돌", {1}}, {"x\x1b[2J", {5}}};
    facts::ChartStyle style;
    style.width = 60;
    const auto lines = Lines(facts::BarChart(rows, style));
    ASSERT_EQ(lines.size(), rows.size());
    for (const std::string& line : lines) {
        EXPECT_EQ(BarColumn(line, "\xe2\x96"), BarColumn(lines[0], "\xe2\x96")) << line;
        EXPECT_LE(facts::DisplayWidth(line), style.width) << line;
        EXPECT_EQ(line.find('\x1b'), std::string::npos);
    }
    EXPECT_EQ(lines[0].substr(lines[0].size() - 3), " 12");
    EXPECT_EQ(lines[1].substr(0, 11), "Lee Sedol  ");
    EXPECT_EQ(lines[4].substr(0, 5), "x?[2J");
}

TEST(ChartTest, OneSeriesIsDrawnInEighthsOfAColumn) {
    facts::ChartStyle style;
    style.width = 40;
    // 40 columns less the label, the number and four of spacing: bars of 34 columns, so
    // 1 of 8 is 4.25 columns: four blocks and a quarter block.
    const auto lines = Lines(facts::BarChart({{"a", {8}}, {"b", {1}}, {"c", {0}}}, style));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "b  \u2588\u2588\u2588\u2588\u258e 1");
    EXPECT_EQ(lines[2], "c  0");
}

TEST(Utf8Test, DecodingReplacesWhatIsNotUtf8) {
    const struct {
        const char* bytes;
        std::u32string chars;
    } cases[] = {
        {"a\u00e9\u4e2d\U0001F600", U"a\u00e9\u4e2d\U0001F600"},
        {"\x80x", U"\uFFFDx"},
        {"\xc0\xafx", U"\uFFFD\uFFFDx"},
        {"\xe0\x80\xafx", U"\uFFFD\uFFFD\uFFFDx"},
        {"\xed\xa0\x80\xed\xbf\xbf", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xf4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xe4\xb8", U"\uFFFD\uFFFD"},
        {"\xef\xbf\xbd", U"\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(facts::DecodeUtf8(c.bytes), c.chars) << c.bytes;
    }
    for (char32_t cp : {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF}) {
        EXPECT_EQ(facts::DecodeUtf8(facts::EncodeUtf8(std::u32string(1, cp))),
                  std::u32string(1, cp));
    }
    EXPECT_EQ(facts::EncodeUtf8(U"\x110000\xdfff"), "\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(facts::DisplayWidth("a\u4e2d\u0301\uac00\uff21\x1b"), 1 + 2 + 0 + 2 + 2 + 0);
    EXPECT_EQ(facts::DisplayWidth(" \x1f\x7f\u009f\u00a0"), 1 + 0 + 0 + 0 + 1);
}

TEST(ChartTest, AsciiStyleDrawsOnlyAscii) {
    facts::ChartStyle style;
    style.unicode = false;
    style.width = 40;
    style.series = {"wins", "losses"};
    const std::string chart = facts::BarChart({{"2021", {8, 4}}, {"2022", {0, 2}}}, style);
    for (unsigned char c : chart) {
        EXPECT_LT(c, 0x80);
    }
    const auto lines = Lines(chart);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "# wins  . losses");
    EXPECT_NE(lines[1].find("#"), std::string::npos);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), " 8/4");
    EXPECT_EQ(lines[2].find('#'), std::string::npos);  // no wins, no win glyph
    EXPECT_NE(lines[2].find('.'), std::string::npos);
}

TEST(ChartTest, LongLabelsAreCutOnACharacterBoundary) {
    facts::ChartStyle style;
    style.width = 30;  // labels get a third
    const auto lines = Lines(facts::BarChart({{"第28届三星火灾杯世界围棋大师赛", {1}}}, style));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(".."), std::string::npos);
    EXPECT_LE(BarColumn(lines[0], "\xe2\x96"), 12);
    EXPECT_EQ(facts::EncodeUtf8(facts::DecodeUtf8(lines[0])), lines[0]);
    EXPECT_TRUE(facts::BarChart({}, style).empty());
}

TEST(ChartTest, Utf8CodesetNames) {
    for (const char* name : {"UTF-8", "utf8", "UTF8", "utf-8"}) {
        EXPECT_TRUE(facts::CodesetIsUtf8(name)) << name;
    }
    for (const char* name : {"GBK", "EUC-KR", "ANSI_X3.4-1968", "", "UTF-16"}) {
        EXPECT_FALSE(facts::CodesetIsUtf8(name)) << name;
    }
}

}  // namespace
