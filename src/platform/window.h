// The window thread and the main window over SDL.
//
// The window thread is the thread that calls videoInit (the process's main thread, as
// SDL requires); videoInit starts the input module, whose tables every SDL event passes
// through first. Its pump (plat::pumpOne) serves, in each turn: the joystick snapshot
// and the present hook, sends, posted messages, then SDL events, which become the
// window messages the game handles:
// close button, SDL_QUIT and a close signal (SIGINT/SIGTERM, see signals.h; one that
// came before the main window waits for it) post wm::Close; focus changes send
// wm::ActivateApp; moves, size changes and exposure send wm::Move, wm::Size, wm::Paint;
// keys send wm::KeyDown/wm::KeyUp with Windows virtual-key codes in w. Headless runs
// get no focus events, so showing the window reports it active.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/messaging.h"

struct SDL_Window;

namespace plat {

// Starts SDL video and events on the calling thread, which becomes the window thread.
// Headless runs use SDL's dummy video driver. False (with SDL's reason on standard
// error) when the video system cannot start.
bool videoInit();
// Ends SDL; the last call of the program, after every window and device is gone.
void videoQuit();
ThreadToken windowThread();  // 0 before videoInit and after videoQuit
bool onWindowThread();
// Ends a blocking wait of the window thread's pump (e.g. a frame is ready to present).
void wakeWindowThread();

// Sees every SDL event (a const SDL_Event*) before it becomes a message; the input
// module registers itself here to keep its key and joystick tables.
void setEventTap(std::function<void(const void* sdlEvent)> tap);
// While a modal dialog runs on the window thread it sees every SDL event after the
// tap and keeps those it answers true for (keys, text and the mouse: its owner window
// is disabled meanwhile); the rest become messages as usual. nullptr removes it.
void setModalFilter(std::function<bool(const void* sdlEvent)> filter);
// Called by the window thread at the start of every pump turn: the presenter shows a
// frame that the game thread has finished.
void setPresentHook(std::function<void()> hook);
// Windows virtual-key code of a key event (a const SDL_Event*), 0 for none. A built-in
// table covers the keys the game's windows handle; the input module may install its own.
void setKeyMapper(std::function<int(const void* sdlEvent)> mapper);

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Desktop {
  Rect bounds, workArea;
  int bitsPerPixel = 32;  // 16 or 32 (a 24-bit SDL format reports 32)
  int refreshHz = 60;
};
Desktop desktop();
// Tests: a fixed desktop (nullptr restores the real one).
void overrideDesktop(const Desktop* d);

// Window frame sizes of a Windows desktop, used only for layout arithmetic (SDL
// cannot report borders).
struct FrameMetrics {
  int caption = 19, dlgFrameX = 3, dlgFrameY = 3, frameX = 4, frameY = 4, hScroll = 17, vScroll = 17, menu = 19;
};
const FrameMetrics& frameMetrics();
void setFrameMetrics(const FrameMetrics& m);

// The mouse cursor in screen coordinates; false when the window system is not running.
bool cursorOnScreen(int& x, int& y);

enum class ShowMode { Hidden, Normal, Maximized, Minimized, FullScreen };
// From a show command (sw:: values).
ShowMode showModeFromCommand(int showCommand);

// The game's main window. Window thread only.
class MainWindow {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();  // discards a window still there

  // A hidden window with a client area of w x h at (x, y) on screen. The procedure
  // gets wm::Create before this returns. False when the window cannot be made.
  bool create(int clientW, int clientH, int x, int y, WindowProc proc);
  void show(ShowMode mode);
  void setTitle(std::string_view cp932);
  void moveTo(int clientX, int clientY);
  void resize(int clientW, int clientH);  // keeps the top-left corner
  Rect clientRectOnScreen() const;
  // Sends wm::Destroy, then the window is gone: queued posts dropped, pending sends
  // answer 0, later posts fail. The presenter lets go of the window first.
  void destroy();
  // Removes the window without any message (what process end does to a window).
  void discard();

  // The presenter's work for this window, for the window thread: show the newest
  // finished frame, or show the last one again (on paint). Nothing without a window.
  void presentPending();
  void repaintFrame();
  // Makes the presenter's renderer for this window now, once the drawing mode (vertical
  // sync) is known, so that the first frame is not delayed by it.
  void prepareRenderer();

  WindowToken token() const { return token_; }
  SDL_Window* sdlWindow() const { return window_; }
  bool shown() const { return shown_; }
  bool active() const { return active_; }

  // The first live main window (the presenter draws into it), or nullptr.
  static MainWindow* primary();
  // Sends wm::ActivateApp when the state changes (focus events, or the show of a
  // headless window).
  void setActive(bool on);

 private:
  WindowToken token_ = 0;
  SDL_Window* window_ = nullptr;
  bool shown_ = false;
  bool active_ = false;
};

}  // namespace plat
