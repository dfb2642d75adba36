#include "flow/CodeLanguage.h"

#include <set>
#include <string>

#include "FlowFixture.h"

namespace {

using flowtest::FlowFixture;

class CodeLanguageTest : public FlowFixture {
 protected:
  int Run(const std::string& text) { return RunCode(text, chara_); }
};

TEST_F(CodeLanguageTest, ArithmeticPrecedenceAndGroups) {
  C(2) = 4;
  const struct {
    const char* text;
    int want;
  } rows[] = {
      {"C1 = 7 + 2 * 3", 13},
      {"C1 = ( 7 + 2 ) * 3", 27},
      {"C1 = (7 + 2) * 3", 27},  // a group at a word start
      {"C1 = 2*(3)", 2},         // not a call: the word reads as 2
      {"C1 = ((1 + 1) * (2 + 3))", 10},
      {"C1 = 10 - 4 - 3", 3},  // left to right
      {"C1 = 7 / -2", -3},
      {"C1 = -7 % 3", -1},
      {"C1 = -5 * (2 + 1)", -15},  // a negative group value is a number word
      {"C1 = C2 * C2 + 1", 17},
      {"C1 = 1000000", 999999},      // clamped when stored
      {"C1 = 99999999999", 999999},  // a number past 32 bits stops at the limit
      {"C1 = abc", 0},
      {"C1 = 12abc", 12},
  };
  for (const auto& r : rows) {
    C(1) = -1;
    EXPECT_EQ(Run(r.text), 1) << r.text;
    EXPECT_EQ(C(1), r.want) << r.text;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CodeLanguageTest, ValueOfTheText) {
  const struct {
    const char* text;
    int want;
    // clang-format off
  } rows[] = {{"", 0}, {"5", 5}, {"1 2 3", 3}, {"2 + 3 * 4", 14}, {"C9 = 3 + 1", 4}, {"(4)", 4}, {"2000000 * 2000", -294967296}};
  // clang-format on
  for (const auto& r : rows) EXPECT_EQ(EvalCodeText(r.text, chara_), r.want) << r.text;
}

TEST_F(CodeLanguageTest, ObjectsVariablesAndStatuses) {
  chara_.m_pTarget = &Player();
  EXPECT_EQ(Run("my.v3 = 12"), 1);
  EXPECT_EQ(chara_.m_Variables[3], 12);
  EXPECT_EQ(Run("pl.v8 = my.v3 + tg.hp"), 1);
  EXPECT_EQ(Player().m_Variables[8], 62);
  EXPECT_EQ(Run("Score = 3"), 1);  // "S" with no digits: S0
  EXPECT_EQ(S(0), 3);
  EXPECT_EQ(Run("S254 = C0 + 1"), 1);
  EXPECT_EQ(S(254), 1);
  EXPECT_EQ(Run("z = 9"), 1);
  EXPECT_EQ(chara_.m_Def.m_nZ, 7);
  EXPECT_EQ(Run("imp = -30"), 1);
  EXPECT_EQ(static_cast<std::int8_t>(chara_.m_Def.m_nBodyImpact), -20);
  EXPECT_EQ(Run("mark = mark + 300"), 1);
  EXPECT_EQ(chara_.m_Def.m_nMark, 119);
  EXPECT_EQ(Run("stop = 40"), 1);
  EXPECT_DOUBLE_EQ(chara_.m_dBrake, 40 * 0.01 / 4.0);
  EXPECT_EQ(Run("1.5 + C1 = 2"), 0);  // a stray "." before any word is an error
  EXPECT_EQ(Run("C1 = 1.5"), 1);      // after a word the prefix is ignored
  EXPECT_EQ(C(1), 5);
}

TEST_F(CodeLanguageTest, HpSpAndTheirMaxima) {
  EXPECT_EQ(Run("my.hp = 999999"), 1);  // up to the current maximum
  EXPECT_EQ(chara_.m_nHp, 100);
  EXPECT_EQ(chara_.m_HpGauge.m_nCounter, 120);
  EXPECT_EQ(Run("sp = sp - 10"), 1);
  EXPECT_EQ(chara_.m_nSp, 10);
  EXPECT_DOUBLE_EQ(chara_.m_SpGauge.m_dDamage, -10 * 50.0 / 40);
  chara_.m_nHp = 0;
  EXPECT_EQ(Run("mhp = 0"), 1);
  EXPECT_EQ(chara_.m_Def.m_nMaxHP, 1);
  EXPECT_EQ(chara_.m_nHp, 1);
  EXPECT_EQ(Run("msp = 5"), 1);
  EXPECT_EQ(chara_.m_nSp, 5);
  EXPECT_EQ(scene_->m_bStatusChanged, 0);
  chara_.m_pTarget = &Player();
  EXPECT_EQ(Run("tg.hp = 0"), 1);
  EXPECT_EQ(Player().m_nHp, 0);
  EXPECT_EQ(scene_->m_bStatusChanged, 1);
}

TEST_F(CodeLanguageTest, SightOnlyActsForThePlayer) {
  EXPECT_EQ(RunCode("sight = 50", Player()), 1);
  EXPECT_EQ(Player().m_Def.m_nSightRange, 40);
  EXPECT_EQ(Player().m_nSightPx, 640);
  EXPECT_EQ(Run("sight = 3"), 1);
  EXPECT_EQ(chara_.m_Def.m_nSightRange, 3);
  EXPECT_EQ(chara_.m_nSightPx, 0);
  // A character's sight reads 0 wherever it is read, the stored value staying.
  chara_.m_pTarget = &chara_;
  EXPECT_EQ(Run("C1 = sight + 1"), 1);
  EXPECT_EQ(C(1), 1);
  EXPECT_EQ(Run("C2 = tg.sight"), 1);
  EXPECT_EQ(C(2), 0);
  EXPECT_EQ(Run("sight = sight + 5"), 1);
  EXPECT_EQ(chara_.m_Def.m_nSightRange, 5);
  EXPECT_EQ(EvalCodeText("sight", chara_), 0);
  EXPECT_EQ(RunCode("C3 = pl.sight", Player()), 1);
  EXPECT_EQ(C(3), 40);
}

TEST_F(CodeLanguageTest, SystemValues) {
  EXPECT_EQ(Run("scrlx = 100"), 1);
  EXPECT_EQ(AutoScrollSpeed(0), 100);
  EXPECT_DOUBLE_EQ(scene_->m_ScrollX.m_dSpeed, 5.0);
  EXPECT_EQ(Run("my.scrly = -1000"), 1);  // a prefix before a system name is ignored
  EXPECT_EQ(AutoScrollSpeed(1), -480);
  EXPECT_EQ(Run("life = 200"), 1);
  EXPECT_EQ(g_PlayRecord.m_nLives, 99);
  g_PlayRecord.m_nLives = UNLIMITED_LIVES;
  EXPECT_EQ(Run("C1 = life"), 1);
  EXPECT_EQ(C(1), 0);
  EXPECT_EQ(Run("life = 5"), 1);
  EXPECT_EQ(g_PlayRecord.m_nLives, UNLIMITED_LIVES);
  EXPECT_EQ(Run("score = score + 70"), 1);
  EXPECT_EQ(g_PlayRecord.m_nStageScore, 70);
  EXPECT_EQ(Run("time = time * 20"), 1);
  EXPECT_EQ(scene_->m_nTimeLeft, 999);
  EXPECT_EQ(Run("sys.hp = 5"), 1);  // no actor: nothing stored
  EXPECT_EQ(chara_.m_nHp, 50);
}

TEST_F(CodeLanguageTest, RandomCall) {
  std::set<int> seen;
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(Run("C1 = rand(6,1)"), 1);
    seen.insert(C(1));
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Run("C1 = rand((2 + 1),rand(3,3))"), 1);
  EXPECT_EQ(C(1), 3);
  EXPECT_EQ(Run("C1 = rand(-2147483647,2147483647) * 0"), 1);  // a span past 32 bits
}

TEST_F(CodeLanguageTest, ErrorsShowTheirBoxAndStoreNothing) {
  const struct {
    const char* text;
    const char* box;
  } rows[] = {
      {"C1 = 5 / 0", "0除算が行われました！(C1 = 5 / 0)"},
      {"C1 = 5 % (1 - 1)", "0除算が行われました！(C1 = 5 % 0)"},
      {"C1 = rand(1)", "関数 rand の引数が不正です！"},
      {"C1 = rand(1,2,3)", "関数 rand の引数が不正です！"},
      {"C1 = rand(1,2", "関数 rand で\")\"が見つかりません！"},
      {"C1 = (1 + 2", "\")\"が見つかりません！"},
      {"foo.hp = 3", "オブジェクト \"foo.\" が認識できません！"},
  };
  for (const auto& r : rows) {
    plat::box_script::reset();
    C(1) = 77;
    EXPECT_EQ(Run(r.text), 0) << r.text;
    EXPECT_EQ(C(1), 77) << r.text;
    EXPECT_EQ(Boxes(), std::vector<std::string>{r.box}) << r.text;
  }
}

TEST_F(CodeLanguageTest, MissingTargetStopsSilently) {
  EXPECT_EQ(Run("tg.hp = 0"), 0);
  EXPECT_EQ(g_CodeError, 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Run("C1 = 1"), 1);
  EXPECT_EQ(g_CodeError, 0);
}

TEST_F(CodeLanguageTest, AssignmentsBeforeAnErrorStayAndNoGaugeStarts) {
  EXPECT_EQ(Run("( C4 = 2 ) + ( hp = 10 ) + ( 1 / 0 )"), 0);
  EXPECT_EQ(C(4), 2);
  EXPECT_EQ(chara_.m_nHp, 10);
  EXPECT_EQ(chara_.m_HpGauge.m_nCounter, 0);
}

TEST_F(CodeLanguageTest, BadIndexesAndDamagedTextsEndSoundly) {
  EXPECT_EQ(Run("C300 = 1"), 1);  // index error: element 0
  EXPECT_EQ(C(0), 1);
  EXPECT_NE(Report().find("err V[300] ( 256 , 4 )"), std::string::npos);
  EXPECT_EQ(Run("= 5"), 1);       // an operator without a left word
  EXPECT_EQ(Run("C1 = 3 +"), 1);  // nor a right one
  EXPECT_GE(closes_, 3);
  const std::string deep = "C1 = " + std::string(2000, '(') + "1" + std::string(2000, ')');
  EXPECT_EQ(Run(deep), 0);
  EXPECT_NE(Report().find("nested too deeply"), std::string::npos);
  std::string groups = "C1 = 0";
  while (groups.size() < 6000) groups += " + (1)";
  C(1) = 8;
  EXPECT_EQ(Run(groups), 0);
  EXPECT_NE(Report().find("too long"), std::string::npos);
  EXPECT_EQ(C(1), 8);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
