// Shared set-up of the drawing-library tests: opening a mode, writing small bitmaps,
// reading pixels back, and putting every global of the library back afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Log.h"
#include "gfx/DDBitmapCopy.h"
#include "gfx/DDBlt.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"
#include "platform/bmp.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "platform/presenter.h"
#include "test_support/TempDir.h"

namespace gfxtest {

enum class Mode { D3D16, D3D32, DD8, DD16, DD24, DD32 };

inline const char* Name(Mode m) {
  switch (m) {
    case Mode::D3D16: return "D3D16";
    case Mode::D3D32: return "D3D32";
    case Mode::DD8: return "DD8";
    case Mode::DD16: return "DD16";
    case Mode::DD24: return "DD24";
    case Mode::DD32: return "DD32";
  }
  return "?";
}
inline bool IsD3D(Mode m) { return m == Mode::D3D16 || m == Mode::D3D32; }
inline int Bpp(Mode m) {
  switch (m) {
    case Mode::DD8: return 8;
    case Mode::D3D16:
    case Mode::DD16: return 16;
    case Mode::DD24: return 24;
    default: return 32;
  }
}

class GfxFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAll();
    report_ = dir_.path() + "/Report_Game.txt";
    ASSERT_TRUE(OpenReport(plat::fs::fromNative(report_)));
  }
  std::string Report() const { return plat::fs::readFile(plat::fs::fromNative(report_)).value_or(""); }
  void TearDown() override {
    for (DDSURFACEDATA& s : table_) DDReleaseSurface(&s);
    ResetAll();
  }

  static void ResetAll() {
    DDUnInit();
    plat::display::resetForTests();
    plat::Presenter::instance().resetForTests();
    g_DDState = DDMODULESTATE{};
    g_TransmitPixel = 0;
    g_PixelLayout = PIXELLAYOUT{};
    g_ScreenLayout = PIXELLAYOUT{};
    for (int i = 0; i < 256; ++i) g_Palette[i] = g_WorkPalette[i] = PALETTEENTRY{};
  }

  // Opens the mode at 640 x 480 in a window (full screen when asked).
  bool Open(Mode m, bool windowed = true) {
    if (!IsD3D(m) && windowed) plat::display::setDesktopDepthOverride(Bpp(m));
    return DDInit(IsD3D(m) ? 1 : 0, 1, 640, 480, Bpp(m), 0, windowed ? 1 : 0, 1, 60, 0, table_.data(), infos_.data(),
                  static_cast<int>(table_.size()));
  }

  std::string Path(const std::string& name) const { return plat::fs::fromNative(dir_.path() + "/" + name); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    EXPECT_TRUE(plat::fs::writeFileAtomic(Path(name), bytes));
    return Path(name);
  }

  // An 8-bit bitmap: colours[i] as 0xRRGGBB, pixel (x, y) = index(x, y).
  std::string Write8(const std::string& name, int w, int h, const std::vector<std::uint32_t>& colours,
                     const std::function<int(int, int)>& index) const {
    plat::bmp::Bitmap b;
    b.width = w;
    b.height = h;
    b.bitsPerPixel = 8;
    b.stride = (w + 3) & ~3;
    b.bits.assign(static_cast<std::size_t>(b.stride) * h, 0);
    for (std::uint32_t c : colours)
      b.colors.push_back(plat::bmp::RgbQuad{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) b.topRow(y)[x] = std::uint8_t(index(x, y));
    return Write(name, plat::bmp::encode(b));
  }
  // A 24-bit bitmap of 0xRRGGBB colours.
  std::string Write24(const std::string& name, int w, int h, const std::function<std::uint32_t(int, int)>& rgb) const {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * w + x] = rgb(x, y);
    return Write(name, plat::bmp::encodeRgb(w, h, px.data()));
  }

  // The raw pixel at (x, y), read through the lock.
  static std::uint32_t Px(DDSURFACEDATA* sd, int x, int y) {
    cSurfaceLock lock;
    EXPECT_TRUE(lock.Lock(sd));
    if (!lock.IsLocked()) return 0xDEADBEEF;
    return pix::getRaw(*lock.m_lpSurface, x, y);
  }
  static void SetPx(DDSURFACEDATA* sd, int x, int y, std::uint32_t v) {
    cSurfaceLock lock;
    ASSERT_TRUE(lock.Lock(sd));
    pix::putRaw(*lock.m_lpSurface, x, y, v);
  }

  test_support::TempDir dir_;
  std::string report_;
  std::vector<DDSURFACEDATA> table_ = std::vector<DDSURFACEDATA>(8);
  std::vector<DDSURFACEINFO> infos_ = std::vector<DDSURFACEINFO>(8);
};

}  // namespace gfxtest
