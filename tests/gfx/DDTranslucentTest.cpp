#include "EffectTest.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDTranslucent.h"
#include "gfx/FieldUnits16.h"

namespace {

using namespace gfxtest;
using DDTranslucentTest = EffectFixture;

// An asymmetric blend table: a swapped index order gives other numbers.
std::uint8_t Table(int a, int b) { return std::uint8_t((a * 7 + b * 3) & 255); }
void FillTable(std::uint8_t* t) {
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) t[a * 256 + b] = Table(a, b);
}

std::uint16_t P565(int r, int g, int b) { return std::uint16_t(r << 11 | g << 5 | b); }
std::uint16_t P1555(int r, int g, int b) { return std::uint16_t(0x8000 | r << 10 | g << 5 | b); }

TEST_F(DDTranslucentTest, DirectDrawAlphaPerDepthAndLevel) {
  struct Case {
    Mode mode;
    int level;
    PALETTEENTRY colour;  // palette entry 31
    std::uint32_t src, dst, expected;
  };
  // 16 bits: up to 8-bit units (10 -> 82, 20 -> 80, 5 -> 41; targets 31 -> 255, 0 -> 0,
  // 16 -> 131), halved toward the target, down again (168 -> 20, 40 -> 9, 86 -> 10).
  // A level below 0 only goes up and down: 15 -> 123 -> 14.
  const Case cases[] = {
      {Mode::DD32, 1, {100, 100, 100, 0}, 0x00C8C8C8, 0xAB000000, 0xAB969696},
      {Mode::DD32, 2, {100, 100, 100, 0}, 0x00C8C8C8, 0xAB000000, 0xAB7D7D7D},
      {Mode::DD32, -1, {100, 100, 100, 0}, 0x00C8C8C8, 0xAB000000, 0xABC8C8C8},
      // Halving 0 toward 255 settles at 254 after eight steps.
      {Mode::DD32, 9, {255, 0, 255, 0}, 0x00000000, 0, 0x00FE00FE},
      {Mode::DD32, 1000000, {255, 0, 255, 0}, 0x00000000, 0, 0x00FE00FE},
      {Mode::DD16, 1, {31, 0, 16, 0}, P565(10, 20, 5), 0, P565(20, 9, 10)},
      {Mode::DD16, -1, {31, 0, 16, 0}, P565(15, 20, 5), 0, P565(14, 19, 4)},
      {Mode::DD8, 1, {}, 5, 0, Table(5, 31)},
      {Mode::DD8, 2, {}, 5, 0, Table(Table(5, 31), 31)},
      {Mode::DD8, -1, {}, 5, 0, 5},
  };
  FillTable(g_BlendTable);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + " level " + std::to_string(c.level));
    Reopen(c.mode);
    PALETTEENTRY pal[256] = {};
    pal[31] = c.colour;
    DDSURFACEDATA* src = Make(4, 4);
    DDSURFACEDATA* dst = Make(4, 4);
    PaintAll(src, c.src);
    PaintAll(dst, c.dst);
    EXPECT_TRUE(DDBltAlpha(dst, 0, 0, 4, 4, src, 0, 0, 0, pal, nullptr, 31, c.level));
    EXPECT_EQ(Px(dst, 3, 3), c.expected);
  }
  // Level 0 draws nothing.
  DDSURFACEDATA* src = Make(4, 4);
  DDSURFACEDATA* dst = Make(4, 4);
  PaintAll(src, 9);
  EXPECT_TRUE(DDBltAlpha(dst, 0, 0, 4, 4, src, 0, 0, 0, g_Palette, nullptr, 31, 0));
  EXPECT_EQ(Changed(dst, 0), 0);
}

