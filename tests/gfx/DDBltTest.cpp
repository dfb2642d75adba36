#include "GfxTest.h"

namespace {

using namespace gfxtest;
using DDBltTest = GfxFixture;

// An 8 x 8 source whose pixel (x, y) is 0xFF000000 | (y + 1) << 8 | (x + 1) (x + 1 at
// 8 and 16 bits), and a 16 x 16 target of zeros.
struct Pair {
  DDSURFACEDATA src, dst;
};

std::uint32_t Mark(Mode m, int x, int y) {
  if (Bpp(m) == 8) return std::uint32_t(x + 1);
  if (Bpp(m) == 16) return (IsD3D(m) ? 0x8000u : 0u) | std::uint32_t((y + 1) << 5 | (x + 1));
  return (IsD3D(m) ? 0xFF000000u : 0u) | std::uint32_t((y + 1) << 8 | (x + 1));
}

void MakePair(Mode m, Pair& p, bool srcSystem = false) {
  ASSERT_TRUE(DDCreateSurface(&p.src, 8, 8, 0, srcSystem ? 1 : 0, srcSystem ? 1 : 0, 0, false));
  ASSERT_TRUE(DDCreateSurface(&p.dst, 16, 16, 0, 0, 0, 0, false));
  cSurfaceLock ls(&p.src), ld(&p.dst);
  ASSERT_TRUE(ls.IsLocked() && ld.IsLocked());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pix::putRaw(*ls.m_lpSurface, x, y, Mark(m, x, y));
  pix::fillRaw(*ld.m_lpSurface, 0, 0, 16, 16, 0);
}

int Written(DDSURFACEDATA* s) {
  cSurfaceLock l(s);
  int n = 0;
  for (int y = 0; y < s->nHeight; ++y)
    for (int x = 0; x < s->nWidth; ++x) n += pix::getRaw(*l.m_lpSurface, x, y) != 0;
  return n;
}

TEST_F(DDBltTest, ClippingAtEveryEdge) {
  struct Case {
    const char* what;
    int x, y, w, h, sx, sy;
    int written;
    int dx, dy, srcX, srcY;  // one target pixel and the source pixel it must hold
  };
  const Case cases[] = {
      {"inside", 2, 3, 4, 4, 1, 1, 16, 2, 3, 1, 1},
      {"left edge", -4, 0, 8, 8, 0, 0, 32, 0, 0, 4, 0},
      {"right edge", 12, 0, 8, 8, 0, 0, 32, 15, 0, 3, 0},
      {"top edge", 0, -6, 8, 8, 0, 0, 16, 0, 0, 0, 6},
      {"bottom edge", 0, 14, 8, 8, 0, 0, 16, 0, 15, 0, 1},
      {"source past its right", 0, 0, 8, 8, 6, 0, 16, 1, 0, 7, 0},
      {"source past its bottom", 0, 0, 8, 8, 0, 7, 8, 0, 0, 0, 7},
      {"corner", -7, -7, 8, 8, 0, 0, 1, 0, 0, 7, 7},
  };
  const int none[][6] = {{20, 0, 8, 8, 0, 0}, {-8, 0, 8, 8, 0, 0}, {0, 0, 8, 8, 8, 0},
                         {0, 30, 8, 8, 0, 0}, {0, 0, 0, 8, 0, 0},  {0, 0, 8, 8, 0, -9}};
  for (Mode m : {Mode::DD8, Mode::DD16, Mode::DD24, Mode::DD32, Mode::D3D16, Mode::D3D32}) {
    ResetAll();
    ASSERT_TRUE(Open(m));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + ": " + c.what);
      Pair p;
      MakePair(m, p);
      DDBlt(&p.dst, c.x, c.y, c.w, c.h, &p.src, c.sx, c.sy, 0);
      EXPECT_EQ(Written(&p.dst), c.written);
      EXPECT_EQ(Px(&p.dst, c.dx, c.dy), Mark(m, c.srcX, c.srcY));
      DDReleaseSurface(&p.src);
      DDReleaseSurface(&p.dst);
    }
    for (const auto& n : none) {
      SCOPED_TRACE(std::string(Name(m)) + " nothing at " + std::to_string(n[0]) + "," + std::to_string(n[1]));
      Pair p;
      MakePair(m, p);
      DDBlt(&p.dst, n[0], n[1], n[2], n[3], &p.src, n[4], n[5], 0);
      EXPECT_EQ(Written(&p.dst), 0);
      DDReleaseSurface(&p.src);
      DDReleaseSurface(&p.dst);
    }
  }
}

