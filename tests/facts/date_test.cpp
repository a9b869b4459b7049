// Dates as collections write them, in the four languages and the Western forms.
#include <gtest/gtest.h>

#include "date_scan.h"
#include "game_date.h"

namespace {

struct DateCase {
    const char* text;
    const char* iso;  // "" for no date
};

// Every form a record may carry, each with and without a time.
// clang-format off
const DateCase kUnderstood[] = {
    {"2023-05-01", "2023-05-01"},               {"2023.5.1", "2023-05-01"},
    {"2023. 5. 1.", "2023-05-01"},              {"2023/05/01", "2023-05-01"},
    {"20230501", "2023-05-01"},                 {"2023年5月1日", "2023-05-01"},
    {"２０２３年５月１日", "2023-05-01"},       {"2023년 5월 1일", "2023-05-01"},
    {"令和5年5月1日", "2023-05-01"},            {"平成元年1月8日", "1989-01-08"},
    {"民國112年5月1日", "2023-05-01"},          {"May 1, 2023", "2023-05-01"},
    {"1 Sept 2023", "2023-09-01"},              {"2024-02-29", "2024-02-29"},
    {"2000-02-29", "2000-02-29"},
    {"January 5, 2023", "2023-01-05"},          {"April 1, 2023", "2023-04-01"},
    {"2023-12-31 23:59", "2023-12-31T23:59"},   {"2023-05-01T09:30:59", "2023-05-01T09:30"},
    {"2013年1月7日 下午 2:5", "2013-01-07T14:05"},
    {"2023年5月1日 14時5分59秒", "2023-05-01T14:05"},
    {"2023年5月1日午後2時", "2023-05-01T14:00"},
    {"2023年5月1日 午前0時30分", "2023-05-01T00:30"},
    {"2023年5月1日 下午2点半", "2023-05-01T14:30"},
    {"2023년 5월 1일 14시 5분 30초", "2023-05-01T14:05"},
    {"2023년 5월 1일 오후 2시", "2023-05-01T14:00"},
    {"2023. 5. 1. 오전 10:15", "2023-05-01T10:15"},
    {"May 1, 2023, 2:05 PM", "2023-05-01T14:05"},
    {"2023年5月1日（月曜日） 14:05", "2023-05-01T14:05"},
    {"2023-05-01 (월) 14:05", "2023-05-01T14:05"},
    {"2023年5月1日 星期一 下午2点", "2023-05-01T14:00"},
    {"2023年5月1日 月曜日", "2023-05-01"},     {"2023년 5월 1일 월요일", "2023-05-01"},
    {"2023/5/1 (一)", "2023-05-01"},            {"2023-04-30 Sunday", "2023-04-30"},
    {"2023-04-30 (일)", "2023-04-30"},          {"2023年4月30日(日)", "2023-04-30"},
    {"2023年4月30日 星期天", "2023-04-30"},     {"2023", "2023"},
    {"2023年", "2023"},                         {"2023-05", "2023-05"},
    {"2023.5", "2023-05"},                      {"2023년 5월", "2023-05"},
    {"平成31年", "2019"},                       {"令和元年5月", "2019-05"}, {"令和元年", "2019"},
    {"平成31年4月30日", "2019-04-30"},
};
// clang-format on

// Damaged, ambiguous or unknown: never a date, whatever part of it looks right.
// clang-format off
const char* const kRefused[] = {
    "", "2023-13-01", "2023-00-10", "2023-05-32", "2023-02-29", "1900-02-29", "2023年2月30日",
    "2023년 4월 31일", "23.5.1", "23-05-01", "230501", "01/05/2023", "05/01/2023", "0999-01-01",
    "3000-01-01", "2023-05-01x", "2023-05-01 ~ 2023-05-02", "2023年5月1日-2日", "2023-5/1",
    "2023-05- 01", "2023年5월1일", "2023-05-01 24:00", "2023-05-01 14:60", "2023-05-01 14:05:61",
    "2023年5月1日 14時5分60秒", "2023-05-01 上午 12:30", "2023-05-01 下午 12:30",
    "2023-05-01 12:30 AM", "2023-05-01 下午 14:05", "2023年5月1日 下午0時", "2023年5月1日(火)",
    "2023-05-01 (일)", "2023-05 (月)", "2023 14:05", "平成元年1月7日", "平成32年", "令和元年4月",
    "令和0年5月1日", "二〇二三年五月一日", "yesterday", "Mon 2023-05-01", "2023 - 05", "\xff\xfe",
};
// clang-format on

// The fields agree with the ISO form: the numbers give it back.
TEST(DateTest, UnderstoodFormsGiveIso) {
    for (const DateCase& c : kUnderstood) {
        const facts::GameDate d = facts::ParseGameDate(c.text);
        EXPECT_EQ(d.iso, c.iso) << c.text;
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(facts::DateFromNumbers(d.year, d.month, d.day, d.hour, d.minute).iso, d.iso);
    }
}

TEST(DateTest, DamagedOrAmbiguousGivesNoDateAndKeepsText) {
    for (const char* text : kRefused) {
        const facts::GameDate d = facts::ParseGameDate(text);
        EXPECT_FALSE(d.known()) << text << " gave " << d.iso;
        EXPECT_EQ(d.text, text);
        EXPECT_EQ(d.year + d.month + d.day, 0) << text;
        EXPECT_EQ(d.hour + d.minute, -2) << text;
    }
}

TEST(DateTest, LibraryNumbersGiveTheSameForm) {
    struct {
        int year, month, day, hour, minute;
        const char* iso;
    } const cases[] = {
        // clang-format off
        {2013, 1, 7, 14, 5, "2013-01-07T14:05"},  {2013, 1, 7, -1, -1, "2013-01-07"},
        {2013, 1, 7, 0, 0, "2013-01-07T00:00"},   {2013, 1, 7, 14, -1, "2013-01-07"},
        {2013, 1, 0, -1, -1, "2013-01"},          {2013, 0, 0, -1, -1, "2013"},
        {2012, 2, 29, 23, 59, "2012-02-29T23:59"}, {12, 12, 5, 14, 7, ""},
        {2013, 0, 7, -1, -1, ""},                 {2013, 2, 29, -1, -1, ""},
        {2013, 1, 7, 24, 0, ""},                  {2013, 1, 7, 12, 60, ""},
        {2013, 1, 0, 14, 5, ""},                  {-2013, 1, 7, -1, -1, ""},
        {1000, 1, 1, -1, -1, "1000-01-01"},       {2999, 12, 31, -1, -1, "2999-12-31"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const facts::GameDate d = facts::DateFromNumbers(c.year, c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(d.iso, c.iso) << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":"
                                << c.minute;
        EXPECT_TRUE(d.text.empty());
    }
}

}  // namespace
