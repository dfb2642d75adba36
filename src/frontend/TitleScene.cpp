#include "frontend/TitleScene.h"

#include <algorithm>
#include <string>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Screen.h"
#include "gfx/PaletteVariant.h"
#include "base/SceneManager.h"
#include "base/SjisText.h"
#include "frontend/FreePlay.h"
#include "records/FrontendLinks.h"
#include "records/KeyLog.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuHelpers.h"
#include "frontend/NewGame.h"
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

POINTI g_TitleMenuPos = {192, 240};
const POINTI g_SlotListPos = {152, 160};

namespace {

constexpr std::int32_t kTitleSurfaces[] = {BMP_WINDOW, BMP_TITLE, BMP_GAME_MODE, BMP_ACCESSORY};
constexpr int kRowPitch = 32;
constexpr int kSlotPitch = 16;
constexpr int kMaxSlotRows = 10;
// A project's challenge list never grows past this many stages.
constexpr std::int32_t kMaxChallengeStages = 9999;

DDSURFACEDATA* Sheet(std::int32_t id) { return &g_SurfaceData[id]; }

int ModeRanks(int nMode) { return g_System.m_GameModes[nMode].m_bRanks; }

}  // namespace

cTitleScene::cTitleScene()
    : m_Phases{&cTitleScene::FadeIn, &cTitleScene::MainMenu, &cTitleScene::ContinueList, &cTitleScene::FadeOut} {}

cTitleScene::~cTitleScene() {
  for (std::int32_t id : kTitleSurfaces) DDReleaseSurface(Sheet(id));
  DDReleaseSurfaceVector(m_WorkSurfaces);
  m_WorkInfos.clear();
}

void cTitleScene::Run() {
  cPad& pad = g_Pads[0];
  pad.ApplyRepeat();
  pad.PressOnce(3);
  RunPhases(*this, m_Phases);
}

void cTitleScene::Init() {
  plat::send(g_hWnd.load(), plat::Msg{appmsg::PlayMusic, appmsg::MusicTitle, 0});
  // The loader has named the picture that failed; the game cannot go on without it.
  if (!DDLoadSurfaces(g_SurfaceData, kTitleSurfaces, static_cast<std::int32_t>(std::size(kTitleSurfaces))))
    PostFailureClose();
  g_MenuCursor.Reset();

  m_nItemCount = 0;
  const int nItems = std::min<int>(TITLE_KIND_COUNT, static_cast<int>(g_System.m_TitleMenu.size()));
  for (int kind = 0; kind < nItems; ++kind) {
    if (g_System.m_TitleMenu[kind].m_bEnabled) m_aItemKinds[m_nItemCount++] = kind;
  }
  if (m_nItemCount == 0) {
    m_aItemKinds[0] = TITLE_NEW_GAME;
    m_nItemCount = 1;
  }

  // A last choice that is no longer offered keeps its number; the cursor's first move
  // wraps it back into the list.
  const std::int32_t choice = g_SceneManager.m_nMenuChoice;
  g_MenuCursor.m_pTop->m_nRow = choice;
  for (int j = 0; j < m_nItemCount; ++j) {
    if (m_aItemKinds[j] == choice) g_MenuCursor.m_pTop->m_nRow = j;
  }

  if (g_System.m_bTitleMenuPicture) g_TitleMenuPos.x = 288 - Sheet(BMP_GAME_MODE)->nWidth / 2;
  BuildMenuWindow();
  m_nStep = 0;
}

std::int32_t cTitleScene::MenuWindowWidth() const {
  if (g_System.m_bTitleMenuPicture) return Sheet(BMP_GAME_MODE)->nWidth + 32;
  int widest = 0;
  for (int i = 0; i < m_nItemCount; ++i)
    widest = std::max(widest, CountChars(g_System.m_TitleMenu[m_aItemKinds[i]].m_strText));
  return 32 * widest + 34;
}

