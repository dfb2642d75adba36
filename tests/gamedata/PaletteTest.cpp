#include "gamedata/Palette.h"

#include <gtest/gtest.h>

#include "PaletteFixture.h"
#include "gamedata/DataPaths.h"
#include "gamedata/RecordList.h"
#include "gamedata/Vocabulary.h"

namespace {

class PaletteTest : public rt::PaletteFixture {};

// A palette file as another writer could have made it: the lists exactly as given.
std::string PaletteFile(cVector<cEdBlock>& blocks, cVector<cEdChara>& charas, cVector<cEdItem>& items) {
  cDataWriter out;
  out.WriteU32(513);
  out.WriteU32(0);
  out.WriteU32(0);
  SaveRecordList(out, blocks);
  SaveRecordList(out, charas);
  SaveRecordList(out, items);
  return out.Bytes();
}

TEST_F(PaletteTest, FileBeginsWithEmptyBodyAndHoldsTwoOfEach) {
  cEdPalette palette;
  palette.m_Blocks.resize(3);
  palette.m_Blocks[2].m_nImage = 8;
  ASSERT_TRUE(palette.SaveToFile("p.cplt4"));
  const std::string file = plat::fs::readFile("p.cplt4").value();
  EXPECT_EQ(file.substr(0, 16), rt::Bytes().u32(513).u32(0).u32(0).u32(3).s);

  cEdPalette back;
  ASSERT_TRUE(back.LoadFromFile("p.cplt4"));
  EXPECT_EQ(back.m_Blocks.size(), 3u);
  EXPECT_EQ(back.m_Blocks[2].m_nImage, 8);
  EXPECT_EQ(back.m_Charas.size(), 2u);  // a new palette holds one of each; saving pads to two
  EXPECT_EQ(back.m_Items.size(), 2u);
}

TEST_F(PaletteTest, LoadResetsFirstElementsClearsFlagsAndPads) {
  cVector<cEdBlock> blocks(1);
  blocks[0].m_nImage = 4;  // element 0 is the empty block whatever is stored
  blocks[0].m_nHit = 2;
  cVector<cEdChara> charas(3);
  charas[2].m_Inherit.assign(37, 1);
  charas[2].m_nMaxHP = 77;
  cVector<cEdItem> items;
  cEdPalette palette;
  ASSERT_TRUE(rt::LoadBody(palette, PaletteFile(blocks, charas, items).substr(4)));
  ASSERT_EQ(palette.m_Blocks.size(), 2u);
  EXPECT_EQ(palette.m_Blocks[0].m_nImage, 0);
  EXPECT_EQ(palette.m_Blocks[1].m_nHit, 0);  // the padding block, normalised: empty image
  ASSERT_EQ(palette.m_Charas.size(), 3u);
  EXPECT_EQ(palette.m_Charas[2].m_Inherit, cVector<std::uint8_t>(37, 0));
  EXPECT_EQ(palette.m_Charas[2].m_nMaxHP, 77);
  EXPECT_EQ(palette.m_Items.size(), 2u);
}

TEST_F(PaletteTest, DefinitionsCheckedAgainstTheLoadedPalette) {
  // A block of the common palette holds item 2 of the common palette, and a character's
  // summon names character 5: checked once all three lists are loaded.
  cVector<cEdBlock> blocks(2);
  blocks[1].m_nImage = 1;
  blocks[1].m_nItemPalette = REF_COMMON;
  blocks[1].m_nItemIndex = 2;
  cVector<cEdChara> charas(2);
  cEdCommand& summon = charas[1].m_Flows.emplace_back().m_Commands.emplace_back();
  summon.m_nType = CMD_SUMMON_CHARA;
  summon.NewShot();
  summon.m_pShot->m_nSummonPalette = 0;
  summon.m_pShot->m_nSummon = 5;
  cVector<cEdItem> items(3);
  const std::string file = PaletteFile(blocks, charas, items);
  std::filesystem::create_directory("data");
  plat::fs::invalidateCache();
  ASSERT_TRUE(plat::fs::writeFileAtomic("data\\CommonPalette.cplt4", file));
  ASSERT_EQ(LoadCommonPalette(), 1);
  EXPECT_EQ(g_CommonPalette.m_Blocks[1].m_nItemIndex, 2);
  EXPECT_EQ(g_CommonPalette.m_Charas[1].m_Flows[0].m_Commands[0].m_pShot->m_nSummon, 1);
}

TEST_F(PaletteTest, MissingOrDamagedCommonPaletteReported) {
  EXPECT_EQ(LoadCommonPalette(), 0);
  EXPECT_NE(Report().find("data\\CommonPalette.cplt4 のロードに失敗！"), std::string::npos);
  std::filesystem::create_directory("data");
  plat::fs::invalidateCache();
  ASSERT_TRUE(plat::fs::writeFileAtomic("data\\CommonPalette.cplt4", rt::Bytes().u32(513).u32(0).u32(0).u32(9).s));
  EXPECT_EQ(LoadCommonPalette(), 0);
  // What is left is still a palette to work with.
  EXPECT_GE(g_CommonPalette.m_Blocks.size(), 2u);
}

}  // namespace
