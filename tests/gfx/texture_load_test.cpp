// Loading bitmaps into textures: real GDI reads the files we write and draws
// into fake surfaces; the DirectDraw and Direct3D side records every call.
#include "graphics_test.h"
#include "texture_fakes.h"

#include <platform/testing.h>

#include <algorithm>
#include <cstring>

namespace {

using namespace texture_fakes;
using Calls = std::vector<std::string>;

// A picture of distinct colours, so a pixel's colour names its place.
TestPicture TrueColour(int width, int height) {
    return {width, height, 24, {}, [](int x, int y) {
                return static_cast<uint32_t>((x * 50 + 5) << 16 | (y * 80 + 7) << 8 |
                                             (x * 13 + y * 31));
            }};
}

// `count` distinct colours, each pixel an index into them.
TestPicture Indexed(int bitsPerPixel, int count) {
    TestPicture picture{7, 4, bitsPerPixel, {}, [count](int x, int y) {
                            return static_cast<uint32_t>((x + 7 * y) % count);
                        }};
    for (int i = 0; i < count; ++i)
        picture.colours.push_back(static_cast<uint32_t>(i << 16 | (255 - i) << 8 | (i * 7 % 256)));
    return picture;
}

PALETTEENTRY EntryOf(uint32_t colour) {
    return {static_cast<BYTE>(colour >> 16), static_cast<BYTE>(colour >> 8),
            static_cast<BYTE>(colour), 0};
}

bool SameEntry(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every member a texture description does not name is zero.
void ExpectTextureDescription(const DDSURFACEDESC& desc, DWORD caps, DWORD width, DWORD height,
                              const DDPIXELFORMAT& format) {
    DDSURFACEDESC expected = {};
    expected.dwSize = 108;
    expected.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    expected.dwWidth = width;
    expected.dwHeight = height;
    expected.ddpfPixelFormat = format;
    expected.ddsCaps.dwCaps = caps;
    EXPECT_EQ(desc.dwFlags, expected.dwFlags);
    EXPECT_EQ(desc.ddsCaps.dwCaps, caps);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, format.dwRGBBitCount);
    EXPECT_EQ(std::memcmp(&desc, &expected, sizeof desc), 0);
}

void ExpectEmpty(const BitmapTexture& texture) {
    EXPECT_EQ(texture.systemSurface, nullptr);
    EXPECT_EQ(texture.deviceSurface, nullptr);
    EXPECT_EQ(texture.texturePalette, nullptr);
    EXPECT_EQ(texture.material, nullptr);
    EXPECT_EQ(texture.textureHandle, 0u);
    EXPECT_EQ(texture.materialHandle, 0u);
}

class TextureLoad : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        world.Install();
        world.formats = {kPal8, kRgb565, kRgb24, kRgb32};
    }

    std::string Write(const std::string& file, const TestPicture& picture) {
        WriteFile(folder / file, EncodeBitmapFile(picture));
        return folder / file;
    }

    BOOL Load(const std::string& path) {
        return LoadBitmapTexture(&texture, &world.device, path.c_str());
    }

    ScratchFolder folder{"load"};
    zv::testing::MessageBoxRecorder boxes;
    TextureWorld world;
    // Goes before the objects it holds references to.
    BitmapTexture texture;
};

