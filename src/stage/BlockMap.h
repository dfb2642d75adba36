// The block map of a running stage: one cell of 32 x 32 pixels per block, with a margin
// of 10 cells around the stage on every side, rows a power of two apart (the horizontal
// scroll axis's stride). A cell is the placed block's definition, copied whole, and an
// appearance latch; every other cell is empty (hit kind 0).
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Block.h"

struct DDSURFACEDATA;

class cMapBlock : public cEdBlock {
 public:
  std::uint8_t m_bAppeared = 0;  // the appearance conditions have held once

  // How solid the cell is for an object of that side: 0 while its appearance conditions
  // fail or when the side passes through it, else its hit kind (0 passable, 1 solid, 2
  // solid for characters and deadly for the player).
  std::uint8_t GetHitKind(int nSide);
  // The block's picture as a 32 x 32 cell at (x, y), with its emblem over it.
  void DrawCell(DDSURFACEDATA* lpSD, int x, int y);
};

extern cVector<cMapBlock> g_BlockMap;

// The largest map a stage may have; a larger one is refused as the memory shortage it
// would be.
inline constexpr int MAX_BLOCK_MAP_CELLS = 1 << 20;
