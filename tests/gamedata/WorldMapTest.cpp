#include "gamedata/WorldMap.h"

#include <gtest/gtest.h>

#include "gamedata/RecordList.h"
#include "RecordTestUtil.h"

namespace {

class WorldMapTest : public rt::RecordFixture {};

// A map with every kind of content: a resized grid, points with several entries.
cEdWorldMap SampleMap() {
  cEdWorldMap map;
  map.SetSize(33, 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 33; ++x) map.m_Grid[(y << map.m_nPitchShift) + x] = (x + y) % 10;
  }
  map.m_nStartX = 4;
  map.m_nStartY = 2;
  map.m_strPicture = "bmp\\map.bmp";
  map.m_Worlds[3].m_strText = "三";
  for (int i = 0; i < 3; ++i) {
    cEdMapPoint& p = map.m_Points.emplace_back();
    p.m_nX = i * 5;
    p.m_nY = i;
    p.m_strName = "point";
    p.m_Entries.resize(i + 1);
    cEdMapPointEntry& e = p.m_Entries.back();
    e.m_nStage = i + 1;
    e.m_nMinBestTotal = 100 * i;
    e.m_nOperator = 5;
    e.m_strStageFile = "data\\stg4\\Stage01-1.stg4";
  }
  return map;
}

TEST_F(WorldMapTest, DefaultMap) {
  cEdWorldMap map;
  EXPECT_EQ(map.m_nWidth, 20);
  EXPECT_EQ(map.m_nHeight, 15);
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitchShift, 5);
  EXPECT_EQ(map.m_Grid.size(), 480u);
  EXPECT_EQ(map.m_Grid[(14 << map.m_nPitchShift) + 19], 0);
  ASSERT_EQ(map.m_Worlds.size(), 10u);
  EXPECT_EQ(map.m_Worlds[4].m_bBlocked, 1);
  EXPECT_EQ(map.m_Worlds[5].m_bBlocked, 0);
  EXPECT_EQ(map.m_Worlds[7].m_nPicture, 7);
  EXPECT_EQ(map.m_Worlds[7].m_strName, "通行可");
  EXPECT_EQ(map.m_nStartX, 9);
  EXPECT_EQ(map.m_nBgColor, 16);
  EXPECT_TRUE(map.m_Points.empty());
  ASSERT_EQ(map.m_DefaultPoints.size(), 1u);
  EXPECT_EQ(map.m_DefaultPoints[0].m_strName, "デフォルト");
  EXPECT_EQ(map.m_DefaultPoints[0].m_Entries.size(), 1u);
}

TEST_F(WorldMapTest, PitchAndSetSize) {
  const std::pair<int, int> pitches[] = {{1, 1}, {2, 2}, {3, 4}, {4, 4}, {5, 8}, {8, 8}, {20, 32}, {33, 64}};
  cEdWorldMap map;
  for (auto [width, pitch] : pitches) {
    map.CalcPitch(width);
    EXPECT_EQ(map.m_nPitch, pitch) << width;
    EXPECT_EQ(1 << map.m_nPitchShift, pitch) << width;
  }

  cEdWorldMap m;
  m.m_Grid[(9 << 5) + 19] = 6;
  m.m_Grid[(10 << 5) + 3] = 8;  // row 10 falls outside the new height
  ASSERT_EQ(m.SetSize(33, 10), 1);
  EXPECT_EQ(m.m_nPitch, 64);
  EXPECT_EQ(m.m_nPitchShift, 6);
  EXPECT_EQ(m.m_Grid.size(), 640u);
  EXPECT_EQ(m.m_Grid[(9 << 6) + 19], 6);
  EXPECT_EQ(m.m_Grid[(9 << 6) + 20], 0);
  for (std::int32_t v : m.m_Grid) EXPECT_TRUE(v == 0 || v == 6);

  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 5}}) {
    EXPECT_EQ(m.SetSize(w, h), 0);
    EXPECT_EQ(m.m_nWidth, 33);
    EXPECT_EQ(m.m_Grid.size(), 640u);
  }
}

TEST_F(WorldMapTest, RoundTripAndFindPoint) {
  cEdWorldMap map = SampleMap();
  ASSERT_EQ(map.SaveToFile("WorldMap.dat"), 1);
  cEdWorldMap back;
  ASSERT_EQ(back.LoadFromFile("WorldMap.dat"), 1);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(map)));
  EXPECT_EQ(back.m_nPitch, 64);
  EXPECT_EQ(back.m_Grid[(9 << 6) + 32], (32 + 9) % 10);
  ASSERT_EQ(back.m_Points.size(), 3u);
  EXPECT_EQ(back.m_Points[2].m_Entries[2].m_nMinBestTotal, 200);
  EXPECT_EQ(back.m_Worlds[3].m_strText, "三");

  back.m_Points[1].m_nX = back.m_Points[2].m_nX;
  back.m_Points[1].m_nY = back.m_Points[2].m_nY;
  EXPECT_EQ(back.FindPoint(back.m_Points[2].m_nX, back.m_Points[2].m_nY), &back.m_Points[1]);
  EXPECT_EQ(back.FindPoint(back.m_Points[0]), &back.m_Points[0]);
  EXPECT_EQ(back.FindPoint(1, 1), nullptr);
}

TEST_F(WorldMapTest, NormalizeAtLoad) {
  cEdWorldMap map;
  map.m_nStartX = 25;
  map.m_nStartY = 3;
  for (auto [x, y] : {std::pair{20, 0}, std::pair{19, 14}, std::pair{3, 15}}) {
    cEdMapPoint& p = map.m_Points.emplace_back();
    p.m_nX = x;
    p.m_nY = y;
  }
  // Saved without its own normalisation, as a foreign editor could.
  std::string body;
  {
    cDataWriter out;
    map.cRecord::Save(out);
    body = out.Bytes();
  }
  cDataWriter lists;
  SaveRecordList(lists, map.m_Worlds);
  SaveValueList(lists, map.m_Grid);
  SaveRecordList(lists, map.m_Points);
  SaveRecordList(lists, map.m_DefaultPoints);
  body += lists.Bytes();

  cEdWorldMap back;
  ASSERT_TRUE(rt::LoadBody(back, body));
  EXPECT_EQ(back.m_nStartX, 19);
  EXPECT_EQ(back.m_nStartY, 3);
  ASSERT_EQ(back.m_Points.size(), 1u);
  EXPECT_EQ(back.m_Points[0].m_nX, 19);
}

TEST_F(WorldMapTest, Version208HasNoMinimumBestTotal) {
  cEdWorldMap map = SampleMap();
  const std::string old = rt::SaveBody(map, 208);
  const std::string now = rt::SaveBody(map);
  // One i32 fewer for each of the 6 entries (3 points) and the default point's entry.
  EXPECT_EQ(now.size() - old.size(), 7u * 4u);
  cEdWorldMap back;
  ASSERT_TRUE(rt::LoadBody(back, old, 208));
  EXPECT_EQ(back.m_Points[2].m_Entries[2].m_nMinBestTotal, 0);
  EXPECT_EQ(back.m_Points[2].m_Entries[2].m_strStageFile, "data\\stg4\\Stage01-1.stg4");
  for (cEdMapPoint& p : map.m_Points) {
    for (cEdMapPointEntry& e : p.m_Entries) e.m_nMinBestTotal = 0;
  }
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(map)));
}

}  // namespace
