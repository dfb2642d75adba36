// Block characters: characters that act as moving solids, which other actors are pushed
// out of, stand on, ride and are crushed between.
#include "stage/Chara.h"
#include "stage/StageScene.h"

int cStageScene::CarryRider(cActor&) { return OUTCOME_GO_ON; }

int cStageScene::BlockCharaPass(cActor&) { return OUTCOME_GO_ON; }

void cStageScene::PushOutOfBlockCharas(cActor&, int) {}

bool cStageScene::IsOnRiddenBlockChara(cActor&) { return false; }

bool cStageScene::IsOnAnyBlockChara(cActor&) { return false; }

bool cStageScene::IsCrushedByBlockCharas(cActor&, const cBox&) { return false; }

bool cStageScene::OverlapsOtherBlockChara(cActor&, int) { return false; }
