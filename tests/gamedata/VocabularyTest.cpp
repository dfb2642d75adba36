#include "gamedata/Vocabulary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int CountToEnd(const char* const* names) {
  int n = 0;
  while (names[n][0] != '\0') ++n;
  return n;
}

TEST(Vocabulary, CommandTables) {
  EXPECT_STREQ(g_CommandTypes[0].m_szName, "");
  EXPECT_EQ(g_CommandTypes[0].m_nValue, 0);
  struct Case {
    int type;
    const char* name;
    int params;
  };
  // Commands whose parameters the other records index directly.
  const Case cases[] = {
      // clang-format off
      {CMD_TURN, "向き変更", 1},          {CMD_JUMP, "ジャンプ", 5},
      {CMD_FLOW, "フローの操作", 3},      {CMD_STAGE_CLEAR, "ステージクリア", 5},
      {CMD_MESSAGE, "メッセージ", 10},     {CMD_TARGET, "ターゲットの設定", 10},
      {CMD_STATUS, "ステータスの操作", 18}, {CMD_STATUS2, "ステータスの操作2", 3},
      {CMD_GET_ITEM, "アイテムの取得", 2},  {CMD_PICTURE, "ピクチャーの表示", 11},
      {CMD_BGM, "BGMの再生", 2},          {CMD_CODE, "コードの実行", 0},
      // clang-format on
      {CMD_SHOT, "ショット", 0},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(g_CommandTypes[c.type].m_szName, c.name) << c.type;
    EXPECT_EQ(CommandParamCount(0, c.type), c.params) << c.type;
  }
  // Shift-JIS bytes exactly.
  EXPECT_EQ(std::string(g_CommandTypes[CMD_JUMP].m_szName), "\x83\x57\x83\x83\x83\x93\x83\x76");
  EXPECT_EQ(std::string(g_OperatorNames[0]) + g_OperatorNames[2], "\x81\x81\x81\x7c");

  // The item table: its own flow change, then the character types 17 to 36.
  EXPECT_STREQ(g_ItemCommandTypes[ITEM_CMD_FLOW_CHANGE].m_szName, "フローの変更");
  EXPECT_EQ(CommandParamCount(1, ITEM_CMD_FLOW_CHANGE), 2);
  for (int t = 2; t < ITEM_COMMAND_TYPE_COUNT; ++t) {
    EXPECT_STREQ(g_ItemCommandTypes[t].m_szName, g_CommandTypes[t + ITEM_TYPE_OFFSET].m_szName) << t;
    EXPECT_EQ(g_ItemCommandTypes[t].m_nValue, g_CommandTypes[t + ITEM_TYPE_OFFSET].m_nValue) << t;
  }
  for (auto [set, type] : {std::pair{0, -1}, std::pair{0, 37}, std::pair{1, 22}, std::pair{5, -3}}) {
    EXPECT_EQ(CommandParamCount(set, type), -1) << set << " " << type;
  }
}

TEST(Vocabulary, StatusesAndStates) {
  const cStatusLabel& mark = g_CharaStatuses[7];
  EXPECT_STREQ(mark.m_szName, "マーク番号");
  EXPECT_EQ(mark.m_nOperandMin, -121);
  EXPECT_EQ(mark.m_nMax, 119);
  EXPECT_EQ(g_CharaStatuses[6].m_nMax, 8);  // Z from 0 to 8
  EXPECT_EQ(g_CharaStatuses[1].m_bPercentOfMax, 1);
  EXPECT_EQ(g_CharaStatuses[0].m_nMin, -999999);
  EXPECT_EQ(g_SystemValues[1].m_nMin, -480);
  for (const cStatusLabel& s : g_CharaStatuses) EXPECT_EQ(s.m_nReserved, 0) << s.m_szName;
  // Each state names exactly the values of its range.
  for (const cStateLabel& s : g_CharaStates) {
    EXPECT_EQ(CountToEnd(s.m_pValueNames), s.m_nMax - s.m_nMin + 1) << s.m_szName;
    EXPECT_TRUE(s.m_nDefault >= s.m_nMin && s.m_nDefault <= s.m_nMax) << s.m_szName;
  }
  EXPECT_STREQ(g_CharaStates[5].m_pValueNames[9], "×100");
}

TEST(Vocabulary, ListsEndWithAnEmptyName) {
  struct Case {
    const char* const* names;
    int count;
    const char* last;
  };
  const Case cases[] = {
      {g_TriggerNames, 20, "なし（フローの操作コマンドで実行）"},
      {g_FlowIdNames, 27, "Z"},
      {g_SwitchNames, 27, "z"},
      {g_FlowOperationNames, 6, "永久停止"},
      {g_CharaVariableNames, 8, "8 キャラ変数-8"},
      {g_OperatorNames, 7, "X ％"},
      {g_DirectionNames, 13, "入力方向"},
      {g_DistanceAxisNames, 7, "円"},
      {g_MessagePlaceNames, 9, "ステージ座標で指定"},
      {g_KeyRuleNames, 3, "1つだけキーが真なら成立"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountToEnd(c.names), c.count) << c.last;
    EXPECT_STREQ(c.names[c.count - 1], c.last);
  }
  EXPECT_STREQ(g_ConditionKindNames[0], "");
  EXPECT_STREQ(g_ConditionKindNames[CONDITION_KIND_COUNT - 1], "距離条件");
}

}  // namespace
