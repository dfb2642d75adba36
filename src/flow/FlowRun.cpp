// The run state of an actor's flows: building it, firing triggers, starting, stepping,
// ending and deleting flows, and the switches that keep trigger-0 flows apart.
#include <iterator>

#include "base/Log.h"
#include "flow/CommandTables.h"
#include "flow/StepCounts.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Flow.h"
#include "gamedata/Move.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "ui/Pad.h"

namespace {

// The command types from the flow operation on act within one step.
constexpr int kFirstInstantType = CMD_FLOW;
// Stage-start flows that start one another from their instant commands nest no deeper.
constexpr int kMaxStartNesting = 16;
int g_nStartNesting = 0;

cStageScene* Scene() { return g_StageScene.load(std::memory_order_relaxed); }

// A message shown until the advance key is pressed.
bool IsKeyMessage(const cEdCommand& c) {
  return c.m_nType == CMD_MESSAGE && c.m_Params.Size() > P_MESSAGE_MODE && c.m_Params[P_MESSAGE_MODE] == SHOW_UNTIL_KEY;
}

void FlagSwitchEnded(cActor& actor, const cEdFlow* pFlow) {
  if (!pFlow || pFlow->m_nSwitch <= 0) return;
  actor.m_SwitchEnded[pFlow->m_nSwitch] = 1;
  actor.m_bSwitchEnded = 1;
}

}  // namespace

void cCommandRuntime::Reset() {
  m_bDone = 0;
  m_bStarted = 0;
  m_nCounter = 0;
  m_dPhaseX = m_dPhaseY = 0.0;
  m_nRemaining = m_nTotal;
}

void cCommandRuntime::PlaySound() const {
  if (m_pCommand) RequestSound(m_pCommand->m_nSound);
}

int cCommandRuntime::Step() {
  cStageScene* pScene = Scene();
  if (!pScene || !pScene->m_pCurActor) return 1;
  pScene->m_pCurCommand = this;
  pScene->m_pCurActor->ExecCommand(*this);
  if (--m_nRemaining > 0) return 0;
  m_nRemaining = 0;
  return 1;
}

void cFlowRuntime::Start() {
  m_bRunning = 1;
  m_bRestarted = 1;
  m_nCurrent = 0;
  m_nStepCount = 0;
  m_bMessageContinue = 0;
  for (cCommandRuntime& c : m_Commands) c.m_bDone = 0;
  m_bStartedThisFrame = 1;
  cStageScene* pScene = Scene();
  cActor* pActor = pScene ? pScene->m_pCurActor : nullptr;
  if (!m_pFlow || !pActor) return;
  if (m_pFlow->m_nTrigger == TRIGGER_ALWAYS && m_pFlow->m_nSwitch > 0) {
    pActor->m_SwitchBusy[m_pFlow->m_nSwitch] = 1;
    pActor->m_SwitchStarted[m_pFlow->m_nSwitch] = 1;
  }
  if (m_pFlow->m_nTrigger != TRIGGER_STAGE_START || m_Commands.empty()) return;
  // A stage-start flow restarted by its own instant commands is only reset: the run
  // under way goes on (or stops at the abort flag).
  if (m_bInStart) return;
  if (g_nStartNesting >= kMaxStartNesting) {
    ReportPrintfDebug("ステージ開始前のフローの入れ子が深すぎるため、フロー %d を実行しません", m_nIndex);
    End(*pActor);
    return;
  }
  // Stage-start flows run their instant commands here and never stay running.
  cActor* const pSavedActor = pScene->m_pCurActor;
  cFlowRuntime* const pSavedFlow = pScene->m_pCurFlow;
  cCommandRuntime* const pSavedCommand = pScene->m_pCurCommand;
  ++g_nStartNesting;
  m_bInStart = 1;
  pScene->m_pCurFlow = this;
  m_bAbort = 0;
  // The loop keeps its own index: a restart from inside resets m_nCurrent.
  for (int i = 0; i < m_Commands.Size(); ++i) {
    m_nCurrent = i;
    cCommandRuntime& c = m_Commands[i];
    if (!c.m_pCommand || c.m_pCommand->m_nType < kFirstInstantType || !c.m_pCommand->m_bParallel) continue;
    pScene->m_pCurActor = pActor;
    pScene->m_pCurFlow = this;
    if (!c.Step()) DebugErrorBoxPrintf("%s", "使用時間0なので、ここにくることはあり得ないはず！");
    if (m_bAbort) break;
    c.m_bDone = 1;
  }
  m_bInStart = 0;
  --g_nStartNesting;
  pScene->m_pCurActor = pSavedActor;
  pScene->m_pCurFlow = pSavedFlow;
  pScene->m_pCurCommand = pSavedCommand;
  End(*pActor);
}

