// The compact header object: construction, defaults and the shown-name rule.
#include "GBHLoad.h"

#include "GiboFile.h"
#include "display/PlayerResultText.h"

CGBHLoad::CGBHLoad(CGiboFile* pOwner) : m_pGiboFile(pOwner) {
    InitText();
    InitNumbers();
}

CGBHLoad::CGBHLoad(const CGBHLoad& src, CGiboFile* pOwner) : CGBHLoad(src) {
    m_pGiboFile = pOwner;
}

CGBHLoad::~CGBHLoad() = default;

void CGBHLoad::InitText() {
    m_strGameTimeRaw.Empty();
    m_strGameDateRaw.Empty();
    m_strShowGiboTitle.Empty();
    m_strGameTime2.Empty();
    m_strSpare5.Empty();
    m_strGameType = "0";
    m_strGameCondition.Empty();
    m_strGameTime.Empty();
    m_strGameResult.Empty();
    m_strSpare10 = "0";
    m_strSpare11 = "0";
    m_strSpare12 = "0";
    m_strGameTotalNum = "0";
    m_strSpare14 = "0";
    m_strGameName.Empty();
    m_strGameDate.Empty();
    m_strGamePlace.Empty();
    m_strGameCommentator = "Velix";
    for (CString* s :
         {&m_strWUser,   &m_strWUser2,  &m_strWId,     &m_strSpare22, &m_strWNick,   &m_strSpare24,
          &m_strSpare25, &m_strWImage,  &m_strBUser,   &m_strBUser2,  &m_strBId,     &m_strSpare30,
          &m_strBNick,   &m_strSpare32, &m_strSpare33, &m_strBImage,  &m_strSpare35, &m_strSpare36,
          &m_strSpare37, &m_strSpare38, &m_strSpare39, &m_strSpare40}) {
        s->Empty();
    }
}

void CGBHLoad::InitNumbers() {
    m_byGiboKind = m_byGameType = m_byGameResult = m_byGameCondition = 0;
    m_bySpare45 = m_bySpare46 = 0;
    m_byWGeup = m_byWCode = m_byBGeup = m_byBCode = 0;
    m_wWAvataID = m_wBAvataID = 0;
    m_nZipsu = m_nDum = m_nGongje = m_nTotalNum = m_nAudioSize = 0;
}

// Without an owner there is no nation to compare with, so nobody is shown.
static CString ShownName(const CGiboFile* pOwner, unsigned char byCode, const CString& strNick,
                         const CString& strId) {
    if (!pOwner) {
        return CString();
    }
    return gibo::ShownName(static_cast<int>(byCode) != pOwner->m_nNationCode, strNick, strId);
}

CString CGBHLoad::GetWNick() const {
    return ShownName(m_pGiboFile, m_byWCode, m_strWNick, m_strWId);
}

CString CGBHLoad::GetBNick() const {
    return ShownName(m_pGiboFile, m_byBCode, m_strBNick, m_strBId);
}
