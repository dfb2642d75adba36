#include "platform/window.h"

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/cp932.h"
#include "platform/input.h"
#include "platform/presenter.h"
#include "platform/signals.h"
#include "platform/sys.h"

namespace plat {
namespace {

std::atomic<ThreadToken> g_windowThread{0};
std::atomic<bool> g_videoUp{false};
std::atomic<std::uint32_t> g_wakeEvent{0};

struct Hooks {
  std::mutex mutex;
  std::function<void(const void*)> tap;
  std::function<bool(const void*)> modal;
  std::function<void()> present;
  std::function<int(const void*)> keyMapper;
  std::vector<MainWindow*> windows;  // live main windows, oldest first
  bool desktopOverridden = false;
  Desktop desktop;
  FrameMetrics metrics;
};
Hooks& hooks() {
  static Hooks h;
  return h;
}

int defaultVirtualKey(const SDL_Event& ev) {
  SDL_Keycode k = ev.key.keysym.sym;
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return 0x70 + (k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 0x61 + (k - SDLK_KP_1);
  switch (k) {
    case SDLK_KP_0: return 0x60;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    // clang-format off
    case SDLK_RETURN: case SDLK_KP_ENTER: return 0x0D;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL: case SDLK_RCTRL: return 0x11;
    case SDLK_LALT: case SDLK_RALT: return 0x12;
    // clang-format on
    case SDLK_PAUSE: return 0x13;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_ESCAPE: return 0x1B;
    case SDLK_SPACE: return 0x20;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    default: return 0;
  }
}

MainWindow* windowFor(std::uint32_t sdlWindowId) {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  for (MainWindow* w : h.windows) {
    if (w->sdlWindow() && SDL_GetWindowID(w->sdlWindow()) == sdlWindowId) return w;
  }
  return h.windows.empty() ? nullptr : h.windows.front();
}

std::intptr_t deliver(MainWindow* w, std::uint32_t id, std::uintptr_t wp, std::intptr_t lp) {
  if (!w || !w->token()) return 0;
  return send(w->token(), Msg{id, wp, lp});
}

std::intptr_t packPoint(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(x) & 0xFFFF) |
                                    ((static_cast<std::uint32_t>(y) & 0xFFFF) << 16));
}

void translate(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT:
      if (MainWindow* w = MainWindow::primary()) post(w->token(), Msg{wm::Close, 0, 0});
      break;
    case SDL_WINDOWEVENT: {
      MainWindow* w = windowFor(ev.window.windowID);
      if (!w) break;
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE: post(w->token(), Msg{wm::Close, 0, 0}); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: w->setActive(true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED: w->setActive(false); break;
        case SDL_WINDOWEVENT_MOVED: deliver(w, wm::Move, 0, packPoint(ev.window.data1, ev.window.data2)); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: deliver(w, wm::Size, 0, packPoint(ev.window.data1, ev.window.data2)); break;
        case SDL_WINDOWEVENT_EXPOSED: deliver(w, wm::Paint, 0, 0); break;
        default: break;
      }
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      MainWindow* w = windowFor(ev.key.windowID);
      if (!w) break;
      std::function<int(const void*)> mapper;
      {
        Hooks& h = hooks();
        std::lock_guard lk(h.mutex);
        mapper = h.keyMapper;
      }
      int vk = mapper ? mapper(&ev) : defaultVirtualKey(ev);
      if (vk <= 0) break;
      // The key-message lParam as Windows builds it: repeat count 1, scan code,
      // previous-state bit for repeats, transition bits for a release.
      std::uint32_t lp = 1u | ((static_cast<std::uint32_t>(ev.key.keysym.scancode) & 0xFF) << 16);
      if (ev.type == SDL_KEYUP) lp |= 0xC0000000u;
      else if (ev.key.repeat) lp |= 0x40000000u;
      deliver(w, ev.type == SDL_KEYDOWN ? wm::KeyDown : wm::KeyUp, static_cast<std::uintptr_t>(vk),
              static_cast<std::intptr_t>(static_cast<std::int32_t>(lp)));
      break;
    }
    default: break;
  }
}

