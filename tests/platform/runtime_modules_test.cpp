// The two runtime modules, loaded by name from beside the executable as the
// program loads them.
#include <platform/d3drm.h>
#include <platform/ddraw.h>
#include <platform/kernel.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

template <class EntryPoint> EntryPoint Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<EntryPoint>(GetProcAddress(module, name));
}

class RuntimeModules : public ::testing::Test {
protected:
    void SetUp() override {
        ddrawModule = LoadLibraryA("ddraw.dll");
        d3drmModule = LoadLibraryA("d3drm.dll");
        ASSERT_NE(ddrawModule, nullptr);
        ASSERT_NE(d3drmModule, nullptr);
        directDrawCreate = Lookup<decltype(&DirectDrawCreate)>(ddrawModule, "DirectDrawCreate");
        directDrawEnumerate =
            Lookup<decltype(&DirectDrawEnumerateA)>(ddrawModule, "DirectDrawEnumerateA");
        direct3DRMCreate = Lookup<decltype(&Direct3DRMCreate)>(d3drmModule, "Direct3DRMCreate");
        createColor = Lookup<decltype(&D3DRMCreateColorRGB)>(d3drmModule, "D3DRMCreateColorRGB");
        getRed = Lookup<decltype(&D3DRMColorGetRed)>(d3drmModule, "D3DRMColorGetRed");
        getGreen = Lookup<decltype(&D3DRMColorGetGreen)>(d3drmModule, "D3DRMColorGetGreen");
        getBlue = Lookup<decltype(&D3DRMColorGetBlue)>(d3drmModule, "D3DRMColorGetBlue");
        for (void* entry : {reinterpret_cast<void*>(directDrawCreate),
                            reinterpret_cast<void*>(directDrawEnumerate),
                            reinterpret_cast<void*>(direct3DRMCreate),
                            reinterpret_cast<void*>(createColor), reinterpret_cast<void*>(getRed),
                            reinterpret_cast<void*>(getGreen), reinterpret_cast<void*>(getBlue)})
            ASSERT_NE(entry, nullptr);
    }

    void TearDown() override {
        FreeLibrary(ddrawModule);
        FreeLibrary(d3drmModule);
    }

    HMODULE ddrawModule = nullptr;
    HMODULE d3drmModule = nullptr;
    decltype(&DirectDrawCreate) directDrawCreate = nullptr;
    decltype(&DirectDrawEnumerateA) directDrawEnumerate = nullptr;
    decltype(&Direct3DRMCreate) direct3DRMCreate = nullptr;
    decltype(&D3DRMCreateColorRGB) createColor = nullptr;
    decltype(&D3DRMColorGetRed) getRed = nullptr;
    decltype(&D3DRMColorGetGreen) getGreen = nullptr;
    decltype(&D3DRMColorGetBlue) getBlue = nullptr;
};

