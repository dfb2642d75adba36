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
  CMD_MOVE_GROUND_TURN = 3,
  CMD_MOVE_CIRCLE = 4,
  CMD_MOVE_CHARGE = 5,
  CMD_MOVE_HOMING = 6,
  CMD_MOVE_AVOID_OFFSCREEN = 7,
  CMD_MOVE_LAST = 7,
  CMD_MOVE_CANCEL = 8,
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

// The item set: its own flow change, then the character types from the stage clear on
// under their numbers - 15.
inline constexpr int ITEM_TYPE_OFFSET = 15;
enum eItemCommandType : int {
  ITEM_CMD_NONE = 0,
  ITEM_CMD_FLOW_CHANGE = 1,
  ITEM_CMD_STAGE_CLEAR = 2,
  ITEM_CMD_GAME_WAIT = 3,
  ITEM_CMD_MESSAGE = 4,
  ITEM_CMD_WARP = 5,
  ITEM_CMD_TARGET = 6,
  ITEM_CMD_STATUS = 7,
  ITEM_CMD_STATUS2 = 8,
  ITEM_CMD_GET_ITEM = 9,
  ITEM_CMD_GRAPHIC = 10,
  ITEM_CMD_ANIME_SET = 11,
  ITEM_CMD_ANIME = 12,
  ITEM_CMD_EFFECT = 13,
  ITEM_CMD_CHARA_EFFECT = 14,
  ITEM_CMD_SCR_EFFECT = 15,
  ITEM_CMD_PICTURE = 16,
  ITEM_CMD_SCREEN_COLOR = 17,
  ITEM_CMD_BACKGROUND = 18,
  ITEM_CMD_SOUND = 19,
  ITEM_CMD_BGM = 20,
  ITEM_CMD_CODE = 21,
};

// Parameter count of a command type of a set (0 = character set), -1 for a type
// outside its table.
int CommandParamCount(int nSet, int nType);

// Flow lists.
extern const char* const g_FlowIdNames[28];  // "-", "A".."Z"
extern const char* const g_SwitchNames[28];  // "-", "a".."z"
extern const char* const g_FlowOperationNames[7];
enum eFlowOperation : int {
  FLOW_OP_RESTART = 0,  // "開始": a running flow starts over
  FLOW_OP_END = 1,
  FLOW_OP_PAUSE = 2,
  FLOW_OP_RESUME = 3,
  FLOW_OP_DELETE = 4,
  FLOW_OP_STOP = 5,  // "永久停止": never starts again
};
extern const char* const g_FlowTargetNames[4];
enum eFlowTarget : int { FLOW_TARGET_THIS = 0, FLOW_TARGET_OTHERS = 1, FLOW_TARGET_ID = 2 };
inline constexpr int TRIGGER_COUNT = 20;
extern const char* const g_TriggerNames[TRIGGER_COUNT + 1];
enum eTrigger : int {
  TRIGGER_ALWAYS = 0,
  TRIGGER_DAMAGE = 1,
  TRIGGER_IMPACT = 2,
  TRIGGER_DEATH = 3,
  TRIGGER_CHARA_HIT = 4,
  TRIGGER_BLOCK_CHARA = 5,
  TRIGGER_ON_BLOCK_CHARA = 6,
  TRIGGER_SHOT_HIT = 7,
  TRIGGER_ITEM_HIT = 8,
  TRIGGER_BLOCK = 9,
  TRIGGER_BLOCK_SIDES = 10,
  TRIGGER_BLOCK_LEFT = 11,
  TRIGGER_BLOCK_RIGHT = 12,
  TRIGGER_BLOCK_UP_DOWN = 13,
  TRIGGER_BLOCK_ABOVE = 14,
  TRIGGER_BLOCK_BELOW = 15,
  TRIGGER_HERO_RIDES = 16,
  TRIGGER_CHARA_RIDES = 17,
  TRIGGER_STAGE_START = 18,
  TRIGGER_BY_OPERATION = 19,  // started only by the flow operation command
};

