// The record object's display fields, composed from the game fields after interpretation.
#include "GiboFile.h"
#include "display/PlayerResultText.h"
#include "display/Tables.h"

namespace {

// GBK: ‘让子棋’ (handicap game), ‘让%d子 让子棋’, ‘让%d子 让子棋 ( 黑倒贴 %d目 )’.
const char kHandicapGame[] = "\xC8\xC3\xD7\xD3\xC6\xE5";
const char kHandicap[] = "\xC8\xC3%d\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5";
const char kHandicapDum[] =
    "\xC8\xC3%d\xD7\xD3 \xC8\xC3\xD7\xD3\xC6\xE5 ( \xBA\xDA\xB5\xB9\xCC\xF9 %d\xC4\xBF )";

// GBK: ‘总: %s数’.
const char kTotalNum[] = "\xD7\xDC: %s\xCA\xFD";
// GBK: ‘白:%s Vs 黑:%s - %s(%s 总:%s数)’.
const char kTitle[] = "\xB0\xD7:%s Vs \xBA\xDA:%s - %s(%s \xD7\xDC:%s\xCA\xFD)";

// Result codes: below 9 a row of the result tables, 255 a text in the GAMERESULT item.
const int kResultInHeader = 255;

}  // namespace

void CGiboFile::MakeWUserName() {
    gibo::FormatPlayerNames(gibo::ShownName(m_nWCode != m_nNationCode, m_strWNick, m_strWId),
                            GetLevel(m_byWGeup), GetLevel2(m_byWGeup), m_strWUser, m_strWUser2);
}

void CGiboFile::MakeBUserName() {
    gibo::FormatPlayerNames(gibo::ShownName(m_nBCode != m_nNationCode, m_strBNick, m_strBId),
                            GetLevel(m_byBGeup), GetLevel2(m_byBGeup), m_strBUser, m_strBUser2);
}

void CGiboFile::MakeGameResult() {
    int code = m_nGameResult;
    if (m_nGameResult == kResultInHeader) {
        int bFound = 0;
        code = CompareOtherNationResult(GetParam("GAMERESULT", bFound));
    } else if (m_nGameResult >= gibo::kResultCount) {
        return;
    }
    // Copied at once: out of range the word lives in a buffer the next lookup rewrites.
    const CString word = GetStrGameResult(code);
    if (code >= 2) {
        m_strGameResult = word;
        return;
    }
    // A win by score (a negative code lands here too, with a blank for its colour word).
    gibo::FormatScoreResult(word, m_nZipsu, m_nZipsuFrac, m_strGameResult);
}

void CGiboFile::MakeGameCondition() {
    if (m_nGameCondition == 0) {
        // The even-game text names its own komi, so m_nDum does not show.
        m_strGameCondition = gibo::g_szDeakukRule[0];
    } else if (m_nGameCondition == 1) {
        m_strGameCondition = kHandicapGame;
    } else if (m_nDum == 0) {
        m_strGameCondition.Format(kHandicap, m_nGameCondition);
    } else {
        m_strGameCondition.Format(kHandicapDum, m_nGameCondition, m_nDum);
    }
}

void CGiboFile::MakeGameTotalNum() {
    int bFound = 0;
    m_strTotalNum = GetParam("GAMETOTALNUM", bFound);
    if (!m_strTotalNum.IsEmpty()) {
        // The count is the fourth to the third-last byte of the value; shorter values hold none.
        m_strTotalNum = m_strTotalNum.Right(m_strTotalNum.GetLength() - 3);
        m_strTotalNum = m_strTotalNum.Left(m_strTotalNum.GetLength() - 2);
    }
    m_strGameTotalNum.Format(kTotalNum, static_cast<const char*>(m_strTotalNum));
}

void CGiboFile::MakeShowGiboTitle() {
    m_strShowGiboTitle.Format(
        kTitle, static_cast<const char*>(m_strWUser2), static_cast<const char*>(m_strBUser2),
        static_cast<const char*>(m_strGameResult), static_cast<const char*>(m_strGameCondition),
        static_cast<const char*>(m_strTotalNum));
}
