// The record object: construction, copying and the getters that switch on the new-format flag.
#include "GiboFile.h"

#include <utility>

CGiboFile::CGiboFile() : m_pGBHLoad(new CGBHLoad(this)) {}

// The compiler copies the fields; the copy gets its own compact header, owned by and linked to
// the copy, so that neither object deletes the other's nor reads a nation code through a
// dangling owner link.
CGiboFile::CGiboFile(const CGiboFile& src)
    : CGiboFileFields(src), m_pGBHLoad(new CGBHLoad(*src.m_pGBHLoad, this)) {}

CGiboFile& CGiboFile::operator=(const CGiboFile& src) {
    if (this == &src) {
        return *this;
    }
    // Copy into a temporary first: if allocation fails, this object is left unchanged. Moving
    // the fields cannot fail.
    CGiboFile tmp(src);
    static_cast<CGiboFileFields&>(*this) = std::move(static_cast<CGiboFileFields&>(tmp));
    // The temporary's compact header names tmp as its owner; relink it to this object and let
    // tmp delete the old one.
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
