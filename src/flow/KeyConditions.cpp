// Key sequences of flows matched against the hero's run-length input history, and the
// plain key-state test of the player's jump.
#include <algorithm>

#include "gamedata/Flow.h"
#include "gamedata/Vocabulary.h"
#include "gamedata/KeyCondition.h"
#include "stage/Actor.h"
#include "stage/FlowRuntime.h"
#include "stage/Player.h"
#include "ui/Pad.h"

namespace {

constexpr int kRuns = cPad::RunsPerList;

// Key index to its left-right mirror (left/right, up-left/up-right, down-left/down-right).
int MirrorKey(int nKey) {
  switch (nKey) {
    case 1: return 2;
    case 2: return 1;
    case 5: return 7;
    case 7: return 5;
    case 6: return 8;
    case 8: return 6;
    default: return nKey;
  }
}

// The run list of a channel: keys 0-9 the directions, 10-18 the buttons; null when the
// pad has no such list.
const cVector<PADRUN>* Runs(const cPad& pad, int nKey) {
  const auto& lists = nKey < 10 ? pad.m_DirRuns : pad.m_ButtonRuns;
  const int i = nKey < 10 ? nKey : nKey - 10;
  return i < lists.Size() ? &lists[i] : nullptr;
}

const PADRUN* RunAt(const cPad& pad, int nKey, int nRun) {
  const cVector<PADRUN>* p = Runs(pad, nKey);
  return p && nRun >= 0 && nRun < p->Size() ? &(*p)[nRun] : nullptr;
}

int RunLength(const cPad& pad, int nKey, int nRun) {
  const PADRUN* p = RunAt(pad, nKey, nRun);
  return p ? p->m_nLength : 0;
}

// The hero's pad; null without a hero or with a pad index outside the pads.
const cPad* HeroPad() {
  if (g_Players.empty()) return nullptr;
  const int n = g_Players[0].m_nPadIndex;
  return n >= 0 && n < g_Pads.Size() ? &g_Pads[n] : nullptr;
}

// Matches and failures of a step's keys combined by its rule.
bool RuleHolds(int nRule, int nMatches, int nFailures) {
  switch (nRule) {
    case KEY_RULE_ALL: return nFailures == 0;
    case KEY_RULE_ANY: return nMatches >= 1;
    case KEY_RULE_ONE: return nMatches == 1;
    default: return true;
  }
}

}  // namespace

bool cActor::CheckKeyConditions(cFlowRuntime& runtime) {
  if (runtime.m_KeyConditions.empty()) return true;
  const cEdFlow* pFlow = runtime.m_pFlow;
  const int nTolerance = pFlow ? pFlow->m_nKeyTolerance : 0;
  const bool bMatch = MatchKeySequence(runtime.m_KeyConditions, nTolerance);
  if (pFlow && pFlow->m_bKeyContinuous) return bMatch;
  if (!bMatch) {
    runtime.m_bKeyEdge = 0;
    return false;
  }
  if (!runtime.m_bKeyEdge) {
    runtime.m_bKeyEdge = 1;
    return true;
  }
  // Still held: the switch stays taken so that no other flow of it starts in this step.
  if (pFlow && pFlow->m_nTrigger == TRIGGER_ALWAYS && pFlow->m_nSwitch > 0) {
    m_SwitchBusy[pFlow->m_nSwitch] = 1;
    m_SwitchEnded[pFlow->m_nSwitch] = 1;
    m_bSwitchEnded = 1;
  }
  return false;
}

bool cActor::MatchKeySequence(const cVector<cEdKeyCondition*>& steps, int nTolerance) {
  const cPad* pPad = HeroPad();
  if (!pPad) return false;
  cKeyCursor cursor;
  for (int ch = 0; ch < KEY_CHANNEL_COUNT; ++ch) cursor.m_nFrames[ch] = RunLength(*pPad, ch, 0);
  for (int k = steps.Size() - 1; k >= 0; --k) {
    const cEdKeyCondition* pStep = steps[k];
    if (!pStep) return false;
    int m = 0;
    bool bOk = MatchKeyStep(*pStep, cursor, m);
    if (!bOk && k != steps.Size() - 1 && nTolerance > 0) {
      int nBack = 0;
      while (!bOk && nBack < nTolerance) {
        ShiftKeyHistory(cursor, *pPad, -1);
        ++nBack;
        bOk = MatchKeyStep(*pStep, cursor, m);
      }
      if (!bOk) {
        ShiftKeyHistory(cursor, *pPad, nBack);
        ShiftKeyHistory(cursor, *pPad, 1);
        bOk = MatchKeyStep(*pStep, cursor, m);
      }
    }
    if (!bOk) return false;
    if (k == 0) return true;
    ShiftKeyHistory(cursor, *pPad, -m);
  }
  return true;
}

