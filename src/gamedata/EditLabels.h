// The editor's captions for the values of stage settings and of block, character and
// item definitions. They say what the stored numbers mean; the player shows none of
// them. Each list ends with an empty caption.
#pragma once

// Stage settings.
extern const char* const g_ScrollModeNames[3];
extern const char* const g_ResizeXNames[3];
extern const char* const g_ResizeYNames[3];
extern const char* const g_HitLevelNames[20];  // levels 1 to 19
extern const char* const g_HitPassNames[7];
extern const char* const g_AnchorNames[3];
extern const char* const g_AnchorShortNames[3];
extern const char* const g_BoxDisplayNames[4];
extern const char* const g_BoxColorNames[9];
extern const char* const g_AxisNames[3];

// Definitions.
extern const char* const g_BasePaletteNames[4];
extern const char* const g_BaseCommonNames[3];
extern const char* const g_BaseStageNames[3];
extern const char* const g_BaseNoneNames[2];
extern const char* const g_ImageSheetNames[6];
enum eImageSheet : int {
  IMAGE_SHEET_BLOCK = 0,
  IMAGE_SHEET_CHARA = 1,
  IMAGE_SHEET_ITEM = 2,
  IMAGE_SHEET_SHOT = 3,
  IMAGE_SHEET_OWN_BITMAP = 4,  // the definition's own bitmap
};
extern const char* const g_OnOffNames[3];
extern const char* const g_MarkShowNames[4];
extern const char* const g_BlockHitNames[4];
enum eBlockHit : int { BLOCK_HIT_NONE = 0, BLOCK_HIT_SOLID = 1, BLOCK_HIT_DEADLY_TO_HERO = 2 };
extern const char* const g_PassGroupNames[10];
extern const char* const g_BlockEffectNames[7];
extern const char* const g_ItemPaletteNames[4];
extern const char* const g_ItemCommonNames[3];
extern const char* const g_StageCommonNames[3];
extern const char* const g_CharaOperatorNames[3];
extern const char* const g_PadNames[2];
extern const char* const g_FlyingNames[5];
enum eFlying : int { FLYING_OFF = 0, FLYING_THROUGH_BLOCKS = 1, FLYING_MEETS_BLOCKS = 2, FLYING_DIES_ON_BLOCKS = 3 };
extern const char* const g_InvincibleNames[4];
extern const char* const g_ScaleNames[11];
extern const char* const g_ScaleOnlyNames[10];
extern const char* const g_SightShapeNames[6];
extern const char* const g_BlockBoxNames[5];
// The box a character meets blocks with: one of its hit boxes, or the whole cell.
enum eBlockBox : int { BLOCK_BOX_CHARA_HIT = 0, BLOCK_BOX_SHOT_HIT = 1, BLOCK_BOX_SHOT_ATTACK = 2, BLOCK_BOX_CELL = 3 };
extern const char* const g_ActivationRuleNames[4];
extern const char* const g_ActivationRangeNames[5];
enum eActivationRange : int {
  ACTIVATE_ON_SCREEN = 0,
  ACTIVATE_X_ON_SCREEN = 1,
  ACTIVATE_Y_ON_SCREEN = 2,
  ACTIVATE_ANYWHERE = 3,
};
extern const char* const g_TakeModeNames[4];
extern const char* const g_FlowChangeNames[4];  // the item command's operation
enum eFlowChange : int { FLOW_CHANGE_ADD = 0, FLOW_CHANGE_REPLACE = 1, FLOW_CHANGE_REMOVE = 2 };
extern const char* const g_FlowChangeIdNames[28];  // and the flow it names
