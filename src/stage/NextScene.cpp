// Where the game goes when the result of a stage is left: the hero's status carried on,
// then by the way the game was started the next part of a numbered stage, the world map
// with the stage's switch set, the stage list with the challenge progress saved, the
// same stage file again, or the replay from its start.
#include <algorithm>
#include <string>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "base/SceneManager.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Stage.h"
#include "gamedata/StageLoad.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "stage/Player.h"
#include "stage/StageLinks.h"
#include "stage/StageScene.h"

namespace {

enum : int { CHOICE_NEW_GAME = 0, CHOICE_CONTINUE = 1, CHOICE_CHALLENGE = 2, CHOICE_STAGE_FILE = 3, CHOICE_REPLAY = 4 };
enum : int { AFTER_CLEAR_NEXT_ROUND = 1, AFTER_CLEAR_TITLE = 2 };

// Part nPart of the numbered stage becomes the stage to play; true when it was loaded.
// A part that is missing or does not load is no error: the stage then counts as ended.
bool LoadNextPart(cStageScene& scene, int nPart) {
  g_PlayRecord.m_nPart = nPart;
  std::string path;
  if (!scene.MakePartPath(path, nPart) || !LoadStage(path, 0, &g_StartStage)) return false;
  g_KeyLog.Clear();
  g_PrevKeyLog.Clear();
  return true;
}

void SetMenuCursorRow(int nRow) {
  if (g_StageLinks.setMenuCursorRow) g_StageLinks.setMenuCursorRow(nRow);
}

// A story stage (of its last part) is cleared: its switch, its best value and the map
// entry's after-clear action.
int StoryCleared() {
  cPlayRecord& r = g_PlayRecord;
  if (r.m_nStage >= 0 && r.m_nStage < r.m_Switches.Size()) r.m_Switches[r.m_nStage] = 1;
  r.SetStageBest(r.m_strStageName, r.m_nTotalScore);
  const int nAfter = r.m_pMapEntry ? r.m_pMapEntry->m_nAfterClear : 0;
  if (nAfter == AFTER_CLEAR_NEXT_ROUND) {
    r.StartNextRound();
    return SCENE_WORLDMAP;
  }
  if (nAfter == AFTER_CLEAR_TITLE) {
    SetMenuCursorRow(g_SceneManager.m_nMenuChoice);
    return SCENE_TITLE;
  }
  return SCENE_WORLDMAP;
}

// A challenge stage is cleared: its flag, its best value (the game's total score), the
// next stage opened, and the progress on disk.
void ChallengeCleared() {
  cPlayRecord& r = g_PlayRecord;
  const int nIndex = r.m_nStage - 1;
  if (nIndex >= 0 && nIndex < r.m_Stages.Size()) {
    cStageResult& stage = r.m_Stages[nIndex];
    stage.m_bCleared = 1;
    if (r.m_nTotalScore > stage.m_nBest) {
      r.m_nBestTotal += r.m_nTotalScore - stage.m_nBest;
      stage.m_nBest = r.m_nTotalScore;
    }
  }
  if (r.m_nOpenStages <= r.m_nStage) r.m_nOpenStages = std::min(r.m_nStage + 1, g_System.m_nChallengeStages);
  // The progress is the player's to keep: a failed save is told, and play goes on.
  if (!r.SaveChallenge()) {
    const char* path = g_PathTable[PATH_CHALLENGE];
    ReportPrintf("%s のセーブに失敗！", path);
    ErrorBoxPrintf("%s のセーブに失敗！", path);
  }
}

}  // namespace

int cStageScene::ChooseNextScene() {
  cPlayRecord& r = g_PlayRecord;
  if (g_Stage.m_bPassOnStatus) {
    for (int i = 0; i < g_Players.Size(); ++i) {
      const cPlayer& p = g_Players[i];
      r.StoreCarryOver(i, p.m_Def, p.m_nHp, p.m_nSp, static_cast<std::int16_t>(p.m_CharaEffect.m_nIndex),
                       p.m_Def.m_nCharaEffectParamA, p.m_Def.m_nCharaEffectParamB, m_nTimeLeft, r.m_nLives,
                       r.m_nStageBgm);
    }
  }
  const std::int32_t nSavedPart = r.m_nPart;
  const int nChoice = g_SceneManager.m_nMenuChoice;
  switch (nChoice) {
    case CHOICE_NEW_GAME:
    case CHOICE_CONTINUE: {
      if (r.m_bNumbered && m_nNextPart != 0 && LoadNextPart(*this, m_nNextPart)) return SCENE_STAGE;
      const int nScene = StoryCleared();
      if (nScene == SCENE_WORLDMAP) r.m_nPart = nSavedPart;
      return nScene;
    }
    case CHOICE_CHALLENGE:
      if (r.m_bNumbered && m_nNextPart != 0 && LoadNextPart(*this, m_nNextPart)) return SCENE_STAGE;
      ChallengeCleared();
      r.m_nPart = nSavedPart;
      return SCENE_STAGESELECT;
    case CHOICE_STAGE_FILE:
      if (!r.m_bNumbered || g_bTestPlay) return SCENE_STAGE;
      if (m_nNextPart != 0 && LoadNextPart(*this, m_nNextPart)) return SCENE_STAGE;
      r.m_nPart = nSavedPart;
      return SCENE_TITLE;
    case CHOICE_REPLAY: r.RestoreStageStart(1); return SCENE_STAGE;
    default: return SCENE_STAGESELECT;
  }
}
