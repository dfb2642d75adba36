// The one cursor every menu moves (g_MenuCursor): a stack of cursor states, one per open
// menu level. A sub-menu pushes a state and closing it pops it, which brings back the
// cursor of the level below where it was.
#pragma once
#include <cstdint>

#include "base/Vector.h"

class cPad;

// Column and row are the logical place; x and y the screen place of the cursor sprite.
struct CURSORSTATE {
  std::int32_t m_nColumn = 0;
  std::int32_t m_nRow = 0;
  std::int32_t m_nX = 0;
  std::int32_t m_nY = 0;
  bool operator==(const CURSORSTATE&) const = default;
};

class cMenuCursor {
 public:
  cMenuCursor() { Reset(); }
  // The pointers point into the stack itself.
  cMenuCursor(const cMenuCursor&) = delete;
  cMenuCursor& operator=(const cMenuCursor&) = delete;

  // One zeroed state.
  void Reset();
  // A new zeroed top; with bCopy 1 it starts as a copy of the level below it.
  void Push(int bCopy);
  // Removes the top unless it is the only state. The new top is zeroed (mode 0), takes
  // the removed top's values (mode 2) or stays as it was (any other mode).
  void Pop(int nMode);
  // A grid of columns x rows that wraps at every edge; nothing for a negative size.
  void MoveGrid(const cPad& pad, int x0, int y0, int nPitchX, int nPitchY, int nColumns, int nRows);
  // A list of nTotal entries showing nVisible from nScrollTop, moved by up and down (and
  // a page by right and left when bPageKeys is set), without wrapping. The list runs
  // along y when bVertical is set (the row is its place), else along x (the column).
  void MoveList(const cPad& pad, int bVertical, std::int32_t& nScrollTop, int nStart, int nPitch, int nOther,
                int nVisible, int nTotal, int bPageKeys);

  CURSORSTATE* m_pTop = nullptr;    // the current menu level
  CURSORSTATE* m_pBelow = nullptr;  // the level under it, null when there is none
  cVector<CURSORSTATE> m_States;    // bottom first, never empty

 private:
  void Refresh();
};

extern cMenuCursor g_MenuCursor;
