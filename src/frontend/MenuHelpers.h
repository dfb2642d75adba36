// Small pieces every menu shares: the cursor sound, the count of ranked quantities
// that decides whether the V key cycles the ranking panel, the box of a list of system
// texts (its size and lines, CenteredBoxX and MenuListText, come with the system
// settings) and the per-frame colour step.
#pragma once
#include <cstdint>

class cPad;

// A screen place of a menu.
struct POINTI {
  std::int32_t x;
  std::int32_t y;
};

// Plays system sound nSound once for a move along x (axes bit 1, left or right held)
// and once more for a move along y (axes bit 2, up or down), on the calling thread.
void PlayCursorSound(const cPad& pad, int nAxes, int nSound);
// 0 when the game mode keeps no rankings, else the number of quantities it ranks.
int CountRankedQuantities(int nMode);

// Draws the lines of MenuListText in font 1 onto the back buffer at (x, y), nCount lines
// of 16 pixels high; nothing for nCount 0.
void DrawMenuList(int x, int y, int nFirst, int nCount, int bWithCursor);

// CycleMenuColors with the project's palette-cycling setting.
void CycleMenuColors();
