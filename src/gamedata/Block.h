// A kind of block: one 32 x 32 cell of a stage's map. The same record serves the block
// definitions of the two palettes and the placed blocks of a stage (with their cell).
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Condition.h"
#include "gamedata/Inherit.h"
#include "gamedata/Record.h"

class cEdBlock : public cRecord {
 public:
  std::int8_t m_nBasePalette = 0;  // palette of the base definition
  std::int16_t m_nBaseIndex = 0;
  std::int8_t m_nConditionRule = 0;  // appearance conditions: 0 all hold, 1 one holds
  std::uint8_t m_bLatchConditions = 0;
  std::int16_t m_nImage = 0;      // 0: the cell shows nothing and is empty
  std::int8_t m_nImageSheet = 0;  // 0 block, 1 character, 2 item, 3 shot, 4 dedicated bitmap
  std::int16_t m_nImageSub = 0;
  std::uint8_t m_nLayer = 0;        // block pass 0 or 1
  std::uint8_t m_bTransparent = 0;  // not drawn, still acts
  std::uint8_t m_nMarkShow = 0;     // 0 no, 1 yes, 2 only in the editor
  std::int16_t m_nMark = 0;
  std::uint8_t m_nHit = 1;        // 0 passable, 1 solid, 2 solid and deadly to the hero
  std::int8_t m_nPassGroup = -1;  // objects of this pass number go through; -1 none
  std::uint8_t m_nEffect = 0;     // on a character standing on it
  std::int32_t m_nEffectValue = 0;
  std::uint8_t m_nItemPalette = 0;  // the item it holds: 0 none, 1 common, 2 stage
  std::int16_t m_nItemIndex = 0;
  std::uint8_t m_bFixed = 0;  // a block summon leaves the cell alone
  std::string m_strText;

  std::int16_t m_nX = 0;  // cell of a placed block
  std::int16_t m_nY = 0;
  cVector<std::uint8_t> m_Inherit = cVector<std::uint8_t>(BLOCK_INHERIT_COUNT, 0);
  cVector<cEdCondition> m_Conditions;  // empty: always present

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The defaults of a new block; the position and the conditions stay.
  void Reset();
  // Copies the flagged groups from the base definition.
  void Inherit();
  // Base reference valid; an empty cell neither stops objects nor resists replacement.
  void Normalize();
  // The held item exists in its palette.
  void CheckPaletteRefs();
  // Copy step nGroup from base.
  void CopyGroup(int nGroup, const cEdBlock& base);
};
