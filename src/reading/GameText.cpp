#include "reading/GameText.h"

namespace gibo {

namespace {

// GBK: 限制时间%d时 %d分 CR LF %d秒 读秒 %d番
const char kTimeHours[] =
    "\xCF\xDE\xD6\xC6\xCA\xB1\xBC\xE4%d\xCA\xB1 %d\xB7\xD6\r\n%d\xC3\xEB \xB6\xC1\xC3\xEB "
    "%d\xB7\xAC";
// GBK: %d时间 %d分 (%d秒 读秒 %d番)
const char kTime2Hours[] = "%d\xCA\xB1\xBC\xE4 %d\xB7\xD6 (%d\xC3\xEB \xB6\xC1\xC3\xEB %d\xB7\xAC)";
// GBK: 限制时间 %d分 CR LF %d秒 读秒 %d番
const char kTimeMinutes[] =
    "\xCF\xDE\xD6\xC6\xCA\xB1\xBC\xE4 %d\xB7\xD6\r\n%d\xC3\xEB \xB6\xC1\xC3\xEB %d\xB7\xAC";
// GBK: %d分 (%d秒 读秒 %d番)
const char kTime2Minutes[] = "%d\xB7\xD6 (%d\xC3\xEB \xB6\xC1\xC3\xEB %d\xB7\xAC)";
// GBK: %d年%d月%d日 下午 %d:%d
const char kDatePm[] = "%d\xC4\xEA%d\xD4\xC2%d\xC8\xD5 \xCF\xC2\xCE\xE7 %d:%d";
// GBK: %d年%d月%d日 上午 %d:%d
const char kDateAm[] = "%d\xC4\xEA%d\xD4\xC2%d\xC8\xD5 \xC9\xCF\xCE\xE7 %d:%d";

}  // namespace

void FormatGameTime(int nMainSeconds, int nPeriodSeconds, int nPeriods, CString& strTime,
                    CString& strTime2) {
    const int hours = nMainSeconds / 3600;
    const int minutes = (nMainSeconds % 3600) / 60;
    if (hours != 0) {
        strTime.Format(kTimeHours, hours, minutes, nPeriodSeconds, nPeriods);
        strTime2.Format(kTime2Hours, hours, minutes, nPeriodSeconds, nPeriods);
    } else {
        strTime.Format(kTimeMinutes, minutes, nPeriodSeconds, nPeriods);
        strTime2.Format(kTime2Minutes, minutes, nPeriodSeconds, nPeriods);
    }
}

CString FormatGameDate(int nYear, int nMonth, int nDay, int nHour, int nMinute) {
    CString s;
    if (nHour > 12) {
        s.Format(kDatePm, nYear, nMonth, nDay, nHour - 12, nMinute);
    } else {
        s.Format(kDateAm, nYear, nMonth, nDay, nHour, nMinute);
    }
    return s;
}

}  // namespace gibo
