// The pieces of a date that are words rather than digits alone: year, month and day markers,
// eras, month names, weekdays and times of day.
#ifndef GIBO_TOOLS_FACTS_DATE_SCAN_H
#define GIBO_TOOLS_FACTS_DATE_SCAN_H

#include <string>

#include "text_cursor.h"

namespace facts {

struct DateFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = -1;
    int minute = -1;
};

// Each reads its piece at the cursor and returns false, leaving the cursor where it was, when
// the piece is not there or not valid.
bool TakeEraDate(Cursor& c, DateFields& f);
bool TakeMarkedDate(Cursor& c, DateFields& f);
bool TakeMonthNameDate(Cursor& c, DateFields& f);
bool TakeTime(Cursor& c, DateFields& f);
// A weekday, if one stands at the cursor, must be the weekday of the full date in f; no
// weekday is fine too. False only for a weekday that does not fit.
bool CheckWeekday(Cursor& c, const DateFields& f);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_DATE_SCAN_H