TEST_F(DDTranslucentTest, TransparentSourcePixelsAreLeftOutByTheWholeWord) {
  struct Case {
    Mode mode;
    std::uint32_t transparent, nearMiss;
  };
  // At 32 bits a pixel whose byte 3 differs from the transparent value's is not transparent.
  const Case cases[] = {{Mode::DD8, 0, 8}, {Mode::DD16, 0xF81F, 0xF81E}, {Mode::DD32, 0x00FF00FF, 0x01FF00FF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode));
    Reopen(c.mode);
    g_TransmitPixel = c.transparent;
    DDSURFACEDATA* src = Make(2, 1);
    Paint(src, [&](int x, int) { return x == 0 ? c.transparent : c.nearMiss; });
    for (int half = 0; half < 2; ++half) {
      DDSURFACEDATA* dst = Make(2, 1);
      const std::uint32_t before = 0x1;
      PaintAll(dst, before);
      if (half) DDBltHalf(dst, 0, 0, 2, 1, src, 0, 0, 1, nullptr);
      else DDBltAlpha(dst, 0, 0, 2, 1, src, 0, 0, 1, g_Palette, nullptr, 0, -1);
      EXPECT_EQ(Px(dst, 0, 0), before) << (half ? "half" : "alpha");
      EXPECT_NE(Px(dst, 1, 0), before) << (half ? "half" : "alpha");
    }
  }
}

