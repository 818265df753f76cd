// The cost of presenting one frame into a window: the call itself, and the
// time until the server shows the new frame. Needs an X server at least
// 1920 x 1080, e.g.
//   scripts/with-display.sh --size 2560x1440 build/bin/present_bench
#include <platform/display.h>
#include <platform/user.h>
#include <user/message_loop.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// The first frame's colour differs from the window's background, and the
// frames alternate, so each one is seen to arrive.
constexpr uint32_t kColours[] = {0x203040, 0xC08010};

void Pump() {
    int exitCode = 0;
    for (int i = 0; i < 100 && zv::user::MessageWaiting(); ++i)
        zv::user::DispatchNextMessage(exitCode);
}

// A shown top-level window with the given client size, or null.
HWND OpenWindow(int width, int height) {
    static const ATOM registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "PresentBench";
        return RegisterClassA(&windowClass);
    }();
    if (registered == 0)
        return nullptr;
    HWND hwnd = CreateWindowExA(0, "PresentBench", "Present", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                height, nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 200 && hwnd != nullptr; ++i) {
        Pump();
        zv::user::PlatformIdle();
    }
    return hwnd;
}

struct Frames {
    Frames(int width, int height) : pitch(width * 4) {
        for (uint32_t colour : kColours)
            pixels.emplace_back(static_cast<size_t>(width) * height, colour);
    }
    int pitch;
    std::vector<std::vector<uint32_t>> pixels;
};

void BM_PresentCall(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    HWND hwnd = OpenWindow(width, height);
    if (hwnd == nullptr || zv::display::GetScreenFormat().bitsPerPixel != 32) {
        state.SkipWithError("needs a 24-bit X server");
        return;
    }
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    Frames frames(width, height);
    size_t frame = 0;
    for (auto _ : state) {
        zv::display::PresentToWindow(hwnd, origin.x, origin.y, width, height,
                                     frames.pixels[frame++ % 2].data(), frames.pitch);
        // What the program's loop does between frames.
        state.PauseTiming();
        Pump();
        state.ResumeTiming();
    }
    DestroyWindow(hwnd);
}

void BM_PresentUntilShown(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    HWND hwnd = OpenWindow(width, height);
    Display* x = XOpenDisplay(nullptr);
    if (hwnd == nullptr || x == nullptr || zv::display::GetScreenFormat().bitsPerPixel != 32) {
        state.SkipWithError("needs a 24-bit X server");
        if (x != nullptr)
            XCloseDisplay(x);
        return;
    }
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    Frames frames(width, height);
    // The last pixel of the frame is the last one to arrive.
    auto shown = [&] {
        XImage* image = XGetImage(x, DefaultRootWindow(x), origin.x + width - 1,
                                  origin.y + height - 1, 1, 1, AllPlanes, ZPixmap);
        unsigned long pixel = image != nullptr ? XGetPixel(image, 0, 0) & 0xFFFFFF : 0;
        if (image != nullptr)
            XDestroyImage(image);
        return pixel;
    };
    size_t frame = 0;
    for (auto _ : state) {
        const auto& pixels = frames.pixels[frame++ % 2];
        zv::display::PresentToWindow(hwnd, origin.x, origin.y, width, height, pixels.data(),
                                     frames.pitch);
        while (shown() != pixels[0])
            Pump();
    }
    XCloseDisplay(x);
    DestroyWindow(hwnd);
}

BENCHMARK(BM_PresentCall)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentUntilShown)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
