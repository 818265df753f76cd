#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numeric>
#include <set>

#include "can_picture.h"
#include "dib/dib.h"

namespace zv {
namespace {

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint32_t> Xrgb(const Dib& dib) {
    std::vector<uint32_t> pixels(size_t{static_cast<uint32_t>(dib.width)} * dib.height);
    for (int y = 0; y < dib.height; ++y)
        DibRowToXrgb(dib, y, &pixels[size_t{static_cast<uint32_t>(y)} * dib.width]);
    return pixels;
}

TEST(CanBitmap, IsA256ColourPictureOf256By256) {
    const std::vector<uint8_t> file = ReadAll(ZEVRA_CAN_BITMAP);
    ASSERT_GE(file.size(), 54u) << ZEVRA_CAN_BITMAP;
    EXPECT_EQ(file[14], 40) << "version 3 info header";
    EXPECT_LT(file[25], 0x80) << "positive height: bottom-up rows";

    Dib dib;
    ASSERT_EQ(LoadDibFile(ZEVRA_CAN_BITMAP, dib), DibError::None);
    EXPECT_EQ(dib.width, 256);
    EXPECT_EQ(dib.height, 256);
    EXPECT_EQ(dib.bitsPerPixel, 8);
    EXPECT_EQ(dib.colorTable.size(), 256u);
    const std::set<uint8_t> used(dib.bits.begin(), dib.bits.end());
    EXPECT_GT(used.size(), 240u) << "the palette should be put to use";
}

TEST(CanBitmap, CommittedFileIsWhatTheGeneratorWrites) {
    EXPECT_TRUE(ReadAll(ZEVRA_CAN_BITMAP) == canpic::CanBitmapFile())
        << "regenerate with: make_can_bitmap data/Can1.bmp";
}

// The palettised picture against the true-colour rendering, both through the
// decoder: 8-bit and 24-bit paths must agree up to the palette's error.
TEST(CanBitmap, PaletteStaysCloseToTheTrueColourPicture) {
    Dib palettised, trueColour;
    ASSERT_EQ(LoadDibFile(ZEVRA_CAN_BITMAP, palettised), DibError::None);
    ASSERT_EQ(DecodeDib(bmp::EncodeBmp(canpic::DrawCanPicture(), {.bitsPerPixel = 24}), trueColour),
              DibError::None);
    ASSERT_EQ(trueColour.bitsPerPixel, 24);
    const std::vector<uint32_t> a = Xrgb(palettised), b = Xrgb(trueColour);
    ASSERT_EQ(a.size(), b.size());

    std::vector<int> errors;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {16, 8, 0})
            errors.push_back(std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    const double mean = std::accumulate(errors.begin(), errors.end(), 0.0) / errors.size();
    std::nth_element(errors.begin(), errors.begin() + errors.size() * 99 / 100, errors.end());
    EXPECT_LT(mean, 3.0);
    EXPECT_LE(errors[errors.size() * 99 / 100], 12);
}

} // namespace
} // namespace zv
