// A stage scene for the play benchmarks: made current, its map geometry set and both
// scroll axes free over the whole stage, so a benchmark's frames see every actor.
#pragma once
#include <memory>

#include "stage/StageScene.h"

inline std::unique_ptr<cStageScene> MakeOpenStageScene(int nWidth, int nHeight, int nFarX, int nFarY) {
  auto scene = std::make_unique<cStageScene>();
  g_StageScene = scene.get();
  scene->m_ScrollX.SetMapGeometry(0, nWidth, nFarX);
  scene->m_ScrollY.SetMapGeometry(1, nHeight, nFarY);
  for (cScrollAxis* a : {&scene->m_ScrollX, &scene->m_ScrollY}) {
    a->m_nMin = a->m_nStageStart;
    a->m_nMax = a->m_nStageEnd;
    a->m_dPos = a->m_nStageStart;
  }
  return scene;
}
