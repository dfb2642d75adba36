// One step of a flow's key sequence: a combination of the pad's channels that must be
// pressed or released, with the hold length a pressed channel must show.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Record.h"

// Channels of a step: directions 0 to 9, buttons 10 to 18.
inline constexpr int KEY_CHANNEL_COUNT = 19;

class cEdKeyCondition : public cRecord {
 public:
  cEdKeyCondition() { Reset(); }

  cVector<std::uint8_t> m_KeyStates;   // per channel: eKeyState
  std::uint8_t m_bFacingRelative = 0;  // written facing right: left and right swap when facing left
  std::int16_t m_nMinFrames = 0;
  std::int16_t m_nMaxFrames = 0;
  std::uint8_t m_bAnyLength = 0;
  std::uint8_t m_nRule = 0;  // eKeyRule

  void Reset();
  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
  // The stored number of states is kept as it is; nothing to repair.
  void Check() {}
};
