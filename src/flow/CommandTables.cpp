#include "flow/CommandTables.h"

#include "flow/StatusEngine.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

// An item command runs its body on the player that took the item.
template <void (*Body)(cActor&, const cEdCommand&)>
int ItemExec(cPlayer& player, const cEdCommand& command) {
  Body(player, command);
  return 0;
}

int ItemStageClear(cPlayer& player, const cEdCommand& command) { return CmdStageClear(player, command); }

// The messages of one item list share a window: every one after the first continues it.
int ItemMessage(cPlayer& player, const cEdCommand& command) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene) return 0;
  CmdMessage(player, command, pScene->m_bItemMessageOpen);
  pScene->m_bItemMessageOpen = 1;
  return 0;
}

}  // namespace

CommandExecutor g_CommandExecutors[COMMAND_TYPE_COUNT] = {
    nullptr,                  // 0 CMD_NONE
    nullptr,                  // 1 CMD_WAIT "ウエイト": only its run time
    ExecStraightMove,         // 2 CMD_MOVE_STRAIGHT
    ExecGroundTurnMove,       // 3 CMD_MOVE_GROUND_TURN
    ExecCircleMove,           // 4 CMD_MOVE_CIRCLE
    ExecChargeMove,           // 5 CMD_MOVE_CHARGE
    ExecHomingMove,           // 6 CMD_MOVE_HOMING
    ExecAvoidOffscreenMove,   // 7 CMD_MOVE_AVOID_OFFSCREEN
    ExecCancelMove,           // 8 CMD_MOVE_CANCEL
    ExecChangeDirection,      // 9 CMD_TURN
    ExecJump,                 // 10 CMD_JUMP
    ExecShot,                 // 11 CMD_SHOT
    ExecSword,                // 12 CMD_SWORD
    ExecSummonBlock,          // 13 CMD_SUMMON_BLOCK
    ExecSummonChara,          // 14 CMD_SUMMON_CHARA
    ExecSummonItem,           // 15 CMD_SUMMON_ITEM
    ExecFlowOperation,        // 16 CMD_FLOW
    ExecStageClear,           // 17 CMD_STAGE_CLEAR
    ExecGameWait,             // 18 CMD_GAME_WAIT
    ExecMessage,              // 19 CMD_MESSAGE
    ExecWarp,                 // 20 CMD_WARP
    ExecSetTarget,            // 21 CMD_TARGET
    ExecStatusOperation,      // 22 CMD_STATUS
    ExecStatusOperation2,     // 23 CMD_STATUS2
    ExecGetItem,              // 24 CMD_GET_ITEM
    ExecChangeGraphic,        // 25 CMD_GRAPHIC
    ExecChangeBasicAnimeSet,  // 26 CMD_ANIME_SET
    ExecRunAnime,             // 27 CMD_ANIME
    ExecRunEffect,            // 28 CMD_EFFECT
    ExecRunCharaEffect,       // 29 CMD_CHARA_EFFECT
    ExecRunScreenEffect,      // 30 CMD_SCR_EFFECT
    ExecShowPicture,          // 31 CMD_PICTURE
    ExecChangeScreenColor,    // 32 CMD_SCREEN_COLOR
    ExecChangeBackground,     // 33 CMD_BACKGROUND
    ExecPlaySound,            // 34 CMD_SOUND
    ExecPlayBgm,              // 35 CMD_BGM
    ExecRunCode,              // 36 CMD_CODE
};

ItemCommandExecutor g_ItemCommandExecutors[ITEM_COMMAND_TYPE_COUNT] = {
    nullptr,                           // 0 ITEM_CMD_NONE
    ItemExecChangeFlows,               // 1 ITEM_CMD_FLOW_CHANGE
    ItemStageClear,                    // 2 ITEM_CMD_STAGE_CLEAR: 1, the stage is cleared
    ItemExec<CmdGameWait>,             // 3 ITEM_CMD_GAME_WAIT
    ItemMessage,                       // 4 ITEM_CMD_MESSAGE
    ItemExec<CmdWarp>,                 // 5 ITEM_CMD_WARP
    ItemExec<CmdSetTarget>,            // 6 ITEM_CMD_TARGET
    ItemExec<CmdStatusOperation>,      // 7 ITEM_CMD_STATUS
    ItemExec<CmdStatusOperation2>,     // 8 ITEM_CMD_STATUS2
    ItemExec<CmdGetItem>,              // 9 ITEM_CMD_GET_ITEM
    ItemExec<CmdChangeGraphic>,        // 10 ITEM_CMD_GRAPHIC
    ItemExec<CmdChangeBasicAnimeSet>,  // 11 ITEM_CMD_ANIME_SET
    ItemExec<CmdRunAnime>,             // 12 ITEM_CMD_ANIME
    ItemExec<CmdRunEffect>,            // 13 ITEM_CMD_EFFECT
    ItemExec<CmdRunCharaEffect>,       // 14 ITEM_CMD_CHARA_EFFECT
    ItemExec<CmdRunScreenEffect>,      // 15 ITEM_CMD_SCR_EFFECT
    ItemExec<CmdShowPicture>,          // 16 ITEM_CMD_PICTURE
    ItemExec<CmdChangeScreenColor>,    // 17 ITEM_CMD_SCREEN_COLOR
    ItemExec<CmdChangeBackground>,     // 18 ITEM_CMD_BACKGROUND
    ItemExec<CmdPlaySound>,            // 19 ITEM_CMD_SOUND
    ItemExec<CmdPlayBgm>,              // 20 ITEM_CMD_BGM
    ItemExec<CmdRunCode>,              // 21 ITEM_CMD_CODE
};

CommandInitializer g_CommandInitializers[COMMAND_TYPE_COUNT] = {
    nullptr,           // 0 CMD_NONE
    nullptr,           // 1 CMD_WAIT
    InitStraightMove,  // 2 CMD_MOVE_STRAIGHT
    InitMoveTiming,    // 3 CMD_MOVE_GROUND_TURN
    InitCircleMove,    // 4 CMD_MOVE_CIRCLE
    InitChargeMove,    // 5 CMD_MOVE_CHARGE
    InitHomingMove,    // 6 CMD_MOVE_HOMING
    InitMoveTiming,    // 7 CMD_MOVE_AVOID_OFFSCREEN
    nullptr,           // 8 CMD_MOVE_CANCEL
    nullptr,           // 9 CMD_TURN
    InitJumpCommand,   // 10 CMD_JUMP
};
