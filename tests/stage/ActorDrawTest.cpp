#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/SceneManager.h"
#include "gfx/DDPalette.h"
#include "stage/DrawFixture.h"
#include "stage/ImageRef.h"

namespace {

using stagetest::cTestActor;
using stagetest::DrawFixture;
using stagetest::Mark;
using stagetest::MarkRow;
using stagetest::MarkTag;

constexpr int BLOCK_SHEET = 2;
constexpr int CHARA_SHEET = 4;           // 4 + 2k left, 5 + 2k right
constexpr int CHARA_STRETCH_SHEET = 22;  // the same sheets for stretching
constexpr int ITEM_SHEET = 40;
constexpr int ITEM_MINI_SHEET = 42;
constexpr int MARK_SHEET = 43;
constexpr int ACCESSORY = 49;

// Screen position of objects placed by Put: map pixel (420, 400) with the view at (320, 320).
constexpr int SX = 100;
constexpr int SY = 80;

class ActorDrawTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    savedByLayer_ = g_Stage.m_bDrawByLayer;
    savedFrameRate_ = g_SceneManager.m_nFrameRate;
    g_SceneManager.m_nFrameRate = 60;
    ScrollTo(320, 320);
  }
  void TearDown() override {
    g_Stage.m_bDrawByLayer = savedByLayer_;
    g_SceneManager.m_nFrameRate = savedFrameRate_;
    DrawFixture::TearDown();
  }

  // An actor whose 32 x 32 cell is drawn at (SX, SY) with graphic (kind, index, column)
  // and one held pattern.
  static void Put(cActor& a, int nKind, int nSheet, int nIndex, int nColumn, int nPattern = 0) {
    Place(a, 320 + SX, 320 + SY, 32, 32, nKind);
    a.m_Def.m_nImageSheet = static_cast<std::int8_t>(nSheet);
    a.m_nGraphic = nIndex;
    a.m_Def.m_nImageSub = static_cast<std::int16_t>(nColumn);
    a.m_Anime.m_Sequences = {{{nPattern, 1000, 0}, {ANIME_CODE_HOLD, 0, 0}}};
  }
  static cItem& PutItem(int nIndex) {
    cItem& item = g_Items.emplace_back();
    cEdItem def;
    def.m_nImage = static_cast<std::int16_t>(nIndex);
    item.Init(1, def, 0);
    item.m_dX = 320 + SX + item.m_nHitOffX;
    item.m_dY = 320 + SY + item.m_nHitOffY;
    item.m_bOnScreen = 1;
    return item;
  }
  static cChara& PutChara(int nSheet, int nIndex, int nColumn) {
    cChara& c = g_Charas.emplace_back();
    Put(c, 1, nSheet, nIndex, nColumn);
    c.m_bOnScreen = 1;
    return c;
  }

  std::int32_t savedByLayer_ = 0;
  std::int32_t savedFrameRate_ = 0;
};

TEST_F(ActorDrawTest, CharacterCellAtItsPlaceFromTheSheetOfItsFacing) {
  // Index 16: sheet 1 (entries 6 and 7), row 1; column = graphic column + pattern.
  MakeMarked(CHARA_SHEET + 2, 320, 96, 2);
  MakeMarked(CHARA_SHEET + 3, 320, 96, 3);
  MakeMarked(CHARA_STRETCH_SHEET + 2, 320, 96, 4);
  MakeMarked(CHARA_STRETCH_SHEET + 3, 320, 96, 5);
  struct Case {
    int facing, scale, tag;
  };
  for (const Case& c : {Case{0, 1, 2}, Case{1, 1, 3}, Case{0, 2, 4}, Case{1, 2, 5}}) {
    cTestActor actor;
    Put(actor, 1, 1, 16, 2, 1);
    actor.m_nFacing = c.facing;
    actor.m_Def.m_nScale = static_cast<std::uint8_t>(c.scale);
    actor.m_nWidth = actor.m_nHeight = 32 * c.scale;
    const std::uint32_t cleared = FillValue(0);
    actor.Draw(&BackBuffer, 0);
    const int size = 32 * c.scale;
    // Scaled cells stretch the 32-pixel cell from the second sheet: pixel 2i + 1 shows i.
    for (auto [dx, dy] : {std::pair{0, 0}, {31, 31}, {9, 20}}) {
      const int px = c.scale == 1 ? dx : 2 * dx + 1;
      const int py = c.scale == 1 ? dy : 2 * dy + 1;
      EXPECT_EQ(Screen(SX + px, SY + py), Mark(3 * 32 + dx, 32 + dy, c.tag)) << c.facing << " x" << c.scale;
    }
    EXPECT_EQ(Screen(SX + size, SY), cleared);
    EXPECT_EQ(Screen(SX - 1, SY + size - 1), cleared);
  }
}

