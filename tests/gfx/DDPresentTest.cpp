#include "GfxTest.h"

#include "gfx/BmpTable.h"
#include "gfx/Font.h"
#include "platform/msgbox.h"
#include "platform/sys.h"

namespace {

using namespace gfxtest;
using DDPresentTest = GfxFixture;

TEST_F(DDPresentTest, VirtualBackBufferFlushesOpaqueWhenSwitchedOffOrPresented) {
  ASSERT_TRUE(Open(Mode::D3D32));
  g_Palette[2] = PALETTEENTRY{0, 0, 200, 0};
  DDClear(&BackBuffer, 2);
  DDSetVirBackBuffer(true);
  EXPECT_EQ(g_lpD3DData->lpParkingTarget, &BackBuffer);
  // Drawing aimed at the back buffer lands in the virtual one.
  DDFillRectColor(&BackBuffer, 0, 0, 4, 4, 0xFF112233);
  EXPECT_EQ(Px(&BackBuffer, 0, 0), 0xFF0000C8u);
  EXPECT_EQ(Px(&VirBackBuffer, 0, 0), 0xFF112233u);
  // A pixel the frame left transparent still reaches the screen as its colour.
  SetPx(&VirBackBuffer, 5, 0, 0x00445566);
  ASSERT_TRUE(DDPresent());
  EXPECT_EQ(Px(&BackBuffer, 0, 0), 0xFF112233u);
  EXPECT_EQ(Px(&BackBuffer, 5, 0) & 0xFFFFFF, 0x445566u);
  const auto frame = plat::Presenter::instance().lastFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->pixels[0], 0x112233u);
  // Switching off in mid-frame copies at once; switching on copies nothing.
  DDFillRectColor(&BackBuffer, 0, 0, 1, 1, 0xFF0000FF);
  DDSetVirBackBuffer(false);
  EXPECT_EQ(Px(&BackBuffer, 0, 0), 0xFF0000FFu);
  DDFillRectColor(&BackBuffer, 0, 0, 1, 1, 0xFF00FF00);
  DDSetVirBackBuffer(true);
  EXPECT_EQ(Px(&VirBackBuffer, 0, 0), 0xFF0000FFu);
}

TEST_F(DDPresentTest, DirectDrawShowsTheBackBufferThroughThePalette) {
  ASSERT_TRUE(Open(Mode::DD8, false));
  PALETTEENTRY e{10, 20, 30, 0};
  DDSetPaletteEntries(9, 1, &e);
  g_Palette[9] = e;
  DDFillRect(&BackBuffer, 0, 0, 640, 480, 9);
  ASSERT_TRUE(DDFlip());
  auto frame = plat::Presenter::instance().lastFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 640);
  EXPECT_EQ(frame->pixels[1000], 0x0A141Eu);
  EXPECT_EQ(Px(&Primary, 3, 3), 9u);  // the flip made it the front page
  ResetAll();
  ASSERT_TRUE(Open(Mode::DD32));
  DDFillRectColor(&BackBuffer, 0, 0, 640, 480, 0x123456);
  ASSERT_TRUE(DDBltBackBufferToPrimary());
  EXPECT_EQ(Px(&Primary, 639, 479), 0x123456u);
  EXPECT_EQ(plat::Presenter::instance().lastFrame()->pixels[0], 0x123456u);
  EXPECT_TRUE(DDPresent());  // the frame step presents by itself here
}

TEST_F(DDPresentTest, LostDeviceMinimisesFullScreenAndFontsDrawAgain) {
  ASSERT_TRUE(Open(Mode::D3D32, false));
  g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
  Font font;
  font.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  DDSURFACEDATA strip;
  DDSURFACEINFO info;
  info.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  FONTINFO fi;
  fi.nCellWidth = 16;
  fi.nCellHeight = 16;
  ASSERT_EQ(CreateDigitSurfaces(&strip, &info, 1, &font, &fi), 1);
  auto ink = [](DDSURFACEDATA* s) {
    int n = 0;
    cSurfaceLock l(s);
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) n += (pix::getRaw(*l.m_lpSurface, x, y) & 0xFFFFFF) != 0;
    return n;
  };
  const int before = ink(&strip);
  ASSERT_GT(before, 0);

  plat::display::injectLoss();
  EXPECT_FALSE(DDPresent());
  EXPECT_EQ(plat::Presenter::instance().minimizeRequests(), 1);
  ASSERT_TRUE(DDRestoreSurface());
  EXPECT_EQ(strip.lpDT->bRecreated, 1);
  EXPECT_EQ(ink(&strip), 0);  // cleared by the reset: its owner redraws it
  DrawDigits(&strip, &font);
  EXPECT_EQ(ink(&strip), before);
  DDReleaseSurface(&strip);
}

TEST_F(DDPresentTest, BoxesOverFullScreenGoThroughTheLibrary) {
  // The box is answered by script, whatever the machine offers.
  plat::sys::LaunchParams launch = plat::sys::launch();
  launch.headless = true;
  plat::sys::setLaunch(launch);
  plat::box_script::reset();  // boxes of earlier tests in the same process
  plat::box_script::setAnswers({plat::answer::Ok});
  ASSERT_TRUE(Open(Mode::DD32, false));
  EXPECT_FALSE(plat::Presenter::instance().cursorVisible());
  EXPECT_EQ(ErrorBox("テスト"), 1);
  const std::vector<plat::box_script::Shown> shown = plat::box_script::shown();
  plat::box_script::reset();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].textCp932, "テスト");
  EXPECT_FALSE(plat::Presenter::instance().cursorVisible());  // hidden again afterwards
  DDUnInit();
  // In a window no mode switch happens.
  ASSERT_TRUE(Open(Mode::DD32, true));
  EXPECT_TRUE(DDSetDialogMode(true));
  EXPECT_TRUE(plat::Presenter::instance().cursorVisible());
}

}  // namespace
