// Surfaces of the real module: formats, descriptions, memory, loss, locks,
// attachments and device contexts.
#include "ddraw_test.h"

#include <platform/gdi.h>

#include <string>

namespace {

class Surfaces : public DirectDrawTest {};

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(Surfaces, EveryFormatReportsItselfWithItsPitch) {
    struct Case {
        const char* name;
        DDPIXELFORMAT format;
        LONG pitchFor13;
    };
    const Case cases[] = {
        {"8-bit palettised", kPalette8, 16},
        {"3-3-2", kRgb332, 16},
        {"5-6-5", kRgb565, 28},
        {"1-5-5-5", kArgb1555, 28},
        {"x-5-5-5", kXrgb1555, 28},
        {"8-8-8", kRgb888, 40},
        {"x-8-8-8", kXrgb8888, 52},
        {"a-8-8-8", kArgb8888, 52},
        {"x-8-8-8 blue first", kXbgr8888, 52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Offscreen(13, 7, &c.format);
        ASSERT_TRUE(surface);
        DDSURFACEDESC desc = DescriptionOf(surface.Get());
        EXPECT_EQ(desc.dwFlags,
                  DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT);
        EXPECT_EQ(desc.dwWidth, 13u);
        EXPECT_EQ(desc.dwHeight, 7u);
        EXPECT_EQ(desc.lPitch, c.pitchFor13);
        EXPECT_TRUE(SameFormat(desc.ddpfPixelFormat, c.format));
        DDPIXELFORMAT asked = {};
        asked.dwSize = sizeof asked;
        EXPECT_EQ(surface->GetPixelFormat(&asked), DD_OK);
        EXPECT_TRUE(SameFormat(asked, c.format));
    }
}

TEST_F(Surfaces, WithoutAPixelFormatASurfaceTakesTheDisplays) {
    DDSURFACEDESC mode = {};
    mode.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(directDraw->GetDisplayMode(&mode), DD_OK);
    auto surface = Offscreen(5, 5, nullptr, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    ASSERT_TRUE(surface);
    DDSURFACEDESC desc = DescriptionOf(surface.Get());
    EXPECT_TRUE(SameFormat(desc.ddpfPixelFormat, mode.ddpfPixelFormat));
    // Without a display the screen is 32-bit XRGB.
    EXPECT_TRUE(SameFormat(desc.ddpfPixelFormat, kXrgb8888));
}

TEST_F(Surfaces, CapabilitiesComeBackWithTheMemoryPlacement) {
    struct Case {
        DWORD asked;
        DWORD reported;
    };
    const Case cases[] = {
        {DDSCAPS_OFFSCREENPLAIN, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY},
        {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY,
         DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY},
        {DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE,
         DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY},
        {DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY},
        {DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ALLOCONLOAD,
         DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ALLOCONLOAD},
        {0, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.asked);
        auto surface = Offscreen(4, 4, &kRgb565, c.asked);
        ASSERT_TRUE(surface);
        EXPECT_EQ(DescriptionOf(surface.Get()).ddsCaps.dwCaps, c.reported);
    }
}

TEST_F(Surfaces, ZBuffersOfEachDepth) {
    struct Case {
        DWORD depth;
        LONG pitchFor5;
    };
    for (const Case& c : {Case{16, 12}, Case{24, 20}, Case{32, 20}}) {
        SCOPED_TRACE(c.depth);
        auto byDepth = ZBuffer(5, 3, c.depth);
        DDSURFACEDESC byFormat =
            Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT,
                        DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, 5, 3);
        byFormat.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
        byFormat.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
        byFormat.ddpfPixelFormat.dwZBufferBitDepth = c.depth;
        Com<IDirectDrawSurface> fromFormat;
        ASSERT_EQ(directDraw->CreateSurface(&byFormat, fromFormat.Put(), nullptr), DD_OK);
        for (IDirectDrawSurface* surface : {byDepth.Get(), fromFormat.Get()}) {
            DDSURFACEDESC desc = DescriptionOf(surface);
            EXPECT_EQ(desc.dwFlags & DDSD_ZBUFFERBITDEPTH, DDSD_ZBUFFERBITDEPTH);
            EXPECT_EQ(desc.dwZBufferBitDepth, c.depth);
            EXPECT_EQ(desc.lPitch, c.pitchFor5);
            EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, DDPF_ZBUFFER);
            EXPECT_EQ(desc.ddpfPixelFormat.dwZBufferBitDepth, c.depth);
            EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_ZBUFFER, 0u);
        }
    }
}

