// The library entry: joining and leaving the chain of extension libraries.
#include <gtest/gtest.h>

#include <cstring>

#include "entry/Entry.h"
#include "entry/Extension.h"

#ifdef _WIN32
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);
#endif

namespace {

using gibo::DynLinkLibrary;
using gibo::ExtensionModule;

// Links in the chain: of one module, or of all with none given.
int Links(const ExtensionModule* module = nullptr) {
    int n = 0;
    for (const DynLinkLibrary* p = gibo::ExtensionChain(); p; p = p->pNext) {
        n += !module || p->pModule == module;
    }
    return n;
}

// Leaves the library attached as it was, so that the tests do not depend on their order.
class LibraryEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = gibo::GiboModule();
        m_bWasLinked = Links(&gibo::GiboModule()) > 0;
        gibo::LibraryEntry(nullptr, gibo::kProcessDetach, nullptr);
    }
    void TearDown() override {
        gibo::LibraryEntry(nullptr, gibo::kProcessDetach, nullptr);
        if (m_saved.bInitialized) {
            gibo::LibraryEntry(m_saved.hModule, gibo::kProcessAttach, nullptr);
        }
    }

    ExtensionModule m_saved{};
    bool m_bWasLinked = false;
    int m_image = 0;  // its address stands for a module handle
};

TEST_F(LibraryEntryTest, AttachLinksOnceThreadsChangeNothingDetachUnlinksAndClears) {
    ExtensionModule other{};  // another library's link stays through this one's detach
    ASSERT_NE(gibo::LinkDynLibrary(other, false), nullptr);
    const int others = Links();
    // A stray detach changes nothing; without a module handle the library refuses to load.
    EXPECT_EQ(gibo::LibraryEntry(&m_image, gibo::kProcessDetach, nullptr), 1);
    EXPECT_EQ(gibo::LibraryEntry(nullptr, gibo::kProcessAttach, nullptr), 0);
    EXPECT_EQ(gibo::GiboModule().bInitialized, 0);
    EXPECT_EQ(Links(), others);
    const ExtensionModule& module = gibo::GiboModule();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(gibo::LibraryEntry(&m_image, gibo::kProcessAttach, nullptr), 1);
        EXPECT_EQ(module.bInitialized, 1);
        EXPECT_EQ(module.hModule, &m_image);
        EXPECT_EQ(gibo::ExtensionChain()->pModule, &module);  // newest first
        EXPECT_EQ(gibo::ExtensionChain()->hModule, &m_image);
        EXPECT_FALSE(gibo::ExtensionChain()->bSystem);
        // Thread reasons change nothing, with or without a handle.
        const ExtensionModule attached = module;
        for (unsigned long reason : {gibo::kThreadAttach, gibo::kThreadDetach}) {
            EXPECT_EQ(gibo::LibraryEntry(&m_image, reason, nullptr), 1);
            EXPECT_EQ(gibo::LibraryEntry(nullptr, reason, nullptr), 1);
        }
        EXPECT_EQ(std::memcmp(&module, &attached, sizeof attached), 0);
        EXPECT_EQ(Links(&module), 1);
        EXPECT_EQ(Links(), others + 1);

        EXPECT_EQ(gibo::LibraryEntry(&m_image, gibo::kProcessDetach, nullptr), 1);
        EXPECT_EQ(Links(), others);
        const ExtensionModule zero{};
        EXPECT_EQ(std::memcmp(&module, &zero, sizeof zero), 0);
    }
    EXPECT_EQ(Links(&other), 1);
    gibo::TermExtensionModule(other, false);
}

TEST_F(LibraryEntryTest, PlatformHookForwardsToTheEntry) {
#ifdef _WIN32
    // A program's loader never calls DllMain, so call it as the loader calls a library's.
    const HINSTANCE h = reinterpret_cast<HINSTANCE>(&m_image);
    EXPECT_EQ(DllMain(h, DLL_PROCESS_ATTACH, nullptr), TRUE);
    EXPECT_EQ(Links(&gibo::GiboModule()), 1);
    EXPECT_EQ(DllMain(h, DLL_THREAD_ATTACH, nullptr), TRUE);
    EXPECT_EQ(DllMain(h, DLL_PROCESS_DETACH, nullptr), TRUE);
    EXPECT_EQ(Links(&gibo::GiboModule()), 0);
    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr), FALSE);
#else
    // The load hook ran when this program started: the objects are linked into it.
    ASSERT_TRUE(m_saved.bInitialized);
    EXPECT_NE(m_saved.hModule, nullptr);
    EXPECT_TRUE(m_bWasLinked);
#endif
}

TEST(ExtensionModule, ClassesRegisteredWhileInitialisingBelongToTheLibrary) {
    gibo::ModuleState state{};
    gibo::ClassEntry host{"CHostView", nullptr};
    gibo::ClassEntry hostFactory{"CHostDoc", nullptr};
    state.pClassList = &host;
    state.pFactoryList = &hostFactory;

    gibo::PrepareExtensionModule(state);
    EXPECT_EQ(state.pClassList, nullptr);
    EXPECT_EQ(state.pFactoryList, nullptr);
    gibo::ClassEntry own{"CGiboView", nullptr};
    state.pClassList = &own;  // what the library's static construction registers

    // A failed initialisation leaves the state as prepared, so that a retry still finds both.
    ExtensionModule module{};
    EXPECT_EQ(gibo::InitExtensionModule(module, nullptr, state), 0);
    EXPECT_EQ(module.bInitialized, 0);
    EXPECT_EQ(state.pClassInit, &host);
    EXPECT_EQ(state.pClassList, &own);
    int image = 0;
    ASSERT_EQ(gibo::InitExtensionModule(module, &image, state), 1);
    EXPECT_EQ(module.pFirstSharedClass, &own);
    EXPECT_EQ(module.pFirstSharedFactory, nullptr);
    EXPECT_EQ(state.pClassList, &host);  // the host has its lists back
    EXPECT_EQ(state.pFactoryList, &hostFactory);
    EXPECT_FALSE(state.bPreparing);
    gibo::TermExtensionModule(module, false);
}

}  // namespace
