// The pixel loops specialised for common formats must draw exactly what the general
// loops draw: each case is drawn twice from the same pixels, once through each.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/PixelOps.h"

namespace {

using plat::PixelFormat;
using plat::Surface;

std::uint32_t g_seed = 2024;
std::uint32_t Next() {
  g_seed = g_seed * 1103515245u + 12345u;
  return g_seed >> 7 ^ g_seed << 11;
}

std::unique_ptr<Surface> Noise(int w, int h, PixelFormat f) {
  auto s = Surface::create(w, h, f, plat::Memory::System);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pix::putRaw(*s, x, y, Next());
  return s;
}

std::vector<std::uint32_t> Pixels(const Surface& s) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) out.push_back(pix::getRaw(s, x, y));
  return out;
}

// Draws into a copy of `target` through the general loops or the specialised ones.
template <class Draw>
std::vector<std::uint32_t> DrawnBy(bool general, const Surface& target, Draw draw) {
  auto d = Surface::create(target.width(), target.height(), target.format(), plat::Memory::System);
  pix::copyRaw(*d, 0, 0, target, 0, 0, target.width(), target.height());
  pix::useGeneralLoopsForTests(general);
  draw(*d);
  pix::useGeneralLoopsForTests(false);
  return Pixels(*d);
}

constexpr PixelFormat kSixteen[] = {PixelFormat::Argb1555, PixelFormat::Rgb565, PixelFormat::Rgb555};

struct OpCase {
  const char* name;
  pix::QuadOp op;
};
std::vector<OpCase> Ops() {
  auto make = [](std::uint32_t diffuse, int colorOp, int alphaOp, std::uint32_t factor = 0) {
    pix::QuadOp op;
    op.diffuse = diffuse, op.colorOp = colorOp, op.alphaOp = alphaOp, op.factor = factor;
    return op;
  };
  return {{"plain", make(0xFFFFFFFF, 4, 2)},
          {"modulate colour and alpha", make(0x80C06030, 4, 4)},
          {"half (white, alpha 128)", make(0x80FFFFFF, 4, 4)},
          {"add", make(0xFF406080, 7, 2)},
          {"subtract", make(0xFF406080, 10, 2)},
          {"diffuse colour, diffuse alpha", make(0x5A123456, 3, 3)},
          {"blend factor alpha", make(0xFFC81EAA, 14, 2, 0x50C81EAA)},
          {"blend factor alpha, modulated alpha", make(0x80C81EAA, 14, 4, 0x50C81EAA)},
          {"clear diffuse alpha", make(0x00FFFFFF, 2, 3)}};
}

// Quads of 16-bit textures onto 16-bit targets (every pair of formats) and of 32-bit
// textures onto 32-bit targets: every colour and alpha operation, one-to-one, stretched,
// stretched upright only, mirrored, and clipped by both surfaces at odd widths.
TEST(PixelOpsTest, QuadsMatchTheGeneralLoops) {
  struct Geometry {
    int x, y, w, h, sx, sy, sw, sh;
  };
  const Geometry shapes[] = {
      {0, 0, 37, 9, 0, 0, 37, 9},     // one-to-one, odd width
      {-5, -2, 41, 7, 3, 1, 41, 7},   // clipped by the target on the left and top, the source on the right
      {20, 4, 300, 5, 1, 0, 300, 5},  // wider than a chunk of the loops, clipped on the right
      {2, 1, 33, 8, 0, 0, 13, 5},     // stretched
      {1, -1, 37, 11, 2, 1, 37, 4},   // stretched upright only
      {3, 0, 29, 9, 30, 0, -29, 9},   // mirrored
  };
  for (const bool opaque : {false, true}) {  // opaque: every alpha bit set (a picture)
    std::vector<std::pair<PixelFormat, PixelFormat>> pairs = {{PixelFormat::Argb8888, PixelFormat::Argb8888},
                                                              {PixelFormat::Argb8888, PixelFormat::Xrgb8888}};
    for (PixelFormat sf : kSixteen)
      for (PixelFormat df : kSixteen) pairs.emplace_back(sf, df);
    for (const auto& [sf, df] : pairs) {
      const auto src = Noise(45, 10, sf);
      const std::uint32_t alphaBits = sf == PixelFormat::Argb8888 ? 0xFF000000u : 0x8000u;
      if (opaque)
        for (int y = 0; y < 10; ++y)
          for (int x = 0; x < 45; ++x) pix::putRaw(*src, x, y, pix::getRaw(*src, x, y) | alphaBits);
      const auto dst = Noise(61, 11, df);
      for (const OpCase& c : Ops()) {
        for (const Geometry& g : shapes) {
          SCOPED_TRACE(::testing::Message()
                       << c.name << (opaque ? " opaque" : "") << " src " << int(sf) << " dst " << int(df) << " at "
                       << g.x << "," << g.y << " " << g.w << "x" << g.h << " from " << g.sw);
          auto draw = [&](Surface& d) {
            pix::QuadOp op = c.op;
            op.srcLimitW = 43;  // the source's logical size is smaller than its pixels
            pix::drawQuad(d, g.x, g.y, g.w, g.h, *src, g.sx, g.sy, g.sw, g.sh, op);
          };
          EXPECT_EQ(DrawnBy(true, *dst, draw), DrawnBy(false, *dst, draw));
        }
      }
    }
  }
}

