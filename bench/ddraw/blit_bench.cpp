// What a present of a 1920 x 1080 frame costs the module itself: the copy,
// or the conversion into the screen's format, that a blit to the primary
// surface does before the pixels go to the window.
#include <platform/ddraw.h>
#include <platform/kernel.h>

#include "common/com_ptr.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using zv::runtime::Com;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

DDPIXELFORMAT Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    return format;
}

DDPIXELFORMAT Palette8() {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_PALETTEINDEXED8 | DDPF_RGB;
    format.dwRGBBitCount = 8;
    return format;
}

const DDPIXELFORMAT kXrgb = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT k565 = Rgb(16, 0xF800, 0x07E0, 0x1F);
const DDPIXELFORMAT kPalette8 = Palette8();

Com<IDirectDraw> OpenDirectDraw() {
    static HMODULE module = LoadLibraryA("ddraw.dll");
    auto create =
        reinterpret_cast<decltype(&DirectDrawCreate)>(GetProcAddress(module, "DirectDrawCreate"));
    Com<IDirectDraw> directDraw;
    if (create == nullptr || create(nullptr, directDraw.Put(), nullptr) != DD_OK ||
        directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL) != DD_OK)
        std::abort();
    return directDraw;
}

Com<IDirectDrawSurface> Frame(IDirectDraw* directDraw, const DDPIXELFORMAT& format) {
    DDSURFACEDESC desc = {};
    desc.dwSize = DDSURFACEDESC_SIZE;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    desc.ddpfPixelFormat = format;
    Com<IDirectDrawSurface> surface;
    if (directDraw->CreateSurface(&desc, surface.Put(), nullptr) != DD_OK)
        std::abort();
    return surface;
}

void Blit(benchmark::State& state, const DDPIXELFORMAT& from, const DDPIXELFORMAT& to) {
    Com<IDirectDraw> directDraw = OpenDirectDraw();
    auto source = Frame(directDraw.Get(), from);
    auto target = Frame(directDraw.Get(), to);
    PALETTEENTRY entries[256] = {};
    Com<IDirectDrawPalette> palette;
    if (directDraw->CreatePalette(DDPCAPS_8BIT, entries, palette.Put(), nullptr) != DD_OK)
        std::abort();
    source->SetPalette(palette.Get());
    RECT area = {0, 0, kWidth, kHeight};
    for (auto _ : state)
        if (target->Blt(&area, source.Get(), &area, DDBLT_WAIT, nullptr) != DD_OK)
            state.SkipWithError("blit failed");
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// The back surface is made in the screen's format, so this is a present.
void BM_SameFormat(benchmark::State& state) {
    Blit(state, kXrgb, kXrgb);
}
void BM_Rgb565ToXrgb(benchmark::State& state) {
    Blit(state, k565, kXrgb);
}
void BM_XrgbToRgb565(benchmark::State& state) {
    Blit(state, kXrgb, k565);
}
void BM_Palette8ToXrgb(benchmark::State& state) {
    Blit(state, kPalette8, kXrgb);
}

BENCHMARK(BM_SameFormat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rgb565ToXrgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XrgbToRgb565)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Palette8ToXrgb)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