TEST_F(DDTranslucentTest, Direct3DAlphaQuadBlendsTowardTheFactorColour) {
  ASSERT_TRUE(Open(Mode::D3D32));
  PALETTEENTRY pal[256] = {};
  pal[31] = {100, 50, 0, 0};
  struct Case {
    int level;
    std::uint32_t expected;
  };
  // Factor alpha 128 / 80 / 0 by level: round((texel * fa + colour * (255 - fa)) / 255).
  const Case cases[] = {{1, 0xFF967D64}, {2, 0xFF83613F}, {5, 0xFF643200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    DDSURFACEDATA* src = Make(2, 1);
    DDSURFACEDATA* dst = Make(2, 1);
    Paint(src, [](int x, int) { return x == 0 ? 0xFFC8C8C8u : 0u; });  // texel 1 is transparent
    PaintAll(dst, 0xFF010203);
    EXPECT_TRUE(DDBltAlpha(dst, 0, 0, 2, 1, src, 0, 0, 0, pal, nullptr, 31, c.level));
    EXPECT_EQ(Px(dst, 0, 0), c.expected);
    EXPECT_EQ(Px(dst, 1, 0), 0xFF010203u);
  }
}

TEST_F(DDTranslucentTest, Direct3DAlphaPixelLoopInSystemMemory) {
  struct Case {
    Mode mode;
    bool fullScreen;
    int level;
    PALETTEENTRY colour;
    std::uint32_t src, expected;
  };
  // Weights 128 / 64 / 32 / 16: level 1 is (s + t) >> 1, the others s * w / 255 + t * (1 - w / 255)
  // truncated (200 and 100 give 125, 112, 106). Targets in field units: 255 -> 31, 128 -> 15.
  const Case cases[] = {
      {Mode::D3D32, false, 1, {100, 100, 100, 0}, 0x00C8C8C8, 0xFF969696},
      {Mode::D3D32, false, 2, {100, 100, 100, 0}, 0x00C8C8C8, 0xFF7D7D7D},
      {Mode::D3D32, false, 3, {100, 100, 100, 0}, 0x00C8C8C8, 0xFF707070},
      {Mode::D3D32, false, 4, {100, 100, 100, 0}, 0x00C8C8C8, 0xFF6A6A6A},
      {Mode::D3D16, false, 1, {255, 0, 128, 0}, P1555(10, 20, 5), P1555(20, 10, 10)},
      // Onto the 5-6-5 screen: level 1 writes G as the sum, the others double it.
      {Mode::D3D16, true, 1, {255, 0, 128, 0}, P1555(10, 20, 5), P565(20, 20, 10)},
      {Mode::D3D16, true, 2, {255, 0, 128, 0}, P1555(10, 20, 5), P565(25, 10, 12)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + (c.fullScreen ? " full screen" : "") + " level " +
                 std::to_string(c.level));
    Reopen(c.mode, !c.fullScreen);
    PALETTEENTRY pal[256] = {};
    pal[31] = c.colour;
    DDSURFACEDATA* src = Make(4, 4, true);
    DDSURFACEDATA* dst = c.fullScreen ? &BackBuffer : Make(4, 4);
    Paint(src, [&](int x, int) { return x == 0 ? 0u : c.src; });  // column 0 transparent
    PaintAll(dst, 0x1234);
    EXPECT_TRUE(DDBltAlpha(dst, 0, 0, 4, 4, src, 0, 0, 1, pal, nullptr, 31, c.level));
    EXPECT_EQ(Px(dst, 2, 1), c.expected);
    EXPECT_EQ(Px(dst, 0, 1), 0x1234u);
  }
}

TEST_F(DDTranslucentTest, HalfAndHalfPerModeAndDepth) {
  struct Case {
    const char* what;
    Mode mode;
    bool fullScreen, system, virtualBack;
    std::uint32_t transparent, src, dst, expected;
  };
  // 16-bit DirectDraw mixes in 8-bit units: (82 + 164) >> 1 = 123 -> 14, (80 + 161) >> 1 =
  // 120 -> 29, (41 + 123) >> 1 = 82 -> 9. Direct3D quads take the texel at alpha 128.
  const Case cases[] = {
      {"dd8 over 0", Mode::DD8, false, false, false, 0, 40, 0, 40},
      {"dd8 table", Mode::DD8, false, false, false, 0, 40, 12, 204u},
      {"dd16 mix", Mode::DD16, false, false, false, 0xF81F, P565(20, 40, 15), P565(10, 20, 5), P565(14, 29, 9)},
      {"dd16 over transparent", Mode::DD16, false, false, false, 0xF81F, P565(20, 40, 15), 0xF81F, P565(20, 40, 15)},
      {"dd32 mix", Mode::DD32, false, false, false, 0x00FF00FF, 0x00C86432, 0x7F204060, 0x7F745249},
      {"dd32 over transparent", Mode::DD32, false, false, false, 0x00FF00FF, 0x00C86432, 0x00FF00FF, 0x00C86432},
      {"d3d32 quad white", Mode::D3D32, false, false, false, 0, 0xFFFFFFFF, 0xFF000000, 0x808080},
      // 16-bit quads: white at alpha 128 over black gives 128 -> field 16, alpha 191 keeps the bit.
      {"d3d16 quad", Mode::D3D16, false, false, false, 0, 0xFFFF, 0x8000, 0xC210},
      {"d3d32 quad black", Mode::D3D32, false, false, false, 0, 0xFF000000, 0xFFFFFFFF, 0x7F7F7F},
      {"d3d32 pixels", Mode::D3D32, false, true, false, 0, 0x00C86432, 0x00204060, 0xFF745249},
      {"d3d32 virtual back buffer", Mode::D3D32, false, false, true, 0, 0xFFC86432, 0xFF204060, 0xFF745249},
      // The 5-6-5 screen: R and B halved, G = (screen G + 2 * texel G) >> 1.
      {"d3d16 full screen pixels", Mode::D3D16, true, true, false, 0, P1555(10, 20, 5), P565(20, 40, 15),
       P565(15, 40, 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reopen(c.mode, !c.fullScreen);
    g_TransmitPixel = c.transparent;
    std::vector<std::uint8_t> table(65536);
    FillTable(table.data());
    std::fill(g_BlendTable, g_BlendTable + 65536, 0);  // the table passed in is the one used
    DDSURFACEDATA* src = Make(2, 2, c.system);
    DDSURFACEDATA* dst = c.fullScreen || c.virtualBack ? &BackBuffer : Make(2, 2);
    if (c.virtualBack) DDSetVirBackBuffer(true);
    DDSURFACEDATA* target = c.virtualBack ? &VirBackBuffer : dst;
    PaintAll(src, c.src);
    PaintAll(target, c.dst);
    EXPECT_TRUE(DDBltHalf(dst, 0, 0, 2, 2, src, 0, 0, 0, table.data()));
    const std::uint32_t mask = c.mode == Mode::D3D32 && !c.system && !c.virtualBack ? 0xFFFFFF : 0xFFFFFFFF;
    EXPECT_EQ(Px(target, 1, 1) & mask, c.expected);
    if (c.virtualBack) DDSetVirBackBuffer(false);
  }
}

TEST_F(DDTranslucentTest, FiveFiveFiveDisplayUsesItsOwnFields) {
  plat::display::setDirectDraw16Format(plat::PixelFormat::Rgb555);
  ASSERT_TRUE(Open(Mode::DD16));
  DDSURFACEDATA* src = Make(1, 1);
  DDSURFACEDATA* dst = Make(1, 1);
  PaintAll(src, 15u << 10 | 15u << 5 | 15u);
  // Each 5-bit field, in its own place, goes up and down: 15 -> 123 -> 14.
  DDBltAlpha(dst, 0, 0, 1, 1, src, 0, 0, 0, g_Palette, nullptr, 0, -1);
  EXPECT_EQ(Px(dst, 0, 0), 14u << 10 | 14u << 5 | 14u);
}

TEST_F(DDTranslucentTest, EightBitHalfSkipsNumberZero) {
  ASSERT_TRUE(Open(Mode::DD8));
  std::vector<std::uint8_t> table(65536);
  FillTable(table.data());
  DDSURFACEDATA* src = Make(2, 1);
  DDSURFACEDATA* dst = Make(2, 1);
  PaintAll(src, 0);
  PaintAll(dst, 12);
  DDBltHalf(dst, 0, 0, 2, 1, src, 0, 0, 1, table.data());
  EXPECT_EQ(Px(dst, 0, 0), 12u);
  DDBltHalf(dst, 0, 0, 2, 1, src, 0, 0, 0, table.data());
  EXPECT_EQ(Px(dst, 0, 0), Table(12, 0));
}

TEST_F(DDTranslucentTest, BothBlitsClipToBothSurfaces) {
  struct Case {
    int x, y, sx, sy, written;
  };
  // A 4 x 4 rectangle into an 8 x 8 target from a 4 x 4 source.
  const Case cases[] = {{2, 2, 0, 0, 16}, {-2, 0, 0, 0, 8}, {6, 6, 0, 0, 4}, {0, 0, 1, 3, 3},
                        {-2, 6, 1, 0, 2}, {8, 0, 0, 0, 0},  {0, 0, -4, 0, 0}};
  for (Mode m : {Mode::DD8, Mode::DD16, Mode::DD32, Mode::D3D16, Mode::D3D32}) {
    Reopen(m);
    FillTable(g_BlendTable);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + " at " + std::to_string(c.x) + "," + std::to_string(c.y) + " from " +
                   std::to_string(c.sx) + "," + std::to_string(c.sy));
      for (int half = 0; half < 2; ++half) {
        DDSURFACEDATA* src = Make(4, 4, IsD3D(m));
        DDSURFACEDATA* dst = Make(8, 8);
        PaintAll(src, 0x40);
        PaintAll(dst, 0x1);
        if (half) DDBltHalf(dst, c.x, c.y, 4, 4, src, c.sx, c.sy, 0, g_BlendTable);
        else DDBltAlpha(dst, c.x, c.y, 4, 4, src, c.sx, c.sy, 0, g_Palette, nullptr, 0, 1);
        EXPECT_EQ(Changed(dst, 0x1), c.written) << (half ? "half" : "alpha");
      }
    }
  }
}

TEST_F(DDTranslucentTest, BlendTableFile) {
  const std::string file = Write("hbt03.dat", std::string(10, '\x05'));
  std::vector<std::uint8_t> table(65536, 9);
  ASSERT_TRUE(Open(Mode::D3D32));
  EXPECT_TRUE(DDLoadBlendTable(table.data(), Path("missing.dat")));  // nothing to read under Direct3D
  EXPECT_TRUE(DDLoadBlendTable(table.data(), file));
  EXPECT_EQ(table[0], 9);
  Reopen(Mode::DD8);
  EXPECT_FALSE(DDLoadBlendTable(table.data(), Path("missing.dat")));
  EXPECT_EQ(table[0], 9);
  // A short file fills what it holds and leaves the rest.
  EXPECT_TRUE(DDLoadBlendTable(table.data(), file));
  EXPECT_EQ(table[9], 5);
  EXPECT_EQ(table[10], 9);
}

}  // namespace

