#include "display/PlayerResultText.h"

namespace gibo {

namespace {

const char kUserName[] = "%s ( %s )";
const char kUserName2[] = "%s(%s)";

// GBK: %s %d目 胜 / %s %d目 半胜 / %s 半目 胜. The colour word ends in a blank, so the finished
// text has two blanks after it.
const char kWinByPoints[] = "%s %d\xC4\xBF \xCA\xA4";
const char kWinByPointsHalf[] = "%s %d\xC4\xBF \xB0\xEB\xCA\xA4";
const char kWinByHalf[] = "%s \xB0\xEB\xC4\xBF \xCA\xA4";

}  // namespace

void FormatPlayerNames(const CString& strName, const CString& strLevel, const CString& strLevel2,
                       CString& strUser, CString& strUser2) {
    strUser.Format(kUserName, static_cast<const char*>(strName),
                   static_cast<const char*>(strLevel));
    strUser2.Format(kUserName2, static_cast<const char*>(strName),
                    static_cast<const char*>(strLevel2));
}

void FormatScoreResult(const CString& strWord, int nPoints, int nTenths, CString& strResult) {
    const char* word = strWord;
    if (nPoints != 0 && nTenths != 0) {
        strResult.Format(kWinByPointsHalf, word, nPoints);
    } else if (nPoints != 0) {
        strResult.Format(kWinByPoints, word, nPoints);
    } else if (nTenths != 0) {
        strResult.Format(kWinByHalf, word);
    }
}

}  // namespace gibo
