// A fresh, empty folder for a test, as mkdtemp makes one, on every system (Windows has no
// mkdtemp). create_directory fails for a name that exists, so two runs never share a folder.
#ifndef GIBO_TESTS_TEMPDIR_H
#define GIBO_TESTS_TEMPDIR_H

#include <filesystem>
#include <random>
#include <string>

inline std::filesystem::path MakeTempDir(const char* prefix) {
    static std::mt19937_64 rng{std::random_device{}()};
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto dir = base / (std::string(prefix) + std::to_string(rng() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec)) {
            return dir;
        }
    }
    return {};
}

#endif  // GIBO_TESTS_TEMPDIR_H
