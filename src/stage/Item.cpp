#include "stage/Item.h"

#include "base/Screen.h"
#include "stage/RunTimeTables.h"
#include "gamedata/Stage.h"
#include "stage/StageScene.h"

cVectorList<cItem> g_Items;

namespace {

// Two patterns of 15 ticks each, looping; no other sequence may cut in.
constexpr ANIMESTEP kItemSteps[] = {{0, 15, 1}, {1, 15, 1}, {ANIME_CODE_LOOP, 0, 1}};
constexpr const ANIMESTEP* kItemTable[] = {kItemSteps, nullptr};

}  // namespace

cItem::cItem() { m_Def.Reset(); }

void cItem::ScaleHitBoxes(int) {}
void cItem::UpdateHitBoxX() {}
void cItem::UpdateHitBoxY() {}

void cItem::KeepFootOnScale(int nNew, int nOld) {
  if (nNew == nOld) return;
  m_dY -= static_cast<double>((nNew - nOld) * (m_nBaseHitH + m_nBaseHitOffY));
  ClampY(2);
}

void cItem::Init(int nSerial, cEdItem& def, int nHeldMode) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  m_Def = def;
  const int w = g_Stage.m_ItemBox[0];
  const int h = g_Stage.m_ItemBox[1];
  cGameObject::Init(nSerial, 0, 0, 0, m_Def.m_nImage, kItemTable, 0, BLOCK_SIZE / 2 - (w >> 1),
                    BLOCK_SIZE / 2 - (h >> 1), w, h, BLOCK_SIZE, BLOCK_SIZE, 0, 1, 0);
  m_bScrollSync = 0;
  m_nHeldMode = nHeldMode;
  if (nHeldMode == 0) SetScale(m_Def.m_nScale, 1);
  else m_bExists = 1;
}

void cItem::PlaceAtTile(int nColumn, int nRow) {
  const cStageScene& scene = TheStage();
  m_dX = (nColumn + scene.m_ScrollX.m_nMargin) * BLOCK_SIZE + m_nBaseHitOffX + 0.5;
  m_dY = (nRow + scene.m_ScrollY.m_nMargin) * BLOCK_SIZE + m_nBaseHitOffY;
  KeepPlaceOnScale(m_Def.m_nScale, 1);
  ClampX(2);
  ClampY(2);
}
