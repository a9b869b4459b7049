#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

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

// The characters of a CString follow a Header in one block from operator new. Copies share
// the block and count themselves in it; a string writes into its block only while no other
// shares it, else it first takes a block of its own. The empty text of every string that holds
// no block is one shared block of capacity 0, never counted and never written.
struct CStringStorage {
    using Header = CString::Header;

    static Header& Head(char* p) { return reinterpret_cast<Header*>(p)[-1]; }
    static char* Nil() {
        // Zero: length, capacity and text. Never written, so const; the pointer is char*
        // because it is the text's pointer.
        alignas(Header) static const unsigned char nil[sizeof(Header) + 1] = {};
        return const_cast<char*>(reinterpret_cast<const char*>(nil + sizeof(Header)));
    }
    // A block for at least nCapacity bytes and a terminating zero, holding the empty text.
    // Sizes are rounded up to 16 bytes, which the allocator would spend anyway.
    static char* Allocate(size_t nCapacity) {
        if (nCapacity > SIZE_MAX / 2) {
            throw std::bad_alloc();
        }
        const size_t size = (sizeof(Header) + nCapacity + 1 + 15) & ~size_t{15};
        auto* head = new (::operator new(size)) Header{0, size - sizeof(Header) - 1, 1};
        char* p = reinterpret_cast<char*>(head + 1);
        p[0] = '\0';
        return p;
    }
    // A text of its own for pch[0..n), or the shared empty one.
    static char* Make(const char* pch, size_t n) {
        if (n == 0) {
            return Nil();
        }
        char* p = Allocate(n);
        std::memcpy(p, pch, n);
        SetLength(p, n);
        return p;
    }
    static char* Share(char* p) {
        if (Head(p).nCapacity != 0) {
            Head(p).nRefs.fetch_add(1, std::memory_order_relaxed);
        }
        return p;
    }
    static void Release(char* p) {
        if (Head(p).nCapacity != 0 && Head(p).nRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            Head(p).~Header();
            ::operator delete(&Head(p));
        }
    }
    // Whether the string holding p may write into it.
    static bool Own(char* p) {
        return Head(p).nCapacity != 0 && Head(p).nRefs.load(std::memory_order_acquire) == 1;
    }
    static void SetLength(char* p, size_t n) {
        Head(p).nLength = n;
        p[n] = '\0';
    }
    // Makes s's block its own with room for n bytes (at least its length), keeping its text;
    // nGrow asks for more when the block is replaced, so that appending in steps stays linear.
    static char* Room(CString& s, size_t n, size_t nGrow = 0) {
        char* old = s.m_pchData;
        if (n <= Head(old).nCapacity && Own(old)) {
            return old;
        }
        char* p = Allocate(n + nGrow);
        const size_t len = Head(old).nLength;
        std::memcpy(p, old, len);
        SetLength(p, len);
        Release(old);
        s.m_pchData = p;
        return p;
    }
    // Keeps the bytes [nFrom, nTo) of the text.
    static void Keep(CString& s, size_t nFrom, size_t nTo) {
        if (nFrom == 0 && nTo == Head(s.m_pchData).nLength) {
            return;
        }
        char* p = Room(s, Head(s.m_pchData).nLength);
        std::memmove(p, p + nFrom, nTo - nFrom);
        SetLength(p, nTo - nFrom);
    }
    // The text becomes pch[0..n), which may lie in s's own block.
    static void Assign(CString& s, const char* pch, size_t n) {
        char* old = s.m_pchData;
        if (n <= Head(old).nCapacity && Own(old)) {
            std::memmove(old, pch, n);
            SetLength(old, n);
            return;
        }
        s.m_pchData = Make(pch, n);  // before the old block goes: pch may lie in it
        Release(old);
    }
    static void Append(CString& s, const char* pch, size_t n) {
        char* old = s.m_pchData;
        const size_t len = Head(old).nLength;
        if (n == 0) {
            return;
        }
        if (len + n <= Head(old).nCapacity && Own(old)) {
            std::memmove(old + len, pch, n);
            SetLength(old, len + n);
            return;
        }
        char* p = Allocate(len + n + (len + n) / 2);
        std::memcpy(p, old, len);
        std::memcpy(p + len, pch, n);  // pch may lie in the old block
        SetLength(p, len + n);
        Release(old);
        s.m_pchData = p;
    }
};

