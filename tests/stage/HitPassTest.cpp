// Actors hitting actors by sides, and the player picking up the items it touches.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "stage/StageFixture.h"

namespace {

constexpr int HERO = 0;
constexpr int CHARA = 1;
constexpr int TRIGGER_CHARA_HIT = 4;
constexpr int TRIGGER_ITEM_HIT = 8;

double Px(int cell) { return 320 + 32 * cell; }

class HitPassTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    std::copy(std::begin(g_Stage.m_HitTimes), std::end(g_Stage.m_HitTimes), savedHitTimes_);
    // Frames: the hero remembers an attacker 30, is invincible 10; characters 20 and 5.
    const int times[4] = {30, 10, 20, 5};
    std::copy(std::begin(times), std::end(times), g_Stage.m_HitTimes);
    MakeMap();
    g_Stage.m_bOnScreenHits = 0;
    Scene().m_SideActors.assign(SIDE_COUNT, cVectorList<cActor*>());
    Place(Hero(), Px(5), Px(5), 32, 32, HERO);
    Hero().m_nSerial = 100;
    Enlist(Hero(), 0, 20);
    Hero().m_BoxC = Box(0, 0, 32, 32);
    Hero().UpdateHitBoxX();
    Hero().UpdateHitBoxY();
  }
  void TearDown() override {
    std::copy(std::begin(savedHitTimes_), std::end(savedHitTimes_), g_Stage.m_HitTimes);
    StageFixture::TearDown();
  }
  cPlayer& Hero() { return g_Players[0]; }
  static cHitBox Box(int x, int y, int w, int h) {
    cHitBox b;
    b.m_nOffX = b.m_nBaseOffX = x;
    b.m_nOffY = b.m_nBaseOffY = y;
    b.m_nW = b.m_nBaseW = w;
    b.m_nH = b.m_nBaseH = h;
    return b;
  }
  // The actor on side nSide with nHp of HP and box A over its whole body.
  void Enlist(cActor& a, int nSide, int nHp) {
    a.m_nSide = nSide;
    a.m_Def.m_nMaxHP = a.m_nHp = nHp;
    a.m_bExists = 1;
    a.m_BoxA = Box(0, 0, 32, 32);
    a.UpdateHitBoxX();
    a.UpdateHitBoxY();
    Scene().m_SideActors[nSide].push_back(&a);
  }
  cChara& AddChara(double x, int nSide, int nPower, int nSerial) {
    g_Charas.emplace_back();
    cChara& c = g_Charas.back();
    Place(c, x, Px(5), 32, 32, CHARA);
    c.m_nSerial = nSerial;
    c.m_Def.m_nBodyPower = nPower;
    Enlist(c, nSide, 10);
    return c;
  }
  int Count(const cActor& a, int nTrigger) const {
    const std::vector<int> t = TriggersOf(a);
    return static_cast<int>(std::count(t.begin(), t.end(), nTrigger));
  }
  cItem& AddItem(int nTakeMode, int nImage, int nSerial) {
    g_Items.emplace_back();
    cItem& item = g_Items.back();
    cEdItem def;
    def.m_nImage = static_cast<std::int16_t>(nImage);
    def.m_nTakeMode = static_cast<std::uint8_t>(nTakeMode);
    def.m_bShowOnTake = 0;
    item.Init(nSerial, def, 0);
    item.m_bExists = 1;
    item.m_dX = Px(5) + 8;
    item.m_dY = Px(5) + 8;
    item.m_dRight = item.m_dX + 15;
    item.m_dBottom = item.m_dY + 15;
    return item;
  }
  static cEdCommand StageClear() {
    cEdCommand c;
    c.m_nSet = 1;
    c.m_nType = 2;
    c.m_Params.assign(5, 0);
    return c;
  }

  std::int32_t savedHitTimes_[4] = {};
};