TEST_F(TextureLoad, WithHardwareAVideoSurfaceIsLoadedFromASystemSurfaceGdiDrewInto) {
    g_hxp.halFound = 1;
    const TestPicture picture = TrueColour(5, 3);
    ASSERT_EQ(Load(Write("true.bmp", picture)), 1);

    EXPECT_EQ(world.log.calls, (Calls{
                                   "device->EnumTextureFormats",
                                   "ddraw->CreateSurface(0x1007, 0x4005000, 5x3, 24 bits)",
                                   "ddraw->CreateSurface(0x1007, 0x1800, 5x3, 24 bits)",
                                   "system1->GetDC",
                                   "system1->ReleaseDC(its dc)",
                                   "video1->Restore",
                                   "video1->QueryInterface(IDirect3DTexture2)",
                                   "system1->QueryInterface(IDirect3DTexture2)",
                                   "video1.texture->Load(system1.texture)",
                                   "video1.texture->Release",
                                   "system1.texture->Release",
                                   "video1->QueryInterface(IDirect3DTexture2)",
                                   "video1.texture->GetHandle(device)",
                                   "video1.texture->Release",
                                   "d3d->CreateMaterial",
                                   "material1->SetMaterial",
                                   "material1->GetHandle(device)",
                               }));
    ASSERT_EQ(world.descriptions.size(), 2u);
    ExpectTextureDescription(world.descriptions[0], 0x4005000, 5, 3, kRgb24);
    ExpectTextureDescription(world.descriptions[1], 0x1800, 5, 3, kRgb24);

    auto& video = world.Made<TextureSurface>("video1");
    auto& system = world.Made<TextureSurface>("system1");
    EXPECT_EQ(texture.deviceSurface, &video);
    EXPECT_EQ(texture.systemSurface, &system);
    EXPECT_EQ(texture.texturePalette, nullptr);
    EXPECT_EQ(texture.textureHandle, video.handle);
    EXPECT_EQ(texture.material, &world.Made<TextureMaterial>("material1"));
    EXPECT_EQ(texture.materialHandle, world.Made<TextureMaterial>("material1").handle);
    EXPECT_EQ(world.HeldReferences(),
              (std::map<std::string, ULONG>{{"material1", 1}, {"system1", 1}, {"video1", 1}}));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            EXPECT_EQ(system.Pixel(x, y), picture.pixel(x, y)) << x << "," << y;
            EXPECT_EQ(video.Pixel(x, y), 0u) << "GDI drew into video memory";
        }
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(debug.lines.empty());
}

TEST_F(TextureLoad, WithoutHardwareOneSystemSurfaceServesBothAndTheIndicesLandUnchanged) {
    const std::string can = CanBitmapPath().string();
    ASSERT_TRUE(std::filesystem::is_regular_file(can)) << can;
    ASSERT_EQ(Load(can), 1);

    EXPECT_EQ(world.log.calls, (Calls{
                                   "device->EnumTextureFormats",
                                   "ddraw->CreateSurface(0x1007, 0x1800, 256x256, 8 bits)",
                                   "system1->AddRef",
                                   "ddraw->CreatePalette(0x4)",
                                   "system1->SetPalette(palette1)",
                                   "system1->SetPalette(palette1)",
                                   "system1->GetDC",
                                   "system1->ReleaseDC(its dc)",
                                   "system1->QueryInterface(IDirect3DTexture2)",
                                   "system1.texture->GetHandle(device)",
                                   "system1.texture->Release",
                                   "d3d->CreateMaterial",
                                   "material1->SetMaterial",
                                   "material1->GetHandle(device)",
                               }));
    ASSERT_EQ(world.descriptions.size(), 1u);
    ExpectTextureDescription(world.descriptions[0], 0x1800, 256, 256, kPal8);
    auto& surface = world.Made<TextureSurface>("system1");
    EXPECT_EQ(texture.systemSurface, &surface);
    EXPECT_EQ(texture.deviceSurface, &surface);
    EXPECT_EQ(texture.textureHandle, surface.handle);
    EXPECT_EQ(surface.references, 2u);

    // What GDI itself reads from the file: the colour table and the indices.
    auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, can.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ASSERT_NE(GetObjectA(bitmap, sizeof info, &info), 0);
    ASSERT_EQ(info.bmBitsPixel, 8);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    RGBQUAD table[256];
    ASSERT_EQ(GetDIBColorTable(memory, 0, 256, table), 256u);
    DeleteDC(memory);

    auto& palette = world.Made<TexturePalette>("palette1");
    EXPECT_EQ(texture.texturePalette, &palette);
    ASSERT_EQ(palette.entries.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY expected = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        EXPECT_TRUE(SameEntry(palette.entries[i], expected)) << i;
    }
    int differing = 0;
    const auto* bits = static_cast<const uint8_t*>(info.bmBits);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            differing +=
                surface.Pixel(x, y) != bits[static_cast<size_t>(255 - y) * info.bmWidthBytes + x];
    EXPECT_EQ(differing, 0);
    DeleteObject(bitmap);

    world.log.calls.clear();
    ReleaseBitmapTexture(&texture);
    EXPECT_EQ(world.log.calls, (Calls{"system1->Release", "system1->Release", "palette1->Release",
                                      "material1->Release"}));
    EXPECT_TRUE(world.HeldReferences().empty());
    ExpectEmpty(texture);
}

