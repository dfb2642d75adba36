// The picture of a stage frame: background layers and the two block passes, composed in
// the frame's drawing order.
#include <algorithm>

#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDSurface.h"
#include "stage/BlockMap.h"
#include "stage/StageScene.h"

namespace {

constexpr int BACKGROUND_SURFACE = 55;  // table entry of background layer 0
constexpr int MAX_BACKGROUNDS = 8;
constexpr int MAX_TILES = 1000;  // each way: a 1-pixel bitmap cannot stall the frame
constexpr int SCREEN_COLOUR = 16;

DDSURFACEDATA* LayerSurface(int i) { return &g_SurfaceData[BACKGROUND_SURFACE + i]; }

int LayerCount() { return std::min(g_Stage.m_Backgrounds.Size(), MAX_BACKGROUNDS); }

// The offset wrapped into 0 .. extent.
double Wrap(double d, int nExtent) {
  if (nExtent <= 0) return d;
  if (d < 0) d += nExtent;
  if (d >= nExtent) d -= nExtent;
  return d;
}

// The non-negative remainder of v by n.
int Mod(int v, int n) {
  const int r = v % n;
  return r < 0 ? r + n : r;
}

// The bitmap tiled over the screen from source point (ox, oy).
void TileLayer(DDSURFACEDATA* target, DDSURFACEDATA* src, int ox, int oy, int flags) {
  const int w = src->nWidth;
  const int h = src->nHeight;
  int y = 0;
  int sy = Mod(oy, h);
  for (int row = 0; y < VIEW_HEIGHT && row < MAX_TILES; ++row) {
    const int th = h - sy;
    int x = 0;
    int sx = Mod(ox, w);
    for (int col = 0; x < VIEW_WIDTH && col < MAX_TILES; ++col) {
      const int tw = w - sx;
      DDBlt(target, x, y, tw, th, src, sx, sy, flags);
      x += tw;
      sx = 0;
    }
    y += th;
    sy = 0;
  }
}

}  // namespace

void cStageScene::ScrollBackgrounds() {
  for (int i = 0; i < LayerCount(); ++i) {
    cEdBackground& layer = g_Stage.m_Backgrounds[i];
    const DDSURFACEDATA* src = LayerSurface(i);
    if (layer.m_bAutoX) layer.m_dOffsetX = Wrap(layer.m_dOffsetX - layer.m_dScrollX, src->nWidth);
    if (layer.m_bAutoY) layer.m_dOffsetY = Wrap(layer.m_dOffsetY - layer.m_dScrollY, src->nHeight);
  }
}

void cStageScene::DrawBackgrounds(DDSURFACEDATA* target, int nPass) {
  const int nLayers = LayerCount();
  if (nPass == 0) {
    bool bAnyVisible = false;
    for (int i = 0; i < nLayers; ++i) bAnyVisible |= g_Stage.m_Backgrounds[i].m_bVisible != 0;
    if (!bAnyVisible) {
      DDFillRect(target, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, SCREEN_COLOUR);
      return;
    }
  }
  for (int i = 0; i < nLayers; ++i) {
    const cEdBackground& layer = g_Stage.m_Backgrounds[i];
    if (layer.m_nPass != nPass || !layer.m_bVisible) continue;
    if (layer.m_bFill) {
      DDFillRect(target, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, static_cast<std::uint32_t>(layer.m_nFillColor));
      continue;
    }
    DDSURFACEDATA* src = LayerSurface(i);
    if (src->nWidth <= 0 || src->nHeight <= 0 || !src->Pixels()) continue;
    const int nMarginX = m_ScrollX.m_nMargin * 32;
    const int nMarginY = m_ScrollY.m_nMargin * 32;
    const int ox = layer.m_bAutoX ? static_cast<int>(m_ScrollX.m_dPos + layer.m_dOffsetX - nMarginX)
                                  : static_cast<int>((static_cast<int>(m_ScrollX.m_dPos + 0.5) - nMarginX) * layer.m_dScrollX);
    const int oy = layer.m_bAutoY ? static_cast<int>(m_ScrollY.m_dPos + layer.m_dOffsetY - nMarginY)
                                  : static_cast<int>((static_cast<int>(m_ScrollY.m_dPos) - nMarginY) * layer.m_dScrollY);
    TileLayer(target, src, ox, oy, i == 0 ? 0 : 1);
  }
}

void cStageScene::DrawBlocks(DDSURFACEDATA* target, int nLayer) {
  if (g_BlockMap.empty()) return;
  const int nScrollX = static_cast<int>(m_ScrollX.m_dPos);
  const int nScrollY = static_cast<int>(m_ScrollY.m_dPos);
  const int nFirstColumn = nScrollX / 32;
  const int nFirstRow = nScrollY / 32;
  const int nFineX = nScrollX % 32;
  const int nFineY = nScrollY % 32;
  for (int r = 0; r < 16; ++r) {
    const int nRow = nFirstRow + r;
    if (nRow < 0 || nRow >= m_ScrollY.m_nCells) continue;
    for (int c = 0; c < 21; ++c) {
      const int nColumn = nFirstColumn + c;
      if (nColumn < 0 || nColumn >= m_ScrollX.m_nCells) continue;
      const int nIndex = CellIndex(nColumn, nRow);
      if (nIndex < 0 || nIndex >= g_BlockMap.Size()) continue;
      cMapBlock& cell = g_BlockMap[nIndex];
      if (cell.m_nImage == 0 || cell.m_nLayer != nLayer || cell.m_bTransparent) continue;
      if (!CheckBlockConditions(cell)) continue;
      cell.DrawCell(target, c * 32 - nFineX, r * 32 - nFineY);
    }
  }
}

void cStageScene::Draw(int bPlaying, int, int, int) {
  DDSURFACEDATA* target = &BackBuffer;
  ScrollBackgrounds();
  DrawBackgrounds(target, 0);
  if (!bPlaying && m_nPhase == STAGE_PHASE_PAUSE && g_System.m_bPauseFrontLayers) {
    DrawBackgrounds(target, 1);
    return;
  }
  DrawBlocks(target, 0);
  DrawBackgrounds(target, 1);
  DrawBlocks(target, 1);
}
