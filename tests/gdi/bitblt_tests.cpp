// BitBlt from DIB sections into surfaces and other bitmaps: the conversion
// into every destination format, palettes, clipping and overlap.
#include "gdi_test_support.h"

#include <climits>
#include <cstdint>

namespace zv::gdi::test {
namespace {

std::vector<PALETTEENTRY> Palette(std::initializer_list<uint32_t> colours) {
    std::vector<PALETTEENTRY> entries;
    for (uint32_t c : colours)
        entries.push_back({static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8),
                           static_cast<BYTE>(c), 0});
    return entries;
}

bmp::BmpPicture RgbRow(std::vector<uint32_t> colours) {
    const int width = static_cast<int>(colours.size());
    return {width, 1, {}, std::move(colours)};
}

class BitBltTest : public ::testing::Test {
protected:
    // The picture as a DIB section in a memory context.
    HDC Source(const bmp::BmpPicture& picture, const bmp::BmpFormat& format = {}) {
        bitmaps_.push_back(
            LoadPicture(dir_, picture, format, "s" + std::to_string(bitmaps_.size()) + ".bmp"));
        EXPECT_NE(bitmaps_.back(), nullptr);
        contexts_.push_back(std::make_unique<MemoryDC>(bitmaps_.back()));
        return contexts_.back()->dc;
    }
    HBITMAP LastBitmap() const { return bitmaps_.back(); }

