// Treatments of the whole finished frame: the running screen effect (the frame redrawn
// moved, shaken, split, waved, blinking, turned, through a circle, zoomed, through a lens
// or as a mosaic) and the screen colour that tints it.
#include <algorithm>
#include <cmath>

#include "gamedata/CharaEffect.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDBlurMosaic.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDComposite.h"
#include "gfx/DDFade.h"
#include "gfx/DDFadeTint.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "gfx/DDRotate.h"
#include "gfx/DDSurface.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int WORK_B = 67;
constexpr int WORK_A = 68;
constexpr int CLEAR_COLOUR = 16;
constexpr double SQRT2 = 1.4142135623730951;

DDSURFACEDATA* WorkA() { return &g_SurfaceData[WORK_A]; }
DDSURFACEDATA* WorkB() { return &g_SurfaceData[WORK_B]; }

void SaveTo(DDSURFACEDATA* work) { DDBlt(work, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, &BackBuffer, 0, 0, 0); }
void ClearScreen() { DDFillRect(&BackBuffer, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, CLEAR_COLOUR); }

// Player 0's centre on the screen; the screen's centre when there is no player.
void PlayerCentre(int& cx, int& cy) {
  if (g_Players.empty()) {
    cx = VIEW_WIDTH / 2;
    cy = VIEW_HEIGHT / 2;
    return;
  }
  const cPlayer& p = g_Players[0];
  cx = p.m_ScreenRect.left + p.m_nWidth / 2;
  cy = p.m_ScreenRect.top + p.m_nHeight / 2;
}

// A count, size or time from the data that the effect divides by or steps with: below 1
// counts as 1.
int AtLeastOne(int n) { return std::max(n, 1); }

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

