#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stage/ActorPhysics.h"
#include "stage/Player.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::cTestActor;
using stagetest::StageFixture;

constexpr int HERO = 0;
constexpr int CHARA = 1;
// A character of a player-operated definition: control kind 0, but not the hero.
constexpr int OPERATED = 2;

// The hero is the stage's player object; any other actor is made here. The player is
// made afresh so that nothing of an earlier case stays on it.
cActor& ActorFor(int actor, stagetest::cTestActor& other) {
  if (actor == HERO) {
    g_Players.clear();
    g_Players.resize(1);
    return g_Players[0];
  }
  return other;
}
int KindOf(int actor) { return actor == CHARA ? 1 : 0; }

// Stage 40 x 15: stage cell (cx, cy) covers map pixels 320 + 32 cx .. + 31.
double Px(int cell) { return 320 + 32 * cell; }

class BlockMapTest : public StageFixture {};

TEST_F(BlockMapTest, StrideIsAPowerOfTwoThatHoldsTheStageAndItsMargins) {
  const int cases[][2] = {{0, 5}, {12, 5}, {13, 6}, {44, 6}, {45, 7}};
  for (const auto& c : cases) {
    cScrollAxis axis;
    axis.SetMapGeometry(0, c[0], 0);
    EXPECT_EQ(axis.m_nShift, c[1]) << c[0];
    EXPECT_EQ(axis.m_nStride, 1 << c[1]) << c[0];
    EXPECT_GE(axis.m_nStride, c[0] + 20);
    EXPECT_EQ(axis.m_nStageEnd, (c[0] + 10) * 32);
  }
  cScrollAxis y;
  y.SetMapGeometry(1, 15, 100);
  EXPECT_EQ(y.m_nShift, 0);
  EXPECT_EQ(y.m_nStride, 35);
  EXPECT_EQ(y.m_nCells, 35);
  EXPECT_EQ(y.m_nView, 480);
  EXPECT_EQ(y.m_nFar, 740);
  EXPECT_EQ(y.m_nStageStart, 320);
  EXPECT_EQ(y.m_nStageEnd, 800);
  y.SetMapGeometry(1, -15, 0);
  EXPECT_EQ(y.m_nStageEnd, 0);
}

TEST_F(BlockMapTest, PlacedBlocksAreCopiedIntoTheMarginedMap) {
  cEdStage stage;
  stage.m_nWidth = 40;
  stage.m_nHeight = 15;
  cEdBlock a;
  a.m_nImage = 3;
  a.m_nHit = 2;
  a.m_strText = "x";
  cEdBlock b = a;
  b.m_nX = 39;
  b.m_nY = 14;
  stage.m_Blocks = {a, b};
  ASSERT_TRUE(Scene().BuildBlockMap(stage));
  ASSERT_EQ(g_BlockMap.Size(), 64 * 35);
  EXPECT_EQ(&Cell(0, 0), &g_BlockMap[10 + (10 << 6)]);
  EXPECT_EQ(&Cell(39, 14), &g_BlockMap[49 + (24 << 6)]);
  EXPECT_EQ(Cell(0, 0)->m_nImage, 3);
  EXPECT_EQ(Cell(0, 0)->m_strText, "x");
  EXPECT_EQ(Cell(39, 14)->m_nHit, 2);
  int solid = 0;
  for (cMapBlock& cell : g_BlockMap) {
    EXPECT_EQ(cell.m_bAppeared, 0);
    if (cell->m_nHit != 0) ++solid;
  }
  EXPECT_EQ(solid, 2);  // every other cell is empty
  // The pixel of stage cell (0, 0) is (320, 320).
  EXPECT_EQ(Scene().CellIndex(320 >> 5, 320 >> 5), 10 + (10 << 6));
  EXPECT_EQ(closes_, 0);
}

