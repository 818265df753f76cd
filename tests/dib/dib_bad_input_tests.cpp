#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bmp/bmp_writer.h"
#include "bmp_bytes.h"
#include "dib/dib.h"

namespace zv {
namespace {

using namespace test;
using File = std::vector<uint8_t>;

// 5 x 3, 8 bpp, four colours: small enough that every table below stays
// readable, with row padding in play.
File Palettised() {
    bmp::BmpPicture p{5, 3, {0x000000, 0x0000FF, 0x00FF00, 0xFF0000}, {}};
    for (int i = 0; i < 15; ++i)
        p.pixels.push_back(i % 4);
    return bmp::EncodeBmp(p, {.bitsPerPixel = 8, .colorsUsed = 4});
}

File Fields565() {
    const bmp::BmpPicture p{3, 2, {}, std::vector<uint32_t>(6, 0x123456)};
    return bmp::EncodeBmp(p, {.bitsPerPixel = 16,
                              .compression = bmp::BmpCompression::BitFields,
                              .redMask = 0xF800,
                              .greenMask = 0x07E0,
                              .blueMask = 0x001F});
}

// A 4 x 2 RLE8 file around the given stream, so each case shows its bytes.
File Rle8(std::vector<uint8_t> stream) {
    return InfoFile({.width = 4, .height = 2, .bitCount = 8, .compression = 1, .colorsUsed = 2},
                    Table({0x000000, 0xFFFFFF}), stream);
}

using Maker = std::function<File()>;

Maker Literal(File bytes) {
    return [=] { return bytes; };
}

Maker Patched(Maker base, size_t offset, uint32_t value, int width = 4) {
    return [=] {
        File f = base();
        if (width == 4)
            PutU32(f, offset, value);
        else
            PutU16(f, offset, value);
        return f;
    };
}

Maker KeepFirst(Maker base, size_t size) {
    return [=] {
        File f = base();
        f.resize(size);
        return f;
    };
}

struct BadCase {
    const char* name;
    std::function<File()> file;
    DibError error;
};

std::string BadCaseName(const testing::TestParamInfo<BadCase>& info) {
    return info.param.name;
}
void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

const BadCase kBadCases[] = {
    {"Empty", Literal({}), DibError::Truncated},
    {"OneByte", Literal({'B'}), DibError::Truncated},
    {"MagicOnly", Literal({'B', 'M'}), DibError::Truncated},
    {"WrongMagic", Patched(Palettised, 0, 'M' | 'B' << 8, 2), DibError::BadMagic},
    {"NotABitmapAtAll", Literal(File(64, 0x7F)), DibError::BadMagic},
    {"HeaderSizeZero", Patched(Palettised, kHeaderSize, 0), DibError::BadHeaderSize},
    {"HeaderSizeOdd", Patched(Palettised, kHeaderSize, 41), DibError::BadHeaderSize},
    {"HeaderSizeHuge", Patched(Palettised, kHeaderSize, 0xFFFFFFF0), DibError::BadHeaderSize},
    {"EndsInsideHeader", KeepFirst(Palettised, 40), DibError::Truncated},
    {"WidthZero", Patched(Palettised, kWidth, 0), DibError::BadDimensions},
    {"WidthNegative", Patched(Palettised, kWidth, static_cast<uint32_t>(-5)),
     DibError::BadDimensions},
    {"HeightZero", Patched(Palettised, kHeight, 0), DibError::BadDimensions},
    {"HeightMostNegative", Patched(Palettised, kHeight, 0x80000000), DibError::BadDimensions},
    {"WidthOverCap", Patched(Palettised, kWidth, kDibMaxDimension + 1), DibError::TooLarge},
    {"WidthHuge", Patched(Palettised, kWidth, 0x7FFFFFFF), DibError::TooLarge},
    {"TopDownHeightOverCap", Patched(Palettised, kHeight, static_cast<uint32_t>(-20000)),
     DibError::TooLarge},
    {"ZeroPlanes", Patched(Palettised, kPlanes, 0, 2), DibError::BadPlanes},
    {"TwoPlanes", Patched(Palettised, kPlanes, 2, 2), DibError::BadPlanes},
    {"DepthZero", Patched(Palettised, kBitCount, 0, 2), DibError::UnsupportedDepth},
    {"DepthTwo", Patched(Palettised, kBitCount, 2, 2), DibError::UnsupportedDepth},
    {"DepthSeven", Patched(Palettised, kBitCount, 7, 2), DibError::UnsupportedDepth},
    {"DepthSixtyFour", Patched(Palettised, kBitCount, 64, 2), DibError::UnsupportedDepth},
    {"CompressionJpeg", Patched(Palettised, kCompression, 4), DibError::UnsupportedCompression},
    {"CompressionUnknown", Patched(Palettised, kCompression, 99), DibError::UnsupportedCompression},
    {"Rle4On8Bit", Patched(Palettised, kCompression, 2), DibError::UnsupportedCompression},
    {"BitFieldsOn8Bit", Patched(Palettised, kCompression, 3), DibError::UnsupportedCompression},
    {"Rle8OnSixteenBit", Patched(Fields565, kCompression, 1), DibError::UnsupportedCompression},
    {"RleTopDown", Patched(Literal(Rle8({0x00, 0x01})), kHeight, static_cast<uint32_t>(-2)),
     DibError::UnsupportedCompression},
    {"MasksOverlap", Patched(Fields565, kAfterHeader + 4, 0xFC00), DibError::BadMasks},
    {"MaskNotContiguous", Patched(Fields565, kAfterHeader, 0xF0F0), DibError::BadMasks},
    {"MaskWiderThanPixel", Patched(Fields565, kAfterHeader + 8, 0x1001F), DibError::BadMasks},
    {"MasksCutOff", KeepFirst(Fields565, kAfterHeader + 6), DibError::Truncated},
    {"ColourTableLongerThanFile", Patched(Palettised, kColorsUsed, 0), DibError::ColorTableOverrun},
    {"ColourTableCutOff", KeepFirst(Palettised, kAfterHeader + 10), DibError::ColorTableOverrun},
    {"PixelOffsetZero", Patched(Palettised, kPixelOffset, 0), DibError::BadPixelOffset},
    {"PixelOffsetInsideTable", Patched(Palettised, kPixelOffset, kAfterHeader + 8),
     DibError::BadPixelOffset},
    {"PixelOffsetPastFile", Patched(Palettised, kPixelOffset, 100000), DibError::BadPixelOffset},
    {"PixelOffsetHuge", Patched(Palettised, kPixelOffset, 0xFFFFFFFF), DibError::BadPixelOffset},
    {"RowsCutShort", KeepFirst(Palettised, Palettised().size() - 1), DibError::PixelDataOverrun},
    {"MoreRowsThanData", Patched(Palettised, kHeight, 4), DibError::PixelDataOverrun},
    {"WiderThanData", Patched(Palettised, kWidth, 9), DibError::PixelDataOverrun},
    {"LargeWithoutData", Patched(Palettised, kWidth, kDibMaxDimension), DibError::PixelDataOverrun},
    {"RleRunPastRowEnd", Literal(Rle8({0x05, 0x01, 0x00, 0x01})), DibError::RleOverrun},
    {"RleRunsPastRowEnd", Literal(Rle8({0x03, 0x01, 0x02, 0x01, 0x00, 0x01})),
     DibError::RleOverrun},
    {"RleAbsolutePastRowEnd", Literal(Rle8({0x02, 0x01, 0x00, 0x03, 1, 1, 1, 0, 0x00, 0x01})),
     DibError::RleOverrun},
    {"RleDeltaPastRight", Literal(Rle8({0x00, 0x02, 0x05, 0x00, 0x00, 0x01})),
     DibError::RleOverrun},
    {"RleDeltaPastTop", Literal(Rle8({0x00, 0x02, 0x00, 0x03, 0x00, 0x01})), DibError::RleOverrun},
    {"RleRunAfterLastRow", Literal(Rle8({0x00, 0x00, 0x00, 0x00, 0x01, 0x01})),
     DibError::RleOverrun},
    {"RleLineEndAfterLastRow", Literal(Rle8({0x00, 0x00, 0x00, 0x00, 0x00, 0x00})),
     DibError::RleOverrun},
    {"RleAbsoluteCutOff", Literal(Rle8({0x00, 0x04, 1, 1})), DibError::Truncated},
    {"RleDeltaCutOff", Literal(Rle8({0x00, 0x02, 0x01})), DibError::Truncated},
    {"RleNoEndOfBitmap", Literal(Rle8({0x04, 0x01, 0x00, 0x00})), DibError::Truncated},
    {"RleStreamLongerThanFile", Patched(Literal(Rle8({0x00, 0x01})), kSizeImage, 3),
     DibError::PixelDataOverrun},
    {"RleDeclaredSizeEndsEarly", Patched(Literal(Rle8({0x04, 0x01, 0x00, 0x01})), kSizeImage, 2),
     DibError::Truncated},
    {"RleOverCap", Patched(Literal(Rle8({0x00, 0x01})), kWidth, kDibMaxDimension + 1),
     DibError::TooLarge},
};

class DibBadInput : public testing::TestWithParam<BadCase> {};

TEST_P(DibBadInput, IsRefusedWithItsReason) {
    const File file = GetParam().file();
    Dib dib;
    EXPECT_EQ(DecodeDib(file, dib), GetParam().error) << DibErrorName(DecodeDib(file, dib));
    EXPECT_TRUE(dib.bits.empty() && dib.colorTable.empty() && dib.width == 0 && dib.height == 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DibBadInput, testing::ValuesIn(kBadCases), BadCaseName);

// The bases themselves must decode, or the cases above prove nothing.
TEST(DibBadInputBases, AreValid) {
    Dib dib;
    EXPECT_EQ(DecodeDib(Palettised(), dib), DibError::None);
    EXPECT_EQ(DecodeDib(Fields565(), dib), DibError::None);
    EXPECT_EQ(DecodeDib(Rle8({0x04, 0x01, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x00, 0x01}), dib),
              DibError::None);
}

// A tiny RLE file may legitimately describe a large picture of index 0.
TEST(DibRle, LargestAllowedSizeFromTinyStream) {
    File f = Rle8({0x00, 0x01});
    PutU32(f, kWidth, kDibMaxDimension);
    PutU32(f, kHeight, 2);
    Dib dib;
    ASSERT_EQ(DecodeDib(f, dib), DibError::None);
    EXPECT_EQ(dib.width, kDibMaxDimension);
    EXPECT_EQ(DibPixelXrgb(dib, kDibMaxDimension - 1, 1), 0u);
}

} // namespace
} // namespace zv
