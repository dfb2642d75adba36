#include "frontend/MapMenuScene.h"

#include <algorithm>
#include <string>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/Screen.h"
#include "gfx/PaletteVariant.h"
#include "base/SceneManager.h"
#include "base/SjisText.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuHelpers.h"
#include "records/PlayRecord.h"
#include "frontend/SlotList.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDFade.h"
#include "gfx/DDFrame.h"
#include "gfx/DDInit.h"
#include "gfx/Font.h"
#include "platform/messaging.h"
#include "platform/winnum.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace {

constexpr std::int32_t kMapMenuSurfaces[] = {BMP_WINDOW, BMP_SYMBOL, BMP_ACCESSORY};
constexpr int kMenuX = 264;
constexpr int kMenuY = 192;
constexpr int kBestY = 260;
constexpr int kListX = 152;
constexpr int kListY = 160;
constexpr int kSaveBoxY = 400;
constexpr int kAutoSaveBoxY = 224;
constexpr int kNoSlotY = 232;
constexpr int kTitleBoxY = 224;
constexpr int kPitch = 16;
constexpr int kMaxSlotRows = 10;

DDSURFACEDATA* Sheet(std::int32_t id) { return &g_SurfaceData[id]; }

void DrawCursor() {
  DDBlt(&BackBuffer, g_MenuCursor.m_pTop->m_nX, g_MenuCursor.m_pTop->m_nY, 16, 16, Sheet(BMP_ACCESSORY), 64, 0, 1);
}

// A two-line yes/no box of system texts nFirst and nFirst + 1 centred at y.
void MoveInBox(const cPad& pad, int nFirst, int y) {
  g_MenuCursor.MoveGrid(pad, CenteredBoxX(SCREEN_WIDTH / 2, nFirst, 2, 1), y, 0, kPitch, 1, 2);
  PlayCursorSound(pad, 2, 0);
}

void DrawBox(int nFirst, int nCount, int y, int bWithCursor) {
  DrawMenuList(CenteredBoxX(SCREEN_WIDTH / 2, nFirst, nCount, bWithCursor), y, nFirst, nCount, bWithCursor);
}

// Leaves a sub-menu for the menu.
void BackToMenu(cMapMenuScene& scene) {
  g_MenuCursor.Pop(1);
  scene.m_nStep = 0;
  scene.m_nPhase = 1;
}

}  // namespace

cMapMenuScene::cMapMenuScene()
    : m_Phases{&cMapMenuScene::FadeIn,   &cMapMenuScene::Menu,      &cMapMenuScene::Save,
               &cMapMenuScene::AutoSave, &cMapMenuScene::BackToMap, &cMapMenuScene::ReturnToTitle,
               &cMapMenuScene::FadeOut} {}

cMapMenuScene::~cMapMenuScene() {
  for (std::int32_t id : kMapMenuSurfaces) DDReleaseSurface(Sheet(id));
}

void cMapMenuScene::Run() {
  cPad& pad = g_Pads[0];
  pad.ApplyRepeat();
  pad.PressOnce(3);
  RunPhases(*this, m_Phases);
}

void cMapMenuScene::Init() {
  // The world map's music goes on.
  plat::send(g_hWnd.load(), plat::Msg{appmsg::PlayMusic, appmsg::MusicWorldMap, 0});
  if (!DDLoadSurfaces(g_SurfaceData, kMapMenuSurfaces, static_cast<std::int32_t>(std::size(kMapMenuSurfaces))))
    PostFailureClose();
  m_nItemCount = 0;
  const int nItems = std::min<int>(MAPMENU_KIND_COUNT, static_cast<int>(g_System.m_MapMenu.size()));
  for (int kind = 0; kind < nItems; ++kind)
    if (g_System.m_MapMenu[kind].m_bEnabled) m_aItemKinds[m_nItemCount++] = kind;
  if (m_nItemCount == 0) {
    m_aItemKinds[0] = MAPMENU_SAVE;
    m_nItemCount = 1;
  }
  g_MenuCursor.Reset();
  m_nStep = 0;
}

