#include "platform/drive.h"
#include "platform/presenter.h"

#include <SDL.h>

#include <algorithm>
// <chrono> itself holds a literal the CP932 build cannot encode; <thread> brings the clocks.
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/bmp.h"
#include "platform/display.h"
#include "platform/sys.h"
#include "platform/window.h"

namespace plat {

namespace {

// A window thread that stops pumping must not hold the game forever.
constexpr auto kShownTimeout = std::chrono::milliseconds(250);

long long nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

inline std::uint32_t expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }
inline std::uint32_t expand6(std::uint32_t v) { return (v << 2) | (v >> 4); }

}  // namespace

void convertRowToRgb(PixelFormat f, const std::uint8_t* src, std::uint32_t* dst, int count,
                     const std::uint32_t* palette256) {
  switch (f) {
    case PixelFormat::Index8:
      for (int i = 0; i < count; ++i) dst[i] = palette256[src[i]];
      break;
    case PixelFormat::Rgb565: {
      const auto* s = reinterpret_cast<const std::uint16_t*>(src);
      for (int i = 0; i < count; ++i) {
        std::uint32_t p = s[i];
        dst[i] = expand5(p >> 11) << 16 | expand6((p >> 5) & 63) << 8 | expand5(p & 31);
      }
      break;
    }
    case PixelFormat::Rgb555:
    case PixelFormat::Argb1555: {
      const auto* s = reinterpret_cast<const std::uint16_t*>(src);
      for (int i = 0; i < count; ++i) {
        std::uint32_t p = s[i];
        dst[i] = expand5((p >> 10) & 31) << 16 | expand5((p >> 5) & 31) << 8 | expand5(p & 31);
      }
      break;
    }
    case PixelFormat::Bgr24:
      for (int i = 0; i < count; ++i)
        dst[i] = std::uint32_t(src[3 * i + 2]) << 16 | std::uint32_t(src[3 * i + 1]) << 8 | src[3 * i];
      break;
    case PixelFormat::Xrgb8888:
    case PixelFormat::Argb8888: {
      const auto* s = reinterpret_cast<const std::uint32_t*>(src);
      for (int i = 0; i < count; ++i) dst[i] = s[i] & 0xFFFFFFu;
      break;
    }
  }
}

// Never destroyed: a drawing thread may still submit while statics go away.
Presenter& Presenter::instance() {
  static Presenter* p = new Presenter;
  return *p;
}

void Presenter::setVsync(bool on) {
  std::lock_guard lock(mutex_);
  vsync_ = on;
}

bool Presenter::vsync() const {
  std::lock_guard lock(mutex_);
  return vsync_;
}

void Presenter::setFullScreen(bool on) {
  std::lock_guard lock(mutex_);
  wantFullScreen_ = on;
}

void Presenter::setCursorVisible(bool on) {
  std::lock_guard lock(mutex_);
  cursorVisible_ = on;
}

void Presenter::requestMinimize() {
  std::lock_guard lock(mutex_);
  ++minimizeRequests_;
  ++pendingMinimize_;
}

void Presenter::requestRestore() {
  std::lock_guard lock(mutex_);
  ++pendingRestore_;
}

void Presenter::submit(const Surface& picture, bool waitShown) {
  const int w = picture.width(), h = picture.height();
  scratch_.resize(static_cast<std::size_t>(w) * h);
  display::Palette pal{};
  if (picture.format() == PixelFormat::Index8) pal = display::palette();
  for (int y = 0; y < h; ++y)
    convertRowToRgb(picture.format(), picture.row(y), scratch_.data() + static_cast<std::size_t>(y) * w, w, pal.data());

  std::unique_lock lock(mutex_);
  latest_.width = w;
  latest_.height = h;
  latest_.pixels.swap(scratch_);
  latest_.serial = ++submitted_;
  const std::uint64_t serial = latest_.serial;
  if (!dumpChecked_) {
    dumpChecked_ = true;
    if (const char* d = std::getenv("PELLMOOR_FRAME_DUMP"); d && *d) dumpDir_ = d;
  }
  if (!dumpDir_.empty()) dump(latest_);
  const bool attached = attached_;
  lock.unlock();
  // The window thread may sit in a blocking wait of its pump: the frame wakes it.
  if (attached) wakeWindowThread();
  lock.lock();
  if (waitShown) waitShownOrTick(lock, serial);
}

void Presenter::waitVerticalBlank() {
  // Without a frame to show there is nothing to wait for on the window's side: the
  // blank is the next tick of the display's rhythm.
  std::unique_lock lock(mutex_);
  waitTick(lock);
}

