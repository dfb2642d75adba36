#include <cstdint>
#include <cstdlib>

#include "base/AppGlobals.h"
#include "base/Screen.h"
#include "base/SjisText.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/Font.h"
#include "records/PlayRecord.h"
#include "stage/ImageRef.h"
#include "stage/MessagePopup.h"
#include "stage/ObjectLists.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"

cVectorList<DDSURFACEDATA> g_MessageSurfaces;
cVectorList<DDSURFACEINFO> g_MessageSurfaceInfos;

namespace {

constexpr int POPUP_FONT = 1;
constexpr int EXTRA_LIFE_SX = 0, EXTRA_LIFE_SY = 48;
constexpr int ZOOM_STEPS = 10;  // drawings of the growing window frame, the last shows the text
constexpr int STATUS_BAR_HEIGHT = 20;

std::int32_t g_nNextPopupId = 0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of an escape, formatted: at least nWidth characters of digits (spaces in
// front unless zero-padded), then the sign in front of them.
std::string FormatValue(std::int32_t v, int nWidth, bool bPlus, bool bZero) {
  const std::int64_t a = std::llabs(static_cast<std::int64_t>(v));
  int nCount = 1;
  for (std::int64_t t = a; t >= 10; t /= 10) ++nCount;
  if (nWidth != 0 && nWidth >= nCount) nCount = nWidth;
  std::string digits(static_cast<std::size_t>(nCount), '0');
  std::int64_t t = a;
  for (int i = nCount - 1; i >= 0; --i, t /= 10) digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + t % 10);
  if (!bZero)
    for (int i = 0; i < nCount - 1 && digits[static_cast<std::size_t>(i)] == '0'; ++i)
      digits[static_cast<std::size_t>(i)] = ' ';
  if (v < 0) return "-" + digits;
  if (bPlus) return "+" + digits;
  return digits;
}

}  // namespace

cMessagePopup::cMessagePopup(int nKind, std::string_view text, int nGraphicKind, int nGraphicIndex, int nGraphicParam,
                             int nPlacement, int nBlockX, int nBlockY, int nPixelX, int nPixelY, int bKeepInside,
                             int nMode, int nFrames, int bHalting, int nAnchor, int bContinued, int bEscapes)
    : m_nKind(nKind),
      m_strText(text),
      m_nGraphicKind(nGraphicKind),
      m_nGraphicIndex(nGraphicIndex),
      m_nGraphicParam(nGraphicParam),
      m_nPlacement(nPlacement),
      m_nBlockX(nBlockX),
      m_nBlockY(nBlockY),
      m_nPixelX(nPixelX),
      m_nPixelY(nPixelY),
      m_bKeepInside(bKeepInside),
      m_nMode(nMode),
      m_nAnchor(nAnchor),
      m_nFrames(nFrames),
      m_bHalting(bHalting),
      m_nId(++g_nNextPopupId) {
  if (bEscapes) ExpandEscapes(m_strText);
  if (m_nKind == POPUP_TEXT) {
    std::int32_t w = 0, h = 0;
    g_Fonts[POPUP_FONT].GetTextExtent(m_strText, &w, &h);
    m_nWidth = w + 2;
    m_nHeight = h + 2;
  } else if (m_nKind == POPUP_ITEM_ICON || m_nKind == POPUP_EXTRA_LIFE) {
    m_nWidth = m_nHeight = 16;
  }
  m_bZoom = nMode == SHOW_UNTIL_KEY && !bContinued ? 1 : 0;
  if (m_nKind != POPUP_TEXT) return;
  if (!DDAddListSurface(g_MessageSurfaces, g_MessageSurfaceInfos, m_nWidth, m_nHeight, 0, 1, 0, 0)) {
    // The failed entries leave the lists again: the popup keeps no surface.
    DDRemoveListSurface(g_MessageSurfaces, g_MessageSurfaceInfos, &g_MessageSurfaces.back());
    PostCloseRequest();
    return;
  }
  m_pSurface = &g_MessageSurfaces.back();
  m_pSurfaceInfo = &g_MessageSurfaceInfos.back();
  RenderText(m_pSurface);
}

