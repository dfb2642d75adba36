#include "EffectTest.h"
#include "gfx/DDFade.h"

namespace {

using namespace gfxtest;

class DDFadeTest : public EffectFixture {
 protected:
  // Both fades of the open mode back at their start (a finished fade starts over).
  void StartFades() {
    DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, true);
    DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, true);
  }
  std::uint32_t Shown(int entry) { return plat::display::palette()[entry]; }
};

TEST_F(DDFadeTest, Direct3DFadeInUncoversStepByStep) {
  ASSERT_TRUE(Open(Mode::D3D32));
  StartFades();
  // A black quad of alpha 255 - trunc(sin(angle) * 255) over white leaves the level itself.
  const std::uint32_t levels[] = {0, 44, 87, 127, 163, 195, 220, 239, 251, 255};
  for (int call = 0; call < 10; ++call) {
    SCOPED_TRACE(call + 1);
    PaintAll(&BackBuffer, 0xFFFFFFFF);
    const bool done = DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, false);
    EXPECT_EQ(done, call == 9);
    EXPECT_EQ(Px(&BackBuffer, 320, 240) & 0xFF, levels[call]);
  }
  // The next call starts a new fade from the colour.
  PaintAll(&BackBuffer, 0xFFFFFFFF);
  EXPECT_FALSE(DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, false));
  EXPECT_EQ(Px(&BackBuffer, 0, 0) & 0xFFFFFF, 0u);
}

TEST_F(DDFadeTest, Direct3DFadeOutCoversAndFinishes) {
  ASSERT_TRUE(Open(Mode::D3D32));
  StartFades();
  const std::uint32_t levels[] = {255, 180, 0};  // angles 90, 45, 0
  for (int call = 0; call < 3; ++call) {
    SCOPED_TRACE(call + 1);
    PaintAll(&BackBuffer, 0xFFFFFFFF);
    EXPECT_EQ(DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 45, g_Palette, false), call == 2);
    EXPECT_EQ(Px(&BackBuffer, 639, 479) & 0xFF, levels[call]);
  }
  // finish: one drawing at the end value, then done; the virtual back buffer takes it.
  DDSetVirBackBuffer(true);
  PaintAll(&VirBackBuffer, 0xFFFFFFFF);
  EXPECT_TRUE(DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, true));
  EXPECT_EQ(Px(&VirBackBuffer, 5, 5) & 0xFFFFFF, 0u);
  DDSetVirBackBuffer(false);
}

TEST_F(DDFadeTest, DirectDrawFadeMixesFromTheScreenCopy) {
  ASSERT_TRUE(Open(Mode::DD32));
  StartFades();
  PaintAll(&BackBuffer, 0x00C80000);
  // The first call copies the screen and shows it whole.
  EXPECT_FALSE(DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, false));
  EXPECT_EQ(Px(&BackBuffer, 1, 1), 0x00C80000u);
  // Later calls mix from the copy, whatever the back buffer holds: at 80 degrees the
  // weight is trunc(sin * 256) = 252, and 252 * 200 >> 8 = 196.
  PaintAll(&BackBuffer, 0x00123456);
  EXPECT_FALSE(DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, false));
  EXPECT_EQ(Px(&BackBuffer, 1, 1), 0x00C40000u);
  int calls = 2;
  while (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, 10, g_Palette, false)) ++calls;
  EXPECT_EQ(calls + 1, 10);
  EXPECT_EQ(Px(&BackBuffer, 1, 1), 0u);
}

TEST_F(DDFadeTest, EightBitFadeChangesThePaletteEntries) {
  ASSERT_TRUE(Open(Mode::DD8));
  StartFades();
  g_Palette[5] = {200, 100, 50, 0};
  const std::uint32_t other = 0x010203;
  plat::display::setPaletteEntries(7, 1, &other);
  PaintAll(&BackBuffer, 5);
  struct Step {
    bool done;
    std::uint32_t shown;
  };
  // Level trunc(sin(angle) * 256): 256, 181, 0 at 90, 45, 0 degrees.
  const Step steps[] = {{false, 0xC86432}, {false, 0x8D4623}, {true, 0x000000}};
  for (const Step& s : steps) {
    EXPECT_EQ(DDFadeOut(g_WorkPalette, 4, 6, 0, 0, 0, 45, g_Palette, false), s.done);
    EXPECT_EQ(Shown(5), s.shown);
  }
  EXPECT_EQ(g_WorkPalette[5].peFlags, PC_RESERVED);
  EXPECT_EQ(Shown(7), other);             // outside the range
  EXPECT_EQ(Changed(&BackBuffer, 5), 0);  // pixels keep their numbers
  EXPECT_FALSE(DDFadeIn(g_WorkPalette, 4, 6, 255, 255, 255, 45, g_Palette, false));
  EXPECT_EQ(Shown(5), 0xFFFFFFu);  // a fade-in starts at the colour
}

TEST_F(DDFadeTest, PaletteBlend) {
  PALETTEENTRY pal[256] = {}, work[256] = {};
  pal[10] = {200, 100, 0, 0};
  pal[12] = {200, 100, 0, 0};
  DDBlendPalette(work, 10, 11, 256, 50, 60, 70, pal);
  EXPECT_EQ(work[10].peRed, 200);
  EXPECT_EQ(work[10].peFlags, PC_RESERVED);
  DDBlendPalette(work, 10, 11, 0, 50, 60, 70, pal);
  EXPECT_EQ(work[10].peGreen, 60);
  DDBlendPalette(work, 10, 11, 128, 50, 60, 70, pal);
  EXPECT_EQ(work[10].peRed, 125);  // (50 * 128 + 200 * 128) >> 8
  EXPECT_EQ(work[10].peBlue, 35);
  EXPECT_EQ(work[12].peRed, 0);  // beyond last
}

TEST_F(DDFadeTest, PaletteRotationBothWays) {
  struct Case {
    int n, direction;
    std::uint8_t expected[4];  // red of entries 208..211 from (1, 2, 3, 4)
  };
  const Case cases[] = {{1, 0, {4, 1, 2, 3}}, {1, 1, {2, 3, 4, 1}}, {5, 0, {4, 1, 2, 3}},
                        {2, 1, {3, 4, 1, 2}}, {0, 0, {1, 2, 3, 4}}, {1, 7, {1, 2, 3, 4}}};
  for (Mode m : {Mode::DD8, Mode::DD16}) {
    Reopen(m);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + " n " + std::to_string(c.n) + " direction " + std::to_string(c.direction));
      PALETTEENTRY pal[256] = {}, work[256] = {};
      for (int i = 0; i < 4; ++i) pal[208 + i].peRed = std::uint8_t(i + 1);
      pal[100].peRed = 9;
      DDRotatePalette(work, 208, 211, c.n, c.direction, pal);
      for (int i = 0; i < 4; ++i) EXPECT_EQ(work[208 + i].peRed, c.expected[i]) << i;
      EXPECT_EQ(work[100].peRed, 9);  // the rest is copied
    }
  }
  // Only 8 and 16-bit palettes rotate.
  Reopen(Mode::DD32);
  PALETTEENTRY pal[256] = {}, work[256] = {};
  pal[208].peRed = 1;
  DDRotatePalette(work, 208, 211, 1, 0, pal);
  EXPECT_EQ(work[208].peRed, 0);
}

}  // namespace
