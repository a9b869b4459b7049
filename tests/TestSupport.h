// What every library test includes, and its helpers. Expected bytes are hex pairs, transcribed
// apart from the library's escapes.
#ifndef GIBO_TESTS_TESTSUPPORT_H
#define GIBO_TESTS_TESTSUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "GiboFile.h"
#include "TestRun.h"
#include "framework/SystemPath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

// Test paths are GBK bytes; on Windows they become the wide names the library itself opens.
inline std::filesystem::path FsPath(const std::string& bytes) {
    gibo::SystemPath path;
    gibo::ToSystemPath(bytes.c_str(), path);
    return std::filesystem::path(path);
}

inline std::string BytesOf(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::wstring& wide = path.native();
    const int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr,
                            nullptr);
    }
    return out;
#else
    return path.native();
#endif
}

// A fresh directory, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        static std::atomic<unsigned> counter{0};
#ifdef _WIN32
        const unsigned long pid = GetCurrentProcessId();
#else
        const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
        std::random_device rd;
        for (;;) {
            m_dir = std::filesystem::temp_directory_path() /
                    (kTempDirPrefix + std::to_string(pid) + "-" + std::to_string(rd()) + "-" +
                     std::to_string(counter++));
            if (std::filesystem::create_directory(m_dir)) {
                break;
            }
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const {
        return BytesOf(m_dir / FsPath(name));
    }
    std::string Dir() const {
        return BytesOf(m_dir);
    }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir)) {
            names.insert(BytesOf(e.path().filename()));
        }
        return names;
    }

private:
    std::filesystem::path m_dir;
};

// A load of the record at path, with all it reports.
struct Loaded {
    explicit Loaded(const std::string& path)
        : result(f.LoadFile(path.c_str(), bodyPath, audioPath, type, audio)),
          error(f.GetError()),
          header(f.m_strHeader.str()) {}
    CGiboFile f;
    CString bodyPath, audioPath;
    unsigned char type = 0;
    int audio = -1, result;
    unsigned long error;
    std::string header;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), ec));
}

// Byte strings with control or GBK bytes print unreadably in failure messages; escape them.
inline std::string Shown(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F ? "%c" : "<%02X>", c);
        out += hex;
    }
    return out;
}

inline std::string Repeat(const std::string& s, size_t n) {
    std::string out;
    while (n-- > 0) {
        out += s;
    }
    return out;
}

inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (size_t at = 0, end = 0; end != std::string::npos; at = end + 1) {
        end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
    }
    return parts;
}

inline std::string Hex(const char* pszPairs) {
    std::istringstream in(pszPairs);
    std::string pair;
    std::string out;
    while (in >> pair) {
        out += static_cast<char>(std::strtoul(pair.c_str(), nullptr, 16));
    }
    return out;
}

// GBK text with words named or hex pairs in angle brackets: Gbk("<black> 6<pts>"), Gbk("<B0 D7>w").
inline std::string Gbk(const std::string& text) {
    // 黑 白 目 胜 半 级 段 职业 总 数 时 时间 分 秒 读秒 番 年 月 日 上午 下午 黑贴 限制时间 让子棋
    // 棋中盘胜, in this order.
    static const std::string kWords =
        ";black=BA DA;white=B0 D7;pts=C4 BF;win=CA A4;half=B0 EB;kyu=BC B6;dan=B6 CE"
        ";pro=D6 B0 D2 B5;total=D7 DC;moves=CA FD;h=CA B1;hours=CA B1 BC E4;min=B7 D6;sec=C3 EB"
        ";byo=B6 C1 C3 EB;times=B7 AC;year=C4 EA;month=D4 C2;day=C8 D5;am=C9 CF CE E7"
        ";pm=CF C2 CE E7;komi=BA DA CC F9;limit=CF DE D6 C6 CA B1 BC E4;handicap=C8 C3 D7 D3 C6 E5"
        ";resign=C6 E5 D6 D0 C5 CC CA A4;";
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '<') {
            out += text[i];
            continue;
        }
        const size_t close = text.find('>', i);
        const std::string name = text.substr(i + 1, close - i - 1);
        const bool hex = name.find_first_not_of("0123456789ABCDEF ") == std::string::npos;
        std::string bytes = hex ? Hex(name.c_str()) : "";
        const size_t word = kWords.find(";" + name + "=");
        if (word != std::string::npos) {
            const size_t from = word + name.size() + 2;
            bytes = Hex(kWords.substr(from, kWords.find(';', from) - from).c_str());
        }
        if (close == std::string::npos || bytes.empty()) {
            throw std::invalid_argument("Gbk: bad word in " + text);
        }
        out += bytes;
        i = close;
    }
    return out;
}

#endif  // GIBO_TESTS_TESTSUPPORT_H
