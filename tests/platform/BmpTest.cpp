#include "platform/bmp.h"

#include <gtest/gtest.h>

#include <cstring>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

void Put16(std::string& s, unsigned v) {
  s.push_back(char(v & 0xFF));
  s.push_back(char(v >> 8 & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(char(v >> (8 * i) & 0xFF));
}
std::string Dwords(std::initializer_list<std::uint32_t> vs) {
  std::string s;
  for (std::uint32_t v : vs) Put32(s, v);
  return s;
}

// An information header of the given size (40, 108 or 124 bytes) with masks in place
// for the longer ones.
std::string Info(int size, std::int32_t w, std::int32_t h, int bpp, std::uint32_t compression,
                 std::uint32_t colorsUsed = 0, std::initializer_list<std::uint32_t> masks = {}) {
  std::string s;
  Put32(s, std::uint32_t(size));
  Put32(s, std::uint32_t(w));
  Put32(s, std::uint32_t(h));
  Put16(s, 1);
  Put16(s, unsigned(bpp));
  Put32(s, compression);
  Put32(s, 0);  // image size may be 0
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, colorsUsed);
  Put32(s, 0);
  if (size > 40) s += Dwords(masks);
  s.resize(std::size_t(size), '\0');
  return s;
}

// The old 12-byte header: 16-bit width and height.
std::string CoreInfo(int w, int h, int bpp) {
  std::string s;
  Put32(s, 12);
  Put16(s, unsigned(w));
  Put16(s, unsigned(h));
  Put16(s, 1);
  Put16(s, unsigned(bpp));
  return s;
}

// A file: the 14-byte file header, the information header, what follows it (masks,
// colour table) and the pixel data.
std::string File(const std::string& info, const std::string& between, const std::string& pixels) {
  std::string s = "BM";
  const std::uint32_t off = std::uint32_t(14 + info.size() + between.size());
  Put32(s, off + std::uint32_t(pixels.size()));
  Put32(s, 0);
  Put32(s, off);
  return s + info + between + pixels;
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
  for (int y = 0; y < 2; ++y) topDown.replace(off + y * stride, stride, file.substr(off + (1 - y) * stride, stride));
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

// Pixels of 16 and 32 bits, with the default fields or masks, come out as 24-bit
// colours: a field of n bits scales to 0..255 by v * 255 / (2^n - 1) rounded, a field
// wider than 8 bits keeps its top 8 bits.
TEST(BmpTest, DirectColourFilesGiveTheirColours) {
  constexpr std::uint32_t kBitFields = 3;
  struct Case {
    const char* what;
    int bpp;
    bool topDown;
    std::string info;      // information header
    std::string between;   // masks after a 40-byte header
    std::uint32_t raw[6];  // pixels, top row first, 3 x 2
    std::uint32_t rgb[6];
  };
  const std::uint32_t primaries[5] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
  const Case cases[] = {
      // 5-5-5 without masks: 16 of 31 is 132, 8 of 31 is 66, 1 of 31 is 8.
      // clang-format off
      {"16 bits, 5-5-5", 16, false, Info(40, 3, 2, 16, 0), "",
       {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4101}, {0, 0, 0, 0, 0, 0x844208}},
      // 5-6-5 masks after the header: 32 of 63 is 130.
      {"16 bits, 5-6-5 masks", 16, false, Info(40, 3, 2, 16, kBitFields), Dwords({0xF800, 0x07E0, 0x001F}),
       {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8401}, {0, 0, 0, 0, 0, 0x848208}},
      // 4-4-4 stored top row first: 8 of 15 is 136, 4 of 15 is 68, 1 of 15 is 17.
      {"16 bits, 4-4-4 masks, top-down", 16, true, Info(40, 3, -2, 16, kBitFields), Dwords({0x0F00, 0x00F0, 0x000F}),
       {0x0F00, 0x00F0, 0x000F, 0x0FFF, 0x0000, 0x0841}, {0, 0, 0, 0, 0, 0x884411}},
      // The top byte of an unmasked 32-bit pixel is unused.
      {"32 bits", 32, false, Info(40, 3, 2, 32, 0), "",
       {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xAA000000, 0xAB123456}, {0, 0, 0, 0, 0, 0x123456}},
      {"32 bits, masks in a 124-byte header, red lowest", 32, false,
       Info(124, 3, 2, 32, kBitFields, 0, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}), "",
       {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0xFF000000, 0x00563412}, {0, 0, 0, 0, 0, 0x123456}},
      // 10-bit fields: 0x200 keeps 0x80, 0x0FF keeps 0x3F.
      {"32 bits, 10-10-10 masks in a 108-byte header", 32, false,
       Info(108, 3, 2, 32, kBitFields, 0, {0x3FF00000, 0x000FFC00, 0x000003FF}), "",
       {0x3FF00000, 0x000FFC00, 0x000003FF, 0x3FFFFFFF, 0xC0000000, 0x2003FFFF}, {0, 0, 0, 0, 0, 0x803FFF}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int bytes = c.bpp / 8, stride = (3 * bytes + 3) & ~3;
    std::string pixels(std::size_t(stride) * 2, '\0');
    for (int y = 0; y < 2; ++y) {
      const int row = c.topDown ? y : 1 - y;  // rows are stored bottom-up unless top-down
      for (int x = 0; x < 3; ++x)
        for (int i = 0; i < bytes; ++i)
          pixels[std::size_t(row * stride + x * bytes + i)] = char(c.raw[y * 3 + x] >> (8 * i));
    }
    std::string why;
    const auto d = plat::bmp::decode(Bytes(File(c.info, c.between, pixels)), &why);
    ASSERT_TRUE(d) << why;
    EXPECT_EQ(d->bitsPerPixel, 24);
    EXPECT_EQ(d->width, 3);
    EXPECT_EQ(d->height, 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(d->rgbAt(i % 3, i / 3), i < 5 ? primaries[i] : c.rgb[5]) << "pixel " << i;
  }
}

TEST(BmpTest, BadColourMasksAreRefused) {
  constexpr std::uint32_t kBitFields = 3;
  const std::string pixels(8, '\0');  // 2 x 2 at 16 bits
  struct Case {
    const char* what;
    std::string file;
  };
  const Case cases[] = {
      {"empty red mask", File(Info(40, 2, 2, 16, kBitFields), Dwords({0, 0x07E0, 0x001F}), pixels)},
      {"split mask", File(Info(40, 2, 2, 16, kBitFields), Dwords({0xF00F, 0x07E0, 0x0010}), pixels)},
      {"mask wider than the pixel", File(Info(40, 2, 2, 16, kBitFields), Dwords({0x1F0000, 0x07E0, 0x001F}), pixels)},
      {"overlapping masks", File(Info(40, 2, 2, 16, kBitFields), Dwords({0xFC00, 0x07E0, 0x001F}), pixels)},
      {"masks on a 24-bit picture", File(Info(40, 2, 2, 24, kBitFields), Dwords({0xFF0000, 0xFF00, 0xFF}), pixels)},
      {"masks cut by the end of the file", File(Info(40, 2, 2, 16, kBitFields), Dwords({0xF800}), "")},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(plat::bmp::decode(Bytes(c.file), &why)) << c.what;
    EXPECT_FALSE(why.empty()) << c.what;
  }
}

// Run-length data: rows bottom-up; a pair (n, v) is n pixels of v (at 4 bits the two
// nibbles of v in turn); 0 0 ends a row, 0 1 the picture, 0 2 dx dy moves right and
// up, 0 n (n >= 3) is n literal pixels padded to an even byte count.
TEST(BmpTest, RunLengthFilesGiveTheirPixels) {
  struct Case {
    const char* what;
    int bpp, w, h;
    std::string stream;
    std::vector<std::string> rowsTopDown;  // palette indices as hex digits
  };
  const Case cases[] = {
      // clang-format off
      {"8 bits", 8, 6, 4,
       std::string("\x03\x01" "\x00\x03\x02\x03\x01\x00" "\x00\x00"  // 1 1 1, literal 2 3 1 (padded), end of row
                   "\x02\x02" "\x00\x02\x02\x01" "\x02\x03" "\x00\x00"  // 2 2, move 2 right 1 up, 3 3
                   "\x08\x01" "\x00\x01", 22),                          // 8 ones clipped to the row, end
       {"111111", "000033", "220000", "111231"}},
      {"4 bits", 4, 5, 2,
       std::string("\x05\x12" "\x00\x00"           // 1 2 1 2 1, end of row
                   "\x00\x03\x34\x50" "\x02\x66"  // literal 3 4 5, 6 6
                   "\x00\x01", 12),
       {"34566", "12121"}},
      // What a hostile stream can do stays inside the picture.
      {"a move past the top ends the picture", 8, 2, 2,
       std::string("\x01\x07" "\x00\x02\xFF\xFF" "\x02\x09", 8), {"00", "70"}},
      // clang-format on
      {"literal pixels cut by the end of the data", 8, 4, 1, std::string("\x00\xFF\x05\x06", 4), {"5600"}},
      {"rows past the top and no end mark", 8, 2, 1, std::string("\x02\x04\x00\x00\x02\x05\x02\x06", 8), {"44"}},
      {"a literal run past the row end", 4, 3, 1, std::string("\x00\x08\x12\x34\x56\x78\x00\x01", 8), {"123"}},
      {"a lone byte at the end", 8, 1, 1, std::string("\x01\x03\x00", 3), {"3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string table;
    for (int i = 0; i < 16; ++i) table += Dwords({std::uint32_t(i * 0x10)});
    std::string why;
    const auto d =
        plat::bmp::decode(Bytes(File(Info(40, c.w, c.h, c.bpp, c.bpp == 8 ? 1 : 2, 16), table, c.stream)), &why);
    ASSERT_TRUE(d) << why;
    EXPECT_EQ(d->bitsPerPixel, c.bpp);
    ASSERT_EQ(d->height, c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        const int want = std::stoi(c.rowsTopDown[std::size_t(y)].substr(std::size_t(x), 1), nullptr, 16);
        EXPECT_EQ(d->indexAt(x, y), want) << x << "," << y;
      }
    EXPECT_EQ(d->rgbAt(0, 0), std::uint32_t(d->indexAt(0, 0) * 0x10));
  }

  struct Refusal {
    const char* what;
    std::string file;
  };
  const std::string end("\x00\x01", 2);
  const Refusal refused[] = {
      {"stored top-down", File(Info(40, 2, -2, 8, 1), "", end)},
      {"run-length 4 on an 8-bit picture", File(Info(40, 2, 2, 8, 2), "", end)},
      {"a picture of a billion pixels", File(Info(40, 32768, 32768, 8, 1), "", end)},
  };
  for (const Refusal& r : refused) {
    std::string why;
    EXPECT_FALSE(plat::bmp::decode(Bytes(r.file), &why)) << r.what;
    EXPECT_FALSE(why.empty()) << r.what;
  }
}

// The old header: 16-bit sizes and a table of 3-byte colours (blue, green, red).
TEST(BmpTest, OldHeaderFilesGiveTheirPixels) {
  std::string table;
  for (int i = 0; i < 16; ++i) table += {char(i), char(2 * i), char(3 * i)};
  // 3 x 2 at 4 bits: rows of 2 bytes padded to 4, the bottom row first.
  const std::string pixels(
      "\x45\x60\x00\x00"
      "\x12\x30\x00\x00",
      8);
  std::string why;
  const auto d = plat::bmp::decode(Bytes(File(CoreInfo(3, 2, 4), table, pixels)), &why);
  ASSERT_TRUE(d) << why;
  ASSERT_EQ(d->colors.size(), 16u);
  const int top[3] = {1, 2, 3}, bottom[3] = {4, 5, 6};
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(d->indexAt(x, 0), top[x]);
    EXPECT_EQ(d->indexAt(x, 1), bottom[x]);
    EXPECT_EQ(d->rgbAt(x, 0), std::uint32_t(3 * top[x]) << 16 | std::uint32_t(2 * top[x]) << 8 | std::uint32_t(top[x]));
  }

  const std::string rgb("\x01\x02\x03\x04\x05\x06\x00\x00", 8);  // 2 x 1 at 24 bits
  const auto d24 = plat::bmp::decode(Bytes(File(CoreInfo(2, 1, 24), "", rgb)), &why);
  ASSERT_TRUE(d24) << why;
  EXPECT_EQ(d24->rgbAt(0, 0), 0x030201u);
  EXPECT_EQ(d24->rgbAt(1, 0), 0x060504u);
  EXPECT_FALSE(plat::bmp::decode(Bytes(File(CoreInfo(2, 1, 16), "", rgb))));
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
      {"12 bits per pixel", with(28, 12, 2)},
      {"JPEG compressed", with(30, 4, 4)},
      {"run-length 8 on a 4-bit picture", with(30, 1, 4)},
      {"two planes", with(26, 2, 2)},
      {"colours over the depth", with(46, 17, 4)},
      {"zero height", with(22, 0, 4)},
      {"huge width", with(18, 0x7FFFFFFF, 4)},
      {"64-byte header", with(14, 64, 4)},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(plat::bmp::decode(Bytes(c.bytes), &why)) << c.what;
    EXPECT_FALSE(why.empty()) << c.what;
  }
}

}  // namespace
