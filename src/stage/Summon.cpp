// Summoned characters and blocks: a character joins the list only where it does not
// stand in a wall, and a block put onto actors gives them a short grace from being
// crushed (or is refused, when the summon keeps off them).
#include "base/Screen.h"
#include "gamedata/Shot.h"
#include "gamedata/Stage.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/Player.h"
#include "stage/ShotMath.h"
#include "stage/StageScene.h"

void cStageScene::SummonChara(cVectorList<cChara>& list, double x, double y, int nSide, int nFacing,
                              const cEdShot& payload, const cEdChara& def, std::int32_t& nCounter) {
  cEdChara copy = def;
  copy.m_nFacing = static_cast<std::int8_t>(nFacing);
  copy.m_nPassNumber = static_cast<std::uint8_t>(nSide);
  if (payload.m_nSetting57) copy.m_nScore = 0;
  for (int i = 0; i < copy.PlacementCount(); ++i) {
    cChara chara;
    // The spawn point is the centre of the 32-pixel cell whose top-left the formation
    // gave, in the same map pixels as the body, so that moves relative to it agree.
    chara.Init(nCounter, copy, nullptr, x + 16, y + 16, i);
    chara.m_dX = x + chara.m_nHitOffX + copy.OffsetX(i, copy.m_nFacing);
    chara.m_dY = y + chara.m_nHitOffY + copy.OffsetY(i, copy.m_nFacing);
    chara.m_dRight = chara.m_dX + chara.m_nHitW - 1;
    chara.m_dBottom = chara.m_dY + chara.m_nHitH - 1;
    if (!chara.IsInStage(1)) continue;
    chara.SyncX();
    chara.SyncY();
    list.push_back(chara);
    cChara& added = list.back();
    added.CalcScreenRect();
    if (IsBlocked(added)) {
      list.pop_back();  // nothing refers to it yet
      continue;
    }
    if (payload.m_bRangeLimit) added.m_nLifeSteps = ShotTrunc(static_cast<double>(payload.m_nRange) * g_SubSteps * 6);
    m_SideActors[nSide].push_back(&added);
    ++nCounter;
  }
}

int cStageScene::SummonBlock(double x, double y, const cEdShot& payload, const cEdBlock& block) {
  const int nColumn = ShotTrunc(x + 16.5) >> BLOCK_SHIFT;
  const int nRow = ShotTrunc(y + 16.5) >> BLOCK_SHIFT;
  // A cell outside the map is no cell at all.
  if (nColumn < 0 || nColumn >= m_ScrollX.m_nCells || nRow < 0 || nRow >= m_ScrollY.m_nCells) return 0;
  const int nIndex = CellIndex(nColumn, nRow);
  if (nIndex < 0 || nIndex >= g_BlockMap.Size()) return 0;
  cMapBlock& cell = g_BlockMap[nIndex];
  if (cell->m_bFixed) return 0;

  auto Put = [&] {
    const bool bKeepOff = payload.m_nSetting52 || payload.m_nSetting53;
    const cMapBlock old = bKeepOff ? cell : cMapBlock();
    cell.Put(block);
    if (GraceCoveredActors(nIndex, nColumn, nRow, payload.m_nSetting52, payload.m_nSetting53)) {
      cell = old;
      return 0;
    }
    return 1;
  };
  auto Clear = [&] {
    cell = cMapBlock();
    return 1;
  };

  switch (payload.m_nBlockSummonMode) {
    case BLOCK_SUMMON_PLACE: return Put();
    case BLOCK_SUMMON_CLEAR: return Clear();
    case BLOCK_SUMMON_TOGGLE: {
      for (std::int32_t n : m_SummonCells)
        if (n == nIndex) return 0;
      const int r = cell->m_nImage != 0 && CheckBlockConditions(cell) ? Clear() : Put();
      m_SummonCells.push_back(nIndex);
      return r;
    }
    default: return 0;
  }
}
