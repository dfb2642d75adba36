// The world map of story mode ("data\WorldMap.dat"): a grid of cell kinds with the map
// points placed on it, each point with the entries that say which stage it leads to.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Record.h"

// One cell kind: its tile and whether the cursor may enter it.
class cEdWorld : public cRecord {
 public:
  std::int32_t m_nValue = 0;  // not used by the player
  std::int32_t m_bBlocked = 0;
  std::int32_t m_nPicture = 0;  // tile: column number % 5, row number / 5 of 32-pixel tiles
  std::string m_strText;        // not used by the player
  std::string m_strName;

  void BindFields(std::uint32_t nVersion) override;
};

// One way through a map point: the stage it enters, when it is active, what follows.
class cEdMapPointEntry : public cRecord {
 public:
  std::int32_t m_nKind = 0;        // 0 stage, 1 road, 2 wall
  std::int32_t m_nPictureRow = 0;  // row in the points sheet
  std::int32_t m_nStage = 0;       // cleared while switch (stage number) is on
  std::int32_t m_bAskFirst = 0;
  std::int32_t m_bReplayAfterClear = 0;
  std::int32_t m_nAfterClear = 0;  // 0 back to the map, 1 second round, 2 title
  std::int32_t m_nSwitch = 0;      // above 0: active only while this switch is on
  std::int32_t m_nVariable = 0;    // non-zero: active only while variable OP value holds
  std::int32_t m_nValue = 0;
  std::int32_t m_nOperator = 0;      // 0 ==, 1 !=, 2 >=, 3 <=, 4 >, 5 <
  std::int32_t m_nMinBestTotal = 0;  // stored from version 209
  std::string m_strText;             // the name shown under the map on this point
  std::string m_strStageFile;

  void BindFields(std::uint32_t nVersion) override;
};

class cEdMapPoint : public cRecord {
 public:
  cEdMapPoint() : m_Entries(1) {}

  std::int32_t m_nX = 0;
  std::int32_t m_nY = 0;
  std::string m_strName;
  cVector<cEdMapPointEntry> m_Entries;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
};

class cEdWorldMap : public cRecord {
 public:
  cEdWorldMap() { SetDefaults(); }

  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_nPitch = 0;       // row stride of the grid: a power of two >= the width
  std::int32_t m_nPitchShift = 0;  // log2 of the pitch
  cVector<cEdWorld> m_Worlds;      // the cell kinds
  cVector<std::int32_t> m_Grid;    // kind of cell (x, y) at (y << m_nPitchShift) + x
  cVector<cEdMapPoint> m_Points;
  cVector<cEdMapPoint> m_DefaultPoints;  // the editor's; kept with the map
  std::int32_t m_nStartX = 0;
  std::int32_t m_nStartY = 0;
  std::int32_t m_nBgColor = 0;    // palette number of the fill
  std::int32_t m_bBgPicture = 0;  // draw the map picture over the fill
  std::string m_strName;
  std::string m_strPicture;

  void BindFields(std::uint32_t nVersion) override;
  // A map whose file fails to load, or whose grid does not match its size, becomes the
  // default map and the load fails.
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  void SetDefaults();
  // New size; the cells inside both the old and the new size keep their kinds. 0 for a
  // size below 1, with nothing changed.
  int SetSize(std::int32_t nWidth, std::int32_t nHeight);
  void CalcPitch(std::int32_t nWidth);
  // The start cell inside the map, and no point outside it.
  void Normalize();
  // The first point at the cell, or null.
  cEdMapPoint* FindPoint(std::int32_t nX, std::int32_t nY);
  cEdMapPoint* FindPoint(const cEdMapPoint& at) { return FindPoint(at.m_nX, at.m_nY); }
  // The kind of the cell, the cell clamped into the map; null when its number names none.
  const cEdWorld* WorldAt(std::int32_t nX, std::int32_t nY) const;

 private:
  bool GridMatchesSize() const;
};

extern cEdWorldMap g_WorldMap;

// Editor captions of the entry kinds and after-clear actions; each ends with "".
extern const char* const g_MapEntryKindNames[4];
extern const char* const g_AfterClearNames[4];
