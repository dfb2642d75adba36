// Block, character and item definitions: layouts, upgrades, repairs and the inheritance
// of property groups from a base definition.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "PaletteFixture.h"
#include "gamedata/RecordList.h"
#include "gamedata/Vocabulary.h"

namespace {

using rt::Bytes;

class DefinitionTest : public rt::PaletteFixture {};

// Values of one property group, joined into one comparable text.
template <class... A>
std::string G(const A&... values) {
  std::string s;
  ((s += std::to_string(values) + ","), ...);
  return s;
}

TEST_F(DefinitionTest, NewBlockAndItemBytes) {
  cEdBlock block;
  block.m_nHit = 1;  // an empty image saves as passable
  const std::string blockBytes = Bytes()
                                     // clang-format off
                                     .u32(18).u8(0).i16(0).u8(0).u8(0).i16(0).u8(0).i16(0).u8(0).u8(0).u8(0).i16(0)
                                     .u8(0).u8(0xFF).u8(0).i32(0).u8(0).i16(0).u8(0)
                                     .u32(1).text("").i16(0).i16(0).u32(11).bytes(std::string(11, '\0')).u32(0).s;
  // clang-format on
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(block), blockBytes));

  cEdItem item;
  const std::string itemBytes = Bytes()
                                    // clang-format off
                                    .u32(17).u8(0).i16(0).u8(0).u8(0).i16(0).i16(0).i16(0).u8(2).i16(0).u8(6).u8(0)
                                    .u8(0).i16(0).u8(1).u8(0).u8(1).i16(0)
                                    .u32(1).text("").i16(0).i16(0).u32(13).bytes(std::string(13, '\0')).u32(0).u32(0).s;
  // clang-format on
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(item), itemBytes));
}

// Every character member set to its own number shows the order and width of each.
TEST_F(DefinitionTest, CharacterLayoutByVersion) {
  for (int& n : refs_.databases) n = 100;
  cEdChara c;
  // clang-format off
  c.m_nBasePalette = 1; c.m_nBaseIndex = 2; c.m_nConditionRule = 3; c.m_bLatchConditions = 4; c.m_nFacing = 5;
  c.m_nExtraCopies = 6; c.m_nOffsetXBase = 7; c.m_nOffsetXStep = 8; c.m_nOffsetYBase = 9; c.m_nOffsetYStep = 10;
  c.m_bOffsetXMirror = 11; c.m_bOffsetYMirror = 12; c.m_nImage = 13; c.m_nImageSheet = 14; c.m_nImageSub = 15;
  c.m_nAnimeSet = 16; c.m_nZ = 17; c.m_bTransparent = 18; c.m_nCharaEffect = 19; c.m_nCharaEffectParamA = 20;
  c.m_nCharaEffectParamB = 21; c.m_nDeathEffect = 22; c.m_nDeathEffectParam = 23; c.m_nMarkShow = 24; c.m_nMark = 25;
  c.m_nOperator = 26; c.m_nPad = 27; c.m_nPassNumber = 28; c.m_nCharaID = 29; c.m_nFlying = 30; c.m_bFixedFacing = 31;
  c.m_nInvincible = 32; c.m_nInvincibleColor = 33; c.m_bBlockChara = 34; c.m_nScale = 35; c.m_bAutoScrollSync = 36;
  c.m_nSightShape = 37; c.m_nSightRange = 38; c.m_nMaxHP = 39; c.m_nMaxSP = 40; c.m_nStopEase = 41; c.m_nBlockBox = 42;
  c.m_nBodyPower = 43; c.m_nBodyImpact = 44; c.m_nBodyHitEffect = 45; c.m_nDefence = 46; c.m_nImpactResist = 47;
  c.m_nScore = 48; c.m_nGroup35 = 49; c.m_bActivationGroup = 50; c.m_nActivationGroup = 51; c.m_nActivationRange = 52;
  c.m_nActivationRule = 53; c.m_strText = "t"; c.m_nX = -3; c.m_nY = 4; c.m_nCarriedItem = 7;
  // clang-format on
  g_CommonPalette.m_Charas.resize(3);  // the base it names exists

  Bytes b;
  // clang-format off
  b.u32(53).u8(1).i16(2).u8(3).u8(4).u8(5).u8(6).i16(7).i16(8).i16(9).i16(10).u8(11).u8(12).i16(13).u8(14).i16(15)
      .i16(16).u8(17).u8(18).i16(19).u8(20).u8(21).i16(22).u8(23).u8(24).i16(25);
  // clang-format on
  for (int n = 26; n <= 38; ++n) b.u8(static_cast<std::uint8_t>(n));
  b.i32(39).i32(40).i16(41).u8(42).i32(43).u8(44).i16(45).i32(46).u8(47).i32(48).u8(49).u8(50).i16(51).u8(52).u8(53);
  b.u32(1).text("t").i16(-3).i16(4).i32(7).u32(37).bytes(std::string(37, '\0')).u32(0).u32(0);
  const std::string body = rt::SaveBody(c);
  EXPECT_TRUE(rt::SameBytes(body, b.s));
  cEdChara back;
  ASSERT_TRUE(rt::LoadBody(back, body));
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), body));

  // Members that later versions added are missing from older files.
  const std::pair<std::uint32_t, std::uint32_t> counts[] = {{167, 47}, {168, 48}, {195, 48}, {196, 50}, {200, 50},
                                                            {201, 51}, {210, 52}, {284, 52}, {285, 53}};
  for (auto [version, n] : counts) EXPECT_EQ(rt::ReadU32At(rt::SaveBody(c, version), 0), n) << version;
}

