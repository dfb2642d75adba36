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
      else if (y == 7) kind = ROAD;
      else if (x >= 13 && y <= 4) kind = MOUNTAIN;
      else if (x <= 5 && y >= 10) kind = FOREST;
      else if ((x + y) % 7 == 0) kind = FLOWERS;
      map.m_Grid[(y << map.m_nPitchShift) + x] = kind;
    }
  map.m_nStartX = 9;
  map.m_nStartY = 7;
  map.m_nBgColor = 16;
  map.m_bBgPicture = 0;
  map.m_strPicture.clear();

  cEdMapPoint point;
  point.m_nX = 9;
  point.m_nY = 7;
  point.m_strName = "ステージ1";
  cEdMapPointEntry& entry = point.m_Entries[0];
  entry = cEdMapPointEntry();
  entry.m_nKind = 0;
  entry.m_nPictureRow = 0;
  entry.m_nStage = 1;
  entry.m_strStageFile = FIRST_STAGE;
  map.m_Points.clear();
  map.m_Points.push_back(point);
}

}  // namespace sample
