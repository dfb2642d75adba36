#include "gamedata/Stage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <variant>

#include "PaletteFixture.h"
#include "gamedata/RecordList.h"

namespace {

using rt::Bytes;

class StageTest : public rt::PaletteFixture {};

// A stage file of version v as that version wrote it (no end code before 173).
std::string StageFile(cEdStage& stage, std::uint32_t v = CURRENT_DATA_VERSION) {
  rt::ScopedDataVersion version(v);
  cDataWriter out;
  out.WriteU32(v);
  stage.Save(out);
  std::string bytes = out.Bytes();
  if (v < 173) bytes.resize(bytes.size() - 4);
  return bytes;
}

bool LoadFile(cEdStage& stage, std::string bytes) {
  std::unique_ptr<cDataReader> in = OpenLoadData(std::move(bytes));
  stage.Load(*in);
  return !in->Failed();
}

// The header members in file order, each set to its own number: shows order and width.
TEST_F(StageTest, HeaderLayout) {
  cEdStage s;
  using Member = std::variant<std::int32_t*, double*>;
  std::vector<Member> members = {
      &s.m_nWidth,       &s.m_nReserved2,    &s.m_nReserved3,   &s.m_nHeight,       &s.m_bLimitLeft,
      &s.m_bLimitRight,  &s.m_bLimitTop,     &s.m_bLimitBottom, &s.m_nScrollLeft,   &s.m_nScrollRight,
      &s.m_nScrollTop,   &s.m_nScrollBottom, &s.m_nFrameRate,   &s.m_bTimeLimit,    &s.m_nTimeLimit,
      &s.m_nTimeWarning, &s.m_nScrollModeX,  &s.m_nScrollModeY, &s.m_nAutoScrollX,  &s.m_nAutoScrollY,
      &s.m_dGravity,     &s.m_nHitLevel,     &s.m_nHitPasses,   &s.m_nBgm,          &s.m_nBgmOption,
      &s.m_bKeepBgm,     &s.m_bDrawByLayer,  &s.m_bCarryStatus, &s.m_bPassOnStatus, &s.m_bStatusBar,
      &s.m_bAutoEnd,     &s.m_bShowStart1,   &s.m_bShowStart2,  &s.m_bShowClear,    &s.m_bShowGameOver};
  auto add = [&](std::int32_t* p, int n) {
    for (int i = 0; i < n; ++i) members.push_back(p + i);
  };
  add(s.m_PlayerBoxA, 4);
  add(s.m_PlayerBoxB, 4);
  add(s.m_PlayerBoxC, 2);
  add(s.m_PlayerBoxD, 2);
  add(s.m_PlayerBoxAAnchor, 2);
  add(s.m_PlayerBoxBAnchor, 2);
  add(s.m_PlayerBoxShow, 4);
  add(s.m_PlayerBoxColor, 4);
  add(s.m_CharaBoxA, 4);
  add(s.m_CharaBoxB, 4);
  add(s.m_CharaBoxC, 2);
  add(s.m_CharaBoxAAnchor, 2);
  add(s.m_CharaBoxBAnchor, 2);
  add(s.m_ItemBox, 2);
  add(s.m_PlayerShotSize, 2);
  add(s.m_PlayerShotAttack, 2);
  add(s.m_CharaShotSize, 2);
  add(s.m_CharaShotAttack, 2);
  for (Member m : std::initializer_list<Member>{&s.m_nReserved84, &s.m_nExtentX, &s.m_nExtentY, &s.m_nSubSteps,
                                                &s.m_dSubSteps, &s.m_dSubSteps2, &s.m_dSpeedCap, &s.m_dStepGravity,
                                                &s.m_dStepSpeedCap, &s.m_nSubSteps8, &s.m_bOnScreenHits}) {
    members.push_back(m);
  }
  add(s.m_HitTimes, 4);
  ASSERT_EQ(members.size(), 98u);
  Bytes expect;
  expect.u32(98);
  for (std::size_t i = 0; i < members.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    if (auto* p = std::get_if<std::int32_t*>(&members[i])) {
      **p = n;
      expect.i32(n);
    } else {
      *std::get<double*>(members[i]) = n;
      expect.f64(n);
    }
  }
  s.m_strHeader = "h";
  expect.u32(1).text("h");
  cDataWriter out;
  s.cRecord::Save(out);
  EXPECT_TRUE(rt::SameBytes(out.Bytes(), expect.s));
  EXPECT_EQ(expect.s.size(), 4u + 416 + 4 + 6);

  const std::pair<std::uint32_t, std::uint32_t> counts[] = {{154, 71}, {155, 79}, {165, 79}, {166, 80}, {183, 81},
                                                            {184, 82}, {199, 83}, {200, 97}, {224, 97}, {225, 98}};
  for (auto [version, n] : counts) EXPECT_EQ(rt::ReadU32At(rt::SaveBody(s, version), 0), n) << version;
}

TEST_F(StageTest, NewStage) {
  cEdStage s;
  Bytes b;
  b.u32(98);
  // A stage of size 0 bounds its scroll range below the first cell (only upper bounds).
  for (int v : {0, 0, 0, 0, 0, 0, 0, 0, -20, -1, -15, -1, 60, 0, 200, 20, 0, 0, 0, 0}) b.i32(v);
  b.f64(0.4);
  for (int v : {10, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1,  1,  1,  16, 24, 16, 16, 16, 24, 16, 16, 12, 8, 16, 16, 1,
                0,  1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 24, 16, 16, 12, 24, 12, 16, 30, 30, 1,  0,  1, 0,  28, 28}) {
    b.i32(v);
  }
  for (int i = 0; i < 8; ++i) b.i32(16);
  b.i32(1).i32(0).i32(0);
  // Derived from hit-test level 10 when saved.
  b.i32(10).f64(10).f64(100).f64(60).f64(0.4 / 100).f64(6).i32(80);
  b.i32(1).i32(30).i32(0).i32(30).i32(0).u32(1).text("");
  b.u32(5).i32(1).i32(1).i32(1).i32(1).i32(1);
  const std::string file = StageFile(s);
  EXPECT_TRUE(rt::SameBytes(file.substr(4, b.s.size()), b.s));
  EXPECT_EQ(rt::ReadU32At(file, file.size() - 4), STAGE_END_CODE);
  // Range records 4 and 5, palette padded to two of each, one filled background layer.
  EXPECT_EQ(s.m_Params[4].m_nMarginBottom, 10);
  EXPECT_EQ(s.m_Params[3].m_bLimitBottom, 1);
  EXPECT_EQ(s.m_Palette.m_Charas.size(), 2u);
  ASSERT_EQ(s.m_Backgrounds.size(), 1u);
  EXPECT_EQ(s.m_Backgrounds[0].m_bFill, 1);
  EXPECT_EQ(s.m_Backgrounds[0].m_nFillColor, 16);
}

// A stage with every kind of placed object and layer.
cEdStage FullStage() {
  cEdStage s;
  s.m_nWidth = 40;
  s.m_nHeight = 15;
  s.m_nScrollRight = 39;
  s.m_nBgm = 3;
  s.m_strHeader = "ヘッダー";
  s.m_RankFlags = {1, 0, 1, 0, 1};
  s.m_Params[1].Set(1, 0, 1, 0, 2, 3, 4, 5);
  s.m_Palette.m_Blocks.resize(3);
  s.m_Palette.m_Blocks[2].m_nImage = 6;
  s.m_Palette.m_Charas.resize(2);
  s.m_Palette.m_Charas[1].m_Flows.emplace_back().m_Commands.resize(1);
  s.m_Palette.m_Items.resize(2);
  for (int x = 0; x < 3; ++x) {
    cEdBlock& b = s.m_Blocks.emplace_back();
    b.m_nImage = 1;
    b.m_nX = static_cast<std::int16_t>(x);
    b.m_nY = 13;
  }
  s.m_Blocks[1].m_Conditions.resize(1);
  cEdChara& hero = s.m_Charas.emplace_back();
  hero.m_nOperator = 0;
  hero.m_nImage = 1;
  cEdChara& enemy = s.m_Charas.emplace_back();
  enemy.m_nImage = 2;
  enemy.m_nCarriedItem = 1;
  enemy.m_Flows.emplace_back().m_KeyConditions.resize(1);
  s.m_Items.resize(2);
  s.m_Items[1].m_Commands.emplace_back().m_nSet = 1;
  s.m_Backgrounds.resize(2);
  s.m_Backgrounds[1].m_strBitmap = "bmp\\back\\Sky.bmp";
  s.m_Backgrounds[1].m_dScrollX = 0.5;
  s.m_Backgrounds[1].m_bAutoY = 1;
  s.m_Entries.resize(2);
  s.m_Entries[1].m_strText = "テキスト";
  return s;
}

TEST_F(StageTest, WholeStageRoundTrip) {
  cEdStage s = FullStage();
  ASSERT_TRUE(s.SaveToFile("s.stg4_001"));
  const std::string file = plat::fs::readFile("s.stg4_001").value();
  EXPECT_EQ(rt::ReadU32At(file, 0), 513u);
  EXPECT_EQ(rt::ReadU32At(file, file.size() - 4), STAGE_END_CODE);

  cEdStage back;
  ASSERT_TRUE(back.LoadFromFile("s.stg4_001"));
  EXPECT_TRUE(rt::SameBytes(StageFile(back), file));
  EXPECT_EQ(back.m_strHeader, "ヘッダー");
  EXPECT_EQ(back.m_nBgm, 3);
  EXPECT_EQ(back.m_RankFlags, (cVector<std::int32_t>{1, 0, 1, 0, 1}));
  EXPECT_EQ(back.m_Params[1].m_nMarginBottom, 5);
  EXPECT_EQ(back.m_Palette.m_Blocks[2].m_nImage, 6);
  ASSERT_EQ(back.m_Blocks.size(), 3u);
  EXPECT_EQ(back.m_Blocks[2].m_nX, 2);
  EXPECT_EQ(back.m_Blocks[1].m_Conditions.size(), 1u);
  ASSERT_EQ(back.m_Charas.size(), 2u);
  EXPECT_EQ(back.m_Charas[1].m_nCarriedItem, 1);
  EXPECT_EQ(back.m_Charas[1].m_Flows.size(), 1u);
  EXPECT_EQ(back.m_Items[1].m_Commands.size(), 1u);
  EXPECT_EQ(back.m_Backgrounds[1].m_strBitmap, "bmp\\back\\Sky.bmp");
  EXPECT_EQ(back.m_Backgrounds[1].m_dScrollX, 0.5);
  EXPECT_EQ(back.m_Entries[1].m_strText, "テキスト");
  EXPECT_EQ(back.FindHero(), 0);
}

TEST_F(StageTest, PlacedObjectsCarryAnIgnoredWordEach) {
  cEdStage s;
  s.m_Blocks.resize(1);
  std::string file = StageFile(s);
  // The placed blocks follow the header, ranking flags, ranges and palette.
  cDataWriter head;
  head.WriteU32(513);
  s.cRecord::Save(head);
  SaveValueList(head, s.m_RankFlags);
  for (cEdStageParam& p : s.m_Params) p.Save(head);
  s.m_Palette.SaveLists(head);
  const std::size_t nBlocks = head.Bytes().size();
  ASSERT_EQ(rt::ReadU32At(file, nBlocks), 1u);
  EXPECT_EQ(rt::ReadU32At(file, nBlocks + 4), 0u);
  rt::WriteU32At(file, nBlocks + 4, 0xDEADBEEF);
  cEdStage back;
  EXPECT_TRUE(LoadFile(back, file));
  EXPECT_EQ(back.m_Blocks.size(), 1u);
}

TEST_F(StageTest, Upgrades) {
  cEdStage stored;
  std::copy_n(std::begin({20, 21, 22, 23}), 4, stored.m_PlayerBoxB);
  std::copy_n(std::begin({30, 31, 32, 33}), 4, stored.m_CharaBoxB);
  stored.m_PlayerBoxBAnchor[0] = stored.m_CharaBoxBAnchor[1] = 1;
  stored.m_nBgmOption = 3;
  stored.m_RankFlags.assign(6, 1);
  stored.m_bStatusBar = 0;
  stored.m_bAutoEnd = 1;
  stored.m_bKeepBgm = 1;
  std::copy_n(std::begin({40, 41, 42, 43}), 4, stored.m_PlayerBoxA);
  stored.m_PlayerBoxAAnchor[0] = 0;
  stored.m_PlayerBoxShow[0] = 2;
  stored.m_PlayerBoxColor[0] = 3;
  std::copy_n(std::begin({50, 51, 52, 53}), 4, stored.m_CharaBoxA);
  stored.m_CharaBoxAAnchor[1] = 0;
  stored.m_bShowStart2 = 1;

  struct Case {
    std::uint32_t version;
    int boxB2, anchorB0, bgmOption, rankCount, rank3, statusBar, noResult, keepBgm, boxA1, anchorA0, show0, color0,
        charaA1, charaAnchorA1, start2;
  };
  const Case cases[] = {
      {154, 20, 0, 1, 5, 0, 1, 0, 0, 24, 1, 0, 5, 30, 1, 0}, {165, 22, 1, 1, 5, 0, 1, 0, 0, 24, 1, 0, 5, 30, 1, 0},
      {180, 22, 1, 3, 5, 0, 1, 0, 0, 24, 1, 0, 5, 30, 1, 0}, {182, 22, 1, 3, 6, 1, 1, 0, 0, 24, 1, 0, 5, 30, 1, 0},
      {183, 22, 1, 3, 6, 1, 0, 0, 0, 24, 1, 0, 5, 30, 1, 0}, {198, 22, 1, 3, 6, 1, 0, 1, 0, 24, 1, 0, 5, 30, 1, 0},
      {199, 22, 1, 3, 6, 1, 0, 1, 1, 24, 1, 0, 5, 30, 1, 0}, {224, 22, 1, 3, 6, 1, 0, 1, 1, 41, 0, 2, 3, 51, 0, 0},
      {225, 22, 1, 3, 6, 1, 0, 1, 1, 41, 0, 2, 3, 51, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    // The record held other values before: what the old file lacks is set anyway.
    cEdStage loaded;
    loaded.m_PlayerBoxB[2] = loaded.m_nBgmOption = loaded.m_bStatusBar = loaded.m_bAutoEnd = 77;
    loaded.m_bKeepBgm = loaded.m_PlayerBoxA[1] = loaded.m_PlayerBoxColor[0] = loaded.m_bShowStart2 = 77;
    ASSERT_TRUE(LoadFile(loaded, StageFile(stored, c.version)));
    const Case got = {c.version,
                      loaded.m_PlayerBoxB[2],
                      loaded.m_PlayerBoxBAnchor[0],
                      loaded.m_nBgmOption,
                      loaded.m_RankFlags.Size(),
                      loaded.m_RankFlags[3],
                      loaded.m_bStatusBar,
                      loaded.m_bAutoEnd,
                      loaded.m_bKeepBgm,
                      loaded.m_PlayerBoxA[1],
                      loaded.m_PlayerBoxAAnchor[0],
                      loaded.m_PlayerBoxShow[0],
                      loaded.m_PlayerBoxColor[0],
                      loaded.m_CharaBoxA[1],
                      loaded.m_CharaBoxAAnchor[1],
                      loaded.m_bShowStart2};
    EXPECT_EQ(std::memcmp(&got, &c, sizeof(Case)), 0)
        << got.boxB2 << " " << got.anchorB0 << " " << got.bgmOption << " " << got.rankCount << " " << got.rank3 << " "
        << got.statusBar << " " << got.noResult << " " << got.keepBgm << " " << got.boxA1 << " " << got.anchorA0 << " "
        << got.show0 << " " << got.color0 << " " << got.charaA1 << " " << got.charaAnchorA1 << " " << got.start2;
    if (c.version == 154) {
      EXPECT_EQ(loaded.m_CharaBoxB[3], 31);  // set 2 copies set 1
      EXPECT_EQ(rt::ReadU32At(StageFile(loaded), 4), 98u);
    }
  }
}

TEST_F(StageTest, RangeRecordsAndLayersOfOldVersions) {
  cEdStage stored;
  stored.m_Params[3].Set(1, 0, 0, 0, 7, 7, 7, 7);
  stored.m_Backgrounds[0].m_bVisible = 0;
  stored.m_Backgrounds[0].m_dScrollX = 0.75;
  stored.m_Backgrounds[0].m_dOffsetX = 9;
  stored.m_Backgrounds[0].m_nFillColor = 40;
  struct Case {
    std::uint32_t version;
    std::int32_t limitRight;  // of record 4
    std::int32_t visible;
    double scrollX, offsetX;
  };
  const Case cases[] = {{60, 1, 1, 0.1, 0}, {61, 1, 1, 0.75, 0}, {124, 1, 0, 0.75, 9}, {125, 0, 0, 0.75, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cEdStage loaded;
    loaded.m_Params[3].m_bLimitRight = 5;  // a stage loaded before leaves nothing behind
    ASSERT_TRUE(LoadFile(loaded, StageFile(stored, c.version)));
    EXPECT_EQ(loaded.m_Params[3].m_bLimitRight, c.limitRight);
    EXPECT_EQ(loaded.m_Params[3].m_nMarginTop, 7);
    EXPECT_EQ(loaded.m_Backgrounds[0].m_bVisible, c.visible);
    EXPECT_EQ(loaded.m_Backgrounds[0].m_nFillColor, 40);
    EXPECT_EQ(loaded.m_Backgrounds[0].m_dScrollX, c.scrollX);
    EXPECT_EQ(loaded.m_Backgrounds[0].m_dOffsetX, c.offsetX);
  }
  cEdBackground layer;
  EXPECT_EQ(rt::ReadU32At(rt::SaveBody(layer, 60), 0), 5u);
  EXPECT_EQ(rt::ReadU32At(rt::SaveBody(layer, 61), 0), 9u);
  EXPECT_EQ(rt::ReadU32At(rt::SaveBody(layer, 62), 0), 10u);
}

TEST_F(StageTest, EndCodeFromVersion173) {
  cEdStage s = FullStage();
  for (std::uint32_t v : {172u, 173u}) {
    const std::string file = StageFile(s, v);
    cEdStage back;
    EXPECT_TRUE(LoadFile(back, file)) << v;
    EXPECT_EQ(back.m_Charas.size(), 2u);
    EXPECT_FALSE(LoadFile(back, file.substr(0, file.size() - 1))) << v;
  }
}

TEST_F(StageTest, HitLevels) {
  struct Case {
    std::int32_t level;
    std::int32_t steps;
    double cap, stepCap;
  };
  // Levels outside 0 to 100 sub-steps are guarded; level 0 (or below) runs no sub-step and
  // keeps the per-step scales of one, so nothing divides by zero.
  const Case cases[] = {{1, 1, 6, 6},    {10, 10, 60, 6},       {11, 1, 60, 60},
                        {15, 5, 60, 12}, {19, 9, 60, 60 / 9.0}, {20, 20, 120, 6},
                        {0, 0, 6, 6},    {-4, 0, 6, 6},         {1 << 30, 100, 600, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    cEdStage s;
    s.m_dGravity = 0.5;
    s.SetHitLevel(c.level);
    const double d = c.steps > 0 ? c.steps : 1;
    EXPECT_EQ(s.m_nHitLevel, c.level);
    EXPECT_EQ(s.m_nSubSteps, c.steps);
    EXPECT_EQ(s.m_dSubSteps, d);
    EXPECT_EQ(s.m_dSubSteps2, d * d);
    EXPECT_EQ(s.m_nTurnSteps, 6 * c.steps);
    EXPECT_EQ(s.m_nSubSteps8, 8 * c.steps);
    EXPECT_EQ(s.m_dSpeedCap, c.cap);
    EXPECT_DOUBLE_EQ(s.m_dStepSpeedCap, c.stepCap);
    EXPECT_DOUBLE_EQ(s.m_dStepGravity, 0.5 / (d * d));
  }
}

TEST_F(StageTest, Normalize) {
  cEdStage s;
  s.m_nWidth = 25;
  s.m_nScrollLeft = 9;
  s.m_nScrollRight = 30;
  s.m_nHeight = 15;
  s.m_nScrollTop = 3;
  s.m_nScrollBottom = 14;
  s.m_nBgm = 4;  // as many music entries as the database has
  s.m_Items.resize(2);
  for (std::int32_t carried : {-1, 1, 2, -7}) s.m_Charas.emplace_back().m_nCarriedItem = carried;
  s.Normalize();
  EXPECT_EQ(s.m_nScrollLeft, 5);
  EXPECT_EQ(s.m_nScrollRight, 24);
  EXPECT_EQ(s.m_nScrollTop, 0);
  EXPECT_EQ(s.m_nScrollBottom, 14);
  EXPECT_EQ(s.m_nBgm, 0);
  EXPECT_EQ(s.m_Charas[0].m_nCarriedItem, -1);
  EXPECT_EQ(s.m_Charas[1].m_nCarriedItem, 1);
  EXPECT_EQ(s.m_Charas[2].m_nCarriedItem, -1);
  EXPECT_EQ(s.m_Charas[3].m_nCarriedItem, -1);
  s.m_nBgm = 3;
  s.m_nWidth = INT32_MIN;
  s.Normalize();
  EXPECT_EQ(s.m_nBgm, 3);
  EXPECT_EQ(s.m_nScrollLeft, INT32_MIN);
}

TEST_F(StageTest, PaletteOfTheStage) {
  // Loaded into the stage being played: block 1 takes its layer from block 3, which is
  // loaded after it and still holds the defaults; block 2 takes it from block 1, loaded
  // before it and complete.
  cVector<cEdBlock>& blocks = g_Stage.m_Palette.m_Blocks;
  blocks.resize(4);
  blocks[0].m_nImage = 9;  // element 0 is the empty block whatever is stored
  for (int i = 1; i < 4; ++i) blocks[i].m_nLayer = 1;
  for (auto [at, base] : {std::pair{1, 3}, std::pair{2, 1}}) {
    blocks[at].m_nBasePalette = REF_STAGE;
    blocks[at].m_nBaseIndex = static_cast<std::int16_t>(base);
    blocks[at].m_Inherit[3] = 1;
  }
  const std::string file = StageFile(g_Stage);
  g_Stage = cEdStage();
  ASSERT_TRUE(LoadFile(g_Stage, file));
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(blocks[0].m_nImage, 0);
  EXPECT_EQ(blocks[1].m_nLayer, 0);
  EXPECT_EQ(blocks[2].m_nLayer, 0);
  EXPECT_EQ(blocks[3].m_nLayer, 1);

  cEdStage small;
  small.m_Palette.m_Blocks.resize(1);
  cEdStage back;
  ASSERT_TRUE(LoadFile(back, StageFile(small)));
  EXPECT_EQ(back.m_Palette.m_Blocks.size(), 2u);
}

TEST_F(StageTest, FindHero) {
  struct Case {
    std::vector<std::pair<int, int>> charas;  // operator, image
    int hero;
  };
  const Case cases[] = {{{}, -1}, {{{1, 1}, {1, 2}}, -1}, {{{0, 0}, {1, 1}, {0, 3}}, 2}, {{{0, 1}, {0, 2}}, 0}};
  for (const Case& c : cases) {
    cEdStage s;
    for (auto [op, image] : c.charas) {
      cEdChara& chara = s.m_Charas.emplace_back();
      chara.m_nOperator = static_cast<std::uint8_t>(op);
      chara.m_nImage = static_cast<std::int16_t>(image);
    }
    EXPECT_EQ(s.FindHero(), c.hero);
    EXPECT_EQ(s.HasHero(), c.hero != -1);
  }
}

TEST_F(StageTest, ReplayImageAndStartSnapshot) {
  cEdStage playing = FullStage();
  cEdStage start;
  start.MakeStartSnapshot(playing);
  EXPECT_EQ(start.m_nWidth, 40);
  EXPECT_EQ(start.m_strHeader, "ヘッダー");
  EXPECT_EQ(start.m_Params[1].m_nMarginBottom, 5);
  EXPECT_EQ(start.m_Backgrounds.size(), 2u);
  EXPECT_EQ(start.m_Entries.size(), 2u);
  EXPECT_TRUE(start.m_Blocks.empty() && start.m_Charas.empty() && start.m_Items.empty());
  EXPECT_TRUE(start.m_Palette.m_Blocks.empty() && start.m_Palette.m_Charas.empty() && start.m_Palette.m_Items.empty());

  // While playing, the stage changes; the replay image takes the header from the start.
  playing.m_nTimeLimit = 5;
  playing.m_Entries.clear();
  playing.m_Blocks.pop_back();
  cDataWriter out;
  playing.SaveForReplay(out, start);
  cEdStage replay;
  g_nLoadVersion = CURRENT_DATA_VERSION;
  cDataReader in{std::string_view(out.Bytes())};
  replay.Load(in);
  ASSERT_FALSE(in.Failed());
  EXPECT_EQ(replay.m_nTimeLimit, 200);
  EXPECT_EQ(replay.m_Entries.size(), 2u);
  EXPECT_EQ(replay.m_Blocks.size(), 2u);
  EXPECT_EQ(replay.m_Palette.m_Blocks.size(), 3u);
}

}  // namespace
