// Time-control and date texts, shared by the game-information setters and the compact header.
#ifndef GIBO_READING_GAMETEXT_H
#define GIBO_READING_GAMETEXT_H

#include "GiboString.h"

namespace gibo {

// strTime: ‘限制时间%d时 %d分\r\n%d秒 读秒 %d番’ (or without hours when they are 0);
// strTime2: ‘%d时间 %d分 (%d秒 读秒 %d番)’ (or ‘%d分 (...)’). Seconds beyond whole minutes
// are dropped.
void FormatGameTime(int nMainSeconds, int nPeriodSeconds, int nPeriods, CString& strTime,
                    CString& strTime2);

// ‘%d年%d月%d日 上午 %d:%d’, or 下午 with the hour less 12 when the hour is past 12.
CString FormatGameDate(int nYear, int nMonth, int nDay, int nHour, int nMinute);

}  // namespace gibo

#endif  // GIBO_READING_GAMETEXT_H
