#include <gtest/gtest.h>

#include "stage/ActorPhysics.h"
#include "stage/ObjectGeometry.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::cTestActor;
using stagetest::StageFixture;

const ANIMESTEP kSeq0[] = {{0, 4, 0}, {-2, 0, 0}};
const ANIMESTEP kSeq1[] = {{3, 4, 0}, {-1, 0, 0}};
const ANIMESTEP* const kTable[] = {kSeq0, kSeq1, nullptr};

class GameObjectTest : public StageFixture {};

TEST_F(GameObjectTest, InitStoresIdentityGeometryAndAnimation) {
  cGameObject o;
  o.m_dStepX = o.m_dVelY = o.m_dPushX = o.m_dPushY = 5.0;
  o.m_bExists = o.m_bOnScreen = 1;
  o.Init(7, 1, 2, 3, 11, kTable, 1, 4, 6, 24, 26, 30, 31, 1, 2, 5);
  EXPECT_EQ(o.m_nSerial, 7);
  EXPECT_EQ(o.m_nKind, 1);
  EXPECT_EQ(o.m_nPadIndex, 2);
  EXPECT_EQ(o.m_nSide, 3);
  EXPECT_EQ(o.m_nGraphic, 11);
  EXPECT_EQ(o.m_nFacing, 1);
  EXPECT_EQ(o.m_nLevel, 5);
  EXPECT_EQ(o.m_nLifeSteps, 0x7FFFFFFF);
  const int sizes[][2] = {{o.m_nHitOffX, o.m_nBaseHitOffX}, {o.m_nHitOffY, o.m_nBaseHitOffY},
                          {o.m_nHitW, o.m_nBaseHitW},       {o.m_nHitH, o.m_nBaseHitH},
                          {o.m_nWidth, o.m_nBaseWidth},     {o.m_nHeight, o.m_nBaseHeight}};
  const int expected[] = {4, 6, 24, 26, 30, 31};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(sizes[i][0], expected[i]) << i;
    EXPECT_EQ(sizes[i][1], expected[i]) << i;
  }
  EXPECT_EQ(o.m_dStepX, 0.0);
  EXPECT_EQ(o.m_dVelY, 0.0);
  EXPECT_EQ(o.m_dPushX, 0.0);
  EXPECT_EQ(o.m_dPushY, 0.0);
  EXPECT_EQ(o.m_bExists, 0);
  EXPECT_EQ(o.m_bOnScreen, 0);
  EXPECT_EQ(o.m_Anime.m_Sequences.Size(), 2);
  EXPECT_EQ(o.m_Anime.m_nSequence, 1);
  EXPECT_EQ(o.m_Anime.GetPattern(), 3);
  EXPECT_EQ(o.m_bFlying, 1);
  EXPECT_EQ(o.m_nBlockContact, 1);

  // Without a table the sequencer stays as it was.
  cGameObject p;
  p.Init(1, 0, 0, 0, 0, nullptr, 3, 0, 0, 32, 32, 32, 32, 0, 0, 0);
  EXPECT_TRUE(p.m_Anime.m_Sequences.empty());
  EXPECT_EQ(p.m_Anime.m_nSequence, 0);
}

TEST_F(GameObjectTest, FlightModesSetFlyingAndBlockContact) {
  struct Case {
    int mode;
    int flying;
    int contact;
  };
  const Case cases[] = {{0, 0, 1}, {1, 1, 0}, {2, 1, 1}, {3, 1, 2}};
  for (const Case& c : cases) {
    cGameObject o;
    o.SetFlyMode(c.mode);
    EXPECT_EQ(o.m_bFlying, c.flying) << c.mode;
    EXPECT_EQ(o.m_nBlockContact, c.contact) << c.mode;
    // Values outside 0 to 3 change nothing.
    for (int other : {4, 9, -1}) {
      o.SetFlyMode(other);
      EXPECT_EQ(o.m_bFlying, c.flying) << c.mode << " then " << other;
      EXPECT_EQ(o.m_nBlockContact, c.contact) << c.mode << " then " << other;
    }
  }
}

