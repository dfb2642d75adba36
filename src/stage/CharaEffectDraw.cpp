#include "stage/CharaEffectDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/Screen.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDBlurMosaic.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDComposite.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDRotate.h"
#include "gfx/DDTranslucent.h"
#include "stage/Actor.h"
#include "stage/ImageRef.h"

namespace {

constexpr int WORK_B = 67;
constexpr int WORK_A = 68;
constexpr double SQRT2 = 1.4142135623730951;

DDSURFACEDATA* WorkA() { return &g_SurfaceData[WORK_A]; }
DDSURFACEDATA* WorkB() { return &g_SurfaceData[WORK_B]; }

int AtLeastOne(int n) { return std::max(n, 1); }

// What every routine reads of the actor and its cell.
struct Cell {
  cActor& a;
  const cImageRef& ref;
  int x, y, w, h;  // drawn place and size
  int s;           // giant scale
  int nImageScale;
  bool bScaled;
  int v;  // current value, times the giant scale when scaled
  const std::int32_t* p;

  Cell(cActor& actor, const cImageRef& r)
      : a(actor),
        ref(r),
        x(actor.m_ScreenRect.left),
        y(actor.m_ScreenRect.top),
        w(actor.m_nWidth),
        h(actor.m_nHeight),
        s(std::max<int>(actor.m_Def.m_nScale, 1)),
        nImageScale(r.m_bOwnScale ? std::max<int>(r.m_nCellScale, 1) : 1),
        bScaled(r.m_bOwnScale ? s != r.m_nCellScale : s > 1),
        v(static_cast<int>(actor.m_CharaEffect.m_dValue) * (bScaled ? s : 1)),
        p(actor.m_CharaEffect.m_pEffect ? actor.m_CharaEffect.m_pEffect->m_nParams : kNoParams) {}

  int SrcW() const { return a.m_nBaseWidth * nImageScale; }
  int SrcH() const { return a.m_nBaseHeight * nImageScale; }
  const DRAWMODE* Mode() const { return ref.m_bDrawMode ? &ref.m_DrawMode : nullptr; }

  // The cell at its drawn size at (0, 0) of a work surface, without the transparent
  // colour, from the stretching sheet.
  void RenderToWork(DDSURFACEDATA* work) const {
    if (bScaled) {
      DDStretchBltEx(work, 0, 0, w, h, ref.m_pStretchSheet, ref.m_nSrcX, ref.m_nSrcY, SrcW(), SrcH(), 0, Mode());
    } else {
      DDBltEx(work, 0, 0, w, h, ref.m_pStretchSheet, ref.m_nSrcX, ref.m_nSrcY, 0, Mode());
    }
  }
  // The cell 1:1 from the plain sheet into a work surface, with the draw mode.
  void CopyToWork(DDSURFACEDATA* work) const {
    DDBltEx(work, 0, 0, w, h, ref.m_pSheet, ref.m_nSrcX, ref.m_nSrcY, 0, Mode());
  }

