#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <vector>

#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDBlurMosaic.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDComposite.h"
#include "gfx/DDPalette.h"
#include "gfx/DDRotate.h"
#include "gfx/DDSurface.h"
#include "gfx/DDTranslucent.h"
#include "gfx/PixelOps.h"
#include "stage/CharaEffectDraw.h"
#include "stage/EffectData.h"
#include "stage/ImageRef.h"
#include "stage/StageFixture.h"
#include "test_support/Graphics.h"
#include "test_support/SoundRequests.h"

namespace {

using stagetest::ScopedEffectData;
using stagetest::StageFixture;

constexpr int WORK_B = 67;
constexpr int WORK_A = 68;

// A pixel value no fill produces: pixel (x, y) of a marked surface.
std::uint32_t Mark(int x, int y) { return 0x01000000u | std::uint32_t(y) << 12 | std::uint32_t(x); }

class EffectDrawTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedPalette16_ = g_Palette[16];
    g_Palette[16] = PALETTEENTRY{0x20, 0x40, 0x60, 0};
  }
  void TearDown() override {
    for (DDSURFACEDATA& s : surfaces_) DDReleaseSurface(&s);
    surfaces_.clear();
    DDReleaseSurface(&g_SurfaceData[WORK_A]);
    DDReleaseSurface(&g_SurfaceData[WORK_B]);
    graphics_.Close();
    g_Palette[16] = savedPalette16_;
    StageFixture::TearDown();
  }
  void Open(bool bDirect3D) {
    ASSERT_TRUE(graphics_.Open(bDirect3D, false));
    for (int n : {WORK_A, WORK_B}) ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[n], 640, 480, 1, 1, 1, 0, false));
  }
  DDSURFACEDATA* Make(int w, int h) {
    surfaces_.emplace_back();
    EXPECT_TRUE(DDCreateSurface(&surfaces_.back(), w, h, 1, 1, 1, 0, false));
    return &surfaces_.back();
  }
  static void MarkAll(DDSURFACEDATA* s, std::uint32_t salt = 0) {
    cSurfaceLock lock(s);
    ASSERT_TRUE(lock.IsLocked());
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) pix::putRaw(*lock.m_lpSurface, x, y, Mark(x, y) ^ salt);
  }
  static std::uint32_t At(DDSURFACEDATA* s, int x, int y) {
    cSurfaceLock lock(s);
    EXPECT_TRUE(lock.IsLocked());
    return lock.IsLocked() ? pix::getRaw(*lock.m_lpSurface, x, y) : 0xDEADBEEF;
  }
  // What the back buffer shows where a screen effect draws nothing.
  static std::uint32_t Blank() {
    DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
    return At(&BackBuffer, 0, 0);
  }
  // The pixel at (x, y) after the given frames of a screen effect started afresh, each
  // frame drawn over a newly marked back buffer.
  std::uint32_t AfterFrames(int effect, int frames, int x, int y) {
    Scene().m_ScreenEffect.Start(effect, EFFECT_RUN_NORMAL, 0);
    for (int frame = 1; frame <= frames; ++frame) {
      MarkAll(&BackBuffer);
      Scene().RunScreenEffect(0);
    }
    return At(&BackBuffer, x, y);
  }
  static std::vector<std::uint32_t> Grab(DDSURFACEDATA* s) {
    std::vector<std::uint32_t> v;
    cSurfaceLock lock(s);
    for (int y = 0; y < s->nHeight; ++y)
      for (int x = 0; x < s->nWidth; ++x) v.push_back(pix::getRaw(*lock.m_lpSurface, x, y));
    return v;
  }

  ScopedEffectData data_;
  test_support::Graphics graphics_;
  std::deque<DDSURFACEDATA> surfaces_;
  PALETTEENTRY savedPalette16_;
};