TEST_F(DDBltTest, NegativeSourceOriginPerPath) {
  // DirectDraw moves the source's left edge to 0 and keeps the target position; the
  // textured path leaves the pixels whose texels lie outside the sheet undrawn.
  for (Mode m : {Mode::DD32, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    ResetAll();
    ASSERT_TRUE(Open(m));
    Pair p;
    MakePair(m, p);
    DDBlt(&p.dst, 0, 0, 8, 1, &p.src, -2, 0, 0);
    if (IsD3D(m)) {
      EXPECT_EQ(Px(&p.dst, 0, 0), 0u);
      EXPECT_EQ(Px(&p.dst, 2, 0), Mark(m, 0, 0));
      EXPECT_EQ(Written(&p.dst), 6);
    } else {
      EXPECT_EQ(Px(&p.dst, 0, 0), Mark(m, 0, 0));
      EXPECT_EQ(Written(&p.dst), 6);
    }
    DDReleaseSurface(&p.src);
    DDReleaseSurface(&p.dst);
  }
}

TEST_F(DDBltTest, FillClipsToTheSurface) {
  ASSERT_TRUE(Open(Mode::DD32));
  g_Palette[1] = PALETTEENTRY{1, 1, 1, 0};
  DDFillRect(&BackBuffer, -10, 0, 700, 20, 1);
  EXPECT_EQ(Px(&BackBuffer, 0, 0), 0x010101u);
  EXPECT_EQ(Px(&BackBuffer, 639, 19), 0x010101u);
  EXPECT_EQ(Px(&BackBuffer, 639, 20), 0u);
  DDClear(&BackBuffer, 1);
  EXPECT_EQ(Px(&BackBuffer, 320, 479), 0x010101u);
}

TEST_F(DDBltTest, StretchSamplingPerPath) {
  struct Case {
    Mode mode;
    bool system;
    int w, sx, sw;
    std::vector<int> columns;  // source column of target columns 0..
  };
  const Case cases[] = {
      {Mode::DD32, false, 8, 0, 4, {0, 0, 1, 1, 2, 2, 3, 3}},
      {Mode::DD32, false, 3, 0, 8, {0, 2, 5}},       // j * sw / w truncated
      {Mode::D3D32, false, 3, 0, 8, {1, 4, 6}},      // sampled at pixel centres
      {Mode::D3D32, false, 4, 4, -4, {3, 2, 1, 0}},  // negative width mirrors
      {Mode::D3D32, true, 4, 4, -4, {3, 2, 1, 0}},   // system memory: reads leftwards from sx - 1
      {Mode::D3D32, true, 3, 0, 8, {0, 2, 5}},       // system memory: trunc(j * sw / w)
      {Mode::DD8, false, 6, 0, 3, {0, 0, 1, 1, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + " w " + std::to_string(c.w) + " sw " + std::to_string(c.sw));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    Pair p;
    MakePair(c.mode, p, c.system);
    DDStretchBlt(&p.dst, 0, 0, c.w, 2, &p.src, c.sx, 0, c.sw, 2, 0);
    for (int j = 0; j < static_cast<int>(c.columns.size()); ++j)
      EXPECT_EQ(Px(&p.dst, j, 0), Mark(c.mode, c.columns[j], 0)) << "column " << j;
    EXPECT_EQ(Px(&p.dst, c.w, 0), 0u);
    DDReleaseSurface(&p.src);
    DDReleaseSurface(&p.dst);
  }
}

TEST_F(DDBltTest, DirectDrawStretchClipsWithTheScale) {
  ASSERT_TRUE(Open(Mode::DD32));
  Pair p;
  MakePair(Mode::DD32, p);
  // x = -2 at scale 1/2 moves the source's left edge by one: columns 1,1,2,2,3,3.
  DDStretchBlt(&p.dst, -2, 0, 8, 1, &p.src, 0, 0, 4, 1, 0);
  const int expect[] = {1, 1, 2, 2, 3, 3};
  for (int j = 0; j < 6; ++j) EXPECT_EQ(Px(&p.dst, j, 0), Mark(Mode::DD32, expect[j], 0)) << j;
  EXPECT_EQ(Px(&p.dst, 6, 0), 0u);
  EXPECT_FALSE(DDStretchBlt(&p.dst, 0, 0, 0, 4, &p.src, 0, 0, 4, 4, 0));
  DDReleaseSurface(&p.src);
  DDReleaseSurface(&p.dst);
}

TEST_F(DDBltTest, ColourKeyInEachDepth) {
  for (Mode m : {Mode::DD8, Mode::DD16, Mode::DD24, Mode::DD32, Mode::D3D16, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    ResetAll();
    ASSERT_TRUE(Open(m));
    g_TransmitPixel = IsD3D(m) ? 0 : Mark(m, 1, 0);
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 3, 1, 1, 0, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&dst, 3, 1, 0, 0, 0, 0, false));
    const std::uint32_t bg = IsD3D(m) ? Mark(m, 5, 5) : 0x7;
    for (int x = 0; x < 3; ++x) {
      SetPx(&src, x, 0, Mark(m, x, 0));
      SetPx(&dst, x, 0, bg);
    }
    SetPx(&src, 1, 0, g_TransmitPixel);  // the transparent pixel (texels: transparent black)
    DDBlt(&dst, 0, 0, 3, 1, &src, 0, 0, 1);
    EXPECT_EQ(Px(&dst, 0, 0), Mark(m, 0, 0));
    EXPECT_EQ(Px(&dst, 1, 0), bg);
    EXPECT_EQ(Px(&dst, 2, 0), Mark(m, 2, 0));
    // Without the flag the transparent pixel is copied (textured: cleared first).
    DDBlt(&dst, 0, 0, 3, 1, &src, 0, 0, 0);
    EXPECT_EQ(Px(&dst, 1, 0), g_TransmitPixel);
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
  }
}

TEST_F(DDBltTest, ThirtyTwoBitKeyComparesTheWholePixel) {
  ASSERT_TRUE(Open(Mode::DD32));
  g_TransmitPixel = 0x00FF00FF;
  DDSURFACEDATA src, dst;
  ASSERT_TRUE(DDCreateSurface(&src, 2, 1, 1, 0, 0, 0, false));
  ASSERT_TRUE(DDCreateSurface(&dst, 2, 1, 0, 0, 0, 0, false));
  SetPx(&src, 0, 0, 0x00FF00FF);
  SetPx(&src, 1, 0, 0x01FF00FF);  // same colour, byte 3 differs: drawn
  DDBlt(&dst, 0, 0, 2, 1, &src, 0, 0, 1);
  EXPECT_EQ(Px(&dst, 0, 0), 0u);
  EXPECT_EQ(Px(&dst, 1, 0), 0x01FF00FFu);
  DDReleaseSurface(&src);
  DDReleaseSurface(&dst);
}

TEST_F(DDBltTest, ColourOperationsAndDrawColour) {
  struct Case {
    const char* what;
    std::uint32_t texel;
    DRAWMODE mode;
    std::uint32_t result;  // over a target of 0xFF000000
  };
  const Case cases[] = {
      {"modulate white", 0xFF804020, {0xFFFFFFFF, D3DTOP_MODULATE}, 0xFF804020},
      {"modulate", 0xFF804020, {0xFF8080FF, D3DTOP_MODULATE}, 0xFF402020},
      {"add saturates", 0xFF804020, {0xFF8080FF, D3DTOP_ADD}, 0xFFFFC0FF},
      {"subtract floors", 0xFF804020, {0xFF102030, D3DTOP_SUBTRACT}, 0xFF702000},
      {"select diffuse", 0xFF804020, {0xFF8080FF, D3DTOP_SELECTARG2}, 0xFF8080FF},
      {"draw colour alpha ignored", 0xFF804020, {0x00FFFFFF, D3DTOP_MODULATE}, 0xFF804020},
      {"half texel alpha", 0x80FF0000, {0xFFFFFFFF, D3DTOP_MODULATE}, 0xBF800000},
      {"clear texel untouched by add", 0x00000000, {0xFFFFFFFF, D3DTOP_ADD}, 0xFF000000},
  };
  ASSERT_TRUE(Open(Mode::D3D32));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 1, 1, 1, 0, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&dst, 1, 1, 0, 0, 0, 0, false));
    SetPx(&src, 0, 0, c.texel);
    SetPx(&dst, 0, 0, 0xFF000000);
    DDBltEx(&dst, 0, 0, 1, 1, &src, 0, 0, 1, &c.mode);
    EXPECT_EQ(Px(&dst, 0, 0), c.result);
    EXPECT_EQ(g_lpD3DData->dwDrawColor, 0xFFFFFFFFu);  // put back afterwards
    EXPECT_EQ(g_lpD3DData->nColorOp, D3DTOP_MODULATE);
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
  }
}

