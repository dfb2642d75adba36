// Surface records: every image drawn from or into is a DDSURFACEDATA owned by its
// caller; it carries the part of the open drawing mode (a texture under Direct3D, a
// raw surface under DirectDraw). Creation of blank and file surfaces, mirrored sheets,
// release, the restore list of the device reset, and pixel locking.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "base/Vector.h"
#include "platform/surface.h"

// The Direct3D part: a render-target texture (or the device's back buffer).
struct DDTEXTUREDATA {
  std::int32_t nId = 0;
  plat::Surface* lpSurface = nullptr;              // level 0 of the texture, or the back buffer
  std::unique_ptr<plat::Surface> lpTexture;        // the texture's pixels, when it has its own
  std::int32_t nLevelWidth = 0, nLevelHeight = 0;  // the allocated size of level 0
  std::int32_t bInSystemMemory = 0;
  std::int32_t bColorKey = 0;
  std::int32_t bRecreated = 0;  // set when a device reset re-created this blank surface
  std::int32_t bValid = 0;      // 1: can be a render target; 0: a texture in system memory
};

// The DirectDraw part: an off-screen surface and, in 16-bit mode on request, the
// palette number of every pixel.
struct DDDRAWPART {
  DDDRAWPART();
  ~DDDRAWPART();
  DDDRAWPART(const DDDRAWPART&) = delete;
  DDDRAWPART& operator=(const DDDRAWPART&) = delete;
  std::unique_ptr<plat::Surface> lpDDSurface;
  std::vector<std::uint8_t> IndexMap;
  bool bIndexMap = false;
  bool bColorKey = false;
  std::uint32_t dwColorKey = 0;
};

struct DDSURFACEDATA {
  std::unique_ptr<DDTEXTUREDATA> lpDT;
  std::unique_ptr<DDDRAWPART> lpDD;
  std::string szSurfaceType;
  std::int32_t nWidth = 0, nHeight = 0;  // logical size
  std::int32_t nAllocWidth = 0, nAllocHeight = 0;
  std::string szFileName;
  std::int32_t nMemoryKind = 0;
  std::int32_t nMirrorWidth = 0, nMirrorHeight = 0;
  DDSURFACEDATA* lpAlias = nullptr;

  DDSURFACEDATA() = default;
  ~DDSURFACEDATA();
  // Records move when the vectors holding them grow; the restore list follows them.
  DDSURFACEDATA(DDSURFACEDATA&& other) noexcept;
  DDSURFACEDATA& operator=(DDSURFACEDATA&& other) noexcept;
  DDSURFACEDATA(const DDSURFACEDATA&) = delete;
  DDSURFACEDATA& operator=(const DDSURFACEDATA&) = delete;

  void CreateParts();
  // The pixels this record draws with in the open mode (null when it has none).
  plat::Surface* Pixels() const;
};

// The descriptor a surface is (re)created from.
struct DDSURFACEINFO {
  std::string szFileName;
  std::int32_t nColorKey = 0;
  std::int32_t nMemoryKind = 0;
  std::int32_t nForceSystem = 0;
  std::int32_t nNoTexture = 0;
  std::int32_t nIndexMap = 0;
  std::int32_t nOptional = 0;
  std::int32_t nMirrorWidth = 0;
  std::int32_t nMirrorHeight = 0;
  std::int32_t nBlankWidth = 0;
  std::int32_t nBlankHeight = 0;

  void Set(std::string_view name, std::int32_t colorKey, std::int32_t memoryKind, std::int32_t forceSystem,
           std::int32_t noTexture, std::int32_t indexMap, std::int32_t optional, std::int32_t mirrorWidth,
           std::int32_t mirrorHeight, std::int32_t blankWidth, std::int32_t blankHeight);
};

// DirectDraw parts alive (the leak check at shutdown).
int DDDRAWPARTCount();

// Every Direct3D surface with a texture, in creation order (walked by the device reset).
extern std::list<DDSURFACEDATA*>& g_SurfaceList;

// The screen surfaces.
extern DDSURFACEDATA BackBuffer;
extern DDSURFACEDATA Primary;
extern DDSURFACEDATA VirBackBuffer;
extern DDSURFACEDATA WorkSD;
extern DDSURFACEDATA ScreenCopy;

