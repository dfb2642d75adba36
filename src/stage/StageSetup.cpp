// The set-up of a running stage from the loaded stage file: object lists, the start
// snapshot on a restart, the random seed, music, scroll axes, block map, the player, the
// placed characters and items, the side lists, the hit schedule, the counters and the
// stage-start triggers.
#include <algorithm>
#include <cstring>

#include "base/AppGlobals.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "base/Random.h"
#include "base/SceneManager.h"
#include "base/Screen.h"
#include "base/Timer.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "platform/clock.h"
#include "platform/messaging.h"
#include "platform/trace.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/FlowRuntime.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageLinks.h"
#include "stage/StageScene.h"
#include "ui/Pad.h"

namespace {

constexpr int MENU_CHOICE_REPLAY = 4;
constexpr const char* NO_HERO = "主人公が配置されていないのでプレイできません！";

bool IsReplayPlayback() { return g_SceneManager.m_nMenuChoice == MENU_CHOICE_REPLAY; }

// Sub-steps of a hit-test level: levels 11 to 19 are 1 to 9 with the fast speed limit.
int SubStepsOfLevel(int n) { return n >= 11 && n <= 19 ? n - 10 : n; }

bool AnyLimit(const cEdStageParam& p) { return p.m_bLimitLeft || p.m_bLimitRight || p.m_bLimitTop || p.m_bLimitBottom; }

}  // namespace

cVector<std::int32_t> MakeHitSchedule(int nSubSteps, int nChecks) {
  cVector<std::int32_t> out;
  if (nSubSteps <= 0) return out;
  if (nChecks <= 0) {
    out.assign(nSubSteps, 1);
    return out;
  }
  out.assign(nSubSteps, 0);
  const double step = static_cast<double>(nSubSteps) / nChecks;
  int nSet = 0;
  double t = 0.0;
  do {
    out[static_cast<int>(t)] = 1;
    ++nSet;
    t += step;
  } while (static_cast<int>(t) < nSubSteps);
  if (nSet < nChecks) out[nSubSteps - 1] = 1;
  return out;
}

void cStageScene::FailSetUp(const char* text) {
  ErrorBox(text);
  PostFailureClose();
  m_bClosing = 1;
  DebugLog("Out SetStage");
}

bool cStageScene::CheckStageGeometry() {
  const cEdStage& st = g_Stage;
  std::string text;
  if (st.m_nWidth < 1 || st.m_nWidth > MAX_STAGE_CELLS || st.m_nHeight < 1 || st.m_nHeight > MAX_STAGE_CELLS) {
    FormatString(
        text,
        "ステージファイル %s のステージの大きさ (%d x %d マス) が、プレイできる範囲 (1 ～ %d マス) を超えています！",
        st.m_strPath.c_str(), st.m_nWidth, st.m_nHeight, MAX_STAGE_CELLS);
    FailSetUp(text.c_str());
    return false;
  }
  const int m = SubStepsOfLevel(st.m_nHitLevel);
  if (m < 0 || m > MAX_SUB_STEPS) {
    FormatString(text, "ステージファイル %s の当たり判定の設定 (%d) が不正です！", st.m_strPath.c_str(),
                 st.m_nHitLevel);
    FailSetUp(text.c_str());
    return false;
  }
  if (st.FindHero() < 0) {
    FailSetUp(NO_HERO);
    return false;
  }
  return true;
}

void cStageScene::SeedRandom() {
  if (IsReplayPlayback()) {
    m_nSeed = static_cast<std::uint32_t>(g_KeyLog.m_nRandomSeed);
    g_KeyLog.Rewind();
  } else if (g_System.m_bRecordReplay) {
    g_PrevStartPlayRecord = g_StartPlayRecord;
    g_StartPlayRecord = g_PlayRecord;
    g_PrevKeyLog = g_KeyLog;
    g_KeyLog.Clear();
    m_nSeed = plat::clock().nowMs();
    g_KeyLog.m_nRandomSeed = static_cast<std::int32_t>(m_nSeed);
  }
  // Without recording or playback the seed stays: a retry repeats the same sequence.
  Srand(m_nSeed);
}

void cStageScene::RequestStageMusic(int bMusicRestart) {
  const int n = g_Stage.m_nBgm;
  const int nPlaying = g_PlayRecord.m_nStageBgm;
  bool bRequest = true;
  if (bMusicRestart) {
    if (g_Stage.m_bKeepBgm && n == nPlaying) bRequest = n == 0;
  } else {
    bRequest = n != nPlaying;
  }
  if (bRequest) RequestBgm(n, g_Stage.m_nBgmOption);
}