void Presenter::waitShownOrTick(std::unique_lock<std::mutex>& lock, std::uint64_t serial) {
  if (attached_) {
    shownCv_.wait_for(lock, kShownTimeout, [&] { return shown_ >= serial || !attached_; });
    // A renderer that does not wait for the display (software, headless) would let the
    // game run unthrottled: the emulated rhythm stands in for the blank.
    if (attached_ && realVsync_) return;
  }
  waitTick(lock);
}

void Presenter::setEmulatedRefresh(int hz) {
  std::lock_guard lock(mutex_);
  refreshHz_ = hz > 0 ? hz : 60;
  tickEpochNs_ = 0;
}

int Presenter::emulatedRefresh() const {
  std::lock_guard lock(mutex_);
  return refreshHz_;
}

void Presenter::waitTick(std::unique_lock<std::mutex>& lock) {
  if (drive::Fast()) return;  // a fast test run keeps no display rhythm
  // The emulated display's ticks, counted from its first use, in real time like a
  // display's.
  const long long tickNs = 1'000'000'000LL / refreshHz_;
  const long long now = nowNs();
  if (tickEpochNs_ == 0) tickEpochNs_ = now;
  const long long next = tickEpochNs_ + ((now - tickEpochNs_) / tickNs + 1) * tickNs;
  lock.unlock();
  std::this_thread::sleep_for(std::chrono::nanoseconds(next - now));
  lock.lock();
}

