#include "frontend/MenuHelpers.h"

#include <string>

#include "gamedata/System.h"
#include "gfx/DDSurface.h"
#include "gfx/Font.h"
#include "gfx/PaletteVariant.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

void PlayCursorSound(const cPad& pad, int nAxes, int nSound) {
  const std::uint16_t dir = pad.m_wDirection;
  // The cursor's sound is played here directly, not through the main window: a menu
  // frame must not wait for the window thread.
  if ((nAxes & 1) && (dir & (cPad::DirLeft | cPad::DirRight))) DS_Play(&g_SoundTable[nSound], 0);
  if ((nAxes & 2) && (dir & (cPad::DirUp | cPad::DirDown))) DS_Play(&g_SoundTable[nSound], 0);
}

int CountRankedQuantities(int nMode) { return g_System.CountRankedQuantities(nMode); }

void DrawMenuList(int x, int y, int nFirst, int nCount, int bWithCursor) {
  constexpr int kLinePixels = 16;  // a line of font 1
  if (nCount <= 0) return;
  const std::string text = MenuListText(nFirst, nCount, bWithCursor);
  FontPrintfBox(&g_Fonts[1], &BackBuffer, x, y, MenuListWidth(nFirst, nCount, bWithCursor), nCount * kLinePixels, "%s",
                text.c_str());
}

void CycleMenuColors() { CycleMenuColors(g_System.m_bPaletteCycle); }
