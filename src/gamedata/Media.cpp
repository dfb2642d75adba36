#include "gamedata/Media.h"

void cEdMediaEntry::BindFields(std::uint32_t nVersion) {
  AddString(&m_strName);
  if (nVersion >= VERSION_EDITOR_TAGS) AddField4(&m_nTag);
  AddString(&m_strFile);
}

void cEdMediaEntry::Load(cDataReader& in) {
  cRecord::Load(in);
  if (g_nLoadVersion < VERSION_TAGS_KEPT) m_nTag = 0;
}
