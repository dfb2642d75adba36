// An item: something lying on a stage that a character takes on touching it, with the
// item commands that then run on the taker. The same record serves the item definitions
// of the two palettes and the placed items of a stage (with their cell).
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Command.h"
#include "gamedata/Condition.h"
#include "gamedata/Inherit.h"
#include "gamedata/Record.h"

class cEdItem : public cRecord {
 public:
  std::int8_t m_nBasePalette = 0;
  std::int16_t m_nBaseIndex = 0;
  std::int8_t m_nConditionRule = 0;
  std::uint8_t m_bLatchConditions = 0;
  std::int16_t m_nOffsetX = 0;  // pixels from its cell
  std::int16_t m_nOffsetY = 0;
  std::int16_t m_nImage = 0;
  std::int8_t m_nImageSheet = 2;  // 0 block, 1 character, 2 item, 3 shot, 4 dedicated bitmap
  std::int16_t m_nImageSub = 0;
  std::uint8_t m_nGroup5 = 6;  // drawing layer, 0 to 7 (named after its inheritance group)
  std::uint8_t m_bTransparent = 0;
  std::uint8_t m_nMarkShow = 0;
  std::int16_t m_nMark = 0;
  std::uint8_t m_bShowOnTake = 1;  // taking it shows a popup with its image
  std::uint8_t m_nTakeMode = 0;    // 0 once, 1 any number of times, 2 cannot be taken
  std::uint8_t m_nScale = 1;
  std::int16_t m_nTakeSound = 0;  // sound database
  std::string m_strText;

  std::int16_t m_nX = 0;  // cell of a placed item
  std::int16_t m_nY = 0;
  cVector<std::uint8_t> m_Inherit = cVector<std::uint8_t>(ITEM_INHERIT_COUNT, 0);
  cVector<cEdCondition> m_Conditions;
  cVector<cEdCommand> m_Commands;  // run on the character that takes the item

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The defaults of a new item; the position and the lists stay.
  void Reset();
  void Inherit();
  // Base reference, scale and take sound valid; commands normalised.
  void Normalize();
  // References of the commands into the palettes valid.
  void CheckPaletteRefs();
  void CopyGroup(int nGroup, const cEdItem& base);
};

// The item definition that (palette, index) names: palette 1 the common palette's items,
// 2 the stage palette's; null for anything that names no item.
cEdItem* GetItemDef(std::int8_t nPalette, std::int16_t nIndex);
