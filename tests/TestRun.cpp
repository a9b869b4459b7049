// What every test process sets up before its tests run: a file-size limit, so that a fault that
// writes without end fails at once instead of filling the disk, and the removal of the
// temporary directories that killed runs (a timeout, say) left behind. Both on POSIX systems;
// a Windows run under wine keeps its temporaries inside the build.
#include "TestRun.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr rlim_t kFileLimit = rlim_t{256} << 20;

void OnFileLimit(int) {
    static const char kMessage[] =
        "\ntests: a file reached the tests' size limit of 256 MiB (RLIMIT_FSIZE); a test "
        "that needs larger files holds a LargeFiles object\n";
    const ssize_t written = ::write(2, kMessage, sizeof kMessage - 1);
    ::_exit(written > 0 ? 3 : 4);
}

void LimitFileSize() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 &&
        (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > kFileLimit)) {
        limit.rlim_cur = kFileLimit;  // the hard limit stays, for LargeFiles to go back up to
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    struct sigaction action {};
    action.sa_handler = OnFileLimit;
    ::sigaction(SIGXFSZ, &action, nullptr);
}

// TempDir names its directories with the process id; those of processes that are gone are
// left over from killed runs.
void RemoveDeadRunsTemporaries() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string prefix = kTempDirPrefix;
    for (fs::directory_iterator it(fs::temp_directory_path(ec), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        char* rest = nullptr;
        const long pid = name.compare(0, prefix.size(), prefix) == 0
                             ? std::strtol(name.c_str() + prefix.size(), &rest, 10)
                             : 0;
        const bool alive = pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
        if (pid > 0 && *rest == '-' && !alive) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
}

const bool kSetUp = (LimitFileSize(), RemoveDeadRunsTemporaries(), true);

}  // namespace

LargeFiles::LargeFiles() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_limit = limit.rlim_cur;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    (void)kSetUp;
}

LargeFiles::~LargeFiles() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_limit);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}
#else
LargeFiles::LargeFiles() = default;
LargeFiles::~LargeFiles() = default;
#endif
