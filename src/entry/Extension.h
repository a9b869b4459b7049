// The extension-library registration a host framework would otherwise provide: a module record
// per extension library, the running module's state, and the process-wide chain of loaded
// extension libraries. There is no framework here, so this is the least of one: it lets the
// library join and leave the chain at load and unload exactly as a framework host expects.
// Internal: nothing here is exported.
#ifndef GIBO_ENTRY_EXTENSION_H
#define GIBO_ENTRY_EXTENSION_H

namespace gibo {

// A run-time class or class factory that registers itself during static construction.
struct ClassEntry {
    const char* pszName;
    ClassEntry* pNext;
};

// State of the running module. Classes register into pClassList/pFactoryList; while an
// extension library is being constructed they are collected in the *Init slots instead, so
// that they end up in that library's module record and not in the host's lists.
struct ModuleState {
    ClassEntry* pClassList;
    ClassEntry* pFactoryList;
    ClassEntry* pClassInit;  // lists moved aside while a library initialises
    ClassEntry* pFactoryInit;
    bool bPreparing;
};

// One library's registration record: all zero until the library is attached.
struct ExtensionModule {
    int bInitialized;
    void* hModule;
    ClassEntry* pFirstSharedClass;
    ClassEntry* pFirstSharedFactory;
};

// A node of the chain of loaded extension libraries. The chain owns its nodes.
struct DynLinkLibrary {
    ExtensionModule* pModule;
    void* hModule;
    bool bSystem;
    DynLinkLibrary* pNext;
};

ModuleState& GetModuleState();
DynLinkLibrary*& ExtensionChain();  // first node, most recently linked first

// Before the library's static construction: moves the registered lists aside and empties
// them, so what registers next belongs to the library.
void PrepareExtensionModule(ModuleState& state);

// Fills the module record: the module handle and the classes collected since preparation,
// and gives the state its own lists back. 0 without a module handle; an initialised record is
// left as it is.
int InitExtensionModule(ExtensionModule& module, void* hModule, ModuleState& state);

// Links a library into the chain; nothing on exhausted memory (null).
DynLinkLibrary* LinkDynLibrary(ExtensionModule& module, bool bSystem);

// Unlinks and frees every chain node of the module and clears the record. With bAll it also
// removes the nodes of every other library. Harmless on a record that was never initialised.
void TermExtensionModule(ExtensionModule& module, bool bAll);

}  // namespace gibo

#endif  // GIBO_ENTRY_EXTENSION_H
