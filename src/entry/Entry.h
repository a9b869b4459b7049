// The library's entry: joins the chain of extension libraries at process attach and leaves it
// at detach. Called by the platform's load and unload hooks (EntryHooks.cpp). Internal.
#ifndef GIBO_ENTRY_ENTRY_H
#define GIBO_ENTRY_ENTRY_H

#include "entry/Extension.h"

namespace gibo {

enum EntryReason : unsigned long {
    kProcessDetach = 0,
    kProcessAttach = 1,
    kThreadAttach = 2,
    kThreadDetach = 3
};

// Nonzero to accept. Attach refuses (0) when the module record cannot be initialised.
int LibraryEntry(void* hInstance, unsigned long dwReason, void* lpReserved);

// This library's own module record.
ExtensionModule& GiboModule();

}  // namespace gibo

#endif  // GIBO_ENTRY_ENTRY_H
