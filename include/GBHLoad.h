// CGBHLoad: the compact header (short tags GBKIND, GTYPE, GTIME, ... BIMG) of a record.
// Every CGiboFile owns exactly one; reach it with CGiboFile::GetGBHLoad(). It is never copied
// on its own: copying a CGiboFile gives the copy its own CGBHLoad with the same content.
#ifndef GIBO_GBHLOAD_H
#define GIBO_GBHLOAD_H

#include "GiboExport.h"
#include "GiboString.h"

class CGiboFile;

class GIBO_API CGBHLoad {
public:
    explicit CGBHLoad(CGiboFile* pOwner);
    CGBHLoad(const CGBHLoad& src, CGiboFile* pOwner);  // same content, another owner
    CGBHLoad& operator=(const CGBHLoad&) = delete;
    ~CGBHLoad();

    void InitText();     // text fields to their defaults ("0", "Velix", empty)
    void InitNumbers();  // numeric fields to 0

    // Loading. Reads comma-separated TAG:value items and applies each known tag; stops at the
    // first empty item. Returns where reading stopped in pszText (just past the comma of the
    // empty item, or its terminating zero); null when there is no owner or no text. Items are
    // cut at 255 bytes and tags longer than 127 bytes are skipped.
    char* LoadHeader(char* pszText);
    void DispatchTag(unsigned char byIndex, const char* pszValue);  // index > 27: nothing
    void SetGameTimeText(const char* pszValue);
    void SetGameDateText(const char* pszValue);

    // Display texts, built from the loaded fields (the loader does not call it).
    void MakeData();
    void MakeWUserName();
    void MakeBUserName();
    void MakeGameResult();
    void MakeGameCondition();
    void MakeGameTotalNum();
    void MakeShowGiboTitle();

    // Getters: copies of the fields.
    unsigned char GetGiboKind() const { return m_byGiboKind; }
    unsigned short GetGameWAvataID() const { return m_wWAvataID; }
    unsigned short GetGameBAvataID() const { return m_wBAvataID; }
    CString GetGameWImage() const { return m_strWImage; }
    CString GetGameBImage() const { return m_strBImage; }
    CString GetGameCommentator() const { return m_strGameCommentator; }
    CString GetGamePlace() const { return m_strGamePlace; }
    CString GetShowGiboTitle() const { return m_strShowGiboTitle; }
    CString GetGameName() const { return m_strGameName; }
    CString GetGameType() const { return m_strGameType; }
    CString GetGameDate() const { return m_strGameDate; }
    CString GetGameCondition() const { return m_strGameCondition; }
    CString GetGameWUser() const { return m_strWUser; }
    CString GetGameBUser() const { return m_strBUser; }
    CString GetGameResult() const { return m_strGameResult; }
    CString GetGameTime() const { return m_strGameTime; }
    CString GetGameTotalNum() const { return m_strGameTotalNum; }
    CString GetGameTime2() const { return m_strGameTime2; }
    CString GetGameWUser2() const { return m_strWUser2; }
    CString GetGameBUser2() const { return m_strBUser2; }
    // Shown name: the nick when the player's nation differs from the owner's and the nick is
    // not empty, else the id. Empty without an owner.
    CString GetWNick() const;
    CString GetBNick() const;
    unsigned char GetWGeup() const { return m_byWGeup; }
    unsigned char GetBGeup() const { return m_byBGeup; }
    unsigned char GetRule() const { return m_byGameCondition; }
    int GetDum() const { return m_nDum; }

    // Fields, public as in the legacy class; the order is the declared layout.
    CString m_strGameTimeRaw;
    CString m_strGameDateRaw;
    CString m_strShowGiboTitle;
    CString m_strGameTime2;
    CString m_strSpare5;
    CString m_strGameType;
    CString m_strGameCondition;
    CString m_strGameTime;
    CString m_strGameResult;
    CString m_strSpare10, m_strSpare11, m_strSpare12;
    CString m_strGameTotalNum;
    CString m_strSpare14;
    CString m_strGameName;
    CString m_strGameDate;
    CString m_strGamePlace;
    CString m_strGameCommentator;
    CString m_strWUser;
    CString m_strWUser2;
    CString m_strWId;
    CString m_strSpare22;
    CString m_strWNick;
    CString m_strSpare24, m_strSpare25;
    CString m_strWImage;
    CString m_strBUser;
    CString m_strBUser2;
    CString m_strBId;
    CString m_strSpare30;
    CString m_strBNick;
    CString m_strSpare32, m_strSpare33;
    CString m_strBImage;
    CString m_strSpare35, m_strSpare36, m_strSpare37, m_strSpare38, m_strSpare39, m_strSpare40;
    unsigned char m_byGiboKind;
    unsigned char m_byGameType;
    unsigned char m_byGameResult;
    unsigned char m_byGameCondition;
    unsigned char m_bySpare45, m_bySpare46;
    unsigned char m_byWGeup;
    unsigned char m_byWCode;
    unsigned short m_wWAvataID;
    unsigned char m_byBGeup;
    unsigned char m_byBCode;
    unsigned short m_wBAvataID;
    int m_nZipsu;
    int m_nDum;
    int m_nGongje;
    int m_nTotalNum;
    int m_nAudioSize;
    CGiboFile* m_pGiboFile;  // the owner; not owned

private:
    // Every field, the owner link included; only the constructor above uses it, and relinks.
    CGBHLoad(const CGBHLoad&) = default;
};

#endif  // GIBO_GBHLOAD_H
