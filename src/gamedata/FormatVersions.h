// The format versions of the data, stage, replay and record files: each name is the first
// version that has what the name says, so a loader binds a member for `v >= NAME` and
// gives an older file's record the meaning it had for `v < NAME`. One version may bring
// several changes; each gets its own name and they share the number. The numbers are the
// ones stored in the files and never change.
#pragma once
#include <cstdint>

// The version this program writes, and the newest it reads without upgrading.
inline constexpr std::uint32_t CURRENT_DATA_VERSION = 513;

inline constexpr std::uint32_t VERSION_CONDITION_PERCENT = 43;      // condition value as a percentage
inline constexpr std::uint32_t VERSION_ANIME_EDITOR_PARAMS = 55;    // the editor's three animation values
inline constexpr std::uint32_t VERSION_BACKGROUND_SCROLL = 61;      // background scroll rates and auto scroll
inline constexpr std::uint32_t VERSION_BACKGROUND_OFFSETS = 62;     // visible flag, offsets as doubles
inline constexpr std::uint32_t VERSION_CONDITION_OPERANDS = 110;    // random range, subject and operand of conditions
inline constexpr std::uint32_t VERSION_KEEP_TEST_ONLY_FLOWS = 113;  // system flag
inline constexpr std::uint32_t VERSION_FLYING_ANIMES = 119;         // flying offset of animation sets
inline constexpr std::uint32_t VERSION_STAGE_PARAM_LIMITS = 125;    // right, top and bottom limits of stage parts
inline constexpr std::uint32_t VERSION_FLYING_ANIME_NAMES = 128;    // the flying slots named
inline constexpr std::uint32_t VERSION_TRIGGER_AT_11 = 132;         // a trigger inserted at 11 (131 and older lack it)
inline constexpr std::uint32_t VERSION_SWORD_MIRROR = 138;          // mirror flags of sword steps
inline constexpr std::uint32_t VERSION_STAGE_CLEAR_PARAMS = 145;    // the stage-clear command has five parameters
inline constexpr std::uint32_t VERSION_EDITOR_TAGS = 151;           // tag of effects, media and sword types
inline constexpr std::uint32_t VERSION_BITMAP_TAG = 152;            // tag of the project's character bitmaps
inline constexpr std::uint32_t VERSION_TAGS_KEPT = 153;             // stored tags are kept (older ones are cleared)
inline constexpr std::uint32_t VERSION_SECOND_BOX_SIZE = 155;       // second size and anchors of the stage's boxes
inline constexpr std::uint32_t VERSION_TITLE_MENU_PICTURE = 157;    // system flag
inline constexpr std::uint32_t VERSION_MIRROR_ANGLE = 158;          // moves and shots mirror their angle
inline constexpr std::uint32_t VERSION_DISTANCE_UNIT = 159;         // moves: half blocks or pixels
inline constexpr std::uint32_t VERSION_CONDITION_KINDS_AT_5 = 160;  // two condition kinds inserted at 5
inline constexpr std::uint32_t VERSION_ON_BLOCK_COMPARE = 161;  // the on-block facing condition compares the other way
inline constexpr std::uint32_t VERSION_KEEP_FACING_AND_ANIME = 162;   // moves keep facing and animation
inline constexpr std::uint32_t VERSION_SWITCH_ON_ANY_TRIGGER = 163;   // a flow's switch applies to every trigger
inline constexpr std::uint32_t VERSION_TRIGGERS_AT_5 = 164;           // two triggers inserted at 5
inline constexpr std::uint32_t VERSION_BGM_LOOP = 166;                // music option of stages, records and commands
inline constexpr std::uint32_t VERSION_SHOW_SCORES = 167;             // map and select screens show scores
inline constexpr std::uint32_t VERSION_DEFENCE = 168;                 // character defence, a status inserted at 10
inline constexpr std::uint32_t VERSION_AUTO_SAVE = 169;               // automatic save of the play record
inline constexpr std::uint32_t VERSION_CENTRE_FONT = 170;             // system flag
inline constexpr std::uint32_t VERSION_BITMAP_CELL_SIZE = 172;        // cell size of the project's character bitmaps
inline constexpr std::uint32_t VERSION_STAGE_END_CODE = 173;          // stage files end with the end code
inline constexpr std::uint32_t VERSION_REPLAY_PLAY_RECORD = 173;      // replays end with the play record
inline constexpr std::uint32_t VERSION_STAGE_END_CODE_CHECKED = 174;  // the end code is checked before a stage loads
inline constexpr std::uint32_t VERSION_HP_SP_RANKING = 181;           // HP and SP left are ranked quantities
inline constexpr std::uint32_t VERSION_TOTAL_HP_SP = 182;             // play record totals of HP and SP left
inline constexpr std::uint32_t VERSION_STATUS_BAR = 183;              // stage flag
inline constexpr std::uint32_t VERSION_RECORD_REPLAY = 184;           // system flag
inline constexpr std::uint32_t VERSION_AUTO_END = 184;                // stage flag
inline constexpr std::uint32_t VERSION_EXTEND = 185;                  // system flag for extra lives
inline constexpr std::uint32_t VERSION_GAME_MODES = 186;              // system list of game modes
inline constexpr std::uint32_t VERSION_COLOR_MODE = 187;              // colour mode and transparent colour
inline constexpr std::uint32_t VERSION_RESTORE_VARS = 188;       // story, challenge and free modes restore variables
inline constexpr std::uint32_t VERSION_TARGET_PARAMS = 189;      // a target command parameter inserted at 2
inline constexpr std::uint32_t VERSION_BACK_ON_MAP = 190;        // play record flag
inline constexpr std::uint32_t VERSION_UNLIMITED_LIVES = 191;    // unlimited lives, continue on miss, map lives
inline constexpr std::uint32_t VERSION_PREV_MAP_POSITION = 191;  // play record: the previous map position
inline constexpr std::uint32_t VERSION_TEST_RESTORE_VARS = 192;  // test play restores variables
inline constexpr std::uint32_t VERSION_RETRY_TEXTS = 193;        // system texts of retry and back to map
inline constexpr std::uint32_t VERSION_MAP_FACING = 194;         // play record: facing on the map
inline constexpr std::uint32_t VERSION_PICTURE_PARAMS = 194;     // a picture command parameter inserted at 6
inline constexpr std::uint32_t VERSION_EFFECT_COMMAND_PARAMS = 195;  // an effect command parameter inserted at 1
inline constexpr std::uint32_t VERSION_EFFECT_PARAMS = 196;          // characters' effect and death effect values
inline constexpr std::uint32_t VERSION_SUMMON_CLEAR_OF_CHARAS =
    197;                                                       // summoned blocks: characters get a flag of their own
