// The compact header object: construction, defaults and the shown-name rule.
#include "GBHLoad.h"

#include "GiboFile.h"
#include "display/PlayerResultText.h"

CGBHLoad::CGBHLoad(CGiboFile* pOwner) : m_pGiboFile(pOwner) {
    InitText();
    InitNumbers();
}

CGBHLoad::CGBHLoad(const CGBHLoad& src, CGiboFile* pOwner) : m_pGiboFile(pOwner) {
    m_strGameTimeRaw = src.m_strGameTimeRaw;
    m_strGameDateRaw = src.m_strGameDateRaw;
    m_strShowGiboTitle = src.m_strShowGiboTitle;
    m_strGameTime2 = src.m_strGameTime2;
    m_strSpare5 = src.m_strSpare5;
    m_strGameType = src.m_strGameType;
    m_strGameCondition = src.m_strGameCondition;
    m_strGameTime = src.m_strGameTime;
    m_strGameResult = src.m_strGameResult;
    m_strSpare10 = src.m_strSpare10;
    m_strSpare11 = src.m_strSpare11;
    m_strSpare12 = src.m_strSpare12;
    m_strGameTotalNum = src.m_strGameTotalNum;
    m_strSpare14 = src.m_strSpare14;
    m_strGameName = src.m_strGameName;
    m_strGameDate = src.m_strGameDate;
    m_strGamePlace = src.m_strGamePlace;
    m_strGameCommentator = src.m_strGameCommentator;
    m_strWUser = src.m_strWUser;
    m_strWUser2 = src.m_strWUser2;
    m_strWId = src.m_strWId;
    m_strSpare22 = src.m_strSpare22;
    m_strWNick = src.m_strWNick;
    m_strSpare24 = src.m_strSpare24;
    m_strSpare25 = src.m_strSpare25;
    m_strWImage = src.m_strWImage;
    m_strBUser = src.m_strBUser;
    m_strBUser2 = src.m_strBUser2;
    m_strBId = src.m_strBId;
    m_strSpare30 = src.m_strSpare30;
    m_strBNick = src.m_strBNick;
    m_strSpare32 = src.m_strSpare32;
    m_strSpare33 = src.m_strSpare33;
    m_strBImage = src.m_strBImage;
    m_strSpare35 = src.m_strSpare35;
    m_strSpare36 = src.m_strSpare36;
    m_strSpare37 = src.m_strSpare37;
    m_strSpare38 = src.m_strSpare38;
    m_strSpare39 = src.m_strSpare39;
    m_strSpare40 = src.m_strSpare40;
    m_byGiboKind = src.m_byGiboKind;
    m_byGameType = src.m_byGameType;
    m_byGameResult = src.m_byGameResult;
    m_byGameCondition = src.m_byGameCondition;
    m_bySpare45 = src.m_bySpare45;
    m_bySpare46 = src.m_bySpare46;
    m_byWGeup = src.m_byWGeup;
    m_byWCode = src.m_byWCode;
    m_wWAvataID = src.m_wWAvataID;
    m_byBGeup = src.m_byBGeup;
    m_byBCode = src.m_byBCode;
    m_wBAvataID = src.m_wBAvataID;
    m_nZipsu = src.m_nZipsu;
    m_nDum = src.m_nDum;
    m_nGongje = src.m_nGongje;
    m_nTotalNum = src.m_nTotalNum;
    m_nAudioSize = src.m_nAudioSize;
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
