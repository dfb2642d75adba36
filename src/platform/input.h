// Keyboard, mouse buttons, joysticks and text input.
//
// The window thread feeds every SDL event through feedEvent(); the tables it keeps are
// atomics, so the game thread and its workers read the state "now" with no pump of
// their own. Keys use Windows virtual-key numbering because the key configuration file
// stores those numbers; joysticks report X and Y in 0..65535 and button bit masks, the
// ranges the stored joystick codes refer to.
#pragma once
#include <cstdint>
#include <string_view>

union SDL_Event;

namespace plat {

// Windows virtual-key codes. Letters and digits are their ASCII capitals ('A', '0').
namespace vk {
enum : std::uint8_t {
  // clang-format off
  LButton = 0x01, RButton = 0x02, MButton = 0x04, XButton1 = 0x05, XButton2 = 0x06,
  Back = 0x08, Tab = 0x09, Return = 0x0D,
  Shift = 0x10, Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14,
  Convert = 0x1C, NonConvert = 0x1D, Escape = 0x1B, Space = 0x20,
  Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24,
  Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
  Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E,
  LWin = 0x5B, RWin = 0x5C, Apps = 0x5D,
  Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F,
  F1 = 0x70, F2 = 0x71, F3 = 0x72, F4 = 0x73, F5 = 0x74, F6 = 0x75, F7 = 0x76, F8 = 0x77,
  F9 = 0x78, F10 = 0x79, F11 = 0x7A, F12 = 0x7B, F13 = 0x7C, F24 = 0x87,
  NumLock = 0x90, Scroll = 0x91,
  LShift = 0xA0, RShift = 0xA1, LControl = 0xA2, RControl = 0xA3, LMenu = 0xA4, RMenu = 0xA5,
  Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD, OemPeriod = 0xBE, Oem2 = 0xBF,
  Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC, Oem6 = 0xDD, Oem7 = 0xDE, Oem102 = 0xE2,
  OemCopy = 0xF2, OemAuto = 0xF3,
  // clang-format on
};
}  // namespace vk

namespace input {

// --- Window thread -------------------------------------------------------------------

// Once, after SDL_Init(SDL_INIT_VIDEO) and before the first event is pumped: starts
// the joystick subsystem (joysticks are read even without focus), switches text input
// off (an active input method would otherwise swallow the game keys) and looks up the
// keyboard layout.
void init();
// Closes the joysticks and clears every table; the last call before SDL_Quit.
void shutdown();
// Every SDL event, before anything else handles it: keys, mouse buttons, focus loss,
// keymap changes, joystick plug and unplug and motion, text editing.
void feedEvent(const SDL_Event& event);
// Once per pump turn: copies the open joysticks' axes and buttons into the snapshot
// that readJoystick() returns.
void refreshJoysticks();

// The virtual-key code of a key event (layout-aware, as the key table); 0 for a key
// without one.
std::uint8_t virtualKeyOf(const SDL_Event& keyEvent);

// Text input for an edit box that has the focus; caret in window pixels.
struct CaretRect {
  int x = 0, y = 0, w = 0, h = 0;
};
void textInputBegin(const CaretRect& caret);
void textInputEnd();
bool textInputActive();

// --- Any thread ----------------------------------------------------------------------

// Whether the key (or mouse button) with this virtual-key code is held now.
bool keyDown(std::uint16_t vk);

// A key of a key script (test equipment): it enters the key table as a real key's press
// or release does, the generic Shift, Control and Alt codes included, so nothing above
// this layer can tell the two apart. A press of a key the script holds already, or a
// release of one it does not hold, changes nothing (as a key's auto-repeat does not).
void scriptKey(std::uint8_t vk, bool down);
// The virtual-key code of a key name, case ignored: A-Z, 0-9, F1-F24, RETURN (ENTER),
// ESCAPE (ESC), SPACE, TAB, BACK (BACKSPACE), INSERT, DELETE, HOME, END, PRIOR (PAGEUP),
// NEXT (PAGEDOWN), LEFT, RIGHT, UP, DOWN, SHIFT, CONTROL (CTRL), ALT (MENU), LSHIFT,
// RSHIFT, LCTRL (LCONTROL), RCTRL (RCONTROL), LALT, RALT, PAUSE, NUMPAD0-NUMPAD9; 0 for
// any other name.
std::uint8_t keyByName(std::string_view name);

// One joystick reading: X and Y in 0..65535 (SDL value + 32768), bit i of buttons set
// while button i + 1 is held.
struct JoyState {
  std::uint32_t x = 32768, y = 32768;
  std::uint32_t buttons = 0;
};
// Number of joystick slots; a slot index is the order in which the devices came.
inline constexpr unsigned kJoystickSlots = 16;
// False when no joystick sits in that slot.
bool readJoystick(unsigned index, JoyState& out);

// True while an input-method composition is in progress (pre-edit text not committed).
bool imeComposing();

// --- Tests ---------------------------------------------------------------------------

enum class KeyLayout { Auto, Us, Jp106 };

// Sets the state directly, as a user or device would; usable beside the real feed.
struct InputProbe {
  // Clears keys, joysticks (closing opened devices), read counts, composition and
  // returns the layout to Auto.
  static void reset();
  static void setKey(std::uint16_t vk, bool down);
  static void setComposing(bool on);                               // an input-method composition in progress
  static void setJoystick(unsigned index, const JoyState* state);  // nullptr = unplugged
  static unsigned joystickReads(unsigned index);                   // readJoystick() calls
  static void setLayout(KeyLayout layout);
  static KeyLayout layout();  // the layout in use (Us or Jp106)
};

}  // namespace input
}  // namespace plat
