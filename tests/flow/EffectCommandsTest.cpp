// The effect, character-effect, screen-effect, picture and screen-colour commands, run
// by a character's flow or an item's list.
#include <gtest/gtest.h>

#include <vector>

#include "FlowFixture.h"
#include "base/AppGlobals.h"
#include "flow/CommandTables.h"
#include "gamedata/Database.h"
#include "gfx/DDSurface.h"
#include "platform/bmp.h"
#include "platform/fs.h"
#include "stage/EffectData.h"
#include "stage/StageLinks.h"
#include "test_support/Graphics.h"

namespace flowtest {
namespace {

using stagetest::ScopedEffectData;

cEdCommand Cmd(int type, std::vector<std::int32_t> params) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  return c;
}

class EffectCommandsTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    savedPictures_ = g_Database.m_Pictures;
    cScrollAxis& x = scene_->m_ScrollX;
    cScrollAxis& y = scene_->m_ScrollY;
    x.m_nMargin = y.m_nMargin = 10;
    x.m_dPos = 400.5;
    y.m_dPos = 352.0;
    chara_.m_ScreenRect.left = 100;
    chara_.m_ScreenRect.top = 60;
    chara_.m_nWidth = chara_.m_nHeight = 32;
    Player().m_ScreenRect.left = 300;
    Player().m_ScreenRect.top = 200;
    Player().m_nWidth = Player().m_nHeight = 64;
  }
  void TearDown() override {
    scene_->ReleasePictures();
    graphics_.Close();
    g_Database.m_Pictures = savedPictures_;
    FlowFixture::TearDown();
  }
  // One step of a flow holding the command.
  void Run(const cEdCommand& c) {
    chara_.m_Def.m_Flows.clear();
    chara_.m_Def.m_Flows.push_back(Flow(0, {c}));
    chara_.BuildFlows(chara_.m_Def.m_Flows, 0, 0, -1);
    chara_.m_SwitchBusy.assign(27, 0);
    chara_.m_SwitchEnded.assign(27, 0);
    chara_.m_SwitchStarted.assign(27, 0);
    chara_.ResetFlowTriggerFlags();
    chara_.FireFlowTrigger(0);
    chara_.RunFlowPass(0);
  }
  // Picture n of the database names a w x h bitmap written for the test.
  void WritePicture(int n, int w, int h) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h), 0x00336699);
    const std::string path = root_ + "\\pic.bmp";
    ASSERT_TRUE(plat::fs::writeFileAtomic(path, plat::bmp::encodeRgb(w, h, pixels.data())));
    g_Database.m_Pictures.resize(static_cast<std::size_t>(n + 1));
    g_Database.m_Pictures[n].m_strFile = path;
  }

  ScopedEffectData data_;
  test_support::Graphics graphics_;
  cVector<cEdPicture> savedPictures_;
};

