// The action commands run by a character's flow: when the shot and summon commands act
// and sound, the sword's single swing, the jump's sound, and summoned characters and
// blocks.
#include <gtest/gtest.h>

#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "gamedata/Database.h"
#include "gamedata/Palette.h"
#include "platform/messaging.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/Shot.h"
#include "stage/StageFixture.h"

namespace {

class ActionCommandsTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedSwords_ = g_Database.m_SwordTypes;
    savedCharas_ = g_Stage.m_Palette.m_Charas;
    savedBlocks_ = g_Stage.m_Palette.m_Blocks;
    for (int i = 0; i < 4; ++i) {
      savedBoxA_[i] = g_Stage.m_CharaBoxA[i];
      g_Stage.m_CharaBoxA[i] = 32;
    }
    MakeMap();
    chara_.m_SwitchBusy.assign(27, 0);
    chara_.m_SwitchEnded.assign(27, 0);
    chara_.m_SwitchStarted.assign(27, 0);
    Place(chara_, 400, 400, 32, 32, 1, 1);
    chara_.m_nSide = 2;
    chara_.m_bOnScreen = 1;
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id == appmsg::PlaySound) ++sounds_;
      return 0;
    });
    g_hWnd.store(window_);
  }
  void TearDown() override {
    g_hWnd.store(0);
    plat::unregisterWindow(window_);
    Scene().m_Shots.clear();
    g_Database.m_SwordTypes = savedSwords_;
    g_Stage.m_Palette.m_Charas = savedCharas_;
    g_Stage.m_Palette.m_Blocks = savedBlocks_;
    for (int i = 0; i < 4; ++i) g_Stage.m_CharaBoxA[i] = savedBoxA_[i];
    g_Charas.clear();
    StageFixture::TearDown();
  }

  // A command of the type lasting time tenths with sound 3 and a payload set by set.
  template <class F>
  static cEdCommand Command(int type, int time, F&& set) {
    cEdCommand c;
    c.m_nType = static_cast<std::int8_t>(type);
    c.m_nTime = static_cast<std::int16_t>(time);
    c.m_nSound = 3;
    c.NewShot();
    c.m_pShot->m_nGroupCount = 1;
    c.m_pShot->m_nFormation = 4;
    set(*c.m_pShot);
    return c;
  }
  void Run(const cEdCommand& command) {
    cEdFlow f;
    f.m_Commands.push_back(command);
    chara_.m_Def.m_Flows.clear();
    chara_.m_Def.m_Flows.push_back(f);
    chara_.BuildFlows(chara_.m_Def.m_Flows, chara_.m_nFacing, 0, -1);
    chara_.FireFlowTrigger(0);
  }
  void Step() {
    chara_.CalcScreenRect();
    chara_.RunFlowPass(0);
  }

  stagetest::cTestActor chara_;
  cVector<cEdSwordType> savedSwords_;
  cVector<cEdChara> savedCharas_;
  cVector<cEdBlock> savedBlocks_;
  std::int32_t savedBoxA_[4] = {};
  plat::WindowToken window_ = 0;
  int sounds_ = 0;
};

TEST_F(ActionCommandsTest, AShotCommandFiresEveryTenthOfASecondWhileItRuns) {
  for (int level : {1, 10}) {
    SCOPED_TRACE(level);
    g_Stage.SetHitLevel(level);
    Scene().m_Shots.clear();
    sounds_ = 0;
    Run(Command(CMD_SHOT, 5, [](cEdShot&) {}));
    std::vector<int> fired;
    for (int step = 0; step < 40 * level; ++step) {
      const std::size_t before = Scene().m_Shots.size();
      Step();
      if (Scene().m_Shots.size() > before) fired.push_back(step);
    }
    const int S = level;
    EXPECT_EQ(fired, (std::vector<int>{0, 6 * S, 12 * S, 18 * S, 24 * S}));
    EXPECT_EQ(sounds_, 5);
  }
}