    void TearDown() override {
        contexts_.clear();
        for (HBITMAP bitmap : bitmaps_)
            EXPECT_TRUE(DeleteObject(bitmap));
    }

private:
    TempDir dir_;
    std::vector<HBITMAP> bitmaps_;
    std::vector<std::unique_ptr<MemoryDC>> contexts_;
};

struct DirectCase {
    const char* name;
    int bitsPerPixel;
    DWORD red, green, blue;
    std::vector<uint8_t> bytes; // 0xFF8040 then 0x123456
};

TEST_F(BitBltTest, ConvertsIntoEveryDirectFormat) {
    HDC source = Source(RgbRow({0xFF8040, 0x123456}));
    // Bits outside the colour masks are written as ones: the X byte of XRGB,
    // opaque alpha in ARGB, 1555 and 4444.
    const DirectCase cases[] = {
        {"XRGB 8888", 32, 0xFF0000, 0x00FF00, 0x0000FF, {0x40, 0x80, 0xFF, 0xFF, 0x56, 0x34, 0x12, 0xFF}},
        {"XBGR 8888", 32, 0x0000FF, 0x00FF00, 0xFF0000, {0xFF, 0x80, 0x40, 0xFF, 0x12, 0x34, 0x56, 0xFF}},
        {"32 default", 32, 0, 0, 0, {0x40, 0x80, 0xFF, 0xFF, 0x56, 0x34, 0x12, 0xFF}},
        {"RGB 2:10:10:10", 32, 0x3FF00000, 0x000FFC00, 0x000003FF,
         // 0xFF -> 0x3FF, 0x80 -> 0x202, 0x40 -> 0x101; 0x12 -> 0x048, 0x34 -> 0x0D0, 0x56 -> 0x159
         {0x01, 0x09, 0xF8, 0xFF, 0x59, 0x41, 0x83, 0xC4}},
        {"RGB 888", 24, 0xFF0000, 0x00FF00, 0x0000FF, {0x40, 0x80, 0xFF, 0x56, 0x34, 0x12}},
        {"BGR 888", 24, 0x0000FF, 0x00FF00, 0xFF0000, {0xFF, 0x80, 0x40, 0x12, 0x34, 0x56}},
        {"RGB 565", 16, 0xF800, 0x07E0, 0x001F, {0x08, 0xFC, 0xAA, 0x11}},
        {"XRGB 1555", 16, 0x7C00, 0x03E0, 0x001F, {0x08, 0xFE, 0xCA, 0x88}},
        {"16 default", 16, 0, 0, 0, {0x08, 0xFE, 0xCA, 0x88}},
        {"ARGB 4444", 16, 0x0F00, 0x00F0, 0x000F, {0x84, 0xFF, 0x35, 0xF1}},
    };
    for (const DirectCase& c : cases) {
        SCOPED_TRACE(c.name);
        Surface surface(2, 1, c.bitsPerPixel, c.red, c.green, c.blue);
        ASSERT_NE(surface.dc, nullptr);
        EXPECT_TRUE(BitBlt(surface.dc, 0, 0, 2, 1, source, 0, 0, SRCCOPY));
        EXPECT_EQ(surface.RowBytes(0, static_cast<int>(c.bytes.size())), c.bytes);
        EXPECT_EQ(surface.Row(0)[c.bytes.size()], kUntouched);
    }
}

TEST_F(BitBltTest, ReadsEverySourceFormatThroughItsMasksOrTable) {
    struct Case {
        const char* name;
        bmp::BmpPicture picture;
        bmp::BmpFormat format;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"8-bit", {2, 1, {0x102030, 0xF0E0D0}, {1, 0}}, {.bitsPerPixel = 8}, {0xF0E0D0, 0x102030}},
        {"4-bit", {3, 1, {0x010203, 0x040506, 0x070809}, {2, 0, 1}}, {.bitsPerPixel = 4},
         {0x070809, 0x010203, 0x040506}},
        {"1-bit", {3, 1, {0x000000, 0xFFFFFF}, {1, 0, 1}}, {.bitsPerPixel = 1},
         {0xFFFFFF, 0x000000, 0xFFFFFF}},
        // 565: 31 -> 0xFF, 32 of 63 -> 0x82, 8 of 31 -> 0x42.
        {"16-bit 565", RgbRow({0xFF8040}),
         {.bitsPerPixel = 16, .compression = bmp::BmpCompression::BitFields, .redMask = 0xF800,
          .greenMask = 0x07E0, .blueMask = 0x001F},
         {0xFF8242}},
        {"16-bit 555", RgbRow({0xFF8040}), {.bitsPerPixel = 16}, {0xFF8442}},
        {"32-bit", RgbRow({0x123456}), {.bitsPerPixel = 32}, {0x123456}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HDC source = Source(c.picture, c.format);
        const int width = static_cast<int>(c.expected.size());
        Surface surface(width, 1, 32);
        EXPECT_TRUE(BitBlt(surface.dc, 0, 0, width, 1, source, 0, 0, SRCCOPY));
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(surface.Pixel32(x, 0), 0xFF000000 | c.expected[x]) << "pixel " << x;
    }
}

TEST_F(BitBltTest, PalettisedSurfaceKeepsIndicesOfAnEqualPalette) {
    // Entries 3 and 7 share a colour: only copying indices tells them apart.
    bmp::BmpPicture picture{256, 1, {}, {}};
    std::vector<PALETTEENTRY> palette;
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t colour = i == 7 ? 0x0C0906 : (i * 0x040302) & 0xFFFFFF;
        picture.palette.push_back(colour);
        picture.pixels.push_back(255 - i);
        palette.push_back(Palette({colour})[0]);
    }
    HDC source = Source(picture, {.bitsPerPixel = 8});
    Surface surface(256, 1, 8, 0, 0, 0, palette);
    EXPECT_TRUE(BitBlt(surface.dc, 0, 0, 256, 1, source, 0, 0, SRCCOPY));
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(surface.Row(0)[x], 255 - x) << "pixel " << x;
}

