// Removing temporaries when the run is stopped.
#include "os/signals.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

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
#ifdef _WIN32
            pass == 0 ? std::remove(s.szPath) : _rmdir(s.szPath);
#else
            pass == 0 ? unlink(s.szPath) : rmdir(s.szPath);
#endif
            s.bUsed = 0;
        }
    }
}

void OnStop(int sig) {
    RemoveAll();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

#ifndef _WIN32
const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
#else
const int kStopSignals[] = {SIGINT, SIGTERM};
#endif

}  // namespace

void InstallSignalHandlers() {
    for (int sig : kStopSignals) {
        std::signal(sig, OnStop);
    }
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
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

#ifdef _WIN32
// Windows has no signal mask; its console stop runs the handler on another thread, and the
// library's own temporaries are then left to it.
DeferSignals::DeferSignals() {}
DeferSignals::~DeferSignals() {}
#else
namespace {
sigset_t StopSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kStopSignals) {
        sigaddset(&set, sig);
    }
    return set;
}
int g_nDeferred = 0;
}  // namespace

DeferSignals::DeferSignals() {
    if (g_nDeferred++ == 0) {
        const sigset_t set = StopSet();
        sigprocmask(SIG_BLOCK, &set, nullptr);
    }
}

DeferSignals::~DeferSignals() {
    if (--g_nDeferred == 0) {
        const sigset_t set = StopSet();
        sigprocmask(SIG_UNBLOCK, &set, nullptr);
    }
}
#endif
