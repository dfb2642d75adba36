#include "stage/Picture.h"

#include <iterator>

#include "gfx/DDBlt.h"
#include "stage/StageScene.h"

cVectorList<DDSURFACEDATA> g_PictureSurfaces;
cVectorList<DDSURFACEINFO> g_PictureSurfaceInfos;

namespace {

std::int32_t g_nNextPictureId = 0;

}  // namespace

cPicture::cPicture(int nIndex, double x, double y, int w, int h, int nLayer, int nPercent, int nMode, int nFrames,
                   int bHalting)
    : m_nIndex(nIndex),
      m_dX(x),
      m_dY(y),
      m_nWidth(w),
      m_nHeight(h),
      m_bStretched(nPercent != 100 ? 1 : 0),
      m_nLayer(nLayer),
      m_nMode(nMode),
      m_nFrames(nFrames),
      m_bHalting(bHalting),
      m_nId(++g_nNextPictureId) {}

int cPicture::Draw(DDSURFACEDATA* target, DDSURFACEDATA* surface, int bFrozen) {
  if (m_nMode == SHOW_FOR_TIME && (m_bHalting || !bFrozen)) {
    if (--m_nFrames < 0) return 1;
  }
  const cStageScene& scene = TheStage();
  const int x = static_cast<int>(m_dX) - static_cast<int>(scene.m_ScrollX.m_dPos);
  const int y = static_cast<int>(m_dY) - static_cast<int>(scene.m_ScrollY.m_dPos);
  if (m_bStretched) {
    DDStretchBlt(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, surface->nWidth, surface->nHeight, 1);
  } else {
    DDBlt(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, 1);
  }
  return 0;
}

void cStageScene::DrawPictures(DDSURFACEDATA* target, int nLayer, int bFrozen) {
  auto surface = g_PictureSurfaces.begin();
  auto info = g_PictureSurfaceInfos.begin();
  for (auto it = m_Pictures.begin(); it != m_Pictures.end();) {
    // The three lists go in step; a picture without a surface is not drawn.
    if (surface == g_PictureSurfaces.end() || info == g_PictureSurfaceInfos.end()) break;
    if ((it->m_nLayer & 0xFF) == (nLayer & 0xFF) && it->Draw(target, &*surface, bFrozen) == 1) {
      DDReleaseSurface(&*surface);
      surface = g_PictureSurfaces.erase(surface);
      info = g_PictureSurfaceInfos.erase(info);
      it = m_Pictures.erase(it);
      continue;
    }
    ++surface;
    ++info;
    ++it;
  }
}

void cStageScene::RemovePicture(int nId) {
  auto surface = g_PictureSurfaces.begin();
  auto info = g_PictureSurfaceInfos.begin();
  for (auto it = m_Pictures.begin(); it != m_Pictures.end(); ++it, ++surface, ++info) {
    if (surface == g_PictureSurfaces.end() || info == g_PictureSurfaceInfos.end()) return;
    if (it->m_nId != nId) continue;
    DDReleaseSurface(&*surface);
    g_PictureSurfaces.erase(surface);
    g_PictureSurfaceInfos.erase(info);
    m_Pictures.erase(it);
    return;
  }
}

void cStageScene::ReleasePictures() {
  DDReleaseSurfaceList(g_PictureSurfaces);
  g_PictureSurfaces.clear();
  g_PictureSurfaceInfos.clear();
  m_Pictures.clear();
}
