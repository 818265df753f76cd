// Clippers and palettes of the real module, alone and on surfaces.
#include "ddraw_test.h"

namespace {

class Clippers : public DirectDrawTest {};
class Palettes : public DirectDrawTest {};

TEST_F(Clippers, AClipperTakesAWindowOrNone) {
    auto* junk = reinterpret_cast<IDirectDrawClipper*>(&directDraw);
    IDirectDrawClipper* refused = junk;
    EXPECT_EQ(directDraw->CreateClipper(1, &refused, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(refused, nullptr);
    refused = junk;
    EXPECT_EQ(directDraw->CreateClipper(0, &refused, reinterpret_cast<IUnknown*>(junk)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(directDraw->CreateClipper(0, nullptr, nullptr), DDERR_INVALIDPARAMS);

    Com<IDirectDrawClipper> clipper;
    ASSERT_EQ(directDraw->CreateClipper(0, clipper.Put(), nullptr), DD_OK);
    HWND window = reinterpret_cast<HWND>(&clipper);
    EXPECT_EQ(clipper->GetHWnd(&window), DD_OK);
    EXPECT_EQ(window, nullptr);
    // A handle that names no window is not taken.
    EXPECT_EQ(clipper->SetHWnd(0, reinterpret_cast<HWND>(&clipper)), DDERR_INVALIDPARAMS);
    EXPECT_EQ(clipper->SetHWnd(0, nullptr), DD_OK);
    EXPECT_EQ(clipper->GetHWnd(nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Clippers, SurfacesHoldTheirClipperUntilItIsReplaced) {
    auto primary = Primary();
    Com<IDirectDrawClipper> clipper;
    ASSERT_EQ(directDraw->CreateClipper(0, clipper.Put(), nullptr), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper.Get()), DD_OK);
    EXPECT_EQ(clipper->AddRef(), 3u);
    clipper->Release();
    ASSERT_EQ(primary->SetClipper(nullptr), DD_OK);
    EXPECT_EQ(clipper->AddRef(), 2u);
    clipper->Release();
    // Only the module's own clippers clip.
    EXPECT_EQ(primary->SetClipper(reinterpret_cast<IDirectDrawClipper*>(primary.Get())),
              DDERR_INVALIDPARAMS);
}

TEST_F(Palettes, CreationFlagsChooseTheSize) {
    std::vector<PALETTEENTRY> table(256);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
    struct Case {
        DWORD flags;
        HRESULT result;
        DWORD entries;
    };
    const Case cases[] = {
        {DDPCAPS_4BIT, DD_OK, 16},
        {DDPCAPS_8BIT, DD_OK, 256},
        {DDPCAPS_8BIT | DDPCAPS_INITIALIZE, DD_OK, 256},
        {DDPCAPS_8BIT | kPaletteAllow256, DD_OK, 256},
        {DDPCAPS_4BIT | DDPCAPS_8BIT, DDERR_INVALIDPARAMS, 0},
        {DDPCAPS_INITIALIZE, DDERR_INVALIDPARAMS, 0},
        {DDPCAPS_8BIT | 0x100 /* 1BIT */, DDERR_INVALIDPARAMS, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.flags);
        Com<IDirectDrawPalette> palette;
        ASSERT_EQ(directDraw->CreatePalette(c.flags, table.data(), palette.Put(), nullptr),
                  c.result);
        if (c.result != DD_OK) {
            EXPECT_FALSE(palette);
            continue;
        }
        std::vector<PALETTEENTRY> read(c.entries);
        ASSERT_EQ(palette->GetEntries(0, 0, c.entries, read.data()), DD_OK);
        for (DWORD i = 0; i < c.entries; ++i)
            ASSERT_EQ(std::memcmp(&read[i], &table[i], sizeof(PALETTEENTRY)), 0) << i;
        PALETTEENTRY past = {};
        EXPECT_EQ(palette->GetEntries(0, c.entries, 1, &past), DDERR_INVALIDPARAMS);
    }
    IDirectDrawPalette* palette = nullptr;
    EXPECT_EQ(directDraw->CreatePalette(DDPCAPS_8BIT, nullptr, &palette, nullptr),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->CreatePalette(DDPCAPS_8BIT, table.data(), nullptr, nullptr),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(palette, nullptr);
}

TEST_F(Palettes, EntriesAreReadAndWrittenInsideThePalette) {
    std::vector<PALETTEENTRY> table(16, {1, 2, 3, 0});
    Com<IDirectDrawPalette> palette;
    ASSERT_EQ(directDraw->CreatePalette(DDPCAPS_4BIT, table.data(), palette.Put(), nullptr), DD_OK);
    PALETTEENTRY written[3] = {{10, 20, 30, 0x40}, {40, 50, 60, 0x01}, {70, 80, 90, 0}};
    ASSERT_EQ(palette->SetEntries(0, 13, 3, written), DD_OK);
    PALETTEENTRY read[4] = {};
    ASSERT_EQ(palette->GetEntries(0, 12, 4, read), DD_OK);
    EXPECT_EQ(std::memcmp(&read[0], &table[12], sizeof read[0]), 0);
    EXPECT_EQ(std::memcmp(&read[1], written, sizeof written), 0);

    struct Case {
        DWORD flags, first, count;
    };
    for (const Case& c :
         {Case{0, 14, 3}, Case{0, 16, 1}, Case{0, 0, 0}, Case{1, 0, 1}, Case{0, 0xFFFFFFFF, 2}}) {
        SCOPED_TRACE(::testing::Message() << c.flags << " " << c.first << " " << c.count);
        EXPECT_EQ(palette->SetEntries(c.flags, c.first, c.count, written), DDERR_INVALIDPARAMS);
        EXPECT_EQ(palette->GetEntries(c.flags, c.first, c.count, read), DDERR_INVALIDPARAMS);
    }
    EXPECT_EQ(palette->GetEntries(0, 0, 1, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Palettes, OnlyPalettisedSurfacesTakeAPalette) {
    std::vector<PALETTEENTRY> table(256);
    Com<IDirectDrawPalette> palette;
    ASSERT_EQ(directDraw->CreatePalette(DDPCAPS_8BIT, table.data(), palette.Put(), nullptr), DD_OK);
    auto indexed = Offscreen(4, 4, &kPalette8, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY);
    auto rgb = Offscreen(4, 4, &kRgb565);
    auto primary = Primary();

    EXPECT_EQ(rgb->SetPalette(palette.Get()), DDERR_NOTPALETTIZED);
    // The screen here is never palettised.
    EXPECT_EQ(primary->SetPalette(palette.Get()), DDERR_NOTPALETTIZED);
    EXPECT_EQ(indexed->SetPalette(reinterpret_cast<IDirectDrawPalette*>(rgb.Get())),
              DDERR_INVALIDPARAMS);
    ASSERT_EQ(indexed->SetPalette(palette.Get()), DD_OK);
    EXPECT_EQ(palette->AddRef(), 3u);
    palette->Release();
    // Null detaches; detaching twice is harmless.
    EXPECT_EQ(indexed->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(indexed->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(palette->AddRef(), 2u);
    palette->Release();
}

} // namespace
