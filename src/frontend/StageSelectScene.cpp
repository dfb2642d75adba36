#include "frontend/StageSelectScene.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/Screen.h"
#include "gfx/PaletteVariant.h"
#include "base/PathUtil.h"
#include "base/SceneManager.h"
#include "base/SjisText.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuHelpers.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Stage.h"
#include "gamedata/StageLoad.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDFade.h"
#include "gfx/DDInit.h"
#include "gfx/Font.h"
#include "platform/messaging.h"
#include "platform/winnum.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace {

constexpr std::int32_t kListSurfaces[] = {BMP_ACCESSORY, BMP_WINDOW};
constexpr int kListX = 32;
constexpr int kListY = 160;
constexpr int kPitch = 32;
constexpr int kMaxRows = 10;
constexpr std::int32_t kUnlimitedLives = 999999;

DDSURFACEDATA* Sheet(std::int32_t id) { return &g_SurfaceData[id]; }

const std::string& SystemText(std::size_t n) {
  static const std::string empty;
  return n < g_System.m_Texts.size() ? g_System.m_Texts[n] : empty;
}

}  // namespace

std::string ChallengeStagePath(int nStage) {
  std::string path;
  FormatString(path, "%s%02d-1.%s", g_PathTable[PATH_CHALLENGE_STAGE], nStage, g_ExtTable[EXT_STAGE]);
  return path;
}

cStageSelectScene::cStageSelectScene()
    : m_Phases{&cStageSelectScene::FadeIn, &cStageSelectScene::SelectStage, &cStageSelectScene::FadeOut} {}

cStageSelectScene::~cStageSelectScene() {
  for (std::int32_t id : kListSurfaces) DDReleaseSurface(Sheet(id));
  DDReleaseSurfaceVector(m_WorkSurfaces);
}

void cStageSelectScene::Run() {
  cPad& pad = g_Pads[0];
  pad.ApplyRepeat();
  pad.PressOnce(15);
  RunPhases(*this, m_Phases);
}

void cStageSelectScene::CountRows() {
  m_nStageCount = g_System.m_bChallengeAllOpen ? g_System.m_nChallengeStages : g_PlayRecord.m_nOpenStages;
  // The list never reads past the progress the record holds.
  m_nStageCount = std::clamp(m_nStageCount, 0, static_cast<int>(g_PlayRecord.m_Stages.size()));
  m_nVisibleRows = m_nStageCount >= m_nScrollTop + kMaxRows ? kMaxRows : std::max(m_nStageCount - m_nScrollTop, 0);
}

void cStageSelectScene::Init() {
  plat::send(g_hWnd.load(), plat::Msg{appmsg::PlayMusic, appmsg::MusicStageSelect, 0});
  if (!DDLoadSurfaces(g_SurfaceData, kListSurfaces, static_cast<std::int32_t>(std::size(kListSurfaces))))
    PostFailureClose();
  g_MenuCursor.Reset();
  g_MenuCursor.m_pTop->m_nRow = g_SceneManager.m_nStageCursor;
  m_nScrollTop = g_SceneManager.m_nStageScroll;
  CountRows();
  g_MenuCursor.m_pTop->m_nX = kListX;
  g_MenuCursor.m_pTop->m_nY = kListY + kPitch * (g_MenuCursor.m_pTop->m_nRow - m_nScrollTop);
  SelectStageName(g_MenuCursor.m_pTop->m_nRow + 1);
  if (!DDAddSurface(m_WorkSurfaces, m_WorkInfos, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, 0, 0)) {
    PostCloseRequest();
  } else {
    Draw(&m_WorkSurfaces[0]);
  }
  m_nStep = 0;
}

void cStageSelectScene::SelectStageName(int nStage) {
  g_PlayRecord.SetStageName(ChallengeStagePath(nStage));
  if (g_SceneManager.m_bModeRanks) g_RankingSet.LoadFile(g_SceneManager.m_nGameMode, g_PlayRecord.m_strStageName);
}

void cStageSelectScene::Draw(DDSURFACEDATA* surface) {
  g_Fonts[3].DrawWindow(surface, 1, 1, SCREEN_WIDTH - 2, SCREEN_HEIGHT - 2);
  const std::string& title = g_System.m_TitleMenu[2].m_strText;
  g_Fonts[3].Draw(surface, SCREEN_WIDTH / 2 - CountChars(title) * 32 / 2, 32, title, 0);
  if (g_System.m_bSelectShowTotal && g_PlayRecord.m_nBestTotal > 0) {
    std::string text;
    FormatString(text, "%s%d", SystemText(4).c_str(), g_PlayRecord.m_nBestTotal);
    g_Fonts[1].Draw(surface, SCREEN_WIDTH / 2 - 16 * CountChars(text) / 2, 88, text, 0);
  }
  const bool ranks = g_System.m_GameModes[GAME_MODE_CHALLENGE].m_bRanks;
  const bool panel = ranks && g_PlayRecord.m_bShowRanking;
  if (!panel && g_System.m_bSelectShowBest)
    FontPrintf(&g_Fonts[3], surface, 32, 128, "         %s", SystemText(3).c_str());
  const int signX = 32 * (CountChars(SystemText(0)) + 4);
  for (int r = 0; r < m_nVisibleRows; ++r) {
    const int i = m_nScrollTop + r;
    const int y = kListY + kPitch * r;
    FontPrintf(&g_Fonts[3], surface, 64, y, "%s%d", SystemText(0).c_str(), i + 1);
    if (i < 0 || i >= static_cast<int>(g_PlayRecord.m_Stages.size())) continue;
    const cStageResult& stage = g_PlayRecord.m_Stages[static_cast<std::size_t>(i)];
    if (stage.m_bCleared) DDBlt(surface, signX, y, 32, 32, Sheet(BMP_ACCESSORY), 96, 0, 1);
    if (g_System.m_bSelectShowBest) FontPrintf(&g_Fonts[3], surface, signX + 64, y, "%d", stage.m_nBest);
  }
  if (panel) g_RankingSet.DrawTable(surface, 292, 108, g_PlayRecord.m_nRankView, -1);
}

