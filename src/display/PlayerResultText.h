// Display texts that the record object and the compact header compose alike.
#ifndef GIBO_DISPLAY_PLAYERRESULTTEXT_H
#define GIBO_DISPLAY_PLAYERRESULTTEXT_H

#include "GiboString.h"

namespace gibo {

// A player of another nation is shown by nick, if there is one; everyone else by id.
inline const CString& ShownName(bool bForeign, const CString& strNick, const CString& strId) {
    return (bForeign && !strNick.IsEmpty()) ? strNick : strId;
}

// strUser = "name ( level )", strUser2 = "name(level2)".
void FormatPlayerNames(const CString& strName, const CString& strLevel, const CString& strLevel2,
                       CString& strUser, CString& strUser2);

// A win by score: ‘word N目 胜’, ‘word N目 半胜’ or ‘word 半目 胜’ (any tenth counts as a half
// point). With neither points nor tenths strResult keeps its text.
void FormatScoreResult(const CString& strWord, int nPoints, int nTenths, CString& strResult);

}  // namespace gibo

#endif  // GIBO_DISPLAY_PLAYERRESULTTEXT_H
