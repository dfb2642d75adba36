#include "gamedata/Effect.h"

#include "gamedata/RecordList.h"

void cEdEffectFrame::BindFields(std::uint32_t) {
  AddField4(&m_nPattern);
  AddField4(&m_nTime);
}

void cEdEffect::BindFields(std::uint32_t nVersion) {
  AddString(&m_strName);
  if (nVersion >= VERSION_EDITOR_TAGS) AddField4(&m_nTag);
  AddString(&m_strFile);
  AddField4(&m_nCellWidth);
  AddField4(&m_nCellHeight);
  AddField4(&m_bScaled);
}

void cEdEffect::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Frames);
  if (g_nLoadVersion < VERSION_TAGS_KEPT) m_nTag = 0;
}

void cEdEffect::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Frames);
}

void cEdEffect::Reset() {
  Clear();
  m_nCellWidth = 32;
  m_nCellHeight = 32;
  m_bScaled = 0;
}