namespace {

using namespace gfxtest;

// The translucent quads and the coloured quads of tints and fades are computed by loops of
// their own; they must draw what the general quad code draws.
TEST_F(DDTranslucentTest, QuadsDrawWhatTheGeneralQuadDraws) {
  ASSERT_TRUE(Open(Mode::D3D32));
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8 ^ seed << 13;
  };
  // Wider than the runs the rows are drawn in, and of an odd width.
  constexpr int kW = 151;
  DDSURFACEDATA* src = Make(kW, 5);
  DDSURFACEDATA* dst = Make(kW, 5);
  DDSURFACEDATA* ref = Make(kW, 5, true);
  const std::uint32_t alphas[] = {0, 255, 1, 128, 254, 77};
  PALETTEENTRY pal[256] = {};
  pal[9] = {200, 30, 170, 0};
  // Texels of every alpha, only opaque and clear ones (pictures and sprites), and those
  // with a stretch of every alpha in the middle of the rows.
  const char* const kinds[] = {"", " opaque and clear texels", " a stretch of every alpha"};
  for (int run = 0; run < 18; ++run) {
    const int kind = run / 6, level = run % 6;
    SCOPED_TRACE(::testing::Message() << "level " << level << kinds[kind]);
    Paint(src, [&](int x, int) {
      const bool binary = kind == 1 || (kind == 2 && (x < 70 || x >= 100));
      return (next() & 0xFFFFFF) | (binary ? (x % 3 ? 255u : 0u) : alphas[x % 6]) << 24;
    });
    Paint(dst, [&](int, int) { return next(); });
    {
      cSurfaceLock ld(dst), lr(ref);
      pix::copyRaw(*lr.m_lpSurface, 0, 0, *ld.m_lpSurface, 0, 0, kW, 5);
    }
    pix::QuadOp op;
    if (level == 0) {
      DDBltHalf(dst, 0, 0, kW, 5, src, 0, 0, 0, nullptr);
      op.diffuse = 0x80FFFFFF;
      op.colorOp = D3DTOP_MODULATE;
      op.alphaOp = D3DTOP_MODULATE;
    } else {
      DDBltAlpha(dst, 0, 0, kW, 5, src, 0, 0, 0, pal, nullptr, 9, level);
      const std::uint32_t fa[] = {0, 0x80, 0x50, 0x30, 0x10, 0};
      op.factor = fa[level] << 24 | 0xC81EAA;
      op.diffuse = 0xFFC81EAA;
      op.colorOp = D3DTOP_BLENDFACTORALPHA;
      op.alphaOp = D3DTOP_SELECTARG1;
    }
    {
      cSurfaceLock ls(src), lr(ref);
      pix::drawQuad(*lr.m_lpSurface, 0, 0, kW, 5, *ls.m_lpSurface, 0, 0, kW, 5, op);
    }
    EXPECT_EQ(Grab(dst), Grab(ref));
  }
  for (std::uint32_t colour : {0x80FF0000u, 0x01123456u, 0xFE00FF00u, 0xFF0000FFu}) {
    SCOPED_TRACE(colour);
    Paint(dst, [&](int, int) { return next(); });
    {
      cSurfaceLock ld(dst), lr(ref);
      pix::copyRaw(*lr.m_lpSurface, 0, 0, *ld.m_lpSurface, 0, 0, kW, 5);
      ddfx::FillBlend(*ld.m_lpSurface, 0, 0, kW, 5, colour);
      pix::fillBlend(*lr.m_lpSurface, 0, 0, kW, 5, colour);
    }
    EXPECT_EQ(Grab(dst), Grab(ref));
  }
}

}  // namespace

