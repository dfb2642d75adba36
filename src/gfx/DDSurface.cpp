#include "gfx/DDSurface.h"

#include <algorithm>
#include <vector>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "gfx/DDBitmapCopy.h"
#include "gfx/DDBlt.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/PixelOps.h"
#include "platform/bmp.h"

// Never destroyed: surface records in other files may outlive any order of teardown.
std::list<DDSURFACEDATA*>& g_SurfaceList = *new std::list<DDSURFACEDATA*>;

DDSURFACEDATA BackBuffer;
DDSURFACEDATA Primary;
DDSURFACEDATA VirBackBuffer;
DDSURFACEDATA WorkSD;
DDSURFACEDATA ScreenCopy;

namespace {

int s_nDrawParts = 0;
constexpr std::int32_t kCreateFailed = static_cast<std::int32_t>(0x80004005u);  // E_FAIL

void Unlist(DDSURFACEDATA* lpSD) { g_SurfaceList.remove(lpSD); }

void List(DDSURFACEDATA* lpSD) {
  if (std::find(g_SurfaceList.begin(), g_SurfaceList.end(), lpSD) == g_SurfaceList.end()) g_SurfaceList.push_back(lpSD);
}

// Converts a decoded bitmap into a texture: the key colour (as opaque ARGB) becomes
// transparent black, every other pixel is opaque; 8-bit fields become 5-bit by v * 31 / 255.
void FillTextureFromBitmap(plat::Surface& tex, const plat::bmp::Bitmap& b, bool keyed, std::uint32_t key) {
  const int w = std::min(b.width, tex.width()), h = std::min(b.height, tex.height());
  for (int y = 0; y < h; ++y) {
    if (tex.format() == plat::PixelFormat::Argb8888) {
      std::uint32_t* d = tex.rowAs<std::uint32_t>(y);
      for (int x = 0; x < w; ++x) {
        const std::uint32_t c = 0xFF000000u | b.rgbAt(x, y);
        d[x] = (keyed && c == key) ? 0u : c;
      }
    } else {
      std::uint16_t* d = tex.rowAs<std::uint16_t>(y);
      for (int x = 0; x < w; ++x) {
        const std::uint32_t c = 0xFF000000u | b.rgbAt(x, y);
        if (keyed && c == key) {
          d[x] = 0;
          continue;
        }
        const std::uint32_t r = ((c >> 16) & 255) * 31 / 255, g = ((c >> 8) & 255) * 31 / 255,
                            bl = (c & 255) * 31 / 255;
        d[x] = std::uint16_t(0x8000u | r << 10 | g << 5 | bl);
      }
    }
  }
}

void HintAndClose() {
  if (g_lpD3DData && !g_lpD3DData->strFailureHint.empty()) ErrorBoxPrintf("%s", g_lpD3DData->strFailureHint.c_str());
  PostCloseRequest();
}

std::int32_t CreateFromFileDirect3D(DDSURFACEDATA* lpSD, std::string_view fileName, std::int32_t colorKey,
                                    std::int32_t memoryKind, std::int32_t forceSystem, std::int32_t noTexture,
                                    std::int32_t mirrorWidth, std::int32_t mirrorHeight, bool restore) {
  D3DDEVICEDATA& d = *g_lpD3DData;
  lpSD->CreateParts();
  DDTEXTUREDATA& t = *lpSD->lpDT;
  const std::string name(fileName);
  if (!restore) {
    lpSD->szSurfaceType = "OffScreenFromFile";
    lpSD->szFileName = name;
    t.bInSystemMemory = forceSystem;
    t.lpSurface = nullptr;
    t.lpTexture.reset();
    t.bColorKey = colorKey == 1;
    if (!noTexture) t.nId = d.nSurfaceId++;
  }
  std::optional<plat::bmp::Bitmap> bitmap = plat::bmp::load(name);
  if (!bitmap) {
    if (!name.empty()) ReportPrintfDebug("LoadImage Err %s", name.c_str());
    return DDLOAD_LOADIMAGE_ERR;
  }
  t.bValid = 1;
  if (noTexture) {
    lpSD->nWidth = lpSD->nAllocWidth = bitmap->width;
    lpSD->nHeight = lpSD->nAllocHeight = bitmap->height;
  } else {
    std::int32_t w = bitmap->width, h = bitmap->height;
    DDAdjustTextureSize(&w, &h);
    if (!DDCheckTextureSize(w, h))
      ReportPrintfDebug("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", name.c_str());
    const std::uint8_t* kb = g_DDState.nBpp == 16 ? d.TransmitColor16 : d.TransmitColor;
    const std::uint32_t key = 0xFF000000u | std::uint32_t(kb[2]) << 16 | std::uint32_t(kb[1]) << 8 | kb[0];
    std::unique_ptr<plat::Surface> tex;
    if (!forceSystem) {
      plat::CreateResult why = plat::CreateResult::Ok;
      tex = plat::Surface::create(w, h, d.TextureFormat, plat::Memory::Video, &why);
      if (!tex) {
        if (why != plat::CreateResult::OutOfVideoMemory) return kCreateFailed;
        ReportPrintfDebug("VRAM不足のためシステムメモリにテクスチャを作成します。(%s)", name.c_str());
        t.bInSystemMemory = 1;
      }
    }
    // A texture that cannot live in video memory is made in system memory, also when a
    // device reset rebuilds it.
    if (t.bInSystemMemory) {
      t.bValid = 0;
      tex = plat::Surface::create(w, h, d.TextureFormat, plat::Memory::System);
      if (!tex) {
        ReportPrintfDebug("D3DXCreateTextureFromFileEx Err %x %s", static_cast<unsigned>(kCreateFailed), name.c_str());
        HintAndClose();
        return kCreateFailed;
      }
    }
    FillTextureFromBitmap(*tex, *bitmap, t.bColorKey != 0, key);
    t.lpTexture = std::move(tex);
    t.lpSurface = t.lpTexture.get();
    t.nLevelWidth = w;
    t.nLevelHeight = h;
    lpSD->nWidth = bitmap->width;
    lpSD->nHeight = bitmap->height;
    lpSD->nAllocWidth = w;
    lpSD->nAllocHeight = h;
    if (mirrorWidth || mirrorHeight) {
      DDSURFACEDATA temp;
      DDCreateSurfaceFromFile(&temp, fileName, colorKey, g_DDState.nBpp, memoryKind, forceSystem, 0, 0, 0, 0, false);
      const bool ok = CreateMirror(lpSD, &temp, mirrorWidth, mirrorHeight);
      DDReleaseSurface(&temp);
      if (!ok) {
        ReportPrintfDebug("CreateMirror Err");
        return DDLOAD_MIRROR_ERR;
      }
    }
    if (!restore) List(lpSD);
  }
  lpSD->nMirrorWidth = mirrorWidth;
  lpSD->nMirrorHeight = mirrorHeight;
  lpSD->nMemoryKind = memoryKind;
  return DDLOAD_OK;
}

}  // namespace

