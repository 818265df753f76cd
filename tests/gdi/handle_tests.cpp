// Device contexts and bitmaps as handles: selection, deletion, stale and
// foreign handles, and what the screen reports.
#include "gdi_test_support.h"

#include <platform/display.h>

namespace zv::gdi::test {
namespace {

class HandleTest : public ::testing::Test {
protected:
    HBITMAP Load(int bitsPerPixel = 8, int width = 5, int height = 3) {
        const int colours = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
        return LoadPicture(dir, Pattern(width, height, colours),
                           {.bitsPerPixel = static_cast<uint16_t>(bitsPerPixel)},
                           "p" + std::to_string(loaded++) + ".bmp");
    }

    TempDir dir;
    int loaded = 0;
};

TEST_F(HandleTest, NewMemoryContextHoldsAOneByOneMonochromeBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP bitmap = Load();
    HGDIOBJ initial = SelectObject(dc, bitmap);
    ASSERT_NE(initial, nullptr);
    const BITMAP info = BitmapInfo(initial);
    EXPECT_EQ(info.bmType, 0);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmWidthBytes, 2);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmBits, nullptr);
    EXPECT_EQ(SelectObject(dc, initial), bitmap) << "the previous object comes back";

    // Every new context starts with the same default, and deleting it is
    // harmless.
    HDC other = CreateCompatibleDC(dc);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), initial);
    EXPECT_TRUE(DeleteObject(initial));
    EXPECT_EQ(BitmapInfo(initial).bmWidth, 1);
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(HandleTest, ABitmapLivesInOneContextAtATime) {
    HBITMAP bitmap = Load();
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(nullptr);
    HGDIOBJ firstDefault = SelectObject(first, bitmap);
    ASSERT_NE(firstDefault, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again where it is";
    EXPECT_FALSE(DeleteObject(bitmap)) << "selected bitmaps are not deleted";
    EXPECT_EQ(BitmapInfo(bitmap).bmWidth, 5);

    // Deleting the context frees the bitmap for another context, then for
    // deletion.
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(second, firstDefault), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(second));
}

