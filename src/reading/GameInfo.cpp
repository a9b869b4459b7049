// The game-information text: comma-separated items of a code letter and a value ("S1,R2,
// D65,..."), interpreted into the record object's game fields.
#include <cstdlib>
#include <cstring>

#include "GiboFile.h"
#include "framework/Gbk.h"
#include "reading/GameText.h"

namespace {

// GBK: 升降级对局 (rated game), 友情对局 (friendly game), 职业选手对局 (professional game).
const char kTypeRated[] = "\xC9\xFD\xBD\xB5\xBC\xB6\xB6\xD4\xBE\xD6";
const char kTypeFriendly[] = "\xD3\xD1\xC7\xE9\xB6\xD4\xBE\xD6";
const char kTypePro[] = "\xD6\xB0\xD2\xB5\xD1\xA1\xCA\xD6\xB6\xD4\xBE\xD6";

// A null value reads as the empty text: the setters are public, and atoi must not see null.
const char* Text(const char* pszValue) {
    return pszValue ? pszValue : "";
}

int Number(const char* pszValue) {
    return std::atoi(Text(pszValue));
}

// The setter of each code letter; letters of neither code set are passed over.
struct LetterSetter {
    char chCode;
    void (CGiboFile::*pfnSet)(char*);
};
const LetterSetter kSetters[] = {
    {'S', &CGiboFile::SetGameType},   {'R', &CGiboFile::SetGameCondition},
    {'D', &CGiboFile::SetGameDum},    {'G', &CGiboFile::SetGameGongje},
    {'W', &CGiboFile::SetGameResult}, {'Z', &CGiboFile::SetGameZip},
    {'T', &CGiboFile::SetGameTime},   {'C', &CGiboFile::SetGameDate},
    {'I', &CGiboFile::SetGameWId},    {'L', &CGiboFile::SetGameWGeup},
    {'M', &CGiboFile::SetGameBId},    {'N', &CGiboFile::SetGameBGeup},
    {'A', &CGiboFile::SetGameWNick},  {'B', &CGiboFile::SetGameBNick},
    {'J', &CGiboFile::SetGameWCode},  {'K', &CGiboFile::SetGameBCode},
};

}  // namespace

char* CGiboFile::ParsingTagData(char* pszData) {
    if (m_bNewFormat) {
        return m_pGBHLoad ? m_pGBHLoad->LoadHeader(pszData) : nullptr;
    }
    char* cursor = pszData;
    // readTag and GetTagData write no terminating zero: their buffers are zero-filled once and
    // only the bytes an item used are cleared again, which costs far less than clearing 1.5 KiB
    // per item.
    char item[1024] = {0};
    char value[256] = {0};
    for (;;) {
        // readTag keeps at most 1023 bytes of a field; the work copy keeps at most 255 of those,
        // so an over-long item is cut, never overflowing a buffer.
        readTag(&cursor, item, 0);
        const size_t len = std::strlen(item);
        char work[256];
        const size_t kept = gibo::GbkCut(item, len, sizeof work - 1);
        std::memcpy(work, item, kept);
        work[kept] = '\0';
        char code = 0;
        if (GetTagData(work, code, value) == 1) {
            for (const LetterSetter& entry : kSetters) {
                if (entry.chCode == code) {
                    (this->*entry.pfnSet)(value);
                    break;
                }
            }
        }
        if (len == 0) {
            break;
        }
        std::memset(item, 0, len);
        std::memset(value, 0, std::strlen(value));
    }
    MakeWUserName();
    MakeBUserName();
    MakeGameResult();
    MakeGameCondition();
    MakeGameTotalNum();
    MakeShowGiboTitle();
    return cursor;
}

void CGiboFile::SetGameType(char* pszValue) {
    m_nGameType = Number(pszValue);
    // Other type numbers have no name and leave the text as it was.
    if (m_nGameType == 0) {
        m_strGameType = kTypeRated;
    } else if (m_nGameType == 1) {
        m_strGameType = kTypeFriendly;
    } else if (m_nGameType == 5) {
        m_strGameType = kTypePro;
    }
}

void CGiboFile::SetGameCondition(char* pszValue) {
    m_nGameCondition = Number(pszValue);
}

// The komi comes in tenths of a point; only whole points are kept.
void CGiboFile::SetGameDum(char* pszValue) {
    m_nDum = Number(pszValue) / 10;
}

void CGiboFile::SetGameGongje(char* pszValue) {
    m_nGongje = Number(pszValue);
}

void CGiboFile::SetGameResult(char* pszValue) {
    m_nGameResult = Number(pszValue);
}

// The margin comes in tenths of a point: whole points and the tenth, both with its sign.
void CGiboFile::SetGameZip(char* pszValue) {
    const int n = Number(pszValue);
    m_nZipsu = n / 10;
    m_nZipsuFrac = n % 10;
}

// "a-b-c": seconds of one byo-yomi period, number of periods, main time in seconds.
void CGiboFile::SetGameTime(char* pszValue) {
    char* cursor = pszValue;
    const int periodSeconds = readTagNum(&cursor, 1);
    const int periods = readTagNum(&cursor, 1);
    const int mainSeconds = readTagNum(&cursor, 1);
    gibo::FormatGameTime(mainSeconds, periodSeconds, periods, m_strGameTime, m_strGameTime2);
}

// "year:month:day:hour:minute".
void CGiboFile::SetGameDate(char* pszValue) {
    char* cursor = pszValue;
    const int year = readTagNum(&cursor, 2);
    const int month = readTagNum(&cursor, 2);
    const int day = readTagNum(&cursor, 2);
    const int hour = readTagNum(&cursor, 2);
    const int minute = readTagNum(&cursor, 2);
    m_strGameDate = gibo::FormatGameDate(year, month, day, hour, minute);
}

void CGiboFile::SetGameWId(char* pszValue) {
    m_strWId = Text(pszValue);
}

void CGiboFile::SetGameWGeup(char* pszValue) {
    m_byWGeup = static_cast<unsigned char>(Number(pszValue));
}

void CGiboFile::SetGameBId(char* pszValue) {
    m_strBId = Text(pszValue);
}

void CGiboFile::SetGameBGeup(char* pszValue) {
    m_byBGeup = static_cast<unsigned char>(Number(pszValue));
}

void CGiboFile::SetGameWNick(char* pszValue) {
    m_strWNick = Text(pszValue);
}

void CGiboFile::SetGameBNick(char* pszValue) {
    m_strBNick = Text(pszValue);
}

void CGiboFile::SetGameWCode(char* pszValue) {
    m_nWCode = Number(pszValue);
}

void CGiboFile::SetGameBCode(char* pszValue) {
    m_nBCode = Number(pszValue);
}

void CGiboFile::SetGameName(char* pszValue) {
    m_strGameName = Text(pszValue);
}

void CGiboFile::SetGamePlace(char* pszValue) {
    m_strGamePlace = Text(pszValue);
}
