#include "entry/Entry.h"

namespace gibo {

namespace {

ExtensionModule g_giboModule;  // zero until attached

}  // namespace

ExtensionModule& GiboModule() {
    return g_giboModule;
}

int LibraryEntry(void* hInstance, unsigned long dwReason, void* /*lpReserved*/) {
    switch (dwReason) {
        case kProcessAttach:
            if (!InitExtensionModule(g_giboModule, hInstance, GetModuleState())) {
                return 0;
            }
            // Without memory for the chain node the classes still work in this library;
            // only the host's lookup through the chain misses them, so the load goes on.
            LinkDynLibrary(g_giboModule, false);
            return 1;
        case kProcessDetach:
            TermExtensionModule(g_giboModule, false);
            return 1;
        default:  // thread attach and detach: nothing is kept per thread
            return 1;
    }
}

}  // namespace gibo
