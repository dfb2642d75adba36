// The dispatch of commands: one executor per command type for flows, one per item
// command for item lists, and the set-up that some types need when a flow's run state
// is built. An empty entry does nothing (a type without an executor only takes its run
// time).
#pragma once
#include "gamedata/Vocabulary.h"

class cActor;
class cCommandRuntime;
class cEdCommand;
class cPlayer;

// One step of a command on the acting actor; the result is not used by the flows.
using CommandExecutor = int (*)(cActor& actor, cCommandRuntime& runtime);
// One item command on the player that took the item: 0, or 1 when it clears the stage.
using ItemCommandExecutor = int (*)(cPlayer& player, const cEdCommand& command);
// The set-up of a command's run state for an actor whose flows are built facing nFacing
// (1: right, values mirrored).
using CommandInitializer = void (*)(cCommandRuntime& runtime, cActor& actor, int nFacing);

extern CommandExecutor g_CommandExecutors[COMMAND_TYPE_COUNT];
extern ItemCommandExecutor g_ItemCommandExecutors[ITEM_COMMAND_TYPE_COUNT];
extern CommandInitializer g_CommandInitializers[COMMAND_TYPE_COUNT];

// Command set-up of the movement types and the jump.
void InitStraightMove(cCommandRuntime& runtime, cActor& actor, int nFacing);
void InitCircleMove(cCommandRuntime& runtime, cActor& actor, int nFacing);
void InitChargeMove(cCommandRuntime& runtime, cActor& actor, int nFacing);
void InitHomingMove(cCommandRuntime& runtime, cActor& actor, int nFacing);
void InitMoveTiming(cCommandRuntime& runtime, cActor& actor, int nFacing);
void InitJumpCommand(cCommandRuntime& runtime, cActor& actor, int nFacing);

// Movement executors.
int ExecStraightMove(cActor& actor, cCommandRuntime& runtime);
int ExecGroundTurnMove(cActor& actor, cCommandRuntime& runtime);
int ExecCircleMove(cActor& actor, cCommandRuntime& runtime);
int ExecChargeMove(cActor& actor, cCommandRuntime& runtime);
int ExecHomingMove(cActor& actor, cCommandRuntime& runtime);
int ExecAvoidOffscreenMove(cActor& actor, cCommandRuntime& runtime);
int ExecCancelMove(cActor& actor, cCommandRuntime& runtime);
int ExecChangeDirection(cActor& actor, cCommandRuntime& runtime);
// The jump: the actor's own jump every step of the command.
int ExecJump(cActor& actor, cCommandRuntime& runtime);

// Action executors: the shot and summons (again every tenth of a second while the
// command runs) and the sword (once per run).
int ExecShot(cActor& actor, cCommandRuntime& runtime);
int ExecSword(cActor& actor, cCommandRuntime& runtime);
int ExecSummonBlock(cActor& actor, cCommandRuntime& runtime);
int ExecSummonChara(cActor& actor, cCommandRuntime& runtime);
int ExecSummonItem(cActor& actor, cCommandRuntime& runtime);

// Commands that act at once, as executors of flows; each calls the body of the same
// name with Cmd in place of Exec, which item lists call too.
int ExecFlowOperation(cActor& actor, cCommandRuntime& runtime);
int ExecStageClear(cActor& actor, cCommandRuntime& runtime);
int ExecWarp(cActor& actor, cCommandRuntime& runtime);
int ExecSetTarget(cActor& actor, cCommandRuntime& runtime);
int ExecStatusOperation(cActor& actor, cCommandRuntime& runtime);
int ExecStatusOperation2(cActor& actor, cCommandRuntime& runtime);
int ExecGetItem(cActor& actor, cCommandRuntime& runtime);
int ExecChangeGraphic(cActor& actor, cCommandRuntime& runtime);
int ExecChangeBasicAnimeSet(cActor& actor, cCommandRuntime& runtime);
int ExecRunAnime(cActor& actor, cCommandRuntime& runtime);
int ExecGameWait(cActor& actor, cCommandRuntime& runtime);
int ExecRunEffect(cActor& actor, cCommandRuntime& runtime);
int ExecRunCharaEffect(cActor& actor, cCommandRuntime& runtime);
int ExecRunScreenEffect(cActor& actor, cCommandRuntime& runtime);
int ExecShowPicture(cActor& actor, cCommandRuntime& runtime);
int ExecChangeScreenColor(cActor& actor, cCommandRuntime& runtime);
int ExecChangeBackground(cActor& actor, cCommandRuntime& runtime);
int ExecPlaySound(cActor& actor, cCommandRuntime& runtime);
int ExecPlayBgm(cActor& actor, cCommandRuntime& runtime);
int ExecRunCode(cActor& actor, cCommandRuntime& runtime);

