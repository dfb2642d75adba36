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
    nullptr,                 // 0
    nullptr,                 // 1 "ウエイト": only its run time
    ExecStraightMove,        // 2
    ExecGroundTurnMove,      // 3
    ExecCircleMove,          // 4
    ExecChargeMove,          // 5
    ExecHomingMove,          // 6
    ExecAvoidOffscreenMove,  // 7
    ExecCancelMove,          // 8
    ExecChangeDirection,     // 9
    ExecJump,                // 10
    ExecShot,                // 11
    ExecSword,               // 12
    ExecSummonBlock,         // 13
    ExecSummonChara,         // 14
    ExecSummonItem,          // 15
    ExecFlowOperation,       // 16
    ExecStageClear,          // 17
    ExecGameWait,            // 18
    ExecMessage,             // 19
    ExecWarp,                // 20
    ExecSetTarget,           // 21
    ExecStatusOperation,     // 22
    ExecStatusOperation2,    // 23
    ExecGetItem,             // 24
    ExecChangeGraphic,       // 25
    ExecChangeBasicAnimeSet, // 26
    ExecRunAnime,            // 27
    ExecRunEffect,           // 28
    ExecRunCharaEffect,      // 29
    ExecRunScreenEffect,     // 30
    ExecShowPicture,         // 31
    ExecChangeScreenColor,   // 32
    ExecChangeBackground,    // 33
    ExecPlaySound,           // 34
    ExecPlayBgm,             // 35
    ExecRunCode,             // 36
};

ItemCommandExecutor g_ItemCommandExecutors[ITEM_COMMAND_TYPE_COUNT] = {
    nullptr,              // 0
    ItemExecChangeFlows,  // 1
    ItemStageClear,       // 2: 1, the stage is cleared
    ItemExec<CmdGameWait>,  // 3
    ItemMessage,          // 4
    ItemExec<CmdWarp>,              // 5
    ItemExec<CmdSetTarget>,         // 6
    ItemExec<CmdStatusOperation>,   // 7
    ItemExec<CmdStatusOperation2>,  // 8
    ItemExec<CmdGetItem>,           // 9
    ItemExec<CmdChangeGraphic>,     // 10
    ItemExec<CmdChangeBasicAnimeSet>,  // 11
    ItemExec<CmdRunAnime>,          // 12
    ItemExec<CmdRunEffect>,         // 13
    ItemExec<CmdRunCharaEffect>,    // 14
    ItemExec<CmdRunScreenEffect>,   // 15
    ItemExec<CmdShowPicture>,       // 16
    ItemExec<CmdChangeScreenColor>, // 17
    ItemExec<CmdChangeBackground>,  // 18
    ItemExec<CmdPlaySound>,         // 19
    ItemExec<CmdPlayBgm>,           // 20
    ItemExec<CmdRunCode>,           // 21
};

CommandInitializer g_CommandInitializers[COMMAND_TYPE_COUNT] = {
    nullptr,           nullptr,         // 0, 1
    InitStraightMove,  // 2
    InitMoveTiming,    // 3
    InitCircleMove,    // 4
    InitChargeMove,    // 5
    InitHomingMove,    // 6
    InitMoveTiming,    // 7
    nullptr,           nullptr,         // 8, 9
    InitJumpCommand,   // 10
};
