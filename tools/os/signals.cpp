// Removing temporaries when the run is stopped.
#include "os/signals.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#include "os/system.h"

namespace {

// Fixed buffers, since the handler may not allocate.
const int kSlots = 16;
const size_t kPathMax = 4096;
struct Slot {
    char szPath[kPathMax];
    volatile std::sig_atomic_t bDirectory;
    volatile std::sig_atomic_t bUsed;
};
Slot g_slots[kSlots];

void RemoveAll() {
    for (int pass = 0; pass < 2; ++pass) {  // files first, then the directories they were in
        for (int i = kSlots - 1; i >= 0; --i) {
            Slot& s = g_slots[i];
            if (!s.bUsed || (s.bDirectory != 0) != (pass == 1)) {
                continue;
            }
            os::RemoveNow(s.szPath, pass == 1);
            s.bUsed = 0;
        }
    }
}

void OnStop(int sig) {
    RemoveAll();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Atomic, not only volatile: gibo index reads records on a second thread, and the signal may
// be handled on either. A lock-free atomic may be set in a signal handler.
std::atomic<int> g_stopRequested{0};
static_assert(std::atomic<int>::is_always_lock_free, "set in a signal handler");

void OnStopRequest(int) {
    g_stopRequested = 1;
}

int g_nDeferred = 0;

}  // namespace

void InstallSignalHandlers() {
    for (const int* sig = os::StopSignals(); *sig; ++sig) {
        std::signal(*sig, OnStop);
    }
    os::IgnoreFileSizeSignal();
}

void StopBetweenSteps() {
    os::CatchStops(OnStopRequest);
}

bool StopRequested() {
    return g_stopRequested != 0;
}

int RegisterTemporary(const std::string& path, bool isDirectory) {
    if (path.size() >= kPathMax) {
        return -1;
    }
    DeferSignals defer;
    for (int i = 0; i < kSlots; ++i) {
        Slot& s = g_slots[i];
        if (!s.bUsed) {
            std::snprintf(s.szPath, kPathMax, "%s", path.c_str());
            s.bDirectory = isDirectory;
            s.bUsed = 1;
            return i;
        }
    }
    return -1;
}

void ForgetTemporary(int slot) {
    if (slot >= 0 && slot < kSlots) {
        g_slots[slot].bUsed = 0;
    }
}

DeferSignals::DeferSignals() {
    if (g_nDeferred++ == 0) {
        os::HoldStops(true);
    }
}

DeferSignals::~DeferSignals() {
    if (--g_nDeferred == 0) {
        os::HoldStops(false);
    }
}
