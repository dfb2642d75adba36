#include "base/Random.h"
#include "flow/StatusEngine.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "flow/Conditions.h"
#include "records/PlayRecord.h"
#include "gamedata/ClampedMath.h"
#include "gamedata/Command.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Condition.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

cStageScene* Scene() { return g_StageScene.load(std::memory_order_relaxed); }

struct cStatusShape {
  int m_nWidth;
  std::int32_t m_nMin, m_nMax;
};
// By status index: member width and the range of the status operation.
constexpr cStatusShape kStatusShapes[STATUS_COUNT] = {
    {4, -VALUE_LIMIT, VALUE_LIMIT},  // 0 STATUS_VARIABLE
    {4, 0, VALUE_LIMIT},             // 1 STATUS_HP
    {4, 0, VALUE_LIMIT},             // 2 STATUS_SP
    {4, 0, VALUE_LIMIT},             // 3 STATUS_MAX_HP
    {4, 0, VALUE_LIMIT},             // 4 STATUS_MAX_SP
    {1, 0, 99},                      // 5 STATUS_CHARA_ID
    {1, 0, 7},                       // 6 STATUS_Z
    {2, 0, 119},                     // 7 STATUS_MARK
    {1, 0, 40},                      // 8 STATUS_SIGHT
    {4, -VALUE_LIMIT, VALUE_LIMIT},  // 9 STATUS_POWER
    {1, -20, 20},                    // 10 STATUS_IMPACT
    {4, 0, VALUE_LIMIT},             // 11 STATUS_DEFENCE
    {1, 0, 20},                      // 12 STATUS_IMPACT_RESIST
    {2, 0, 200},                     // 13 STATUS_STOP
    {4, -VALUE_LIMIT, VALUE_LIMIT},  // 14 STATUS_SCORE
};

constexpr std::int32_t kSystemRanges[SYSVAL_COUNT][2] = {
    {0, 999},          // 0 SYSVAL_TIME
    {-480, 480},       // 1 SYSVAL_SCROLL_X
    {-480, 480},       // 2 SYSVAL_SCROLL_Y
    {0, VALUE_LIMIT},  // 3 SYSVAL_SCORE
    {0, 99},           // 4 SYSVAL_LIVES
};

bool IsPlayer(const cActor& actor) { return dynamic_cast<const cPlayer*>(&actor) != nullptr; }

template <class T>
T Operate(T d, std::int32_t x32, int nOp, std::int32_t nMin, std::int32_t nMax) {
  // The operand is taken modulo the width; the result is computed in 64 bits and
  // saturates at the width's ends, then at the status's own range.
  const T x = static_cast<T>(x32);
  const std::int64_t dd = d, xx = x;
  std::int64_t r64 = d;
  switch (nOp) {
    case OPERATOR_SET: r64 = x; break;
    case OPERATOR_ADD: r64 = dd + xx; break;
    case OPERATOR_SUB: r64 = dd - xx; break;
    case OPERATOR_MUL: r64 = dd * xx; break;
    case OPERATOR_DIV:
      if (x != 0) r64 = dd / xx;
      break;
    case OPERATOR_MOD:
      if (x != 0) r64 = dd % xx;
      break;
    case OPERATOR_PERCENT: r64 = PercentOf(d, x); break;
    default: break;
  }
  std::int32_t r = ClampTo<T>(r64);
  if (r < nMin) r = nMin;
  if (r > nMax) r = nMax;
  return static_cast<T>(r);
}

// The operation on a status field in its width.
void OperateField(const cStatusField& f, std::int32_t x, int nOp) {
  switch (f.m_nWidth) {
    case 1: f.Set(Operate8(static_cast<std::int8_t>(f.Get()), x, nOp, f.m_nMin, f.m_nMax)); break;
    case 2: f.Set(Operate16(static_cast<std::int16_t>(f.Get()), x, nOp, f.m_nMin, f.m_nMax)); break;
    default: f.Set(Operate32(f.Get(), x, nOp, f.m_nMin, f.m_nMax)); break;
  }
}

