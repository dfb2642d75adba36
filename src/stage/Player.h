// cPlayer: the character that the pad drives. Besides the two boxes of every actor it
// has a third one that picks up items; its other members and operations come with the
// player code. The stage's player is element 0 of g_Players.
#pragma once
#include "core/Vector.h"
#include "stage/Actor.h"

class cPlayer : public cActor {
 public:
  cHitBox m_BoxC;  // picks up items
};

extern cVector<cPlayer> g_Players;
