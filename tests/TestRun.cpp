// What every test process sets up before its tests run: a file-size limit, so that a fault that
// writes without end fails at once instead of filling the disk, and the removal of the
// temporary directories that killed runs (a timeout, say) left behind.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "TestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
constexpr rlim_t kFileLimit = rlim_t{256} << 20;

void OnFileLimit(int) {
    static const char kMessage[] =
        "\ngibo_tests: a file reached the tests' size limit of 256 MiB (RLIMIT_FSIZE); a test "
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

bool Alive(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}
#else
void LimitFileSize() {}

bool Alive(long pid) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) {
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}
#endif

// TempDir names its directories with the process id; those of processes that are gone are
// left over from killed runs.
void RemoveDeadRunsTemporaries() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string prefix = kTempDirPrefix;
    for (fs::directory_iterator it(fs::temp_directory_path(ec), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        char* rest = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &rest, 10);
        if (*rest == '-' && pid > 0 && !Alive(pid)) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
}

const bool kSetUp = (LimitFileSize(), RemoveDeadRunsTemporaries(), true);

}  // namespace

LargeFiles::LargeFiles() {
#ifndef _WIN32
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_limit = limit.rlim_cur;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_FSIZE, &limit);
#endif
    (void)kSetUp;
}

LargeFiles::~LargeFiles() {
#ifndef _WIN32
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_limit);
    ::setrlimit(RLIMIT_FSIZE, &limit);
#endif
}
