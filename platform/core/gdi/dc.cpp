// Memory and surface device contexts, bitmap selection and BitBlt.
#include "objects.h"

#include <platform/gdi.h>
#include <platform/gdi_surface.h>

#include <algorithm>
#include <cstring>

using namespace zv::gdi;

namespace {

bool ValidDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// Shrinks the block so that it lies inside both views, moving the other
// corner along with a clipped one.
bool ClipBlock(const PixelView& dst, int& x, int& y, int& w, int& h, const PixelView& src, int& sx,
               int& sy) {
    auto clipAxis = [](int& to, int& from, int& extent, int toLimit, int fromLimit) {
        if (extent <= 0)
            return false;
        const int64_t shift = std::max<int64_t>({0, -int64_t{to}, -int64_t{from}});
        const int64_t start = int64_t{to} + shift, sourceStart = int64_t{from} + shift;
        const int64_t end = std::min<int64_t>(
            {int64_t{to} + extent, toLimit, start + (fromLimit - sourceStart)});
        if (end <= start)
            return false;
        to = static_cast<int>(start);
        from = static_cast<int>(sourceStart);
        extent = static_cast<int>(end - start);
        return true;
    };
    return clipAxis(x, sx, w, dst.width, src.width) && clipAxis(y, sy, h, dst.height, src.height);
}

// The bytes a block of rows of a view spans, to tell whether two views share
// memory.
std::pair<const uint8_t*, const uint8_t*> RowSpan(const PixelView& view, int firstRow, int rows) {
    const uint8_t* a = view.Row(firstRow);
    const uint8_t* b = view.Row(firstRow + rows - 1);
    const size_t rowBytes = static_cast<size_t>(view.pitch < 0 ? -view.pitch : view.pitch);
    return {std::min(a, b), std::max(a, b) + rowBytes};
}

} // namespace

namespace zv::gdi {

HDC CreateSurfaceDC(const SurfacePixels& pixels) {
    if (!pixels.bits || pixels.width <= 0 || pixels.height <= 0 || !ValidDepth(pixels.bitsPerPixel))
        return nullptr;
    const int64_t rowBytes = (int64_t{pixels.width} * pixels.bitsPerPixel + 7) / 8;
    if (pixels.pitch < rowBytes)
        return nullptr;
    DeviceContext dc;
    dc.kind = DcKind::Surface;
    if (pixels.bitsPerPixel <= 8) {
        dc.surfaceFormat.bitsPerPixel = pixels.bitsPerPixel;
        const size_t capacity = size_t{1} << pixels.bitsPerPixel;
        if (pixels.palette && pixels.paletteSize > 0) {
            const size_t count = std::min(capacity, static_cast<size_t>(pixels.paletteSize));
            for (size_t i = 0; i < count; ++i) {
                const PALETTEENTRY& e = pixels.palette[i];
                dc.surfaceFormat.palette.push_back(uint32_t{e.peRed} << 16 |
                                                   uint32_t{e.peGreen} << 8 | e.peBlue);
            }
        } else {
            // A surface without a palette shows the screen's.
            const auto& system = SystemPalette();
            dc.surfaceFormat.palette.assign(system.begin(),
                                            system.begin() + std::min(capacity, system.size()));
        }
    } else if (!MakeDirectFormat(pixels.bitsPerPixel, pixels.redMask, pixels.greenMask,
                                 pixels.blueMask, dc.surfaceFormat)) {
        return nullptr;
    }
    dc.surfaceTop = static_cast<uint8_t*>(pixels.bits);
    dc.surfacePitch = pixels.pitch;
    dc.surfaceWidth = pixels.width;
    dc.surfaceHeight = pixels.height;
    auto lock = LockObjects();
    return AddDeviceContext(std::move(dc));
}

void DeleteSurfaceDC(HDC dc) {
    auto lock = LockObjects();
    if (DeviceContext* context = FindDeviceContext(dc); context && context->kind == DcKind::Surface)
        RemoveObject(dc);
}

} // namespace zv::gdi

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    auto lock = LockObjects();
    if (hdc && !FindDeviceContext(hdc))
        return nullptr;
    DeviceContext dc;
    dc.kind = DcKind::Memory;
    dc.bitmap = StockBitmap();
    return dc.bitmap ? AddDeviceContext(std::move(dc)) : nullptr;
}

