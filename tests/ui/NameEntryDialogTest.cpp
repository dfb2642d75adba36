#include "base/AppMessages.h"
#include "ui/NameEntryDialog.h"

#include <atomic>
#include <thread>

#include "DialogTestSupport.h"
#include "base/Thread.h"
#include "platform/messaging.h"
#include "ui/DialogRequests.h"
#include "ui/DialogTemplates.h"
#include "test_support/WaitFor.h"

namespace {

using dialogtest::DialogFixture;
using plat::ui_script::Action;
using plat::ui_script::Response;

// Script text as the environment gives it: UTF-8.
const char* U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

Action Call(std::function<void(plat::ui::Dialog&)> fn) {
  Action a;
  a.kind = Action::Kind::Call;
  a.call = std::move(fn);
  return a;
}

class NameEntry : public DialogFixture {
 protected:
  // Runs the dialog as the options scene does; what its box showed at the start and
  // where its caret ended are kept.
  std::intptr_t Run(const char* script) {
    Response r{Call([this](plat::ui::Dialog& d) { shown_ = d.itemText(IDC_EDIT_NAME); })};
    if (*script) {
      auto more = plat::ui_script::parse(script);
      EXPECT_TRUE(more && more->size() == 1) << script;
      if (more && !more->empty()) r.insert(r.end(), (*more)[0].begin(), (*more)[0].end());
    }
    // Before the last action, which ends the dialog.
    r.insert(r.end() - 1, Call([this](plat::ui::Dialog& d) { d.getSel(IDC_EDIT_NAME, nullptr, &caret_); }));
    plat::ui_script::push(std::move(r));
    cNameEntryDialog dialog;
    return dialog.DoModal(0);
  }
  std::string shown_;
  int caret_ = -1;
};

TEST_F(NameEntry, TakesAtMostThreeCharactersAndNeverHalfOfOne) {
  struct Case {
    const char* initial;
    const char* script;
    const char* shown;   // in the box when it opens
    const char* stored;  // in the option afterwards
  };
  const Case cases[] = {
      {"aaa", "text=abcd+ok", "aaa", "abc"},  // the whole text is selected at first
      {"aaa", U8(u8"text=あいうえ+ok"), "aaa", "あいう"},
      {"aaa", U8(u8"text=aあbc+ok"), "aaa", "aあb"},
      {"", U8(u8"text=ab+key=back+text=あい+ok"), "", "aあい"},
      {"abc", "key=end+key=back+text=xy+ok", "abc", "abx"},
      // Stored names longer than three characters are shown cut, and stored cut.
      {"abcdef", "ok", "abc", "abc"},
      {"abcde", "ok", "abc", "abc"},
      {"あいうえ", "ok", "あいう", "あいう"},
      {"aあいう", "ok", "aあい", "aあい"},
      // Closing without confirming keeps the stored name.
      {"xyz", "text=q+close", "xyz", "xyz"},
  };
  for (const Case& c : cases) {
    plat::ui_script::reset();
    g_SceneManager.m_nMenuChoice = 5;
    g_Option.m_strRankName = c.initial;
    caret_ = -1;
    Run(c.script);
    EXPECT_EQ(shown_, c.shown) << c.script;
    EXPECT_EQ(g_Option.m_strRankName, c.stored) << c.script;
    EXPECT_LE(caret_, 6) << c.script;  // within the text
    EXPECT_EQ(plat::ui_script::unexpected(), 0u) << c.script;
  }
}

TEST_F(NameEntry, EditsTheOptionNameOrTheRankingNameOrNothing) {
  std::string rankName = "AAA";
  SetStageRankNameSource(nullptr);
  g_Option.m_strRankName = "opt";
  // Neither the options scene nor a stage: nothing to edit, nothing changes.
  EXPECT_EQ(Run("text=zz+ok"), 1);
  EXPECT_EQ(shown_, "");
  EXPECT_EQ(g_Option.m_strRankName, "opt");
  // A stage scene: its ranking name.
  static std::string* s_rank = nullptr;
  s_rank = &rankName;
  SetStageRankNameSource([] { return s_rank; });
  EXPECT_EQ(Run("text=BC+ok"), 1);
  EXPECT_EQ(shown_, "AAA");
  EXPECT_EQ(rankName, "BC");
  EXPECT_EQ(g_Option.m_strRankName, "opt");
  // The options scene wins over a stage scene.
  g_SceneManager.m_nMenuChoice = 5;
  EXPECT_EQ(Run("text=D+ok"), 1);
  EXPECT_EQ(g_Option.m_strRankName, "D");
  EXPECT_EQ(rankName, "BC");
}

TEST_F(NameEntry, StandsBesideTheGameWindowsCornerWithTheCursorOnIt) {
  OpenMainWindow(100, 100);
  plat::ui::WindowGeometry main;
  ASSERT_TRUE(plat::ui::windowGeometry(window_.token(), &main));
  struct Case {
    int windowed;
    int x, y;
  };
  const Case cases[] = {{1, main.outer.x + 240, main.outer.y + 220}, {0, 240, 220}};
  for (const Case& c : cases) {
    g_DDState.bWindowed = c.windowed;
    int dx = -1, dy = -1;
    plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
      dx = d.x();
      dy = d.y();
      d.requestClose();
    });
    cNameEntryDialog dialog;
    EXPECT_EQ(dialog.m_nStoredX, c.x);
    EXPECT_EQ(dialog.m_nStoredY, c.y);
    int cx = 0, cy = 0;
    ASSERT_TRUE(plat::ui::lastCursorWarp(&cx, &cy));
    EXPECT_EQ(cx, c.x + 80);
    EXPECT_EQ(cy, c.y + 65);
    EXPECT_EQ(dialog.DoModal(0), 0);
    EXPECT_EQ(dx, c.x);
    EXPECT_EQ(dy, c.y);
  }
}