TEST_F(GameObjectTest, ScalingMultipliesSizesKeepsTheCentreAndTheFoot) {
  struct Case {
    int keepHitFoot;
    double y;  // after growing from scale 1 to 3
  };
  // Body 16 x 16 at offset (8, 4) in a 32 x 32 cell: the foot of the drawn cell is 28
  // below the body's top, the body's own foot 16.
  const Case cases[] = {{0, 640.0 - 28 * 2}, {1, 640.0 - 16 * 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keepHitFoot);
    g_System.m_bKeepFootOnScale = c.keepHitFoot;
    cTestActor a;
    a.Init(1, 1, 0, 0, 0, nullptr, 0, 8, 4, 16, 16, 32, 32, 0, 0, 0);
    a.m_dX = 640.5;
    a.m_dY = 640.0;
    a.SyncX();
    a.SyncY();
    a.SetScale(3, 1);
    EXPECT_EQ(a.m_nHitW, 48);
    EXPECT_EQ(a.m_nHitH, 48);
    EXPECT_EQ(a.m_nHitOffX, 24);
    EXPECT_EQ(a.m_nHitOffY, 12);
    EXPECT_EQ(a.m_nWidth, 96);
    EXPECT_EQ(a.m_nHeight, 96);
    EXPECT_EQ(a.m_nBaseHitW, 16);
    EXPECT_DOUBLE_EQ(a.m_dX, 640.5 - 2 * 8);
    EXPECT_DOUBLE_EQ(a.m_dRight, a.m_dX + 47);
    EXPECT_DOUBLE_EQ(a.m_dY, c.y);
    EXPECT_DOUBLE_EQ(a.m_dBottom, c.y + 47);

    // Equal scales change nothing, not even the position.
    a.m_dX = 700.25;
    a.SetScale(3, 3);
    EXPECT_EQ(a.m_nHitW, 48);
    EXPECT_DOUBLE_EQ(a.m_dX, 700.25);
  }
}

cEdChara SpawnDef() {
  cEdChara def;
  def.m_nMaxHP = 30;
  def.m_nMaxSP = 12;
  def.m_nSightRange = 200;  // a signed byte: -56 half blocks
  def.m_nStopEase = 10;
  def.m_bAutoScrollSync = 1;
  return def;
}

TEST_F(GameObjectTest, SpawnInitialisesTheActorFromItsDefinition) {
  g_Stage.SetHitLevel(2);
  const cEdChara def = SpawnDef();
  cTestActor a;
  a.m_dKnockX = a.m_dKnockY = a.m_dPrevKnockY = 3.0;
  a.m_bKnocked = a.m_bMoveCancelled = a.m_bJumpRising = a.m_bDead = a.m_bContactDown = 1;
  a.m_nCarrierSerial = 9;
  a.m_CarrierBox = cBox{1, 2, 3, 4};
  a.m_nInvincibleSteps = 5;
  a.m_HitMemory.push_back(cHitMemory{1, 2});
  a.m_FlowAnimes.emplace_back();
  a.InitForSpawn(&def, 123.5, 456.0, 2);

  EXPECT_EQ(a.m_nLevel, 2);
  EXPECT_EQ(a.m_pTarget, &g_Players[0]);
  EXPECT_EQ(a.m_SwitchBusy, cVector<std::uint8_t>(27, 0));
  EXPECT_EQ(a.m_SwitchEnded.Size(), 27);
  EXPECT_EQ(a.m_SwitchStarted.Size(), 27);
  EXPECT_EQ(a.m_dSpawnX, 123.5);
  EXPECT_EQ(a.m_dSpawnY, 456.0);
  EXPECT_EQ(a.m_dKnockX, 0.0);
  EXPECT_EQ(a.m_dPrevKnockY, 0.0);
  EXPECT_EQ(a.m_bKnocked, 0);
  EXPECT_EQ(a.m_bMoveCancelled, 0);
  EXPECT_EQ(a.m_bJumpRising, 0);
  EXPECT_EQ(a.m_bDead, 0);
  EXPECT_EQ(a.m_bContactDown, 0);
  EXPECT_EQ(a.m_nCarrierSerial, 0);
  EXPECT_EQ(a.m_CarrierBox.m_dBottom, 4.0);  // kept
  EXPECT_EQ(a.m_nLastBlockSide, -1);
  EXPECT_EQ(a.m_bAirborne, 1);  // until it lands: a jump in its first step is refused
  EXPECT_EQ(a.m_Variables, cVector<std::int32_t>(9, 0));
  EXPECT_EQ(a.m_nHp, 30);
  EXPECT_EQ(a.m_nSp, 12);
  EXPECT_EQ(a.m_bScrollSync, 1);
  EXPECT_EQ(a.m_nSightPx, -56 * 16);
  EXPECT_DOUBLE_EQ(a.m_dBrake, 10 * 0.01 / 4);
  EXPECT_EQ(a.m_nInvincibleSteps, 0);
  EXPECT_TRUE(a.m_HitMemory.empty());
  EXPECT_TRUE(a.m_FlowAnimes.empty());
  // The default animation set: four slots of one frame of a tenth of a second.
  ASSERT_EQ(a.m_Anime.m_Sequences.Size(), 4);
  EXPECT_EQ(a.m_Anime.m_Sequences[2].Size(), 2);
  EXPECT_EQ(a.m_Anime.m_Sequences[2][0].nFrames, 6);
  EXPECT_EQ(closes_, 0);

  // Without a definition the copy it has stays.
  a.m_Def.m_nMaxHP = 77;
  a.InitForSpawn(nullptr, 0, 0, 0);
  EXPECT_EQ(a.m_Def.m_nMaxHP, 77);
}

