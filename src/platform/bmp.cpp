#include "platform/bmp.h"

#include <algorithm>
#include <bit>
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
// Compressions of the information header.
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
// Run-length data can describe a picture far larger than the file; this keeps a small
// hostile file from taking more than 16 MB.
constexpr std::size_t kMaxRlePixels = std::size_t{1} << 24;

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

namespace {

// One colour field of a 16 or 32-bit pixel, given by its mask.
struct Field {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  // The field of pixel v scaled to 0..255: wide fields keep their top eight bits,
  // narrow ones scale by v * 255 / (2^bits - 1), rounded.
  std::uint8_t of(std::uint32_t v) const {
    const std::uint32_t f = (v & mask) >> shift;
    if (bits >= 8) return std::uint8_t(f >> (bits - 8));
    const std::uint32_t max = (1u << bits) - 1;
    return std::uint8_t((f * 255 + max / 2) / max);
  }
};

// A mask must be one run of set bits inside the pixel.
bool MakeField(std::uint32_t mask, int bpp, Field& f) {
  if (mask == 0 || (bpp == 16 && mask > 0xFFFF)) return false;
  f.mask = mask;
  f.shift = std::countr_zero(mask);
  f.bits = std::popcount(mask);
  return (mask >> f.shift) == (f.bits == 32 ? ~0u : (1u << f.bits) - 1);
}

// Rows of 16 or 32-bit pixels (in file order) become 24-bit rows.
void ToRgb24(Bitmap& b, const std::uint8_t* data, std::size_t srcStride, int bpp, const Field (&rgb)[3], bool topDown) {
  for (int y = 0; y < b.height; ++y) {
    const std::uint8_t* s = data + static_cast<std::size_t>(y) * srcStride;
    std::uint8_t* d = b.bits.data() + static_cast<std::size_t>(topDown ? b.height - 1 - y : y) * b.stride;
    for (int x = 0; x < b.width; ++x) {
      const std::uint32_t v = bpp == 16 ? u16(s + 2 * x) : u32(s + 4 * x);
      d[3 * x] = rgb[2].of(v);
      d[3 * x + 1] = rgb[1].of(v);
      d[3 * x + 2] = rgb[0].of(v);
    }
  }
}

// Run-length data of 8 or 4-bit pictures, rows bottom-up. The stream ends at its end
// mark or where the data ends; pixels it places outside the picture are dropped and
// pixels it never sets keep index 0.
void DecodeRle(Bitmap& b, const std::uint8_t* d, std::size_t n) {
  const bool four = b.bitsPerPixel == 4;
  int x = 0, y = 0;
  auto put = [&](int at, std::uint8_t v) {
    if (at >= b.width) return;
    std::uint8_t* row = b.bits.data() + static_cast<std::size_t>(y) * b.stride;
    if (!four) row[at] = v;
    else if (at & 1) row[at >> 1] = std::uint8_t((row[at >> 1] & 0xF0) | (v & 0x0F));
    else row[at >> 1] = std::uint8_t((row[at >> 1] & 0x0F) | v << 4);
  };
  // Positions stay within width and height, so no sum of runs can overflow.
  auto advance = [&](int dx) { x = std::min(x + dx, b.width); };
  std::size_t i = 0;
  while (i + 2 <= n && y < b.height) {
    const std::uint8_t count = d[i], value = d[i + 1];
    i += 2;
    if (count > 0) {  // a run of one value (two alternating nibbles at 4 bits)
      for (int k = 0; k < count && x + k < b.width; ++k) put(x + k, four ? (k & 1 ? value & 0x0F : value >> 4) : value);
      advance(count);
    } else if (value == 0) {  // end of row
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // move right and up
      if (i + 2 > n) break;
      advance(d[i]);
      y = std::min(y + d[i + 1], b.height);
      i += 2;
    } else {  // literal pixels, padded to a whole 16-bit word
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      for (int k = 0; k < value && x + k < b.width; ++k) {
        const std::size_t at = i + (four ? std::size_t(k) / 2 : std::size_t(k));
        if (at >= n) break;
        put(x + k, four ? (k & 1 ? d[at] & 0x0F : d[at] >> 4) : d[at]);
      }
      advance(value);
      i += (bytes + 1) & ~std::size_t{1};
    }
  }
}

}  // namespace

