#include "gfx/DDPresent.h"

#include <vector>

#include "base/Log.h"
#include "gfx/DDBlt.h"
#include "gfx/DDBitmapCopy.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDSurface.h"
#include "gfx/FontHooks.h"
#include "gfx/PixelOps.h"
#include "platform/display.h"
#include "platform/msgbox.h"
#include "platform/presenter.h"

namespace {

plat::Surface* DrawPart(DDSURFACEDATA& sd) {
  plat::Surface* s = sd.Pixels();
  return (s && !s->isLost()) ? s : nullptr;
}

}  // namespace

bool DDBeginScene() {
  if (!g_lpD3DData) return false;
  g_lpD3DData->bSceneOpen = 1;
  return true;
}

void DDEndScene() {
  if (g_lpD3DData) g_lpD3DData->bSceneOpen = 0;
}

void DDSetVirBackBuffer(bool on) {
  if (!g_lpD3DData) return;
  D3DDEVICEDATA& d = *g_lpD3DData;
  if (d.bVirBackBuffer && !on && VirBackBuffer.lpDT && VirBackBuffer.lpDT->lpSurface)
    DDFlushVirBackBuffer(&BackBuffer, &VirBackBuffer);
  d.bVirBackBuffer = on ? 1 : 0;
  d.lpParkingTarget = on ? &BackBuffer : &VirBackBuffer;
  if (d.lpParkingTarget->lpDT && d.lpParkingTarget->lpDT->lpSurface) DDSetRenderTarget(0, d.lpParkingTarget);
}

void DDFlushVirBackBuffer(DDSURFACEDATA* dst, DDSURFACEDATA* src) {
  if (!g_lpD3DData || !dst || !src) return;
  g_lpD3DData->bFlushing = 1;
  DDBlt(dst, 0, 0, src->nWidth, src->nHeight, src, 0, 0, 0);
  g_lpD3DData->bFlushing = 0;
}

bool DDPresent() {
  if (!g_lpD3DData) return true;
  if (g_lpD3DData->bVirBackBuffer) DDFlushVirBackBuffer(&BackBuffer, &VirBackBuffer);
  DDEndScene();
  plat::Surface* back = DDDeviceBackBuffer();
  if (plat::display::deviceLost() || !back) {
    if (!g_DDState.bWindowed) plat::Presenter::instance().requestMinimize();
    return false;
  }
  // Vertical sync is the presenter's: it shows the newest frame at the display's blank,
  // while the frame clock alone paces the game.
  plat::Presenter::instance().submit(*back, false);
  return true;
}

bool DDRestoreSurface() {
  if (!g_lpD3DData) {
    DebugLog("DDではDDRestoreSurfaceは未対応");
    return true;
  }
  // Walk a snapshot: re-creating a mirrored sheet lists and unlists a helper surface.
  std::vector<DDSURFACEDATA*> listed(g_SurfaceList.begin(), g_SurfaceList.end());
  for (DDSURFACEDATA* sd : listed) {
    if (!sd->lpDT || sd->lpDT->bInSystemMemory) continue;
    sd->lpDT->lpTexture.reset();
    sd->lpDT->lpSurface = nullptr;
  }
  FontsOnLostDevice();
  if (BackBuffer.lpDT) BackBuffer.lpDT->lpSurface = nullptr;
  if (plat::display::testCooperative() != plat::display::Coop::NotReset) return false;
  DebugLog("a");
  if (!plat::display::reset()) return false;
  DDSetDefaultRenderStates();
  if (plat::Surface* back = DDDeviceBackBuffer()) {
    back->restore();
    if (BackBuffer.lpDT) BackBuffer.lpDT->lpSurface = back;
  }
  int i = 0;
  for (DDSURFACEDATA* sd : listed) {
    const int index = i++;
    if (!sd->lpDT || sd->lpDT->bInSystemMemory) continue;
    DebugPrintf("i = %d lpSD->szSurfaceType = %s lpSD->szFileName = %s Size = (%d,%d)", index,
                sd->szSurfaceType.c_str(), sd->szFileName.c_str(), sd->nWidth, sd->nHeight);
    if (sd->szFileName == "E" || sd->szFileName.empty()) {
      DDCreateSurface(sd, sd->nWidth, sd->nHeight, sd->lpDT->bColorKey, sd->nMemoryKind, sd->lpDT->bInSystemMemory,
                      sd->lpAlias != nullptr, true);
      sd->lpDT->bRecreated = 1;
    } else {
      DDCreateSurfaceFromFile(sd, sd->szFileName, sd->lpDT->bColorKey, g_DDState.nBpp, sd->nMemoryKind,
                              sd->lpDT->bInSystemMemory, sd->lpAlias != nullptr, 0, sd->nMirrorWidth, sd->nMirrorHeight,
                              true);
    }
  }
  if (g_lpD3DData->lpParkingTarget) g_lpD3DData->lpRenderTarget = g_lpD3DData->lpParkingTarget;
  FontsRestore();
  if (!g_DDState.bWindowed) plat::Presenter::instance().requestRestore();
  return true;
}

