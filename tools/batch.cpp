// Record lists and the progress line.
#include "batch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#define GIBO_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define GIBO_ISATTY(fd) isatty(fd)
#endif

namespace fs = std::filesystem;

namespace {

bool IsRecordName(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".gib";
}

// Below this many records a progress line would only flicker.
const size_t kProgressFrom = 10;

}  // namespace

bool CollectRecords(const std::vector<std::string>& operands, const std::vector<std::string>& dirs,
                    std::vector<std::string>& records, std::string& error) {
    records = operands;
    for (const std::string& dir : dirs) {
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) {
            error = dir + ": not a directory";
            return false;
        }
        std::vector<std::string> found;
        fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            std::error_code typeEc;
            if (it->is_regular_file(typeEc) && IsRecordName(it->path())) {
                found.push_back(it->path().string());
            }
        }
        if (ec) {
            error = dir + ": " + ec.message();
            return false;
        }
        std::sort(found.begin(), found.end());
        records.insert(records.end(), found.begin(), found.end());
    }
    if (records.empty()) {
        error = "no record given";
        return false;
    }
    return true;
}

Progress::Progress(size_t total)
    : m_total(total), m_active(total >= kProgressFrom && GIBO_ISATTY(2)) {}

void Progress::Show(size_t done, const std::string& name) {
    if (!m_active) {
        return;
    }
    std::cout.flush();
    std::cerr << "\r\033[K[" << done + 1 << '/' << m_total << "] " << name << std::flush;
    m_shown = true;
}

void Progress::Clear() {
    if (m_shown) {
        std::cerr << "\r\033[K" << std::flush;
        m_shown = false;
    }
}
