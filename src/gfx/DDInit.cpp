#include "gfx/DDInit.h"

#include "base/Log.h"
#include "gfx/DDBlt.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "platform/msgbox.h"
#include "platform/presenter.h"

DDMODULESTATE g_DDState;
D3DDEVICEDATA* g_lpD3DData = nullptr;
DDRAWDATA* g_lpDDData = nullptr;
std::uint32_t g_TransmitPixel = 0;
PIXELLAYOUT g_ScreenLayout;
PIXELLAYOUT g_PixelLayout;
// Never destroyed: static fonts leave it in their destructors.
std::list<Font*>& g_FontList = *new std::list<Font*>;

namespace {

// The runtime objects of each mode (the Direct3D object, the DirectDraw object): they
// exist from the first start-up step on, also when a later step failed.
bool s_bDirect3D = false;
bool s_bDirectDraw = false;
std::unique_ptr<plat::Surface> s_DeviceBackBuffer;

int BoxRoute(std::string_view text, std::string_view caption, int type) { return DDMesBox(text, caption, type); }

plat::PixelFormat DirectDrawFormat(int bpp) {
  switch (bpp) {
    case 8: return plat::PixelFormat::Index8;
    case 16: return plat::display::directDraw16Format();
    case 24: return plat::PixelFormat::Bgr24;
    default: return plat::PixelFormat::Xrgb8888;
  }
}

bool Fails(int step) { return plat::display::faults().directDrawStep == step; }

void SetCursor(bool visible) { plat::Presenter::instance().setCursorVisible(visible); }

int InitDirect3D(int width, int height, int bpp) {
  const plat::display::DeviceCaps caps = plat::display::caps();
  if (caps.ddiVersion < 9) {
    ReportPrintfDebug("ビデオカードのドライバがDirectX9をサポートしていません！ %d", caps.ddiVersion);
    return 0;
  }
  if (plat::display::faults().direct3DCreate) {
    ReportPrintfDebug("ビデオカードがDirectX9をサポートしていません！");
    return 0;
  }
  s_bDirect3D = true;

  delete g_lpD3DData;
  g_lpD3DData = new D3DDEVICEDATA();
  D3DDEVICEDATA& d = *g_lpD3DData;
  d.dwDrawColor = 0xFFFFFFFF;
  d.nColorOp = D3DTOP_MODULATE;
  d.nAlphaOp = D3DTOP_MODULATE;

  D3DPRESENTPARAMS& pp = d.PresentParams;
  // Nothing on this platform changes the desktop's refresh rate: the presenter paces.
  pp.bWindowed = g_DDState.bWindowed ? 1 : 0;
  pp.nBackBufferWidth = g_DDState.bWindowed ? 0 : width;
  pp.nBackBufferHeight = g_DDState.bWindowed ? 0 : height;
  pp.nRefreshRate = g_DDState.bWindowed ? 0 : 60;
  pp.nBackBufferCount = 1;
  pp.bLockableBackBuffer = 1;
  pp.bIntervalDefault = g_DDState.bVSync ? 1 : 0;

  if (plat::display::faults().getDeviceCaps) {
    DebugLog("GetDeviceCaps Err");
  } else {
    d.Caps = caps;
  }
  pp.nSwapEffect = d.Caps.alphaFullscreenFlipOrDiscard ? 1 : 3;
  d.bPow2 = d.Caps.pow2 ? 1 : 0;
  d.bSquare = d.Caps.squareOnly ? 1 : 0;

  if (bpp == 32) {
    d.nSurfaceFormat = D3DFMT_X8R8G8B8;
    d.nTextureFormat = D3DFMT_A8R8G8B8;
    d.BackFormat = plat::PixelFormat::Xrgb8888;
    d.TextureFormat = plat::PixelFormat::Argb8888;
    g_PixelLayout = PIXELLAYOUT{16, 8, 0, 24, 255, 255, 255, 255};
  } else if (bpp == 16) {
    d.nTextureFormat = D3DFMT_A1R5G5B5;
    d.TextureFormat = plat::PixelFormat::Argb1555;
    g_PixelLayout = PIXELLAYOUT{10, 5, 0, 15, 31, 31, 31, 1};
    if (!g_DDState.bWindowed) {
      d.nSurfaceFormat = D3DFMT_R5G6B5;
      d.BackFormat = plat::PixelFormat::Rgb565;
      g_ScreenLayout = PIXELLAYOUT{11, 5, 0, 16, 31, 63, 31, 0};
    } else {
      d.nSurfaceFormat = D3DFMT_A1R5G5B5;
      d.BackFormat = plat::PixelFormat::Argb1555;
      g_ScreenLayout = g_PixelLayout;
    }
  } else {
    return 0;
  }
  pp.nBackBufferFormat = d.nSurfaceFormat;

  int& deviceFaults = plat::display::faults().createDevice;
  bool created = false;
  for (int attempt = 0; attempt < 2 && !created; ++attempt) {
    if (deviceFaults > 0) {
      --deviceFaults;
      continue;
    }
    s_DeviceBackBuffer = plat::Surface::create(width, height, d.BackFormat, plat::Memory::Video);
    if (!s_DeviceBackBuffer) continue;
    created = true;
    ReportPrintfDebug(attempt == 0 ? "Device HAL-HARD" : "Device HAL-SOFT");
  }
  if (!created) {
    DebugLog("CreateDevice Err");
    return 0;
  }
  ReportPrintfDebug("%s", d.nSurfaceFormat == D3DFMT_X8R8G8B8 ? "X8R8G8B8"
                          : d.nSurfaceFormat == D3DFMT_R5G6B5 ? "R5G6B5"
                                                              : "A1R5G5B5");
  d.nAdapterFormat = pp.nBackBufferFormat;

  DDSetDefaultRenderStates();
  DDResetDrawColor();
  DDResetColorOp();
  DDSetAlphaOpTexture();

  BackBuffer.CreateParts();
  BackBuffer.nWidth = BackBuffer.nAllocWidth = width;
  BackBuffer.nHeight = BackBuffer.nAllocHeight = height;
  BackBuffer.nMemoryKind = 0;
  BackBuffer.szSurfaceType = "BackBuffer";
  BackBuffer.lpDT->nId = 0;
  BackBuffer.lpDT->bValid = 1;
  BackBuffer.lpDT->lpSurface = s_DeviceBackBuffer.get();
  BackBuffer.lpDT->nLevelWidth = width;
  BackBuffer.lpDT->nLevelHeight = height;
  d.nSurfaceId = 1;
  d.nFontId = 0;
  d.lpRenderTarget = &BackBuffer;

  VirBackBuffer.CreateParts();
  DDSetVirBackBuffer(false);
  d.bFlushing = 0;
  DDCreateSurface(&VirBackBuffer, width, height, 0, 0, 0, 0, false);
  VirBackBuffer.szSurfaceType = "VirBackBuffer";
  DDCreateSurface(&WorkSD, width, height, 0, 0, 0, 0, false);
  WorkSD.szSurfaceType = "WorkSD";

  plat::Presenter::instance().setVsync(g_DDState.bVSync != 0);
  plat::Presenter::instance().setFullScreen(!g_DDState.bWindowed);
  if (!g_DDState.bWindowed) SetCursor(false);
  return 1;
}

void SetStartPalette(bool window) {
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i) {
    if (!window) {
      entries[i] = PALETTEENTRY{std::uint8_t(i), std::uint8_t(i), 0, PC_RESERVED};
    } else if (i < 10 || i > 245) {
      entries[i] = PALETTEENTRY{std::uint8_t(i), 0, 0, PC_EXPLICIT};
    } else {
      entries[i] = PALETTEENTRY{std::uint8_t(i), std::uint8_t(i), 0, PC_RESERVED};
    }
  }
  if (!window) entries[0].peBlue = 255;
  DDSetPaletteEntries(0, 256, entries);
}

