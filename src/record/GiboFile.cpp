// The record object: construction, copying and the getters that switch on the new-format flag.
#include "GiboFile.h"

#include <utility>

CGiboFile::CGiboFile()
    : m_dwError(0),
      m_nSpare(0),
      m_nGongje(0),
      m_nGameType(0),
      m_nGameResult(0),
      m_nGameCondition(0),
      m_nDum(0),
      m_nZipsu(0),
      m_nZipsuFrac(0),
      m_byWGeup(0),
      m_nWCode(0),
      m_byBGeup(0),
      m_nBCode(0),
      m_nNationCode(0),
      m_bNewFormat(0),
      m_pGBHLoad(new CGBHLoad(this)) {}

// The copy gets its own compact header, owned by and linked to the copy, so that neither
// object deletes the other's nor reads a nation code through a dangling owner link.
CGiboFile::CGiboFile(const CGiboFile& src)
    : m_dwError(src.m_dwError),
      m_strHeader(src.m_strHeader),
      m_strShowGiboTitle(src.m_strShowGiboTitle),
      m_strGameType(src.m_strGameType),
      m_strGameName(src.m_strGameName),
      m_strGameDate(src.m_strGameDate),
      m_strGamePlace(src.m_strGamePlace),
      m_strSpare1(src.m_strSpare1),
      m_strGameCondition(src.m_strGameCondition),
      m_strGameCondition2(src.m_strGameCondition2),
      m_strGameTime(src.m_strGameTime),
      m_strGameTime2(src.m_strGameTime2),
      m_strGameResult(src.m_strGameResult),
      m_strSpare2(src.m_strSpare2),
      m_strGameTotalNum(src.m_strGameTotalNum),
      m_strTotalNum(src.m_strTotalNum),
      m_nSpare(src.m_nSpare),
      m_nGongje(src.m_nGongje),
      m_nGameType(src.m_nGameType),
      m_nGameResult(src.m_nGameResult),
      m_nGameCondition(src.m_nGameCondition),
      m_nDum(src.m_nDum),
      m_nZipsu(src.m_nZipsu),
      m_nZipsuFrac(src.m_nZipsuFrac),
      m_strWUser(src.m_strWUser),
      m_strWUser2(src.m_strWUser2),
      m_strWId(src.m_strWId),
      m_strWNick(src.m_strWNick),
      m_byWGeup(src.m_byWGeup),
      m_nWCode(src.m_nWCode),
      m_strBUser(src.m_strBUser),
      m_strBUser2(src.m_strBUser2),
      m_strBId(src.m_strBId),
      m_strBNick(src.m_strBNick),
      m_byBGeup(src.m_byBGeup),
      m_nBCode(src.m_nBCode),
      m_strLvBuf(src.m_strLvBuf),
      m_nNationCode(src.m_nNationCode),
      m_bNewFormat(src.m_bNewFormat),
      m_pGBHLoad(new CGBHLoad(*src.m_pGBHLoad, this)) {}

CGiboFile& CGiboFile::operator=(const CGiboFile& src) {
    if (this == &src) {
        return *this;
    }
    // Copy into a temporary first: if allocation fails, this object is left unchanged.
    CGiboFile tmp(src);
    std::swap(m_dwError, tmp.m_dwError);
    std::swap(m_strHeader, tmp.m_strHeader);
    std::swap(m_strShowGiboTitle, tmp.m_strShowGiboTitle);
    std::swap(m_strGameType, tmp.m_strGameType);
    std::swap(m_strGameName, tmp.m_strGameName);
    std::swap(m_strGameDate, tmp.m_strGameDate);
    std::swap(m_strGamePlace, tmp.m_strGamePlace);
    std::swap(m_strSpare1, tmp.m_strSpare1);
    std::swap(m_strGameCondition, tmp.m_strGameCondition);
    std::swap(m_strGameCondition2, tmp.m_strGameCondition2);
    std::swap(m_strGameTime, tmp.m_strGameTime);
    std::swap(m_strGameTime2, tmp.m_strGameTime2);
    std::swap(m_strGameResult, tmp.m_strGameResult);
    std::swap(m_strSpare2, tmp.m_strSpare2);
    std::swap(m_strGameTotalNum, tmp.m_strGameTotalNum);
    std::swap(m_strTotalNum, tmp.m_strTotalNum);
    m_nSpare = tmp.m_nSpare;
    m_nGongje = tmp.m_nGongje;
    m_nGameType = tmp.m_nGameType;
    m_nGameResult = tmp.m_nGameResult;
    m_nGameCondition = tmp.m_nGameCondition;
    m_nDum = tmp.m_nDum;
    m_nZipsu = tmp.m_nZipsu;
    m_nZipsuFrac = tmp.m_nZipsuFrac;
    std::swap(m_strWUser, tmp.m_strWUser);
    std::swap(m_strWUser2, tmp.m_strWUser2);
    std::swap(m_strWId, tmp.m_strWId);
    std::swap(m_strWNick, tmp.m_strWNick);
    m_byWGeup = tmp.m_byWGeup;
    m_nWCode = tmp.m_nWCode;
    std::swap(m_strBUser, tmp.m_strBUser);
    std::swap(m_strBUser2, tmp.m_strBUser2);
    std::swap(m_strBId, tmp.m_strBId);
    std::swap(m_strBNick, tmp.m_strBNick);
    m_byBGeup = tmp.m_byBGeup;
    m_nBCode = tmp.m_nBCode;
    std::swap(m_strLvBuf, tmp.m_strLvBuf);
    m_nNationCode = tmp.m_nNationCode;
    m_bNewFormat = tmp.m_bNewFormat;
    // The temporary's compact header already names tmp as its owner; relink it to this object
    // and let tmp delete the old one.
    std::swap(m_pGBHLoad, tmp.m_pGBHLoad);
    m_pGBHLoad->m_pGiboFile = this;
    tmp.m_pGBHLoad->m_pGiboFile = &tmp;
    return *this;
}

