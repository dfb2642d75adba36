#include "platform/bmp.h"

#include <cstring>

#include "platform/fs.h"

namespace plat::bmp {

namespace {

std::uint32_t u32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t u16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

void put16(std::string& s, std::uint16_t v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char(v >> 8));
}
void put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

constexpr int kMaxSide = 32768;

}  // namespace

std::uint8_t Bitmap::indexAt(int x, int y) const {
  const std::uint8_t* r = topRow(y);
  switch (bitsPerPixel) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
    case 8: return r[x];
    default: return 0;
  }
}

std::uint32_t Bitmap::rgbAt(int x, int y) const {
  if (bitsPerPixel == 24) {
    const std::uint8_t* p = topRow(y) + 3 * x;
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
  }
  std::uint8_t i = indexAt(x, y);
  if (i >= colors.size()) return 0;
  const RgbQuad& q = colors[i];
  return std::uint32_t(q.red) << 16 | std::uint32_t(q.green) << 8 | q.blue;
}

std::optional<Bitmap> decode(std::span<const std::uint8_t> f, std::string* why) {
  auto fail = [&](const char* reason) -> std::optional<Bitmap> {
    if (why) *why = reason;
    return std::nullopt;
  };
  const std::size_t size = f.size();
  if (size < 14 + 40) return fail("file too short for the headers");
  const std::uint8_t* p = f.data();
  if (p[0] != 'B' || p[1] != 'M') return fail("not a bitmap");
  const std::uint32_t offBits = u32(p + 10);
  const std::uint32_t headerSize = u32(p + 14);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    return fail("unsupported information header");
  if (14ull + headerSize > size) return fail("information header beyond the file");
  const std::int32_t width = i32(p + 18);
  const std::int32_t rawHeight = i32(p + 22);
  const std::uint16_t planes = u16(p + 26);
  const std::uint16_t bpp = u16(p + 28);
  const std::uint32_t compression = u32(p + 30);
  const std::uint32_t clrUsed = u32(p + 46);
  if (planes != 1) return fail("planes not 1");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return fail("unsupported bits per pixel");
  if (compression != 0) return fail("compressed bitmap");
  if (width <= 0 || width > kMaxSide) return fail("bad width");
  if (rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide) return fail("bad height");
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;

  std::size_t colorCount = 0;
  if (bpp <= 8) {
    const std::uint32_t full = 1u << bpp;
    if (clrUsed > 256) return fail("colour count over 256");
    if (clrUsed > full) return fail("colour count over the depth");
    colorCount = clrUsed ? clrUsed : full;
  } else if (clrUsed > 256) {
    return fail("colour count over 256");
  }
  const std::size_t tableAt = 14 + headerSize;
  if (tableAt + colorCount * 4 > size) return fail("colour table beyond the file");

  const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
  const std::size_t dataBytes = stride * static_cast<std::size_t>(height);
  if (offBits < 14 + 40 || offBits > size || dataBytes > size - offBits) return fail("pixel data beyond the file");

  Bitmap b;
  b.width = width;
  b.height = height;
  b.bitsPerPixel = bpp;
  b.stride = static_cast<int>(stride);
  b.colors.resize(colorCount);
  for (std::size_t i = 0; i < colorCount; ++i) {
    const std::uint8_t* q = p + tableAt + 4 * i;
    b.colors[i] = RgbQuad{q[0], q[1], q[2], q[3]};
  }
  b.bits.resize(dataBytes);
  const std::uint8_t* data = p + offBits;
  if (!topDown) {
    std::memcpy(b.bits.data(), data, dataBytes);
  } else {
    // Stored top row first: keep the bottom-up order of the rows in memory.
    for (int y = 0; y < height; ++y)
      std::memcpy(b.bits.data() + static_cast<std::size_t>(height - 1 - y) * stride, data + y * stride, stride);
  }
  return b;
}

std::optional<Bitmap> load(std::string_view programPath, std::string* why) {
  std::optional<std::string> bytes = fs::readFile(programPath);
  if (!bytes) {
    if (why) *why = "cannot read the file";
    return std::nullopt;
  }
  return decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()), why);
}

std::string encode(const Bitmap& b) {
  const std::uint32_t tableBytes = static_cast<std::uint32_t>(b.colors.size() * 4);
  const std::uint32_t off = 14 + 40 + tableBytes;
  std::string s;
  s.reserve(off + b.bits.size());
  s += "BM";
  put32(s, off + static_cast<std::uint32_t>(b.bits.size()));
  put32(s, 0);
  put32(s, off);
  put32(s, 40);
  put32(s, static_cast<std::uint32_t>(b.width));
  put32(s, static_cast<std::uint32_t>(b.height));
  put16(s, 1);
  put16(s, static_cast<std::uint16_t>(b.bitsPerPixel));
  put32(s, 0);
  put32(s, static_cast<std::uint32_t>(b.bits.size()));
  put32(s, 2835);
  put32(s, 2835);
  put32(s, static_cast<std::uint32_t>(b.colors.size()));
  put32(s, 0);
  for (const RgbQuad& q : b.colors) {
    s.push_back(char(q.blue));
    s.push_back(char(q.green));
    s.push_back(char(q.red));
    s.push_back(char(q.reserved));
  }
  s.append(reinterpret_cast<const char*>(b.bits.data()), b.bits.size());
  return s;
}

std::string encodeRgb(int width, int height, const std::uint32_t* rgb) {
  Bitmap b;
  b.width = width;
  b.height = height;
  b.bitsPerPixel = 24;
  b.stride = (width * 3 + 3) & ~3;
  b.bits.assign(static_cast<std::size_t>(b.stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* r = b.topRow(y);
    for (int x = 0; x < width; ++x) {
      std::uint32_t c = rgb[static_cast<std::size_t>(y) * width + x];
      r[3 * x] = std::uint8_t(c);
      r[3 * x + 1] = std::uint8_t(c >> 8);
      r[3 * x + 2] = std::uint8_t(c >> 16);
    }
  }
  return encode(b);
}

}  // namespace plat::bmp