  static constexpr std::int32_t kNoParams[5] = {1, 0, 0, 1, 1};
};

// A source surface and the cell's top-left on it.
struct Source {
  DDSURFACEDATA* sd;
  int sx, sy;
};

// Kinds 1 to 5 and 10: the plain sheet, or the scaled cell rendered into work A.
Source PlainOrWork(const Cell& c) {
  if (c.bScaled) {
    c.RenderToWork(WorkA());
    return {WorkA(), 0, 0};
  }
  return {c.ref.m_pSheet, c.ref.m_nSrcX, c.ref.m_nSrcY};
}

// Kinds 13 to 16: the scaled cell in work A; unscaled, the cell with its draw mode
// copied into work A, or the stretching sheet.
Source TintedSource(const Cell& c) {
  if (c.bScaled) {
    c.RenderToWork(WorkA());
    return {WorkA(), 0, 0};
  }
  if (c.ref.m_bDrawMode) {
    c.CopyToWork(WorkA());
    return {WorkA(), 0, 0};
  }
  return {c.ref.m_pStretchSheet, c.ref.m_nSrcX, c.ref.m_nSrcY};
}

// The draw colour and operation of the cell around one blit from the stretching sheet.
template <class F>
void WithDrawMode(const Cell& c, F draw) {
  if (c.ref.m_bDrawMode) {
    DDSetDrawColor(c.ref.m_DrawMode.dwColor);
    DDSetColorOp(c.ref.m_DrawMode.nColorOp);
  }
  draw();
  if (c.ref.m_bDrawMode) {
    DDResetDrawColor();
    DDResetColorOp();
  }
}

int Advance(cActor& a, int bFrozen) { return bFrozen ? 0 : a.m_CharaEffect.Tick(); }

void PlainDraw(const Cell& c, DDSURFACEDATA* target) {
  if (c.bScaled) {
    DDStretchBltEx(target, c.x, c.y, c.w, c.h, c.ref.m_pStretchSheet, c.ref.m_nSrcX, c.ref.m_nSrcY, c.SrcW(), c.SrcH(),
                   1, c.Mode());
  } else {
    DDBltEx(target, c.x, c.y, c.w, c.h, c.ref.m_pSheet, c.ref.m_nSrcX, c.ref.m_nSrcY, 1, c.Mode());
  }
}

int DrawNone(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int, int bDraw) {
  if (bDraw) PlainDraw(Cell(a, ref), target);
  return 0;
}

int DrawBurst(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = PlainOrWork(c);
    DDBltSplit(target, c.x, c.y, c.w, c.h, src.sd, src.sx, src.sy, c.v, 1);
  }
  return Advance(a, bFrozen);
}

template <int VERTICAL>
int DrawSplit(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = PlainOrWork(c);
    const int nLength = VERTICAL ? c.w : c.h;
    const int nStrip = (nLength + AtLeastOne(c.p[3]) - 1) / AtLeastOne(c.p[3]);
    DDBltInterlace(target, c.x, c.y, c.w, c.h, nStrip, c.v, src.sd, src.sx, src.sy, 1, VERTICAL);
  }
  return Advance(a, bFrozen);
}

template <int VERTICAL>
int DrawWave(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  cCharaEffectState& e = a.m_CharaEffect;
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = PlainOrWork(c);
    const int k = c.bScaled ? c.s : 1;
    DDBltWave(target, c.x, c.y, c.w, c.h, c.p[3], e.m_dValue * k, e.m_nCounter, AtLeastOne(c.p[4] * k), src.sd, src.sx,
              src.sy, 1, VERTICAL);
  }
  if (!bFrozen && ++e.m_nCounter >= 360) e.m_nCounter = 0;
  return Advance(a, bFrozen);
}

// Kinds 6 and 14: shown while the toggle flag is bShownWhen; the flag flips every
// interval frames.
void Blink(cCharaEffectState& e, const std::int32_t* p, int bFrozen) {
  if (e.m_nCounter >= p[1]) {
    e.m_nCounter = 0;
    e.m_bToggle = e.m_bToggle ? 0 : 1;
  }
  if (!bFrozen) ++e.m_nCounter;
}

int DrawBlink(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  const Cell c(a, ref);
  if (bDraw && a.m_CharaEffect.m_bToggle == 1) PlainDraw(c, target);
  Blink(a.m_CharaEffect, c.p, bFrozen);
  return Advance(a, bFrozen);
}

int DrawTranslucent(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  const Cell c(a, ref);
  if (bDraw && a.m_CharaEffect.m_bToggle == 0) {
    const Source src = TintedSource(c);
    DDBltHalf(target, c.x, c.y, c.w, c.h, src.sd, src.sx, src.sy, 1, g_BlendTable);
  }
  Blink(a.m_CharaEffect, c.p, bFrozen);
  return Advance(a, bFrozen);
}