void cMessagePopup::ExpandEscapes(std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsDbcsPair(text.c_str() + i)) {
      i += 2;
      continue;
    }
    if (text[i] != '#') {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool bCommon = false, bStage = false, bFormat = false, bPlus = false, bZero = false, bNumber = false;
    int nWidth = 0;
    std::int64_t n = 0;
    for (; j < text.size(); ++j) {
      const char c = text[j];
      if (!bFormat) {
        if (IsDigit(c)) {
          bNumber = true;
          n = n * 10 + (c - '0');
          if (n > 1000) n = 1000;  // far beyond every variable; keeps the number small
        } else if (c == 'C' || c == 'c') {
          bCommon = true;
        } else if (c == 'S' || c == 's') {
          bStage = true;
        } else if (c == '_') {
          bFormat = true;
        } else {
          break;
        }
      } else if (IsDigit(c)) {
        nWidth = c - '0';
      } else if (c == 'P' || c == 'p') {
        bPlus = true;
      } else if (c == 'Z' || c == 'z') {
        bZero = true;
      } else {
        break;
      }
    }
    if (j < text.size() && text[j] == '.') ++j;
    cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
    if (!(bCommon || bStage) || !bNumber || n < 1 || n > 255 || (!bCommon && !pScene)) {
      ++i;
      continue;
    }
    // The stage variables end at S254: a number past the list stays as text, as any other
    // number that names no variable, rather than closing the game over a message.
    const int k = static_cast<int>(n);
    const cVector<std::int32_t>& vars = bCommon ? g_PlayRecord.m_CommonVariables : pScene->m_StageVariables;
    if (k >= vars.Size()) {
      ++i;
      continue;
    }
    const std::int32_t v = vars[k];
    const std::string value = FormatValue(v, nWidth, bPlus, bZero);
    text.replace(i, j - i, value);
    i += value.size();
  }
}

void cMessagePopup::RenderText(DDSURFACEDATA* surface) {
  if (!surface) return;
  g_Fonts[POPUP_FONT].DrawTextBox(surface, 1, 1, 0, 0, m_strText, 0);
}

bool cMessagePopup::Position(int& x, int& y) const {
  const cStageScene& scene = TheStage();
  const double sx = scene.m_ScrollX.m_dPos, sy = scene.m_ScrollY.m_dPos;
  const int w = m_nWidth, h = m_nHeight;
  switch (m_nPlacement) {
    case PLACE_ABOVE_SELF:
    case PLACE_BELOW_SELF:
    case PLACE_ON_SELF:
    case PLACE_ABOVE_HERO:
    case PLACE_BELOW_HERO:
    case PLACE_ON_HERO: {
      const cActor* a = FindCharaById(m_nAnchor);
      if (!a) return false;
      x = static_cast<int>(a->m_dX - sx) - a->m_nHitOffX + (a->m_nWidth >> 1) - (w >> 1) + m_nPixelX;
      const int top = static_cast<int>(a->m_dY - sy) - a->m_nHitOffY;
      switch (m_nPlacement) {
        case PLACE_ABOVE_SELF:
        case PLACE_ABOVE_HERO: y = top - h + m_nPixelY; break;
        case PLACE_BELOW_SELF:
        case PLACE_BELOW_HERO: y = top + a->m_nHeight + 1 + m_nPixelY; break;
        default: y = top + (a->m_nHeight >> 1) - (h >> 1) + m_nPixelY; break;
      }
      break;
    }
    case PLACE_SCREEN:
      x = m_nBlockX * BLOCK_SIZE + m_nPixelX;
      y = m_nBlockY * BLOCK_SIZE + m_nPixelY;
      break;
    case PLACE_STAGE:
      x = static_cast<int>((m_nBlockX + scene.m_ScrollX.m_nMargin) * BLOCK_SIZE + m_nPixelX - sx);
      y = static_cast<int>((m_nBlockY + scene.m_ScrollY.m_nMargin) * BLOCK_SIZE + m_nPixelY - sy);
      break;
    default:  // the screen centre, also for a placement the editor does not make
      x = VIEW_WIDTH / 2 - (w >> 1) + m_nPixelX;
      y = VIEW_HEIGHT / 2 - (h >> 1) + m_nPixelY;
      break;
  }
  if (m_bKeepInside) {
    if (x < 0) x = 0;
    else if (x + w >= VIEW_WIDTH - 1) x = VIEW_WIDTH - w;
    if (y < STATUS_BAR_HEIGHT) y = STATUS_BAR_HEIGHT;
    else if (y + h >= VIEW_HEIGHT - 1) y = VIEW_HEIGHT - h;
  }
  return true;
}

