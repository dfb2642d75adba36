// The picture of a stage frame: background layers and the two block passes, composed in
// the frame's drawing order.
#include <algorithm>

#include "base/Screen.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "base/AppGlobals.h"
#include "base/Log.h"
#include "gfx/DDBlt.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDInit.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "base/SjisText.h"
#include "gfx/Font.h"
#include "gfx/PaletteVariant.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int BACKGROUND_SURFACE = 55;  // table entry of background layer 0
constexpr int MAX_BACKGROUNDS = 8;
constexpr int MAX_TILES = 1000;  // each way: a 1-pixel bitmap cannot stall the frame
constexpr int SCREEN_COLOUR = 16;
constexpr int OBJECT_LAYERS = 8;
constexpr int TEXT_FROM_EDITOR = 25;  // system texts of the bottom line
constexpr int TEXT_TEST_PLAY = 26;

// A drawing layer from a z status; a value beyond the last layer draws in the last.
int ObjectLayer(int z) { return std::clamp(z, 0, OBJECT_LAYERS - 1); }

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
    const int nMarginX = m_ScrollX.m_nMargin * BLOCK_SIZE;
    const int nMarginY = m_ScrollY.m_nMargin * BLOCK_SIZE;
    const int ox = layer.m_bAutoX
                       ? static_cast<int>(m_ScrollX.m_dPos + layer.m_dOffsetX - nMarginX)
                       : static_cast<int>((static_cast<int>(m_ScrollX.m_dPos + 0.5) - nMarginX) * layer.m_dScrollX);
    const int oy = layer.m_bAutoY
                       ? static_cast<int>(m_ScrollY.m_dPos + layer.m_dOffsetY - nMarginY)
                       : static_cast<int>((static_cast<int>(m_ScrollY.m_dPos) - nMarginY) * layer.m_dScrollY);
    TileLayer(target, src, ox, oy, i == 0 ? 0 : 1);
  }
}

void cStageScene::DrawBlocks(DDSURFACEDATA* target, int nLayer) {
  if (g_BlockMap.empty()) return;
  const int nScrollX = static_cast<int>(m_ScrollX.m_dPos);
  const int nScrollY = static_cast<int>(m_ScrollY.m_dPos);
  const int nFirstColumn = nScrollX / BLOCK_SIZE;
  const int nFirstRow = nScrollY / BLOCK_SIZE;
  const int nFineX = nScrollX % BLOCK_SIZE;
  const int nFineY = nScrollY % BLOCK_SIZE;
  for (int r = 0; r < VIEW_HEIGHT / BLOCK_SIZE + 1; ++r) {
    const int nRow = nFirstRow + r;
    if (nRow < 0 || nRow >= m_ScrollY.m_nCells) continue;
    for (int c = 0; c < VIEW_WIDTH / BLOCK_SIZE + 1; ++c) {
      const int nColumn = nFirstColumn + c;
      if (nColumn < 0 || nColumn >= m_ScrollX.m_nCells) continue;
      const int nIndex = CellIndex(nColumn, nRow);
      if (nIndex < 0 || nIndex >= g_BlockMap.Size()) continue;
      cMapBlock& cell = g_BlockMap[nIndex];
      const cEdBlock& block = cell.Block();
      if (block.m_nImage == 0 || block.m_nLayer != nLayer || block.m_bTransparent) continue;
      if (!CheckBlockConditions(cell)) continue;
      cell.DrawCell(target, c * BLOCK_SIZE - nFineX, r * BLOCK_SIZE - nFineY);
    }
  }
}

bool cStageScene::MakeSightMask(DDSURFACEDATA* mask, DDSURFACEDATA* hole) {
  DDReleaseSurface(mask);
  DDReleaseSurface(hole);
  m_nSightMaskRadius = -1;
  if (g_Players.empty()) return true;
  const cPlayer& player = g_Players[0];
  const int r = std::max(player.m_nSightPx, 0);
  const int w = 2 * VIEW_WIDTH + 2 * r;
  const int h = 2 * VIEW_HEIGHT + 2 * r;
  auto fail = [] {
    OutOfMemory();
    PostCloseRequest();
    return false;
  };
  if (!DDCreateSurface(mask, w, h, 1, 1, 1, 0, true)) return fail();
  DDFillRect(mask, 0, 0, w, h, SCREEN_COLOUR);
  const int nShape = player.m_Def.m_nSightShape;
  m_nSightMaskRadius = r;
  m_nSightMaskShape = nShape;
  if (r == 0) return true;
  if (nShape == 1 || nShape == 2) {
    if (!DDCreateSurface(hole, 2 * r, 2 * r, 1, 1, 1, 0, true)) return fail();
    DDFillRectColor(hole, 0, 0, 2 * r, 2 * r, g_TransmitPixel);
    DDBltCircle(mask, w / 2, h / 2, w, h, r, 1, hole, r, r, 0);
  } else {
    DDFillRectColor(mask, w / 2 - r, h / 2 - r, 2 * r, 2 * r, g_TransmitPixel);
  }
  return true;
}

