// One event script of a character (or one that an item hands to the hero): its trigger,
// the conditions and key sequence that must hold, and the commands it runs.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Command.h"
#include "gamedata/Condition.h"
#include "gamedata/KeyCondition.h"
#include "gamedata/Record.h"

class cEdFlow : public cRecord {
 public:
  std::int8_t m_nID = 0;         // 0 none, 1 to 26 "A" to "Z"
  std::int8_t m_nSwitch = 0;     // 0 none, 1 to 26 "a" to "z" (trigger 0 only)
  std::uint8_t m_bTestOnly = 0;  // exists only in test play
  cVector<cEdCondition> m_Conditions;
  std::int8_t m_nConditionRule = 0;     // 0 all must hold, 1 at least one
  std::uint8_t m_bLatchConditions = 0;  // once held, they count as held
  std::int8_t m_nTrigger = 0;           // eTrigger
  std::uint8_t m_nKeyTolerance = 0;     // input-history entries the matcher may skip
  std::uint8_t m_bKeyContinuous = 0;
  cVector<cEdKeyCondition> m_KeyConditions;  // first step first
  cVector<cEdCommand> m_Commands;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  void Normalize();
  void CheckPaletteRefs();
};

// A list of flows: elements start as flows with a key tolerance of 3.
void LoadFlowList(cDataReader& in, cVector<cEdFlow>& list);
// Removes every flow marked for test play only, keeping the order of the rest.
void DropTestOnlyFlows(cVector<cEdFlow>& list);
// Loads drop test-only flows unless the player was started by the editor or the project
// keeps them.
bool ShouldDropTestOnlyFlows();