// Kind 8, and kind 7 under Direct3D: turned about the cell's centre.
void TurnAboutCentre(const Cell& c, DDSURFACEDATA* target) {
  if (c.bScaled) {
    DDSURFACEDATA* work = g_lpD3DData ? WorkB() : WorkA();
    c.RenderToWork(work);
    DDBltRotate(target, c.x + c.w / 2, c.y + c.h / 2, c.w, c.h, c.w / 2, c.h / 2, c.v, work, 0, 0, 1);
    return;
  }
  WithDrawMode(c, [&] {
    DDBltRotate(target, c.x + c.w / 2, c.y + c.h / 2, c.w, c.h, c.w / 2, c.h / 2, c.v, c.ref.m_pStretchSheet,
                c.ref.m_nSrcX, c.ref.m_nSrcY, 1);
  });
}

int DrawTurnA(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    if (g_lpD3DData || !c.bScaled) {
      TurnAboutCentre(c, target);
    } else {
      // The turned cell needs room for its diagonal: turned at the image's own size in a
      // square of work A, then stretched to the drawn size around the actor's centre.
      const int g = static_cast<int>(c.nImageScale * a.m_nBaseWidth * SQRT2);
      DDFillRect(WorkA(), 0, 0, g, g, 0);
      DDBltRotate(WorkA(), g / 2, g / 2, c.SrcW(), c.SrcH(), c.SrcW() / 2, c.SrcH() / 2, c.v, c.ref.m_pStretchSheet,
                  c.ref.m_nSrcX, c.ref.m_nSrcY, 1);
      const int d = static_cast<int>(SQRT2 * c.w);
      DDStretchBlt(target, c.x + c.w / 2 - d / 2, c.y + c.h / 2 - d / 2, d, d, WorkA(), 0, 0, g, g, 1);
    }
  }
  return Advance(a, bFrozen);
}

int DrawTurnB(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) TurnAboutCentre(Cell(a, ref), target);
  return Advance(a, bFrozen);
}

int DrawFold(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    DDBltFold(target, c.x, c.y, c.w, c.h, ref.m_pStretchSheet, ref.m_nSrcX, ref.m_nSrcY, ref.m_pOtherStretchSheet,
              ref.m_nSrcX, ref.m_nSrcY, c.SrcW(), c.SrcH(), 1, c.v, 0);
  }
  return Advance(a, bFrozen);
}

int DrawCircle(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = PlainOrWork(c);
    DDBltCircle(target, c.x + c.w / 2, c.y + c.h / 2, c.w / 2, c.h / 2, c.v, AtLeastOne(c.p[3] * (c.bScaled ? c.s : 1)),
                src.sd, src.sx + c.w / 2, src.sy + c.h / 2, 1);
  }
  return Advance(a, bFrozen);
}

int DrawZoom(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    // The growth comes from the value as the data gives it, scaled once here.
    const int nValue = static_cast<int>(a.m_CharaEffect.m_dValue);
    const int e = c.bScaled ? (nValue - BLOCK_SIZE) * c.s / 2 : nValue - BLOCK_SIZE;
    if (c.w + e > 0 && c.h + e > 0) {
      if (c.bScaled) {
        c.RenderToWork(WorkA());
        DDStretchBlt(target, c.x - e / 2, c.y - e / 2, c.w + e, c.h + e, WorkA(), 0, 0, c.w, c.h, 1);
      } else {
        WithDrawMode(c, [&] {
          DDStretchBlt(target, c.x - e / 2, c.y - e / 2, c.w + e, c.h + e, ref.m_pStretchSheet, ref.m_nSrcX,
                       ref.m_nSrcY, c.w, c.h, 1);
        });
      }
    }
  }
  return Advance(a, bFrozen);
}