TEST_F(BlockMapTest, AMapThatCannotBeMadeIsRefusedWithTheMemoryMessage) {
  cEdStage stage;
  stage.m_nHeight = 1 << 20;
  EXPECT_FALSE(Scene().BuildBlockMap(stage));
  EXPECT_TRUE(g_BlockMap.empty());
  EXPECT_EQ(closes_, 1);
  stage.m_nHeight = -25;
  EXPECT_FALSE(Scene().BuildBlockMap(stage));
  EXPECT_EQ(closes_, 2);

  // Placements outside the stage (in the margin or beyond the map) are left out; the
  // others are placed.
  stage.m_nWidth = 40;
  stage.m_nHeight = 15;
  cEdBlock inside, below, right, left;
  inside.m_nImage = below.m_nImage = right.m_nImage = left.m_nImage = 1;
  below.m_nY = 30;
  right.m_nX = 40;
  left.m_nX = -1;
  stage.m_Blocks = {below, inside, right, left};
  EXPECT_TRUE(Scene().BuildBlockMap(stage));
  EXPECT_EQ(Cell(0, 0)->m_nHit, 1);
  int solid = 0;
  for (cMapBlock& cell : g_BlockMap) solid += cell->m_nHit != 0;
  EXPECT_EQ(solid, 1);
  EXPECT_EQ(closes_, 2);
}

TEST_F(BlockMapTest, EffectiveHitKindOfACell) {
  MakeMap({{2, 2}}, 1);
  cMapBlock& cell = Cell(2, 2);
  cEdBlock& block = Block(2, 2);
  block.m_nPassGroup = 3;
  EXPECT_EQ(cell.GetHitKind(3), 0);  // its own side passes
  EXPECT_EQ(cell.GetHitKind(2), 1);

  // With appearance conditions: absent while they fail, present while they hold.
  block.m_Conditions.resize(1);
  conditionsHold_ = false;
  EXPECT_EQ(cell.GetHitKind(2), 0);
  conditionsHold_ = true;
  EXPECT_EQ(cell.GetHitKind(2), 1);
  EXPECT_EQ(cell.m_bAppeared, 1);  // latched whether or not the block is latch-once
  conditionsHold_ = false;
  EXPECT_EQ(cell.GetHitKind(2), 0);
  block.m_bLatchConditions = 1;  // once it has appeared, it stays
  EXPECT_EQ(cell.GetHitKind(2), 1);
  EXPECT_EQ(cell.GetHitKind(3), 0);
}

// A cell names its block instead of holding a copy: cells of one record share it but
// latch their appearance each alone, and an index the stage no longer holds is no block.
TEST_F(BlockMapTest, CellsShareTheirBlockRecordButNotTheirLatch) {
  MakeMap({{4, 4}});
  cEdBlock put;
  put.m_nHit = 1;
  put.m_bLatchConditions = 1;
  put.m_Conditions.resize(1);
  Cell(1, 1).Put(put);
  Cell(2, 1).Put(put);
  EXPECT_EQ(&Cell(1, 1).Block(), &Cell(2, 1).Block());
  conditionsHold_ = true;
  EXPECT_EQ(Cell(1, 1).GetHitKind(0), 1);
  conditionsHold_ = false;
  EXPECT_EQ(Cell(1, 1).GetHitKind(0), 1);  // appeared once: it stays
  EXPECT_EQ(Cell(2, 1).GetHitKind(0), 0);  // never appeared
  EXPECT_EQ(Cell(2, 1).m_bAppeared, 0);

  EXPECT_EQ(Cell(4, 4).GetHitKind(0), 1);
  mapStage_.m_Blocks.clear();
  EXPECT_EQ(Cell(4, 4).GetHitKind(0), 0);
  EXPECT_EQ(Cell(4, 4)->m_nImage, 0);
}