bool DDRestore() {
  if (g_lpD3DData) {
    DebugLog("D3DではDDRestoreは未対応");
    return true;
  }
  if (!g_lpDDData) return true;
  if (!DDIsPrimaryLost()) return true;
  plat::display::reset();
  if (plat::Surface* p = Primary.Pixels()) p->restore();
  if (plat::Surface* b = BackBuffer.Pixels(); b && b->isLost()) b->restore();
  DDMODULESTATE& s = g_DDState;
  if (s.lpSurfaceArray) {
    for (int i = 0; i < s.nSurfaceCount; ++i) {
      DDSURFACEDATA& sd = s.lpSurfaceArray[i];
      plat::Surface* px = sd.Pixels();
      if (!px || !px->isLost()) continue;
      px->restore();
      if (sd.nMemoryKind == 0 && sd.szFileName != "E" && !sd.szFileName.empty()) DDReloadBitmap(&sd, s.nBpp);
    }
  }
  if (s.nBpp == 8) DDSetPaletteEntries(0, 256, g_WorkPalette);
  FontsRestore();
  return true;
}

bool DDSetDialogMode(bool on) {
  if (g_DDState.bWindowed) return true;
  if (!g_lpD3DData && !g_lpDDData) return true;
  if (on && g_lpD3DData) DDEndScene();
  plat::Presenter::instance().setCursorVisible(on);
  return true;
}

std::int32_t DDMesBox(std::string_view text, std::string_view caption, std::int32_t type) {
  if (!DDSetDialogMode(true)) {
    const std::string t(text), c(caption);
    DebugPrintf("DDMesBox 失敗! %s, %s", t.c_str(), c.c_str());
    return 0;
  }
  // The box's answer goes back to the caller (1 for a plain OK box).
  const int answer = plat::messageBox(text, caption, type);
  DDSetDialogMode(false);
  return answer;
}

bool DDIsPrimaryLost() {
  plat::Surface* p = Primary.Pixels();
  return p && p->isLost();
}

void DDWaitForVerticalBlank() { plat::Presenter::instance().waitVerticalBlank(); }

bool DDFlip() {
  plat::Surface* front = DrawPart(Primary);
  plat::Surface* back = DrawPart(BackBuffer);
  if (!g_lpDDData || !front || !back) return false;
  // The flip shows the back buffer at the next vertical blank.
  plat::Presenter::instance().submit(*back, true);
  front->swapPixels(*back);
  return true;
}

bool DDBltBackBufferToPrimary() {
  plat::Surface* front = DrawPart(Primary);
  plat::Surface* back = DrawPart(BackBuffer);
  if (!g_lpDDData || !front || !back) return false;
  pix::copyRaw(*front, 0, 0, *back, 0, 0, std::min(front->width(), back->width()),
               std::min(front->height(), back->height()));
  plat::Presenter::instance().submit(*front, false);
  return true;
}
