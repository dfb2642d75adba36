#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/presenter.h"
#include "platform/queue_detail.h"
#include "platform/sys.h"
#include "test_support/WaitFor.h"

namespace {

// The test thread is the window thread; every test has its own window and queue.
class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::sys::LaunchParams p = plat::sys::launch();
    p.headless = true;
    plat::sys::setLaunch(p);
    plat::this_thread::resetQueue();
    ASSERT_TRUE(plat::videoInit());
    ASSERT_TRUE(win_.create(640, 480, 100, 100, [this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      trace_.push_back("msg " + std::to_string(m.id) + " " + std::to_string(m.w) + " " + std::to_string(m.l));
      return 0;
    }));
  }
  void TearDown() override {
    plat::setEventTap(nullptr);
    plat::setPresentHook(nullptr);
    win_.discard();
    plat::videoQuit();
    plat::this_thread::resetQueue();
  }
  void PumpAll() {
    while (plat::pumpOne(false) == plat::Pump::Handled) {}
  }
  static std::string Msg(std::uint32_t id, std::uintptr_t w = 0, std::intptr_t l = 0) {
    return "msg " + std::to_string(id) + " " + std::to_string(w) + " " + std::to_string(l);
  }
  void PushWindowEvent(SDL_WindowEventID e, int d1 = 0, int d2 = 0) {
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.windowID = SDL_GetWindowID(win_.sdlWindow());
    ev.window.event = e;
    ev.window.data1 = d1;
    ev.window.data2 = d2;
    SDL_PushEvent(&ev);
  }
  void PushKey(Uint32 type, SDL_Keycode key, bool repeat = false) {
    SDL_Event ev{};
    ev.type = type;
    ev.key.keysym.sym = key;
    ev.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    ev.key.repeat = repeat;
    SDL_PushEvent(&ev);
  }

  plat::MainWindow win_;
  std::vector<std::string> trace_;
};

TEST_F(Window, CreateSendsCreateAndAHeadlessShowActivatesOnce) {
  EXPECT_EQ(trace_, std::vector<std::string>{Msg(plat::wm::Create)});
  EXPECT_FALSE(win_.shown());
  win_.show(plat::ShowMode::Normal);
  win_.show(plat::ShowMode::Normal);
  EXPECT_TRUE(win_.shown());
  EXPECT_EQ(trace_, (std::vector<std::string>{Msg(plat::wm::Create), Msg(plat::wm::ActivateApp, 1)}));
  EXPECT_EQ(plat::MainWindow::primary(), &win_);
}

TEST_F(Window, AWindowManagerThatEnlargesTheWindowGetsThePictureCentredAndScaled) {
  // A fixed-size window would keep its 640 x 480 client area when maximised or taken
  // full screen by the window manager.
  EXPECT_TRUE(SDL_GetWindowFlags(win_.sdlWindow()) & SDL_WINDOW_RESIZABLE);
  win_.show(plat::ShowMode::Normal);
  SDL_SetWindowSize(win_.sdlWindow(), 1600, 1000);  // what the window manager does
  PumpAll();
  plat::Presenter& p = plat::Presenter::instance();
  auto frame = plat::Surface::create(640, 480, plat::PixelFormat::Xrgb8888, plat::Memory::System);
  p.submit(*frame, false);
  win_.presentPending();
  // Twice the size (1280 x 960), centred: the frame's corners and middle.
  const struct { int wx, wy, fx, fy; } points[] = {{160, 20, 0, 0}, {800, 500, 320, 240}, {1438, 978, 639, 479}};
  for (const auto& pt : points) {
    int fx = -1, fy = -1;
    ASSERT_TRUE(p.windowToFrame(pt.wx, pt.wy, &fx, &fy));
    EXPECT_EQ(fx, pt.fx) << pt.wx << "," << pt.wy;
    EXPECT_EQ(fy, pt.fy) << pt.wx << "," << pt.wy;
  }
  p.resetForTests();
}

TEST_F(Window, SdlEventsBecomeTheWindowMessages) {
  win_.show(plat::ShowMode::Normal);
  trace_.clear();
  const std::intptr_t keyUpBits = static_cast<std::int32_t>(0xC0000000u);
  const std::intptr_t scanEsc = static_cast<std::intptr_t>(SDL_SCANCODE_ESCAPE) << 16;
  const std::intptr_t scanZ = static_cast<std::intptr_t>(SDL_SCANCODE_Z) << 16;
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE, true);
  PushKey(SDL_KEYUP, SDLK_z);
  PushKey(SDL_KEYDOWN, SDLK_F2);
  PushWindowEvent(SDL_WINDOWEVENT_MOVED, 10, 20);
  PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);  // no change: no message
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  PumpAll();
  const std::vector<std::string> expected = {
      Msg(plat::wm::KeyDown, 0x1B, 1 | scanEsc),
      Msg(plat::wm::KeyDown, 0x1B, 1 | scanEsc | 0x40000000),
      Msg(plat::wm::KeyUp, 'Z', 1 | scanZ | keyUpBits),
      Msg(plat::wm::KeyDown, 0x71, 1 | (static_cast<std::intptr_t>(SDL_SCANCODE_F2) << 16)),
      Msg(plat::wm::Move, 0, 10 | (20 << 16)),
      Msg(plat::wm::Paint),
      Msg(plat::wm::ActivateApp, 0),
      Msg(plat::wm::ActivateApp, 1),
      Msg(plat::wm::Close),  // the close button and SDL_QUIT (a signal) both ask to close
      Msg(plat::wm::Close),
  };
  EXPECT_EQ(trace_, expected);
}

