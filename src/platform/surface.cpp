#include "platform/surface.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>
#include <utility>

#include "platform/display.h"

namespace plat {

namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_set<Surface*> video;
};
// Never destroyed: surfaces held by static records go away after every other static.
Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

constexpr int kMaxSide = 32768;
constexpr std::size_t kMaxBytes = std::size_t{512} << 20;
constexpr std::size_t kAlign = 64;  // rows start on cache lines for the pixel loops
// Large pixel stores come zeroed from the kernel page by page as they are first
// touched: start-up makes several screen-sized work surfaces that are barely drawn on.
constexpr std::size_t kMapFrom = std::size_t{256} << 10;

void* AllocateZeroed(std::size_t bytes) {
  if (bytes >= kMapFrom) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
  }
  void* p = std::aligned_alloc(kAlign, (bytes + kAlign - 1) / kAlign * kAlign);
  if (p) std::memset(p, 0, bytes);
  return p;
}

void FreePixels(void* p, std::size_t bytes) {
  if (!p) return;
  if (bytes >= kMapFrom) ::munmap(p, bytes);
  else std::free(p);
}

}  // namespace

int bytesPerPixel(PixelFormat f) {
  switch (f) {
    case PixelFormat::Index8: return 1;
    case PixelFormat::Rgb565:
    case PixelFormat::Rgb555:
    case PixelFormat::Argb1555: return 2;
    case PixelFormat::Bgr24: return 3;
    case PixelFormat::Xrgb8888:
    case PixelFormat::Argb8888: return 4;
  }
  return 4;
}

std::unique_ptr<Surface> Surface::create(int width, int height, PixelFormat format, Memory memory, CreateResult* why) {
  auto fail = [&](CreateResult r) {
    if (why) *why = r;
    return std::unique_ptr<Surface>();
  };
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return fail(CreateResult::BadSize);
  const int bpp = plat::bytesPerPixel(format);
  // Rows padded to 16 bytes so that every row of a surface is aligned alike (48 at
  // 3 bytes a pixel, so that the pitch stays a whole number of pixels).
  const std::size_t unit = bpp == 3 ? 48 : 16;
  const std::size_t pitch = (static_cast<std::size_t>(width) * bpp + unit - 1) / unit * unit;
  const std::size_t bytes = pitch * static_cast<std::size_t>(height);
  if (bytes > kMaxBytes) return fail(CreateResult::BadSize);
  if (memory == Memory::Video && !display::reserveVideoMemory(static_cast<long long>(bytes)))
    return fail(CreateResult::OutOfVideoMemory);

  std::unique_ptr<Surface> s(new Surface());
  void* p = AllocateZeroed(bytes);
  if (!p) {
    if (memory == Memory::Video) display::releaseVideoMemory(static_cast<long long>(bytes));
    return fail(CreateResult::BadSize);
  }
  s->pixels_ = static_cast<std::uint8_t*>(p);
  s->bytes_ = bytes;
  s->width_ = width;
  s->height_ = height;
  s->pitch_ = static_cast<int>(pitch);
  s->bpp_ = bpp;
  s->format_ = format;
  s->memory_ = memory;
  if (memory == Memory::Video) {
    std::lock_guard lock(registry().mutex);
    registry().video.insert(s.get());
  }
  if (why) *why = CreateResult::Ok;
  return s;
}

Surface::~Surface() {
  if (memory_ == Memory::Video) {
    {
      std::lock_guard lock(registry().mutex);
      registry().video.erase(this);
    }
    display::releaseVideoMemory(static_cast<long long>(bytes_));
  }
  FreePixels(pixels_, bytes_);
}

bool Surface::lock(Lock& out) {
  if (isLost()) {
    out = Lock{};
    return false;
  }
  out.pixels = pixels_;
  out.pitch = pitch_;
  return true;
}

bool Surface::swapPixels(Surface& other) {
  if (other.width_ != width_ || other.height_ != height_ || other.format_ != format_) return false;
  std::swap(pixels_, other.pixels_);
  std::swap(bytes_, other.bytes_);
  return true;
}

void Surface::poison() { std::memset(pixels_, kPoisonByte, bytes_); }

void markVideoSurfacesLost() {
  std::lock_guard lock(registry().mutex);
  for (Surface* s : registry().video) {
    s->poison();
    s->lost_.store(true, std::memory_order_relaxed);
  }
}

}  // namespace plat
