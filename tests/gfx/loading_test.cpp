// Loading the two runtimes by name and resolving their seven entry points.
#include "graphics_test.h"

#include <platform/testing.h>

#include "fake_results.h"

#include <vector>

namespace {

using zv::testing::LoaderCall;
using zv::testing::LoaderLog;
using zv::testing::ModuleSearchDir;

class RuntimeLoading : public GraphicsTest {};

const std::vector<std::string> kLookupOrder = {
    "Direct3DRMCreate",    "D3DRMColorGetGreen", "D3DRMColorGetRed",     "D3DRMColorGetBlue",
    "D3DRMCreateColorRGB", "DirectDrawCreate",   "DirectDrawEnumerateA",
};

TEST_F(RuntimeLoading, ResultCodeNamesTheFirstModuleOrTheLastEntryPointMissing) {
    struct Case {
        const char* situation;
        int code;
        bool modulesLoaded;
    };
    const Case cases[] = {
        {"complete", 0, true},
        {"empty", 1, false},
        {"d3drm-not-a-library", 1, false},
        {"no-ddraw", 2, false},
        {"ddraw-not-a-library", 2, false},
        {"ddraw-is-a-folder", 2, false},
        {"missing-Direct3DRMCreate", 3, true},
        {"missing-D3DRMColorGetGreen", 4, true},
        {"missing-D3DRMColorGetRed", 5, true},
        {"missing-D3DRMColorGetBlue", 6, true},
        {"missing-D3DRMCreateColorRGB", 7, true},
        {"missing-DirectDrawCreate", 8, true},
        {"missing-DirectDrawEnumerateA", 9, true},
        {"missing-Direct3DRMCreate-and-DirectDrawCreate", 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        TearDown();
        ModuleSearchDir dir(Situation(c.situation));
        EXPECT_EQ(HXPLoadLibraries(), c.code);
        EXPECT_EQ(g_hxp.d3drmModule != nullptr, c.modulesLoaded);
        EXPECT_EQ(g_hxp.ddrawModule != nullptr, c.modulesLoaded);
    }
}

TEST_F(RuntimeLoading, WithoutD3drmDdrawIsNotTried) {
    ModuleSearchDir dir(Situation("empty"));
    LoaderLog log;
    EXPECT_EQ(HXPLoadLibraries(), 1);
    EXPECT_EQ(log.Names(LoaderCall::Load),
              std::vector<std::string>{Situation("empty") + "/d3drm.so"});
    EXPECT_TRUE(log.Names(LoaderCall::Lookup).empty());
}

TEST_F(RuntimeLoading, WithoutDdrawD3drmIsFreedAgain) {
    ModuleSearchDir dir(Situation("no-ddraw"));
    LoaderLog log;
    EXPECT_EQ(HXPLoadLibraries(), 2);
    EXPECT_EQ(g_hxp.d3drmModule, nullptr);
    EXPECT_EQ(log.Names(LoaderCall::Free),
              std::vector<std::string>{Situation("no-ddraw") + "/d3drm.so"});
    EXPECT_EQ(GetModuleHandleA("d3drm.dll"), nullptr);
    EXPECT_TRUE(log.Names(LoaderCall::Lookup).empty());
}

TEST_F(RuntimeLoading, AllSevenAreLookedUpEvenWhenSeveralAreMissing) {
    ModuleSearchDir dir(Situation("missing-Direct3DRMCreate-and-DirectDrawCreate"));
    LoaderLog log;
    EXPECT_EQ(HXPLoadLibraries(), 8);
    EXPECT_EQ(log.Names(LoaderCall::Lookup), kLookupOrder);
    EXPECT_EQ(g_hxp.pfnDirect3DRMCreate, nullptr);
    EXPECT_EQ(g_hxp.pfnDirectDrawCreate, nullptr);
    EXPECT_NE(g_hxp.pfnD3DRMColorGetGreen, nullptr);
    EXPECT_NE(g_hxp.pfnD3DRMColorGetRed, nullptr);
    EXPECT_NE(g_hxp.pfnD3DRMColorGetBlue, nullptr);
    EXPECT_NE(g_hxp.pfnD3DRMCreateColorRGB, nullptr);
    EXPECT_NE(g_hxp.pfnDirectDrawEnumerateA, nullptr);
}

TEST_F(RuntimeLoading, LoadedRuntimesAreNotLoadedAgain) {
    ModuleSearchDir dir(Situation("complete"));
    ASSERT_EQ(HXPLoadLibraries(), 0);
    HMODULE d3drm = g_hxp.d3drmModule;
    HMODULE ddraw = g_hxp.ddrawModule;

    LoaderLog log;
    EXPECT_EQ(HXPLoadLibraries(), 0);
    EXPECT_EQ(HXPInitialize(), 1);
    EXPECT_EQ(HXPInitialize(), 1);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(g_hxp.d3drmModule, d3drm);
    EXPECT_EQ(g_hxp.ddrawModule, ddraw);
}

TEST_F(RuntimeLoading, AMissingEntryPointIsStillReportedByLaterCalls) {
    ModuleSearchDir dir(Situation("missing-DirectDrawEnumerateA"));
    ASSERT_EQ(HXPLoadLibraries(), 9);
    LoaderLog log;
    EXPECT_EQ(HXPLoadLibraries(), 9);
    EXPECT_EQ(HXPInitialize(), 0);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(RuntimeLoading, CallThroughsHandTheirArgumentsOnUnchanged) {
    ModuleSearchDir dir(Situation("complete"));
    ASSERT_EQ(HXPLoadLibraries(), 0);
    auto lastDirectDrawCall = reinterpret_cast<FakeLastDirectDrawCreateCallFn>(
        GetProcAddress(g_hxp.ddrawModule, "FakeLastDirectDrawCreateCall"));
    auto lastRetainedDestination = reinterpret_cast<FakeLastDirect3DRMCreateDestinationFn>(
        GetProcAddress(g_hxp.d3drmModule, "FakeLastDirect3DRMCreateDestination"));
    ASSERT_NE(lastDirectDrawCall, nullptr);
    ASSERT_NE(lastRetainedDestination, nullptr);

    GUID driver = {7, 7, 7, {7}};
    IUnknown* outer = reinterpret_cast<IUnknown*>(&driver);
    EXPECT_EQ(HXPDirectDrawCreate(&driver, &g_hxp.ddraw, outer), kFakeDirectDrawCreateResult);
    FakeDirectDrawCreateCall call = lastDirectDrawCall();
    EXPECT_EQ(call.guid, &driver);
    EXPECT_EQ(call.destination, &g_hxp.ddraw);
    EXPECT_EQ(call.outer, outer);

    EXPECT_EQ(HXPDirect3DRMCreate(&g_hxp.d3drmBase), kFakeDirect3DRMCreateResult);
    EXPECT_EQ(lastRetainedDestination(), &g_hxp.d3drmBase);
    // A null destination is answered without a call.
    EXPECT_EQ(HXPDirect3DRMCreate(nullptr), 0);
    EXPECT_EQ(lastRetainedDestination(), &g_hxp.d3drmBase);
}

TEST_F(RuntimeLoading, CallThroughsBeforeLoadingCallNothing) {
    EXPECT_EQ(HXPDirectDrawCreate(nullptr, &g_hxp.ddraw, nullptr), DDERR_NOTINITIALIZED);
    EXPECT_EQ(HXPDirect3DRMCreate(&g_hxp.d3drmBase), CO_E_NOTINITIALIZED);
    EXPECT_EQ(g_hxp.ddraw, nullptr);
    EXPECT_EQ(g_hxp.d3drmBase, nullptr);
}

TEST_F(RuntimeLoading, TheRealRuntimesServeTheLayer) {
    ASSERT_EQ(HXPInitialize(), 1);
    ASSERT_EQ(HXPDirectDrawCreate(nullptr, &g_hxp.ddraw, nullptr), DD_OK);
    ASSERT_EQ(HXPDirect3DRMCreate(&g_hxp.d3drmBase), D3DRM_OK);
    ASSERT_EQ(
        g_hxp.d3drmBase->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&g_hxp.d3drm)),
        S_OK);
    HXPRelease(g_hxp.d3drmBase);
    EXPECT_EQ(HXPCleanup(), 1);
    EXPECT_EQ(g_hxp.ddraw, nullptr);
    EXPECT_EQ(g_hxp.d3drm, nullptr);
}

} // namespace