TEST_F(EffectDrawTest, AHorizontalShakeMovesTheFrameByThePartsOffsets) {
  Open(false);
  const int shake = data_.AddScrEffect(2, {10, 4, 4});  // 4 px, 4 times, one second
  data_.Build();
  Scene().m_ScreenEffect.Start(shake, EFFECT_RUN_NORMAL, 0);
  // speed = 4 x 4 x 4 / (10 x 6) = 16 / 15 px a frame; the frame is drawn at int(o)
  // before o moves, and o turns at +4 and -4.
  const int want[] = {0, 1, 2, 3, 4, 2, 1, 0, 0, -1};
  for (int frame = 1; frame <= 67; ++frame) {
    MarkAll(&BackBuffer);
    ASSERT_NE(Scene().m_ScreenEffect.m_nIndex, 0) << "ended early at frame " << frame;
    Scene().RunScreenEffect(0);
    if (frame <= 10) {
      const int off = want[frame - 1];
      EXPECT_EQ(At(&BackBuffer, 100, 50), Mark(100 - off, 50)) << "frame " << frame;
    }
  }
  // The 67th frame is the first whose time exceeds 10 tenths: it was still drawn, and
  // the effect is over.
  EXPECT_EQ(Scene().m_ScreenEffect.m_nIndex, 0);
  // Frozen frames draw without moving.
  Scene().m_ScreenEffect.Start(shake, EFFECT_RUN_NORMAL, 0);
  for (int i = 0; i < 3; ++i) Scene().RunScreenEffect(1);
  EXPECT_DOUBLE_EQ(Scene().m_ScreenEffect.m_dSecond, 0.0);
}

TEST_F(EffectDrawTest, TheZoomShowsAPartOrTheWholeScreenAroundThePlayer) {
  Open(false);
  const int x2 = data_.AddScrEffect(11, {10, 1280, 1280});
  const int half = data_.AddScrEffect(11, {10, 320, 320});
  data_.Build();
  cPlayer& p = g_Players[0];
  p.m_nWidth = p.m_nHeight = 32;
  const std::uint32_t blank = Blank();
  struct Case {
    const char* name;
    int effect, px, py;  // the player's cell on screen
    int sx, sy;          // screen point probed
    std::uint32_t want;
  } cases[] = {
      // Centre (320, 240): the quarter from (160, 120) doubled.
      {"double around the player", x2, 304, 224, 0, 0, Mark(160, 120)},
      {"double: two screen pixels a source pixel", x2, 304, 224, 6, 10, Mark(163, 125)},
      // Centre (26, 26): the quarter would start left of the screen: held at 0.
      {"clamped at the top-left edge", x2, 10, 10, 0, 0, Mark(0, 0)},
      // Centre (630, 470): held at the right and bottom edges.
      {"clamped at the bottom-right edge", x2, 614, 454, 638, 478, Mark(639, 479)},
      {"half size in the middle", half, 304, 224, 160, 120, Mark(0, 0)},
      {"half size: two source pixels a screen pixel", half, 304, 224, 170, 125, Mark(20, 10)},
      {"half size on palette colour 16", half, 304, 224, 10, 10, blank},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.m_ScreenRect.left = c.px;
    p.m_ScreenRect.top = c.py;
    Scene().m_ScreenEffect.Start(c.effect, EFFECT_RUN_NORMAL, 0);
    MarkAll(&BackBuffer);
    Scene().RunScreenEffect(0);
    EXPECT_EQ(At(&BackBuffer, c.sx, c.sy), c.want);
  }
}

