// Shows finished frames. The game thread (or whichever thread draws) submits a frame
// into a one-slot mailbox; the window thread, on every turn of its pump, calls
// presentPending() with its SDL window, which uploads the newest frame into a streaming
// texture and draws it scaled into the window (whole-number scale where it fits).
// Without a window (headless) frames are only kept for tests and, when the environment
// variable PELLMOOR_FRAME_DUMP names a folder, written there as numbered BMP files.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/surface.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace plat {

// One frame as 0x00RRGGBB pixels, top row first.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint64_t serial = 0;
};

class Presenter {
 public:
  static Presenter& instance();

  // --- any thread ---
  // Whether the window's renderer waits for the display's vertical blank.
  void setVsync(bool on);
  bool vsync() const;
  // Window requests, carried out by the window thread at its next presentPending().
  void setFullScreen(bool on);
  void setCursorVisible(bool on);
  void requestMinimize();
  void requestRestore();

  // Converts the surface (8-bit through the shared palette) into the mailbox and wakes
  // the window thread. With waitShown (vertical sync) it then waits until the window
  // thread has shown the frame on a renderer that waits for the display; otherwise (no
  // window, a software or headless renderer) until the next tick of an emulated 60 Hz
  // display as well.
  void submit(const Surface& picture, bool waitShown);
  // Waits for the next vertical blank (a tick of the emulated display) without a frame.
  void waitVerticalBlank();
  // The refresh rate of the emulated display that stands in for the blank when no
  // renderer waits for the real one: 60 unless a test sets another.
  void setEmulatedRefresh(int hz);
  int emulatedRefresh() const;

  // A picture laid over every frame shown (a dialog over the game), its top-left corner
  // at (x, y) of the frame, until cleared. The frames themselves stay as submitted.
  void setOverlay(const Frame& picture, int x, int y);
  void clearOverlay();
  bool hasOverlay() const;
  // The point of the frame under a point of the window, through the scale and offset
  // of the last show; false when nothing has been shown.
  bool windowToFrame(int wx, int wy, int* fx, int* fy) const;

  // --- window thread ---
  // Makes the window's renderer now (start-up), so that the first frame does not wait
  // for it; the frames still arrive through presentPending().
  void attachWindow(SDL_Window* window);
  void presentPending(SDL_Window* window);
  // Shows the newest frame again (the window was uncovered).
  void repaint(SDL_Window* window);
  // The window is going away: drop the renderer; submits stop waiting for it.
  void detachWindow();

  // --- tests ---
  std::optional<Frame> lastFrame() const;
  std::uint64_t submittedCount() const;
  std::uint64_t shownCount() const;
  bool hasRenderer() const;
  bool fullScreenRequested() const;
  bool cursorVisible() const;
  int minimizeRequests() const;
  void resetForTests();

 private:
  Presenter() = default;
  void show(SDL_Window* window, bool onlyWhenNew);
  void ensureRenderer(SDL_Window* window);
  void applyWindowRequests(SDL_Window* window);
  void waitShownOrTick(std::unique_lock<std::mutex>& lock, std::uint64_t serial);
  void waitTick(std::unique_lock<std::mutex>& lock);
  void dump(const Frame& f);

  mutable std::mutex mutex_;
  std::condition_variable shownCv_;
  Frame latest_;  // newest submitted frame
  std::vector<std::uint32_t> scratch_;
  std::uint64_t submitted_ = 0;
  std::uint64_t shown_ = 0;
  bool vsync_ = false;
  bool attached_ = false;
  bool wantFullScreen_ = false;
  bool fullScreenApplied_ = false;
  bool cursorVisible_ = true;
  bool cursorApplied_ = true;
  int minimizeRequests_ = 0;
  int pendingMinimize_ = 0;
  int pendingRestore_ = 0;
  long long tickEpochNs_ = 0;
  int refreshHz_ = 60;
  // Window-thread objects.
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_Window* rendererWindow_ = nullptr;
  bool rendererVsync_ = false;
  bool realVsync_ = false;  // the renderer's present waits for the display
  int textureW_ = 0, textureH_ = 0;
  std::uint64_t uploaded_ = 0;
  std::vector<std::uint32_t> upload_;
  Frame overlay_;  // no pixels: none
  int overlayX_ = 0, overlayY_ = 0;
  std::uint64_t overlaySerial_ = 0, overlayShown_ = 0;
  int dstX_ = 0, dstY_ = 0, dstW_ = 0, dstH_ = 0;  // where the frame went in the window
  // Frame dumps.
  bool dumpChecked_ = false;
  std::string dumpDir_;
};

// Converts count pixels of one row of the given format into 0x00RRGGBB.
void convertRowToRgb(PixelFormat f, const std::uint8_t* src, std::uint32_t* dst, int count,
                     const std::uint32_t* palette256);

}  // namespace plat
