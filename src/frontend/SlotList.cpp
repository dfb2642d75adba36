#include "frontend/SlotList.h"

#include "records/PlayRecord.h"
#include "gfx/DDBlt.h"
#include "gfx/Font.h"

void DrawSlotList(DDSURFACEDATA* surface, int x, int y, const cVector<cSaveSlotInfo>& slots, int nFirst, int nRows) {
  if (nRows <= 0) return;
  g_Fonts[1].DrawWindow(surface, x, y, 320, 16 * nRows);
  for (int r = 0; r < nRows; ++r) {
    const int i = nFirst + r;
    const int lineY = y + 16 * r;
    if (r != nRows - 1) DDFillRect(surface, x, y + 15 + 16 * r, 320, 1, 240);
    if (i < 0 || i >= static_cast<int>(slots.size())) continue;
    FontPrintf(&g_Fonts[1], surface, x + 16, lineY, "%d", i + 1);
    const cSaveSlotInfo& slot = slots[static_cast<std::size_t>(i)];
    if (slot.m_bUsed) {
      const SYSTEMTIME& t = slot.m_Time;
      FontPrintf(&g_Fonts[1], surface, x + 64, lineY, "%04d/%02d/%02d %02d:%02d\n", t.wYear, t.wMonth, t.wDay, t.wHour,
                 t.wMinute);
    }
  }
}