TEST_F(ActorDrawTest, FlowAnimationsTakeTurnsWithTheOwnPattern) {
  struct Entry {
    int hold, framesLeft, stopped;
  };
  struct Case {
    const char* name;
    std::vector<Entry> entries;
    int pattern;  // entry i shows pattern 10 + i; the own sequence shows 7
  };
  const Case cases[] = {
      {"none", {}, 7},
      {"a free-running one", {{0, 5, 0}}, 10},
      {"least time left", {{1, 3, 0}, {1, 1, 0}}, 11},
      {"the second one at or below 0 locks", {{1, 0, 0}, {1, -2, 0}}, 11},
      {"after the lock the highest at or below 0", {{1, 0, 0}, {1, -2, 0}, {1, -1, 0}}, 12},
      {"a holding one beats a free one", {{0, 2, 0}, {1, 5, 0}}, 11},
      {"a free one never replaces a choice", {{1, 5, 0}, {0, -9, 0}}, 10},
      {"stopped ones are skipped", {{1, 1, 1}, {0, 4, 0}}, 11},
      {"all stopped", {{1, 1, 1}}, 7},
  };
  for (const Case& c : cases) {
    cTestActor actor;
    actor.m_Anime.m_Sequences = {{{7, 1000, 0}, {ANIME_CODE_HOLD, 0, 0}}};
    int i = 0;
    for (const Entry& e : c.entries) {
      cFlowAnime& a = actor.m_FlowAnimes.emplace_back();
      a.m_Anime.m_Sequences = {{{10 + i++, 1000, 0}, {ANIME_CODE_HOLD, 0, 0}}};
      a.m_bHold = e.hold;
      a.m_nFramesLeft = e.framesLeft;
      a.m_bStopped = e.stopped;
    }
    EXPECT_EQ(actor.CurrentPattern(1), c.pattern) << c.name;
    EXPECT_EQ(actor.CurrentPattern(1), c.pattern) << c.name << ": frozen twice";
  }
  // Unfrozen: counters fall by one, and an animation that ends is dropped.
  cTestActor actor;
  actor.m_Anime.m_Sequences = {{{7, 1000, 0}, {ANIME_CODE_HOLD, 0, 0}}};
  cFlowAnime& ending = actor.m_FlowAnimes.emplace_back();
  ending.m_Anime.m_Sequences = {{{3, 1, 0}, {ANIME_CODE_END, 0, 0}}};
  ending.m_bHold = 1;
  cFlowAnime& lasting = actor.m_FlowAnimes.emplace_back();
  lasting.m_Anime.m_Sequences = {{{4, 1000, 0}, {ANIME_CODE_HOLD, 0, 0}}};
  lasting.m_nFramesLeft = 3;
  EXPECT_EQ(actor.CurrentPattern(0), 4);
  ASSERT_EQ(actor.m_FlowAnimes.size(), 1u);
  EXPECT_EQ(actor.m_FlowAnimes.front().m_nFramesLeft, 2);
}

