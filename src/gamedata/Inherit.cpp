#include "gamedata/Inherit.h"

#include <algorithm>

int ReferencedListSize(std::int8_t nPalette, eDefinition nKind) {
  if (nPalette == REF_COMMON) return DataRefs().PaletteSize(PALETTE_COMMON, nKind);
  if (nPalette == REF_STAGE) return DataRefs().PaletteSize(PALETTE_STAGE, nKind);
  return -1;
}

void InsertInheritFlag(cVector<std::uint8_t>& flags, int n, int p) {
  if (n <= 0) return;
  flags.resize(static_cast<std::size_t>(n), 0);
  if (p < 0 || p >= n) return;
  std::copy_backward(flags.begin() + p, flags.end() - 1, flags.end());
  flags[p] = 1;
}
