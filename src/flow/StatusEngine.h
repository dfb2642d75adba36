// The numbers flows read and change: the statuses of an actor, the system values, the
// common and stage variables; where an operand's value comes from; the seven operations
// with their clamps; the status condition and the status-operation command.
#pragma once
#include <cstdint>

#include "gamedata/Vocabulary.h"

class cActor;
class cEdCommand;
class cEdCondition;

inline constexpr std::int32_t VALUE_LIMIT = 999999;

// Where a status is kept: its member and width in bytes (1, 2 or 4), and the range the
// status operation keeps it in.
struct cStatusField {
  void* m_pValue = nullptr;
  int m_nWidth = 4;
  std::int32_t m_nMin = 0;
  std::int32_t m_nMax = 0;

  std::int32_t Get() const;
  void Set(std::int32_t n) const;  // written in the field's width
};

// The field of a status of the actor (nVariable picks the character variable of status
// 0); false for an index outside the table.
bool GetStatusField(cActor& actor, int nStatus, int nVariable, cStatusField& field);
// The range of a system value.
void SystemValueRange(int nIndex, std::int32_t& nMin, std::int32_t& nMax);
// Current value of a system value; unlimited lives read 0.
std::int32_t ReadSystemValue(int nIndex);
// Stores a system value after its clamp and applies what follows from it (the automatic
// scroll); unlimited lives are never changed.
void WriteSystemValue(int nIndex, std::int32_t n);
// A common (kind 0) or stage (kind 1) variable; null for another kind.
std::int32_t* VariableRef(int nKind, int nIndex);

// d x p percent, rounded half away from zero.
std::int32_t PercentOf(std::int32_t d, std::int32_t p);
// The operations (0 =, 1 +, 2 -, 3 x, 4 /, 5 remainder, 6 percent) then the clamp, in
// 32, 8 and 16 bits.
std::int32_t Operate32(std::int32_t d, std::int32_t x, int nOp, std::int32_t nMin, std::int32_t nMax);
std::int8_t Operate8(std::int8_t d, std::int32_t x, int nOp, std::int32_t nMin, std::int32_t nMax);
std::int16_t Operate16(std::int16_t d, std::int32_t x, int nOp, std::int32_t nMin, std::int32_t nMax);

// The value of an operand: 0 constant, 1 random within the bounds, 2 a status or system
// value of whose, 3 a common or stage variable. False when it cannot be read (no
// target, the sight of a character).
struct cOperand {
  int m_nSource = 0;
  std::int32_t m_nConstant = 0;
  std::int32_t m_nBoundA = 0;
  std::int32_t m_nBoundB = 0;
  int m_nVarKind = 0;
  int m_nIndex = 0;  // variable index, or the character variable of status 0
  int m_nWhose = 0;
  int m_nStatus = 0;
};
bool OperandValue(cActor& self, const cOperand& operand, std::int32_t& nOut);

// Condition kind 4.
bool EvalStatusCondition(const cEdCondition& condition, cActor& actor);
// The status-operation command on the executing actor.
void CmdStatusOperation(cActor& actor, const cEdCommand& command);

// The actor a whose value stands for (self or target); null for none.
cActor* OwnerActor(cActor& self, int nWhose);
// Sight radius (the darkness mask follows when drawn) after the player's sight status changed; stopping
// factor after its stopping status changed.
void ApplyStatusSideEffect(cActor& actor, int nStatus);