TEST_F(ActorDrawTest, ObjectsByLayerOrInGroups) {
  // Player from the block sheet (tag 2), item (tag 3), character (tag 4), all at one place.
  MakeMarked(BLOCK_SHEET, 96, 480, 2);
  MakeMarked(ITEM_SHEET, 128, 480, 3);
  MakeMarked(CHARA_SHEET, 320, 480, 4);
  cPlayer& player = g_Players[0];
  Put(player, 0, 0, 0, 0);
  cItem& item = PutItem(0);
  cChara& chara = PutChara(1, 0, 0);
  struct Case {
    int byLayer, playerZ, itemLayer, charaZ, top;
  };
  const Case cases[] = {
      // clang-format off
      {0, 7, 7, 0, 4},  // groups: player, items, characters
      {1, 5, 3, 2, 2},  // layers: the highest is on top
      {1, 1, 6, 2, 3},
      {1, 0, 0, 0, 4},  // one layer: the groups' order
      {1, 9, 0, 0, 2},  // beyond the last layer: drawn in the last
      // clang-format on
  };
  for (const Case& c : cases) {
    g_Stage.m_bDrawByLayer = c.byLayer;
    player.m_Def.m_nZ = static_cast<std::uint8_t>(c.playerZ);
    item.m_Def.m_nGroup5 = static_cast<std::uint8_t>(c.itemLayer);
    chara.m_Def.m_nZ = static_cast<std::uint8_t>(c.charaZ);
    FillValue(0);
    Scene().DrawObjects(&BackBuffer, 1);
    EXPECT_EQ(MarkTag(Screen(SX + 5, SY + 5)), c.top) << c.byLayer << " " << c.playerZ << c.itemLayer << c.charaZ;
  }
  // An item off screen is not drawn.
  item.m_bOnScreen = 0;
  chara.m_bOnScreen = 0;
  player.m_Def.m_nZ = 0;
  item.m_Def.m_nGroup5 = 7;
  FillValue(0);
  Scene().DrawObjects(&BackBuffer, 1);
  EXPECT_EQ(MarkTag(Screen(SX + 5, SY + 5)), 2);
}

TEST_F(ActorDrawTest, GaugeBarAndDamagePart) {
  cTestActor actor;
  Put(actor, 1, 0, 0, 0);
  actor.CalcScreenRect();
  // Bar left: x + w / 2 - 25; top y - 3 (HP) or y - 7 (SP).
  const int x = SX + 16 - 25;
  struct Case {
    int sheetHeight, sp, length;
    double damage;
    int counter;
    int rowStart, rowStep;
  };
  const Case cases[] = {
      {200, 0, 20, -10, 100, 128, 16}, {200, 1, 20, 6, 100, 128, 16},  {200, 0, 12, 0, 100, 128, 16},
      {240, 0, 20, -10, 100, 208, 2},  {200, 0, 20, -10, 59, 128, 16},
  };
  for (const Case& c : cases) {
    MakeMarked(ACCESSORY, 128, c.sheetHeight);
    cGauge& gauge = c.sp ? actor.m_SpGauge : actor.m_HpGauge;
    gauge = cGauge{c.counter, c.damage, c.damage / 10, c.length};
    const int y = SY - (c.sp ? 7 : 3);
    auto row = [&](int r) { return c.rowStart + r * c.rowStep; };
    const std::uint32_t cleared = FillValue(0);
    actor.DrawGauges(&BackBuffer);
    const int barRow = c.length <= 16 ? 2 : 1;
    EXPECT_EQ(Screen(x, y), Mark(c.sp ? 64 : 0, row(barRow), 1));
    EXPECT_EQ(Screen(x + 49, y + 1), Mark((c.sp ? 64 : 0) + 49, row(0) + 1, 1));
    EXPECT_EQ(Screen(x + 50, y), cleared);
    // A loss shows right of the bar's end from row 3, a gain over its end from row 4.
    if (c.damage < 0) {
      EXPECT_EQ(MarkRow(Screen(x + c.length, y)), row(3));
      EXPECT_EQ(MarkRow(Screen(x + c.length - c.damage - 1, y)), row(3));
      EXPECT_EQ(MarkRow(Screen(x + c.length - c.damage, y)), row(0));
    } else if (c.damage > 0) {
      EXPECT_EQ(MarkRow(Screen(x + c.length - 1, y)), row(4));
      EXPECT_EQ(MarkRow(Screen(x + c.length - c.damage, y)), row(4));
      EXPECT_EQ(MarkRow(Screen(x + c.length - c.damage - 1, y)), row(1));
    }
    EXPECT_EQ(gauge.m_nCounter, c.counter - 1);
    EXPECT_DOUBLE_EQ(gauge.m_dDamage, c.counter - 1 < 60 ? 0.0 : c.damage - c.damage / 10);
  }
  // A gauge with no frames left is gone.
  actor.m_HpGauge.m_nCounter = 0;
  actor.m_SpGauge.m_nCounter = 0;
  const std::uint32_t cleared = FillValue(0);
  actor.DrawGauges(&BackBuffer);
  EXPECT_EQ(Screen(x, SY - 3), cleared);
}