class SdlSource final : public PumpSource {
 public:
  void beginTurn() override {
    // A close signal waits for a main window to close; then it is that window's close.
    if (MainWindow* w = MainWindow::primary(); w && w->token() && signals::takeCloseRequest())
      post(w->token(), Msg{wm::Close, 0, 0});
    input::refreshJoysticks();
    std::function<void()> hook;
    {
      Hooks& h = hooks();
      std::lock_guard lk(h.mutex);
      hook = h.present;
    }
    if (hook) hook();
  }
  Served dispatchOne() override {
    SDL_Event ev;
    if (!SDL_PollEvent(&ev)) return Served::None;
    if (ev.type == g_wakeEvent.load()) return Served::Wake;
    // The key and joystick tables see every event before anything reacts to it.
    input::feedEvent(ev);
    std::function<void(const void*)> tap;
    std::function<bool(const void*)> modal;
    {
      Hooks& h = hooks();
      std::lock_guard lk(h.mutex);
      tap = h.tap;
      modal = h.modal;
    }
    if (tap) tap(&ev);
    if (modal && modal(&ev)) return Served::Event;
    translate(ev);
    return Served::Event;
  }
  void waitMs(int ms) override {
    if (!waitByCondition_.load()) {
      SDL_WaitEventTimeout(nullptr, ms);
      return;
    }
    // SDL's dummy driver looks at its queue only once a millisecond while it waits: a
    // request from another thread ends this wait at once instead.
    std::unique_lock lk(mutex_);
    woken_.wait_for(lk, std::chrono::milliseconds(ms), [&] { return wakePending_; });
    wakePending_ = false;
  }
  void wake() override {
    if (!g_videoUp.load()) return;
    {
      std::lock_guard lk(mutex_);
      wakePending_ = true;
    }
    woken_.notify_one();
    SDL_Event ev{};
    ev.type = g_wakeEvent.load();
    SDL_PushEvent(&ev);
  }
  void setWaitByCondition(bool on) { waitByCondition_.store(on); }

 private:
  std::atomic<bool> waitByCondition_{false};
  std::mutex mutex_;
  std::condition_variable woken_;
  bool wakePending_ = false;
};
SdlSource g_source;

}  // namespace

bool videoInit() {
  if (g_videoUp.load()) return true;
  if (sys::launch().headless) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  // Taken close signals stay ours; SDL's own would drop one that comes before the window.
  if (signals::closeSignalsTaken()) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return false;
  }
  std::uint32_t type = SDL_RegisterEvents(1);
  g_wakeEvent.store(type == static_cast<std::uint32_t>(-1) ? static_cast<std::uint32_t>(SDL_USEREVENT) : type);
  const char* driver = SDL_GetCurrentVideoDriver();
  g_source.setWaitByCondition(driver && std::strcmp(driver, "dummy") == 0);
  g_videoUp.store(true);
  g_windowThread.store(this_thread::token());
  setPumpSource(&g_source);
  input::init();
  return true;
}

void videoQuit() {
  if (!g_videoUp.load()) return;
  // The renderer belongs to a window: it goes first.
  Presenter::instance().detachWindow();
  // Windows left over (a failed start-up) go without messages, as at process end.
  while (MainWindow* w = MainWindow::primary()) w->discard();
  setPumpSource(nullptr);
  input::shutdown();
  g_windowThread.store(0);
  g_videoUp.store(false);
  SDL_Quit();
}

ThreadToken windowThread() { return g_windowThread.load(); }

bool onWindowThread() {
  ThreadToken t = g_windowThread.load();
  return t != 0 && t == this_thread::token();
}

void wakeWindowThread() { g_source.wake(); }

void setEventTap(std::function<void(const void*)> tap) {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  h.tap = std::move(tap);
}

void setModalFilter(std::function<bool(const void*)> filter) {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  h.modal = std::move(filter);
}

void setPresentHook(std::function<void()> hook) {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  h.present = std::move(hook);
}

void setKeyMapper(std::function<int(const void*)> mapper) {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  h.keyMapper = std::move(mapper);
}

Desktop desktop() {
  Hooks& h = hooks();
  {
    std::lock_guard lk(h.mutex);
    if (h.desktopOverridden) return h.desktop;
  }
  Desktop d;
  if (sys::launch().headless || !g_videoUp.load()) {
    d.bounds = d.workArea = Rect{0, 0, 1024, 768};
    return d;
  }
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    int bpp = SDL_BITSPERPIXEL(mode.format);
    d.bitsPerPixel = bpp <= 16 ? 16 : 32;  // 24-bit formats are 32-bit pixels
    d.refreshHz = mode.refresh_rate > 0 ? mode.refresh_rate : 60;
    d.bounds = Rect{0, 0, mode.w, mode.h};
  }
  SDL_Rect r;
  if (SDL_GetDisplayUsableBounds(0, &r) == 0) d.workArea = Rect{r.x, r.y, r.x + r.w, r.y + r.h};
  else d.workArea = d.bounds;
  return d;
}

void overrideDesktop(const Desktop* d) {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  h.desktopOverridden = d != nullptr;
  if (d) h.desktop = *d;
}

const FrameMetrics& frameMetrics() { return hooks().metrics; }
void setFrameMetrics(const FrameMetrics& m) { hooks().metrics = m; }

