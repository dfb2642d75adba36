#include "ui/Hook.h"

#include <vector>

#include "DialogTestSupport.h"
#include "platform/messaging.h"

namespace {

using dialogtest::DialogFixture;
namespace vk = plat::vk;

constexpr std::intptr_t kDown = 0x001E0001;
constexpr std::intptr_t kUp = static_cast<std::intptr_t>(static_cast<std::int32_t>(0xC01E0001u));

class Hook : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    OpenMainWindow(100, 100);
    plat::setPostObserver([this](plat::WindowToken to, const plat::Msg& m) {
      posts_.push_back(Name(m.id) + " " + std::to_string(m.w) + (to == window_.token() ? "" : " elsewhere"));
    });
    g_bCtrlHeld = 0;
  }
  void TearDown() override {
    plat::setPostObserver(nullptr);
    g_bCtrlHeld = 0;
    DialogFixture::TearDown();
  }
  static std::string Name(std::uint32_t id) {
    switch (id) {
      case plat::wm::KeyDown: return "down";
      case plat::wm::KeyUp: return "up";
      case WM_HOOK_NAVKEY: return "nav";
      default: return std::to_string(id);
    }
  }
  std::vector<std::string> posts_;
};

TEST_F(Hook, CopiesKeysToTheRegisteredWindowAndLeavesTheInputMethodAlone) {
  cHook hook;
  ASSERT_EQ(hook.KeyboardHook(window_.token(), 0), 1);
  struct Case {
    std::uintptr_t key;
    bool up;
    bool composing;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      // clang-format off
      {'A', false, false, {"down 65"}},
      {'A', true, false, {"up 65"}},
      {vk::Return, false, false, {"down 13"}},
      {vk::Return, false, true, {}},               // completes the composition only
      {vk::Left, false, false, {"nav 37"}},        // navigation keys go to the dialog itself
      {vk::Left, false, true, {"down 37"}},        // unless the input method is composing
      {vk::F8, false, false, {"nav 119"}},
      {vk::F9, false, false, {"down 120"}},
      {vk::Space, false, false, {"nav 32"}},
      {vk::Tab, false, false, {}},                 // never
      // clang-format on
      {vk::Tab, true, false, {"up 9"}},
  };
  for (const Case& c : cases) {
    posts_.clear();
    plat::input::InputProbe::setComposing(c.composing);
    KeyboardHookProc(0, c.key, c.up ? kUp : kDown);
    EXPECT_EQ(posts_, c.expected) << c.key << (c.up ? " up" : " down") << (c.composing ? " composing" : "");
  }
  // Negative and no-remove codes pass untouched.
  posts_.clear();
  KeyboardHookProc(-1, 'A', kDown);
  KeyboardHookProc(3, 'A', kDown);
  EXPECT_TRUE(posts_.empty());
}

TEST_F(Hook, CtrlIsTrackedAndSuppressesCopiesOnlyWhenAsked) {
  cHook hook;
  hook.KeyboardHook(window_.token(), 1);
  KeyboardHookProc(0, vk::Control, kDown);
  EXPECT_EQ(g_bCtrlHeld, 1);
  posts_.clear();
  KeyboardHookProc(0, 'C', kDown);
  EXPECT_TRUE(posts_.empty());
  KeyboardHookProc(0, vk::Control, kUp);
  EXPECT_EQ(g_bCtrlHeld, 0);
  EXPECT_EQ(posts_, (std::vector<std::string>{"up 17"}));
}

TEST_F(Hook, OneHookServesEveryDialogAndTheMainWindowIsLeftAlone) {
  // Without a registration (the main window has none) keys pass untouched.
  KeyboardHookProc(0, 'A', kDown);
  EXPECT_TRUE(posts_.empty());
  cHook first, second;
  EXPECT_EQ(first.KeyboardHook(window_.token() + 1000, 0), 1);
  EXPECT_TRUE(plat::ui::keyboardHookInstalled());
  EXPECT_EQ(second.KeyboardHook(window_.token() + 1001, 0), 1);
  EXPECT_TRUE(KeyboardHookInstalled());
  KeyboardHookProc(0, 'A', kDown);  // neither is the active window
  EXPECT_TRUE(posts_.empty());
  ReleaseKeyboardHook();
  EXPECT_FALSE(plat::ui::keyboardHookInstalled());
}

}  // namespace