TEST_F(ActionCommandsTest, AnOnScreenOnlySoundIsSilentOffScreenButTheShotStillFlies) {
  chara_.m_bOnScreen = 0;
  Run(Command(CMD_SHOT, 1, [](cEdShot&) {}));
  Step();
  EXPECT_EQ(Scene().m_Shots.size(), 1u);
  EXPECT_EQ(sounds_, 0);
  // Without the on-screen rule it sounds wherever the actor is.
  cEdCommand loud = Command(CMD_SHOT, 1, [](cEdShot&) {});
  loud.m_bSoundOnScreen = 0;
  Run(loud);
  Step();
  EXPECT_EQ(Scene().m_Shots.size(), 2u);
  EXPECT_EQ(sounds_, 1);
}

TEST_F(ActionCommandsTest, ASwordCommandOfTwoSecondsSwingsOnce) {
  g_Database.m_SwordTypes.assign(1, cEdSwordType());
  Run(Command(CMD_SWORD, 20, [](cEdShot&) {}));
  for (int step = 0; step < 120; ++step) Step();
  EXPECT_EQ(Scene().m_nNextShotId, 1);
  ASSERT_EQ(Scene().m_Shots.size(), 1u);
  EXPECT_EQ(Scene().m_Shots.front().m_bIsShot, 0);
  EXPECT_EQ(Scene().m_Shots.front().m_pTarget, nullptr);
  EXPECT_EQ(sounds_, 1);
}

TEST_F(ActionCommandsTest, ARefusedJumpMakesNoSound) {
  cChara walker;
  Place(walker, 500, 400);
  walker.m_SwitchBusy.assign(27, 0);
  walker.m_SwitchEnded.assign(27, 0);
  walker.m_SwitchStarted.assign(27, 0);
  cEdCommand jump;
  jump.m_nType = 10;
  jump.m_nTime = 1;
  jump.m_nSound = 1;
  cEdFlow f;
  f.m_Commands.push_back(jump);
  walker.m_Def.m_Flows.assign(1, f);
  for (int airborne : {1, 0}) {
    SCOPED_TRACE(airborne);
    sounds_ = 0;
    walker.m_bAirborne = airborne;
    walker.BuildFlows(walker.m_Def.m_Flows, 0, 0, -1);
    walker.FireFlowTrigger(0);
    walker.RunFlowPass(0);
    EXPECT_EQ(sounds_, airborne ? 0 : 1);
  }
}

TEST_F(ActionCommandsTest, ASummonedCharacterJoinsItsSideUnlessItStandsInAWall) {
  MakeMap({{3, 3}});  // map cell (13, 13): pixels (416, 416)
  cEdChara def;
  def.m_nOperator = 1;
  def.m_nPassNumber = 5;
  g_Stage.m_Palette.m_Charas.assign(2, def);
  const int nSerial = Scene().m_nNextActorId;
  // In front of the left-facing summoner, from the palette entry's own side.
  Run(Command(CMD_SUMMON_CHARA, 1, [](cEdShot& s) {
    s.m_nFormation = 0;
    s.m_nSummonPalette = 1;
    s.m_nSummon = 1;
  }));
  Step();
  ASSERT_EQ(g_Charas.size(), 1u);
  EXPECT_EQ(g_Charas.front().m_nSide, 5);
  EXPECT_EQ(Scene().m_SideActors[5].size(), 1u);
  EXPECT_EQ(Scene().m_nNextActorId, nSerial + 1);
  // Below the summoner the cell is solid: nothing stays and no serial is used.
  Run(Command(CMD_SUMMON_CHARA, 1, [](cEdShot& s) {
    s.m_nFormation = 0;
    s.m_nDirection = 7;
    s.m_nSummonPalette = 1;
    s.m_nSummon = 1;
  }));
  Step();
  EXPECT_EQ(g_Charas.size(), 1u);
  EXPECT_EQ(Scene().m_nNextActorId, nSerial + 1);
  // A palette index outside the list summons nothing.
  Run(Command(CMD_SUMMON_CHARA, 1, [](cEdShot& s) {
    s.m_nSummonPalette = 1;
    s.m_nSummon = 2;
  }));
  Step();
  EXPECT_EQ(g_Charas.size(), 1u);
}

