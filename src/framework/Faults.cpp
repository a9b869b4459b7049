// The test program's fault seam (FaultsOff.cpp is the shipped one): counts every call of the
// file layer and fails the armed ones.
#include "framework/Faults.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace gibo {

namespace {

constexpr int kOps = static_cast<int>(FileOp::Count);

std::atomic<int> g_nCalls[kOps];
std::atomic<int> g_nFailAt[kOps];  // 0: not armed
std::atomic<int> g_nTimes[kOps];
std::atomic<int> g_nErrno[kOps];

}  // namespace

void ArmFault(FileOp op, int nth, int err, int times) {
    const int k = static_cast<int>(op);
    g_nErrno[k] = err;
    g_nTimes[k] = times;
    g_nFailAt[k] = nth > 0 ? g_nCalls[k].load() + nth : 0;
}

void ResetFaults() {
    for (int k = 0; k < kOps; ++k) {
        g_nFailAt[k] = 0;
        g_nCalls[k] = 0;
    }
}

int FaultCalls(FileOp op) {
    return g_nCalls[static_cast<int>(op)].load();
}

int FaultDue(FileOp op) {
    const int k = static_cast<int>(op);
    const int call = g_nCalls[k].fetch_add(1) + 1;
    const int from = g_nFailAt[k].load();
    return from != 0 && call >= from && call - from < g_nTimes[k].load() ? g_nErrno[k].load() : 0;
}

void TestHook(const char* stage) {
    const char* hook = std::getenv("GIBO_TEST_HOOK");
    const size_t n = std::strlen(stage);
    if (hook && std::strncmp(hook, stage, n) == 0 && hook[n] == ':') {
        (void)!std::system(hook + n + 1);
    }
}

}  // namespace gibo
