#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "records/PlayRecord.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/Shot.h"
#include "stage/EffectData.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::StageFixture;

class ActorDamageTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    g_System.m_bEndCheckRule = 0;
    savedScore_ = g_PlayRecord.m_nStageScore;
    for (int i = 0; i < 4; ++i) savedTimes_[i] = g_Stage.m_HitTimes[i];
  }
  void TearDown() override {
    g_PlayRecord.m_nStageScore = savedScore_;
    for (int i = 0; i < 4; ++i) g_Stage.m_HitTimes[i] = savedTimes_[i];
    StageFixture::TearDown();
  }
  static void SetHp(cActor& a, int nHp, int nMax) {
    a.m_Def.m_nMaxHP = nMax;
    a.m_nHp = nHp;
  }

 private:
  std::int32_t savedScore_ = 0;
  std::int32_t savedTimes_[4] = {};
};

TEST_F(ActorDamageTest, HitsByACharacter) {
  struct Case {
    int nPower, nDefence, nImpact, nInvincible, nHp;
    int wantHp, wantResult;
    std::vector<int> wantTriggers;
    bool bKnocked;
  };
  const Case cases[] = {
      {10, 3, 0, 0, 20, 13, 0, {1}, false},
      {10, 25, 0, 0, 20, 20, 0, {1}, false},   // defence takes it all; still damaged
      {0, 0, 5, 0, 20, 20, 0, {2}, true},      // impact only
      {-10, 50, 0, 0, 15, 20, 0, {1}, false},  // a negative power heals, up to the maximum
      {10, 0, 5, 1, 20, 20, 0, {1, 2}, true},  // invincible: no HP lost, the rest happens
      {10, 0, 5, 2, 20, 20, 0, {1, 2}, true},
      {5, 0, 0, 0, 3, 0, 1, {1}, false},         // HP to 0
      {2000000, 0, 0, 0, 20, 0, 1, {1}, false},  // damage capped, not wrapped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nPower * 100 + c.nInvincible);
    triggers_.clear();
    cChara victim, attacker;
    SetHp(victim, c.nHp, 20);
    victim.m_Def.m_nDefence = c.nDefence;
    victim.m_Def.m_nImpactResist = 0;
    victim.m_Def.m_nInvincible = static_cast<std::uint8_t>(c.nInvincible);
    attacker.m_Def.m_nBodyPower = c.nPower;
    attacker.m_Def.m_nBodyImpact = static_cast<std::uint8_t>(c.nImpact);
    attacker.m_dStepX = 1;
    EXPECT_EQ(victim.DamageFromChara(attacker), c.wantResult);
    EXPECT_EQ(victim.m_nHp, c.wantHp);
    EXPECT_EQ(TriggersOf(victim), c.wantTriggers);
    EXPECT_EQ(victim.m_dKnockX > 0, c.bKnocked);
  }
}

TEST_F(ActorDamageTest, AShotHitUsesItsPayloadAndShowsItsEffect) {
  stagetest::ScopedEffectData effects;
  for (int i = 1; i <= 4; ++i) effects.AddEffect(16, 16, {{0, 1}});
  effects.Build();
  cChara victim;
  SetHp(victim, 20, 20);
  cShot shot;
  shot.m_bIsShot = 1;
  shot.m_Shot.m_nPower = 7;
  shot.m_Shot.m_nImpact = 2;
  shot.m_Shot.m_nHitEffect = 4;
  shot.m_dStepX = -3;
  EXPECT_EQ(victim.DamageFromShot(shot), 0);
  EXPECT_EQ(victim.m_nHp, 13);
  EXPECT_LT(victim.m_dKnockX, 0);
  EXPECT_EQ(TriggersOf(victim), (std::vector<int>{1, 2}));
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  EXPECT_EQ(Scene().m_Effects.front().m_nIndex, 4);
}

