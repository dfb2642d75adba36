#include <algorithm>

#include "base/Screen.h"
#include "stage/ActorPhysics.h"
#include "stage/StageScene.h"

void cScrollAxis::Clamp() {
  if (m_dPos < m_nMin) {
    m_dPos = m_nMin;
    m_bAtLimit = 1;
  } else if (m_dPos + m_nView >= m_nMax) {
    m_dPos = std::max(m_nMax - m_nView, m_nMin);
    m_bAtLimit = 1;
  } else {
    m_bAtLimit = 0;
  }
}

void cScrollAxis::Step() {
  m_dPos += m_dSpeed;
  Clamp();
}

void cScrollAxis::SetAutoScroll(int bOn, int n) {
  if (!bOn) {
    m_dSpeed = 0.0;
    m_bAuto = 0;
    return;
  }
  m_dSpeed = n * 0.1 / g_FrameScale;
  m_bAuto = 1;
}

void cScrollAxis::SetLimits(int nFrom, int nTo, int bUseFrom, int bUseTo) {
  m_nMin = bUseFrom ? m_nStageStart + nFrom * BLOCK_SIZE : m_nStageStart;
  m_nMax = bUseTo ? std::max(m_nStageStart + (nTo + 1) * BLOCK_SIZE, m_nMin) : m_nStageEnd;
}

void cScrollAxis::SetMapGeometry(int nAxis, int nStageCells, int nFarExtent) {
  // A damaged file's size must not overflow; a map this large is refused when built.
  nStageCells = std::clamp(nStageCells, -20, 1 << 24);
  nFarExtent = std::clamp(nFarExtent, -(1 << 30), 1 << 30);
  m_nAxis = nAxis;
  m_nView = nAxis == 0 ? VIEW_WIDTH : VIEW_HEIGHT;
  m_nMargin = 10;
  m_nCells = nStageCells + 20;
  // The far extent counts without the two margins. Range tests reach no further than the
  // block map: objects beyond it cannot live.
  m_nFar = std::min(nFarExtent + 2 * m_nMargin * BLOCK_SIZE, m_nCells * BLOCK_SIZE);
  m_nStageStart = m_nMargin * BLOCK_SIZE;
  m_nStageEnd = nStageCells + 10 < 0 ? 0 : (nStageCells + 10) * BLOCK_SIZE;
  if (nAxis == 0) {
    // The row stride is a power of two that holds the stage and both margins.
    m_nShift = 0;
    for (int n = nStageCells + 19; n > 0; n >>= 1) ++m_nShift;
    m_nStride = 1 << m_nShift;
  } else {
    m_nShift = 0;
    m_nStride = m_nCells;
  }
}

void SetAutoScroll(int nAxis, std::int32_t bOn, std::int32_t nSpeed) {
  (nAxis == 0 ? g_Stage.m_nScrollModeX : g_Stage.m_nScrollModeY) = bOn;
  (nAxis == 0 ? g_Stage.m_nAutoScrollX : g_Stage.m_nAutoScrollY) = nSpeed;
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed))
    (nAxis == 0 ? pScene->m_ScrollX : pScene->m_ScrollY).SetAutoScroll(bOn, nSpeed);
}
