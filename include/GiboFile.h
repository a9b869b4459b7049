// gibo: game records of Go in the \HS...\HE / \GS...\GE container, and their display texts.
// This is the one header a host includes. All texts are byte strings in GBK (code page 936),
// except the result names of CompareOtherNationResult, which are also stored in CP949, Big5
// and Shift-JIS. Nothing converts between code pages.
//
// Threads: a record object is used by one thread at a time. Three static buffers are shared by
// all record objects (readTagNum's digits, GetDeakukRule's and GetStrGameResult's texts), so
// ParsingTagData, MakeData and those lookups must not run on two threads at once, even for
// different objects.
#ifndef GIBO_GIBOFILE_H
#define GIBO_GIBOFILE_H

#include "GBHLoad.h"
#include "GiboExport.h"
#include "GiboFileIO.h"
#include "GiboString.h"
#include "GiboTags.h"

// Error codes left in m_dwError by a failing file operation (success never clears it).
enum : unsigned long {
    GIBO_ERR_OPEN = 0x10000001,          // LoadFile: record not readable; SaveFile: no body file
    GIBO_ERR_AUDIO_REOPEN = 0x10000002,  // LoadFile: audio trailer unreadable or SZAUDIO invalid
    GIBO_ERR_BODY_OPEN = 0x10000003,     // SaveFile: body file exists but cannot be read
    GIBO_ERR_AUDIO_OPEN = 0x10000004,    // SaveFile: audio file unreadable or 2 GiB or more
    GIBO_ERR_NO_HEADER = 0x10000005,     // no \HS...\HE; LoadStream: text under 10 bytes
    GIBO_ERR_NO_BODY = 0x10000006,       // no \GS...\GE after the header
    GIBO_ERR_BODY_CREATE = 0x10000007,   // the .lbk side file cannot be created
    GIBO_ERR_AUDIO_CREATE = 0x10000008,  // the .lao side file cannot be created
    GIBO_ERR_CREATE = 0x10000009         // SaveFile: the record cannot be written, or would not
                                         // load back (a \HE in the header, a \GE in the body)
};

// The record object's fields, public as in the legacy class; the order is the declared layout.
// They sit in a base of their own so that the compiler copies them all: CGiboFile's copy only
// adds its own compact header. Not part of the interface otherwise.
struct CGiboFileFields {
    unsigned long m_dwError = 0;
    CString m_strHeader;  // the parameter text
    CString m_strShowGiboTitle;
    CString m_strGameType;
    CString m_strGameName;
    CString m_strGameDate;
    CString m_strGamePlace;
    CString m_strSpare1;
    CString m_strGameCondition;
    CString m_strGameCondition2;
    CString m_strGameTime;
    CString m_strGameTime2;
    CString m_strGameResult;
    CString m_strSpare2;
    CString m_strGameTotalNum;
    CString m_strTotalNum;
    int m_nSpare = 0;
    int m_nGongje = 0;
    int m_nGameType = 0;
    int m_nGameResult = 0;
    int m_nGameCondition = 0;
    int m_nDum = 0;
    int m_nZipsu = 0;
    int m_nZipsuFrac = 0;
    CString m_strWUser;
    CString m_strWUser2;
    CString m_strWId;
    CString m_strWNick;
    unsigned char m_byWGeup = 0;
    int m_nWCode = 0;
    CString m_strBUser;
    CString m_strBUser2;
    CString m_strBId;
    CString m_strBNick;
    unsigned char m_byBGeup = 0;
    int m_nBCode = 0;
    CString m_strLvBuf;
    int m_nNationCode = 0;
    unsigned char m_bNewFormat = 0;
};

class GIBO_API CGiboFile : public CGiboFileFields {
public:
    // --- Construction. A copy gets its own compact header with the same content.
    CGiboFile();
    CGiboFile(const CGiboFile& src);
    CGiboFile& operator=(const CGiboFile& src);
    virtual ~CGiboFile();

    unsigned long GetError() const { return m_dwError; }
    void SetNewFormat(unsigned char bNewFormat) { m_bNewFormat = bNewFormat; }
    void SetNationCode(int nNationCode) { m_nNationCode = nNationCode; }
    CGBHLoad* GetGBHLoad() { return m_pGBHLoad; }  // owned by the record object