bool CreateScreenSurface(DDSURFACEDATA& sd, int width, int height, plat::Memory memory) {
  sd.CreateParts();
  sd.lpDD->lpDDSurface = plat::Surface::create(width, height, g_lpDDData->Format, memory);
  sd.nWidth = sd.nAllocWidth = width;
  sd.nHeight = sd.nAllocHeight = height;
  return sd.lpDD->lpDDSurface != nullptr;
}

int InitDirectDrawFullScreen(int width, int height, int bpp, int backBufferCount) {
  Primary.nWidth = BackBuffer.nWidth = ScreenCopy.nWidth = width;
  Primary.nHeight = BackBuffer.nHeight = ScreenCopy.nHeight = height;
  Primary.nMemoryKind = 0;
  BackBuffer.nMemoryKind = 0;
  ScreenCopy.nMemoryKind = 1;
  if (Fails(1)) {
    ReportPrintfDebug("DirectDrawCreateEx Err");
    return 1;
  }
  s_bDirectDraw = true;
  if (Fails(2)) {
    ReportPrintfDebug("SetCooperativeLevel Err");
    return 2;
  }
  if (Fails(3) || (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)) {
    ReportPrintfDebug("SetDisplayMode Err");
    return 3;
  }
  g_lpDDData->Format = DirectDrawFormat(bpp);
  g_DDState.nPrimaryBackBuffers = backBufferCount == 1 ? 1 : 2;
  if (Fails(4) || !CreateScreenSurface(Primary, width, height, plat::Memory::Video)) {
    ReportPrintfDebug("Primary CreateSurface Err");
    return 4;
  }
  if (Fails(5) || !CreateScreenSurface(BackBuffer, width, height, plat::Memory::Video)) {
    ReportPrintfDebug("GetAttachedSurface Err");
    return 5;
  }
  if (!DDCreateSurface(&ScreenCopy, width, height, 0, 1, 0, 0, false)) return 4;
  if (Fails(6)) {
    ReportPrintfDebug("CreatePalette Err");
    return 6;
  }
  g_lpDDData->bPalette = true;
  SetStartPalette(false);
  if (bpp == 8) {
    if (Fails(7)) {
      ReportPrintfDebug("SetPalette Err");
      return 7;
    }
  } else {
    DDGetPixelFormatShifts(&g_PixelLayout);
  }
  plat::Presenter::instance().setVsync(g_DDState.bVSync != 0);
  plat::Presenter::instance().setFullScreen(true);
  SetCursor(false);
  return 0;
}

