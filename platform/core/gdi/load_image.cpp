// LoadImageA for bitmaps: from the module's resource table or from a file,
// through the platform's bitmap reader.
#include "objects.h"

#include <dib/dib.h>
#include <platform/display.h>
#include <platform/gdi.h>
#include <platform/kernel.h>
#include <platform/rsrc.h>
#include <platform/user.h>

#include <strings.h>

#include <cstring>

using namespace zv::gdi;

namespace {

// The file's depth, colour table and masks, rows stored bottom-up.
Bitmap DibSection(const zv::Dib& dib) {
    Bitmap bitmap;
    bitmap.width = dib.width;
    bitmap.height = dib.height;
    bitmap.stride = dib.stride;
    bitmap.dibSection = true;
    if (dib.bitsPerPixel <= 8) {
        bitmap.format.bitsPerPixel = dib.bitsPerPixel;
        for (const zv::DibRgbQuad& c : dib.colorTable)
            bitmap.format.palette.push_back(uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue);
    } else {
        // The reader has already refused masks that are no use.
        MakeDirectFormat(dib.bitsPerPixel, dib.redMask, dib.greenMask, dib.blueMask, bitmap.format);
    }
    bitmap.bits.resize(dib.bits.size());
    for (int y = 0; y < dib.height; ++y)
        std::memcpy(bitmap.bits.data() + static_cast<size_t>(dib.height - 1 - y) * dib.stride,
                    dib.Row(y), dib.stride);
    return bitmap;
}

// Without LR_CREATEDIBSECTION the picture becomes a device bitmap: the
// screen's format, no bits of its own to hand out.
bool ToScreenFormat(Bitmap& bitmap) {
    const zv::display::ScreenFormat screen = zv::display::GetScreenFormat();
    Bitmap device;
    if (screen.bitsPerPixel <= 8) {
        device.format.bitsPerPixel = screen.bitsPerPixel;
        device.format.palette = SystemPalette();
        device.format.palette.resize(size_t{1} << screen.bitsPerPixel);
    } else if (!MakeDirectFormat(screen.bitsPerPixel, screen.redMask, screen.greenMask,
                                 screen.blueMask, device.format)) {
        return false;
    }
    device.width = bitmap.width;
    device.height = bitmap.height;
    device.stride = (static_cast<uint32_t>(bitmap.width) * device.format.bitsPerPixel + 31) / 32 * 4;
    device.bits.resize(static_cast<size_t>(device.stride) * bitmap.height);
    CopyPixels(device.View(), 0, 0, bitmap.View(), 0, 0, bitmap.width, bitmap.height);
    bitmap = std::move(device);
    return true;
}

// Names below 64K are numeric identifiers; the table names its bitmaps by
// text alone, so those never match.
const rsrc::BitmapResource* FindBitmapResource(HINSTANCE module, LPCSTR name) {
    if (!module || reinterpret_cast<uintptr_t>(name) < 0x10000)
        return nullptr;
    const auto* table =
        reinterpret_cast<const rsrc::ResourceTable*>(GetProcAddress(module, rsrc::kTableSymbol));
    if (!table)
        return nullptr;
    for (const rsrc::BitmapResource& bitmap : table->bitmaps)
        if (strcasecmp(bitmap.name, name) == 0)
            return &bitmap;
    return nullptr;
}

} // namespace

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (type != IMAGE_BITMAP || !name)
        return nullptr;
    zv::Dib dib;
    if (fuLoad & LR_LOADFROMFILE) {
        if (reinterpret_cast<uintptr_t>(name) < 0x10000 ||
            zv::LoadDibFile(name, dib) != zv::DibError::None)
            return nullptr;
    } else {
        const rsrc::BitmapResource* resource = FindBitmapResource(hInst, name);
        if (!resource || zv::DecodeDib(resource->file, dib) != zv::DibError::None)
            return nullptr;
    }
    // Pictures are never stretched: a size other than 0 or their own fails.
    if ((cx != 0 && cx != dib.width) || (cy != 0 && cy != dib.height))
        return nullptr;
    Bitmap bitmap = DibSection(dib);
    if (!(fuLoad & LR_CREATEDIBSECTION) && !ToScreenFormat(bitmap))
        return nullptr;
    auto lock = LockObjects();
    return AddBitmap(std::move(bitmap));
}
