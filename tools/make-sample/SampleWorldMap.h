// The sample's world map: the first stage on the start cell (it asks first, so a new
// game stays on the map), the second, third and fourth stages along the road, each behind
// a gate that opens when the stage before it is cleared, and a rock that blocks the road
// the other way.
#pragma once
#include "gamedata/WorldMap.h"

namespace sample {

// The stage files the map points enter (the player takes the newest numbered copy).
inline constexpr const char* FIRST_STAGE = "data\\stg4\\Stage01-1.stg4";
inline constexpr const char* SECOND_STAGE = "data\\stg4\\Stage02-1.stg4";
inline constexpr const char* THIRD_STAGE = "data\\stg4\\Stage03-1.stg4";
inline constexpr const char* FOURTH_STAGE = "data\\stg4\\Stage04-1.stg4";

// Cells of the points: the start, the second stage and the rock.
inline constexpr int FIRST_POINT_X = 9, FIRST_POINT_Y = 7;
inline constexpr int SECOND_POINT_X = 13, SECOND_POINT_Y = 7;
inline constexpr int ROCK_X = 6, ROCK_Y = 7;
// Further along the road: the windy bridge and the boss's hall, each behind its own gate.
// The road turns south at the third to reach the fourth.
inline constexpr int THIRD_POINT_X = 16, THIRD_POINT_Y = 7;
inline constexpr int FOURTH_POINT_X = 16, FOURTH_POINT_Y = 11;

// Rows of "bmp\WorldEvent.bmp": the stage mark and the gate (also the rock).
inline constexpr int ICON_STAGE = 0;
inline constexpr int ICON_GATE = 1;

void BuildWorldMap(cEdWorldMap& map);

}  // namespace sample