// The half stage and the factor-alpha stage on 1-5-5-5 texels: every pair of texel and
// target field values (each field on its own: 32 x 32, and 32 x 64 for a 6-bit green),
// texels with and without the alpha bit, targets with and without the top bit, factors
// from none to full and colours of zero and full channels.
TEST(PixelOpsTest, SixteenBitHalfAndFactorQuadsMatchForEveryFieldPair) {
  constexpr int kW = 32, kH = 64;
  auto src = Surface::create(kW, kH, PixelFormat::Argb1555, plat::Memory::System);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      // Rows below 32 are all opaque, so that each pair meets the blend at least once.
      const std::uint32_t alpha = y < 32 || (x + y) % 3 ? 0x8000u : 0u;
      pix::putRaw(*src, x, y, alpha | std::uint32_t(x) << 10 | std::uint32_t(x) << 5 | std::uint32_t(31 - x));
    }
  std::vector<OpCase> ops = {{"half", {}}};
  ops[0].op.diffuse = 0x80FFFFFF, ops[0].op.colorOp = 4, ops[0].op.alphaOp = 4;
  for (std::uint32_t fa : {0x80u, 0x50u, 0x30u, 0x10u, 0x00u, 0xFFu, 0x01u})
    for (std::uint32_t rgb : {0x000000u, 0xFFFFFFu, 0xC81EAAu, 0x07FF00u}) {
      pix::QuadOp op;
      op.diffuse = 0xFF000000u | rgb, op.colorOp = 14, op.alphaOp = 2, op.factor = fa << 24 | rgb;
      ops.push_back({"factor", op});
    }
  for (PixelFormat df : kSixteen) {
    auto dst = Surface::create(kW, kH, df, plat::Memory::System);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const std::uint32_t top = (x ^ y) & 1 ? 0x8000u : 0u, b = std::uint32_t(y * 5) & 31;
        pix::putRaw(*dst, x, y,
                    df == PixelFormat::Rgb565 ? std::uint32_t(y & 31) << 11 | std::uint32_t(y) << 5 | b
                                              : top | std::uint32_t(y & 31) << 10 | std::uint32_t(y & 31) << 5 | b);
      }
    for (const bool wide : {true, false})  // the AVX-512 rows where the processor has them, and the others
      for (const OpCase& c : ops) {
        SCOPED_TRACE(::testing::Message() << c.name << " dst " << int(df) << " factor " << std::hex << c.op.factor
                                          << (wide ? "" : " without AVX-512 rows"));
        auto draw = [&](Surface& d) { pix::drawQuad(d, 0, 0, kW, kH, *src, 0, 0, kW, kH, c.op); };
        const auto general = DrawnBy(true, *dst, draw);
        pix::useWideRowsForTests(wide);
        EXPECT_EQ(general, DrawnBy(false, *dst, draw));
        pix::useWideRowsForTests(true);
      }
  }
}

// Coloured quads (fades and tints) on 16-bit targets, alphas from clear to opaque.
TEST(PixelOpsTest, SixteenBitColouredQuadsMatchTheGeneralLoops) {
  for (PixelFormat df : kSixteen) {
    const auto dst = Noise(301, 4, df);
    for (std::uint32_t colour : {0x80FF0000u, 0x01123456u, 0xFE00FF00u, 0xFF0000FFu, 0x7F808080u}) {
      SCOPED_TRACE(::testing::Message() << "dst " << int(df) << " colour " << std::hex << colour);
      auto draw = [&](Surface& d) { pix::fillBlend(d, 3, 1, 297, 3, colour); };
      EXPECT_EQ(DrawnBy(true, *dst, draw), DrawnBy(false, *dst, draw));
    }
  }
}

}  // namespace
