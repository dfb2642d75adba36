#include "stage/EffectRun.h"

#include <algorithm>

#include "base/Random.h"
#include "gamedata/Database.h"
#include "stage/RunTimeTables.h"
#include "gfx/DDBlt.h"
#include "stage/StageScene.h"

namespace {

// The effect's record through the checked subscript; null when the database is empty.
const cEdEffect* EffectRecord(int nIndex) {
  cVector<cEdEffect>& list = g_Database.m_Effects;
  if (list.empty()) {
    ReportBadVectorIndex("err V[%d] ( %d , %d )", nIndex, 0, static_cast<int>(sizeof(cEdEffect)));
    return nullptr;
  }
  return &list[nIndex];
}

// The first of the effect's two surfaces; null when its bitmap is not loaded.
DDSURFACEDATA* EffectSurface(int nIndex) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene || nIndex < 1) return nullptr;
  const int n = 2 * (nIndex - 1);
  if (n >= pScene->m_EffectSurfaces.Size()) return nullptr;
  return &pScene->m_EffectSurfaces[n];
}

}  // namespace

cEffect::cEffect(int nIndex, double x, double y, int w, int h, int bHalting)
    : m_nIndex(static_cast<std::int16_t>(nIndex)), m_dX(x), m_dY(y), m_nWidth(w), m_nHeight(h), m_bHalting(bHalting) {
  const cEdEffect* pRecord = EffectRecord(nIndex);
  m_bStretched = pRecord && w != pRecord->m_nCellWidth ? 1 : 0;
  SetUp(nIndex);
}

cEffect::cEffect(int nIndex, const cBox& a, const cBox& b, int nScale) : m_nIndex(static_cast<std::int16_t>(nIndex)) {
  const cEdEffect* pRecord = EffectRecord(nIndex);
  const int nCellW = pRecord ? pRecord->m_nCellWidth : 0;
  const int nCellH = pRecord ? pRecord->m_nCellHeight : 0;
  // Scales run from 1 up; a smaller one from damaged data counts as 1.
  const int m = pRecord && pRecord->m_bScaled ? std::max(nScale, 1) : 1;
  m_bStretched = m > 1 ? 1 : 0;
  m_nWidth = nCellW * m;
  m_nHeight = nCellH * m;
  cBox o;
  if (a.Overlaps(b)) {
    o = cBox{std::max(a.m_dLeft, b.m_dLeft), std::max(a.m_dTop, b.m_dTop), std::min(a.m_dRight, b.m_dRight),
             std::min(a.m_dBottom, b.m_dBottom)};
  }
  m_dX = o.m_dLeft + (static_cast<int>(o.m_dRight - o.m_dLeft + 1) >> 1) - (m_nWidth >> 1);
  m_dY = o.m_dTop + (static_cast<int>(o.m_dBottom - o.m_dTop + 1) >> 1) - (m_nHeight >> 1);
  m_dX += Rand() % (8 * m + 1) - 4 * m;
  m_dY += Rand() % (8 * m + 1) - 4 * m;
  SetUp(nIndex);
}

void cEffect::SetUp(int nIndex) {
  m_Anime.m_Sequences.resize(1);
  if (g_EffectFrameTables.empty()) {
    ReportBadVectorIndex("err V[%d] ( %d , %d )", nIndex, 0, static_cast<int>(sizeof(cVector<ANIMESTEP>)));
    m_Anime.m_Sequences[0].clear();
  } else {
    m_Anime.m_Sequences[0] = g_EffectFrameTables[nIndex];
  }
  m_Anime.Start(0, 1);
}

int cEffect::Draw(DDSURFACEDATA* target, int bFrozen) {
  const cEdEffect* pRecord = EffectRecord(m_nIndex);
  if (!pRecord || pRecord->m_Frames.empty()) return 1;
  const int nPattern = !bFrozen || m_bHalting ? m_Anime.Tick() : m_Anime.GetPattern();
  if (nPattern < 0) return 1;
  const cStageScene& scene = TheStage();
  const int x = static_cast<int>(m_dX - scene.m_ScrollX.m_dPos);
  const int y = static_cast<int>(m_dY - scene.m_ScrollY.m_dPos);
  DDSURFACEDATA* surface = EffectSurface(m_nIndex);
  if (!surface || !target) return 0;
  if (m_bStretched) {
    DDStretchBlt(target, x, y, m_nWidth, m_nHeight, surface, nPattern * pRecord->m_nCellWidth, 0, pRecord->m_nCellWidth,
                 pRecord->m_nCellHeight, 1);
  } else {
    DDBlt(target, x, y, m_nWidth, m_nHeight, surface, nPattern * m_nWidth, 0, 1);
  }
  return 0;
}

void cStageScene::DrawEffects(DDSURFACEDATA* target, int bFrozen) {
  for (auto it = m_Effects.begin(); it != m_Effects.end();) {
    if (it->Draw(target, bFrozen) == 1) {
      it = m_Effects.erase(it);
    } else {
      ++it;
    }
  }
}

void cStageScene::AddHitEffect(int nIndex, const cBox& hitBox, const cBox& attackBox, int nScale) {
  m_Effects.emplace_back(nIndex, hitBox, attackBox, nScale);
}
