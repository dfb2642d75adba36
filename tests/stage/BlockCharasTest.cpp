// Block characters as moving solids: landing on one and riding it, side pushes, crushes
// and flying actors' contacts. Each case runs with few block characters and again with
// many, which are looked up by cell.
#include <gtest/gtest.h>

#include <vector>

#include "stage/ActorPhysics.h"
#include "stage/StageFixture.h"

namespace {

constexpr int HERO = 0;
constexpr int CHARA = 1;
constexpr int TRIGGER_BLOCK_CHARA = 5;
constexpr int TRIGGER_ON_BLOCK_CHARA = 6;
constexpr int TRIGGER_HERO_RIDES = 16;
constexpr int TRIGGER_CHARA_RIDES = 17;

double Px(int cell) { return 320 + 32 * cell; }

class BlockCharasTest : public stagetest::StageFixture, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    MakeMap();
    Place(Hero(), Px(10), Px(5), 32, 32, HERO);
    Hero().m_nSerial = 100;
    // Far-away block characters, listed first, that must change nothing.
    for (int i = 0; i < GetParam(); ++i) {
      cChara& far = AddBlock(Px(30) + (i % 8) * 32, Px(1) + (i / 8) * 32);
      far.m_nSerial = 200 + i;
    }
  }
  cPlayer& Hero() { return g_Players[0]; }
  cChara& AddBlock(double x, double y) {
    g_Charas.emplace_back();
    cChara& b = g_Charas.back();
    Place(b, x, y, 32, 32, CHARA);
    b.m_Def.m_bBlockChara = 1;
    b.m_bExists = 1;
    b.m_nSerial = static_cast<int>(g_Charas.size());
    b.SavePos();
    return b;
  }
  // The next sub-step as the play frame begins it: saved boxes and cleared contacts.
  static void NextStep(std::initializer_list<cActor*> actors) {
    for (cActor* a : actors) {
      a->SavePos();
      a->ClearContacts();
    }
    ++TheStage().m_nStepCount;
  }
  static void MoveBy(cActor& a, double dx, double dy) {
    a.m_dX += dx;
    a.m_dY += dy;
    a.m_dStepX = dx;
    a.m_dVelY = dy;
    a.ClampX(2);
    a.ClampY(2);
  }
};

TEST_P(BlockCharasTest, AFallingWalkerLandsOnAPlatformAndRidesIt) {
  cChara& lift = AddBlock(Px(10), Px(7));
  // The hero falls from above, faster than 2 pixels a sub-step, into the lift's top.
  NextStep({&Hero(), &lift});
  MoveBy(Hero(), 0, 36 + 3);  // bottom 3 pixels inside the lift
  Hero().m_bAirborne = Hero().m_bJumping = 1;
  EXPECT_EQ(Scene().BlockCharaPass(Hero()), 0);
  EXPECT_DOUBLE_EQ(Hero().m_dBottom, lift.m_dY - 1);
  EXPECT_EQ(Hero().m_bOnBlockChara, 1);
  EXPECT_EQ(Hero().m_nCarrierSerial, lift.m_nSerial);
  EXPECT_EQ(Hero().m_dVelY, 0.0);
  EXPECT_EQ(Hero().m_bAirborne, 0);
  EXPECT_EQ(Hero().m_bJumping, 0);
  EXPECT_EQ(TriggersOf(lift), (std::vector<int>{TRIGGER_HERO_RIDES, TRIGGER_CHARA_RIDES}));
  EXPECT_EQ(TriggersOf(Hero()), (std::vector<int>{TRIGGER_BLOCK_CHARA, TRIGGER_ON_BLOCK_CHARA}));

  // The lift moves 3 right and 2 up; the rider is carried by the same before its own move.
  triggers_.clear();
  NextStep({&Hero(), &lift});
  MoveBy(lift, 3, -2);
  Hero().m_dStepX = 0.5;
  EXPECT_EQ(Scene().CarryRider(Hero()), 0);
  EXPECT_DOUBLE_EQ(Hero().m_dStepX, 3.5);
  EXPECT_DOUBLE_EQ(Hero().m_dVelY, -2.0);
  EXPECT_EQ(TriggersOf(lift), (std::vector<int>{TRIGGER_HERO_RIDES, TRIGGER_CHARA_RIDES}));
  MoveBy(Hero(), Hero().m_dStepX, Hero().m_dVelY);
  EXPECT_EQ(Scene().BlockCharaPass(Hero()), 0);
  EXPECT_EQ(Hero().m_bOnBlockChara, 1);
  EXPECT_DOUBLE_EQ(Hero().m_CarrierBox.m_dLeft, lift.m_dX);
  EXPECT_DOUBLE_EQ(Hero().m_dBottom, lift.m_dY - 1);

  // A rider knocked upward stops riding at once.
  NextStep({&Hero(), &lift});
  Hero().m_dKnockY = -3.0;
  Scene().BlockCharaPass(Hero());
  EXPECT_EQ(Hero().m_bOnBlockChara, 0);

  // A slow contact from the side is a push, not a landing: 1.5 pixels from the pusher.
  Place(Hero(), Px(9) + 5, Px(7) + 2, 32, 32, HERO);
  Hero().m_nSerial = 100;
  NextStep({&Hero(), &lift});
  MoveBy(Hero(), 1, 0);
  EXPECT_EQ(Scene().BlockCharaPass(Hero()), 0);
  EXPECT_DOUBLE_EQ(Hero().m_dRight, lift.m_dX - 1.5);
  EXPECT_EQ(Hero().m_bContactRight, 1);
  EXPECT_EQ(Hero().m_bPushedByBlockChara, 1);
  EXPECT_EQ(Hero().m_bOnBlockChara, 0);
}

