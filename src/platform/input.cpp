#include "platform/input.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>

namespace plat::input {
namespace {

// ---------------------------------------------------------------------------------------
// Key tables

using ScanTable = std::array<std::uint8_t, SDL_NUM_SCANCODES>;

// Keys that sit in the same place with the same code on both layouts.
constexpr ScanTable makeCommonTable() {
  ScanTable t{};
  for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = static_cast<std::uint8_t>('A' + i);
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_1 + i] = static_cast<std::uint8_t>('1' + i);
  t[SDL_SCANCODE_0] = '0';
  t[SDL_SCANCODE_RETURN] = vk::Return;
  t[SDL_SCANCODE_ESCAPE] = vk::Escape;
  t[SDL_SCANCODE_BACKSPACE] = vk::Back;
  t[SDL_SCANCODE_TAB] = vk::Tab;
  t[SDL_SCANCODE_SPACE] = vk::Space;
  t[SDL_SCANCODE_MINUS] = vk::OemMinus;
  t[SDL_SCANCODE_COMMA] = vk::OemComma;
  t[SDL_SCANCODE_PERIOD] = vk::OemPeriod;
  t[SDL_SCANCODE_SLASH] = vk::Oem2;
  t[SDL_SCANCODE_CAPSLOCK] = vk::Capital;
  for (int i = 0; i < 12; ++i) t[SDL_SCANCODE_F1 + i] = static_cast<std::uint8_t>(vk::F1 + i);
  for (int i = 0; i < 12; ++i) t[SDL_SCANCODE_F13 + i] = static_cast<std::uint8_t>(vk::F13 + i);
  t[SDL_SCANCODE_PRINTSCREEN] = vk::Snapshot;
  t[SDL_SCANCODE_SCROLLLOCK] = vk::Scroll;
  t[SDL_SCANCODE_PAUSE] = vk::Pause;
  t[SDL_SCANCODE_INSERT] = vk::Insert;
  t[SDL_SCANCODE_HOME] = vk::Home;
  t[SDL_SCANCODE_PAGEUP] = vk::Prior;
  t[SDL_SCANCODE_DELETE] = vk::Delete;
  t[SDL_SCANCODE_END] = vk::End;
  t[SDL_SCANCODE_PAGEDOWN] = vk::Next;
  t[SDL_SCANCODE_RIGHT] = vk::Right;
  t[SDL_SCANCODE_LEFT] = vk::Left;
  t[SDL_SCANCODE_DOWN] = vk::Down;
  t[SDL_SCANCODE_UP] = vk::Up;
  t[SDL_SCANCODE_NUMLOCKCLEAR] = vk::NumLock;
  t[SDL_SCANCODE_KP_DIVIDE] = vk::Divide;
  t[SDL_SCANCODE_KP_MULTIPLY] = vk::Multiply;
  t[SDL_SCANCODE_KP_MINUS] = vk::Subtract;
  t[SDL_SCANCODE_KP_PLUS] = vk::Add;
  t[SDL_SCANCODE_KP_ENTER] = vk::Return;
  for (int i = 0; i < 9; ++i) t[SDL_SCANCODE_KP_1 + i] = static_cast<std::uint8_t>(vk::Numpad0 + 1 + i);
  t[SDL_SCANCODE_KP_0] = vk::Numpad0;
  t[SDL_SCANCODE_KP_PERIOD] = vk::Decimal;
  t[SDL_SCANCODE_NONUSBACKSLASH] = vk::Oem102;
  t[SDL_SCANCODE_APPLICATION] = vk::Apps;
  t[SDL_SCANCODE_INTERNATIONAL1] = vk::Oem102;   // JP "ro" key (\ _)
  t[SDL_SCANCODE_INTERNATIONAL2] = vk::OemCopy;  // katakana / hiragana
  t[SDL_SCANCODE_INTERNATIONAL3] = vk::Oem5;     // JP yen key
  t[SDL_SCANCODE_INTERNATIONAL4] = vk::Convert;
  t[SDL_SCANCODE_INTERNATIONAL5] = vk::NonConvert;
  t[SDL_SCANCODE_LCTRL] = vk::LControl;
  t[SDL_SCANCODE_LSHIFT] = vk::LShift;
  t[SDL_SCANCODE_LALT] = vk::LMenu;
  t[SDL_SCANCODE_LGUI] = vk::LWin;
  t[SDL_SCANCODE_RCTRL] = vk::RControl;
  t[SDL_SCANCODE_RSHIFT] = vk::RShift;
  t[SDL_SCANCODE_RALT] = vk::RMenu;
  t[SDL_SCANCODE_RGUI] = vk::RWin;
  return t;
}

// US 101/104: the punctuation keys by position.
constexpr ScanTable makeUsTable() {
  ScanTable t = makeCommonTable();
  t[SDL_SCANCODE_GRAVE] = vk::Oem3;
  t[SDL_SCANCODE_EQUALS] = vk::OemPlus;
  t[SDL_SCANCODE_LEFTBRACKET] = vk::Oem4;
  t[SDL_SCANCODE_RIGHTBRACKET] = vk::Oem6;
  t[SDL_SCANCODE_BACKSLASH] = vk::Oem5;
  t[SDL_SCANCODE_NONUSHASH] = vk::Oem5;
  t[SDL_SCANCODE_SEMICOLON] = vk::Oem1;
  t[SDL_SCANCODE_APOSTROPHE] = vk::Oem7;
  return t;
}

// JP 106/109: the same positions carry other characters and other codes.
constexpr ScanTable makeJpTable() {
  ScanTable t = makeCommonTable();
  t[SDL_SCANCODE_GRAVE] = vk::OemAuto;      // hankaku / zenkaku
  t[SDL_SCANCODE_EQUALS] = vk::Oem7;        // ^ ~
  t[SDL_SCANCODE_LEFTBRACKET] = vk::Oem3;   // @ `
  t[SDL_SCANCODE_RIGHTBRACKET] = vk::Oem4;  // [ {
  t[SDL_SCANCODE_BACKSLASH] = vk::Oem6;     // ] }
  t[SDL_SCANCODE_NONUSHASH] = vk::Oem6;
  t[SDL_SCANCODE_SEMICOLON] = vk::OemPlus;  // ; +
  t[SDL_SCANCODE_APOSTROPHE] = vk::Oem1;    // : *
  return t;
}

constexpr ScanTable kUsTable = makeUsTable();
constexpr ScanTable kJpTable = makeJpTable();

std::uint8_t genericOf(std::uint8_t code) {
  switch (code) {
    case vk::LShift:
    case vk::RShift: return vk::Shift;
    case vk::LControl:
    case vk::RControl: return vk::Control;
    case vk::LMenu:
    case vk::RMenu: return vk::Menu;
    default: return 0;
  }
}

// ---------------------------------------------------------------------------------------
// State

// Hold counts by virtual key: a code is down while any physical key or button holds it
// (left and right Shift both hold VK_SHIFT).
std::atomic<std::uint8_t> g_keys[256];
// Keys a key script holds: set by the frame clock, cleared with every key on focus loss.
std::atomic<bool> g_scriptHeld[256];
std::atomic<bool> g_composing{false};
std::atomic<KeyLayout> g_layoutOverride{KeyLayout::Auto};

// Window thread only.
std::uint8_t g_scanHeld[SDL_NUM_SCANCODES];  // code a pressed scancode set, 0 when up
bool g_mouseHeld[8];
KeyLayout g_detectedLayout = KeyLayout::Us;
bool g_joystickSubsystem = false;

struct Slot {
  std::atomic<bool> present{false};
  std::atomic<std::uint64_t> packed{0};
  std::atomic<unsigned> reads{0};
  SDL_Joystick* device = nullptr;  // window thread only
  SDL_JoystickID id = -1;
};
Slot g_slots[kJoystickSlots];

std::uint64_t pack(const JoyState& s) {
  return (s.x & 0xFFFFu) | (std::uint64_t{s.y & 0xFFFFu} << 16) | (std::uint64_t{s.buttons} << 32);
}
JoyState unpack(std::uint64_t v) {
  JoyState s;
  s.x = static_cast<std::uint32_t>(v & 0xFFFFu);
  s.y = static_cast<std::uint32_t>((v >> 16) & 0xFFFFu);
  s.buttons = static_cast<std::uint32_t>(v >> 32);
  return s;
}

void press(std::uint8_t code) {
  if (code != 0 && g_keys[code].load(std::memory_order_relaxed) < 255)
    g_keys[code].fetch_add(1, std::memory_order_relaxed);
}
void release(std::uint8_t code) {
  if (code != 0 && g_keys[code].load(std::memory_order_relaxed) > 0)
    g_keys[code].fetch_sub(1, std::memory_order_relaxed);
}

void clearKeys() {
  for (auto& k : g_keys) k.store(0, std::memory_order_relaxed);
  for (auto& held : g_scriptHeld) held.store(false, std::memory_order_relaxed);
  std::fill(std::begin(g_scanHeld), std::end(g_scanHeld), std::uint8_t{0});
  std::fill(std::begin(g_mouseHeld), std::end(g_mouseHeld), false);
  g_composing.store(false);
}

KeyLayout currentLayout() {
  KeyLayout o = g_layoutOverride.load();
  return o == KeyLayout::Auto ? g_detectedLayout : o;
}

void detectLayout() {
  g_detectedLayout = SDL_GetKeyFromScancode(SDL_SCANCODE_LEFTBRACKET) == SDLK_AT ? KeyLayout::Jp106 : KeyLayout::Us;
}

// Letters and digits follow the layout's characters (as Windows letter codes do);
// every other key is placed by its position.
std::uint8_t codeForKey(SDL_Scancode sc, SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint8_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint8_t>(key);
  if (sc < 0 || sc >= SDL_NUM_SCANCODES) return 0;
  return (currentLayout() == KeyLayout::Jp106 ? kJpTable : kUsTable)[sc];
}

void onKey(const SDL_KeyboardEvent& e) {
  const SDL_Scancode sc = e.keysym.scancode;
  if (sc < 0 || sc >= SDL_NUM_SCANCODES) return;
  if (e.state == SDL_PRESSED) {
    if (e.repeat || g_scanHeld[sc] != 0) return;
    const std::uint8_t code = codeForKey(sc, e.keysym.sym);
    if (code == 0) return;
    g_scanHeld[sc] = code;
    press(code);
    press(genericOf(code));
  } else {
    // Releases what the press set, even if the layout changed in between.
    const std::uint8_t code = g_scanHeld[sc];
    if (code == 0) return;
    g_scanHeld[sc] = 0;
    release(code);
    release(genericOf(code));
  }
}

void onMouseButton(const SDL_MouseButtonEvent& e) {
  static constexpr std::uint8_t kButtonCode[8] = {
      0, vk::LButton, vk::MButton, vk::RButton, vk::XButton1, vk::XButton2, 0, 0};
  if (e.button >= 8 || kButtonCode[e.button] == 0) return;
  const bool down = e.state == SDL_PRESSED;
  if (g_mouseHeld[e.button] == down) return;
  g_mouseHeld[e.button] = down;
  if (down) press(kButtonCode[e.button]);
  else release(kButtonCode[e.button]);
}

// ---------------------------------------------------------------------------------------
// Joysticks

void readDevice(Slot& s) {
  JoyState st;
  const int axes = SDL_JoystickNumAxes(s.device);
  if (axes > 0) st.x = static_cast<std::uint32_t>(SDL_JoystickGetAxis(s.device, 0) + 32768);
  if (axes > 1) st.y = static_cast<std::uint32_t>(SDL_JoystickGetAxis(s.device, 1) + 32768);
  const int buttons = std::min(SDL_JoystickNumButtons(s.device), 32);
  for (int i = 0; i < buttons; ++i)
    if (SDL_JoystickGetButton(s.device, i)) st.buttons |= 1u << i;
  s.packed.store(pack(st));
}

Slot* slotOf(SDL_JoystickID id) {
  for (Slot& s : g_slots)
    if (s.device && s.id == id) return &s;
  return nullptr;
}

void closeSlot(Slot& s) {
  if (s.device) SDL_JoystickClose(s.device);
  s.device = nullptr;
  s.id = -1;
  s.present.store(false);
  s.packed.store(pack(JoyState{}));
}

void onDeviceAdded(int deviceIndex) {
  SDL_Joystick* js = SDL_JoystickOpen(deviceIndex);
  if (!js) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(js);
  if (slotOf(id)) {  // already open (announced twice): drop the extra reference
    SDL_JoystickClose(js);
    return;
  }
  for (Slot& s : g_slots) {
    if (s.device || s.present.load()) continue;
    s.device = js;
    s.id = id;
    readDevice(s);
    s.present.store(true);
    return;
  }
  SDL_JoystickClose(js);  // every slot taken
}

void onDeviceRemoved(SDL_JoystickID id) {
  if (Slot* s = slotOf(id)) closeSlot(*s);
}

void onDeviceMotion(SDL_JoystickID id) {
  if (Slot* s = slotOf(id)) readDevice(*s);
}

}  // namespace