// The move draws the frame at (a, b), starting at the entry's start point; after each
// drawn frame a = int((p3 - p1) / p0 x t + p1) with the division on integers and t the
// tenths run so far (1/6 a frame, summed in doubles); b likewise with p2 and p4.
TEST_F(EffectDrawTest, TheMoveSlidesTheFrameFromTheStartToTheEndPoint) {
  Open(false);
  // (p3 - p1) / p0 = -645 / 10 = -64 (not -64.5); (p4 - p2) / p0 = -100 / 10 = -10.
  const int move = data_.AddScrEffect(1, {10, 20, 30, -625, -70});
  data_.Build();
  const std::uint32_t blank = Blank();
  struct Shown {
    int frame, a, b;
  };
  // Frames 1 and 2 at the start (the first advance uses t = 0); frame 3 at t = 1/6:
  // (-64 / 6 + 20, -10 / 6 + 30); frame 5 at t = 1/2; frame 13 at t = 11/6, where
  // -64.5 x t + 20 would give -98.
  const Shown want[] = {{1, 20, 30}, {2, 20, 30}, {3, 9, 28}, {5, -12, 25}, {13, -97, 11}};
  Scene().m_ScreenEffect.Start(move, EFFECT_RUN_NORMAL, 0);
  int next = 0;
  for (int frame = 1; frame <= 13; ++frame) {
    MarkAll(&BackBuffer);
    Scene().RunScreenEffect(0);
    if (frame != want[next].frame) continue;
    const Shown& w = want[next++];
    SCOPED_TRACE(frame);
    EXPECT_EQ(At(&BackBuffer, 300, 200), Mark(300 - w.a, 200 - w.b));
    // What the moved frame no longer covers is palette colour 16.
    EXPECT_EQ(At(&BackBuffer, w.a > 0 ? w.a - 1 : 639 + w.a + 1, 200), blank);
  }
  // A frozen frame draws where the last one did and moves nothing.
  const int a = Scene().m_ScreenEffect.m_nA;
  MarkAll(&BackBuffer);
  Scene().RunScreenEffect(1);
  EXPECT_EQ(Scene().m_ScreenEffect.m_nA, a);
  EXPECT_EQ(At(&BackBuffer, 300, 200), Mark(300 - a, 200 - Scene().m_ScreenEffect.m_nB));

  // Reversed, the move starts at the end point (-625, -70): only the source's right
  // 15 columns are left on the screen.
  Scene().m_ScreenEffect.Start(move, EFFECT_RUN_REVERSED, 0);
  MarkAll(&BackBuffer);
  Scene().RunScreenEffect(0);
  EXPECT_EQ(At(&BackBuffer, 10, 10), Mark(635, 80));
  EXPECT_EQ(At(&BackBuffer, 15, 10), blank);
  // Ten tenths: over on the 67th frame, the first after which int(t) exceeds 10.
  int frames = 1;
  while (Scene().m_ScreenEffect.m_nIndex != 0 && frames < 100) {
    Scene().RunScreenEffect(0);
    ++frames;
  }
  EXPECT_EQ(frames, 67);
}

// A pixel of the back buffer after some frames of a screen effect, and what it must show.
struct EffectProbe {
  const char* name;
  int effect, frame, x, y;
  std::uint32_t want;
};

// The splits cut the frame into p3 bands (the band size rounded up, a narrower rest not
// drawn) and push neighbouring bands apart by int(t), t running from p1 to p2 over p0
// tenths: rows right (even) and left (odd) across, columns down (even) and up (odd).
TEST_F(EffectDrawTest, TheSplitsPushAlternateBandsApartByTheCurrentValue) {
  Open(false);
  // t from 20 to 80 in 60 frames: 1 a frame.
  const int across = data_.AddScrEffect(4, {10, 20, 80, 7});  // bands of ceil(480 / 7) = 69 rows
  const int down = data_.AddScrEffect(5, {10, 20, 80, 7});    // bands of ceil(640 / 7) = 92 columns
  data_.Build();
  const std::uint32_t blank = Blank();
  const EffectProbe probes[] = {
      {"across: band 0 right by 20", across, 1, 100, 5, Mark(80, 5)},
      {"across: band 0 leaves its left edge", across, 1, 10, 68, blank},
      {"across: band 1 (rows 69-137) left by 20", across, 1, 100, 69, Mark(120, 69)},
      {"across: band 2 right again", across, 1, 100, 137 + 1, Mark(80, 138)},
      // 6 x 69 = 414: the last 66 rows are no whole band.
      {"across: the rest below six bands", across, 1, 100, 420, blank},
      {"across: the second frame by 21", across, 2, 100, 5, Mark(79, 5)},
      {"down: band 0 lower by 20", down, 1, 5, 100, Mark(5, 80)},
      {"down: band 0 leaves its top", down, 1, 5, 19, blank},
      {"down: band 1 (columns 92-183) higher by 20", down, 1, 92, 100, Mark(92, 120)},
      // 6 x 92 = 552: the last 88 columns are no whole band.
      {"down: the rest right of six bands", down, 1, 600, 100, blank},
      {"down: the second frame by 21", down, 2, 183, 100, Mark(183, 121)},
  };
  for (const EffectProbe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(AfterFrames(p.effect, p.frame, p.x, p.y), p.want);
  }
}

