// The software effects over the whole 640 x 480 screen on each drawing path and depth,
// each beside memcpy of one screen of its depth (Baseline.h); at 16 bits also beside the
// same effect at 32 bits on the same path (x_32bit), measured in the same run.
//
// Arguments: path (0 DirectDraw, 1 Direct3D quads, 2 Direct3D pixel loops: the source
// texture in system memory) and bits per pixel.
#include <benchmark/benchmark.h>

#include "Baseline.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "gfx/DDBlt.h"
#include "gfx/DDBlurMosaic.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDComposite.h"
#include "gfx/DDFade.h"
#include "gfx/DDFadeTint.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "gfx/DDRotate.h"
#include "gfx/DDSurface.h"
#include "gfx/DDTranslucent.h"
#include "platform/display.h"

namespace {

enum Path { kDD = 0, kQuad = 1, kPixels = 2 };

constexpr int kW = 640, kH = 480;

// A mode with a full-screen picture to draw from and the back buffer holding another.
struct Scene {
  DDSURFACEDATA picture;
  int bpp;
  Scene(int path, int bitsPerPixel) : bpp(bitsPerPixel) {
    DDUnInit();
    plat::display::resetForTests();
    plat::display::setDesktopDepthOverride(bpp);
    DDInit(path != kDD, 1, kW, kH, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0);
    for (int i = 0; i < 256; ++i) g_Palette[i] = PALETTEENTRY{std::uint8_t(i), std::uint8_t(255 - i), 7, 0};
    for (int i = 0; i < 65536; ++i) g_BlendTable[i] = std::uint8_t((i >> 8) / 2 + (i & 255) / 2);
    g_TransmitPixel = 0;
    const int system = path == kPixels ? 1 : 0;
    DDCreateSurface(&picture, kW, kH, 0, system, system, 0, false);
    // Stripes of palette colours, so that averages and mixes see varied pixels.
    for (int y = 0; y < kH; y += 8)
      for (int x = 0; x < kW; x += 8) DDFillRect(&picture, x, y, 8, 8, 1 + (x / 8 * 7 + y / 8 * 13) % 250);
    DDClear(&BackBuffer, 3);
  }
  ~Scene() {
    DDReleaseSurface(&picture);
    DDUnInit();
  }
};

// Translucent blits: at most twice memcpy. 16-bit effects: within ten times their
// 32-bit figure.
constexpr double kTranslucentGoal = 2.0;
constexpr double kSixteenBitGoal = 10.0;

// The effect's time at 32 bits on the same path: a short run of its own.
template <class Fn>
double ThirtyTwoBitSeconds(int path, Fn& fn) {
  Scene s(path, 32);
  fn(s);  // warm
  int n = 0;
  const double t0 = bench::Now();
  double t = t0;
  while (n < 3 || (t - t0 < 0.05 && n < 1000)) {
    fn(s);
    benchmark::ClobberMemory();
    ++n;
    t = bench::Now();
  }
  return (t - t0) / n;
}

template <class Fn>
void Run(benchmark::State& state, Fn fn, double goal = 0) {
  const int path = static_cast<int>(state.range(0)), bpp = static_cast<int>(state.range(1));
  const double each32 = bpp == 16 ? ThirtyTwoBitSeconds(path, fn) : 0;
  Scene s(path, bpp);
  const double each = bench::Measure(state, static_cast<std::size_t>(kW) * kH * (bpp / 8), goal, [&] { fn(s); });
  if (each32 > 0) {
    state.counters["x_32bit"] = each / each32;
    state.counters["goal_32bit"] = kSixteenBitGoal;
  }
}

void Alpha(benchmark::State& state) {
  Run(
      state, [](Scene& s) { DDBltAlpha(&BackBuffer, 0, 0, kW, kH, &s.picture, 0, 0, 1, g_Palette, nullptr, 31, 2); },
      kTranslucentGoal);
}
void Half(benchmark::State& state) {
  Run(
      state, [](Scene& s) { DDBltHalf(&BackBuffer, 0, 0, kW, kH, &s.picture, 0, 0, 1, g_BlendTable); },
      kTranslucentGoal);
}
void FadeUnPal(benchmark::State& state) {
  Run(state, [](Scene& s) { DDFade_UnPal(&BackBuffer, 100, 0, 0, 0, &s.picture); });
}
// One fade step per frame, the screen copy of its first step included.
void FadeStep(benchmark::State& state) {
  Run(state, [](Scene&) { DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, false); });
}
void ChangeColor(benchmark::State& state) {
  Run(state, [](Scene&) { DDChangeColor(&BackBuffer, 0, 0, kW, kH, 128, 255, 0, 0); });
}
// The pixel loop that runs while the virtual back buffer is on.
void ChangeColorVirtual(benchmark::State& state) {
  Run(state, [](Scene&) {
    if (!g_lpD3DData->bVirBackBuffer) DDSetVirBackBuffer(true);
    DDChangeColor(&BackBuffer, 0, 0, kW, kH, 128, 255, 0, 0);
  });
}
void Blur(benchmark::State& state) {
  const int r = static_cast<int>(state.range(2));
  Run(state, [r](Scene& s) { DDBlur(&BackBuffer, 0, 0, kW, kH, r, r, &s.picture, 0, 0, 1); });
}
void Mosaic(benchmark::State& state) {
  const int n = static_cast<int>(state.range(2));
  Run(state, [n](Scene& s) { DDMosaic(&BackBuffer, 0, 0, kW, kH, n, &s.picture, 0, 0, 1); });
}
void Rotate(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltRotate(&BackBuffer, 320, 240, kW, kH, 320, 240, 30, &s.picture, 0, 0, 0); });
}
void Circle(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltCircle(&BackBuffer, 320, 240, 320, 240, 240, 1, &s.picture, 320, 240, 0); });
}
// The lens screen effect: a radius reaching the corners, a middling strength.
void Lens(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltRadial(&BackBuffer, 320, 240, 452, 200, &s.picture, 320, 240, 0); });
}
void Wave(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltWave(&BackBuffer, 0, 0, kW, kH, 3, 12.0, 40, 1, &s.picture, 0, 0, 0, 0); });
}
void WaveColumns(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltWave(&BackBuffer, 0, 0, kW, kH, 3, 12.0, 40, 1, &s.picture, 0, 0, 0, 1); });
}
void Interlace(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltInterlace(&BackBuffer, 0, 0, kW, kH, 4, 30, &s.picture, 0, 0, 0, 0); });
}
void Fold(benchmark::State& state) {
  Run(state,
      [](Scene& s) { DDBltFold(&BackBuffer, 0, 0, kW, kH, &s.picture, 0, 0, &s.picture, 0, 0, kW, kH, 0, 60, 1); });
}
void Split(benchmark::State& state) {
  Run(state, [](Scene& s) { DDBltSplit(&BackBuffer, 0, 0, kW, kH, &s.picture, 0, 0, 20, 0); });
}

