#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/input.h"
#include "ui/KeyConfig.h"
#include "ui/Pad.h"

namespace {

using plat::input::InputProbe;
using plat::input::JoyState;

constexpr std::uint32_t kCentre = 32768;

JoyState Joy(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0) {
  JoyState s;
  s.x = x;
  s.y = y;
  s.buttons = buttons;
  return s;
}

class PadPollFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InputProbe::reset();
    saved_ = g_KeyConfig;
    SetDefaultKeyConfig(g_KeyConfig);
    pad_.SetRepeat(18, 6);
    pad_.SetDefaultJoyButtons();
  }
  void TearDown() override {
    g_KeyConfig = saved_;
    InputProbe::reset();
  }
  void Hold(std::initializer_list<int> keys) {
    for (int k = 0; k < 256; ++k) InputProbe::setKey(static_cast<std::uint16_t>(k), false);
    for (int k : keys) InputProbe::setKey(static_cast<std::uint16_t>(k), true);
  }
  void Plug(const std::optional<JoyState>& joy, unsigned index = 0) {
    InputProbe::setJoystick(index, joy ? &*joy : nullptr);
  }

  KEYCONFIG saved_{};
  cPad pad_;
};

struct PollCase {
  const char* name;
  std::vector<int> keys;
  std::optional<JoyState> joy;
  int dir, number, buttons;
};

