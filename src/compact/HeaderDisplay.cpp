// The compact header's display texts, built from the loaded fields on the host's request.
#include "GBHLoad.h"
#include "GiboFile.h"
#include "display/PlayerResultText.h"

namespace {

// GBK: ‘总: %d数’ and ‘白:%s Vs 黑:%s - %s(%s 总:%d数)’.
const char kTotalNum[] = "\xD7\xDC: %d\xCA\xFD";
const char kTitle[] = "\xB0\xD7:%s Vs \xBA\xDA:%s - %s(%s \xD7\xDC:%d\xCA\xFD)";

}  // namespace

void CGiboFile::MakeData() {
    if (m_pGBHLoad) {
        m_pGBHLoad->MakeData();
    }
}

// The title comes last because it quotes the texts made before it.
void CGBHLoad::MakeData() {
    MakeWUserName();
    MakeBUserName();
    MakeGameResult();
    MakeGameCondition();
    MakeGameTotalNum();
    MakeShowGiboTitle();
}

// The levels come from the owner's tables; without an owner the names are left as they were.
void CGBHLoad::MakeWUserName() {
    if (!m_pGiboFile) {
        return;
    }
    gibo::FormatPlayerNames(GetWNick(), m_pGiboFile->GetLevel(m_byWGeup),
                            m_pGiboFile->GetLevel2(m_byWGeup), m_strWUser, m_strWUser2);
}

void CGBHLoad::MakeBUserName() {
    if (!m_pGiboFile) {
        return;
    }
    gibo::FormatPlayerNames(GetBNick(), m_pGiboFile->GetLevel(m_byBGeup),
                            m_pGiboFile->GetLevel2(m_byBGeup), m_strBUser, m_strBUser2);
}

void CGBHLoad::MakeGameResult() {
    if (!m_pGiboFile) {
        return;
    }
    // Copied at once: codes past 8 answer from a buffer the next lookup rewrites.
    const CString word = m_pGiboFile->GetStrGameResult(m_byGameResult);
    if (m_byGameResult >= 2) {
        m_strGameResult = word;
        return;
    }
    // A win by score: the margin is in tenths.
    gibo::FormatScoreResult(word, m_nZipsu / 10, m_nZipsu % 10, m_strGameResult);
}

void CGBHLoad::MakeGameCondition() {
    if (!m_pGiboFile) {
        return;
    }
    // Copied at once, before any other call can rewrite the shared rule buffer.
    m_strGameCondition = m_pGiboFile->GetDeakukRule(m_byGameCondition, m_nDum);
}

void CGBHLoad::MakeGameTotalNum() {
    m_strGameTotalNum.Format(kTotalNum, m_nTotalNum);
}

void CGBHLoad::MakeShowGiboTitle() {
    m_strShowGiboTitle.Format(kTitle, static_cast<const char*>(m_strWUser2),
                              static_cast<const char*>(m_strBUser2),
                              static_cast<const char*>(m_strGameResult),
                              static_cast<const char*>(m_strGameCondition), m_nTotalNum);
}
