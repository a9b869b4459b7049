#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "GiboString.h"
#include "framework/Gbk.h"

namespace {

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when the character text[i, i+len) is one of the characters of the set of n bytes.
bool InSet(const char* text, size_t i, size_t len, const char* set, size_t n) {
    for (size_t j = 0; j < n;) {
        const size_t l = gibo::GbkCharLen(set, j, n);
        if (l == len && std::memcmp(set + j, text + i, len) == 0) {
            return true;
        }
        j += l;
    }
    return false;
}

int ClampCount(int nCount, size_t avail) {
    if (nCount < 0) {
        return 0;
    }
    return static_cast<size_t>(nCount) > avail ? static_cast<int>(avail) : nCount;
}

}  // namespace

CString::CString(const char* psz) : m_str(psz ? psz : "") {}

CString::CString(const char* pch, int nLength)
    : m_str(pch && nLength > 0 ? std::string(pch, static_cast<size_t>(nLength)) : std::string()) {}

CString& CString::operator=(const char* psz) {
    m_str.assign(psz ? psz : "");
    return *this;
}

CString& CString::operator+=(const CString& str) {
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz) {
    if (psz) {
        m_str += psz;
    }
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

int CString::Compare(const char* psz) const {
    return std::strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::Find(char ch) const {
    const size_t n = m_str.size();
    for (size_t i = 0; i < n; i += gibo::GbkCharLen(m_str.data(), i, n)) {
        if (m_str[i] == ch) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CString::Find(const char* pszSub, int nStart) const {
    if (!pszSub || nStart < 0) {
        return -1;
    }
    const size_t pos = gibo::GbkFind(m_str.data(), m_str.size(), pszSub, std::strlen(pszSub),
                                     static_cast<size_t>(nStart));
    return pos == gibo::kNpos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    const size_t n = m_str.size();
    for (size_t i = 0; i < n; i += gibo::GbkCharLen(m_str.data(), i, n)) {
        if (m_str[i] == ch) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

CString CString::Left(int nCount) const {
    return CString(m_str.data(), ClampCount(nCount, m_str.size()));
}

CString CString::Right(int nCount) const {
    const int n = ClampCount(nCount, m_str.size());
    return CString(m_str.data() + (m_str.size() - static_cast<size_t>(n)), n);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0) {
        nFirst = 0;
    }
    if (static_cast<size_t>(nFirst) >= m_str.size()) {
        return CString();
    }
    const size_t avail = m_str.size() - static_cast<size_t>(nFirst);
    return CString(m_str.data() + nFirst, ClampCount(nCount, avail));
}

int CString::Replace(const char* pszOld, const char* pszNew) {
    const size_t m = pszOld ? std::strlen(pszOld) : 0;
    if (m == 0) {
        return 0;
    }
    const char* repl = pszNew ? pszNew : "";
    size_t pos = gibo::GbkFind(m_str.data(), m_str.size(), pszOld, m, 0);
    if (pos == gibo::kNpos) {
        return 0;
    }
    // Built in one pass so that many replacements stay linear.
    std::string out;
    out.reserve(m_str.size());
    size_t from = 0;
    int count = 0;
    while (pos != gibo::kNpos) {
        out.append(m_str, from, pos - from);
        out += repl;
        from = pos + m;
        ++count;
        pos = gibo::GbkFind(m_str.data(), m_str.size(), pszOld, m, from, pos);
    }
    out.append(m_str, from, std::string::npos);
    m_str.swap(out);
    return count;
}

int CString::Replace(char chOld, char chNew) {
    int count = 0;
    const size_t n = m_str.size();
    for (size_t i = 0; i < n;) {
        const size_t len = gibo::GbkCharLen(m_str.data(), i, n);
        if (len == 1 && m_str[i] == chOld) {
            m_str[i] = chNew;
            ++count;
        }
        i += len;
    }
    return count;
}

int CString::Insert(int nIndex, const char* psz) {
    if (nIndex < 0) {
        nIndex = 0;
    }
    const size_t at =
        static_cast<size_t>(nIndex) > m_str.size() ? m_str.size() : static_cast<size_t>(nIndex);
    m_str.insert(at, psz ? psz : "");
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex >= 0 && nCount > 0 && static_cast<size_t>(nIndex) < m_str.size()) {
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    }
    return GetLength();
}

void CString::TrimLeft() {
    size_t i = 0;
    while (i < m_str.size() && IsWhite(m_str[i])) {
        ++i;
    }
    m_str.erase(0, i);
}

void CString::TrimLeft(const char* pszSet) {
    if (!pszSet) {
        return;
    }
    const size_t n = m_str.size();
    const size_t setLen = std::strlen(pszSet);
    size_t i = 0;
    while (i < n) {
        const size_t len = gibo::GbkCharLen(m_str.data(), i, n);
        if (!InSet(m_str.data(), i, len, pszSet, setLen)) {
            break;
        }
        i += len;
    }
    m_str.erase(0, i);
}

void CString::TrimLeft(char ch) {
    const char set[2] = {ch, '\0'};
    TrimLeft(set);
}

void CString::TrimRight() {
    // Walk forward: a byte after a lead byte belongs to its character, even when it looks like
    // white space.
    const size_t n = m_str.size();
    size_t keep = 0;
    for (size_t i = 0; i < n;) {
        const size_t len = gibo::GbkCharLen(m_str.data(), i, n);
        if (len != 1 || !IsWhite(m_str[i])) {
            keep = i + len;
        }
        i += len;
    }
    m_str.resize(keep);
}

void CString::TrimRight(const char* pszSet) {
    if (!pszSet) {
        return;
    }
    // Walk forward so that a trail byte is never mistaken for a character of its own.
    const size_t n = m_str.size();
    const size_t setLen = std::strlen(pszSet);
    size_t keep = 0;
    for (size_t i = 0; i < n;) {
        const size_t len = gibo::GbkCharLen(m_str.data(), i, n);
        if (!InSet(m_str.data(), i, len, pszSet, setLen)) {
            keep = i + len;
        }
        i += len;
    }
    m_str.resize(keep);
}

void CString::TrimRight(char ch) {
    const char set[2] = {ch, '\0'};
    TrimRight(set);
}

namespace {

// The common formats, text with %s, %d and %%, built directly into a buffer of nSize bytes:
// the library formats a dozen display texts per record, and printf's machinery (run twice, to
// measure and to write) cost more than all the rest. The length written, or -1 for anything
// else (flags, widths, other conversions, a null %s, which printf spells its own way, or a
// text that does not fit); vsnprintf formats those.
int FormatPlain(char* pOut, size_t nSize, const char* pszFormat, va_list args) {
    size_t used = 0;
    const auto put = [&](const char* p, size_t n) {
        if (n > nSize - used) {
            return false;
        }
        std::memcpy(pOut + used, p, n);
        used += n;
        return true;
    };
    for (const char* p = pszFormat; *p;) {
        const char* pct = std::strchr(p, '%');
        if (!pct) {
            if (!put(p, std::strlen(p))) {
                return -1;
            }
            break;
        }
        if (!put(p, static_cast<size_t>(pct - p))) {
            return -1;
        }
        bool fits = true;
        switch (pct[1]) {
            case 's': {
                const char* psz = va_arg(args, const char*);
                if (!psz) {
                    return -1;
                }
                fits = put(psz, std::strlen(psz));
                break;
            }
            case 'd': {
                char digits[16];
                const auto end = std::to_chars(digits, digits + sizeof digits, va_arg(args, int));
                fits = put(digits, static_cast<size_t>(end.ptr - digits));
                break;
            }
            case '%':
                fits = put("%", 1);
                break;
            default:
                return -1;
        }
        if (!fits) {
            return -1;
        }
        p = pct + 2;
    }
    return static_cast<int>(used);
}

}  // namespace

void CString::Format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    va_list again;
    va_copy(again, args);
    // Built apart from m_str, which an argument may point into; assigning it keeps m_str's
    // storage, so that formatting a short text into a used string does not allocate.
    char text[512];
    const int plain = FormatPlain(text, sizeof text, pszFormat, args);
    va_end(args);
    if (plain >= 0) {
        va_end(again);
        m_str.assign(text, static_cast<size_t>(plain));
        return;
    }
    va_list measure;
    va_copy(measure, again);
    const int len = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (len < 0) {
        va_end(again);
        m_str.clear();
        return;
    }
    std::string out(static_cast<size_t>(len) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), pszFormat, again);
    va_end(again);
    out.resize(static_cast<size_t>(len));
    m_str.swap(out);
}

char* CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > 0 && static_cast<size_t>(nMinBufLength) > m_str.size()) {
        m_str.resize(static_cast<size_t>(nMinBufLength));
    }
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    size_t n;
    if (nNewLength < 0) {
        n = std::strlen(m_str.c_str());
    } else {
        n = static_cast<size_t>(nNewLength) < m_str.size() ? static_cast<size_t>(nNewLength)
                                                           : m_str.size();
    }
    m_str.resize(n);
}