void cMapMenuScene::DrawMenu() {
  DDClear(&BackBuffer, 16);
  int widest = 0;
  for (int i = 0; i < m_nItemCount; ++i)
    widest = std::max(widest, CountChars(g_System.m_MapMenu[m_aItemKinds[i]].m_strText));
  DDBltFrame(&BackBuffer, kMenuX, kMenuY, 16 * (widest + 1), kPitch * m_nItemCount, Sheet(BMP_WINDOW), 1, 240);
  for (int i = 0; i < m_nItemCount; ++i)
    g_Fonts[1].Draw(&BackBuffer, kMenuX + 16, kMenuY + kPitch * i, g_System.m_MapMenu[m_aItemKinds[i]].m_strText, 0);
  if (g_System.m_bMapMenuShowTotal && g_PlayRecord.m_nBestTotal > 0) {
    const std::string& label = g_System.m_Texts.size() > 4 ? g_System.m_Texts[4] : std::string();
    std::string text;
    FormatString(text, "%s%d", label.c_str(), g_PlayRecord.m_nBestTotal);
    const int width = 16 * CountChars(text);
    const int x = SCREEN_WIDTH / 2 - width / 2;
    g_Fonts[1].DrawWindow(&BackBuffer, x, kBestY, width, 16);
    g_Fonts[1].Draw(&BackBuffer, x, kBestY, text, 0);
  }
  CycleMenuColors();
}

void cMapMenuScene::FadeIn() {
  DrawMenu();
  DDBlt(&BackBuffer, kMenuX, kMenuY, 16, 16, Sheet(BMP_ACCESSORY), 64, 0, 1);
  if (DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) m_nPhase = 1;
}