TEST_F(BlockMapTest, SolidCornerTestsOfTheStoredCellRectangle) {
  MakeMap({{5, 5}}, 2);
  cTestActor a;
  Place(a, Px(4) + 1, Px(4) + 1);  // corner (right, bottom) in cell (5, 5)
  EXPECT_TRUE(a.TouchesSolidBlock());
  EXPECT_TRUE(a.TouchesSolidBlock(cBox{}));
  a.m_nSide = 0;
  Block(5, 5).m_nPassGroup = 0;
  EXPECT_FALSE(a.TouchesSolidBlock());
  Place(a, Px(4), Px(4));  // exactly on cell (4, 4)
  Block(5, 5).m_nPassGroup = -1;
  EXPECT_FALSE(a.TouchesSolidBlock());

  // The strongest of four corners; the first of equal ones.
  Block(6, 5).m_nHit = 1;
  Block(5, 6).m_nHit = 1;
  Block(5, 6).m_nImage = 1;
  const int l = 15, t = 15, r = 16, b = 16;  // map cells of stage cells 5 and 6
  EXPECT_EQ(Scene().StrongestBlockAt(l, t, r, b, 0), Scene().CellIndex(l, t));
  Block(5, 5).m_nHit = 1;
  EXPECT_EQ(Scene().StrongestBlockAt(l, t, r, b, 0), Scene().CellIndex(l, t));
  Block(5, 5).m_nHit = 0;
  EXPECT_EQ(Scene().StrongestBlockAt(l, t, r, b, 0), Scene().CellIndex(r, t));
  Block(5, 6).m_nHit = 2;
  EXPECT_EQ(Scene().StrongestBlockAt(l, t, r, b, 0), Scene().CellIndex(l, b));
}

TEST_F(BlockMapTest, EdgeProbes) {
  MakeMap({{5, 5}, {5, 6}, {6, 5}, {7, 5}});
  cTestActor a;
  a.Init(1, CHARA, 0, 0, 0, nullptr, 0, 0, 0, 32, 32, 32, 32, 0, 0, 0);
  auto At = [&](int cx, int cy) { return Scene().CellIndex(cx + 10, cy + 10); };
  const int x = static_cast<int>(Px(5)) + 10, y = static_cast<int>(Px(5)) + 10;
  // Vertical edge: the topmost of equal cells; a stronger lower one wins.
  EXPECT_EQ(Scene().StrongestBlockOnEdge(a, x, y, x, y + 31), At(5, 5));
  Block(5, 6).m_nHit = 2;
  EXPECT_EQ(Scene().StrongestBlockOnEdge(a, x, y, x, y + 31), At(5, 6));
  // Horizontal edge at scale 1: the two corners, the left one of equals.
  EXPECT_EQ(Scene().StrongestBlockOnEdge(a, x, y, x + 31, y), At(5, 5));
  // At scale 2 a third probe lies at the middle and takes the tie.
  a.m_Def.m_nScale = 2;
  EXPECT_EQ(Scene().StrongestBlockOnEdge(a, x, y, x + 63, y), At(6, 5));
  // Its probes stop one pixel short of the right end of a 64-pixel edge.
  Block(5, 5).m_nHit = Block(6, 5).m_nHit = 0;
  EXPECT_EQ(Cell(7, 5).GetHitKind(0), 1);
  // Edge 481..544 ends on cell 7's first pixel; the probes are 481, 512 and 543.
  EXPECT_EQ(g_BlockMap[Scene().StrongestBlockOnEdge(a, 481, y, 544, y)].GetHitKind(0), 0);
  // Not an edge, and a scale that gives no probe: cell 0.
  EXPECT_EQ(Scene().StrongestBlockOnEdge(a, x, y, x + 31, y + 31), 0);
  a.m_Def.m_nScale = 255;
  EXPECT_EQ(Scene().StrongestBlockOnEdge(a, x, y, x, y + 31), 0);
}

TEST_F(BlockMapTest, CellUnderTheCentreOfTheHero) {
  MakeMap({{4, 6}, {5, 6}}, 1);
  cTestActor a;
  Place(a, Px(4) + 22, Px(5) + 10, 32, 32, HERO);  // probes at 22, 38, 53 into the row: cells 4, 5, 5
  const int row = 16;
  EXPECT_EQ(Scene().StrongestBlockUnderCentre(a), Scene().CellIndex(15, row));  // nearest the middle
  Block(4, 6).m_nHit = 2;
  EXPECT_EQ(Scene().StrongestBlockUnderCentre(a), Scene().CellIndex(14, row));  // the stronger
  // Scale 3: five probes, 24 pixels apart, the last on the right edge.
  Block(4, 6).m_nHit = 0;
  a.m_Def.m_nScale = 3;
  a.m_nHitW = 96;
  a.m_dX = Px(4) + 22;
  a.m_dRight = a.m_dX + 95;
  Block(7, 6).m_nHit = 2;
  Block(7, 6).m_nImage = 1;
  EXPECT_EQ(Scene().StrongestBlockUnderCentre(a), Scene().CellIndex(17, row));
}