namespace {

using namespace gfxtest;

// The 16-bit rows of the usual layouts are computed in loops of their own; they must
// draw what the general loops (per-call tables) draw, at every level, keyed or not,
// clipped by both surfaces at an odd width, with the key colour among the pixels of both.
TEST_F(DDTranslucentTest, SixteenBitRowsDrawWhatTheGeneralLoopsDraw) {
  struct Target {
    Mode mode;
    bool screen;          // Direct3D: into the full-screen back buffer, else a texture in system memory
    bool rgb555 = false;  // DirectDraw on a 5-5-5 display
  };
  std::uint32_t seed = 777;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 9 ^ seed << 7;
  };
  PALETTEENTRY pal[256] = {};
  pal[31] = {200, 30, 170, 0};  // DirectDraw reads field values: clamped to the field
  pal[32] = {21, 50, 3, 0};
  for (const Target t : {Target{Mode::DD16, false}, Target{Mode::DD16, false, true}, Target{Mode::D3D16, false},
                         Target{Mode::D3D16, true}}) {
    ReleaseSurfaces();
    ResetAll();
    if (t.rgb555) plat::display::setDirectDraw16Format(plat::PixelFormat::Rgb555);
    ASSERT_TRUE(Open(t.mode, !t.screen));
    g_TransmitPixel = 0x4321;
    const std::uint32_t key = ddfx::TransparentValue();
    const bool d3d = IsD3D(t.mode);
    DDSURFACEDATA* src = Make(41, 6, d3d);
    DDSURFACEDATA* dst = t.screen ? &BackBuffer : Make(43, 7, d3d);
    Paint(src, [&](int x, int y) { return (x + y) % 5 == 0 ? key : next() & 0xFFFF; });
    const int w = 37, h = 5, x = t.screen ? 600 : -3, y = t.screen ? 476 : 1;
    for (int op = 0; op < 2; ++op) {
      for (int level : {-1, 1, 2, 3, 4, 5, 9}) {
        if (op == 1 && level != 1) continue;  // the half blit has no level
        for (int flags : {0, 1}) {
          for (int colour : {31, 32}) {
            SCOPED_TRACE(::testing::Message() << Name(t.mode) << (t.screen ? " screen" : "") << (t.rgb555 ? " 555" : "")
                                              << (op ? " half" : " alpha") << " level " << level << " flags " << flags
                                              << " colour " << colour);
            std::vector<std::uint32_t> before;
            {
              cSurfaceLock l(dst);
              for (int k = 0; k < 7; ++k)
                for (int c = 0; c < 43; ++c) {
                  const std::uint32_t v = (c + k) % 7 == 0 ? key : next() & 0xFFFF;
                  before.push_back(v);
                  pix::putRaw(*l.m_lpSurface, (t.screen ? 597 : 0) + c, (t.screen ? 473 : 0) + k, v);
                }
            }
            auto draw = [&](bool general, bool narrow) {
              {
                cSurfaceLock l(dst);
                for (int k = 0; k < 7; ++k)
                  for (int c = 0; c < 43; ++c)
                    pix::putRaw(*l.m_lpSurface, (t.screen ? 597 : 0) + c, (t.screen ? 473 : 0) + k, before[k * 43 + c]);
              }
              pix::useGeneralLoopsForTests(general);
              pix::useWideRowsForTests(!narrow);
              if (op == 0) DDBltAlpha(dst, x, y, w, h, src, 2, 0, flags, pal, nullptr, std::uint8_t(colour), level);
              else DDBltHalf(dst, x, y, w, h, src, 2, 0, flags, nullptr);
              pix::useGeneralLoopsForTests(false);
              pix::useWideRowsForTests(true);
              std::vector<std::uint32_t> after;
              cSurfaceLock l(dst);
              for (int k = 0; k < 7; ++k)
                for (int c = 0; c < 43; ++c)
                  after.push_back(pix::getRaw(*l.m_lpSurface, (t.screen ? 597 : 0) + c, (t.screen ? 473 : 0) + k));
              return after;
            };
            const std::vector<std::uint32_t> general = draw(true, false);
            if (!(d3d && level < 0)) {  // Direct3D draws nothing below level 1
              EXPECT_NE(general, before);
            }
            EXPECT_EQ(draw(false, false), general);
            EXPECT_EQ(draw(false, true), general);
          }
        }
      }
    }
  }
}