TEST_F(DefinitionTest, RoundTripsWithLists) {
  cEdBlock block;
  block.m_nImage = 3;
  block.m_nMark = 17;
  block.m_strText = "ブロック";
  block.m_nX = 39;
  block.m_nY = 14;
  block.m_Conditions.resize(2);
  block.m_Conditions[1].m_nKind = 4;

  cEdChara chara;
  chara.m_nImage = 1;
  chara.m_nCarriedItem = -1;
  chara.m_Conditions.resize(1);
  cEdFlow& flow = chara.m_Flows.emplace_back();
  flow.m_nTrigger = 2;
  flow.m_Commands.emplace_back().m_nType = CMD_JUMP;

  cEdItem item;
  item.m_nTakeSound = 2;
  cEdCommand& command = item.m_Commands.emplace_back();
  command.m_nSet = 1;
  command.m_nType = ITEM_CMD_FLOW_CHANGE;
  command.m_Flows.emplace_back().m_Commands.resize(1);

  const std::function<void(cRecord&, cRecord&)> checks[] = {
      [&](cRecord&, cRecord& r) {
        auto& b = static_cast<cEdBlock&>(r);
        EXPECT_EQ(b.m_nMark, 17);
        EXPECT_EQ(b.m_strText, "ブロック");
        EXPECT_EQ(b.m_nY, 14);
        EXPECT_EQ(b.m_Conditions[1].m_nKind, 4);
      },
      [&](cRecord&, cRecord& r) {
        auto& c = static_cast<cEdChara&>(r);
        EXPECT_EQ(c.m_nCarriedItem, -1);
        ASSERT_EQ(c.m_Flows.size(), 1u);
        EXPECT_EQ(c.m_Flows[0].m_Commands[0].m_nType, CMD_JUMP);
      },
      [&](cRecord&, cRecord& r) {
        auto& i = static_cast<cEdItem&>(r);
        EXPECT_EQ(i.m_nTakeSound, 2);
        ASSERT_EQ(i.m_Commands.size(), 1u);
        EXPECT_EQ(i.m_Commands[0].m_Flows.size(), 1u);
      },
  };
  cRecord* originals[] = {&block, &chara, &item};
  std::unique_ptr<cRecord> copies[] = {std::make_unique<cEdBlock>(), std::make_unique<cEdChara>(),
                                       std::make_unique<cEdItem>()};
  for (int k = 0; k < 3; ++k) {
    const std::string body = rt::SaveBody(*originals[k]);
    ASSERT_TRUE(rt::LoadBody(*copies[k], body));
    EXPECT_TRUE(rt::SameBytes(rt::SaveBody(*copies[k]), body));
    checks[k](*originals[k], *copies[k]);
  }
}