void cTitleScene::BuildMenuWindow() {
  DDReleaseSurfaceVector(m_WorkSurfaces);
  m_WorkInfos.clear();
  if (!DDAddSurface(m_WorkSurfaces, m_WorkInfos, MenuWindowWidth(), kRowPitch * m_nItemCount + 2, 1, 0, 0, 0)) {
    PostCloseRequest();
    return;
  }
  DrawMenuWindow(&m_WorkSurfaces[0]);
}

void cTitleScene::DrawMenuWindow(DDSURFACEDATA* surface) {
  if (g_System.m_bTitleMenuPicture) {
    DDClear(surface, 0);
    DDSURFACEDATA* strips = Sheet(BMP_GAME_MODE);
    for (int i = 0; i < m_nItemCount; ++i)
      DDBlt(surface, 32, kRowPitch * i, strips->nWidth, kRowPitch, strips, 0, kRowPitch * m_aItemKinds[i], 0);
    return;
  }
  DDBltFrame(surface, 1, 1, surface->nWidth - 2, surface->nHeight - 2, Sheet(BMP_WINDOW), 1, 240);
  for (int i = 0; i < m_nItemCount; ++i)
    FontPrintf(&g_Fonts[3], surface, 32, kRowPitch * i, "%s", g_System.m_TitleMenu[m_aItemKinds[i]].m_strText.c_str());
}

void cTitleScene::Draw() {
  DDBlt(&BackBuffer, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, Sheet(BMP_TITLE), 0, 0, 0);
  if (!m_WorkSurfaces.empty()) {
    DDSURFACEDATA* menu = &m_WorkSurfaces[0];
    if (menu->lpDT && menu->lpDT->bRecreated) {
      DrawMenuWindow(menu);
      menu->lpDT->bRecreated = 0;
    }
    DDBlt(&BackBuffer, g_TitleMenuPos.x, g_TitleMenuPos.y, menu->nWidth, menu->nHeight, menu, 0, 0, 1);
  }
  CycleMenuColors();
}

void cTitleScene::FadeIn() {
  if (g_DDState.nBpp == 8 && !m_WorkSurfaces.empty()) DrawMenuWindow(&m_WorkSurfaces[0]);
  Draw();
  // The scene appears: the fade that uncovers the picture.
  if (DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) m_nPhase = 1;
}

