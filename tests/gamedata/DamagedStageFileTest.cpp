// Damaged definition, palette and stage files: each fails to load, never reads past its
// data, never allocates by a count the data cannot hold, and leaves a record that still
// saves.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "DamagedFileHarness.h"
#include "FakeRefs.h"
#include "RecordTestUtil.h"
#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"

namespace {

using damaged::BaseBodySize;
using damaged::FileOf;
using damaged::Kind;
using damaged::LoadImage;

// Definitions: member count, string count, text length, flag count, condition count,
// the condition's member count, then the counts of the class's further lists.
template <class T>
Kind DefinitionKind(const char* name, T def, std::size_t nPlacement, bool bMoreLists) {
  def.m_strText = "t";
  def.m_Conditions.resize(1);
  const std::size_t nBody = 4 + BaseBodySize(def);
  const std::size_t nFlags = nBody + nPlacement;
  const std::size_t nConditions = nFlags + 4 + def.m_Inherit.size();
  std::vector<std::size_t> counts = {4, nBody - 10, nBody - 6, nFlags, nConditions, nConditions + 4};
  if (bMoreLists) counts.push_back(nConditions + 4 + BaseBodySize(def.m_Conditions[0]));  // flows, commands
  return {name, [] { return std::make_unique<T>(); }, FileOf(def), counts};
}

Kind PaletteKind() {
  cEdPalette palette;
  palette.m_Items[0].m_Commands.resize(1);
  std::string file = FileOf(palette);
  // Member and string counts, the three list counts and each list's first member count.
  cDataWriter blocks;
  SaveRecordList(blocks, palette.m_Blocks);
  cDataWriter charas;
  SaveRecordList(charas, palette.m_Charas);
  const std::size_t nCharas = 12 + blocks.Bytes().size();
  const std::size_t nItems = nCharas + charas.Bytes().size();
  return {"palette",
          [] { return std::make_unique<cEdPalette>(); },
          file,
          {4, 8, 12, 16, nCharas, nCharas + 4, nItems, nItems + 4}};
}

Kind StageKind() {
  cEdStage stage;
  stage.m_Blocks.resize(2);
  stage.m_Charas.resize(1);
  stage.m_Charas[0].m_Flows.emplace_back().m_Commands.resize(1);
  stage.m_Items.resize(1);
  stage.m_Entries.resize(1);
  std::string file = FileOf(stage);
  // Header counts, ranking flags, the first range record, the palette's block count, the
  // placed lists, the layers and the texts.
  cDataWriter head;
  head.WriteU32(513);
  stage.cRecord::Save(head);
  const std::size_t nRanks = head.Bytes().size();
  SaveValueList(head, stage.m_RankFlags);
  const std::size_t nParams = head.Bytes().size();
  for (cEdStageParam& p : stage.m_Params) p.Save(head);
  const std::size_t nPalette = head.Bytes().size();
  stage.m_Palette.SaveLists(head);
  const std::size_t nBlocks = head.Bytes().size();
  const std::size_t nEntries = file.size() - 4 - 4 - BaseBodySize(stage.m_Entries[0]);
  return {"stage",
          [] { return std::make_unique<cEdStage>(); },
          file,
          {4, nRanks - 8, nRanks, nParams, nPalette, nBlocks, nBlocks + 8, nEntries}};
}

class DamagedStageFileTest : public rt::RecordFixture {
 protected:
  std::vector<Kind> Kinds() {
    return {DefinitionKind("block", cEdBlock(), 4, false), DefinitionKind("character", cEdChara(), 8, true),
            DefinitionKind("item", cEdItem(), 4, true), PaletteKind(), StageKind()};
  }
  rt::ScopedRefs refs_;
};

TEST_F(DamagedStageFileTest, SoundFilesLoadWhole) { damaged::ExpectSoundFilesLoadWhole(Kinds()); }

TEST_F(DamagedStageFileTest, EveryTruncationFails) { damaged::ExpectEveryTruncationFails(Kinds()); }

TEST_F(DamagedStageFileTest, HugeCountsAndLengthsFail) { damaged::ExpectHugeCountsAndLengthsFail(Kinds()); }

}  // namespace