TEST_P(BlockCharasTest, ActorsSqueezedByBlockCharactersAreCrushed) {
  // A lift rising from below and a press coming down from above.
  cChara& floor = AddBlock(Px(10), Px(6) - 4);  // 4 pixels into the hero's feet
  cChara& press = AddBlock(Px(10), Px(4) + 4);  // and 4 into its head
  floor.m_dVelY = -1.0;
  press.m_dVelY = 1.0;
  Place(Hero(), Px(10), Px(5), 32, 32, HERO);
  Hero().m_nSerial = 100;
  Hero().SavePos();
  EXPECT_EQ(Scene().BlockCharaPass(Hero()), 2);
  EXPECT_EQ(Hero().m_bContactUp, 1);
  EXPECT_EQ(Hero().m_bContactDown, 1);

  // With only the lift there is no crush: the hero stands on it.
  press.m_bDead = 1;
  Place(Hero(), Px(10), Px(5), 32, 32, HERO);
  Hero().m_nSerial = 100;
  NextStep({&Hero()});
  EXPECT_EQ(Scene().BlockCharaPass(Hero()), 0);
  EXPECT_EQ(Hero().m_bOnBlockChara, 1);

  // Four corners inside block characters crush even without contact flags.
  cActor& a = Hero();
  a.m_bOnBlockChara = 0;
  Place(a, Px(12) + 8, Px(5) + 8, 16, 16, HERO);
  a.m_nSerial = 100;
  AddBlock(Px(12), Px(5));
  EXPECT_TRUE(Scene().IsCrushedByBlockCharas(a, cBox{a.m_dX, a.m_dY, a.m_dRight, a.m_dBottom}));
}

TEST_P(BlockCharasTest, FlyingActorsStopAtTheAdjacentPixelOrDieByTheirBlockRule) {
  cChara& wall = AddBlock(Px(11), Px(5));
  struct Case {
    int mode;  // flight mode: 1 through blocks, 2 colliding, 3 dying
    int result;
    double right;  // after the pass
  } cases[] = {{1, 0, Px(11) + 4}, {2, 0, Px(11) - 1}, {3, 2, Px(11) + 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    g_Charas.emplace_back();
    cChara& flyer = g_Charas.back();
    Place(flyer, Px(10) + 5, Px(5), 32, 32, CHARA, c.mode);
    flyer.m_nSerial = 90;
    flyer.m_dStepX = 1.0;
    flyer.SavePos();
    triggers_.clear();
    EXPECT_EQ(Scene().BlockCharaPass(flyer), c.result);
    EXPECT_DOUBLE_EQ(flyer.m_dRight, c.right);
    EXPECT_EQ(TriggersOf(flyer).size(), c.mode == 1 ? 0u : 1u);
    g_Charas.pop_back();
  }
  // A pusher moving away does not drag a flyer along.
  g_Charas.emplace_back();
  cChara& flyer = g_Charas.back();
  Place(flyer, Px(10) + 5, Px(5), 32, 32, CHARA, 2);
  flyer.m_nSerial = 90;
  flyer.m_dStepX = -1.0;
  wall.m_dStepX = 2.0;
  Scene().BlockCharaPass(flyer);
  EXPECT_DOUBLE_EQ(flyer.m_dX, Px(10) + 5);
  EXPECT_EQ(flyer.m_bContactRight, 0);
}

INSTANTIATE_TEST_SUITE_P(FewAndMany, BlockCharasTest, ::testing::Values(0, 40));

}  // namespace