// The half blit's 16-bit rows over every pair of field values (the source's along the
// rows, the destination's down the columns), against the general loop.
TEST_F(DDTranslucentTest, SixteenBitHalfRowsMixEveryPairOfFieldValues) {
  for (const bool rgb555 : {false, true}) {
    SCOPED_TRACE(rgb555 ? "555" : "565");
    ReleaseSurfaces();
    ResetAll();
    if (rgb555) plat::display::setDirectDraw16Format(plat::PixelFormat::Rgb555);
    ASSERT_TRUE(Open(Mode::DD16));
    const int shiftR = rgb555 ? 10 : 11, maxG = rgb555 ? 31 : 63;
    auto pixel = [&](int v) { return std::uint32_t((v & 31) << shiftR | (v & maxG) << 5 | (31 - (v & 31))); };
    g_TransmitPixel = pixel(5);
    DDSURFACEDATA* src = Make(64, 64);
    DDSURFACEDATA* dst = Make(64, 64);
    Paint(src, [&](int x, int) { return pixel(x); });
    for (int flags : {0, 1}) {
      auto draw = [&](bool general, bool narrow) {
        Paint(dst, [&](int, int y) { return pixel(y); });
        pix::useGeneralLoopsForTests(general);
        pix::useWideRowsForTests(!narrow);
        DDBltHalf(dst, 0, 0, 64, 64, src, 0, 0, flags, nullptr);
        pix::useGeneralLoopsForTests(false);
        pix::useWideRowsForTests(true);
        return Grab(dst);
      };
      const std::vector<std::uint32_t> general = draw(true, false);
      EXPECT_EQ(draw(false, false), general) << "flags " << flags;
      EXPECT_EQ(draw(false, true), general) << "flags " << flags;
    }
  }
}

