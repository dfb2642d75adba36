#include "gamedata/SwordType.h"

#include <algorithm>

#include "gamedata/RecordList.h"

const char* const g_SwordPositionNames[5] = {"前", "後", "上", "下", ""};

namespace {
constexpr int BLOCK_PIXELS = 32;
constexpr int SHEET_BLOCKS = 16;  // a sheet is 512 pixels wide
}  // namespace

void cEdBmpCharaExc::BindFields(std::uint32_t nVersion) {
  AddString(&m_strName);
  if (nVersion >= VERSION_BITMAP_TAG) AddField4(&m_nTag);
  AddString(&m_strFile);
  if (nVersion >= VERSION_BITMAP_CELL_SIZE) {
    AddField4(&m_bCellSize);
    AddField4(&m_nCellSize);
  }
}

void cEdBmpCharaExc::Load(cDataReader& in) {
  cRecord::Load(in);
  if (g_nLoadVersion < VERSION_TAGS_KEPT) m_nTag = 0;
  // The cell arithmetic divides the sheet by the cell size: keep it to what a sheet holds.
  if (m_bCellSize) m_nCellSize = std::clamp(m_nCellSize, 1, SHEET_BLOCKS);
}

int cEdBmpCharaExc::CellPixels() const {
  return m_bCellSize ? std::clamp(m_nCellSize, 1, SHEET_BLOCKS) * BLOCK_PIXELS : BLOCK_PIXELS;
}

void cEdBmpCharaExc::PatternPos(int nPattern, int& x, int& y) const {
  const int nCell = CellPixels();
  const int nPerRow = SHEET_BLOCKS * BLOCK_PIXELS / nCell;
  x = nPattern % nPerRow * nCell;
  y = nPattern / nPerRow * nCell;
}

void cEdSwordEntry::BindFields(std::uint32_t nVersion) {
  AddField4(&m_nOffsetX);
  AddField4(&m_nOffsetY);
  if (nVersion >= VERSION_SWORD_MIRROR) {
    AddField4(&m_bMirrorX);
    AddField4(&m_bMirrorY);
  }
  AddField4(&m_nPosition);
  AddField4(&m_nSrcX);
  AddField4(&m_nSrcY);
  AddField4(&m_nWidth);
  AddField4(&m_nHeight);
  AddField4(&m_nTime);
}

void cEdSwordType::BindFields(std::uint32_t nVersion) {
  AddString(&m_strName);
  if (nVersion >= VERSION_EDITOR_TAGS) AddField4(&m_nTag);
  AddString(&m_strFileLeft);
  AddString(&m_strFileRight);
}

void cEdSwordType::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Entries);
  if (g_nLoadVersion < VERSION_TAGS_KEPT) m_nTag = 0;
}

void cEdSwordType::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Entries);
}

void cEdSwordType::Reset() {
  Clear();
  m_Entries.assign(1, cEdSwordEntry());
  m_Entries[0].m_nTime = 1;
}