CString::CString() noexcept : m_pchData(CStringStorage::Nil()) {}

CString::CString(const char* psz)
    : m_pchData(CStringStorage::Make(psz, psz ? std::strlen(psz) : 0)) {}

CString::CString(const char* pch, int nLength)
    : m_pchData(CStringStorage::Make(pch, pch && nLength > 0 ? static_cast<size_t>(nLength) : 0)) {}

CString::CString(const CString& str) : m_pchData(CStringStorage::Share(str.m_pchData)) {}

CString::CString(CString&& str) noexcept : m_pchData(str.m_pchData) {
    str.m_pchData = CStringStorage::Nil();
}

CString::~CString() {
    CStringStorage::Release(m_pchData);
}

CString& CString::operator=(const CString& str) {
    char* p = CStringStorage::Share(str.m_pchData);
    CStringStorage::Release(m_pchData);
    m_pchData = p;
    return *this;
}

CString& CString::operator=(CString&& str) noexcept {
    if (this != &str) {
        CStringStorage::Release(m_pchData);
        m_pchData = str.m_pchData;
        str.m_pchData = CStringStorage::Nil();
    }
    return *this;
}

CString& CString::operator=(const char* psz) {
    CStringStorage::Assign(*this, psz ? psz : "", psz ? std::strlen(psz) : 0);
    return *this;
}

void CString::Empty() {
    CStringStorage::Assign(*this, "", 0);
}

CString& CString::operator+=(const CString& str) {
    CStringStorage::Append(*this, str.m_pchData, str.Head().nLength);
    return *this;
}

CString& CString::operator+=(const char* psz) {
    if (psz) {
        CStringStorage::Append(*this, psz, std::strlen(psz));
    }
    return *this;
}

CString& CString::operator+=(char ch) {
    CStringStorage::Append(*this, &ch, 1);
    return *this;
}

namespace {

// One block for both parts.
CString Joined(const char* a, size_t m, const char* b, size_t n) {
    CString r;
    if (m + n != 0) {
        CStringStorage::Room(r, m + n);
    }
    CStringStorage::Append(r, a, m);
    CStringStorage::Append(r, b, n);
    return r;
}

}  // namespace

CString operator+(const CString& a, const CString& b) {
    return Joined(a, a.Head().nLength, b, b.Head().nLength);
}

CString operator+(const CString& a, const char* b) {
    return Joined(a, a.Head().nLength, b ? b : "", b ? std::strlen(b) : 0);
}

CString operator+(const char* a, const CString& b) {
    return Joined(a ? a : "", a ? std::strlen(a) : 0, b, b.Head().nLength);
}

int CString::Compare(const char* psz) const {
    return std::strcmp(m_pchData, psz ? psz : "");
}

