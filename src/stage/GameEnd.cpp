// The end of a stage: the tally into the play record with the extra lives it earns, the
// ranked places, the game-end phase that shows the result, and the outcome of the
// player's death.
#include "stage/GameEnd.h"

#include <algorithm>
#include <cstdint>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "base/PathUtil.h"
#include "base/SceneManager.h"
#include "base/SjisText.h"
#include "gamedata/ClampedMath.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDComposite.h"
#include "gfx/Font.h"
#include "platform/input.h"
#include "platform/trace.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "sound/SoundTable.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"
#include "ui/Pad.h"

namespace {

constexpr int SOUND_CONFIRM = 1;
constexpr int SOUND_EXTRA_LIFE = 15;
constexpr int TEXT_RANKING_PROMPT = 27;
constexpr int MENU_CHOICE_REPLAY = 4;

}  // namespace

int ExtraLifeSteps(std::int32_t nOld, std::int32_t nNew, std::int32_t nStep) {
  if (nStep <= 0) return 0;
  const std::int32_t n = nNew / nStep - nOld / nStep;
  return n > 0 ? n : 0;
}

std::int32_t AddExtraLife(std::int32_t nLives) { return nLives < MAX_EXTRA_LIVES ? nLives + 1 : nLives; }

std::string PartFileName(std::string_view stageKey, int nPart) {
  std::string base(stageKey.substr(0, stageKey.empty() ? 0 : stageKey.size() - 1));
  std::string out;
  FormatString(out, "%s-%d.%s", base.c_str(), nPart, g_ExtTable[EXT_STAGE]);
  return out;
}

int RegistrationMode() { return std::clamp(g_Option.m_nRankMode, 0, 3); }

void cStageScene::AddStageResults() {
  cPlayRecord& r = g_PlayRecord;
  // Totals are sums over a whole game; a sum that would leave the 32-bit range stops at its edge.
  const std::int32_t nOld = r.m_nTotalScore;
  r.m_nTotalScore = AddClamped(r.m_nTotalScore, r.m_nStageScore);
  if (!m_bNoTimeLimit) r.m_nTotalTimeLeft = AddClamped(r.m_nTotalTimeLeft, m_nTimeLeft);
  r.m_nTotalClearTime = AddClamped(r.m_nTotalClearTime, m_nPlayTime);
  if (!g_Players.empty()) {
    r.m_nTotalHpLeft = AddClamped(r.m_nTotalHpLeft, g_Players[0].m_nHp);
    r.m_nTotalSpLeft = AddClamped(r.m_nTotalSpLeft, g_Players[0].m_nSp);
  }
  if (r.m_nLives == UNLIMITED_LIVES || !g_System.m_bExtend) return;
  const int n = ExtraLifeSteps(nOld, r.m_nTotalScore, g_System.m_nExtendScore);
  for (int i = 0; i < n; ++i) {
    r.m_nLives = AddExtraLife(r.m_nLives);
    RequestSystemSound(SOUND_EXTRA_LIFE);
    if (plat::trace::Enabled()) plat::trace::Line("extra life lives %d", r.m_nLives);
    // The stage stands still for a moment with each one, its icon rising over the hero.
    ShowExtraLifePopup();
  }
}

void cStageScene::TallyResults() {
  if (plat::trace::Enabled())
    plat::trace::Line("stage end clear frames %d score %d next %d", m_nPlayFrames, g_PlayRecord.m_nStageScore,
                      m_nNextPart);
  AddStageResults();
  m_bRankingDone = 0;
  m_bRanked = 0;
  m_Ranks.assign(RANKED_COUNT, -1);
  // A stage of several parts is ranked once, after its last part.
  if (!g_bTestPlay && (!g_SceneManager.m_bModeRanks || !IsLastPart(m_nNextPart))) return;
  const cPlayRecord& r = g_PlayRecord;
  m_Results.assign(RANKED_COUNT, 0);
  m_Results[0] = r.m_nTotalScore;
  m_Results[1] = r.m_nTotalTimeLeft;
  m_Results[2] = r.m_nTotalClearTime;
  m_Results[3] = r.m_nTotalHpLeft;
  m_Results[4] = r.m_nTotalSpLeft;
  // Results of a test play from the editor are shown, never ranked.
  if (g_bFromEditor.load()) return;
  const int nMode = g_SceneManager.m_nGameMode;
  if (nMode < 0 || nMode >= g_System.m_GameModes.Size()) return;
  const cVector<std::uint8_t>& modeFlags = g_System.m_GameModes[nMode].m_RankedQuantities;
  for (int i = 0; i < RANKED_COUNT; ++i) {
    const bool bModeRanks = i < modeFlags.Size() && modeFlags[i] != 0;
    const bool bStageRanks = i < g_Stage.m_RankFlags.Size() && g_Stage.m_RankFlags[i] != 0;
    if (!bModeRanks || !bStageRanks || i >= g_RankingSet.m_Tables.Size()) continue;
    m_Ranks[i] = g_RankingSet.m_Tables[i].FindRank(m_Results[i]);
    if (m_Ranks[i] != -1) m_bRanked = 1;
  }
}

