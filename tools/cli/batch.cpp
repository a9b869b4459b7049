// Record lists and the progress line.
#include "cli/batch.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "os/system.h"

namespace fs = std::filesystem;

namespace {

bool IsRecordName(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".gib";
}

}  // namespace

void FindRecordsBelow(const std::string& dir, std::vector<std::string>& found,
                      std::vector<Unreadable>& unreadable) {
    // One directory open at a time, whatever the depth of the tree: a stack of names, not of
    // open iterators.
    std::vector<fs::path> pending{fs::path(dir)};
    while (!pending.empty()) {
        const fs::path here = pending.back();
        pending.pop_back();
        std::vector<fs::path> below;
        std::error_code ec;
        fs::directory_iterator it(here, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code typeEc;
            if (it->is_symlink(typeEc) ? false : it->is_directory(typeEc)) {
                below.push_back(it->path());
            } else if (it->is_regular_file(typeEc) && IsRecordName(it->path())) {
                found.push_back(it->path().string());
            }
        }
        if (ec) {
            unreadable.push_back({here.string(), ec.message()});
        }
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
    std::sort(found.begin(), found.end());
}

bool CollectRecords(const std::vector<std::string>& operands, const std::vector<std::string>& dirs,
                    std::vector<std::string>& records, std::vector<Unreadable>& unreadable,
                    std::string& error) {
    records = operands;
    if (operands.empty() && dirs.empty()) {
        error = "no record given";
        return false;
    }
    for (const std::string& dir : dirs) {
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) {
            error = dir + ": not a directory";
            return false;
        }
        std::vector<std::string> found;
        std::vector<Unreadable> unread;
        FindRecordsBelow(dir, found, unread);
        for (Unreadable& u : unread) {
            u.reason = "cannot read the directory: " + u.reason;
            unreadable.push_back(u);
        }
        if (found.empty()) {
            unreadable.push_back({dir, "no records found (no *.gib file below it)"});
        }
        records.insert(records.end(), found.begin(), found.end());
    }
    return true;
}

Progress::Progress(size_t total, size_t from)
    : m_total(total), m_active(total >= from && os::IsTerminal(2)) {}

void Progress::Show(size_t done, const std::string& name) {
    if (!m_active) {
        return;
    }
    std::string shown = name;  // a file name must not send escape sequences of its own
    std::replace_if(
        shown.begin(), shown.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
    Write("[" + std::to_string(done + 1) + "/" + std::to_string(m_total) + "] " + shown);
}

void Progress::ShowRate(size_t done, size_t errors, bool force) {
    if (!m_active) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_last < std::chrono::milliseconds(200)) {
        return;
    }
    m_last = now;
    const double secs = std::chrono::duration<double>(now - m_start).count();
    const auto rate = static_cast<long long>(secs > 0 ? static_cast<double>(done) / secs : 0);
    Write("[" + std::to_string(done) + "/" + std::to_string(m_total) + "] " + std::to_string(rate) +
          " records/s, " + std::to_string(errors) + " errors");
}

void Progress::Write(const std::string& line) {
    std::cout.flush();
    std::cerr << "\r\033[K" << line << std::flush;
    m_shown = true;
}

void Progress::Clear() {
    if (m_shown) {
        std::cerr << "\r\033[K" << std::flush;
        m_shown = false;
    }
}