TEST_F(GameObjectTest, EverySpawnTargetsThePlayerWhichAloneListsItself) {
  const cEdChara def = SpawnDef();
  cPlayer& player = g_Players[0];
  player.InitForSpawn(&def, 0, 0, 0);
  cTestActor actors[3];
  for (cTestActor& a : actors) a.InitForSpawn(&def, 0, 0, 0);
  player.InitForSpawn(&def, 0, 0, 0);
  for (const cTestActor& a : actors) EXPECT_EQ(a.m_pTarget, &player);
  ASSERT_EQ(player.m_Targeters.Size(), 1);
  EXPECT_EQ(player.m_Targeters[0], &player);
}

// Two flows of one command and one key condition each, with runtimes linked to them.
void GiveFlows(cActor& a) {
  a.m_Def.m_Flows.resize(2);
  for (cEdFlow& f : a.m_Def.m_Flows) {
    f.m_Commands.resize(1);
    f.m_KeyConditions.resize(1);
  }
  a.m_FlowRuntimes.resize(2);
  for (cFlowRuntime& r : a.m_FlowRuntimes) r.m_Commands.resize(1);
  a.RelinkFlows();
}

void ExpectLinkedTo(const cActor& a) {
  for (int i = 0; i < 2; ++i) {
    const cFlowRuntime& r = a.m_FlowRuntimes[i];
    EXPECT_EQ(r.m_nIndex, i);
    EXPECT_EQ(r.m_pFlow, &a.m_Def.m_Flows[i]);
    ASSERT_EQ(r.m_KeyConditions.Size(), 1);
    EXPECT_EQ(r.m_KeyConditions[0], &a.m_Def.m_Flows[i].m_KeyConditions[0]);
    EXPECT_EQ(r.m_Commands[0].m_pCommand, &a.m_Def.m_Flows[i].m_Commands[0]);
  }
}

TEST_F(GameObjectTest, CopiesOwnTheirFlowsAndKeepPlainLinks) {
  cPlayer& player = g_Players[0];
  player.m_Targeters.push_back(&player);
  cTestActor src;
  GiveFlows(src);
  src.m_pTarget = &player;
  src.m_dX = 99.5;
  src.m_nHp = 4;
  src.m_bMoveCancelled = 0;
  src.m_Anime.m_Sequences.resize(1);

  cTestActor dst;
  dst.m_bMoveCancelled = 1;
  dst.CopyFrom(src);
  EXPECT_EQ(dst.m_bMoveCancelled, 1);  // the one member a copy leaves
  EXPECT_EQ(dst.m_dX, 99.5);
  EXPECT_EQ(dst.m_nHp, 4);
  EXPECT_EQ(dst.m_pTarget, &player);
  ExpectLinkedTo(dst);
  EXPECT_EQ(player.m_Targeters.Size(), 1);  // the copy does not register itself

  src.m_bMoveCancelled = 1;
  cTestActor built(src);  // as the scene's lists copy a spawned object
  EXPECT_EQ(built.m_bMoveCancelled, 0);
  ExpectLinkedTo(built);
  src.m_Anime.m_Sequences[0].push_back(ANIMESTEP{1, 1, 0});
  EXPECT_TRUE(built.m_Anime.m_Sequences[0].empty());

  cTestActor assigned;
  assigned = src;
  ExpectLinkedTo(assigned);
  ExpectLinkedTo(src);
}

TEST_F(GameObjectTest, CentreMovesWorkInTheFrameOfTheLastScreenRectangle) {
  cTestActor a;
  Place(a, 640.0, 480.0);
  a.CalcScreenRect();
  const int cx = a.ScreenCentreX();
  a.SetCenterX(cx + 10);
  a.SetCenterX(cx + 10);  // the rectangle was not recomputed: moves again
  EXPECT_DOUBLE_EQ(a.m_dX, 660.0);
  EXPECT_DOUBLE_EQ(a.m_dRight, 691.0);
  a.CalcScreenRect();
  a.SetCenterX(cx + 10);
  EXPECT_DOUBLE_EQ(a.m_dX, 650.0);

  const int cy = a.ScreenCentreY();
  cCommandRuntime runtime;
  runtime.m_nRemaining = 9;
  runtime.m_nCounter = 3;
  runtime.m_dVelX = runtime.m_dVelY = 2.5;
  runtime.m_nOffsetX = 7;
  a.SetPosStopMove(cx - 5, cy + 6, runtime);
  EXPECT_DOUBLE_EQ(a.m_dX, 625.0);  // against the centre of the stale rectangle
  EXPECT_DOUBLE_EQ(a.m_dY, 486.0);
  EXPECT_DOUBLE_EQ(a.m_dBottom, 517.0);
  EXPECT_EQ(runtime.m_nRemaining, 0);
  EXPECT_EQ(runtime.m_nCounter, 0);
  EXPECT_EQ(runtime.m_dVelX, 0.0);
  EXPECT_EQ(runtime.m_dVelY, 0.0);
  EXPECT_EQ(runtime.m_nOffsetX, 7);

  // A plain game object does nothing on these.
  cGameObject o;
  o.m_dX = 3;
  o.SetPos(100, 100);
  o.SetCenterYStopMove(100, runtime);
  EXPECT_EQ(o.m_dX, 3.0);
}

