// cEffect: one running effect of the effect database, a short sprite animation placed in
// the stage (a hit spark, an explosion, or one a flow shows). The stage scene keeps any
// number of them and draws them once a frame until their animation ends.
#pragma once
#include <cstdint>

#include "stage/AnimeSequencer.h"
#include "stage/Box.h"

struct DDSURFACEDATA;

class cEffect {
 public:
  cEffect() = default;
  // An effect shown by a flow: top-left (x, y) in stage pixels, drawn w x h; a halting
  // one goes on playing while the game stands still for it.
  cEffect(int nIndex, double x, double y, int w, int h, int bHalting);
  // A hit effect centred on the overlap of two boxes, grown by the attacker's scale when
  // the effect asks for it, and moved at random by up to 4 pixels a scale step.
  cEffect(int nIndex, const cBox& a, const cBox& b, int nScale);

  // Gives the animation the effect's sequence and starts it.
  void SetUp(int nIndex);
  // Draws the current cell (advanced unless frozen); 1 when the effect has ended, and
  // nothing was drawn.
  int Draw(DDSURFACEDATA* target, int bFrozen);

  std::int16_t m_nIndex = 0;
  double m_dX = 0.0;
  double m_dY = 0.0;
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bStretched = 0;
  cAnimeSequencer m_Anime;
  std::int32_t m_bHalting = 0;
};
