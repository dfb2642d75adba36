#include "ui/Dialog.h"

#include "DialogTestSupport.h"
#include "platform/messaging.h"
#include "ui/DialogTemplates.h"

namespace {

using dialogtest::DialogFixture;

// A dialog on template 102 that, while handling "OK", sends itself another command.
class GuardDialog : public cDialog {
 public:
  GuardDialog() { Setup(IDD_NAME_ENTRY, nullptr, &g_OwnerLists); }
  std::intptr_t WindowProc(plat::WindowToken h, const plat::Msg& m) override { return DialogProc(h, m); }
  std::intptr_t OnCommand(std::uintptr_t w, std::intptr_t l) override {
    cDialog::OnCommand(w, l);
    const int id = static_cast<int>(w & 0xFFFF);
    handled.push_back(id);
    if (id == IDC_BUTTON_OK) nested = plat::send(m_hWnd, plat::Msg{plat::wm::Command, 77, 0});
    if (id == 78) Close(3);
    return 1;
  }
  std::vector<int> handled;
  std::intptr_t nested = -1;
};

using Dialogs = DialogFixture;

TEST_F(Dialogs, ACommandSentFromInsideAnotherReachesNoHandler) {
  GuardDialog d;
  plat::ui_script::pushCall([&](plat::ui::Dialog& pd) {
    pd.click(IDC_BUTTON_OK);
    // The next command, after the first has been handled, is served.
    plat::post(pd.token(), plat::Msg{plat::wm::Command, 78, 0});
  });
  EXPECT_EQ(d.DoModal(0), 3);
  EXPECT_EQ(d.handled, (std::vector<int>{IDC_BUTTON_OK, 78}));
  EXPECT_EQ(d.nested, 0);
  EXPECT_EQ(plat::ui_script::unexpected(), 0u);
}

TEST_F(Dialogs, ItemTextsComeBackWithinTheirLimitWhole) {
  std::string got;
  plat::ui_script::pushCall([&](plat::ui::Dialog& pd) {
    struct Case {
      const char* text;
      int max;
      const char* expected;
    };
    const Case cases[] = {
        {"abc", 7, "abc"},       {"abcdef", 4, "abc"},
        {"あいう", 7, "あいう"}, {"あいう", 6, "あい"},  // five bytes fit: the third character would be cut in two
        {"aあ", 3, "a"},         {"abc", 0, ""},
    };
    for (const Case& c : cases) {
      SetDlgItemString(pd.token(), IDC_EDIT_NAME, c.text);
      GetDlgItemString(pd.token(), IDC_EDIT_NAME, got, c.max);
      EXPECT_EQ(got, c.expected) << c.text << " " << c.max;
    }
    // 5120 bytes at most.
    SetDlgItemString(pd.token(), IDC_EDIT_NAME, std::string(6000, 'x'));
    GetDlgItemString(pd.token(), IDC_EDIT_NAME, got, 8191);
    EXPECT_EQ(got.size(), 5119u);
    pd.end(0);
  });
  GuardDialog d;
  d.DoModal(0);
}

TEST(ScrollBar, MovesByLinesPagesAndToTheEnds) {
  struct Case {
    std::int32_t code;
    std::int32_t from;
    std::int32_t expected;
  };
  const Case cases[] = {
      {SB_LINEDOWN, 5, 6}, {SB_LINEUP, 5, 4},  {SB_LINEUP, 0, 0},     {SB_PAGEDOWN, 5, 15},   {SB_PAGEUP, 5, 0},
      {SB_TOP, 50, 0},     {SB_BOTTOM, 5, 91}, {SB_PAGEDOWN, 88, 91}, {SB_THUMBTRACK, 5, 42}, {SB_THUMBPOSITION, 5, 5},
  };
  for (const Case& c : cases) {
    cScrollBar bar;
    SCROLLBIND bind;
    bind.nMin = 0;
    bind.nMax = 100;
    bind.nPage = 10;
    bar.Attach(nullptr, bind);
    bar.m_nPos = c.from;
    bar.m_nTrackPos = 42;
    EXPECT_EQ(bar.Scroll(c.code), c.expected) << c.code << " from " << c.from;
  }
  // A right-button release never reaches a scroll bar.
  EXPECT_EQ(ScrollSubclassProc(plat::wm::RButtonUp), 0);
  EXPECT_EQ(ScrollSubclassProc(plat::wm::LButtonUp), 1);
}

}  // namespace
