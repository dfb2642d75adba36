// The hot blits of a frame on each drawing path and depth, each beside memcpy of the
// same bytes measured in the same run (Baseline.h): the ratio of their times tells how
// close to the memory limit they run. Opaque blits: at most twice memcpy.
#include <benchmark/benchmark.h>

#include "Baseline.h"

#include <cstring>
#include <vector>

#include "gfx/DDBlt.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDSurface.h"
#include "gfx/Font.h"
#include "gfx/PixelOps.h"
#include "platform/display.h"

namespace {

enum Path { kD3D = 1, kDD = 0 };

// Opens a mode with a full-screen picture, a keyed 256 x 256 sprite sheet (every other
// 4 x 4 block transparent) and a half-size picture for stretching.
struct Scene {
  DDSURFACEDATA picture, sheet, half;
  Scene(int useD3D, int bpp) {
    DDUnInit();
    plat::display::resetForTests();
    plat::display::setDesktopDepthOverride(bpp);
    DDInit(useD3D, 1, 640, 480, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0);
    for (int i = 0; i < 256; ++i) g_Palette[i] = PALETTEENTRY{std::uint8_t(i), std::uint8_t(255 - i), 7, 0};
    g_TransmitPixel = 0;
    DDCreateSurface(&picture, 640, 480, 0, 0, 0, 0, false);
    DDCreateSurface(&half, 320, 240, 0, 0, 0, 0, false);
    DDCreateSurface(&sheet, 256, 256, 1, 0, 0, 0, false);
    for (int y = 0; y < 480; y += 16) DDFillRect(&picture, 0, y, 640, 16, 1 + y / 16);
    DDFillRect(&half, 0, 0, 320, 240, 9);
    for (int y = 0; y < 256; y += 4)
      for (int x = 0; x < 256; x += 4) DDFillRect(&sheet, x, y, 4, 4, ((x + y) / 4) % 2 ? 0 : 33);
  }
  ~Scene() {
    DDReleaseSurface(&picture);
    DDReleaseSurface(&half);
    DDReleaseSurface(&sheet);
    DDUnInit();
  }
};

constexpr double kOpaqueGoal = 2.0;

std::size_t Bytes(const benchmark::State& state, int pixels) {
  return static_cast<std::size_t>(pixels) * static_cast<std::size_t>(state.range(1) / 8);
}

// A full-screen opaque copy: args (path, bpp).
void FullScreenOpaque(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  bench::Measure(state, Bytes(state, 640 * 480), kOpaqueGoal,
                 [&] { DDBlt(&BackBuffer, 0, 0, 640, 480, &s.picture, 0, 0, 0); });
}
BENCHMARK(FullScreenOpaque)->Args({kDD, 32})->Args({kD3D, 32})->Args({kDD, 16})->Args({kD3D, 16})->Args({kDD, 8});

// Small opaque blits, where the fixed cost of a call shows: args (path, bpp, side).
void SmallOpaque(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const int n = static_cast<int>(state.range(2));
  bench::Measure(state, Bytes(state, n * n), 0, [&] { DDBlt(&BackBuffer, 100, 100, n, n, &s.picture, 8, 8, 0); });
}
BENCHMARK(SmallOpaque)->Args({kDD, 32, 8})->Args({kD3D, 32, 8})->Args({kD3D, 16, 8})->Args({kD3D, 32, 32});

// One frame: the background, then 300 transparent 32 x 32 cells.
void FrameOfCells(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  bench::Measure(state, Bytes(state, 640 * 480 + 300 * 32 * 32), 0, [&] {
    DDBlt(&BackBuffer, 0, 0, 640, 480, &s.picture, 0, 0, 0);
    for (int i = 0; i < 300; ++i)
      DDBlt(&BackBuffer, (i * 37) % 608, (i * 53) % 448, 32, 32, &s.sheet, (i % 8) * 32, (i / 8 % 8) * 32, 1);
  });
}
BENCHMARK(FrameOfCells)
    // clang-format off
    ->Args({kDD, 32})->Args({kD3D, 32})->Args({kDD, 16})->Args({kD3D, 16})->Args({kDD, 8})
    // clang-format on
    ->Unit(benchmark::kMicrosecond);

// 300 transparent cells alone.
void TransparentCells(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  bench::Measure(state, Bytes(state, 300 * 32 * 32), 0, [&] {
    for (int i = 0; i < 300; ++i)
      DDBlt(&BackBuffer, (i * 37) % 608, (i * 53) % 448, 32, 32, &s.sheet, (i % 8) * 32, (i / 8 % 8) * 32, 1);
  });
}
BENCHMARK(TransparentCells)->Args({kDD, 32})->Args({kD3D, 32})->Args({kD3D, 16})->Unit(benchmark::kMicrosecond);

// A half-size picture stretched over the screen.
void StretchFullScreen(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  bench::Measure(state, Bytes(state, 640 * 480), 0,
                 [&] { DDStretchBlt(&BackBuffer, 0, 0, 640, 480, &s.half, 0, 0, 320, 240, 0); });
}
BENCHMARK(StretchFullScreen)->Args({kDD, 32})->Args({kD3D, 32})->Args({kDD, 16})->Args({kD3D, 16});

// A full-screen blit with a draw colour and colour operation (textured path).
void ColourOperation(benchmark::State& state) {
  Scene s(kD3D, static_cast<int>(state.range(1)));
  const DRAWMODE mode{0xFF406080, static_cast<std::int32_t>(state.range(0))};
  bench::Measure(state, Bytes(state, 640 * 480), 0,
                 [&] { DDBltEx(&BackBuffer, 0, 0, 640, 480, &s.picture, 0, 0, 1, &mode); });
}
BENCHMARK(ColourOperation)
    ->Args({D3DTOP_MODULATE, 32})
    ->Args({D3DTOP_ADD, 32})
    ->Args({D3DTOP_SUBTRACT, 32})
    ->Args({D3DTOP_ADD, 16});

// The frame-rate line of font 1, drawn every frame.
void TextLine(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
  Font font;
  font.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  // Beside memcpy of the line's cells.
  bench::Measure(state, Bytes(state, 9 * 16 * 16), 0,
                 [&] { FontPrintf(&font, &BackBuffer, 495, 463, "FPS%2d(%2d)", 60, 12); });
  font.Release();
}
BENCHMARK(TextLine)->Args({kDD, 32})->Args({kD3D, 32})->Args({kDD, 8})->Unit(benchmark::kMicrosecond);

}  // namespace
