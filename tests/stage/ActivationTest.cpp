// Which objects take part in a sub-step, and what the special blocks and item blocks do
// to the player standing on them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "gamedata/Palette.h"
#include "platform/messaging.h"
#include "stage/ActorPhysics.h"
#include "stage/StageFixture.h"

namespace {

constexpr int HERO = 0;
constexpr int CHARA = 1;

double Px(int cell) { return 320 + 32 * cell; }

class ActivationTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedCommonItems_ = g_CommonPalette.m_Items;
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id == appmsg::PlaySound) sounds_.push_back(static_cast<int>(m.w));
      return 0;
    });
    g_hWnd.store(window_);
    MakeMap({{2, 10}});
    Place(Hero(), Px(2), Px(9), 32, 32, HERO);
    Hero().m_nSide = 0;
    Hero().m_nHp = 10;  // alive: an item list ends with the player's death below 1
  }
  void TearDown() override {
    g_hWnd.store(0);
    plat::unregisterWindow(window_);
    g_CommonPalette.m_Items = savedCommonItems_;
    StageFixture::TearDown();
  }
  cPlayer& Hero() { return g_Players[0]; }
  // The hero stands on the block at stage cell (2, 10), with that block's special kind.
  cEdBlock& StandOnSpecialBlock(int nKind, int nAmount) {
    cEdBlock& block = Block(2, 10);
    block.m_nEffect = static_cast<std::uint8_t>(nKind);
    block.m_nEffectValue = nAmount;
    Hero().m_pFootBlock = Hero().m_pLastFootBlock = Hero().m_pPrevFootBlock = &Cell(2, 10);
    return block;
  }
  int SoundsOf(int nWParam) const {
    int n = 0;
    for (int s : sounds_) n += s == nWParam;
    return n;
  }
  cChara& AddChara(double x, double y, int nSerial) {
    g_Charas.emplace_back();
    cChara& c = g_Charas.back();
    Place(c, x, y, 32, 32, CHARA);
    c.m_nSerial = nSerial;
    c.m_Def.m_nActivationRange = 0;
    return c;
  }

  plat::WindowToken window_{};
  std::vector<int> sounds_;
  cVector<cEdItem> savedCommonItems_;
};

// The height a jump at upward speed u rises at gravity g: each frame gravity takes g off
// the speed before the move, so the rise is (u - g) + (u - 2g) + ... over u / g frames,
// u (u - g) / (2 g). The hero's launch is scaled by 0.99 - 0.025 G (G the stage's gravity
// setting): the rise is measured on the speed before that scale.
double HeroRise(double vel, double g, double G) {
  const double u = -vel / (0.99 - G * 0.025);
  return u * (u - g) / (2 * g);
}