TEST_F(DefinitionTest, ShotSheetImagesMovedUpAtVersion219) {
  struct Case {
    std::uint32_t version;
    std::int8_t sheet;
    std::int16_t image, expect;
  };
  const Case cases[] = {{218, 3, 5, 6}, {218, 3, 119, 119}, {218, 0, 5, 5}, {219, 3, 5, 5}, {218, 3, 10, 11}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.version) + " sheet " + std::to_string(c.sheet) + " image " + std::to_string(c.image));
    cEdBlock block;
    block.m_nImageSheet = c.sheet;
    block.m_nImage = c.image;
    cEdBlock loadedBlock;
    ASSERT_TRUE(rt::LoadBody(loadedBlock, rt::SaveBody(block, c.version), c.version));
    EXPECT_EQ(loadedBlock.m_nImage, c.expect);
    cEdItem item;
    item.m_nImageSheet = c.sheet;
    item.m_nImage = c.image;
    cEdItem loadedItem;
    ASSERT_TRUE(rt::LoadBody(loadedItem, rt::SaveBody(item, c.version), c.version));
    EXPECT_EQ(loadedItem.m_nImage, c.expect);
    cEdChara chara;
    chara.m_nImageSheet = c.sheet;
    chara.m_nImage = c.image;
    cEdChara loadedChara;
    ASSERT_TRUE(rt::LoadBody(loadedChara, rt::SaveBody(chara, c.version), c.version));
    EXPECT_EQ(loadedChara.m_nImage, c.expect);
  }
}

TEST_F(DefinitionTest, CharacterUpgrades) {
  struct Case {
    std::uint32_t version;
    std::uint8_t storedBox;
    std::uint8_t box, invincibleColor, autoSync, paramA;
    std::int32_t defence;
  };
  // The record holds other values before the load: what the old file lacks is set anyway.
  const Case cases[] = {
      {150, 2, 0, 1, 0, 0, 0},   {195, 2, 0, 1, 0, 0, 46},  {200, 2, 0, 1, 0, 20, 46},  {205, 2, 3, 1, 0, 20, 46},
      {206, 2, 2, 1, 0, 20, 46}, {209, 1, 1, 1, 0, 20, 46}, {284, 2, 2, 1, 36, 20, 46}, {285, 2, 2, 33, 36, 20, 46},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cEdChara stored;
    stored.m_nBlockBox = c.storedBox;
    stored.m_nInvincibleColor = 33;
    stored.m_bAutoScrollSync = 36;
    stored.m_nCharaEffectParamA = 20;
    stored.m_nDefence = 46;
    cEdChara loaded;
    loaded.m_nBlockBox = 9;
    loaded.m_nInvincibleColor = 9;
    loaded.m_bAutoScrollSync = 9;
    loaded.m_nCharaEffectParamA = 9;
    loaded.m_nDeathEffectParam = 9;
    loaded.m_nDefence = 9;
    ASSERT_TRUE(rt::LoadBody(loaded, rt::SaveBody(stored, c.version), c.version));
    EXPECT_EQ(loaded.m_nBlockBox, c.box);
    EXPECT_EQ(loaded.m_nInvincibleColor, c.invincibleColor);
    EXPECT_EQ(loaded.m_bAutoScrollSync, c.autoSync);
    EXPECT_EQ(loaded.m_nCharaEffectParamA, c.paramA);
    EXPECT_EQ(loaded.m_nDeathEffectParam, 0);
    EXPECT_EQ(loaded.m_nDefence, c.defence);
  }
}

