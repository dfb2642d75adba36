#include "stage/StageScene.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/SceneManager.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "gamedata/Stage.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDComposite.h"
#include "gfx/DDFade.h"
#include "gfx/DDPalette.h"
#include "platform/messaging.h"
#include "platform/trace.h"
#include "platform/winnum.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/StageLinks.h"

std::atomic<cStageScene*> g_StageScene{nullptr};
cStageLinks g_StageLinks;

namespace {

constexpr int MENU_CHOICE_REPLAY = 4;

DDSURFACEDATA* Word() { return &g_SurfaceData[BMP_WORD]; }

}  // namespace

cStageScene::cStageScene()
    : m_Phases{&cStageScene::FadeIn,  &cStageScene::StageStart,   &cStageScene::Play,     &cStageScene::Pause,
               &cStageScene::GameEnd, &cStageScene::ContinueMenu, &cStageScene::GameOver, &cStageScene::FadeOut} {
  m_SideActors.resize(SIDE_COUNT);
  m_SideShots.resize(SIDE_COUNT);
  m_StageVariables.assign(STAGE_VARIABLE_COUNT, 0);
  m_GroupAwake.assign(ACTIVATION_GROUP_COUNT, 0);
  m_Ranks.assign(RANKED_COUNT, 0);
  m_Results.assign(RANKED_COUNT, 0);
  m_ScreenColor.Clear();
  g_PlayRecord.m_nStageBgm = 0;
  m_nPhase = -1;
}

cStageScene::~cStageScene() { ReleaseSurfaces(); }

void cStageScene::Run() {
  // A close that came while a sub-loop ran ends the program whichever phase the game
  // went on to: the play frame, a menu, the game end.
  if (m_bQuit.load()) {
    PostCloseRequest();
    return;
  }
  const std::int32_t nBefore = m_nPhase;
  RunPhases(*this, m_Phases);
  if (plat::trace::Enabled() && nBefore >= 0 && m_nPhase >= 0 && m_nPhase != nBefore)
    plat::trace::Line("stage phase %d -> %d", nBefore, m_nPhase);
}

void cStageScene::Init() {
  m_bClosing = 0;
  m_Ranks.resize(RANKED_COUNT, 0);
  m_Results.resize(RANKED_COUNT, 0);
  const bool bSelf = g_SceneManager.m_nPrevScene == SCENE_STAGE;
  if (!LoadStageSurfaces(bSelf)) {
    m_bClosing = 1;
    return;
  }
  if (!bSelf) {
    BuildShotSheets();
    LoadCharaBitmaps();
    LoadSwordBitmaps();
    LoadEffectBitmaps();
    ResetForEntry();
    UseLife(g_PlayRecord);
  }
  // The stage again (a replay, a test play, the next part): what a flow changed in the
  // stage's settings comes back from the start copy, and a replay is read again.
  SetStage((bSelf ? SET_STAGE_RESTART : 0u) | SET_STAGE_MUSIC_RESTART);
  if (g_StageLinks.resetMenuCursor) g_StageLinks.resetMenuCursor();
  m_nStep = 0;
}

int cStageScene::UseLife(cPlayRecord& record) {
  if (g_bTestPlay) return 1;
  if (record.m_nLives == UNLIMITED_LIVES) return 1;
  if (record.m_nLives <= 0) return 0;
  --record.m_nLives;
  return 1;
}

void cStageScene::ResetForEntry() {
  cPlayRecord& r = g_PlayRecord;
  r.m_nLives = r.m_nStartLives;
  r.m_nStageScore = r.m_nTotalScore = r.m_nTotalTimeLeft = r.m_nTotalClearTime = 0;
  r.m_nTotalHpLeft = r.m_nTotalSpLeft = 0;
  m_ScrollX.m_dPos = m_ScrollY.m_dPos = 0.0;
  m_nStep = 0;
  m_nPhaseFrames = m_nPhaseFrames2 = 0;
  m_bHoldButtons = 0;
  m_nTimeLeft = 0;
  m_bRankingDone = 0;
  m_Popups.clear();
  if (g_SceneManager.m_nMenuChoice != MENU_CHOICE_REPLAY) {
    g_KeyLog.Clear();
    g_PrevKeyLog.Clear();
  }
  if (g_bTestPlay) r.m_nPart = 1;
  if (g_SceneManager.m_bModeRanks && g_StageLinks.loadStageRankings) g_StageLinks.loadStageRankings();
}

void cStageScene::FadeIn() {
  if (IsClosing()) return;
  Draw(STAGE_DRAW_STILL_FRAME);
  // The scene appears: the fade that uncovers the picture.
  if (DDFadeIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false))
    m_nPhase = STAGE_PHASE_START;
}

void cStageScene::StageStart() {
  if (IsClosing()) return;
  Draw(STAGE_DRAW_STILL_FRAME);
  if (!(g_bFromEditor.load() && g_bTestPlay)) {
    if (g_SceneManager.m_nMenuChoice == MENU_CHOICE_REPLAY) {
      if (++m_nPhaseFrames < CAPTION_FRAMES) {
        DDBlt(&BackBuffer, 256, 224, 128, 32, Word(), 0, 32, 1);
        return;
      }
    } else {
      if (g_Stage.m_bShowStart1 && ++m_nPhaseFrames < CAPTION_FRAMES) {
        DDBlt(&BackBuffer, 256, 224, 128, 32, Word(), 0, 0, 1);
        DDBltNumber(&BackBuffer, 384, 224, 32, 32, Word(), 0, 128, 1, g_PlayRecord.m_nPart, 1, 0);
        return;
      }
      if (g_Stage.m_bShowStart2 && ++m_nPhaseFrames2 < CAPTION_FRAMES) {
        DDBlt(&BackBuffer, 280, 224, 80, 32, Word(), 0, 160, 1);
        return;
      }
    }
  }
  if (!g_Players.empty()) {
    cPlayer& player = g_Players[0];
    player.m_Anime.Start(player.m_bFlying ? 2 : 0, 1);
  }
  m_nPhaseFrames = 0;
  m_nPhase = STAGE_PHASE_PLAY;
}

std::intptr_t cStageScene::RequestBgm(int nBgm, int bLoop) {
  g_PlayRecord.m_bStageBgmLoop = bLoop;
  return plat::send(g_hWnd.load(), plat::Msg{appmsg::PlayMusic, appmsg::MusicStage, nBgm});
}

void cStageScene::FadeOut() {
  if (!IsClosing()) Draw(STAGE_DRAW_STILL_FRAME);
  if (!DDFadeOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeSpeed, g_Palette, false)) return;
  DDClear(&BackBuffer, 16);
  if (g_SceneManager.m_nMenuChoice == 3 && !g_PlayRecord.m_bNumbered && g_StageLinks.restartFreeStage &&
      !g_StageLinks.restartFreeStage())
    PostCloseRequest();
  g_SceneManager.m_nFrameRate = 60;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
  g_SceneManager.m_nPrevScene = SCENE_STAGE;
  m_nPhase = -1;
}
