// A palette of block, character and item definitions. The project has one common
// palette ("data\CommonPalette.cplt4", g_CommonPalette) that every stage can use; each
// stage carries a palette of its own in the same form. Element 0 of each list is the
// empty definition; real definitions start at 1, and each list holds at least two.
//
// The palette file: u32 version, an empty record body (u32 0, u32 0), then the block,
// character and item lists, each u32 count and the definitions.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Block.h"
#include "gamedata/Chara.h"
#include "gamedata/Item.h"
#include "gamedata/Record.h"

class cEdPalette : public cRecord {
 public:
  cVector<cEdBlock> m_Blocks = cVector<cEdBlock>(1);
  cVector<cEdChara> m_Charas = cVector<cEdChara>(1);
  cVector<cEdItem> m_Items = cVector<cEdItem>(1);

  // The empty body, the lists, element 0 of each reset, every take-from-base flag
  // cleared (common definitions take nothing from another), then Validate.
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
  // Lists padded to two; every definition normalised and its palette references checked.
  void Validate();

  // The three lists alone, as a stage stores its palette.
  void LoadLists(cDataReader& in);
  void SaveLists(cDataWriter& out);
  // Element 0 of each list becomes the empty definition, whatever was stored.
  void ResetFirstElements();
  void PadLists();
  void NormalizeDefinitions();
  // All lists made of one default definition each.
  void ResetLists();
};

extern cEdPalette g_CommonPalette;

// The number of definitions of kind in the common palette or in the stage palette of
// g_Stage: what the palette references of every record are checked against.
int PaletteListSize(ePalette nPalette, eDefinition nKind);

// Loads "data\CommonPalette.cplt4" into g_CommonPalette; 0 (with the report and the box
// "%s のロードに失敗！") when it cannot be read whole.
int LoadCommonPalette();
