// Key scripts: the text read into events by frame, the lines refused with their number,
// and the events played into the key table as real keys would be.
#include "platform/key_script.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/modal_ui.h"

namespace plat::key_script {
void PrintTo(const Event& e, std::ostream* os) {
  *os << "{" << e.frame << " " << int(e.vk) << (e.down ? " down}" : " up}");
}
}  // namespace plat::key_script

namespace {

using plat::input::InputProbe;
using plat::key_script::Event;
namespace vk = plat::vk;

std::vector<int> HeldCodes() {
  std::vector<int> held;
  for (int c = 0; c < 256; ++c)
    if (plat::input::keyDown(static_cast<std::uint16_t>(c))) held.push_back(c);
  return held;
}

TEST(KeyScript, ReadsEventsByFrameWithPressesReleasedAmongLaterLines) {
  const std::string script =
      "# the title\r\n"
      "30 Z down   # confirm\n"
      "\n"
      "\t31  z  UP\n"
      "31 right press 3\n"
      "32 lshift down\n"
      "34 RIGHT down\n"  // in the frame the press lets go: after its release
      "40 F12 press 1\n";
  std::string error;
  auto events = plat::key_script::Parse(script, &error);
  ASSERT_TRUE(events) << error;
  const std::vector<Event> expected = {
      {30, 'Z', true},        {31, 'Z', false},      {31, vk::Right, true}, {32, vk::LShift, true},
      {34, vk::Right, false}, {34, vk::Right, true}, {40, vk::F12, true},   {41, vk::F12, false},
  };
  EXPECT_EQ(expected, *events);
}

TEST(KeyScript, RefusesABadLineWithItsNumber) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"10 Z down\n# fine\n12 ZED down\n", "line 3: unknown key \"ZED\""},
      {"10 Z down\n20 Z up\n15 X down\n", "line 3: frame 15 comes before frame 20 of an earlier line"},
      {"10 Z\n", "line 1: expected \"<frame> <key> down|up|press <frames>\""},
      {"-1 Z down\n", "line 1: \"-1\" is not a frame number"},
      {"1 Z hold\n", "line 1: unknown action \"hold\" (down, up or press)"},
      {"1 Z press\n", "line 1: \"press\" needs a number of frames from 1 on"},
      {"1 Z press 0\n", "line 1: \"press\" needs a number of frames from 1 on"},
      {"1 Z down 5\n", "line 1: nothing may follow \"down\""},
      {"4294967295 Z press 1\n", "line 1: \"press\" needs a number of frames from 1 on"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(plat::key_script::Parse(c.script, &error)) << c.script;
    EXPECT_EQ(c.error, error) << c.script;
  }
}

TEST(KeyScript, KeyNamesAreTheInputLayersAndAnswerTheUiScriptToo) {
  struct Case {
    const char* name;
    int vk;
  };
  // clang-format off
  const Case cases[] = {{"a", 'A'},         {"7", '7'},          {"return", vk::Return}, {"ESC", vk::Escape},
                        {"space", vk::Space}, {"F1", vk::F1},    {"f24", vk::F24},       {"LCTRL", vk::LControl},
                        {"PageDown", vk::Next}, {"numpad3", vk::Numpad0 + 3},             {"f25", 0},
                        {"F0", 0},          {"", 0},             {"ZZ", 0}};
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(c.vk, plat::input::keyByName(c.name)) << c.name;
  // The responder of the dialogs reads numbers as key codes, names as above.
  auto parsed = plat::ui_script::parse("key=5+key=PageUp");
  ASSERT_TRUE(parsed);
  ASSERT_EQ(2u, parsed->front().size());
  EXPECT_EQ(5, parsed->front()[0].value);
  EXPECT_EQ(vk::Prior, parsed->front()[1].value);
}

class KeyScriptPlay : public ::testing::Test {
 protected:
  void SetUp() override { InputProbe::reset(); }
  void TearDown() override { InputProbe::reset(); }
};

TEST_F(KeyScriptPlay, ScriptedKeysHoldTheSameCodesAsRealKeys) {
  // A real left Shift and Z as the window thread feeds them.
  for (SDL_Scancode sc : {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_Z}) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = SDL_SCANCODE_TO_KEYCODE(sc);
    plat::input::feedEvent(e);
  }
  const std::vector<int> real = HeldCodes();
  InputProbe::reset();

  plat::key_script::Player player(*plat::key_script::Parse("1 LSHIFT down\n1 Z press 2\n", nullptr));
  player.PlayUntil(0);
  EXPECT_TRUE(HeldCodes().empty());
  player.PlayUntil(1);
  EXPECT_EQ(real, HeldCodes());
  player.PlayUntil(3);
  EXPECT_EQ((std::vector<int>{vk::Shift, vk::LShift}), HeldCodes());
  EXPECT_TRUE(player.Finished());
}

TEST_F(KeyScriptPlay, RepeatedDownsAndStrayUpsChangeNothing) {
  plat::key_script::Player player(*plat::key_script::Parse("1 X down\n2 X down\n3 X up\n4 C up\n", nullptr));
  player.PlayUntil(2);
  EXPECT_TRUE(plat::input::keyDown('X'));
  player.PlayUntil(3);  // one release lets go of the key held twice
  EXPECT_FALSE(plat::input::keyDown('X'));
  player.PlayUntil(4);
  EXPECT_TRUE(HeldCodes().empty());
}

}  // namespace