int InitDirectDrawWindow(int width, int height, int bpp) {
  // The client area is the logical screen; the presenter places it in the window.
  Primary.nMemoryKind = 0;
  BackBuffer.nMemoryKind = 0;
  ScreenCopy.nMemoryKind = 1;
  const int desktop = plat::display::desktopDepth();
  if (Fails(1)) {
    ReportPrintfDebug("DirectDrawCreateEx Err");
    return 1;
  }
  s_bDirectDraw = true;
  if (Fails(2)) {
    ReportPrintfDebug("SetCooperativeLevel Err");
    return 2;
  }
  g_lpDDData->Format = DirectDrawFormat(bpp);
  if (Fails(4) || !CreateScreenSurface(Primary, width, height, plat::Memory::Video)) {
    ReportPrintfDebug("Primary CreateSurface Err");
    return 4;
  }
  if (!DDCreateSurface(&BackBuffer, width, height, 0, 0, 0, 0, false)) return 4;
  if (!DDCreateSurface(&ScreenCopy, width, height, 0, 1, 0, 0, false)) return 4;
  if (Fails(6)) {
    ReportPrintfDebug("CreatePalette Err");
    return 6;
  }
  g_lpDDData->bPalette = true;
  SetStartPalette(true);
  if (desktop <= 8) {
    if (Fails(7)) {
      ReportPrintfDebug("SetPalette Err");
      return 7;
    }
  } else {
    DDGetPixelFormatShifts(&g_PixelLayout);
  }
  if (Fails(10)) {
    ReportPrintfDebug("CreateClipper Err");
    return 10;
  }
  g_lpDDData->bClipper = true;
  if (Fails(11)) {
    ReportPrintfDebug("SetHWnd Err");
    return 11;
  }
  if (Fails(12)) {
    ReportPrintfDebug("SetClipper Err");
    return 12;
  }
  plat::Presenter::instance().setVsync(g_DDState.bVSync != 0);
  plat::Presenter::instance().setFullScreen(false);
  SetCursor(true);
  return 0;
}

}  // namespace

plat::Surface* DDDeviceBackBuffer() { return s_DeviceBackBuffer.get(); }

bool DDInit(std::int32_t useD3D, plat::WindowToken hwnd, std::int32_t width, std::int32_t height, std::int32_t bpp,
            std::int32_t vsync, std::int32_t windowed, std::int32_t backBufferCount, std::int32_t refresh,
            std::int32_t useRefresh, DDSURFACEDATA* surfaceArray, DDSURFACEINFO* descriptorTable, std::int32_t count) {
  DDMODULESTATE& s = g_DDState;
  s.bUseD3D = useD3D;
  s.hWnd = hwnd;
  s.nWidth = width;
  s.nHeight = height;
  s.nBpp = bpp;
  s.nBytesPerPixel = bpp / 8;
  s.bVSync = vsync;
  s.bWindowed = windowed;
  s.nBackBufferCount = backBufferCount;
  s.nRefresh = refresh;
  s.bUseRefresh = useRefresh;
  s.lpSurfaceArray = surfaceArray;
  s.lpInfoTable = descriptorTable;
  s.nSurfaceCount = count;

  if (useD3D) {
    if (!InitDirect3D(width, height, bpp)) return false;
  } else if (!windowed) {
    if (s.bReinit) DDExit();
    delete g_lpDDData;
    g_lpDDData = new DDRAWDATA();
    if (!DDCheckInitError(InitDirectDrawFullScreen(width, height, bpp, backBufferCount))) return false;
  } else {
    if (s.bReinit) DDUnInit();
    delete g_lpDDData;
    g_lpDDData = new DDRAWDATA();
    if (!DDCheckInitError(InitDirectDrawWindow(width, height, bpp))) return false;
  }
  s.bInitialized = 1;
  s.bReinit = 1;
  // Error boxes over a full-screen display go through the library.
  SetFullScreenBoxRoute(windowed ? nullptr : &BoxRoute);
  return true;
}

