// The window base class: layout arithmetic from a client size and a style, placement on
// the desktop, message dispatch with the command guard, and the mouse record.
#include "base/AppMessages.h"
#include "ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "test_support/LogCapture.h"

namespace {

constexpr std::uint32_t kMainStyle = 0x80CA0000u;

class cWindowTest : public test_support::LogCapture {
 protected:
  void SetUp() override {
    LogCapture::SetUp();
    plat::setFrameMetrics(plat::FrameMetrics{});
    plat::Desktop d;
    d.bounds = d.workArea = plat::Rect{0, 0, 1024, 768};
    plat::overrideDesktop(&d);
    plat::input::InputProbe::reset();
  }
  void TearDown() override {
    plat::overrideDesktop(nullptr);
    plat::input::InputProbe::reset();
    LogCapture::TearDown();
  }
};

TEST_F(cWindowTest, LayoutAddsTheFrameAndTheBarsAroundTheDrawingArea) {
  struct Case {
    const char* what;
    int w, h;
    std::uint32_t style;
    int menu, rows, status, scroll;
    plat::Rect frame;  // left, top, right, bottom thickness
    int outerW, outerH;
    int drawTop, drawW, drawH;
  };
  // Frame metrics: caption 19, dialog frame 3, sizing frame 4, scroll bars 17, menu 19.
  const Case cases[] = {
      {"the main window", 640, 480, kMainStyle, 0, 0, 0, 0, {3, 22, 3, 3}, 646, 505, 0, 640, 480},
      {"no frame at all", 300, 200, 0, 0, 0, 0, 0, {0, 0, 0, 0}, 300, 200, 0, 300, 200},
      // clang-format off
      {"sizing frame wins over the dialog frame, with a menu", 300, 200,
       ws::Caption | ws::ThickFrame, 1, 0, 0, 0, {4, 42, 4, 4}, 308, 246, 0, 300, 200},
      {"scroll bar styles widen the frame", 300, 200, ws::HScroll | ws::VScroll, 0, 0, 0, 0, {0, 0, 17, 17}, 317,
       217, 0, 300, 200},
      {"tool bar, status bar and scroll bars sit inside the client area", 100, 50, 0, 0, 2, 1, 3, {0, 0, 0, 0},
       117, 143, 56, 100, 50},
      // clang-format on
  };
  for (const Case& c : cases) {
    cWindow w;
    w.SetLayout(c.w, c.h, 100, 100, 640, 480, c.style, c.menu, c.rows, c.status, c.scroll);
    EXPECT_EQ(w.m_nFrameLeft, c.frame.left) << c.what;
    EXPECT_EQ(w.m_nFrameTop, c.frame.top) << c.what;
    EXPECT_EQ(w.m_nFrameRight, c.frame.right) << c.what;
    EXPECT_EQ(w.m_nFrameBottom, c.frame.bottom) << c.what;
    EXPECT_EQ(w.OuterWidth(), c.outerW) << c.what;
    EXPECT_EQ(w.OuterHeight(), c.outerH) << c.what;
    EXPECT_EQ(w.m_nDrawLeft, 0) << c.what;
    EXPECT_EQ(w.m_nDrawTop, c.drawTop) << c.what;
    EXPECT_EQ(w.m_nDrawWidth, c.drawW) << c.what;
    EXPECT_EQ(w.m_nDrawHeight, c.drawH) << c.what;
  }

  // The size limits are client sizes plus the frame.
  cWindow w;
  w.SetLayout(640, 480, 100, 100, 640, 480, kMainStyle, 0, 0, 0, 0);
  MINMAXINFO mmi{};
  w.GetMinMaxInfo(&mmi);
  EXPECT_EQ(mmi.ptMinTrackSize.x, 106);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 125);
  EXPECT_EQ(mmi.ptMaxTrackSize.x, 646);
  EXPECT_EQ(mmi.ptMaxTrackSize.y, 505);
  // A new client size keeps the frame; a style change measures again.
  w.SetClientSize(320, 200);
  EXPECT_EQ(w.OuterWidth(), 326);
  EXPECT_EQ(w.m_nDrawHeight, 200);
  w.RemoveStyle(ws::Caption);
  EXPECT_EQ(w.OuterHeight(), 200);
  w.AddStyle(ws::ThickFrame);
  EXPECT_EQ(w.OuterHeight(), 208);
}