void Presenter::dump(const Frame& f) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06llu.bmp", static_cast<unsigned long long>(f.serial));
  std::error_code ec;
  std::filesystem::create_directories(dumpDir_, ec);
  std::ofstream out(std::filesystem::path(dumpDir_) / name, std::ios::binary);
  const std::string bytes = bmp::encodeRgb(f.width, f.height, f.pixels.data());
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Presenter::applyWindowRequests(SDL_Window* window) {
  // Called with mutex_ held.
  if (wantFullScreen_ != fullScreenApplied_) {
    SDL_SetWindowFullscreen(window, wantFullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    fullScreenApplied_ = wantFullScreen_;
  }
  if (cursorVisible_ != cursorApplied_) {
    SDL_ShowCursor(cursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
    cursorApplied_ = cursorVisible_;
  }
  for (; pendingMinimize_ > 0; --pendingMinimize_) SDL_MinimizeWindow(window);
  for (; pendingRestore_ > 0; --pendingRestore_) SDL_RestoreWindow(window);
}

void Presenter::attachWindow(SDL_Window* window) {
  if (!window) return;
  std::lock_guard lock(mutex_);
  attached_ = true;
  applyWindowRequests(window);
  ensureRenderer(window);
}

void Presenter::presentPending(SDL_Window* window) { show(window, true); }
void Presenter::repaint(SDL_Window* window) { show(window, false); }

void Presenter::show(SDL_Window* window, bool onlyWhenNew) {
  if (!window) return;
  std::unique_lock lock(mutex_);
  attached_ = true;
  applyWindowRequests(window);
  if (latest_.serial == 0 || (onlyWhenNew && latest_.serial == uploaded_ && overlaySerial_ == overlayShown_)) return;

  ensureRenderer(window);
  const std::uint64_t serial = latest_.serial;
  upload_ = latest_.pixels;
  const int w = latest_.width, h = latest_.height;
  if (!overlay_.pixels.empty()) {
    // The overlay covers the frame where they meet.
    const int x0 = std::max(0, overlayX_), y0 = std::max(0, overlayY_);
    const int x1 = std::min(w, overlayX_ + overlay_.width), y1 = std::min(h, overlayY_ + overlay_.height);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        upload_[static_cast<std::size_t>(y) * w + x] =
            overlay_.pixels[static_cast<std::size_t>(y - overlayY_) * overlay_.width + (x - overlayX_)] & 0xFFFFFFu;
  }
  overlayShown_ = overlaySerial_;
  lock.unlock();

  if (renderer_) {
    if (!texture_ || textureW_ != w || textureH_ != h) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
      textureW_ = w;
      textureH_ = h;
    }
    if (texture_) {
      SDL_UpdateTexture(texture_, nullptr, upload_.data(), w * 4);
      int ow = 0, oh = 0;
      SDL_GetRendererOutputSize(renderer_, &ow, &oh);
      SDL_Rect dst{0, 0, w, h};
      const int scale = std::min(ow / w, oh / h);
      if (scale >= 1) {
        dst.w = w * scale;
        dst.h = h * scale;
      } else if (ow > 0 && oh > 0) {  // smaller than the frame: fit, keeping the shape
        if (static_cast<long long>(ow) * h <= static_cast<long long>(oh) * w) {
          dst.w = ow;
          dst.h = static_cast<int>(static_cast<long long>(ow) * h / w);
        } else {
          dst.h = oh;
          dst.w = static_cast<int>(static_cast<long long>(oh) * w / h);
        }
      }
      dst.x = (ow - dst.w) / 2;
      dst.y = (oh - dst.h) / 2;
      {
        std::lock_guard placed(mutex_);
        dstX_ = dst.x;
        dstY_ = dst.y;
        dstW_ = dst.w;
        dstH_ = dst.h;
      }
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
      SDL_RenderClear(renderer_);
      SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
      SDL_RenderPresent(renderer_);
    }
  }

  lock.lock();
  uploaded_ = serial;
  if (serial > shown_) shown_ = serial;
  lock.unlock();
  shownCv_.notify_all();
}

void Presenter::ensureRenderer(SDL_Window* window) {
  // Called with mutex_ held.
  if (renderer_ && (rendererWindow_ != window || rendererVsync_ != vsync_)) {
    SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
  }
  if (renderer_) return;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  Uint32 flags = vsync_ ? SDL_RENDERER_PRESENTVSYNC : 0;
  renderer_ = SDL_CreateRenderer(window, -1, flags);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  rendererWindow_ = window;
  rendererVsync_ = vsync_;
  realVsync_ = false;
  SDL_RendererInfo info;
  if (renderer_ && SDL_GetRendererInfo(renderer_, &info) == 0)
    realVsync_ =
        (info.flags & SDL_RENDERER_PRESENTVSYNC) && !(info.flags & SDL_RENDERER_SOFTWARE) && !sys::launch().headless;
  textureW_ = textureH_ = 0;
}

void Presenter::setOverlay(const Frame& picture, int x, int y) {
  std::lock_guard lock(mutex_);
  overlay_ = picture;
  overlayX_ = x;
  overlayY_ = y;
  ++overlaySerial_;
}

void Presenter::clearOverlay() {
  std::lock_guard lock(mutex_);
  if (overlay_.pixels.empty()) return;
  overlay_ = Frame{};
  ++overlaySerial_;
}

bool Presenter::hasOverlay() const {
  std::lock_guard lock(mutex_);
  return !overlay_.pixels.empty();
}

bool Presenter::windowToFrame(int wx, int wy, int* fx, int* fy) const {
  std::lock_guard lock(mutex_);
  if (dstW_ <= 0 || dstH_ <= 0 || latest_.width <= 0 || latest_.height <= 0) return false;
  *fx = static_cast<int>(static_cast<long long>(wx - dstX_) * latest_.width / dstW_);
  *fy = static_cast<int>(static_cast<long long>(wy - dstY_) * latest_.height / dstH_);
  return true;
}

void Presenter::detachWindow() {
  {
    std::lock_guard lock(mutex_);
    attached_ = false;
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
    rendererWindow_ = nullptr;
    realVsync_ = false;
    uploaded_ = 0;
  }
  shownCv_.notify_all();
}

std::optional<Frame> Presenter::lastFrame() const {
  std::lock_guard lock(mutex_);
  if (latest_.serial == 0) return std::nullopt;
  return latest_;
}

std::uint64_t Presenter::submittedCount() const {
  std::lock_guard lock(mutex_);
  return submitted_;
}

std::uint64_t Presenter::shownCount() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

bool Presenter::hasRenderer() const {
  std::lock_guard lock(mutex_);
  return renderer_ != nullptr;
}

bool Presenter::fullScreenRequested() const {
  std::lock_guard lock(mutex_);
  return wantFullScreen_;
}

bool Presenter::cursorVisible() const {
  std::lock_guard lock(mutex_);
  return cursorVisible_;
}

int Presenter::minimizeRequests() const {
  std::lock_guard lock(mutex_);
  return minimizeRequests_;
}

void Presenter::resetForTests() {
  detachWindow();
  std::lock_guard lock(mutex_);
  latest_ = Frame{};
  submitted_ = shown_ = 0;
  vsync_ = false;
  wantFullScreen_ = fullScreenApplied_ = false;
  cursorVisible_ = cursorApplied_ = true;
  minimizeRequests_ = pendingMinimize_ = pendingRestore_ = 0;
  tickEpochNs_ = 0;
  refreshHz_ = 60;
  dumpChecked_ = false;
  dumpDir_.clear();
  overlay_ = Frame{};
  overlaySerial_ = overlayShown_ = 0;
  dstX_ = dstY_ = dstW_ = dstH_ = 0;
}

}  // namespace plat
