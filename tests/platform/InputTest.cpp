#include "platform/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <thread>
#include <vector>

namespace {

using plat::input::InputProbe;
using plat::input::JoyState;
using plat::input::KeyLayout;
namespace vk = plat::vk;

SDL_Event KeyEvent(bool down, SDL_Scancode sc, SDL_Keycode key, bool repeat = false) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = key;
  return e;
}

void Key(bool down, SDL_Scancode sc, SDL_Keycode key = 0, bool repeat = false) {
  plat::input::feedEvent(KeyEvent(down, sc, key ? key : SDL_SCANCODE_TO_KEYCODE(sc), repeat));
}

std::vector<int> HeldCodes() {
  std::vector<int> held;
  for (int c = 0; c < 256; ++c)
    if (plat::input::keyDown(static_cast<std::uint16_t>(c))) held.push_back(c);
  return held;
}

class InputFixture : public ::testing::Test {
 protected:
  void SetUp() override { InputProbe::reset(); }
  void TearDown() override { InputProbe::reset(); }
};

TEST_F(InputFixture, KeysMapToVirtualKeyCodes) {
  struct Case {
    KeyLayout layout;
    SDL_Scancode sc;
    SDL_Keycode key;  // 0: the keycode of the scancode's US position
    std::vector<int> codes;
  };
  const KeyLayout us = KeyLayout::Us, jp = KeyLayout::Jp106;
  const Case cases[] = {
      // The game keys: arrows, the eight buttons, space, F1 to F3, Escape, Enter.
      {us, SDL_SCANCODE_LEFT, 0, {0x25}},
      {us, SDL_SCANCODE_UP, 0, {0x26}},
      {us, SDL_SCANCODE_RIGHT, 0, {0x27}},
      {us, SDL_SCANCODE_DOWN, 0, {0x28}},
      {us, SDL_SCANCODE_Z, SDLK_z, {0x5A}},
      {us, SDL_SCANCODE_X, SDLK_x, {0x58}},
      {us, SDL_SCANCODE_C, SDLK_c, {0x43}},
      {us, SDL_SCANCODE_V, SDLK_v, {0x56}},
      {jp, SDL_SCANCODE_A, SDLK_a, {0x41}},
      {jp, SDL_SCANCODE_S, SDLK_s, {0x53}},
      {jp, SDL_SCANCODE_D, SDLK_d, {0x44}},
      {jp, SDL_SCANCODE_F, SDLK_f, {0x46}},
      {jp, SDL_SCANCODE_LEFT, 0, {0x25}},
      {us, SDL_SCANCODE_SPACE, 0, {0x20}},
      {us, SDL_SCANCODE_F1, 0, {0x70}},
      {us, SDL_SCANCODE_F3, 0, {0x72}},
      {us, SDL_SCANCODE_F8, 0, {0x77}},
      {us, SDL_SCANCODE_F12, 0, {0x7B}},
      {us, SDL_SCANCODE_ESCAPE, 0, {0x1B}},
      {us, SDL_SCANCODE_RETURN, 0, {0x0D}},
      {us, SDL_SCANCODE_KP_ENTER, 0, {0x0D}},
      // Editing keys of the dialogs.
      {us, SDL_SCANCODE_BACKSPACE, 0, {0x08}},
      {us, SDL_SCANCODE_TAB, 0, {0x09}},
      {us, SDL_SCANCODE_PAGEUP, 0, {0x21}},
      {us, SDL_SCANCODE_PAGEDOWN, 0, {0x22}},
      {us, SDL_SCANCODE_END, 0, {0x23}},
      {us, SDL_SCANCODE_HOME, 0, {0x24}},
      {us, SDL_SCANCODE_INSERT, 0, {0x2D}},
      {us, SDL_SCANCODE_DELETE, 0, {0x2E}},
      {us, SDL_SCANCODE_PAUSE, 0, {0x13}},
      {us, SDL_SCANCODE_CAPSLOCK, 0, {0x14}},
      {us, SDL_SCANCODE_NUMLOCKCLEAR, 0, {0x90}},
      {us, SDL_SCANCODE_SCROLLLOCK, 0, {0x91}},
      // Modifiers set the sided and the generic code.
      {us, SDL_SCANCODE_LSHIFT, 0, {0x10, 0xA0}},
      {us, SDL_SCANCODE_RSHIFT, 0, {0x10, 0xA1}},
      {us, SDL_SCANCODE_LCTRL, 0, {0x11, 0xA2}},
      {us, SDL_SCANCODE_RCTRL, 0, {0x11, 0xA3}},
      {us, SDL_SCANCODE_LALT, 0, {0x12, 0xA4}},
      {us, SDL_SCANCODE_RALT, 0, {0x12, 0xA5}},
      // Digits and the number pad.
      {us, SDL_SCANCODE_1, SDLK_1, {0x31}},
      {us, SDL_SCANCODE_0, SDLK_0, {0x30}},
      {us, SDL_SCANCODE_KP_0, 0, {0x60}},
      {us, SDL_SCANCODE_KP_9, 0, {0x69}},
      {us, SDL_SCANCODE_KP_MULTIPLY, 0, {0x6A}},
      {us, SDL_SCANCODE_KP_PLUS, 0, {0x6B}},
      {us, SDL_SCANCODE_KP_MINUS, 0, {0x6D}},
      {us, SDL_SCANCODE_KP_PERIOD, 0, {0x6E}},
      {us, SDL_SCANCODE_KP_DIVIDE, 0, {0x6F}},
      // Letters follow the layout's character, not the position (a French A key).
      {us, SDL_SCANCODE_Q, SDLK_a, {0x41}},
      // A key whose character is no Latin letter falls back to its position.
      {us, SDL_SCANCODE_A, 0x444, {0x41}},
      // Punctuation by position: US 101 ...
      {us, SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, {0xC0}},
      {us, SDL_SCANCODE_MINUS, SDLK_MINUS, {0xBD}},
      {us, SDL_SCANCODE_EQUALS, SDLK_EQUALS, {0xBB}},
      {us, SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, {0xDB}},
      {us, SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, {0xDD}},
      {us, SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, {0xDC}},
      {us, SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, {0xBA}},
      {us, SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, {0xDE}},
      {us, SDL_SCANCODE_COMMA, SDLK_COMMA, {0xBC}},
      {us, SDL_SCANCODE_PERIOD, SDLK_PERIOD, {0xBE}},
      {us, SDL_SCANCODE_SLASH, SDLK_SLASH, {0xBF}},
      // ... and JP 106, where the same positions carry other characters and codes.
      {jp, SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, {0xF3}},
      {jp, SDL_SCANCODE_MINUS, SDLK_MINUS, {0xBD}},
      {jp, SDL_SCANCODE_EQUALS, SDLK_CARET, {0xDE}},
      {jp, SDL_SCANCODE_LEFTBRACKET, SDLK_AT, {0xC0}},
      {jp, SDL_SCANCODE_RIGHTBRACKET, SDLK_LEFTBRACKET, {0xDB}},
      {jp, SDL_SCANCODE_BACKSLASH, SDLK_RIGHTBRACKET, {0xDD}},
      {jp, SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, {0xBB}},
      {jp, SDL_SCANCODE_APOSTROPHE, SDLK_COLON, {0xBA}},
      {jp, SDL_SCANCODE_COMMA, SDLK_COMMA, {0xBC}},
      {jp, SDL_SCANCODE_SLASH, SDLK_SLASH, {0xBF}},
      {jp, SDL_SCANCODE_INTERNATIONAL3, SDLK_BACKSLASH, {0xDC}},  // yen
      {jp, SDL_SCANCODE_INTERNATIONAL1, SDLK_BACKSLASH, {0xE2}},  // ro
      {jp, SDL_SCANCODE_INTERNATIONAL4, 0, {0x1C}},
      {jp, SDL_SCANCODE_INTERNATIONAL5, 0, {0x1D}},
      {jp, SDL_SCANCODE_INTERNATIONAL2, 0, {0xF2}},
      {us, SDL_SCANCODE_NONUSBACKSLASH, 0, {0xE2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << SDL_GetScancodeName(c.sc) << (c.layout == jp ? " jp" : " us"));
    InputProbe::setLayout(c.layout);
    Key(true, c.sc, c.key);
    EXPECT_EQ(HeldCodes(), c.codes);
    Key(false, c.sc, c.key);
    EXPECT_EQ(HeldCodes(), std::vector<int>{});
  }
}

TEST_F(InputFixture, HoldCountsRepeatsReleaseAndFocusLoss) {
  InputProbe::setLayout(KeyLayout::Us);
  // A repeat, flagged or not, changes nothing: one release ends the hold.
  Key(true, SDL_SCANCODE_Z, SDLK_z);
  Key(true, SDL_SCANCODE_Z, SDLK_z, true);
  Key(true, SDL_SCANCODE_Z, SDLK_z);
  EXPECT_TRUE(plat::input::keyDown('Z'));
  Key(false, SDL_SCANCODE_Z, SDLK_z);
  EXPECT_FALSE(plat::input::keyDown('Z'));

  // Both Shift keys hold the generic code until the last is released.
  Key(true, SDL_SCANCODE_LSHIFT);
  Key(true, SDL_SCANCODE_RSHIFT);
  Key(false, SDL_SCANCODE_LSHIFT);
  EXPECT_TRUE(plat::input::keyDown(vk::Shift));
  EXPECT_FALSE(plat::input::keyDown(vk::LShift));
  Key(false, SDL_SCANCODE_RSHIFT);
  EXPECT_FALSE(plat::input::keyDown(vk::Shift));

  // A release frees what the press set, even after the layout changed in between.
  Key(true, SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON);
  InputProbe::setLayout(KeyLayout::Jp106);
  Key(false, SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON);
  EXPECT_EQ(HeldCodes(), std::vector<int>{});

  // A release without a press (key held before the window had focus) is ignored.
  Key(false, SDL_SCANCODE_X, SDLK_x);
  EXPECT_EQ(HeldCodes(), std::vector<int>{});

  // Focus loss lets go of everything, mouse buttons included.
  Key(true, SDL_SCANCODE_LEFT);
  Key(true, SDL_SCANCODE_LCTRL);
  SDL_Event m{};
  m.type = SDL_MOUSEBUTTONDOWN;
  m.button.state = SDL_PRESSED;
  m.button.button = SDL_BUTTON_RIGHT;
  plat::input::feedEvent(m);
  EXPECT_EQ(HeldCodes(), (std::vector<int>{0x02, 0x11, 0x25, 0xA2}));
  SDL_Event f{};
  f.type = SDL_WINDOWEVENT;
  f.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  plat::input::feedEvent(f);
  EXPECT_EQ(HeldCodes(), std::vector<int>{});
  // The keys pressed before focus loss come up cleanly afterwards.
  Key(false, SDL_SCANCODE_LEFT);
  Key(true, SDL_SCANCODE_LEFT);
  EXPECT_EQ(HeldCodes(), std::vector<int>{0x25});
}

TEST_F(InputFixture, MouseButtons) {
  struct Case {
    Uint8 button;
    int code;
  };
  for (const Case c : {Case{SDL_BUTTON_LEFT, 0x01}, Case{SDL_BUTTON_RIGHT, 0x02}, Case{SDL_BUTTON_MIDDLE, 0x04},
                       Case{SDL_BUTTON_X1, 0x05}}) {
    SDL_Event m{};
    m.type = SDL_MOUSEBUTTONDOWN;
    m.button.state = SDL_PRESSED;
    m.button.button = c.button;
    plat::input::feedEvent(m);
    plat::input::feedEvent(m);  // a second press of a held button counts once
    EXPECT_EQ(HeldCodes(), std::vector<int>{c.code});
    m.type = SDL_MOUSEBUTTONUP;
    m.button.state = SDL_RELEASED;
    plat::input::feedEvent(m);
    EXPECT_EQ(HeldCodes(), std::vector<int>{});
  }
}

TEST_F(InputFixture, KeyStateIsReadableFromAnotherThread) {
  InputProbe::setLayout(KeyLayout::Us);
  std::atomic<bool> stop{false};
  std::atomic<long> seen{0};
  std::thread reader([&] {
    while (!stop.load())
      if (plat::input::keyDown('Z')) seen.fetch_add(1);
  });
  for (int i = 0; i < 2000; ++i) {
    Key(true, SDL_SCANCODE_Z, SDLK_z);
    Key(false, SDL_SCANCODE_Z, SDLK_z);
  }
  Key(true, SDL_SCANCODE_Z, SDLK_z);
  while (seen.load() == 0) std::this_thread::yield();
  stop.store(true);
  reader.join();
  EXPECT_TRUE(plat::input::keyDown('Z'));
}

TEST_F(InputFixture, TextInputIsOffUntilAnEditBoxAsksAndCompositionIsTracked) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  ASSERT_TRUE(SDL_IsTextInputActive());  // SDL starts it by default
  plat::input::init();
  EXPECT_FALSE(plat::input::textInputActive());

  plat::input::textInputBegin({10, 20, 2, 16});
  EXPECT_TRUE(plat::input::textInputActive());
  SDL_Event e{};
  e.type = SDL_TEXTEDITING;
  SDL_strlcpy(e.edit.text, "ka", sizeof e.edit.text);
  plat::input::feedEvent(e);
  EXPECT_TRUE(plat::input::imeComposing());
  e.edit.text[0] = '\0';  // pre-edit cleared
  plat::input::feedEvent(e);
  EXPECT_FALSE(plat::input::imeComposing());
  SDL_strlcpy(e.edit.text, "ka", sizeof e.edit.text);
  plat::input::feedEvent(e);
  SDL_Event t{};
  t.type = SDL_TEXTINPUT;
  SDL_strlcpy(t.text.text, "x", sizeof t.text.text);
  plat::input::feedEvent(t);  // committed
  EXPECT_FALSE(plat::input::imeComposing());
  plat::input::feedEvent(e);
  plat::input::textInputEnd();
  EXPECT_FALSE(plat::input::textInputActive());
  EXPECT_FALSE(plat::input::imeComposing());

  plat::input::shutdown();
  SDL_Quit();
}

