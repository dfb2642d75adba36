// The building blocks that the sample's stages share: flows, key steps and movement
// commands, the common stage settings and the placing of blocks, characters and items.
#pragma once
#include <initializer_list>

#include "gamedata/Stage.h"
#include "gamedata/Vocabulary.h"

namespace sample {

// Key channels of a key-sequence step and direction codes of a movement.
enum : int { KEY_LEFT = 1, KEY_RIGHT = 2, KEY_UP = 3, KEY_DOWN = 4, KEY_BUTTON1 = 11, KEY_BUTTON2 = 12 };
enum : int { MOVE_FORWARD = 0, MOVE_BACK = 1, MOVE_LEFT = 2, MOVE_RIGHT = 3, MOVE_UP = 6, MOVE_DOWN = 7 };
// The movement commands by their place in the command table.
constexpr int CMD_MOVE_GROUND_TURN = CMD_MOVE_STRAIGHT + 1;
constexpr int CMD_MOVE_CIRCLE = CMD_MOVE_STRAIGHT + 2;
constexpr int CMD_MOVE_CHARGE = CMD_MOVE_STRAIGHT + 3;
constexpr int CMD_MOVE_HOMING = CMD_MOVE_STRAIGHT + 4;
constexpr int CMD_MOVE_AVOID_OFFSCREEN = CMD_MOVE_STRAIGHT + 5;
constexpr int CMD_MOVE_CANCEL = CMD_MOVE_STRAIGHT + 6;

// A flow that always runs, with the usual key tolerance.
cEdFlow NewFlow();
// A step that holds while one channel is down, however long.
cEdKeyCondition KeyHeld(int channel);
// A movement by direction over `time` tenths of a second at `speed`.
cEdCommand MoveCommand(int type, int time, int direction, int speed);
// A character command (set 0) or item command (set 1) of the type with its parameters.
cEdCommand Command(int set, int type, std::initializer_list<int> params, int time = 0);

// "ステータスの操作": operation `op` with a constant on status `status` of whose (0 the
// taker, 2 the system: 0 the time, 3 the stage score).
cEdCommand StatusCommand(int set, int whose, int status, int op, int value);

void StageBasics(cEdStage& stage, const char* header, int width, int height);
void PlaceBlock(cEdStage& stage, cEdBlock block, int x, int y);
void PlaceChara(cEdStage& stage, cEdChara chara, int side, int x, int y);
void PlaceItem(cEdStage& stage, cEdItem item, int x, int y);

}  // namespace sample