// Owner, operand and calculation lists.
extern const char* const g_OwnerNames[3];
extern const char* const g_OwnerSystemNames[4];
enum eOwner : int { OWNER_SELF = 0, OWNER_TARGET = 1, OWNER_SYSTEM = 2 };
extern const char* const g_HeroTargetNames[3];
extern const char* const g_HeroTargetSystemNames[4];
extern const char* const g_SubjectNames[3];
enum eSubject : int { SUBJECT_STATUS = 0, SUBJECT_VARIABLE = 1 };
extern const char* const g_OperandKindNames[5];
enum eOperandKind : int { OPERAND_CONSTANT = 0, OPERAND_RANDOM = 1, OPERAND_STATUS = 2, OPERAND_VARIABLE = 3 };
extern const char* const g_VariableKindNames[3];
enum eVariableKind : int { VARIABLE_COMMON = 0, VARIABLE_STAGE = 1 };
extern const char* const g_CalcModeNames[4];
enum eCalcMode : int { CALC_PLAIN = 0, CALC_PERCENT_OF_MAX = 1, CALC_PERCENT_OF_CURRENT = 2 };
extern const char* const g_SingleOnNames[2];
extern const char* const g_CharaVariableNames[9];
extern const char* const g_OperatorNames[8];
enum eOperator : int {
  OPERATOR_SET = 0,
  OPERATOR_ADD = 1,
  OPERATOR_SUB = 2,
  OPERATOR_MUL = 3,
  OPERATOR_DIV = 4,
  OPERATOR_MOD = 5,
  OPERATOR_PERCENT = 6,
};
extern const char* const g_CompareNames[7];
enum eCompare : int {
  COMPARE_EQUAL = 0,
  COMPARE_NOT_EQUAL = 1,
  COMPARE_AT_LEAST = 2,
  COMPARE_AT_MOST = 3,
  COMPARE_ABOVE = 4,
  COMPARE_BELOW = 5,
};
extern const char* const g_NegationNames[3];
enum eNegation : int { NEGATION_IS = 0, NEGATION_IS_NOT = 1 };

// Statuses: of a character (owner self or target) and of the system.
inline constexpr int CHARA_STATUS_COUNT = 15;
inline constexpr int SYSTEM_VALUE_COUNT = 5;
inline constexpr int CHARA_STATE_COUNT = 7;
extern const cStatusLabel g_CharaStatuses[CHARA_STATUS_COUNT];
extern const cStatusLabel g_SystemValues[SYSTEM_VALUE_COUNT];
enum eCharaStatus : int {
  STATUS_VARIABLE = 0,  // character variables 1 to 8
  STATUS_HP = 1,
  STATUS_SP = 2,
  STATUS_MAX_HP = 3,
  STATUS_MAX_SP = 4,
  STATUS_CHARA_ID = 5,
  STATUS_Z = 6,
  STATUS_MARK = 7,
  STATUS_SIGHT = 8,
  STATUS_POWER = 9,
  STATUS_IMPACT = 10,
  STATUS_DEFENCE = 11,
  STATUS_IMPACT_RESIST = 12,
  STATUS_STOP = 13,
  STATUS_SCORE = 14,
  STATUS_COUNT = 15,
};

enum eSystemValue : int {
  SYSVAL_TIME = 0,
  SYSVAL_SCROLL_X = 1,
  SYSVAL_SCROLL_Y = 2,
  SYSVAL_SCORE = 3,
  SYSVAL_LIVES = 4,
  SYSVAL_COUNT = 5,
};
extern const cStateLabel g_CharaStates[CHARA_STATE_COUNT];
enum eCharaState : int {
  STATE_VANISH = 0,  // a character leaves the stage, the hero dies
  STATE_TRANSPARENT = 1,
  STATE_FIXED_FACING = 2,
  STATE_FLIGHT = 3,
  STATE_INVINCIBLE = 4,
  STATE_GIANT = 5,
  STATE_SCROLL_SYNC = 6,
};
extern const char* const g_FacingStateNames[5];  // condition kind 6
enum eFacingState : int {
  POSITION_FACING_LEFT = 0,
  POSITION_FACING_RIGHT = 1,
  POSITION_ON_BLOCK = 2,  // block characters too
  POSITION_ON_SCREEN = 3,
};

// Command lists.
extern const char* const g_StageClearNames[4];
enum eStageClearDestination : int { CLEAR_TO_NEXT = 0, CLEAR_TO_PART = 1, CLEAR_WORLD = 2 };
extern const char* const g_MessagePlaceNames[10];
extern const char* const g_MessageTimeNames[4];
extern const char* const g_TargetChoiceNames[5];
enum eTargetChoice : int { TARGET_HERO = 0, TARGET_SELF = 1, TARGET_NEAREST = 2, TARGET_BY_ID = 3 };
extern const char* const g_TargetRangeNames[4];
extern const char* const g_PaletteNames[3];
extern const char* const g_CommonPaletteOnlyNames[2];
extern const char* const g_PicturePlaceNames[6];
// Also where effects are put.
enum ePicturePlace : int {
  PICTURE_AT_SCREEN_CENTRE = 0,
  PICTURE_AT_CHARA = 1,
  PICTURE_AT_HERO = 2,
  PICTURE_AT_SCREEN_CELL = 3,
  PICTURE_AT_STAGE_CELL = 4,
};
extern const char* const g_PictureTimeNames[4];
extern const char* const g_AnimePlayNames[4];
extern const char* const g_VisibilityNames[4];
enum eVisibilityChange : int { VISIBILITY_SHOW = 0, VISIBILITY_HIDE = 1, VISIBILITY_TOGGLE = 2 };

