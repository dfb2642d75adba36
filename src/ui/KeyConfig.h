// The user's key configuration: whether pad 0 is polled by the fixed mapping or by
// twelve bindings to keyboard keys and joystick axes or buttons. Read once at start-up
// from "user_data\KeyConfig.dat", the raw 108-byte record.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

// One binding: a device (a joystick index, or 8 for the keyboard) and a code (a
// virtual-key code, a joystick axis code 256/512/1024/2048, or a joystick button mask).
struct KEYBINDING {
  std::int32_t m_nDevice;
  std::uint16_t m_wCode;
  std::uint16_t m_wUnused;
};

// Bindings 0 to 3 are left, right, up, down; 4 + j is button j + 1.
struct KEYCONFIG {
  enum : int { Bindings = 12, FileBytes = 108, KeyboardDevice = 8 };
  enum : std::uint16_t { AxisLeft = 256, AxisRight = 512, AxisUp = 1024, AxisDown = 2048 };
  KEYBINDING m_Bindings[Bindings];
  std::int32_t m_nBindingCount;
  std::int32_t m_nJoyCount;
  std::int32_t m_nMode;  // 0: the fixed mapping; anything else: the bindings
};
static_assert(sizeof(KEYCONFIG) == KEYCONFIG::FileBytes);

extern KEYCONFIG g_KeyConfig;  // zero until start-up reads it

// Reads the file into the record: 0 and the record untouched when the file cannot be
// opened, else 1. A short file fills the record only as far as it goes and the rest
// keeps its earlier content; bytes past 108 are ignored.
int ReadKeyConfig(std::string_view fileName, KEYCONFIG& record);
// The default bindings (arrows, Z X C V A S D F on the keyboard), one joystick, fixed
// mapping. The unused bytes of the bindings are left alone.
void SetDefaultKeyConfig(KEYCONFIG& record);

// The record as it lies in the file (little-endian), and back.
std::array<std::uint8_t, KEYCONFIG::FileBytes> EncodeKeyConfig(const KEYCONFIG& record);
void DecodeKeyConfig(const std::array<std::uint8_t, KEYCONFIG::FileBytes>& image, KEYCONFIG& record);