// The status value, false for the sight of a character; a status outside the table reads 0.
bool ReadStatus(cActor& actor, int nStatus, int nVariable, std::int32_t& nOut) {
  if (nStatus == STATUS_SIGHT && !IsPlayer(actor)) return false;
  cStatusField f;
  nOut = GetStatusField(actor, nStatus, nVariable, f) ? f.Get() : 0;
  return true;
}

std::int32_t ClampValue(std::int64_t v, std::int32_t nMin, std::int32_t nMax) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, nMin, nMax));
}

// The death check after another actor's HP fell to 0 or below.
void NoteHpChange(cActor& actor, cActor& self) {
  if (&actor != &self && actor.m_nHp <= 0)
    if (cStageScene* pScene = Scene()) pScene->m_bStatusChanged = 1;
}

}  // namespace

std::int32_t cStatusField::Get() const {
  switch (m_nWidth) {
    case 1: return *static_cast<const std::int8_t*>(m_pValue);
    case 2: return *static_cast<const std::int16_t*>(m_pValue);
    default: return *static_cast<const std::int32_t*>(m_pValue);
  }
}

void cStatusField::Set(std::int32_t n) const {
  switch (m_nWidth) {
    case 1: *static_cast<std::int8_t*>(m_pValue) = static_cast<std::int8_t>(n); break;
    case 2: *static_cast<std::int16_t*>(m_pValue) = static_cast<std::int16_t>(n); break;
    default: *static_cast<std::int32_t*>(m_pValue) = n; break;
  }
}

bool GetStatusField(cActor& actor, int nStatus, int nVariable, cStatusField& field) {
  if (nStatus < 0 || nStatus >= STATUS_COUNT) return false;
  cEdChara& def = actor.m_Def;
  void* p = nullptr;
  switch (nStatus) {
    case STATUS_VARIABLE: p = &actor.m_Variables[nVariable]; break;
    case STATUS_HP: p = &actor.m_nHp; break;
    case STATUS_SP: p = &actor.m_nSp; break;
    case STATUS_MAX_HP: p = &def.m_nMaxHP; break;
    case STATUS_MAX_SP: p = &def.m_nMaxSP; break;
    case STATUS_CHARA_ID: p = &def.m_nCharaID; break;
    case STATUS_Z: p = &def.m_nZ; break;
    case STATUS_MARK: p = &def.m_nMark; break;
    case STATUS_SIGHT: p = &def.m_nSightRange; break;
    case STATUS_POWER: p = &def.m_nBodyPower; break;
    case STATUS_IMPACT: p = &def.m_nBodyImpact; break;
    case STATUS_DEFENCE: p = &def.m_nDefence; break;
    case STATUS_IMPACT_RESIST: p = &def.m_nImpactResist; break;
    case STATUS_STOP: p = &def.m_nStopEase; break;
    default: p = &def.m_nScore; break;
  }
  field.m_pValue = p;
  field.m_nWidth = kStatusShapes[nStatus].m_nWidth;
  field.m_nMin = kStatusShapes[nStatus].m_nMin;
  field.m_nMax = kStatusShapes[nStatus].m_nMax;
  return true;
}

void SystemValueRange(int nIndex, std::int32_t& nMin, std::int32_t& nMax) {
  if (nIndex < 0 || nIndex >= SYSVAL_COUNT) {
    nMin = nMax = 0;
    return;
  }
  nMin = kSystemRanges[nIndex][0];
  nMax = kSystemRanges[nIndex][1];
}

std::int32_t ReadSystemValue(int nIndex) {
  cStageScene* pScene = Scene();
  switch (nIndex) {
    case SYSVAL_TIME: return pScene && !pScene->m_bNoTimeLimit ? pScene->m_nTimeLeft : 0;
    case SYSVAL_SCROLL_X: return AutoScrollSpeed(0);
    case SYSVAL_SCROLL_Y: return AutoScrollSpeed(1);
    case SYSVAL_SCORE: return g_PlayRecord.m_nStageScore;
    case SYSVAL_LIVES: return g_PlayRecord.m_nLives == UNLIMITED_LIVES ? 0 : g_PlayRecord.m_nLives;
    default: return 0;
  }
}

