#include "gamedata/Flow.h"

#include <gtest/gtest.h>

#include "FakeRefs.h"
#include "RecordTestUtil.h"
#include "gamedata/RecordList.h"
#include "gamedata/Vocabulary.h"

namespace {

class FlowTest : public rt::RecordFixture {
 protected:
  rt::ScopedRefs refs_;
};

cEdFlow FullFlow() {
  cEdFlow f;
  f.m_nID = 26;
  f.m_nSwitch = 3;
  f.m_nConditionRule = 1;
  f.m_bLatchConditions = 1;
  f.m_nKeyTolerance = 9;
  f.m_bKeyContinuous = 1;
  cEdCondition& c = f.m_Conditions.emplace_back();
  c.m_nKind = 7;
  c.m_nValue = 12;
  cEdKeyCondition& k = f.m_KeyConditions.emplace_back();
  k.m_KeyStates[2] = 1;
  f.m_KeyConditions.emplace_back().m_nRule = 1;
  cEdCommand& m = f.m_Commands.emplace_back();
  m.m_nType = CMD_MOVE_STRAIGHT;
  m.NewMove();
  m.m_pMove->m_nDirection = 3;
  cEdCommand& j = f.m_Commands.emplace_back();
  j.m_nType = CMD_JUMP;
  j.m_Params = {1, 0, 6, 0, 0};
  return f;
}

TEST_F(FlowTest, RoundTrip) {
  cEdFlow f = FullFlow();
  const std::string body = rt::SaveBody(f);
  EXPECT_EQ(body.substr(0, 16), rt::Bytes().u32(8).u8(26).u8(3).u8(0).u8(1).u8(1).u8(0).u8(9).u8(1).u32(0).s);
  cEdFlow back;
  ASSERT_TRUE(rt::LoadBody(back, body));
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), body));
  ASSERT_EQ(back.m_KeyConditions.size(), 2u);
  EXPECT_EQ(back.m_KeyConditions[0].m_KeyStates[2], 1);
  ASSERT_EQ(back.m_Commands.size(), 2u);
  EXPECT_EQ(back.m_Commands[0].m_pMove->m_nDirection, 3);
  EXPECT_EQ(back.m_Commands[1].m_Params[2], 6);
  EXPECT_EQ(back.m_Conditions[0].m_nValue, 12);
}

TEST_F(FlowTest, Upgrades) {
  struct Case {
    std::uint32_t version;
    std::int8_t trigger, switchLetter;
    std::int8_t expectTrigger, expectSwitch;
  };
  const Case cases[] = {
      // clang-format off
      {162, 3, 2, 3, 0},   // a switch only for trigger 0
      {162, 0, 2, 0, 2},
      {163, 5, 1, 7, 1},   // two triggers inserted at 5
      {164, 5, 1, 5, 1},
      {131, 11, 0, 14, 0}, // one inserted at 11, then two at 5
      {132, 11, 0, 13, 0},
      {100, 4, 0, 4, 0},
      {513, 19, 4, 19, 4},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.version) + " trigger " + std::to_string(c.trigger));
    cEdFlow stored;
    stored.m_nTrigger = c.trigger;
    stored.m_nSwitch = c.switchLetter;
    cEdFlow loaded;
    ASSERT_TRUE(rt::LoadBody(loaded, rt::SaveBody(stored, c.version), c.version));
    EXPECT_EQ(loaded.m_nTrigger, c.expectTrigger);
    EXPECT_EQ(loaded.m_nSwitch, c.expectSwitch);
  }
}

TEST_F(FlowTest, ListsAndTestOnlyFlows) {
  cVector<cEdFlow> flows(3);
  flows[0].m_bTestOnly = 1;
  flows[1].m_bTestOnly = 1;
  flows[2].m_nID = 4;
  DropTestOnlyFlows(flows);
  ASSERT_EQ(flows.size(), 1u);
  EXPECT_EQ(flows[0].m_nID, 4);

  // Elements of a flow list start with a key tolerance of 3 (a body without members keeps it).
  const std::string list = rt::Bytes().u32(1).u32(0).u32(0).u32(0).u32(0).u32(0).s;
  cDataReader in{std::string_view(list)};
  g_nLoadVersion = 513;
  LoadFlowList(in, flows);
  ASSERT_FALSE(in.Failed());
  ASSERT_EQ(flows.size(), 1u);
  EXPECT_EQ(flows[0].m_nKeyTolerance, 3);
  EXPECT_EQ(cEdFlow().m_nKeyTolerance, 0);
}

}  // namespace
