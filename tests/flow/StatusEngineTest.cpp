#include "flow/StatusEngine.h"

#include <climits>
#include <set>

#include "FlowFixture.h"
#include "gamedata/Command.h"
#include "gamedata/Condition.h"
#include "gamedata/Vocabulary.h"

namespace {

using flowtest::FlowFixture;

struct OpCase {
  std::int32_t d, x;
  int op;
  std::int32_t min, max, want;
};

TEST(StatusOperateTest, ThirtyTwoBitOperationsClampAndCatchOverflow) {
  const OpCase cases[] = {
      {5, 7, 0, -999999, 999999, 7},
      {5, 3, 1, 0, 999999, 8},
      {5, 8, 2, 0, 999999, 0},  // -3 clamped
      {999999, 1000, 3, -999999, 999999, 999999},
      {999999, -1000, 3, -999999, 999999, -999999},
      {50000, 50000, 3, INT_MIN, INT_MAX, INT_MAX},  // past the width: its end
      {50000, -50000, 3, INT_MIN, INT_MAX, INT_MIN},
      {65536, 65536, 3, INT_MIN, INT_MAX, INT_MAX},  // 2^32, not 0
      {65536, 65536, 3, -999999, 999999, 999999},
      {-65536, 65536, 3, -999999, 999999, -999999},
      {INT_MAX, 1, 1, INT_MIN, INT_MAX, INT_MAX},
      {INT_MIN, 1, 2, INT_MIN, INT_MAX, INT_MIN},
      {999999, 999999, 6, -999999, 999999, 999999},  // 999999 % of 999999
      {-999999, 999999, 6, -999999, 999999, -999999},
      {-7, 2, 4, -999999, 999999, -3},  // toward zero
      {7, 0, 4, -999999, 999999, 7},    // by zero: unchanged
      {7, -3, 5, -999999, 999999, 1},
      {-7, 3, 5, -999999, 999999, -1},
      {7, 0, 5, -999999, 999999, 7},
      {INT_MIN, -1, 4, INT_MIN, INT_MAX, INT_MAX},  // no trap: saturates
      {3, 50, 6, -999999, 999999, 2},
      {-3, 50, 6, -999999, 999999, -2},
      {5, 3, 9, 0, 3, 3},  // unknown operation: clamp only
  };
  for (const OpCase& c : cases)
    EXPECT_EQ(Operate32(c.d, c.x, c.op, c.min, c.max), c.want) << c.d << " op" << c.op << " " << c.x;
}

TEST(StatusOperateTest, NarrowOperationsSaturateInTheirWidth) {
  EXPECT_EQ(Operate8(3, 9, 0, 0, 7), 7);
  EXPECT_EQ(Operate8(0, 300, 0, -128, 127), 44);   // operand truncated to 8 bits
  EXPECT_EQ(Operate8(100, 100, 1, -20, 20), 20);   // 200 stops at 127, then the range
  EXPECT_EQ(Operate8(99, 99, 3, -128, 127), 127);  // 9801, not 73
  EXPECT_EQ(Operate8(-99, 99, 3, -128, 127), -128);
  EXPECT_EQ(Operate8(-20, 7, 3, -20, 20), -20);
  EXPECT_EQ(Operate16(30000, 30000, 1, 0, 200), 200);
  EXPECT_EQ(Operate16(-30000, 30000, 2, -32768, 0), -32768);
  EXPECT_EQ(Operate16(100, 150, 6, 0, 200), 150);
}

TEST(StatusOperateTest, PercentRoundsHalfAwayFromZero) {
  // clang-format off
  const std::int32_t cases[][3] = {{3, 50, 2},           {-3, 50, -2},          {200, 50, 100},
                                   {1, 49, 0},           {1, 50, 1},            {-1, 50, -1},
                                   {999999, 999999, INT_MAX}, {-999999, 999999, INT_MIN}};
  // clang-format on
  for (auto& c : cases) EXPECT_EQ(PercentOf(c[0], c[1]), c[2]) << c[0] << "% " << c[1];
}

// A status-operation command: destination, operation and operand.
struct Op {
  int destKind = 0, varKind = 0, varIndex = 0, whose = 0, status = 0, op = 0, source = 0, constant = 0;
  int lo = 0, hi = 0, opVarKind = 0, opVarIndex = 0, opWhose = 0, opStatus = 0, percent = 0, mode = 0, gauge = 0,
      skipInvincible = 0;
};

cEdCommand Command(const Op& o) {
  cEdCommand c;
  c.m_nType = CMD_STATUS;
  c.m_Params = {o.destKind, o.varKind,  o.varIndex, o.whose, o.status,    o.op,
                o.source,   o.constant, o.lo,       o.hi,    o.opVarKind, o.opVarIndex,
                o.opWhose,  o.opStatus, o.percent,  o.mode,  o.gauge,     o.skipInvincible};
  return c;
}

class StatusOperationTest : public FlowFixture {
 protected:
  void Run(const Op& o, cActor& a) { CmdStatusOperation(a, Command(o)); }
};

TEST_F(StatusOperationTest, VariablesTakeTheOperationWithinTheirRange) {
  C(3) = 999999;
  Run({.destKind = 1, .varIndex = 3, .op = 3, .constant = 1000}, chara_);
  EXPECT_EQ(C(3), 999999);
  Run({.destKind = 1, .varIndex = 3, .op = 3, .constant = -1000}, chara_);
  EXPECT_EQ(C(3), -999999);
  Run({.destKind = 1, .varKind = 1, .varIndex = 254, .op = 1, .constant = 5}, chara_);
  EXPECT_EQ(S(254), 5);
  C(1) = 200;
  Run({.destKind = 1, .varIndex = 1, .op = 0, .constant = 50, .percent = 1}, chara_);
  EXPECT_EQ(C(1), 100);
  // The operand from a variable and from a status of the target.
  S(7) = 12;
  Run({.destKind = 1, .varIndex = 2, .source = 3, .opVarKind = 1, .opVarIndex = 7}, chara_);
  EXPECT_EQ(C(2), 12);
  chara_.m_pTarget = &Player();
  Run({.destKind = 1, .varIndex = 2, .source = 2, .opWhose = 1, .opStatus = STATUS_HP}, chara_);
  EXPECT_EQ(C(2), 50);
  // Other variable kinds do nothing.
  Run({.destKind = 1, .varKind = 2, .varIndex = 2, .constant = 9}, chara_);
  EXPECT_EQ(C(2), 50);
}

TEST_F(StatusOperationTest, MissingTargetOrCharacterSightEndsTheCommand) {
  Run({.destKind = 1, .varIndex = 4, .source = 2, .constant = 1, .opWhose = 1, .opStatus = STATUS_HP}, chara_);
  Run({.destKind = 1, .varIndex = 4, .source = 2, .opWhose = 0, .opStatus = STATUS_SIGHT}, chara_);
  Run({.whose = 1, .status = STATUS_HP, .constant = 1}, chara_);
  EXPECT_EQ(C(4), 0);
  EXPECT_EQ(chara_.m_nHp, 50);
}

TEST_F(StatusOperationTest, HpGoesThroughItsChangeWithModesAndDeathCheck) {
  cPlayer& p = Player();
  Run({.status = STATUS_HP, .constant = 5000000, .gauge = 1}, p);  // 999999, then the maximum
  EXPECT_EQ(p.m_nHp, 100);
  EXPECT_EQ(p.m_HpGauge.m_nCounter, 120);
  Run({.status = STATUS_HP, .op = 2, .constant = 10, .mode = 1}, p);  // 10% of the maximum
  EXPECT_EQ(p.m_nHp, 90);
  Run({.status = STATUS_HP, .op = 2, .constant = 50, .mode = 2}, p);  // half of the current
  EXPECT_EQ(p.m_nHp, 45);
  Run({.status = STATUS_SP, .op = 1, .constant = 100}, p);
  EXPECT_EQ(p.m_nSp, 40);
  Run({.status = STATUS_HP, .op = 0, .constant = 0}, p);  // the executing actor: no check
  EXPECT_EQ(scene_->m_bStatusChanged, 0);
  p.m_pTarget = &chara_;
  Run({.whose = 1, .status = STATUS_HP, .op = 2, .constant = 80}, p);
  EXPECT_EQ(chara_.m_nHp, 0);
  EXPECT_EQ(scene_->m_bStatusChanged, 1);
}

TEST_F(StatusOperationTest, InvincibleActorIsSkippedWhenAsked) {
  chara_.m_Def.m_nInvincible = 1;
  Run({.status = STATUS_HP, .constant = 1, .skipInvincible = 1}, chara_);
  EXPECT_EQ(chara_.m_nHp, 50);
  Run({.status = STATUS_HP, .constant = 1}, chara_);  // forced
  EXPECT_EQ(chara_.m_nHp, 1);
}

TEST_F(StatusOperationTest, MaximaLowerTheCurrentValue) {
  Run({.status = STATUS_MAX_HP, .constant = 30}, chara_);
  EXPECT_EQ(chara_.m_Def.m_nMaxHP, 30);
  EXPECT_EQ(chara_.m_nHp, 30);
  Run({.status = STATUS_MAX_SP, .op = 0, .constant = 50, .percent = 1}, chara_);
  EXPECT_EQ(chara_.m_Def.m_nMaxSP, 20);
  EXPECT_EQ(chara_.m_nSp, 20);
  Run({.status = STATUS_MAX_HP, .op = 2, .constant = 5000000}, chara_);
  EXPECT_EQ(chara_.m_Def.m_nMaxHP, 0);
}

TEST_F(StatusOperationTest, NarrowStatusesAndTheirSideEffects) {
  Run({.status = STATUS_Z, .constant = 9}, chara_);
  EXPECT_EQ(chara_.m_Def.m_nZ, 7);
  Run({.status = STATUS_IMPACT, .constant = -50}, chara_);
  EXPECT_EQ(static_cast<std::int8_t>(chara_.m_Def.m_nBodyImpact), -20);
  Run({.status = STATUS_MARK, .op = 1, .constant = 500}, chara_);
  EXPECT_EQ(chara_.m_Def.m_nMark, 119);
  Run({.varIndex = 8, .status = STATUS_VARIABLE, .constant = 1234567}, chara_);
  EXPECT_EQ(chara_.m_Variables[8], 999999);
  Run({.status = STATUS_STOP, .constant = 40}, chara_);
  EXPECT_DOUBLE_EQ(chara_.m_dBrake, 40 * 0.01 / 4.0);
  Run({.status = STATUS_SIGHT, .constant = 5}, chara_);  // characters have no sight
  EXPECT_EQ(chara_.m_Def.m_nSightRange, 0);
  Run({.status = STATUS_SIGHT, .constant = 5}, Player());
  EXPECT_EQ(Player().m_nSightPx, 80);
}

TEST_F(StatusOperationTest, SystemValues) {
  Run({.whose = 2, .status = SYSVAL_SCROLL_X, .constant = 100}, chara_);
  EXPECT_EQ(AutoScrollSpeed(0), 100);
  EXPECT_DOUBLE_EQ(scene_->m_ScrollX.m_dSpeed, 5.0);  // 100 x 0.1 / 2 sub-steps
  Run({.whose = 2, .status = SYSVAL_SCROLL_Y, .op = 1, .constant = 1000}, chara_);
  EXPECT_EQ(AutoScrollSpeed(1), 480);
  Run({.whose = 2, .status = SYSVAL_LIVES, .op = 1, .constant = 200}, chara_);
  EXPECT_EQ(g_PlayRecord.m_nLives, 99);
  g_PlayRecord.m_nLives = UNLIMITED_LIVES;
  Run({.whose = 2, .status = SYSVAL_LIVES, .constant = 2}, chara_);
  EXPECT_EQ(g_PlayRecord.m_nLives, UNLIMITED_LIVES);
  Run({.whose = 2, .status = SYSVAL_SCORE, .op = 2, .constant = 5}, chara_);
  EXPECT_EQ(g_PlayRecord.m_nStageScore, 0);
  Run({.whose = 2, .status = SYSVAL_TIME, .op = 0, .constant = 50, .percent = 1}, chara_);
  EXPECT_EQ(scene_->m_nTimeLeft, 50);
}

TEST_F(StatusOperationTest, RandomOperandStaysWithinSwappedBounds) {
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    Run({.destKind = 1, .varIndex = 0, .source = 1, .lo = 5, .hi = 2}, chara_);
    seen.insert(C(0));
  }
  EXPECT_EQ(seen, (std::set<int>{2, 3, 4, 5}));
}