void cStageScene::SetUpScrollAxes() {
  const cEdStage& st = g_Stage;
  m_ScrollX.SetMapGeometry(0, st.m_nWidth, st.m_nExtentX);
  m_ScrollX.SetAutoScroll(st.m_nScrollModeX, st.m_nAutoScrollX);
  m_ScrollX.SetLimits(st.m_nScrollLeft, st.m_nScrollRight, st.m_bLimitLeft, st.m_bLimitRight);
  m_ScrollY.SetMapGeometry(1, st.m_nHeight, st.m_nExtentY);
  m_ScrollY.SetAutoScroll(st.m_nScrollModeY, st.m_nAutoScrollY);
  m_ScrollY.SetLimits(st.m_nScrollTop, st.m_nScrollBottom, st.m_bLimitTop, st.m_bLimitBottom);
}

void cStageScene::SetUpPlayer() {
  m_nPlayers = 1;
  g_Players.clear();
  g_Players.resize(m_nPlayers);
  DebugLog("A");
  for (int j = 0; j < m_nPlayers; ++j) {
    cEdChara& h = g_Stage.m_Charas[g_Stage.FindHero()];
    cPlayer& p = g_Players[j];
    const int nId = m_nNextActorId++;
    p.Init(nId, h, ((h.m_nX + 10) << BLOCK_SHIFT) | BLOCK_SIZE / 2, ((h.m_nY + 10) << BLOCK_SHIFT) | BLOCK_SIZE / 2);
    p.PlaceAtCell(h.m_nX, h.m_nY);
    const double dx = h.OffsetX(0, h.m_nFacing);
    const double dy = h.OffsetY(0, h.m_nFacing);
    p.m_dX += dx;
    p.m_dRight += dx;
    p.m_dY += dy;
    p.m_dBottom += dy;
    if (g_Stage.m_bCarryStatus) g_PlayRecord.ApplyCarryOverValues(j, &p.m_nHp, &p.m_nSp);
    p.m_Anime.Start(p.m_bFlying ? 2 : 0, 1);
  }
  DebugLog("B");
  cPlayer& p = g_Players[0];
  m_ScrollX.m_dPos = p.m_dX - VIEW_WIDTH / 2 + (p.m_nWidth / 2);
  m_ScrollY.m_dPos = p.m_dY - VIEW_HEIGHT / 2 + (p.m_nHeight / 2);
  m_ScrollX.Clamp();
  m_ScrollY.Clamp();
  p.CalcScreenRect();
}

void cStageScene::SpawnPlacedObjects() {
  cVector<cEdItem>& items = g_Stage.m_Items;
  std::vector<bool> taken(static_cast<std::size_t>(items.Size()), false);
  for (const cEdChara& placement : g_Stage.m_Charas) {
    if (placement.m_nOperator != 1) continue;
    if (placement.m_nCarriedItem != -1) {
      cItem held;
      cEdItem def = items[placement.m_nCarriedItem];
      held.Init(m_nNextItemId++, def, 1);
      taken[static_cast<std::size_t>(placement.m_nCarriedItem)] = true;
      SpawnCharaAt(g_Charas, placement.m_nX, placement.m_nY, m_nNextActorId, placement, &held);
    } else {
      SpawnCharaAt(g_Charas, placement.m_nX, placement.m_nY, m_nNextActorId, placement, nullptr);
    }
  }
  for (int i = 0; i < items.Size(); ++i) {
    if (taken[static_cast<std::size_t>(i)]) continue;
    SpawnItemAt(g_Items, items[i].m_nX, items[i].m_nY, m_nNextItemId, items[i]);
  }
  DebugLog("11");
  DebugLog("12");
  DebugLog("C");
  DebugLog("D");
}

void cStageScene::BuildHitSchedule() { m_HitSchedule = MakeHitSchedule(g_SubSteps, g_Stage.m_nHitPasses); }

void cStageScene::FireStartTriggers() {
  g_Players[0].FireFlowTrigger(TRIGGER_STAGE_START);
  for (auto it = g_Charas.begin(); it != g_Charas.end();) {
    cChara& c = *it;
    c.FireFlowTrigger(TRIGGER_STAGE_START);
    if (c.m_bVanished) {
      it = EraseChara(g_Charas, it);
    } else if (c.m_nHp <= 0) {
      KillAndCheckEnd(c);
      it = EraseChara(g_Charas, it);
    } else {
      ++it;
    }
  }
}

