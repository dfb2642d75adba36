#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/Random.h"
#include "stage/EffectData.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::ScopedEffectData;
using stagetest::StageFixture;

class EffectRuntimeTest : public StageFixture {
 protected:
  ScopedEffectData data_;
};

// Frames until Tick reports the end (at most nLimit; nLimit + 1 means it did not end).
int FramesToEnd(cCharaEffectState& s, int nLimit = 10000) {
  for (int n = 1; n <= nLimit; ++n)
    if (s.Tick() == 1) return n;
  return nLimit + 1;
}

// The frame on which a value stepping by d from a passes b: values accumulate in double
// precision and the pass ends at the first frame beyond the end value.
int PassFrames(double a, double b, double d) {
  int n = 0;
  double v = a;
  do {
    v += a <= b ? d : -d;
    ++n;
  } while (a <= b ? v <= b : v >= b);
  return n;
}

TEST_F(EffectRuntimeTest, CharacterEffectPassesEndWhenTheValueGoesBeyondTheEnd) {
  const int zoom = data_.AddCharaEffect(11, {5, 32, 64});   // 0.5 s: 30 frames
  const int blink = data_.AddCharaEffect(6, {1, 2});        // a time-based pass of 0.1 s
  const int equal = data_.AddCharaEffect(11, {5, 40, 40});  // no change: never ends
  const int zeroTime = data_.AddCharaEffect(11, {0, 32, 64});
  data_.Build();
  struct Case {
    const char* name;
    int effect, mode, loop;
    int want;  // frames to the end
  } cases[] = {
      {"normal", zoom, EFFECT_RUN_NORMAL, 0, PassFrames(32, 64, 32.0 / 30)},
      {"reversed", zoom, EFFECT_RUN_REVERSED, 0, PassFrames(64, 32, 32.0 / 30)},
      {"round trip: there, then back", zoom, EFFECT_RUN_ROUND_TRIP, 0,
       PassFrames(32, 64, 32.0 / 30) + PassFrames(64, 32, 32.0 / 30)},
      {"time-based pass ends once the value exceeds p0", blink, EFFECT_RUN_NORMAL, 0, PassFrames(0, 1, 1.0 / 6)},
      {"looping never ends", zoom, EFFECT_RUN_ROUND_TRIP, 1, 10001},
      {"reversed looping never ends", zoom, EFFECT_RUN_REVERSED, 1, 10001},
      {"equal start and end never end", equal, EFFECT_RUN_NORMAL, 0, 10001},
      {"a time below 1 counts as one tenth", zeroTime, EFFECT_RUN_NORMAL, 0, PassFrames(32, 64, 32.0 / 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cCharaEffectState s;
    s.Start(c.effect, c.mode, c.loop);
    EXPECT_EQ(s.m_nIndex, c.effect);
    EXPECT_EQ(FramesToEnd(s), c.want);
    EXPECT_FALSE(std::isnan(s.m_dValue));
  }
  EXPECT_EQ(PassFrames(0, 1, 1.0 / 6), 7);  // the sixth sum of 1/6 stays below 1
  EXPECT_EQ(closes_, 0);
}

TEST_F(EffectRuntimeTest, ARoundTripGrowsThenShrinksFromTheReversedState) {
  const int zoom = data_.AddCharaEffect(11, {5, 32, 64});
  data_.Build();
  cCharaEffectState s;
  s.Start(zoom, EFFECT_RUN_ROUND_TRIP, 0);
  std::vector<double> values;
  while (s.Tick() == 0) values.push_back(s.m_dValue);
  const int nForward = PassFrames(32, 64, 32.0 / 30);
  ASSERT_GT(values.size(), static_cast<std::size_t>(nForward));
  // The turn restarts from the reversed state: the far end, running down.
  EXPECT_DOUBLE_EQ(values[nForward - 1], 64.0);
  EXPECT_EQ(s.m_nDirection, 1);
  EXPECT_LT(values.back(), values[nForward]);
  EXPECT_GE(values.back(), 32.0);
  // Starting number 0 ends whatever runs.
  s.Start(zoom, EFFECT_RUN_NORMAL, 1);
  s.Start(0, EFFECT_RUN_NORMAL, 0);
  EXPECT_EQ(s.Kind(), 0);
}

TEST_F(EffectRuntimeTest, ScreenEffectPassesCompareTheIntegerPart) {
  const int shake = data_.AddScrEffect(2, {10, 4, 4});
  const int move = data_.AddScrEffect(1, {10, 0, 0, 640, 0});
  data_.Build();
  cScreenEffectState s;
  s.Start(shake, EFFECT_RUN_NORMAL, 0);
  int n = 0;
  while (s.Tick(0, 10, s.m_dStep) == 0 && n < 1000) ++n;
  EXPECT_EQ(n + 1, 67);  // the 67th frame is the first whose integer part exceeds 10
  // A reversed move runs from the end point to the start point.
  s.Start(move, EFFECT_RUN_REVERSED, 0);
  EXPECT_EQ(std::tuple(s.m_nA, s.m_nB), std::tuple(640, 0));
  EXPECT_EQ(s.m_pEffect->m_nParams[3], 0);
}

TEST_F(EffectRuntimeTest, AnEffectPlaysItsFramesAndIsRemovedAfterTheLast) {
  const int three = data_.AddEffect(16, 16, {{0, 1}, {1, 1}, {2, 1}});
  const int none = data_.AddEffect(16, 16, {});
  data_.Build();
  cEffect e(three, 100.0, 100.0, 16, 16, 0);
  int nDrawn = 0;
  while (e.Draw(nullptr, 0) == 0 && nDrawn < 100) ++nDrawn;
  EXPECT_EQ(nDrawn, 17);  // three frames of six ticks; the 18th tick ends it
  cEffect empty(none, 0.0, 0.0, 16, 16, 0);
  EXPECT_EQ(empty.Draw(nullptr, 0), 1);

  // Frozen frames hold a plain effect and advance a halting one.
  cEffect plain(three, 0, 0, 16, 16, 0), halting(three, 0, 0, 16, 16, 1);
  for (int i = 0; i < 6; ++i) {
    plain.Draw(nullptr, 1);
    halting.Draw(nullptr, 1);
  }
  EXPECT_EQ(plain.m_Anime.GetPattern(), 0);
  EXPECT_EQ(halting.m_Anime.GetPattern(), 1);

  // The scene draws its effects and drops the ended ones.
  Scene().m_Effects.emplace_back(three, 0.0, 0.0, 16, 16, 0);
  Scene().m_Effects.emplace_back(none, 0.0, 0.0, 16, 16, 0);
  Scene().DrawEffects(nullptr, 0);
  EXPECT_EQ(Scene().m_Effects.size(), 1u);
  EXPECT_EQ(closes_, 0);
}

TEST_F(EffectRuntimeTest, AHitEffectIsCentredOnTheOverlapAndJittered) {
  const int plain = data_.AddEffect(16, 8, {{0, 1}});
  const int scaled = data_.AddEffect(16, 8, {{0, 1}}, 1);
  data_.Build();
  struct Case {
    const char* name;
    int effect;
    cBox a, b;
    int scale;
    int m;          // the effect's size factor
    double cx, cy;  // the overlap's left + (width >> 1), top + (height >> 1)
  } cases[] = {
      {"overlap", plain, {100, 50, 139, 89}, {120, 60, 200, 70}, 3, 1, 120 + (20 >> 1), 60 + (11 >> 1)},
      // clang-format off
      {"touching edges centre on the common edge", plain, {0, 0, 9, 9}, {9, 0, 20, 9}, 1, 1, 9 + (1 >> 1),
       0 + (10 >> 1)},
      {"apart: stage point (0, 0)", plain, {0, 0, 9, 9}, {50, 50, 60, 60}, 1, 1, 0, 0},
      {"the scale grows a scaled effect", scaled, {100, 50, 139, 89}, {120, 60, 200, 70}, 2, 2, 120 + (20 >> 1),
       // clang-format on
       60 + (11 >> 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (std::uint32_t seed : {1u, 77u, 12345u}) {
      Srand(seed);
      const int jx = Rand() % (8 * c.m + 1) - 4 * c.m;
      const int jy = Rand() % (8 * c.m + 1) - 4 * c.m;
      Srand(seed);
      cEffect e(c.effect, c.a, c.b, c.scale);
      EXPECT_EQ(std::tuple(e.m_nWidth, e.m_nHeight, e.m_bStretched), std::tuple(16 * c.m, 8 * c.m, c.m > 1 ? 1 : 0));
      EXPECT_DOUBLE_EQ(e.m_dX, c.cx - (16 * c.m >> 1) + jx);
      EXPECT_DOUBLE_EQ(e.m_dY, c.cy - (8 * c.m >> 1) + jy);
      EXPECT_LE(std::abs(jx), 4 * c.m);
    }
  }
}

TEST_F(EffectRuntimeTest, SpawnAndDeathStartTheDefinitionsEffects) {
  const int spawn = data_.AddCharaEffect(6, {10, 2});
  const int death = data_.AddCharaEffect(11, {5, 32, 64});
  data_.Build();
  cChara c;
  c.m_nKind = 1;
  cEdChara def;
  def.m_nCharaEffect = static_cast<std::int16_t>(spawn);
  def.m_nCharaEffectParamA = EFFECT_RUN_ROUND_TRIP;
  def.m_nCharaEffectParamB = 1;
  def.m_nDeathEffect = static_cast<std::int16_t>(death);
  def.m_nDeathEffectParam = EFFECT_RUN_REVERSED;
  c.InitForSpawn(&def, 320, 320, 0);
  EXPECT_EQ(std::tuple(c.m_CharaEffect.m_nIndex, c.m_CharaEffect.m_nMode, c.m_CharaEffect.m_bLoop),
            std::tuple(spawn, static_cast<int>(EFFECT_RUN_ROUND_TRIP), 1));
  EXPECT_EQ(c.Die(), 0);
  EXPECT_EQ(std::tuple(c.m_CharaEffect.m_nIndex, c.m_CharaEffect.m_nMode, c.m_CharaEffect.m_bLoop),
            std::tuple(death, static_cast<int>(EFFECT_RUN_REVERSED), 0));
  EXPECT_DOUBLE_EQ(c.m_CharaEffect.m_dValue, 64.0);
}

}  // namespace

namespace {

TEST(MessageWaitTest, OnlyANewKeyWaitingMessageIgnoresTheKeyForTenFrames) {
  const struct {
    int mode, waitKey, frames, continued;
    int delay;
  } rows[] = {
      {WAIT_MESSAGE, 1, 0, 0, 10},  // a new message that waits for the key
      {WAIT_MESSAGE, 1, 0, 1, 0},   // continuing the window before it
      {WAIT_MESSAGE, 0, 30, 0, 0},  // a timed message
      {WAIT_PICTURE, 1, 0, 0, 0},   // a picture waiting for the key
      {WAIT_EFFECT, 0, 18, 0, 0},
  };
  for (const auto& r : rows) {
    cMessageWait w;
    w.m_nCounter = 7;
    w.Start(r.mode, r.waitKey, r.frames, r.continued);
    EXPECT_EQ(std::tuple(w.m_nMode, w.m_bWaitKey, w.m_nFrames, w.m_nCounter, w.m_nKeyDelay),
              std::tuple(r.mode, r.waitKey, r.frames, 0, r.delay));
  }
}

}  // namespace
