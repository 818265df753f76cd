// Blits between surfaces of the real module: conversion between formats,
// placement, overlap and what is refused.
#include "ddraw_test.h"

namespace {

class Blits : public DirectDrawTest {
protected:
    Com<IDirectDrawPalette> MakePalette(DWORD flags, std::vector<PALETTEENTRY> entries) {
        entries.resize(256);
        Com<IDirectDrawPalette> palette;
        EXPECT_EQ(directDraw->CreatePalette(flags, entries.data(), palette.Put(), nullptr), DD_OK);
        return palette;
    }
};

int BytesOf(const DDPIXELFORMAT& format) {
    return (format.dwFlags & DDPF_PALETTEINDEXED8) != 0
               ? 1
               : static_cast<int>(format.dwRGBBitCount / 8);
}

TEST_F(Blits, PixelsAreConvertedBetweenFormats) {
    struct Case {
        const char* name;
        DDPIXELFORMAT from;
        uint32_t in;
        DDPIXELFORMAT to;
        uint32_t out;
    };
    const Case cases[] = {
        {"565 red to xrgb", kRgb565, 0xF800, kXrgb8888, 0x00FF0000},
        {"565 green to xrgb", kRgb565, 0x07E0, kXrgb8888, 0x0000FF00},
        {"565 blue to xrgb", kRgb565, 0x001F, kXrgb8888, 0x000000FF},
        // Mid values spread to the nearest 8-bit value: 16/31, 32/63, 16/31.
        {"565 grey to xrgb", kRgb565, 0x8410, kXrgb8888, 0x00848284},
        {"xrgb to 565 keeps the top bits", kXrgb8888, 0x00123456, kRgb565, 0x11AA},
        {"xrgb to argb is opaque", kXrgb8888, 0x00123456, kArgb8888, 0xFF123456},
        {"argb to xrgb drops alpha", kArgb8888, 0x80123456, kXrgb8888, 0x00123456},
        {"argb half alpha to 1555", kArgb8888, 0x80FF0000, kArgb1555, 0xFC00},
        {"argb low alpha to 1555", kArgb8888, 0x7F00FF00, kArgb1555, 0x03E0},
        {"1555 transparent to argb", kArgb1555, 0x7C00, kArgb8888, 0x00FF0000},
        {"x555 to 565", kXrgb1555, 0x7FFF, kRgb565, 0xFFFF},
        {"565 to x555", kRgb565, 0x07E0, kXrgb1555, 0x03E0},
        {"888 to xrgb", kRgb888, 0xA1B2C3, kXrgb8888, 0x00A1B2C3},
        {"xrgb to 888", kXrgb8888, 0xFFA1B2C3, kRgb888, 0xA1B2C3},
        {"xrgb to xbgr", kXrgb8888, 0x00A1B2C3, kXbgr8888, 0x00C3B2A1},
        {"332 to xrgb", kRgb332, 0xE3, kXrgb8888, 0x00FF00FF},
        {"xrgb to 332", kXrgb8888, 0x00FF8040, kRgb332, 0xF1},
        {"same format", kRgb565, 0x1234, kRgb565, 0x1234},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto source = Offscreen(3, 2, &c.from);
        auto target = Offscreen(3, 2, &c.to);
        WritePixels(source.Get(), BytesOf(c.from), std::vector<uint32_t>(6, c.in));
        ASSERT_EQ(target->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
        EXPECT_EQ(ReadPixels(target.Get(), BytesOf(c.to)), std::vector<uint32_t>(6, c.out));
    }
}

TEST_F(Blits, PalettisedPixelsGoThroughTheSourcesPalette) {
    auto palette = MakePalette(DDPCAPS_8BIT | kPaletteAllow256,
                               {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {16, 32, 64, 0}});
    auto source = Offscreen(4, 1, &kPalette8);
    WritePixels(source.Get(), 1, {0, 1, 2, 3});
    auto target = Offscreen(4, 1, &kXrgb8888);
    EXPECT_EQ(target->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr),
              DDERR_NOPALETTEATTACHED);

    ASSERT_EQ(source->SetPalette(palette.Get()), DD_OK);
    ASSERT_EQ(target->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(target.Get(), 4),
              (std::vector<uint32_t>{0x000000, 0xFF0000, 0x00FF00, 0x102040}));

    // The palette is read at every blit, so changed entries show.
    PALETTEENTRY blue = {0, 0, 255, 0};
    ASSERT_EQ(palette->SetEntries(0, 3, 1, &blue), DD_OK);
    auto target565 = Offscreen(4, 1, &kRgb565);
    ASSERT_EQ(target565->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(target565.Get(), 2),
              (std::vector<uint32_t>{0x0000, 0xF800, 0x07E0, 0x001F}));

    // Indices past a 16-colour palette are black.
    auto small = MakePalette(DDPCAPS_4BIT, std::vector<PALETTEENTRY>(16, {255, 255, 255, 0}));
    WritePixels(source.Get(), 1, {15, 16, 200, 0});
    ASSERT_EQ(source->SetPalette(small.Get()), DD_OK);
    ASSERT_EQ(target->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(target.Get(), 4),
              (std::vector<uint32_t>{0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF}));

    // Between palettised surfaces the indices are copied as they are.
    auto indexed = Offscreen(4, 1, &kPalette8);
    ASSERT_EQ(indexed->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(ReadPixels(indexed.Get(), 1), (std::vector<uint32_t>{15, 16, 200, 0}));
}

TEST_F(Blits, RectanglesPlaceTheCopy) {
    auto source = Offscreen(4, 3, &kXrgb8888);
    std::vector<uint32_t> pattern(12);
    for (uint32_t i = 0; i < 12; ++i)
        pattern[i] = 0x010101 * (i + 1);
    WritePixels(source.Get(), 4, pattern);
    auto target = Offscreen(5, 4, &kXrgb8888);
    WritePixels(target.Get(), 4, std::vector<uint32_t>(20, 0xEEEEEE));

    RECT from = {1, 1, 3, 3};
    RECT to = {3, 0, 5, 2};
    ASSERT_EQ(target->Blt(&to, source.Get(), &from, DDBLT_WAIT, nullptr), DD_OK);
    std::vector<uint32_t> expected(20, 0xEEEEEE);
    expected[3] = pattern[5];
    expected[4] = pattern[6];
    expected[8] = pattern[9];
    expected[9] = pattern[10];
    EXPECT_EQ(ReadPixels(target.Get(), 4), expected);
}

TEST_F(Blits, OverlappingCopiesWithinOneSurfaceReadBeforeTheyWrite) {
    struct Case {
        const char* name;
        RECT from;
        RECT to;
    };
    const Case cases[] = {
        {"down and right", {0, 0, 3, 3}, {1, 1, 4, 4}},
        {"up and left", {1, 1, 4, 4}, {0, 0, 3, 3}},
        {"right only", {0, 1, 3, 2}, {1, 1, 4, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Offscreen(4, 4, &kRgb565);
        std::vector<uint32_t> pattern(16);
        for (uint32_t i = 0; i < 16; ++i)
            pattern[i] = i + 1;
        WritePixels(surface.Get(), 2, pattern);
        RECT from = c.from, to = c.to;
        ASSERT_EQ(surface->Blt(&to, surface.Get(), &from, DDBLT_WAIT, nullptr), DD_OK);
        std::vector<uint32_t> expected = pattern;
        for (LONG y = 0; y < from.bottom - from.top; ++y)
            for (LONG x = 0; x < from.right - from.left; ++x)
                expected[(to.top + y) * 4 + to.left + x] =
                    pattern[(from.top + y) * 4 + from.left + x];
        EXPECT_EQ(ReadPixels(surface.Get(), 2), expected);
    }
}

TEST_F(Blits, WhatCannotBeBlittedIsRefused) {
    auto source = Offscreen(4, 4, &kRgb565);
    auto target = Offscreen(4, 4, &kXrgb8888);
    auto indexed = Offscreen(4, 4, &kPalette8);
    auto depth = ZBuffer(4, 4, 16);
    auto otherDepth = ZBuffer(4, 4, 32);
    auto primary = Primary();
    RECT whole = {0, 0, 4, 4};
    RECT outside = {1, 1, 5, 5};
    RECT inverted = {3, 0, 1, 4};
    RECT empty = {2, 2, 2, 2};
    RECT smaller = {0, 0, 2, 2};
    struct Case {
        const char* name;
        IDirectDrawSurface* to;
        RECT* toRect;
        IDirectDrawSurface* from;
        RECT* fromRect;
        DWORD flags;
        HRESULT result;
    };
    const Case cases[] = {
        {"no source", target.Get(), nullptr, nullptr, nullptr, DDBLT_WAIT, DDERR_INVALIDPARAMS},
        {"colour fill", target.Get(), nullptr, source.Get(), nullptr, DDBLT_WAIT | DDBLT_COLORFILL,
         DDERR_UNSUPPORTED},
        {"source outside", target.Get(), &whole, source.Get(), &outside, DDBLT_WAIT,
         DDERR_INVALIDRECT},
        {"destination outside", target.Get(), &outside, source.Get(), &whole, DDBLT_WAIT,
         DDERR_INVALIDRECT},
        {"inverted source", target.Get(), &whole, source.Get(), &inverted, DDBLT_WAIT,
         DDERR_INVALIDRECT},
        {"empty destination", target.Get(), &empty, source.Get(), &whole, DDBLT_WAIT,
         DDERR_INVALIDRECT},
        {"stretching", target.Get(), &whole, source.Get(), &smaller, DDBLT_WAIT, DDERR_NOSTRETCHHW},
        {"colour into palette", indexed.Get(), nullptr, source.Get(), nullptr, 0,
         DDERR_INVALIDPIXELFORMAT},
        {"depth into colour", target.Get(), nullptr, depth.Get(), nullptr, 0,
         DDERR_INVALIDPIXELFORMAT},
        {"colour into depth", depth.Get(), nullptr, source.Get(), nullptr, 0,
         DDERR_INVALIDPIXELFORMAT},
        {"depths of two sizes", otherDepth.Get(), nullptr, depth.Get(), nullptr, 0,
         DDERR_INVALIDPIXELFORMAT},
        {"from the screen", target.Get(), nullptr, primary.Get(), nullptr, 0, DDERR_UNSUPPORTED},
        {"same depth", otherDepth.Get(), nullptr, otherDepth.Get(), nullptr, 0, DD_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.to->Blt(c.toRect, c.from, c.fromRect, c.flags, nullptr), c.result);
    }

    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    ASSERT_EQ(source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(target->Blt(nullptr, source.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(source->Unlock(desc.lpSurface), DD_OK);
}

TEST_F(Blits, TheScreenIsReachedOnlyThroughAClipperWithAWindow) {
    auto primary = Primary();
    auto back = Offscreen(8, 8);
    RECT to = {100, 100, 108, 108};
    EXPECT_EQ(primary->Blt(&to, back.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_NOCLIPPERATTACHED);

    Com<IDirectDrawClipper> clipper;
    ASSERT_EQ(directDraw->CreateClipper(0, clipper.Put(), nullptr), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper.Get()), DD_OK);
    EXPECT_EQ(primary->Blt(&to, back.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_NOCLIPLIST);

    RECT wide = {100, 100, 110, 108};
    EXPECT_EQ(primary->Blt(&wide, back.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_NOSTRETCHHW);
    ASSERT_EQ(Lose(primary.Get()), DD_OK);
    EXPECT_EQ(primary->Blt(&to, back.Get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
}

} // namespace
