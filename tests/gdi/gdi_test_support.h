// Pixels the tests own, wrapped in surface contexts, and bitmaps loaded the
// way the program loads them: from files written for the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp/bmp_writer.h"
#include <platform/gdi.h>
#include <platform/gdi_surface.h>
#include <platform/user.h>

namespace zv::gdi::test {

inline constexpr uint8_t kUntouched = 0xCD;

// A surface with one spare word past every row, so writes beyond the block
// show up as changed padding.
class Surface {
public:
    Surface(int width, int height, int bitsPerPixel, DWORD red = 0, DWORD green = 0,
            DWORD blue = 0, std::vector<PALETTEENTRY> palette = {})
        : width(width), height(height), bitsPerPixel(bitsPerPixel),
          pitch(((width * bitsPerPixel + 7) / 8 + 3) / 4 * 4 + 4),
          bytes(static_cast<size_t>(pitch) * height, kUntouched), palette_(std::move(palette)) {
        dc = CreateSurfaceDC({bytes.data(), pitch, width, height, bitsPerPixel, red, green, blue,
                              palette_.empty() ? nullptr : palette_.data(),
                              static_cast<int>(palette_.size())});
    }
    ~Surface() { DeleteSurfaceDC(dc); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    uint8_t* Row(int y) { return bytes.data() + static_cast<size_t>(y) * pitch; }
    uint32_t Pixel32(int x, int y) {
        uint32_t value;
        std::memcpy(&value, Row(y) + 4 * x, 4);
        return value;
    }
    // Little-endian bytes of one row's first n bytes.
    std::vector<uint8_t> RowBytes(int y, int n) { return {Row(y), Row(y) + n}; }

    int width, height, bitsPerPixel, pitch;
    std::vector<uint8_t> bytes;
    HDC dc = nullptr;

private:
    std::vector<PALETTEENTRY> palette_;
};

// A fresh folder per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // Parameterised tests have slashes in their names.
        std::string name = std::string("zv_gdi_") + test->test_suite_name() + "_" + test->name() +
                           "_" + std::to_string(getpid());
        std::replace(name.begin(), name.end(), '/', '_');
        path = std::filesystem::path(::testing::TempDir()) / name;
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

// A picture with `colours` table entries (0: true colour) whose neighbouring
// pixels differ. Index of pixel (x, y): (y * width + x) % colours.
inline bmp::BmpPicture Pattern(int width, int height, int colours) {
    bmp::BmpPicture p{width, height, {}, {}};
    for (int i = 0; i < colours; ++i)
        p.palette.push_back(static_cast<uint32_t>(i * 0x050301 + 0x402010) & 0xFFFFFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels.push_back(colours ? static_cast<uint32_t>(y * width + x) % colours
                                       : static_cast<uint32_t>((x * 37 + y * 11) << 16 |
                                                               (x * 5 + y * 71) << 8 |
                                                               (200 - x * 3 - y)) & 0xFFFFFF);
    return p;
}

inline HBITMAP LoadBitmapFile(const std::string& path, UINT flags = LR_LOADFROMFILE | LR_CREATEDIBSECTION) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags));
}

// Writes the picture in the format into the folder and loads it back.
inline HBITMAP LoadPicture(const TempDir& dir, const bmp::BmpPicture& picture,
                           const bmp::BmpFormat& format, const std::string& name = "picture.bmp") {
    const std::string file = dir.File(name);
    if (!bmp::WriteBinaryFile(file, bmp::EncodeBmp(picture, format)))
        return nullptr;
    return LoadBitmapFile(file);
}

// A memory context holding a bitmap for the length of a scope.
class MemoryDC {
public:
    explicit MemoryDC(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)) {
        previous_ = SelectObject(dc, bitmap);
    }
    ~MemoryDC() {
        SelectObject(dc, previous_);
        DeleteDC(dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC dc;

private:
    HGDIOBJ previous_;
};

inline BITMAP BitmapInfo(HGDIOBJ bitmap) {
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    return info;
}

} // namespace zv::gdi::test
