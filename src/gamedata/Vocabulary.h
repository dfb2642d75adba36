// The vocabulary of the flow records: what each stored number of a command, trigger,
// condition, status or payload means, as tables indexed by the stored value. Only the
// parameter counts of the command tables take part in a computation; the names are the
// words the author chose the values by.
//
// Plain name lists end with one more entry whose name is empty (not a value); the
// command tables and the status tables have no such end entry.
#pragma once
#include <cstdint>

struct cLabel {
  const char* m_szName;
  std::int32_t m_nValue;  // the command tables: the number of int parameters
};

struct cStatusLabel {
  const char* m_szName;
  std::int32_t m_nMin, m_nMax;                // range of the status
  std::int32_t m_nOperandMin, m_nOperandMax;  // range of an operand applied to it
  std::int32_t m_nReserved;                   // 0 in every entry
  std::int32_t m_bPercentOfMax;               // "% of maximum" is offered
  std::int32_t m_bPercentOfCurrent;           // "% of current value" is offered
};

struct cStateLabel {
  const char* m_szName;
  std::int32_t m_nMin, m_nMax;
  const char* const* m_pValueNames;  // names of the values m_nMin..m_nMax, ending with ""
  std::int32_t m_nDefault;
};

// Commands of flows (character set) and of items (item set: item type = character type
// - 15 for the types they share).
inline constexpr int COMMAND_TYPE_COUNT = 37;
inline constexpr int ITEM_COMMAND_TYPE_COUNT = 22;
extern const cLabel g_CommandTypes[COMMAND_TYPE_COUNT];
extern const cLabel g_ItemCommandTypes[ITEM_COMMAND_TYPE_COUNT];

enum eCommandType : int {
  CMD_NONE = 0,
  CMD_WAIT = 1,
  CMD_MOVE_STRAIGHT = 2,  // 2 to 7: the movement commands
  CMD_MOVE_LAST = 7,
  CMD_TURN = 9,
  CMD_JUMP = 10,
  CMD_SHOT = 11,
  CMD_SWORD = 12,
  CMD_SUMMON_BLOCK = 13,
  CMD_SUMMON_CHARA = 14,
  CMD_SUMMON_ITEM = 15,
  CMD_FLOW = 16,
  CMD_STAGE_CLEAR = 17,
  CMD_GAME_WAIT = 18,
  CMD_MESSAGE = 19,
  CMD_WARP = 20,
  CMD_TARGET = 21,
  CMD_STATUS = 22,
  CMD_STATUS2 = 23,
  CMD_GET_ITEM = 24,
  CMD_GRAPHIC = 25,
  CMD_ANIME_SET = 26,
  CMD_ANIME = 27,
  CMD_EFFECT = 28,
  CMD_CHARA_EFFECT = 29,
  CMD_SCR_EFFECT = 30,
  CMD_PICTURE = 31,
  CMD_SCREEN_COLOR = 32,
  CMD_BACKGROUND = 33,
  CMD_SOUND = 34,
  CMD_BGM = 35,
  CMD_CODE = 36,
};

// The item set's own command; its other types are character types - 15.
inline constexpr int ITEM_CMD_FLOW_CHANGE = 1;
inline constexpr int ITEM_TYPE_OFFSET = 15;

// Parameter count of a command type of a set (0 = character set), -1 for a type
// outside its table.
int CommandParamCount(int nSet, int nType);

// Flow lists.
extern const char* const g_FlowIdNames[28];         // "-", "A".."Z"
extern const char* const g_SwitchNames[28];         // "-", "a".."z"
extern const char* const g_FlowOperationNames[7];
extern const char* const g_FlowTargetNames[4];
inline constexpr int TRIGGER_COUNT = 20;
extern const char* const g_TriggerNames[TRIGGER_COUNT + 1];

// Owner, operand and calculation lists.
extern const char* const g_OwnerNames[3];
extern const char* const g_OwnerSystemNames[4];
extern const char* const g_HeroTargetNames[3];
extern const char* const g_HeroTargetSystemNames[4];
extern const char* const g_SubjectNames[3];
extern const char* const g_OperandKindNames[5];
extern const char* const g_VariableKindNames[3];
extern const char* const g_CalcModeNames[4];
extern const char* const g_SingleOnNames[2];
extern const char* const g_CharaVariableNames[9];
extern const char* const g_OperatorNames[8];
extern const char* const g_CompareNames[7];
extern const char* const g_NegationNames[3];

// Statuses: of a character (owner self or target) and of the system.
inline constexpr int CHARA_STATUS_COUNT = 15;
inline constexpr int SYSTEM_VALUE_COUNT = 5;
inline constexpr int CHARA_STATE_COUNT = 7;
extern const cStatusLabel g_CharaStatuses[CHARA_STATUS_COUNT];
extern const cStatusLabel g_SystemValues[SYSTEM_VALUE_COUNT];
extern const cStateLabel g_CharaStates[CHARA_STATE_COUNT];
extern const char* const g_FacingStateNames[5];  // condition kind 6

// Command lists.
extern const char* const g_StageClearNames[4];
extern const char* const g_MessagePlaceNames[10];
extern const char* const g_MessageTimeNames[4];
extern const char* const g_TargetChoiceNames[5];
extern const char* const g_TargetRangeNames[4];
extern const char* const g_PaletteNames[3];
extern const char* const g_CommonPaletteOnlyNames[2];
extern const char* const g_PicturePlaceNames[6];
extern const char* const g_PictureTimeNames[4];
extern const char* const g_AnimePlayNames[4];
extern const char* const g_VisibilityNames[4];

// Condition lists (the condition-kind list has no end entry; its entry 0 is empty).
inline constexpr int CONDITION_KIND_COUNT = 8;
extern const char* const g_ConditionKindNames[CONDITION_KIND_COUNT];
extern const char* const g_ConditionRuleNames[3];
extern const char* const g_DistanceAxisNames[8];
extern const char* const g_DistanceSenseNames[3];

// Key-sequence lists.
extern const char* const g_KeyStateNames[4];
extern const char* const g_KeyRuleNames[4];

// Movement payload lists.
extern const char* const g_MoveModeNames[3];
extern const char* const g_WarpModeNames[4];
extern const char* const g_DirectionNames[14];
extern const char* const g_MoveCoordNames[5];
extern const char* const g_WarpCoordNames[4];
extern const char* const g_RotationNames[5];
extern const char* const g_FacingChangeNames[7];
extern const char* const g_MoveTimingNames[4];
extern const char* const g_CircleTimingNames[3];
extern const char* const g_JumpHeightNames[4];
extern const char* const g_DistanceUnitNames[3];
