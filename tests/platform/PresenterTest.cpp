#include "platform/presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/bmp.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

class PresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::display::resetForTests();
    plat::Presenter::instance().resetForTests();
  }
  void TearDown() override {
    plat::Presenter::instance().resetForTests();
    plat::display::resetForTests();
    unsetenv("PELLMOOR_FRAME_DUMP");
  }
  plat::Presenter& P() { return plat::Presenter::instance(); }
};

TEST_F(PresenterTest, FramesConvertEveryFormatToRgb) {
  struct Case {
    plat::PixelFormat format;
    std::uint32_t raw;
    std::uint32_t rgb;
  };
  const Case cases[] = {
      {plat::PixelFormat::Rgb565, 0xF81F, 0xFF00FF},
      {plat::PixelFormat::Rgb565, 0x0841, 0x080808},  // fields 1, 2, 1 expanded by replication
      {plat::PixelFormat::Argb1555, 0xFC00, 0xFF0000},
      {plat::PixelFormat::Rgb555, 0x001F, 0x0000FF},
      {plat::PixelFormat::Bgr24, 0x123456, 0x123456},
      {plat::PixelFormat::Xrgb8888, 0xAB123456, 0x123456},
      {plat::PixelFormat::Index8, 7, 0x00C0DE},
  };
  const std::uint32_t entry = 0x00C0DE;
  plat::display::setPaletteEntries(7, 1, &entry);
  for (const Case& c : cases) {
    auto s = plat::Surface::create(3, 2, c.format, plat::Memory::System);
    ASSERT_TRUE(s);
    std::uint8_t* p = s->row(1) + 2 * s->bytesPerPixel();
    for (int i = 0; i < s->bytesPerPixel(); ++i) p[i] = std::uint8_t(c.raw >> (8 * i));
    P().submit(*s, false);
    const auto f = P().lastFrame();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->width, 3);
    EXPECT_EQ(f->pixels[1 * 3 + 2], c.rgb) << static_cast<int>(c.format);
  }
  EXPECT_EQ(P().submittedCount(), std::size(cases));
}

TEST_F(PresenterTest, HeadlessFramesCanBeDumpedAsBitmaps) {
  test_support::TempDir dir;
  setenv("PELLMOOR_FRAME_DUMP", dir.path().c_str(), 1);
  auto s = plat::Surface::create(4, 2, plat::PixelFormat::Xrgb8888, plat::Memory::System);
  s->rowAs<std::uint32_t>(1)[3] = 0x00FF8000;
  P().submit(*s, false);
  const auto b = plat::bmp::load(plat::fs::fromNative(dir.path() + "/frame_000001.bmp"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->width, 4);
  EXPECT_EQ(b->rgbAt(3, 1), 0xFF8000u);
}

TEST_F(PresenterTest, WindowThreadShowsTheFrameAndReleasesAWaitingSubmit) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("t", 0, 0, 1280, 960, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  P().presentPending(window);  // attaches; nothing to show yet
  EXPECT_EQ(P().shownCount(), 0u);

  auto s = plat::Surface::create(640, 480, plat::PixelFormat::Xrgb8888, plat::Memory::System);
  std::thread game([&] { P().submit(*s, true); });  // waits until shown
  while (P().submittedCount() == 0) std::this_thread::yield();
  P().setFullScreen(true);
  P().presentPending(window);
  game.join();
  EXPECT_EQ(P().shownCount(), 1u);
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  P().repaint(window);
  P().detachWindow();
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(PresenterTest, AWindowAttachedAtStartUpHasItsRendererBeforeTheFirstFrame) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("t", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  EXPECT_FALSE(P().hasRenderer());
  P().attachWindow(window);
  EXPECT_TRUE(P().hasRenderer());
  EXPECT_EQ(P().submittedCount(), 0u);
  P().detachWindow();
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(PresenterTest, WithoutAWindowVsyncWaitsForATickAndReturns) {
  auto s = plat::Surface::create(2, 2, plat::PixelFormat::Xrgb8888, plat::Memory::System);
  P().submit(*s, true);
  P().submit(*s, true);
  P().waitVerticalBlank();
  EXPECT_EQ(P().submittedCount(), 2u);
  EXPECT_EQ(P().shownCount(), 0u);
}

TEST(SurfaceTest, LossPoisonsOnlyVideoSurfaces) {
  plat::display::resetForTests();
  auto video = plat::Surface::create(5, 3, plat::PixelFormat::Bgr24, plat::Memory::Video);
  auto system = plat::Surface::create(5, 3, plat::PixelFormat::Bgr24, plat::Memory::System);
  ASSERT_TRUE(video && system);
  EXPECT_EQ(video->pitch() % 3, 0);  // a whole number of pixels per row
  system->row(2)[14] = 42;
  plat::display::injectLoss();
  EXPECT_TRUE(video->isLost());
  EXPECT_FALSE(system->isLost());
  EXPECT_EQ(system->row(2)[14], 42);
  plat::Surface::Lock l;
  EXPECT_FALSE(video->lock(l));
  video->restore();
  ASSERT_TRUE(video->lock(l));
  EXPECT_EQ(l.pixels[0], plat::Surface::kPoisonByte);
  EXPECT_EQ(plat::display::testCooperative(), plat::display::Coop::NotReset);
  EXPECT_TRUE(plat::display::reset());
  EXPECT_EQ(plat::display::testCooperative(), plat::display::Coop::Ok);
  EXPECT_FALSE(plat::Surface::create(0, 5, plat::PixelFormat::Index8, plat::Memory::System));
  EXPECT_FALSE(plat::Surface::create(40000, 5, plat::PixelFormat::Index8, plat::Memory::System));
}

TEST(DisplayTest, DesktopDepthIs32UnlessOverridden) {
  plat::display::resetForTests();
  EXPECT_EQ(plat::display::desktopDepth(), 32);
  plat::display::setDesktopDepthOverride(16);
  EXPECT_EQ(plat::display::desktopDepth(), 16);
  plat::display::resetForTests();
}

}  // namespace