TEST_F(Window, TapSeesEveryEventBeforeItsMessage) {
  plat::setEventTap(
      [this](const void* e) { trace_.push_back("tap " + std::to_string(static_cast<const SDL_Event*>(e)->type)); });
  trace_.clear();
  PushKey(SDL_KEYDOWN, SDLK_SPACE);
  SDL_Event other{};
  other.type = SDL_MOUSEMOTION;
  SDL_PushEvent(&other);
  PumpAll();
  ASSERT_GE(trace_.size(), 3u);
  EXPECT_EQ(trace_[0], "tap " + std::to_string(SDL_KEYDOWN));
  EXPECT_EQ(trace_[1], Msg(plat::wm::KeyDown, 0x20, 1 | (static_cast<std::intptr_t>(SDL_SCANCODE_SPACE) << 16)));
  EXPECT_EQ(trace_[2], "tap " + std::to_string(SDL_MOUSEMOTION));
}

TEST_F(Window, PresentHookRunsEveryPumpTurn) {
  int presents = 0;
  plat::setPresentHook([&] { ++presents; });
  for (int i = 0; i < 3; ++i) plat::pumpOne(false);
  EXPECT_GE(presents, 3);
}

TEST_F(Window, SendFromAnotherThreadIsServedAheadOfPosts) {
  plat::post(win_.token(), plat::Msg{plat::wm::User + 1, 0, 0});
  std::atomic<std::intptr_t> answer{-1};
  std::thread game([&] { answer = plat::send(win_.token(), plat::Msg{plat::wm::User + 6, 4, 9}); });
  ASSERT_TRUE(test_support::WaitFor([] {
    std::lock_guard lk(plat::detail::lock());
    return !plat::detail::findQueueLocked(plat::this_thread::token())->sent.empty();
  }));
  EXPECT_EQ(plat::pumpOne(true), plat::Pump::Handled);
  game.join();
  EXPECT_EQ(answer.load(), 0);
  PumpAll();
  ASSERT_EQ(trace_.size(), 3u);
  EXPECT_EQ(trace_[1], Msg(plat::wm::User + 6, 4, 9));
  EXPECT_EQ(trace_[2], Msg(plat::wm::User + 1));
}

TEST_F(Window, APostFromAnotherThreadWakesTheBlockedPump) {
  // The game thread posts once the pump has begun its turn: the message may land before
  // or after the pump looks at its queue, and the wake that follows it may be taken
  // first. Either way the one blocking turn returns having served the post.
  std::atomic<int> turns{0};
  plat::setPresentHook([&] { ++turns; });
  std::thread game([&] {
    EXPECT_TRUE(test_support::WaitFor([&] { return turns > 0; }));
    plat::post(win_.token(), plat::Msg{plat::wm::User + 2, 0, 0});
  });
  EXPECT_EQ(plat::pumpOne(true), plat::Pump::Handled);  // blocks until the post
  game.join();
  EXPECT_EQ(trace_.back(), Msg(plat::wm::User + 2));
}

TEST_F(Window, AWakeWithoutAMessageEndsTheBlockingTurn) {
  plat::wakeWindowThread();
  EXPECT_EQ(plat::pumpOne(true), plat::Pump::Handled);
  EXPECT_EQ(trace_, std::vector<std::string>{Msg(plat::wm::Create)});
}

TEST_F(Window, DestroySendsDestroyAndDropsWhatIsQueued) {
  plat::WindowToken t = win_.token();
  plat::post(t, plat::Msg{plat::wm::Close, 0, 0});
  win_.destroy();
  EXPECT_EQ(trace_.back(), Msg(plat::wm::Destroy));
  EXPECT_EQ(win_.token(), 0u);
  EXPECT_FALSE(plat::post(t, plat::Msg{plat::wm::Close, 0, 0}));
  PumpAll();
  EXPECT_EQ(trace_.back(), Msg(plat::wm::Destroy));
  EXPECT_EQ(plat::MainWindow::primary(), nullptr);
}

TEST_F(Window, HeadlessDesktopIsThirtyTwoBitsAtSixtyHertz) {
  plat::Desktop d = plat::desktop();
  EXPECT_EQ(d.bitsPerPixel, 32);
  EXPECT_EQ(d.refreshHz, 60);
  EXPECT_EQ(d.bounds.right, 1024);
  EXPECT_EQ(d.bounds.bottom, 768);
  plat::Desktop sixteen = d;
  sixteen.bitsPerPixel = 16;
  plat::overrideDesktop(&sixteen);
  EXPECT_EQ(plat::desktop().bitsPerPixel, 16);
  plat::overrideDesktop(nullptr);
  EXPECT_EQ(plat::desktop().bitsPerPixel, 32);
}

}  // namespace
