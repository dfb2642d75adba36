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

// The map is larger than the screen, with sea, shore, woods, mountains, a river and a lake
// all round the road, so that the view, which keeps the hero in its middle (9 cells from
// its left, 7 from its top), never shows past the map's edge; only the road can be walked.
inline constexpr int MAP_WIDTH = 36, MAP_HEIGHT = 25;
// Cells of the points: the start, the second stage and the rock that blocks the road west.
inline constexpr int FIRST_POINT_X = 16, FIRST_POINT_Y = 12;
inline constexpr int SECOND_POINT_X = 20, SECOND_POINT_Y = 12;
inline constexpr int ROCK_X = 13, ROCK_Y = 12;
// Further along the road: the windy bridge and the boss's hall, each behind its own gate.
// The road crosses the river and turns south at the third to reach the fourth.
inline constexpr int THIRD_POINT_X = 23, THIRD_POINT_Y = 12;
inline constexpr int FOURTH_POINT_X = 23, FOURTH_POINT_Y = 16;

// Rows of "bmp\WorldEvent.bmp": the stage mark and the gate (also the rock).
inline constexpr int ICON_STAGE = 0;
inline constexpr int ICON_GATE = 1;

void BuildWorldMap(cEdWorldMap& map);

}  // namespace sample
