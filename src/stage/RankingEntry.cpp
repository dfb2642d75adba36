// The ranking entry of a game end: the name (asked for or taken from the options), the
// results put into their tables and saved, then the ranking sub-loop on thRanking that
// shows the tables over the frozen stage until confirm.
#include <algorithm>
#include <cstdint>
#include <string>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Log.h"
#include "base/SceneManager.h"
#include "base/Thread.h"
#include "gamedata/Option.h"
#include "gamedata/System.h"
#include "gfx/DDSurface.h"
#include "platform/cp932.h"
#include "platform/messaging.h"
#include "platform/thread.h"
#include "platform/trace.h"
#include "records/FrontendLinks.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "records/SaveNotice.h"
#include "sound/SoundTable.h"
#include "stage/GameEnd.h"
#include "stage/StageLinks.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"
#include "ui/Pad.h"

namespace {

constexpr int SOUND_CONFIRM = 1;
constexpr int SOUND_VIEW = 6;
constexpr int SOUND_ENTRY = 16;
constexpr std::uint16_t BUTTON_CONFIRM = 1;
constexpr std::uint16_t BUTTON_VIEW = 8;  // the fourth button cycles the quantity shown
constexpr int RANKING_X = 184;            // top-left corner of the table
constexpr int RANKING_Y = 64;

// The quantity shown can be cycled when the game mode ranks two or more.
bool CanCycleView(int nMode) {
  return nMode >= 0 && nMode < g_System.m_GameModes.Size() && g_System.CountRankedQuantities(nMode) >= 2;
}

// The name-entry dialog on the window thread edits the scene's name while the game
// thread waits for it.
void AskName() {
  if (g_FrontendLinks.dialogRequest) g_FrontendLinks.dialogRequest(appmsg::NameEntry, 0);
}

}  // namespace

unsigned RankingThread(void* arg) {
  cStageScene& scene = *static_cast<cStageScene*>(arg);
  const int nMode = g_SceneManager.m_nGameMode;
  g_PlayRecord.CycleRankingView(nMode, 0);
  const bool bCanCycle = CanCycleView(nMode);
  for (;;) {
    plat::Msg m;
    if (plat::this_thread::peek(m)) {
      if (m.id == plat::wm::Quit) return 1;
      continue;
    }
    if (!g_bActive.load()) {
      plat::this_thread::relax();
      continue;
    }
    if (g_StageLinks.beginSubLoopFrame && !g_StageLinks.beginSubLoopFrame(g_Pads)) PostCloseRequest();
    cPad& pad = g_Pads[0];
    pad.PressOnce(0);
    pad.ApplyRepeat();
    if (pad.m_wButtons & BUTTON_CONFIRM) {
      RequestSystemSound(SOUND_CONFIRM);
      return 1;
    }
    if ((pad.m_wButtons & BUTTON_VIEW) && bCanCycle) {
      RequestSystemSound(SOUND_VIEW);
      g_PlayRecord.CycleRankingView(nMode, 1);
    }
    scene.Draw(STAGE_DRAW_STILL_FRAME);
    const int nView = std::clamp(g_PlayRecord.m_nRankView, 0, RANKED_COUNT - 1);
    const int nRow = nView < scene.m_Ranks.Size() ? scene.m_Ranks[nView] : -1;
    g_RankingSet.DrawTable(&BackBuffer, RANKING_X, RANKING_Y, nView, nRow);
    if (g_StageLinks.presentSubLoopFrame) g_StageLinks.presentSubLoopFrame();
  }
}

void cStageScene::RankingEntry() {
  if (!g_SceneManager.m_bModeRanks || !m_bRanked || m_bRankingDone) return;
  const int nRegMode = RegistrationMode();
  if (nRegMode == 1 || nRegMode == 3) {
    m_strPlayerName = g_Option.m_strRankName;
  } else {
    m_strPlayerName = g_PlayRecord.m_strName;
    AskName();
    g_PlayRecord.m_strName = m_strPlayerName;
  }
  RequestSystemSound(SOUND_ENTRY);
  for (int i = 0; i < RANKED_COUNT && i < m_Ranks.Size() && i < g_RankingSet.m_Tables.Size(); ++i)
    if (m_Ranks[i] != -1) g_RankingSet.m_Tables[i].Insert(m_strPlayerName, m_Results[i]);
  if (plat::trace::Enabled()) plat::trace::Line("ranking entry %s", plat::cp932::toUtf8(m_strPlayerName).c_str());
  // The entry stays in the tables shown; a file that cannot be written is reported.
  if (!g_RankingSet.SaveFile(g_SceneManager.m_nGameMode, g_PlayRecord.m_strStageName)) {
    ReportPrintf("%s のランキングの保存に失敗！", g_PlayRecord.m_strStageName.c_str());
    std::string path;
    if (MakeRankingPath(path, g_SceneManager.m_nGameMode, g_PlayRecord.m_strStageName))
      TellFailedSave(AutoSave::Ranking, path);
  }
  m_bRankingDone = 1;
  // Not after a close request, and a thread that cannot be made shows nothing: the game
  // end goes on.
  RunSubLoop(thRanking, RankingThread, *this, true);
}