TEST_F(DefinitionTest, CharacterFlagsGainThreeGroupsInOrder) {
  for (int nStored : {34, 36}) {
    SCOPED_TRACE(nStored);
    cEdChara stored;
    stored.m_Inherit.resize(static_cast<std::size_t>(nStored));
    for (int i = 0; i < nStored; ++i) stored.m_Inherit[i] = static_cast<std::uint8_t>(100 + i);
    cEdChara loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, rt::SaveBody(stored, 150), 150));
    std::vector<int> expect;
    for (int i = 0; i <= 20; ++i) expect.push_back(100 + i);
    expect.push_back(1);
    for (int i = 21; i <= 23; ++i) expect.push_back(100 + i);
    expect.push_back(1);
    for (int i = 24; i <= 26; ++i) expect.push_back(100 + i);
    expect.push_back(1);
    for (int i = 27; i <= 33; ++i) expect.push_back(100 + i);
    EXPECT_EQ(std::vector<int>(loaded.m_Inherit.begin(), loaded.m_Inherit.end()), expect);
  }
  cVector<std::uint8_t> flags = {1, 0, 1};
  InsertInheritFlag(flags, 5, 1);
  EXPECT_EQ(flags, (cVector<std::uint8_t>{1, 1, 0, 1, 0}));
}

TEST_F(DefinitionTest, Repairs) {
  refs_.databases[DB_ANIME_SET] = 1;  // a database without entry 1: the repair gives 0
  struct Case {
    const char* name;
    std::function<void(cEdChara&)> set;
    std::function<void(const cEdChara&)> check;
  };
  const Case charaCases[] = {
      {"scale 0", [](cEdChara& c) { c.m_nScale = 0; }, [](const cEdChara& c) { EXPECT_EQ(c.m_nScale, 1); }},
      // clang-format off
      {"dedicated bitmap past the end", [](cEdChara& c) { c.m_nImageSheet = 4; c.m_nImage = 3; },
       // clang-format on
       [](const cEdChara& c) { EXPECT_EQ(c.m_nImage, 1); }},
      {"image past the end of another sheet", [](cEdChara& c) { c.m_nImage = 300; },
       [](const cEdChara& c) { EXPECT_EQ(c.m_nImage, 300); }},
      {"anime set", [](cEdChara& c) { c.m_nAnimeSet = 5; }, [](const cEdChara& c) { EXPECT_EQ(c.m_nAnimeSet, 0); }},
      // clang-format off
      {"effects", [](cEdChara& c) { c.m_nCharaEffect = 3; c.m_nDeathEffect = -1; c.m_nBodyHitEffect = 3; },
       [](const cEdChara& c) { EXPECT_EQ(G(c.m_nCharaEffect, c.m_nDeathEffect, c.m_nBodyHitEffect), G(0, 0, 0)); }},
      {"valid effects stay", [](cEdChara& c) { c.m_nCharaEffect = 2; c.m_nBodyHitEffect = 2; },
       [](const cEdChara& c) { EXPECT_EQ(G(c.m_nCharaEffect, c.m_nBodyHitEffect), G(2, 2)); }},
      {"base past the common list", [](cEdChara& c) { c.m_nBasePalette = 1; c.m_nBaseIndex = 1; },
       // clang-format on
       [](const cEdChara& c) { EXPECT_EQ(G(c.m_nBasePalette, c.m_nBaseIndex), G(0, 0)); }},
      {"empty flows removed, key-only kept",
       [](cEdChara& c) {
         c.m_Flows.resize(3);
         c.m_Flows[0].m_Commands.resize(1);
         c.m_Flows[2].m_KeyConditions.resize(1);
         c.m_Flows[2].m_nID = 7;
       },
       [](const cEdChara& c) {
         ASSERT_EQ(c.m_Flows.size(), 2u);
         EXPECT_EQ(c.m_Flows[1].m_nID, 7);
       }},
  };
  for (const Case& c : charaCases) {
    SCOPED_TRACE(c.name);
    cEdChara chara;
    c.set(chara);
    chara.Normalize();
    c.check(chara);
  }

  cEdItem item;
  item.m_nScale = 0;
  item.m_nTakeSound = 4;
  item.Normalize();
  EXPECT_EQ(G(item.m_nScale, item.m_nTakeSound), G(1, 0));

  cEdBlock block;
  block.m_nHit = 2;
  block.m_bFixed = 1;
  block.Normalize();
  EXPECT_EQ(G(block.m_nHit, block.m_bFixed), G(0, 0));
  block.m_nImage = 1;
  block.m_nHit = 2;
  block.Normalize();
  EXPECT_EQ(block.m_nHit, 2);
}

