// Scratch directories, whole-file helpers and readable byte strings for the tests.
#ifndef GIBO_TESTS_TESTSUPPORT_H
#define GIBO_TESTS_TESTSUPPORT_H

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "framework/SystemPath.h"

#ifdef _WIN32
#include <windows.h>
#endif

// Test paths are GBK bytes, as the library takes them; on Windows they become the same wide
// names the library opens, whatever the system's ANSI code page is.
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
        std::random_device rd;
        for (;;) {
            m_dir = std::filesystem::temp_directory_path() /
                    ("gibo-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
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

    std::string Path(const std::string& name) const { return BytesOf(m_dir / FsPath(name)); }
    std::string Dir() const { return BytesOf(m_dir); }

    // Names of everything directly in the directory (files, links, directories).
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
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

#endif  // GIBO_TESTS_TESTSUPPORT_H