void WriteSystemValue(int nIndex, std::int32_t n) {
  cStageScene* pScene = Scene();
  switch (nIndex) {
    case SYSVAL_TIME:
      if (pScene) pScene->m_nTimeLeft = n;
      break;
    case SYSVAL_SCROLL_X: SetAutoScroll(0, AutoScrollOn(0), n); break;
    case SYSVAL_SCROLL_Y: SetAutoScroll(1, AutoScrollOn(1), n); break;
    case SYSVAL_SCORE: g_PlayRecord.m_nStageScore = n; break;
    case SYSVAL_LIVES:
      if (g_PlayRecord.m_nLives != UNLIMITED_LIVES) g_PlayRecord.m_nLives = n;
      break;
    default: break;
  }
}

std::int32_t* VariableRef(int nKind, int nIndex) {
  if (nKind == VARIABLE_COMMON) return &g_PlayRecord.m_CommonVariables[nIndex];
  if (nKind == VARIABLE_STAGE) {
    cStageScene* pScene = Scene();
    return pScene ? &pScene->m_StageVariables[nIndex] : nullptr;
  }
  return nullptr;
}

std::int32_t PercentOf(std::int32_t d, std::int32_t p) {
  double v = static_cast<double>(static_cast<std::int64_t>(d) * p) * 0.01;
  v += v < 0 ? -0.5 : 0.5;
  return ClampTo<std::int32_t>(static_cast<std::int64_t>(v));
}

std::int32_t Operate32(std::int32_t d, std::int32_t x, int nOp, std::int32_t nMin, std::int32_t nMax) {
  return Operate<std::int32_t>(d, x, nOp, nMin, nMax);
}
std::int8_t Operate8(std::int8_t d, std::int32_t x, int nOp, std::int32_t nMin, std::int32_t nMax) {
  return Operate<std::int8_t>(d, x, nOp, nMin, nMax);
}
std::int16_t Operate16(std::int16_t d, std::int32_t x, int nOp, std::int32_t nMin, std::int32_t nMax) {
  return Operate<std::int16_t>(d, x, nOp, nMin, nMax);
}

cActor* OwnerActor(cActor& self, int nWhose) {
  if (nWhose == OWNER_SELF) return &self;
  if (nWhose == OWNER_TARGET) return self.m_pTarget;
  return nullptr;
}

bool OperandValue(cActor& self, const cOperand& op, std::int32_t& nOut) {
  switch (op.m_nSource) {
    case OPERAND_CONSTANT: nOut = op.m_nConstant; return true;
    case OPERAND_RANDOM: {
      const std::int64_t lo = std::min(op.m_nBoundA, op.m_nBoundB);
      const std::int64_t hi = std::max(op.m_nBoundA, op.m_nBoundB);
      nOut = static_cast<std::int32_t>(lo + Rand() % (hi - lo + 1));
      return true;
    }
    case OPERAND_STATUS: {
      if (op.m_nWhose == OWNER_SYSTEM) {
        nOut = ReadSystemValue(op.m_nStatus);
        return true;
      }
      cActor* pOwner = OwnerActor(self, op.m_nWhose);
      return pOwner && ReadStatus(*pOwner, op.m_nStatus, op.m_nIndex, nOut);
    }
    case OPERAND_VARIABLE: {
      const std::int32_t* p = VariableRef(op.m_nVarKind, op.m_nIndex);
      nOut = p ? *p : 0;
      return true;
    }
    default: nOut = 0; return true;
  }
}