TEST_F(StatusOperationTest, ShortParameterListDoesNothing) {
  cEdCommand c;
  c.m_Params = {1, 0, 0};
  CmdStatusOperation(chara_, c);
  EXPECT_EQ(closes_, 0);
}

// A status condition: subject, operator and constant operand.
struct Cond {
  int subject = 0, varKind = 0, whose = 0, status = 0, index = 0, compare = 0, value = 0, percent = 0;
};

class StatusConditionTest : public FlowFixture {
 protected:
  bool Eval(const Cond& c, cActor& a) {
    cEdCondition e;
    e.m_nKind = 4;
    e.m_nSubject = static_cast<std::int8_t>(c.subject);
    e.m_nVarKind = static_cast<std::int8_t>(c.varKind);
    e.m_nWhose = static_cast<std::int8_t>(c.whose);
    e.m_nStatus = static_cast<std::int8_t>(c.status);
    e.m_nIndex = static_cast<std::int16_t>(c.index);
    e.m_nCompare = static_cast<std::int8_t>(c.compare);
    e.m_nValue = c.value;
    e.m_bPercent = static_cast<std::uint8_t>(c.percent);
    return EvalStatusCondition(e, a);
  }
};

TEST_F(StatusConditionTest, Table) {
  C(5) = 7;
  S(2) = -1;
  chara_.m_Def.m_nZ = 3;
  chara_.m_Def.m_nMaxHP = 101;
  chara_.m_nHp = 51;
  g_PlayRecord.m_nStageScore = 500;
  struct Row {
    Cond c;
    bool want;
  } rows[] = {
      {{.subject = 1, .index = 5, .compare = 0, .value = 7}, true},
      {{.subject = 1, .index = 5, .compare = 0, .value = 7, .percent = 1}, false},  // operand 0
      {{.subject = 1, .varKind = 1, .index = 2, .compare = 5, .value = 0}, true},
      {{.subject = 1, .varKind = 2, .index = 2, .compare = 1, .value = 0}, false},
      {{.status = STATUS_HP, .compare = 0, .value = 50, .percent = 1}, true},  // 50.5 rounds to 51
      {{.status = STATUS_HP, .compare = 4, .value = 50}, true},
      {{.status = STATUS_Z, .compare = 0, .value = 259}, true},     // 259 is 3 in 8 bits
      {{.status = STATUS_SIGHT, .compare = 0, .value = 0}, false},  // not the player
      {{.status = 40, .compare = 0, .value = 1}, true},
      {{.whose = 1, .status = STATUS_HP, .compare = 2, .value = 0}, false},  // no target
      {{.whose = 2, .status = SYSVAL_SCORE, .compare = 0, .value = 500}, true},
      {{.whose = 2, .status = SYSVAL_TIME, .compare = 0, .value = 5000}, false},  // operand clamped to 999
      {{.whose = 2, .status = SYSVAL_LIVES, .compare = 0, .value = 3}, true},
      {{.whose = 2, .status = SYSVAL_LIVES, .compare = 9, .value = 3}, false},  // unknown operator
  };
  for (const Row& r : rows)
    EXPECT_EQ(Eval(r.c, chara_), r.want) << "whose " << r.c.whose << " status " << r.c.status << " value " << r.c.value;
  g_PlayRecord.m_nLives = UNLIMITED_LIVES;
  EXPECT_FALSE(Eval({.whose = 2, .status = SYSVAL_LIVES, .compare = 2, .value = 0}, chara_));
  Player().m_Def.m_nSightRange = 4;
  EXPECT_TRUE(Eval({.status = STATUS_SIGHT, .compare = 0, .value = 4}, Player()));
}

TEST_F(StatusConditionTest, RandomOperandWithSwappedBounds) {
  cEdCondition e;
  e.m_nKind = 4;
  e.m_nSubject = 1;
  e.m_nIndex = 0;
  e.m_nOperandKind = 1;
  e.m_nRandomMin = 5;
  e.m_nRandomMax = 2;
  e.m_nCompare = 3;  // C0 = 1 <= operand always; C0 = 6 never
  C(0) = 1;
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(EvalStatusCondition(e, chara_));
  C(0) = 6;
  for (int i = 0; i < 50; ++i) EXPECT_FALSE(EvalStatusCondition(e, chara_));
}

}  // namespace
