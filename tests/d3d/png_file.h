// Pixels of 0x00RRGGBB as an 8-bit RGB PNG file, for looking at frames.
// The image data goes in stored (uncompressed) deflate blocks: no library
// is needed, and the same pixels always give the same bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace zv::testing {

inline uint32_t PngCrc(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// False when the file cannot be written.
inline bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width,
                     int height) {
    auto put32 = [](std::vector<uint8_t>& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<uint8_t>(v >> shift));
    };
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        put32(file, static_cast<uint32_t>(data.size()));
        const size_t start = file.size();
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), data.begin(), data.end());
        put32(file, PngCrc(file.data() + start, file.size() - start));
    };

    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    chunk("IHDR", header);

    // Each row: filter type 0, then R, G, B per pixel.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            raw.insert(raw.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p)});
        }
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t size = std::min<size_t>(raw.size() - at, 65535);
        zlib.push_back(at + size == raw.size() ? 1 : 0);  // the last block says so
        zlib.insert(zlib.end(), {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                 static_cast<uint8_t>(~size), static_cast<uint8_t>(~size >> 8)});
        zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(at),
                    raw.begin() + static_cast<ptrdiff_t>(at + size));
        at += size;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;  // Adler-32 of the raw rows
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32(zlib, b << 16 | a);
    chunk("IDAT", zlib);
    chunk("IEND", {});

    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

} // namespace zv::testing
