// The operating system on POSIX systems.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "os/input.h"
#include "os/system.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace fs = std::filesystem;

namespace os {

void PrepareProcess() {
#ifdef __GLIBC__
    // Each record of a batch allocates and frees the same buffers; without this the C library
    // hands the memory back to the system and asks for it again, three system calls a record.
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
    mallopt(M_TOP_PAD, 1 << 20);
#endif
}

int OpenForReading(const std::string& path, bool follow) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer. It stays: it changes nothing for a
    // regular file.
    return ::open(path.c_str(),
                  O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (follow ? 0 : O_NOFOLLOW));
}

std::string DescriptorName(int fd, const std::string& path) {
    // Whether the system has descriptor names does not change during a run: asked once.
    static const bool procNames = access("/proc/self/fd", F_OK) == 0;
    return procNames ? "/proc/self/fd/" + std::to_string(fd) : path;
}

bool IsTerminal(int fd) {
    return isatty(fd) != 0;
}

bool IsLink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string WhyNotReplaceable(const std::string& path, bool file) {
    if (file && access(path.c_str(), W_OK) != 0 && errno != ENOENT) {
        return "the file is not writable: " + SystemReason(errno);
    }
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        return "cannot create a file in " + dir + ": " + SystemReason(errno);
    }
    return std::string();
}

bool ReplacesOpenFiles() {
    return true;
}

namespace {

// True when path names the file open in `in` (following links when follow is true).
bool IsAt(const InputFile& in, const std::string& path, bool follow) {
    struct stat st;
    return (follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) == 0 &&
           static_cast<uint64_t>(st.st_dev) == in.Identity().nDev &&
           static_cast<uint64_t>(st.st_ino) == in.Identity().nIno;
}

}  // namespace

bool LockForEdit(const std::string& path, InputFile& in, std::string& error, bool follow,
                 const std::function<void()>& waiting) {
    bool told = false;
    for (;;) {
        if (!in.Open(path, error, follow)) {
            return false;
        }
        if (flock(in.Fd(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK && waiting && !told) {
            waiting();
            told = true;
        }
        while (flock(in.Fd(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = "cannot lock the record: " + SystemReason(errno);
                return false;
            }
        }
        if (IsAt(in, path, follow)) {
            return true;
        }
    }
}

std::string TempBase() {
    std::error_code ec;
    const char* tmpdir = std::getenv("TMPDIR");
    if (!tmpdir || !*tmpdir) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        for (const char* candidate : {runtime, "/dev/shm"}) {
            if (candidate && *candidate && fs::is_directory(candidate, ec) &&
                access(candidate, W_OK | X_OK) == 0) {
                return candidate;
            }
        }
    }
    const fs::path base = fs::temp_directory_path(ec);
    return ec ? std::string(".") : base.string();
}

namespace {

// What a work directory's name begins with for the runs of this machine: the prefix and the
// host's name, then the run's PID.
std::string RunTag(const std::string& prefix) {
    char host[256] = {0};
    gethostname(host, sizeof host - 1);
    std::string tag = prefix + host + "-";
    for (char& c : tag) {
        c = c == '/' ? '_' : c;
    }
    return tag;
}

}  // namespace

std::string MakePrivateDir(const std::string& base, const std::string& prefix) {
    std::string templ =
        (fs::path(base) / (RunTag(prefix) + std::to_string(getpid()) + "-XXXXXX")).string();
    return mkdtemp(&templ[0]) ? templ : std::string();
}

void RemoveStaleDirs(const std::string& base, const std::string& prefix) {
    const std::string tag = RunTag(prefix);
    std::error_code ec;
    for (fs::directory_iterator it(base, ec), last; !ec && it != last; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        struct stat st;
        if (name.compare(0, tag.size(), tag) != 0 || lstat(it->path().c_str(), &st) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
            continue;
        }
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + tag.size(), &end, 10);
        // Only a run that is gone: a PID still in use, by whatever process, keeps its directory.
        if (pid > 0 && *end == '-' && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
}

const int* StopSignals() {
    static const int stops[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, 0};
    return stops;
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

void HoldStops(bool block) {
    sigset_t set;
    sigemptyset(&set);
    for (const int* sig = StopSignals(); *sig; ++sig) {
        sigaddset(&set, *sig);
    }
    sigprocmask(block ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

void CatchStops(void (*handler)(int)) {
    // Without SA_RESTART, so that a read waiting on a slow file gives up and the run stops at
    // once.
    struct sigaction sa = {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

void RemoveNow(const char* path, bool directory) {
    directory ? rmdir(path) : unlink(path);
}

}  // namespace os
