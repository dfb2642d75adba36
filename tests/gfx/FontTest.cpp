#include "GfxTest.h"

#include "gfx/DDFrame.h"
#include "gfx/Font.h"

namespace {

using namespace gfxtest;

class FontTest : public GfxFixture {
 protected:
  // The bounding box of the pixels that differ from the background colour.
  struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
  };
  static Box Ink(DDSURFACEDATA* s, std::uint32_t background) {
    Box b;
    cSurfaceLock l(s);
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x)
        if (pix::getRaw(*l.m_lpSurface, x, y) != background) {
          b.x0 = std::min(b.x0, x);
          b.y0 = std::min(b.y0, y);
          b.x1 = std::max(b.x1, x);
          b.y1 = std::max(b.y1, y);
        }
    return b;
  }
  // The box of a glyph's own coverage, moved to (x, y).
  static Box GlyphBox(const plat::text::Glyph& g, int x, int y) {
    Box b;
    for (int j = 0; j < g.height; ++j)
      for (int i = 0; i < g.width; ++i)
        if (g.coverage[static_cast<std::size_t>(j) * g.width + i] != 0) {
          b.x0 = std::min(b.x0, x + i);
          b.y0 = std::min(b.y0, y + j);
          b.x1 = std::max(b.x1, x + i);
          b.y1 = std::max(b.y1, y + j);
        }
    return b;
  }
  void OpenWith(Mode m) {
    ASSERT_TRUE(Open(m));
    g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
    g_Palette[240] = PALETTEENTRY{1, 2, 3, 0};
    g_TransmitPixel = 0;
    ASSERT_TRUE(DDCreateSurface(&canvas_, 64, 48, 0, 0, 0, 0, false));
    DDFillRectColor(&canvas_, 0, 0, 64, 48, IsD3D(m) ? 0xFF000000u : 0u);
  }
  void TearDown() override {
    font_.Release();
    DDReleaseSurface(&canvas_);
    DDReleaseSurface(&sheet_);
    GfxFixture::TearDown();
  }
  Font font_;
  DDSURFACEDATA canvas_, sheet_;
};

TEST_F(FontTest, FixedGridMeasuresByCharacters) {
  ASSERT_TRUE(Open(Mode::DD32));
  font_.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  struct Case {
    const char* text;
    int w, h;
  };
  const Case cases[] = {
      {"ab\ncd", 32, 32},
      {"あいう", 48, 16},         // a double-byte character counts once
      {"x\nあいうえ\n", 64, 48},  // the widest line; the empty last line counts
      {"", 0, 16},
  };
  for (const Case& c : cases) {
    std::int32_t w = -1, h = -1;
    font_.GetTextExtent(c.text, &w, &h);
    EXPECT_EQ(w, c.w) << c.text;
    EXPECT_EQ(h, c.h) << c.text;
  }
}

TEST_F(FontTest, CharactersSitInTheirCells) {
  for (Mode m : {Mode::DD32, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    ResetAll();
    OpenWith(m);
    const std::uint32_t bg = IsD3D(m) ? 0xFF000000u : 0u;
    font_.Create("ＭＳ ゴシック", 0, 9, 10, 10, 241, nullptr, 0, 0, nullptr);
    const bool smooth = IsD3D(m);
    // A single-byte character sits at (cw / 8, ch / 16 - 1): one pixel above the cell in font 0.
    font_.Draw(&canvas_, 20, 20, "A", 0);
    const Box a = Ink(&canvas_, bg);
    const Box ga = GlyphBox(font_.m_lpFace->glyph('A', smooth), 20 + 1, 20 - 1);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a.x0, ga.x0);
    EXPECT_EQ(a.y0, ga.y0);
    // A double-byte character sits at the cell's origin, one cell further on.
    DDFillRectColor(&canvas_, 0, 0, 64, 48, bg);
    font_.Draw(&canvas_, 20, 20, "\x81\x40\x82\xA0", 0);  // full-width space, then あ
    const Box k = Ink(&canvas_, bg);
    const Box gk = GlyphBox(font_.m_lpFace->glyph(0x82A0, smooth), 30, 20);
    EXPECT_EQ(k.x0, gk.x0);
    EXPECT_EQ(k.y0, gk.y0);
    EXPECT_GE(k.x0, 30);  // the space drew nothing
    // Nothing of this mode may outlive its shutdown.
    font_.Release();
    DDReleaseSurface(&canvas_);
  }
}

