// LoadImageA for bitmaps: the picture beside the program, every layout the
// writer produces, the resource table, and files that must be refused.
#include "gdi_test_support.h"

#include <dib/dib.h>
#include <platform/display.h>
#include <platform/kernel.h>
#include <platform/rsrc.h>

#include <unistd.h>

#include <climits>
#include <fstream>
#include <functional>

namespace zv::gdi::test {
namespace {

const std::vector<uint8_t>& PatternFile() {
    static const std::vector<uint8_t> file = bmp::EncodeBmp(Pattern(6, 5, 16), {.bitsPerPixel = 4});
    return file;
}

const rsrc::BitmapResource kBitmaps[] = {{"Pattern.bmp", PatternFile()}};

} // namespace
} // namespace zv::gdi::test

// The test program carries a resource table of its own, with one bitmap.
extern "C" __attribute__((visibility("default"))) const rsrc::ResourceTable ModuleResources = {
    0x0411, {}, {}, {}, nullptr, zv::gdi::test::kBitmaps};

namespace zv::gdi::test {
namespace {

// The decoded picture through a 32-bit surface, as 0x00RRGGBB.
std::vector<uint32_t> ThroughSurface(HBITMAP bitmap) {
    const BITMAP info = BitmapInfo(bitmap);
    Surface surface(info.bmWidth, info.bmHeight, 32);
    MemoryDC memory(bitmap);
    EXPECT_TRUE(BitBlt(surface.dc, 0, 0, info.bmWidth, info.bmHeight, memory.dc, 0, 0, SRCCOPY));
    std::vector<uint32_t> pixels;
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            pixels.push_back(surface.Pixel32(x, y) & 0xFFFFFF);
    return pixels;
}

std::vector<uint32_t> Decoded(const Dib& dib) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x)
            pixels.push_back(DibPixelXrgb(dib, x, y));
    return pixels;
}

// Runs a test from another working directory and comes back.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

TEST(LoadImageTest, LoadsThePictureFromTheWorkingDirectory) {
    Dib dib;
    ASSERT_EQ(LoadDibFile(ZEVRA_DATA_DIR "/Can1.bmp", dib), DibError::None);
    WorkingDirectory in(ZEVRA_DATA_DIR);
    auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, "Can1.bmp", IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    const BITMAP info = BitmapInfo(bitmap);
    EXPECT_EQ(info.bmWidth, 256);
    EXPECT_EQ(info.bmHeight, 256);
    EXPECT_EQ(info.bmBitsPixel, 8);
    EXPECT_EQ(info.bmWidthBytes, 256);

    RGBQUAD table[256];
    std::vector<PALETTEENTRY> palette;
    {
        MemoryDC memory(bitmap);
        ASSERT_EQ(GetDIBColorTable(memory.dc, 0, 256, table), 256u);
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(table[i].rgbRed, dib.colorTable[i].red) << i;
        EXPECT_EQ(table[i].rgbGreen, dib.colorTable[i].green) << i;
        EXPECT_EQ(table[i].rgbBlue, dib.colorTable[i].blue) << i;
        palette.push_back({table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0});
    }
    EXPECT_EQ(ThroughSurface(bitmap), Decoded(dib));

    // A palettised texture made from the table gets the file's own indices.
    Surface texture(256, 256, 8, 0, 0, 0, palette);
    {
        MemoryDC memory(bitmap);
        EXPECT_TRUE(BitBlt(texture.dc, 0, 0, 256, 256, memory.dc, 0, 0, SRCCOPY));
    }
    for (int y = 0; y < 256; ++y)
        ASSERT_EQ(texture.RowBytes(y, 256), std::vector<uint8_t>(dib.Row(y), dib.Row(y) + 256))
            << "row " << y;
    EXPECT_TRUE(DeleteObject(bitmap));
}

struct Variant {
    const char* name;
    bmp::BmpPicture picture;
    bmp::BmpFormat format;
};