CGiboFile::~CGiboFile() {
    delete m_pGBHLoad;
    m_pGBHLoad = nullptr;
}

#define GIBO_SWITCHING_GETTER(type, name, own, compact)    \
    type CGiboFile::name() const {                         \
        return m_bNewFormat ? m_pGBHLoad->compact() : own; \
    }

GIBO_SWITCHING_GETTER(CString, GetShowGiboTitle, m_strShowGiboTitle, GetShowGiboTitle)
GIBO_SWITCHING_GETTER(CString, GetGameType, m_strGameType, GetGameType)
GIBO_SWITCHING_GETTER(CString, GetGameName, m_strGameName, GetGameName)
GIBO_SWITCHING_GETTER(CString, GetGameDate, m_strGameDate, GetGameDate)
GIBO_SWITCHING_GETTER(CString, GetGameCondition, m_strGameCondition, GetGameCondition)
GIBO_SWITCHING_GETTER(CString, GetGameResult, m_strGameResult, GetGameResult)
GIBO_SWITCHING_GETTER(CString, GetGameTime, m_strGameTime, GetGameTime)
GIBO_SWITCHING_GETTER(CString, GetGameTime2, m_strGameTime2, GetGameTime2)
GIBO_SWITCHING_GETTER(CString, GetGameTotalNum, m_strGameTotalNum, GetGameTotalNum)
GIBO_SWITCHING_GETTER(CString, GetTotalNum, m_strTotalNum, GetGameTotalNum)
GIBO_SWITCHING_GETTER(CString, GetGameWUser, m_strWUser, GetGameWUser)
GIBO_SWITCHING_GETTER(CString, GetGameWUser2, m_strWUser2, GetGameWUser2)
GIBO_SWITCHING_GETTER(CString, GetGameBUser, m_strBUser, GetGameBUser)
GIBO_SWITCHING_GETTER(CString, GetGameBUser2, m_strBUser2, GetGameBUser2)
GIBO_SWITCHING_GETTER(CString, GetWNick, m_strWId, GetWNick)
GIBO_SWITCHING_GETTER(CString, GetBNick, m_strBId, GetBNick)
GIBO_SWITCHING_GETTER(unsigned char, GetWGeup, m_byWGeup, GetWGeup)
GIBO_SWITCHING_GETTER(unsigned char, GetBGeup, m_byBGeup, GetBGeup)
GIBO_SWITCHING_GETTER(unsigned char, GetRule, static_cast<unsigned char>(m_nGameCondition), GetRule)
GIBO_SWITCHING_GETTER(int, GetDum, m_nDum, GetDum)

#undef GIBO_SWITCHING_GETTER

unsigned char CGiboFile::GetGiboKind() const {
    return m_pGBHLoad->GetGiboKind();
}
unsigned short CGiboFile::GetGameWAvataID() const {
    return m_pGBHLoad->GetGameWAvataID();
}
unsigned short CGiboFile::GetGameBAvataID() const {
    return m_pGBHLoad->GetGameBAvataID();
}
CString CGiboFile::GetGameWImage() const {
    return m_pGBHLoad->GetGameWImage();
}
CString CGiboFile::GetGameBImage() const {
    return m_pGBHLoad->GetGameBImage();
}
CString CGiboFile::GetGameCommentator() const {
    return m_pGBHLoad->GetGameCommentator();
}
CString CGiboFile::GetGamePlace() const {
    return m_pGBHLoad->GetGamePlace();
}
