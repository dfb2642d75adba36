// The commands an item's list carries out, each on the player who took the item: the
// same bodies as the flow commands, reached through the item numbering (item type =
// flow type - 15) and the item runner.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "flow/CommandTables.h"
#include "gamedata/Move.h"
#include "gamedata/Vocabulary.h"
#include "platform/messaging.h"
#include "stage/StageFixture.h"

namespace {

cEdCommand ItemCmd(int flowType, std::vector<std::int32_t> params, std::string text = "") {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(flowType - ITEM_TYPE_OFFSET);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.m_strText = std::move(text);
  return c;
}

class ItemCommandsTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedBackgrounds_ = g_Stage.m_Backgrounds;
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      sent_.push_back(m);
      return 0;
    });
    g_hWnd.store(window_);
  }
  void TearDown() override {
    g_hWnd.store(0);
    plat::unregisterWindow(window_);
    g_Stage.m_Backgrounds = savedBackgrounds_;
    StageFixture::TearDown();
  }
  cPlayer& Player() { return g_Players[0]; }

  plat::WindowToken window_{};
  std::vector<plat::Msg> sent_;
  cVector<cEdBackground> savedBackgrounds_;
};

TEST_F(ItemCommandsTest, EachCommandOfAnItemListActsOnThePlayerWhoTookIt) {
  MakeMap();
  cPlayer& p = Player();
  const double x0 = (10 + 10) * 32, y0 = (10 + 10) * 32;
  Place(p, x0, y0);
  p.m_nKind = 0;
  p.m_nFacing = 0;
  p.m_Def.m_nMaxHP = 10;
  p.m_nHp = 10;
  p.m_Variables.assign(9, 0);
  p.m_bOnScreen = 1;
  g_Stage.m_Backgrounds.resize(2);
  g_Stage.m_Backgrounds[0].m_bVisible = g_Stage.m_Backgrounds[1].m_bVisible = 1;

  cEdCommand warp = ItemCmd(CMD_WARP, {});
  warp.NewMove();
  warp.m_pMove->m_nMode = 0;       // by a direction
  warp.m_pMove->m_nDirection = 6;  // up
  warp.m_pMove->m_nDistance = 2;   // half blocks
  cVector<cEdCommand> list;
  list.push_back(warp);
  list.push_back(ItemCmd(CMD_TARGET, {1}));         // itself
  list.push_back(ItemCmd(CMD_STATUS2, {0, 3, 2}));  // its own flight, mode 2
  list.push_back(ItemCmd(CMD_GRAPHIC, {0x104, 7, -2}));
  list.push_back(ItemCmd(CMD_SCREEN_COLOR, {255, 128, 0, 60, 0, 5, 1, 3}));
  list.push_back(ItemCmd(CMD_BACKGROUND, {2, 1}));  // layer 2 hidden
  list.push_back(ItemCmd(CMD_SOUND, {5}));
  list.push_back(ItemCmd(CMD_BGM, {3, 1}));
  list.push_back(ItemCmd(CMD_CODE, {}, "my.v3 = 12"));
  ASSERT_EQ(p.RunItemCommands(list), 0);

  EXPECT_DOUBLE_EQ(p.m_dX, x0);
  EXPECT_DOUBLE_EQ(p.m_dY, y0 - 2 * 16);  // two half blocks
  EXPECT_EQ(p.m_pTarget, &p);
  EXPECT_EQ(std::tuple(p.m_bFlying, p.m_Def.m_nFlying), std::tuple(1, 2));
  EXPECT_EQ(std::tuple(p.m_Def.m_nImageSheet, p.m_nGraphic, p.m_Def.m_nImage, p.m_Def.m_nImageSub),
            std::tuple(4, 7, 7, -2));
  const cScreenColor& c = Scene().m_ScreenColor;
  // Five tenths of a second are 30 frames at 60 a second.
  EXPECT_EQ(std::tuple(c.m_nRed, c.m_nGreen, c.m_nBlue, c.m_nStrength, c.m_nFrames, c.m_bFlash, c.m_nFlashCount,
                       c.m_bActive),
            std::tuple(255, 128, 0, 60, 30, 1, 3, 1));
  EXPECT_EQ(g_Stage.m_Backgrounds[0].m_bVisible, 1);
  EXPECT_EQ(g_Stage.m_Backgrounds[1].m_bVisible, 0);
  EXPECT_EQ(p.m_Variables[3], 12);
  // Database sound 5 is entry 16 + 5 of the sound table; the music goes to the window.
  ASSERT_GE(sent_.size(), 1u);
  EXPECT_EQ(sent_[0].id, appmsg::PlaySound);
  EXPECT_EQ(sent_[0].w, 16u + 5u);
  EXPECT_EQ(std::count_if(sent_.begin(), sent_.end(), [](const plat::Msg& m) { return m.id == appmsg::PlayMusic; }), 1);
  EXPECT_EQ(closes_, 0);
}

}  // namespace