TEST_F(ActorDrawTest, GraphicIndexesOutsideTheirRangeDrawNothing) {
  MakeMarked(CHARA_SHEET, 320, 96, 2);
  g_Database.m_BmpCharaExcs.resize(2);
  struct Case {
    const char* name;
    int sheet, index, column;
    bool fallback;  // the first cell of the first character sheet
  };
  const Case cases[] = {
      {"bitmap 0", 4, 0, 0, false},
      {"bitmap beyond the database", 4, 5, 0, false},
      {"bitmap without loaded surfaces", 4, 1, 0, false},
      {"unknown kind", 7, 0, 0, false},
      {"negative column", 1, 0, -3, false},
      {"negative block", 0, -1, 0, false},
      {"character sheet beyond the eight", 1, 200, 0, true},
  };
  for (const Case& c : cases) {
    cTestActor actor;
    Put(actor, 1, c.sheet, c.index, c.column);
    const std::uint32_t cleared = FillValue(0);
    EXPECT_NO_THROW(actor.Draw(&BackBuffer, 0)) << c.name;
    EXPECT_EQ(Screen(SX + 3, SY + 4), c.fallback ? Mark(3, 4, 2) : cleared) << c.name;
  }
  // A sequence number the animation lacks ends it: nothing is drawn.
  cTestActor actor;
  Put(actor, 1, 1, 0, 0);
  actor.m_Anime.m_nSequence = 5;
  const std::uint32_t cleared = FillValue(0);
  EXPECT_NO_THROW(actor.Draw(&BackBuffer, 0));
  EXPECT_EQ(Screen(SX + 3, SY + 4), cleared);
}

TEST_F(ActorDrawTest, DeadCharactersLeaveWhenTheirEndingFinishes) {
  MakeMarked(CHARA_SHEET, 320, 96, 2);
  PutChara(1, 0, 0);
  cChara& dead = PutChara(1, 0, 0);
  dead.m_bDead = 1;
  dead.m_nSerial = 2;
  Scene().DrawObjects(&BackBuffer, 0);
  ASSERT_EQ(g_Charas.size(), 1u);
  EXPECT_EQ(g_Charas.front().m_bDead, 0);
  // The dead player lies for one second (the frame rate) of unfrozen frames.
  cPlayer& player = g_Players[0];
  Put(player, 0, 0, 0, 0);
  player.m_bDead = 1;
  for (int frame = 1; frame <= 60; ++frame) {
    Scene().DrawObjects(&BackBuffer, 0);
    Scene().DrawObjects(&BackBuffer, 1);
  }
  EXPECT_EQ(Scene().m_bPlayerDeathEnded, 0);
  Scene().DrawObjects(&BackBuffer, 0);
  EXPECT_EQ(Scene().m_bPlayerDeathEnded, 1);
}

