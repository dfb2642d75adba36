#include "stage/ImageRef.h"

#include "base/Screen.h"
#include "gamedata/Database.h"
#include "gamedata/EditLabels.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "stage/Actor.h"
#include "stage/StageScene.h"

namespace {

// Fixed-table entries of the sheets.
enum : int {
  SHEET_BLOCK = 2,
  SHEET_BLOCK_STRETCH = 3,
  SHEET_CHARA = 4,           // 4 + 2k left, 5 + 2k right, k = 0 to 7
  SHEET_CHARA_STRETCH = 22,  // the second set of the same files
  SHEET_ITEM = 40,
  SHEET_ITEM_STRETCH = 41,
  SHEET_ITEM_MINI = 42,
  SHEET_EMBLEM = 43,
  SHEET_SHOT_CELLS = 63,  // 63 left, 64 right
};
constexpr int CHARA_SHEETS = 8;

DDSURFACEDATA* Table(int nEntry) { return &g_SurfaceData[nEntry]; }

// Surface n of the database character bitmaps.
DDSURFACEDATA* CharaSurface(int n) { return &TheStage().m_CharaSurfaces[n]; }

// A database bitmap that exists and whose four surfaces are loaded (entries count from 1).
bool HasCharaBitmap(int nIndex) {
  if (nIndex < 1 || nIndex >= g_Database.m_BmpCharaExcs.Size()) return false;
  const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  return pScene && 4 * nIndex <= pScene->m_CharaSurfaces.Size();
}

}  // namespace

void cImageRef::Set(int nCaller, int nKind, int nIndex, int nParam, const cActor* pActor, int nPattern) {
  m_bOwnScale = 0;
  m_nCellScale = 1;
  const bool bActor = nCaller == IMAGE_CALLER_ACTOR && pActor;
  const int f = bActor ? (pActor->m_nFacing != 0 ? 1 : 0) : 0;
  switch (nKind) {
    case IMAGE_SHEET_BLOCK:
      m_pSheet = m_pOtherSheet = Table(SHEET_BLOCK);
      m_pStretchSheet = m_pOtherStretchSheet = Table(SHEET_BLOCK_STRETCH);
      m_nSrcX = nIndex / 15 * BLOCK_SIZE;
      m_nSrcY = nIndex % 15 * BLOCK_SIZE;
      break;
    case IMAGE_SHEET_CHARA: {
      const int k = nIndex / 15;
      int nColumn = 0;
      int nFacing = 0;
      if (bActor) {
        nFacing = f;
        nColumn = nParam + nPattern;
      } else if (nParam >= 20) {  // a parameter from 20 names a column of the right-facing sheet
        nFacing = 1;
        nColumn = nParam - 20;
      } else {
        nColumn = nParam;
      }
      m_nSrcX = nColumn * BLOCK_SIZE;
      m_nSrcY = nIndex % 15 * BLOCK_SIZE;
      if (k >= 0 && k < CHARA_SHEETS) {
        m_pSheet = Table(SHEET_CHARA + 2 * k + nFacing);
        m_pStretchSheet = Table(SHEET_CHARA_STRETCH + 2 * k + nFacing);
        if (bActor) {
          m_pOtherSheet = Table(SHEET_CHARA + 2 * k + 1 - nFacing);
          m_pOtherStretchSheet = Table(SHEET_CHARA_STRETCH + 2 * k + 1 - nFacing);
        }
      }
      // A cell beyond its sheet (or a sheet beyond the eight) shows the first cell.
      if (k < 0 || k >= CHARA_SHEETS || m_nSrcX >= m_pSheet->nWidth || m_nSrcY >= m_pSheet->nHeight) {
        m_pSheet = Table(SHEET_CHARA);
        m_pStretchSheet = Table(SHEET_CHARA_STRETCH);
        m_nSrcX = m_nSrcY = 0;
      }
      break;
    }
    case IMAGE_SHEET_ITEM:
      m_pSheet = Table(SHEET_ITEM);
      m_pStretchSheet = Table(SHEET_ITEM_STRETCH);
      m_nSrcX = nIndex / 15 * (2 * BLOCK_SIZE) + (nCaller == IMAGE_CALLER_ITEM ? nPattern * BLOCK_SIZE : 0);
      m_nSrcY = nIndex % 15 * BLOCK_SIZE;
      break;
    case IMAGE_SHEET_SHOT:
      if (bActor) {
        m_pSheet = m_pStretchSheet = Table(SHEET_SHOT_CELLS + f);
        m_pOtherSheet = m_pOtherStretchSheet = Table(SHEET_SHOT_CELLS + 1 - f);
      } else {
        m_pSheet = m_pStretchSheet = Table(SHEET_SHOT_CELLS);
      }
      m_nSrcX = nIndex / 30 * (2 * BLOCK_SIZE);
      m_nSrcY = nIndex % 30 * BLOCK_SIZE;
      break;
    case IMAGE_SHEET_OWN_BITMAP: {
      if (!HasCharaBitmap(nIndex)) break;
      const int nBase = 4 * (nIndex - 1);
      int nCell = nParam;
      if (bActor) {
        m_pSheet = CharaSurface(nBase + f);
        m_pStretchSheet = CharaSurface(nBase + f + 2);
        m_pOtherSheet = CharaSurface(nBase + 1 - f);
        m_pOtherStretchSheet = CharaSurface(nBase + 1 - f + 2);
        nCell = nParam + nPattern;
      } else {
        m_pSheet = CharaSurface(nBase);
        m_pStretchSheet = CharaSurface(nBase + 2);
      }
      const cEdBmpCharaExc& bitmap = g_Database.m_BmpCharaExcs[nIndex];
      if (bitmap.m_bCellSize) {
        m_bOwnScale = 1;
        m_nCellScale = static_cast<std::uint8_t>(bitmap.CellPixels() / BLOCK_SIZE);
      }
      bitmap.PatternPos(nCell, m_nSrcX, m_nSrcY);
      break;
    }
    default: break;
  }
}