void cStageScene::RunScreenEffect(int bFrozen) {
  cScreenEffectState& s = m_ScreenEffect;
  if (s.m_nIndex == 0) return;
  const int nKind = s.Kind();
  const std::int32_t* p = s.m_pEffect ? s.m_pEffect->m_nParams : nullptr;
  int bEnded = 0;
  auto tick = [&](int nStart, int nEnd) {
    if (!bFrozen) bEnded = s.Tick(nStart, nEnd, s.m_dStep);
  };
  int cx = 0, cy = 0;
  PlayerCentre(cx, cy);
  switch (nKind) {
    case SCR_EFFECT_MOVE:
      SaveTo(WorkB());
      ClearScreen();
      DDBlt(&BackBuffer, s.m_nA, s.m_nB, VIEW_WIDTH, VIEW_HEIGHT, WorkB(), 0, 0, 0);
      if (!bFrozen) {
        const int nTime = AtLeastOne(p[0]);
        s.m_nA = static_cast<int>((p[3] - p[1]) / nTime * s.m_dValue + p[1]);
        s.m_nB = static_cast<int>((p[4] - p[2]) / nTime * s.m_dValue + p[2]);
      }
      tick(0, p[0]);
      break;
    case SCR_EFFECT_SHAKE_X:
    case SCR_EFFECT_SHAKE_Y:
      SaveTo(WorkB());
      ClearScreen();
      if (nKind == 2) {
        DDBlt(&BackBuffer, static_cast<int>(s.m_dSecond), 0, VIEW_WIDTH, VIEW_HEIGHT, WorkB(), 0, 0, 0);
      } else {
        DDBlt(&BackBuffer, 0, static_cast<int>(s.m_dSecond), VIEW_WIDTH, VIEW_HEIGHT, WorkB(), 0, 0, 0);
      }
      if (!bFrozen) {
        const double dSpeed = static_cast<double>(p[2]) * p[1] * 4 / (static_cast<double>(AtLeastOne(p[0])) * 6);
        if (s.m_nA == 1) {
          s.m_dSecond -= dSpeed;
          if (s.m_dSecond <= -p[1]) {
            s.m_dSecond = -p[1];
            s.m_nA = 0;
          }
        } else {
          s.m_dSecond += dSpeed;
          if (s.m_dSecond >= p[1]) {
            s.m_dSecond = p[1];
            s.m_nA = 1;
          }
        }
      }
      tick(0, p[0]);
      break;
    case SCR_EFFECT_SPLIT_X:
    case SCR_EFFECT_SPLIT_Y:
      SaveTo(WorkB());
      ClearScreen();
      DDBltInterlace(&BackBuffer, 0, 0, VIEW_WIDTH, VIEW_HEIGHT,
                     CeilDiv(nKind == 4 ? VIEW_HEIGHT : VIEW_WIDTH, AtLeastOne(p[3])), static_cast<int>(s.m_dValue),
                     WorkB(), 0, 0, 0, nKind == 4 ? 0 : 1);
      tick(p[1], p[2]);
      break;
    case SCR_EFFECT_WAVE_X:
    case SCR_EFFECT_WAVE_Y:
      SaveTo(WorkB());
      ClearScreen();
      DDBltWave(&BackBuffer, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, p[3], s.m_dValue, s.m_nA, AtLeastOne(p[4]), WorkB(), 0, 0,
                0, nKind == 6 ? 0 : 1);
      if (!bFrozen) s.m_nA = (s.m_nA + 1) % 360;
      tick(p[1], p[2]);
      break;
    case SCR_EFFECT_BLINK:
      if (s.m_nB == 0) {
        DrawBackgrounds(&BackBuffer, 0);
        DrawBackgrounds(&BackBuffer, 1);
      }
      if (s.m_nA >= p[1]) {
        s.m_nA = 0;
        s.m_nB = s.m_nB ? 0 : 1;
      }
      if (!bFrozen) ++s.m_nA;
      tick(0, p[0]);
      break;
    case SCR_EFFECT_TURN:
      SaveTo(WorkA());
      ClearScreen();
      DDBltRotate(&BackBuffer, VIEW_WIDTH / 2, VIEW_HEIGHT / 2, VIEW_WIDTH, VIEW_HEIGHT, VIEW_WIDTH / 2,
                  VIEW_HEIGHT / 2, static_cast<int>(s.m_dValue), WorkA(), 0, 0, 0);
      tick(p[1], p[2]);
      break;
    case SCR_EFFECT_CIRCLE:
      SaveTo(WorkB());
      ClearScreen();
      DDBltCircle(&BackBuffer, cx, cy, std::max(cx, VIEW_WIDTH - cx), std::max(cy, VIEW_HEIGHT - cy),
                  static_cast<int>(s.m_dValue), AtLeastOne(p[3]), WorkB(), cx, cy, 0);
      tick(p[1], p[2]);
      break;
    case SCR_EFFECT_ZOOM: {  // a value of VIEW_WIDTH shows the screen 1:1
      SaveTo(WorkA());
      static_assert(VIEW_WIDTH * 0.0015625 == 1.0, "the zoom's factor is the value over the view width");
      const double z = s.m_dValue * 0.0015625;
      if (z >= 1) {
        const double sw = VIEW_WIDTH / z;
        const double sh = VIEW_HEIGHT / z;
        int x = static_cast<int>(cx - sw / 2);
        if (x + static_cast<int>(sw) >= VIEW_WIDTH) {
          x = static_cast<int>(VIEW_WIDTH - sw);
        } else if (x < 0) {
          x = 0;
        }
        int y = static_cast<int>(cy - sh / 2);
        if (y + static_cast<int>(sh) >= VIEW_HEIGHT) {
          y = static_cast<int>(VIEW_HEIGHT - sh);
        } else if (y < 0) {
          y = 0;
        }
        DDStretchBlt(&BackBuffer, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, WorkA(), x, y, static_cast<int>(sw),
                     static_cast<int>(sh), 1);
      } else {
        ClearScreen();
        const int w = static_cast<int>(VIEW_WIDTH * z);
        const int h = static_cast<int>(VIEW_HEIGHT * z);
        if (w > 0 && h > 0) {
          DDStretchBlt(&BackBuffer, static_cast<int>((VIEW_WIDTH - VIEW_WIDTH * z) / 2),
                       static_cast<int>((VIEW_HEIGHT - VIEW_HEIGHT * z) / 2), w, h, WorkA(), 0, 0, VIEW_WIDTH,
                       VIEW_HEIGHT, 1);
        }
      }
      tick(p[1], p[2]);
      break;
    }
    case SCR_EFFECT_LENS: {
      const int ex = cx + p[3];
      const int ey = cy + p[4];
      const double r = SQRT2 * std::max(std::max(ex, VIEW_WIDTH - ex), std::max(ey, VIEW_HEIGHT - ey));
      const int l = static_cast<int>(g_DDState.nBpp == 16 ? 4 * r : 2 * r);
      DDFillRect(WorkA(), 0, 0, l, l, 0);
      SaveTo(WorkA());
      ClearScreen();
      DDBltRadial(&BackBuffer, ex, ey, static_cast<int>(r), static_cast<int>(s.m_dValue), WorkA(), ex, ey, 0);
      tick(p[1], p[2]);
      break;
    }
    case SCR_EFFECT_MOSAIC:
      SaveTo(WorkA());
      ClearScreen();
      DDMosaic(&BackBuffer, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, AtLeastOne(static_cast<int>(s.m_dValue)), WorkA(), 0, 0, 0);
      tick(p[1], p[2]);
      break;
    default: break;
  }
  if (bEnded) {
    s.m_nIndex = 0;
    DDSetVirBackBuffer(false);
  }
}