TEST_F(BitBltTest, PalettisedSurfaceTakesTheNearestColourOtherwise) {
    const std::vector<uint32_t> colours = {0xF01010, 0x700000, 0xC0C0C0, 0x202020, 0x101010};
    // Index 4 repeats index 0's colour: equal distances go to the first.
    const auto palette = Palette({0x000000, 0xFFFFFF, 0xFF0000, 0x800000, 0x000000});
    const std::vector<uint8_t> expected = {2, 3, 1, 0, 0};

    bmp::BmpPicture indexed{5, 1, colours, {0, 1, 2, 3, 4}};
    const HDC sources[] = {Source(RgbRow(colours)), Source(indexed, {.bitsPerPixel = 8})};
    for (HDC source : sources) {
        Surface surface(5, 1, 8, 0, 0, 0, palette);
        EXPECT_TRUE(BitBlt(surface.dc, 0, 0, 5, 1, source, 0, 0, SRCCOPY));
        EXPECT_EQ(surface.RowBytes(0, 5), expected);
    }
}

TEST_F(BitBltTest, SurfaceWithoutAPaletteUsesTheSystemPalette) {
    HDC screen = GetDC(nullptr);
    PALETTEENTRY system[256];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, system), 256u);
    ReleaseDC(nullptr, screen);

    const std::vector<uint32_t> colours = {0x336699, 0xA6CAF0, 0xFFFBF0, 0x000000};
    HDC source = Source(RgbRow(colours));
    Surface surface(4, 1, 8);
    EXPECT_TRUE(BitBlt(surface.dc, 0, 0, 4, 1, source, 0, 0, SRCCOPY));
    for (int x = 0; x < 4; ++x) {
        const PALETTEENTRY& e = system[surface.Row(0)[x]];
        EXPECT_EQ(uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue, colours[x]);
    }
}

TEST_F(BitBltTest, PacksFourAndOneBitDestinationsFromTheTopBits) {
    HDC source = Source(RgbRow({0xFFFFFF, 0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF}));
    Surface mono(5, 1, 1, 0, 0, 0, Palette({0x000000, 0xFFFFFF}));
    EXPECT_TRUE(BitBlt(mono.dc, 0, 0, 5, 1, source, 0, 0, SRCCOPY));
    // 1 0 1, red and blue nearer black: 10100 then the untouched 101 of 0xCD.
    EXPECT_EQ(mono.Row(0)[0], 0xA5);

    Surface nibbles(5, 1, 4, 0, 0, 0, Palette({0x000000, 0x0000FF, 0xFF0000, 0xFFFFFF}));
    EXPECT_TRUE(BitBlt(nibbles.dc, 0, 0, 5, 1, source, 0, 0, SRCCOPY));
    EXPECT_EQ(nibbles.RowBytes(0, 3), (std::vector<uint8_t>{0x30, 0x32, 0x1D}));
}

TEST_F(BitBltTest, CopiesIntoAnotherDibSection) {
    HDC source = Source({2, 2, {0x112233, 0x445566}, {0, 1, 1, 0}}, {.bitsPerPixel = 8});
    HDC destination = Source(RgbRow({0, 0, 0, 0, 0, 0}), {.bitsPerPixel = 24});
    const auto* bits = static_cast<const uint8_t*>(BitmapInfo(LastBitmap()).bmBits);
    EXPECT_TRUE(BitBlt(destination, 1, 0, 2, 2, source, 0, 1, SRCCOPY));
    EXPECT_EQ(std::vector<uint8_t>(bits, bits + 12),
              (std::vector<uint8_t>{0, 0, 0, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0, 0, 0}));
}

struct ClipCase {
    int x, y, w, h, sx, sy;
};