void cMessagePopup::ReleaseSurface() {
  if (!m_pSurface) return;
  DDRemoveListSurface(g_MessageSurfaces, g_MessageSurfaceInfos, m_pSurface);
  m_pSurface = nullptr;
  m_pSurfaceInfo = nullptr;
}

int cMessagePopup::Draw(DDSURFACEDATA* target, int bFrozen) {
  if (m_nMode == SHOW_FOR_TIME && (m_bHalting || !bFrozen)) {
    if (--m_nFrames < 0) {
      ReleaseSurface();
      return 1;
    }
  }
  if (m_nKind == POPUP_TIMER) return 0;
  int x = 0, y = 0;
  if (!Position(x, y)) {
    if (m_nKind != POPUP_TEXT) return 0;
    ReleaseSurface();
    return 1;
  }
  switch (m_nKind) {
    case POPUP_TEXT: {
      if (m_pSurface && m_pSurface->lpDT && m_pSurface->lpDT->bRecreated) {
        RenderText(m_pSurface);
        m_pSurface->lpDT->bRecreated = 0;
      }
      if (m_strText.empty()) break;
      if (m_bZoom) {
        m_dZoomCounter += 1.0;
        if (m_dZoomCounter < ZOOM_STEPS) {
          const double z = m_dZoomCounter * 0.1;
          const int hw = m_nWidth >> 1, hh = m_nHeight >> 1;
          g_Fonts[POPUP_FONT].DrawWindow(target, static_cast<int>(x + hw - hw * z), static_cast<int>(y + hh - hh * z),
                                         static_cast<int>(m_nWidth * z), static_cast<int>(m_nHeight * z));
          break;
        }
      }
      if (m_pSurface) DDBlt(target, x, y, m_pSurface->nWidth, m_pSurface->nHeight, m_pSurface, 0, 0, 0);
      break;
    }
    case POPUP_ITEM_ICON:
      DrawHalfIcon(target, x, y - ((ICON_POPUP_FRAMES - m_nFrames) >> 2), m_nGraphicKind, m_nGraphicIndex,
                   m_nGraphicParam);
      break;
    case POPUP_EXTRA_LIFE:
      DDBlt(target, x, y - ((ICON_POPUP_FRAMES - m_nFrames) >> 2), 16, 16, &g_SurfaceData[BMP_ACCESSORY], EXTRA_LIFE_SX,
            EXTRA_LIFE_SY, 1);
      break;
    default: break;
  }
  return 0;
}

void RemovePopup(cVectorList<cMessagePopup>& popups, int nId) {
  for (auto it = popups.begin(); it != popups.end(); ++it) {
    if (it->m_nId != nId) continue;
    it->ReleaseSurface();
    popups.erase(it);
    return;
  }
}

void cStageScene::DrawPopups(DDSURFACEDATA* target, int bFrozen) {
  for (auto it = m_Popups.begin(); it != m_Popups.end();) {
    if (it->Draw(target, bFrozen) == 1) it = m_Popups.erase(it);
    else ++it;
  }
}

void cStageScene::ReleaseMessageSurfaces() {
  DDReleaseSurfaceList(g_MessageSurfaces);
  g_MessageSurfaces.clear();
  g_MessageSurfaceInfos.clear();
}

void cStageScene::ShowExtraLifePopup() {
  const std::int32_t nAnchor = g_Players.empty() ? 0 : g_Players[0].m_nSerial;
  const int nId = m_Popups
                      .emplace_back(POPUP_EXTRA_LIFE, std::string_view(), 0, 0, 0, PLACE_ABOVE_HERO, 0, 0, 0, 0, 0,
                                    SHOW_FOR_TIME, ICON_POPUP_FRAMES, 1, nAnchor, 0, 0)
                      .m_nId;
  m_Wait = cMessageWait{};
  m_Wait.m_nMode = WAIT_EXTRA_LIFE;
  m_Wait.m_nFrames = ICON_POPUP_FRAMES;
  RunSubLoop(thPause, MessageWaitThread, *this, true);
  RemovePopup(m_Popups, nId);
}

void cPlayer::ShowItemIcon(int nKind, int nIndex, int nParam) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene) return;
  pScene->m_Popups.emplace_back(POPUP_ITEM_ICON, std::string_view(), nKind, nIndex, nParam, PLACE_ABOVE_HERO, 0, 0, 0,
                                0, 0, SHOW_FOR_TIME, ICON_POPUP_FRAMES, 0, m_nSerial, 0, 0);
}