TEST_F(PadPollFixture, FixedMappingKeyboardAndJoystick) {
  const int L = 0x25, U = 0x26, R = 0x27, D = 0x28;
  const PollCase cases[] = {
      {"nothing", {}, std::nullopt, 0, 5, 0},
      {"left and right", {L, R}, std::nullopt, 3, 5, 0},
      {"up and down", {U, D}, std::nullopt, 12, 5, 0},
      {"all four", {L, R, U, D}, std::nullopt, 15, 5, 0},
      {"up-left", {L, U}, std::nullopt, 5, 1, 0},
      {"down-right", {R, D}, std::nullopt, 10, 9, 0},
      {"eight buttons", {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'}, std::nullopt, 0, 5, 255},
      {"Z and F", {'Z', 'F'}, std::nullopt, 0, 5, 129},
      {"stick left hides right arrow", {R}, Joy(0, kCentre), 1, 4, 0},
      {"stick at rest lets right arrow", {R}, Joy(kCentre, kCentre), 2, 6, 0},
      {"stick button hides keyboard buttons", {'X', 'C'}, Joy(kCentre, kCentre, 1), 0, 5, 1},
      {"stick lean keeps keyboard buttons", {'X'}, Joy(kCentre, 65535), 8, 8, 2},
      {"stick button keeps arrows", {U}, Joy(kCentre, kCentre, 4), 4, 2, 4},
      {"stick buttons past eight ignored", {'Z'}, Joy(kCentre, kCentre, 0x300), 0, 5, 1},
      {"x 10000 leans left", {}, Joy(10000, kCentre), 1, 4, 0},
      {"x 10001 at rest", {}, Joy(10001, kCentre), 0, 5, 0},
      {"x 55534 at rest", {}, Joy(55534, kCentre), 0, 5, 0},
      {"x 55535 leans right", {}, Joy(55535, kCentre), 2, 6, 0},
      {"y 10000 leans up", {}, Joy(kCentre, 10000), 4, 2, 0},
      {"y 10001 at rest", {}, Joy(kCentre, 10001), 0, 5, 0},
      {"y 55534 at rest", {}, Joy(kCentre, 55534), 0, 5, 0},
      {"y 55535 leans down", {}, Joy(kCentre, 55535), 8, 8, 0},
      {"down-left corner", {}, Joy(0, 65535), 9, 7, 0},
  };
  for (const PollCase& c : cases) {
    SCOPED_TRACE(c.name);
    cPad pad = pad_;
    Plug(c.joy);
    Hold({});
    for (int k : c.keys) InputProbe::setKey(static_cast<std::uint16_t>(k), true);
    EXPECT_EQ(pad.PollPad(0, 3, 60), 1);
    EXPECT_EQ(pad.m_wDirection, c.dir);
    EXPECT_EQ(pad.m_nDirNumber, c.number);
    EXPECT_EQ(pad.m_wButtons, c.buttons);
    EXPECT_EQ(pad.m_bJoyOk, c.joy ? 1 : 0);
  }
}

TEST_F(PadPollFixture, FixedMappingFlagsAndButtonMasks) {
  // Keyboard only: the joystick is still read but not used.
  Plug(Joy(0, 0, 1));
  Hold({0x27});
  EXPECT_EQ(pad_.PollPad(0, cPad::PollKeyboard, 60), 1);
  EXPECT_EQ(pad_.m_wDirection, 2);
  EXPECT_EQ(pad_.m_wButtons, 0);
  EXPECT_EQ(InputProbe::joystickReads(0), 1u);
  // Joystick only: the keys are ignored.
  EXPECT_EQ(pad_.PollPad(0, cPad::PollJoystick, 60), 1);
  EXPECT_EQ(pad_.m_wDirection, 5);
  EXPECT_EQ(pad_.m_nDirNumber, 1);
  // Masks may overlap: joystick button 3 is seen by mask 0 (0x6) and mask 2 (0x4).
  pad_.m_wJoyButtonMask[0] = 0x6;
  Plug(Joy(kCentre, kCentre, 0x4));
  pad_.PollPad(0, 3, 60);
  EXPECT_EQ(pad_.m_wButtons, 5);
}

TEST_F(PadPollFixture, MissingJoystickIsTriedAgainOnThe121stPoll) {
  Hold({0x25});
  std::vector<int> readOn;
  for (int poll = 1; poll <= 250; ++poll) {
    const unsigned before = InputProbe::joystickReads(0);
    pad_.PollPad(0, 3, 60);
    if (InputProbe::joystickReads(0) != before) readOn.push_back(poll);
    ASSERT_EQ(pad_.m_wDirection, 1) << "the keyboard drives the pad while the joystick rests";
  }
  // Read on poll 1, rests 120 polls, read on the 121st after the failure, and so on.
  EXPECT_EQ(readOn, (std::vector<int>{1, 122, 243}));
  // Once it is plugged in, the next try finds it and it is read every frame.
  Plug(Joy(kCentre, 65535));
  for (int poll = 251; poll <= 370; ++poll) pad_.PollPad(0, 3, 60);
  EXPECT_EQ(pad_.m_bJoyOk, 1);
  EXPECT_EQ(pad_.m_wDirection, 8);
  const unsigned reads = InputProbe::joystickReads(0);
  pad_.PollPad(0, 3, 60);
  EXPECT_EQ(InputProbe::joystickReads(0), reads + 1);
}

TEST_F(PadPollFixture, EachPollDefersToTheOtherMode) {
  Hold({0x25, 'Z'});
  pad_.m_wDirection = 0xF;
  pad_.m_nDirNumber = 9;
  pad_.m_wButtons = 0x80;
  g_KeyConfig.m_nMode = 1;
  EXPECT_EQ(pad_.PollPad(0, 3, 60), 0);
  g_KeyConfig.m_nMode = 0;
  EXPECT_EQ(pad_.PollPadConfigured(1, 60), 0);
  EXPECT_EQ(pad_.m_wDirection, 0xF);
  EXPECT_EQ(pad_.m_nDirNumber, 9);
  EXPECT_EQ(pad_.m_wButtons, 0x80);
  EXPECT_EQ(InputProbe::joystickReads(0), 0u);
}

TEST_F(PadPollFixture, AxisTest) {
  struct Case {
    std::uint16_t code;
    std::uint32_t x, y;
    int holds;
  };
  const Case cases[] = {
      {256, 10000, kCentre, 1},  {256, 10001, kCentre, 0},
      {512, 55535, kCentre, 1},  {512, 55534, kCentre, 0},
      {1024, kCentre, 10000, 1}, {1024, kCentre, 10001, 0},
      {2048, kCentre, 55535, 1}, {2048, kCentre, 55534, 0},
      {256, kCentre, 0, 0},      {0, 0, 0, 0},
      {768, 0, 65535, 0},        {4096, 0, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(cPad::TestAxis(Joy(c.x, c.y), c.code), c.holds) << c.code << " " << c.x << " " << c.y;
}

TEST_F(PadPollFixture, ConfiguredBindings) {
  struct Case {
    const char* name;
    void (*configure)(KEYCONFIG&);
    std::vector<int> keys;
    std::optional<JoyState> joy;
    int dir, number, buttons;
  };
  auto none = [](KEYCONFIG&) {};
  const int L = 0x25, U = 0x26, R = 0x27, D = 0x28;
  const Case cases[] = {
      {"left wins over right", none, {L, R}, std::nullopt, 1, 4, 0},
      {"up wins over down", none, {U, D}, std::nullopt, 4, 2, 0},
      {"right and down", none, {R, D}, std::nullopt, 10, 9, 0},
      {"keyboard buttons", none, {'Z', 'F'}, std::nullopt, 0, 5, 129},
      {"joystick button 1 as pad button 1, keyboard X still button 2",
       // clang-format off
       [](KEYCONFIG& k) { k.m_Bindings[4] = {0, 1, 0}; }, {'X', 'Z'}, Joy(kCentre, kCentre, 1), 0, 5, 3},
      // clang-format on
      {"axis codes on the direction bindings",
       [](KEYCONFIG& k) {
         k.m_Bindings[0] = {0, 256, 0};
         k.m_Bindings[3] = {0, 2048, 0};
       },
       {},
       Joy(10000, 55535),
       9,
       7,
       0},
      {"axis short of its edge",
       [](KEYCONFIG& k) {
         k.m_Bindings[1] = {0, 512, 0};
       },
       {},
       Joy(55534, kCentre),
       0,
       5,
       0},
      // clang-format off
      {"button mask on a direction binding", [](KEYCONFIG& k) { k.m_Bindings[2] = {0, 2, 0}; }, {},
       Joy(kCentre, kCentre, 2), 4, 2, 0},
      {"axis code on a button binding is no axis", [](KEYCONFIG& k) { k.m_Bindings[4] = {0, 256, 0}; }, {},
       Joy(0, kCentre), 0, 5, 0},
      {"joystick binding without a joystick", [](KEYCONFIG& k) { k.m_Bindings[4] = {0, 1, 0}; }, {'Z'},
       std::nullopt, 0, 5, 0},
      {"six bindings: two buttons", [](KEYCONFIG& k) { k.m_nBindingCount = 6; }, {'Z', 'X', 'C'}, std::nullopt,
       0, 5, 3},
      {"joystick count 0 reads none", [](KEYCONFIG& k) {
         // clang-format on
         k.m_nJoyCount = 0;
         k.m_Bindings[4] = {0, 1, 0};
       },
       // clang-format off
       {}, Joy(kCentre, kCentre, 1), 0, 5, 0},
      {"keyboard code above 255", [](KEYCONFIG& k) { k.m_Bindings[0] = {8, 0x125, 0}; }, {L}, std::nullopt, 0, 5,
       // clang-format on
       0},
      {"hostile counts and devices",
       [](KEYCONFIG& k) {
         k.m_nBindingCount = 5000;
         k.m_nJoyCount = 1000000;
         k.m_Bindings[0] = {-5, 1, 0};
         k.m_Bindings[1] = {99, 1, 0};
         k.m_Bindings[5] = {0x7FFFFFFF, 1, 0};
       },
       // clang-format off
       {'C', U}, Joy(kCentre, kCentre, 1), 4, 2, 4},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetDefaultKeyConfig(g_KeyConfig);
    g_KeyConfig.m_nMode = 1;
    c.configure(g_KeyConfig);
    Plug(c.joy);
    Hold({});
    for (int k : c.keys) InputProbe::setKey(static_cast<std::uint16_t>(k), true);
    cPad pad = pad_;
    EXPECT_EQ(pad.PollPadConfigured(1, 60), 1);
    EXPECT_EQ(pad.m_wDirection, c.dir);
    EXPECT_EQ(pad.m_nDirNumber, c.number);
    EXPECT_EQ(pad.m_wButtons, c.buttons);
  }
}

TEST_F(PadPollFixture, ConfiguredPollRetriesAndReadsSeveralJoysticks) {
  SetDefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_nMode = 1;
  g_KeyConfig.m_Bindings[0] = {1, 256, 0};  // left on the second joystick
  g_KeyConfig.m_Bindings[4] = {0, 1, 0};    // button 1 on the first
  g_KeyConfig.m_nJoyCount = 2;
  Plug(Joy(kCentre, kCentre, 1), 0);
  Plug(Joy(0, kCentre), 1);
  EXPECT_EQ(pad_.PollPadConfigured(1, 60), 1);
  EXPECT_EQ(pad_.m_wDirection, 1);
  EXPECT_EQ(pad_.m_wButtons, 1);

  // Without joysticks: read on the first poll, then rest for 120 polls.
  g_KeyConfig.m_nJoyCount = 1;
  Plug(std::nullopt, 0);
  Plug(std::nullopt, 1);
  std::vector<int> readOn;
  for (int poll = 1; poll <= 130; ++poll) {
    const unsigned before = InputProbe::joystickReads(0);
    pad_.PollPadConfigured(1, 60);
    if (InputProbe::joystickReads(0) != before) readOn.push_back(poll);
  }
  EXPECT_EQ(readOn, (std::vector<int>{1, 122}));
  EXPECT_EQ(pad_.m_bJoyOk, 0);
}

}  // namespace
