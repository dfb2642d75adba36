#include "SampleWorldMap.h"

#include <algorithm>

namespace sample {

namespace {

// The sample's cell kinds, numbered as their tiles in "bmp\WorldMapChip.bmp". Only the
// road and the bridge can be walked: the grass, sand and flowers are scenery too.
enum : int { SEA, MOUNTAIN, FOREST, ROCK, WALL, GRASS, ROAD_NS, SAND, BRIDGE, FLOWERS, ROAD_WE, ROAD_WS, KIND_COUNT };

void SetKinds(cEdWorldMap& map) {
  static const char* const kNames[KIND_COUNT] = {"海",       "山",   "森", "岩",   "壁",       "草原",
                                                 "道（縦）", "砂浜", "橋", "花畑", "道（横）", "道（角）"};
  map.m_Worlds.clear();
  for (int kind = 0; kind < KIND_COUNT; ++kind) {
    cEdWorld& world = map.m_Worlds.emplace_back();
    world.m_nPicture = kind;
    world.m_bBlocked = kind == ROAD_NS || kind == ROAD_WE || kind == ROAD_WS || kind == BRIDGE ? 0 : 1;
    world.m_strName = kNames[kind];
  }
}

// The scenery of a cell off the road.
int Scenery(int x, int y) {
  const int w = MAP_WIDTH, h = MAP_HEIGHT;
  // The sea all round, its coast cut back at the corners; a shore of sand inside it.
  const int edge = std::min({x, y, w - 1 - x, h - 1 - y});
  const int corner = std::min(x, w - 1 - x) + std::min(y, h - 1 - y);
  if (edge < 2 || corner < 6) return SEA;
  if (edge < 3 || corner < 8) return SAND;
  // A lake in the south-east, fed by a river from the north that the road bridges.
  const int lx = x - 29, ly = y - 19;
  if (lx * lx * 4 + ly * ly * 9 <= 36) return SEA;
  if ((x == 21 && y < 19) || (y == 18 && x > 21 && x < 27)) return SEA;
  if (x >= 24 && y <= 9) return MOUNTAIN;
  if ((x <= 11 && y >= 15) || (x <= 8 && y <= 7)) return FOREST;
  if (x >= 15 && x <= 19 && y <= 7 && (x + y) % 2 == 0) return MOUNTAIN;
  return (x * 3 + y * 5) % 11 == 0 ? FLOWERS : GRASS;
}

}  // namespace

void BuildWorldMap(cEdWorldMap& map) {
  map.SetDefaults();
  map.m_strName = "サンプルワールド";
  SetKinds(map);
  map.SetSize(MAP_WIDTH, MAP_HEIGHT);
  for (int y = 0; y < map.m_nHeight; ++y)
    for (int x = 0; x < map.m_nWidth; ++x) {
      int kind = Scenery(x, y);
      // The road: from the shore in the west (the rock closes it) east to the third
      // point, then south to the fourth.
      if (y == THIRD_POINT_Y && kind != SEA && kind != SAND && x < THIRD_POINT_X) kind = ROAD_WE;
      if (y == THIRD_POINT_Y && x == 21) kind = BRIDGE;
      if (x == THIRD_POINT_X && y == THIRD_POINT_Y) kind = ROAD_WS;
      if (x == THIRD_POINT_X && y > THIRD_POINT_Y && y <= FOURTH_POINT_Y) kind = ROAD_NS;
      map.m_Grid[(y << map.m_nPitchShift) + x] = kind;
    }
  map.m_nStartX = FIRST_POINT_X;
  map.m_nStartY = FIRST_POINT_Y;
  map.m_nBgColor = 16;
  map.m_bBgPicture = 0;
  map.m_strPicture.clear();

  map.m_Points.clear();
  auto addPoint = [&map](int x, int y, const char* name) -> cEdMapPoint& {
    cEdMapPoint& point = map.m_Points.emplace_back();
    point.m_nX = x;
    point.m_nY = y;
    point.m_strName = name;
    return point;
  };
  auto stageEntry = [](cEdMapPointEntry& entry, int stage, const char* file, const char* text) {
    entry = cEdMapPointEntry();
    entry.m_nKind = 0;
    entry.m_nPictureRow = ICON_STAGE;
    entry.m_nStage = stage;
    entry.m_bAskFirst = 1;
    entry.m_bReplayAfterClear = 1;
    entry.m_strText = text;
    entry.m_strStageFile = file;
  };
  auto wallEntry = [](cEdMapPointEntry& entry) {
    entry = cEdMapPointEntry();
    entry.m_nKind = 2;
    entry.m_nPictureRow = ICON_GATE;
  };

  stageEntry(addPoint(FIRST_POINT_X, FIRST_POINT_Y, "ステージ1").m_Entries[0], 1, FIRST_STAGE, "はじまりの草原");
  // Switch 1 is on once stage 1 is cleared; until then the gate's wall entry is the active one.
  cEdMapPoint& second = addPoint(SECOND_POINT_X, SECOND_POINT_Y, "ステージ2");
  second.m_Entries.resize(2);
  stageEntry(second.m_Entries[0], 2, SECOND_STAGE, "となりの丘");
  second.m_Entries[0].m_nSwitch = 1;
  wallEntry(second.m_Entries[1]);
  // Switch n is on once stage n is cleared.
  const struct {
    int x, y, stage;
    const char *name, *file, *text;
  } later[] = {{THIRD_POINT_X, THIRD_POINT_Y, 3, "ステージ3", THIRD_STAGE, "かぜの橋"},
               {FOURTH_POINT_X, FOURTH_POINT_Y, 4, "ステージ4", FOURTH_STAGE, "カブトキングの城"}};
  for (const auto& l : later) {
    cEdMapPoint& point = addPoint(l.x, l.y, l.name);
    point.m_Entries.resize(2);
    stageEntry(point.m_Entries[0], l.stage, l.file, l.text);
    point.m_Entries[0].m_nSwitch = l.stage - 1;
    wallEntry(point.m_Entries[1]);
  }
  wallEntry(addPoint(ROCK_X, ROCK_Y, "岩").m_Entries[0]);
}

}  // namespace sample