// ---------------------------------------------------------------------------------------

void init() {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (!g_joystickSubsystem) g_joystickSubsystem = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  SDL_StopTextInput();
  g_composing.store(false);
  detectLayout();
}

void shutdown() {
  for (Slot& s : g_slots) closeSlot(s);
  if (g_joystickSubsystem) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  g_joystickSubsystem = false;
  clearKeys();
}

void feedEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: onKey(e.key); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: onMouseButton(e.button); break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) clearKeys();
      break;
    case SDL_KEYMAPCHANGED: detectLayout(); break;
    case SDL_TEXTEDITING: g_composing.store(e.edit.text[0] != '\0'); break;
    case SDL_TEXTEDITING_EXT: g_composing.store(e.editExt.text && e.editExt.text[0] != '\0'); break;
    case SDL_TEXTINPUT: g_composing.store(false); break;
    case SDL_JOYDEVICEADDED: onDeviceAdded(e.jdevice.which); break;
    case SDL_JOYDEVICEREMOVED: onDeviceRemoved(e.jdevice.which); break;
    case SDL_JOYAXISMOTION: onDeviceMotion(e.jaxis.which); break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: onDeviceMotion(e.jbutton.which); break;
    default: break;
  }
}

std::uint8_t virtualKeyOf(const SDL_Event& e) {
  if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) return 0;
  return codeForKey(e.key.keysym.scancode, e.key.keysym.sym);
}

