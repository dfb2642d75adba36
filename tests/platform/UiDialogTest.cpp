#include "platform/ui_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/text.h"

namespace {

using plat::ui::ControlKind;
using plat::ui::ControlSpec;
using plat::ui::Dialog;
using plat::ui::DialogTemplate;
namespace vk = plat::vk;
namespace notify = plat::ui::notify;

enum : int { kEdit = 10, kOk = 11, kOther = 12, kRadioA = 20, kRadioB = 21, kCheck = 22, kList = 30 };

// A dialog with one of each kind, in this tab order: edit, OK (default), other button,
// group with two radio buttons, check box, list.
DialogTemplate Sample() {
  DialogTemplate t;
  t.resourceId = 900;
  t.width = 200;
  t.height = 150;
  t.caption = true;
  t.title = "T";
  t.controls = {
      ControlSpec{-1, ControlKind::Static, "label", 5, 5, 60, 10, true},
      ControlSpec{kEdit, ControlKind::Edit, "", 5, 18, 80, 13, true},
      ControlSpec{kOk, ControlKind::DefPushButton, "OK", 100, 18, 40, 14, true},
      ControlSpec{kOther, ControlKind::PushButton, "Other", 150, 18, 40, 14, false},
      ControlSpec{-1, ControlKind::GroupBox, "group", 5, 40, 100, 40, true},
      ControlSpec{kRadioA, ControlKind::AutoRadio, "A", 10, 50, 60, 10, true},
      ControlSpec{kRadioB, ControlKind::AutoRadio, "B", 10, 64, 60, 10, false},
      ControlSpec{kCheck, ControlKind::AutoCheck, "check", 5, 86, 80, 10, true},
      ControlSpec{kList, ControlKind::List, "", 110, 40, 80, 60, true},
  };
  return t;
}

class UiDialog : public ::testing::Test {
 protected:
  UiDialog() : d_(Sample()) {
    d_.setProc([this](Dialog&, const plat::Msg& m) -> std::intptr_t {
      if (m.id == plat::wm::Command) {
        log_.push_back(std::to_string(m.w & 0xFFFF) + ":" + std::to_string(m.w >> 16));
        EXPECT_EQ(static_cast<std::intptr_t>(m.w & 0xFFFF), m.l);
      } else if (m.id == plat::wm::Close) {
        log_.push_back("close");
      }
      return 0;
    });
  }
  std::vector<std::string> Take() { return std::exchange(log_, {}); }
  static std::string Cmd(int id, int code) { return std::to_string(id) + ":" + std::to_string(code); }
  // Mouse at the centre of a control, in window coordinates.
  void ClickAt(int id, bool releaseInside = true, bool dbl = false) {
    const plat::ui::PixelRect r = d_.itemRect(id);
    const int x = d_.clientLeft() + r.x + r.w / 2, y = d_.clientTop() + r.y + r.h / 2;
    d_.mouseDown(x, y, dbl);
    if (releaseInside) {
      d_.mouseUp(x, y);
    } else {
      d_.mouseMove(x + 1000, y);
      d_.mouseUp(x + 1000, y);
    }
  }
  Dialog d_;
  std::vector<std::string> log_;
};

TEST_F(UiDialog, TabCyclesThroughTheControlsThatTakeTheFocus) {
  d_.focusFirst();
  EXPECT_EQ(d_.focusId(), kEdit);
  // With no radio button checked the group is reached at its first button; once one
  // is checked, at that one.
  std::vector<int> order;
  for (int i = 0; i < 6; ++i) {
    d_.keyDown(vk::Tab);
    order.push_back(d_.focusId());
  }
  EXPECT_EQ(order, (std::vector<int>{kOk, kOther, kRadioA, kCheck, kList, kEdit}));
  d_.setCheck(kRadioB, 1);
  d_.keyDown(vk::Tab, {true, false});
  EXPECT_EQ(d_.focusId(), kList);
  d_.keyDown(vk::Tab, {true, false});
  d_.keyDown(vk::Tab, {true, false});
  EXPECT_EQ(d_.focusId(), kRadioB);
  // Each time the edit box lost the focus the procedure was told.
  EXPECT_EQ(Take(), (std::vector<std::string>(2, Cmd(kEdit, notify::KillFocus))));
}

TEST_F(UiDialog, EnterEscapeArrowsAndSpaceAsTheDialogManagerDoes) {
  struct Case {
    const char* what;
    int focus;  // 0: none
    std::vector<int> keys;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"Enter without focus presses the default button", 0, {vk::Return}, {Cmd(kOk, 0)}},
      {"Enter in the edit box presses the default button", kEdit, {vk::Return}, {Cmd(kOk, 0)}},
      {"Enter on another push button presses that one", kOther, {vk::Return}, {Cmd(kOther, 0)}},
      {"Escape is IDCANCEL, whether or not there is such a button", kEdit, {vk::Escape}, {Cmd(2, 0)}},
      {"an arrow in a radio group checks the next button", kRadioA, {vk::Down}, {Cmd(kRadioB, 0)}},
      {"arrows wrap round within the group", kRadioA, {vk::Up}, {Cmd(kRadioB, 0)}},
      {"arrows between push buttons only move the focus", kOk, {vk::Right}, {}},
  };
  for (const Case& c : cases) {
    Dialog d(Sample());
    std::vector<std::string> log;
    d.setProc([&](Dialog&, const plat::Msg& m) -> std::intptr_t {
      if (m.id == plat::wm::Command && (m.w >> 16) != notify::KillFocus)
        log.push_back(std::to_string(m.w & 0xFFFF) + ":" + std::to_string(m.w >> 16));
      return 0;
    });
    if (c.focus) { ASSERT_TRUE(d.setFocus(c.focus)); }
    for (int k : c.keys) d.keyDown(k);
    EXPECT_EQ(log, c.expected) << c.what;
  }
}