void cScreenColor::Start(int nRed, int nGreen, int nBlue, int nStrength, int bReturn, int nTenths, int bFlash,
                         int nCount) {
  if (bReturn) {
    const bool bPaletteDisplay = g_lpDDData && g_DDState.nBpp == 8;
    if (bPaletteDisplay ? m_bShown == 0 : m_bActive == 0) return;
  }
  m_nPrevRed = m_nRed;
  m_nPrevGreen = m_nGreen;
  m_nPrevBlue = m_nBlue;
  m_nPrevStrength = m_nStrength;
  m_nPrevAlpha = m_nAlpha;
  m_nRed = static_cast<std::uint8_t>(nRed);
  m_nGreen = static_cast<std::uint8_t>(nGreen);
  m_nBlue = static_cast<std::uint8_t>(nBlue);
  m_nStrength = nStrength;
  m_bReturn = bReturn;
  m_nFrames = nTenths * 6;
  m_bFlash = bFlash;
  m_nFlashCount = nCount;
  m_bActive = 1;
  m_nCounter = 0;
  m_nFlashCounter = 0;
  if (!bReturn) {
    m_nAlpha = 0;
    m_bShown = 1;
  } else {
    m_nRed = m_nPrevRed;
    m_nGreen = m_nPrevGreen;
    m_nBlue = m_nPrevBlue;
    m_nStrength = m_nPrevStrength;
    m_nAlpha = m_nPrevAlpha;
  }
}

void cStageScene::ApplyScreenColor(int bFrozen) {
  cScreenColor& c = m_ScreenColor;
  if (!c.m_bActive) return;
  const bool bPaletteDisplay = g_lpDDData && g_DDState.nBpp == 8;
  if (!g_lpD3DData && !bPaletteDisplay) {
    c.m_bActive = 0;
    return;
  }
  // A palette display changes nothing while frozen; Direct3D draws the tint every frame.
  if (bPaletteDisplay && bFrozen) return;
  auto show = [&](int nAlpha, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (bPaletteDisplay) {
      DDBlendPalette(g_WorkPalette, 0, 255, nAlpha, r, g, b, g_Palette);
      DDSetPaletteEntries(0, 256, g_WorkPalette);
    } else {
      DDChangeColor(&BackBuffer, 0, 0, VIEW_WIDTH, VIEW_HEIGHT, nAlpha, r, g, b);
    }
  };
  const double dFull = c.m_nStrength * 2.55;
  // The share of the run done; a duration of 0 is over at once.
  const double dDone = c.m_nFrames > 0 ? static_cast<double>(c.m_nCounter) / c.m_nFrames : 1.0;
  if (c.m_bFlash) {
    if (c.m_nCounter < c.m_nFrames) {
      c.m_nAlpha = static_cast<int>(255 - dFull * dDone);
      show(c.m_nAlpha, c.m_nRed, c.m_nGreen, c.m_nBlue);
      if (!bFrozen) ++c.m_nCounter;
    } else {
      c.m_nAlpha = 255;
      show(255, c.m_nRed, c.m_nGreen, c.m_nBlue);
      if (!bFrozen) {
        c.m_nCounter = 0;
        if (++c.m_nFlashCounter >= c.m_nFlashCount) c.m_bActive = 0;
      }
    }
  } else if (c.m_bReturn) {
    c.m_nAlpha = static_cast<int>(c.m_nPrevAlpha + (255 - c.m_nPrevAlpha) * dDone);
    show(c.m_nAlpha, c.m_nPrevRed, c.m_nPrevGreen, c.m_nPrevBlue);
    if (!bFrozen) {
      if (c.m_nCounter >= c.m_nFrames) {
        c.m_bActive = 0;
      } else {
        ++c.m_nCounter;
      }
    }
  } else {
    c.m_nAlpha = static_cast<int>(255 - dFull * dDone);
    show(c.m_nAlpha, c.m_nRed, c.m_nGreen, c.m_nBlue);
    if (!bFrozen) {
      if (c.m_nCounter < c.m_nFrames) {
        ++c.m_nCounter;
      } else if (c.m_nStrength == 0) {
        c.m_bActive = 0;
      }
    }
  }
}
