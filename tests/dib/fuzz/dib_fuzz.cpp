// libFuzzer entry: any bytes must decode or be refused without touching
// memory outside the input and the decoder's own buffers.
#include <cstddef>
#include <cstdint>

#include "dib/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zv::Dib dib;
    if (zv::DecodeDib({data, size}, dib) != zv::DibError::None) return 0;
    // Every pixel of a decoded bitmap must be convertible.
    std::vector<uint32_t> row(static_cast<size_t>(dib.width));
    for (int y = 0; y < dib.height; ++y) zv::DibRowToXrgb(dib, y, row.data());
    return 0;
}