DDDRAWPART::DDDRAWPART() { ++s_nDrawParts; }
DDDRAWPART::~DDDRAWPART() { --s_nDrawParts; }
int DDDRAWPARTCount() { return s_nDrawParts; }

DDSURFACEDATA::~DDSURFACEDATA() {
  if (lpDT) Unlist(this);
}

DDSURFACEDATA::DDSURFACEDATA(DDSURFACEDATA&& o) noexcept { *this = std::move(o); }

DDSURFACEDATA& DDSURFACEDATA::operator=(DDSURFACEDATA&& o) noexcept {
  if (this == &o) return *this;
  if (lpDT) Unlist(this);
  lpDT = std::move(o.lpDT);
  lpDD = std::move(o.lpDD);
  szSurfaceType = std::move(o.szSurfaceType);
  nWidth = o.nWidth;
  nHeight = o.nHeight;
  nAllocWidth = o.nAllocWidth;
  nAllocHeight = o.nAllocHeight;
  szFileName = std::move(o.szFileName);
  nMemoryKind = o.nMemoryKind;
  nMirrorWidth = o.nMirrorWidth;
  nMirrorHeight = o.nMirrorHeight;
  lpAlias = o.lpAlias;
  o.lpAlias = nullptr;
  std::replace(g_SurfaceList.begin(), g_SurfaceList.end(), &o, this);
  return *this;
}