bool EvalStatusCondition(const cEdCondition& c, cActor& actor) {
  cOperand op;
  op.m_nSource = c.m_nOperandKind;
  op.m_nConstant = c.m_nValue;
  op.m_nBoundA = c.m_nRandomMin;
  op.m_nBoundB = c.m_nRandomMax;
  op.m_nVarKind = c.m_nOperandVarKind;
  op.m_nIndex = c.m_nOperandIndex;
  op.m_nWhose = c.m_nOperandWhose;
  op.m_nStatus = c.m_nOperandStatus;
  std::int32_t x = 0;
  if (!OperandValue(actor, op, x)) return false;

  if (c.m_nSubject == SUBJECT_VARIABLE) {
    const std::int32_t* p = VariableRef(c.m_nVarKind, c.m_nIndex);
    if (!p) return false;
    if (c.m_bPercent) x = 0;
    return CompareByOp(*p, x, c.m_nCompare);
  }
  if (c.m_nSubject != SUBJECT_STATUS) return false;
  if (c.m_nWhose == OWNER_SYSTEM) {
    if (c.m_nStatus < 0 || c.m_nStatus >= SYSVAL_COUNT) return false;
    if (c.m_nStatus == SYSVAL_LIVES && g_PlayRecord.m_nLives == UNLIMITED_LIVES) return false;
    if (c.m_bPercent) x = 0;
    std::int32_t nMin, nMax;
    SystemValueRange(c.m_nStatus, nMin, nMax);
    return CompareByOp(ReadSystemValue(c.m_nStatus), std::clamp(x, nMin, nMax), c.m_nCompare);
  }
  cActor* pSubject = OwnerActor(actor, c.m_nWhose);
  if (!pSubject) return false;
  cStatusField f;
  if (!GetStatusField(*pSubject, c.m_nStatus, c.m_nIndex, f)) return true;
  if (c.m_nStatus == STATUS_SIGHT && !IsPlayer(*pSubject)) return false;
  if (c.m_bPercent) {
    if (c.m_nStatus == STATUS_HP) x = ClampValue(PercentOf(pSubject->m_Def.m_nMaxHP, x), 0, VALUE_LIMIT);
    else if (c.m_nStatus == STATUS_SP) x = ClampValue(PercentOf(pSubject->m_Def.m_nMaxSP, x), 0, VALUE_LIMIT);
    else x = 0;
  }
  if (f.m_nWidth == 1) x = static_cast<std::int8_t>(x);
  else if (f.m_nWidth == 2) x = static_cast<std::int16_t>(x);
  return CompareByOp(f.Get(), x, c.m_nCompare);
}

void ApplyStatusSideEffect(cActor& actor, int nStatus) {
  if (nStatus == STATUS_SIGHT && IsPlayer(actor)) {
    // The drawing rebuilds the darkness mask when it finds the radius changed.
    actor.m_nSightPx = HblToDot(static_cast<std::int8_t>(actor.m_Def.m_nSightRange));
  } else if (nStatus == STATUS_STOP) {
    actor.m_dBrake = SpeedToDot(actor.m_Def.m_nStopEase);
  }
}

