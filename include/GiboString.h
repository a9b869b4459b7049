// CString: the byte string the library works in (GBK, code page 936, unless a table says
// otherwise). It keeps the surface of the legacy framework's string class so that host code
// written for it compiles unchanged, and its layout: one pointer to the zero-terminated
// characters, with the length, capacity and count of sharing copies stored just before them.
// A copy shares the characters until either side changes; the count is atomic, so strings
// may be copied and destroyed on several threads, as any object of their own.
//
// Searching, replacing and trimming treat a lead byte 0x81-0xFE and the byte after it as one
// character when that byte can be a second byte (0x40-0x7E, 0x80-0xFE; else the lead byte
// stands alone): nothing ever matches starting at the second byte of a double-byte character,
// so a trail byte 0x5C is never taken for a backslash, and white space is never a second byte.
#ifndef GIBO_STRING_H
#define GIBO_STRING_H

#include <atomic>
#include <cstddef>
#include <string>
#include <type_traits>

#include "GiboExport.h"

#ifndef BOOL
typedef int BOOL;
#endif
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

class GIBO_API CString {
public:
    CString() noexcept;
    CString(const char* psz);               // null gives the empty string
    CString(const char* pch, int nLength);  // exactly nLength bytes, NULs included
    CString(const CString& str);
    CString(CString&& str) noexcept;
    ~CString();
    CString& operator=(const CString& str);
    CString& operator=(CString&& str) noexcept;
    CString& operator=(const char* psz);

    // Always zero-terminated; valid until the string is next changed.
    operator const char*() const { return m_pchData; }

    int GetLength() const { return static_cast<int>(Head().nLength); }
    BOOL IsEmpty() const { return Head().nLength == 0; }
    void Empty();  // keeps storage that no copy shares, for the next text
    char GetAt(int nIndex) const { return m_pchData[nIndex]; }

    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);
    friend GIBO_API CString operator+(const CString& a, const CString& b);
    friend GIBO_API CString operator+(const CString& a, const char* b);
    friend GIBO_API CString operator+(const char* a, const CString& b);

    // Contents compared as Compare does, never the buffers' addresses, so that sorted lists
    // and std::map<CString, ...> order by text.
    friend bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
    friend bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CString& a, const CString& b) { return b < a; }
    friend bool operator>(const CString& a, const char* b) { return b < a; }
    friend bool operator>(const char* a, const CString& b) { return b < a; }
    friend bool operator<=(const CString& a, const CString& b) { return !(b < a); }
    friend bool operator<=(const CString& a, const char* b) { return !(b < a); }
    friend bool operator<=(const char* a, const CString& b) { return !(b < a); }
    friend bool operator>=(const CString& a, const CString& b) { return !(a < b); }
    friend bool operator>=(const CString& a, const char* b) { return !(a < b); }
    friend bool operator>=(const char* a, const CString& b) { return !(a < b); }
    // Bytewise, like strcmp: both texts end at their first NUL byte.
    int Compare(const char* psz) const;

    // Byte positions; -1 when absent. A start inside a double-byte character moves on to
    // the next character.
    int Find(char ch) const;
    int Find(const char* pszSub) const { return Find(pszSub, 0); }
    int Find(const char* pszSub, int nStart) const;
    int ReverseFind(char ch) const;

    // Counts beyond the string are clamped; negative counts give the empty string.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // Replaces every occurrence, scanning left to right; returns how many were replaced.
    int Replace(const char* pszOld, const char* pszNew);
    int Replace(char chOld, char chNew);
    int Insert(int nIndex, const char* psz);  // returns the new length
    int Delete(int nIndex, int nCount = 1);   // returns the new length

    void TrimLeft();                    // white space: blank, \t, \n, \v, \f, \r
    void TrimLeft(const char* pszSet);  // any character of the set
    void TrimLeft(char ch);
    void TrimRight();
    void TrimRight(const char* pszSet);
    void TrimRight(char ch);

    // printf-style formatting of any length. The arguments may point into this string.
    void Format(const char* pszFormat, ...) GIBO_PRINTF(2, 3);
    // The same where an argument is a CString, as in str.Format("%s", other): the object goes
    // in as its text. (An object passed through "..." itself arrives as the address of a
    // copy with g++ and is refused by clang, so it is converted here, before the "...".)
    template <class... Args, std::enable_if_t<(std::is_base_of_v<CString, Args> || ...), int> = 0>
    void Format(const char* pszFormat, const Args&... args) {
        Format(pszFormat, PassArg(args)...);
    }

    // In-place access: GetBuffer(n) gives room for n bytes and a terminating zero, in a block
    // no copy shares; ReleaseBuffer(n) sets the length to n, or to the zero-terminated length
    // for -1. A copy made in between would share what is written after it.
    char* GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

    // A copy of the bytes, NULs included, for code that works in std::string.
    std::string str() const { return std::string(m_pchData, Head().nLength); }

private:
    friend struct CStringStorage;  // allocation and growth (String.cpp)
    struct Header {
        size_t nLength;
        size_t nCapacity;         // bytes before the terminating zero; 0: the shared empty text
        std::atomic<long> nRefs;  // strings holding the block: copies share it until one writes
    };
    const Header& Head() const { return reinterpret_cast<const Header*>(m_pchData)[-1]; }
    template <class T>
    static decltype(auto) PassArg(const T& arg) {
        if constexpr (std::is_base_of_v<CString, T>) {
            return static_cast<const char*>(arg);
        } else {
            return (arg);
        }
    }

    char* m_pchData;
};

#endif  // GIBO_STRING_H
