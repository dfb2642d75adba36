// The game's view of the player's input: a pad with direction and button bits, polled
// once per frame from the keyboard and joystick, and the filters and histories that
// menus, stage play and the key-sequence conditions of flows read.
//
// The frame's poll of entry 0 of a pad vector: PollPadConfigured(1, 60) when the mode
// of g_KeyConfig is non-zero, otherwise PollPad(0, 3, 60). Start-up gives every pad
// SetRepeat(18, 6) and SetDefaultJoyButtons() before the key configuration is read.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "platform/input.h"

// One run of a state: held (1) or not (0) for length frames.
struct PADRUN {
  std::int32_t m_nPressed;
  std::int32_t m_nLength;
  bool operator==(const PADRUN&) const = default;
};

// One entry of a history ring: a value and the consecutive frames it lasted.
struct PADHISTORY {
  std::uint16_t m_wValue;
  std::int32_t m_nRun;
};

class cPad {
 public:
  enum : int {
    // clang-format off
    DirLeft = 1, DirRight = 2, DirUp = 4, DirDown = 8,
    PollJoystick = 1, PollKeyboard = 2,        // flags of PollPad
    DirStates = 10, ButtonStates = 9,          // run lists per direction / button state
    RunsPerList = 32, HistoryEntries = 32, JoyButtons = 8,
    // clang-format on
  };

  cPad();

  // Fixed mapping: joystick joyId and the arrows with Z X C V A S D F. Returns 0 and
  // changes nothing when the key configuration selects the bindings.
  int PollPad(int joyId, int flags, int retryFrames);
  // By the bindings of g_KeyConfig. Returns 0 and changes nothing in the fixed mapping.
  int PollPadConfigured(int players, int retryFrames);
  // Whether a joystick axis code (256 left, 512 right, 1024 up, 2048 down) holds.
  static int TestAxis(const plat::input::JoyState& joy, std::uint16_t code);

  void ClearDirection();
  void ClearButtons();
  void SetRepeat(std::uint32_t delay, std::uint32_t interval);
  // A held direction passes on its first frame, then from the delay on every interval.
  void ApplyRepeat();
  // A press of a masked button (0 = all eight) passes on one frame only.
  void PressOnce(int mask);
  // After a pause in which nobody polled the pad (a modal dialog), the state polled now
  // counts as the one seen last: a button let go of meanwhile is free again, so its
  // next press acts at once, and one still held is not taken for a new press.
  void SettleAfterPause(std::uint16_t direction, std::uint16_t buttons);

  void ClearHistory();
  void PushHistory();
  // The direction (channel 0) or button (channel 1) bits framesAgo frames back.
  std::uint16_t GetHistory(int channel, int framesAgo) const;

  void ResetCommandHistory();
  void RecordCommandHistory();
  static void ToggleRun(cVector<PADRUN>& runs, std::uint16_t value, std::uint16_t test, int bitTest);

  void SetDefaultJoyButtons();

  std::uint16_t m_wDirection = 0;   // 1 left, 2 right, 4 up, 8 down
  std::uint16_t m_wButtons = 0;     // bit i: button i + 1
  std::uint16_t m_wDirHistory = 0;  // raw direction bits of the last four repeat calls, newest low
  PADHISTORY m_History[2][HistoryEntries] = {};
  std::int32_t m_nHistoryPos[2] = {};
  cVector<cVector<PADRUN>> m_DirRuns;  // newest run first; states as in RecordCommandHistory
  cVector<cVector<PADRUN>> m_ButtonRuns;
  std::int32_t m_nDirNumber = 0;  // 1..9 like a telephone keypad, 5 neutral
  std::uint32_t m_nRepeatX = 0;
  std::uint32_t m_nRepeatY = 0;
  std::uint32_t m_nRepeatDelay = 0;
  std::uint32_t m_nRepeatInterval = 0;
  std::int32_t m_bPressLatch = 0;
  std::uint16_t m_wJoyButtonMask[JoyButtons] = {};
  std::int32_t m_bJoyOk = 0;
  std::int32_t m_nJoyRetry = 0;
};

// The keypad number of the pad's direction bits; left wins over right, up over down.
int DirectionToNumber(const cPad& pad);

extern cVector<cPad> g_Pads;  // one pad: the player's