void DrawHalfIcon(DDSURFACEDATA* lpSD, int x, int y, int nKind, int nIndex, int nParam) {
  switch (nKind) {
    case IMAGE_SHEET_BLOCK:
      DDStretchBlt(lpSD, x, y, 16, 16, Table(SHEET_BLOCK_STRETCH), nIndex / 15 * BLOCK_SIZE, nIndex % 15 * BLOCK_SIZE,
                   BLOCK_SIZE, BLOCK_SIZE, 1);
      break;
    case IMAGE_SHEET_CHARA: {
      const int k = nIndex / 15;
      if (k < 0 || k >= CHARA_SHEETS) break;
      DDStretchBlt(lpSD, x, y, 16, 16, Table(SHEET_CHARA_STRETCH + 2 * k), nParam * BLOCK_SIZE,
                   nIndex % 15 * BLOCK_SIZE, BLOCK_SIZE, BLOCK_SIZE, 1);
      break;
    }
    case IMAGE_SHEET_ITEM:
      DDBlt(lpSD, x, y, 16, 16, Table(SHEET_ITEM_MINI), nIndex / 15 * 32, nIndex % 15 * 16, 1);
      break;
    case IMAGE_SHEET_SHOT:
      DDStretchBlt(lpSD, x, y, 16, 16, Table(SHEET_SHOT_CELLS), nIndex / 30 * (2 * BLOCK_SIZE),
                   nIndex % 30 * BLOCK_SIZE, BLOCK_SIZE, BLOCK_SIZE, 1);
      break;
    case IMAGE_SHEET_OWN_BITMAP: {
      if (!HasCharaBitmap(nIndex)) break;
      const cEdBmpCharaExc& bitmap = g_Database.m_BmpCharaExcs[nIndex];
      int sx = 0;
      int sy = 0;
      bitmap.PatternPos(nParam, sx, sy);
      const int nCell = bitmap.CellPixels();
      DDStretchBlt(lpSD, x, y, 16, 16, CharaSurface(4 * (nIndex - 1) + 2), sx, sy, nCell, nCell, 1);
      break;
    }
    default: break;
  }
}

void cActor::ApplyBasicAnimeSet(int nSet, int bForce) {
  if (!bForce && nSet == m_Def.m_nAnimeSet) return;
  m_Def.m_nAnimeSet = static_cast<std::int16_t>(nSet);
  m_Anime.m_Sequences.clear();
  const cEdAnimeSet& set = g_Database.m_AnimeSets[nSet];
  for (const cEdAnime& anime : set.m_Slots) {
    cVector<ANIMESTEP> sequence;
    for (const cEdAnimeFrame& frame : anime.m_Frames)
      sequence.push_back(ANIMESTEP{frame.m_nPattern, frame.m_nTime * 6, 1});
    sequence.push_back(ANIMESTEP{ANIME_CODE_LOOP, 0, 1});
    m_Anime.m_Sequences.push_back(std::move(sequence));
  }
  m_Anime.m_nFrame = 0;
  m_Anime.m_nTick = 0;
}
