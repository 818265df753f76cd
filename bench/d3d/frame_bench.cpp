// The program's frame, without presenting it, through the module's MMX and
// RGB devices into an off-screen 3D surface with a 16-bit Z buffer, and the
// same frame through llvmpipe with one thread. Prints the best time of each
// over the repetitions, their spread, and the ratios.
#include "program_frame.h"

#include <platform/kernel.h>

#include "llvmpipe_frame.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSizes[][2] = {{640, 480}, {1920, 1080}};

const DisplacementField& Field() {
    static const DisplacementField field = RipplingField();
    return field;
}

struct Module {
    HMODULE handle = LoadLibraryA("ddraw.dll");
    decltype(&DirectDrawCreate) create =
        handle ? reinterpret_cast<decltype(&DirectDrawCreate)>(GetProcAddress(handle, "DirectDrawCreate"))
               : nullptr;
};

void BM_Device(benchmark::State& state, GUID device) {
    static Module module;
    const int width = kSizes[state.range(0)][0], height = kSizes[state.range(0)][1];
    zv::runtime::Com<IDirectDraw> directDraw;
    zv::runtime::Com<IDirect3D2> direct3D;
    if (module.create == nullptr || module.create(nullptr, directDraw.Put(), nullptr) != DD_OK ||
        directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL) != DD_OK ||
        directDraw->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(direct3D.Put())) !=
            S_OK) {
        state.SkipWithError("no ddraw.dll beside the benchmark");
        return;
    }
    ProgramFrame frame(directDraw.Get(), direct3D.Get(), device, width, height, ProgramPicture());
    if (frame.Failed()) {
        state.SkipWithError(frame.Failure().c_str());
        return;
    }
    for (auto _ : state)
        frame.Render(Field());
    state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}

// The picture as RGBA texels, for llvmpipe.
std::vector<uint32_t> PictureRgba() {
    const zv::Dib& picture = ProgramPicture();
    std::vector<uint32_t> rgba(size_t(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = zv::DibPixelXrgb(picture, x, y);
            rgba[size_t(y) * picture.width + x] =
                0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        }
    return rgba;
}

void BM_Llvmpipe(benchmark::State& state) {
    const int width = kSizes[state.range(0)][0], height = kSizes[state.range(0)][1];
    const zv::Dib& picture = ProgramPicture();
    LlvmpipeFrame gl(width, height, PictureRgba(), picture.width, picture.height);
    if (!gl.Ready()) {
        state.SkipWithError(("not llvmpipe: " + gl.Renderer()).c_str());
        return;
    }
    for (auto _ : state) {
        gl.Begin();
        WarpedGridMesh(Field(), [](GridVertex* quad) { LlvmpipeFrame::DrawFan(quad); });
        gl.End();
    }
    state.SetLabel(std::to_string(width) + "x" + std::to_string(height) + " " + gl.Renderer());
}

// llvmpipe rasterises on a thread of its own: CPU time is counted over the
// whole process, so that it stays comparable on a busy machine.
BENCHMARK_CAPTURE(BM_Device, mmx, IID_IDirect3DMMXDevice)
    ->DenseRange(0, 1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Device, rgb, IID_IDirect3DRGBDevice)
    ->DenseRange(0, 1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Llvmpipe)->DenseRange(0, 1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The best and the worst time per frame of every benchmark over its runs,
// in CPU time and in wall-clock time. Needs every run reported, so not
// --benchmark_report_aggregates_only.
class Recorder : public benchmark::ConsoleReporter {
public:
    struct Range {
        double best = INFINITY;
        double worst = 0;
        void Add(double ms) {
            best = std::min(best, ms);
            worst = std::max(worst, ms);
        }
    };
    struct Times {
        Range cpu;
        Range wall;
    };
    std::map<std::string, Times> ms;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            const double frames = static_cast<double>(run.iterations);
            Times& t = ms[run.run_name.function_name + "/" + run.run_name.args];
            t.cpu.Add(run.cpu_accumulated_time / frames * 1e3);
            t.wall.Add(run.real_accumulated_time / frames * 1e3);
        }
    }
};

std::string Cell(Recorder::Range r) {
    char text[32];
    std::snprintf(text, sizeof text, "%7.3f (+%5.1f%%)", r.best, 100.0 * (r.worst - r.best) / r.best);
    return text;
}

void PrintComparison(const Recorder& recorder, const char* title,
                     Recorder::Range Recorder::Times::*which) {
    std::printf("\n%-10s ms/frame, best (spread)  MMX               RGB               "
                "llvmpipe          MMX/llvmpipe  RGB/MMX\n",
                title);
    for (int size = 0; size < 2; ++size) {
        auto get = [&](const std::string& name) {
            auto found = recorder.ms.find(name + "/" + std::to_string(size));
            return found == recorder.ms.end() ? Recorder::Range{NAN, NAN} : found->second.*which;
        };
        const auto mmx = get("BM_Device/mmx"), rgb = get("BM_Device/rgb"), gl = get("BM_Llvmpipe");
        std::printf("%4d x %-4d                     %s %s %s %12.3f  %7.2f\n", kSizes[size][0],
                    kSizes[size][1], Cell(mmx).c_str(), Cell(rgb).c_str(), Cell(gl).c_str(),
                    mmx.best / gl.best, rgb.best / mmx.best);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    PrintComparison(recorder, "CPU", &Recorder::Times::cpu);
    PrintComparison(recorder, "Wall-clock", &Recorder::Times::wall);
    benchmark::Shutdown();
    return 0;
}
