// cItem: an item lying on a stage or held by a character, with its own copy of its
// definition. The stage's items live by value in g_Items.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Item.h"
#include "stage/GameObject.h"

struct DDSURFACEDATA;

class cItem : public cGameObject {
 public:
  cItem();
  cItem(const cItem&) = default;
  cItem& operator=(const cItem&) = default;
  ~cItem() override = default;

  // Items have only the body box.
  void ScaleHitBoxes(int nScale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  // The foot stays where it was when the scale changes.
  void KeepFootOnScale(int nNew, int nOld) override;

  // A new item of definition def (a scale of 0 there becomes 1); held mode 0 lies on
  // the stage, any other value is held by a character: present at once and unscaled.
  void Init(int nSerial, cEdItem& def, int nHeldMode);
  // The body at stage cell (column, row), then scaled and kept inside the block map.
  void PlaceAtTile(int nColumn, int nRow);
  // Draws the item at its screen rectangle with its emblem; advance ticks its animation.
  void Draw(DDSURFACEDATA* target, int bAdvance);
  // The drawing layer, 0 to 7.
  int Layer() const { return m_Def.m_nGroup5 > 7 ? 7 : m_Def.m_nGroup5; }

  cEdItem m_Def;
  std::int32_t m_nHeldMode = 0;
  std::int32_t m_bAppeared = 0;  // its appearance conditions have held once
};

extern cVectorList<cItem> g_Items;