TEST_F(ActorDamageTest, HpAndSpChangesWithTheirGauges) {
  cChara a;
  SetHp(a, 3, 20);
  EXPECT_EQ(a.ChangeHp(-3, false, true), 1);
  EXPECT_EQ(a.m_nHp, 0);
  EXPECT_EQ(a.m_HpGauge.m_nCounter, 0);  // no gauge for a fatal hit

  SetHp(a, 3, 20);
  EXPECT_EQ(a.ChangeHp(-2, false, true), 0);
  EXPECT_EQ(a.m_HpGauge.m_nCounter, 120);
  EXPECT_EQ(a.m_HpGauge.m_nLength, 2);            // 1 x 50 / 20
  EXPECT_DOUBLE_EQ(a.m_HpGauge.m_dDamage, -5.0);  // -2 x 50 / 20
  EXPECT_DOUBLE_EQ(a.m_HpGauge.m_dDecay, -5.0 / 60);
  SetHp(a, 100, 100);
  a.ChangeHp(-1, false, true);
  EXPECT_DOUBLE_EQ(a.m_HpGauge.m_dDamage, -0.5);  // -1 x 50 / 100, not cut to a whole pixel
  SetHp(a, 1, 20);

  a.m_Def.m_nInvincible = 1;
  EXPECT_EQ(a.ChangeHp(-5, false, false), 0);
  EXPECT_EQ(a.m_nHp, 1);
  EXPECT_EQ(a.ChangeHp(-5, true, false), 1);  // forced through invincibility

  SetHp(a, 18, 20);
  a.m_HpGauge = {};
  EXPECT_EQ(a.ChangeHp(9, false, true), 0);
  EXPECT_EQ(a.m_nHp, 20);
  EXPECT_DOUBLE_EQ(a.m_HpGauge.m_dDamage, 5.0);  // the 2 really gained

  // A maximum of 0 shows an empty gauge instead of dividing by it.
  a.m_Def.m_nMaxSP = 0;
  a.m_nSp = 0;
  a.ChangeSp(5, true);
  EXPECT_EQ(a.m_nSp, 0);
  a.m_Def.m_nMaxSP = 10;
  a.m_nSp = 4;
  a.m_Def.m_nInvincible = 2;
  a.ChangeSp(-6, true);
  EXPECT_EQ(a.m_nSp, 0);  // never refused, clamped at 0
  EXPECT_EQ(a.m_SpGauge.m_nCounter, 120);
  EXPECT_EQ(a.m_SpGauge.m_nLength, 0);
  EXPECT_DOUBLE_EQ(a.m_SpGauge.m_dDamage, -30.0);  // the change asked for
}

TEST_F(ActorDamageTest, InvincibilityAfterHitsCountsSubStepsPerAttacker) {
  g_Stage.SetHitLevel(2);
  g_Stage.m_HitTimes[0] = 5;  // hero: same attacker
  g_Stage.m_HitTimes[1] = 2;  // hero: any attacker
  g_Stage.m_HitTimes[2] = 7;
  g_Stage.m_HitTimes[3] = 0;
  cChara hero;
  hero.m_nKind = 0;
  hero.StartInvincibilityFrom(11);
  EXPECT_EQ(hero.m_nInvincibleSteps, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(hero.IsInvincibleAgainst(12));
    hero.TickInvincibility();
  }
  EXPECT_FALSE(hero.IsInvincible());
  EXPECT_FALSE(hero.IsInvincibleAgainst(12));  // another attacker may hit again
  for (int i = 4; i < 10; ++i) {
    EXPECT_TRUE(hero.IsInvincibleAgainst(11)) << i;
    hero.TickInvincibility();
  }
  EXPECT_FALSE(hero.IsInvincibleAgainst(11));
  EXPECT_TRUE(hero.m_HitMemory.empty());
  EXPECT_EQ(hero.m_nInvincibleSteps, 0);

  cChara c;
  c.m_nKind = 1;
  c.StartInvincibilityFrom(3);
  EXPECT_FALSE(c.IsInvincible());
  EXPECT_TRUE(c.IsInvincibleAgainst(3));
  EXPECT_EQ(c.m_HitMemory.front().m_nStepsLeft, 14);
}

TEST_F(ActorDamageTest, DeathUnlinksScoresAndStartsTheDeathEffect) {
  stagetest::ScopedEffectData effects;
  for (int i = 1; i <= 6; ++i) effects.AddCharaEffect(6, {10, 2});
  effects.Build();
  g_Charas.resize(3);
  auto it = g_Charas.begin();
  cChara& dying = *it++;
  cChara& hunter = *it++;
  cChara& prey = *it;
  hunter.m_pTarget = &dying;
  dying.m_Targeters.push_back(&hunter);
  dying.m_pTarget = &prey;
  prey.m_Targeters.push_back(&dying);
  prey.m_Targeters.push_back(&hunter);
  cShot homing;
  homing.m_pTarget = &dying;
  dying.m_AimingShots.push_back(&homing);
  dying.m_nKind = 1;
  dying.m_Def.m_nScore = 500;
  dying.m_Def.m_nDeathEffect = 6;
  g_PlayRecord.m_nStageScore = 999800;

  EXPECT_EQ(Scene().KillAndCheckEnd(dying), 0);
  EXPECT_EQ(dying.m_bDead, 1);
  EXPECT_EQ(g_PlayRecord.m_nStageScore, 999999);
  EXPECT_EQ(hunter.m_pTarget, nullptr);
  EXPECT_EQ(dying.m_pTarget, nullptr);
  EXPECT_EQ(prey.m_Targeters, (cVector<cActor*>{&hunter}));
  EXPECT_EQ(homing.m_pTarget, nullptr);
  EXPECT_TRUE(dying.m_AimingShots.empty());
  EXPECT_EQ(TriggersOf(dying), (std::vector<int>{3}));
  EXPECT_EQ(dying.m_CharaEffect.m_nIndex, 6);
  // Dead already: nothing more.
  EXPECT_EQ(Scene().KillActor(dying), 0);
  EXPECT_EQ(TriggersOf(dying).size(), 1u);
}