TEST_F(RuntimeModules, DirectDrawObjectCountsReferencesAndAnswersItsInterfaces) {
    IDirectDraw* directDraw = nullptr;
    ASSERT_EQ(directDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    ASSERT_NE(directDraw, nullptr);
    EXPECT_EQ(directDraw->AddRef(), 2u);
    EXPECT_EQ(directDraw->Release(), 1u);

    void* same = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirectDraw, &same), S_OK);
    EXPECT_EQ(same, directDraw);
    void* identity = nullptr;
    EXPECT_EQ(directDraw->QueryInterface(IID_IUnknown, &identity), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(directDraw));
    void* none = directDraw;
    EXPECT_EQ(directDraw->QueryInterface(IID_IDirect3DRM2, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    EXPECT_EQ(directDraw->Release(), 2u);
    EXPECT_EQ(directDraw->Release(), 1u);
    EXPECT_EQ(directDraw->Release(), 0u);
}

TEST_F(RuntimeModules, DirectDrawCreateRefusesWhatItCannotServe) {
    GUID otherDriver = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    IUnknown* outer = reinterpret_cast<IUnknown*>(&otherDriver);
    struct Case {
        GUID* guid;
        IUnknown* outer;
        HRESULT result;
    };
    const Case cases[] = {
        {&otherDriver, nullptr, DDERR_INVALIDDIRECTDRAWGUID},
        {nullptr, outer, CLASS_E_NOAGGREGATION},
    };
    for (const Case& c : cases) {
        IDirectDraw* directDraw = reinterpret_cast<IDirectDraw*>(&otherDriver);
        EXPECT_EQ(directDrawCreate(c.guid, &directDraw, c.outer), c.result);
        EXPECT_EQ(directDraw, nullptr);
    }
    EXPECT_EQ(directDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(RuntimeModules, EnumerationOffersThePrimaryDriverOnly) {
    struct Seen {
        GUID* guid;
        std::string description;
        std::string name;
        void* context;
    };
    std::vector<Seen> seen;
    auto callback = [](GUID* guid, LPSTR description, LPSTR name, LPVOID context) -> BOOL {
        auto* list = static_cast<std::vector<Seen>*>(context);
        list->push_back({guid, description, name, context});
        return DDENUMRET_OK;
    };
    ASSERT_EQ(directDrawEnumerate(callback, &seen), DD_OK);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].guid, nullptr);
    EXPECT_FALSE(seen[0].description.empty());
    EXPECT_FALSE(seen[0].name.empty());
    EXPECT_EQ(seen[0].context, &seen);
    EXPECT_EQ(directDrawEnumerate(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(RuntimeModules, RetainedModeObjectIsOneObjectBehindBothInterfaces) {
    IDirect3DRM* retained = nullptr;
    ASSERT_EQ(direct3DRMCreate(&retained), D3DRM_OK);
    ASSERT_NE(retained, nullptr);

    IDirect3DRM2* retained2 = nullptr;
    ASSERT_EQ(retained->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&retained2)),
              S_OK);
    ASSERT_NE(retained2, nullptr);
    EXPECT_EQ(retained->AddRef(), 3u);
    EXPECT_EQ(retained2->Release(), 2u);

    void* back = nullptr;
    EXPECT_EQ(retained2->QueryInterface(IID_IDirect3DRM, &back), S_OK);
    EXPECT_EQ(back, retained);
    void* identityFrom1 = nullptr;
    void* identityFrom2 = nullptr;
    retained->QueryInterface(IID_IUnknown, &identityFrom1);
    retained2->QueryInterface(IID_IUnknown, &identityFrom2);
    EXPECT_EQ(identityFrom1, identityFrom2);
    void* none = retained;
    EXPECT_EQ(retained->QueryInterface(IID_IDirectDraw, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    // back and the two identities.
    for (int i = 0; i < 3; ++i)
        retained2->Release();
    EXPECT_EQ(retained->Release(), 1u);
    EXPECT_EQ(retained2->Release(), 0u);
    EXPECT_EQ(direct3DRMCreate(nullptr), D3DRMERR_BADVALUE);
}

TEST_F(RuntimeModules, ColourHelpersPackOpaqueColoursFromUnitValues) {
    struct Case {
        D3DVALUE red, green, blue;
        D3DCOLOR packed;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, 0xFF000000},
        {1.0f, 1.0f, 1.0f, 0xFFFFFFFF},
        {1.0f, 0.0f, 0.0f, 0xFFFF0000},
        {0.0f, 1.0f, 0.0f, 0xFF00FF00},
        {0.0f, 0.0f, 1.0f, 0xFF0000FF},
        // Rounded to the nearest step: 127.5, 63.75, 191.25.
        {0.5f, 0.25f, 0.75f, 0xFF8040BF},
        // Outside 0 to 1 clamped, NaN taken as 0.
        {-1.0f, 2.0f, std::nanf(""), 0xFF00FF00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.packed);
        EXPECT_EQ(createColor(c.red, c.green, c.blue), c.packed);
    }
}

TEST_F(RuntimeModules, ColourHelpersUnpackEachChannelExactly) {
    for (int level = 0; level < 256; ++level) {
        D3DVALUE value = static_cast<D3DVALUE>(level) / 255.0f;
        // Alpha and the other channels must not leak into a channel.
        EXPECT_EQ(getRed(createColor(value, 0.0f, 1.0f) & 0x00FFFFFF), value);
        EXPECT_EQ(getGreen(createColor(1.0f, value, 0.0f)), value);
        EXPECT_EQ(getBlue(createColor(0.0f, 1.0f, value)), value);
    }
}

} // namespace