TEST_F(ActorDrawTest, ItemCellAnimationAndEmblem) {
  MakeMarked(ITEM_SHEET, 128, 480, 3);
  MakeMarked(MARK_SHEET, 96, 480, 5);
  cItem& item = PutItem(16);  // column 1 (x 64), row 1
  item.CalcScreenRect();
  // Two patterns of 15 ticks: the 15th advancing draw shows pattern 1.
  for (int frame = 1; frame <= 15; ++frame) {
    FillValue(0);
    item.Draw(&BackBuffer, 1);
    EXPECT_EQ(Screen(SX + 2, SY + 3), Mark(64 + (frame < 15 ? 0 : 32) + 2, 32 + 3, 3)) << frame;
  }
  item.Draw(&BackBuffer, 0);
  EXPECT_EQ(Screen(SX + 2, SY + 3), Mark(96 + 2, 32 + 3, 3));
  // Emblem 16 sits over it: 15 emblems a column.
  item.m_Def.m_nMarkShow = 1;
  item.m_Def.m_nMark = 16;
  item.Draw(&BackBuffer, 0);
  EXPECT_EQ(Screen(SX + 2, SY + 3), Mark(32 + 2, 32 + 3, 5));
  // Hidden: neither the item nor its emblem.
  item.m_Def.m_bTransparent = 1;
  const std::uint32_t cleared = FillValue(0);
  item.Draw(&BackBuffer, 1);
  EXPECT_EQ(Screen(SX + 2, SY + 3), cleared);
}

TEST_F(ActorDrawTest, HeldItemIconBlinksInTheLastThirdOfItsCycle) {
  MakeMarked(CHARA_SHEET, 320, 96, 2);
  MakeMarked(ITEM_MINI_SHEET, 64, 240, 6);
  cChara& chara = PutChara(1, 0, 0);
  cEdItem def;
  chara.m_Item.Init(2, def, 1);
  chara.CalcScreenRect();
  // At x + w / 2 - item width / 4, y - item height / 2.
  const int ix = SX + 16 - 8;
  const int iy = SY - 16;
  std::vector<int> shown;
  for (int frame = 1; frame <= 192; ++frame) {
    FillValue(0);
    chara.DrawHeldItemIcon(&BackBuffer);
    if (MarkTag(Screen(ix + 1, iy + 1)) == 6) shown.push_back(frame);
  }
  ASSERT_EQ(shown.size(), 64u);
  EXPECT_EQ(shown.front(), 64);
  EXPECT_EQ(shown[31], 95);
  EXPECT_EQ(shown[32], 64 + 96);
}

TEST_F(ActorDrawTest, PlayerBoxesFilledOrFramedWithCyclingColour) {
  cPlayer& player = g_Players[0];
  Put(player, 0, 7, 0, 0);  // a graphic kind that draws nothing
  player.m_nHitOffX = 4;
  player.m_nHitOffY = 2;
  player.m_BoxA.m_nOffX = 3;
  player.m_BoxA.m_nOffY = 5;
  cDebugBox filled{0, 1, 208, 0, 0, 10, 12, 8};
  cDebugBox framed{1, 2, 212, 0, 0, 6, 6, 31};
  player.m_DebugBoxes = {filled, framed};
  const PALETTEENTRY saved209 = g_Palette[209];
  const PALETTEENTRY saved215 = g_Palette[215];
  g_Palette[209] = PALETTEENTRY{200, 10, 10, 0};
  g_Palette[215] = PALETTEENTRY{10, 200, 10, 0};
  const std::uint32_t colour209 = FillValue(209);
  const std::uint32_t colour215 = FillValue(215);
  const std::uint32_t cleared = FillValue(0);
  player.Draw(&BackBuffer, 1);
  g_Palette[209] = saved209;
  g_Palette[215] = saved215;
  // The body box lies at the body's place (the drawn cell less the body offset);
  // colour plus the cycle / 8.
  EXPECT_EQ(Screen(SX, SY), colour209);
  EXPECT_EQ(Screen(SX + 9, SY + 11), colour209);
  EXPECT_EQ(Screen(SX + 10, SY), cleared);
  // Box A at its offset from the body; a frame one pixel thick over the larger box.
  EXPECT_EQ(Screen(SX + 3, SY + 5), colour215);
  EXPECT_EQ(Screen(SX + 8, SY + 10), colour215);
  EXPECT_EQ(Screen(SX + 5, SY + 7), colour209);
  EXPECT_EQ(player.m_DebugBoxes[0].m_nCycle, 9);
  EXPECT_EQ(player.m_DebugBoxes[1].m_nCycle, 0);
}

}  // namespace
