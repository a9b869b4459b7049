// Walking a collection.
#include "index/collection.h"

#include "cli/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>

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

bool Listed(const std::string& path, const std::vector<std::string>& paths) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

std::string RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    const std::string result = real ? real : "";
    std::free(real);
    return result;
}

// Gone, not merely out of reach: a record in a directory this user cannot search stays.
bool Gone(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

// Each directory opened once for the files found in it: a stat by name relative to it saves
// walking the whole path again for every record, most of the work of a run with nothing new.
class DirectoryStat {
public:
    DirectoryStat() = default;
    DirectoryStat(const DirectoryStat&) = delete;
    DirectoryStat& operator=(const DirectoryStat&) = delete;
    ~DirectoryStat() { Close(); }

    // lstat() of path.
    int Lstat(const std::string& path, struct stat& st) {
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            return lstat(path.c_str(), &st);
        }
        if (m_dir.size() != slash + 1 || path.compare(0, slash + 1, m_dir) != 0) {
            Close();
            m_dir.assign(path, 0, slash + 1);
            m_fd = open(m_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
        if (m_fd < 0) {
            return lstat(path.c_str(), &st);
        }
        return fstatat(m_fd, path.c_str() + slash + 1, &st, AT_SYMLINK_NOFOLLOW);
    }

private:
    void Close() {
        if (m_fd >= 0) {
            close(m_fd);
        }
        m_fd = -1;
    }

    std::string m_dir;  // ending in '/'
    int m_fd = -1;
};

// A file found below a canonical directory is canonical unless it is a link itself.
FileStamp Stamp(const std::string& path, DirectoryStat& dirs) {
    FileStamp s;
    s.path = path;
    struct stat st;
    int rc = dirs.Lstat(path, st);
    if (rc == 0 && S_ISLNK(st.st_mode)) {
        s.path = Canonical(path);
        rc = stat(s.path.c_str(), &st);
    }
    if (rc == 0) {
        s.exists = true;
        s.size = static_cast<long long>(st.st_size);
        s.mtime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
        s.dev = static_cast<unsigned long long>(st.st_dev);
        s.ino = static_cast<unsigned long long>(st.st_ino);
    }
    return s;
}

// Every unreadable directory is reported, not skipped: the index keeps the records below it.
void Walk(const std::string& dir, Collection& c) {
    c.dirs.push_back(dir == "/" ? dir : dir + "/");
    std::vector<std::string> found;
    std::vector<Unreadable> unreadable;
    FindRecordsBelow(dir, found, unreadable);
    for (const Unreadable& u : unreadable) {
        c.errors.push_back(u.path + ": " + u.reason);
        c.unread.push_back(u.path + "/");
    }
    DirectoryStat dirs;
    c.records.reserve(c.records.size() + found.size());
    for (const std::string& f : found) {
        c.records.push_back(Stamp(f, dirs));
    }
}

}  // namespace

std::string Canonical(const std::string& path) {
    std::string real = RealPath(path);
    if (!real.empty()) {
        return real;
    }
    std::error_code ec;
    const fs::path p = fs::absolute(path, ec).lexically_normal();
    real = RealPath(p.parent_path().string());
    return real.empty() ? p.string() : (fs::path(real) / p.filename()).string();
}

bool Collection::Vanished(const std::string& path) const {
    return Listed(path, excluded) ||
           (((Under(path, dirs) && !Under(path, unread)) || Listed(path, missing)) && Gone(path));
}

void Collection::Exclude(const std::vector<std::string>& paths) {
    excluded.insert(excluded.end(), paths.begin(), paths.end());
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&paths](const FileStamp& s) { return Listed(s.path, paths); }),
                  records.end());
}

Collection Collect(const std::vector<std::string>& operands) {
    Collection c;
    for (const std::string& operand : operands) {
        const std::string path = Canonical(operand);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            Walk(path, c);
            continue;
        }
        DirectoryStat dirs;
        FileStamp s = Stamp(path, dirs);
        if (s.exists) {
            c.records.push_back(s);
        } else {
            c.missing.push_back(path);
        }
    }
    // One row per real file: a file met again through a link, or as another hard link to it.
    std::set<std::pair<unsigned long long, unsigned long long>> seen;
    c.records.erase(std::remove_if(c.records.begin(), c.records.end(),
                                   [&seen](const FileStamp& s) {
                                       return !seen.insert({s.dev, s.ino}).second;
                                   }),
                    c.records.end());
    return c;
}