bool cActor::MatchKeyStep(const cEdKeyCondition& step, const cKeyCursor& cursor, int& nMatched) {
  nMatched = 0;
  const cPad* pPad = HeroPad();
  if (!pPad) return false;
  const bool bMirror = step.m_bFacingRelative == 1 && m_nFacing == 0;
  const int nKeys = std::min(step.m_KeyStates.Size(), KEY_CHANNEL_COUNT);
  int nMatches = 0, nFailures = 0;
  for (int i = 0; i < nKeys; ++i) {
    const int nState = step.m_KeyStates[i];
    if (nState == KEY_IGNORED) continue;
    const int ch = bMirror ? MirrorKey(i) : i;
    const int r = cursor.m_nFrames[ch];
    if (!MatchKeyRun(RunAt(*pPad, ch, cursor.m_nRun[ch]), r, step, nState)) {
      ++nFailures;
      continue;
    }
    if (step.m_nRule == KEY_RULE_ALL) nMatched = nMatches == 0 ? r : std::min(nMatched, r);
    else if (step.m_nRule == KEY_RULE_ANY) nMatched = nMatches == 0 ? r : std::max(nMatched, r);
    else if (step.m_nRule == KEY_RULE_ONE) nMatched = r;
    ++nMatches;
  }
  return RuleHolds(step.m_nRule, nMatches, nFailures);
}

bool cActor::MatchKeyRun(const PADRUN* pRun, int r, const cEdKeyCondition& step, int nState) {
  // A cursor past the oldest run has no frames there: nothing matches.
  if (!pRun || r < 1) return false;
  if (nState == KEY_PRESSED) {
    if (!pRun->m_nPressed) return false;
    return step.m_bAnyLength || (step.m_nMinFrames <= r && r <= step.m_nMaxFrames);
  }
  if (nState == KEY_RELEASED) return !pRun->m_nPressed;
  return false;
}

void cActor::ShiftKeyHistory(cKeyCursor& cursor, const cPad& pad, int n) {
  for (int ch = 0; ch < KEY_CHANNEL_COUNT; ++ch) {
    std::int32_t& idx = cursor.m_nRun[ch];
    std::int32_t& r = cursor.m_nFrames[ch];
    if (n <= 0) {
      r += n;
      while (r < 0) {
        if (++idx >= kRuns) {
          idx = kRuns - 1;
          break;
        }
        r += RunLength(pad, ch, idx);
      }
      if (r == 0 && idx + 1 < kRuns) r = RunLength(pad, ch, ++idx);
    } else {
      r += n;
      // Into newer runs: the frames of the run left behind are spent.
      while (r > RunLength(pad, ch, idx)) {
        if (idx == 0) break;
        r -= RunLength(pad, ch, idx);
        --idx;
      }
    }
  }
}

bool cActor::CheckKeyState(const cPad& pad, const cEdKeyCondition& condition) {
  const int nKeys = std::min(condition.m_KeyStates.Size(), KEY_CHANNEL_COUNT);
  int nMatches = 0, nFailures = 0;
  for (int i = 0; i < nKeys; ++i) {
    const int nState = condition.m_KeyStates[i];
    if (nState == KEY_IGNORED) continue;
    const PADRUN* pRun = RunAt(pad, i, 0);
    const bool bOk =
        pRun && ((nState == KEY_PRESSED && pRun->m_nPressed) || (nState == KEY_RELEASED && !pRun->m_nPressed));
    ++(bOk ? nMatches : nFailures);
  }
  return RuleHolds(condition.m_nRule, nMatches, nFailures);
}
