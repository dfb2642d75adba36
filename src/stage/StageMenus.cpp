// The stage scene's menus and waiting screens: the pause menu, the continue menu after a
// miss in story mode and the game over. Each handler does one frame's work and returns;
// the menus move the shared menu cursor of the front end through the stage links.
#include "base/AppGlobals.h"
#include "base/SceneManager.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "platform/input.h"
#include "platform/winnum.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "sound/SoundTable.h"
#include "stage/StageLinks.h"
#include "stage/StageScene.h"
#include "ui/Pad.h"

cMenuPos g_MenuPosPause{0, 272};
cMenuPos g_MenuPosContinue{0, 272};

namespace {

constexpr int MENU_Y = 272;
constexpr int MENU_PITCH = 16;
constexpr int TEXT_PAUSE_MENU = 19;     // end the game, resume, retry
constexpr int TEXT_CONTINUE_MENU = 22;  // continue, back to the map
constexpr std::uint16_t BUTTON_CONFIRM = 1;
constexpr std::uint16_t BUTTON_CANCEL = 2;
constexpr int SOUND_CONFIRM = 1;
constexpr int SOUND_CANCEL = 2;
constexpr int SOUND_PAUSE = 4;

enum : int { PAUSE_END = 0, PAUSE_RESUME = 1, PAUSE_RETRY = 2 };
enum : int { CONTINUE_RETRY = 0, CONTINUE_GIVE_UP = 1 };

// The cursor of a one-column menu of nRows rows at (x, MENU_Y), moved by pad 0.
struct cMenuFrame {
  int nRow = 0;
  int x = 0;
  int y = 0;
};

void SetMenuRow(int nRow) {
  if (g_StageLinks.setMenuRow) g_StageLinks.setMenuRow(nRow);
}

cMenuFrame MoveMenu(const cPad& pad, int x, int nRows) {
  cMenuFrame f;
  if (g_StageLinks.moveMenuRows) g_StageLinks.moveMenuRows(pad, x, MENU_Y, MENU_PITCH, nRows, f.nRow, f.x, f.y);
  if (g_StageLinks.playCursorSound) g_StageLinks.playCursorSound(pad, 2, 0);
  return f;
}

void DrawMenu(const cMenuFrame& f, int x, int nFirstText, int nRows) {
  if (g_StageLinks.drawMenuList) g_StageLinks.drawMenuList(x, MENU_Y, nFirstText, nRows, 1);
  DDBlt(&BackBuffer, f.x, f.y, 16, 16, &g_SurfaceData[BMP_ACCESSORY], 64, 0, 1);
}

// The pause menu offers a retry: in free play always, in story and challenge mode when
// the project allows it and the stage was cleared before, never in a replay.
bool RetryAllowed() {
  const cPlayRecord& r = g_PlayRecord;
  switch (g_SceneManager.m_nGameMode) {
    case GAME_MODE_FREE: return true;
    case GAME_MODE_STORY:
      // A stage number outside the switches is a stage never cleared.
      return g_System.m_bStoryPauseMenu && r.m_nStage >= 0 && r.m_nStage < r.m_Switches.Size() &&
             r.m_Switches[r.m_nStage] != 0;
    case GAME_MODE_CHALLENGE:
      return g_System.m_bChallengePauseMenu && r.m_nStage >= 1 && r.m_nStage <= r.m_Stages.Size() &&
             r.m_Stages[r.m_nStage - 1].m_bCleared != 0;
    default: return false;
  }
}

}  // namespace

int cStageScene::CheckPauseKey() {
  if (!plat::input::keyDown(plat::vk::Space)) return 0;
  RequestSystemSound(SOUND_PAUSE);
  m_nSavedPhase = m_nPhase;
  m_nSavedStep = m_nStep;
  return 1;
}

