// cItem: an item lying on a stage or held by a character. Its members and operations
// come with the item code; the stage's items live by value in g_Items.
#pragma once
#include "core/Vector.h"
#include "stage/GameObject.h"

class cItem : public cGameObject {};

extern cVectorList<cItem> g_Items;
