// Set-up shared by the tests of the software effects: surfaces made and released by the
// fixture, painted and read back as raw pixels.
#pragma once
#include <deque>
#include <functional>
#include <vector>

#include "GfxTest.h"

namespace gfxtest {

class EffectFixture : public GfxFixture {
 protected:
  void TearDown() override {
    ReleaseSurfaces();
    GfxFixture::TearDown();
  }
  void ReleaseSurfaces() {
    for (DDSURFACEDATA& s : surfaces_) DDReleaseSurface(&s);
    surfaces_.clear();
  }
  // Switches to another mode (the surfaces of the old one are released first).
  void Reopen(Mode m, bool windowed = true) {
    ReleaseSurfaces();
    ResetAll();
    ASSERT_TRUE(Open(m, windowed));
  }
  // A blank surface; in system memory when asked (under Direct3D: the pixel-loop path).
  DDSURFACEDATA* Make(int w, int h, bool system = false) {
    surfaces_.emplace_back();
    EXPECT_TRUE(DDCreateSurface(&surfaces_.back(), w, h, 0, system ? 1 : 0, system ? 1 : 0, 0, false));
    return &surfaces_.back();
  }
  static void Paint(DDSURFACEDATA* s, const std::function<std::uint32_t(int, int)>& raw) {
    cSurfaceLock l(s);
    ASSERT_TRUE(l.IsLocked());
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) pix::putRaw(*l.m_lpSurface, x, y, raw(x, y));
  }
  static void PaintAll(DDSURFACEDATA* s, std::uint32_t raw) {
    Paint(s, [&](int, int) { return raw; });
  }
  // Pixels that differ from `background`.
  static int Changed(DDSURFACEDATA* s, std::uint32_t background) {
    cSurfaceLock l(s);
    int n = 0;
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) n += pix::getRaw(*l.m_lpSurface, x, y) != background;
    return n;
  }

  // Every pixel, row by row.
  static std::vector<std::uint32_t> Grab(DDSURFACEDATA* s) {
    std::vector<std::uint32_t> v;
    cSurfaceLock l(s);
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) v.push_back(pix::getRaw(*l.m_lpSurface, x, y));
    return v;
  }
  // A row or column of an 8-bit surface as text: '.' for 0, 'a' + v - 1 for v.
  static std::string RowText(DDSURFACEDATA* s, int y, int x0, int x1) {
    std::string out;
    for (int x = x0; x < x1; ++x) out += Letter(Px(s, x, y));
    return out;
  }
  static std::string ColumnText(DDSURFACEDATA* s, int x, int y0, int y1) {
    std::string out;
    for (int y = y0; y < y1; ++y) out += Letter(Px(s, x, y));
    return out;
  }
  static char Letter(std::uint32_t v) { return v == 0 ? '.' : char('a' + v - 1); }

  std::deque<DDSURFACEDATA> surfaces_;
};

}  // namespace gfxtest