TEST_F(FontTest, DirectDrawGlyphsArePaletteColourOverUntouchedBackground) {
  OpenWith(Mode::DD8);
  font_.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  DDFillRect(&canvas_, 0, 0, 64, 48, 77);
  g_TransmitPixel = 0;
  font_.Draw(&canvas_, 4, 4, "\x82\xA0", 0);
  cSurfaceLock l(&canvas_);
  int ink = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const std::uint32_t p = pix::getRaw(*l.m_lpSurface, x, y);
      EXPECT_TRUE(p == 77 || p == 241) << x << "," << y << " = " << p;
      ink += p == 241;
    }
  EXPECT_GT(ink, 10);
}

TEST_F(FontTest, LettersBecomeSymbolCells) {
  OpenWith(Mode::DD32);
  // A 64 x 16 sheet: cell n filled with colour n + 1, top-left pixel marked.
  ASSERT_TRUE(DDCreateSurface(&sheet_, 64, 16, 1, 0, 0, 0, false));
  for (int n = 0; n < 4; ++n) DDFillRectColor(&sheet_, n * 16, 0, 16, 16, std::uint32_t(n + 1));
  font_.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, &sheet_);
  font_.Draw(&canvas_, 0, 0, "ab\ncd", 0);
  EXPECT_EQ(Px(&canvas_, 5, 5), 1u);
  EXPECT_EQ(Px(&canvas_, 20, 5), 2u);
  EXPECT_EQ(Px(&canvas_, 5, 20), 3u);
  EXPECT_EQ(Px(&canvas_, 31, 31), 4u);
  // Asked to draw letters as text, the sheet stays out of it.
  DDFillRectColor(&canvas_, 0, 0, 64, 48, 0);
  font_.Draw(&canvas_, 0, 0, "ab", 1);
  EXPECT_NE(Px(&canvas_, 5, 5), 1u);
  EXPECT_FALSE(Ink(&canvas_, 0).empty());
}

TEST_F(FontTest, ProportionalFontUnderDirect3DMeasuresNothing) {
  OpenWith(Mode::D3D32);
  DDSURFACEDATA frame;
  ASSERT_TRUE(DDCreateSurface(&frame, 200, 100, 0, 0, 0, 0, false));
  font_.Create("ＭＳ Ｐゴシック", 0, 15, 0, 16, 241, &frame, 1, 240, nullptr);
  std::int32_t w = -1, h = -1;
  font_.GetTextExtent("abc", &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  // The box is only as wide as its indent (8), with the frame one pixel outside.
  font_.DrawTextBox(&canvas_, 10, 10, 0, 20, "abc", 8);
  EXPECT_EQ(Px(&canvas_, 9, 15), 0xFF010203u);
  EXPECT_EQ(Px(&canvas_, 18, 15), 0xFF010203u);
  EXPECT_EQ(Px(&canvas_, 19, 15), 0xFF000000u);
  font_.Release();
  DDReleaseSurface(&frame);
}

TEST_F(FontTest, ProportionalFontUnderDirectDrawMeasuresItsGlyphs) {
  ASSERT_TRUE(Open(Mode::DD32));
  font_.Create("ＭＳ Ｐゴシック", 0, 15, 0, 16, 241, nullptr, 0, 0, nullptr);
  std::int32_t w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  font_.GetTextExtent("iii", &w1, &h1);
  font_.GetTextExtent("WWW\n\nii", &w2, &h2);
  EXPECT_GT(w2, w1);  // proportional widths
  EXPECT_EQ(h1, 16);
  EXPECT_EQ(h2, 16 + 20 + 16);  // an empty line counts 20
}

TEST_F(FontTest, WindowCentresOnTheFramePicture) {
  OpenWith(Mode::DD32);
  DDSURFACEDATA frame;
  ASSERT_TRUE(DDCreateSurface(&frame, 40, 30, 0, 0, 0, 0, false));
  DDFillRectColor(&frame, 0, 0, 40, 30, 0x0000AA);
  font_.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, &frame, 2, 240, nullptr);
  font_.DrawWindow(&canvas_, 10000, 10000, 10, 6);  // x = 40/2 - 10/2 = 15, y = 30/2 - 6/2 = 12
  EXPECT_EQ(Px(&canvas_, 15, 12), 0x0000AAu);
  EXPECT_EQ(Px(&canvas_, 24, 17), 0x0000AAu);
  EXPECT_EQ(Px(&canvas_, 13, 12), 0x010203u);  // frame of thickness 2 outside
  EXPECT_EQ(Px(&canvas_, 26, 19), 0x010203u);
  EXPECT_EQ(Px(&canvas_, 27, 19), 0u);
  // A released font keeps no hold on the frame, which may go before the font comes back.
  font_.Release();
  DDFillRectColor(&canvas_, 0, 0, 64, 48, 0u);
  font_.DrawWindow(&canvas_, 10000, 10000, 10, 6);
  EXPECT_TRUE(Ink(&canvas_, 0u).empty());
  DDReleaseSurface(&frame);
}