void cStageScene::Pause() {
  if (CheckReplaySaveKeys()) return;
  const int nRows = RetryAllowed() ? 3 : 2;
  if (m_nStep == 0) {
    SetMenuRow(PAUSE_RESUME);
    m_nStep = 1;
  }
  if (m_nStep != 1) return;
  cPad& pad = g_Pads[0];
  pad.PressOnce(0);
  pad.ApplyRepeat();
  const int x = CenteredBoxX(VIEW_WIDTH / 2, TEXT_PAUSE_MENU, nRows, 1);
  g_MenuPosPause.x = x;
  const cMenuFrame menu = MoveMenu(pad, x, nRows);

  if (pad.m_wButtons & BUTTON_CONFIRM) {
    RequestSystemSound(SOUND_CONFIRM);
    switch (menu.nRow) {
      case PAUSE_END:
        m_nPhase = STAGE_PHASE_FADE_OUT;
        if (g_bTestPlay) {
          // A test play ends the program rather than showing the title.
          PostCloseRequest();
        } else {
          g_SceneManager.m_nNextScene = SCENE_TITLE;
          // The title menu comes back on the entry that started the game.
          SetMenuRow(g_SceneManager.m_nMenuChoice);
          m_nStep = 0;
        }
        return;
      case PAUSE_RETRY:
        m_bHoldButtons = 1;
        g_PlayRecord.RestoreStageStart(1);
        SetStage(SET_STAGE_RESTART);
        m_nStep = 0;
        m_nPhase = STAGE_PHASE_START;
        return;
      default:
        m_bHoldButtons = 1;
        m_nPhase = m_nSavedPhase;
        m_nStep = m_nSavedStep;
        return;
    }
  }
  if (pad.m_wButtons & BUTTON_CANCEL) {
    RequestSystemSound(SOUND_CANCEL);
    m_bHoldButtons = 1;
    m_nPhase = m_nSavedPhase;
    m_nStep = nRows == 3 ? m_nSavedStep : 0;
    return;
  }
  Draw(STAGE_DRAW_STILL_FRAME);
  DrawMenu(menu, x, TEXT_PAUSE_MENU, nRows);
}

void cStageScene::ContinueMenu() {
  if (CheckReplaySaveKeys()) return;
  if (m_nStep == 0) {
    SetMenuRow(CONTINUE_RETRY);
    m_nStep = 1;
  }
  cPad& pad = g_Pads[0];
  pad.PressOnce(0);
  pad.ApplyRepeat();
  const int x = CenteredBoxX(VIEW_WIDTH / 2, TEXT_CONTINUE_MENU, 2, 1);
  g_MenuPosContinue.x = x;
  const cMenuFrame menu = MoveMenu(pad, x, 2);

  // The menu has no cancel: one of its two ways must be chosen.
  if (pad.m_wButtons & BUTTON_CONFIRM) {
    RequestSystemSound(SOUND_CONFIRM);
    if (menu.nRow == CONTINUE_GIVE_UP) {
      // The map puts the hero back where he came from, so he is not led in again.
      g_PlayRecord.m_bBackOnMap = 1;
      g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
      SetMenuRow(g_SceneManager.m_nMenuChoice);
      m_nStep = 0;
      m_nPhase = STAGE_PHASE_FADE_OUT;
    } else {
      SetStage(SET_STAGE_RESTART);
      m_nStep = 0;
      m_nPhase = STAGE_PHASE_START;
    }
    return;
  }
  Draw(STAGE_DRAW_STILL_FRAME);
  DrawMenu(menu, x, TEXT_CONTINUE_MENU, 2);
}

void cStageScene::GameOver() {
  if (CheckPauseKey()) {
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_PAUSE;
    return;
  }
  if (CheckReplaySaveKeys()) return;
  if (g_Pads[0].m_wButtons & BUTTON_CONFIRM) {
    RequestSystemSound(SOUND_CONFIRM);
    m_nPhase = STAGE_PHASE_FADE_OUT;
    g_SceneManager.m_nNextScene = SCENE_TITLE;
    return;
  }
  Draw(STAGE_DRAW_STILL_FRAME);
  if (g_Stage.m_bShowGameOver) DDBlt(&BackBuffer, 248, 224, 144, 32, &g_SurfaceData[BMP_WORD], 0, 96, 1);
}