void DDUnInit() {
  DDMODULESTATE& s = g_DDState;
  if (s_bDirectDraw || g_lpDDData) {
    if (s.lpSurfaceArray)
      for (int i = 0; i < s.nSurfaceCount; ++i) DDReleaseSurface(&s.lpSurfaceArray[i]);
    DDReleaseSurface(&BackBuffer);
    DDReleaseSurface(&Primary);
    DDReleaseSurface(&ScreenCopy);
    if (s_bDirectDraw && DDDRAWPARTCount() > 0) plat::messageBox("解放漏れがあります", "DirectDraw", plat::mb::Ok);
    s_bDirectDraw = false;
    delete g_lpDDData;
    g_lpDDData = nullptr;
  }
  if (s_bDirect3D || g_lpD3DData) {
    if (s.lpSurfaceArray)
      for (int i = 0; i < s.nSurfaceCount; ++i) DDReleaseSurface(&s.lpSurfaceArray[i]);
    DDReleaseSurface(&WorkSD);
    DDReleaseSurface(&VirBackBuffer);
    DDReleaseSurface(&BackBuffer);
    s_DeviceBackBuffer.reset();
    s_bDirect3D = false;
    delete g_lpD3DData;
    g_lpD3DData = nullptr;
  }
  s.bInitialized = 0;
  SetFullScreenBoxRoute(nullptr);
  plat::Presenter::instance().setCursorVisible(true);
}

void DDExit() { DDUnInit(); }

bool DDCheckInitError(std::int32_t code) {
  const char* name = nullptr;
  switch (code) {
    case 1: name = "CREATEEX_ERR"; break;
    case 2: name = "SETCOOPLEVEL_ERR"; break;
    case 3: name = "SETDISPLAYMODE_ERR"; break;
    case 4: name = "CREATESURFACE_ERR"; break;
    case 5: name = "GETATTACHEDSURFACE_ERR"; break;
    case 6: name = "CREATEPALETTE_ERR"; break;
    case 7: name = "SETPALETTE_ERR"; break;
    case 10: name = "CLIPPER_ERR"; break;
    case 11: name = "SETHWND_ERR"; break;
    case 12: name = "SETCLIPPER_ERR"; break;
    default: return true;
  }
  DebugLog(name);
  return false;
}

void DDSetDefaultRenderStates() {
  // Culling, depth, blending SRCALPHA / INVSRCALPHA, point sampling with wrapping: these
  // are the fixed rules of the quad loops (PixelOps) and need no state here.
}

void DDSetDrawColor(std::uint32_t argb) {
  if (g_lpD3DData) g_lpD3DData->dwDrawColor = argb;
}
void DDResetDrawColor() {
  if (g_lpD3DData) g_lpD3DData->dwDrawColor = 0xFFFFFFFF;
}
void DDSetColorOp(std::int32_t op) {
  if (g_lpD3DData) g_lpD3DData->nColorOp = op;
}
void DDResetColorOp() {
  if (g_lpD3DData) g_lpD3DData->nColorOp = D3DTOP_MODULATE;
}
void DDSetAlphaOpTexture() {
  if (g_lpD3DData) g_lpD3DData->nAlphaOp = D3DTOP_SELECTARG1;
}

void DDGetPixelFormatShifts(PIXELLAYOUT* layout) {
  if (g_lpD3DData || !g_lpDDData || !layout) return;
  switch (g_lpDDData->Format) {
    case plat::PixelFormat::Rgb565: *layout = PIXELLAYOUT{11, 5, 0, 0, 31, 63, 31, 0}; break;
    case plat::PixelFormat::Rgb555: *layout = PIXELLAYOUT{10, 5, 0, 0, 31, 31, 31, 0}; break;
    case plat::PixelFormat::Bgr24:
    case plat::PixelFormat::Xrgb8888: *layout = PIXELLAYOUT{16, 8, 0, 0, 255, 255, 255, 0}; break;
    default: break;
  }
}