TEST_F(Surfaces, BadDescriptionsAreRefusedWithTheirReason) {
    auto sized = [](DWORD width, DWORD height) {
        return Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, width,
                           height);
    };
    auto withFormat = [&](DDPIXELFORMAT format) {
        DDSURFACEDESC desc = sized(8, 8);
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = format;
        return desc;
    };
    auto zBuffer = [&](DWORD extraCaps, DWORD depth) {
        DDSURFACEDESC desc =
            Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH,
                        DDSCAPS_ZBUFFER | extraCaps, 8, 8);
        desc.dwZBufferBitDepth = depth;
        return desc;
    };
    DDSURFACEDESC wrongStamp = sized(8, 8);
    wrongStamp.dwSize = 107;
    DDSURFACEDESC noSize = sized(8, 8);
    noSize.dwFlags = DDSD_CAPS | DDSD_WIDTH;
    DDSURFACEDESC clientMemory = sized(8, 8);
    clientMemory.dwFlags |= DDSD_LPSURFACE;
    DDSURFACEDESC depthWithoutDepth = zBuffer(0, 16);
    depthWithoutDepth.dwFlags &= ~DDSD_ZBUFFERBITDEPTH;
    DDPIXELFORMAT unstamped = kRgb565;
    unstamped.dwSize = 0;
    DDPIXELFORMAT fourCC = kRgb565;
    fourCC.dwFlags = DDPF_FOURCC;
    DDPIXELFORMAT fourBitPalette = kPalette8;
    fourBitPalette.dwFlags = DDPF_PALETTEINDEXED4 | DDPF_RGB;
    fourBitPalette.dwRGBBitCount = 4;
    DDPIXELFORMAT depthFormat = {};
    depthFormat.dwSize = sizeof depthFormat;
    depthFormat.dwFlags = DDPF_ZBUFFER;
    depthFormat.dwZBufferBitDepth = 16;
    DDSURFACEDESC primaryWithSize = sized(8, 8);
    primaryWithSize.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;

    struct Case {
        const char* name;
        DDSURFACEDESC desc;
        HRESULT result;
    };
    const Case cases[] = {
        {"wrong dwSize", wrongStamp, DDERR_INVALIDPARAMS},
        {"no height", noSize, DDERR_INVALIDPARAMS},
        {"zero width", sized(0, 8), DDERR_INVALIDPARAMS},
        {"zero height", sized(8, 0), DDERR_INVALIDPARAMS},
        {"negative width", sized(static_cast<DWORD>(-640), 8), DDERR_TOOBIGWIDTH},
        {"negative height", sized(8, static_cast<DWORD>(-1)), DDERR_TOOBIGHEIGHT},
        {"width past the largest side", sized(16385, 8), DDERR_TOOBIGWIDTH},
        {"height past the largest side", sized(8, 16385), DDERR_TOOBIGHEIGHT},
        {"more memory than a surface may take", sized(16384, 8192), DDERR_TOOBIGSIZE},
        {"memory of the caller", clientMemory, DDERR_INVALIDPARAMS},
        {"system and video memory",
         Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                     DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY, 8, 8),
         DDERR_INVALIDCAPS},
        {"flipping chain", Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 0x18, 8, 8),
         DDERR_INVALIDCAPS},
        {"primary with a size", primaryWithSize, DDERR_INVALIDPARAMS},
        {"primary for 3D", Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE),
         DDERR_INVALIDCAPS},
        {"Z buffer without a depth", depthWithoutDepth, DDERR_INVALIDPARAMS},
        {"Z buffer of 8 bits", zBuffer(0, 8), DDERR_INVALIDPIXELFORMAT},
        {"Z buffer as texture", zBuffer(DDSCAPS_TEXTURE, 16), DDERR_INVALIDCAPS},
        {"unstamped pixel format", withFormat(unstamped), DDERR_INVALIDPIXELFORMAT},
        {"four-character code", withFormat(fourCC), DDERR_INVALIDPIXELFORMAT},
        {"4-bit palette", withFormat(fourBitPalette), DDERR_INVALIDPIXELFORMAT},
        {"depth format for colour", withFormat(depthFormat), DDERR_INVALIDPIXELFORMAT},
        {"green with a gap", withFormat(RgbFormat(16, 0xF800, 0x06E0, 0x1F)),
         DDERR_INVALIDPIXELFORMAT},
        {"overlapping masks", withFormat(RgbFormat(16, 0xF800, 0x0FE0, 0x1F)),
         DDERR_INVALIDPIXELFORMAT},
        {"mask outside the pixel", withFormat(RgbFormat(16, 0xF8000, 0x07E0, 0x1F)),
         DDERR_INVALIDPIXELFORMAT},
        {"channel wider than 8 bits", withFormat(RgbFormat(32, 0x3FF00000, 0xFFC00, 0x3FF)),
         DDERR_INVALIDPIXELFORMAT},
        {"no blue", withFormat(RgbFormat(16, 0xF800, 0x07E0, 0)), DDERR_INVALIDPIXELFORMAT},
        {"12 bits", withFormat(RgbFormat(12, 0xF00, 0xF0, 0xF)), DDERR_INVALIDPIXELFORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DDSURFACEDESC desc = c.desc;
        auto* junk = reinterpret_cast<IDirectDrawSurface*>(&desc);
        IDirectDrawSurface* surface = junk;
        EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), c.result);
        EXPECT_EQ(surface, nullptr);
    }
}