TEST_F(cWindowTest, PlacementKeepsTheStoredPositionInsideTheWorkArea) {
  struct Case {
    const char* what;
    int storedX, storedY;
    int x, y;  // where the window ends up
  };
  // The window is 646 x 505 outside; the work area 1024 x 768; it starts at (7, 9).
  const Case cases[] = {
      {"a negative x becomes 0", -5, 30, 0, 30},
      {"overhanging the right edge: flush with it", 500, 30, 378, 30},
      {"touching the edges counts as overhanging", 378, 263, 378, 263},
      {"overhanging the bottom: flush with it", 10, 700, 10, 263},
      {"no stored x: stays", cWindow::kNoPosition, 30, 7, 9},
      {"no stored y: stays", 30, cWindow::kNoPosition, 7, 9},
  };
  for (const Case& c : cases) {
    cWindow w;
    w.SetLayout(640, 480, 100, 100, 640, 480, kMainStyle, 0, 0, 0, 0);
    w.MoveTo(7, 9);
    w.m_nStoredX = c.storedX;
    w.m_nStoredY = c.storedY;
    w.PlaceInWorkArea();
    POINT p;
    w.GetWindowPos(&p);
    EXPECT_EQ(p.x, c.x) << c.what;
    EXPECT_EQ(p.y, c.y) << c.what;
  }
  cWindow w;
  w.SetLayout(640, 480, 100, 100, 640, 480, kMainStyle, 0, 0, 0, 0);
  w.CenterOnDesktop();
  EXPECT_EQ(w.m_nPosX, (1024 - 646) / 2);
  EXPECT_EQ(w.m_nPosY, (768 - 505) / 2);
}

// Records what reaches the handlers; a command can send a second one from inside.
class Recorder : public cWindow {
 public:
  std::intptr_t OnCommand(std::uintptr_t wParam, std::intptr_t) override {
    log.push_back("command " + std::to_string(wParam));
    if (wParam == 1) nested = OnMessage(m_hWnd, plat::Msg{plat::wm::Command, 2, 0});
    return 0;
  }
  void OnLButtonDown(std::uintptr_t, std::intptr_t) override { log.push_back("left down"); }
  void OnPaint() override { log.push_back("paint"); }
  std::vector<std::string> log;
  std::intptr_t nested = -1;
};

TEST_F(cWindowTest, DispatchReachesTheHandlersAndACommandInsideACommandIsDropped) {
  Recorder w;
  w.SetLayout(640, 480, 100, 100, 640, 480, kMainStyle, 0, 0, 0, 0);
  EXPECT_EQ(w.OnMessage(5, plat::Msg{plat::wm::Command, 1, 0}), 1);
  EXPECT_EQ(w.nested, 0);
  EXPECT_EQ(w.log, std::vector<std::string>{"command 1"});
  EXPECT_EQ(w.m_hWnd, 5u);
  // The guard is down again once the first command has been handled.
  EXPECT_EQ(w.OnMessage(5, plat::Msg{plat::wm::Command, 3, 0}), 1);
  EXPECT_EQ(w.OnMessage(5, plat::Msg{plat::wm::LButtonDown, 0, 0}), 1);
  EXPECT_EQ(w.OnMessage(5, plat::Msg{plat::wm::Paint, 0, 0}), 1);
  EXPECT_EQ(w.OnMessage(5, plat::Msg{appmsg::NameEntry, 0, 0}), 0);
  EXPECT_EQ(w.log, (std::vector<std::string>{"command 1", "command 3", "left down", "paint"}));
  EXPECT_EQ(w.OnMessage(5, plat::Msg{plat::wm::Destroy, 0, 0}), 1);
  EXPECT_EQ(w.m_hWnd, 0u);
}

TEST_F(cWindowTest, AClickShowsPressedOnceAndReleasedOnTheUpdateAfterTheButtonGoesUp) {
  cMouseState m;
  m.Update(7);  // buttons up: latches clear
  struct Step {
    bool down;
    int held, pressed, released;
  };
  const Step steps[] = {{true, 1, 1, 0}, {true, 1, 0, 0}, {true, 1, 0, 0}, {false, 0, 0, 1}, {false, 0, 0, 0}};
  for (const Step& s : steps) {
    plat::input::InputProbe::setKey(plat::vk::LButton, s.down);
    m.Update(7);
    EXPECT_EQ(m.m_bLeft, s.held) << &s - steps;
    EXPECT_EQ(m.m_bLeftPressed, s.pressed) << &s - steps;
    EXPECT_EQ(m.m_bLeftReleased, s.released) << &s - steps;
    EXPECT_EQ(m.m_bRight + m.m_bRightPressed + m.m_bRightReleased, 0);
  }
  // Mode 1 reads only the held states.
  plat::input::InputProbe::setKey(plat::vk::RButton, true);
  m.Update(1);
  EXPECT_EQ(m.m_bRight, 1);
  EXPECT_EQ(m.m_bRightPressed, 0);
}

TEST_F(cWindowTest, ACursorThatCannotBeReadIsLoggedAndAPointOutsideLeavesTheRecord) {
  // Without a window system the cursor cannot be read; the call goes on with (0, 0),
  // which lies left of a window at (100, 100).
  cWindow w;
  w.SetLayout(640, 480, 100, 100, 640, 480, kMainStyle, 0, 0, 0, 0);
  w.MoveTo(100, 100);
  w.m_Mouse.m_nX = 55;
  EXPECT_EQ(w.UpdateMouse(0, 7), 0);
  EXPECT_EQ(w.m_Mouse.m_nX, 55);
  EXPECT_EQ(w.UpdateMouse(1, 7), 1);
  EXPECT_EQ(w.m_Mouse.m_nX, -103);
  EXPECT_EQ(w.m_Mouse.m_nY, -122);
  EXPECT_EQ(DebugLines(), (std::vector<std::string>{"GetCursorPos失敗！", "GetCursorPos失敗！"}));
}

}  // namespace
