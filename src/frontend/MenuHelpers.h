// Small pieces every menu shares: the cursor sound and the count of ranked quantities
// that decides whether the V key cycles the ranking panel. (The box of a list of system
// texts, CenteredBoxX and DrawMenuList, comes with the system settings.)
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