TEST_F(Surfaces, CreateSurfaceChecksItsCallerFirst) {
    DDSURFACEDESC desc = Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->CreateSurface(nullptr, &surface, nullptr), DDERR_INVALIDPARAMS);
    auto* outer = reinterpret_cast<IUnknown*>(&desc);
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, outer), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(surface, nullptr);

    auto fresh = NewDirectDraw();
    EXPECT_EQ(fresh->CreateSurface(&desc, &surface, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(surface, nullptr);
}

TEST_F(Surfaces, OnePrimarySurfacePerDirectDrawObject) {
    auto primary = Primary();
    ASSERT_TRUE(primary);
    DDSURFACEDESC desc = DescriptionOf(primary.Get());
    EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY),
              DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.dwHeight, 480u);
    EXPECT_TRUE(SameFormat(desc.ddpfPixelFormat, kXrgb8888));

    DDSURFACEDESC request = Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface* second = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&request, &second, nullptr),
              DDERR_PRIMARYSURFACEALREADYEXISTS);
    EXPECT_EQ(second, nullptr);

    // Another DirectDraw object has a primary surface of its own.
    auto other = NewDirectDraw();
    ASSERT_EQ(other->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    Com<IDirectDrawSurface> otherPrimary;
    EXPECT_EQ(other->CreateSurface(&request, otherPrimary.Put(), nullptr), DD_OK);

    // Once the first is gone, its object may make another.
    primary.Reset();
    EXPECT_TRUE(Primary());
}

TEST_F(Surfaces, ThePrimarySurfaceHasNoMemoryToHandOut) {
    auto primary = Primary();
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    HDC dc = nullptr;
    EXPECT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_CANTLOCKSURFACE);
    EXPECT_EQ(primary->GetDC(&dc), DDERR_CANTCREATEDC);
    EXPECT_EQ(dc, nullptr);
}

TEST_F(Surfaces, SurfacesOutliveTheirDirectDrawObject) {
    auto surface = Offscreen(4, 4, &kRgb565);
    auto primary = Primary();
    EXPECT_EQ(directDraw.Detach()->Release(), 0u);
    EXPECT_EQ(DescriptionOf(surface.Get()).dwWidth, 4u);
    WritePixels(surface.Get(), 2, std::vector<uint32_t>(16, 0x1234));
    EXPECT_EQ(ReadPixels(surface.Get(), 2), std::vector<uint32_t>(16, 0x1234));
    EXPECT_EQ(primary->IsLost(), DD_OK);
}

