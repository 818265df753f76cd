// The program's frame through each backend and, for comparison, through
// Mesa's llvmpipe (one thread) via OSMesa. Prints each time and the ratio.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "llvmpipe_frame.h"
#include "raster_test_support.h"
#include "zv/raster.h"

namespace {

using namespace zv::raster;

constexpr int kSizes[][2] = {{640, 480}, {1920, 1080}};

// Texture coordinates of the 50 x 50 nodes: 0.02 apart plus a small ripple.
struct Grid {
  float u[50][50], v[50][50];
  Grid() {
    for (int i = 0; i < 50; ++i)
      for (int j = 0; j < 50; ++j) {
        double ripple = 0.004 * std::sin(0.37 * i + 0.21 * j);
        u[i][j] = static_cast<float>(0.02 * j + ripple);
        v[i][j] = static_cast<float>(0.02 * i - ripple);
      }
  }
  // Calls draw(fan) with the four corners of each quad, as the program does.
  template <class Draw>
  void each_quad(Draw draw) const {
    TLVertex fan[4];
    for (int i = 0; i < 49; ++i)
      for (int j = 0; j < 49; ++j) {
        const int rows[4] = {i, i, i + 1, i + 1}, cols[4] = {j, j + 1, j + 1, j};
        for (int k = 0; k < 4; ++k)
          fan[k] = {10.0f * cols[k], 10.0f * rows[k], 0.0f, 10000.0f, 0xFFFFFFFFu, 0,
                    u[rows[k]][cols[k]], v[rows[k]][cols[k]]};
        draw(fan);
      }
  }
};

struct Picture {
  std::vector<uint8_t> indices = std::vector<uint8_t>(256 * 256);
  PaletteEntry entries[256];
  Picture() {
    for (int i = 0; i < 256; ++i)
      entries[i] = {uint8_t(i), uint8_t(i * 7), uint8_t(255 - i), 0};
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) indices[y * 256 + x] = uint8_t((x / 32 + y / 32) % 2 * 128 + ((x ^ y) & 127));
  }
};

const Grid& grid() {
  static Grid g;
  return g;
}
const Picture& picture() {
  static Picture p;
  return p;
}

void BM_Frame(benchmark::State& state, Backend backend) {
  int w = kSizes[state.range(0)][0], h = kSizes[state.range(0)][1];
  std::vector<uint32_t> pixels(size_t(w) * h);
  std::vector<uint16_t> depth(size_t(w) * h);
  Surface target{pixels.data(), w * 4, w, h, PixelFormat::XRGB8888};
  Surface zbuffer{depth.data(), w * 2, w, h, PixelFormat::Z16};
  Palette palette;
  palette.set_entries(0, picture().entries, 256);
  Texture texture{{const_cast<uint8_t*>(picture().indices.data()), 256, 256, 256, PixelFormat::Pal8},
                  &palette};
  Device device(backend, target, nullptr, &zbuffer);
  if (device.backend() != backend) {
    state.SkipWithError("backend not available on this CPU");
    return;
  }
  for (auto _ : state) {
    device.clear({0, 0, w, h}, kClearTarget | kClearZBuffer, 0xFFFFFFFFu, 1.0f);
    zv::raster::testing::set_frame_states(device);
    device.set_texture(&texture);
    grid().each_quad([&](const TLVertex* fan) { device.draw(kTriangleFan, fan, 4); });
    device.set_texture(nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
}

// The picture as RGBA texels, for llvmpipe.
std::vector<uint32_t> picture_rgba() {
  std::vector<uint32_t> rgba(256 * 256);
  for (size_t i = 0; i < rgba.size(); ++i) {
    const PaletteEntry& e = picture().entries[picture().indices[i]];
    rgba[i] = 0xFF000000u | uint32_t(e.b) << 16 | uint32_t(e.g) << 8 | e.r;
  }
  return rgba;
}

void BM_FrameLlvmpipe(benchmark::State& state) {
  int w = kSizes[state.range(0)][0], h = kSizes[state.range(0)][1];
  LlvmpipeFrame gl(w, h, picture_rgba(), 256, 256);
  if (!gl.Ready()) {
    state.SkipWithError(("not llvmpipe: " + gl.Renderer()).c_str());
    return;
  }
  for (auto _ : state) {
    gl.Begin();
    grid().each_quad([](const TLVertex* quad) { LlvmpipeFrame::DrawFan(quad); });
    gl.End();
  }
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h) + " " + gl.Renderer());
}

BENCHMARK_CAPTURE(BM_Frame, reference, Backend::Reference)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, sse2, Backend::Sse2)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, avx2, Backend::Avx2)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameLlvmpipe)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Keeps the best time of every benchmark for the closing comparison.
class Recorder : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> best_ms;
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      double ms = run.real_accumulated_time / static_cast<double>(run.iterations) * 1e3;
      auto [it, fresh] = best_ms.emplace(run.benchmark_name(), ms);
      if (!fresh && ms < it->second) it->second = ms;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Recorder recorder;
  benchmark::RunSpecifiedBenchmarks(&recorder);
  std::printf("\nbest ms per frame          reference     sse2     avx2  llvmpipe  avx2/llvmpipe  reference/avx2\n");
  for (int size = 0; size < 2; ++size) {
    auto get = [&](const std::string& name) {
      auto it = recorder.best_ms.find(name + "/" + std::to_string(size));
      return it == recorder.best_ms.end() ? NAN : it->second;
    };
    double ref = get("BM_Frame/reference"), sse2 = get("BM_Frame/sse2"), avx2 = get("BM_Frame/avx2");
    double gl = get("BM_FrameLlvmpipe");
    std::printf("%4dx%-4d               %9.3f %8.3f %8.3f  %8.3f  %13.3f  %14.2f\n", kSizes[size][0],
                kSizes[size][1], ref, sse2, avx2, gl, avx2 / gl, ref / avx2);
  }
  benchmark::Shutdown();
  return 0;
}
