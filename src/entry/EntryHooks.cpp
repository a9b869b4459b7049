// The platform's load and unload hooks, forwarding to the library entry. They run for every
// image these objects are linked into: the shared library, and the test program.
#include "entry/Entry.h"

#ifdef _WIN32
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved) {
    // The loader runs DllMain after static construction, so the preparation that must come
    // first runs from the earliest constructor below.
    return gibo::LibraryEntry(hInstance, dwReason, lpReserved) ? TRUE : FALSE;
}

__attribute__((constructor(101))) static void GiboPrepare() {
    gibo::PrepareExtensionModule(gibo::GetModuleState());
}

#else
#include <dlfcn.h>

namespace {

// The handle of the image holding this code: the shared library when loaded as one.
void* OwnImage() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&OwnImage), &info)) {
        return nullptr;
    }
    return info.dli_fbase;
}

// Priority 101 runs before every unprioritised constructor of the image.
__attribute__((constructor(101))) void GiboPrepare() {
    gibo::PrepareExtensionModule(gibo::GetModuleState());
}

// A constructor cannot refuse the load: on failure the library stays loaded but is not
// linked into the chain, which the other operations do not need.
__attribute__((constructor)) void GiboAttach() {
    gibo::LibraryEntry(OwnImage(), gibo::kProcessAttach, nullptr);
}

__attribute__((destructor)) void GiboDetach() {
    gibo::LibraryEntry(nullptr, gibo::kProcessDetach, nullptr);
}

}  // namespace

#endif
