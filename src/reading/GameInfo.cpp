// The game-information text: comma-separated items of a code letter and a value ("S1,R2,
// D65,..."), interpreted into the record object's game fields.
#include <cstring>

#include "GiboFile.h"
#include "reading/GameText.h"
#include "reading/Items.h"
#include "reading/Number.h"

namespace {

// GBK: 升降级对局 (rated game), 友情对局 (friendly game), 职业选手对局 (professional game).
const char kTypeRated[] = "\xC9\xFD\xBD\xB5\xBC\xB6\xB6\xD4\xBE\xD6";
const char kTypeFriendly[] = "\xD3\xD1\xC7\xE9\xB6\xD4\xBE\xD6";
const char kTypePro[] = "\xD6\xB0\xD2\xB5\xD1\xA1\xCA\xD6\xB6\xD4\xBE\xD6";

// A null value reads as the empty text: the setters are public.
const char* Text(const char* pszValue) {
    return pszValue ? pszValue : "";
}

int Number(const char* pszValue) {
    return static_cast<int>(gibo::NumberOf(pszValue));
}

// A code letter of the older vocabulary: how many bytes come before the value, and the setter.
struct LetterCode {
    char chCode;
    size_t nWidth;
    void (CGiboFile::*pfnSet)(char*);
};

// Null for a letter of neither code set, which is passed over.
const LetterCode* FindLetterCode(char chCode) {
    static const LetterCode kCodes[] = {
        {'S', 1, &CGiboFile::SetGameType},   {'R', 1, &CGiboFile::SetGameCondition},
        {'D', 1, &CGiboFile::SetGameDum},    {'G', 1, &CGiboFile::SetGameGongje},
        {'W', 1, &CGiboFile::SetGameResult}, {'Z', 1, &CGiboFile::SetGameZip},
        {'T', 1, &CGiboFile::SetGameTime},   {'C', 1, &CGiboFile::SetGameDate},
        {'I', 2, &CGiboFile::SetGameWId},    {'L', 2, &CGiboFile::SetGameWGeup},
        {'M', 2, &CGiboFile::SetGameBId},    {'N', 2, &CGiboFile::SetGameBGeup},
        {'A', 2, &CGiboFile::SetGameWNick},  {'B', 2, &CGiboFile::SetGameBNick},
        {'J', 2, &CGiboFile::SetGameWCode},  {'K', 2, &CGiboFile::SetGameBCode},
    };
    for (const LetterCode& code : kCodes) {
        if (code.chCode == chCode) {
            return &code;
        }
    }
    return nullptr;
}

}  // namespace

// The code letter decides how many bytes stand before the value, so the letters' table lives
// here, with the setters it names.
int CGiboFile::GetTagData(char* pszItem, char& chCode, char* pszValue) {
    if (!pszItem) {
        return 0;
    }
    chCode = pszItem[0];
    const LetterCode* code = FindLetterCode(chCode);
    if (!code) {
        return 0;
    }
    const size_t codeLen = code->nWidth;
    const size_t len = std::strlen(pszItem);
    if (pszValue && len > codeLen) {
        const size_t n = gibo::GbkCut(pszItem + codeLen, len - codeLen, gibo::kValueLimit);
        std::memcpy(pszValue, pszItem + codeLen, n);
    }
    return 1;
}

char* CGiboFile::ParsingTagData(char* pszData) {
    if (m_bNewFormat) {
        return m_pGBHLoad ? m_pGBHLoad->LoadHeader(pszData) : nullptr;
    }
    // The value is the rest of the item after its code (as GetTagData cuts it, since an item
    // is no longer than a value may be); the setters read it and leave it as it is.
    char none[1] = {'\0'};
    char* const stop = gibo::WalkItems(pszData, [&](char* item, size_t n) {
        const LetterCode* code = FindLetterCode(item[0]);
        if (code) {
            (this->*code->pfnSet)(n > code->nWidth ? item + code->nWidth : none);
        }
    });
    MakeWUserName();
    MakeBUserName();
    MakeGameResult();
    MakeGameCondition();
    MakeGameTotalNum();
    MakeShowGiboTitle();
    return stop;
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