TEST_F(BitBltTest, ClipsToBothBitmaps) {
    const int sourceWidth = 4, sourceHeight = 3;
    bmp::BmpPicture picture{sourceWidth, sourceHeight, {}, {}};
    for (int y = 0; y < sourceHeight; ++y)
        for (int x = 0; x < sourceWidth; ++x)
            picture.pixels.push_back(static_cast<uint32_t>(0x100000 * (x + 1) + 0x100 * (y + 1)));
    HDC source = Source(picture, {.bitsPerPixel = 32});

    const ClipCase cases[] = {
        {0, 0, 4, 3, 0, 0},     {1, 1, 4, 3, 0, 0},       {-2, -1, 4, 3, 0, 0},
        {0, 0, 4, 3, 2, 1},     {0, 0, 4, 3, -2, -1},     {-1, -1, 3, 3, -1, -1},
        {3, 2, 100, 100, 1, 1}, {0, 0, INT_MAX, INT_MAX, 0, 0}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
        {2, 1, INT_MAX, 5, INT_MIN, 0}, {0, 0, -3, 2, 0, 0}, {0, 0, 0, 0, 0, 0},
        {1, 0, 2, 2, 5, 0},     {5, 4, 1, 1, 0, 0},       {0, 0, 2, 2, 3, 2},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h
                                          << " from " << c.sx << "," << c.sy);
        Surface surface(5, 4, 32);
        EXPECT_TRUE(BitBlt(surface.dc, c.x, c.y, c.w, c.h, source, c.sx, c.sy, SRCCOPY));
        for (int dy = 0; dy < surface.height; ++dy) {
            for (int dx = 0; dx < surface.width; ++dx) {
                const int64_t fromX = int64_t{c.sx} + dx - c.x, fromY = int64_t{c.sy} + dy - c.y;
                const bool copied = dx >= c.x && dx - int64_t{c.x} < c.w && dy >= c.y &&
                                    dy - int64_t{c.y} < c.h && fromX >= 0 &&
                                    fromX < sourceWidth && fromY >= 0 && fromY < sourceHeight;
                const uint32_t expected =
                    copied ? 0xFF000000 | picture.at(static_cast<int>(fromX), static_cast<int>(fromY))
                           : 0xCDCDCDCD;
                EXPECT_EQ(surface.Pixel32(dx, dy), expected) << "at " << dx << "," << dy;
            }
            EXPECT_EQ(surface.Pixel32(surface.width, dy), 0xCDCDCDCD) << "row padding " << dy;
        }
    }
}

TEST_F(BitBltTest, OverlappingCopiesWithinOneContextReadBeforeWriting) {
    Surface surface(4, 4, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t value = 0xFF000000 | static_cast<uint32_t>(y * 4 + x);
            std::memcpy(surface.Row(y) + 4 * x, &value, 4);
        }
    EXPECT_TRUE(BitBlt(surface.dc, 1, 1, 3, 3, surface.dc, 0, 0, SRCCOPY));
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(surface.Pixel32(x, y) & 0xFF, static_cast<uint32_t>((y - 1) * 4 + x - 1));

    // The same through a bitmap, whose rows are stored bottom-up.
    HDC bitmap = Source({1, 4, {0x01, 0x02, 0x03, 0x04}, {0, 1, 2, 3}}, {.bitsPerPixel = 8});
    EXPECT_TRUE(BitBlt(bitmap, 0, 1, 1, 3, bitmap, 0, 0, SRCCOPY));
    const auto* bits = static_cast<const uint8_t*>(BitmapInfo(LastBitmap()).bmBits);
    // From the top 0, 0, 1, 2; stored bottom row first.
    EXPECT_EQ((std::vector<uint8_t>{bits[0], bits[4], bits[8], bits[12]}),
              (std::vector<uint8_t>{2, 1, 0, 0}));
}