int cFlowRuntime::Step() {
  cStageScene* pScene = Scene();
  if (pScene) pScene->m_pCurFlow = this;
  m_bAbort = 0;
  m_bRestarted = 0;
  const int nLast = m_Commands.Size() - 1;
  for (int i = 0; i <= m_nCurrent && i <= nLast; ++i) {
    cCommandRuntime& c = m_Commands[i];
    if (c.m_bDone) continue;
    const bool bKeyMessage = c.m_pCommand && IsKeyMessage(*c.m_pCommand);
    const bool bParallel = c.m_pCommand && c.m_pCommand->m_bParallel;
    if (c.m_nRemaining == 0) {
      c.Reset();
      if (!bKeyMessage && !bParallel) m_bMessageContinue = 0;
    }
    // A flow that its own command started again begins afresh in its next step: the
    // command that did it is neither finished nor passed.
    if (bParallel) {
      const int bFinished = c.Step();
      if (m_bRestarted) return 0;
      if (bFinished) {
        c.m_bDone = 1;
        if (i == nLast) return 1;
      }
      if (i == m_nCurrent) m_nCurrent = i + 1;
      if (m_bAbort) return 0;
      continue;
    }
    const int bFinished = c.Step();
    if (m_bRestarted) return 0;
    if (!bFinished) {
      if (m_bAbort) return 0;
      continue;
    }
    c.m_bDone = 1;
    if (bKeyMessage) m_bMessageContinue = 1;
    if (i == nLast) return 1;
    ++m_nCurrent;
    break;
  }
  if (nLast >= 0 && m_Commands[nLast].m_bDone) return 1;
  ++m_nStepCount;
  return 0;
}

void cFlowRuntime::End(cActor& actor) {
  if (!m_bRunning) return;
  m_bRunning = 0;
  for (cCommandRuntime& c : m_Commands) c.m_nRemaining = 0;
  FlagSwitchEnded(actor, m_pFlow);
}

void cFlowRuntime::StopForever(cActor& actor) {
  m_bStopped = 1;
  if (!m_bRunning) return;
  for (cCommandRuntime& c : m_Commands) c.m_nRemaining = 0;
  FlagSwitchEnded(actor, m_pFlow);
}

int DirectionToMoveCode(int nChannel, int nFacing) {
  static constexpr int kCodes[9] = {DIR_AHEAD,   DIR_LEFT,      DIR_RIGHT,    DIR_UP,        DIR_DOWN,
                                    DIR_UP_LEFT, DIR_DOWN_LEFT, DIR_UP_RIGHT, DIR_DOWN_RIGHT};
  if (nChannel >= 1 && nChannel <= 8) return kCodes[nChannel];
  // No direction, and opposing directions held together: straight ahead.
  return nFacing ? DIR_RIGHT : DIR_LEFT;
}

int cActor::GetInputDirection(const cPad& pad) {
  for (int ch = 0; ch < cPad::DirStates && ch < pad.m_DirRuns.Size(); ++ch) {
    const cVector<PADRUN>& runs = pad.m_DirRuns[ch];
    if (!runs.empty() && runs[0].m_nPressed) return ch;
  }
  return 0;
}

int cActor::ExecCommand(cCommandRuntime& runtime) {
  if (!runtime.m_pCommand) return 0;
  // Types outside the table do nothing, like the types without an executor.
  const int nType = runtime.m_pCommand->m_nType;
  if (nType < 0 || nType >= COMMAND_TYPE_COUNT || !g_CommandExecutors[nType]) return 0;
  return g_CommandExecutors[nType](*this, runtime);
}