// Condition lists (the condition-kind list has no end entry; its entry 0 is empty).
inline constexpr int CONDITION_KIND_COUNT = 8;
extern const char* const g_ConditionKindNames[CONDITION_KIND_COUNT];
enum eConditionKind : int {
  COND_NONE = 0,  // never holds
  COND_COMMON_VARIABLE = 1,
  COND_STAGE_VARIABLE = 2,
  COND_CHARA_VARIABLE = 3,
  COND_STATUS = 4,    // a status, system value or variable against an operand
  COND_STATE = 5,     // a character state or the automatic scroll
  COND_POSITION = 6,  // facing and footing (eFacingState)
  COND_DISTANCE = 7,  // the distance to the hero
};
extern const char* const g_ConditionRuleNames[3];
enum eConditionRule : int { COND_RULE_ALL = 0, COND_RULE_ANY = 1 };
extern const char* const g_DistanceAxisNames[8];
// Ahead and behind follow the facing, as the directions do.
enum eDistanceAxis : int {
  AXIS_ACROSS = 0,
  AXIS_AHEAD = 1,
  AXIS_BEHIND = 2,
  AXIS_UP_DOWN = 3,
  AXIS_AHEAD_Y = 4,
  AXIS_BEHIND_Y = 5,
  AXIS_CIRCLE = 6,
};
extern const char* const g_DistanceSenseNames[3];
enum eDistanceSense : int { DISTANCE_WITHIN = 0, DISTANCE_OUTSIDE = 1 };

// Key-sequence lists.
extern const char* const g_KeyStateNames[4];
enum eKeyState : int { KEY_IGNORED = 0, KEY_PRESSED = 1, KEY_RELEASED = 2 };
extern const char* const g_KeyRuleNames[4];
enum eKeyRule : int { KEY_RULE_ALL = 0, KEY_RULE_ANY = 1, KEY_RULE_ONE = 2 };

// Movement payload lists.
extern const char* const g_MoveModeNames[3];
enum eMoveMode : int { MOVE_BY_DIRECTION = 0, MOVE_TO_COORDS = 1 };
extern const char* const g_WarpModeNames[4];
enum eWarpMode : int { WARP_BY_DIRECTION = 0, WARP_FROM_TARGET = 1, WARP_TO_COORDS = 2 };
extern const char* const g_DirectionNames[14];
// Ahead and behind follow the facing; ahead on the Y axis is up for a left-facing actor.
enum eDirection : int {
  DIR_AHEAD = 0,
  DIR_BEHIND = 1,
  DIR_LEFT = 2,
  DIR_RIGHT = 3,
  DIR_AHEAD_Y = 4,
  DIR_BEHIND_Y = 5,
  DIR_UP = 6,
  DIR_DOWN = 7,
  DIR_UP_LEFT = 8,
  DIR_DOWN_LEFT = 9,
  DIR_UP_RIGHT = 10,
  DIR_DOWN_RIGHT = 11,
  DIR_INPUT = 12,  // the direction held on the pad
};
extern const char* const g_MoveCoordNames[5];
enum eMoveCoord : int { COORD_FROM_PLACEMENT = 0, COORD_RELATIVE = 1, COORD_ABSOLUTE = 2, COORD_SCREEN = 3 };
extern const char* const g_WarpCoordNames[4];
enum eWarpCoord : int { WARP_COORD_RELATIVE = 0, WARP_COORD_ABSOLUTE = 1, WARP_COORD_SCREEN = 2 };
extern const char* const g_RotationNames[5];
enum eRotation : int {
  ROTATE_CLOCKWISE = 0,
  ROTATE_ANTICLOCKWISE = 1,
  ROTATE_CLOCKWISE_FACING_LEFT = 2,  // and anticlockwise facing right
  ROTATE_ANTICLOCKWISE_FACING_LEFT = 3,
};
extern const char* const g_FacingChangeNames[7];
enum eFacingChange : int {
  FACE_LEFT = 0,
  FACE_RIGHT = 1,
  FACE_TARGET = 2,
  FACE_AWAY_FROM_TARGET = 3,
  FACE_LAST_BLOCK = 4,  // the side the last block touched
  FACE_AWAY_FROM_LAST_BLOCK = 5,
};
extern const char* const g_MoveTimingNames[4];
enum eMoveTiming : int { TIMING_TIME_AND_SPEED = 0, TIMING_TIME_AND_DISTANCE = 1, TIMING_SPEED_AND_DISTANCE = 2 };
extern const char* const g_CircleTimingNames[3];
enum eCircleTiming : int { CIRCLE_BY_TIME = 0, CIRCLE_BY_SPEED = 1 };
extern const char* const g_JumpHeightNames[4];
enum eJumpHeightMode : int { JUMP_FIXED = 0, JUMP_BY_KEY = 1, JUMP_BY_SPEED = 2 };  // the last two for the hero
extern const char* const g_DistanceUnitNames[3];
enum eDistanceUnit : int { DISTANCE_HALF_BLOCKS = 0, DISTANCE_PIXELS = 1 };
