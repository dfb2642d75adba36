// The surfaces stage play draws from: its entries of the fixed bitmap table (the eight
// background layers named after the stage), the shot sheets at 32-pixel spacing, and the
// surfaces of the character-bitmap, sword and effect databases.
#include <algorithm>
#include <iterator>

#include "base/AppGlobals.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/Screen.h"
#include "gamedata/Database.h"
#include "gamedata/Stage.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDInit.h"
#include "stage/StageScene.h"

namespace {

// The table entries of the scene: 2 to 47, 49 to 51 and 55 to 68.
constexpr std::int32_t BACKGROUND_FIRST = 55;
constexpr int BACKGROUND_COUNT = 8;
constexpr int SHOT_LEFT = 20;
constexpr int SHOT_RIGHT = 21;
constexpr int SHOT_CELLS_LEFT = 63;
constexpr int SHOT_CELLS_RIGHT = 64;

const cVector<std::int32_t>& StageEntries() {
  static const cVector<std::int32_t> ids = [] {
    cVector<std::int32_t> v;
    for (int i = 2; i <= 47; ++i) v.push_back(i);
    for (int i = 49; i <= 51; ++i) v.push_back(i);
    for (int i = 55; i <= 68; ++i) v.push_back(i);
    return v;
  }();
  return ids;
}

bool Direct3D() { return g_lpD3DData != nullptr; }

// Four surfaces of one database bitmap: left-facing, right-facing (mirrored in cells of
// nCell, or the second file), and copies in system memory for stretched and effect
// drawing that refer to the first two.
void AddFourSurfaces(cVector<DDSURFACEDATA>& surfaces, cVector<DDSURFACEINFO>& infos, const std::string& left,
                     const std::string& right, int nMirror, const char* failure) {
  const int nNoTexture = Direct3D() ? 1 : 0;
  DDSURFACEINFO a, b, c, d;
  a.Set(left, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  b.Set(right, 1, 0, 0, 0, 0, 0, nMirror, 0, 0, 0);
  c.Set(left, 1, 1, 0, nNoTexture, 0, 0, 0, 0, 0, 0);
  d.Set(right, 1, 1, 0, nNoTexture, 0, 0, nMirror, 0, 0, 0);
  const int nFirst = surfaces.Size();
  for (DDSURFACEINFO* info : {&a, &b, &c, &d}) {
    infos.push_back(*info);
    surfaces.emplace_back();
  }
  for (int k = 0; k < 4; ++k) {
    const DDSURFACEINFO& info = infos[nFirst + k];
    DDSURFACEDATA& sd = surfaces[nFirst + k];
    const std::int32_t code =
        DDCreateSurfaceFromFile(&sd, info.szFileName, info.nColorKey, g_DDState.nBpp, info.nMemoryKind,
                                info.nForceSystem, info.nNoTexture, info.nIndexMap, info.nMirrorWidth, 0, false);
    if (!DDCheckLoadError(code)) DebugPrintf(failure, info.szFileName.c_str());
  }
  surfaces[nFirst + 2].lpAlias = &surfaces[nFirst];
  surfaces[nFirst + 3].lpAlias = &surfaces[nFirst + 1];
}

void ReleaseAll(cVector<DDSURFACEDATA>& surfaces, cVector<DDSURFACEINFO>& infos) {
  DDReleaseSurfaceVector(surfaces);
  surfaces.clear();
  infos.clear();
}

}  // namespace

bool cStageScene::LoadStageSurfaces(bool bBackgroundsOnly) {
  for (int i = 0; i < BACKGROUND_COUNT; ++i) {
    DDSURFACEINFO& entry = g_BmpTable[BACKGROUND_FIRST + i];
    entry.szFileName.clear();
    if (i >= g_Stage.m_Backgrounds.Size()) continue;
    const cEdBackground& layer = g_Stage.m_Backgrounds[i];
    // A hidden layer is loaded too: a flow may show it later.
    if (layer.m_bFill) continue;
    entry.szFileName = layer.m_strBitmap;
    if (entry.szFileName.empty()) continue;
    std::int32_t nLarger = 0;
    DDCheckBitmapSize(&nLarger, entry.szFileName, VIEW_WIDTH, VIEW_HEIGHT);
  }
  bool bLoaded = false;
  if (bBackgroundsOnly) {
    std::int32_t ids[BACKGROUND_COUNT];
    for (int i = 0; i < BACKGROUND_COUNT; ++i) ids[i] = BACKGROUND_FIRST + i;
    bLoaded = DDLoadSurfaces(g_SurfaceData, ids, BACKGROUND_COUNT);
  } else {
    const cVector<std::int32_t>& ids = StageEntries();
    bLoaded = DDLoadSurfaces(g_SurfaceData, ids.data(), ids.Size());
  }
  m_bTableLoaded = 1;
  if (!bLoaded) PostFailureClose();  // the loader has named the picture
  return bLoaded;
}

void cStageScene::BuildShotSheets() {
  for (auto [from, to] : {std::pair{SHOT_LEFT, SHOT_CELLS_LEFT}, std::pair{SHOT_RIGHT, SHOT_CELLS_RIGHT}}) {
    DDSURFACEDATA* target = &g_SurfaceData[to];
    DDSURFACEDATA* source = &g_SurfaceData[from];
    DDFillRect(target, 0, 0, target->nWidth, target->nHeight, 0);
    for (int r = 0; r < 30; ++r) {
      for (int c = 0; c < 4; ++c) {
        DDBlt(target, 8 + 64 * c, 8 + 32 * r, 16, 16, source, 32 * c, 16 * r, 1);
        DDBlt(target, 40 + 64 * c, 8 + 32 * r, 16, 16, source, 32 * c + 16, 16 * r, 1);
      }
    }
  }
}

void cStageScene::LoadCharaBitmaps() {
  ReleaseAll(m_CharaSurfaces, m_CharaInfos);
  const cVector<cEdBmpCharaExc>& db = g_Database.m_BmpCharaExcs;
  if (db.Size() <= 1) return;
  m_CharaSurfaces.reserve(4 * (db.Size() - 1));
  m_CharaInfos.reserve(4 * (db.Size() - 1));
  for (int i = 1; i < db.Size(); ++i) {
    const cEdBmpCharaExc& e = db[i];
    const int nCell = e.m_bCellSize ? BLOCK_SIZE * e.m_nCellSize : BLOCK_SIZE;
    AddFourSurfaces(m_CharaSurfaces, m_CharaInfos, e.m_strFile, e.m_strFile, nCell, "専用bmp %s 読み込み失敗！");
  }
}

void cStageScene::LoadSwordBitmaps() {
  ReleaseAll(m_SwordSurfaces, m_SwordInfos);
  const cVector<cEdSwordType>& db = g_Database.m_SwordTypes;
  // Every sword type has its four surfaces, entry 0 too: type t draws from 4t to 4t + 3.
  m_SwordSurfaces.reserve(4 * db.Size());
  m_SwordInfos.reserve(4 * db.Size());
  // A sword type has a bitmap of its own for each facing: nothing is mirrored.
  for (int i = 0; i < db.Size(); ++i)
    AddFourSurfaces(m_SwordSurfaces, m_SwordInfos, db[i].m_strFileLeft, db[i].m_strFileRight, 0,
                    "ソード %s 読み込み失敗！");
}

void cStageScene::LoadEffectBitmaps() {
  ReleaseAll(m_EffectSurfaces, m_EffectInfos);
  const cVector<cEdEffect>& db = g_Database.m_Effects;
  if (db.Size() <= 1) return;
  m_EffectSurfaces.reserve(2 * (db.Size() - 1));
  m_EffectInfos.reserve(2 * (db.Size() - 1));
  const int nNoTexture = Direct3D() ? 1 : 0;
  for (int i = 1; i < db.Size(); ++i) {
    DDSURFACEINFO a, b;
    a.Set(db[i].m_strFile, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    b.Set(db[i].m_strFile, 1, 1, 0, nNoTexture, 0, 1, 0, 0, 0, 0);
    const int nFirst = m_EffectSurfaces.Size();
    for (DDSURFACEINFO* info : {&a, &b}) {
      m_EffectInfos.push_back(*info);
      m_EffectSurfaces.emplace_back();
    }
    for (int k = 0; k < 2; ++k) {
      const DDSURFACEINFO& info = m_EffectInfos[nFirst + k];
      const std::int32_t code =
          DDCreateSurfaceFromFile(&m_EffectSurfaces[nFirst + k], info.szFileName, 1, g_DDState.nBpp, info.nMemoryKind,
                                  0, info.nNoTexture, 0, 0, 0, false);
      if (!DDCheckLoadError(code)) DebugPrintf("エフェクト %s 読み込み失敗！", info.szFileName.c_str());
    }
    m_EffectSurfaces[nFirst + 1].lpAlias = &m_EffectSurfaces[nFirst];
  }
}

void cStageScene::ReleaseSurfaces() {
  if (m_bTableLoaded) {
    for (std::int32_t id : StageEntries()) DDReleaseSurface(&g_SurfaceData[id]);
    m_bTableLoaded = 0;
  }
  ReleaseAll(m_CharaSurfaces, m_CharaInfos);
  ReleaseAll(m_SwordSurfaces, m_SwordInfos);
  ReleaseAll(m_EffectSurfaces, m_EffectInfos);
  DDReleaseSurface(&m_SightMask);
  DDReleaseSurface(&m_SightHole);
  m_nSightMaskRadius = -1;
  ReleasePictures();
  m_Popups.clear();
  ReleaseMessageSurfaces();
}

void cStageScene::CollectSurfaces(std::vector<DDSURFACEDATA*>& out) {
  for (cVector<DDSURFACEDATA>* v : {&m_CharaSurfaces, &m_EffectSurfaces, &m_SwordSurfaces})
    for (DDSURFACEDATA& s : *v) out.push_back(&s);
}