int cActor::BuildFlows(const cVector<cEdFlow>& flows, int nFacing, int bInsert, int nIndex) {
  const cVector<cEdFlow> given = flows;  // flows may be the actor's own list
  const int n = given.Size();
  int nFirst = 0;
  if (!bInsert) {
    m_FlowRuntimes.clear();
    m_FlowRuntimes.resize(static_cast<std::size_t>(n));
    if (&flows != &m_Def.m_Flows) m_Def.m_Flows = given;
  } else {
    nFirst = nIndex >= 0 && nIndex < m_Def.m_Flows.Size() ? nIndex : m_FlowRuntimes.Size();
    if (nFirst > m_Def.m_Flows.Size()) nFirst = m_Def.m_Flows.Size();
    m_Def.m_Flows.insert(m_Def.m_Flows.begin() + nFirst, given.begin(), given.end());
    m_FlowRuntimes.insert(m_FlowRuntimes.begin() + nFirst, static_cast<std::size_t>(n), cFlowRuntime());
  }
  const double dScale = StepScale();
  for (int k = 0; k < n; ++k) {
    cFlowRuntime& r = m_FlowRuntimes[nFirst + k];
    cEdFlow& flow = m_Def.m_Flows[nFirst + k];
    r.m_nIndex = nFirst + k;
    r.m_pFlow = &flow;
    r.m_nSerial = m_nFlowSerial++;
    r.m_KeyConditions.clear();
    for (cEdKeyCondition& key : flow.m_KeyConditions) r.m_KeyConditions.push_back(&key);
    r.m_Commands.clear();
    r.m_Commands.resize(flow.m_Commands.size());
    for (int j = 0; j < flow.m_Commands.Size(); ++j) {
      cCommandRuntime& c = r.m_Commands[j];
      cEdCommand& cmd = flow.m_Commands[j];
      c.m_pCommand = &cmd;
      c.m_nTotal = TenthsToSteps(ByLevel(cmd.m_nTimePerLevel, m_nLevel, cmd.m_nTime));
      if (const cEdMove* pMove = cmd.m_pMove.get()) {
        c.m_dSpeed = static_cast<double>(ByLevel(pMove->m_nSpeedPerLevel, m_nLevel, pMove->m_nSpeed)) * 0.1 / dScale;
        if (pMove->m_bInertia) c.m_dSpeed2 = pMove->m_nMaxSpeed * 0.1 / dScale;
        c.m_nMoveMode = pMove->m_nDirection;
      }
      const int nType = cmd.m_nType;
      if (nType >= 0 && nType < COMMAND_TYPE_COUNT && g_CommandInitializers[nType])
        g_CommandInitializers[nType](c, *this, nFacing);
    }
  }
  if (bInsert) RelinkFlows();
  for (int k = 0; k < n; ++k) m_FlowRuntimes[nFirst + k].BuildAnimeLinks();
  return n;
}

void cActor::FireFlowTrigger(int nTrigger) {
  cStageScene* pScene = Scene();
  if (!pScene) return;
  pScene->m_pCurActor = this;
  for (int i = 0; i < m_FlowRuntimes.Size(); ++i) {
    cFlowRuntime& r = m_FlowRuntimes[i];
    const cEdFlow* pFlow = r.m_pFlow;
    if (!pFlow || pFlow->m_nTrigger != nTrigger) continue;
    if (r.m_bRunning || r.m_bPaused || r.m_bStopped || r.m_bStartedThisFrame) continue;
    if (nTrigger == TRIGGER_ALWAYS && pFlow->m_nSwitch > 0 &&
        (m_SwitchBusy[pFlow->m_nSwitch] || m_SwitchStarted[pFlow->m_nSwitch]))
      continue;
    if (!pScene->CheckFlowConditions(r, *this) || !CheckKeyConditions(r)) continue;
    const int nPad = m_nKind == 0 ? m_nPadIndex : 0;
    r.m_nInputDirection = nPad >= 0 && nPad < g_Pads.Size() ? GetInputDirection(g_Pads[nPad]) : 0;
    r.Start();
    pScene->m_pCurActor = this;  // a stage-start flow may have fired others
  }
  pScene->m_pCurActor = nullptr;
  pScene->m_pCurFlow = nullptr;
  pScene->m_pCurCommand = nullptr;
}