TEST_F(NameEntry, OpeningItAgainWhileOpenDoesNothingAndClosingEmptiesTheControls) {
  g_SceneManager.m_nMenuChoice = 5;
  std::intptr_t again = -1;
  std::size_t controls = 0;
  plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
    again = g_pNameEntryDialog->DoModal(0);
    controls = g_pNameEntryDialog->m_Controls.size();
    d.requestClose();
  });
  cNameEntryDialog dialog;
  EXPECT_EQ(g_pNameEntryDialog, &dialog);
  EXPECT_EQ(dialog.DoModal(0), 0);
  EXPECT_EQ(again, 0);
  EXPECT_EQ(controls, 1u);
  EXPECT_EQ(dialog.m_Controls.size(), 0u);
  EXPECT_EQ(dialog.m_nResult, 0);
}

// The request of the game thread: every worker is held while the dialog is up, the
// sender waits for the done flag, and all go on afterwards.
TEST_F(NameEntry, TheRequestHoldsTheWorkersAndReportsWhenDone) {
  g_SceneManager.m_nMenuChoice = 5;
  g_Option.m_strRankName = "old";
  const plat::WindowToken mainWindow = plat::registerWindow([](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
    if (m.id == appmsg::NameEntry) OnNameEntryRequest();
    return 0;
  });
  static std::atomic<int> s_ticks{0};
  s_ticks = 0;
  ASSERT_TRUE(thLoad.Start(
      [](void*) -> unsigned {
        plat::Msg m;
        while (!(plat::this_thread::peek(m) && m.id == plat::wm::Quit)) {
          ++s_ticks;
          plat::this_thread::relax();
        }
        return 0;
      },
      nullptr));
  ASSERT_TRUE(test_support::WaitFor([] { return s_ticks.load() > 0; }));  // the worker runs
  int during = -1, later = -1;
  Response r{Call([&](plat::ui::Dialog&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    during = s_ticks.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    later = s_ticks.load();
  })};
  auto typed = plat::ui_script::parse("text=new+ok");
  r.insert(r.end(), (*typed)[0].begin(), (*typed)[0].end());
  plat::ui_script::push(std::move(r));

  static plat::WindowToken s_target = 0;
  s_target = mainWindow;
  ASSERT_TRUE(thGame.Start(
      [](void*) -> unsigned {
        g_bNameDone.store(0);
        plat::send(s_target, plat::Msg{appmsg::NameEntry, 0, 0});
        while (!g_bNameDone.load()) plat::this_thread::sleepMs(1);
        return 0;
      },
      nullptr));
  for (int i = 0; i < 5000 && !thGame.m_hThread.hasEnded(); ++i) {
    plat::pumpOne(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  thGame.Wait();
  EXPECT_EQ(g_bNameDone.load(), 1);
  EXPECT_EQ(g_Option.m_strRankName, "new");
  EXPECT_GE(during, 1);
  EXPECT_EQ(later, during);  // held
  const int resumed = s_ticks.load();
  for (int i = 0; i < 2000 && s_ticks.load() == resumed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GT(s_ticks.load(), resumed);  // going again
  thLoad.Exit();
  plat::unregisterWindow(mainWindow);
}

}  // namespace
