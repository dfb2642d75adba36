#include "gfx/FontHooks.h"

// Fonts keep nothing on the device yet.
void FontsOnLostDevice() {}
void FontsRestore() {}
