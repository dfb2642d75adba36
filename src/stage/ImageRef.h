// How a graphic (a kind, an index and a parameter) becomes the sheets and the source
// cell to draw from. Kinds: 0 blocks, 1 the eight character sheets, 2 items, 3 the shot
// cells rebuilt on the work surfaces, 4 a character bitmap of the database (four
// surfaces per entry: plain left, plain right, stretching left, stretching right).
#pragma once
#include <cstdint>

#include "gfx/DDBlt.h"

class cActor;
struct DDSURFACEDATA;

// Who asks for an image reference.
enum : int { IMAGE_CALLER_OTHER = 0, IMAGE_CALLER_ACTOR = 1, IMAGE_CALLER_ITEM = 2 };

class cImageRef {
 public:
  DDSURFACEDATA* m_pSheet = nullptr;         // plain drawing
  DDSURFACEDATA* m_pStretchSheet = nullptr;  // stretched and effect drawing
  DDSURFACEDATA* m_pOtherSheet = nullptr;    // the same two for the opposite facing
  DDSURFACEDATA* m_pOtherStretchSheet = nullptr;
  std::int32_t m_bDrawMode = 0;  // set by the actor drawing
  DRAWMODE m_DrawMode;
  std::int32_t m_bOwnScale = 0;  // the cell has an image scale of its own
  std::uint8_t m_nCellScale = 1;
  std::int32_t m_nSrcX = 0;  // top-left of the source cell
  std::int32_t m_nSrcY = 0;

  // An actor (caller IMAGE_CALLER_ACTOR) gives its facing; the pattern moves along the
  // cells of kinds 1 and 4 for actors and of kind 2 for items. Other kinds leave the
  // reference unset.
  void Set(int nCaller, int nKind, int nIndex, int nParam, const cActor* pActor, int nPattern);
};

// A graphic drawn as a 16 x 16 icon with the transparent colour.
void DrawHalfIcon(DDSURFACEDATA* lpSD, int x, int y, int nKind, int nIndex, int nParam);
