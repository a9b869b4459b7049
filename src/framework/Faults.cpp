#include "framework/Faults.h"

#include <atomic>

namespace gibo {

namespace {

constexpr int kOps = static_cast<int>(FileOp::Count);

// Atomic so that a host reading records on several threads stays race-free; the counts only
// matter to a test, which runs one operation at a time.
std::atomic<int> g_nCalls[kOps];
std::atomic<int> g_nFailAt[kOps];  // 0: not armed
std::atomic<int> g_nErrno[kOps];

}  // namespace

void ArmFault(FileOp op, int nth, int err) {
    const int k = static_cast<int>(op);
    g_nErrno[k] = err;
    g_nFailAt[k] = nth > 0 ? g_nCalls[k].load() + nth : 0;
}

void ResetFaults() {
    for (int k = 0; k < kOps; ++k) {
        g_nFailAt[k] = 0;
        g_nCalls[k] = 0;
    }
}

bool FaultsArmed() {
    for (int k = 0; k < kOps; ++k) {
        if (g_nFailAt[k].load(std::memory_order_relaxed) != 0) {
            return true;
        }
    }
    return false;
}

int FaultCalls(FileOp op) {
    return g_nCalls[static_cast<int>(op)].load();
}

bool FaultDue(FileOp op) {
    const int k = static_cast<int>(op);
    const int call = g_nCalls[k].fetch_add(1, std::memory_order_relaxed) + 1;
    const int failAt = g_nFailAt[k].load(std::memory_order_relaxed);
    if (failAt == 0 || call != failAt) {
        return false;
    }
    errno = g_nErrno[k].load(std::memory_order_relaxed);
    return true;
}

}  // namespace gibo