TEST_F(HandleTest, DeletedObjectsStayDeadWhenTheirSlotsAreReused) {
    // Each new object of a kind takes the slot just freed by one of its kind.
    HBITMAP gone = Load();
    ASSERT_TRUE(DeleteObject(gone));
    HBITMAP fresh = Load(24, 7, 2);
    HDC goneDc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(DeleteDC(goneDc));
    HDC freshDc = CreateCompatibleDC(nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(BitmapInfo(fresh).bmWidth, 7);

    BITMAP info{};
    EXPECT_EQ(GetObjectA(gone, sizeof info, &info), 0);
    EXPECT_FALSE(DeleteObject(gone));
    EXPECT_EQ(SelectObject(freshDc, gone), nullptr);
    EXPECT_EQ(SelectObject(goneDc, fresh), nullptr);
    EXPECT_FALSE(DeleteDC(goneDc));
    EXPECT_EQ(GetDeviceCaps(goneDc, BITSPIXEL), 0);
    EXPECT_EQ(CreateCompatibleDC(goneDc), nullptr);
    RGBQUAD quad;
    EXPECT_EQ(GetDIBColorTable(goneDc, 0, 1, &quad), 0u);

    EXPECT_TRUE(DeleteDC(freshDc));
    EXPECT_TRUE(DeleteObject(fresh));
}

TEST_F(HandleTest, HandlesOfTheWrongKindOrOfNothingAreRefused) {
    HBITMAP bitmap = Load();
    HDC memory = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    Surface surface(2, 2, 32);
    int local = 0;
    const std::vector<void*> foreign = {&local, reinterpret_cast<void*>(0x1234),
                                        reinterpret_cast<void*>(~uintptr_t{0}),
                                        reinterpret_cast<void*>(uintptr_t{1} << 62 | 2)};

    BITMAP info{};
    EXPECT_EQ(GetObjectA(memory, sizeof info, &info), 0);
    EXPECT_EQ(SelectObject(memory, memory), nullptr);
    EXPECT_EQ(SelectObject(surface.dc, bitmap), nullptr) << "bitmaps go into memory contexts";
    EXPECT_EQ(SelectObject(screen, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(memory));
    EXPECT_FALSE(DeleteDC(screen)) << "screen contexts are released, not deleted";
    EXPECT_FALSE(DeleteDC(surface.dc));
    EXPECT_EQ(ReleaseDC(nullptr, memory), 0);
    DeleteSurfaceDC(memory);
    EXPECT_EQ(GetDeviceCaps(memory, PLANES), 1) << "a surface release leaves memory contexts alone";
    for (void* handle : foreign) {
        EXPECT_EQ(GetObjectA(handle, sizeof info, &info), 0);
        EXPECT_FALSE(DeleteObject(handle));
        EXPECT_FALSE(DeleteDC(static_cast<HDC>(handle)));
        EXPECT_EQ(SelectObject(memory, handle), nullptr);
        EXPECT_EQ(SelectObject(static_cast<HDC>(handle), bitmap), nullptr);
        EXPECT_EQ(GetDeviceCaps(static_cast<HDC>(handle), BITSPIXEL), 0);
        EXPECT_EQ(ReleaseDC(nullptr, static_cast<HDC>(handle)), 0);
        EXPECT_FALSE(BitBlt(static_cast<HDC>(handle), 0, 0, 1, 1, memory, 0, 0, SRCCOPY));
        DeleteSurfaceDC(static_cast<HDC>(handle));
    }
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(HandleTest, GetObjectNeedsRoomForABitmapRecord) {
    HBITMAP bitmap = Load();
    struct {
        BITMAP info;
        char more[8];
    } roomy{};
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP) - 1, &roomy.info), 0);
    EXPECT_EQ(roomy.info.bmWidth, 0);
    EXPECT_EQ(GetObjectA(bitmap, sizeof roomy, &roomy), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(roomy.info.bmWidth, 5);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(HandleTest, DibSectionsDescribeTheirRowsBottomUp) {
    struct Case {
        int bitsPerPixel;
        LONG widthBytes; // 7 pixels, rows padded to 32 bits
    };
    for (const Case& c : {Case{1, 4}, Case{4, 4}, Case{8, 8}, Case{24, 24}, Case{32, 28}}) {
        SCOPED_TRACE(c.bitsPerPixel);
        HBITMAP bitmap = Load(c.bitsPerPixel, 7, 3);
        ASSERT_NE(bitmap, nullptr);
        const BITMAP info = BitmapInfo(bitmap);
        EXPECT_EQ(info.bmWidth, 7);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_EQ(info.bmWidthBytes, c.widthBytes);
        EXPECT_EQ(info.bmPlanes, 1);
        EXPECT_EQ(info.bmBitsPixel, c.bitsPerPixel);
        EXPECT_NE(info.bmBits, nullptr);
        EXPECT_TRUE(DeleteObject(bitmap));
    }

    // Index i sits at pixel i, row by row from the top: the first stored row
    // is the bottom one (indices 10..14).
    HBITMAP bitmap = Load(8, 5, 3);
    const auto* bits = static_cast<const uint8_t*>(BitmapInfo(bitmap).bmBits);
    EXPECT_EQ(std::vector<uint8_t>(bits, bits + 5), (std::vector<uint8_t>{10, 11, 12, 13, 14}));
    EXPECT_EQ(std::vector<uint8_t>(bits + 16, bits + 21), (std::vector<uint8_t>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(HandleTest, ColourTableOfTheSelectedDibSection) {
    HBITMAP bitmap = LoadPicture(dir, Pattern(3, 2, 16), {.bitsPerPixel = 8, .colorsUsed = 16});
    HBITMAP trueColour = Load(24);
    ASSERT_NE(bitmap, nullptr);
    MemoryDC memory(bitmap);
    RGBQUAD table[256];
    std::memset(table, 0xEE, sizeof table);

    ASSERT_EQ(GetDIBColorTable(memory.dc, 0, 256, table), 16u);
    for (int i = 0; i < 16; ++i) {
        const uint32_t colour = static_cast<uint32_t>(i * 0x050301 + 0x402010);
        EXPECT_EQ(table[i].rgbRed, colour >> 16 & 0xFF);
        EXPECT_EQ(table[i].rgbGreen, colour >> 8 & 0xFF);
        EXPECT_EQ(table[i].rgbBlue, colour & 0xFF);
        EXPECT_EQ(table[i].rgbReserved, 0);
    }
    EXPECT_EQ(table[16].rgbRed, 0xEE) << "nothing past the table is written";

    EXPECT_EQ(GetDIBColorTable(memory.dc, 14, 256, table), 2u);
    EXPECT_EQ(table[0].rgbBlue, (14 * 0x050301 + 0x402010) & 0xFF);
    EXPECT_EQ(GetDIBColorTable(memory.dc, 3, 4, table), 4u);
    EXPECT_EQ(GetDIBColorTable(memory.dc, 16, 4, table), 0u);
    EXPECT_EQ(GetDIBColorTable(memory.dc, 0, 4, nullptr), 0u);
    {
        MemoryDC rgb(trueColour);
        EXPECT_EQ(GetDIBColorTable(rgb.dc, 0, 256, table), 0u) << "no table above 8 bits";
    }
    HDC empty = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDIBColorTable(empty, 0, 256, table), 0u) << "the default bitmap is no DIB section";
    DeleteDC(empty);
    Surface surface(2, 2, 8);
    EXPECT_EQ(GetDIBColorTable(surface.dc, 0, 256, table), 0u);
    DeleteObject(trueColour);
}

TEST(ScreenTest, ScreenContextReportsTheDisplayFormat) {
    const display::ScreenFormat screen = display::GetScreenFormat();
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), screen.bitsPerPixel);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), screen.width);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), screen.height);
    const bool palettised = screen.bitsPerPixel <= 8;
    EXPECT_EQ((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0, palettised);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), palettised ? 1 << screen.bitsPerPixel : 0);
    EXPECT_EQ(GetDeviceCaps(dc, 9999), 0);

    // Memory contexts describe the screen too.
    HDC memory = CreateCompatibleDC(dc);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), screen.bitsPerPixel);
    DeleteDC(memory);

    EXPECT_EQ(ReleaseDC(reinterpret_cast<HWND>(0x40), dc), 0) << "not the window it came from";
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0) << "released already";
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
}

