#include "palette.h"

#include <algorithm>
#include <new>

namespace zv::ddraw {

namespace {

bool RangeFits(DWORD first, DWORD count, size_t size) {
    return count != 0 && first < size && count <= size - first;
}

uint64_t NextStamp() {
    static uint64_t last = 0;
    return ++last;
}

} // namespace

Palette::Palette(size_t size) : size_(size), stamp_(NextStamp()) {}

HRESULT Palette::Create(DWORD flags, const PALETTEENTRY* table, LPDIRECTDRAWPALETTE* palette) {
    if (palette == nullptr)
        return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    // The entries are all the caller's, 0 and 255 included: the reserved
    // system colours only matter on a palettised screen, and the screen here
    // never is one, so ALLOW256 changes nothing.
    const DWORD known = DDPCAPS_4BIT | DDPCAPS_8BIT | DDPCAPS_INITIALIZE | DDPCAPS_ALLOW256 |
                        DDPCAPS_PRIMARYSURFACE;
    const DWORD size = flags & (DDPCAPS_4BIT | DDPCAPS_8BIT);
    if ((flags & ~known) != 0 || (size != DDPCAPS_4BIT && size != DDPCAPS_8BIT) || table == nullptr)
        return DDERR_INVALIDPARAMS;
    auto* created = new (std::nothrow) Palette(size == DDPCAPS_4BIT ? 16 : 256);
    if (created == nullptr)
        return DDERR_OUTOFMEMORY;
    std::copy_n(table, created->size_, created->entries_.begin());
    *palette = created;
    return DD_OK;
}

Palette* Palette::From(IDirectDrawPalette* palette) {
    return dynamic_cast<Palette*>(palette);
}

HRESULT Palette::GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries,
                            LPPALETTEENTRY lpEntries) {
    if (dwFlags != 0 || lpEntries == nullptr || !RangeFits(dwBase, dwNumEntries, size_))
        return DDERR_INVALIDPARAMS;
    std::copy_n(entries_.begin() + dwBase, dwNumEntries, lpEntries);
    return DD_OK;
}

HRESULT Palette::SetEntries(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount,
                            LPPALETTEENTRY lpEntries) {
    if (dwFlags != 0 || lpEntries == nullptr || !RangeFits(dwStartingEntry, dwCount, size_))
        return DDERR_INVALIDPARAMS;
    std::copy_n(lpEntries, dwCount, entries_.begin() + dwStartingEntry);
    stamp_ = NextStamp();
    return DD_OK;
}

} // namespace zv::ddraw
