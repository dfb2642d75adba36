// Opens the drawing library at 640 x 480 in a window for a test and closes it again,
// putting the presenter and the display back as they were.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "gfx/DDInit.h"
#include "gfx/DDSurface.h"
#include "platform/display.h"
#include "platform/presenter.h"

namespace test_support {

class Graphics {
 public:
  Graphics() = default;
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  ~Graphics() { Close(); }

  // Direct3D (32 bits) or DirectDraw at 32 bits, in a window or full screen.
  bool Open(bool direct3D, bool vsync, bool windowed = true) {
    Close();
    plat::display::resetForTests();
    plat::Presenter::instance().resetForTests();
    if (!direct3D && windowed) plat::display::setDesktopDepthOverride(32);
    open_ = DDInit(direct3D ? 1 : 0, 1, 640, 480, 32, vsync ? 1 : 0, windowed ? 1 : 0, 1, 60, vsync ? 1 : 0,
                   table_.data(), infos_.data(), static_cast<int>(table_.size()));
    return open_;
  }
  void Close() {
    if (!open_) return;
    for (DDSURFACEDATA& s : table_) DDReleaseSurface(&s);
    DDUnInit();
    g_DDState = DDMODULESTATE{};
    plat::Presenter::instance().resetForTests();
    plat::display::resetForTests();
    open_ = false;
  }

 private:
  bool open_ = false;
  std::vector<DDSURFACEDATA> table_ = std::vector<DDSURFACEDATA>(4);
  std::vector<DDSURFACEINFO> infos_ = std::vector<DDSURFACEINFO>(4);
};

}  // namespace test_support
