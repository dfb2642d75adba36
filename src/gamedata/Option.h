// The user's own settings, kept in "user_data\Option.dat".
#pragma once
#include <cstdint>
#include <string>

#include "gamedata/Record.h"

// The largest value of each numbered option; each starts at 0.
inline constexpr std::int32_t OPTION_PALETTE_MAX = 23;
inline constexpr std::int32_t OPTION_VOLUME_MAX = 10;
inline constexpr std::int32_t OPTION_RANK_MODE_MAX = 3;

class cOption : public cRecord {
 public:
  std::int32_t m_nPalette = 0;      // blend-table palette 0 to 23 of the 8-bit mode
  std::int32_t m_bMusic = 1;        // the music player is made only when on
  std::int32_t m_nSoundVolume = 7;  // volume step 0 (silent) to 10 (full)
  std::int32_t m_nRankMode = 0;     // ranking registration mode 0 to 3
  std::string m_strRankName = "aaa";

  void BindFields(std::uint32_t nVersion) override;
  // A file that fails to load leaves every option at its default. A value out of its
  // range is brought to the nearest end (music: any value but 0 is on).
  void Load(cDataReader& in) override;
  void SetDefaults() { *this = cOption(); }
};

extern cOption g_Option;
