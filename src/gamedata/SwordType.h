// The project's own character bitmaps ("Bmp_CharaExc.dat") with the cell size they are
// cut in, and the sword types ("SwordType.dat"): two bitmaps, one for each facing, and
// the steps of a swing, each placing a rectangle of the bitmap beside the character.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Record.h"

class cEdBmpCharaExc : public cRecord {
 public:
  std::int32_t m_nTag = 0;       // the editor's; stored from 152, kept from 153
  std::int32_t m_bCellSize = 0;  // 0: cells of one block; else cells of m_nCellSize blocks
  std::int32_t m_nCellSize = 2;  // side of a cell in blocks (1 to 16)
  std::string m_strName;
  std::string m_strFile;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;

  // Side of one square cell in pixels.
  int CellPixels() const;
  // Pixel position of pattern p: patterns are numbered row by row over 512 pixels.
  void PatternPos(int nPattern, int& x, int& y) const;
};

// One step of a swing.
class cEdSwordEntry : public cRecord {
 public:
  std::int32_t m_nOffsetX = 0;  // pixels, times the sword's size factor
  std::int32_t m_nOffsetY = 0;
  std::int32_t m_bMirrorX = 1;  // facing right subtracts the offset; stored from 138
  std::int32_t m_bMirrorY = 0;
  std::int32_t m_nPosition = 0;  // 0 in front, 1 behind, 2 above, 3 below
  std::int32_t m_nSrcX = 0;      // the rectangle in the bitmap, pixels
  std::int32_t m_nSrcY = 0;
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_nTime = 0;  // tenths of a second

  void BindFields(std::uint32_t nVersion) override;
};

class cEdSwordType : public cRecord {
 public:
  cEdSwordType() { Reset(); }

  std::int32_t m_nTag = 0;  // the editor's; stored from 151, kept from 153
  std::string m_strName;
  std::string m_strFileLeft;   // bitmap while the sword faces left
  std::string m_strFileRight;  // bitmap while it faces right
  cVector<cEdSwordEntry> m_Entries;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // Everything cleared and one entry of a tenth of a second.
  void Reset();
};

// Captions of cEdSwordEntry::m_nPosition; the table ends with "".
extern const char* const g_SwordPositionNames[5];
enum eSwordPosition : int { SWORD_IN_FRONT = 0, SWORD_BEHIND = 1, SWORD_ABOVE = 2, SWORD_BELOW = 3 };
