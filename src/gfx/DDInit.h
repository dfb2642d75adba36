// Graphics start-up and shutdown: the module state of the drawing library, the two
// state records of its drawing modes ("Direct3D": textured quads on render-target
// textures; "DirectDraw": raw surfaces with colour keys), DDInit and DDUnInit, and the
// draw colour and colour operation that the blits read.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "base/Screen.h"
#include "platform/display.h"
#include "platform/messaging.h"
#include "platform/surface.h"

struct DDSURFACEDATA;
struct DDSURFACEINFO;
class Font;

// Shift and maximum (mask shifted down) of each colour field of a pixel format.
struct PIXELLAYOUT {
  std::uint16_t wShiftR = 0, wShiftG = 0, wShiftB = 0, wShiftA = 0;
  std::uint16_t wMaxR = 0, wMaxG = 0, wMaxB = 0, wMaxA = 0;
};

// What the device was opened with (the parts of the present parameters we keep).
struct D3DPRESENTPARAMS {
  int nBackBufferWidth = 0;
  int nBackBufferHeight = 0;
  int nBackBufferFormat = 0;
  int nBackBufferCount = 1;
  int bWindowed = 0;
  int nRefreshRate = 0;
  int bLockableBackBuffer = 1;
  int bIntervalDefault = 0;  // vertical sync (interval DEFAULT); 0 = IMMEDIATE
  int nSwapEffect = 0;       // 1 DISCARD, 3 COPY
};

// Texture operations of stage 0 that the blits use (Direct3D numbering).
enum : std::int32_t {
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_ADD = 7,
  D3DTOP_SUBTRACT = 10,
  D3DTOP_BLENDFACTORALPHA = 14,
};

// Back-buffer and texture formats (Direct3D numbering).
enum : std::int32_t {
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_A1R5G5B5 = 25,
};

// State of the "Direct3D" mode; exists exactly while that mode is open.
struct D3DDEVICEDATA {
  std::int32_t nSurfaceFormat = 0;
  std::int32_t nTextureFormat = 0;
  D3DPRESENTPARAMS PresentParams;
  std::uint32_t nAdapter = 0;
  std::uint32_t nDeviceType = 1;
  std::int32_t nAdapterFormat = 0;
  plat::display::DeviceCaps Caps;
  std::int32_t bPow2 = 0;
  std::int32_t bSquare = 0;
  std::int32_t bVirBackBuffer = 0;
  DDSURFACEDATA* lpParkingTarget = nullptr;
  std::int32_t bFlushing = 0;
  std::uint8_t TransmitColor[3] = {0, 0, 0};    // blue, green, red
  std::uint8_t TransmitColor16[3] = {0, 0, 0};  // blue, green, red: the key of 16-bit loads
  std::uint32_t dwTransmitFill = 0;
  std::uint32_t dwBackTransmit = 0;
  std::uint16_t wTransmitFill16 = 0;
  std::uint16_t wBackTransmit16 = 0;
  std::int32_t bSceneOpen = 0;
  std::uint32_t dwDrawColor = 0xFFFFFFFF;
  std::int32_t nColorOp = D3DTOP_MODULATE;
  std::int32_t nAlphaOp = D3DTOP_MODULATE;
  std::uint32_t dwTextureFactor = 0;
  std::int32_t nSurfaceId = 0;
  std::int32_t nFontId = 0;
  std::string strFailureHint;
  DDSURFACEDATA* lpRenderTarget = nullptr;  // the surface drawing goes into
  // Pixel formats of our surfaces in this mode.
  plat::PixelFormat BackFormat = plat::PixelFormat::Xrgb8888;
  plat::PixelFormat TextureFormat = plat::PixelFormat::Argb8888;
};

// State of the "DirectDraw" mode; exists exactly while that mode is open.
struct DDRAWDATA {
  std::uint8_t TransmitColor[3] = {0, 0, 0};    // blue, green, red
  std::uint8_t TransmitColor16[3] = {0, 0, 0};  // blue, green, red
  std::int32_t nFontId = 0;
  plat::PixelFormat Format = plat::PixelFormat::Xrgb8888;  // the display's pixel format
  bool bPalette = false;                                   // the 256-entry palette object exists
  bool bClipper = false;
};

// The module state set by DDInit.
struct DDMODULESTATE {
  std::int32_t bUseD3D = 0;
  plat::WindowToken hWnd = 0;
  std::int32_t nWidth = SCREEN_WIDTH;
  std::int32_t nHeight = SCREEN_HEIGHT;
  std::int32_t nBpp = 32;
  std::int32_t nBytesPerPixel = 4;
  std::int32_t bVSync = 0;
  std::int32_t bWindowed = 1;
  std::int32_t nBackBufferCount = 1;
  std::int32_t nRefresh = 60;
  std::int32_t bUseRefresh = 0;
  DDSURFACEDATA* lpSurfaceArray = nullptr;
  DDSURFACEINFO* lpInfoTable = nullptr;
  std::int32_t nSurfaceCount = 0;
  std::int32_t bInitialized = 0;
  std::int32_t bReinit = 0;
  std::int32_t nPrimaryBackBuffers = 0;  // back buffers asked of a full-screen primary
};

extern DDMODULESTATE g_DDState;
extern D3DDEVICEDATA* g_lpD3DData;  // non-null exactly in Direct3D mode
extern DDRAWDATA* g_lpDDData;       // non-null exactly in DirectDraw mode
extern std::uint32_t g_TransmitPixel;
extern PIXELLAYOUT g_ScreenLayout;
extern PIXELLAYOUT g_PixelLayout;
extern std::list<Font*>& g_FontList;

bool DDInit(std::int32_t useD3D, plat::WindowToken hwnd, std::int32_t width, std::int32_t height, std::int32_t bpp,
            std::int32_t vsync, std::int32_t windowed, std::int32_t backBufferCount, std::int32_t refresh,
            std::int32_t useRefresh, DDSURFACEDATA* surfaceArray, DDSURFACEINFO* descriptorTable, std::int32_t count);
void DDUnInit();
void DDExit();
bool DDCheckInitError(std::int32_t code);
void DDSetDefaultRenderStates();
void DDSetDrawColor(std::uint32_t argb);
void DDResetDrawColor();
void DDSetColorOp(std::int32_t op);
void DDResetColorOp();
void DDSetAlphaOpTexture();
void DDGetPixelFormatShifts(PIXELLAYOUT* layout);

// The device's own back buffer under Direct3D (what BackBuffer draws into).
plat::Surface* DDDeviceBackBuffer();
