// The integer parameter slots of each command type: which stored parameter holds what.
// The slot is the index into cEdCommand::m_Params; the stored files keep these numbers.
// Item commands that share a character type (item type = character type - 15) share its
// slots.
#pragma once

// CMD_TURN: the facing change (g_FacingChangeNames).
enum eTurnParam : int { P_TURN_WAY = 0 };

// CMD_JUMP: the height mode (g_JumpHeightNames) and the heights in half blocks; the
// speed-dependent mode jumps between the low and the high height by the inertia speed.
enum eJumpParam : int {
  P_JUMP_MODE = 0,
  P_JUMP_FAST_SPEED = 1,
  P_JUMP_HEIGHT = 2,  // the high height of the speed-dependent mode
  P_JUMP_SLOW_SPEED = 3,
  P_JUMP_LOW_HEIGHT = 4,
};

// CMD_FLOW: the operation (eFlowOperation) on which flows (eFlowTarget) and the flow ID.
enum eFlowOperationParam : int { P_FLOW_OPERATION = 0, P_FLOW_TARGET = 1, P_FLOW_ID = 2 };

// CMD_STAGE_CLEAR: where play goes (eStageClearDestination), and the world-map cell the
// hero stands on afterwards when it is set.
enum eStageClearParam : int {
  P_CLEAR_DESTINATION = 0,
  P_CLEAR_PART = 1,
  P_CLEAR_SET_MAP_CELL = 2,
  P_CLEAR_MAP_X = 3,
  P_CLEAR_MAP_Y = 4,
};

// CMD_GAME_WAIT: tenths of a second the game stands.
enum eGameWaitParam : int { P_GAME_WAIT_TIME = 0 };

// CMD_MESSAGE: the placement (g_MessagePlaceNames), its blocks and pixels, the display
// mode (g_MessageTimeNames) with its time, and whether it holds the game.
enum eMessageParam : int {
  P_MESSAGE_PLACE = 0,
  P_MESSAGE_BLOCK_X = 1,
  P_MESSAGE_BLOCK_Y = 2,
  P_MESSAGE_PIXEL_X = 3,
  P_MESSAGE_PIXEL_Y = 4,
  P_MESSAGE_KEEP_INSIDE = 5,
  P_MESSAGE_MODE = 6,
  P_MESSAGE_TIME = 7,
  P_MESSAGE_HALTING = 8,
  P_MESSAGE_ESCAPES = 9,
};

// CMD_TARGET: the choice (eTargetChoice), the side list searched (or all of them), the
// range (g_TargetRangeNames), the filters and the character ID.
enum eTargetParam : int {
  P_TARGET_CHOICE = 0,
  P_TARGET_SIDE = 1,
  P_TARGET_ALL_SIDES = 2,
  P_TARGET_RANGE = 3,
  P_TARGET_EXCLUDE_SELF = 4,
  P_TARGET_EXCLUDE_1 = 5,
  P_TARGET_EXCLUDE_2 = 6,
  P_TARGET_EXCLUDE_BLOCK_CHARAS = 7,
  P_TARGET_USE_ID = 8,
  P_TARGET_ID = 9,
};

// CMD_STATUS: what is changed (a status of whose, or a variable), the operator, the
// operand and how the change is applied.
enum eStatusParam : int {
  P_STATUS_SUBJECT = 0,   // 0 a status, 1 a variable
  P_STATUS_VAR_KIND = 1,  // g_VariableKindNames
  P_STATUS_INDEX = 2,     // the variable, or the character variable of status 0
  P_STATUS_WHOSE = 3,     // eOwner
  P_STATUS_STATUS = 4,    // eCharaStatus or eSystemValue
  P_STATUS_OPERATOR = 5,  // g_OperatorNames
  P_STATUS_OPERAND = 6,   // g_OperandKindNames
  P_STATUS_CONSTANT = 7,
  P_STATUS_RANDOM_A = 8,
  P_STATUS_RANDOM_B = 9,
  P_STATUS_OPERAND_VAR_KIND = 10,
  P_STATUS_OPERAND_INDEX = 11,
  P_STATUS_OPERAND_WHOSE = 12,
  P_STATUS_OPERAND_STATUS = 13,
  P_STATUS_PERCENT = 14,    // the operand is a percentage of the current value
  P_STATUS_CALC_MODE = 15,  // g_CalcModeNames, for HP and SP
  P_STATUS_SHOW_GAUGE = 16,
  P_STATUS_NOT_INVINCIBLE = 17,  // no change while the actor is invincible
  STATUS_PARAM_COUNT = 18,
};