// Load result codes of DDCreateSurfaceFromFile.
// clang-format off
enum : std::int32_t { DDLOAD_OK = 0, DDLOAD_MIRROR_ERR = 1, DDLOAD_CREATESURFACE_ERR = 4, DDLOAD_LOADIMAGE_ERR = 8,
                      DDLOAD_SETCOLORKEY_ERR = 9 };
// clang-format on

bool DDCreateSurface(DDSURFACEDATA* lpSD, std::int32_t width, std::int32_t height, std::int32_t colorKey,
                     std::int32_t memoryKind, std::int32_t forceSystem, std::int32_t noTexture, bool restore);
std::int32_t DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, std::string_view fileName, std::int32_t colorKey,
                                     std::int32_t bpp, std::int32_t memoryKind, std::int32_t forceSystem,
                                     std::int32_t noTexture, std::int32_t indexMap, std::int32_t mirrorWidth,
                                     std::int32_t mirrorHeight, bool restore);
bool DDCheckLoadError(std::int32_t code);
bool CreateMirror(DDSURFACEDATA* lpSD, DDSURFACEDATA* source, std::int32_t cellWidth, std::int32_t cellHeight);
void DDAdjustTextureSize(std::int32_t* width, std::int32_t* height);
bool DDCheckTextureSize(std::int32_t width, std::int32_t height);
void DDReleaseSurface(DDSURFACEDATA* lpSD);
void DDFreeSurface(DDSURFACEDATA* lpSD);
void DDReleaseSurfaceVector(cVector<DDSURFACEDATA>& surfaces);
void DDReleaseSurfaceList(cVectorList<DDSURFACEDATA>& surfaces);
bool DDAddSurface(cVector<DDSURFACEDATA>& surfaces, cVector<DDSURFACEINFO>& infos, std::int32_t width,
                  std::int32_t height, std::int32_t colorKey, std::int32_t memoryKind, std::int32_t forceSystem,
                  std::int32_t noTexture);
bool DDAddListSurface(cVectorList<DDSURFACEDATA>& surfaces, cVectorList<DDSURFACEINFO>& infos, std::int32_t width,
                      std::int32_t height, std::int32_t colorKey, std::int32_t memoryKind, std::int32_t forceSystem,
                      std::int32_t noTexture);
bool DDRemoveListSurface(cVectorList<DDSURFACEDATA>& surfaces, cVectorList<DDSURFACEINFO>& infos, DDSURFACEDATA* lpSD);
bool DDCheckBitmapSize(std::int32_t* larger, std::string_view fileName, std::int32_t maxWidth, std::int32_t maxHeight);

// The lock of a DirectDraw surface: pixels and the pitch in bytes.
struct DDLOCKDESC {
  std::int32_t dwSize = 124;
  std::int32_t lPitch = 0;
  std::int32_t dwWidth = 0, dwHeight = 0;
  void* lpSurface = nullptr;
};
bool DDLock(DDSURFACEDATA* lpSD, DDLOCKDESC* desc, void** pixels, std::int32_t bpp);
void DDUnlock(DDSURFACEDATA* lpSD);

// Pixel access to one surface in either mode; unlocks in its destructor.
class cSurfaceLock {
 public:
  cSurfaceLock() = default;
  explicit cSurfaceLock(DDSURFACEDATA* lpSD) { Lock(lpSD); }
  ~cSurfaceLock() { Unlock(); }
  cSurfaceLock(const cSurfaceLock&) = delete;
  cSurfaceLock& operator=(const cSurfaceLock&) = delete;

  bool Lock(DDSURFACEDATA* lpSD);
  void Unlock();
  bool IsLocked() const { return m_lpSD != nullptr; }

  DDSURFACEDATA* m_lpSD = nullptr;
  void* m_pBits = nullptr;
  std::int32_t m_nPitch = 0;  // pixels
  plat::Surface* m_lpSurface = nullptr;

  template <class T>
  T* Row(int y) const {
    return reinterpret_cast<T*>(static_cast<std::uint8_t*>(m_pBits) +
                                static_cast<std::ptrdiff_t>(y) * m_lpSurface->pitch());
  }
};
