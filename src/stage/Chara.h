// cChara: a character on a stage that the pad does not drive (enemies, friends, moving
// platforms). Its own members and operations come with the character code; the stage's
// characters live by value in g_Charas, so their addresses stay while they are listed.
#pragma once
#include "base/Vector.h"
#include "stage/Actor.h"

class cChara : public cActor {
 public:
  // Kept inside the block map; a move reports its limit code (see Chara.cpp).
  int SyncX() override;
  int SyncY() override;
  int MoveX() override;
  int MoveY() override;
  // 1 when the jump starts; otherwise the first flag that refused it.
  int Jump(cCommandRuntime& runtime) override;
};

extern cVectorList<cChara> g_Charas;
