// Conversion through the Windows code-page API, where there is no iconv.
#include <windows.h>

#include <utility>

#include "text/converter.h"

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

bool Converter::DecodeEscaped(const std::string&, Codepage, std::string&, size_t&) {
    return false;  // the system converts fast enough a character at a time
}

bool Converter::DecodeStrict(const std::string& bytes, Codepage cp, std::string& out) {
    out.clear();
    if (bytes.empty()) {
        return true;
    }
    const unsigned windowsCp = NamesOf(cp).windowsCp;
    const int n = MultiByteToWideChar(windowsCp, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) {
        return false;
    }
    Narrow(Widen(bytes, windowsCp), CP_UTF8, out);
    return true;
}

bool Converter::Encode(const std::string& text, Codepage cp, std::string& out) {
    return Narrow(Widen(text, CP_UTF8), NamesOf(cp).windowsCp, out);
}
