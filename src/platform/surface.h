// Pixel surfaces of the software drawing pipeline: a block of pixels in one of the
// formats the two drawing paths use, with its pitch, and the memory it stands for.
// "Video" surfaces lose their pixels when a device loss is injected (see display.h);
// "system" surfaces keep them, as on the machines the data was made for.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace plat {

enum class PixelFormat : std::uint8_t {
  Index8,  // palette index; one palette shared by every 8-bit surface
  Rgb565,
  Rgb555,  // top bit unused
  Argb1555,
  Bgr24,     // bytes blue, green, red
  Xrgb8888,  // byte 3 carries no colour
  Argb8888,
};

int bytesPerPixel(PixelFormat f);

enum class Memory : std::uint8_t { Video, System };

enum class CreateResult : std::uint8_t { Ok, BadSize, OutOfVideoMemory };

class Surface {
 public:
  // A zero-filled surface; nullptr when the size is not sane (each side 1..32768, at
  // most 512 MiB) or a video-memory budget set for tests is exhausted.
  static std::unique_ptr<Surface> create(int width, int height, PixelFormat format, Memory memory,
                                         CreateResult* why = nullptr);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  PixelFormat format() const { return format_; }
  int bytesPerPixel() const { return bpp_; }
  int pitch() const { return pitch_; }  // bytes from one row to the next
  Memory memory() const { return memory_; }

  std::uint8_t* row(int y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * pitch_; }
  const std::uint8_t* row(int y) const { return pixels_ + static_cast<std::ptrdiff_t>(y) * pitch_; }
  template <class T>
  T* rowAs(int y) {
    return reinterpret_cast<T*>(row(y));
  }
  template <class T>
  const T* rowAs(int y) const {
    return reinterpret_cast<const T*>(row(y));
  }

  // A lost surface refuses locks and drawing until restore(); its pixels are garbage.
  bool isLost() const { return lost_.load(std::memory_order_relaxed); }
  // Clears the lost state; the contents stay undefined (poisoned) until redrawn.
  void restore() { lost_.store(false, std::memory_order_relaxed); }

  // Pixel access: false (and nothing locked) when the surface is lost.
  struct Lock {
    std::uint8_t* pixels = nullptr;
    int pitch = 0;  // bytes
  };
  bool lock(Lock& out);
  void unlock() {}

  // Exchanges the pixels of two surfaces of the same size and format (a page flip).
  bool swapPixels(Surface& other);

  // Fills every byte with the pattern lost memory shows.
  void poison();

  static constexpr std::uint8_t kPoisonByte = 0xCD;

 private:
  Surface() = default;
  friend void markVideoSurfacesLost();
  std::uint8_t* pixels_ = nullptr;
  std::size_t bytes_ = 0;
  int width_ = 0, height_ = 0, pitch_ = 0, bpp_ = 0;
  PixelFormat format_ = PixelFormat::Xrgb8888;
  Memory memory_ = Memory::System;
  std::atomic<bool> lost_{false};
};

// Marks every live video surface lost and poisons its pixels (device loss).
void markVideoSurfacesLost();

}  // namespace plat
