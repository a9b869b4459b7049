// Lookups over the display tables. Out-of-range indexes get a fixed answer, never a failure.
#include <cstdio>
#include <cstring>
#include <string>

#include "GiboFile.h"
#include "display/Tables.h"

namespace {

// GetDeakukRule's text. Sized for the longest row a slot can hold, the 10 bytes the format
// adds and the longest int ("-2147483648"), so that no komi ever cuts the text.
constexpr size_t kLongestInt = 11;
constexpr size_t kRuleFormatExtra = 10;  // ‘ (’ 黑贴 ‘ ’ 目 ‘)’
char g_szDeakukRuleBuf[gibo::kTextSlot - 1 + kRuleFormatExtra + kLongestInt + 1];

// GetStrGameResult's answer for a code outside 0..8.
char g_szStrGameResultBuf[2];

// GBK: ‘%s (黑贴 %d目)’, the rule and the komi black gives.
const char kRuleWithDum[] = "%s (\xBA\xDA\xCC\xF9 %d\xC4\xBF)";
// GBK: ‘%d级’, ‘%d段’, ‘P%d段’.
const char kLvKyu[] = "%d\xBC\xB6";
const char kLvDan[] = "%d\xB6\xCE";
const char kLvPro[] = "P%d\xB6\xCE";

const char kEmpty[] = "";

// The API hands out char* into read-only tables; callers never write through it.
char* Row(const char* psz) {
    return const_cast<char*>(psz);
}

// The blocks in the order a result text is tried against them: Korean, GBK, Japanese, Big5.
const int kSearchOrder[gibo::kResultBlockCount] = {gibo::kResultKorean, gibo::kResultGbk,
                                                   gibo::kResultJapanese, gibo::kResultBig5};

std::string WithoutBlanks(const char* psz) {
    std::string out;
    for (; *psz; ++psz) {
        if (*psz != ' ') {
            out += *psz;
        }
    }
    return out;
}

}  // namespace

char* CGiboFile::GetNationName(unsigned char nIndex) {
    return Row(nIndex < gibo::kNationCount ? gibo::g_szNationName[nIndex] : kEmpty);
}

char* CGiboFile::GetDeakukKind(unsigned char nIndex) {
    return Row(gibo::g_szDeakukKind[nIndex < gibo::kKindCount ? nIndex : 0]);
}

char* CGiboFile::GetDeakukRule(unsigned char nIndex, int nDum) {
    // Cleared on every call, so an earlier formatted answer never survives a later call.
    std::memset(g_szDeakukRuleBuf, 0, sizeof g_szDeakukRuleBuf);
    if (nIndex >= gibo::kRuleCount) {
        return g_szDeakukRuleBuf;
    }
    // Row 0 already names its komi.
    if (nIndex == 0 || nDum == 0) {
        return Row(gibo::g_szDeakukRule[nIndex]);
    }
    std::snprintf(g_szDeakukRuleBuf, sizeof g_szDeakukRuleBuf, kRuleWithDum,
                  gibo::g_szDeakukRule[nIndex], nDum);
    return g_szDeakukRuleBuf;
}

char* CGiboFile::GetDeakukResult(unsigned char nIndex) {
    if (nIndex >= gibo::kResultCount) {
        return nullptr;
    }
    return Row(gibo::g_szDeakukResult[gibo::kResultGbk][nIndex]);
}

char* CGiboFile::GetStrGameResult(int nIndex) {
    if (nIndex >= 0 && nIndex < gibo::kResultCount) {
        return Row(gibo::g_szDeakukResult[gibo::kResultGbk][nIndex]);
    }
    std::strcpy(g_szStrGameResultBuf, " ");
    return g_szStrGameResultBuf;
}

CString CGiboFile::GetLevel(int nIndex) {
    return nIndex >= 0 && nIndex < gibo::kLevelCount ? CString(gibo::g_szLevel[nIndex]) : CString();
}

CString CGiboFile::GetLevel2(int nIndex) {
    return nIndex >= 0 && nIndex < gibo::kLevelCount ? CString(gibo::g_szLevel2[nIndex])
                                                     : CString();
}

CString CGiboFile::ExtGetLvStr(unsigned char nLevel) {
    if (nLevel < 18) {
        m_strLvBuf.Format(kLvKyu, 18 - nLevel);
    } else if (nLevel < 27) {
        m_strLvBuf.Format(kLvDan, nLevel - 17);
    } else {
        m_strLvBuf.Format(kLvPro, nLevel - 26);
    }
    return m_strLvBuf;
}

int CGiboFile::CompareOtherNationResult(CString strResult) {
    // The whole text, however long: a fixed work buffer would cut a long text and could make
    // its head match a row it does not equal.
    const std::string key = WithoutBlanks(strResult);
    for (int k = 2; k < gibo::kResultCount; ++k) {
        for (int block : kSearchOrder) {
            if (WithoutBlanks(gibo::g_szDeakukResult[block][k]) == key) {
                return k;
            }
        }
    }
    // A win by score carries its margin after the colour word, so only containment can tell.
    for (int k = 0; k < 2; ++k) {
        for (int block : kSearchOrder) {
            if (strResult.Find(gibo::g_szDeakukResult[block][k]) >= 0) {
                return k;
            }
        }
    }
    return 2;
}
