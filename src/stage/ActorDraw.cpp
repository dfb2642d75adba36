// Drawing the actors: the pattern to show, the cell of the actor's graphic, its mark,
// its HP and SP gauges, the held-item icon of characters, the player's boxes, and the
// ending of a dying actor.
#include <algorithm>
#include <climits>

#include "base/SceneManager.h"
#include "base/Screen.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDFrame.h"
#include "gfx/DDInit.h"
#include "gfx/PaletteVariant.h"
#include "stage/Actor.h"
#include "stage/CharaEffectDraw.h"
#include "stage/Chara.h"
#include "stage/ImageRef.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int GAUGE_WIDTH = 50;
constexpr int MARK_COUNT = 120;

int GiantScale(const cActor& actor) { return std::max<int>(actor.m_Def.m_nScale, 1); }

// The cell through the running effect; a graphic that names no cell (an index out of
// its range) draws nothing, and its effect still runs. 1 when the effect ended.
int DrawCellWithEffect(cActor& actor, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen) {
  if (ref.m_pSheet && ref.m_nSrcX >= 0 && ref.m_nSrcY >= 0) return DrawWithCharaEffect(actor, target, ref, bFrozen);
  return TickCharaEffect(actor, bFrozen);
}

}  // namespace

int cActor::CurrentPattern(int bFrozen) {
  if (!bFrozen) {
    m_Anime.Tick();
    for (auto it = m_FlowAnimes.begin(); it != m_FlowAnimes.end();) {
      if (it->m_bStopped) {
        ++it;
        continue;
      }
      if (it->m_Anime.Tick() == ANIME_CODE_END) {
        it = m_FlowAnimes.erase(it);
        continue;
      }
      --it->m_nFramesLeft;
      ++it;
    }
  }
  if (m_FlowAnimes.empty()) return m_Anime.GetPattern();
  // A holding animation whose time is up locks the choice; until then the one with the
  // least time left wins, and a free-running one shows only when nothing else does.
  std::int32_t nBest = INT_MAX;
  cFlowAnime* pChosen = nullptr;
  bool bLocked = false;
  for (cFlowAnime& a : m_FlowAnimes) {
    if (a.m_bStopped) continue;
    const std::int32_t n = a.m_nFramesLeft;
    if (bLocked) {
      if (n <= 0 && n > nBest) {
        pChosen = &a;
        nBest = n;
      }
    } else if (a.m_bHold) {
      if (n <= 0 && nBest <= 0) {
        pChosen = &a;
        bLocked = true;
        nBest = n;
      } else if (n < nBest) {
        pChosen = &a;
        nBest = n;
      }
    } else if (!pChosen) {
      pChosen = &a;
    }
  }
  return pChosen ? pChosen->m_Anime.GetPattern() : m_Anime.GetPattern();
}

int cActor::GraphicColumn(cImageRef& ref) {
  ref.m_bDrawMode = 0;
  // The colour effect of an invincible actor pulses through the draw modes; a number
  // beyond the table draws without one.
  const int nMode = m_Def.m_nInvincibleColor;
  if (g_lpD3DData && g_System.m_bInvincibleColor && nMode >= 1 && nMode < COLOR_DRAW_MODE_COUNT && IsInvincibleNow()) {
    ref.m_bDrawMode = 1;
    ref.m_DrawMode = g_ColorDrawModes[nMode];
  }
  return m_Def.m_nImageSub;
}

void cActor::TickCharaEffect(int bFrozen) { ::TickCharaEffect(*this, bFrozen); }

void cActor::Draw(DDSURFACEDATA* target, int bFrozen) {
  const int nPattern = CurrentPattern(bFrozen);
  if (m_Def.m_bTransparent) {
    TickCharaEffect(bFrozen);
    return;
  }
  CalcScreenRect();
  cImageRef ref;
  const int nColumn = GraphicColumn(ref);
  ref.Set(IMAGE_CALLER_ACTOR, m_Def.m_nImageSheet, m_nGraphic, nColumn, this, nPattern);
  DrawCellWithEffect(*this, target, ref, bFrozen);
  if (m_Def.m_nMarkShow) DrawMark(target);
}

void cActor::DrawMark(DDSURFACEDATA* target) {
  const int n = m_Def.m_nMark;
  if (n < 0 || n >= MARK_COUNT) return;
  // The mark sheet holds 15 marks a column, as the block and item emblems read it.
  const int sx = n / 15 * BLOCK_SIZE;
  const int sy = n % 15 * BLOCK_SIZE;
  if (GiantScale(*this) > 1)
    DDStretchBlt(target, m_ScreenRect.left, m_ScreenRect.top, m_nWidth, m_nHeight, &g_SurfaceData[BMP_MARK_STRETCHED],
                 sx, sy, m_nBaseWidth, m_nBaseHeight, 1);
  else DDBlt(target, m_ScreenRect.left, m_ScreenRect.top, BLOCK_SIZE, BLOCK_SIZE, &g_SurfaceData[BMP_MARK], sx, sy, 1);
}

int cActor::DrawEnding(DDSURFACEDATA* target, int bFrozen) {
  cImageRef ref;
  const int nColumn = GraphicColumn(ref);
  ref.Set(IMAGE_CALLER_ACTOR, m_Def.m_nImageSheet, m_nGraphic, nColumn, this, 0);
  const bool bEffect = m_CharaEffect.m_nIndex != 0;
  if (bEffect && DrawCellWithEffect(*this, target, ref, bFrozen)) return m_nKind != 0 ? 1 : 0;
  if (m_nKind != 0) return bEffect ? 0 : 1;
  // The player lies still for a second after its effect.
  if (bEffect || bFrozen) return 0;
  return ++m_nDeathFrames > g_SceneManager.m_nFrameRate ? 1 : 0;
}