TEST(LoadImageTest, LoadsEveryLayoutWithItsDepthAndColours) {
    using bmp::BmpCompression;
    using bmp::BmpHeader;
    const Variant variants[] = {
        {"1-bit", Pattern(13, 3, 2), {.bitsPerPixel = 1}},
        {"1-bit core", Pattern(13, 3, 2), {.bitsPerPixel = 1, .header = BmpHeader::Core}},
        {"4-bit", Pattern(9, 4, 16), {.bitsPerPixel = 4}},
        {"4-bit, 5 colours", Pattern(9, 4, 5), {.bitsPerPixel = 4, .colorsUsed = 5}},
        {"4-bit RLE", Pattern(9, 4, 16), {.bitsPerPixel = 4, .compression = BmpCompression::Rle4}},
        {"8-bit", Pattern(7, 5, 256), {.bitsPerPixel = 8}},
        {"8-bit top-down", Pattern(7, 5, 256), {.bitsPerPixel = 8, .topDown = true}},
        {"8-bit version 5", Pattern(7, 5, 256), {.bitsPerPixel = 8, .header = BmpHeader::V5}},
        {"8-bit, 40 colours", Pattern(7, 5, 40), {.bitsPerPixel = 8, .colorsUsed = 40}},
        {"8-bit RLE", Pattern(7, 5, 256),
         {.bitsPerPixel = 8, .compression = BmpCompression::Rle8, .rleSkipZero = true}},
        {"16-bit 555", Pattern(5, 3, 0), {.bitsPerPixel = 16}},
        {"16-bit 565", Pattern(5, 3, 0),
         {.bitsPerPixel = 16, .compression = BmpCompression::BitFields, .redMask = 0xF800,
          .greenMask = 0x07E0, .blueMask = 0x001F}},
        {"16-bit 565 version 4", Pattern(5, 3, 0),
         {.bitsPerPixel = 16, .header = BmpHeader::V4, .compression = BmpCompression::BitFields,
          .redMask = 0xF800, .greenMask = 0x07E0, .blueMask = 0x001F}},
        {"24-bit", Pattern(5, 3, 0), {.bitsPerPixel = 24}},
        {"24-bit core", Pattern(5, 3, 0), {.bitsPerPixel = 24, .header = BmpHeader::Core}},
        {"24-bit top-down", Pattern(5, 3, 0), {.bitsPerPixel = 24, .topDown = true}},
        {"32-bit", Pattern(5, 3, 0), {.bitsPerPixel = 32}},
        {"32-bit BGR fields", Pattern(5, 3, 0),
         {.bitsPerPixel = 32, .compression = BmpCompression::BitFields, .redMask = 0x0000FF,
          .greenMask = 0x00FF00, .blueMask = 0xFF0000}},
        {"32-bit 10-bit fields", Pattern(5, 3, 0),
         {.bitsPerPixel = 32, .compression = BmpCompression::BitFields, .redMask = 0x3FF00000,
          .greenMask = 0x000FFC00, .blueMask = 0x000003FF}},
    };
    TempDir dir;
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const std::vector<uint8_t> file = bmp::EncodeBmp(v.picture, v.format);
        Dib dib;
        ASSERT_EQ(DecodeDib(file, dib), DibError::None);
        HBITMAP bitmap = LoadPicture(dir, v.picture, v.format);
        ASSERT_NE(bitmap, nullptr);
        const BITMAP info = BitmapInfo(bitmap);
        EXPECT_EQ(info.bmBitsPixel, dib.bitsPerPixel);
        EXPECT_EQ(info.bmWidth, v.picture.width);
        EXPECT_EQ(info.bmHeight, v.picture.height);
        EXPECT_EQ(ThroughSurface(bitmap), Decoded(dib));
        if (v.picture.indexed()) {
            MemoryDC memory(bitmap);
            RGBQUAD table[256];
            EXPECT_EQ(GetDIBColorTable(memory.dc, 0, 256, table), dib.colorTable.size());
        }
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST(LoadImageTest, WithoutDibSectionGivesABitmapInTheScreenFormat) {
    TempDir dir;
    const bmp::BmpPicture picture = Pattern(6, 4, 256);
    ASSERT_TRUE(bmp::WriteBinaryFile(dir.File("p.bmp"), bmp::EncodeBmp(picture, {.bitsPerPixel = 8})));
    HBITMAP device = LoadBitmapFile(dir.File("p.bmp"), LR_LOADFROMFILE);
    HBITMAP section = LoadBitmapFile(dir.File("p.bmp"));
    ASSERT_NE(device, nullptr);
    const display::ScreenFormat screen = display::GetScreenFormat();
    const BITMAP info = BitmapInfo(device);
    EXPECT_EQ(info.bmBitsPixel, screen.bitsPerPixel);
    EXPECT_EQ(info.bmBits, nullptr) << "device bitmaps do not hand out their bits";
    EXPECT_EQ(info.bmWidth, 6);
    if (screen.bitsPerPixel >= 24) {
        EXPECT_EQ(ThroughSurface(device), ThroughSurface(section));
    }
    EXPECT_TRUE(DeleteObject(device));
    EXPECT_TRUE(DeleteObject(section));
}

TEST(LoadImageTest, ResolvesRelativeNamesFromTheWorkingDirectory) {
    TempDir dir;
    std::filesystem::create_directory(dir.path / "sub");
    const auto file = bmp::EncodeBmp(Pattern(3, 2, 0), {.bitsPerPixel = 24});
    ASSERT_TRUE(bmp::WriteBinaryFile(dir.File("sub/rel.bmp"), file));
    WorkingDirectory in(dir.path);
    HBITMAP nested = LoadBitmapFile("sub/rel.bmp");
    EXPECT_NE(nested, nullptr);
    EXPECT_EQ(LoadBitmapFile("rel.bmp"), nullptr);
    WorkingDirectory deeper(dir.path / "sub");
    HBITMAP here = LoadBitmapFile("rel.bmp");
    EXPECT_NE(here, nullptr);
    DeleteObject(nested);
    DeleteObject(here);
}

TEST(LoadImageTest, FindsBitmapResourcesOfTheModuleByName) {
    HMODULE self = GetModuleHandleA(nullptr);
    for (const char* name : {"Pattern.bmp", "PATTERN.BMP"}) {
        SCOPED_TRACE(name);
        auto bitmap = static_cast<HBITMAP>(
            LoadImageA(self, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr);
        const BITMAP info = BitmapInfo(bitmap);
        EXPECT_EQ(info.bmBitsPixel, 4);
        Dib dib;
        ASSERT_EQ(DecodeDib(PatternFile(), dib), DibError::None);
        EXPECT_EQ(ThroughSurface(bitmap), Decoded(dib));
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    // The picture is a file, never a resource, even where the file exists.
    WorkingDirectory in(ZEVRA_DATA_DIR);
    EXPECT_EQ(LoadImageA(self, "Can1.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "Pattern.bmp", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    int notAModule = 0;
    EXPECT_EQ(LoadImageA(reinterpret_cast<HINSTANCE>(&notAModule), "Pattern.bmp", IMAGE_BITMAP, 0,
                         0, LR_CREATEDIBSECTION),
              nullptr);
    EXPECT_EQ(LoadImageA(self, reinterpret_cast<LPCSTR>(uintptr_t{128}), IMAGE_BITMAP, 0, 0,
                         LR_CREATEDIBSECTION),
              nullptr)
        << "numeric names";
}

void Patch32(std::vector<uint8_t>& file, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(LoadImageTest, RefusesWhatIsNotABitmapItCanRead) {
    const std::vector<uint8_t> valid = bmp::EncodeBmp(Pattern(4, 4, 0), {.bitsPerPixel = 24});
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make; // null: nothing at the path
        int cx = 0;
        UINT type = IMAGE_BITMAP;
    };
    auto write = [](std::vector<uint8_t> bytes) {
        return [bytes](const std::string& path) { ASSERT_TRUE(bmp::WriteBinaryFile(path, bytes)); };
    };
    auto patched = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> bytes = valid;
        Patch32(bytes, offset, value);
        return write(bytes);
    };
    std::vector<uint8_t> badMagic = valid;
    badMagic[0] = 'M';
    badMagic[1] = 'B';
    const Case cases[] = {
        {"missing file", nullptr},
        {"directory", [](const std::string& path) { std::filesystem::create_directory(path); }},
        {"empty file", [](const std::string& path) { std::ofstream{path}; }},
        {"inside the header", write({valid.begin(), valid.begin() + 20})},
        {"inside the pixels", write({valid.begin(), valid.end() - 7})},
        {"wrong magic", write(badMagic)},
        {"absurd width", patched(18, 1'000'000'000)},
        {"negative width", patched(18, 0xFFFFFFFF)},
        {"zero height", patched(22, 0)},
        {"absurd height", patched(22, 0x80000000)},
        {"7 bits per pixel", patched(28, 7 | 1 << 16)},
        {"unknown compression", patched(30, 9)},
        {"pixels past the end", patched(10, 0x7FFFFFFF)},
        {"stretched", write(valid), 8},
        {"an icon", write(valid), 0, 1},
    };
    TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("case" + std::to_string(n++) + ".bmp");
        if (c.make)
            c.make(path);
        EXPECT_EQ(LoadImageA(nullptr, path.c_str(), c.type, c.cx, 0,
                             LR_LOADFROMFILE | LR_CREATEDIBSECTION),
                  nullptr);
    }
    EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);

    // The same file at its own size loads.
    write(valid)(dir.File("valid.bmp"));
    HANDLE own = LoadImageA(nullptr, dir.File("valid.bmp").c_str(), IMAGE_BITMAP, 4, 4,
                            LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    EXPECT_NE(own, nullptr);
    EXPECT_TRUE(DeleteObject(own));
}

} // namespace
} // namespace zv::gdi::test