TEST_F(DDBltTest, LongRunsOfMixedAlphaBlendLikeSinglePixels) {
  ASSERT_TRUE(Open(Mode::D3D32));
  // Row 0 mixes clear, opaque and half texels; row 1 only clear and opaque ones.
  DDSURFACEDATA src, dst;
  ASSERT_TRUE(DDCreateSurface(&src, 40, 2, 1, 0, 0, 0, false));
  ASSERT_TRUE(DDCreateSurface(&dst, 40, 2, 0, 0, 0, 0, false));
  const std::uint32_t texel[3] = {0x00000000, 0xFF00FF00, 0x80FF0000};
  const std::uint32_t result[3] = {0xFF0000FF, 0xFF00FF00, 0xBF80007F};
  for (int x = 0; x < 40; ++x) {
    SetPx(&src, x, 0, texel[x % 3]);
    SetPx(&src, x, 1, texel[x % 2]);
    SetPx(&dst, x, 0, 0xFF0000FF);
    SetPx(&dst, x, 1, 0xFF0000FF);
  }
  DDBlt(&dst, 0, 0, 40, 2, &src, 0, 0, 1);
  for (int x = 0; x < 40; ++x) {
    EXPECT_EQ(Px(&dst, x, 0), result[x % 3]) << x;
    EXPECT_EQ(Px(&dst, x, 1), result[x % 2]) << x;
  }
  DDReleaseSurface(&src);
  DDReleaseSurface(&dst);
}