// The waves shift strips of p4 rows (across) or columns (down) by
// trunc(t x sin(p3 x (phase + angle))) degrees, the angle growing by 360 / 480 x p4
// (across) or 360 / 640 x p4 (down) before each strip and the phase by 1 a frame.
TEST_F(EffectDrawTest, TheWavesShiftStripsAlongASineOfTheCurrentAmplitudeAndPhase) {
  Open(false);
  // Amplitude t from 40 to 100 in 60 frames (1 a frame), 4 waves.
  const int across = data_.AddScrEffect(6, {10, 40, 100, 4, 8});  // strips of 8 rows, 6 degrees apart
  const int down = data_.AddScrEffect(7, {10, 40, 100, 4, 10});   // strips of 10 columns, 5.625 apart
  const int slow = data_.AddScrEffect(6, {100, 40, 100, 4, 8});
  data_.Build();
  const std::uint32_t blank = Blank();
  const EffectProbe probes[] = {
      // Row 3, strip 0: 40 sin(4 x 6) = 16.3.
      {"across: first strip", across, 1, 300, 3, Mark(284, 3)},
      {"across: first strip leaves the left edge", across, 1, 10, 3, blank},
      // Row 12, strip 1: 40 sin(48) = 29.7.
      {"across: second strip", across, 1, 300, 12, Mark(271, 12)},
      // Row 60, strip 7: 40 sin(192) = -8.3, cut toward zero.
      {"across: a strip shifted left", across, 1, 300, 60, Mark(308, 60)},
      // Row 100, strip 12: 40 sin(312) = -29.7.
      {"across: further down", across, 1, 300, 100, Mark(329, 100)},
      // Frame 2: 41 sin(4 x (1 + 6)) = 19.2.
      {"across: amplitude and phase move on", across, 2, 300, 3, Mark(281, 3)},
      // Column 5, strip 0: 40 sin(22.5) = 15.3.
      {"down: first strip", down, 1, 5, 200, Mark(5, 185)},
      {"down: first strip leaves the top", down, 1, 5, 10, blank},
      // Column 200, strip 20: 40 sin(4 x 118.125) = 36.96.
      {"down: further right", down, 1, 200, 200, Mark(200, 164)},
      // Column 75, strip 7: 40 sin(180) is 0; frame 2: 41 sin(4 x 46) = -2.9.
      {"down: no shift at half a wave", down, 1, 75, 200, Mark(75, 200)},
      {"down: amplitude and phase move on", down, 2, 75, 200, Mark(75, 202)},
  };
  for (const EffectProbe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(AfterFrames(p.effect, p.frame, p.x, p.y), p.want);
  }
  // The phase runs on in whole degrees and wraps at 360 (ten seconds are 600 frames);
  // a frozen frame keeps it.
  Scene().m_ScreenEffect.Start(slow, EFFECT_RUN_NORMAL, 0);
  for (int frame = 0; frame < 365; ++frame) Scene().RunScreenEffect(0);
  EXPECT_EQ(Scene().m_ScreenEffect.m_nA, 5);
  Scene().RunScreenEffect(1);
  EXPECT_EQ(Scene().m_ScreenEffect.m_nA, 5);
}