void cStageSelectScene::Redraw() {
  if (!m_WorkSurfaces.empty()) Draw(&m_WorkSurfaces[0]);
}

void cStageSelectScene::ShowList() {
  if (m_WorkSurfaces.empty()) return;
  DDSURFACEDATA* list = &m_WorkSurfaces[0];
  if (list->lpDT && list->lpDT->bRecreated) {
    Draw(list);
    list->lpDT->bRecreated = 0;
  }
  DDBlt(&BackBuffer, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, list, 0, 0, 0);
}

void cStageSelectScene::FadeIn() {
  if (g_DDState.nBpp == 8) Redraw();
  ShowList();
  if (DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) m_nPhase = 1;
}

void cStageSelectScene::FadeOut() {
  if (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  DDClear(&BackBuffer, 16);
  g_MenuCursor.Reset();
  g_SceneManager.m_nPrevScene = SCENE_STAGESELECT;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
}

void cStageSelectScene::SelectStage() {
  const cPad& pad = g_Pads[0];
  cSceneManager& sm = g_SceneManager;
  CountRows();
  g_MenuCursor.MoveList(pad, 1, m_nScrollTop, kListY, kPitch, kListX, m_nVisibleRows, m_nStageCount, 1);
  PlayCursorSound(pad, 3, 0);
  const std::int32_t row = g_MenuCursor.m_pTop->m_nRow;
  if (pad.m_wDirection & 15) {
    SelectStageName(row + 1);
    Redraw();
  }
  if ((pad.m_wButtons & 1) && m_nStageCount > 0) {
    const std::string path = ChallengeStagePath(row + 1);
    if (LoadStage(path, 1, &g_StartStage)) {
      RequestSystemSound(1);
      std::string name = g_Stage.m_strPath;
      MakeRelativePath(name);
      g_PlayRecord.SetStageName(name);
      g_PlayRecord.m_nPart = 1;
      g_PlayRecord.m_nStage = row + 1;
      if (g_System.m_UnlimitedLives[GAME_MODE_CHALLENGE]) {
        g_PlayRecord.m_nStartLives = g_PlayRecord.m_nLives = kUnlimitedLives;
      } else {
        g_PlayRecord.m_nStartLives = g_System.m_StartLives[GAME_MODE_CHALLENGE];
        g_PlayRecord.m_nLives = g_PlayRecord.m_nStartLives - 1;
      }
      g_PlayRecord.m_bNumbered = 1;
      sm.m_nStageCursor = row;
      sm.m_nStageScroll = m_nScrollTop;
      sm.m_nNextScene = SCENE_STAGE;
      sm.m_nPrevScene = SCENE_STAGESELECT;
      m_nPhase = 2;
      return;
    }
    RequestSystemSound(3);
    ErrorBoxPrintf("ステージファイル %s が読み込めません！", path.c_str());
  } else if (pad.m_wButtons & 2) {
    RequestSystemSound(2);
    sm.m_nNextScene = SCENE_TITLE;
    sm.m_nPrevScene = SCENE_STAGESELECT;
    m_nPhase = 2;
    return;
  }
  const bool ranks = g_System.m_GameModes[GAME_MODE_CHALLENGE].m_bRanks;
  if (pad.m_wButtons & 4) {
    if (ranks) {
      RequestSystemSound(6);
      g_PlayRecord.m_bShowRanking = !g_PlayRecord.m_bShowRanking;
      Redraw();
    } else {
      g_PlayRecord.m_bShowRanking = 0;
    }
  }
  if ((pad.m_wButtons & 8) && ranks) {
    if (CountRankedQuantities(GAME_MODE_CHALLENGE) >= 2) {
      RequestSystemSound(6);
      g_PlayRecord.CycleRankingView(GAME_MODE_CHALLENGE, 1);
    }
    Redraw();
  }
  ShowList();
  CycleMenuColors();
  DDBlt(&BackBuffer, kListX, kListY + kPitch * (g_MenuCursor.m_pTop->m_nRow - m_nScrollTop), 32, 32,
        Sheet(BMP_ACCESSORY), 0, 0, 1);
}

void cStageSelectScene::CollectSurfaces(std::vector<DDSURFACEDATA*>& out) {
  for (DDSURFACEDATA& s : m_WorkSurfaces) out.push_back(&s);
}
