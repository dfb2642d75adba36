// Small pieces every menu shares: the cursor sound, the drawing of a list of system
// texts, and the count of ranked quantities that decides whether the V key cycles the
// ranking panel. (The centred box of a text list is CenteredBoxX of the system settings.)
#pragma once

class cPad;
struct DDSURFACEDATA;

// Plays system sound nSound once for a move along x (axes bit 1, left or right held)
// and once more for a move along y (axes bit 2, up or down), on the calling thread.
void PlayCursorSound(const cPad& pad, int nAxes, int nSound);
// System texts nFirst to nFirst + nCount - 1, one a line, in the 16-pixel font in a box
// at (x, y); with bWithCursor a blank column on the left for the cursor sprite.
void DrawMenuList(DDSURFACEDATA* surface, int x, int y, int nFirst, int nCount, int bWithCursor);
// 0 when the game mode keeps no rankings, else the number of quantities it ranks.
int CountRankedQuantities(int nMode);
