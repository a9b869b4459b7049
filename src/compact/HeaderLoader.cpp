// Loading the compact header: items "TAG:value" separated by commas, short tags GBKIND ... BIMG.
#include <cstring>
#include <string>

#include "GBHLoad.h"
#include "GiboFile.h"
#include "framework/Gbk.h"
#include "reading/GameText.h"
#include "reading/Items.h"
#include "reading/Number.h"

namespace {

// GBK: 每方限时: 无 (‘no time limit for either side’), stored as is instead of being parsed.
const char kNoTimeLimit[] = "\xC3\xBF\xB7\xBD\xCF\xDE\xCA\xB1: \xCE\xDE";

enum ShortTag : unsigned char {
    kGiboKind,
    kGameType,
    kCondition,
    kTime,
    kResult,
    kZipsu,
    kDum,
    kGongje,
    kTotalNum,
    kAudioSize,
    kNameF,
    kPlaceF,
    kName,
    kDate,
    kPlace,
    kCommentator,
    kWId,
    kWLevel,
    kWNick,
    kWCode,
    kWAvatar,
    kWImage,
    kBId,
    kBLevel,
    kBNick,
    kBCode,
    kBAvatar,
    kBImage
};
static_assert(kBImage + 1 == GIBO_SHORTTAG_COUNT, "one enumerator per short tag");

// Reads nCount dash-separated numbers of pszValue into anOut; missing ones are 0, since readTag
// reads nothing past the end of the text.
void ReadDashNumbers(CGiboFile& owner, const char* pszValue, int* anOut, int nCount) {
    // readTag moves a non-const cursor, and the caller's text must stay untouched.
    std::string work(pszValue ? pszValue : "");
    char* cursor = &work[0];
    for (int i = 0; i < nCount; ++i) {
        char part[gibo::kFieldBuffer] = {0};
        owner.readTag(&cursor, part, 1);
        anOut[i] = static_cast<int>(gibo::NumberOf(part));
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
    for (int i = 0; i < GIBO_SHORTTAG_COUNT; ++i) {
        // Compared in place, so a tag part of any length costs no copy: it names a short tag
        // when its bytes are the tag's and the tag ends there.
        const char* name = g_szShortTag[i];
        if (std::strncmp(pszItem, name, tagLen) != 0 || name[tagLen] != '\0') {
            continue;
        }
        byIndex = static_cast<unsigned char>(i);
        if (pszValue) {
            const char* value = colon ? colon + 1 : pszItem + tagLen;
            const size_t n = gibo::GbkCut(value, std::strlen(value), gibo::kValueLimit);
            std::memcpy(pszValue, value, n);
            pszValue[n] = '\0';
        }
        return 1;
    }
    return -1;
}

char* CGBHLoad::LoadHeader(char* pszText) {
    if (!m_pGiboFile || !pszText) {
        return nullptr;
    }
    return gibo::WalkItems(*m_pGiboFile, pszText, [this](char* item) {
        char value[gibo::kValueLimit + 1];
        value[0] = '\0';
        unsigned char index = 0;
        if (m_pGiboFile->GetNewTagData(item, index, value) == 1) {
            DispatchTag(index, value);
        }
    });
}

void CGBHLoad::DispatchTag(unsigned char byIndex, const char* pszValue) {
    if (!pszValue) {
        pszValue = "";
    }
    // Narrow fields keep the low bits of the converted number; text fields do not use it.
    const int n = static_cast<int>(gibo::NumberOf(pszValue));
    const auto by = static_cast<unsigned char>(n);
    const auto w = static_cast<unsigned short>(n);
    switch (byIndex) {
        case kGiboKind:
            m_byGiboKind = by;
            break;
        case kGameType:
            m_byGameType = by;
            m_strGameType.Format("%d", m_byGameType);
            break;
        case kCondition:
            m_byGameCondition = by;
            break;
        case kTime:
            SetGameTimeText(pszValue);
            break;
        case kResult:
            m_byGameResult = by;
            break;
        case kZipsu:
            m_nZipsu = n;
            break;
        case kDum:
            m_nDum = n;
            break;
        case kGongje:
            m_nGongje = n;
            break;
        case kTotalNum:
            m_nTotalNum = n;
            break;
        case kAudioSize:
            m_nAudioSize = n;
            break;
        case kNameF:
        case kPlaceF:
        case kName:
            m_strGameName = pszValue;
            break;
        case kDate:
            SetGameDateText(pszValue);
            break;
        case kPlace:
            m_strGamePlace = pszValue;
            break;
        case kCommentator:
            m_strGameCommentator = pszValue;
            break;
        case kWId:
            m_strWId = pszValue;
            break;
        case kWLevel:
            m_byWGeup = by;
            break;
        case kWNick:
            m_strWNick = pszValue;
            break;
        case kWCode:
            m_byWCode = by;
            break;
        case kWAvatar:
            m_wWAvataID = w;
            break;
        case kWImage:
            m_strWImage = pszValue;
            break;
        case kBId:
            m_strBId = pszValue;
            break;
        case kBLevel:
            m_byBGeup = by;
            break;
        case kBNick:
            m_strBNick = pszValue;
            break;
        case kBCode:
            m_byBCode = by;
            break;
        case kBAvatar:
            m_wBAvataID = w;
            break;
        case kBImage:
            m_strBImage = pszValue;
            break;
        default:
            break;
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
    ReadDashNumbers(*m_pGiboFile, pszValue, an, 3);
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
    ReadDashNumbers(*m_pGiboFile, pszValue, an, 6);
    m_strGameDate = gibo::FormatGameDate(an[0], an[1], an[2], an[3], an[4]);
}
