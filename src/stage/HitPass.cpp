// The hit pass (who hits whom, friend and foe told apart by side) and the player's
// pick-up of the items it touches.
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

int cStageScene::HitPass() { return HitActorsPass(); }

int cStageScene::HitActorsPass() { return OUTCOME_GO_ON; }

int cStageScene::ItemPickUpPass(cPlayer&) { return OUTCOME_GO_ON; }
