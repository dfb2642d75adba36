#include "frontend/OptionScene.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/Screen.h"
#include "gfx/PaletteVariant.h"
#include "base/SceneManager.h"
#include "base/SjisText.h"
#include "records/FrontendLinks.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuHelpers.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDFade.h"
#include "gfx/DDInit.h"
#include "gfx/Font.h"
#include "platform/messaging.h"
#include "platform/winnum.h"
#include "sound/BgmPlayer.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

const char* const RegistrationModeLabels[4] = {"手動登録（登録名入力）", "手動登録（登録名固定）",
                                               "自動登録（登録名入力）", "自動登録（登録名固定）"};

namespace {

constexpr std::int32_t kOptionSurfaces[] = {BMP_ACCESSORY, BMP_WINDOW};
constexpr int kMenuX = 48;
constexpr int kMenuY = 96;
constexpr int kRowPitch = 16;

DDSURFACEDATA* Sheet(std::int32_t id) { return &g_SurfaceData[id]; }

}  // namespace

void ResetBgmPlayer() {
  g_BgmPlayer.Release();
  if (g_Option.m_bMusic) g_BgmPlayer.Init(1, g_BgmOggNames, g_BgmMidiNames, 5);
}

void SetSoundTableVolume(int nStep) {
  const int volume = g_VolumeTable[std::clamp(nStep, 0, 10)];
  for (DS_SOUNDSET& set : g_SoundTable)
    for (int i = 0; i < set.nCount; ++i) DS_SetVolume(&set, i, volume, 0);
}

cOptionScene::cOptionScene() : m_Phases{&cOptionScene::FadeIn, &cOptionScene::Menu, &cOptionScene::FadeOut} {}

cOptionScene::~cOptionScene() {
  for (std::int32_t id : kOptionSurfaces) DDReleaseSurface(Sheet(id));
  DDReleaseSurfaceVector(m_WorkSurfaces);
}

void cOptionScene::Run() {
  cPad& pad = g_Pads[0];
  pad.ApplyRepeat();
  pad.PressOnce(3);
  RunPhases(*this, m_Phases);
}

void cOptionScene::Init() {
  plat::send(g_hWnd.load(), plat::Msg{appmsg::PlayMusic, appmsg::MusicOptions, 0});
  if (!DDLoadSurfaces(g_SurfaceData, kOptionSurfaces, static_cast<std::int32_t>(std::size(kOptionSurfaces))))
    PostFailureClose();
  g_MenuCursor.Reset();
  m_nItemCount = 0;
  const int nItems = std::min<int>(OPTION_KIND_COUNT, static_cast<int>(g_System.m_OptionMenu.size()));
  for (int kind = 0; kind < nItems; ++kind)
    if (g_System.m_OptionMenu[kind].m_bEnabled) m_aItemKinds[m_nItemCount++] = kind;
  if (m_nItemCount == 0) {
    m_aItemKinds[0] = OPTION_PALETTE;
    m_nItemCount = 1;
  }
  if (!DDAddSurface(m_WorkSurfaces, m_WorkInfos, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, 0, 0)) {
    PostCloseRequest();
  } else {
    DrawOptionScreen();
  }
  m_nStep = 0;
}

std::string cOptionScene::ValueText(int nKind) {
  std::string text;
  switch (nKind) {
    case OPTION_PALETTE: FormatString(text, "%d", g_Option.m_nPalette); break;
    case OPTION_MUSIC: text = g_Option.m_bMusic ? "ON" : "OFF"; break;
    case OPTION_VOLUME: FormatString(text, "%d", g_Option.m_nSoundVolume); break;
    case OPTION_RANK_MODE:
      // A damaged option file may hold another mode: its number is shown.
      if (g_Option.m_nRankMode >= 0 && g_Option.m_nRankMode < 4) text = RegistrationModeLabels[g_Option.m_nRankMode];
      else FormatString(text, "%d", g_Option.m_nRankMode);
      break;
    case OPTION_RANK_NAME: text = g_Option.m_strRankName; break;
    default: break;
  }
  return text;
}

void cOptionScene::DrawOptionScreen() {
  if (m_WorkSurfaces.empty()) return;
  DDSURFACEDATA* screen = &m_WorkSurfaces[0];
  g_Fonts[3].DrawWindow(screen, 1, 1, SCREEN_WIDTH - 2, SCREEN_HEIGHT - 2);
  const std::string& title = g_System.m_TitleMenu[5].m_strText;
  g_Fonts[3].Draw(screen, SCREEN_WIDTH / 2 - CountChars(title) * 32 / 2, 32, title, 0);
  for (int r = 0; r < m_nItemCount; ++r) {
    const int y = kMenuY + kRowPitch * r;
    g_Fonts[1].Draw(screen, 64, y, g_System.m_OptionMenu[m_aItemKinds[r]].m_strText, 0);
    g_Fonts[1].Draw(screen, 208, y, ValueText(m_aItemKinds[r]), 0);
  }
}

