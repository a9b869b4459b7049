// The word pieces of a date: markers, eras, month names, weekdays, times of day.
#include "date_scan.h"

namespace facts {

namespace {

// A day as one sortable number.
int DayNumber(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}

// Month and day after a year marker ("5月1日", "5월 1일"), each optional from the right.
void TakeMonthAndDay(Cursor& c, DateFields& d, const char32_t* month_mark,
                     const char32_t* day_mark) {
    if (c.TakeMarked(month_mark, d.month)) {
        c.TakeMarked(day_mark, d.day);
    }
}

struct Era {
    const char32_t* names;
    int offset;  // the Gregorian year of the era's year 0
    int first;   // its first and last day, as DayNumber
    int last;
};

// Japanese eras from 1912, and the Republic of China's calendar that Taiwanese records use.
const Era kEras[] = {
    {U"令和", 2018, 20190501, 99991231},      {U"平成", 1988, 19890108, 20190430},
    {U"昭和", 1925, 19261225, 19890107},      {U"大正", 1911, 19120730, 19261225},
    {U"民國|民国", 1911, 19120101, 99991231},
};

// Whether any day the (possibly partial) date covers lies inside the era.
bool InEra(const DateFields& d, const Era& era) {
    // A month or day not given is 0 in the first bound, which is before any day it could be.
    const int first = DayNumber(d.year, d.month, d.day);
    const int last = DayNumber(d.year, d.month > 0 ? d.month : 12, d.day > 0 ? d.day : 31);
    return last >= era.first && first <= era.last;
}

}  // namespace

bool TakeMarkedDate(Cursor& c, DateFields& f) {
    const size_t start = c.Pos();
    DateFields d;
    if (!c.TakeNumber(4, 4, d.year)) {
        return false;
    }
    if (c.Take(U'年')) {
        TakeMonthAndDay(c, d, U"月", U"日");
    } else if (c.Take(U'년')) {
        TakeMonthAndDay(c, d, U"월", U"일");
    } else {
        c.Reset(start);
        return false;
    }
    f = d;
    return true;
}

bool TakeEraDate(Cursor& c, DateFields& f) {
    const size_t start = c.Pos();
    for (const Era& era : kEras) {
        c.Reset(start);
        if (c.TakeAny(era.names) < 0) {
            continue;
        }
        c.SkipBlanks();
        DateFields d;
        if (c.Take(U'元')) {
            d.year = 1;                            // the first year of an era
        } else if (!c.TakeNumber(1, 3, d.year)) {  // a year 0 falls before its era's start
            break;
        }
        if (!c.Take(U'年')) {
            break;
        }
        d.year += era.offset;
        TakeMonthAndDay(c, d, U"月", U"日");
        if (!InEra(d, era)) {
            break;
        }
        f = d;
        return true;
    }
    c.Reset(start);
    return false;
}

bool TakeMonthNameDate(Cursor& c, DateFields& f) {
    static const char32_t* const kMonths =
        U"january|february|march|april|may|june|july|august|september|october|november|"
        U"december|jan|feb|mar|apr|may|jun|jul|aug|sept|sep|oct|nov|dec";
    static const int kMonthOf[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1,
                                   2, 3, 4, 5, 6, 7, 8, 9, 9, 10, 11, 12};
    const size_t start = c.Pos();
    DateFields d;
    const bool day_first = c.TakeNumber(1, 2, d.day) && c.SkipBlanks();
    const int name = c.TakeAny(kMonths);
    if (name < 0 || (!day_first && d.day != 0)) {
        c.Reset(start);
        return false;
    }
    d.month = kMonthOf[name];
    c.Take(U'.');
    c.SkipBlanks();
    if (!day_first && c.TakeNumber(1, 2, d.day)) {
        c.Take(U',');
        c.SkipBlanks();
    }
    if (!c.TakeNumber(4, 4, d.year)) {
        c.Reset(start);
        return false;
    }
    f = d;
    return true;
}

}  // namespace facts