DDSURFACEDATA* cStageScene::SightMask() {
  const int r = g_Players.empty() ? 0 : std::max(g_Players[0].m_nSightPx, 0);
  const int nShape = g_Players.empty() ? 0 : g_Players[0].m_Def.m_nSightShape;
  if ((r != m_nSightMaskRadius || nShape != m_nSightMaskShape) && !MakeSightMask(&m_SightMask, &m_SightHole))
    return nullptr;
  return m_SightMask.Pixels() ? &m_SightMask : nullptr;
}

void cPlayer::DrawSight(DDSURFACEDATA* target) {
  const int nShape = m_Def.m_nSightShape;
  if (nShape == 0) return;
  DDSURFACEDATA* mask = TheStage().SightMask();
  if (!mask) return;
  int x = (mask->nWidth >> 1) - (m_nWidth >> 1) - m_ScreenRect.left;
  const int y = (mask->nHeight >> 1) - (m_nHeight >> 1) - m_ScreenRect.top;
  // Shapes 2 and 4 put the hole ahead of the player.
  if (nShape == 2 || nShape == 4) x += FacingSign() * (m_nWidth >> 1) - FacingSign() * m_nSightPx;
  x = std::clamp(x, 0, std::max(mask->nWidth - VIEW_WIDTH, 0));
  DDBlt(target, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, mask, x, std::clamp(y, 0, std::max(mask->nHeight - VIEW_HEIGHT, 0)), 1);
}

void cStageScene::DrawObjects(DDSURFACEDATA* target, int bFrozen) {
  // Without layers every group is drawn once: each shot above each character.
  const bool bLayers = g_Stage.m_bDrawByLayer != 0;
  const int nFirst = bLayers ? 0 : -1;
  const int nLast = bLayers ? OBJECT_LAYERS - 1 : -1;
  for (int z = nFirst; z <= nLast; ++z) {
    if (!g_Players.empty() && (!bLayers || ObjectLayer(g_Players[0].m_Def.m_nZ) == z)) PlayerDeath(target, bFrozen);
    for (cItem& item : g_Items) {
      if (!item.m_bOnScreen || (bLayers && item.Layer() != z)) continue;
      item.CalcScreenRect();
      item.Draw(target, !bFrozen);
    }
    for (auto it = g_Charas.begin(); it != g_Charas.end();) {
      if (it->m_bRemoved) {
        ++it;
        continue;
      }
      if ((!bLayers || ObjectLayer(it->m_Def.m_nZ) == z) && DrawChara(target, *it, bFrozen)) {
        it = EraseChara(g_Charas, it);
        continue;
      }
      ++it;
    }
    DrawShots(target, z, bFrozen);
  }
}

void cStageScene::DrawBottomText(DDSURFACEDATA* target) {
  const int nText = g_bTestPlay ? TEXT_TEST_PLAY : g_bFromEditor.load() ? TEXT_FROM_EDITOR : -1;
  if (nText < 0 || nText >= g_System.m_Texts.Size()) return;
  const std::string& text = g_System.m_Texts[nText];
  g_Fonts[1].Draw(target, VIEW_WIDTH / 2 - 8 * CountChars(text), 456, text, 0);
}

void cStageScene::Draw(unsigned nFlags) {
  const int bFrozen = (nFlags & STAGE_DRAW_FROZEN) ? 1 : 0;
  DDSURFACEDATA* target = &BackBuffer;
  if (m_ScreenEffect.m_nIndex != 0) DDSetVirBackBuffer(true);
  ScrollBackgrounds();
  DrawBackgrounds(target, 0);
  if (!(nFlags & STAGE_DRAW_PLAYING) && m_nPhase == STAGE_PHASE_PAUSE && g_System.m_bPauseFrontLayers) {
    DrawBackgrounds(target, 1);
    ApplyScreenColor(bFrozen);
    return;
  }
  DrawPictures(target, 0, bFrozen);
  DrawBlocks(target, 0);
  DrawObjects(target, bFrozen);
  DrawBackgrounds(target, 1);
  DrawBlocks(target, 1);
  if (!g_Players.empty()) g_Players[0].DrawSight(target);
  DrawPictures(target, 1, bFrozen);
  DrawEffects(target, bFrozen);
  DrawPopups(target, bFrozen);
  RunScreenEffect(bFrozen);
  DrawHud(target);
  DrawTimeLimit(target, (nFlags & STAGE_DRAW_TIME_WARNING) ? 1 : 0);
  if (nFlags & STAGE_DRAW_BOTTOM_TEXT) DrawBottomText(target);
  CycleMenuColors(g_System.m_bPaletteCycle);
  ApplyScreenColor(bFrozen);
  // The dead player's ending is over: the outcome of the death may rebuild the stage, so
  // it waits until the frame is drawn.
  if (m_bPlayerDeathEnded) {
    m_bPlayerDeathEnded = 0;
    DeathOutcome();
  }
}
