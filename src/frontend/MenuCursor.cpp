#include "frontend/MenuCursor.h"

#include <algorithm>

#include "ui/Pad.h"

cMenuCursor g_MenuCursor;

void cMenuCursor::Refresh() {
  m_pTop = &m_States.back();
  m_pBelow = m_States.size() > 1 ? &m_States[m_States.Size() - 2] : nullptr;
}

void cMenuCursor::Reset() {
  m_States.assign(1, CURSORSTATE());
  Refresh();
}

void cMenuCursor::Push(int bCopy) {
  m_States.push_back(CURSORSTATE());
  if (bCopy == 1) m_States.back() = m_States[m_States.Size() - 2];
  Refresh();
}

void cMenuCursor::Pop(int nMode) {
  if (m_States.size() <= 1) return;
  const CURSORSTATE removed = m_States.back();
  m_States.pop_back();
  if (nMode == 0) {
    m_States.back() = CURSORSTATE();
  } else if (nMode == 2) {
    m_States.back() = removed;
  }
  Refresh();
}

void cMenuCursor::MoveGrid(const cPad& pad, int x0, int y0, int nPitchX, int nPitchY, int nColumns, int nRows) {
  if (nColumns < 0 || nRows < 0) return;
  CURSORSTATE& s = *m_pTop;
  const std::uint16_t dir = pad.m_wDirection;
  if (dir & cPad::DirLeft) {
    --s.m_nColumn;
  } else if (dir & cPad::DirRight) {
    ++s.m_nColumn;
  }
  if (dir & cPad::DirUp) {
    --s.m_nRow;
  } else if (dir & cPad::DirDown) {
    ++s.m_nRow;
  }
  if (s.m_nRow < 0) {
    s.m_nRow = nRows - 1;
  } else if (s.m_nRow >= nRows) {
    s.m_nRow = 0;
  }
  if (s.m_nColumn < 0) {
    s.m_nColumn = nColumns - 1;
  } else if (s.m_nColumn >= nColumns) {
    s.m_nColumn = 0;
  }
  s.m_nX = x0 + nPitchX * s.m_nColumn;
  s.m_nY = y0 + nPitchY * s.m_nRow;
}

void cMenuCursor::MoveList(const cPad& pad, int bVertical, std::int32_t& nScrollTop, int nStart, int nPitch, int nOther,
                           int nVisible, int nTotal, int bPageKeys) {
  CURSORSTATE& s = *m_pTop;
  std::int32_t& nPos = bVertical ? s.m_nRow : s.m_nColumn;
  const std::uint16_t dir = pad.m_wDirection;
  if (dir & cPad::DirUp) {
    if (nPos - nScrollTop <= 0) --nScrollTop;
    --nPos;
  } else if (dir & cPad::DirDown) {
    if (nPos - nScrollTop >= nVisible - 1) ++nScrollTop;
    ++nPos;
  }
  if (bPageKeys) {
    if (dir & cPad::DirRight) {
      if (nScrollTop == nTotal - nVisible) {
        nPos = nTotal - 1;
      } else {
        nScrollTop += nVisible - 1;
        nPos += nVisible - 1;
      }
    } else if (dir & cPad::DirLeft) {
      if (nScrollTop == 0) {
        nPos = 0;
      } else {
        nScrollTop -= nVisible - 1;
        nPos -= nVisible - 1;
      }
    }
  }
  if (nPos > nTotal - 1) nPos = nTotal - 1;
  if (nPos < 0) nPos = 0;
  nScrollTop = std::clamp(nScrollTop, 0, std::max(nTotal - nVisible, 0));
  const int nAlong = nStart + nPitch * (nPos - nScrollTop);
  if (bVertical) {
    s.m_nY = nAlong;
    s.m_nX = nOther;
  } else {
    s.m_nX = nAlong;
    s.m_nY = nOther;
  }
}