int CString::Find(char ch) const {
    const size_t n = Head().nLength;
    for (size_t i = 0; i < n; i += gibo::GbkCharLen(m_pchData, i, n)) {
        if (m_pchData[i] == ch) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CString::Find(const char* pszSub, int nStart) const {
    if (!pszSub || nStart < 0) {
        return -1;
    }
    const size_t pos = gibo::GbkFind(m_pchData, Head().nLength, pszSub, std::strlen(pszSub),
                                     static_cast<size_t>(nStart));
    return pos == gibo::kNpos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    const size_t n = Head().nLength;
    for (size_t i = 0; i < n; i += gibo::GbkCharLen(m_pchData, i, n)) {
        if (m_pchData[i] == ch) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

CString CString::Left(int nCount) const {
    return CString(m_pchData, ClampCount(nCount, Head().nLength));
}

CString CString::Right(int nCount) const {
    const size_t len = Head().nLength;
    const int n = ClampCount(nCount, len);
    return CString(m_pchData + (len - static_cast<size_t>(n)), n);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0) {
        nFirst = 0;
    }
    const size_t len = Head().nLength;
    if (static_cast<size_t>(nFirst) >= len) {
        return CString();
    }
    const size_t avail = len - static_cast<size_t>(nFirst);
    return CString(m_pchData + nFirst, ClampCount(nCount, avail));
}

int CString::Replace(const char* pszOld, const char* pszNew) {
    const size_t m = pszOld ? std::strlen(pszOld) : 0;
    if (m == 0) {
        return 0;
    }
    const size_t n = Head().nLength;
    size_t pos = gibo::GbkFind(m_pchData, n, pszOld, m, 0);
    if (pos == gibo::kNpos) {
        return 0;
    }
    // Built apart in one pass, so that many replacements stay linear and the new text may
    // come from this string.
    const char* repl = pszNew ? pszNew : "";
    const size_t k = std::strlen(repl);
    CString out;
    CStringStorage::Room(out, n);
    size_t from = 0;
    int count = 0;
    while (pos != gibo::kNpos) {
        CStringStorage::Append(out, m_pchData + from, pos - from);
        CStringStorage::Append(out, repl, k);
        from = pos + m;
        ++count;
        pos = gibo::GbkFind(m_pchData, n, pszOld, m, from, pos);
    }
    CStringStorage::Append(out, m_pchData + from, n - from);
    std::swap(m_pchData, out.m_pchData);
    return count;
}

int CString::Replace(char chOld, char chNew) {
    int count = 0;
    const size_t n = Head().nLength;
    for (size_t i = 0; i < n;) {
        const size_t len = gibo::GbkCharLen(m_pchData, i, n);
        if (len == 1 && m_pchData[i] == chOld) {
            CStringStorage::Room(*this, n)[i] = chNew;  // a block of its own before the first
            ++count;
        }
        i += len;
    }
    return count;
}

int CString::Insert(int nIndex, const char* psz) {
    const size_t k = psz ? std::strlen(psz) : 0;
    if (k > 0) {
        const size_t n = Head().nLength;
        const size_t at = nIndex < 0 ? 0 : std::min(static_cast<size_t>(nIndex), n);
        CString out;  // built apart: psz may point into this string
        CStringStorage::Room(out, n + k);
        CStringStorage::Append(out, m_pchData, at);
        CStringStorage::Append(out, psz, k);
        CStringStorage::Append(out, m_pchData + at, n - at);
        std::swap(m_pchData, out.m_pchData);
    }
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    const size_t n = Head().nLength;
    if (nIndex >= 0 && nCount > 0 && static_cast<size_t>(nIndex) < n) {
        const size_t at = static_cast<size_t>(nIndex);
        const size_t gone = std::min(static_cast<size_t>(nCount), n - at);
        char* p = CStringStorage::Room(*this, n);
        std::memmove(p + at, p + at + gone, n - at - gone);
        CStringStorage::SetLength(p, n - gone);
    }
    return GetLength();
}

void CString::TrimLeft() {
    const size_t n = Head().nLength;
    size_t i = 0;
    while (i < n && IsWhite(m_pchData[i])) {
        ++i;
    }
    CStringStorage::Keep(*this, i, n);
}

void CString::TrimLeft(const char* pszSet) {
    if (!pszSet) {
        return;
    }
    const size_t n = Head().nLength;
    const size_t setLen = std::strlen(pszSet);
    size_t i = 0;
    while (i < n) {
        const size_t len = gibo::GbkCharLen(m_pchData, i, n);
        if (!InSet(m_pchData, i, len, pszSet, setLen)) {
            break;
        }
        i += len;
    }
    CStringStorage::Keep(*this, i, n);
}

void CString::TrimLeft(char ch) {
    const char set[2] = {ch, '\0'};
    TrimLeft(set);
}

void CString::TrimRight() {
    // Walk forward: a byte after a lead byte belongs to its character, even when it looks like
    // white space.
    const size_t n = Head().nLength;
    size_t keep = 0;
    for (size_t i = 0; i < n;) {
        const size_t len = gibo::GbkCharLen(m_pchData, i, n);
        if (len != 1 || !IsWhite(m_pchData[i])) {
            keep = i + len;
        }
        i += len;
    }
    CStringStorage::Keep(*this, 0, keep);
}

void CString::TrimRight(const char* pszSet) {
    if (!pszSet) {
        return;
    }
    // Walk forward so that a trail byte is never mistaken for a character of its own.
    const size_t n = Head().nLength;
    const size_t setLen = std::strlen(pszSet);
    size_t keep = 0;
    for (size_t i = 0; i < n;) {
        const size_t len = gibo::GbkCharLen(m_pchData, i, n);
        if (!InSet(m_pchData, i, len, pszSet, setLen)) {
            keep = i + len;
        }
        i += len;
    }
    CStringStorage::Keep(*this, 0, keep);
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
    char* out = pOut;
    char* const end = pOut + nSize;
    for (const char* p = pszFormat;; ++p) {
        if (*p != '%') {
            if (*p == '\0') {
                return static_cast<int>(out - pOut);
            }
            if (out == end) {
                return -1;
            }
            *out++ = *p;
            continue;
        }
        switch (*++p) {
            case 's': {
                const char* psz = va_arg(args, const char*);
                const size_t n = psz ? std::strlen(psz) : 0;
                if (!psz || n > static_cast<size_t>(end - out)) {
                    return -1;
                }
                std::memcpy(out, psz, n);
                out += n;
                break;
            }
            case 'd': {
                const auto done = std::to_chars(out, end, va_arg(args, int));
                if (done.ec != std::errc()) {
                    return -1;
                }
                out = done.ptr;
                break;
            }
            case '%':
                if (out == end) {
                    return -1;
                }
                *out++ = '%';
                break;
            default:
                return -1;
        }
    }
}

}  // namespace

void CString::Format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    va_list again;
    va_copy(again, args);
    // Built apart from this string, which an argument may point into.
    char text[512];
    const int plain = FormatPlain(text, sizeof text, pszFormat, args);
    va_end(args);
    if (plain >= 0) {
        va_end(again);
        CStringStorage::Assign(*this, text, static_cast<size_t>(plain));
        return;
    }
    va_list measure;
    va_copy(measure, again);
    const int len = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (len < 0) {
        va_end(again);
        Empty();
        return;
    }
    CString out;
    CStringStorage::Room(out, static_cast<size_t>(len));
    std::vsnprintf(out.m_pchData, static_cast<size_t>(len) + 1, pszFormat, again);
    va_end(again);
    CStringStorage::SetLength(out.m_pchData, static_cast<size_t>(len));
    std::swap(m_pchData, out.m_pchData);
}

char* CString::GetBuffer(int nMinBufLength) {
    const size_t len = Head().nLength;
    const size_t want = nMinBufLength > 0 ? static_cast<size_t>(nMinBufLength) : 0;
    // A block of its own, also for the empty text: the caller may write its terminating zero.
    CStringStorage::Room(*this, std::max({want, len, size_t{1}}));
    if (want > len) {
        // Zero-filled, so that ReleaseBuffer(-1) finds an end within what was asked for.
        std::memset(m_pchData + len, 0, want - len);
        CStringStorage::SetLength(m_pchData, want);
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
    const size_t len = Head().nLength;
    size_t n = len;
    if (nNewLength < 0) {
        const void* zero = std::memchr(m_pchData, '\0', len);
        n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - m_pchData) : len;
    } else if (static_cast<size_t>(nNewLength) < len) {
        n = static_cast<size_t>(nNewLength);
    }
    CStringStorage::Keep(*this, 0, n);
}