void DDSURFACEDATA::CreateParts() {
  if (g_lpD3DData) {
    if (!lpDT) lpDT = std::make_unique<DDTEXTUREDATA>();
  } else if (g_lpDDData) {
    if (!lpDD) lpDD = std::make_unique<DDDRAWPART>();
  }
}

plat::Surface* DDSURFACEDATA::Pixels() const {
  if (lpDT) return lpDT->lpSurface;
  if (lpDD) return lpDD->lpDDSurface.get();
  return nullptr;
}

void DDSURFACEINFO::Set(std::string_view name, std::int32_t colorKey, std::int32_t memoryKind, std::int32_t forceSystem,
                        std::int32_t noTexture, std::int32_t indexMap, std::int32_t optional, std::int32_t mirrorWidth,
                        std::int32_t mirrorHeight, std::int32_t blankWidth, std::int32_t blankHeight) {
  szFileName = std::string(name);
  nColorKey = colorKey;
  nMemoryKind = memoryKind;
  nForceSystem = forceSystem;
  nNoTexture = noTexture;
  nIndexMap = indexMap;
  nOptional = optional;
  nMirrorWidth = mirrorWidth;
  nMirrorHeight = mirrorHeight;
  nBlankWidth = blankWidth;
  nBlankHeight = blankHeight;
}

void DDAdjustTextureSize(std::int32_t* width, std::int32_t* height) {
  if (!g_lpD3DData || !width || !height) return;
  auto pow2 = [](std::int32_t v) {
    if (v <= 0 || (v & (v - 1)) == 0) return v;
    std::uint32_t top = 1u << (31 - __builtin_clz(static_cast<std::uint32_t>(v)));
    return static_cast<std::int32_t>(top * 2);
  };
  if (g_lpD3DData->bPow2) {
    *width = pow2(*width);
    *height = pow2(*height);
  }
  if (g_lpD3DData->bSquare) *width = *height = std::max(*width, *height);
}

bool DDCheckTextureSize(std::int32_t width, std::int32_t height) {
  if (!g_lpD3DData) return true;
  const plat::display::DeviceCaps& c = g_lpD3DData->Caps;
  bool ok = true;
  if (static_cast<std::uint32_t>(width) > static_cast<std::uint32_t>(c.maxTextureWidth)) {
    ReportPrintfDebug("このビデオカードでは横幅%dを超える画像はサポートされていません！", c.maxTextureWidth);
    ok = false;
  }
  if (static_cast<std::uint32_t>(height) > static_cast<std::uint32_t>(c.maxTextureHeight)) {
    ReportPrintfDebug("このビデオカードでは縦幅%dを超える画像はサポートされていません！", c.maxTextureHeight);
    ok = false;
  }
  return ok;
}

