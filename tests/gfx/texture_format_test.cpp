// The texture format search: which of the formats a device offers a bitmap
// of a given depth gets, through the device's enumeration.
#include "graphics_test.h"
#include "texture_fakes.h"

#include <cstring>

namespace {

using namespace texture_fakes;

class TextureFormatSearchTest : public GraphicsTest {
protected:
    TextureWorld world;
};

std::string Describe(const DDPIXELFORMAT& f) {
    return Hex(f.dwFlags) + "/" + std::to_string(f.dwRGBBitCount) + "/" + Hex(f.dwRBitMask) +
           Hex(f.dwGBitMask) + Hex(f.dwBBitMask) + Hex(f.dwRGBAlphaBitMask);
}

TEST_F(TextureFormatSearchTest, PicksTheShallowestFormatAtOrAboveTheBitmapsDepth) {
    const DDPIXELFORMAT kAlphaOnly = [] {
        DDPIXELFORMAT f = {};
        f.dwSize = sizeof f;
        f.dwFlags = DDPF_ALPHA;
        f.dwRGBBitCount = 8;
        return f;
    }();
    const DDPIXELFORMAT kPal8WithAlpha = [] {
        DDPIXELFORMAT f = Palettised(8);
        f.dwFlags |= DDPF_ALPHAPIXELS;
        return f;
    }();
    // Flags that do not fit the depth.
    const DDPIXELFORMAT kRgb332 = Rgb(8, 0xE0, 0x1C, 0x03);
    const DDPIXELFORMAT kPal16 = [] {
        DDPIXELFORMAT f = Palettised(8);
        f.dwRGBBitCount = 16;
        return f;
    }();

    struct Case {
        const char* what;
        DWORD wanted;
        std::vector<DDPIXELFORMAT> offered;
        // Index into offered; -1: none held, the result stays all zero.
        int chosen;
    };
    const Case cases[] = {
        {"24-bit: the 24-bit RGB format", 24, {kPal8, kRgb565, kRgb24, kRgb32}, 2},
        {"24-bit with only shallower formats: the first stays", 24, {kPal8, kRgb565}, 0},
        {"8-bit: palettised replaces 16-bit RGB", 8, {kRgb565, kPal8}, 1},
        {"8-bit: palettised first stays", 8, {kPal8, kRgb565}, 0},
        {"8-bit without palettes: the nearest above", 8, {kRgb32, kRgb565}, 1},
        {"24-bit: 32 replaces a shallower first", 24, {kRgb565, kRgb32}, 1},
        {"24-bit: 24 is nearer than 32", 24, {kRgb32, kRgb24}, 1},
        {"32-bit: nothing reaches it, the first stays", 32, {kPal8, kRgb565, kRgb24}, 0},
        {"equal distances keep the earlier", 24, {kPal8, kRgb24, kBgr24}, 1},
        {"equal distances keep the earlier, 16-bit", 16, {kRgb555, kRgb565}, 0},
        {"alpha pixels never", 24, {kArgb32, kRgb565}, 1},
        {"alpha pixels never, even alone", 16, {kArgb1555, kArgb32}, -1},
        {"alpha-only formats never", 8, {kAlphaOnly}, -1},
        {"palettised with alpha never", 8, {kPal8WithAlpha, kRgb565}, 1},
        {"4-bit palettised never", 4, {kPal4}, -1},
        {"4-bit bitmap: 8-bit palettised after 4-bit", 4, {kPal4, kPal8}, 1},
        {"8 bits must be palettised", 8, {kRgb332}, -1},
        {"more than 8 bits must be RGB", 16, {kPal16}, -1},
        {"nothing offered", 24, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.formats = c.offered;
        world.callbackResults.clear();
        DDPIXELFORMAT result;
        std::memset(&result, 0xA5, sizeof result);

        EXPECT_EQ(FindTextureFormat(&world.device, c.wanted, &result), DD_OK);

        DDPIXELFORMAT expected = {};
        if (c.chosen >= 0)
            expected = c.offered[static_cast<size_t>(c.chosen)];
        EXPECT_EQ(Describe(result), Describe(expected));
        EXPECT_EQ(std::memcmp(&result, &expected, sizeof result), 0);
        // The search always sees every format.
        EXPECT_EQ(world.callbackResults, std::vector<HRESULT>(c.offered.size(), D3DENUMRET_OK));
    }
}

TEST_F(TextureFormatSearchTest, ReturnsTheEnumerationsResultAndStillCopiesTheFormat) {
    world.formats = {kRgb565};
    world.failures["EnumTextureFormats"] = D3DERR_INVALID_DEVICE;
    DDPIXELFORMAT result = {};
    EXPECT_EQ(FindTextureFormat(&world.device, 16, &result), D3DERR_INVALID_DEVICE);
    EXPECT_EQ(std::memcmp(&result, &kRgb565, sizeof result), 0);
    EXPECT_EQ(world.log.calls, std::vector<std::string>{"device->EnumTextureFormats"});
}

TEST_F(TextureFormatSearchTest, TheCallbackKeepsTheWantedDepthAndCopiesTheWholeFormat) {
    TextureFormatSearch search = {};
    search.wantedBits = 16;
    DDSURFACEDESC desc = {};
    desc.ddpfPixelFormat = kRgb565;
    // Bytes the callback has no reason to look at still travel with it.
    desc.ddpfPixelFormat.dwFourCC = 0x12345678;
    EXPECT_EQ(TextureFormatCallback(&desc, &search), D3DENUMRET_OK);
    EXPECT_EQ(search.wantedBits, 16u);
    EXPECT_EQ(std::memcmp(&search.bestFormat, &desc.ddpfPixelFormat, sizeof search.bestFormat), 0);
}

} // namespace
