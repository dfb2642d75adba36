// Windows numbering kept where the game logic or stored files depend on it:
// message ids the handlers compare, message-box constants, show commands.
#pragma once
#include <cstdint>

namespace plat {

struct Msg {
  std::uint32_t id = 0;
  std::uintptr_t w = 0;
  std::intptr_t l = 0;
};

namespace wm {
enum : std::uint32_t {
  Create = 0x0001,
  Destroy = 0x0002,
  Move = 0x0003,
  Size = 0x0005,
  Activate = 0x0006,
  SetRedraw = 0x000B,
  Paint = 0x000F,
  Close = 0x0010,
  Quit = 0x0012,
  ActivateApp = 0x001C,
  GetMinMaxInfo = 0x0024,
  CopyData = 0x004A,
  Notify = 0x004E,
  KeyDown = 0x0100,
  KeyUp = 0x0101,
  Char = 0x0102,
  InitDialog = 0x0110,
  Command = 0x0111,
  HScroll = 0x0114,
  VScroll = 0x0115,
  MouseMove = 0x0200,
  LButtonDown = 0x0201,
  LButtonUp = 0x0202,
  LButtonDblClk = 0x0203,
  RButtonDown = 0x0204,
  RButtonUp = 0x0205,
  RButtonDblClk = 0x0206,
  User = 0x0400,
  App = 0x8000,
};
}  // namespace wm

// Multimedia notices the MIDI player's thread compares.
namespace mm {
enum : std::uint32_t { MomPositionCb = 0x03CA };
}

// Message-box buttons and answers.
namespace mb {
enum : int { Ok = 0, YesNo = 4 };
}
namespace answer {
enum : int { Failed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };
}

// Show commands of the launch (5 means started by the kit's editor).
namespace sw {
enum : int { Hide = 0, Normal = 1, Maximized = 3, Show = 5, Minimized = 7 };
}

}  // namespace plat
