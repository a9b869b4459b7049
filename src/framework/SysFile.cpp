// The descriptor owner and the buffer copy, the same on every system; only the calls under them
// differ.
#include "framework/SysFile.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "framework/Faults.h"

namespace gibo {

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Abort();
        m_fd = other.Release();
    }
    return *this;
}

Status Fd::Close() {
    if (m_fd < 0) {
        return 0;
    }
    const int fd = Release();
    const int fault = FaultDue(FileOp::Close);
    const Status closed = CloseDescriptor(fd);
    return fault ? fault : closed;
}

void Fd::Abort() {
    if (m_fd >= 0) {
        CloseDescriptor(Release());
    }
}

bool SameId(const FileId& a, const FileId& b) {
    return a.bExists == b.bExists && a.nType == b.nType && a.nDev == b.nDev && a.nIno == b.nIno &&
           a.nChanged == b.nChanged;
}

Status CopyThroughBuffer(int from, int to, size_t nBuffer, int64_t nWriteOut, const SeePiece& see) {
    int64_t length = 0, from0 = 0, to0 = 0;
    if (LengthOf(from, length) == 0 && SeekFd(from, 0, SEEK_CUR, from0) == 0) {
        nBuffer = static_cast<size_t>(std::clamp<int64_t>(length - from0, 1, nBuffer));
    }
    const bool bWriteOut = nWriteOut > 0 && SeekFd(to, 0, SEEK_CUR, to0) == 0;
    std::vector<char> buffer(nBuffer);
    int64_t copied = 0, started = 0;
    for (;;) {
        size_t got = 0;
        if (const Status s = ReadSome(from, buffer.data(), buffer.size(), got)) {
            return s;
        }
        if (got == 0 || (see && !see(buffer.data(), got))) {
            return 0;
        }
        if (const Status s = WriteAll(to, buffer.data(), got)) {
            return s;
        }
        copied += static_cast<int64_t>(got);
        if (bWriteOut && copied - started >= nWriteOut) {
            StartWriteOut(to, to0 + started, copied - started);
            started = copied;
        }
    }
}

}  // namespace gibo