TEST_F(BitBltTest, FillsWithBlacknessAndWhitenessAndRefusesOtherOperations) {
    HDC source = Source(RgbRow({0x123456, 0x123456}));
    struct Case {
        int bitsPerPixel;
        DWORD red, green, blue;
        std::vector<PALETTEENTRY> palette;
        std::vector<uint8_t> black, white; // first pixel
    };
    const Case cases[] = {
        {32, 0, 0, 0, {}, {0, 0, 0, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}},
        {16, 0xF800, 0x07E0, 0x001F, {}, {0, 0}, {0xFF, 0xFF}},
        {8, 0, 0, 0, Palette({0xFFFFFF, 0x101010, 0x000000}), {2}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitsPerPixel);
        Surface surface(2, 1, c.bitsPerPixel, c.red, c.green, c.blue, c.palette);
        const int n = static_cast<int>(c.black.size());
        EXPECT_TRUE(BitBlt(surface.dc, -1, 0, 2, 5, nullptr, 0, 0, BLACKNESS));
        EXPECT_EQ(surface.RowBytes(0, n), c.black);
        EXPECT_EQ(surface.Row(0)[n], kUntouched) << "clipped to one pixel";
        EXPECT_TRUE(BitBlt(surface.dc, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
        EXPECT_EQ(surface.RowBytes(0, n), c.white);

        const std::vector<uint8_t> before = surface.bytes;
        EXPECT_FALSE(BitBlt(surface.dc, 0, 0, 2, 1, source, 0, 0, 0x00EE0086)) << "SRCPAINT";
        EXPECT_FALSE(BitBlt(surface.dc, 0, 0, 2, 1, nullptr, 0, 0, SRCCOPY));
        EXPECT_EQ(surface.bytes, before);
    }
    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(BitBlt(screen, 0, 0, 2, 1, source, 0, 0, SRCCOPY)) << "no pixels to draw into";
    ReleaseDC(nullptr, screen);
}

TEST(SurfaceContextTest, RefusesPixelsItCannotDrawInto) {
    uint8_t bits[64] = {};
    struct Case {
        const char* name;
        SurfacePixels pixels;
        bool accepted;
    };
    const PALETTEENTRY palette[2] = {};
    const Case cases[] = {
        {"32-bit", {bits, 8, 2, 2, 32, 0, 0, 0, nullptr, 0}, true},
        {"24-bit, odd width", {bits, 9, 3, 2, 24, 0, 0, 0, nullptr, 0}, true},
        {"16-bit 565", {bits, 4, 2, 2, 16, 0xF800, 0x07E0, 0x1F, nullptr, 0}, true},
        {"8-bit without palette", {bits, 2, 2, 2, 8, 0, 0, 0, nullptr, 0}, true},
        {"4-bit, short palette", {bits, 1, 2, 2, 4, 0, 0, 0, palette, 2}, true},
        {"1-bit", {bits, 1, 8, 2, 1, 0, 0, 0, palette, 2}, true},
        {"no bits", {nullptr, 8, 2, 2, 32, 0, 0, 0, nullptr, 0}, false},
        {"no width", {bits, 8, 0, 2, 32, 0, 0, 0, nullptr, 0}, false},
        {"negative height", {bits, 8, 2, -2, 32, 0, 0, 0, nullptr, 0}, false},
        {"2-bit", {bits, 8, 2, 2, 2, 0, 0, 0, palette, 2}, false},
        {"15-bit", {bits, 8, 2, 2, 15, 0, 0, 0, nullptr, 0}, false},
        {"pitch shorter than a row", {bits, 7, 2, 2, 32, 0, 0, 0, nullptr, 0}, false},
        {"negative pitch", {bits + 32, -8, 2, 2, 32, 0, 0, 0, nullptr, 0}, false},
        {"overlapping masks", {bits, 4, 2, 2, 16, 0xF800, 0x0FE0, 0x1F, nullptr, 0}, false},
        {"mask with a gap", {bits, 4, 2, 2, 16, 0xF0F0, 0x0F00, 0x0F, nullptr, 0}, false},
        {"mask past the pixel", {bits, 4, 2, 2, 16, 0x1F000, 0x07E0, 0x1F, nullptr, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HDC dc = CreateSurfaceDC(c.pixels);
        EXPECT_EQ(dc != nullptr, c.accepted);
        DeleteSurfaceDC(dc);
        EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0) << "gone after DeleteSurfaceDC";
    }
}

} // namespace
} // namespace zv::gdi::test