// One probe against the cell next to the actor, for each of the four edges.
struct ProbeCase {
  const char* name;
  int kind;   // of the cell probed
  int actor;  // HERO or CHARA
  int flyMode;
  int result;
  bool pushed;
};

TEST_F(BlockMapTest, EveryProbeTreatsHeroesCharactersAndFlightAlike) {
  const ProbeCase cases[] = {
      {"solid, hero", 1, HERO, 0, 0, true},
      {"deadly, hero", 2, HERO, 0, 2, false},
      {"deadly, character: a wall", 2, CHARA, 0, 0, true},
      {"deadly, player-operated character: a wall", 2, OPERATED, 0, 0, true},
      {"flying through blocks", 1, CHARA, 1, 0, false},
      {"flying, dies on blocks", 1, CHARA, 3, 2, false},
      {"flying, dies on blocks, deadly cell", 2, CHARA, 3, 2, false},
      {"flying, collides", 1, HERO, 2, 0, true},
      {"deadly, flying hero", 2, HERO, 2, 2, false},
      {"passable", 0, HERO, 0, 0, false},
  };
  struct Edge {
    const char* name;
    int cx, cy;   // stage cell of the block
    double x, y;  // actor position next to it, overlapping by 11.5 pixels
    int (cStageScene::*probe)(cActor&);
  };
  const Edge edges[] = {
      {"left", 5, 5, Px(6) - 11.5, Px(5), &cStageScene::ProbeLeft},
      {"right", 7, 5, Px(6) + 11.5, Px(5), &cStageScene::ProbeRight},
      {"ceiling", 6, 4, Px(6), Px(5) - 11.5, &cStageScene::ProbeCeiling},
      {"floor", 6, 6, Px(6), Px(5) + 11.5, &cStageScene::ProbeFloor},
  };
  for (const Edge& e : edges) {
    for (const ProbeCase& c : cases) {
      SCOPED_TRACE(std::string(e.name) + ": " + c.name);
      MakeMap({{e.cx, e.cy}}, c.kind);
      cTestActor other;
      cActor& a = ActorFor(c.actor, other);
      Place(a, e.x, e.y, 32, 32, KindOf(c.actor), c.flyMode);
      a.m_bAirborne = 0;
      triggers_.clear();
      EXPECT_EQ((Scene().*e.probe)(a), c.result);
      const bool moved = a.m_dX != e.x || a.m_dY != e.y;
      EXPECT_EQ(moved, c.pushed);
      EXPECT_EQ(TriggersOf(a).empty(), !c.pushed);
    }
  }
}

TEST_F(BlockMapTest, WallsPushToTheCellBoundaryKeepingTheFraction) {
  MakeMap({{5, 5}});
  struct Case {
    double x;
    bool left;
    double after;
  };
  const Case cases[] = {
      {Px(5) + 20.25, true, Px(6) + 0.25},  // left edge inside the block
      {Px(5) + 0.5, true, Px(6) + 0.5},     // on the block's first pixel: a whole cell
      {Px(4) + 11.5, false, Px(4) + 0.5},   // right edge 10.5 pixels in: back onto the last pixel before it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    cTestActor a;
    Place(a, c.x, Px(5), 32, 32, CHARA);
    a.m_dPushX = 3;
    triggers_.clear();
    EXPECT_EQ(c.left ? Scene().ProbeLeft(a) : Scene().ProbeRight(a), 0);
    EXPECT_DOUBLE_EQ(a.m_dX, c.after);
    EXPECT_DOUBLE_EQ(a.m_dRight, c.after + 31);
    EXPECT_EQ(a.m_dPushX, 0.0);
    EXPECT_EQ(a.m_bContactLeft, c.left ? 1 : 0);
    EXPECT_EQ(a.m_bContactRight, c.left ? 0 : 1);
    EXPECT_EQ(a.m_nLastBlockSide, c.left ? 0 : 1);
    EXPECT_EQ(TriggersOf(a), (std::vector<int>{9, 10, c.left ? 11 : 12}));
  }
}

