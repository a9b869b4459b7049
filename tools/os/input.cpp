// Opening inputs and locking records.
#include "os/input.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

std::string SystemReason(int err) {
    return std::strerror(err);
}

bool InputFile::Open(const std::string& path, std::string& error) {
    Close();
#ifdef _WIN32
    m_fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
#endif
    if (m_fd < 0) {
        error = SystemReason(errno);
        return false;
    }
    struct stat st;
    if (fstat(m_fd, &st) != 0) {
        error = SystemReason(errno);
        Close();
        return false;
    }
    if ((st.st_mode & S_IFMT) == S_IFDIR) {
        error = "is a directory; use -r DIR for the records in it";
        Close();
        return false;
    }
    if ((st.st_mode & S_IFMT) != S_IFREG) {
        error = "not a regular file: FIFOs, devices and sockets are not read";
        Close();
        return false;
    }
#ifndef _WIN32
    // O_NONBLOCK stays: it changes nothing for a regular file. Whether the system has
    // descriptor names does not change during a run, so it is asked once.
    static const bool procNames = access("/proc/self/fd", F_OK) == 0;
    m_name = procNames ? "/proc/self/fd/" + std::to_string(m_fd) : path;
#else
    m_name = path;
#endif
    m_size = static_cast<long long>(st.st_size);
    m_dev = static_cast<unsigned long long>(st.st_dev);
    m_ino = static_cast<unsigned long long>(st.st_ino);
    m_mode = static_cast<unsigned>(st.st_mode & 07777);
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
#ifdef _WIN32
        _close(fd);
#else
        ::close(fd);
#endif
        fd = -1;
    }
}

void InputFile::Close() {
    CloseFd(m_fd);
}

bool InputFile::IsAt(const std::string& path) const {
    struct stat st;
    return m_fd >= 0 && stat(path.c_str(), &st) == 0 &&
           static_cast<unsigned long long>(st.st_dev) == m_dev &&
           static_cast<unsigned long long>(st.st_ino) == m_ino;
}

bool IsLink(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
#endif
}

std::string WhyNotReplaceable(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return std::string();
#else
    if (access(path.c_str(), W_OK) != 0 && errno != ENOENT) {
        return "the record is not writable: " + SystemReason(errno);
    }
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        return "cannot create a file in " + dir + ": " + SystemReason(errno);
    }
    return std::string();
#endif
}

bool LockForEdit(const std::string& path, InputFile& in, std::string& error) {
    for (;;) {
        if (!in.Open(path, error)) {
            return false;
        }
#ifdef _WIN32
        // Windows locks are mandatory and would stop the library's own reading of the record;
        // parallel edits are not serialised there.
        return true;
#else
        while (flock(in.Fd(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = "cannot lock the record: " + SystemReason(errno);
                return false;
            }
        }
        if (in.IsAt(path)) {
            return true;
        }
#endif
    }
}