// The lens is centred (p3, p4) off the player's centre, with a radius of sqrt(2) times
// the centre's largest distance to a screen edge, so that it covers the screen; inside,
// (i, j) from the centre shows the source at (trunc(i d / s + 0.5), trunc(j d / s + 0.5)),
// s = sqrt(L^2 - i^2 - j^2), L = int(sqrt(d^2 + r^2)), d = int(t).
TEST_F(EffectDrawTest, TheLensMagnifiesTheFrameAboutAPointOffThePlayer) {
  Open(false);
  cPlayer& pl = g_Players[0];
  pl.m_nWidth = pl.m_nHeight = 32;
  pl.m_ScreenRect.left = 304;
  pl.m_ScreenRect.top = 224;  // centre (320, 240)
  // Distance t from 100 down to 40 in 60 frames; lens centre (330, 220):
  // r = int(sqrt(2) x 330) = 466, L = int(sqrt(100^2 + 466^2)) = 476 (and for 99).
  const int lens = data_.AddScrEffect(12, {10, 100, 40, 10, -20});
  data_.Build();
  struct Probe {
    const char* name;
    int frame, x, y, sx, sy;
  } probes[] = {
      {"the centre", 1, 330, 220, 330, 220},
      // i = 30: 30 x 100 / 475.05 + 0.5 = 6.8.
      {"right of the centre", 1, 360, 220, 336, 220},
      // j = -40: -40 x 100 / 474.32 + 0.5 = -7.9, cut toward zero.
      {"above the centre", 1, 330, 180, 330, 213},
      // (-330, -220): s = 263.2, (-124.9, -83.1).
      {"the top-left corner is inside", 1, 0, 0, 206, 137},
      {"the bottom-right corner is inside", 1, 639, 479, 452, 322},
      // d = 99 on the next frame: (-123.6, -81.8).
      {"the distance moves on", 2, 0, 0, 207, 138},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(AfterFrames(lens, p.frame, p.x, p.y), Mark(p.sx, p.sy));
  }
}

