// Module loading: name rules, reference counts and bad modules.
#include <platform/kernel.h>
#include <platform/testing.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

namespace {

using zv::testing::LoaderCall;
using zv::testing::LoaderLog;
using zv::testing::ModuleSearchDir;

std::string Situation(const std::string& name) {
    return ZV_TEST_MODULES_DIR "/" + name;
}

std::string ExecutableDir() {
    char path[PATH_MAX] = {};
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string exe(path, length > 0 ? static_cast<size_t>(length) : 0);
    return exe.substr(0, exe.rfind('/'));
}

TEST(ModuleLoading, NamesFollowThePlatformRules) {
    ModuleSearchDir dir(Situation("complete"));
    for (const char* name : {"d3drm.dll", "D3DRM.DLL", "d3drm", "D3drm.Dll"}) {
        SCOPED_TRACE(name);
        LoaderLog log;
        HMODULE module = LoadLibraryA(name);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(log.Names(LoaderCall::Load),
                  std::vector<std::string>{Situation("complete") + "/d3drm.so"});
        EXPECT_TRUE(FreeLibrary(module));
    }
}

TEST(ModuleLoading, ModulesAreFoundBesideTheExecutableByDefault) {
    LoaderLog log;
    HMODULE module = LoadLibraryA("ddraw.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(log.Names(LoaderCall::Load), std::vector<std::string>{ExecutableDir() + "/ddraw.so"});
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoading, APathIsUsedAsGiven) {
    HMODULE module = LoadLibraryA((Situation("complete") + "/ddraw.so").c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectDrawCreate"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoading, ModulesThatCannotBeLoadedGiveNull) {
    struct Case {
        const char* situation;
        const char* name;
    };
    const Case cases[] = {
        {"empty", "ddraw.dll"},
        {"ddraw-not-a-library", "ddraw.dll"},
        {"ddraw-is-a-folder", "ddraw.dll"},
        {"d3drm-not-a-library", "d3drm.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.situation) + " " + c.name);
        ModuleSearchDir dir(Situation(c.situation));
        LoaderLog log;
        EXPECT_EQ(LoadLibraryA(c.name), nullptr);
        ASSERT_EQ(log.events.size(), 1u);
        EXPECT_FALSE(log.events[0].succeeded);
    }
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
}

TEST(ModuleLoading, EachLoadHoldsAReferenceUntilItsFree) {
    ModuleSearchDir dir(Situation("complete"));
    HMODULE first = LoadLibraryA("ddraw.dll");
    HMODULE second = LoadLibraryA("ddraw.dll");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GetModuleHandleA("ddraw.dll"), first);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(GetModuleHandleA("ddraw.dll"), first);
    EXPECT_NE(GetProcAddress(first, "DirectDrawCreate"), nullptr);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(GetModuleHandleA("ddraw.dll"), nullptr);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetProcAddress(first, "DirectDrawCreate"), nullptr);
}

TEST(ModuleLoading, LookupsFindOnlyWhatTheModuleExports) {
    ModuleSearchDir dir(Situation("missing-DirectDrawCreate"));
    HMODULE module = LoadLibraryA("ddraw.dll");
    ASSERT_NE(module, nullptr);
    LoaderLog log;
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreate"), nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectDrawEnumerateA"), nullptr);
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_FALSE(log.events[0].succeeded);
    EXPECT_TRUE(log.events[1].succeeded);

    // Null names, ordinals and handles that are no module are refused, not
    // followed.
    EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "DirectDrawEnumerateA"), nullptr);
    int notAModule = 0;
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(&notAModule), "DirectDrawEnumerateA"),
              nullptr);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&notAModule)));
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoading, TheExecutableIsAModuleThatStaysLoaded) {
    HMODULE executable = GetModuleHandleA(nullptr);
    ASSERT_NE(executable, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), executable);
    // Its lookups see the libraries it was linked with.
    EXPECT_EQ(GetProcAddress(executable, "OutputDebugStringA"),
              reinterpret_cast<FARPROC>(&OutputDebugStringA));
    EXPECT_TRUE(FreeLibrary(executable));
    EXPECT_EQ(GetModuleHandleA(nullptr), executable);
    EXPECT_EQ(GetModuleHandleA("ddraw.dll"), nullptr);
}

} // namespace
