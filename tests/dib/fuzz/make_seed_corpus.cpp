// Writes one small bitmap of every layout the decoder reads into a folder,
// as the fuzzer's starting corpus: make_dib_seed_corpus <folder>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bmp/bmp_writer.h"

using namespace zv::bmp;

namespace {

BmpPicture Picture(int bpp) {
    BmpPicture p{7, 5, {}, {}};
    if (bpp <= 8)
        for (uint32_t i = 0; i < (1u << bpp); ++i)
            p.palette.push_back(i * 0x0A1B2C % 0x1000000);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels.push_back(bpp <= 8 ? (x / 2 + y * y) % (1u << bpp)
                                        : (x * 40u) << 16 | (y * 50u) << 8 | 99);
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    struct Seed {
        const char* name;
        BmpFormat format;
    };
    using enum BmpHeader;
    using enum BmpCompression;
    const Seed seeds[] = {
        {"bpp1", {.bitsPerPixel = 1}},
        {"bpp1_core", {.bitsPerPixel = 1, .header = Core}},
        {"bpp4_topdown", {.bitsPerPixel = 4, .topDown = true}},
        {"bpp8_short_table", {.bitsPerPixel = 8, .colorsUsed = 40}},
        {"bpp8_v5", {.bitsPerPixel = 8, .header = V5}},
        {"rle8", {.bitsPerPixel = 8, .compression = Rle8}},
        {"rle8_skip", {.bitsPerPixel = 8, .compression = Rle8, .rleSkipZero = true}},
        {"rle4", {.bitsPerPixel = 4, .compression = Rle4}},
        {"rle4_skip_v4",
         {.bitsPerPixel = 4, .header = V4, .compression = Rle4, .rleSkipZero = true}},
        {"bpp16", {.bitsPerPixel = 16}},
        {"bpp16_565",
         {.bitsPerPixel = 16,
          .compression = BitFields,
          .redMask = 0xF800,
          .greenMask = 0x7E0,
          .blueMask = 0x1F}},
        {"bpp24_core", {.bitsPerPixel = 24, .header = Core}},
        {"bpp24_topdown", {.bitsPerPixel = 24, .topDown = true}},
        {"bpp32_v4_fields",
         {.bitsPerPixel = 32,
          .header = V4,
          .compression = BitFields,
          .redMask = 0xFF,
          .greenMask = 0xFF00,
          .blueMask = 0xFF0000}},
    };
    for (const Seed& seed : seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.name + ".bmp";
        if (!WriteBinaryFile(path, EncodeBmp(Picture(seed.format.bitsPerPixel), seed.format))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