TEST_F(DefinitionTest, TestOnlyFlowsKeptOnlyForTheEditorOrByTheProject) {
  cEdChara stored;
  stored.m_Flows.resize(2);
  stored.m_Flows[0].m_bTestOnly = 1;
  stored.m_Flows[0].m_Commands.resize(1);
  stored.m_Flows[1].m_Commands.resize(1);
  const std::string body = rt::SaveBody(stored);
  struct Case {
    int fromEditor;
    bool keep;
    std::size_t flows;
  };
  for (const Case& c : {Case{0, false, 1}, Case{1, false, 2}, Case{0, true, 2}}) {
    g_bFromEditor = c.fromEditor;
    refs_.keepTestOnly = c.keep;
    cEdChara loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, body));
    EXPECT_EQ(loaded.m_Flows.size(), c.flows) << c.fromEditor << c.keep;
  }
}

// Each class's groups, as the values a test compares.
template <class T>
using Groups = std::vector<std::function<std::string(const T&)>>;

const Groups<cEdBlock> kBlockGroups = {
    [](const cEdBlock& b) { return b.m_strText; },
    [](const cEdBlock& b) { return G(b.m_Conditions.size(), b.m_nConditionRule, b.m_bLatchConditions); },
    [](const cEdBlock& b) { return G(b.m_nImageSheet, b.m_nImage, b.m_nImageSub); },
    [](const cEdBlock& b) { return G(b.m_nLayer); },
    [](const cEdBlock& b) { return G(b.m_bTransparent); },
    [](const cEdBlock& b) { return G(b.m_nMarkShow, b.m_nMark); },
    [](const cEdBlock& b) { return G(b.m_nHit); },
    [](const cEdBlock& b) { return G(b.m_nPassGroup); },
    [](const cEdBlock& b) { return G(b.m_nEffect, b.m_nEffectValue); },
    [](const cEdBlock& b) { return G(b.m_nItemPalette, b.m_nItemIndex); },
    [](const cEdBlock& b) { return G(b.m_bFixed); },
};

cEdBlock BlockBase() {
  cEdBlock b;
  b.m_strText = "base";
  b.m_Conditions.resize(2);
  b.m_nConditionRule = 1;
  b.m_nImageSheet = 2;
  b.m_nImage = 7;
  b.m_nLayer = 1;
  b.m_bTransparent = 1;
  b.m_nMark = 4;
  b.m_nHit = 2;
  b.m_nPassGroup = 3;
  b.m_nEffect = 1;
  b.m_nItemPalette = 2;
  b.m_nItemIndex = 1;
  b.m_bFixed = 1;
  return b;
}

const Groups<cEdChara> kCharaGroups = {
    [](const cEdChara& c) { return c.m_strText; },
    [](const cEdChara& c) { return G(c.m_nOperator, c.m_nPad); },
    [](const cEdChara& c) { return G(c.m_nPassNumber); },
    [](const cEdChara& c) { return G(c.m_nCharaID); },
    [](const cEdChara& c) { return G(c.m_Conditions.size(), c.m_nConditionRule, c.m_bLatchConditions); },
    [](const cEdChara& c) { return G(c.m_nFacing); },
    [](const cEdChara& c) { return G(c.m_nExtraCopies); },
    [](const cEdChara& c) { return G(c.m_nOffsetXBase, c.m_nOffsetXStep, c.m_bOffsetXMirror); },
    [](const cEdChara& c) { return G(c.m_nOffsetYBase, c.m_nOffsetYStep, c.m_bOffsetYMirror); },
    [](const cEdChara& c) { return G(c.m_nImageSheet, c.m_nImage, c.m_nImageSub); },
    [](const cEdChara& c) { return G(c.m_nAnimeSet); },
    [](const cEdChara& c) { return G(c.m_nZ); },
    [](const cEdChara& c) { return G(c.m_bTransparent); },
    [](const cEdChara& c) { return G(c.m_nCharaEffect, c.m_nCharaEffectParamA, c.m_nCharaEffectParamB); },
    [](const cEdChara& c) { return G(c.m_nDeathEffect, c.m_nDeathEffectParam); },
    [](const cEdChara& c) { return G(c.m_nMarkShow, c.m_nMark); },
    [](const cEdChara& c) { return G(c.m_bFixedFacing); },
    [](const cEdChara& c) { return G(c.m_nFlying); },
    [](const cEdChara& c) { return G(c.m_nInvincible, c.m_nInvincibleColor); },
    [](const cEdChara& c) { return G(c.m_bBlockChara); },
    [](const cEdChara& c) { return G(c.m_nScale); },
    [](const cEdChara& c) { return G(c.m_bAutoScrollSync); },
    [](const cEdChara& c) { return G(c.m_nSightShape, c.m_nSightRange); },
    [](const cEdChara& c) { return G(c.m_nMaxHP); },
    [](const cEdChara& c) { return G(c.m_nMaxSP); },
    [](const cEdChara& c) { return G(c.m_nBlockBox); },
    [](const cEdChara& c) { return G(c.m_nBodyPower); },
    [](const cEdChara& c) { return G(c.m_nBodyImpact); },
    [](const cEdChara& c) { return G(c.m_nBodyHitEffect); },
    [](const cEdChara& c) { return G(c.m_nDefence); },
    [](const cEdChara& c) { return G(c.m_nImpactResist); },
    [](const cEdChara& c) { return G(c.m_nStopEase); },
    [](const cEdChara& c) { return G(c.m_nActivationRange, c.m_nActivationRule); },
    [](const cEdChara& c) { return G(c.m_nActivationGroup, c.m_bActivationGroup); },
    [](const cEdChara& c) { return G(c.m_nScore); },
    [](const cEdChara& c) { return G(c.m_nGroup35); },
    [](const cEdChara& c) { return G(c.m_Flows.size()); },
};