TEST(ScreenTest, SurfaceContextReportsTheSurface) {
    Surface surface(6, 4, 8);
    EXPECT_EQ(GetDeviceCaps(surface.dc, BITSPIXEL), 8);
    EXPECT_EQ(GetDeviceCaps(surface.dc, HORZRES), 6);
    EXPECT_EQ(GetDeviceCaps(surface.dc, VERTRES), 4);
    EXPECT_EQ(GetDeviceCaps(surface.dc, RASTERCAPS), RC_PALETTE);
    EXPECT_EQ(GetDeviceCaps(surface.dc, SIZEPALETTE), 256);
    Surface rgb(6, 4, 16, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(GetDeviceCaps(rgb.dc, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(rgb.dc, RASTERCAPS), 0);
}

TEST(ScreenTest, WindowContextsNeedAWindow) {
    int notAWindow = 0;
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(&notAWindow)), nullptr);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x1234)), nullptr);
}

TEST(ScreenTest, SystemPaletteKeepsTheStaticColoursAtBothEnds) {
    HDC dc = GetDC(nullptr);
    PALETTEENTRY entries[256];
    std::memset(entries, 0xEE, sizeof entries);
    ASSERT_EQ(GetSystemPaletteEntries(dc, 0, 256, entries), 256u);

    struct Static {
        int index;
        uint32_t rgb;
    };
    const Static statics[] = {
        {0, 0x000000},   {1, 0x800000},   {2, 0x008000},   {3, 0x808000},   {4, 0x000080},
        {5, 0x800080},   {6, 0x008080},   {7, 0xC0C0C0},   {8, 0xC0DCC0},   {9, 0xA6CAF0},
        {246, 0xFFFBF0}, {247, 0xA0A0A4}, {248, 0x808080}, {249, 0xFF0000}, {250, 0x00FF00},
        {251, 0xFFFF00}, {252, 0x0000FF}, {253, 0xFF00FF}, {254, 0x00FFFF}, {255, 0xFFFFFF},
    };
    auto rgb = [](const PALETTEENTRY& e) {
        return uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
    };
    for (const Static& s : statics) {
        EXPECT_EQ(rgb(entries[s.index]), s.rgb) << "entry " << s.index;
        EXPECT_EQ(entries[s.index].peFlags, 0);
    }
    // The middle spans the colour space: its corners and a grey ramp.
    std::set<uint32_t> middle;
    for (int i = 10; i < 246; ++i)
        middle.insert(rgb(entries[i]));
    EXPECT_EQ(middle.size(), 236u) << "no colour twice in the middle";
    for (uint32_t corner : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu, 0x336699u})
        EXPECT_TRUE(middle.count(corner)) << std::hex << corner;

    PALETTEENTRY tail[8];
    EXPECT_EQ(GetSystemPaletteEntries(dc, 250, 8, tail), 6u);
    EXPECT_EQ(rgb(tail[5]), 0xFFFFFFu);
    EXPECT_EQ(GetSystemPaletteEntries(dc, 256, 8, tail), 0u);
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 0, nullptr), 256u) << "the size, when asked";
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 8, tail), 0u);
}

} // namespace
} // namespace zv::gdi::test
