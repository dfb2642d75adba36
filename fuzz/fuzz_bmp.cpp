// The bitmap reader on arbitrary bytes: it must refuse or decode, never read outside
// the data, and a decoded bitmap must be consistent with its own sizes.
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
  if (b->bits.size() > size) std::abort();
  // Touch the corners through the accessors.
  volatile std::uint32_t sink = b->rgbAt(0, 0) ^ b->rgbAt(b->width - 1, b->height - 1);
  (void)sink;
  return 0;
}