TEST_F(BlockMapTest, LandingAndCeilingSnapToTheCellAndSetTheJumpState) {
  MakeMap({{5, 6}, {5, 3}});
  cTestActor a;
  Place(a, Px(5), Px(5) + 19.75, 32, 32, CHARA);
  a.m_dVelY = a.m_dPushY = 4;
  a.m_nAirSteps = 5;
  a.m_bJumping = a.m_bJumpRising = a.m_bKnocked = a.m_bNoJump = 1;
  EXPECT_EQ(Scene().ProbeFloor(a), 0);
  EXPECT_DOUBLE_EQ(a.m_dY, Px(5) + 0.75);
  EXPECT_DOUBLE_EQ(a.m_dBottom, Px(6) - 0.25);
  EXPECT_EQ(a.m_dVelY, 0.0);
  EXPECT_EQ(a.m_dPushY, 0.0);
  EXPECT_EQ(a.m_bContactDown, 1);
  EXPECT_EQ(a.m_nAirSteps, 0);
  EXPECT_EQ(a.m_bAirborne, 0);
  EXPECT_EQ(a.m_bJumping + a.m_bJumpRising + a.m_bKnocked + a.m_bNoJump, 0);
  EXPECT_EQ(a.m_pFootBlock, &Cell(5, 6));
  EXPECT_EQ(a.m_pLastFootBlock, &Cell(5, 6));
  EXPECT_EQ(TriggersOf(a), (std::vector<int>{9, 13, 15}));

  triggers_.clear();
  a.m_dY = Px(4) - 10.5;  // top 10.5 pixels into the ceiling
  a.m_dVelY = -3;
  a.SyncY();
  EXPECT_EQ(Scene().ProbeCeiling(a), 0);
  EXPECT_DOUBLE_EQ(a.m_dY, Px(4) + 0.5);
  EXPECT_EQ(a.m_dVelY, 0.0);
  EXPECT_EQ(a.m_bJumping + a.m_bJumpRising + a.m_bNoJump + a.m_bContactUp, 4);
  EXPECT_EQ(TriggersOf(a), (std::vector<int>{9, 13, 14}));

  // The hero keeps its ceiling flag on landing and records the cell under its centre.
  cTestActor other;
  cActor& hero = ActorFor(HERO, other);
  Place(hero, Px(5) - 20, Px(5) + 10, 32, 32, HERO);
  hero.m_bNoJump = 1;
  Block(4, 6).m_nHit = 1;
  EXPECT_EQ(Scene().ProbeFloor(hero), 0);
  EXPECT_EQ(hero.m_bNoJump, 1);
  EXPECT_EQ(hero.m_pFootBlock, &Cell(4, 6));
}

TEST_F(BlockMapTest, WithoutAFloorAnActorBecomesAirborneAfterEightFrames) {
  g_Stage.SetHitLevel(2);  // 16 sub-steps
  MakeMap();
  struct Case {
    int actor, riding;
    int airborne, leftGround;
  };
  const Case cases[] = {{CHARA, 0, 1, 0}, {HERO, 0, 1, 1}, {HERO, 1, 0, 0}, {CHARA, 1, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.actor << " riding " << c.riding);
    cTestActor other;
    cActor& a = ActorFor(c.actor, other);
    Place(a, Px(5), Px(5), 32, 32, KindOf(c.actor));
    a.m_bAirborne = 0;
    a.m_bOnBlockChara = c.riding;
    a.m_pFootBlock = &Cell(0, 0);
    for (int i = 0; i < 15; ++i) Scene().ProbeFloor(a);
    EXPECT_EQ(a.m_pFootBlock, nullptr);
    EXPECT_EQ(a.m_bAirborne, 0);
    Scene().ProbeFloor(a);
    EXPECT_EQ(a.m_nAirSteps, 16);
    EXPECT_EQ(a.m_bAirborne, c.airborne);
    EXPECT_EQ(a.m_bJumpRising, c.leftGround);
  }
}

