// Conversion through the C library's iconv, or the Windows code-page API where there is none.
#include "text/converter.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#endif

namespace {

struct CodepageRow {
    Codepage cp;
    const char* name;    // as the user writes it
    const char* iconv;   // as iconv knows it
    unsigned windowsCp;  // as MultiByteToWideChar knows it
};

const CodepageRow kCodepages[] = {
    {Codepage::Gbk, "GBK", "GBK", 936},
    {Codepage::Cp949, "CP949", "CP949", 949},
    {Codepage::Big5, "BIG5", "BIG5", 950},
    {Codepage::ShiftJis, "SHIFT_JIS", "SHIFT_JIS", 932},
};

const CodepageRow& RowOf(Codepage cp) {
    for (const CodepageRow& row : kCodepages) {
        if (row.cp == cp) {
            return row;
        }
    }
    return kCodepages[0];
}

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the well-formed UTF-8 sequence at s[i], or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        return 1;
    }
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80;
        hi = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + len > s.size() || b(i + 1) < lo || b(i + 1) > hi) {
        return 0;
    }
    for (size_t k = 2; k < len; ++k) {
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) {
            return 0;
        }
    }
    return len;
}

}  // namespace

bool ParseCodepage(const std::string& name, Codepage& cp) {
    std::string upper;
    for (char c : name) {
        upper += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const CodepageRow& row : kCodepages) {
        if (upper == row.name) {
            cp = row.cp;
            return true;
        }
    }
    return false;
}

const char* CodepageName(Codepage cp) {
    return RowOf(cp).name;
}

std::string Converter::Decode(const std::string& bytes, Codepage cp) {
    size_t invalid = 0;
    return Decode(bytes, cp, invalid);
}

std::string Converter::Decode(const std::string& bytes, Codepage cp, size_t& invalid) {
    invalid = 0;
    std::string out;
    if (DecodeStrict(bytes, cp, out)) {
        return out;
    }
    // Character by character: every code page here has characters of one or two bytes, so
    // a byte that starts neither is escaped and the next byte is tried afresh.
    out.clear();
    std::string piece;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += bytes[i++];
        } else if (i + 1 < bytes.size() && DecodeStrict(bytes.substr(i, 2), cp, piece)) {
            out += piece;
            i += 2;
        } else if (DecodeStrict(bytes.substr(i, 1), cp, piece)) {
            out += piece;
            ++i;
        } else {
            const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++invalid;
            ++i;
        }
    }
    return out;
}

std::string ValidUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t len = Utf8SequenceAt(bytes, i);
        if (len == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(bytes, i, len);
            i += len;
        }
    }
    return out;
}

#ifdef _WIN32

// Windows consoles are switched to UTF-8 by main(); files and pipes get UTF-8 as well.
std::string LocaleCharset() {
    return "UTF-8";
}

struct Converter::Impl {};

Converter::Converter(std::string charset) : m_pImpl(new Impl), m_charset(std::move(charset)) {}
Converter::~Converter() = default;

namespace {

std::wstring Widen(const std::string& bytes, unsigned cp) {
    if (bytes.empty()) {
        return std::wstring();
    }
    const int n =
        MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

bool Narrow(const std::wstring& wide, unsigned cp, std::string& out) {
    out.clear();
    if (wide.empty()) {
        return true;
    }
    BOOL usedDefault = FALSE;
    BOOL* pUsedDefault = cp == CP_UTF8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, pUsedDefault);
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr,
                        pUsedDefault);
    return !usedDefault;
}

}  // namespace

bool Converter::DecodeStrict(const std::string& bytes, Codepage cp, std::string& out) {
    out.clear();
    if (bytes.empty()) {
        return true;
    }
    const unsigned windowsCp = RowOf(cp).windowsCp;
    const int n = MultiByteToWideChar(windowsCp, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) {
        return false;
    }
    Narrow(Widen(bytes, windowsCp), CP_UTF8, out);
    return true;
}

bool Converter::Encode(const std::string& text, Codepage cp, std::string& out) {
    return Narrow(Widen(text, CP_UTF8), RowOf(cp).windowsCp, out);
}

#else

std::string LocaleCharset() {
    // The library's byte handling must not depend on the user's locale: the locale is only
    // asked for its character set, and the C locale is put back at once.
    setlocale(LC_CTYPE, "");
    std::string charset = nl_langinfo(CODESET);
    setlocale(LC_CTYPE, "C");
    if (charset.empty() || charset == "ANSI_X3.4-1968" || charset == "US-ASCII" ||
        charset == "ASCII") {
        return "UTF-8";
    }
    return charset;
}

struct Converter::Impl {
    // One descriptor per direction and code page, opened on first use: looked up by index,
    // since a batch converts every item of every record.
    static const int kPages = 4;
    static_assert(static_cast<int>(Codepage::ShiftJis) == kPages - 1, "one row per code page");
    iconv_t open[2][kPages];
    bool tried[2][kPages] = {};

    iconv_t Get(bool encode, Codepage cp, const std::string& charset) {
        const int i = static_cast<int>(cp);
        if (!tried[encode][i]) {
            const char* page = RowOf(cp).iconv;
            open[encode][i] =
                encode ? iconv_open(page, charset.c_str()) : iconv_open(charset.c_str(), page);
            tried[encode][i] = true;
        }
        return open[encode][i];
    }

    ~Impl() {
        for (int encode = 0; encode < 2; ++encode) {
            for (int i = 0; i < kPages; ++i) {
                if (tried[encode][i] && open[encode][i] != reinterpret_cast<iconv_t>(-1)) {
                    iconv_close(open[encode][i]);
                }
            }
        }
    }

    // Converts the whole input; an invalid or unconvertible byte fails the conversion.
    bool Run(iconv_t cd, const std::string& in, std::string& out) {
        out.clear();
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[1024];
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r != static_cast<size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;
            }
            return false;  // EILSEQ, or EINVAL: a sequence cut off at the end
        }
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        return true;
    }
};

Converter::Converter(std::string charset) : m_pImpl(new Impl), m_charset(std::move(charset)) {}
Converter::~Converter() = default;

bool Converter::DecodeStrict(const std::string& bytes, Codepage cp, std::string& out) {
    iconv_t cd = m_pImpl->Get(false, cp, m_charset);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        out = bytes;  // a charset iconv does not know: better the bytes than nothing
        return true;
    }
    return m_pImpl->Run(cd, bytes, out);
}

bool Converter::Encode(const std::string& text, Codepage cp, std::string& out) {
    return m_pImpl->Run(m_pImpl->Get(true, cp, m_charset), text, out);
}

#endif
