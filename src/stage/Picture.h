// cPicture: a bitmap of the picture database shown at a place in the stage, behind or in
// front of the objects, until the advance key, until the stage ends or for a time. The
// n-th picture of the scene's list is drawn from the n-th surface of g_PictureSurfaces.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gfx/DDSurface.h"

// Display modes of pictures and messages.
enum : std::int32_t { SHOW_UNTIL_KEY = 0, SHOW_UNTIL_STAGE_END = 1, SHOW_FOR_TIME = 2 };

class cPicture {
 public:
  cPicture() = default;
  // Top-left (x, y) in stage pixels, drawn w x h (stretched from the whole bitmap unless
  // the size is 100 percent); nLayer 0 behind the blocks, 1 in front.
  cPicture(int nIndex, double x, double y, int w, int h, int nLayer, int nPercent, int nMode, int nFrames,
           int bHalting);
  // 1 when a timed picture has run out (nothing drawn).
  int Draw(DDSURFACEDATA* target, DDSURFACEDATA* surface, int bFrozen);

  std::int32_t m_nIndex = 0;
  double m_dX = 0.0;
  double m_dY = 0.0;
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bStretched = 0;
  std::int32_t m_nLayer = 0;  // only the low byte counts
  std::int32_t m_nMode = SHOW_UNTIL_KEY;
  std::int32_t m_nFrames = 0;
  std::int32_t m_bHalting = 0;
  // Tells this picture apart from the others in the list, so that a command that holds
  // the game for it can take exactly this one down again.
  std::int32_t m_nId = 0;
};

extern cVectorList<DDSURFACEDATA> g_PictureSurfaces;
extern cVectorList<DDSURFACEINFO> g_PictureSurfaceInfos;
