// Dates from text and from numbers; the word pieces are in date_words.cpp.
#include "game_date.h"

#include <cstdio>

#include "date_scan.h"
#include "text_cursor.h"
#include "utf8_text.h"

namespace facts {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

namespace {

// 2023-05-01, 2023/5/1, 2023.5.1 and Korean "2023. 5. 1.", down to the year alone; 20230501.
bool TakeNumericDate(Cursor& c, DateFields& f) {
    DateFields d;
    if (c.TakeNumber(8, 8, d.year)) {
        d.day = d.year % 100;
        d.month = d.year / 100 % 100;
        d.year /= 10000;
        f = d;
        return true;
    }
    if (!c.TakeNumber(4, 4, d.year)) {
        return false;
    }
    f = d;
    const char32_t sep = c.Peek();
    const size_t after_year = c.Pos();
    if ((sep != U'-' && sep != U'/' && sep != U'.') || !c.Take(sep)) {
        return true;
    }
    const bool dots = sep == U'.';  // only the dotted form has blanks after its separators
    if (dots) {
        c.SkipBlanks();
    }
    if (!c.TakeNumber(1, 2, d.month)) {
        c.Reset(after_year);
        return true;
    }
    const size_t after_month = c.Pos();
    const bool more = c.Take(sep);
    if (more && dots) {
        c.SkipBlanks();
    }
    if (!more || !c.TakeNumber(1, 2, d.day)) {
        d.day = 0;
        c.Reset(after_month);
    }
    if (dots) {
        c.Take(U'.');
    }
    f = d;
    return true;
}

bool TakeDate(Cursor& c, DateFields& f) {
    return TakeEraDate(c, f) || TakeMarkedDate(c, f) || TakeMonthNameDate(c, f) ||
           TakeNumericDate(c, f);
}

// After the date: an ISO "T", a comma or blanks, then the time.
bool TakeTimeAfterDate(Cursor& c, DateFields& f) {
    if (!c.Take(U't')) {
        c.Take(U',');
        c.SkipBlanks();
    }
    return TakeTime(c, f);
}

bool ValidFields(const DateFields& f) {
    if (f.year < 1000 || f.year > 2999 || f.month < 0 || f.month > 12 || f.day < 0) {
        return false;
    }
    if (f.day > 0 && (f.month == 0 || f.day > DaysInMonth(f.year, f.month))) {
        return false;
    }
    if (f.hour < 0) {
        return true;  // no time given
    }
    return f.day > 0 && f.hour <= 23 && f.minute <= 59;
}

GameDate FromFields(const DateFields& f, const std::string& text) {
    GameDate out;
    out.text = text;
    if (!ValidFields(f)) {
        return out;
    }
    const bool timed = f.hour >= 0;  // hour and minute are given together or not at all
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%04d", f.year);
    if (f.month > 0) {
        n += std::snprintf(buf + n, sizeof buf - n, "-%02d", f.month);
    }
    if (f.day > 0) {
        n += std::snprintf(buf + n, sizeof buf - n, "-%02d", f.day);
    }
    if (timed) {
        std::snprintf(buf + n, sizeof buf - n, "T%02d:%02d", f.hour, f.minute);
    }
    out.iso = buf;
    out.year = f.year;
    out.month = f.month;
    out.day = f.day;
    out.hour = timed ? f.hour : -1;
    out.minute = timed ? f.minute : -1;
    return out;
}

}  // namespace

GameDate ParseGameDate(const std::string& text) {
    Cursor c(MatchingText(text, true));
    DateFields f;
    if (!TakeDate(c, f)) {
        return FromFields(DateFields{}, text);
    }
    c.SkipBlanks();
    if (!CheckWeekday(c, f)) {
        return FromFields(DateFields{}, text);
    }
    if (!c.AtEnd() && (f.day == 0 || !TakeTimeAfterDate(c, f))) {
        return FromFields(DateFields{}, text);
    }
    c.SkipBlanks();
    return c.AtEnd() ? FromFields(f, text) : FromFields(DateFields{}, text);
}

GameDate DateFromNumbers(int year, int month, int day, int hour, int minute) {
    DateFields f{year, month, day, hour, minute};
    if (hour < 0 || minute < 0) {
        f.hour = f.minute = -1;
    }
    return FromFields(f, std::string());
}

}  // namespace facts