// The multiply-high conversions of the 16-bit rows against the truncating divisions
// they stand for, over every field value, every 8-bit unit and every pair of values.
template <unsigned Max>
void CheckFieldUnits() {
  using F = ddfx::FieldUnits16<Max>;
  SCOPED_TRACE(Max);
  for (unsigned v = 0; v <= Max; ++v) EXPECT_EQ(F::Up(std::uint16_t(v << 5)), v * 255 / Max) << v;
  for (unsigned u = 0; u <= 255; ++u) EXPECT_EQ(F::Down(std::uint16_t(u)), u * Max / 255) << u;
  for (unsigned a = 0; a <= Max; ++a)
    for (unsigned b = 0; b <= Max; ++b) {
      const unsigned sum = a * 255 / Max + b * 255 / Max;
      EXPECT_EQ(F::DownHalf(std::uint16_t(sum)), (sum >> 1) * Max / 255) << a << " " << b;
    }
}

TEST(FieldUnits16Test, MultiplyHighsAreTheTruncatingDivisions) {
  CheckFieldUnits<31>();
  CheckFieldUnits<63>();
}

// The half mix of two 5-bit fields through the table of their sums, over every pair.
TEST(FieldUnits16Test, HalfMixOfFiveBitFieldsIsThatOfTheirSum) {
  for (unsigned a = 0; a < 32; ++a)
    for (unsigned b = 0; b < 32; ++b)
      EXPECT_EQ(ddfx::HalfOfSum5(a + b), ((a * 255 / 31 + b * 255 / 31) >> 1) * 31 / 255) << a << " " << b;
}

// The half mix through one number per value, (f(a) + f(b)) / 4 floored, over every pair.
TEST(FieldUnits16Test, HalfMixIsAQuarterOfTheValuesNumbers) {
  auto check = [](auto max, auto quarters) {
    const unsigned m = max;
    for (unsigned a = 0; a <= m; ++a)
      for (unsigned b = 0; b <= m; ++b)
        EXPECT_EQ((quarters(a) + quarters(b)) / 4u, ((a * 255 / m + b * 255 / m) >> 1) * m / 255)
            << m << ": " << a << " " << b;
  };
  check(31u, [](unsigned v) { return unsigned(ddfx::HalfQuarters<31>(v)); });
  check(63u, [](unsigned v) { return unsigned(ddfx::HalfQuarters<63>(v)); });
}

}  // namespace

