#include "stage/Player.h"

cVector<cPlayer> g_Players;