TEST_F(TextureLoad, ThePaletteFollowsTheColourTable) {
    struct Case {
        const char* what;
        TestPicture picture;
        std::vector<DDPIXELFORMAT> offered;
        // Empty: no palette is made.
        std::string creation;
        // The palette calls, in order.
        Calls calls;
        BOOL halFound = 0;
    };
    const Calls kSetMade = {"system1->SetPalette(palette1)", "system1->SetPalette(palette1)"};
    const Case cases[] = {
        {"256 entries", Indexed(8, 256), {kPal8}, "0x4", kSetMade},
        {"17 entries", Indexed(8, 17), {kPal8}, "0x4", kSetMade},
        {"16 entries", Indexed(8, 16), {kPal8}, "0x1", kSetMade},
        {"4-bit, 16 entries", Indexed(4, 16), {kPal4, kPal8}, "0x1", kSetMade},
        {"4-bit, 5 entries", Indexed(4, 5), {kPal8}, "0x1", kSetMade},
        {"1-bit", Indexed(1, 2), {kPal8}, "0x1", kSetMade},
        {"no table: null is set",
         TrueColour(7, 4),
         {kPal8, kRgb565},
         "",
         {"system1->SetPalette(null)", "system1->SetPalette(null)"}},
        {"an RGB format needs none", Indexed(8, 256), {kRgb565}, "", {}},
        {"with hardware: the system surface first",
         Indexed(8, 256),
         {kPal8},
         "0x4",
         {"system1->SetPalette(palette1)", "video1->SetPalette(palette1)"},
         1},
        {"with hardware, no table",
         TrueColour(7, 4),
         {kPal8},
         "",
         {"system1->SetPalette(null)", "video1->SetPalette(null)"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextureWorld w;
        w.Install();
        w.formats = c.offered;
        g_hxp.halFound = c.halFound;
        BitmapTexture t;
        ASSERT_EQ(LoadBitmapTexture(&t, &w.device, Write("palette.bmp", c.picture).c_str()), 1);

        Calls paletteCalls;
        for (const std::string& call : w.log.calls)
            if (call.find("Palette") != std::string::npos)
                paletteCalls.push_back(call);
        Calls expected = c.calls;
        if (!c.creation.empty())
            expected.insert(expected.begin(), "ddraw->CreatePalette(" + c.creation + ")");
        EXPECT_EQ(paletteCalls, expected);
        if (c.creation.empty()) {
            EXPECT_EQ(t.texturePalette, nullptr);
            continue;
        }

        auto& palette = w.Made<TexturePalette>("palette1");
        EXPECT_EQ(t.texturePalette, &palette);
        const size_t count = c.picture.colours.size();
        for (size_t i = 0; i < palette.entries.size(); ++i) {
            const PALETTEENTRY expectedEntry =
                i < count ? EntryOf(c.picture.colours[i]) : PALETTEENTRY{0, 0, 0, 0};
            EXPECT_TRUE(SameEntry(palette.entries[i], expectedEntry)) << i;
        }
        // Matching palettes carry indices over as they are.
        const auto& surface = w.Made<TextureSurface>("system1");
        for (int y = 0; y < c.picture.height; ++y)
            for (int x = 0; x < c.picture.width; ++x)
                EXPECT_EQ(surface.Pixel(x, y), c.picture.pixel(x, y)) << x << "," << y;
    }
}

TEST_F(TextureLoad, GdiConvertsTheBitmapIntoTheChosenRgbFormat) {
    struct Case {
        DDPIXELFORMAT format;
        uint32_t (*stored)(uint32_t rgb);
    };
    const Case cases[] = {
        {kRgb24, [](uint32_t rgb) { return rgb; }},
        {kBgr24, [](uint32_t rgb) { return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16; }},
        // Bits outside the masks come out as ones.
        {kRgb32, [](uint32_t rgb) { return 0xFF000000 | rgb; }},
    };
    const TestPicture picture = TrueColour(6, 5);
    const std::string path = Write("convert.bmp", picture);
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.format.dwRBitMask));
        TextureWorld w;
        w.Install();
        w.formats = {c.format};
        BitmapTexture t;
        ASSERT_EQ(LoadBitmapTexture(&t, &w.device, path.c_str()), 1);
        const auto& surface = w.Made<TextureSurface>("system1");
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                EXPECT_EQ(surface.Pixel(x, y), c.stored(picture.pixel(x, y))) << x << "," << y;
    }
}