    // --- Getters. While the new-format flag is set these answer from the compact header.
    CString GetShowGiboTitle() const;
    CString GetGameType() const;
    CString GetGameName() const;
    CString GetGameDate() const;
    CString GetGameCondition() const;
    CString GetGameResult() const;
    CString GetGameTime() const;   // two lines, CR LF between
    CString GetGameTime2() const;  // one line
    CString GetGameTotalNum() const;
    CString GetTotalNum() const;
    CString GetGameWUser() const;   // "name ( level )"
    CString GetGameWUser2() const;  // "name(level)"
    CString GetGameBUser() const;
    CString GetGameBUser2() const;
    CString GetWNick() const;  // flag clear: the white id
    CString GetWUser() const { return GetWNick(); }
    CString GetBNick() const;  // flag clear: the black id
    CString GetBUser() const { return GetBNick(); }
    unsigned char GetWGeup() const;
    unsigned char GetBGeup() const;
    unsigned char GetRule() const;
    int GetDum() const;
    CString GetGameCondition2() const { return m_strGameCondition2; }
    // Always from the compact header.
    unsigned char GetGiboKind() const;
    unsigned short GetGameWAvataID() const;
    unsigned short GetGameBAvataID() const;
    CString GetGameWImage() const;
    CString GetGameBImage() const;
    CString GetGameCommentator() const;
    CString GetGamePlace() const;

    // --- Scanning. readTag appends the next field (up to the separator g_szTagSep[nSep],
    // which is consumed) to pszOut without a terminating zero: the caller zero-fills pszOut,
    // which must hold 1024 bytes; at most 1023 are written and the rest of the field is
    // skipped. readTagNum converts the field with atoi: -1 for an empty field, 0 at the end.
    void readTag(char** ppszCursor, char* pszOut, int nSep);
    int readTagNum(char** ppszCursor, int nSep);
    // Splits a game-information item into its code letter and value (at most 255 bytes, into
    // a zero-filled buffer of 256). 1 when the letter is known.
    int GetTagData(char* pszItem, char& chCode, char* pszValue);
    // Copies pszSrc without blanks (at most 255 bytes); pszDst may be pszSrc.
    void RemoveSpace(char* pszDst, char* pszSrc);

    // --- Loading. LoadFile splits a record into the parameter text, the body file (stem of
    // strPath + ".lbk") and the audio file (stem + ".lao"). 1 on success; 0 with GetError().
    // The stem ends before the last '.' of the file name (the whole path when it has none).
    // Only '/' ends a directory on POSIX, where the bytes of a name are taken as they are
    // (UTF-8 as well as GBK); on Windows '\' and "X:" do too, and a GBK character whose second
    // byte is 0x5C stays one character.
    // Each side file is created as a new regular file: a file or link standing at its name is
    // removed first (a directory there fails with GIBO_ERR_BODY_CREATE or _AUDIO_CREATE), so a
    // load never writes through a link; a side file that would be the record itself is refused
    // before anything is written. A failed load leaves no side file behind. A side file that
    // cannot be removed (POSIX: its directory is not writable by the caller; Windows: another
    // program holds it open) is emptied and written in place instead; on POSIX only when it is
    // a regular file, not a link, that the caller owns and that has no other name.
    // Raises CFileException when reading the record or writing a side file fails (m_cause and
    // m_lOsError say how; GetError() also holds GIBO_ERR_OPEN, _BODY_CREATE or _AUDIO_CREATE),
    // after the same cleanup. A record that cannot be opened and a side file that cannot be
    // created are reported by the result, never raised.
    int LoadFile(CString strPath, CString& strBodyPath, CString& strAudioPath,
                 unsigned char& byType, int& bAudio);
    int LoadStream(CString strHeader, unsigned char& byType);

    // --- Game information. With the new-format flag clear, interprets code-letter items
    // ("S1,R2,D65,...") into the game fields and composes the display fields; with it set,
    // hands the text to the compact header. Returns where reading stopped in pszData: just
    // past the comma of the first empty item, or at the text's terminating zero. Items over
    // 255 bytes are cut. The setters treat a null value as the empty text.
    char* ParsingTagData(char* pszData);
    void SetGameType(char* pszValue);
    void SetGameCondition(char* pszValue);
    void SetGameDum(char* pszValue);
    void SetGameGongje(char* pszValue);
    void SetGameResult(char* pszValue);
    void SetGameZip(char* pszValue);
    void SetGameTime(char* pszValue);
    void SetGameDate(char* pszValue);
    void SetGameWId(char* pszValue);
    void SetGameWGeup(char* pszValue);
    void SetGameBId(char* pszValue);
    void SetGameBGeup(char* pszValue);
    void SetGameWNick(char* pszValue);
    void SetGameBNick(char* pszValue);
    void SetGameWCode(char* pszValue);
    void SetGameBCode(char* pszValue);
    void SetGameName(char* pszValue);
    void SetGamePlace(char* pszValue);
    // Compact header: splits "TAG:value" at the first colon and looks the tag up; 1 with the
    // index and the value (at most 255 bytes and a zero, into a 256-byte buffer), or -1.
    int GetNewTagData(char* pszItem, unsigned char& byIndex, char* pszValue);
    void MakeData();  // the compact header's display texts, whatever the flag

