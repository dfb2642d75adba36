#include "stage/Item.h"

cVectorList<cItem> g_Items;
