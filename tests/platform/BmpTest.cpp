#include "platform/bmp.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

plat::bmp::Bitmap Indexed(int bpp, int w, int h) {
  plat::bmp::Bitmap b;
  b.width = w;
  b.height = h;
  b.bitsPerPixel = bpp;
  b.stride = ((w * bpp + 31) / 32) * 4;
  b.bits.assign(static_cast<std::size_t>(b.stride) * h, 0);
  b.colors.resize(std::size_t{1} << bpp);
  for (std::size_t i = 0; i < b.colors.size(); ++i) b.colors[i] = {std::uint8_t(i), 0, std::uint8_t(255 - i), 0};
  return b;
}

TEST(BmpTest, IndexedDepthsReadEveryPixel) {
  for (int bpp : {1, 4, 8}) {
    SCOPED_TRACE(bpp);
    plat::bmp::Bitmap b = Indexed(bpp, 13, 3);
    const int mask = (1 << bpp) - 1;
    // Write pixel values through the packing rules of the format.
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) {
        const int v = (x * 7 + y) & mask;
        std::uint8_t* r = b.topRow(y);
        if (bpp == 8) r[x] = std::uint8_t(v);
        if (bpp == 4) r[x / 2] |= std::uint8_t(x % 2 ? v : v << 4);
        if (bpp == 1) r[x / 8] |= std::uint8_t(v << (7 - x % 8));
      }
    const std::optional<plat::bmp::Bitmap> d = plat::bmp::decode(Bytes(plat::bmp::encode(b)));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->stride, b.stride);
    ASSERT_EQ(d->colors.size(), std::size_t{1} << bpp);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) {
        const int v = (x * 7 + y) & mask;
        EXPECT_EQ(d->indexAt(x, y), v) << x << "," << y;
        EXPECT_EQ(d->rgbAt(x, y), std::uint32_t(255 - v) << 16 | std::uint32_t(v));
      }
  }
}

TEST(BmpTest, TopDownFilesKeepBottomUpRows) {
  const std::vector<std::uint32_t> px = {0x010203, 0x040506, 0x070809, 0x0A0B0C};
  std::string file = plat::bmp::encodeRgb(2, 2, px.data());
  // Same picture stored top row first, with a negative height.
  std::string topDown = file;
  const int stride = 8, off = 54;
  for (int y = 0; y < 2; ++y)
    topDown.replace(off + y * stride, stride, file.substr(off + (1 - y) * stride, stride));
  const std::int32_t negative = -2;
  std::memcpy(topDown.data() + 22, &negative, 4);
  for (const std::string& f : {file, topDown}) {
    const auto d = plat::bmp::decode(Bytes(f));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->height, 2);
    EXPECT_EQ(d->rgbAt(0, 0), 0x010203u);
    EXPECT_EQ(d->rgbAt(1, 1), 0x0A0B0Cu);
    EXPECT_EQ(d->bits[0], 0x09);  // the bottom row comes first in memory
  }
}

TEST(BmpTest, EveryTruncationIsRefused) {
  plat::bmp::Bitmap b = Indexed(8, 5, 4);
  const std::string full = plat::bmp::encode(b);
  ASSERT_TRUE(plat::bmp::decode(Bytes(full)));
  for (std::size_t n = 0; n < full.size(); ++n) {
    std::string why;
    EXPECT_FALSE(plat::bmp::decode(Bytes(full.substr(0, n)), &why)) << n;
    EXPECT_FALSE(why.empty());
  }
}

TEST(BmpTest, RefusesWhatTheGameCannotUse) {
  const std::string good = plat::bmp::encode(Indexed(4, 3, 3));
  auto with = [&](std::size_t at, std::uint32_t v, int bytes) {
    std::string s = good;
    for (int i = 0; i < bytes; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"16 bits per pixel", with(28, 16, 2)},
      {"run-length compressed", with(30, 2, 4)},
      {"two planes", with(26, 2, 2)},
      {"colours over the depth", with(46, 17, 4)},
      {"zero height", with(22, 0, 4)},
      {"huge width", with(18, 0x7FFFFFFF, 4)},
      {"core header", with(14, 12, 4)},
  };
  for (const Case& c : cases) EXPECT_FALSE(plat::bmp::decode(Bytes(c.bytes))) << c.what;
}

}  // namespace