// Every path and depth an effect draws on; (path, bpp).
void AllPaths(benchmark::internal::Benchmark* b) {
  for (auto [p, bpp] :
       {std::pair{kDD, 32}, {kQuad, 32}, {kPixels, 32}, {kDD, 16}, {kQuad, 16}, {kPixels, 16}, {kDD, 8}})
    b->Args({p, bpp});
  b->Unit(benchmark::kMicrosecond);
}
// Effects that are pixel loops on every path (no quads): DirectDraw and Direct3D.
void LoopPaths(benchmark::internal::Benchmark* b) {
  for (auto [p, bpp] : {std::pair{kDD, 32}, {kQuad, 32}, {kDD, 16}, {kQuad, 16}, {kDD, 8}}) b->Args({p, bpp});
  b->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(Alpha)->Apply(AllPaths);
BENCHMARK(Half)->Apply(AllPaths);
BENCHMARK(FadeUnPal)->Args({kDD, 32})->Args({kDD, 16})->Unit(benchmark::kMicrosecond);
// clang-format off
BENCHMARK(FadeStep)->Args({kDD, 32})->Args({kDD, 16})->Args({kDD, 8})->Args({kQuad, 32})->Args({kQuad, 16})
    // clang-format on
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ChangeColor)->Args({kQuad, 32})->Args({kQuad, 16})->Unit(benchmark::kMicrosecond);
BENCHMARK(ChangeColorVirtual)->Args({kQuad, 32})->Args({kQuad, 16})->Unit(benchmark::kMicrosecond);
BENCHMARK(Blur)
    // clang-format off
    ->Args({kDD, 32, 2})->Args({kDD, 32, 8})->Args({kQuad, 32, 2})->Args({kQuad, 32, 8})->Args({kDD, 16, 2})
    ->Args({kDD, 16, 8})->Args({kQuad, 16, 2})->Unit(benchmark::kMicrosecond);
BENCHMARK(Mosaic)
    ->Args({kDD, 32, 8})->Args({kDD, 32, 2})->Args({kDD, 32, 1})->Args({kQuad, 32, 8})->Args({kDD, 16, 8})
    ->Args({kDD, 16, 2})->Args({kQuad, 16, 8})->Args({kDD, 8, 8})->Unit(benchmark::kMicrosecond);
// clang-format on
BENCHMARK(Rotate)->Apply(AllPaths);
BENCHMARK(Circle)->Apply(LoopPaths);
BENCHMARK(Lens)->Apply(LoopPaths);
BENCHMARK(Wave)->Apply(LoopPaths);
BENCHMARK(WaveColumns)->Apply(LoopPaths);
BENCHMARK(Interlace)->Apply(LoopPaths);
BENCHMARK(Fold)->Apply(LoopPaths);
BENCHMARK(Split)->Apply(LoopPaths);
