// Game dates as people write them in a record's GAMEDATE item or anywhere else, and as the
// library holds them in numbers, turned into one sortable ISO form.
//
// Understood: 2023-05-01, 2023.5.1, "2023. 5. 1.", 2023/05/01, 20230501, 2023年5月1日,
// 2023년 5월 1일, Japanese and Taiwanese eras (令和5年5月1日, 平成元年, 民國112年5月1日),
// "May 1, 2023" and "1 May 2023"; a weekday after the date, checked against it ("(月)", "(월)",
// "星期一", "Mon"); a time after it (14:05, 14:05:30, 14時5分, 14시 5분, 2点半, 下午 2:05,
// 오후 2시, 午後2時, 2:05 PM); year only and year and month as partial dates. Full-width digits
// count as digits. Anything else, or anything that could be read two ways, is no date: month 13,
// day 32, February 30, a weekday that does not fit, two-digit years, year-last numeric forms
// (01/05/2023), noon or midnight written as 12 with a morning or afternoon word, or text left
// over after the date.
#ifndef GIBO_TOOLS_FACTS_GAME_DATE_H
#define GIBO_TOOLS_FACTS_GAME_DATE_H

#include <string>

namespace facts {

struct GameDate {
    std::string text;  // the text as given (empty for DateFromNumbers)
    std::string iso;   // YYYY, YYYY-MM, YYYY-MM-DD or YYYY-MM-DDTHH:MM; empty: no date
    int year = 0;
    int month = 0;    // 0: not given
    int day = 0;      // 0: not given
    int hour = -1;    // -1: no time given
    int minute = -1;  // -1: no time given
    bool known() const { return !iso.empty(); }
};

// The date a UTF-8 text states, or no date (iso empty) with the text kept.
GameDate ParseGameDate(const std::string& text);

// The same form from the numbers the library holds for a date. month and day 0 make a partial
// date; hour -1 (or minute -1) means that no time was given. Years outside 1000..2999, among
// them the two-digit years some game information carries, give no date: which century they mean
// cannot be known.
GameDate DateFromNumbers(int year, int month, int day, int hour, int minute);

}  // namespace facts

#endif  // GIBO_TOOLS_FACTS_GAME_DATE_H
