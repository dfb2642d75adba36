// The list of story save slots that the continue list and the save menu both show:
// one 16-pixel line a slot with its number and, when used, the time it was saved.
#pragma once
#include <cstdint>

#include "base/Vector.h"

struct DDSURFACEDATA;
struct cSaveSlotInfo;

// nRows lines from slot nFirst, in the 16-pixel font's window 320 wide at (x, y). Rows
// past the end of the list stay empty.
void DrawSlotList(DDSURFACEDATA* surface, int x, int y, const cVector<cSaveSlotInfo>& slots, int nFirst, int nRows);