// Each kind of character effect passes its own arguments to its software effect: the
// actor drawn through its effect equals the expected call on a like surface.
TEST_F(EffectDrawTest, CharacterEffectKindsDrawWithTheirFormulas) {
  Open(false);
  DDSURFACEDATA* sheet = Make(256, 128);
  DDSURFACEDATA* other = Make(256, 128);
  MarkAll(sheet);
  MarkAll(other, 0x00800000);
  DDSURFACEDATA* got = Make(640, 480);
  DDSURFACEDATA* want = Make(640, 480);
  DDSURFACEDATA* work = Make(640, 480);
  constexpr int X = 100, Y = 80, SX = 64, SY = 32;
  using Expect = std::function<void(DDSURFACEDATA*)>;
  struct Case {
    const char* name;
    int kind;
    std::vector<int> params;
    int scale;  // giant scale of the actor
    Expect draw;
  };
  const double sqrt2 = std::sqrt(2.0);
  const Case cases[] = {
      // clang-format off
      {"1 burst: gap p1", 1, {5, 5, 32}, 1, [&](DDSURFACEDATA* t) { DDBltSplit(t, X, Y, 32, 32, sheet, SX, SY, 5, 1); }},
      {"2 split across: strip ceil(h / p3)", 2, {5, 6, 32, 3}, 1,
       // clang-format on
       [&](DDSURFACEDATA* t) { DDBltInterlace(t, X, Y, 32, 32, 11, 6, sheet, SX, SY, 1, 0); }},
      {"3 split down: strip ceil(w / p3)",
       3,
       {5, 6, 32, 5},
       1,
       [&](DDSURFACEDATA* t) { DDBltInterlace(t, X, Y, 32, 32, 7, 6, sheet, SX, SY, 1, 1); }},
      {"4 wave across",
       4,
       {5, 7, 32, 2, 3},
       1,
       [&](DDSURFACEDATA* t) { DDBltWave(t, X, Y, 32, 32, 2, 7.0, 0, 3, sheet, SX, SY, 1, 0); }},
      {"5 wave down",
       5,
       {5, 7, 32, 2, 3},
       1,
       [&](DDSURFACEDATA* t) { DDBltWave(t, X, Y, 32, 32, 2, 7.0, 0, 3, sheet, SX, SY, 1, 1); }},
      {"6 blink starts hidden", 6, {10, 2}, 1, [](DDSURFACEDATA*) {}},
      {"7 turn A about the centre",
       7,
       {10, 30, 1440},
       1,
       [&](DDSURFACEDATA* t) { DDBltRotate(t, X + 16, Y + 16, 32, 32, 16, 16, 30, sheet, SX, SY, 1); }},
      {"8 turn B about the centre",
       8,
       {10, 45, 1440},
       1,
       [&](DDSURFACEDATA* t) { DDBltRotate(t, X + 16, Y + 16, 32, 32, 16, 16, 45, sheet, SX, SY, 1); }},
      {"9 fold into the other facing",
       9,
       {10, 12, 256},
       1,
       [&](DDSURFACEDATA* t) { DDBltFold(t, X, Y, 32, 32, sheet, SX, SY, other, SX, SY, 32, 32, 1, 12, 0); }},
      {"10 circle about the centre",
       10,
       {5, 10, 0, 2},
       1,
       [&](DDSURFACEDATA* t) { DDBltCircle(t, X + 16, Y + 16, 16, 16, 10, 2, sheet, SX + 16, SY + 16, 1); }},
      {"11 zoom: grown by v - 32",
       11,
       {10, 48, 64},
       1,
       [&](DDSURFACEDATA* t) { DDStretchBlt(t, X - 8, Y - 8, 48, 48, sheet, SX, SY, 32, 32, 1); }},
      // Scale 2: the 64 x 64 cell grows by ((64 - 32) x 2) / 2 = 32 from the unscaled value.
      {"11 zoom at scale 2 uses the unscaled value",
       11,
       {10, 64, 64},
       2,
       [&](DDSURFACEDATA* t) {
         DDStretchBlt(work, 0, 0, 64, 64, sheet, SX, SY, 32, 32, 0);
         DDStretchBlt(t, X - 16, Y - 16, 96, 96, work, 0, 0, 64, 64, 1);
       }},
      {"12 lens offset by p3, p4",
       12,
       {10, 50, 5, 4, 0},
       1,
       [&](DDSURFACEDATA* t) {
         const double g = sqrt2 * (4 + 16);
         DDFillRect(work, 0, 0, static_cast<int>(2 * g), static_cast<int>(2 * g), 0);
         DDBlt(work, 0, 0, 32, 32, sheet, SX, SY, 0);
         DDBltRadial(t, X + 2 + 16, Y + 16, static_cast<int>(g), 50, work, 4 + 16, 16, 1);
       }},
      {"15 mosaic of block v",
       15,
       {10, 4, 8},
       1,
       [&](DDSURFACEDATA* t) { DDMosaic(t, X, Y, 32, 32, 4, sheet, SX, SY, 1); }},
      {"16 blur of radius v",
       16,
       {10, 2, 4},
       1,
       [&](DDSURFACEDATA* t) { DDBlur(t, X, Y, 32, 32, 2, 2, sheet, SX, SY, 1); }},
  };
  for (const Case& c : cases)
    data_.AddCharaEffect(c.kind,
                         {c.params[0], c.params.size() > 1 ? c.params[1] : 0, c.params.size() > 2 ? c.params[2] : 0,
                          c.params.size() > 3 ? c.params[3] : 0, c.params.size() > 4 ? c.params[4] : 0});
  data_.Build();
  cImageRef ref;
  ref.m_pSheet = ref.m_pStretchSheet = sheet;
  ref.m_pOtherSheet = ref.m_pOtherStretchSheet = other;
  ref.m_nSrcX = SX;
  ref.m_nSrcY = SY;
  DDFillRect(want, 0, 0, 640, 480, 16);
  const std::vector<std::uint32_t> blank = Grab(want);
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ++n;
    cChara a;
    a.m_Def.m_nScale = static_cast<std::uint8_t>(c.scale);
    a.m_nBaseWidth = a.m_nBaseHeight = 32;
    a.m_nWidth = a.m_nHeight = 32 * c.scale;
    a.m_ScreenRect.left = X;
    a.m_ScreenRect.top = Y;
    a.m_CharaEffect.Start(n, EFFECT_RUN_NORMAL, 0);
    DDFillRect(got, 0, 0, 640, 480, 16);
    DDFillRect(want, 0, 0, 640, 480, 16);
    EXPECT_EQ(DrawWithCharaEffect(a, got, ref, 0), 0);
    c.draw(want);
    EXPECT_TRUE(Grab(got) == Grab(want));
    EXPECT_EQ(Grab(want) == blank, c.kind == 6);
  }
  EXPECT_EQ(closes_, 0);
}

