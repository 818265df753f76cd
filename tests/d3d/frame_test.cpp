// The program's frame at 640 x 480 through the MMX and the RGB device: the
// same pixels from both, the picture where the grid lies and the background
// around it.
#include "d3d_test.h"
#include "png_file.h"
#include "program_frame.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kGridPixels = kMeshQuadsPerSide * kMeshQuadPixels;
constexpr uint32_t kWhite = 0xFFFFFF;

const zv::Dib& Picture() {
    const zv::Dib& picture = ProgramPicture();
    EXPECT_EQ(picture.bitsPerPixel, 8) << "cannot read " ZV_CAN1_BMP;
    return picture;
}

// For looking at: ZV_D3D_FRAME_DUMP=<folder> writes the frames as PNG files.
void Dump(const std::string& name, const std::vector<uint32_t>& pixels, int width, int height) {
    const char* folder = std::getenv("ZV_D3D_FRAME_DUMP");
    if (folder == nullptr)
        return;
    const std::string path = std::string(folder) + "/" + name + ".png";
    EXPECT_TRUE(zv::testing::WritePng(path, pixels, width, height)) << "cannot write " << path;
}

class Frame : public Direct3DTest {
protected:
    std::vector<uint32_t> Render(const GUID& device, int width, int height,
                                 const DisplacementField& field) {
        ProgramFrame frame(directDraw.Get(), d3d.Get(), device, width, height, Picture());
        EXPECT_FALSE(frame.Failed()) << frame.Failure();
        if (frame.Failed())
            return {};
        frame.Render(field);
        return frame.Pixels();
    }
};

TEST_F(Frame, MmxAndRgbDevicesDrawTheSamePixels) {
    const DisplacementField field = RipplingField();
    const auto mmx = Render(IID_IDirect3DMMXDevice, 640, 480, field);
    const auto rgb = Render(IID_IDirect3DRGBDevice, 640, 480, field);
    ASSERT_EQ(mmx.size(), 640u * 480u);
    EXPECT_TRUE(mmx == rgb);
    Dump("frame_mmx", mmx, 640, 480);
    Dump("frame_rgb", rgb, 640, 480);

    // The warp moves the picture: it is not the frame of a still surface.
    const auto still = Render(IID_IDirect3DMMXDevice, 640, 480, DisplacementField{});
    EXPECT_FALSE(mmx == still);
}

TEST_F(Frame, TheBackgroundShowsRightOfAndBelowTheGrid) {
    const int width = 600, height = 540;
    const auto pixels = Render(IID_IDirect3DMMXDevice, width, height, RipplingField());
    ASSERT_EQ(pixels.size(), size_t{width} * height);
    Dump("frame_tall", pixels, width, height);
    int notWhite = 0, gridWhite = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool outside = x >= kGridPixels || y >= kGridPixels;
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            notWhite += outside && p != kWhite;
            gridWhite += !outside && p == kWhite;
        }
    EXPECT_EQ(notWhite, 0);
    // Inside the grid, white only where the picture has its own.
    int pictureWhite = 0;
    for (int y = 0; y < Picture().height; ++y)
        for (int x = 0; x < Picture().width; ++x)
            pictureWhite += zv::DibPixelXrgb(Picture(), x, y) == kWhite;
    const double expected = double(pictureWhite) / (Picture().width * Picture().height);
    EXPECT_NEAR(double(gridWhite) / (kGridPixels * kGridPixels), expected, 0.01);
}

TEST_F(Frame, AStillSurfaceShowsThePictureTexelForPixel) {
    const zv::Dib& picture = Picture();
    ASSERT_EQ(picture.width, 256);
    ASSERT_EQ(picture.height, 256);
    const auto pixels = Render(IID_IDirect3DMMXDevice, 640, 480, DisplacementField{});
    ASSERT_EQ(pixels.size(), 640u * 480u);
    // Pixel x of the grid samples u = x / 500, texel x * 256 / 500; rounding
    // at texel edges may take a neighbour.
    auto texel = [&](int x, int y) { return zv::DibPixelXrgb(picture, x, y); };
    int wrong = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < kGridPixels; ++x) {
            const int tx = x * 256 / 500, ty = y * 256 / 500;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = texel(std::clamp(tx + dx, 0, 255), std::clamp(ty + dy, 0, 255)) ==
                            pixels[static_cast<size_t>(y) * 640 + x];
            wrong += !found;
        }
    EXPECT_EQ(wrong, 0);
}

} // namespace
