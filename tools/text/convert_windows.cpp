// Conversion through the Windows code-page API, where there is no iconv.
#include <windows.h>

#include <utility>

#include "text/converter.h"
#include "text/decode_table.h"

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

bool Converter::Convert(bool encode, Codepage cp, const std::string& in, std::string& out) {
    const unsigned windowsCp = NamesOf(cp).windowsCp;
    if (encode) {
        return Narrow(Widen(in, CP_UTF8), windowsCp, out);
    }
    out.clear();
    if (in.empty()) {
        return true;
    }
    const int n = MultiByteToWideChar(windowsCp, MB_ERR_INVALID_CHARS, in.data(),
                                      static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) {
        return false;
    }
    Narrow(Widen(in, windowsCp), CP_UTF8, out);
    return true;
}