namespace {

using namespace gfxtest;

// Large 32-bit blits of the pixel loop mix in integers; every channel value, at every
// level and for colours at the ends of the range, must come out as the float mix gives it.
TEST_F(DDTranslucentTest, ThirtyTwoBitPixelLoopMixMatchesTheFloatMix) {
  Reopen(Mode::D3D32, true);
  constexpr int kW = 259, kH = 17;  // over 4096 pixels, an odd tail after the groups of eight
  g_TransmitPixel = 0x00123456;
  const std::uint32_t key = ddfx::TransparentValue();
  DDSURFACEDATA* src = Make(kW, kH, true);
  DDSURFACEDATA* dst = Make(kW, kH, true);
  Paint(src, [&](int x, int y) {
    if ((x + 3 * y) % 11 == 0) return key;
    const std::uint32_t v = std::uint32_t(x + 256 * y);
    return (v * 37 & 255) << 24 | (v & 255) << 16 | (v * 5 & 255) << 8 | ((v * 3 + y) & 255);
  });
  const PALETTEENTRY colours[] = {
      {0, 0, 0, 0}, {255, 255, 255, 0}, {200, 30, 170, 0}, {1, 254, 128, 0}, {100, 100, 100, 0}};
  for (const PALETTEENTRY& colour : colours) {
    PALETTEENTRY pal[256] = {};
    pal[7] = colour;
    for (int level : {2, 3, 4, 5}) {
      for (int flags : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "colour " << int(colour.peRed) << "," << int(colour.peGreen) << ","
                                          << int(colour.peBlue) << " level " << level << " flags " << flags);
        auto draw = [&](bool general) {
          PaintAll(dst, 0x00ABCDEF);
          pix::useGeneralLoopsForTests(general);
          DDBltAlpha(dst, 0, 0, kW, kH, src, 0, 0, flags, pal, nullptr, 7, level);
          pix::useGeneralLoopsForTests(false);
          return Grab(dst);
        };
        const std::vector<std::uint32_t> general = draw(true);
        EXPECT_EQ(draw(false), general);
      }
    }
  }
}

}  // namespace

namespace {

using namespace gfxtest;

// The 8-bit mix maps every palette number through the blend table `level` times toward
// the colour; rows longer and shorter than the wide rows' 64 pixels, every number as a
// source, the key left out when keyed; the narrow rows give the same.
TEST_F(DDTranslucentTest, EightBitAlphaMapsEveryNumber) {
  Reopen(Mode::DD8);
  FillTable(g_BlendTable);
  g_TransmitPixel = 77;
  constexpr int kW = 150, kH = 3;  // 2 x 64 + a tail of 22
  DDSURFACEDATA* src = Make(kW, kH);
  DDSURFACEDATA* dst = Make(kW, kH);
  auto number = [](int x, int y) { return std::uint32_t(x + kW * y) & 255; };
  Paint(src, number);
  for (int level : {1, 2, 5}) {
    for (int flags : {0, 1}) {
      for (bool narrow : {false, true}) {
        SCOPED_TRACE(::testing::Message() << "level " << level << " flags " << flags << (narrow ? " narrow" : ""));
        PaintAll(dst, 200);
        pix::useWideRowsForTests(!narrow);
        EXPECT_TRUE(DDBltAlpha(dst, 0, 0, kW, kH, src, 0, 0, flags, g_Palette, nullptr, 31, level));
        pix::useWideRowsForTests(true);
        int wrong = 0;
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) {
            std::uint32_t want = number(x, y);
            if (flags == 1 && want == 77) {
              want = 200;
            } else {
              for (int i = 0; i < level; ++i) want = Table(int(want), 31);
            }
            wrong += Px(dst, x, y) != want;
          }
        EXPECT_EQ(wrong, 0);
      }
    }
  }
}

}  // namespace

namespace {

using namespace gfxtest;

// The 8-bit half blit over every pair of numbers: the table's entry for (destination,
// source), the source where the destination is number 0, and, keyed, the destination
// where the source is 0; the wide and the narrow rows alike.
TEST_F(DDTranslucentTest, EightBitHalfMixesEveryPair) {
  Reopen(Mode::DD8);
  std::vector<std::uint8_t> table(65536);
  FillTable(table.data());
  DDSURFACEDATA* src = Make(256, 256);
  DDSURFACEDATA* dst = Make(256, 256);
  Paint(src, [](int x, int) { return std::uint32_t(x); });
  for (int flags : {0, 1}) {
    for (bool narrow : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "flags " << flags << (narrow ? " narrow" : ""));
      Paint(dst, [](int, int y) { return std::uint32_t(y); });
      pix::useWideRowsForTests(!narrow);
      EXPECT_TRUE(DDBltHalf(dst, 0, 0, 256, 256, src, 0, 0, flags, table.data()));
      pix::useWideRowsForTests(true);
      int wrong = 0;
      for (int o = 0; o < 256; ++o)
        for (int v = 0; v < 256; ++v) {
          const std::uint32_t want = flags == 1 && v == 0 ? o : o == 0 ? v : Table(o, v);
          wrong += Px(dst, v, o) != want;
        }
      EXPECT_EQ(wrong, 0);
    }
  }
}

}  // namespace
