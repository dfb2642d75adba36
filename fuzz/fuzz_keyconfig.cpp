// Any 108 bytes of a key configuration, with any keys and joysticks held, must poll a
// pad without reading out of bounds.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/input.h"
#include "ui/KeyConfig.h"
#include "ui/Pad.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using plat::input::InputProbe;
  std::array<std::uint8_t, KEYCONFIG::FileBytes> image{};
  const std::size_t head = size < image.size() ? size : image.size();
  std::memcpy(image.data(), data, head);
  DecodeKeyConfig(image, g_KeyConfig);
  data += head;
  size -= head;

  InputProbe::reset();
  // The rest: pairs of bytes; a key code to hold, or a joystick slot and its state.
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    if (data[i] & 0x80) {
      plat::input::JoyState s;
      s.x = data[i + 1] * 257u;
      s.y = (data[i + 1] ^ 0x5A) * 257u;
      s.buttons = data[i] * 0x01010101u;
      InputProbe::setJoystick(data[i] & 0x1F, &s);
    } else {
      InputProbe::setKey(data[i + 1], true);
    }
  }

  cPad pad;
  pad.SetRepeat(18, 6);
  pad.SetDefaultJoyButtons();
  for (int frame = 0; frame < 3; ++frame) {
    if (g_KeyConfig.m_nMode != 0) pad.PollPadConfigured(1, 60);
    else pad.PollPad(0, 3, 60);
    pad.ApplyRepeat();
    pad.PressOnce(3);
    pad.PushHistory();
    pad.RecordCommandHistory();
  }
  if (pad.m_nDirNumber < 1 || pad.m_nDirNumber > 9) __builtin_trap();
  return 0;
}