TEST_F(EffectDrawTest, BlinkShowsAfterTheIntervalAndAnEndedEffectDrawsPlainly) {
  Open(false);
  DDSURFACEDATA* sheet = Make(64, 64);
  MarkAll(sheet);
  DDSURFACEDATA* target = Make(640, 480);
  const int blink = data_.AddCharaEffect(6, {10, 2});
  const int burst = data_.AddCharaEffect(1, {1, 0, 32});  // 0.1 s
  data_.Build();
  cImageRef ref;
  ref.m_pSheet = ref.m_pStretchSheet = ref.m_pOtherSheet = ref.m_pOtherStretchSheet = sheet;
  cChara a;
  a.m_nBaseWidth = a.m_nBaseHeight = a.m_nWidth = a.m_nHeight = 32;
  a.m_ScreenRect.left = 10;
  a.m_ScreenRect.top = 10;
  // Interval 2 from the start: hidden 1-3, shown 4-5, hidden 6-7, shown 8-9.
  a.m_CharaEffect.Start(blink, EFFECT_RUN_NORMAL, 0);
  std::string shown;
  for (int frame = 1; frame <= 9; ++frame) {
    DDFillRect(target, 0, 0, 640, 480, 16);
    DrawWithCharaEffect(a, target, ref, 0);
    shown += At(target, 20, 20) == Mark(10, 10) ? 'x' : '.';
  }
  EXPECT_EQ(shown, "...xx..xx");
  // A frozen frame neither advances nor flips.
  const cCharaEffectState before = a.m_CharaEffect;
  DrawWithCharaEffect(a, target, ref, 1);
  EXPECT_EQ(std::tuple(a.m_CharaEffect.m_nCounter, a.m_CharaEffect.m_bToggle, a.m_CharaEffect.m_dValue),
            std::tuple(before.m_nCounter, before.m_bToggle, before.m_dValue));

  // A burst of 0.1 s ends on its seventh frame; the next frame is the plain cell.
  a.m_CharaEffect.Start(burst, EFFECT_RUN_NORMAL, 0);
  int frames = 0;
  while (DrawWithCharaEffect(a, target, ref, 0) == 0 && frames < 100) ++frames;
  EXPECT_EQ(frames + 1, 7);
  EXPECT_EQ(a.m_CharaEffect.m_nIndex, 0);
  DDFillRect(target, 0, 0, 640, 480, 16);
  DrawWithCharaEffect(a, target, ref, 0);
  EXPECT_EQ(At(target, 10, 10), Mark(0, 0));
  // A hidden actor's effect still runs out.
  a.m_CharaEffect.Start(burst, EFFECT_RUN_NORMAL, 0);
  frames = 0;
  while (TickCharaEffect(a, 0) == 0 && frames < 100) ++frames;
  EXPECT_EQ(frames + 1, 7);
}

