#include "gamedata/WorldMap.h"

#include <algorithm>

#include "base/Log.h"
#include "gamedata/RecordList.h"

cEdWorldMap g_WorldMap;

const char* const g_MapEntryKindNames[4] = {"ワールド", "道", "壁", ""};
const char* const g_AfterClearNames[4] = {"しない", "2周目へ突入", "タイトルへ戻る", ""};

void cEdWorld::BindFields(std::uint32_t) {
  AddField4(&m_nValue);
  AddField4(&m_bBlocked);
  AddField4(&m_nPicture);
  AddString(&m_strText);
  AddString(&m_strName);
}

void cEdMapPointEntry::BindFields(std::uint32_t nVersion) {
  AddField4(&m_nKind);
  AddField4(&m_nPictureRow);
  AddField4(&m_nStage);
  AddField4(&m_bAskFirst);
  AddField4(&m_bReplayAfterClear);
  AddField4(&m_nAfterClear);
  AddField4(&m_nSwitch);
  AddField4(&m_nVariable);
  AddField4(&m_nValue);
  AddField4(&m_nOperator);
  if (nVersion >= VERSION_MIN_BEST_TOTAL) AddField4(&m_nMinBestTotal);
  AddString(&m_strText);
  AddString(&m_strStageFile);
}

void cEdMapPoint::BindFields(std::uint32_t) {
  AddField4(&m_nX);
  AddField4(&m_nY);
  AddString(&m_strName);
}

void cEdMapPoint::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Entries);
}

void cEdMapPoint::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Entries);
}

void cEdWorldMap::BindFields(std::uint32_t) {
  AddField4(&m_nWidth);
  AddField4(&m_nHeight);
  AddField4(&m_nPitch);
  AddField4(&m_nPitchShift);
  AddField4(&m_nStartX);
  AddField4(&m_nStartY);
  AddField4(&m_nBgColor);
  AddField4(&m_bBgPicture);
  AddString(&m_strName);
  AddString(&m_strPicture);
}

void cEdWorldMap::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Worlds);
  LoadValueList(in, m_Grid);
  LoadRecordList(in, m_Points);
  LoadRecordList(in, m_DefaultPoints);
  // Every reader indexes the grid by the stored pitch: a grid that does not match the
  // size is a damaged file.
  if (!in.Failed() && !GridMatchesSize()) in.Fail();
  if (in.Failed()) {
    *this = cEdWorldMap();
    return;
  }
  Normalize();
}

void cEdWorldMap::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  SaveRecordList(out, m_Worlds);
  SaveValueList(out, m_Grid);
  SaveRecordList(out, m_Points);
  SaveRecordList(out, m_DefaultPoints);
}

bool cEdWorldMap::GridMatchesSize() const {
  if (m_nWidth < 1 || m_nHeight < 1 || m_nPitchShift < 0 || m_nPitchShift > 30) return false;
  if (m_nPitch != (1 << m_nPitchShift) || m_nPitch < m_nWidth) return false;
  return static_cast<std::int64_t>(m_Grid.size()) == (static_cast<std::int64_t>(m_nHeight) << m_nPitchShift);
}

void cEdWorldMap::SetDefaults() {
  Clear();
  m_strName = "ワールド";
  m_nStartX = 9;
  m_nStartY = 7;
  m_nBgColor = 16;
  m_bBgPicture = 0;
  m_Worlds.clear();
  for (int i = 0; i < 10; ++i) {
    cEdWorld& world = m_Worlds.emplace_back();
    world.m_nPicture = i;
    world.m_bBlocked = i < 5 ? 1 : 0;
    world.m_strName = i < 5 ? "通行不可" : "通行可";
  }
  SetSize(20, 15);
  m_Points.clear();
  m_DefaultPoints.assign(1, cEdMapPoint());
  m_DefaultPoints[0].m_strName = "デフォルト";
}

void cEdWorldMap::CalcPitch(std::int32_t nWidth) {
  m_nPitchShift = 0;
  for (std::int32_t n = nWidth - 1; n > 0; n /= 2) ++m_nPitchShift;
  m_nPitch = 1 << m_nPitchShift;
}

int cEdWorldMap::SetSize(std::int32_t nWidth, std::int32_t nHeight) {
  if (nWidth < 1 || nHeight < 1) {  // a negative size would make a huge grid
    DebugErrorBoxPrintf("SetSize()で 0 を指定しました！");
    return 0;
  }
  cVector<std::int32_t> oldGrid;
  const std::int32_t nOldWidth = m_nWidth, nOldHeight = m_nHeight, nOldShift = m_nPitchShift;
  const bool bHadGrid = !m_Grid.empty();
  if (bHadGrid) {
    DebugErrorBoxPrintf("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", m_nWidth, m_nPitch,
                        m_nPitchShift);
    oldGrid.swap(m_Grid);
  }
  m_nWidth = nWidth;
  m_nHeight = nHeight;
  CalcPitch(nWidth);
  m_Grid.assign(static_cast<std::size_t>(nHeight) << m_nPitchShift, 0);
  if (bHadGrid) {
    const std::int32_t nRows = std::min(nOldHeight, nHeight), nColumns = std::min(nOldWidth, nWidth);
    for (std::int32_t y = 0; y < nRows; ++y) {
      for (std::int32_t x = 0; x < nColumns; ++x) m_Grid[(y << m_nPitchShift) + x] = oldGrid[(y << nOldShift) + x];
    }
  }
  return 1;
}

void cEdWorldMap::Normalize() {
  if (m_nStartX >= m_nWidth) m_nStartX = m_nWidth - 1;
  if (m_nStartY >= m_nHeight) m_nStartY = m_nHeight - 1;
  std::erase_if(m_Points, [this](const cEdMapPoint& p) { return p.m_nX >= m_nWidth || p.m_nY >= m_nHeight; });
}

const cEdWorld* cEdWorldMap::WorldAt(std::int32_t nX, std::int32_t nY) const {
  if (m_nWidth < 1 || m_nHeight < 1) return nullptr;
  nX = std::clamp(nX, 0, m_nWidth - 1);
  nY = std::clamp(nY, 0, m_nHeight - 1);
  const std::int64_t cell = (static_cast<std::int64_t>(nY) << m_nPitchShift) + nX;
  if (cell >= static_cast<std::int64_t>(m_Grid.size())) return nullptr;
  const std::int32_t kind = m_Grid[static_cast<int>(cell)];
  return kind >= 0 && kind < m_Worlds.Size() ? &m_Worlds[kind] : nullptr;
}

cEdMapPoint* cEdWorldMap::FindPoint(std::int32_t nX, std::int32_t nY) {
  for (cEdMapPoint& point : m_Points) {
    if (point.m_nX == nX && point.m_nY == nY) return &point;
  }
  return nullptr;
}