TEST_F(Surfaces, ALostSurfaceGivesItsMemoryUpUntilRestored) {
    auto surface = Offscreen(3, 2, &kXrgb8888);
    auto other = Offscreen(3, 2, &kXrgb8888);
    WritePixels(surface.Get(), 4, std::vector<uint32_t>(6, 0xABCDEF));
    ASSERT_EQ(surface->IsLost(), DD_OK);

    ASSERT_EQ(Lose(surface.Get()), DD_OK);
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    HDC dc = nullptr;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(surface->Blt(nullptr, other.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(other->Blt(nullptr, surface.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    // What a lost surface is still asked about stays true.
    EXPECT_EQ(DescriptionOf(surface.Get()).dwWidth, 3u);

    EXPECT_EQ(surface->Restore(), DD_OK);
    EXPECT_EQ(surface->IsLost(), DD_OK);
    // The memory is new: what was drawn before is gone.
    EXPECT_EQ(ReadPixels(surface.Get(), 4), std::vector<uint32_t>(6, 0));
    EXPECT_EQ(surface->Restore(), DD_OK);
}

TEST_F(Surfaces, ASurfaceLostWhileLockedKeepsItsMemoryUntilUnlock) {
    auto surface = Offscreen(2, 2, &kRgb565);
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(Lose(surface.Get()), DD_OK);
    // Still the caller's to write until it unlocks.
    std::memset(desc.lpSurface, 0xFF, 4);
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
    EXPECT_EQ(surface->Restore(), DD_OK);
    EXPECT_EQ(ReadPixels(surface.Get(), 2), std::vector<uint32_t>(4, 0));
}

TEST_F(Surfaces, LosingAPrimarySurfaceAndOthers) {
    auto primary = Primary();
    auto depth = ZBuffer(8, 8, 16);
    for (IDirectDrawSurface* surface : {primary.Get(), depth.Get()}) {
        ASSERT_EQ(Lose(surface), DD_OK);
        EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
        EXPECT_EQ(surface->Restore(), DD_OK);
        EXPECT_EQ(surface->IsLost(), DD_OK);
    }
    // The hook only knows the module's own surfaces.
    EXPECT_EQ(Lose(nullptr), DDERR_INVALIDOBJECT);
}

TEST_F(Surfaces, OneLockAtATimeInsideTheSurface) {
    auto surface = Offscreen(10, 6, &kRgb565);
    DDSURFACEDESC whole = {};
    whole.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(whole.dwFlags & (DDSD_LPSURFACE | DDSD_PITCH), DDSD_LPSURFACE | DDSD_PITCH);
    DDSURFACEDESC again = whole;
    EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    ASSERT_EQ(surface->Unlock(whole.lpSurface), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);

    RECT part = {3, 2, 5, 4};
    DDSURFACEDESC partial = {};
    partial.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(surface->Lock(&part, &partial, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(static_cast<uint8_t*>(partial.lpSurface),
              static_cast<uint8_t*>(whole.lpSurface) + 2 * whole.lPitch + 3 * 2);
    ASSERT_EQ(surface->Unlock(partial.lpSurface), DD_OK);

    struct Case {
        RECT rect;
        DWORD stamp;
        HRESULT result;
    };
    const Case cases[] = {
        {{0, 0, 11, 6}, DDSURFACEDESC_SIZE, DDERR_INVALIDRECT},
        {{-1, 0, 4, 4}, DDSURFACEDESC_SIZE, DDERR_INVALIDRECT},
        {{4, 4, 4, 5}, DDSURFACEDESC_SIZE, DDERR_INVALIDRECT},
        {{5, 0, 4, 4}, DDSURFACEDESC_SIZE, DDERR_INVALIDRECT},
        {{0, 0, 4, 4}, 0, DDERR_INVALIDPARAMS},
        {{0, 0, 4, 4}, 109, DDERR_INVALIDPARAMS},
    };
    for (const Case& c : cases) {
        DDSURFACEDESC desc = {};
        desc.dwSize = c.stamp;
        RECT rect = c.rect;
        EXPECT_EQ(surface->Lock(&rect, &desc, DDLOCK_WAIT, nullptr), c.result);
    }
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(Surfaces, DescriptionsWantTheirStamp) {
    auto surface = Offscreen(2, 2);
    DDSURFACEDESC desc = {};
    DDPIXELFORMAT format = {};
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->GetSurfaceDesc(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->GetPixelFormat(&format), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->GetDisplayMode(&desc), DDERR_INVALIDPARAMS);
}

TEST_F(Surfaces, AZBufferAttachesOnceToOne3DSurfaceOfItsSize) {
    auto target = Offscreen(16, 8, nullptr, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    auto otherTarget = Offscreen(16, 8, nullptr, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    auto plain = Offscreen(16, 8);
    auto depth = ZBuffer(16, 8, 16);
    auto secondDepth = ZBuffer(16, 8, 24);
    auto smallDepth = ZBuffer(8, 8, 16);

    struct Case {
        const char* name;
        IDirectDrawSurface* onto;
        IDirectDrawSurface* attached;
        HRESULT result;
    };
    const Case cases[] = {
        {"nothing", target.Get(), nullptr, DDERR_INVALIDPARAMS},
        {"onto a plain surface", plain.Get(), depth.Get(), DDERR_CANNOTATTACHSURFACE},
        {"of another size", target.Get(), smallDepth.Get(), DDERR_CANNOTATTACHSURFACE},
        {"a colour surface", target.Get(), otherTarget.Get(), DDERR_CANNOTATTACHSURFACE},
        {"onto itself", depth.Get(), depth.Get(), DDERR_CANNOTATTACHSURFACE},
        {"the Z buffer", target.Get(), depth.Get(), DD_OK},
        {"the same again", target.Get(), depth.Get(), DDERR_SURFACEALREADYATTACHED},
        {"a second Z buffer", target.Get(), secondDepth.Get(), DDERR_SURFACEALREADYATTACHED},
        {"the Z buffer elsewhere too", otherTarget.Get(), depth.Get(),
         DDERR_SURFACEALREADYATTACHED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.onto->AddAttachedSurface(c.attached), c.result);
    }

    // The target holds a reference of its own to the Z buffer, and lets it
    // go with itself.
    EXPECT_EQ(depth->AddRef(), 3u);
    EXPECT_EQ(depth->Release(), 2u);
    target.Reset();
    EXPECT_EQ(depth->AddRef(), 2u);
    EXPECT_EQ(depth->Release(), 1u);
    EXPECT_EQ(otherTarget->AddAttachedSurface(depth.Get()), DD_OK);
}

TEST_F(Surfaces, ADeviceContextDrawsIntoTheSurfacesPixels) {
    struct Case {
        const char* name;
        DDPIXELFORMAT format;
        int bytes;
        uint32_t white;
    };
    const Case cases[] = {
        {"5-6-5", kRgb565, 2, 0xFFFF},
        {"x-5-5-5", kXrgb1555, 2, 0xFFFF},
        {"8-8-8", kRgb888, 3, 0xFFFFFF},
        {"a-8-8-8", kArgb8888, 4, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Offscreen(5, 3, &c.format);
        HDC dc = nullptr;
        ASSERT_EQ(surface->GetDC(&dc), DD_OK);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), c.bytes * 8);
        EXPECT_TRUE(BitBlt(dc, 1, 1, 3, 1, nullptr, 0, 0, WHITENESS));
        ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
        std::vector<uint32_t> expected(15, 0);
        for (int x = 1; x <= 3; ++x)
            expected[5 + x] = c.white;
        EXPECT_EQ(ReadPixels(surface.Get(), c.bytes), expected);
    }
}

TEST_F(Surfaces, OneDeviceContextAtATime) {
    auto surface = Offscreen(4, 4, &kRgb565);
    HDC dc = nullptr;
    HDC second = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_EQ(second, nullptr);
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    auto other = Offscreen(4, 4, &kRgb565);
    EXPECT_EQ(other->Blt(nullptr, surface.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->ReleaseDC(reinterpret_cast<HDC>(&desc)), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
    EXPECT_EQ(surface->GetDC(nullptr), DDERR_INVALIDPARAMS);

    // A palettised surface's context draws through the surface's palette.
    auto indexed = Offscreen(4, 4, &kPalette8);
    ASSERT_EQ(indexed->GetDC(&dc), DD_OK);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 8);
    EXPECT_EQ(indexed->ReleaseDC(dc), DD_OK);

    // Losing the surface takes its context with it.
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    ASSERT_EQ(Lose(surface.Get()), DD_OK);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);

    auto depth = ZBuffer(4, 4, 16);
    EXPECT_EQ(depth->GetDC(&dc), DDERR_CANTCREATEDC);
}

} // namespace