TEST_F(UiDialog, ButtonsRadioButtonsAndCheckBoxes) {
  // Space presses on release; the check box toggles each time.
  d_.setFocus(kCheck);
  d_.keyDown(vk::Space);
  EXPECT_TRUE(Take().empty());
  d_.keyUp(vk::Space);
  EXPECT_EQ(d_.check(kCheck), 1);
  d_.keyDown(vk::Space);
  d_.keyUp(vk::Space);
  EXPECT_EQ(d_.check(kCheck), 0);
  EXPECT_EQ(Take(), (std::vector<std::string>{Cmd(kCheck, 0), Cmd(kCheck, 0)}));

  // A click counts only when the button is released over it.
  ClickAt(kOther, false);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(d_.focusId(), kOther);
  ClickAt(kOther);
  EXPECT_EQ(Take(), (std::vector<std::string>{Cmd(kOther, 0)}));

  // Checking one radio button clears the other of its group, not the check box.
  d_.setCheck(kRadioA, 1);
  d_.setCheck(kCheck, 1);
  ClickAt(kRadioB);
  EXPECT_EQ(d_.check(kRadioA), 0);
  EXPECT_EQ(d_.check(kRadioB), 1);
  EXPECT_EQ(d_.check(kCheck), 1);

  // A disabled control neither takes clicks nor the focus.
  d_.enable(kOther, false);
  ClickAt(kOther);
  EXPECT_FALSE(d_.click(kOther));
  EXPECT_EQ(Take(), (std::vector<std::string>{Cmd(kRadioB, 0)}));
}

TEST_F(UiDialog, EditBoxKeepsDoubleByteCharactersWhole) {
  d_.setFocus(kEdit);
  // "あ" (82 A0), "b", "い" (82 A2): typed text arrives as committed characters, each
  // reported on its own.
  // clang-format off
  d_.textInput("\x82\xA0" "b" "\x82\xA2");
  EXPECT_EQ(d_.itemText(kEdit), "\x82\xA0" "b" "\x82\xA2");
  // clang-format on
  EXPECT_EQ(Take(), (std::vector<std::string>(3, Cmd(kEdit, notify::Update))));
  int s = 0, e = 0;
  d_.getSel(kEdit, &s, &e);
  EXPECT_EQ(s, 5);
  EXPECT_EQ(e, 5);

  struct Step {
    int key;
    plat::ui::Mods mods;
    int start, end;
  };
  const Step steps[] = {
      {vk::Left, {}, 3, 3},             // over "い": two bytes
      {vk::Left, {}, 2, 2},             // over "b"
      {vk::Left, {true, false}, 0, 2},  // shift: selects "あ"
      {vk::Right, {}, 2, 2},            // collapses to the right end
      {vk::End, {true, false}, 2, 5},
      {vk::Home, {}, 0, 0},
  };
  for (const Step& st : steps) {
    d_.keyDown(st.key, st.mods);
    d_.getSel(kEdit, &s, &e);
    EXPECT_EQ(s, st.start);
    EXPECT_EQ(e, st.end);
  }
  // Delete and Backspace take a whole double-byte character.
  d_.keyDown(vk::Delete);
  EXPECT_EQ(d_.itemText(kEdit), "b\x82\xA2");
  d_.keyDown(vk::End);
  d_.keyDown(vk::Back);
  EXPECT_EQ(d_.itemText(kEdit), "b");
  // A selection set inside a character starts at the character.
  d_.setItemText(kEdit, "\x82\xA0\x82\xA2");
  d_.setSel(kEdit, 1, 3);
  d_.getSel(kEdit, &s, &e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 2);
  d_.setSel(kEdit, 0, 0x7FFFFFFF);
  d_.getSel(kEdit, &s, &e);
  EXPECT_EQ(e, 4);
}

