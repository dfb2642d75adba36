#include "stage/RunTimeTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "gamedata/Database.h"
#include "gamedata/RecordTestUtil.h"

namespace {

class RunTimeTablesTest : public rt::RecordFixture {
 protected:
  void SetUp() override {
    rt::RecordFixture::SetUp();
    g_Database.Reset();
  }
  void TearDown() override {
    g_Database.Reset();
    BuildDatabaseTables();
    rt::RecordFixture::TearDown();
  }
};

using Steps = std::vector<std::tuple<int, int, int>>;

Steps StepsOf(const cVector<ANIMESTEP>& table) {
  Steps steps;
  for (const ANIMESTEP& s : table) steps.emplace_back(s.nPattern, s.nFrames, s.bLock);
  return steps;
}

cEdAnime AnimeOf(std::vector<std::tuple<int, int, int>> frames) {
  cEdAnime anime;
  anime.m_Frames.clear();
  for (auto [pattern, time, lock] : frames) {
    cEdAnimeFrame& f = anime.m_Frames.emplace_back();
    f.m_nPattern = pattern;
    f.m_nTime = time;
    f.m_bLock = lock;
  }
  return anime;
}

cEdEffect EffectOf(std::vector<std::pair<int, int>> frames) {
  cEdEffect effect;
  for (auto [pattern, time] : frames) {
    cEdEffectFrame& f = effect.m_Frames.emplace_back();
    f.m_nPattern = pattern;
    f.m_nTime = time;
  }
  return effect;
}

TEST_F(RunTimeTablesTest, StepTables) {
  g_Database.m_Animes = {AnimeOf({{7, 5, 0}}), AnimeOf({}), AnimeOf({{1, 1, 1}}),
                         AnimeOf({{3, 2, 0}, {4, 1, 1}, {5, 3, 0}}), AnimeOf({{0, 0x7fffffff, 0}})};
  g_Database.m_Effects = {EffectOf({{2, 4}, {3, 1}}), EffectOf({}), EffectOf({{0, 1}, {1, 1}})};
  cAnimeStepTables animes, effects;
  BuildAnimeTables(animes);
  BuildEffectTables(effects);
  ASSERT_EQ(animes.size(), 5u);
  // Entry 0 stands for none: no time, locked, and it loops.
  EXPECT_EQ(StepsOf(animes[0]), (Steps{{7, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(StepsOf(animes[1]), (Steps{{-4, 0, 0}}));
  EXPECT_EQ(StepsOf(animes[2]), (Steps{{1, 6, 1}, {-4, 0, 0}}));
  // Every frame from the first locking one on is locked.
  EXPECT_EQ(StepsOf(animes[3]), (Steps{{3, 12, 0}, {4, 6, 1}, {5, 18, 1}, {-4, 0, 0}}));
  EXPECT_EQ(StepsOf(animes[4]), (Steps{{0, 0x7fffffff, 0}, {-4, 0, 0}}));
  ASSERT_EQ(effects.size(), 3u);
  EXPECT_EQ(StepsOf(effects[0]), (Steps{{2, 0, 1}, {3, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(StepsOf(effects[1]), (Steps{{-4, 0, 0}}));
  EXPECT_EQ(StepsOf(effects[2]), (Steps{{0, 6, 0}, {1, 6, 0}, {-4, 0, 0}}));

  g_Database.m_Animes.clear();
  g_Database.m_Effects.clear();
  g_Database.m_CharaEffects.clear();
  g_Database.m_ScrEffects.clear();
  BuildDatabaseTables();
  EXPECT_TRUE(g_AnimeFrameTables.empty());
  EXPECT_TRUE(g_EffectFrameTables.empty());
  EXPECT_TRUE(g_CharaEffectStates.empty());
  EXPECT_TRUE(g_ScrEffectStatesReversed.empty());
  EXPECT_EQ(closes_, 0);
}

template <class T>
T KindEffect(int kind, std::vector<int> params) {
  T e;
  e.m_nKind = kind;
  std::copy(params.begin(), params.end(), e.m_nParams);
  return e;
}

std::vector<int> ParamsOf(const cEdKindEffect& e) { return {e.m_nParams, e.m_nParams + EFFECT_PARAM_COUNT}; }

TEST_F(RunTimeTablesTest, CharacterEffectStates) {
  struct Case {
    const char* name;
    int kind;
    std::vector<int> params;
    std::vector<int> reversedParams;  // the reversed copy afterwards
    int start, end;                   // of the normal state
    double value, step;
  };
  const Case cases[] = {
      {"rotation runs from p1 to p2 in p0 tenths", 7, {10, 0, 1440, 0, 0}, {10, 1440, 0, 0, 0}, 0, 1440, 0.0, 24.0},
      {"wave", 4, {5, 32, 2, 2, 2}, {5, 2, 32, 2, 2}, 32, 2, 32.0, 1.0},
      {"blink counts the running time, nothing exchanged", 6, {10, 2, 7, 0, 0}, {10, 2, 7, 0, 0}, 0, 10, 0.0, 1.0 / 6},
      {"semi-transparency likewise", 14, {3, 9999, 1, 0, 0}, {3, 9999, 1, 0, 0}, 0, 3, 0.0, 1.0 / 6},
      {"a time of 0 counts as one tenth", 11, {0, 32, 64, 0, 0}, {0, 64, 32, 0, 0}, 32, 64, 32.0, 32.0 / 6},
      {"kind 17 is left alone", 17, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, 0, 0, 0.0, 0.0},
  };
  g_Database.m_CharaEffects = {KindEffect<cEdCharaEffect>(3, {5, 0, 32, 4, 0})};
  for (const Case& c : cases) g_Database.m_CharaEffects.push_back(KindEffect<cEdCharaEffect>(c.kind, c.params));
  g_Database.ResetNoneEffects();
  BuildDatabaseTables();
  ASSERT_EQ(g_CharaEffectStates.size(), std::size(cases) + 1);
  ASSERT_EQ(g_CharaEffectStatesReversed.size(), std::size(cases) + 1);
  // Entry 0, kind 0: its index and record only.
  const cCharaEffectState& none = cCharaEffectState::At(g_CharaEffectStatesReversed, 0);
  EXPECT_EQ(none.m_pEffect, &g_Database.m_CharaEffectsReversed[0]);
  EXPECT_EQ(std::tuple(none.m_nStart, none.m_nEnd, none.m_dStep), std::tuple(0, 0, 0.0));
  EXPECT_EQ(ParamsOf(g_Database.m_CharaEffectsReversed[0]), (std::vector<int>{5, 0, 32, 4, 0}));

  for (int i = 1; i <= static_cast<int>(std::size(cases)); ++i) {
    const Case& c = cases[i - 1];
    SCOPED_TRACE(c.name);
    const cCharaEffectState& normal = cCharaEffectState::At(g_CharaEffectStates, i);
    const cCharaEffectState& reversed = cCharaEffectState::At(g_CharaEffectStatesReversed, i);
    EXPECT_EQ(normal.m_nIndex, i);
    EXPECT_EQ(normal.m_pEffect, &g_Database.m_CharaEffects[i]);
    EXPECT_EQ(reversed.m_pEffect, &g_Database.m_CharaEffectsReversed[i]);
    EXPECT_EQ(ParamsOf(g_Database.m_CharaEffects[i]), c.params);
    EXPECT_EQ(ParamsOf(g_Database.m_CharaEffectsReversed[i]), c.reversedParams);
    EXPECT_EQ(std::tuple(normal.m_nStart, normal.m_nEnd), std::tuple(c.start, c.end));
    EXPECT_DOUBLE_EQ(normal.m_dValue, c.value);
    EXPECT_DOUBLE_EQ(normal.m_dStep, c.step);
    EXPECT_DOUBLE_EQ(reversed.m_dStep, c.step);
    if (c.kind != 6 && c.kind != 14 && c.kind != 17) {
      EXPECT_EQ(std::tuple(reversed.m_nStart, reversed.m_nEnd), std::tuple(c.end, c.start));
    }
  }

  // Built again, the copies are made afresh: the exchange happens once.
  BuildDatabaseTables();
  EXPECT_EQ(ParamsOf(g_Database.m_CharaEffectsReversed[1]), cases[0].reversedParams);
  EXPECT_EQ(closes_, 0);
}

TEST_F(RunTimeTablesTest, ScreenEffectStates) {
  g_Database.m_ScrEffects = {
      KindEffect<cEdScrEffect>(0, {}),
      KindEffect<cEdScrEffect>(1, {10, 0, 0, 640, 0}),
      KindEffect<cEdScrEffect>(2, {10, 4, 4, 0, 0}),
      KindEffect<cEdScrEffect>(4, {10, 0, 640, 15, 0}),
      KindEffect<cEdScrEffect>(6, {5, 0, 600, 4, 8}),
      KindEffect<cEdScrEffect>(8, {10, 10, 5, 0, 0}),
      KindEffect<cEdScrEffect>(13, {10, 1, 61, 0, 0}),
  };
  BuildDatabaseTables();
  const cVector<cEdScrEffect>& normal = g_Database.m_ScrEffects;
  const cVector<cEdScrEffect>& reversed = g_Database.m_ScrEffectsReversed;
  // A move exchanges its start and end points.
  EXPECT_EQ(ParamsOf(normal[1]), (std::vector<int>{10, 0, 0, 640, 0}));
  EXPECT_EQ(ParamsOf(reversed[1]), (std::vector<int>{10, 640, 0, 0, 0}));
  const cScreenEffectState& move = cScreenEffectState::At(g_ScrEffectStatesReversed, 1);
  EXPECT_EQ(std::tuple(move.m_nA, move.m_nB), std::tuple(640, 0));
  EXPECT_DOUBLE_EQ(move.m_dStep, 1.0 / 6);
  EXPECT_EQ(move.m_pEffect, &reversed[1]);
  // Shakes and blinking exchange nothing.
  EXPECT_EQ(ParamsOf(reversed[2]), ParamsOf(normal[2]));
  EXPECT_EQ(ParamsOf(reversed[5]), ParamsOf(normal[5]));
  EXPECT_DOUBLE_EQ(g_ScrEffectStates[2].m_dStep, 1.0 / 6);
  EXPECT_DOUBLE_EQ(g_ScrEffectStates[5].m_dStep, 1.0 / 6);
  // The others run p1 to p2.
  EXPECT_EQ(ParamsOf(reversed[3]), (std::vector<int>{10, 640, 0, 15, 0}));
  EXPECT_DOUBLE_EQ(g_ScrEffectStates[3].m_dValue, 0.0);
  EXPECT_DOUBLE_EQ(g_ScrEffectStatesReversed[3].m_dValue, 640.0);
  EXPECT_DOUBLE_EQ(g_ScrEffectStates[3].m_dStep, 640.0 / 60);
  EXPECT_DOUBLE_EQ(g_ScrEffectStates[4].m_dStep, 20.0);
  EXPECT_EQ(ParamsOf(reversed[6]), (std::vector<int>{10, 61, 1, 0, 0}));
  EXPECT_DOUBLE_EQ(g_ScrEffectStatesReversed[6].m_dStep, 1.0);
  EXPECT_EQ(g_ScrEffectStates[0].m_pEffect, &normal[0]);
}

TEST_F(RunTimeTablesTest, AnEffectListWithoutEntriesIsReportedNotRead) {
  g_Database.m_CharaEffects = {KindEffect<cEdCharaEffect>(7, {10, 0, 1440, 0, 0})};
  g_Database.m_CharaEffectsReversed.clear();
  cVector<cCharaEffectState> normal, reversed;
  BuildCharaEffectTables(normal, reversed);  // the reversed copies were never made
  ASSERT_EQ(reversed.size(), 1u);
  EXPECT_EQ(reversed[0].m_pEffect, nullptr);
  EXPECT_EQ(closes_, 1);
  EXPECT_NE(Report().find("err V[0] ( 0 ,"), std::string::npos);
}

}  // namespace
