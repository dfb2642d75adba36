// The shots and swords of one drawing layer.
#include "stage/StageScene.h"

// Shots are not drawn yet: their drawing belongs to the shot code, which fills this in
// (nLayer -1: every shot, else the shots whose drawing layer is nLayer; only those on
// screen, each after its screen rectangle).
void cStageScene::DrawShots(DDSURFACEDATA*, int, int) {}