TEST_F(EffectDrawTest, TheScreenColourTintsFadesFlashesAndReturns) {
  Open(true);
  cScreenColor& c = Scene().m_ScreenColor;
  // A return with no colour shown does nothing.
  c.Start(0, 0, 0, 0, 1, 0, 0, 0);
  EXPECT_EQ(c.m_bActive, 0);
  // Strength 100 at once: the full colour from the first frame.
  c.Start(200, 100, 50, 100, 0, 0, 0, 0);
  MarkAll(&BackBuffer);
  Scene().ApplyScreenColor(0);
  EXPECT_EQ(c.m_nAlpha, 0);
  EXPECT_EQ(At(&BackBuffer, 5, 5) & 0xFFFFFF, 0xC86432u);
  // Strength 50 over 6 frames: alpha = 255 - 127.5 x counter / 6, then it stays.
  c.Clear();
  c.Start(0, 0, 255, 50, 0, 1, 0, 0);
  std::vector<int> alphas;
  for (int i = 0; i < 8; ++i) {
    Scene().ApplyScreenColor(0);
    alphas.push_back(c.m_nAlpha);
  }
  EXPECT_EQ(alphas, (std::vector<int>{255, 233, 212, 191, 170, 148, 127, 127}));
  EXPECT_EQ(c.m_bActive, 1);
  // The return fades from alpha 127 back to none, then ends.
  c.Start(0, 0, 0, 0, 1, 1, 0, 0);
  alphas.clear();
  for (int i = 0; i < 8; ++i) {
    Scene().ApplyScreenColor(0);
    alphas.push_back(c.m_nAlpha);
  }
  EXPECT_EQ(alphas, (std::vector<int>{127, 148, 169, 191, 212, 233, 255, 255}));
  EXPECT_EQ(c.m_bActive, 0);
  // Two flashes of 6 frames: each cycle is 6 tinted frames and one clear one.
  c.Start(255, 0, 0, 100, 0, 1, 1, 2);
  int n = 0;
  while (c.m_bActive && n < 100) {
    Scene().ApplyScreenColor(0);
    ++n;
  }
  EXPECT_EQ(n, 14);
  // Frozen frames hold the fade.
  c.Start(0, 0, 255, 50, 0, 1, 0, 0);
  for (int i = 0; i < 3; ++i) Scene().ApplyScreenColor(1);
  EXPECT_EQ(c.m_nCounter, 0);
}

TEST_F(EffectDrawTest, ADeadCharacterLeavesWhenItsDeathEffectEnds) {
  Open(false);
  test_support::SoundRequests sounds;
  const std::int32_t savedRule = g_System.m_bEndCheckRule;
  g_System.m_bEndCheckRule = 1;                           // the dead lie on for their death drawing
  const int burst = data_.AddCharaEffect(1, {1, 0, 32});  // 0.1 s: its pass ends on the 7th frame
  data_.Build();
  g_Players[0].m_nHp = 5;
  g_Charas.resize(1);
  cChara& c = g_Charas.front();
  c.m_nKind = 1;
  c.m_nSerial = 1;
  c.m_nHp = 0;
  c.m_nSide = 1;
  c.m_Def.m_nDeathEffect = static_cast<std::int16_t>(burst);
  Scene().m_SideActors[1].push_back(&c);
  EXPECT_EQ(Scene().HpCheckPass(), 0);
  ASSERT_EQ(g_Charas.size(), 1u);
  EXPECT_EQ(g_Charas.front().m_bDead, 1);
  int frames = 0;
  while (!g_Charas.empty() && frames < 100) {
    Scene().Draw(STAGE_DRAW_PLAYING);
    ++frames;
    if (!g_Charas.empty()) {
      EXPECT_EQ(Scene().HpCheckPass(), 0);  // lying dead: no second death, no second sound
    }
  }
  EXPECT_EQ(frames, 7);
  EXPECT_EQ(std::count(sounds.All().begin(), sounds.All().end(), 9), 1);
  g_System.m_bEndCheckRule = savedRule;
}

TEST_F(EffectDrawTest, WithoutDirect3DOrAPaletteTheScreenColourEndsAtOnce) {
  Open(false);
  Scene().m_ScreenColor.Start(255, 0, 0, 100, 0, 10, 0, 0);
  Scene().ApplyScreenColor(0);
  EXPECT_EQ(Scene().m_ScreenColor.m_bActive, 0);
}

}  // namespace