// SDL virtual joysticks stand in for devices; the feed sees their plug events.
class JoystickFixture : public InputFixture {
 protected:
  void SetUp() override {
    InputFixture::SetUp();
    plat::input::init();
  }
  void TearDown() override {
    for (SDL_Joystick* js : handles_) SDL_JoystickClose(js);
    plat::input::shutdown();
    SDL_Quit();
    InputFixture::TearDown();
  }
  // Attaches a device and announces it; returns its instance id.
  SDL_JoystickID Attach() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 12, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Event e{};
    e.type = SDL_JOYDEVICEADDED;
    e.jdevice.which = index;
    plat::input::feedEvent(e);
    SDL_Joystick* js = SDL_JoystickOpen(index);
    handles_.push_back(js);
    return SDL_JoystickInstanceID(js);
  }
  void Detach(SDL_JoystickID id) {
    SDL_Joystick* js = SDL_JoystickFromInstanceID(id);
    std::erase(handles_, js);
    SDL_JoystickClose(js);
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    SDL_Event e{};
    e.type = SDL_JOYDEVICEREMOVED;
    e.jdevice.which = id;
    plat::input::feedEvent(e);
  }
  void Set(SDL_JoystickID id, Sint16 x, Sint16 y, std::initializer_list<int> buttons) {
    SDL_Joystick* js = SDL_JoystickFromInstanceID(id);
    SDL_JoystickSetVirtualAxis(js, 0, x);
    SDL_JoystickSetVirtualAxis(js, 1, y);
    for (int b = 0; b < 12; ++b) SDL_JoystickSetVirtualButton(js, b, 0);
    for (int b : buttons) SDL_JoystickSetVirtualButton(js, b, 1);
    SDL_JoystickUpdate();
    plat::input::refreshJoysticks();
  }
  std::vector<SDL_Joystick*> handles_;
};

