// Loading the compact header: items "TAG:value" separated by commas, short tags GBKIND ... BIMG.
#include <algorithm>
#include <array>
#include <cstring>

#include "GBHLoad.h"
#include "GiboFile.h"
#include "framework/Gbk.h"
#include "reading/GameText.h"
#include "reading/Items.h"
#include "reading/Number.h"

namespace {

// GBK: 每方限时: 无 (‘no time limit for either side’), stored as is instead of being parsed.
const char kNoTimeLimit[] = "\xC3\xBF\xB7\xBD\xCF\xDE\xCA\xB1: \xCE\xDE";

// Where the value of each short tag goes: a text field, a number kept in the low bits of its
// field, or a setter that reads the value.
struct Target {
    CString CGBHLoad::*text = nullptr;
    unsigned char CGBHLoad::*byte = nullptr;
    unsigned short CGBHLoad::*word = nullptr;
    int CGBHLoad::*number = nullptr;
    void (CGBHLoad::*set)(const char*) = nullptr;
};
constexpr Target Text(CString CGBHLoad::*p) {
    Target t;
    t.text = p;
    return t;
}
constexpr Target Byte(unsigned char CGBHLoad::*p) {
    Target t;
    t.byte = p;
    return t;
}
constexpr Target Word(unsigned short CGBHLoad::*p) {
    Target t;
    t.word = p;
    return t;
}
constexpr Target Number(int CGBHLoad::*p) {
    Target t;
    t.number = p;
    return t;
}
constexpr Target Setter(void (CGBHLoad::*p)(const char*)) {
    Target t;
    t.set = p;
    return t;
}

// By short-tag index, in the order of g_szShortTag.
constexpr Target kTargets[] = {
    Byte(&CGBHLoad::m_byGiboKind),          // GBKIND
    Byte(&CGBHLoad::m_byGameType),          // GTYPE, shown as its number too
    Byte(&CGBHLoad::m_byGameCondition),     // GCDT
    Setter(&CGBHLoad::SetGameTimeText),     // GTIME
    Byte(&CGBHLoad::m_byGameResult),        // GRLT
    Number(&CGBHLoad::m_nZipsu),            // ZIPSU
    Number(&CGBHLoad::m_nDum),              // DUM
    Number(&CGBHLoad::m_nGongje),           // GONGJE
    Number(&CGBHLoad::m_nTotalNum),         // TCNT
    Number(&CGBHLoad::m_nAudioSize),        // AUSZ
    Text(&CGBHLoad::m_strGameName),         // GNAMEF
    Text(&CGBHLoad::m_strGameName),         // GPLCF: the name field as well
    Text(&CGBHLoad::m_strGameName),         // GNAME
    Setter(&CGBHLoad::SetGameDateText),     // GDATE
    Text(&CGBHLoad::m_strGamePlace),        // GPLC
    Text(&CGBHLoad::m_strGameCommentator),  // GCMT
    Text(&CGBHLoad::m_strWId),              // WID
    Byte(&CGBHLoad::m_byWGeup),             // WLV
    Text(&CGBHLoad::m_strWNick),            // WNICK
    Byte(&CGBHLoad::m_byWCode),             // WNCD
    Word(&CGBHLoad::m_wWAvataID),           // WAID
    Text(&CGBHLoad::m_strWImage),           // WIMG
    Text(&CGBHLoad::m_strBId),              // BID
    Byte(&CGBHLoad::m_byBGeup),             // BLV
    Text(&CGBHLoad::m_strBNick),            // BNICK
    Byte(&CGBHLoad::m_byBCode),             // BNCD
    Word(&CGBHLoad::m_wBAvataID),           // BAID
    Text(&CGBHLoad::m_strBImage),           // BIMG
};
static_assert(sizeof kTargets / sizeof kTargets[0] == GIBO_SHORTTAG_COUNT, "one row a short tag");

// The index of the short tag named by tag[0..n), or -1. Lengths first: most tags differ in it.
int FindShortTag(const char* pchTag, size_t n) {
    static const auto lengths = [] {
        std::array<size_t, GIBO_SHORTTAG_COUNT> l{};
        for (size_t i = 0; i < l.size(); ++i) {
            l[i] = std::strlen(g_szShortTag[i]);
        }
        return l;
    }();
    for (size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] == n && std::memcmp(g_szShortTag[i], pchTag, n) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Reads nCount dash-separated numbers of pszValue into anOut, each from the first
// kFieldBuffer - 1 bytes of its field as readTag keeps them; missing ones are 0.
void ReadDashNumbers(const char* pszValue, int* anOut, int nCount) {
    const char* p = pszValue;
    for (int i = 0; i < nCount; ++i) {
        const char* dash = std::strchr(p, '-');
        const size_t len = dash ? static_cast<size_t>(dash - p) : std::strlen(p);
        char part[gibo::kFieldBuffer];
        const size_t kept = std::min(len, sizeof part - 1);
        std::memcpy(part, p, kept);
        part[kept] = '\0';
        anOut[i] = static_cast<int>(gibo::NumberOf(part));
        p += dash ? len + 1 : len;
    }
}

}  // namespace

int CGiboFile::GetNewTagData(char* pszItem, unsigned char& byIndex, char* pszValue) {
    if (!pszItem) {
        return -1;
    }
    // The colon is below 0x40, so it can never be the second byte of a GBK character.
    const char* colon = std::strchr(pszItem, ':');
    const size_t tagLen = colon ? static_cast<size_t>(colon - pszItem) : std::strlen(pszItem);
    const int index = FindShortTag(pszItem, tagLen);
    if (index < 0) {
        return -1;
    }
    byIndex = static_cast<unsigned char>(index);
    if (pszValue) {
        const char* value = colon ? colon + 1 : pszItem + tagLen;
        const size_t n = gibo::GbkCut(value, std::strlen(value), gibo::kValueLimit);
        std::memcpy(pszValue, value, n);
        pszValue[n] = '\0';
    }
    return 1;
}

char* CGBHLoad::LoadHeader(char* pszText) {
    if (!m_pGiboFile || !pszText) {
        return nullptr;
    }
    // An item holds at most kItemLimit bytes, so its value needs no further cut.
    return gibo::WalkItems(pszText, [this](char* item, size_t n) {
        const auto* colon = static_cast<const char*>(std::memchr(item, ':', n));
        const size_t tagLen = colon ? static_cast<size_t>(colon - item) : n;
        const int index = FindShortTag(item, tagLen);
        if (index >= 0) {
            DispatchTag(static_cast<unsigned char>(index), colon ? colon + 1 : item + n);
        }
    });
}

void CGBHLoad::DispatchTag(unsigned char byIndex, const char* pszValue) {
    if (byIndex >= GIBO_SHORTTAG_COUNT) {
        return;
    }
    if (!pszValue) {
        pszValue = "";
    }
    const Target& target = kTargets[byIndex];
    if (target.text) {
        this->*target.text = pszValue;
    } else if (target.set) {
        (this->*target.set)(pszValue);
    } else {
        // Narrow fields keep the low bits of the converted number.
        const long long n = gibo::NumberOf(pszValue);
        if (target.byte) {
            this->*target.byte = static_cast<unsigned char>(n);
        } else if (target.word) {
            this->*target.word = static_cast<unsigned short>(n);
        } else {
            this->*target.number = static_cast<int>(n);
        }
        if (target.byte == &CGBHLoad::m_byGameType) {
            m_strGameType.Format("%d", m_byGameType);
        }
    }
}

void CGBHLoad::SetGameTimeText(const char* pszValue) {
    if (!m_pGiboFile) {
        return;
    }
    if (!pszValue) {
        pszValue = "";
    }
    m_strGameTimeRaw = pszValue;
    if (std::strcmp(pszValue, kNoTimeLimit) == 0) {
        m_strGameTime = kNoTimeLimit;
        return;
    }
    int an[3];  // base time, seconds per period, periods
    ReadDashNumbers(pszValue, an, 3);
    gibo::FormatGameTime(an[0], an[1], an[2], m_strGameTime, m_strGameTime2);
}

void CGBHLoad::SetGameDateText(const char* pszValue) {
    if (!m_pGiboFile) {
        return;
    }
    if (!pszValue) {
        pszValue = "";
    }
    m_strGameDateRaw = pszValue;
    int an[6];  // year, month, day, hour, minute, second (the second is not shown)
    ReadDashNumbers(pszValue, an, 6);
    m_strGameDate = gibo::FormatGameDate(an[0], an[1], an[2], an[3], an[4]);
}
