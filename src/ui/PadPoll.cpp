// Polling a pad from the keyboard and the joysticks, by the fixed mapping or by the
// bindings of the key configuration.
#include <algorithm>

#include "platform/input.h"
#include "ui/KeyConfig.h"
#include "ui/Pad.h"

namespace {

using plat::input::JoyState;

constexpr std::uint32_t kLowEdge = 10000;   // an axis at most this leans left / up
constexpr std::uint32_t kHighEdge = 55535;  // at least this leans right / down

bool ReadJoy(int id, JoyState& out) { return id >= 0 && plat::input::readJoystick(static_cast<unsigned>(id), out); }

}  // namespace

int cPad::TestAxis(const JoyState& joy, std::uint16_t code) {
  switch (code) {
    case KEYCONFIG::AxisLeft: return joy.x <= kLowEdge;
    case KEYCONFIG::AxisRight: return joy.x >= kHighEdge;
    case KEYCONFIG::AxisUp: return joy.y <= kLowEdge;
    case KEYCONFIG::AxisDown: return joy.y >= kHighEdge;
    default: return 0;
  }
}

int cPad::PollPad(int joyId, int flags, int retryFrames) {
  if (g_KeyConfig.m_nMode != 0) return 0;

  bool joyDirection = false, joyButtons = false;
  if (m_bJoyOk == 0 && m_nJoyRetry > 0) {
    --m_nJoyRetry;  // a missing joystick rests between tries
  } else {
    JoyState joy;
    if (!ReadJoy(joyId, joy)) {
      m_bJoyOk = 0;
      m_nJoyRetry = 2 * retryFrames;
    } else {
      m_bJoyOk = 1;
      if (flags & PollJoystick) {
        m_nDirNumber = 5;
        m_wDirection = 0;
        if (joy.x <= kLowEdge) {
          m_nDirNumber = 4;
          m_wDirection |= DirLeft;
        } else if (joy.x >= kHighEdge) {
          m_nDirNumber = 6;
          m_wDirection |= DirRight;
        }
        if (joy.y <= kLowEdge) {
          m_nDirNumber -= 3;
          m_wDirection |= DirUp;
        } else if (joy.y >= kHighEdge) {
          m_nDirNumber += 3;
          m_wDirection |= DirDown;
        }
        joyDirection = m_nDirNumber != 5;
        m_wButtons = 0;
        for (int i = 0; i < JoyButtons; ++i)
          if (m_wJoyButtonMask[i] & joy.buttons) m_wButtons |= static_cast<std::uint16_t>(1u << i);
        joyButtons = m_wButtons != 0;
      }
    }
  }

  if (!(flags & PollKeyboard)) return 1;

  // The stick hides the arrows and any joystick button hides the keyboard buttons,
  // each on its own. All four arrows count: left with right gives bits 3, number 5.
  if (!joyDirection) {
    m_nDirNumber = 5;
    m_wDirection = 0;
    if (plat::input::keyDown(plat::vk::Left)) {
      m_wDirection |= DirLeft;
      m_nDirNumber -= 1;
    }
    if (plat::input::keyDown(plat::vk::Right)) {
      m_wDirection |= DirRight;
      m_nDirNumber += 1;
    }
    if (plat::input::keyDown(plat::vk::Up)) {
      m_wDirection |= DirUp;
      m_nDirNumber -= 3;
    }
    if (plat::input::keyDown(plat::vk::Down)) {
      m_wDirection |= DirDown;
      m_nDirNumber += 3;
    }
  }
  if (!joyButtons) {
    static constexpr char kButtonKeys[JoyButtons] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
    m_wButtons = 0;
    for (int i = 0; i < JoyButtons; ++i)
      if (plat::input::keyDown(static_cast<std::uint16_t>(kButtonKeys[i])))
        m_wButtons |= static_cast<std::uint16_t>(1u << i);
  }
  return 1;
}

int cPad::PollPadConfigured(int players, int retryFrames) {
  const KEYCONFIG& config = g_KeyConfig;
  if (config.m_nMode == 0) return 0;

  // The record comes from a file that nothing checks: the joysticks read are bounded by
  // the platform's slots and the button bindings by the record's twelve.
  const int joyCount = std::clamp(config.m_nJoyCount, 0, static_cast<int>(plat::input::kJoystickSlots));
  const int bindingCount = std::clamp(config.m_nBindingCount, 0, static_cast<int>(KEYCONFIG::Bindings));

  JoyState joys[plat::input::kJoystickSlots];
  bool joyOk[plat::input::kJoystickSlots] = {};
  for (int j = 0; j < joyCount; ++j) {
    if (m_bJoyOk == 0 && m_nJoyRetry > 0) {
      --m_nJoyRetry;
      continue;
    }
    joyOk[j] = ReadJoy(j, joys[j]);
    m_bJoyOk = joyOk[j] ? 1 : 0;
    if (!joyOk[j]) m_nJoyRetry = 2 * retryFrames;
  }

  // The record holds the bindings of one player.
  if (players < 1) return 1;

  auto onJoystick = [&](const KEYBINDING& b) -> const JoyState* {
    return b.m_nDevice >= 0 && b.m_nDevice < joyCount && joyOk[b.m_nDevice] ? &joys[b.m_nDevice] : nullptr;
  };
  auto keyHeld = [](const KEYBINDING& b) {
    return b.m_nDevice == KEYCONFIG::KeyboardDevice && plat::input::keyDown(b.m_wCode);
  };
  auto directionActive = [&](int i) {
    const KEYBINDING& b = config.m_Bindings[i];
    if (keyHeld(b)) return true;
    const JoyState* joy = onJoystick(b);
    return joy && (TestAxis(*joy, b.m_wCode) || (joy->buttons & b.m_wCode) != 0);
  };
  auto buttonActive = [&](int i) {
    const KEYBINDING& b = config.m_Bindings[i];
    if (keyHeld(b)) return true;
    const JoyState* joy = onJoystick(b);
    return joy && (joy->buttons & b.m_wCode) != 0;
  };

  m_nDirNumber = 5;
  m_wDirection = 0;
  m_wButtons = 0;
  if (directionActive(0)) {
    m_wDirection |= DirLeft;
    m_nDirNumber -= 1;
  } else if (directionActive(1)) {
    m_wDirection |= DirRight;
    m_nDirNumber += 1;
  }
  if (directionActive(2)) {
    m_wDirection |= DirUp;
    m_nDirNumber -= 3;
  } else if (directionActive(3)) {
    m_wDirection |= DirDown;
    m_nDirNumber += 3;
  }
  for (int j = 0; j + 4 < bindingCount; ++j)
    if (buttonActive(4 + j)) m_wButtons |= static_cast<std::uint16_t>(1u << j);
  return 1;
}