void cTitleScene::FadeOut() {
  if (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  DDClear(&BackBuffer, 16);
  g_MenuCursor.Reset();
  g_SceneManager.m_nPrevScene = SCENE_TITLE;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
}

bool cTitleScene::OpenStageFileDialog() {
  if (!g_FrontendLinks.dialogRequest) return false;
  return g_FrontendLinks.dialogRequest(appmsg::StageFileDialog, 0) != 0;
}

void cTitleScene::MainMenu() {
  const cPad& pad = g_Pads[0];
  g_MenuCursor.MoveGrid(pad, g_TitleMenuPos.x, g_TitleMenuPos.y, 0, kRowPitch, 1, m_nItemCount);
  PlayCursorSound(pad, 2, 0);

  if (pad.m_wButtons & 1) {
    RequestSystemSound(1);
    cSceneManager& sm = g_SceneManager;
    const std::int32_t kind = m_aItemKinds[std::clamp(g_MenuCursor.m_pTop->m_nRow, 0, m_nItemCount - 1)];
    sm.m_nMenuChoice = kind;
    switch (kind) {
      case TITLE_NEW_GAME:
        sm.m_nGameMode = GAME_MODE_STORY;
        sm.m_bModeRanks = ModeRanks(GAME_MODE_STORY);
        NewGame();
        sm.m_nNextScene = SCENE_WORLDMAP;
        m_nPhase = 3;
        break;
      case TITLE_CONTINUE:
        sm.m_nGameMode = GAME_MODE_STORY;
        sm.m_bModeRanks = ModeRanks(GAME_MODE_STORY);
        g_MenuCursor.Push(0);
        m_nPhase = 2;
        m_nStep = 0;
        break;
      case TITLE_CHALLENGE:
        sm.m_nGameMode = GAME_MODE_CHALLENGE;
        sm.m_bModeRanks = ModeRanks(GAME_MODE_CHALLENGE);
        if (!g_PlayRecord.LoadChallenge()) {
          ResetPlayRecord(g_PlayRecord);
          g_PlayRecord.m_Stages.assign(
              static_cast<std::size_t>(std::clamp(g_System.m_nChallengeStages, 0, kMaxChallengeStages)),
              cStageResult());
        }
        sm.m_nNextScene = SCENE_STAGESELECT;
        m_nPhase = 3;
        break;
      case TITLE_FREE:
        sm.m_nGameMode = GAME_MODE_FREE;
        sm.m_bModeRanks = ModeRanks(GAME_MODE_FREE);
        if (OpenStageFileDialog()) {
          sm.m_nNextScene = SCENE_STAGE;
          m_nPhase = 3;
        }
        break;
      case TITLE_REPLAY:
        sm.m_nGameMode = GAME_MODE_REPLAY;
        sm.m_bModeRanks = ModeRanks(GAME_MODE_REPLAY);
        if (OpenReplayDialog()) {
          sm.m_nNextScene = SCENE_STAGE;
          m_nPhase = 3;
        }
        break;
      case TITLE_OPTIONS:
        sm.m_nNextScene = SCENE_OPTION;
        m_nPhase = 3;
        break;
      default: PostCloseRequest(); break;
    }
    return;
  }

  Draw();
  DDBlt(&BackBuffer, g_TitleMenuPos.x, g_TitleMenuPos.y + kRowPitch * g_MenuCursor.m_pTop->m_nRow, 32, 32,
        Sheet(BMP_ACCESSORY), 0, 0, 1);
}

void cTitleScene::ContinueList() {
  const cPad& pad = g_Pads[0];
  if (m_nStep == 0) {
    *g_MenuCursor.m_pTop = CURSORSTATE();
    m_nScrollTop = 0;
    m_nStep = 1;
    ScanSaveSlots(g_SaveSlots);
  }
  m_nVisibleRows = std::min(static_cast<int>(g_SaveSlots.size()), kMaxSlotRows);
  g_MenuCursor.MoveList(pad, 1, m_nScrollTop, g_SlotListPos.y, kSlotPitch, g_SlotListPos.x, m_nVisibleRows,
                        SAVE_SLOT_COUNT, 1);
  PlayCursorSound(pad, 3, 0);

  if (pad.m_wButtons & 1) {
    const std::int32_t slot = g_MenuCursor.m_pTop->m_nRow;
    if (slot >= 0 && slot < static_cast<int>(g_SaveSlots.size()) && g_SaveSlots[slot].m_bUsed &&
        g_PlayRecord.LoadSlot(slot)) {
      RequestSystemSound(1);
      g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
      m_nPhase = 3;
    } else {
      // A slot whose file went away or broke since the list was made is refused, and
      // the list shows the slots as they are now.
      RequestSystemSound(3);
      ScanSaveSlots(g_SaveSlots);
    }
    return;
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    g_MenuCursor.Pop(1);
    m_nPhase = 1;
    m_nStep = 0;
    return;
  }

  DDBlt(&BackBuffer, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, Sheet(BMP_TITLE), 0, 0, 0);
  CycleMenuColors();
  DrawSlotList(&BackBuffer, g_SlotListPos.x, g_SlotListPos.y, g_SaveSlots, m_nScrollTop, m_nVisibleRows);
  DDBlt(&BackBuffer, g_MenuCursor.m_pTop->m_nX, g_MenuCursor.m_pTop->m_nY, 16, 16, Sheet(BMP_ACCESSORY), 64, 0, 1);
}

void cTitleScene::CollectSurfaces(std::vector<DDSURFACEDATA*>& out) {
  for (DDSURFACEDATA& s : m_WorkSurfaces) out.push_back(&s);
}