TEST_F(DDBltTest, DirectDrawIgnoresTheDrawMode) {
  ASSERT_TRUE(Open(Mode::DD32));
  Pair p;
  MakePair(Mode::DD32, p);
  const DRAWMODE add{0xFFFFFFFF, D3DTOP_ADD};
  DDBltEx(&p.dst, 0, 0, 2, 2, &p.src, 0, 0, 0, &add);
  EXPECT_EQ(Px(&p.dst, 1, 1), Mark(Mode::DD32, 1, 1));
  DDReleaseSurface(&p.src);
  DDReleaseSurface(&p.dst);
}

TEST_F(DDBltTest, SixteenBitTexturesKeepTheirFieldsThroughTheQuad) {
  ASSERT_TRUE(Open(Mode::D3D16, false));
  DDSURFACEDATA src;
  ASSERT_TRUE(DDCreateSurface(&src, 2, 1, 0, 0, 0, 0, false));
  SetPx(&src, 0, 0, 0x8000 | 31 << 10 | 15 << 5 | 1);
  SetPx(&src, 1, 0, 0x0000);  // transparent
  SetPx(&BackBuffer, 1, 0, 0x1234);
  DDBlt(&BackBuffer, 0, 0, 2, 1, &src, 0, 0, 1);
  // Full-screen 565 back buffer: 5-bit green 15 becomes 6-bit 30 (bit replication).
  EXPECT_EQ(Px(&BackBuffer, 0, 0), 31u << 11 | 30u << 5 | 1u);
  EXPECT_EQ(Px(&BackBuffer, 1, 0), 0x1234u);
  DDReleaseSurface(&src);
}