TEST_F(TextureLoad, TheMaterialIsWhiteWithTheTextureAndRamp32) {
    g_hxp.halFound = 1;
    ASSERT_EQ(Load(Write("true.bmp", TrueColour(5, 3))), 1);
    const D3DMATERIAL& m = texture.materialDesc;
    EXPECT_EQ(m.dwSize, 80u);
    struct Channel {
        const char* name;
        D3DCOLORVALUE value;
        float expected;
    };
    for (const Channel& c :
         {Channel{"diffuse", m.diffuse, 1.0f}, Channel{"ambient", m.ambient, 0.0f},
          Channel{"specular", m.specular, 0.0f}, Channel{"emissive", m.emissive, 0.0f}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.r, c.expected);
        EXPECT_EQ(c.value.g, c.expected);
        EXPECT_EQ(c.value.b, c.expected);
        EXPECT_EQ(c.value.a, c.expected);
    }
    EXPECT_EQ(m.power, 0.0f);
    EXPECT_EQ(m.hTexture, texture.textureHandle);
    EXPECT_NE(m.hTexture, 0u);
    EXPECT_EQ(m.dwRampSize, 32u);
    // The material is given exactly this description.
    const auto& given = world.Made<TextureMaterial>("material1").given;
    ASSERT_EQ(given.size(), 1u);
    EXPECT_EQ(std::memcmp(&given[0], &m, sizeof m), 0);
}

TEST_F(TextureLoad, ASecondLoadReleasesTheFirstBeforeMakingItsOwn) {
    g_hxp.halFound = 1;
    ASSERT_EQ(Load(Write("first.bmp", Indexed(8, 256))), 1);
    ASSERT_NE(texture.texturePalette, nullptr);
    world.log.calls.clear();

    ASSERT_EQ(Load(Write("second.bmp", TrueColour(5, 3))), 1);
    ASSERT_GE(world.log.calls.size(), 5u);
    EXPECT_EQ(Calls(world.log.calls.begin(), world.log.calls.begin() + 5),
              (Calls{"system1->Release", "video1->Release", "palette1->Release",
                     "material1->Release", "device->EnumTextureFormats"}));
    EXPECT_EQ(texture.deviceSurface, &world.Made<TextureSurface>("video2"));
    EXPECT_EQ(texture.systemSurface, &world.Made<TextureSurface>("system2"));
    EXPECT_EQ(texture.texturePalette, nullptr);
    EXPECT_EQ(texture.textureHandle, world.Made<TextureSurface>("video2").handle);
    EXPECT_EQ(texture.materialHandle, world.Made<TextureMaterial>("material2").handle);
    EXPECT_NE(texture.textureHandle, world.Made<TextureSurface>("video1").handle);
    EXPECT_NE(texture.materialHandle, world.Made<TextureMaterial>("material1").handle);
    EXPECT_EQ(world.HeldReferences(),
              (std::map<std::string, ULONG>{{"material2", 1}, {"system2", 1}, {"video2", 1}}));
}