bool DDCreateSurface(DDSURFACEDATA* lpSD, std::int32_t width, std::int32_t height, std::int32_t colorKey,
                     std::int32_t memoryKind, std::int32_t forceSystem, std::int32_t noTexture, bool restore) {
  if (!lpSD) return false;
  if (g_lpD3DData) {
    D3DDEVICEDATA& d = *g_lpD3DData;
    lpSD->CreateParts();
    DDTEXTUREDATA& t = *lpSD->lpDT;
    if (!restore) {
      lpSD->szSurfaceType = "OffScreen";
      lpSD->szFileName = "E";
      t.bInSystemMemory = forceSystem;
      t.lpSurface = nullptr;
      t.lpTexture.reset();
      t.bColorKey = colorKey == 1;
      if (!noTexture) t.nId = d.nSurfaceId++;
    }
    t.bValid = 1;
    if (noTexture) {
      lpSD->nWidth = lpSD->nAllocWidth = width;
      lpSD->nHeight = lpSD->nAllocHeight = height;
      lpSD->nMemoryKind = memoryKind;
      return true;
    }
    std::int32_t w = width, h = height;
    DDAdjustTextureSize(&w, &h);
    if (!DDCheckTextureSize(w, h)) ReportPrintfDebug("上記の理由でテクスチャの描画が失敗する可能性があります。(空)");
    std::unique_ptr<plat::Surface> tex;
    if (!forceSystem) {
      plat::CreateResult why = plat::CreateResult::Ok;
      tex = plat::Surface::create(w, h, d.TextureFormat, plat::Memory::Video, &why);
      if (!tex) {
        if (why != plat::CreateResult::OutOfVideoMemory) return false;
        ReportPrintfDebug("VRAM不足のためシステムメモリにテクスチャを作成します。(空)");
        t.bInSystemMemory = 1;
      }
    }
    if (t.bInSystemMemory) {
      t.bValid = 0;
      tex = plat::Surface::create(w, h, d.TextureFormat, plat::Memory::System);
      if (!tex) {
        ReportPrintfDebug("D3DXCreateTexture Err hr = %x", static_cast<unsigned>(kCreateFailed));
        HintAndClose();
        return false;
      }
    }
    t.lpTexture = std::move(tex);
    t.lpSurface = t.lpTexture.get();
    t.nLevelWidth = w;
    t.nLevelHeight = h;
    lpSD->nWidth = width;
    lpSD->nHeight = height;
    lpSD->nAllocWidth = w;
    lpSD->nAllocHeight = h;
    lpSD->nMemoryKind = memoryKind;
    if (DDSetRenderTarget(0, lpSD)) {
      pix::fillRaw(*t.lpSurface, 0, 0, w, h, pix::argbToRaw(d.TextureFormat, d.dwBackTransmit));
      d.lpRenderTarget = d.lpParkingTarget;
    }
    if (!restore) List(lpSD);
    return true;
  }
  if (g_lpDDData) {
    lpSD->CreateParts();
    DDDRAWPART& p = *lpSD->lpDD;
    plat::Memory mem = memoryKind == 1 ? plat::Memory::System : plat::Memory::Video;
    std::unique_ptr<plat::Surface> s = plat::Surface::create(width, height, g_lpDDData->Format, mem);
    if (!s && memoryKind == 0) {
      memoryKind = 1;
      s = plat::Surface::create(width, height, g_lpDDData->Format, plat::Memory::System);
    }
    if (!s) return false;
    p.lpDDSurface = std::move(s);
    p.bColorKey = colorKey == 1;
    p.dwColorKey = g_TransmitPixel;
    // The size first, so that the clear below covers the whole new surface.
    lpSD->nWidth = lpSD->nAllocWidth = width;
    lpSD->nHeight = lpSD->nAllocHeight = height;
    lpSD->nMemoryKind = memoryKind;
    DDFillRect(lpSD, 0, 0, width, height, 0);
    return true;
  }
  return false;
}

std::int32_t DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, std::string_view fileName, std::int32_t colorKey,
                                     std::int32_t bpp, std::int32_t memoryKind, std::int32_t forceSystem,
                                     std::int32_t noTexture, std::int32_t indexMap, std::int32_t mirrorWidth,
                                     std::int32_t mirrorHeight, bool restore) {
  if (!lpSD) return DDLOAD_CREATESURFACE_ERR;
  if (g_lpD3DData)
    return CreateFromFileDirect3D(lpSD, fileName, colorKey, memoryKind, forceSystem, noTexture, mirrorWidth,
                                  mirrorHeight, restore);
  if (!g_lpDDData) return DDLOAD_CREATESURFACE_ERR;
  const std::string name(fileName);
  std::optional<plat::bmp::Bitmap> bitmap = plat::bmp::load(name);
  if (!bitmap) {
    DebugLog(name);
    return DDLOAD_LOADIMAGE_ERR;
  }
  if (!DDCreateSurface(lpSD, bitmap->width, bitmap->height, colorKey, memoryKind, 0, 0, false))
    return DDLOAD_CREATESURFACE_ERR;
  if (!DDCopyBitmapToSurface(lpSD, name, bpp, indexMap, mirrorWidth, mirrorHeight)) return DDLOAD_LOADIMAGE_ERR;
  lpSD->nWidth = lpSD->nAllocWidth = bitmap->width;
  lpSD->nHeight = lpSD->nAllocHeight = bitmap->height;
  lpSD->nMirrorWidth = mirrorWidth;
  lpSD->nMirrorHeight = mirrorHeight;
  lpSD->szFileName = name;
  return DDLOAD_OK;
}

