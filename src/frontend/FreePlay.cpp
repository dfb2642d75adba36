#include "frontend/FreePlay.h"

#include <string>

#include "base/AppGlobals.h"
#include "base/PathUtil.h"
#include "records/PlayRecord.h"
#include "gamedata/Stage.h"
#include "gamedata/StageLoad.h"
#include "gamedata/System.h"

namespace {
constexpr std::int32_t kUnlimitedLives = 999999;
}  // namespace

bool StartStageFile(std::string_view path, int mode) {
  std::string name(path);
  ResetPlayRecord(g_PlayRecord);
  if (!LoadStage(name, mode, &g_StartStage)) return false;
  g_PlayRecord.m_nStage = 1;
  g_PlayRecord.m_nPart = 1;
  if (g_bTestPlay || g_System.m_UnlimitedLives[GAME_MODE_FREE]) {
    g_PlayRecord.m_nStartLives = g_PlayRecord.m_nLives = kUnlimitedLives;
  } else {
    g_PlayRecord.m_nStartLives = g_System.m_StartLives[GAME_MODE_FREE];
    g_PlayRecord.m_nLives = g_PlayRecord.m_nStartLives - 1;
  }
  MakeRelativePath(name);
  g_PlayRecord.SetStageName(name);
  return true;
}