void cStageScene::EnterGameEnd() {
  TallyResults();
  m_nStep = 0;
  m_nPhase = STAGE_PHASE_GAME_END;
}

int cStageScene::MakePartPath(std::string& out, int nPart) {
  out.clear();
  if (!g_PlayRecord.m_bNumbered || m_nNextPart == 0) return 0;
  std::string found;
  if (!FindNewestNumberedFile(found, PartFileName(g_PlayRecord.m_strStageName, nPart), g_ExtTable[EXT_STAGE])) return 0;
  out = found;
  return 1;
}

int cStageScene::IsLastPart(int nPart) {
  std::string scratch;
  return 1 - MakePartPath(scratch, nPart);
}

void cStageScene::GameEnd() {
  // A close request that came during an extra life's wait is carried out here, since
  // the play frame that would see it does not come again.
  if (m_bQuit.load()) {
    PostCloseRequest();
    return;
  }
  if (IsClosing()) return;
  const int nRegMode = RegistrationMode();
  const bool bAutoEnd = g_Stage.m_bAutoEnd != 0;
  if (!bAutoEnd) {
    if (CheckPauseKey()) {
      m_nStep = 0;
      m_nPhase = STAGE_PHASE_PAUSE;
      return;
    }
    CheckReplaySaveKeys();
    if (nRegMode <= 1 && plat::input::keyDown(plat::vk::F3)) RankingEntry();
  }
  if (m_nStep == 0) {
    m_nPhaseFrames = 0;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  cPad& pad = g_Pads[0];
  pad.PressOnce(0);
  pad.ApplyRepeat();

  if (m_nPhaseFrames >= GAME_END_FRAMES && (bAutoEnd || (pad.m_wButtons & 1))) {
    if (!bAutoEnd) {
      if (m_bRanked && nRegMode >= 2) RankingEntry();
      else RequestSystemSound(SOUND_CONFIRM);
    }
    g_SceneManager.m_nNextScene = ChooseNextScene();
    if (plat::trace::Enabled()) plat::trace::Line("game end next scene %d", g_SceneManager.m_nNextScene);
    m_nPhaseFrames = 0;
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_FADE_OUT;
    return;
  }

  const bool bPrompt = !bAutoEnd && !m_bRankingDone && nRegMode <= 1 &&
                       std::any_of(m_Ranks.begin(), m_Ranks.end(), [](std::int32_t n) { return n != -1; });
  // The prompt takes the bottom line.
  Draw(bPrompt ? STAGE_DRAW_FROZEN : STAGE_DRAW_STILL_FRAME);
  if (bPrompt && TEXT_RANKING_PROMPT < g_System.m_Texts.Size()) {
    // Every character takes one cell of the small font, so its cells centre the line.
    const std::string& text = g_System.m_Texts[TEXT_RANKING_PROMPT];
    Font& font = g_Fonts[0];
    FontPrintf(&font, &BackBuffer, VIEW_WIDTH / 2 - font.m_nCellWidth * CountChars(text) / 2, 456, "%s", text.c_str());
  }
  if (g_Stage.m_bShowClear) {
    m_nPhaseFrames = std::min(m_nPhaseFrames + 4, GAME_END_FRAMES);
    DDSURFACEDATA* word = &g_SurfaceData[BMP_WORD];
    if (m_nPhaseFrames < 100)
      DDBltInterlace(&BackBuffer, 256, 192, 128, 32, 4, 100 - m_nPhaseFrames, word, 0, 64, 1, 0);
    else DDBlt(&BackBuffer, 256, 192, 128, 32, word, 0, 64, 1);
  } else {
    m_nPhaseFrames = GAME_END_FRAMES;
  }
  if (m_nPhaseFrames >= GAME_END_FRAMES && g_SceneManager.m_bModeRanks && !bAutoEnd)
    DrawResultPanel(&BackBuffer, 336, 224, m_Ranks.data());
}

void cStageScene::PlayerDeath(int) {
  if (g_Players.empty() || !g_Players[0].m_bDead) return;
  DeathOutcome();
}

void cStageScene::DeathOutcome() {
  cPlayRecord& r = g_PlayRecord;
  if (g_SceneManager.m_nMenuChoice == MENU_CHOICE_REPLAY) {
    r.RestoreStageStart(1);
    SetStage(SET_STAGE_RESTART | SET_STAGE_MUSIC_RESTART);
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_START;
    return;
  }
  if (!UseLife(r)) {
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_GAME_OVER;
    return;
  }
  if (g_Stage.m_bCarryStatus) r.ClearCarryOver();
  r.RestoreStageStart(0);
  m_nStep = 0;
  if (g_SceneManager.m_nGameMode == GAME_MODE_STORY && g_System.m_bStoryContinueOnMiss) {
    m_nPhase = STAGE_PHASE_CONTINUE;
    return;
  }
  SetStage(SET_STAGE_RESTART);
  m_nPhase = STAGE_PHASE_START;
}