// A block summon run by a flow puts the palette's block into the cells its formation
// names, once for each tenth of a second the command runs. The cells hold a copy of the
// palette record, one copy for all of them.
TEST_F(ActionCommandsTest, ASummonedBlockFillsTheCellsOfItsFormation) {
  cEdBlock& record = g_Stage.m_Palette.m_Blocks.emplace_back();
  record.m_nImage = 7;
  record.m_nHit = 1;
  const int nRecord = g_Stage.m_Palette.m_Blocks.Size() - 1;
  // The summoner's 32 x 32 cell is map cell (13, 13), the view at (320, 320).
  Place(chara_, 416, 416, 32, 32, 1, 1);
  chara_.m_bOnScreen = 1;
  auto Filled = [] {
    std::vector<int> cells;
    for (int i = 0; i < g_BlockMap.Size(); ++i)
      if (!g_BlockMap[i].Empty()) cells.push_back(i);
    return cells;
  };
  // A column of three left of the summoner, centred on its middle: tops at x 320 + 96 + 1
  // - 32 = 385, y 320 + 96 + 16 - 3 x 16 = 384 and 32 apart, so the cells whose centres
  // they hold are column 12, rows 12 to 14.
  Run(Command(CMD_SUMMON_BLOCK, 1, [&](cEdShot& s) {
    s.m_nFormation = 0;
    s.m_nDirection = 2;
    s.m_nGroupCount = 3;
    s.m_nSummonPalette = 1;
    s.m_nSummon = static_cast<std::int16_t>(nRecord);
  }));
  for (int step = 0; step < 6; ++step) Step();
  const std::vector<int> column = {Scene().CellIndex(12, 12), Scene().CellIndex(12, 13), Scene().CellIndex(12, 14)};
  EXPECT_EQ(Filled(), column);
  for (int n : column) {
    SCOPED_TRACE(n);
    EXPECT_EQ(g_BlockMap[n]->m_nImage, 7);
    EXPECT_EQ(g_BlockMap[n].GetHitKind(0), 1);
    EXPECT_EQ(&g_BlockMap[n].Block(), &g_BlockMap[column[0]].Block());
  }
  EXPECT_NE(&g_BlockMap[column[0]].Block(), &record);
  EXPECT_EQ(sounds_, 1);

  // A toggle of three tenths on the cell left of the summoner fills it, empties it and
  // fills it again: each tenth is a summon of its own.
  MakeMap();
  Run(Command(CMD_SUMMON_BLOCK, 3, [&](cEdShot& s) {
    s.m_nFormation = 0;
    s.m_nDirection = 2;
    s.m_nBlockSummonMode = 2;
    s.m_nSummonPalette = 1;
    s.m_nSummon = static_cast<std::int16_t>(nRecord);
  }));
  const int left = Scene().CellIndex(12, 13);
  std::vector<bool> filled;
  for (int step = 0; step < 18; ++step) {
    Step();
    if (step % 6 == 0) filled.push_back(!g_BlockMap[left].Empty() && g_BlockMap[left]->m_nImage == 7);
  }
  EXPECT_EQ(filled, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Filled(), std::vector<int>{left});
  // An index beyond the palette summons nothing.
  MakeMap();
  Run(Command(CMD_SUMMON_BLOCK, 1, [&](cEdShot& s) {
    s.m_nSummonPalette = 1;
    s.m_nSummon = static_cast<std::int16_t>(nRecord + 1);
  }));
  Step();
  EXPECT_TRUE(Filled().empty());
  EXPECT_EQ(closes_, 0);
}

}  // namespace