void CmdStatusOperation(cActor& self, const cEdCommand& command) {
  const cVector<std::int32_t>& p = command.m_Params;
  if (p.Size() < STATUS_PARAM_COUNT) return;  // a damaged command: nothing to act on
  cOperand op;
  op.m_nSource = p[P_STATUS_OPERAND];
  op.m_nConstant = p[P_STATUS_CONSTANT];
  op.m_nBoundA = p[P_STATUS_RANDOM_A];
  op.m_nBoundB = p[P_STATUS_RANDOM_B];
  op.m_nVarKind = p[P_STATUS_OPERAND_VAR_KIND];
  op.m_nIndex = p[P_STATUS_OPERAND_INDEX];
  op.m_nWhose = p[P_STATUS_OPERAND_WHOSE];
  op.m_nStatus = p[P_STATUS_OPERAND_STATUS];
  std::int32_t x = 0;
  if (!OperandValue(self, op, x)) return;
  const int nOp = p[P_STATUS_OPERATOR];
  const bool bPercent = p[P_STATUS_PERCENT] != 0;

  if (p[P_STATUS_SUBJECT] == SUBJECT_VARIABLE) {
    std::int32_t* pVar = VariableRef(p[P_STATUS_VAR_KIND], p[P_STATUS_INDEX]);
    if (!pVar) return;
    if (bPercent) x = PercentOf(*pVar, x);
    *pVar = Operate32(*pVar, x, nOp, -VALUE_LIMIT, VALUE_LIMIT);
    return;
  }
  if (p[P_STATUS_SUBJECT] != SUBJECT_STATUS) return;
  if (p[P_STATUS_WHOSE] == OWNER_SYSTEM) {
    const int nIndex = p[P_STATUS_STATUS];
    if (nIndex < 0 || nIndex >= SYSVAL_COUNT) return;
    if (nIndex == SYSVAL_LIVES && g_PlayRecord.m_nLives == UNLIMITED_LIVES) return;
    const std::int32_t d = ReadSystemValue(nIndex);
    if (bPercent) x = PercentOf(d, x);
    std::int32_t nMin, nMax;
    SystemValueRange(nIndex, nMin, nMax);
    WriteSystemValue(nIndex, Operate32(d, x, nOp, nMin, nMax));
    return;
  }
  cActor* pActor = OwnerActor(self, p[P_STATUS_WHOSE]);
  if (!pActor) return;
  cActor& a = *pActor;
  if (p[P_STATUS_NOT_INVINCIBLE] && a.IsInvincibleNow()) return;
  const int nStatus = p[P_STATUS_STATUS];
  const bool bGauge = p[P_STATUS_SHOW_GAUGE] != 0;
  switch (nStatus) {
    case STATUS_HP:
    case STATUS_SP: {
      const bool bHp = nStatus == STATUS_HP;
      const std::int32_t nCur = bHp ? a.m_nHp : a.m_nSp;
      const std::int32_t nMax = bHp ? a.m_Def.m_nMaxHP : a.m_Def.m_nMaxSP;
      std::int32_t n = nCur;
      switch (p[P_STATUS_CALC_MODE]) {
        case CALC_PLAIN: n = Operate32(n, x, nOp, 0, VALUE_LIMIT); break;
        case CALC_PERCENT_OF_MAX: n = Operate32(n, PercentOf(nMax, x), nOp, 0, VALUE_LIMIT); break;
        case CALC_PERCENT_OF_CURRENT: n = Operate32(n, PercentOf(nCur, x), nOp, 0, VALUE_LIMIT); break;
        default: break;
      }
      n = std::clamp(n, 0, VALUE_LIMIT);
      const auto nDelta = static_cast<std::int32_t>(static_cast<std::int64_t>(n) - nCur);
      if (bHp) {
        a.ChangeHp(nDelta, true, bGauge);
        NoteHpChange(a, self);
      } else {
        a.ChangeSp(nDelta, bGauge);
      }
      return;
    }
    case STATUS_MAX_HP:
    case STATUS_MAX_SP: {
      const bool bHp = nStatus == STATUS_MAX_HP;
      std::int32_t& nMax = bHp ? a.m_Def.m_nMaxHP : a.m_Def.m_nMaxSP;
      std::int32_t& nCur = bHp ? a.m_nHp : a.m_nSp;
      if (bPercent) x = PercentOf(nMax, x);
      nMax = Operate32(nMax, x, nOp, 0, VALUE_LIMIT);
      if (nCur > nMax) nCur = nMax;
      if (bHp) NoteHpChange(a, self);
      return;
    }
    default: break;
  }
  if (nStatus == STATUS_SIGHT && !IsPlayer(a)) return;
  cStatusField f;
  if (!GetStatusField(a, nStatus, p[P_STATUS_INDEX], f)) return;
  if (bPercent) x = PercentOf(f.Get(), x);
  OperateField(f, x, nOp);
  ApplyStatusSideEffect(a, nStatus);
}