bool DDCheckLoadError(std::int32_t code) {
  switch (code) {
    case 4: DebugLog("CREATESURFACE_ERR"); return false;
    case 8: DebugLog("LOADIMAGE_ERR"); return false;
    case 9: DebugLog("SETCOLORKEY_ERR"); return false;
    default: return true;
  }
}

bool CreateMirror(DDSURFACEDATA* lpSD, DDSURFACEDATA* source, std::int32_t cellWidth, std::int32_t cellHeight) {
  if (!g_lpD3DData || cellWidth == 0 || cellHeight != 0 || !lpSD || !source) return true;
  D3DDEVICEDATA& d = *g_lpD3DData;
  if (plat::Surface* s = lpSD->Pixels()) {
    if (lpSD->lpDT->bValid) {
      pix::fillRaw(*s, 0, 0, s->width(), s->height(), pix::argbToRaw(s->format(), d.dwTransmitFill));
    } else {
      pix::fillRaw(*s, 0, 0, s->width(), s->height(), 0);
    }
  }
  const int cells = source->nWidth / cellWidth;
  for (int i = 0; i < cells; ++i)
    DDStretchBlt(lpSD, i * cellWidth, 0, cellWidth, source->nHeight, source, i * cellWidth + cellWidth, 0, -cellWidth,
                 source->nHeight, 0);
  return true;
}

void DDFreeSurface(DDSURFACEDATA* lpSD) {
  if (!lpSD) return;
  if (lpSD->lpDT) {
    if (!lpSD->lpAlias) {
      const std::int32_t id = lpSD->lpDT->nId;
      lpSD->lpDT->lpTexture.reset();
      lpSD->lpDT->lpSurface = nullptr;
      g_SurfaceList.remove_if(
          [&](DDSURFACEDATA* s) { return s == lpSD || (s->lpDT && s->lpDT->nId == id && id != 0); });
    }
    Unlist(lpSD);
    lpSD->lpDT.reset();
  }
  lpSD->lpDD.reset();
}

void DDReleaseSurface(DDSURFACEDATA* lpSD) { DDFreeSurface(lpSD); }

void DDReleaseSurfaceVector(cVector<DDSURFACEDATA>& surfaces) {
  for (DDSURFACEDATA& s : surfaces) DDReleaseSurface(&s);
}

void DDReleaseSurfaceList(cVectorList<DDSURFACEDATA>& surfaces) {
  for (DDSURFACEDATA& s : surfaces) DDReleaseSurface(&s);
}

bool DDAddSurface(cVector<DDSURFACEDATA>& surfaces, cVector<DDSURFACEINFO>& infos, std::int32_t width,
                  std::int32_t height, std::int32_t colorKey, std::int32_t memoryKind, std::int32_t forceSystem,
                  std::int32_t noTexture) {
  surfaces.emplace_back();
  DDSURFACEINFO info;
  info.Set("", colorKey, memoryKind, forceSystem, noTexture, 0, 0, 0, 0, 0, 0);
  infos.push_back(info);
  return DDCreateSurface(&surfaces.back(), width, height, colorKey, memoryKind, forceSystem, noTexture, false);
}