TEST_F(GameObjectTest, HitBoxCentreCentresBoxAInTheCell) {
  struct Case {
    int alignBottom, w, h, offX, offY;
  };
  // Body at offset (8, 4) in the cell.
  const Case cases[] = {{0, 16, 24, 0, 0}, {1, 16, 24, 0, 4}, {0, 31, 9, -7, 8}, {1, 32, 32, -8, -4}};
  for (const Case& c : cases) {
    cTestActor a;
    a.Init(1, 1, 0, 0, 0, nullptr, 0, 8, 4, 16, 24, 32, 32, 0, 0, 0);
    a.HitBoxCentre(c.alignBottom, c.w, c.h);
    EXPECT_EQ(a.m_BoxA.m_nOffX, c.offX);
    EXPECT_EQ(a.m_BoxA.m_nOffY, c.offY);
    EXPECT_EQ(a.m_BoxA.m_nW, c.w);
    EXPECT_EQ(a.m_BoxA.m_nH, c.h);
    EXPECT_EQ(a.m_BoxA.m_nBaseOffX, c.offX);
    EXPECT_EQ(a.m_BoxA.m_nBaseOffY, c.offY);
    EXPECT_EQ(a.m_BoxA.m_nBaseW, c.w);
    EXPECT_EQ(a.m_BoxA.m_nBaseH, c.h);
  }
}

cEdAnime Anime(std::initializer_list<std::pair<int, int>> frames) {
  cEdAnime a;
  a.m_Frames.clear();
  for (auto [pattern, time] : frames) {
    cEdAnimeFrame f;
    f.m_nPattern = pattern;
    f.m_nTime = time;
    a.m_Frames.push_back(f);
  }
  return a;
}

TEST_F(GameObjectTest, BasicAnimeSetsBecomeLoopingLockedSequences) {
  g_Database.m_AnimeSets.resize(3);
  g_Database.m_AnimeSets[1].m_Slots = {Anime({{5, 2}, {6, 1}}), Anime({{9, 3}})};
  g_Database.m_AnimeSets[2].m_Slots.clear();
  cTestActor a;
  a.ApplyBasicAnimeSet(1, 1);
  EXPECT_EQ(a.m_Def.m_nAnimeSet, 1);
  ASSERT_EQ(a.m_Anime.m_Sequences.Size(), 2);
  const cVector<ANIMESTEP>& s0 = a.m_Anime.m_Sequences[0];
  ASSERT_EQ(s0.Size(), 3);
  EXPECT_EQ(s0[0].nPattern, 5);
  EXPECT_EQ(s0[0].nFrames, 12);
  EXPECT_EQ(s0[0].bLock, 1);
  EXPECT_EQ(s0[1].nFrames, 6);
  EXPECT_EQ(s0[2].nPattern, -2);
  EXPECT_EQ(s0[2].bLock, 1);
  EXPECT_EQ(a.m_Anime.m_Sequences[1][0].nFrames, 18);

  // The set already applied, unforced: the running animation is untouched.
  a.m_Anime.Start(1, 1);
  a.m_Anime.Tick();
  a.m_Anime.Tick();
  a.ApplyBasicAnimeSet(1, 0);
  EXPECT_EQ(a.m_Anime.m_nTick, 2);
  // Another set: new sequences, step and tick from the start, sequence number kept.
  a.ApplyBasicAnimeSet(2, 0);
  EXPECT_TRUE(a.m_Anime.m_Sequences.empty());
  EXPECT_EQ(a.m_Anime.m_nTick, 0);
  EXPECT_EQ(a.m_Anime.m_nSequence, 1);
  EXPECT_EQ(closes_, 0);

  // A set outside the database falls back to entry 0 after the logged error.
  for (int bad : {7, -1}) {
    SCOPED_TRACE(bad);
    a.ApplyBasicAnimeSet(bad, 1);
    EXPECT_EQ(a.m_Anime.m_Sequences.Size(), 4);
  }
  EXPECT_GE(closes_, 2);
  EXPECT_NE(Report().find("err V[7] ( 3 ,"), std::string::npos);
}

}  // namespace
