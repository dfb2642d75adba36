// Loads arbitrary bytes as a block, character or item definition, a palette file or a
// stage file. The first byte chooses the class (its low seven bits) and how the rest
// makes the file: as it stands (u32 version, then the record), or, with the high bit
// set, as byte edits of a sample file of the class (triples of u16 offset and value),
// which reaches deep into the lists of the palette and stage files and into the upgrades
// of older versions. A file that loads is saved, loaded again and saved again: the two
// saves must be the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "gamedata/DataRefs.h"
#include "gamedata/Stage.h"
#include "gamedata/Vocabulary.h"

namespace {

using Factory = std::function<std::unique_ptr<cRecord>()>;

template <class T>
Factory Make() {
  return [] { return std::make_unique<T>(); };
}

const Factory g_Factories[] = {Make<cEdBlock>(), Make<cEdChara>(), Make<cEdItem>(), Make<cEdPalette>(),
                               Make<cEdStage>()};
constexpr std::size_t KIND_COUNT = sizeof(g_Factories) / sizeof(g_Factories[0]);

// Small databases, so that the repairs of references run both ways; the palette sizes
// are those of the palettes below.
class cFuzzRefs : public cDataRefs {
 public:
  int DatabaseSize(eDatabase n) const override { return 2 + n % 3; }
  int SwordEntryCount(int nType) const override { return nType >= 0 && nType < 2 ? 3 : 0; }
  int SwordEntryTime(int nType, int nEntry) const override { return nType * 4000 + nEntry; }
};
const cFuzzRefs g_Refs;

// Base definitions in both palettes, so that definitions that name one take its groups.
template <class T>
void AddBases(cVector<T>& list, const T& base) {
  list.assign(3, T());
  list[1] = base;
  list[2] = base;
  list[2].m_strText = "second";
}

void SetUpPalettes() {
  cEdBlock block;
  block.m_nImage = 3;
  block.m_nItemPalette = REF_COMMON;
  block.m_nItemIndex = 1;
  block.m_Conditions.resize(1);
  cEdChara chara;
  chara.m_nImage = 2;
  chara.m_nMaxHP = 40;
  chara.m_Flows.emplace_back().m_Commands.emplace_back().m_nType = CMD_JUMP;
  cEdItem item;
  item.m_nScale = 2;
  item.m_Commands.emplace_back().m_nSet = 1;
  for (cEdPalette* palette : {&g_CommonPalette, &g_Stage.m_Palette}) {
    AddBases(palette->m_Blocks, block);
    AddBases(palette->m_Charas, chara);
    AddBases(palette->m_Items, item);
  }
}

using fuzz::LoadImage;
using fuzz::SaveImage;

std::vector<std::string> Images(cRecord& r, std::initializer_list<std::uint32_t> versions) {
  std::vector<std::string> files;
  for (std::uint32_t v : versions) {
    g_nDataVersion = v;
    files.push_back(SaveImage(r));
  }
  g_nDataVersion = CURRENT_DATA_VERSION;
  return files;
}

// Files of each class with something in every list, made once, in several versions.
const std::vector<std::string>& Samples(std::size_t nKind) {
  static std::vector<std::vector<std::string>> samples;
  if (samples.empty()) {
    cEdStage stage;
    stage.m_nWidth = 30;
    stage.m_nHeight = 15;
    stage.m_Palette.m_Blocks.resize(3);
    cEdBlock& inheriting = stage.m_Palette.m_Blocks[2];
    inheriting.m_nBasePalette = REF_COMMON;
    inheriting.m_nBaseIndex = 1;
    inheriting.m_Inherit[2] = 1;
    stage.m_Blocks.resize(2);
    stage.m_Blocks[1].m_nImage = 1;
    stage.m_Blocks[1].m_Conditions.resize(1);
    cEdChara& hero = stage.m_Charas.emplace_back();
    hero.m_nOperator = 0;
    hero.m_nImage = 1;
    hero.m_nBasePalette = REF_STAGE;
    hero.m_nBaseIndex = 1;
    hero.m_Inherit[9] = 1;
    cEdFlow& flow = hero.m_Flows.emplace_back();
    flow.m_KeyConditions.resize(1);
    cEdCommand& move = flow.m_Commands.emplace_back();
    move.m_nType = CMD_MOVE_STRAIGHT;
    move.NewMove();
    stage.m_Items.resize(2);
    stage.m_Items[1].m_Commands.emplace_back().m_nSet = 1;
    stage.m_Backgrounds.resize(2);
    stage.m_Entries.resize(1);
    cEdPalette palette;
    palette.m_Blocks = stage.m_Palette.m_Blocks;
    palette.m_Charas.push_back(hero);
    palette.m_Items = stage.m_Items;
    samples = {Images(stage.m_Blocks[1], {218, CURRENT_DATA_VERSION}), Images(hero, {150, 205, CURRENT_DATA_VERSION}),
               Images(stage.m_Items[1], {218, CURRENT_DATA_VERSION}), Images(palette, {CURRENT_DATA_VERSION}),
               Images(stage, {60, 154, 200, CURRENT_DATA_VERSION})};
  }
  return samples[nKind];
}

std::string EditedSample(std::size_t nKind, const std::uint8_t* data, std::size_t size) {
  return fuzz::EditSample(Samples(nKind), data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  g_nDataVersion = CURRENT_DATA_VERSION;
  g_bStripCR = 1;
  SetDataRefs(&g_Refs);
  static const bool bPalettes = (SetUpPalettes(), true);
  (void)bPalettes;
  const std::size_t nKind = (data[0] & 0x7f) % KIND_COUNT;
  std::string file = data[0] & 0x80 ? EditedSample(nKind, data + 1, size - 1)
                                    : std::string(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::unique_ptr<cRecord> record = g_Factories[nKind]();
  if (!LoadImage(*record, file)) {
    SaveImage(*record);  // what a failed load leaves must still be a whole record
    return 0;
  }
  const std::string first = SaveImage(*record);
  std::unique_ptr<cRecord> again = g_Factories[nKind]();
  if (!LoadImage(*again, first)) std::abort();
  if (SaveImage(*again) != first) std::abort();
  return 0;
}
