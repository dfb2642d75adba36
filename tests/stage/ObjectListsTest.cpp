#include <gtest/gtest.h>

#include <iterator>

#include "stage/Chara.h"
#include "stage/ObjectLists.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::StageFixture;

class ObjectListsTest : public StageFixture {
 protected:
  cChara& CharaAt(int i) { return *std::next(g_Charas.begin(), i); }
};

TEST_F(ObjectListsTest, FindCharaByIdSearchesPlayersFirstThenCharactersInOrder) {
  g_Players.resize(2);
  g_Players[0].m_nSerial = 7;
  g_Players[1].m_nSerial = 3;
  g_Charas.resize(3);
  CharaAt(0).m_nSerial = 5;
  CharaAt(1).m_nSerial = 7;  // shares the player's serial
  CharaAt(2).m_nSerial = 5;
  struct Case {
    int serial;
    cActor* expected;
  } cases[] = {
      {7, &g_Players[0]}, {3, &g_Players[1]}, {5, &CharaAt(0)}, {4, nullptr}, {-1, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(FindCharaById(c.serial), c.expected) << c.serial;
}

TEST_F(ObjectListsTest, EraseCharaClearsEveryLinkAndReturnsTheNextNode) {
  g_Charas.resize(3);
  cChara& gone = CharaAt(0);
  cChara& hunter = CharaAt(1);
  cChara& prey = CharaAt(2);
  cPlayer& hero = g_Players[0];
  hunter.m_pTarget = &gone;
  hero.m_pTarget = &gone;
  gone.m_Targeters = {&hunter, &hero};
  gone.m_pTarget = &prey;
  prey.m_Targeters = {&gone, &hunter};
  cShot homing;
  homing.m_pTarget = &gone;
  gone.m_AimingShots.push_back(&homing);
  // Listed under its old side as well as its present one: both entries go.
  gone.m_nSide = 2;
  Scene().m_SideActors[2].push_back(&gone);
  Scene().m_SideActors[5].push_back(&gone);
  Scene().m_SideActors[5].push_back(&prey);

  auto next = Scene().EraseChara(g_Charas, g_Charas.begin());
  EXPECT_EQ(&*next, &hunter);
  EXPECT_EQ(g_Charas.size(), 2u);
  EXPECT_EQ(hunter.m_pTarget, nullptr);
  EXPECT_EQ(hero.m_pTarget, nullptr);
  EXPECT_EQ(homing.m_pTarget, nullptr);
  EXPECT_EQ(prey.m_Targeters, (cVector<cActor*>{&hunter}));
  EXPECT_TRUE(Scene().m_SideActors[2].empty());
  EXPECT_EQ(Scene().m_SideActors[5], (cVectorList<cActor*>{&prey}));

  // The last node erased returns the end.
  auto last = std::prev(g_Charas.end());
  EXPECT_EQ(Scene().EraseChara(g_Charas, last), g_Charas.end());
  EXPECT_EQ(g_Charas.size(), 1u);
}

}  // namespace