void cMapMenuScene::FadeOut() {
  if (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  DDClear(&BackBuffer, 16);
  g_SceneManager.m_nPrevScene = SCENE_MAPMENU;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
}

void cMapMenuScene::Menu() {
  const cPad& pad = g_Pads[0];
  g_MenuCursor.MoveGrid(pad, kMenuX, kMenuY, 0, kPitch, 1, m_nItemCount);
  PlayCursorSound(pad, 2, 0);
  if (pad.m_wButtons & 1) {
    RequestSystemSound(1);
    m_nPhase = m_aItemKinds[std::clamp(g_MenuCursor.m_pTop->m_nRow, 0, m_nItemCount - 1)] + 2;
    m_nStep = 0;
    g_MenuCursor.Push(0);
    return;
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    m_nPhase = 4;
    m_nStep = 0;
    return;
  }
  DrawMenu();
  DrawCursor();
}

void cMapMenuScene::Save() {
  const cPad& pad = g_Pads[0];
  if (m_nStep == 0) {
    // A new game has no slot yet: the list opens on the first one.
    const int row = std::clamp(g_PlayRecord.m_nSlot, 0, SAVE_SLOT_COUNT - 1);
    *g_MenuCursor.m_pTop = CURSORSTATE();
    g_MenuCursor.m_pTop->m_nRow = row;
    m_nStep = 1;
    ScanSaveSlots(g_SaveSlots);
    m_nVisibleRows = std::min(static_cast<int>(g_SaveSlots.size()), kMaxSlotRows);
    m_nScrollTop = row;
  }
  if (m_nStep == 1) {
    g_MenuCursor.MoveList(pad, 1, m_nScrollTop, kListY, kPitch, kListX, m_nVisibleRows, SAVE_SLOT_COUNT, 1);
    PlayCursorSound(pad, 3, 0);
    if (pad.m_wButtons & 1) {
      RequestSystemSound(1);
      g_MenuCursor.Push(0);
      g_MenuCursor.m_pTop->m_nRow = 1;  // the answer that keeps the slot as it is
      m_nStep = 2;
      return;
    }
    if (pad.m_wButtons & 2) {
      RequestSystemSound(2);
      BackToMenu(*this);
      return;
    }
    DDClear(&BackBuffer, 16);
    DrawSlotList(&BackBuffer, kListX, kListY, g_SaveSlots, m_nScrollTop, m_nVisibleRows);
    DrawCursor();
    return;
  }
  MoveInBox(pad, 12, kSaveBoxY);
  if (pad.m_wButtons & 1) {
    if (g_MenuCursor.m_pTop->m_nRow == 0) {
      // The "saved" sound only for a save on disk; a failed one keeps the game's slot.
      const std::int32_t nOldSlot = g_PlayRecord.m_nSlot;
      g_PlayRecord.m_nSlot = g_MenuCursor.m_pBelow->m_nRow;
      if (g_PlayRecord.SaveSlot(g_PlayRecord.m_nSlot)) {
        RequestSystemSound(5);
      } else {
        g_PlayRecord.m_nSlot = nOldSlot;
        RequestSystemSound(3);
      }
    } else {
      RequestSystemSound(1);
    }
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    return;
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    return;
  }
  DDClear(&BackBuffer, 16);
  DrawSlotList(&BackBuffer, kListX, kListY, g_SaveSlots, m_nScrollTop, m_nVisibleRows);
  DrawBox(12, 2, kSaveBoxY, 1);
  DDBlt(&BackBuffer, g_MenuCursor.m_pBelow->m_nX, g_MenuCursor.m_pBelow->m_nY, 16, 16, Sheet(BMP_ACCESSORY), 80, 0, 1);
  DrawCursor();
}

void cMapMenuScene::AutoSave() {
  const cPad& pad = g_Pads[0];
  if (m_nStep == 0) {
    *g_MenuCursor.m_pTop = CURSORSTATE();
    g_MenuCursor.m_pTop->m_nRow = g_PlayRecord.m_bAutoSave ? 0 : 1;
    m_nStep = g_PlayRecord.m_nSlot == -1 ? 2 : 1;
  }
  if (m_nStep == 2) {
    // Auto-save needs a slot to write to: the player is told to save once first.
    if (pad.m_wButtons & 3) {
      RequestSystemSound((pad.m_wButtons & 1) ? 1 : 2);
      BackToMenu(*this);
      return;
    }
    DDClear(&BackBuffer, 16);
    DrawBox(16, 1, kNoSlotY, 0);
    return;
  }
  MoveInBox(pad, 14, kAutoSaveBoxY);
  if (pad.m_wButtons & 1) {
    if (g_MenuCursor.m_pTop->m_nRow == 0) {
      // The file just written keeps the previous flag; the next save records it. A slot
      // that cannot be written leaves auto-save as it was.
      if (g_PlayRecord.SaveSlot(g_PlayRecord.m_nSlot)) {
        RequestSystemSound(1);
        g_PlayRecord.m_bAutoSave = 1;
      } else {
        RequestSystemSound(3);
      }
    } else {
      RequestSystemSound(1);
      g_PlayRecord.m_bAutoSave = 0;
    }
    BackToMenu(*this);
    return;
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    BackToMenu(*this);
    return;
  }
  DDClear(&BackBuffer, 16);
  DrawBox(14, 2, kAutoSaveBoxY, 1);
  DrawCursor();
}

void cMapMenuScene::BackToMap() {
  g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
  m_nStep = 0;
  m_nPhase = 6;
}

void cMapMenuScene::ReturnToTitle() {
  const cPad& pad = g_Pads[0];
  if (m_nStep == 0) {
    *g_MenuCursor.m_pTop = CURSORSTATE();
    g_MenuCursor.m_pTop->m_nRow = 1;
    m_nStep = 1;
  }
  MoveInBox(pad, 17, kTitleBoxY);
  const bool confirm = pad.m_wButtons & 1;
  if (confirm || (pad.m_wButtons & 2)) {
    RequestSystemSound(confirm ? 1 : 2);
    if (confirm && g_MenuCursor.m_pTop->m_nRow == 0) {
      g_SceneManager.m_nNextScene = SCENE_TITLE;
      m_nPhase = 6;
    } else {
      BackToMenu(*this);
    }
    return;
  }
  DDClear(&BackBuffer, 16);
  DrawBox(17, 2, kTitleBoxY, 1);
  DrawCursor();
}