    // --- Header parameters: items \[TAG=value\] in the parameter text. SetParam turns
    // backslashes into blanks, trims blanks off the value and drops a lead byte without its
    // second byte at the value's end (it would take the closer's backslash).
    CString GetParam(CString strTag, int& bFound);
    int SetParam(CString strTag, CString strValue);      // 0 only for an empty tag
    int ReplaceParam(CString strTag, CString strValue);  // 1 when an item was changed
    void ClearParamAll() { m_strHeader.Empty(); }

    // --- Writing. Joins the parameter text, the body file and the audio file (optional) into
    // the record file strPath, atomically and durably: a temporary beside the record, created
    // exclusively, is written, put on disk and renamed over it, and the directory is put on
    // disk after. On failure the file at strPath is left as it was and no temporary remains.
    // A record the caller could not open for writing, and anything but a regular file at the
    // path (a directory, device, FIFO), are refused (GIBO_ERR_CREATE) before anything is
    // created. The replaced record keeps its mode, and its owner and group where the process
    // may set them; a symbolic link at strPath stays a link, and the file it names is written
    // (created when missing). Hard links to the old record keep the old bytes.
    // Raises CFileException when writing the record, reading the body or audio file, or putting
    // the record on disk fails (GetError() also holds GIBO_ERR_CREATE); only when putting the
    // directory on disk fails, after the rename, is the new record already in place. A missing
    // body, files that cannot be opened or created and a failed rename are reported by the
    // result, never raised. Windows: when the replace fails after the old record went and the
    // temporary cannot be moved into place either, the temporary (.gibo-*.tmp beside the
    // record) is left: it is the record's only copy.
    // A record that would not load back as saved is refused with GIBO_ERR_CREATE, the old
    // record kept: a parameter text holding \HE, or a body file holding \GE, at a character
    // start (the loader would end the header or the body there). A parameter text or a body
    // whose last byte is a lead byte without its second byte gets CR LF after it, so that the
    // \HE or \GE written next is still read as a marker.
    int SaveFile(unsigned char byType, CString strPath, CString strBodyPath, CString strAudioPath);

    // --- Reference blocks \RS...\RE in a file the host opened. The buffer GetReference returns
    // is allocated with malloc and belongs to the caller, who releases it with free(); it is
    // null when the block has no REFGIBO item, and a buffer with nGiboLen 0 when the item is
    // empty. Both raise the host file's CFileException when writing or reading fails.
    // AppendReference drops a lead byte without its second byte at the end of the game bytes,
    // as SetParam does at the end of a value: it would take the closer's backslash.
    int AppendReference(CFile* pFile, unsigned short wSusun, CString strExplain,
                        unsigned short wRefNum, unsigned char* pGibo, int nGiboLen);
    unsigned char* GetReference(CStdioFile* pFile, int& bFound, unsigned short& wSusun,
                                CString& strExplain, unsigned short& wRefNum, int& nGiboLen);

    // --- Lookups. char* results point into constant tables or static buffers: never free or
    // change them. GetDeakukRule's and GetStrGameResult's buffers are overwritten by the next
    // call from any object.
    char* GetNationName(unsigned char nIndex);  // "" above 5
    char* GetDeakukKind(unsigned char nIndex);  // row 0 above 6
    // "" above 11; the row itself for row 0 or no komi; else the row with the komi added in
    // brackets, never cut. The buffer is cleared on every call, even one answering from a row.
    char* GetDeakukRule(unsigned char nIndex, int nDum);
    char* GetDeakukResult(unsigned char nIndex);  // null above 8
    char* GetStrGameResult(int nIndex);           // " " outside 0..8
    CString GetLevel(int nIndex);
    CString GetLevel2(int nIndex);
    CString ExtGetLvStr(unsigned char nLevel);  // also left in m_strLvBuf
    // A result text in CP949, Big5, GBK or Shift-JIS back to its code 0..8; 2 when none fits.
    int CompareOtherNationResult(CString strResult);

    // --- Derived display fields, composed from the game fields by ParsingTagData.
    void MakeWUserName();
    void MakeBUserName();
    void MakeGameResult();
    void MakeGameCondition();
    void MakeGameTotalNum();
    void MakeShowGiboTitle();

    // --- The owned compact header, after the fields of the base.
    CGBHLoad* m_pGBHLoad;  // owned
};

#endif  // GIBO_GIBOFILE_H
