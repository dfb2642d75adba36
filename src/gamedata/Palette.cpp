#include "gamedata/Palette.h"

#include "base/Log.h"
#include "gamedata/DataPaths.h"
#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"

cEdPalette g_CommonPalette;

namespace {

template <class T>
void PadList(cVector<T>& list) {
  if (list.size() < 2) list.resize(2);
}

template <class T>
void NormalizeList(cVector<T>& list) {
  for (T& definition : list) {
    definition.Normalize();
    definition.CheckPaletteRefs();
  }
}

}  // namespace

void cEdPalette::LoadLists(cDataReader& in) {
  LoadWholeRecordList(in, m_Blocks);
  LoadWholeRecordList(in, m_Charas);
  LoadWholeRecordList(in, m_Items);
}

void cEdPalette::SaveLists(cDataWriter& out) {
  SaveRecordList(out, m_Blocks);
  SaveRecordList(out, m_Charas);
  SaveRecordList(out, m_Items);
}

void cEdPalette::ResetFirstElements() {
  if (!m_Blocks.empty()) m_Blocks[0].Reset();
  if (!m_Charas.empty()) m_Charas[0].Reset();
  if (!m_Items.empty()) m_Items[0].Reset();
}

void cEdPalette::PadLists() {
  PadList(m_Blocks);
  PadList(m_Charas);
  PadList(m_Items);
}

void cEdPalette::NormalizeDefinitions() {
  NormalizeList(m_Blocks);
  NormalizeList(m_Charas);
  NormalizeList(m_Items);
}

void cEdPalette::ResetLists() {
  m_Blocks.ResetRecords(1);
  m_Charas.ResetRecords(1);
  m_Items.ResetRecords(1);
}

void cEdPalette::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadLists(in);
  ResetFirstElements();
  for (cEdBlock& block : m_Blocks) block.m_Inherit.Fill(0);
  for (cEdChara& chara : m_Charas) chara.m_Inherit.Fill(0);
  for (cEdItem& item : m_Items) item.m_Inherit.Fill(0);
  Validate();
}

void cEdPalette::Save(cDataWriter& out) {
  Validate();
  cRecord::Save(out);
  SaveLists(out);
}

void cEdPalette::Validate() {
  PadLists();
  NormalizeDefinitions();
}

int PaletteListSize(ePalette nPalette, eDefinition nKind) {
  const cEdPalette& palette = nPalette == PALETTE_COMMON ? g_CommonPalette : g_Stage.m_Palette;
  switch (nKind) {
    case DEF_BLOCK: return palette.m_Blocks.Size();
    case DEF_CHARA: return palette.m_Charas.Size();
    case DEF_ITEM: return palette.m_Items.Size();
  }
  return 0;
}

int LoadCommonPalette() {
  const char* path = g_PathTable[PATH_COMMON_PALETTE];
  if (g_CommonPalette.LoadFromFile(path)) return 1;
  ReportError("%s のロードに失敗！", path);
  return 0;
}
