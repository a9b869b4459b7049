// The descriptor owner, the same on every system; only the close itself differs.
#include "framework/SysFile.h"

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

}  // namespace gibo