// CMD_STATUS2: a state (eCharaState) of whose (eOwner), or the automatic scroll of the
// system, and its new value.
enum eStatus2Param : int { P_STATUS2_WHOSE = 0, P_STATUS2_STATE = 1, P_STATUS2_VALUE = 2 };

// CMD_GET_ITEM: the palette (ePalette) and the item number in it.
enum eGetItemParam : int { P_GET_ITEM_PALETTE = 0, P_GET_ITEM_ITEM = 1 };

// CMD_GRAPHIC: the image sheet, the image and its sub-number.
enum eGraphicParam : int { P_GRAPHIC_SHEET = 0, P_GRAPHIC_IMAGE = 1, P_GRAPHIC_SUB = 2 };

// CMD_ANIME_SET and CMD_ANIME: the animation set or animation of the database.
enum eAnimeParam : int { P_ANIME_INDEX = 0 };

// CMD_EFFECT: the effect (0 removes all), its placement (ePicturePlace) with blocks and
// pixels, its size in percent and whether it holds the game.
enum eEffectParam : int {
  P_EFFECT_INDEX = 0,
  P_EFFECT_PLACE = 1,
  P_EFFECT_BLOCK_X = 2,
  P_EFFECT_BLOCK_Y = 3,
  P_EFFECT_PIXEL_X = 4,
  P_EFFECT_PIXEL_Y = 5,
  P_EFFECT_PERCENT = 6,
  P_EFFECT_HALTING = 7,
};

// CMD_CHARA_EFFECT and CMD_SCR_EFFECT: the effect (0 ends it), its run mode
// (g_AnimePlayNames) and whether it loops.
enum eRunEffectParam : int { P_RUN_EFFECT_INDEX = 0, P_RUN_EFFECT_MODE = 1, P_RUN_EFFECT_LOOP = 2 };

// CMD_PICTURE: the picture (0 removes all), its placement (ePicturePlace) with blocks
// and pixels, the layer, its size in percent, the display mode (g_PictureTimeNames) with
// its time, and whether it holds the game.
enum ePictureParam : int {
  P_PICTURE_INDEX = 0,
  P_PICTURE_PLACE = 1,
  P_PICTURE_BLOCK_X = 2,
  P_PICTURE_BLOCK_Y = 3,
  P_PICTURE_PIXEL_X = 4,
  P_PICTURE_PIXEL_Y = 5,
  P_PICTURE_LAYER = 6,
  P_PICTURE_PERCENT = 7,
  P_PICTURE_MODE = 8,
  P_PICTURE_TIME = 9,
  P_PICTURE_HALTING = 10,
};

// CMD_SCREEN_COLOR: the colour and its strength, whether it returns, over how many
// tenths, and the flashing with its count.
enum eScreenColorParam : int {
  P_COLOR_RED = 0,
  P_COLOR_GREEN = 1,
  P_COLOR_BLUE = 2,
  P_COLOR_STRENGTH = 3,
  P_COLOR_RETURN = 4,
  P_COLOR_TIME = 5,
  P_COLOR_FLASH = 6,
  P_COLOR_COUNT = 7,
};

// CMD_BACKGROUND: the layer, from 1, and its visibility change (eVisibilityChange).
enum eBackgroundParam : int { P_BACKGROUND_LAYER = 0, P_BACKGROUND_VISIBILITY = 1 };

// CMD_SOUND: the sound of the database.
enum eSoundParam : int { P_SOUND_INDEX = 0 };

// CMD_BGM: the music entry and whether it loops.
enum eBgmParam : int { P_BGM_INDEX = 0, P_BGM_LOOP = 1 };

// ITEM_CMD_FLOW_CHANGE: the change (eFlowChange) and the flow ID of the group it works on.
enum eFlowChangeParam : int { P_FLOW_CHANGE_MODE = 0, P_FLOW_CHANGE_ID = 1 };