cEdChara CharaBase() {
  cEdChara c;
  c.m_strText = "base";
  c.m_nOperator = 0;
  c.m_nPassNumber = 5;
  c.m_nCharaID = 9;
  c.m_Conditions.resize(1);
  c.m_nFacing = 1;
  c.m_nExtraCopies = 2;
  c.m_nOffsetXStep = 32;
  c.m_nOffsetYBase = -8;
  c.m_nImage = 4;
  c.m_nAnimeSet = 2;
  c.m_nZ = 6;
  c.m_bTransparent = 1;
  c.m_nCharaEffectParamA = 3;
  c.m_nDeathEffect = 1;
  c.m_nMark = 2;
  c.m_bFixedFacing = 0;
  c.m_nFlying = 2;
  c.m_nInvincibleColor = 4;
  c.m_bBlockChara = 1;
  c.m_nScale = 3;
  c.m_bAutoScrollSync = 1;
  c.m_nSightRange = 12;
  c.m_nMaxHP = 99;
  c.m_nMaxSP = 50;
  c.m_nBlockBox = 3;
  c.m_nBodyPower = 4;
  c.m_nBodyImpact = 2;
  c.m_nBodyHitEffect = 1;
  c.m_nDefence = 8;
  c.m_nImpactResist = 3;
  c.m_nStopEase = 1;
  c.m_nActivationRule = 1;
  c.m_bActivationGroup = 1;
  c.m_nScore = 100;
  c.m_nGroup35 = 0;
  c.m_Flows.resize(2);
  return c;
}

const Groups<cEdItem> kItemGroups = {
    [](const cEdItem& i) { return i.m_strText; },
    [](const cEdItem& i) { return G(i.m_Conditions.size(), i.m_nConditionRule, i.m_bLatchConditions); },
    [](const cEdItem& i) { return G(i.m_nOffsetX); },
    [](const cEdItem& i) { return G(i.m_nOffsetY); },
    [](const cEdItem& i) { return G(i.m_nImageSheet, i.m_nImage, i.m_nImageSub); },
    [](const cEdItem& i) { return G(i.m_nGroup5); },
    [](const cEdItem& i) { return G(i.m_bTransparent); },
    [](const cEdItem& i) { return G(i.m_nMarkShow, i.m_nMark); },
    [](const cEdItem& i) { return G(i.m_nScale); },
    [](const cEdItem& i) { return G(i.m_nTakeMode); },
    [](const cEdItem& i) { return G(i.m_bShowOnTake); },
    [](const cEdItem& i) { return G(i.m_nTakeSound); },
    [](const cEdItem& i) { return G(i.m_Commands.size()); },
};