bool DDAddListSurface(cVectorList<DDSURFACEDATA>& surfaces, cVectorList<DDSURFACEINFO>& infos, std::int32_t width,
                      std::int32_t height, std::int32_t colorKey, std::int32_t memoryKind, std::int32_t forceSystem,
                      std::int32_t noTexture) {
  surfaces.emplace_back();
  DDSURFACEINFO info;
  info.Set("", colorKey, memoryKind, forceSystem, noTexture, 0, 0, 0, 0, 0, 0);
  infos.push_back(info);
  return DDCreateSurface(&surfaces.back(), width, height, colorKey, memoryKind, forceSystem, noTexture, false);
}

bool DDRemoveListSurface(cVectorList<DDSURFACEDATA>& surfaces, cVectorList<DDSURFACEINFO>& infos, DDSURFACEDATA* lpSD) {
  auto info = infos.begin();
  for (auto it = surfaces.begin(); it != surfaces.end(); ++it) {
    if (&*it == lpSD) {
      DDReleaseSurface(lpSD);
      surfaces.erase(it);
      if (info != infos.end()) infos.erase(info);
      return true;
    }
    if (info != infos.end()) ++info;
  }
  return false;
}

bool DDCheckBitmapSize(std::int32_t* larger, std::string_view fileName, std::int32_t maxWidth, std::int32_t maxHeight) {
  if (g_lpD3DData) return true;
  if (larger) *larger = 0;
  std::optional<plat::bmp::Bitmap> b = plat::bmp::load(fileName);
  if (!b) return false;
  if (larger) *larger = (b->width > maxWidth || b->height > maxHeight) ? 1 : 0;
  return true;
}

bool DDLock(DDSURFACEDATA* lpSD, DDLOCKDESC* desc, void** pixels, std::int32_t) {
  if (g_lpD3DData) {
    DebugLog("D3DではDDLockは未対応");
    return false;
  }
  if (!lpSD || !lpSD->lpDD || !lpSD->lpDD->lpDDSurface) return false;
  plat::Surface::Lock l;
  if (!lpSD->lpDD->lpDDSurface->lock(l)) return false;
  if (desc) {
    desc->lPitch = l.pitch;
    desc->dwWidth = lpSD->lpDD->lpDDSurface->width();
    desc->dwHeight = lpSD->lpDD->lpDDSurface->height();
    desc->lpSurface = l.pixels;
  }
  if (pixels) *pixels = l.pixels;
  return true;
}

void DDUnlock(DDSURFACEDATA* lpSD) {
  if (lpSD && lpSD->lpDD && lpSD->lpDD->lpDDSurface) lpSD->lpDD->lpDDSurface->unlock();
}

bool cSurfaceLock::Lock(DDSURFACEDATA* lpSD) {
  Unlock();
  if (!lpSD) return false;
  if (g_lpD3DData) {
    plat::Surface* s = lpSD->lpDT ? lpSD->lpDT->lpSurface : nullptr;
    plat::Surface::Lock l;
    if (!s || !s->lock(l)) {
      if (lpSD->lpDT && lpSD->lpDT->bValid && lpSD != &BackBuffer)
        DebugErrorBoxPrintf(
            "FAILED( lpDevice->GetRenderTargetData(lpSD->lpDT->lpSurface,lpSD->lpDT->lpSystemSurface) )");
      else DebugErrorBoxPrintf("FAILED( lpSD->lpDT->lpSurface->LockRect(&(lock), NULL, 0) )");
      return false;
    }
    m_lpSurface = s;
    m_pBits = l.pixels;
    m_nPitch = l.pitch / s->bytesPerPixel();
    m_lpSD = lpSD;
    return true;
  }
  void* bits = nullptr;
  DDLOCKDESC desc;
  if (!DDLock(lpSD, &desc, &bits, g_DDState.nBpp)) return false;
  m_lpSurface = lpSD->lpDD->lpDDSurface.get();
  m_pBits = bits;
  m_nPitch = desc.lPitch / m_lpSurface->bytesPerPixel();
  m_lpSD = lpSD;
  return true;
}

void cSurfaceLock::Unlock() {
  if (!m_lpSD) return;
  if (m_lpSurface) m_lpSurface->unlock();
  m_lpSD = nullptr;
  m_pBits = nullptr;
  m_lpSurface = nullptr;
}