TEST_F(JoystickFixture, AxesAndButtonsInWindowsRanges) {
  const SDL_JoystickID id = Attach();
  struct Case {
    Sint16 x, y;
    std::initializer_list<int> buttons;
    std::uint32_t wx, wy, wbuttons;
  };
  const Case cases[] = {
      {-32768, 32767, {}, 0, 65535, 0},
      {-22768, -22767, {0}, 10000, 10001, 0x1},   // the "at most 10000" boundary
      {22766, 22767, {1, 3}, 55534, 55535, 0xA},  // the "at least 55535" boundary
      {0, -1, {11}, 32768, 32767, 0x800},
  };
  for (const Case& c : cases) {
    Set(id, c.x, c.y, c.buttons);
    JoyState s;
    ASSERT_TRUE(plat::input::readJoystick(0, s));
    EXPECT_EQ(s.x, c.wx);
    EXPECT_EQ(s.y, c.wy);
    EXPECT_EQ(s.buttons, c.wbuttons);
  }
}

TEST_F(JoystickFixture, SlotsFollowPlugOrderAndUnplugFails) {
  JoyState s;
  EXPECT_FALSE(plat::input::readJoystick(0, s));
  const SDL_JoystickID first = Attach();
  const SDL_JoystickID second = Attach();
  Set(second, -32768, 0, {2});
  ASSERT_TRUE(plat::input::readJoystick(1, s));
  EXPECT_EQ(s.x, 0u);
  EXPECT_EQ(s.buttons, 0x4u);

  // Unplugging the first keeps the second in its slot; a new device takes the free one.
  Detach(first);
  EXPECT_FALSE(plat::input::readJoystick(0, s));
  EXPECT_TRUE(plat::input::readJoystick(1, s));
  const SDL_JoystickID third = Attach();
  Set(third, 32767, 0, {});
  ASSERT_TRUE(plat::input::readJoystick(0, s));
  EXPECT_EQ(s.x, 65535u);
  EXPECT_FALSE(plat::input::readJoystick(plat::input::kJoystickSlots, s));
  EXPECT_EQ(InputProbe::joystickReads(0), 3u);
}

}  // namespace
