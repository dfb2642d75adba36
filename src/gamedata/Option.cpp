#include "gamedata/Option.h"

#include <algorithm>

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
  if (in.Failed()) {
    SetDefaults();
    return;
  }
  // A palette without its blend table would shut the 8-bit mode out at every start.
  m_nPalette = std::clamp(m_nPalette, 0, OPTION_PALETTE_MAX);
  m_bMusic = m_bMusic ? 1 : 0;
  m_nSoundVolume = std::clamp(m_nSoundVolume, 0, OPTION_VOLUME_MAX);
  m_nRankMode = std::clamp(m_nRankMode, 0, OPTION_RANK_MODE_MAX);
}