TEST_F(EffectCommandsTest, AnEffectIsSizedByItsPercentAndPlacedByItsPlacement) {
  const int e = data_.AddEffect(33, 33, {{0, 1}});
  data_.Build();
  // 50 % of 33 is 16.5, which rounds up to 17; a centred effect then sits 8 to the left.
  const struct {
    const char* name;
    int placement, cx, cy, dx, dy;
    double x, y;
  } rows[] = {
      {"screen centre", 0, 0, 0, 0, 0, 400.5 + 320 - 8, 352 + 240 - 8},
      {"screen centre with offsets", 0, 5, 5, 3, -2, 400.5 + 320 - 8 + 3, 352 + 240 - 8 - 2},
      {"the actor's centre", 1, 0, 0, 0, 0, 116 + 400.5 - 8, 76 + 352 - 8},
      {"the hero's centre", 2, 0, 0, 1, 1, 332 + 400.5 - 8 + 1, 232 + 352 - 8 + 1},
      {"a screen block", 3, 2, 1, 4, 4, 64 + 400.5 + 4, 32 + 352 + 4},
      {"a stage block", 4, 2, 1, 4, 4, (2 + 10) * 32 + 4, (1 + 10) * 32 + 4},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    scene_->m_Effects.clear();
    Run(Cmd(CMD_EFFECT, {e, r.placement, r.cx, r.cy, r.dx, r.dy, 50, 0}));
    ASSERT_EQ(scene_->m_Effects.size(), 1u);
    const cEffect& fx = scene_->m_Effects.front();
    EXPECT_EQ(std::tuple(fx.m_nWidth, fx.m_nHeight, fx.m_bStretched, fx.m_bHalting), std::tuple(17, 17, 1, 0));
    EXPECT_DOUBLE_EQ(fx.m_dX, r.x);
    EXPECT_DOUBLE_EQ(fx.m_dY, r.y);
  }
  // Number 0 takes every running effect away.
  Run(Cmd(CMD_EFFECT, {e, 0, 0, 0, 0, 0, 100, 0}));
  EXPECT_EQ(scene_->m_Effects.size(), 2u);
  EXPECT_EQ(scene_->m_Effects.back().m_bStretched, 0);
  Run(Cmd(CMD_EFFECT, {0, 0, 0, 0, 0, 0, 100, 0}));
  EXPECT_TRUE(scene_->m_Effects.empty());
  EXPECT_EQ(closes_, 0);
}

TEST_F(EffectCommandsTest, CharacterAndScreenEffectsStartWithTheirRunModes) {
  const int grow = data_.AddCharaEffect(11, {5, 32, 64});
  const int shake = data_.AddScrEffect(2, {10, 4, 4});
  data_.Build();
  Run(Cmd(CMD_CHARA_EFFECT, {grow, EFFECT_RUN_REVERSED, 1}));
  EXPECT_EQ(std::tuple(chara_.m_CharaEffect.m_nIndex, chara_.m_CharaEffect.m_nMode, chara_.m_CharaEffect.m_bLoop),
            std::tuple(grow, 1, 1));
  EXPECT_DOUBLE_EQ(chara_.m_CharaEffect.m_dValue, 64.0);
  Run(Cmd(CMD_SCR_EFFECT, {shake, EFFECT_RUN_ROUND_TRIP, 0}));
  EXPECT_EQ(std::tuple(scene_->m_ScreenEffect.m_nIndex, scene_->m_ScreenEffect.m_nMode), std::tuple(shake, 2));
  Run(Cmd(CMD_SCREEN_COLOR, {255, 128, 0, 60, 0, 5, 1, 3}));
  const cScreenColor& c = scene_->m_ScreenColor;
  EXPECT_EQ(std::tuple(c.m_nRed, c.m_nGreen, c.m_nBlue, c.m_nStrength, c.m_nFrames, c.m_bFlash, c.m_nFlashCount,
                       c.m_bActive, c.m_nAlpha),
            std::tuple(255, 128, 0, 60, 30, 1, 3, 1, 0));
  // The same bodies serve item lists: item commands 13 to 17 are types 28 to 32.
  cVector<cEdCommand> list;
  list.push_back(Cmd(CMD_CHARA_EFFECT - ITEM_TYPE_OFFSET, {grow, 0, 0}));
  list.push_back(Cmd(CMD_SCR_EFFECT - ITEM_TYPE_OFFSET, {0, 0, 0}));
  Player().m_Def.m_nMaxHP = 10;
  Player().m_nHp = 10;
  EXPECT_EQ(Player().RunItemCommands(list), 0);
  EXPECT_EQ(Player().m_CharaEffect.m_nIndex, grow);
  EXPECT_EQ(scene_->m_ScreenEffect.m_nIndex, 0);
}

