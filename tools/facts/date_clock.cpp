// Times of day and weekdays after a date.
#include "date_scan.h"

namespace facts {

namespace {

enum class HalfDay { kNone, kMorning, kAfternoon };

HalfDay TakeHalfDay(Cursor& c, bool before_time) {
    // Chinese, Japanese and Korean words stand before the time, a.m. and p.m. on either side.
    const char32_t* const morning = before_time ? U"上午|午前|오전|a.m.|am" : U"a.m.|am";
    const char32_t* const afternoon = before_time ? U"下午|午後|오후|p.m.|pm" : U"p.m.|pm";
    if (c.TakeAny(morning) >= 0) {
        return HalfDay::kMorning;
    }
    return c.TakeAny(afternoon) >= 0 ? HalfDay::kAfternoon : HalfDay::kNone;
}

// Minutes (and seconds, read and dropped) after an hour word: "5分", "05분 30초", "半".
bool TakeMinuteWords(Cursor& c, int& minute) {
    c.SkipBlanks();
    if (c.TakeAny(U"半|반") >= 0) {
        minute = 30;
        return true;
    }
    int second = 0;
    if (!c.TakeMarked(U"分|분", minute)) {
        minute = 0;
        return !c.TakeNumber(1, 2, second);  // "14時" alone; a number without its mark is none
    }
    c.TakeMarked(U"秒|초", second);
    return second <= 59;
}

// The hour on a 24-hour clock. 12 with a half-day word is refused: which of noon and midnight
// it means differs between languages and writers.
bool ApplyHalfDay(HalfDay half, int& hour) {
    if (half == HalfDay::kNone) {
        return hour <= 23;
    }
    if (hour > 11) {
        return false;
    }
    if (half == HalfDay::kAfternoon) {
        if (hour == 0) {
            return false;
        }
        hour += 12;
    }
    return true;
}

}  // namespace

bool TakeTime(Cursor& c, DateFields& f) {
    const size_t start = c.Pos();
    HalfDay half = TakeHalfDay(c, true);
    c.SkipBlanks();
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool ok = c.TakeNumber(1, 2, hour);
    if (ok && c.Take(U':')) {
        ok = c.TakeNumber(1, 2, minute) && (!c.Take(U':') || c.TakeNumber(2, 2, second));
    } else if (ok) {
        ok = c.TakeAny(U"時|时|시|点|點") >= 0 && TakeMinuteWords(c, minute);
    }
    if (ok && half == HalfDay::kNone) {
        const size_t before_blank = c.Pos();
        c.SkipBlanks();
        half = TakeHalfDay(c, false);
        if (half == HalfDay::kNone) {
            c.Reset(before_blank);
        }
    }
    if (!ok || !ApplyHalfDay(half, hour) || minute > 59 || second > 59) {
        c.Reset(start);
        return false;
    }
    f.hour = hour;
    f.minute = minute;
    return true;
}

namespace {

// 0 for Sunday to 6 for Saturday (Sakamoto's method).
int WeekdayOf(int year, int month, int day) {
    static const int kShift[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) {
        --year;
    }
    return (year + year / 4 - year / 100 + year / 400 + kShift[month - 1] + day) % 7;
}

// 星期一, 周一, 月曜日, 월요일; inside brackets also the bare character: (月), (월), (一).
int TakeCjkWeekday(Cursor& c, bool bracketed) {
    const size_t start = c.Pos();
    if (c.TakeAny(U"星期|禮拜|礼拜|周|週") >= 0) {
        const int day = c.TakeAny(U"日|一|二|三|四|五|六|天");
        if (day < 0) {
            c.Reset(start);
            return -1;
        }
        return day % 7;  // 天 (the eighth) is Sunday too
    }
    // Japanese, then Korean: the day's character, and the word for "weekday" outside brackets.
    static const char32_t* const kDays[][2] = {{U"日|月|火|水|木|金|土", U"曜日|曜"},
                                               {U"일|월|화|수|목|금|토", U"요일"}};
    for (const auto& days : kDays) {
        c.Reset(start);
        const int day = c.TakeAny(days[0]);
        if (day >= 0 && (c.TakeAny(days[1]) >= 0 || bracketed)) {
            return day;
        }
    }
    c.Reset(start);
    const int chinese = bracketed ? c.TakeAny(U"一|二|三|四|五|六") : -1;
    return chinese < 0 ? -1 : chinese + 1;
}

int TakeWeekday(Cursor& c, bool bracketed) {
    static const char32_t* const kEnglish =
        U"sunday|monday|tuesday|wednesday|thursday|friday|saturday|"
        U"sun|mon|tues|tue|wed|thurs|thur|thu|fri|sat";
    static const int kDayOf[] = {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 2, 3, 4, 4, 4, 5, 6};
    const int english = c.TakeAny(kEnglish);
    if (english >= 0) {
        c.Take(U'.');
        return kDayOf[english];
    }
    return TakeCjkWeekday(c, bracketed);
}

}  // namespace

bool CheckWeekday(Cursor& c, const DateFields& f) {
    const size_t start = c.Pos();
    const bool bracketed = c.Take(U'(');
    c.SkipBlanks();
    int weekday = TakeWeekday(c, bracketed);
    c.SkipBlanks();
    if (weekday >= 0 && bracketed && !c.Take(U')')) {
        weekday = -1;
    }
    if (weekday < 0) {
        c.Reset(start);
        return true;
    }
    return f.day > 0 && weekday == WeekdayOf(f.year, f.month, f.day);
}

}  // namespace facts
