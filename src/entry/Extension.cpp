#include "entry/Extension.h"

#include <new>

namespace gibo {

namespace {

// Plain aggregates without constructors: zero before any static construction runs, so the
// registration works from the earliest load hook.
ModuleState g_moduleState;
DynLinkLibrary* g_pFirstLibrary;

}  // namespace

ModuleState& GetModuleState() {
    return g_moduleState;
}

DynLinkLibrary*& ExtensionChain() {
    return g_pFirstLibrary;
}

void PrepareExtensionModule(ModuleState& state) {
    state.pClassInit = state.pClassList;
    state.pFactoryInit = state.pFactoryList;
    state.pClassList = nullptr;
    state.pFactoryList = nullptr;
    state.bPreparing = true;
}

int InitExtensionModule(ExtensionModule& module, void* hModule, ModuleState& state) {
    if (module.bInitialized) {
        return 1;
    }
    if (!hModule) {
        return 0;
    }
    module.hModule = hModule;
    if (state.bPreparing) {
        module.pFirstSharedClass = state.pClassList;
        module.pFirstSharedFactory = state.pFactoryList;
        state.pClassList = state.pClassInit;
        state.pFactoryList = state.pFactoryInit;
        state.pClassInit = nullptr;
        state.pFactoryInit = nullptr;
        state.bPreparing = false;
    }
    module.bInitialized = 1;
    return 1;
}

DynLinkLibrary* LinkDynLibrary(ExtensionModule& module, bool bSystem) {
    auto* node = new (std::nothrow) DynLinkLibrary{&module, module.hModule, bSystem, nullptr};
    if (node) {
        node->pNext = g_pFirstLibrary;
        g_pFirstLibrary = node;
    }
    return node;
}

void TermExtensionModule(ExtensionModule& module, bool bAll) {
    DynLinkLibrary** link = &g_pFirstLibrary;
    while (*link) {
        DynLinkLibrary* node = *link;
        if (bAll || node->pModule == &module) {
            *link = node->pNext;
            delete node;
        } else {
            link = &node->pNext;
        }
    }
    module = ExtensionModule{};
}

}  // namespace gibo
