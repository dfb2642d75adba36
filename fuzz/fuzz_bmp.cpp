// The bitmap reader on arbitrary bytes: it must refuse or decode, never read outside
// the data, and a decoded bitmap must be consistent with its own sizes and depth.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto b = plat::bmp::decode(std::span(data, size));
  if (!b) return 0;
  if (b->width <= 0 || b->height <= 0 ||
      b->bits.size() != static_cast<std::size_t>(b->stride) * static_cast<std::size_t>(b->height))
    std::abort();
  // Stored pixels grow at most by half (16-bit pixels are given as 24); run-length
  // pictures are capped at 16 million pixels.
  if (b->bits.size() > 2 * size && b->bits.size() > (std::size_t{1} << 24)) std::abort();
  if (b->bitsPerPixel != 1 && b->bitsPerPixel != 4 && b->bitsPerPixel != 8 && b->bitsPerPixel != 24) std::abort();
  // Touch the corners and the middle through the accessors.
  volatile std::uint32_t sink =
      b->rgbAt(0, 0) ^ b->rgbAt(b->width - 1, b->height - 1) ^ b->rgbAt(b->width / 2, b->height / 2);
  (void)sink;
  return 0;
}
