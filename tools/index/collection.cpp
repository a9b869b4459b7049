// Walking a collection.
#include "index/collection.h"

#include "cli/batch.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool Under(const std::string& path, const std::vector<std::string>& dirs) {
    for (const std::string& d : dirs) {
        if (path.compare(0, d.size(), d) == 0) {
            return true;
        }
    }
    return false;
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    return (ec ? fs::path(path) : p).lexically_normal().string();
}

}  // namespace

bool Collection::Vanished(const std::string& path) const {
    return (Under(path, dirs) && !Under(path, unread)) ||
           std::find(missing.begin(), missing.end(), path) != missing.end();
}

FileStamp Stamp(const std::string& path) {
    FileStamp s;
    s.path = path;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        s.exists = true;
        s.size = static_cast<long long>(st.st_size);
        s.mtime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    }
    return s;
}

Collection Collect(const std::vector<std::string>& operands) {
    Collection c;
    for (const std::string& operand : operands) {
        const std::string path = Absolute(operand);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::string dir = path;
            while (dir.size() > 1 && dir.back() == '/') {
                dir.pop_back();
            }
            c.dirs.push_back(dir == "/" ? dir : dir + "/");
            // Every unreadable directory is reported, not skipped: the index keeps the records
            // below it.
            std::vector<std::string> found;
            std::vector<Unreadable> unreadable;
            FindRecordsBelow(dir, found, unreadable);
            for (const Unreadable& u : unreadable) {
                c.errors.push_back(u.path + ": " + u.reason);
                c.unread.push_back(u.path + "/");
            }
            for (const std::string& f : found) {
                c.records.push_back(Stamp(f));
            }
            continue;
        }
        FileStamp s = Stamp(path);
        if (s.exists) {
            c.records.push_back(s);
        } else {
            c.missing.push_back(path);
        }
    }
    return c;
}