void cActor::DrawGauge(DDSURFACEDATA* target, cGauge& gauge, int bSp) {
  if (gauge.m_nCounter <= 0 || m_bDead) return;
  DDSURFACEDATA* accessory = &g_SurfaceData[BMP_ACCESSORY];
  // A tall accessory sheet keeps its gauge rows packed 2 pixels apart from row 208.
  const bool bPacked = accessory->nHeight > 208;
  const int nStart = bPacked ? 208 : 128;
  const int nStep = bPacked ? 2 : 16;
  const int sx = bSp ? 64 : 0;
  const int x = m_ScreenRect.left + m_nWidth / 2 - GAUGE_WIDTH / 2;
  const int y = m_ScreenRect.top - (bSp ? 7 : 3);
  DDBlt(target, x, y, GAUGE_WIDTH, 2, accessory, sx, nStart, 1);
  const int nBar = std::clamp(gauge.m_nLength, 0, GAUGE_WIDTH);
  if (nBar > 0) DDBlt(target, x, y, nBar, 2, accessory, sx, nStart + (nBar <= 16 ? 2 : 1) * nStep, 1);
  const int nDamage = static_cast<int>(gauge.m_dDamage);
  if (nDamage > 0) {
    const int w = std::min(nDamage, nBar);
    DDBlt(target, x + nBar - w, y, w, 2, accessory, sx + nBar - w, nStart + 4 * nStep, 1);
  } else if (nDamage < 0) {
    const int w = std::min(-nDamage, GAUGE_WIDTH - nBar);
    DDBlt(target, x + nBar, y, w, 2, accessory, sx + nBar, nStart + 3 * nStep, 1);
  }
  --gauge.m_nCounter;
  if (gauge.m_nCounter < 60) gauge.m_dDamage = 0.0;
  else gauge.m_dDamage -= gauge.m_dDecay;
}

void cChara::DrawHeldItemIcon(DDSURFACEDATA* target) {
  if (m_Item.m_nHeldMode == 0 || !m_bOnScreen || m_Def.m_bTransparent || m_Item.m_Def.m_bTransparent) return;
  if (++m_nItemBlink >= 96) m_nItemBlink = 0;
  if (m_nItemBlink < 64) return;
  DrawHalfIcon(target, m_ScreenRect.left + (m_nWidth >> 1) - (m_Item.m_nWidth >> 2),
               m_ScreenRect.top - (m_Item.m_nHeight >> 1), m_Item.m_Def.m_nImageSheet, m_Item.m_nGraphic,
               m_Item.m_Def.m_nImageSub);
}

void cPlayer::Draw(DDSURFACEDATA* target, int bFrozen) {
  cActor::Draw(target, bFrozen);
  // In 8-bit colour with palette cycling the palette itself makes the boxes pulse.
  const bool bCycleColour = !(g_DDState.nBpp == 8 && g_System.m_bPaletteCycle);
  for (cDebugBox& box : m_DebugBoxes) {
    if (box.m_nMode == 0) continue;
    const cHitBox* pBox = box.m_nBox == 1 ? &m_BoxA : box.m_nBox == 2 ? &m_BoxC : box.m_nBox == 3 ? &m_BoxB : nullptr;
    box.m_nX = m_ScreenRect.left + m_nHitOffX + (pBox ? pBox->m_nOffX : 0);
    box.m_nY = m_ScreenRect.top + m_nHitOffY + (pBox ? pBox->m_nOffY : 0);
    const auto nColour = static_cast<std::uint32_t>(box.m_nColour + (bCycleColour ? box.m_nCycle >> 3 : 0));
    if (box.m_nMode == 1) DDFillRect(target, box.m_nX, box.m_nY, box.m_nW, box.m_nH, nColour);
    else DDFrameRect(target, box.m_nX, box.m_nY, box.m_nW, box.m_nH, 1, nColour);
    box.m_nCycle = (box.m_nCycle + 1) & 31;
  }
}

int cStageScene::DrawChara(DDSURFACEDATA* target, cChara& chara, int bFrozen) {
  if (chara.m_bDead) {
    chara.CalcScreenRect();
    return chara.DrawEnding(target, bFrozen);
  }
  if (chara.m_bOnScreen) {
    chara.CalcScreenRect();
    if (chara.m_Def.m_bTransparent) {
      chara.CurrentPattern(bFrozen);
      chara.TickCharaEffect(bFrozen);
    } else {
      chara.Draw(target, bFrozen);
      chara.DrawHeldItemIcon(target);
    }
    chara.DrawGauges(target);
  } else if (chara.m_bActive) {
    chara.CalcScreenRect();
    chara.CurrentPattern(bFrozen);
    chara.TickCharaEffect(bFrozen);
  }
  return 0;
}

void cStageScene::PlayerDeath(DDSURFACEDATA* target, int bFrozen) {
  cPlayer& player = g_Players[0];
  player.CalcScreenRect();
  if (!player.m_bDead) {
    player.Draw(target, bFrozen);
    player.DrawGauges(target);
  } else if (player.DrawEnding(target, bFrozen)) {
    m_bPlayerDeathEnded = 1;
  }
}