TEST_F(UiDialog, EditBoxReportsNewTextAndShowsUncommittedInput) {
  d_.setItemText(kEdit, "abc");
  // Setting the text reports it like typing, so a limiter sees both.
  EXPECT_EQ(Take(), (std::vector<std::string>{Cmd(kEdit, notify::Update)}));
  d_.keyDown(vk::Tab);  // into the edit box from nowhere: its text is selected
  int s = -1, e = -1;
  d_.getSel(kEdit, &s, &e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 3);
  // Pre-edit text is shown, not stored; committing replaces the selection.
  d_.composition("\x82\xA0");
  EXPECT_EQ(d_.composition(), "\x82\xA0");
  EXPECT_EQ(d_.itemText(kEdit), "abc");
  EXPECT_TRUE(Take().empty());
  d_.textInput("\x82\xA0");
  EXPECT_EQ(d_.itemText(kEdit), "\x82\xA0");
  EXPECT_TRUE(d_.composition().empty());
  // Control characters that come as text are not typed.
  d_.textInput("\r\t");
  EXPECT_EQ(d_.itemText(kEdit), "\x82\xA0");
}

TEST_F(UiDialog, ListSelectsByKeysAndMouse) {
  d_.setListItems(kList, {"one", "two", "three"});
  d_.setFocus(kList);
  d_.keyDown(vk::Down);
  EXPECT_EQ(d_.listSelection(kList), 0);
  d_.keyDown(vk::End);
  EXPECT_EQ(d_.listSelection(kList), 2);
  d_.keyDown(vk::Down);  // stays at the end, nothing new reported
  EXPECT_EQ(Take(), (std::vector<std::string>{Cmd(kList, notify::SelChange), Cmd(kList, notify::SelChange)}));
  // A double click on the first row selects and opens it.
  const plat::ui::PixelRect r = d_.itemRect(kList);
  d_.mouseDown(d_.clientLeft() + r.x + 10, d_.clientTop() + r.y + 4, true);
  EXPECT_EQ(d_.listSelection(kList), 0);
  EXPECT_EQ(Take(), (std::vector<std::string>{Cmd(kList, notify::SelChange), Cmd(kList, notify::DblClk)}));
}

TEST_F(UiDialog, TitleBarDragsTheWindowAndEndRecordsTheResult) {
  d_.moveTo(100, 50);
  d_.mouseDown(20, 8);
  d_.mouseMove(50, 28);
  d_.mouseUp(50, 28);
  EXPECT_EQ(d_.x(), 130);
  EXPECT_EQ(d_.y(), 70);
  EXPECT_FALSE(d_.ended());
  d_.end(7);
  EXPECT_TRUE(d_.ended());
  EXPECT_EQ(d_.result(), 7);
}

TEST(UiDialogPaint, DrawsTheTextsOfItsControls) {
  DialogTemplate t = Sample();
  t.controls[0].text = "\x93\x6F\x98\x5E";  // "登録"
  Dialog d(t);
  if (plat::text::Face::open("MS PGothic", 13) == nullptr) GTEST_SKIP() << "no font";
  auto s = plat::Surface::create(d.outerWidth(), d.outerHeight(), plat::PixelFormat::Xrgb8888, plat::Memory::System);
  d.paint(*s, 0, 0);
  EXPECT_FALSE(d.dirty());
  // Dark ink inside the label's rectangle; none where the label has no text.
  auto inkIn = [&](int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if ((s->rowAs<std::uint32_t>(y)[x] & 0xFFFFFF) < 0x404040) ++n;
    return n;
  };
  const plat::ui::PixelRect label{d.clientLeft() + 7, d.clientTop() + 7, 90, 15};
  EXPECT_GT(inkIn(label.x, label.y, 30, label.h), 20);
  EXPECT_EQ(inkIn(label.x + 40, label.y, 40, label.h), 0);
}

TEST(UiWildcard, MatchesNamesCaseInsensitivelyAndCharacterByCharacter) {
  struct Case {
    const char* name;
    const char* patterns;
    bool match;
  };
  const Case cases[] = {
      {"stage.stg4_001", "*.stg4_*;*.rpl4_*", true},
      {"STAGE.STG4_001", "*.stg4_*;*.rpl4_*", true},
      {"a.rpl4_513", "*.stg4_*;*.rpl4_*", true},
      {"a.stg4", "*.stg4_*", false},
      {"readme.txt", "*.stg4_*;*.rpl4_*", false},
      {"\x83\x5C.stg4_1", "*.stg4_?", true},  // "ソ": its trail byte is '\'
      {"\x83\x5C\x83\x5C.x", "?.x", false},   // "?" is one character, not one byte
      {"\x83\x5C\x83\x5C.x", "??.x", true},
      {"\x82\x60.x", "\x82\x81.x", false},  // "Ａ" and "ａ" are different characters
      {"abc", "a*c*", true},
      {"ab", "a*c", false},
      {"", "*", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(plat::ui::matchAnyPattern(c.name, c.patterns), c.match) << c.name << " " << c.patterns;
}

}  // namespace