void refreshJoysticks() {
  for (Slot& s : g_slots)
    if (s.device) readDevice(s);
}

void textInputBegin(const CaretRect& caret) {
  SDL_Rect r{caret.x, caret.y, caret.w, caret.h};
  SDL_SetTextInputRect(&r);
  SDL_StartTextInput();
}

void textInputEnd() {
  SDL_StopTextInput();
  g_composing.store(false);
}

bool textInputActive() { return SDL_IsTextInputActive() == SDL_TRUE; }

bool keyDown(std::uint16_t code) { return code < 256 && g_keys[code].load(std::memory_order_relaxed) != 0; }

void scriptKey(std::uint8_t code, bool down) {
  if (code == 0 || g_scriptHeld[code].exchange(down, std::memory_order_relaxed) == down) return;
  if (down) {
    press(code);
    press(genericOf(code));
  } else {
    release(code);
    release(genericOf(code));
  }
}

std::uint8_t keyByName(std::string_view name) {
  std::string n;
  for (char c : name) n += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  struct Named {
    const char* name;
    std::uint8_t vk;
  };
  static constexpr Named kKeys[] = {
      // clang-format off
      {"RETURN", vk::Return},     {"ENTER", vk::Return},     {"ESCAPE", vk::Escape},     {"ESC", vk::Escape},
      {"SPACE", vk::Space},       {"TAB", vk::Tab},          {"BACK", vk::Back},         {"BACKSPACE", vk::Back},
      {"INSERT", vk::Insert},     {"DELETE", vk::Delete},    {"HOME", vk::Home},         {"END", vk::End},
      {"PRIOR", vk::Prior},       {"PAGEUP", vk::Prior},     {"NEXT", vk::Next},         {"PAGEDOWN", vk::Next},
      {"LEFT", vk::Left},         {"RIGHT", vk::Right},      {"UP", vk::Up},             {"DOWN", vk::Down},
      {"SHIFT", vk::Shift},       {"CONTROL", vk::Control},  {"CTRL", vk::Control},      {"ALT", vk::Menu},
      {"MENU", vk::Menu},         {"LSHIFT", vk::LShift},    {"RSHIFT", vk::RShift},     {"LCTRL", vk::LControl},
      {"LCONTROL", vk::LControl}, {"RCTRL", vk::RControl},   {"RCONTROL", vk::RControl}, {"LALT", vk::LMenu},
      {"RALT", vk::RMenu},        {"PAUSE", vk::Pause},
      // clang-format on
  };
  for (const Named& k : kKeys)
    if (n == k.name) return k.vk;
  if (n.size() == 1 && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= '0' && n[0] <= '9')))
    return static_cast<std::uint8_t>(n[0]);
  auto numberAfter = [&n](std::size_t prefix, int lo, int hi) {
    if (n.size() <= prefix || n.size() > prefix + 2) return -1;
    int v = 0;
    for (std::size_t i = prefix; i < n.size(); ++i) {
      if (n[i] < '0' || n[i] > '9') return -1;
      v = v * 10 + (n[i] - '0');
    }
    return v >= lo && v <= hi ? v : -1;
  };
  if (!n.empty() && n[0] == 'F')
    if (int f = numberAfter(1, 1, 24); f > 0) return static_cast<std::uint8_t>(vk::F1 + f - 1);
  if (n.rfind("NUMPAD", 0) == 0)
    if (int d = numberAfter(6, 0, 9); d >= 0) return static_cast<std::uint8_t>(vk::Numpad0 + d);
  return 0;
}

