// DirectDraw palettes: 16 or 256 colours that palettised surfaces index.
#pragma once

#include <platform/ddraw.h>

#include "common/com_object.h"

#include <array>
#include <cstdint>
#include <span>

namespace zv::ddraw {

inline constexpr DWORD DDPCAPS_PRIMARYSURFACE = 0x10;
inline constexpr DWORD DDPCAPS_ALLOW256 = 0x40;

class Palette final : public runtime::ComObject<IDirectDrawPalette> {
public:
    // DDPCAPS_4BIT or DDPCAPS_8BIT, with DDPCAPS_INITIALIZE, DDPCAPS_ALLOW256
    // or DDPCAPS_PRIMARYSURFACE beside; the table holds the palette's size of
    // entries. DD_OK and the palette, or the reason there is none.
    static HRESULT Create(DWORD flags, const PALETTEENTRY* table, LPDIRECTDRAWPALETTE* palette);

    // Null for palettes this module did not make.
    static Palette* From(IDirectDrawPalette* palette);

    HRESULT STDMETHODCALLTYPE GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries,
                                         LPPALETTEENTRY lpEntries) override;
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount,
                                         LPPALETTEENTRY lpEntries) override;

    // 16 or 256 entries.
    std::span<const PALETTEENTRY> Entries() const { return {entries_.data(), size_}; }

    // Taken afresh from one count for all palettes when a palette is made and
    // whenever its entries are set: while it stays the same, so do the
    // entries, and no two palettes ever show the same stamp.
    uint64_t Stamp() const { return stamp_; }

private:
    explicit Palette(size_t size);

    std::array<PALETTEENTRY, 256> entries_ = {};
    size_t size_;
    uint64_t stamp_;
};

} // namespace zv::ddraw
