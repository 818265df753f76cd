#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bmp/bmp_writer.h"
#include "bmp_bytes.h"
#include "dib/dib.h"

namespace zv {
namespace {

using bmp::BmpCompression;
using bmp::BmpFormat;
using bmp::BmpHeader;
using bmp::BmpPicture;
using test::Bytes;

// Distinct colours for every index, so comparing colours compares indices.
uint32_t PaletteColour(uint32_t i) {
    return (i * 0x010305u + 0x203040u) & 0xFFFFFF;
}

BmpPicture IndexedPicture(int width, int height, int bpp, uint32_t colours) {
    BmpPicture p{width, height, {}, {}};
    for (uint32_t i = 0; i < (1u << bpp); ++i)
        p.palette.push_back(PaletteColour(i));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels.push_back((x * 7 + y * 3 + x * y) % colours);
    return p;
}

// Long runs, short literals, alternating pairs, zero stretches longer than
// 255, an all-zero row between others and zeros up to the end, so RLE
// encoding uses every kind of run and escape (delta across rows included).
BmpPicture RlePicture(int bpp) {
    const int width = 300, height = 8;
    const uint32_t top = (1u << bpp) - 1;
    BmpPicture p{width, height, {}, std::vector<uint32_t>(width * height, 0)};
    for (uint32_t i = 0; i <= top; ++i)
        p.palette.push_back(PaletteColour(i));
    auto set = [&](int x, int y, uint32_t v) { p.pixels[y * width + x] = v; };
    for (int x = 0; x < width; ++x) {
        if (x < 100)
            set(x, 0, x % 2 ? 5 : 9);
        set(x, 2, x < 260 ? 3 : (x % 5) % (top + 1));
        set(x, 3, (x / 3) % 2 ? 1 : 2);
        if (x >= 290)
            set(x, 7, 4);
    }
    set(150, 1, 6);
    for (int x = 50; x < 59; ++x)
        set(x, 4, (x * 5 + 1) % (top + 1));
    set(1, 6, 7);
    set(40, 6, 8);
    return p;
}

// Channel values that survive every mask width used below unchanged would be
// too few to find mistakes, so the expectation reduces each channel the way a
// bit-field reader must: keep the top bits, then repeat them.
uint32_t ThroughField(uint32_t value8, uint32_t mask) {
    const int bits = std::popcount(mask);
    if (bits >= 8)
        return value8;
    const uint32_t kept = value8 >> (8 - bits);
    return (kept << (8 - bits) | kept >> (2 * bits - 8)) & 0xFF;
}

BmpPicture RgbPicture(int width, int height) {
    BmpPicture p{width, height, {}, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels.push_back(((x * 57 + y * 13) & 0xFF) << 16 | ((x * 91 + y * 151) & 0xFF) << 8 |
                               ((255 - x * 31 - y * 17) & 0xFF));
    return p;
}

struct Variant {
    const char* name;
    BmpPicture picture;
    BmpFormat format;
};

std::string VariantName(const testing::TestParamInfo<Variant>& info) {
    return info.param.name;
}
void PrintTo(const Variant& v, std::ostream* os) {
    *os << v.name;
}

std::vector<Variant> Variants() {
    using enum BmpHeader;
    using enum BmpCompression;
    const BmpPicture one = IndexedPicture(5, 3, 1, 2);
    const BmpPicture four = IndexedPicture(5, 3, 4, 16);
    const BmpPicture eight = IndexedPicture(13, 3, 8, 256);
    const BmpPicture rgb = RgbPicture(5, 3);
    return {
        {"Bpp1", one, {.bitsPerPixel = 1}},
        {"Bpp1TopDown", one, {.bitsPerPixel = 1, .topDown = true}},
        {"Bpp1Core", one, {.bitsPerPixel = 1, .header = Core}},
        {"Bpp1Wide", IndexedPicture(33, 2, 1, 2), {.bitsPerPixel = 1}},
        {"Bpp4", four, {.bitsPerPixel = 4}},
        {"Bpp4Core", four, {.bitsPerPixel = 4, .header = Core}},
        {"Bpp4ShortTable", IndexedPicture(5, 3, 4, 5), {.bitsPerPixel = 4, .colorsUsed = 5}},
        {"Bpp8", eight, {.bitsPerPixel = 8}},
        {"Bpp8TopDown", eight, {.bitsPerPixel = 8, .topDown = true}},
        {"Bpp8Core", eight, {.bitsPerPixel = 8, .header = Core}},
        {"Bpp8V4", eight, {.bitsPerPixel = 8, .header = V4}},
        {"Bpp8V5TopDown", eight, {.bitsPerPixel = 8, .header = V5, .topDown = true}},
        {"Bpp8ShortTable", IndexedPicture(5, 3, 8, 7), {.bitsPerPixel = 8, .colorsUsed = 7}},
        {"Rle8", RlePicture(8), {.bitsPerPixel = 8, .compression = Rle8}},
        {"Rle8SkipZero",
         RlePicture(8),
         {.bitsPerPixel = 8, .compression = Rle8, .rleSkipZero = true}},
        {"Rle8V5ShortTable",
         RlePicture(4),
         {.bitsPerPixel = 8,
          .header = V5,
          .compression = Rle8,
          .colorsUsed = 16,
          .rleSkipZero = true}},
        {"Rle4", RlePicture(4), {.bitsPerPixel = 4, .compression = Rle4}},
        {"Rle4SkipZero",
         RlePicture(4),
         {.bitsPerPixel = 4, .compression = Rle4, .rleSkipZero = true}},
        {"Rle4V4", RlePicture(4), {.bitsPerPixel = 4, .header = V4, .compression = Rle4}},
        {"Rle4OddWidth", IndexedPicture(7, 5, 4, 16), {.bitsPerPixel = 4, .compression = Rle4}},
        {"Bpp16", rgb, {.bitsPerPixel = 16}},
        {"Bpp16TopDown", rgb, {.bitsPerPixel = 16, .topDown = true}},
        {"Bpp16Fields565",
         rgb,
         {.bitsPerPixel = 16,
          .compression = BitFields,
          .redMask = 0xF800,
          .greenMask = 0x07E0,
          .blueMask = 0x001F}},
        {"Bpp16Fields565V4",
         rgb,
         {.bitsPerPixel = 16,
          .header = V4,
          .compression = BitFields,
          .redMask = 0xF800,
          .greenMask = 0x07E0,
          .blueMask = 0x001F}},
        {"Bpp16Fields444V5",
         rgb,
         {.bitsPerPixel = 16,
          .header = V5,
          .compression = BitFields,
          .redMask = 0x0F00,
          .greenMask = 0x00F0,
          .blueMask = 0x000F}},
        {"Bpp24", rgb, {.bitsPerPixel = 24}},
        {"Bpp24TopDown", rgb, {.bitsPerPixel = 24, .topDown = true}},
        {"Bpp24Core", rgb, {.bitsPerPixel = 24, .header = Core}},
        {"Bpp24V5", rgb, {.bitsPerPixel = 24, .header = V5}},
        {"Bpp32", rgb, {.bitsPerPixel = 32}},
        {"Bpp32TopDown", rgb, {.bitsPerPixel = 32, .topDown = true}},
        {"Bpp32FieldsSwapped",
         rgb,
         {.bitsPerPixel = 32,
          .compression = BitFields,
          .redMask = 0x0000FF,
          .greenMask = 0x00FF00,
          .blueMask = 0xFF0000}},
        {"Bpp32Fields101010V4",
         rgb,
         {.bitsPerPixel = 32,
          .header = V4,
          .compression = BitFields,
          .redMask = 0x3FF00000,
          .greenMask = 0x000FFC00,
          .blueMask = 0x000003FF}},
    };
}

class DibRoundTrip : public testing::TestWithParam<Variant> {};

TEST_P(DibRoundTrip, DecodesToThePictureItWasWrittenFrom) {
    const Variant& v = GetParam();
    const std::vector<uint8_t> file = bmp::EncodeBmp(v.picture, v.format);
    Dib dib;
    ASSERT_EQ(DecodeDib(file, dib), DibError::None);

    EXPECT_EQ(dib.width, v.picture.width);
    EXPECT_EQ(dib.height, v.picture.height);
    EXPECT_EQ(dib.bitsPerPixel, v.format.bitsPerPixel);
    EXPECT_EQ(dib.stride, (v.picture.width * v.format.bitsPerPixel + 31) / 32 * 4);
    ASSERT_EQ(dib.bits.size(), size_t{dib.stride} * dib.height);

    const bool indexed = v.format.bitsPerPixel <= 8;
    const size_t tableSize = !indexed              ? 0
                             : v.format.colorsUsed ? v.format.colorsUsed
                                                   : 1u << v.format.bitsPerPixel;
    ASSERT_EQ(dib.colorTable.size(), tableSize);
    for (size_t i = 0; i < tableSize; ++i) {
        const DibRgbQuad& q = dib.colorTable[i];
        EXPECT_EQ(uint32_t{q.red} << 16 | q.green << 8 | q.blue, v.picture.palette[i])
            << "entry " << i;
        EXPECT_EQ(q.reserved, 0);
    }

    uint32_t red = 0, green = 0, blue = 0;
    if (v.format.compression == BmpCompression::BitFields) {
        red = v.format.redMask, green = v.format.greenMask, blue = v.format.blueMask;
    } else if (v.format.bitsPerPixel == 16) {
        red = 0x7C00, green = 0x03E0, blue = 0x001F;
    } else if (v.format.bitsPerPixel == 32) {
        red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    }
    EXPECT_EQ(dib.redMask, red);
    EXPECT_EQ(dib.greenMask, green);
    EXPECT_EQ(dib.blueMask, blue);

    const bool masked = v.format.bitsPerPixel == 16 || v.format.bitsPerPixel == 32;
    std::vector<uint32_t> row(dib.width);
    for (int y = 0; y < dib.height; ++y) {
        DibRowToXrgb(dib, y, row.data());
        for (int x = 0; x < dib.width; ++x) {
            const uint32_t source = v.picture.at(x, y);
            uint32_t expected = indexed ? v.picture.palette[source] : source;
            if (masked)
                expected = ThroughField(source >> 16 & 0xFF, red) << 16 |
                           ThroughField(source >> 8 & 0xFF, green) << 8 |
                           ThroughField(source & 0xFF, blue);
            ASSERT_EQ(row[x], expected) << "pixel " << x << "," << y;
            ASSERT_EQ(DibPixelXrgb(dib, x, y), expected) << "pixel " << x << "," << y;
        }
        const size_t usedBytes =
            (size_t{static_cast<uint32_t>(dib.width)} * dib.bitsPerPixel + 7) / 8;
        for (size_t i = usedBytes; i < dib.stride; ++i)
            EXPECT_EQ(dib.Row(y)[i], 0) << "padding of row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, DibRoundTrip, testing::ValuesIn(Variants()), VariantName);

// Every proper prefix of a valid file must be refused, whatever the layout.
TEST_P(DibRoundTrip, RefusesEveryTruncation) {
    const Variant& v = GetParam();
    const std::vector<uint8_t> file = bmp::EncodeBmp(v.picture, v.format);
    for (size_t size = 0; size < file.size(); ++size) {
        Dib dib;
        ASSERT_NE(DecodeDib(std::span(file).first(size), dib), DibError::None)
            << "prefix of " << size << " bytes";
        EXPECT_TRUE(dib.bits.empty() && dib.colorTable.empty() && dib.width == 0);
    }
}

// Fixtures below are assembled by hand, so they pin the decoder to the file
// format rather than to our own writer.
std::vector<uint32_t> AllPixels(const Dib& dib) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x)
            pixels.push_back(DibPixelXrgb(dib, x, y));
    return pixels;
}

std::vector<uint8_t> TwoByTwo24() {
    Bytes b;
    b.u8({'B', 'M'}).u32(70).u32(0).u32(54);
    b.u32(40).u32(2).u32(2).u16(1).u16(24).u32(0).u32(16).u32(2835).u32(2835).u32(0).u32(0);
    b.u8({0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0, 0}); // bottom row: blue, green
    b.u8({0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}); // top row: red, white
    return b.data;
}

TEST(DibFixture, TwentyFourBitRowsAreBottomUpAndBgr) {
    Dib dib;
    ASSERT_EQ(DecodeDib(TwoByTwo24(), dib), DibError::None);
    EXPECT_EQ(AllPixels(dib), (std::vector<uint32_t>{0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00}));
}

TEST(DibFixture, WriterProducesTheCanonicalLayout) {
    const BmpPicture picture{2, 2, {}, {0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00}};
    EXPECT_EQ(bmp::EncodeBmp(picture, {.bitsPerPixel = 24}), TwoByTwo24());
}

TEST(DibFixture, Rle8RunsAbsoluteDeltaAndEscapes) {
    const std::vector<uint8_t> stream = {
        0x03, 0x01, 0x00, 0x03,
        0x02, 0x03, 0x02, 0x00, // row 0: run of three 1s, absolute 2 3 2 padded
        0x00, 0x00,             // end of line
        0x00, 0x02, 0x02, 0x01, // delta: skip row 1 and two pixels of row 2
        0x02, 0x03, 0x00, 0x00, // two 3s, end of line
        0x01, 0x01, 0x00, 0x01, // row 3: one 1, end of bitmap
    };
    Dib dib;
    ASSERT_EQ(
        DecodeDib(test::InfoFile(
                      {.width = 6, .height = 4, .bitCount = 8, .compression = 1, .colorsUsed = 4},
                      test::Table({0x000000, 0x102030, 0x405060, 0x708090}), stream),
                  dib),
        DibError::None);
    const uint32_t o = 0, a = 0x102030, b = 0x405060, c = 0x708090;
    EXPECT_EQ(AllPixels(dib), (std::vector<uint32_t>{a, o, o, o, o, o, //
                                                     o, o, c, c, o, o, //
                                                     o, o, o, o, o, o, //
                                                     a, a, a, b, c, b}));
    EXPECT_EQ(dib.bitsPerPixel, 8);
    EXPECT_EQ(dib.colorTable.size(), 4u);
}

TEST(DibFixture, Rle4AlternatingRunsAndOddAbsolute) {
    const std::vector<uint8_t> stream = {
        0x05, 0x12, 0x00, 0x00,             // row 0: 1 2 1 2 1, end of line
        0x00, 0x03, 0x31, 0x20, 0x00, 0x01, // row 1: absolute 3 1 2, end of bitmap
    };
    Dib dib;
    ASSERT_EQ(
        DecodeDib(test::InfoFile(
                      {.width = 5, .height = 2, .bitCount = 4, .compression = 2, .colorsUsed = 4},
                      test::Table({0x000000, 0x111111, 0x222222, 0x333333}), stream),
                  dib),
        DibError::None);
    EXPECT_EQ(dib.bitsPerPixel, 4);
    EXPECT_EQ(AllPixels(dib),
              (std::vector<uint32_t>{0x333333, 0x111111, 0x222222, 0, 0, //
                                     0x111111, 0x222222, 0x111111, 0x222222, 0x111111}));
}

TEST(DibFixture, CoreHeaderWithThreeByteTable) {
    Bytes b;
    b.u8({'B', 'M'}).u32(14 + 12 + 6 + 8).u32(0).u32(14 + 12 + 6);
    b.u32(12).u16(3).u16(2).u16(1).u16(1);
    b.u8({0x10, 0x20, 0x30, 0xC0, 0xB0, 0xA0}); // black-ish, white-ish as blue, green, red
    b.u8({0xA0, 0, 0, 0, 0x40, 0, 0, 0});       // bottom row 1 0 1, top row 0 1 0
    Dib dib;
    ASSERT_EQ(DecodeDib(b.data, dib), DibError::None);
    EXPECT_EQ(AllPixels(dib),
              (std::vector<uint32_t>{0x302010, 0xA0B0C0, 0x302010, 0xA0B0C0, 0x302010, 0xA0B0C0}));
}

TEST(DibFixture, BitFieldChannelsScaleToFullRange) {
    struct Case {
        uint16_t pixel;
        uint32_t xrgb;
    };
    const Case cases[] = {
        {0xF800, 0xFF0000}, {0x07E0, 0x00FF00}, {0x001F, 0x0000FF}, {0x8410, 0x848284},
        {0x0821, 0x080408}, {0xFFFF, 0xFFFFFF}, {0x0000, 0x000000},
    };
    Bytes masks, pixels;
    masks.u32(0xF800).u32(0x07E0).u32(0x001F);
    for (const Case& c : cases)
        pixels.u16(c.pixel);
    pixels.u16(0); // row padding
    Dib dib;
    ASSERT_EQ(DecodeDib(test::InfoFile({.width = static_cast<int32_t>(std::size(cases)),
                                        .height = 1,
                                        .bitCount = 16,
                                        .compression = 3,
                                        .colorsUsed = 0},
                                       masks.data, pixels.data),
                        dib),
              DibError::None);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(DibPixelXrgb(dib, static_cast<int>(i), 0), cases[i].xrgb)
            << std::hex << cases[i].pixel;
}

TEST(DibFixture, PaddingBitsFromTheFileAreCleared) {
    Dib dib;
    ASSERT_EQ(DecodeDib(test::InfoFile({.width = 3, .height = 1, .bitCount = 1, .colorsUsed = 2},
                                       test::Table({0x000000, 0xFFFFFF}), {0xBF, 0xFF, 0xFF, 0xFF}),
                        dib),
              DibError::None);
    EXPECT_EQ((std::vector<uint8_t>(dib.bits.begin(), dib.bits.end())),
              (std::vector<uint8_t>{0xA0, 0, 0, 0}));
    EXPECT_EQ(AllPixels(dib), (std::vector<uint32_t>{0xFFFFFF, 0x000000, 0xFFFFFF}));
}

TEST(DibFixture, ColoursUsedBeyondTheDepthKeepsTheFullTable) {
    Dib dib;
    ASSERT_EQ(DecodeDib(test::InfoFile({.width = 2, .height = 1, .bitCount = 1, .colorsUsed = 1000},
                                       test::Table({0x010203, 0xA0B0C0}), {0x40, 0, 0, 0}),
                        dib),
              DibError::None);
    ASSERT_EQ(dib.colorTable.size(), 2u);
    EXPECT_EQ(AllPixels(dib), (std::vector<uint32_t>{0x010203, 0xA0B0C0}));
}

TEST(DibFixture, IndexPastAShortTableReadsBlack) {
    Dib dib;
    ASSERT_EQ(DecodeDib(test::InfoFile({.width = 2, .height = 1, .bitCount = 8, .colorsUsed = 1},
                                       test::Table({0xABCDEF}), {0, 200, 0, 0}),
                        dib),
              DibError::None);
    EXPECT_EQ(DibPixelXrgb(dib, 0, 0), 0xABCDEFu);
    EXPECT_EQ(DibPixelXrgb(dib, 1, 0), 0u);
}

class DibFile : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("dib_tests_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(DibFile, LoadsAValidFile) {
    const auto path = dir_ / "ok.bmp";
    ASSERT_TRUE(bmp::WriteBinaryFile(path.string(), TwoByTwo24()));
    Dib dib;
    ASSERT_EQ(LoadDibFile(path, dib), DibError::None);
    EXPECT_EQ(AllPixels(dib), (std::vector<uint32_t>{0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00}));
}

TEST_F(DibFile, FailsCleanlyOnPathsThatAreNotBitmaps) {
    ASSERT_TRUE(bmp::WriteBinaryFile((dir_ / "empty.bmp").string(), {}));
    ASSERT_TRUE(bmp::WriteBinaryFile((dir_ / "file").string(), TwoByTwo24()));
    const struct {
        std::filesystem::path path;
        DibError error;
    } cases[] = {
        {dir_ / "missing.bmp", DibError::Unreadable},
        {dir_, DibError::Unreadable},
        {dir_ / "file" / "child.bmp", DibError::Unreadable},
        {"/dev/null", DibError::Unreadable},
        {"", DibError::Unreadable},
        {dir_ / "empty.bmp", DibError::Truncated},
    };
    for (const auto& c : cases) {
        Dib dib;
        dib.width = 99;
        EXPECT_EQ(LoadDibFile(c.path, dib), c.error) << c.path;
        EXPECT_EQ(dib.width, 0) << c.path;
    }
}

} // namespace
} // namespace zv
