// The effects of "Effect.dat": short sprite animations shown where a hit lands or where a
// flow places one. The cells of an effect lie in one row of its bitmap.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Record.h"

class cEdEffectFrame : public cRecord {
 public:
  std::int32_t m_nPattern = 0;  // cell number in the row
  std::int32_t m_nTime = 1;     // tenths of a second

  void BindFields(std::uint32_t nVersion) override;
};

class cEdEffect : public cRecord {
 public:
  std::int32_t m_nTag = 0;  // the editor's; stored from 151, kept from 153
  std::int32_t m_nCellWidth = 32;
  std::int32_t m_nCellHeight = 32;
  std::int32_t m_bScaled = 0;  // drawn larger with a size factor above 1
  std::string m_strName;
  std::string m_strFile;
  cVector<cEdEffectFrame> m_Frames;  // none: the effect shows nothing and ends at once

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // Registered members to their defaults; the frames stay.
  void Reset();
};