void cOptionScene::ShowScreen() {
  if (m_WorkSurfaces.empty()) return;
  DDSURFACEDATA* screen = &m_WorkSurfaces[0];
  if (screen->lpDT && screen->lpDT->bRecreated) {
    DrawOptionScreen();
    screen->lpDT->bRecreated = 0;
  }
  DDBlt(&BackBuffer, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, screen, 0, 0, 0);
}

void cOptionScene::FadeIn() {
  if (g_DDState.nBpp == 8) DrawOptionScreen();
  ShowScreen();
  CycleMenuColors();
  // The scene appears: the fade that uncovers the picture.
  if (DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) m_nPhase = 1;
}

void cOptionScene::FadeOut() {
  if (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  DDClear(&BackBuffer, 16);
  ResetBgmPlayer();
  // A folder that cannot be written keeps the old options; nothing is reported.
  g_Option.SaveToFile(g_PathTable[PATH_OPTION]);
  g_MenuCursor.Reset();
  g_SceneManager.m_nPrevScene = SCENE_OPTION;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
}

void cOptionScene::Menu() {
  if (m_nStep == 0) {
    *g_MenuCursor.m_pTop = CURSORSTATE();
    m_nStep = 1;
  }
  if (m_nStep == 1) ChooseItem();
  else ChangeValue();
}

void cOptionScene::ChooseItem() {
  const cPad& pad = g_Pads[0];
  g_MenuCursor.MoveGrid(pad, kMenuX, kMenuY, 0, kRowPitch, 1, m_nItemCount);
  PlayCursorSound(pad, 2, 0);
  if (pad.m_wButtons & 1) {
    RequestSystemSound(1);
    m_nKind = m_aItemKinds[std::clamp(g_MenuCursor.m_pTop->m_nRow, 0, m_nItemCount - 1)];
    switch (m_nKind) {
      case OPTION_RANK_NAME:
        if (g_FrontendLinks.dialogRequest) g_FrontendLinks.dialogRequest(appmsg::NameEntry, 0);
        DrawOptionScreen();
        return;
      case OPTION_BACK:
        g_SceneManager.m_nNextScene = SCENE_TITLE;
        m_nStep = 0;
        m_nPhase = 2;
        return;
      default: break;
    }
    // The edited value and its range, by kind 0 to 3.
    struct Range {
      std::int32_t cOption::*member;
      std::int32_t max;
    };
    static constexpr Range kRanges[] = {{&cOption::m_nPalette, OPTION_PALETTE_MAX},
                                        {&cOption::m_bMusic, 1},
                                        {&cOption::m_nSoundVolume, OPTION_VOLUME_MAX},
                                        {&cOption::m_nRankMode, OPTION_RANK_MODE_MAX}};
    const Range& range = kRanges[std::clamp(m_nKind, 0, 3)];
    m_pValue = &(g_Option.*range.member);
    m_nMin = 0;
    m_nMax = range.max;
    m_nSaved = *m_pValue;
    g_MenuCursor.Push(0);
    m_nStep = 2;
    return;
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    g_SceneManager.m_nNextScene = SCENE_TITLE;
    m_nStep = 0;
    m_nPhase = 2;
    return;
  }
  ShowScreen();
  CycleMenuColors();
  DDBlt(&BackBuffer, g_MenuCursor.m_pTop->m_nX, g_MenuCursor.m_pTop->m_nY, 16, 16, Sheet(BMP_ACCESSORY), 64, 0, 1);
}

void cOptionScene::ApplyValue() {
  if (m_nKind == OPTION_PALETTE) LoadHbtPalette(g_Option.m_nPalette);
  if (m_nKind == OPTION_VOLUME) SetSoundTableVolume(g_Option.m_nSoundVolume);
  DrawOptionScreen();
}

void cOptionScene::ChangeValue() {
  const cPad& pad = g_Pads[0];
  for (int step : {(pad.m_wDirection & cPad::DirUp) ? 1 : 0, (pad.m_wDirection & cPad::DirDown) ? -1 : 0}) {
    if (!step) continue;
    *m_pValue += step;
    if (*m_pValue < m_nMin) *m_pValue = m_nMax;
    if (*m_pValue > m_nMax) *m_pValue = m_nMin;
    ApplyValue();
  }
  PlayCursorSound(pad, 2, 0);
  if (pad.m_wButtons & 1) {
    RequestSystemSound(1);
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    return;
  }
  if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    *m_pValue = m_nSaved;
    ApplyValue();
    g_MenuCursor.Pop(1);
    m_nStep = 1;
    return;
  }
  ShowScreen();
  // The row's own cursor is the sign of the item in edit; the cursor stands at the value.
  const CURSORSTATE& row = *g_MenuCursor.m_pBelow;
  DDBlt(&BackBuffer, row.m_nX, row.m_nY, 16, 16, Sheet(BMP_ACCESSORY), 80, 0, 1);
  DDBlt(&BackBuffer, 192, row.m_nY, 16, 16, Sheet(BMP_ACCESSORY), 64, 0, 1);
}

void cOptionScene::CollectSurfaces(std::vector<DDSURFACEDATA*>& out) {
  for (DDSURFACEDATA& s : m_WorkSurfaces) out.push_back(&s);
}