TEST_F(BlockMapTest, ResolversProbeTheSideOfTheMotionFirst) {
  // A cell on every side of the actor's cell.
  MakeMap({{4, 5}, {6, 5}, {5, 4}, {5, 6}});
  struct Case {
    const char* name;
    int flyMode;
    double stepX, velY;
    std::vector<int> xTriggers, yTriggers;
  };
  const Case cases[] = {
      {"moving right", 0, 1, 1, {9, 10, 12, 9, 10, 11}, {9, 13, 15, 9, 13, 14}},
      {"standing", 0, 0, 0, {9, 10, 11, 9, 10, 12}, {9, 13, 14, 9, 13, 15}},
      {"moving left, rising", 0, -1, -1, {9, 10, 11, 9, 10, 12}, {9, 13, 14, 9, 13, 15}},
      {"flying, colliding", 2, -1, -1, {9, 10, 12, 9, 10, 11}, {9, 13, 15, 9, 13, 14}},
      {"flying through", 1, 1, 1, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cTestActor a;
    // 30 x 30 body with a pixel inside each neighbour.
    Place(a, Px(5) - 1, Px(5) - 1, 30, 30, CHARA, c.flyMode);
    a.m_nHitW = a.m_nHitH = 34;
    a.SyncX();
    a.SyncY();
    a.m_dStepX = c.stepX;
    a.m_dVelY = c.velY;
    triggers_.clear();
    EXPECT_EQ(Scene().ResolveBlocksX(a), 0);
    EXPECT_EQ(TriggersOf(a), c.xTriggers);
    triggers_.clear();
    a.m_pFootBlock = &Cell(0, 0);
    EXPECT_EQ(Scene().ResolveBlocksY(a), 0);
    EXPECT_EQ(TriggersOf(a), c.yTriggers);
    if (c.flyMode == 1) { EXPECT_EQ(a.m_pFootBlock, &Cell(0, 0)); }
  }
}

TEST_F(BlockMapTest, AKillEndsTheResolverAtOnce) {
  MakeMap({{4, 5}, {6, 5}}, 2);
  cTestActor other;
  cActor& hero = ActorFor(HERO, other);
  Place(hero, Px(5) - 1, Px(5), 34, 32, HERO);
  triggers_.clear();
  EXPECT_EQ(Scene().ResolveBlocksX(hero), 2);
  EXPECT_TRUE(TriggersOf(hero).empty());
  EXPECT_EQ(Scene().RecheckBlocksX(hero), 2);
}

TEST_F(BlockMapTest, RechecksLeaveTheAirAloneAndRecordTheHerosCell) {
  MakeMap();
  cTestActor a;
  Place(a, Px(5), Px(5), 32, 32, CHARA);
  cMapBlock* foot = &Cell(0, 0);
  a.m_pFootBlock = foot;
  EXPECT_EQ(Scene().RecheckBlocksY(a), 0);
  EXPECT_EQ(a.m_pFootBlock, foot);  // no floor: left as it was
  EXPECT_EQ(a.m_nAirSteps, 0);

  MakeMap({{4, 6}, {5, 6}}, 2);
  cTestActor other;
  cActor& hero = ActorFor(HERO, other);
  Place(hero, Px(5) - 20, Px(5) + 10, 32, 32, HERO);
  EXPECT_EQ(Scene().RecheckBlocksY(hero), 2);
  EXPECT_EQ(hero.m_pFootBlock, &Cell(4, 6));  // under the centre, not the edge's pick
  EXPECT_EQ(hero.m_pLastFootBlock, &Cell(4, 6));
}

TEST_F(BlockMapTest, BlockedByACellOrABlockCharacter) {
  MakeMap({{5, 5}});
  cTestActor a;
  Place(a, Px(5) + 4, Px(5) + 4, 16, 16, CHARA);
  EXPECT_TRUE(Scene().IsBlocked(a));
  a.SetFlyMode(1);
  EXPECT_FALSE(Scene().IsBlocked(a));
  a.SetFlyMode(0);
  Place(a, Px(8), Px(5), 32, 32, CHARA);
  EXPECT_FALSE(Scene().IsBlocked(a));

  g_Charas.emplace_back();
  cChara& b = g_Charas.back();
  Place(b, Px(8) + 31, Px(5) + 31, 32, 32, CHARA);
  b.m_nSerial = 2;
  b.m_bExists = 1;
  EXPECT_FALSE(Scene().IsBlocked(a));  // not a block character
  b.m_Def.m_bBlockChara = 1;
  EXPECT_TRUE(Scene().IsBlocked(a));  // corners touch
  b.m_bDead = 1;
  EXPECT_FALSE(Scene().IsBlocked(a));
  b.m_bDead = 0;
  b.m_nSerial = a.m_nSerial;
  EXPECT_FALSE(Scene().IsBlocked(a));
}

// The clamps take the player's screen rectangle afresh (nothing here computes it first):
// with the 16 x 24 body in its 32 x 32 cell (offsets 8, 8) the left test is
// trunc(x) - trunc(scroll) < 0 on a self-scrolling axis, the right one
// trunc(x) - trunc(scroll) - 16 + 32 >= 640, the bottom one trunc(y) - trunc(scroll) + 16
// >= 480; a held player stands at the scroll position, or at scroll + view - body - 1.
TEST_F(BlockMapTest, ScreenClampsOfThePlayer) {
  LayOut(40, 30);
  MakeMap();
  enum { NONE, LOW, HIGH };
  struct Case {
    int line;
    int axis;
    int bAuto;
    int nFly;
    double scroll, pos, expected;
    int contact;
    int result;
  };
  const Case cases[] = {
      {__LINE__, 0, 1, 0, 400.5, 399.9, 400.5, LOW, 0},   // 399 - 400 < 0
      {__LINE__, 0, 1, 0, 400.5, 400.2, 400.2, NONE, 0},  // 400 - 400 = 0
      {__LINE__, 0, 0, 0, 400, 390, 390, NONE, 0},        // walking, no self-scrolling
      {__LINE__, 0, 0, 2, 400.5, 399.9, 399.9, NONE, 0},  // flying: trunc(399.9 - 8 - 400) + 8 = 0
      {__LINE__, 0, 0, 2, 400, 390, 400, LOW, 0},
      {__LINE__, 0, 1, 0, 400.5, 1024, 400.5 + 623, HIGH, 0},  // 624 + 16 = 640
      {__LINE__, 0, 1, 0, 400.5, 1023.9, 1023.9, NONE, 0},
      {__LINE__, 1, 1, 0, 400.5, 864, 400.5 + 455, HIGH, 2},  // 464 + 16 = 480: pushed out below
      {__LINE__, 1, 1, 2, 400.5, 864, 400.5 + 455, HIGH, 0},  // a flying player is only held
      {__LINE__, 1, 1, 0, 400.5, 863.9, 863.9, NONE, 0},
      {__LINE__, 1, 1, 0, 400.5, 399.9, 400.5, LOW, 0},
      {__LINE__, 1, 0, 0, 400, 390, 390, NONE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    cScrollAxis& sx = Scene().m_ScrollX;
    cScrollAxis& sy = Scene().m_ScrollY;
    sx.m_bAuto = c.axis == 0 && c.bAuto;
    sy.m_bAuto = c.axis == 1 && c.bAuto;
    sx.m_dPos = sy.m_dPos = 320;
    (c.axis == 0 ? sx : sy).m_dPos = c.scroll;
    g_Players.clear();
    g_Players.resize(1);
    cPlayer& p = g_Players[0];
    Place(p, c.axis == 0 ? c.pos : 600, c.axis == 1 ? c.pos : 600, 16, 24, HERO, c.nFly);
    int result = 0;
    if (c.axis == 0) {
      Scene().ClampToScreenX(p);
      EXPECT_EQ(p.m_dX, c.expected);
      EXPECT_EQ(p.m_bContactLeft, c.contact == LOW);
      EXPECT_EQ(p.m_bContactRight, c.contact == HIGH);
    } else {
      result = Scene().ClampToScreenY(p);
      EXPECT_EQ(p.m_dY, c.expected);
      EXPECT_EQ(p.m_bContactUp, c.contact == LOW);
      EXPECT_EQ(p.m_bContactDown, c.contact == HIGH);
    }
    EXPECT_EQ(result, c.result);
  }
}

}  // namespace