BOOL WINAPI DeleteDC(HDC hdc) {
    auto lock = LockObjects();
    DeviceContext* dc = FindDeviceContext(hdc);
    if (!dc || dc->kind != DcKind::Memory)
        return FALSE;
    if (Bitmap* bitmap = FindBitmap(dc->bitmap); bitmap && !bitmap->stock)
        bitmap->selectedInto = nullptr;
    RemoveObject(hdc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    auto lock = LockObjects();
    DeviceContext* dc = FindDeviceContext(hdc);
    Bitmap* bitmap = FindBitmap(h);
    if (!dc || dc->kind != DcKind::Memory || !bitmap)
        return nullptr;
    if (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != hdc)
        return nullptr;
    const HBITMAP previous = dc->bitmap;
    if (Bitmap* old = FindBitmap(previous); old && !old->stock)
        old->selectedInto = nullptr;
    if (!bitmap->stock)
        bitmap->selectedInto = hdc;
    dc->bitmap = static_cast<HBITMAP>(h);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    auto lock = LockObjects();
    Bitmap* bitmap = FindBitmap(ho);
    if (!bitmap || bitmap->selectedInto)
        return FALSE;
    // Stock objects outlive every attempt to delete them.
    if (!bitmap->stock)
        RemoveObject(ho);
    return TRUE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    auto lock = LockObjects();
    const Bitmap* bitmap = FindBitmap(h);
    if (!bitmap)
        return 0;
    if (!pv)
        return sizeof(BITMAP);
    if (c < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    // Device-dependent bitmaps count rows in 16-bit words, DIB sections in
    // 32-bit ones.
    const int bitsPerRow = bitmap->width * bitmap->format.bitsPerPixel;
    info.bmWidthBytes = bitmap->dibSection ? static_cast<LONG>(bitmap->stride)
                                           : (bitsPerRow + 15) / 16 * 2;
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(bitmap->format.bitsPerPixel);
    info.bmBits = bitmap->dibSection ? const_cast<uint8_t*>(bitmap->bits.data()) : nullptr;
    std::memcpy(pv, &info, sizeof info);
    return sizeof(BITMAP);
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
    auto lock = LockObjects();
    const DeviceContext* dc = FindDeviceContext(hdc);
    const Bitmap* bitmap = dc && dc->kind == DcKind::Memory ? FindBitmap(dc->bitmap) : nullptr;
    if (!bitmap || !bitmap->dibSection || !bitmap->format.Indexed() || !prgbq)
        return 0;
    const auto& table = bitmap->format.palette;
    if (iStart >= table.size())
        return 0;
    const UINT count = std::min<UINT>(cEntries, static_cast<UINT>(table.size() - iStart));
    for (UINT i = 0; i < count; ++i) {
        const uint32_t colour = table[iStart + i];
        prgbq[i] = RGBQUAD{static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8),
                           static_cast<BYTE>(colour >> 16), 0};
    }
    return count;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    auto lock = LockObjects();
    DeviceContext* destination = FindDeviceContext(hdc);
    const auto to = destination ? ContextPixels(*destination) : std::nullopt;
    if (!to)
        return FALSE;
    if (rop == BLACKNESS || rop == WHITENESS) {
        int sameX = x, sameY = y;
        if (ClipBlock(*to, x, y, cx, cy, *to, sameX, sameY))
            FillPixels(*to, x, y, cx, cy, rop == BLACKNESS ? 0x000000 : 0xFFFFFF);
        return TRUE;
    }
    if (rop != SRCCOPY)
        return FALSE;
    DeviceContext* source = FindDeviceContext(hdcSrc);
    auto from = source ? ContextPixels(*source) : std::nullopt;
    if (!from)
        return FALSE;
    if (!ClipBlock(*to, x, y, cx, cy, *from, x1, y1))
        return TRUE;

    // A block that overlaps itself is read completely before it is written.
    std::vector<uint8_t> snapshot;
    const auto [toBegin, toEnd] = RowSpan(*to, y, cy);
    const auto [fromBegin, fromEnd] = RowSpan(*from, y1, cy);
    if (toBegin < fromEnd && fromBegin < toEnd) {
        const size_t rowBytes = static_cast<size_t>(from->pitch < 0 ? -from->pitch : from->pitch);
        snapshot.resize(rowBytes * static_cast<size_t>(cy));
        for (int row = 0; row < cy; ++row)
            std::memcpy(snapshot.data() + rowBytes * static_cast<size_t>(row), from->Row(y1 + row),
                        rowBytes);
        from->top = snapshot.data();
        from->pitch = static_cast<ptrdiff_t>(rowBytes);
        from->height = cy;
        y1 = 0;
    }
    CopyPixels(*to, x, y, *from, x1, y1, cx, cy);
    return TRUE;
}
