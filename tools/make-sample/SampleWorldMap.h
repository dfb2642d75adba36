// The sample's world map: one map point on the start cell that leads to the first stage.
#pragma once
#include "gamedata/WorldMap.h"

namespace sample {

// The stage file the map point enters (the player takes its newest numbered copy).
inline constexpr const char* FIRST_STAGE = "data\\stg4\\Stage01-1.stg4";

void BuildWorldMap(cEdWorldMap& map);

}  // namespace sample