TEST_F(ActorDamageTest, ADeathThatClearsTheStageKeepsTheActorLinked) {
  cChara c;
  cChara hunter;
  c.m_nKind = 1;
  hunter.m_pTarget = &c;
  c.m_Targeters.push_back(&hunter);
  Scene().m_nEndRequest = 1;
  EXPECT_EQ(Scene().KillAndCheckEnd(c), 1);
  EXPECT_EQ(c.m_bDead, 0);
  EXPECT_EQ(hunter.m_pTarget, &c);
  EXPECT_EQ(Scene().m_nPhase, STAGE_PHASE_GAME_END);
  // The hero's death is the caller's.
  EXPECT_EQ(Scene().KillActor(g_Players[0]), 2);
}

TEST_F(ActorDamageTest, TheHpPassRemovesVanishedAndDeadCharacters) {
  for (int bKeep : {0, 1}) {
    SCOPED_TRACE(bKeep);
    g_System.m_bEndCheckRule = bKeep;
    triggers_.clear();
    g_Charas.clear();
    g_Players[0].m_nHp = 5;
    g_Charas.resize(4);
    int i = 0;
    for (cChara& c : g_Charas) {
      c.m_nKind = 1;
      c.m_nSerial = ++i;
      c.m_nHp = i == 2 ? 0 : 3;
      c.m_bVanished = i == 3;
      c.m_nSide = 1;
      Scene().m_SideActors[1].push_back(&c);
    }
    cChara& hunter = g_Charas.front();
    hunter.m_pTarget = &*std::next(g_Charas.begin(), 2);  // the vanishing one
    hunter.m_pTarget->m_Targeters.push_back(&hunter);
    EXPECT_EQ(Scene().HpCheckPass(), 0);
    std::vector<int> left;
    for (const cChara& c : g_Charas) left.push_back(c.m_nSerial);
    EXPECT_EQ(left, bKeep ? (std::vector<int>{1, 2, 4}) : (std::vector<int>{1, 4}));
    EXPECT_EQ(Scene().m_SideActors[1].Size(), bKeep ? 3 : 2);
    EXPECT_EQ(hunter.m_pTarget, nullptr);
    if (bKeep) {
      EXPECT_EQ(std::next(g_Charas.begin())->m_bDead, 1);
      EXPECT_EQ(Scene().HpCheckPass(), 0);  // lying dead: no second death
      EXPECT_EQ(TriggersOf(*std::next(g_Charas.begin())), (std::vector<int>{3}));
    }
    Scene().m_SideActors[1].clear();
  }
  g_System.m_bEndCheckRule = 0;
  // The hero at 0 HP ends the step.
  g_Players[0].m_nHp = 0;
  EXPECT_EQ(Scene().HpCheckPass(), 1);
  EXPECT_EQ(TriggersOf(g_Players[0]), (std::vector<int>{3}));
}

TEST_F(ActorDamageTest, FlowLinkedAnimationsOfOneFlow) {
  cChara c;
  for (auto [serial, frames, hold] : {std::tuple{1, 0, 0}, {1, 3, 0}, {2, 0, 0}, {1, 0, 2}}) {
    cFlowAnime a;
    a.m_nFlowSerial = serial;
    a.m_nFramesLeft = frames;
    a.m_nHoldLeft = hold;
    c.m_FlowAnimes.push_back(a);
  }
  c.EndFlowAnimes(1);  // the finished one goes, the others stop
  ASSERT_EQ(c.m_FlowAnimes.size(), 3u);
  EXPECT_EQ(c.m_FlowAnimes[0].m_bStopped + c.m_FlowAnimes[2].m_bStopped, 2);
  EXPECT_EQ(c.m_FlowAnimes[1].m_bStopped, 0);
  c.ResumeFlowAnimes(1);
  EXPECT_EQ(c.m_FlowAnimes[0].m_bStopped + c.m_FlowAnimes[2].m_bStopped, 0);
  c.DeleteFlowAnimes(1);
  ASSERT_EQ(c.m_FlowAnimes.size(), 1u);
  EXPECT_EQ(c.m_FlowAnimes[0].m_nFlowSerial, 2);
}

}  // namespace
