// One test that a flow (or a palette definition's appearance) makes: a comparison of a
// variable or status, a character state, facing or footing, or the distance to the hero.
#pragma once
#include <cstdint>

#include "gamedata/Record.h"

class cEdCondition : public cRecord {
 public:
  std::int8_t m_nKind = 0;         // eConditionKind; COND_NONE never holds
  std::int8_t m_nSubject = 0;      // COND_STATUS: eSubject
  std::int8_t m_nVarKind = 0;      // COND_STATUS variable: eVariableKind
  std::int8_t m_nWhose = 0;        // COND_STATUS to COND_POSITION: eOwner
  std::int8_t m_nStatus = 0;       // status, state, or facing/footing number
  std::int16_t m_nIndex = 0;       // variable number, or the value of kind 5
  std::int8_t m_nOperandKind = 0;  // COND_STATUS: eOperandKind
  std::int32_t m_nValue = 0;       // the constant; kind 7: distance in half blocks
  std::int32_t m_nRandomMin = 0;
  std::int32_t m_nRandomMax = 0;
  std::int8_t m_nOperandWhose = 0;
  std::int8_t m_nOperandStatus = 0;
  std::int8_t m_nOperandVarKind = 0;
  std::int16_t m_nOperandIndex = 0;
  std::int8_t m_nCompare = 0;  // eCompare; COND_POSITION eNegation; COND_DISTANCE eDistanceSense
  std::uint8_t m_bPercent = 0;
  std::int8_t m_nAxis = 0;  // COND_DISTANCE: eDistanceAxis

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  // Nothing in a condition is repaired; the interpreter treats values out of range.
  void Check() {}
};

// Scratch for the two 2-byte members that version 110 replaced.
extern std::int16_t g_nRetiredShort;
