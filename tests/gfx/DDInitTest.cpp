#include "GfxTest.h"

namespace {

using namespace gfxtest;
using DDInitTest = GfxFixture;

TEST_F(DDInitTest, EachModeOpensWithItsFormatsAndLayouts) {
  struct Case {
    Mode mode;
    bool windowed;
    plat::PixelFormat back;
    PIXELLAYOUT pixel;
  };
  const Case cases[] = {
      {Mode::D3D32, true, plat::PixelFormat::Xrgb8888, {16, 8, 0, 24, 255, 255, 255, 255}},
      {Mode::D3D16, true, plat::PixelFormat::Argb1555, {10, 5, 0, 15, 31, 31, 31, 1}},
      {Mode::D3D16, false, plat::PixelFormat::Rgb565, {10, 5, 0, 15, 31, 31, 31, 1}},
      {Mode::DD8, false, plat::PixelFormat::Index8, {}},
      {Mode::DD16, true, plat::PixelFormat::Rgb565, {11, 5, 0, 0, 31, 63, 31, 0}},
      {Mode::DD24, false, plat::PixelFormat::Bgr24, {16, 8, 0, 0, 255, 255, 255, 0}},
      {Mode::DD32, true, plat::PixelFormat::Xrgb8888, {16, 8, 0, 0, 255, 255, 255, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + (c.windowed ? " window" : " full screen"));
    ResetAll();
    ASSERT_TRUE(Open(c.mode, c.windowed));
    EXPECT_EQ(g_lpD3DData != nullptr, IsD3D(c.mode));
    EXPECT_EQ(g_lpDDData != nullptr, !IsD3D(c.mode));
    ASSERT_NE(BackBuffer.Pixels(), nullptr);
    EXPECT_EQ(BackBuffer.Pixels()->format(), c.back);
    EXPECT_EQ(BackBuffer.nWidth, 640);
    EXPECT_EQ(BackBuffer.nHeight, 480);
    EXPECT_EQ(g_PixelLayout.wShiftR, c.pixel.wShiftR);
    EXPECT_EQ(g_PixelLayout.wMaxG, c.pixel.wMaxG);
    EXPECT_EQ(g_PixelLayout.wShiftA, c.pixel.wShiftA);
    EXPECT_EQ(plat::Presenter::instance().fullScreenRequested(), !c.windowed);
    EXPECT_EQ(plat::Presenter::instance().cursorVisible(), c.windowed);
    if (IsD3D(c.mode)) {
      EXPECT_EQ(VirBackBuffer.szSurfaceType, "VirBackBuffer");
      EXPECT_EQ(WorkSD.nWidth, 640);
      EXPECT_EQ(g_lpD3DData->nAlphaOp, D3DTOP_SELECTARG1);
      EXPECT_EQ(g_lpD3DData->lpParkingTarget, &VirBackBuffer);
    } else {
      EXPECT_EQ(ScreenCopy.nMemoryKind, 1);
      EXPECT_EQ(ScreenCopy.Pixels()->memory(), plat::Memory::System);
    }
    DDUnInit();
    EXPECT_EQ(g_lpD3DData, nullptr);
    EXPECT_EQ(g_lpDDData, nullptr);
  }
}

TEST_F(DDInitTest, SixteenBitFullScreenScreenLayoutIs565) {
  ASSERT_TRUE(Open(Mode::D3D16, false));
  EXPECT_EQ(g_ScreenLayout.wShiftR, 11);
  EXPECT_EQ(g_ScreenLayout.wMaxG, 63);
  EXPECT_EQ(g_lpD3DData->nSurfaceFormat, D3DFMT_R5G6B5);
  EXPECT_TRUE(DDIsFullScreenBackBuffer(&BackBuffer));
  EXPECT_FALSE(DDIsFullScreenBackBuffer(&VirBackBuffer));
}

TEST_F(DDInitTest, Direct3DFailuresFallBackToDirectDraw) {
  struct Case {
    const char* what;
    std::function<void()> inject;
    const char* reportText;  // what the failing start-up left in the report (nullptr: nothing)
  };
  const Case cases[] = {
      {"driver DDI 8", [] { plat::display::caps().ddiVersion = 8; },
       "ビデオカードのドライバがDirectX9をサポートしていません！ 8"},
      {"no runtime", [] { plat::display::faults().direct3DCreate = true; },
       "ビデオカードがDirectX9をサポートしていません！"},
      {"both device creations", [] { plat::display::faults().createDevice = 2; }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetAll();
    ASSERT_TRUE(OpenReport(plat::fs::fromNative(report_)));
    c.inject();
    EXPECT_FALSE(Open(Mode::D3D32));
    if (c.reportText) { EXPECT_NE(Report().find(c.reportText), std::string::npos); }
    EXPECT_EQ(Report().find("Device HAL"), std::string::npos);
    // The start-up's retry: shut down, then DirectDraw.
    DDUnInit();
    EXPECT_EQ(g_lpD3DData, nullptr);
    ASSERT_TRUE(Open(Mode::DD32));
    EXPECT_NE(g_lpDDData, nullptr);
    EXPECT_EQ(g_lpD3DData, nullptr);
    DDClear(&BackBuffer, 0);
  }
}

TEST_F(DDInitTest, SecondDeviceAttemptIsSoftwareVertexProcessing) {
  plat::display::faults().createDevice = 1;
  ASSERT_TRUE(Open(Mode::D3D32));
  EXPECT_NE(Report().find("Device HAL-SOFT"), std::string::npos);
  EXPECT_NE(Report().find("X8R8G8B8"), std::string::npos);
}

TEST_F(DDInitTest, Direct3DRefusesDepth24) {
  EXPECT_FALSE(DDInit(1, 1, 640, 480, 24, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
}

TEST_F(DDInitTest, DirectDrawStepFailuresGiveTheirCodes) {
  struct Case {
    int step;
    bool windowed;
    const char* report;
  };
  const Case cases[] = {{1, false, "DirectDrawCreateEx Err"}, {3, false, "SetDisplayMode Err"},
                        {5, false, "GetAttachedSurface Err"}, {7, false, "SetPalette Err"},
                        {10, true, "CreateClipper Err"},      {12, true, "SetClipper Err"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    ResetAll();
    ASSERT_TRUE(OpenReport(plat::fs::fromNative(report_)));
    plat::display::faults().directDrawStep = c.step;
    // Step 7 only runs in 8-bit mode.
    EXPECT_FALSE(Open(c.step == 7 ? Mode::DD8 : Mode::DD32, c.windowed));
    EXPECT_NE(Report().find(c.report), std::string::npos);
  }
}

TEST_F(DDInitTest, CheckInitErrorNamesOnlyKnownCodes) {
  for (int code : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12}) EXPECT_FALSE(DDCheckInitError(code)) << code;
  for (int code : {0, 8, 9, 13}) EXPECT_TRUE(DDCheckInitError(code)) << code;
}

TEST_F(DDInitTest, DrawColourAndOperationOnlyUnderDirect3D) {
  ASSERT_TRUE(Open(Mode::D3D32));
  DDSetDrawColor(0x80FF0000);
  DDSetColorOp(D3DTOP_ADD);
  EXPECT_EQ(g_lpD3DData->dwDrawColor, 0x80FF0000u);
  EXPECT_EQ(g_lpD3DData->nColorOp, D3DTOP_ADD);
  DDResetDrawColor();
  DDResetColorOp();
  EXPECT_EQ(g_lpD3DData->dwDrawColor, 0xFFFFFFFFu);
  EXPECT_EQ(g_lpD3DData->nColorOp, D3DTOP_MODULATE);
}

}  // namespace