TEST_F(DDBltTest, SystemMemoryCopyToFullScreenBackBufferDoublesGreen) {
  ASSERT_TRUE(Open(Mode::D3D16, false));
  DDSURFACEDATA src;
  ASSERT_TRUE(DDCreateSurface(&src, 1, 1, 0, 1, 1, 0, false));
  SetPx(&src, 0, 0, 0x8000 | 31 << 10 | 31 << 5 | 31);
  DDBlt(&BackBuffer, 0, 0, 1, 1, &src, 0, 0, 0);
  EXPECT_EQ(Px(&BackBuffer, 0, 0), 31u << 11 | 62u << 5 | 31u);
  DDReleaseSurface(&src);
}

TEST_F(DDBltTest, FillsUnderDirect3D) {
  ASSERT_TRUE(Open(Mode::D3D32));
  DDSetTransmit(255, 0, 255);
  g_Palette[3] = PALETTEENTRY{10, 20, 30, 0};
  DDSURFACEDATA keyed, plain;
  ASSERT_TRUE(DDCreateSurface(&keyed, 4, 4, 1, 0, 0, 0, false));
  ASSERT_TRUE(DDCreateSurface(&plain, 4, 4, 0, 0, 0, 0, false));
  // New textures are cleared to the opaque key colour.
  EXPECT_EQ(Px(&plain, 0, 0), 0xFFFF00FFu);
  DDClear(&keyed, 3);
  DDFillRect(&keyed, 1, 1, 2, 2, 0);  // number 0 on a keyed surface stores transparency
  EXPECT_EQ(Px(&keyed, 0, 0), 0xFF0A141Eu);
  EXPECT_EQ(Px(&keyed, 1, 1), 0u);
  DDFillRect(&plain, 0, 0, 4, 4, 0);  // a clear quad changes nothing
  EXPECT_EQ(Px(&plain, 0, 0), 0xFFFF00FFu);
  DDFillRectColor(&plain, 0, 0, 1, 1, 0x80FFFFFF);
  EXPECT_EQ(Px(&plain, 0, 0), 0xBFFF80FFu);  // target alpha: a * a + da * (1 - a)
  DDReleaseSurface(&keyed);
  DDReleaseSurface(&plain);
}

TEST_F(DDBltTest, AliasDrawsFromItsTwin) {
  ASSERT_TRUE(Open(Mode::D3D32));
  DDSURFACEDATA twin, alias, dst;
  ASSERT_TRUE(DDCreateSurface(&twin, 2, 2, 0, 0, 0, 0, false));
  ASSERT_TRUE(DDCreateSurface(&alias, 2, 2, 0, 1, 0, 1, false));
  ASSERT_TRUE(DDCreateSurface(&dst, 2, 2, 0, 0, 0, 0, false));
  alias.lpAlias = &twin;
  SetPx(&twin, 1, 1, 0xFF445566);
  DDBlt(&dst, 0, 0, 2, 2, &alias, 0, 0, 1);
  EXPECT_EQ(Px(&dst, 1, 1), 0xFF445566u);
  DDReleaseSurface(&alias);
  EXPECT_NE(twin.Pixels(), nullptr);  // releasing the alias leaves the twin
  DDReleaseSurface(&twin);
  DDReleaseSurface(&dst);
}

}  // namespace
