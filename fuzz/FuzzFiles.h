// Files for the fuzz targets that go through the file layer: one private directory per process
// (under TMPDIR), and counting the process's open descriptors to catch a leaked handle.
#ifndef GIBO_FUZZ_FUZZFILES_H
#define GIBO_FUZZ_FUZZFILES_H

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "OpenFiles.h"

inline const std::string& FuzzDir() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/gibo-fuzz-XXXXXX";
        FUZZ_CHECK(::mkdtemp(&tmpl[0]) != nullptr);
        return tmpl;
    }();
    return dir;
}

inline std::string FuzzPath(const char* name) {
    return FuzzDir() + "/" + name;
}

inline void PutFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    FUZZ_CHECK(std::fclose(f) == 0);
}

inline std::string GetFile(const std::string& path) {
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(f != nullptr);
    char buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
        out.append(buf, got);
    }
    std::fclose(f);
    return out;
}

inline bool FileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

// Entries of the fuzz directory, "." and ".." left out.
inline int FilesInFuzzDir() {
    int n = 0;
    if (DIR* d = ::opendir(FuzzDir().c_str())) {
        while (const dirent* e = ::readdir(d)) {
            n += e->d_name[0] != '.' || (e->d_name[1] && (e->d_name[1] != '.' || e->d_name[2]));
        }
        ::closedir(d);
    }
    return n;
}

#endif  // GIBO_FUZZ_FUZZFILES_H