TEST_F(ActivationTest, EachSpecialBlockKindActsOnThePlayerStandingOnIt) {
  g_Stage.SetHitLevel(2);  // two sub-steps a frame
  const double g = g_Stage.m_dStepGravity;
  struct Case {
    int kind, amount;
    double stepX, pushX;          // before
    double wantStepX, wantPushX;  // after one sub-step
    int wantFootSteps, wantNoJump;
  } cases[] = {
      // clang-format off
      {3, 50, 2.0, 1.0, 1.0, 1.0, 1, 0},     // speed x 0.5
      {4, 10, 0.0, 1.0, -0.5, 0.0, 1, 0},    // 10 tenths a frame over two sub-steps
      {5, 10, 0.0, -1.0, 0.5, 0.0, 1, 0},
      {4, 10, 0.0, -1.0, -0.5, -1.0, 1, 0},  // a walk along the floor's way stays
      {2, 0, 2.0, 1.0, 2.0, 1.0, 0, 1},      // no jumping here, nothing else
      // clang-format on
      {0, 0, 2.0, 1.0, 2.0, 1.0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    StandOnSpecialBlock(c.kind, c.amount);
    Hero().m_bOnNoJumpBlock = c.kind == 2 ? 0 : 1;  // every other kind clears the flag
    Hero().m_nFootSteps = 0;
    Hero().m_dStepX = c.stepX;
    Hero().m_dPushX = c.pushX;
    Hero().m_dVelY = 0.0;
    EXPECT_EQ(Scene().ApplyFootBlock(Hero()), 0);
    EXPECT_DOUBLE_EQ(Hero().m_dStepX, c.wantStepX);
    EXPECT_DOUBLE_EQ(Hero().m_dPushX, c.wantPushX);
    EXPECT_EQ(Hero().m_nFootSteps, c.wantFootSteps);
    EXPECT_EQ(Hero().m_bOnNoJumpBlock, c.wantNoJump);
    EXPECT_DOUBLE_EQ(Hero().m_dVelY, 0.0);
  }

  // A floor effect lasts one frame: in the second sub-step it acts again and then ends,
  // pressing the player onto the floor; the next sub-step renews it.
  StandOnSpecialBlock(4, 10);
  Hero().m_nFootSteps = 0;
  Hero().m_dStepX = 0.0;
  Hero().m_dVelY = 0.0;
  for (double want : {-0.5, -1.0}) {
    Scene().ApplyFootBlock(Hero());
    EXPECT_DOUBLE_EQ(Hero().m_dStepX, want);
  }
  EXPECT_EQ(Hero().m_nFootSteps, 0);
  EXPECT_DOUBLE_EQ(Hero().m_dVelY, 1.0);
  Scene().ApplyFootBlock(Hero());
  EXPECT_EQ(Hero().m_nFootSteps, 1);

  // The spring launches at the speed of its height (low byte, half blocks) at every
  // landing, with its sound; a flying player feels no floor.
  StandOnSpecialBlock(1, 0x304);  // 4 half blocks
  Hero().m_nFootSteps = 0;
  for (int launch = 0; launch < 2; ++launch) {
    Hero().m_dVelY = 0.0;
    Hero().m_bJumping = Hero().m_bJumpRising = 0;
    Hero().m_nJumpHold = 5;
    Scene().ApplyFootBlock(Hero());
    EXPECT_LT(Hero().m_dVelY, 0.0);  // upward
    EXPECT_NEAR(HeroRise(Hero().m_dVelY, g, g_Stage.m_dGravity), 64.0, 1e-9);
    EXPECT_EQ(Hero().m_bJumping, 1);
    EXPECT_EQ(Hero().m_bJumpRising, 1);
    EXPECT_EQ(Hero().m_nJumpHold, 0);
    EXPECT_EQ(Hero().m_nFootSteps, 0);
  }
  EXPECT_EQ(SoundsOf(10), 2);
  Hero().m_bFlying = 1;
  Hero().m_dVelY = 0.0;
  Scene().ApplyFootBlock(Hero());
  EXPECT_DOUBLE_EQ(Hero().m_dVelY, 0.0);
  EXPECT_EQ(SoundsOf(10), 2);
}

TEST_F(ActivationTest, AnItemBlockGivesItsItemOnceASecondWhileStoodOn) {
  cEdItem item;
  item.m_nImage = 7;
  item.m_nTakeSound = 5;  // asked of the window as 5 + 16
  item.m_bShowOnTake = 1;
  g_CommonPalette.m_Items.assign(3, cEdItem{});
  g_CommonPalette.m_Items[2] = item;
  cEdBlock& cell = StandOnSpecialBlock(0, 0);
  cell.m_nItemPalette = 1;
  cell.m_nItemIndex = 2;

  for (int step = 1; step <= 60; ++step) EXPECT_EQ(Scene().ApplyItemBlock(Hero()), 0);
  EXPECT_EQ(SoundsOf(21), 1);
  ASSERT_EQ(Scene().m_Popups.size(), 1u);  // the item's icon over the hero
  EXPECT_EQ(Scene().m_Popups.back().m_nKind, POPUP_ITEM_ICON);
  EXPECT_EQ(Scene().m_Popups.back().m_nGraphicIndex, 7);
  Scene().ApplyItemBlock(Hero());  // sixty sub-steps of one frame each: one second
  EXPECT_EQ(SoundsOf(21), 2);

  // Leaving the ground ends the wait.
  Hero().m_bAirborne = 1;
  Scene().ApplyItemBlock(Hero());
  EXPECT_EQ(Hero().m_nItemBlockCooldown, 0);
  Hero().m_bAirborne = 0;
  Scene().ApplyItemBlock(Hero());
  EXPECT_EQ(SoundsOf(21), 3);

  // Landing on another block ends it too, pressing the player onto the floor.
  Hero().m_pPrevFootBlock = &Cell(3, 10);
  Hero().m_dVelY = 0.0;
  Scene().ApplyItemBlock(Hero());
  EXPECT_EQ(Hero().m_nItemBlockCooldown, 0);
  EXPECT_DOUBLE_EQ(Hero().m_dVelY, 1.0);

  // An item that does not exist gives nothing and starts no wait.
  cell.m_nItemIndex = 9;
  Scene().ApplyItemBlock(Hero());
  EXPECT_EQ(SoundsOf(21), 3);
  EXPECT_EQ(Hero().m_nItemBlockCooldown, 0);

  // An item whose list clears the stage ends the sub-step with that outcome.
  cEdCommand clear;
  clear.m_nSet = 1;
  clear.m_nType = 2;
  clear.m_Params.assign(5, 0);
  g_CommonPalette.m_Items[2].m_Commands.push_back(clear);
  cell.m_nItemIndex = 2;
  EXPECT_EQ(Scene().ApplyItemBlock(Hero()), 1);
}

TEST_F(ActivationTest, CharactersRunInRangeWokenByTheirGroupOrInTheAir) {
  // The view is the stage's top-left 640 x 480: cells 0 to 19 across, 0 to 14 down.
  cChara& asleep = AddChara(Px(30), Px(5), 1);   // right of the view, in group 5
  cChara& seen = AddChara(Px(4), Px(5), 2);      // in view, in group 5
  cChara& alone = AddChara(Px(30), Px(6), 3);    // right of the view, no group
  cChara& rowOnly = AddChara(Px(5), Px(20), 4);  // below the view; only x is tested
  for (cChara* c : {&asleep, &seen}) {
    c->m_Def.m_bActivationGroup = 1;
    c->m_Def.m_nActivationGroup = 5;
  }
  rowOnly.m_bIgnoreRangeY = 1;
  Scene().ActivateObjects();
  struct Want {
    const cChara* c;
    int inRange, active;
  } wants[] = {{&asleep, 0, 1}, {&seen, 1, 1}, {&alone, 0, 0}, {&rowOnly, 1, 1}};
  for (const Want& w : wants) {
    SCOPED_TRACE(w.c->m_nSerial);
    EXPECT_EQ(w.c->m_bExists, 1);
    EXPECT_EQ(w.c->m_bInRange, w.inRange);
    EXPECT_EQ(w.c->m_bActive, w.active);
  }
  EXPECT_EQ(Scene().m_GroupAwake[5], 1);
  EXPECT_EQ(seen.m_bOnScreen, 1);
  EXPECT_EQ(asleep.m_bOnScreen, 0);

  // A walker that jumped keeps running out of range, and one that ran keeps running in
  // its fall; a flyer does not.
  alone.m_bJumping = 1;
  Scene().ActivateObjects();
  EXPECT_EQ(alone.m_bActive, 1);
  alone.m_bJumping = 0;
  alone.m_bAirborne = 1;
  Scene().ActivateObjects();
  EXPECT_EQ(alone.m_bActive, 1);  // it has run once
  alone.SetFlyMode(1);
  Scene().ActivateObjects();
  EXPECT_EQ(alone.m_bActive, 0);

  // The latching rule keeps a character in range for good once it has run.
  seen.m_Def.m_nActivationRule = 1;
  seen.m_Def.m_bActivationGroup = 0;
  Scene().ActivateObjects();
  seen.m_dX = Px(60);
  seen.ClampX(2);
  Scene().ActivateObjects();
  EXPECT_EQ(seen.m_bInRange, 1);
  EXPECT_EQ(seen.m_bActive, 1);
}

TEST_F(ActivationTest, AppearanceConditionsDecideWhetherAnObjectExists) {
  cChara& c = AddChara(Px(4), Px(5), 1);
  c.m_Def.m_Conditions.resize(1);
  g_Items.emplace_back();
  cItem& item = g_Items.back();
  item.m_Def.m_Conditions.resize(1);
  item.m_dX = Px(5);
  item.m_dY = Px(5);
  item.m_dRight = item.m_dX + 15;
  item.m_dBottom = item.m_dY + 15;

  conditionsHold_ = false;
  Scene().ActivateObjects();
  EXPECT_EQ(c.m_bExists, 0);
  EXPECT_EQ(c.m_bActive, 0);
  EXPECT_EQ(c.m_bOnScreen, 0);
  EXPECT_EQ(item.m_bExists, 0);
  EXPECT_EQ(g_Charas.size(), 1u);  // it stays listed
  EXPECT_EQ(Hero().m_bExists, 1);  // the player always takes part

  conditionsHold_ = true;
  Scene().ActivateObjects();
  EXPECT_EQ(c.m_bExists, 1);
  EXPECT_EQ(c.m_bActive, 1);
  EXPECT_EQ(item.m_bExists, 1);
  EXPECT_EQ(item.m_bOnScreen, 1);

  // Met once, met for ever with the once flag; without it the conditions decide anew.
  c.m_Def.m_bLatchConditions = 1;
  conditionsHold_ = false;
  Scene().ActivateObjects();
  EXPECT_EQ(c.m_bExists, 1);
  EXPECT_EQ(item.m_bExists, 0);
}

TEST_F(ActivationTest, ABlockPutOntoActorsGivesThemGraceAndStopsAtAKeptOffKind) {
  MakeMap({{6, 6}});
  const int nCell = Scene().CellIndex(16, 16);
  Place(Hero(), Px(6) + 8, Px(6) + 8, 16, 16, HERO);
  cChara& c = AddChara(Px(6) + 20, Px(6), 1);
  c.m_bExists = 1;
  cChara& away = AddChara(Px(8), Px(6), 2);
  away.m_bExists = 1;
  EXPECT_EQ(Scene().GraceCoveredActors(nCell, 16, 16, 0, 0), 0);
  EXPECT_EQ(Hero().m_nBlockGraceSteps, 2);
  EXPECT_EQ(c.m_nBlockGraceSteps, 2);
  EXPECT_EQ(away.m_nBlockGraceSteps, 0);
  EXPECT_EQ(Scene().GraceCoveredActors(nCell, 16, 16, 1, 0), 1);
  EXPECT_EQ(Scene().GraceCoveredActors(nCell, 16, 16, 0, 1), 1);
  // A side that passes through the block is not covered by it.
  Block(6, 6).m_nPassGroup = 0;
  c.m_nSide = 0;
  EXPECT_EQ(Scene().GraceCoveredActors(nCell, 16, 16, 1, 1), 0);
}

}  // namespace
