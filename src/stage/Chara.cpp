#include "stage/Chara.h"

cVectorList<cChara> g_Charas;