TEST_F(TextureLoad, FailuresReturnZeroQuietlyAndLeaveTheTextureEmpty) {
    const std::string trueColour = Write("true.bmp", TrueColour(5, 3));
    const std::string indexed = Write("indexed.bmp", Indexed(8, 256));
    struct Case {
        const char* what;
        BOOL halFound;
        const std::string& file;
        std::string step;
        std::vector<DDPIXELFORMAT> offered;
        // How the calls end.
        Calls tail;
    };
    const std::vector<DDPIXELFORMAT> kAll = {kPal8, kRgb565, kRgb24, kRgb32};
    const Case cases[] = {
        {"video surface",
         1,
         trueColour,
         "CreateSurface video",
         kAll,
         {"device->EnumTextureFormats", "ddraw->CreateSurface(0x1007, 0x4005000, 5x3, 24 bits)"}},
        {"system surface beside video",
         1,
         trueColour,
         "CreateSurface system",
         kAll,
         {"ddraw->CreateSurface(0x1007, 0x1800, 5x3, 24 bits)", "video1->Release"}},
        {"the only surface",
         0,
         trueColour,
         "CreateSurface system",
         kAll,
         {"device->EnumTextureFormats", "ddraw->CreateSurface(0x1007, 0x1800, 5x3, 24 bits)"}},
        {"no qualifying format, so no surface",
         1,
         trueColour,
         "",
         {kArgb32, kPal4},
         {"device->EnumTextureFormats", "ddraw->CreateSurface(0x1007, 0x4005000, 5x3, 0 bits)"}},
        {"device context",
         1,
         trueColour,
         "GetDC",
         kAll,
         {"system1->GetDC", "system1->Release", "video1->Release"}},
        {"device context, palette made",
         1,
         indexed,
         "GetDC",
         kAll,
         {"system1->GetDC", "system1->Release", "video1->Release", "palette1->Release"}},
        {"device context, shared surface",
         0,
         trueColour,
         "GetDC",
         kAll,
         {"system1->GetDC", "system1->Release", "system1->Release"}},
        {"restore",
         1,
         trueColour,
         "Restore",
         kAll,
         {"system1->ReleaseDC(its dc)", "video1->Restore", "system1->Release", "video1->Release"}},
        {"texture interface",
         1,
         trueColour,
         "QueryInterface",
         kAll,
         {"video1->Restore", "video1->QueryInterface(IDirect3DTexture2)",
          "system1->QueryInterface(IDirect3DTexture2)", "system1->Release", "video1->Release"}},
        {"texture load",
         1,
         trueColour,
         "Load",
         kAll,
         {"video1.texture->Load(system1.texture)", "video1.texture->Release",
          "system1.texture->Release", "system1->Release", "video1->Release"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextureWorld w;
        w.Install();
        w.formats = c.offered;
        if (!c.step.empty())
            w.failures[c.step] = DDERR_GENERIC;
        g_hxp.halFound = c.halFound;
        debug.lines.clear();
        {
            BitmapTexture t;
            EXPECT_EQ(LoadBitmapTexture(&t, &w.device, c.file.c_str()), 0);
            ExpectEmpty(t);
        }
        const Calls& calls = w.log.calls;
        ASSERT_GE(calls.size(), c.tail.size());
        EXPECT_EQ(Calls(calls.end() - static_cast<std::ptrdiff_t>(c.tail.size()), calls.end()),
                  c.tail);
        EXPECT_TRUE(w.HeldReferences().empty());
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_TRUE(debug.lines.empty());
    }
}

TEST_F(TextureLoad, AFailedReloadLeavesNothingOfTheFirstTexture) {
    g_hxp.halFound = 1;
    const std::string path = Write("true.bmp", TrueColour(5, 3));
    ASSERT_EQ(Load(path), 1);
    ASSERT_NE(texture.materialHandle, 0u);
    world.failures["Restore"] = DDERR_SURFACELOST;
    EXPECT_EQ(Load(path), 0);
    ExpectEmpty(texture);
    EXPECT_TRUE(world.HeldReferences().empty());
}

TEST_F(TextureLoad, ResultsThatAreNotExaminedDoNotStopTheLoad) {
    g_hxp.halFound = 1;
    const std::string path = Write("indexed.bmp", Indexed(8, 256));
    for (const char* step : {"EnumTextureFormats", "CreatePalette", "SetPalette",
                             "GetHandle texture", "SetMaterial", "GetHandle material"}) {
        SCOPED_TRACE(step);
        TextureWorld w;
        w.Install();
        w.formats = {kPal8};
        w.failures[step] = DDERR_GENERIC;
        BitmapTexture t;
        EXPECT_EQ(LoadBitmapTexture(&t, &w.device, path.c_str()), 1);
        EXPECT_EQ(t.deviceSurface, &w.Made<TextureSurface>("video1"));
        EXPECT_EQ(t.material, &w.Made<TextureMaterial>("material1"));
        if (std::string(step) == "CreatePalette") {
            // Whatever the failed call left in its result is not taken.
            EXPECT_EQ(t.texturePalette, nullptr);
            EXPECT_NE(std::find(w.log.calls.begin(), w.log.calls.end(), "video1->SetPalette(null)"),
                      w.log.calls.end());
        } else {
            EXPECT_EQ(t.texturePalette, &w.Made<TexturePalette>("palette1"));
        }
    }
}

TEST_F(TextureLoad, AFailedMaterialLeavesACompleteTextureWithoutMaterialHandle) {
    g_hxp.halFound = 1;
    world.failures["CreateMaterial"] = D3DERR_INITFAILED;
    ASSERT_EQ(Load(Write("true.bmp", TrueColour(5, 3))), 1);

    EXPECT_EQ(debug.lines, Calls{"vupa: Failed to CreateMaterial\n"});
    EXPECT_EQ(world.log.calls.back(), "d3d->CreateMaterial");
    EXPECT_EQ(texture.material, nullptr);
    EXPECT_EQ(texture.materialHandle, 0u);
    EXPECT_EQ(texture.deviceSurface, &world.Made<TextureSurface>("video1"));
    EXPECT_EQ(texture.systemSurface, &world.Made<TextureSurface>("system1"));
    EXPECT_EQ(texture.textureHandle, world.Made<TextureSurface>("video1").handle);
    EXPECT_EQ(texture.materialDesc.hTexture, texture.textureHandle);
    EXPECT_EQ(texture.materialDesc.dwRampSize, 32u);
    EXPECT_TRUE(boxes.boxes.empty());

    world.log.calls.clear();
    ReleaseBitmapTexture(&texture);
    EXPECT_EQ(world.log.calls, (Calls{"system1->Release", "video1->Release"}));
    EXPECT_TRUE(world.HeldReferences().empty());
}

TEST_F(TextureLoad, ReleasingKeepsTheMaterialDescriptionAndFindsNothingTheSecondTime) {
    g_hxp.halFound = 1;
    ASSERT_EQ(Load(Write("indexed.bmp", Indexed(8, 256))), 1);
    const D3DMATERIAL before = texture.materialDesc;
    world.log.calls.clear();

    ReleaseBitmapTexture(&texture);
    EXPECT_EQ(world.log.calls, (Calls{"system1->Release", "video1->Release", "palette1->Release",
                                      "material1->Release"}));
    ExpectEmpty(texture);
    EXPECT_EQ(std::memcmp(&texture.materialDesc, &before, sizeof before), 0);
    EXPECT_TRUE(world.HeldReferences().empty());

    world.log.calls.clear();
    ReleaseBitmapTexture(&texture);
    EXPECT_TRUE(world.log.calls.empty());
}

TEST_F(TextureLoad, ATextureStartsEmptyAndItsDestructorReleases) {
    {
        BitmapTexture fresh;
        ExpectEmpty(fresh);
        ASSERT_EQ(
            LoadBitmapTexture(&fresh, &world.device, Write("t.bmp", TrueColour(2, 2)).c_str()), 1);
        world.log.calls.clear();
    }
    EXPECT_EQ(world.log.calls,
              (Calls{"system1->Release", "system1->Release", "material1->Release"}));
    EXPECT_TRUE(world.HeldReferences().empty());
}

} // namespace
