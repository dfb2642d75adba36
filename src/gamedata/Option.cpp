#include "gamedata/Option.h"

cOption g_Option;

void cOption::BindFields(std::uint32_t) {
  AddField4(&m_nPalette);
  AddField4(&m_bMusic);
  AddField4(&m_nSoundVolume);
  AddField4(&m_nRankMode);
  AddString(&m_strRankName);
}

void cOption::Load(cDataReader& in) {
  cRecord::Load(in);
  if (in.Failed()) SetDefaults();
}
