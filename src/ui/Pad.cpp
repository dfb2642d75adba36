#include "ui/Pad.h"

#include <algorithm>
#include <climits>

cVector<cPad> g_Pads(1);

namespace {

// Direction states 0 to 8 compare the whole direction word with these values; state 9
// is any direction. The flows read the lists in this order.
constexpr std::uint16_t kDirStateTests[9] = {0, 1, 2, 4, 8, 5, 9, 6, 10};

void ResetRuns(cVector<cVector<PADRUN>>& lists, int count) {
  lists.resize(static_cast<std::size_t>(count));
  for (auto& runs : lists) runs.assign(cPad::RunsPerList, PADRUN{0, 0});
}

}  // namespace

cPad::cPad() {
  ResetRuns(m_DirRuns, DirStates);
  ResetRuns(m_ButtonRuns, ButtonStates);
}

int DirectionToNumber(const cPad& pad) {
  int number = 5;
  if (pad.m_wDirection & cPad::DirLeft) number = 4;
  else if (pad.m_wDirection & cPad::DirRight) number = 6;
  if (pad.m_wDirection & cPad::DirUp) number -= 3;
  else if (pad.m_wDirection & cPad::DirDown) number += 3;
  return number;
}

void cPad::ClearDirection() {
  m_wDirection = 0;
  m_nDirNumber = 5;
}

void cPad::ClearButtons() { m_wButtons = 0; }

void cPad::SetRepeat(std::uint32_t delay, std::uint32_t interval) {
  m_nRepeatDelay = delay;
  m_nRepeatInterval = interval;
}

void cPad::ApplyRepeat() {
  m_wDirHistory = static_cast<std::uint16_t>((m_wDirHistory << 4) | (m_wDirection & 0xF));
  const unsigned previous = (m_wDirHistory >> 4) & 0xF;
  // A pad that never had its repeat set would divide by zero; it repeats every frame.
  const std::uint32_t interval = m_nRepeatInterval ? m_nRepeatInterval : 1;

  struct Axis {
    unsigned bits;
    std::uint32_t& counter;
  };
  for (Axis axis : {Axis{DirLeft | DirRight, m_nRepeatX}, Axis{DirUp | DirDown, m_nRepeatY}}) {
    if ((m_wDirection & axis.bits) != (previous & axis.bits)) {
      axis.counter = 0;
      continue;
    }
    ++axis.counter;
    if (axis.counter < m_nRepeatDelay || axis.counter % interval != 0)
      m_wDirection = static_cast<std::uint16_t>(m_wDirection & ~axis.bits);
  }
}

void cPad::PressOnce(int mask) {
  const unsigned masked = mask == 0 ? 0xFFu : static_cast<unsigned>(mask) & 0xFFFFu;
  const unsigned held = m_wButtons & masked;
  if (m_bPressLatch == 1) {
    m_wButtons = static_cast<std::uint16_t>(m_wButtons & ~held);
    if (held == 0) m_bPressLatch = 0;
  } else if (held != 0) {
    m_bPressLatch = 1;
  }
}

void cPad::SettleAfterPause(std::uint16_t direction, std::uint16_t buttons) {
  m_bPressLatch = buttons != 0 ? 1 : 0;
  m_wDirHistory = static_cast<std::uint16_t>((m_wDirHistory << 4) | (direction & 0xF));
  m_nRepeatX = m_nRepeatY = 0;
}

void cPad::ClearHistory() {
  for (auto& ring : m_History)
    for (PADHISTORY& e : ring) e = PADHISTORY{0, 0};
  m_nHistoryPos[0] = m_nHistoryPos[1] = 0;
}

void cPad::PushHistory() {
  const std::uint16_t values[2] = {m_wDirection, m_wButtons};
  for (int ch = 0; ch < 2; ++ch) {
    PADHISTORY& newest = m_History[ch][m_nHistoryPos[ch]];
    if (newest.m_wValue == values[ch]) {
      if (newest.m_nRun != INT_MAX) ++newest.m_nRun;
    } else {
      m_nHistoryPos[ch] = (m_nHistoryPos[ch] + 1) % HistoryEntries;
      m_History[ch][m_nHistoryPos[ch]] = PADHISTORY{values[ch], 1};
    }
  }
}

std::uint16_t cPad::GetHistory(int channel, int framesAgo) const {
  if (channel != 0 && channel != 1) return 0;
  const PADHISTORY* ring = m_History[channel];
  long long remaining = static_cast<long long>(framesAgo) + 1;
  int p = m_nHistoryPos[channel];
  // Walks back over the runs; a request beyond the ring answers its oldest entry rather
  // than wrapping round to the newest.
  for (int visited = 1; visited < HistoryEntries && remaining > ring[p].m_nRun; ++visited) {
    remaining -= ring[p].m_nRun;
    p = (p + HistoryEntries - 1) % HistoryEntries;
  }
  return ring[p].m_wValue;
}

void cPad::ResetCommandHistory() {
  ResetRuns(m_DirRuns, DirStates);
  ResetRuns(m_ButtonRuns, ButtonStates);
}

void cPad::RecordCommandHistory() {
  for (int s = 0; s < 9; ++s) ToggleRun(m_DirRuns[s], m_wDirection, kDirStateTests[s], 0);
  ToggleRun(m_DirRuns[9], m_wDirection, 15, 1);
  ToggleRun(m_ButtonRuns[0], m_wButtons, 0, 0);
  for (int k = 1; k <= JoyButtons; ++k)
    ToggleRun(m_ButtonRuns[k], m_wButtons, static_cast<std::uint16_t>(1u << (k - 1)), 1);
}

void cPad::ToggleRun(cVector<PADRUN>& runs, std::uint16_t value, std::uint16_t test, int bitTest) {
  const bool holds = bitTest ? (value & test) != 0 : value == test;
  PADRUN& newest = runs[0];
  if ((newest.m_nPressed != 0) != holds) {
    // In place, so the list keeps its size and its storage.
    std::move_backward(runs.begin(), runs.end() - 1, runs.end());
    runs[0] = PADRUN{holds ? 1 : 0, 1};
  } else if (newest.m_nLength != INT_MAX) {
    ++newest.m_nLength;
  }
}

void cPad::SetDefaultJoyButtons() {
  for (int i = 0; i < JoyButtons; ++i) m_wJoyButtonMask[i] = static_cast<std::uint16_t>(1u << i);
}