TEST_F(EffectCommandsTest, APictureIsShownSizedAndPlacedAndAMissingOneIsSkipped) {
  ASSERT_TRUE(graphics_.Open(false, false));
  WritePicture(2, 40, 20);
  g_Database.m_Pictures.resize(4);
  g_Database.m_Pictures[3].m_strFile = root_ + "\\missing.bmp";
  // 150 % of 40 x 20, at a screen block, in front, for 2 tenths.
  Run(Cmd(CMD_PICTURE, {2, 3, 1, 2, 0, 0, 1, 150, 2, 2, 0}));
  ASSERT_EQ(scene_->m_Pictures.size(), 1u);
  const cPicture& p = scene_->m_Pictures.front();
  EXPECT_EQ(std::tuple(p.m_nWidth, p.m_nHeight, p.m_bStretched, p.m_nLayer, p.m_nMode, p.m_nFrames),
            std::tuple(60, 30, 1, 1, 2, 12));
  EXPECT_DOUBLE_EQ(p.m_dX, 32 + 400.5);
  EXPECT_DOUBLE_EQ(p.m_dY, 64 + 352);
  EXPECT_EQ(g_PictureSurfaces.size(), 1u);
  // The bitmap that is not there: a report line, no picture, and the game goes on.
  Run(Cmd(CMD_PICTURE, {3, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0}));
  EXPECT_EQ(scene_->m_Pictures.size(), 1u);
  EXPECT_EQ(g_PictureSurfaces.size(), 1u);
  EXPECT_EQ(g_PictureSurfaceInfos.size(), 1u);
  EXPECT_NE(Report().find("missing.bmp"), std::string::npos);
  EXPECT_EQ(closes_, 0);
  // A timed picture counts down in drawn frames and leaves with its surface.
  for (int i = 0; i < 12; ++i) scene_->DrawPictures(&BackBuffer, 1, 0);
  EXPECT_EQ(scene_->m_Pictures.size(), 1u);
  scene_->DrawPictures(&BackBuffer, 1, 0);
  EXPECT_TRUE(scene_->m_Pictures.empty());
  EXPECT_TRUE(g_PictureSurfaces.empty());
  // Number 0 takes every picture down.
  Run(Cmd(CMD_PICTURE, {2, 0, 0, 0, 0, 0, 0, 100, 1, 0, 0}));
  Run(Cmd(CMD_PICTURE, {2, 0, 0, 0, 0, 0, 0, 100, 1, 0, 0}));
  EXPECT_EQ(scene_->m_Pictures.size(), 2u);
  Run(Cmd(CMD_PICTURE, {0}));
  EXPECT_TRUE(scene_->m_Pictures.empty());
  EXPECT_TRUE(g_PictureSurfaces.empty());
}

// While a halting picture holds the game another one comes: the holder takes down its
// own picture and surface, not the newest.
TEST_F(EffectCommandsTest, AHaltingPictureTakesDownItsOwnPicture) {
  ASSERT_TRUE(graphics_.Open(false, false));
  WritePicture(2, 40, 20);
  const auto savedFrame = g_StageLinks.beginSubLoopFrame;
  g_StageLinks.beginSubLoopFrame = [this](cVector<cPad>&) {
    if (scene_->m_Pictures.size() == 1) {
      DDCreateSurface(&g_PictureSurfaces.emplace_back(), 8, 8, 1, 1, 1, 0, true);
      g_PictureSurfaceInfos.emplace_back();
      scene_->m_Pictures.emplace_back(7, 0.0, 0.0, 8, 8, 1, 100, SHOW_UNTIL_STAGE_END, 0, 0);
    }
    scene_->m_Wait.m_nFrames = 0;  // the wait ends in this frame
    return true;
  };
  g_bActive = 1;
  Run(Cmd(CMD_PICTURE, {2, 0, 0, 0, 0, 0, 1, 100, 2, 1, 1}));  // timed, halting
  g_bActive = 0;
  g_StageLinks.beginSubLoopFrame = savedFrame;
  ASSERT_EQ(scene_->m_Pictures.size(), 1u);
  EXPECT_EQ(scene_->m_Pictures.front().m_nIndex, 7);
  ASSERT_EQ(g_PictureSurfaces.size(), 1u);
  EXPECT_EQ(g_PictureSurfaces.front().nWidth, 8);
  EXPECT_EQ(g_PictureSurfaceInfos.size(), 1u);
}

}  // namespace
}  // namespace flowtest
