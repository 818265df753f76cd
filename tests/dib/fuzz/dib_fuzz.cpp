// libFuzzer entry: any bytes must decode or be refused without touching
// memory outside the input and the decoder's own buffers.
#include <cstddef>
#include <cstdint>

#include "dib/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zv::Dib dib;
    if (zv::DecodeDib({data, size}, dib) != zv::DibError::None)
        return 0;
    // Convert every row of ordinary pictures; a tiny RLE stream may describe a
    // huge blank one, where the first and last rows reach the same code.
    std::vector<uint32_t> row(static_cast<size_t>(dib.width));
    const bool huge = int64_t{dib.width} * dib.height > (1 << 20);
    for (int y = 0; y < dib.height; y = huge && y == 0 ? dib.height - 1 : y + 1)
        zv::DibRowToXrgb(dib, y, row.data());
    return 0;
}
