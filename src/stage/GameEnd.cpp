// The end of a stage: the tally into the play record, the ranked places, the outcome of
// the player's death and the choice of the next scene.
#include <algorithm>

#include "base/SceneManager.h"
#include "base/AppGlobals.h"
#include "gamedata/System.h"
#include "platform/trace.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

void cStageScene::AddStageResults() {
  cPlayRecord& r = g_PlayRecord;
  r.m_nTotalScore += r.m_nStageScore;
  if (!m_bNoTimeLimit) r.m_nTotalTimeLeft += m_nTimeLeft;
  r.m_nTotalClearTime += m_nPlayTime;
  if (!g_Players.empty()) {
    r.m_nTotalHpLeft += g_Players[0].m_nHp;
    r.m_nTotalSpLeft += g_Players[0].m_nSp;
  }
}

void cStageScene::TallyResults() {
  if (plat::trace::Enabled())
    plat::trace::Line("stage end clear frames %d score %d next %d", m_nPlayTime, g_PlayRecord.m_nStageScore,
                      m_nNextPart);
  AddStageResults();
  m_bRankingDone = 0;
  m_bRanked = 0;
  m_Ranks.assign(RANKED_COUNT, -1);
}

void cStageScene::EnterGameEnd() {
  TallyResults();
  m_nStep = 0;
  m_nPhase = STAGE_PHASE_GAME_END;
}

void cStageScene::PlayerDeath(int) {
  if (g_Players.empty() || !g_Players[0].m_bDead) return;
  DeathOutcome();
}

void cStageScene::DeathOutcome() {
  if (!UseLife(g_PlayRecord)) {
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_GAME_OVER;
    return;
  }
  g_PlayRecord.RestoreStageStart(0);
  if (g_SceneManager.m_nGameMode == GAME_MODE_STORY && g_System.m_bStoryContinueOnMiss) {
    m_nStep = 0;
    m_nPhase = STAGE_PHASE_CONTINUE;
    return;
  }
  SetStage(1, 0);
  m_nStep = 0;
  m_nPhase = STAGE_PHASE_START;
}
