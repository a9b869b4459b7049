// The operating system on Windows.
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>

#include "os/input.h"
#include "os/system.h"

namespace fs = std::filesystem;

namespace os {

void PrepareProcess() {
    SetConsoleOutputCP(CP_UTF8);
}

int OpenForReading(const std::string& path, bool) {
    return _open(path.c_str(), _O_RDONLY | _O_BINARY);
}

std::string DescriptorName(int, const std::string& path) {
    return path;
}

bool IsTerminal(int fd) {
    return _isatty(fd) != 0;
}

bool IsLink(const std::string&) {
    return false;
}

std::string WhyNotReplaceable(const std::string&, bool) {
    return std::string();
}

bool ReplacesOpenFiles() {
    return false;
}

bool LockForEdit(const std::string& path, InputFile& in, std::string& error, bool follow,
                 const std::function<void()>&) {
    // Windows locks are mandatory and would stop the library's own reading of the record;
    // parallel edits are not serialised there.
    return in.Open(path, error, follow);
}

std::string TempBase() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    return ec ? std::string(".") : base.string();
}

std::string MakePrivateDir(const std::string& base, const std::string& prefix) {
    std::error_code ec;
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path p = fs::path(base) / (prefix + std::to_string(rd()));
        if (fs::create_directory(p, ec)) {
            return p.string();
        }
    }
    return std::string();
}

void RemoveStaleDirs(const std::string&, const std::string&) {
    // A Windows run is not killed without its console handler as a POSIX one is: nothing to do.
}

const int* StopSignals() {
    static const int stops[] = {SIGINT, SIGTERM, 0};
    return stops;
}

void IgnoreFileSizeSignal() {}

// Windows has no signal mask; its console stop runs the handler on another thread, and the
// library's own temporaries are then left to it.
void HoldStops(bool) {}

void CatchStops(void (*handler)(int)) {
    std::signal(SIGINT, handler);
    std::signal(SIGTERM, handler);
}

void RemoveNow(const char* path, bool directory) {
    directory ? _rmdir(path) : std::remove(path);
}

}  // namespace os
