#include <gtest/gtest.h>

#include <functional>

#include "RecordTestUtil.h"
#include "gamedata/Condition.h"
#include "gamedata/KeyCondition.h"

namespace {

using rt::Bytes;

class ConditionTest : public rt::RecordFixture {};

// The condition's body written in the layout of a version (no load-time steps).
std::string OldCondition(cEdCondition& c, std::uint32_t version) {
  rt::ScopedDataVersion v(version);
  cDataWriter out;
  c.cRecord::Save(out);
  return out.Bytes();
}

TEST_F(ConditionTest, LayoutsByVersion) {
  const std::pair<std::uint32_t, std::pair<std::uint32_t, std::size_t>> cases[] = {
      {42, {6, 11}}, {43, {7, 12}}, {109, {7, 12}}, {110, {17, 28}}, {513, {17, 28}}};
  for (auto [version, layout] : cases) {
    cEdCondition c;
    std::string body = OldCondition(c, version);
    EXPECT_EQ(rt::ReadU32At(body, 0), layout.first) << version;
    EXPECT_EQ(body.size(), 4 + layout.second + 4) << version;
  }
}

TEST_F(ConditionTest, RoundTrip) {
  cEdCondition c;
  c.m_nKind = 4;
  c.m_nSubject = 1;
  c.m_nVarKind = 1;
  c.m_nWhose = 2;
  c.m_nStatus = 3;
  c.m_nIndex = -300;
  c.m_nOperandKind = 3;
  c.m_nValue = -7;
  c.m_nRandomMin = 10;
  c.m_nRandomMax = -10;
  c.m_nOperandWhose = 1;
  c.m_nOperandStatus = 14;
  c.m_nOperandVarKind = 1;
  c.m_nOperandIndex = 255;
  c.m_nCompare = 5;
  c.m_bPercent = 1;
  c.m_nAxis = 6;
  cEdCondition back;
  ASSERT_TRUE(rt::LoadBody(back, rt::SaveBody(c)));
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(c)));
  EXPECT_EQ(back.m_nOperandIndex, 255);
  EXPECT_EQ(back.m_nRandomMax, -10);
}

TEST_F(ConditionTest, Upgrades) {
  struct Case {
    const char* name;
    std::uint32_t version;
    std::function<void(cEdCondition&)> stored;
    std::function<void(const cEdCondition&)> check;
  };
  const Case cases[] = {
      {"100: the members of version 110 stay at their defaults", 100,
       [](cEdCondition& c) {
         c.m_nKind = 1;
         c.m_nValue = 9;
         c.m_nRandomMin = 5;
         c.m_nIndex = 4;
         c.m_nAxis = 2;
       },
       [](const cEdCondition& c) {
         EXPECT_EQ(c.m_nValue, 9);
         EXPECT_EQ(c.m_nRandomMin, 0);
         EXPECT_EQ(c.m_nIndex, 0);
         EXPECT_EQ(c.m_nAxis, 2);
       }},
      {"42: no percentage byte, the next byte is the axis", 42,
       [](cEdCondition& c) {
         c.m_bPercent = 1;
         c.m_nAxis = 3;
       },
       [](const cEdCondition& c) {
         EXPECT_EQ(c.m_bPercent, 0);
         EXPECT_EQ(c.m_nAxis, 3);
       }},
      {"150: kind 5 becomes 7", 150, [](cEdCondition& c) { c.m_nKind = 5; },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nKind, 7); }},
      {"150: kind 4 stays", 150, [](cEdCondition& c) { c.m_nKind = 4; },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nKind, 4); }},
      {"160: kind 6, status 2 inverts the sense", 160,
       [](cEdCondition& c) {
         c.m_nKind = 6;
         c.m_nStatus = 2;
       },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nCompare, 1); }},
      {"160: kind 6, status 3 is left alone", 160,
       [](cEdCondition& c) {
         c.m_nKind = 6;
         c.m_nStatus = 3;
       },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nCompare, 0); }},
      {"167: a character status 12 moves twice, an operand status 7 once", 167,
       [](cEdCondition& c) {
         c.m_nKind = 4;
         c.m_nStatus = 12;
         c.m_nOperandKind = 2;
         c.m_nOperandStatus = 7;
       },
       [](const cEdCondition& c) {
         EXPECT_EQ(c.m_nStatus, 14);
         EXPECT_EQ(c.m_nOperandStatus, 8);
       }},
      {"167: system values are not renumbered", 167,
       [](cEdCondition& c) {
         c.m_nKind = 4;
         c.m_nWhose = 2;
         c.m_nStatus = 12;
         c.m_nOperandKind = 2;
         c.m_nOperandWhose = 2;
         c.m_nOperandStatus = 7;
       },
       [](const cEdCondition& c) {
         EXPECT_EQ(c.m_nStatus, 12);
         EXPECT_EQ(c.m_nOperandStatus, 7);
       }},
      {"202: a status 5 moves once; a variable operand not at all", 202,
       [](cEdCondition& c) {
         c.m_nKind = 4;
         c.m_nStatus = 5;
         c.m_nOperandKind = 3;
         c.m_nOperandStatus = 9;
       },
       [](const cEdCondition& c) {
         EXPECT_EQ(c.m_nStatus, 6);
         EXPECT_EQ(c.m_nOperandStatus, 9);
       }},
      {"209: kind 5 of the target, state 6 becomes 7", 209,
       [](cEdCondition& c) {
         c.m_nKind = 5;
         c.m_nWhose = 1;
         c.m_nStatus = 6;
       },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nStatus, 7); }},
      {"209: kind 5 of the system stays", 209,
       [](cEdCondition& c) {
         c.m_nKind = 5;
         c.m_nWhose = 2;
         c.m_nStatus = 6;
       },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nStatus, 6); }},
      {"210: kind 5 state 6 stays", 210,
       [](cEdCondition& c) {
         c.m_nKind = 5;
         c.m_nStatus = 6;
       },
       [](const cEdCondition& c) { EXPECT_EQ(c.m_nStatus, 6); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEdCondition stored;
    c.stored(stored);
    cEdCondition loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, OldCondition(stored, c.version), c.version));
    c.check(loaded);
  }
}

TEST_F(ConditionTest, KeyCondition) {
  cEdKeyCondition step;
  ASSERT_EQ(step.m_KeyStates.size(), 19u);
  for (std::uint8_t s : step.m_KeyStates) EXPECT_EQ(s, 0);
  EXPECT_EQ(step.m_nRule, 0);
  EXPECT_EQ(step.m_nMinFrames | step.m_nMaxFrames | step.m_bFacingRelative, 0);

  step.m_KeyStates[1] = 1;
  step.m_KeyStates[11] = 2;
  step.m_bFacingRelative = 1;
  step.m_nMinFrames = 3;
  step.m_nMaxFrames = -1;
  step.m_nRule = 2;
  std::string body = rt::SaveBody(step);
  std::string states(19, '\0');
  states[1] = 1;
  states[11] = 2;
  EXPECT_EQ(body, Bytes().u32(5).u8(1).i16(3).i16(-1).u8(0).u8(2).u32(0).u32(19).bytes(states).s);

  cEdKeyCondition back;
  ASSERT_TRUE(rt::LoadBody(back, body));
  EXPECT_EQ(back.m_KeyStates, step.m_KeyStates);
  EXPECT_EQ(back.m_nMaxFrames, -1);

  // Any stored number of states is kept as it is.
  ASSERT_TRUE(rt::LoadBody(back, Bytes().u32(0).u32(0).u32(2).u8(1).u8(2).s));
  EXPECT_EQ(back.m_KeyStates.size(), 2u);
}

}  // namespace
