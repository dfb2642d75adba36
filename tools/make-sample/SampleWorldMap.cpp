#include "SampleWorldMap.h"

namespace sample {

namespace {

// Cell kinds as the default map numbers them: 0-4 blocked, 5-9 passable, tile = kind.
enum : int { SEA = 0, MOUNTAIN = 1, FOREST = 2, GRASS = 5, ROAD = 6, SAND = 7, FLOWERS = 9 };

}  // namespace

void BuildWorldMap(cEdWorldMap& map) {
  map.SetDefaults();
  map.m_strName = "サンプルワールド";
  // An island of grass in the sea, a road across it, some mountains and woods.
  for (int y = 0; y < map.m_nHeight; ++y)
    for (int x = 0; x < map.m_nWidth; ++x) {
      int kind = GRASS;
      if (x == 0 || y == 0 || x == map.m_nWidth - 1 || y == map.m_nHeight - 1) kind = SEA;
      else if (x == 1 || y == 1 || x == map.m_nWidth - 2 || y == map.m_nHeight - 2) kind = SAND;
      else if (y == 7 && x <= THIRD_POINT_X) kind = ROAD;
      else if (x == THIRD_POINT_X && y > THIRD_POINT_Y && y <= FOURTH_POINT_Y) kind = ROAD;
      else if (x >= 13 && y <= 4) kind = MOUNTAIN;
      else if (x <= 5 && y >= 10) kind = FOREST;
      else if ((x + y) % 7 == 0) kind = FLOWERS;
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