bool cursorOnScreen(int& x, int& y) {
  if (!g_videoUp.load()) return false;
  SDL_GetGlobalMouseState(&x, &y);
  return true;
}

ShowMode showModeFromCommand(int showCommand) {
  switch (showCommand) {
    case sw::Hide: return ShowMode::Hidden;
    case sw::Maximized: return ShowMode::Maximized;
    case 2:
    case 6:
    case sw::Minimized: return ShowMode::Minimized;
    default: return ShowMode::Normal;
  }
}

MainWindow::~MainWindow() { discard(); }

void MainWindow::discard() {
  {
    Hooks& h = hooks();
    std::lock_guard lk(h.mutex);
    std::erase(h.windows, this);
  }
  if (token_) unregisterWindow(token_);
  token_ = 0;
  if (window_ && g_videoUp.load()) {
    Presenter::instance().detachWindow();
    SDL_DestroyWindow(window_);
  }
  window_ = nullptr;
  shown_ = false;
  active_ = false;
}

bool MainWindow::create(int clientW, int clientH, int x, int y, WindowProc proc) {
  if (!g_videoUp.load() || token_) return false;
  // Resizable, so that a window manager asked to maximise it or take it full screen
  // resizes the client area itself; the presenter centres and scales the picture in it
  // (a fixed size would leave the picture in a corner of a black screen).
  window_ = SDL_CreateWindow("", x, y, clientW, clientH, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) {
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return false;
  }
  // Text input stays off until an edit box has the focus: an input method would
  // otherwise take the game's keys.
  SDL_StopTextInput();
  token_ = registerWindow(std::move(proc));
  {
    Hooks& h = hooks();
    std::lock_guard lk(h.mutex);
    h.windows.push_back(this);
  }
  send(token_, Msg{wm::Create, 0, 0});
  return true;
}

void MainWindow::show(ShowMode mode) {
  if (!window_) return;
  switch (mode) {
    // clang-format off
    case ShowMode::Hidden: SDL_HideWindow(window_); shown_ = false; return;
    case ShowMode::Maximized: SDL_ShowWindow(window_); SDL_MaximizeWindow(window_); break;
    case ShowMode::Minimized: SDL_ShowWindow(window_); SDL_MinimizeWindow(window_); break;
    // clang-format on
    case ShowMode::FullScreen:
      SDL_ShowWindow(window_);
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
      break;
    case ShowMode::Normal:
      SDL_ShowWindow(window_);
      SDL_RaiseWindow(window_);
      break;
  }
  shown_ = true;
  // No focus events come without a display (or a window manager): showing activates.
  const sys::LaunchParams& lp = sys::launch();
  if ((lp.headless || lp.assumeActive) && mode != ShowMode::Minimized) setActive(true);
}

void MainWindow::setTitle(std::string_view cp932) {
  if (window_) SDL_SetWindowTitle(window_, cp932::toUtf8(cp932).c_str());
}

void MainWindow::moveTo(int clientX, int clientY) {
  if (window_) SDL_SetWindowPosition(window_, clientX, clientY);
}

void MainWindow::resize(int clientW, int clientH) {
  if (window_ && clientW > 0 && clientH > 0) SDL_SetWindowSize(window_, clientW, clientH);
}

Rect MainWindow::clientRectOnScreen() const {
  Rect r;
  if (!window_) return r;
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  return Rect{x, y, x + w, y + h};
}

void MainWindow::destroy() {
  if (!token_) return;
  WindowToken t = token_;
  send(t, Msg{wm::Destroy, 0, 0});
  unregisterWindow(t);
  {
    Hooks& h = hooks();
    std::lock_guard lk(h.mutex);
    std::erase(h.windows, this);
  }
  token_ = 0;
  if (window_) {
    Presenter::instance().detachWindow();
    SDL_DestroyWindow(window_);
  }
  window_ = nullptr;
  shown_ = false;
  active_ = false;
}

MainWindow* MainWindow::primary() {
  Hooks& h = hooks();
  std::lock_guard lk(h.mutex);
  return h.windows.empty() ? nullptr : h.windows.front();
}

void MainWindow::setActive(bool on) {
  if (!token_ || active_ == on) return;
  active_ = on;
  send(token_, Msg{wm::ActivateApp, on ? 1u : 0u, 0});
}

void MainWindow::presentPending() {
  if (window_) Presenter::instance().presentPending(window_);
}

void MainWindow::repaintFrame() {
  if (window_) Presenter::instance().repaint(window_);
}

void MainWindow::prepareRenderer() {
  if (window_) Presenter::instance().attachWindow(window_);
}

}  // namespace plat