std::optional<Bitmap> decode(std::span<const std::uint8_t> f, std::string* why) {
  auto fail = [&](const char* reason) -> std::optional<Bitmap> {
    if (why) *why = reason;
    return std::nullopt;
  };
  const std::size_t size = f.size();
  if (size < 14 + 12) return fail("file too short for the headers");
  const std::uint8_t* p = f.data();
  if (p[0] != 'B' || p[1] != 'M') return fail("not a bitmap");
  const std::uint32_t offBits = u32(p + 10);
  const std::uint32_t headerSize = u32(p + 14);
  const bool core = headerSize == 12;  // the old header: 16-bit sizes, 3-byte colours
  if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    return fail("unsupported information header");
  if (14ull + headerSize > size) return fail("information header beyond the file");
  const std::int32_t width = core ? u16(p + 18) : i32(p + 18);
  const std::int32_t rawHeight = core ? u16(p + 20) : i32(p + 22);
  const std::uint16_t planes = core ? u16(p + 22) : u16(p + 26);
  const std::uint16_t bpp = core ? u16(p + 24) : u16(p + 28);
  const std::uint32_t compression = core ? kRgb : u32(p + 30);
  const std::uint32_t clrUsed = core ? 0 : u32(p + 46);
  if (planes != 1) return fail("planes not 1");
  if (width <= 0 || width > kMaxSide) return fail("bad width");
  if (rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide) return fail("bad height");
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;

  const bool indexed = bpp == 1 || bpp == 4 || bpp == 8;
  switch (compression) {
    case kRgb:
      if (!indexed && bpp != 24 && (core || (bpp != 16 && bpp != 32))) return fail("unsupported bits per pixel");
      break;
    case kBitFields:
      if (bpp != 16 && bpp != 32) return fail("colour masks need 16 or 32 bits per pixel");
      break;
    case kRle8:
    case kRle4:
      if (bpp != (compression == kRle8 ? 8 : 4)) return fail("run-length compression of the wrong depth");
      if (topDown) return fail("run-length data stored top-down");
      if (std::size_t(width) * std::size_t(height) > kMaxRlePixels) return fail("run-length picture too large");
      break;
    default: return fail("unsupported compression");
  }

  // The three masks follow a 40-byte header; longer headers hold them.
  Field rgb[3];
  std::size_t tableAt = 14 + headerSize;
  if (bpp == 16 || bpp == 32) {
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == kBitFields) {
      if (headerSize == 40) tableAt += 12;
      if (tableAt > size) return fail("colour masks beyond the file");
      for (int i = 0; i < 3; ++i) masks[i] = u32(p + 14 + 40 + 4 * i);
    }
    for (int i = 0; i < 3; ++i)
      if (!MakeField(masks[i], bpp, rgb[i])) return fail("colour mask empty, split or wider than the pixel");
    if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2])) return fail("colour masks overlap");
  }

  std::size_t colorCount = 0;
  const std::size_t entryBytes = core ? 3 : 4;
  if (indexed) {
    const std::uint32_t full = 1u << bpp;
    if (clrUsed > 256) return fail("colour count over 256");
    if (clrUsed > full) return fail("colour count over the depth");
    colorCount = clrUsed ? clrUsed : full;
  } else if (clrUsed > 256) {
    return fail("colour count over 256");
  }
  if (tableAt + colorCount * entryBytes > size) return fail("colour table beyond the file");
  if (offBits < 14 + headerSize || offBits > size) return fail("pixel data beyond the file");

  Bitmap b;
  b.width = width;
  b.height = height;
  b.bitsPerPixel = indexed ? bpp : 24;
  const std::size_t stride = ((static_cast<std::size_t>(width) * b.bitsPerPixel + 31) / 32) * 4;
  b.stride = static_cast<int>(stride);
  const std::uint8_t* data = p + offBits;
  const std::size_t dataSize = size - offBits;
  if (compression == kRle8 || compression == kRle4) {
    b.bits.assign(stride * static_cast<std::size_t>(height), 0);
    DecodeRle(b, data, dataSize);
  } else {
    const std::size_t srcStride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    const std::size_t dataBytes = srcStride * static_cast<std::size_t>(height);
    if (dataBytes > dataSize) return fail("pixel data beyond the file");
    b.bits.resize(stride * static_cast<std::size_t>(height));
    if (bpp == 16 || bpp == 32) {
      ToRgb24(b, data, srcStride, bpp, rgb, topDown);
    } else if (!topDown) {
      std::memcpy(b.bits.data(), data, dataBytes);
    } else {
      // Stored top row first: keep the bottom-up order of the rows in memory.
      for (int y = 0; y < height; ++y)
        std::memcpy(b.bits.data() + static_cast<std::size_t>(height - 1 - y) * stride, data + y * stride, stride);
    }
  }
  b.colors.resize(colorCount);
  for (std::size_t i = 0; i < colorCount; ++i) {
    const std::uint8_t* q = p + tableAt + entryBytes * i;
    b.colors[i] = RgbQuad{q[0], q[1], q[2], core ? std::uint8_t(0) : q[3]};
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
