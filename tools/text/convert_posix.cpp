// Conversion through the C library's iconv.
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <utility>

#include "text/converter.h"
#include "text/decode_table.h"
#include "utf8_text.h"

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
    static constexpr int kPages = kCodepageCount;
    iconv_t open[2][kPages];
    bool tried[2][kPages] = {};

    iconv_t Get(bool encode, Codepage cp, const std::string& charset) {
        const int i = static_cast<int>(cp);
        if (!tried[encode][i]) {
            const char* page = NamesOf(cp).iconv;
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
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                return false;  // EILSEQ, or EINVAL: a sequence cut off at the end
            }
        }
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        return true;
    }
};

// Into UTF-8, whole texts convert through the tables learnt from iconv.
Converter::Converter(std::string charset) : m_pImpl(new Impl), m_charset(std::move(charset)) {
    m_tabled = facts::CodesetIsUtf8(m_charset);
}
Converter::~Converter() = default;

bool Converter::Convert(bool encode, Codepage cp, const std::string& in, std::string& out) {
    iconv_t cd = m_pImpl->Get(encode, cp, m_charset);
    if (!encode && cd == reinterpret_cast<iconv_t>(-1)) {
        out = in;  // a charset iconv does not know: better the bytes than nothing
        return true;
    }
    return m_pImpl->Run(cd, in, out);
}
