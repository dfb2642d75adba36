// The block map of a running stage: one cell of 32 x 32 pixels per block, with a margin
// of 10 cells around the stage on every side, rows a power of two apart (the horizontal
// scroll axis's stride). A cell names its block by index, into the placed blocks of the
// stage the map was built from or into the blocks put during play, and keeps its own
// appearance latch; every other cell is empty (hit kind 0). Cells stay small so that the
// largest stage's map is a few megabytes, not a copy of every record per cell.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Block.h"

struct DDSURFACEDATA;

class cMapBlock {
 public:
  static constexpr std::int32_t NO_BLOCK = -1;

  std::int32_t m_nBlock = NO_BLOCK;  // >= 0 a placed block; below -1 a block put in play
  std::uint8_t m_bAppeared = 0;      // the appearance conditions have held once

  // The cell's block; the empty block (hit kind 0, no image) when there is none.
  const cEdBlock& Block() const;
  const cEdBlock* operator->() const { return &Block(); }
  bool Empty() const { return m_nBlock == NO_BLOCK; }
  // Puts the block into the cell, its appearance not yet latched. The map keeps one copy
  // per record put until it is built again, so the record must not change meanwhile (a
  // palette's record does not while a stage runs).
  void Put(const cEdBlock& block);

  // How solid the cell is for an object of that side: 0 while its appearance conditions
  // fail or when the side passes through it, else its hit kind (0 passable, 1 solid, 2
  // solid for characters and deadly for the player).
  std::uint8_t GetHitKind(int nSide);
  // The block's picture as a 32 x 32 cell at (x, y), with its emblem over it.
  void DrawCell(DDSURFACEDATA* lpSD, int x, int y) const;
};
// A block's picture as a 32 x 32 cell at (x, y), with its emblem over it.
void DrawBlockCell(const cEdBlock& block, DDSURFACEDATA* lpSD, int x, int y);
static_assert(sizeof(cMapBlock) <= 8, "a map cell is an index and a latch");

extern cVector<cMapBlock> g_BlockMap;

// The largest map a stage may have; a larger one is refused as the memory shortage it
// would be.
inline constexpr int MAX_BLOCK_MAP_CELLS = 1 << 20;