void cActor::ResetFlowTriggerFlags() {
  for (cFlowRuntime& r : m_FlowRuntimes) r.m_bStartedThisFrame = 0;
  m_SwitchStarted.Fill(0);
}

int cActor::RunFlowPass(int bDeathPass) {
  cStageScene* pScene = Scene();
  if (!pScene) return 0;
  pScene->m_pCurActor = this;
  RunFlowAnimeLinks();
  int bGone = 0;
  for (int i = 0; i < m_FlowRuntimes.Size() && !bGone; ++i) {
    cFlowRuntime& r = m_FlowRuntimes[i];
    if (!r.m_bRunning) continue;
    if (r.m_Commands.empty()) {
      r.End(*this);
      continue;
    }
    const int nTrigger = r.m_pFlow ? r.m_pFlow->m_nTrigger : -1;
    if (r.m_bPaused || r.m_bStopped || (bDeathPass && nTrigger != TRIGGER_DEATH)) continue;
    pScene->m_pCurActor = this;
    if (r.Step()) r.End(*this);
    if (m_bVanished || (!bDeathPass && nTrigger != TRIGGER_DEATH && m_nHp <= 0)) bGone = 1;
  }
  pScene->m_pCurActor = nullptr;
  pScene->m_pCurFlow = nullptr;
  pScene->m_pCurCommand = nullptr;
  if (bGone) return 1;
  if (m_nKind == 0) {
    if (auto* pPlayer = dynamic_cast<cPlayer*>(this)) pPlayer->ApplyPendingFlowChanges();
  }
  if (m_bFlowDeleted) {
    for (int i = 0; i < m_FlowRuntimes.Size(); ++i)
      if (m_FlowRuntimes[i].m_bDeleteRequested) DeleteFlow(i--);
    m_bFlowDeleted = 0;
  }
  if (m_bSwitchEnded) {
    for (int s = 0; s < m_SwitchEnded.Size(); ++s)
      if (m_SwitchEnded[s]) m_SwitchBusy[s] = m_SwitchEnded[s] = 0;
    m_bSwitchEnded = 0;
  }
  return 0;
}

void cActor::DeleteFlow(int nIndex) {
  cFlowRuntime& r = m_FlowRuntimes[nIndex];
  r.End(*this);
  DeleteFlowAnimes(r.m_nSerial);
  const int at = r.m_nIndex;
  if (at >= 0 && at < m_Def.m_Flows.Size()) m_Def.m_Flows.erase(m_Def.m_Flows.begin() + at);
  if (at >= 0 && at < m_FlowRuntimes.Size()) m_FlowRuntimes.erase(m_FlowRuntimes.begin() + at);
  RelinkFlows();
}

int cActor::DeleteFlowsOfGroup(int nID) {
  if (nID == 0) {
    for (cFlowRuntime& r : m_FlowRuntimes) r.End(*this);
    m_FlowRuntimes.clear();
    m_Def.m_Flows.clear();
    m_FlowAnimes.clear();
    RelinkFlows();
    return 0;
  }
  int nFirst = -1;
  for (int i = 0; i < m_FlowRuntimes.Size();) {
    cFlowRuntime& r = m_FlowRuntimes[i];
    if (!r.m_pFlow || r.m_pFlow->m_nID != nID) {
      ++i;
      continue;
    }
    if (nFirst < 0) nFirst = i;
    r.End(*this);
    DeleteFlowAnimes(r.m_nSerial);
    m_FlowRuntimes.erase(m_FlowRuntimes.begin() + i);
    if (i < m_Def.m_Flows.Size()) m_Def.m_Flows.erase(m_Def.m_Flows.begin() + i);
    RelinkFlows();
  }
  return nFirst;
}
