// Writes the images of the program's icon resource as PNG files, so that a
// desktop shows the same icon as the window: export_icon <folder> writes
// <folder>/<w>x<h>/zevra.png for every image of icon group 128.
#include "resource.h"

#include <platform/rsrc.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

extern "C" const rsrc::ResourceTable ModuleResources;

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    PutBig32(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBig32(png, Crc32(png.data() + start, png.size() - start));
}

// Stored (uncompressed) deflate blocks are enough for pictures this small.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t length = std::min<size_t>(raw.size() - pos, 65535);
        bool last = pos + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<long>(pos),
                   raw.begin() + static_cast<long>(pos + length));
        pos += length;
    } while (pos < raw.size());
    PutBig32(out, Adler32(raw));
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// 8-bit RGBA; '.' pixels are the transparent ones of the icon's mask.
bool EncodePng(const rsrc::IconImage& image, const uint32_t* palette, std::vector<uint8_t>& png) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        const char* row = image.rows[static_cast<size_t>(y)];
        raw.push_back(0); // no filter
        for (int x = 0; x < image.width; ++x) {
            if (row[x] == '.') {
                raw.insert(raw.end(), {0, 0, 0, 0});
                continue;
            }
            int index = HexDigit(row[x]);
            if (index < 0)
                return false;
            uint32_t rgb = palette[index];
            raw.insert(raw.end(), {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                   static_cast<uint8_t>(rgb), 0xFF});
        }
    }
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.assign(std::begin(kSignature), std::end(kSignature));
    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(image.width));
    PutBig32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(raw));
    PutChunk(png, "IEND", {});
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const rsrc::IconGroup* group = rsrc::FindIcon(ModuleResources, IDR_MAINFRAME);
    if (group == nullptr || group->images.empty()) {
        std::fprintf(stderr, "no icon %d in the resources\n", IDR_MAINFRAME);
        return 1;
    }
    for (const rsrc::IconImage& image : group->images) {
        std::vector<uint8_t> png;
        if (!EncodePng(image, group->palette, png)) {
            std::fprintf(stderr, "icon image %dx%d has a bad pixel\n", image.width, image.height);
            return 1;
        }
        std::filesystem::path dir =
            std::filesystem::path(argv[1]) /
            (std::to_string(image.width) + "x" + std::to_string(image.height));
        std::filesystem::create_directories(dir);
        std::filesystem::path file = dir / "zevra.png";
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr || std::fwrite(png.data(), 1, png.size(), out) != png.size() ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