bool readJoystick(unsigned index, JoyState& out) {
  if (index >= kJoystickSlots) return false;
  Slot& s = g_slots[index];
  s.reads.fetch_add(1, std::memory_order_relaxed);
  if (!s.present.load()) return false;
  out = unpack(s.packed.load());
  return true;
}

bool imeComposing() { return g_composing.load(); }

// ---------------------------------------------------------------------------------------

void InputProbe::reset() {
  clearKeys();
  for (Slot& s : g_slots) {
    closeSlot(s);
    s.reads.store(0);
  }
  g_layoutOverride.store(KeyLayout::Auto);
}

void InputProbe::setKey(std::uint16_t code, bool down) {
  if (code < 256) g_keys[code].store(down ? 1 : 0, std::memory_order_relaxed);
}

void InputProbe::setComposing(bool on) { g_composing.store(on); }

void InputProbe::setJoystick(unsigned index, const JoyState* state) {
  if (index >= kJoystickSlots) return;
  Slot& s = g_slots[index];
  if (state) {
    s.packed.store(pack(*state));
    s.present.store(true);
  } else {
    closeSlot(s);
  }
}

unsigned InputProbe::joystickReads(unsigned index) { return index < kJoystickSlots ? g_slots[index].reads.load() : 0; }

void InputProbe::setLayout(KeyLayout layout) { g_layoutOverride.store(layout); }

KeyLayout InputProbe::layout() { return currentLayout(); }

}  // namespace plat::input