// The flow change of items: mode 0 adds the command's flows, 1 puts them in place of the
// group of flow ID parameter 1 (all flows for 0), 2 removes that group. Not immediate
// while the player's own flow pass runs: queued until the pass is over.
int CmdChangeFlows(cActor& actor, const cEdCommand& command, int bImmediate);
int ItemExecChangeFlows(cPlayer& player, const cEdCommand& command);

// The stage clear: the next part (parameter 0: the following one, the one in parameter
// 1, or 0 for the world cleared) and, when parameter 2 is set, the world-map cell of
// parameters 3 and 4, kept below the map's size. Returns 1.
int CmdStageClear(cActor& actor, const cEdCommand& command);
// Moves the actor by its move payload; refused (the actor stays) outside the stage or
// into anything solid.
void CmdWarp(cActor& actor, const cEdCommand& command);
// The actor's target: the hero, itself, the nearest or the first character of a side
// list (or of all eight) that passes the filters; the targeted-by lists follow.
void CmdSetTarget(cActor& actor, const cEdCommand& command);
// State flags of the actor or its target, or the stage's automatic scroll.
void CmdStatusOperation2(cActor& actor, const cEdCommand& command);
// The hero takes an item of palette 0 (common) or 1 (stage): its list runs on the hero
// and its result becomes the stage's end request.
void CmdGetItem(cActor& actor, const cEdCommand& command);
void CmdChangeGraphic(cActor& actor, const cEdCommand& command);
void CmdChangeBasicAnimeSet(cActor& actor, const cEdCommand& command);
void CmdRunAnime(cActor& actor, const cEdCommand& command);
// The whole game stands for parameter 0 tenths of a second, inside the command's step.
void CmdGameWait(cActor& actor, const cEdCommand& command);
// A text popup; a halting one holds the game until the advance key or its time and then
// goes with its surface. bContinued: it goes on from the previous message's window.
void CmdMessage(cActor& actor, const cEdCommand& command, int bContinued);
int ExecMessage(cActor& actor, cCommandRuntime& runtime);
// The top-left in stage pixels of an effect or picture of w x h: centred on the screen
// (0), the actor (1) or the hero (2), or put at a screen (3) or stage (4) block plus
// pixels; other placements leave x and y as they are.
void EffectPlacement(double& x, double& y, int w, int h, const cActor& actor, int nPlacement, int nCellsX, int nCellsY,
                     int nDotsX, int nDotsY);
// An effect at a place (0 removes all; a halting one holds the game for its frames).
void CmdRunEffect(cActor& actor, const cEdCommand& command);
void CmdRunCharaEffect(cActor& actor, const cEdCommand& command);
void CmdRunScreenEffect(cActor& actor, const cEdCommand& command);
// A picture of the database at a place (0 removes all); a halting one holds the game
// until the key or its time, and goes again after. A bitmap that does not load is
// reported and skipped.
void CmdShowPicture(cActor& actor, const cEdCommand& command);
void CmdChangeScreenColor(cActor& actor, const cEdCommand& command);
void CmdChangeBackground(cActor& actor, const cEdCommand& command);
void CmdPlaySound(cActor& actor, const cEdCommand& command);
void CmdPlayBgm(cActor& actor, const cEdCommand& command);
void CmdRunCode(cActor& actor, const cEdCommand& command);
