// Removal of characters from the stage's list with every link to them cleared first,
// and the look-up of actors by serial number.
#include "stage/ObjectLists.h"

#include <algorithm>
#include <iterator>

#include "base/Screen.h"
#include "gamedata/Shot.h"
#include "gamedata/Stage.h"
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/StageScene.h"

cActor* FindCharaById(std::int32_t nSerial) {
  for (cPlayer& p : g_Players)
    if (p.m_nSerial == nSerial) return &p;
  for (cChara& c : g_Charas)
    if (c.m_nSerial == nSerial && !c.m_bRemoved) return &c;
  return nullptr;
}

void cStageScene::UnlinkActor(cActor& c) {
  for (cActor* p : c.m_Targeters) p->m_pTarget = nullptr;
  c.m_Targeters.clear();
  for (cShot* s : c.m_AimingShots) s->m_pTarget = nullptr;
  c.m_AimingShots.clear();
  if (c.m_pTarget != nullptr) {
    auto& list = c.m_pTarget->m_Targeters;
    list.erase(std::remove(list.begin(), list.end(), &c), list.end());
    c.m_pTarget = nullptr;
  }
  // Every side list is searched: a character whose side changed after it was listed
  // must not stay behind as a dangling pointer in its old side's list.
  for (auto& side : m_SideActors) side.remove(&c);
}

cVectorList<cChara>::iterator cStageScene::EraseChara(cVectorList<cChara>& list, cVectorList<cChara>::iterator node) {
  UnlinkActor(*node);
  if (m_bDeferRemovals) {
    node->m_bRemoved = 1;
    return std::next(node);
  }
  return list.erase(node);
}

void cStageScene::SweepRemovedCharas() {
  g_Charas.remove_if([](const cChara& c) { return c.m_bRemoved != 0; });
}

void cStageScene::SpawnCharaAt(cVectorList<cChara>& list, int nColumn, int nRow, std::int32_t& nCounter,
                               const cEdChara& placement, const cItem* pItem) {
  cEdChara def = placement;
  const double x = (nColumn + m_ScrollX.m_nMargin) * BLOCK_SIZE + BLOCK_SIZE / 2;
  const double y = (nRow + m_ScrollY.m_nMargin) * BLOCK_SIZE + BLOCK_SIZE / 2;
  for (int i = 0; i < def.PlacementCount(); ++i) {
    cChara chara;
    chara.Init(nCounter, def, pItem, x, y, i);
    chara.PlaceAtTile(nColumn, nRow);
    const double dx = def.OffsetX(i, def.m_nFacing);
    const double dy = def.OffsetY(i, def.m_nFacing);
    chara.m_dX += dx;
    chara.m_dRight += dx;
    chara.m_dY += dy;
    chara.m_dBottom += dy;
    if (!chara.IsInStage(1)) continue;
    chara.SyncX();
    chara.SyncY();
    list.push_back(chara);
    list.back().CalcScreenRect();
    ++nCounter;
  }
}

void cStageScene::SpawnItemAt(cVectorList<cItem>& list, int nColumn, int nRow, std::int32_t& nCounter,
                              const cEdItem& placement) {
  cEdItem def = placement;
  cItem item;
  item.Init(nCounter, def, 0);
  item.PlaceAtTile(nColumn, nRow);
  item.m_dX += def.m_nOffsetX;
  item.m_dRight += def.m_nOffsetX;
  item.m_dY += def.m_nOffsetY;
  item.m_dBottom += def.m_nOffsetY;
  if (!item.IsInStage(1)) return;
  item.ClampX(2);
  item.ClampY(2);
  list.push_back(item);
  list.back().CalcScreenRect();
  ++nCounter;
}

void cStageScene::SummonItem(cVectorList<cItem>& list, double x, double y, const cEdShot& payload, const cEdItem& def,
                             std::int32_t& nCounter) {
  cEdItem copy = def;
  cItem item;
  item.Init(nCounter, copy, 0);
  item.m_dX = x + item.m_nHitOffX + copy.m_nOffsetX;
  item.m_dY = y + item.m_nHitOffY + copy.m_nOffsetY;
  item.m_dRight = item.m_dX + item.m_nHitW - 1;
  item.m_dBottom = item.m_dY + item.m_nHitH - 1;
  if (!item.IsInStage(1)) return;
  item.ClampX(2);
  item.ClampY(2);
  if (payload.m_bRangeLimit) item.m_nLifeSteps = payload.m_nRange * g_Stage.m_nSubSteps * 6;
  list.push_back(item);
  ++nCounter;
}
