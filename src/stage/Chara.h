// cChara: a character on a stage that the pad does not drive (enemies, friends, moving
// platforms). Its own members and operations come with the character code; the stage's
// characters live by value in g_Charas, so their addresses stay while they are listed.
#pragma once
#include "core/Vector.h"
#include "stage/Actor.h"

class cChara : public cActor {};

extern cVectorList<cChara> g_Charas;