cEdItem ItemBase() {
  cEdItem i;
  i.m_strText = "base";
  i.m_bLatchConditions = 1;
  i.m_nOffsetX = 4;
  i.m_nOffsetY = -4;
  i.m_nImageSub = 2;
  i.m_nGroup5 = 1;
  i.m_bTransparent = 1;
  i.m_nMarkShow = 1;
  i.m_nScale = 2;
  i.m_nTakeMode = 1;
  i.m_bShowOnTake = 0;
  i.m_nTakeSound = 3;
  i.m_Commands.resize(3);
  return i;
}

// With flag i alone, group i comes from the base and every other group stays; the base
// lies in either palette.
template <class T>
void CheckEachGroup(const Groups<T>& groups, const T& base, cVector<T>& common, cVector<T>& stage) {
  const T fresh{};
  ASSERT_EQ(static_cast<std::size_t>(fresh.m_Inherit.Size()), groups.size());
  for (std::size_t g = 0; g < groups.size(); ++g) ASSERT_NE(groups[g](base), groups[g](fresh)) << "group " << g;
  common.assign(3, T());
  stage.assign(4, T());
  common[2] = base;
  stage[3] = base;
  for (std::int8_t nPalette : {REF_COMMON, REF_STAGE}) {
    for (int i = 0; i < fresh.m_Inherit.Size(); ++i) {
      SCOPED_TRACE("palette " + std::to_string(nPalette) + " flag " + std::to_string(i));
      T def;
      def.m_nBasePalette = nPalette;
      def.m_nBaseIndex = nPalette == REF_COMMON ? 2 : 3;
      def.m_nX = 5;
      def.m_Inherit[i] = 1;
      def.Inherit();
      for (std::size_t g = 0; g < groups.size(); ++g) {
        EXPECT_EQ(groups[g](def), groups[g](static_cast<int>(g) == i ? base : fresh)) << "group " << g;
      }
      EXPECT_EQ(def.m_nX, 5);
      EXPECT_EQ(def.m_nBasePalette, nPalette);
    }
  }
}

TEST_F(DefinitionTest, EachFlagTakesItsGroupFromTheBase) {
  CheckEachGroup(kBlockGroups, BlockBase(), g_CommonPalette.m_Blocks, g_Stage.m_Palette.m_Blocks);
  CheckEachGroup(kCharaGroups, CharaBase(), g_CommonPalette.m_Charas, g_Stage.m_Palette.m_Charas);
  CheckEachGroup(kItemGroups, ItemBase(), g_CommonPalette.m_Items, g_Stage.m_Palette.m_Items);
}

TEST_F(DefinitionTest, BaseReferencesWhenLoaded) {
  g_CommonPalette.m_Blocks.assign(3, cEdBlock());
  g_CommonPalette.m_Blocks[1].m_nHit = 2;
  g_CommonPalette.m_Blocks[1].m_nImage = 5;
  struct Case {
    const char* name;
    std::int8_t palette;
    std::int16_t index;
    int stageBlocks;
    std::vector<int> flags;
    std::int8_t expectPalette;
    std::int16_t expectIndex;
    std::uint8_t expectHit;
  };
  // The loaded block has image 1 and hit 1; base block 3 of the stage has hit 2.
  const Case cases[] = {
      {"index 0 is never followed", REF_COMMON, 0, 5, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 0, 1},
      {"index past the stage list", REF_STAGE, 3, 3, {6}, 0, 3, 1},
      {"stage base", REF_STAGE, 3, 5, {6}, 2, 3, 2},
      {"common base", REF_COMMON, 1, 5, {6}, 1, 1, 2},
      {"unknown palette", 5, 1, 5, {6}, 5, 1, 1},
      {"negative index", REF_COMMON, -1, 5, {6}, 0, -1, 1},
      {"no flag", REF_STAGE, 3, 5, {}, 2, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_Stage.m_Palette.m_Blocks.assign(static_cast<std::size_t>(c.stageBlocks), cEdBlock());
    if (c.stageBlocks > 3) {
      g_Stage.m_Palette.m_Blocks[3].m_nHit = 2;
      g_Stage.m_Palette.m_Blocks[3].m_nImage = 9;
    }
    cEdBlock stored;
    stored.m_nImage = 1;
    stored.m_nBasePalette = c.palette;
    stored.m_nBaseIndex = c.index;
    for (int f : c.flags) stored.m_Inherit[f] = 1;
    // Saving checks the base against the lists: the stored reference is written back.
    std::string raw = rt::SaveBody(stored);
    raw[4] = static_cast<char>(c.palette);
    std::memcpy(raw.data() + 5, &c.index, 2);
    cEdBlock loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, raw));
    EXPECT_EQ(G(loaded.m_nBasePalette, loaded.m_nBaseIndex, loaded.m_nHit),
              G(c.expectPalette, c.expectIndex, c.expectHit));
  }
}