TEST_F(FontTest, GlyphsAreRenderedOncePerCharacter) {
  OpenWith(Mode::D3D32);
  font_.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  font_.Draw(&canvas_, 0, 0, "FPS60(12)", 0);
  const int first = font_.m_lpFace->renderCount();
  for (int i = 0; i < 5; ++i) font_.Draw(&canvas_, 0, 0, "FPS60(12)", 0);
  EXPECT_EQ(font_.m_lpFace->renderCount(), first);
}

TEST_F(FontTest, TextsAreCutWithoutSplittingACharacter) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "\x82\xA0";
  EXPECT_EQ(CutSjis(text, 255).size(), 254u);
  EXPECT_EQ(CutSjis("a\x82\xA0", 2), "a");
  EXPECT_EQ(CutSjis("\x82\n", 1), "\x82");  // a lead byte without a valid trail is one byte
  EXPECT_EQ(StrLineLen("abc\ndef"), 3);
  EXPECT_EQ(StrLineLen("abc"), 3);
  OpenWith(Mode::DD32);
  font_.Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, nullptr, 0, 0, nullptr);
  FontPrintf(&font_, &canvas_, 0, 0, "%s", text.c_str());  // longer than the buffer: drawn cut
  EXPECT_FALSE(Ink(&canvas_, 0).empty());
}

TEST_F(FontTest, FontsFromTheirRecords) {
  ASSERT_TRUE(Open(Mode::DD32));
  DDSURFACEDATA strips[4];
  Font fonts[4];
  ASSERT_EQ(CreateFonts(fonts, g_FontInfos, 4), 1);
  EXPECT_EQ(fonts[3].m_nCellWidth, 32);
  EXPECT_EQ(fonts[2].m_nPalNum, 242);
  EXPECT_EQ(fonts[0].m_lpFrame, nullptr);  // id 45 lies beyond the 8 entries registered here
  EXPECT_EQ(g_FontList.size(), 4u);
  DDSURFACEINFO infos[4];
  for (auto& i : infos) i.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  ASSERT_EQ(CreateDigitSurfaces(strips, infos, 4, fonts, g_FontInfos), 1);
  const int sizes[4][2] = {{100, 10}, {160, 16}, {160, 16}, {320, 32}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(strips[i].nWidth, sizes[i][0]);
    EXPECT_EQ(strips[i].nHeight, sizes[i][1]);
    DDReleaseSurface(&strips[i]);
    fonts[i].Release();
  }
  EXPECT_TRUE(g_FontList.empty());
}

}  // namespace