int DrawLens(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const int dx = c.p[3] * c.s;
    const int dy = c.p[4] * c.s;
    const double g = SQRT2 * (std::max(std::abs(dx), std::abs(dy)) + c.w / 2);
    const int l = static_cast<int>(g_lpDDData && g_DDState.nBpp != 16 ? 2 * g : 4 * g);
    DDFillRect(WorkA(), 0, 0, l, l, 0);
    c.RenderToWork(WorkA());
    DDBltRadial(target, c.x + dx / 2 + c.w / 2, c.y + dy / 2 + c.h / 2, static_cast<int>(g), c.v, WorkA(), dx + c.w / 2,
                dy + c.h / 2, 1);
  }
  return Advance(a, bFrozen);
}

int DrawColour(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = TintedSource(c);
    DDBltAlpha(target, c.x, c.y, c.w, c.h, src.sd, src.sx, src.sy, 1, g_WorkPalette, g_BlendTable,
               static_cast<std::uint8_t>(c.p[3]), c.v);
  }
  return Advance(a, bFrozen);
}

int DrawMosaic(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = TintedSource(c);
    DDMosaic(target, c.x, c.y, c.w, c.h, AtLeastOne(c.v), src.sd, src.sx, src.sy, 1);
  }
  return Advance(a, bFrozen);
}

int DrawBlur(cActor& a, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen, int bDraw) {
  if (bDraw) {
    const Cell c(a, ref);
    const Source src = TintedSource(c);
    if (g_DDState.nBpp == 8) {
      DDBltAlpha(target, c.x, c.y, c.w, c.h, src.sd, src.sx, src.sy, 1, g_WorkPalette, g_BlendTable, 31, c.v);
    } else {
      DDBlur(target, c.x, c.y, c.w, c.h, c.v, c.v, src.sd, src.sx, src.sy, 1);
    }
  }
  return Advance(a, bFrozen);
}

}  // namespace

const CharaEffectDrawer g_CharaEffectDrawers[CHARA_EFFECT_KIND_COUNT] = {
    DrawNone,         // 0 CHARA_EFFECT_NONE
    DrawBurst,        // 1 CHARA_EFFECT_BURST
    DrawSplit<0>,     // 2 CHARA_EFFECT_SPLIT_X
    DrawSplit<1>,     // 3 CHARA_EFFECT_SPLIT_Y
    DrawWave<0>,      // 4 CHARA_EFFECT_WAVE_X
    DrawWave<1>,      // 5 CHARA_EFFECT_WAVE_Y
    DrawBlink,        // 6 CHARA_EFFECT_BLINK
    DrawTurnA,        // 7 CHARA_EFFECT_TURN_A
    DrawTurnB,        // 8 CHARA_EFFECT_TURN_B
    DrawFold,         // 9 CHARA_EFFECT_TURN_DEPTH
    DrawCircle,       // 10 CHARA_EFFECT_CIRCLE
    DrawZoom,         // 11 CHARA_EFFECT_ZOOM
    DrawLens,         // 12 CHARA_EFFECT_LENS
    DrawColour,       // 13 CHARA_EFFECT_COLOUR
    DrawTranslucent,  // 14 CHARA_EFFECT_TRANSLUCENT
    DrawMosaic,       // 15 CHARA_EFFECT_MOSAIC
    DrawBlur,         // 16 CHARA_EFFECT_BLUR
};

namespace {

CharaEffectDrawer DrawerOf(const cActor& actor) {
  const int nKind = actor.m_CharaEffect.Kind();
  return nKind >= 0 && nKind < CHARA_EFFECT_KIND_COUNT ? g_CharaEffectDrawers[nKind] : DrawNone;
}

}  // namespace

int DrawWithCharaEffect(cActor& actor, DDSURFACEDATA* target, const cImageRef& ref, int bFrozen) {
  if (DrawerOf(actor)(actor, target, ref, bFrozen, 1) != 1) return 0;
  actor.m_CharaEffect.m_nIndex = 0;
  return 1;
}

int TickCharaEffect(cActor& actor, int bFrozen) {
  const cImageRef none;
  if (DrawerOf(actor)(actor, nullptr, none, bFrozen, 0) != 1) return 0;
  actor.m_CharaEffect.m_nIndex = 0;
  return 1;
}