TEST_F(DefinitionTest, HeldItemCheckedAgainstTheItemLists) {
  g_Stage.m_Palette.m_Items.assign(4, cEdItem());
  cEdBlock block;
  block.m_nImage = 1;
  block.m_nItemPalette = REF_STAGE;
  block.m_nItemIndex = 4;
  cEdBlock loaded;
  ASSERT_TRUE(rt::LoadBody(loaded, rt::SaveBody(block)));
  EXPECT_EQ(G(loaded.m_nItemPalette, loaded.m_nItemIndex), G(2, 4));  // loading checks no item
  loaded.CheckPaletteRefs();
  EXPECT_EQ(G(loaded.m_nItemPalette, loaded.m_nItemIndex), G(0, 0));
  loaded.m_nItemPalette = REF_STAGE;
  loaded.m_nItemIndex = 3;
  loaded.CheckPaletteRefs();
  EXPECT_EQ(G(loaded.m_nItemPalette, loaded.m_nItemIndex), G(2, 3));
}

TEST_F(DefinitionTest, GetItemDef) {
  g_CommonPalette.m_Items.assign(3, cEdItem());
  g_Stage.m_Palette.m_Items.assign(2, cEdItem());
  EXPECT_EQ(GetItemDef(1, 2), &g_CommonPalette.m_Items[2]);
  EXPECT_EQ(GetItemDef(2, 1), &g_Stage.m_Palette.m_Items[1]);
  EXPECT_EQ(GetItemDef(2, 2), nullptr);
  EXPECT_EQ(GetItemDef(1, -1), nullptr);
  EXPECT_EQ(GetItemDef(3, 0), nullptr);
  EXPECT_EQ(GetItemDef(0, 0), nullptr);
}

TEST_F(DefinitionTest, PlacementCopiesAndOffsets) {
  cEdChara c;
  c.m_nExtraCopies = 2;
  c.m_nOffsetXStep = 32;
  c.m_nOffsetYBase = 4;
  c.m_bOffsetXMirror = 1;
  EXPECT_EQ(c.PlacementCount(), 3);
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(c.OffsetX(n, 1), -32.0 * n);
    EXPECT_EQ(c.OffsetX(n, 0), 32.0 * n);
    EXPECT_EQ(c.OffsetY(n, 1), 4.0);
  }
  c.m_nExtraCopies = -1;
  EXPECT_EQ(c.PlacementCount(), 0);
}

TEST_F(DefinitionTest, ResetKeepsPositionAndLists) {
  cEdChara c = CharaBase();
  c.m_nX = 3;
  c.m_nCarriedItem = 2;
  c.Reset();
  EXPECT_EQ(c.m_nX, 3);
  EXPECT_EQ(c.m_Flows.size(), 2u);
  EXPECT_EQ(c.m_nCarriedItem, -1);
  EXPECT_EQ(G(c.m_nOperator, c.m_nMaxHP, c.m_nImageSheet, c.m_nGroup35), G(1, 10, 1, 1));
  EXPECT_EQ(c.m_Inherit.size(), 37u);
  cEdItem i = ItemBase();
  i.m_Inherit.resize(2);
  i.Reset();
  EXPECT_EQ(G(i.m_nImageSheet, i.m_bShowOnTake, i.m_nScale, i.m_nGroup5, i.m_Commands.size(), i.m_Inherit.size()),
            G(2, 1, 1, 6, 3, 13));
}

}  // namespace
