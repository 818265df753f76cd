// The GDI object table: what the opaque HDC and HBITMAP handles stand for.
// A handle carries its slot, the slot's generation and its kind, so a stale
// or foreign handle is recognised instead of followed.
#pragma once

#include "pixels.h"

#include <platform/gdi.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace zv::gdi {

struct Bitmap {
    PixelFormat format;
    int width = 0;
    int height = 0;
    uint32_t stride = 0;       // bytes per row, a multiple of 4
    std::vector<uint8_t> bits; // bottom row first, as a DIB section keeps them
    bool dibSection = false;
    bool stock = false; // shared by every new memory context, never deleted
    HDC selectedInto = nullptr;

    PixelView View() {
        return {&format, bits.data() + (static_cast<size_t>(height) - 1) * stride,
                -static_cast<ptrdiff_t>(stride), width, height};
    }
};

enum class DcKind { Screen, Window, Memory, Surface };

struct DeviceContext {
    DcKind kind = DcKind::Memory;
    HWND window = nullptr;     // window contexts
    HBITMAP bitmap = nullptr;  // memory contexts: the selected bitmap
    // Surface contexts: the owner's pixels in a format of our own.
    PixelFormat surfaceFormat;
    uint8_t* surfaceTop = nullptr;
    int surfacePitch = 0;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
};

// Serialises every GDI call; the table functions below expect it held.
std::unique_lock<std::mutex> LockObjects();

// Null once the table is full.
HBITMAP AddBitmap(Bitmap bitmap);
HDC AddDeviceContext(DeviceContext dc);
// Null for anything that is not a live object of that kind.
Bitmap* FindBitmap(HGDIOBJ handle);
DeviceContext* FindDeviceContext(HDC handle);
void RemoveObject(HGDIOBJ handle);

// The 1 x 1 monochrome bitmap a new memory context starts with.
HBITMAP StockBitmap();

// The pixels a context draws into; nothing for screen and window contexts.
std::optional<PixelView> ContextPixels(DeviceContext& dc);

} // namespace zv::gdi