TEST_F(HitPassTest, ActorsOfDifferentSidesHitEachOtherWithTheirBodies) {
  cChara& enemy = AddChara(Px(5) + 20, 3, 4, 1);
  cChara& friendly = AddChara(Px(5) + 10, 0, 9, 2);  // the hero's side: never touches it
  cChara& wall = AddChara(Px(5) + 5, 2, 9, 3);
  wall.m_Def.m_bBlockChara = 1;  // left to the block-character pass
  Hero().m_Def.m_nBodyPower = 0;

  EXPECT_EQ(Scene().HitPass(), 0);
  EXPECT_EQ(Count(Hero(), TRIGGER_CHARA_HIT), 1);
  EXPECT_EQ(Count(enemy, TRIGGER_CHARA_HIT), 2);  // the hero and the friend
  EXPECT_EQ(Count(friendly, TRIGGER_CHARA_HIT), 1);
  EXPECT_EQ(friendly.m_nHp, 10 - 4);
  EXPECT_EQ(Count(wall, TRIGGER_CHARA_HIT), 0);
  EXPECT_EQ(Hero().m_nHp, 20 - 4);
  EXPECT_EQ(enemy.m_nHp, 10 - 9);  // the friend's body hurt it; the hero's has no power
  // The hero remembers its attacker and is invincible for a while.
  EXPECT_TRUE(Hero().IsInvincibleAgainst(enemy.m_nSerial));
  EXPECT_EQ(Hero().m_nInvincibleSteps, 10);

  // While the memory lasts, touching goes on without damage.
  triggers_.clear();
  friendly.m_bExists = 0;
  EXPECT_EQ(Scene().HitPass(), 0);
  EXPECT_EQ(Count(Hero(), TRIGGER_CHARA_HIT), 1);
  EXPECT_EQ(Hero().m_nHp, 16);

  // When it has run out, the next touch hurts again; a hit that empties the hero's HP
  // is its death.
  for (int i = 0; i < 30; ++i) Hero().TickInvincibility();
  EXPECT_FALSE(Hero().IsInvincibleAgainst(enemy.m_nSerial));
  Hero().m_nHp = 4;
  EXPECT_EQ(Scene().HitPass(), 2);
}

TEST_F(HitPassTest, ACharacterEmptiedByABodyHitDiesAndTheHeroIsTheRealPlayerOnly) {
  // A character made from a player-operated definition is still only a character.
  cChara& enemy = AddChara(Px(5) + 20, 3, 0, 1);
  enemy.m_nKind = HERO;
  enemy.m_nHp = 2;
  Hero().m_Def.m_nBodyPower = 5;
  EXPECT_EQ(Scene().HitPass(), 0);
  EXPECT_EQ(enemy.m_bDead, 1);
  EXPECT_EQ(Hero().m_nHp, 20);
  // Dead actors take no part any more.
  triggers_.clear();
  EXPECT_EQ(Scene().HitPass(), 0);
  EXPECT_TRUE(triggers_.empty());
}

TEST_F(HitPassTest, ItemsArePickedUpInTheSubStepOfContactByTheirKind) {
  Hero().m_nHp = 20;
  AddItem(0, 3, 1);
  cItem& again = AddItem(1, 4, 2);
  AddItem(2, 5, 3);  // never taken, not even touched
  AddItem(0, 0, 4);  // graphic 0: touched, gives nothing
  again.m_Def.m_Commands.push_back(StageClear());

  // The kind-0 item is taken and gone; the kind-1 item's list clears the stage.
  EXPECT_EQ(Scene().ItemPickUpPass(Hero()), 1);
  EXPECT_EQ(std::count_if(g_Items.begin(), g_Items.end(), [](const cItem& i) { return i.m_nSerial == 1; }), 0);
  EXPECT_EQ(Count(Hero(), TRIGGER_ITEM_HIT), 2);  // the pass ended at the clearing item

  // Still touching: the kind-1 item does not act again, the blank one fires its trigger.
  triggers_.clear();
  EXPECT_EQ(Scene().ItemPickUpPass(Hero()), 0);
  EXPECT_EQ(Count(Hero(), TRIGGER_ITEM_HIT), 2);
  EXPECT_EQ(g_Items.size(), 2u);  // the blank kind-0 item is used up as well

  // Parted for a sub-step, then touched again: it acts again.
  again.m_dX += 100;
  again.m_dRight += 100;
  EXPECT_EQ(Scene().ItemPickUpPass(Hero()), 0);
  again.m_dX -= 100;
  again.m_dRight -= 100;
  EXPECT_EQ(Scene().ItemPickUpPass(Hero()), 1);
}

TEST_F(HitPassTest, AnItemTakenWithoutHpLeftEndsThePassWithTheDeathAndIsUsedUp) {
  AddItem(0, 3, 1);
  AddItem(0, 3, 2);
  Hero().m_nHp = 0;
  EXPECT_EQ(Scene().ItemPickUpPass(Hero()), 2);
  ASSERT_EQ(g_Items.size(), 1u);
  EXPECT_EQ(g_Items.front().m_nSerial, 2);
}

}  // namespace