void cStageScene::SetStage(unsigned nFlags) {
  DebugLog("In SetStage");
  m_SideShots.assign(SIDE_COUNT, cVectorList<cShot*>());
  m_Shots.clear();
  m_SideActors.assign(SIDE_COUNT, cVectorList<cActor*>());
  g_Charas.clear();
  g_Items.clear();

  if (nFlags & SET_STAGE_RESTART) {
    if (IsReplayPlayback()) {
      cEdStage scratch;
      const std::string path = g_Stage.m_strPath;
      if (!g_KeyLog.LoadReplay(path, g_Stage, scratch, g_PlayRecord)) PostCloseRequest();
    }
    g_Stage.CopyFrom(g_StartStage);
    g_Stage.m_Backgrounds = g_StartStage.m_Backgrounds;
    g_Stage.m_Entries = g_StartStage.m_Entries;
    std::copy(std::begin(g_StartStage.m_Params), std::end(g_StartStage.m_Params), std::begin(g_Stage.m_Params));
    g_Stage.m_RankFlags = g_StartStage.m_RankFlags;
  }
  if (!CheckStageGeometry()) return;

  SeedRandom();
  cEdChara& hero = g_Stage.m_Charas[g_Stage.FindHero()];
  if (g_Stage.m_bCarryStatus) g_PlayRecord.ApplyCarryOver(0, hero, g_Stage);
  RequestStageMusic((nFlags & SET_STAGE_MUSIC_RESTART) ? 1 : 0);
  m_nNextActorId = m_nNextItemId = m_nNextShotId = 0;
  g_Stage.SetHitLevel(g_Stage.m_nHitLevel);
  SetUpScrollAxes();
  if (!BuildBlockMap(g_Stage)) {
    m_bClosing = 1;
    DebugLog("Out SetStage");
    return;
  }
  SetUpPlayer();
  m_StageVariables.assign(STAGE_VARIABLE_COUNT, 0);
  DebugLog("10");
  SpawnPlacedObjects();

  m_SideActors[g_Players[0].m_nSide].push_back(&g_Players[0]);
  for (cChara& c : g_Charas) m_SideActors[c.m_nSide].push_back(&c);

  m_bEraseCharas = AnyLimit(g_Stage.m_Params[0]) ? 1 : 0;
  m_bEraseBlockCharas = AnyLimit(g_Stage.m_Params[1]) ? 1 : 0;
  m_bEraseItems = AnyLimit(g_Stage.m_Params[2]) ? 1 : 0;

  m_Popups.clear();
  m_Effects.clear();
  m_ScreenEffect = cScreenEffectState();
  m_ScreenColor.Clear();
  m_Wait.m_nCounter = 0;
  ReleasePictures();
  ReleaseMessageSurfaces();

  BuildHitSchedule();

  m_nEndRequest = 0;
  m_nPhaseFrames = m_nPhaseFrames2 = 0;
  if (g_Stage.m_bTimeLimit) {
    m_bNoTimeLimit = 0;
    m_nTimeLeft = g_Stage.m_nTimeLimit;
  } else {
    m_nTimeLeft = 999;
    m_bNoTimeLimit = 1;
  }
  m_nPlayFrames = m_nPlayTime = 0;
  m_GroupAwake.assign(ACTIVATION_GROUP_COUNT, 0);
  m_nNextPart = 0;
  m_nSubStep = m_nStepCount = 0;

  g_PlayRecord.m_nStageScore = 0;
  if (IsReplayPlayback() || (g_bFromEditor.load() && g_bTestPlay)) g_PlayRecord.ClearTotals();
  g_PlayRecord.SaveStageStart();

  for (cPad& pad : g_Pads) {
    pad.ClearHistory();
    pad.ResetCommandHistory();
  }
  if (g_StageLinks.resetMenuCursor) g_StageLinks.resetMenuCursor();
  CountFrames(0, static_cast<std::uint32_t>(g_Stage.m_nFrameRate));

  for (cEdBackground& bg : g_Stage.m_Backgrounds) bg.m_dOffsetX = bg.m_dOffsetY = 0.0;
  if (g_lpDDData && g_DDState.nBpp == 8) {
    std::memcpy(g_WorkPalette, g_Palette, sizeof(g_WorkPalette));
    DDSetPaletteEntries(0, 256, g_WorkPalette);
  }
  g_SceneManager.m_nFrameRate = std::max(g_Stage.m_nFrameRate, 1);

  FireStartTriggers();
  // Which objects exist and show is known before the first frame: the fade-in and the
  // captions draw the characters and items, not the hero alone.
  ActivateObjects();
  DDSetVirBackBuffer(false);
  if (plat::trace::Enabled())
    plat::trace::Line("stage start %s mode %d part %d", plat::trace::Path(g_Stage.m_strPath).c_str(),
                      static_cast<int>(g_SceneManager.m_nGameMode), static_cast<int>(g_PlayRecord.m_nPart));
  DebugLog("Out SetStage");
}
