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
#include "gamedata/Database.h"
#include "gamedata/Move.h"
#include "gamedata/Vocabulary.h"
#include "platform/bmp.h"
#include "platform/fs.h"
#include "platform/messaging.h"
#include "stage/EffectData.h"
#include "stage/StageFixture.h"
#include "stage/StageLinks.h"
#include "test_support/Graphics.h"

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
    savedPictures_ = g_Database.m_Pictures;
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
    Scene().ReleasePictures();
    graphics_.Close();
    g_Database.m_Pictures = savedPictures_;
    StageFixture::TearDown();
  }
  cPlayer& Player() { return g_Players[0]; }

  plat::WindowToken window_{};
  std::vector<plat::Msg> sent_;
  cVector<cEdBackground> savedBackgrounds_;
  cVector<cEdPicture> savedPictures_;
  stagetest::ScopedEffectData effects_;
  test_support::Graphics graphics_;
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
  EXPECT_EQ(
      std::tuple(c.m_nRed, c.m_nGreen, c.m_nBlue, c.m_nStrength, c.m_nFrames, c.m_bFlash, c.m_nFlashCount, c.m_bActive),
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

// The rest of an item's commands: the basic animation set, effects and pictures placed on
// the player, and the commands that hold the game. While one holds, the game only draws:
// a wait of n frames draws n frames (an effect for its frames, a game wait and a timed
// picture for their tenths of a second).
TEST_F(ItemCommandsTest, AnimeSetEffectsPicturesAndWaitsOfAnItemList) {
  ASSERT_TRUE(graphics_.Open(false, false));
  MakeMap();
  cPlayer& p = Player();
  Place(p, 640, 640, 32, 32, 0);  // screen rectangle (320, 320)-(351, 351), centre (336, 336)
  p.CalcScreenRect();
  p.m_Def.m_nMaxHP = 10;
  p.m_nHp = 10;
  g_Database.m_AnimeSets.resize(3);
  g_Database.m_AnimeSets[2].m_Slots.clear();
  g_Database.m_AnimeSets[2].m_Slots.push_back(cEdAnime());
  {
    cEdAnimeFrame f;
    f.m_nPattern = 5;
    f.m_nTime = 2;
    g_Database.m_AnimeSets[2].m_Slots[0].m_Frames.assign(1, f);
  }
  const int nEffect = effects_.AddEffect(40, 40, {{0, 1}});
  const int nLongEffect = effects_.AddEffect(8, 8, {{0, 1}, {1, 2}});  // three tenths
  effects_.Build();
  const int nPicture = 2;
  {
    std::vector<std::uint32_t> pixels(40 * 20, 0x00336699);
    const std::string path = root_ + "\\pic.bmp";
    ASSERT_TRUE(plat::fs::writeFileAtomic(path, plat::bmp::encodeRgb(40, 20, pixels.data())));
    g_Database.m_Pictures.resize(nPicture + 1);
    g_Database.m_Pictures[nPicture].m_strFile = path;
  }

  // Each frame drawn while the game is held, by the kind of hold, and what the held
  // scene shows.
  std::vector<int> heldFrames;
  std::vector<std::size_t> popups, pictures, effects;
  const auto savedBegin = g_StageLinks.beginSubLoopFrame;
  const auto savedPresent = g_StageLinks.presentSubLoopFrame;
  g_StageLinks.beginSubLoopFrame = [](cVector<cPad>&) { return true; };
  g_StageLinks.presentSubLoopFrame = [&] {
    heldFrames.push_back(Scene().m_Wait.m_nMode);
    popups.push_back(Scene().m_Popups.size());
    pictures.push_back(Scene().m_Pictures.size());
    effects.push_back(Scene().m_Effects.size());
  };
  g_bActive = 1;

  cVector<cEdCommand> list;
  list.push_back(ItemCmd(CMD_ANIME_SET, {0x10002}));                          // a 16-bit set number: set 2
  list.push_back(ItemCmd(CMD_EFFECT, {nEffect, 1, 0, 0, 0, 0, 100, 0}));      // on the player
  list.push_back(ItemCmd(CMD_EFFECT, {nLongEffect, 0, 0, 0, 0, 0, 100, 1}));  // halting
  list.push_back(ItemCmd(CMD_GAME_WAIT, {2}));
  list.push_back(ItemCmd(CMD_PICTURE, {nPicture, 1, 0, 0, 0, 0, 1, 100, 1, 0, 0}));  // on the player
  list.push_back(ItemCmd(CMD_PICTURE, {nPicture, 0, 0, 0, 0, 0, 1, 100, 2, 1, 1}));  // one tenth, halting
  const int nResult = p.RunItemCommands(list);

  g_bActive = 0;
  g_StageLinks.beginSubLoopFrame = savedBegin;
  g_StageLinks.presentSubLoopFrame = savedPresent;
  EXPECT_EQ(nResult, 0);

  EXPECT_EQ(p.m_Def.m_nAnimeSet, 2);
  ASSERT_EQ(p.m_Anime.m_Sequences.Size(), 1);
  ASSERT_GE(p.m_Anime.m_Sequences[0].Size(), 1);
  EXPECT_EQ(p.m_Anime.m_Sequences[0][0].nPattern, 5);
  EXPECT_EQ(p.m_Anime.m_Sequences[0][0].nFrames, 12);

  // The effect on the player stays, centred on it: 320 + 336 - 20.
  ASSERT_EQ(Scene().m_Effects.size(), 1u);
  const cEffect& fx = Scene().m_Effects.front();
  EXPECT_EQ(std::tuple(fx.m_nIndex, fx.m_nWidth, fx.m_nHeight), std::tuple(nEffect, 40, 40));
  EXPECT_DOUBLE_EQ(fx.m_dX, 636);
  EXPECT_DOUBLE_EQ(fx.m_dY, 636);

  // The held picture went with its hold; the other one, centred on the player, stays.
  ASSERT_EQ(Scene().m_Pictures.size(), 1u);
  const cPicture& pic = Scene().m_Pictures.front();
  EXPECT_EQ(std::tuple(pic.m_nIndex, pic.m_nWidth, pic.m_nHeight), std::tuple(nPicture, 40, 20));
  EXPECT_DOUBLE_EQ(pic.m_dX, 320 + 336 - 20);
  EXPECT_DOUBLE_EQ(pic.m_dY, 320 + 336 - 10);

  // 18 frames for the effect's three tenths, 12 for the game wait, 6 for the picture.
  std::vector<int> expected(18, WAIT_EFFECT);
  expected.insert(expected.end(), 12, WAIT_GAME);
  expected.insert(expected.end(), 6, WAIT_PICTURE);
  EXPECT_EQ(heldFrames, expected);
  ASSERT_EQ(popups.size(), expected.size());
  // An invisible timer stands in the popup list for the game wait only.
  EXPECT_EQ(popups[0], 0u);
  EXPECT_EQ(popups[18], 1u);
  EXPECT_EQ(popups[29], 1u);
  EXPECT_EQ(popups[30], 0u);
  EXPECT_TRUE(Scene().m_Popups.empty());
  // The halting effect plays while it holds the game, the other one stands: its 18 ticks
  // show it on 17 frames, and the tick of the 18th ends it. The held picture is up while
  // the game is held for it.
  EXPECT_EQ(effects[0], 2u);
  EXPECT_EQ(effects[16], 2u);
  EXPECT_EQ(effects[17], 1u);
  EXPECT_EQ(pictures[30], 2u);
  EXPECT_EQ(closes_, 0);
}

}  // namespace
