// A stage with the drawing library open, for the tests of the stage picture: sheets of
// the fixed table marked pixel by pixel, so that a screen pixel tells which sheet and
// which source pixel it came from, and the screen read back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"
#include "stage/StageFixture.h"
#include "test_support/Graphics.h"

namespace stagetest {

// A pixel value no fill produces: pixel (x, y) of a sheet marked with tag t is
// t << 24 | y << 12 | x.
inline std::uint32_t Mark(int x, int y, int tag = 1) {
  return std::uint32_t(tag) << 24 | std::uint32_t(y) << 12 | std::uint32_t(x);
}
// The source row and the tag of a marked pixel.
inline int MarkRow(std::uint32_t v) { return static_cast<int>(v >> 12 & 0xFFF); }
inline int MarkTag(std::uint32_t v) { return static_cast<int>(v >> 24); }

class DrawFixture : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    ASSERT_TRUE(graphics_.Open(false, false));
  }
  void TearDown() override {
    Scene().ReleaseSurfaces();
    for (int n : marked_) DDReleaseSurface(&g_SurfaceData[n]);
    graphics_.Close();
    StageFixture::TearDown();
  }

  // Table entry n made w x h and marked pixel by pixel with the tag.
  void MakeMarked(int n, int w, int h, int tag = 1) {
    marked_.insert(n);
    MakeMarkedSurface(&g_SurfaceData[n], w, h, tag);
  }
  static void MakeMarkedSurface(DDSURFACEDATA* sd, int w, int h, int tag) {
    DDReleaseSurface(sd);
    ASSERT_TRUE(DDCreateSurface(sd, w, h, 0, 1, 1, 0, false));
    cSurfaceLock lock(sd);
    ASSERT_TRUE(lock.IsLocked());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pix::putRaw(*lock.m_lpSurface, x, y, Mark(x, y, tag));
  }
  static std::uint32_t Screen(int x, int y) {
    cSurfaceLock lock(&BackBuffer);
    EXPECT_TRUE(lock.IsLocked());
    return lock.IsLocked() ? pix::getRaw(*lock.m_lpSurface, x, y) : 0xDEADBEEF;
  }
  // The screen's pixel value for a fill with palette number n (the screen is filled).
  static std::uint32_t FillValue(int n) {
    DDFillRect(&BackBuffer, 0, 0, 640, 480, static_cast<std::uint32_t>(n));
    return Screen(0, 0);
  }
  void ScrollTo(double x, double y) {
    Scene().m_ScrollX.m_dPos = x;
    Scene().m_ScrollY.m_dPos = y;
  }

  test_support::Graphics graphics_;
  std::set<int> marked_;
};

}  // namespace stagetest
