// Opening and reading inputs.
#include "os/input.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "os/system.h"

namespace {

const size_t kPiece = 64 * 1024;

}  // namespace

std::string SystemReason(int err) {
    return std::strerror(err);
}

bool InputFile::Open(const std::string& path, std::string& error, bool follow) {
    Close();
    m_fd = os::OpenForReading(path, follow);
    if (m_fd < 0) {
        error = SystemReason(errno);
        return false;
    }
    struct stat st;
    const bool ok = fstat(m_fd, &st) == 0;
    error = !ok                                ? SystemReason(errno)
            : (st.st_mode & S_IFMT) == S_IFDIR ? "is a directory; use -r DIR for the records in it"
            : (st.st_mode & S_IFMT) != S_IFREG
                ? "not a regular file: FIFOs, devices and sockets are not read"
                : "";
    if (!error.empty()) {
        Close();
        return false;
    }
    m_name = os::DescriptorName(m_fd, path);
    m_size = static_cast<long long>(st.st_size);
    gibo::IdentityOf(m_fd, m_id);
    return true;
}

void InputFile::Close() {
    if (m_fd >= 0) {
        gibo::CloseDescriptor(m_fd);
        m_fd = -1;
    }
}

bool ReadAt(int fd, long long offset, char* pBuf, size_t nCount, size_t& nGot, std::string& error) {
    nGot = 0;
    int64_t at = 0;
    gibo::Status s = gibo::SeekFd(fd, offset, SEEK_SET, at);
    size_t got = 1;
    while (s == 0 && got > 0 && nGot < nCount) {
        s = gibo::ReadSome(fd, pBuf + nGot, nCount - nGot, got);
        nGot += got;
    }
    if (s != 0) {
        error = "read error: " + SystemReason(s);
        return false;
    }
    return true;
}

bool SameTail(int a, long long aOffset, int b, long long bOffset, std::string& error) {
    std::vector<char> pa(kPiece), pb(kPiece);
    for (;;) {
        size_t na = 0, nb = 0;
        if (!ReadAt(a, aOffset, pa.data(), kPiece, na, error) ||
            !ReadAt(b, bOffset, pb.data(), kPiece, nb, error)) {
            return false;
        }
        if (na != nb || std::char_traits<char>::compare(pa.data(), pb.data(), na) != 0) {
            return false;
        }
        if (na == 0) {
            return true;
        }
        aOffset += static_cast<long long>(na);
        bOffset += static_cast<long long>(nb);
    }
}