inline constexpr std::uint32_t VERSION_KEEP_BGM = 199;         // stage flag
inline constexpr std::uint32_t VERSION_FIRST_BOX_SIZE = 200;   // first size, anchors, show and colour of boxes
inline constexpr std::uint32_t VERSION_BLOCK_BOX = 201;        // characters' box against blocks
inline constexpr std::uint32_t VERSION_SCENE_BGM_LOOP = 202;   // system: loop flag of scene music
inline constexpr std::uint32_t VERSION_CHARA_ID_STATUS = 203;  // a status inserted at 5
inline constexpr std::uint32_t VERSION_SUMMON_PARAMS = 203;    // summon commands' parameters renewed
inline constexpr std::uint32_t VERSION_FLOW_COMMAND_PARAMS = 203;    // the flow command has three parameters
inline constexpr std::uint32_t VERSION_HUD_SHOW_NUMBER = 204;        // status bar items show a number
inline constexpr std::uint32_t VERSION_FONT_FACE = 205;              // system font face
inline constexpr std::uint32_t VERSION_BLOCK_BOX_2 = 206;            // a value inserted at 2 into the block boxes
inline constexpr std::uint32_t VERSION_MIN_BEST_TOTAL = 209;         // map points ask for a best total
inline constexpr std::uint32_t VERSION_AUTO_SCROLL_SYNC = 210;       // characters move with the auto scroll
inline constexpr std::uint32_t VERSION_SHOT_SCROLL_SYNC = 211;       // shots store the scroll sync
inline constexpr std::uint32_t VERSION_SHOT_SCROLL_SYNC_KEPT = 212;  // the stored scroll sync of shots counts
inline constexpr std::uint32_t VERSION_SHOT_ACCELERATION = 213;      // shots accelerate
inline constexpr std::uint32_t VERSION_SCROLL_MOVE_RULE = 214;       // system flag
inline constexpr std::uint32_t VERSION_SHOT_SHEET_IMAGE = 219;       // an image inserted at the head of the shot sheet
inline constexpr std::uint32_t VERSION_SHOT_GRAPHIC_IMAGE = 220;     // the same for the shot payload's graphic
inline constexpr std::uint32_t VERSION_RETIRED_SYSTEM_FIELD = 221;   // a system member, stored up to 259
inline constexpr std::uint32_t VERSION_PAUSE_MENU = 224;             // story and challenge pause menus
inline constexpr std::uint32_t VERSION_SHOW_START_2 = 225;           // stage flag
inline constexpr std::uint32_t VERSION_RETIRED_SYSTEM_FIELD_DROPPED = 260;  // ... and dropped
inline constexpr std::uint32_t VERSION_KEEP_FOOT_ON_SCALE = 261;            // system flag
inline constexpr std::uint32_t VERSION_END_CHECK_RULE = 272;                // system flag
inline constexpr std::uint32_t VERSION_CHARA_INVINCIBLE_COLOR = 285;        // characters' invincible draw mode
inline constexpr std::uint32_t VERSION_DIRECT3D_SETTING = 286;              // a setting inserted at 0
inline constexpr std::uint32_t VERSION_INVINCIBLE_COLOR = 287;              // system flag
inline constexpr std::uint32_t VERSION_PALETTE_CYCLE = 289;                 // system flag
inline constexpr std::uint32_t VERSION_CARRY_MASKS = 501;                   // carry reset list, play record carry masks
inline constexpr std::uint32_t VERSION_EFFECT_ROUGHNESS = 511;              // wave and circle effects' roughness kept
