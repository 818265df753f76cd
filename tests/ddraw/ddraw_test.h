// Every test gets a DirectDraw object of the real module at the normal
// cooperative level, and helpers to make surfaces and read their pixels.
#pragma once

#include <platform/ddraw.h>
#include <platform/kernel.h>

#include "common/com_ptr.h"
#include "ddraw/test_hooks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using zv::runtime::Com;

// DDPCAPS_ALLOW256: a palette flag the program itself never passes.
inline constexpr DWORD kPaletteAllow256 = 0x40;

inline DDPIXELFORMAT RgbFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

inline DDPIXELFORMAT Palette8Format() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
    format.dwRGBBitCount = 8;
    return format;
}

inline const DDPIXELFORMAT kXrgb8888 = RgbFormat(32, 0xFF0000, 0xFF00, 0xFF);
inline const DDPIXELFORMAT kArgb8888 = RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
inline const DDPIXELFORMAT kXbgr8888 = RgbFormat(32, 0xFF, 0xFF00, 0xFF0000);
inline const DDPIXELFORMAT kRgb888 = RgbFormat(24, 0xFF0000, 0xFF00, 0xFF);
inline const DDPIXELFORMAT kRgb565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
inline const DDPIXELFORMAT kArgb1555 = RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
inline const DDPIXELFORMAT kXrgb1555 = RgbFormat(16, 0x7C00, 0x03E0, 0x001F);
inline const DDPIXELFORMAT kRgb332 = RgbFormat(8, 0xE0, 0x1C, 0x03);
inline const DDPIXELFORMAT kPalette8 = Palette8Format();

inline DDSURFACEDESC Description(DWORD flags, DWORD caps, DWORD width = 0, DWORD height = 0) {
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = width;
    desc.dwHeight = height;
    return desc;
}

class DirectDrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryA("ddraw.dll");
        ASSERT_NE(module_, nullptr);
        create_ = reinterpret_cast<decltype(&DirectDrawCreate)>(
            GetProcAddress(module_, "DirectDrawCreate"));
        lose_ = reinterpret_cast<LoseSurfaceFn>(GetProcAddress(module_, kLoseSurfaceEntryPoint));
        ASSERT_NE(create_, nullptr);
        ASSERT_NE(lose_, nullptr);
    }
    static void TearDownTestSuite() { FreeLibrary(module_); }

    void SetUp() override {
        ASSERT_EQ(create_(nullptr, directDraw.Put(), nullptr), DD_OK);
        ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }

    static Com<IDirectDraw> NewDirectDraw() {
        Com<IDirectDraw> other;
        EXPECT_EQ(create_(nullptr, other.Put(), nullptr), DD_OK);
        return other;
    }

    static HRESULT Lose(IDirectDrawSurface* surface) { return lose_(surface); }

    // An off-screen surface in the given format; the display's without one.
    Com<IDirectDrawSurface> Offscreen(int width, int height, const DDPIXELFORMAT* format = nullptr,
                                      DWORD caps = DDSCAPS_OFFSCREENPLAIN) {
        DDSURFACEDESC desc = Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, caps, width, height);
        if (format != nullptr) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            desc.ddpfPixelFormat = *format;
        }
        Com<IDirectDrawSurface> surface;
        EXPECT_EQ(directDraw->CreateSurface(&desc, surface.Put(), nullptr), DD_OK);
        return surface;
    }

    Com<IDirectDrawSurface> ZBuffer(int width, int height, DWORD depth) {
        DDSURFACEDESC desc =
            Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH,
                        DDSCAPS_ZBUFFER, width, height);
        desc.dwZBufferBitDepth = depth;
        Com<IDirectDrawSurface> surface;
        EXPECT_EQ(directDraw->CreateSurface(&desc, surface.Put(), nullptr), DD_OK);
        return surface;
    }

    Com<IDirectDrawSurface> Primary() {
        DDSURFACEDESC desc = Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
        Com<IDirectDrawSurface> surface;
        EXPECT_EQ(directDraw->CreateSurface(&desc, surface.Put(), nullptr), DD_OK);
        return surface;
    }

    // Pixel values of `bytes` each, row by row, read through Lock.
    static std::vector<uint32_t> ReadPixels(IDirectDrawSurface* surface, int bytes) {
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        std::vector<uint32_t> pixels;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        if (desc.lpSurface == nullptr)
            return pixels;
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                uint32_t value = 0;
                std::memcpy(&value,
                            static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch +
                                x * bytes,
                            bytes);
                pixels.push_back(value);
            }
        EXPECT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
        return pixels;
    }

    static void WritePixels(IDirectDrawSurface* surface, int bytes,
                            const std::vector<uint32_t>& pixels) {
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        ASSERT_EQ(pixels.size(), size_t{desc.dwWidth} * desc.dwHeight);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes,
                            &pixels[y * desc.dwWidth + x], bytes);
        ASSERT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
    }

    static DDSURFACEDESC DescriptionOf(IDirectDrawSurface* surface) {
        DDSURFACEDESC desc = {};
        desc.dwSize = DDSURFACEDESC_SIZE;
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        return desc;
    }

    Com<IDirectDraw> directDraw;

private:
    static inline HMODULE module_ = nullptr;
    static inline decltype(&DirectDrawCreate) create_ = nullptr;
    static inline LoseSurfaceFn lose_ = nullptr;
};
