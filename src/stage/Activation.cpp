// Which objects take part in a logic sub-step, and what the block under the player's
// feet does to it.
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

void cStageScene::ActivateObjects() {}

bool cStageScene::CheckCharaCondition(cChara&) { return true; }

bool cStageScene::CheckItemCondition(cItem&) { return true; }

int cStageScene::GraceCoveredActors(int, int, int, const cEdShot&) { return 0; }

int cStageScene::ApplyFootBlock(cPlayer&) { return OUTCOME_GO_ON; }

int cStageScene::ApplyItemBlock(cPlayer&) { return OUTCOME_GO_ON; }
