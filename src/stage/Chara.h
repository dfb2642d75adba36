// cChara: a character on a stage that the pad does not drive (enemies, friends, moving
// platforms). It carries an item of its own and knows whether it lies in its activation
// range; the stage's characters live by value in g_Charas, so their addresses stay while
// they are listed.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "stage/Actor.h"
#include "stage/Item.h"

class cChara : public cActor {
 public:
  std::int32_t m_bInRange = 0;    // inside its activation range in this step
  std::int32_t m_bActive = 0;     // takes part in this step
  cItem m_Item;                   // held when its mode is not 0
  std::int32_t m_nItemBlink = 0;  // frames of the held-item icon, 0 to 95
  std::int32_t m_bIgnoreRangeX = 0;
  std::int32_t m_bIgnoreRangeY = 0;
  std::int32_t m_bActivatedOnce = 0;
  std::int32_t m_bAppeared = 0;  // its appearance conditions have held once
  // Taken off the stage during the running sub-step: every link is gone and it is
  // destroyed when the sub-step ends; every scan passes over it.
  std::int32_t m_bRemoved = 0;

  void ScaleHitBoxes(int nScale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  cItem* GetHeldItem() override { return &m_Item; }
  // Kept inside the block map; a move reports its limit code (see Chara.cpp).
  int SyncX() override;
  int SyncY() override;
  int MoveX() override;
  int MoveY() override;
  // 1 when the jump starts; otherwise the first flag that refused it.
  int Jump(cCommandRuntime& runtime) override;
  // One step of its flows (only the death flows when bDeathPass); 1 when it has died
  // or vanished.
  int Update(int bDeathPass) override;

  // Inside its activation range (its group woken in groups when it wakes one): 1 and
  // the in-range flag set, else 0.
  int CheckActivationRange(cVector<std::uint8_t>& groups);
  // Whether it runs this step: in range, woken with its group, or still in a jump or
  // fall it began while running.
  int CheckActivation(const cVector<std::uint8_t>& groups);
  // A character of definition def (a scale of 0 there becomes 1) with spawn point (x, y)
  // and level nLevel, holding a copy of pItem when given.
  void Init(int nSerial, cEdChara& def, const cItem* pItem, double x, double y, int nLevel);
  // The body at stage cell (column, row), then scaled and kept inside the block map.
  void PlaceAtTile(int nColumn, int nRow);
  // The held item's half-size icon over the character, in the last 32 of every 96 frames.
  void DrawHeldItemIcon(DDSURFACEDATA* target);
};

extern cVectorList<cChara> g_Charas;
