#include "ui/FileDialog.h"

#include <fstream>

#include "DialogTestSupport.h"
#include "base/AppGlobals.h"
#include "gfx/DDPalette.h"
#include "platform/display.h"
#include "platform/messaging.h"
#include "platform/msgbox.h"
#include "ui/DialogRequests.h"

namespace {

using dialogtest::DialogFixture;

class FileDialogs : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    std::filesystem::create_directories("data/stg4");
    std::filesystem::create_directories("user_data/rpl4");
    for (const char* f : {"data/stg4/one.stg4_001", "data/stg4/Two.RPL4_513", "data/stg4/notes.txt",
                          "user_data/rpl4/old.rpl4_513", "user_data/rpl4/x.stg4_001"})
      std::ofstream(f) << "x";
    plat::fs::invalidateCache();
    cwd_ = *plat::fs::currentDirectory();
  }
  void TearDown() override {
    g_lpD3DData = nullptr;
    g_lpDDData = nullptr;
    g_DDState.nBpp = 32;
    plat::setPostObserver(nullptr);
    g_hWnd.store(0);
    DialogFixture::TearDown();
  }
  std::vector<std::string> Listed(std::int32_t (*choose)(std::string&)) {
    std::vector<std::string> items;
    plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
      items = d.listItems(1120);
      title_ = d.title();
      d.requestClose();
    });
    std::string path;
    EXPECT_EQ(choose(path), 0);
    return items;
  }
  std::string cwd_;
  std::string title_;
};

TEST_F(FileDialogs, StageAndReplayChoosersListTheirFoldersByTheirFilters) {
  EXPECT_EQ(Listed(&ChooseStageFile), (std::vector<std::string>{"[..]", "one.stg4_001", "Two.RPL4_513"}));
  EXPECT_EQ(title_, "ステージファイルの選択");
  EXPECT_EQ(Listed(&ChooseReplayFile), (std::vector<std::string>{"[..]", "old.rpl4_513"}));
  EXPECT_EQ(title_, "リプレイファイルの選択");

  std::string path;
  Script("file=Two.RPL4_513");
  EXPECT_EQ(ChooseStageFile(path), 1);
  EXPECT_EQ(path, cwd_ + "\\data\\stg4\\Two.RPL4_513");
  EXPECT_EQ(plat::ui_script::unexpected(), 0u);
}

TEST_F(FileDialogs, RequestsReportTheirResultAndCloseTheGameWhenTheFileFails) {
  g_hWnd.store(plat::registerWindow([](plat::WindowToken, const plat::Msg&) -> std::intptr_t { return 0; }));
  std::vector<std::uint32_t> posted;
  plat::setPostObserver([&](plat::WindowToken, const plat::Msg& m) { posted.push_back(m.id); });
  struct Case {
    const char* script;
    bool startWorks;
    std::int32_t result;
    bool closes;
  };
  const Case cases[] = {
      {"cancel", true, 0, false},
      {"file=one.stg4_001", true, 1, false},
      {"file=one.stg4_001", false, 1, true},  // chosen but not started: done all the same
  };
  for (const Case& c : cases) {
    Script(c.script);
    posted.clear();
    std::string started;
    g_bDialogDone.store(0);
    g_bDialogResult.store(-1);
    OnStageFileRequest([&](const std::string& p) {
      started = p;
      return c.startWorks;
    });
    EXPECT_EQ(g_bDialogDone.load(), 1) << c.script;
    EXPECT_EQ(g_bDialogResult.load(), c.result) << c.script;
    EXPECT_EQ(started.empty(), c.result == 0) << c.script;
    EXPECT_EQ(posted == std::vector<std::uint32_t>{plat::wm::Close}, c.closes) << c.script;
  }
  // A replay that cannot be saved does not end the game, so an unsaved game goes on.
  for (bool works : {true, false}) {
    SCOPED_TRACE(works);
    posted.clear();
    g_bDialogDone.store(0);
    std::string saved;
    OnReplaySaveRequest(
        1,
        [](std::string& path) {
          path = "x.rpl";
          return 1;
        },
        [&](std::uintptr_t, const std::string& path) {
          saved = path;
          return works;
        });
    EXPECT_EQ(saved, "x.rpl");
    EXPECT_EQ(g_bDialogDone.load(), 1);
    EXPECT_TRUE(posted.empty());
  }
  plat::unregisterWindow(g_hWnd.load());
}

TEST_F(FileDialogs, SavingAsksBeforeOverwritingOnlyOutsideDirect3D) {
  D3DDEVICEDATA d3d;
  DDRAWDATA ddraw;
  for (bool direct3D : {true, false}) {
    g_lpD3DData = direct3D ? &d3d : nullptr;
    g_lpDDData = direct3D ? nullptr : &ddraw;
    plat::ui_script::reset();
    Script("file=old");
    if (!direct3D) plat::ui_script::pushAnswer(plat::answer::Yes);
    std::string buffer = "proposed";
    ASSERT_EQ(ChooseReplaySaveFile(buffer), 1);
    EXPECT_EQ(buffer, cwd_ + "\\user_data\\rpl4\\old.rpl4_513");
    EXPECT_EQ(plat::box_script::shown().size(), direct3D ? 0u : 1u);
    EXPECT_EQ(plat::ui_script::unexpected(), 0u);
  }
  // The buffer's text is what the name box offers.
  std::string offered;
  plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
    offered = d.itemText(1152);
    d.requestClose();
  });
  std::string buffer = "stage1.rpl4_513";
  EXPECT_EQ(ChooseReplaySaveFile(buffer), 0);
  EXPECT_EQ(offered, "stage1.rpl4_513");
}

TEST_F(FileDialogs, EightBitDisplaysShowTheDialogWithEntryZeroBlack) {
  DDRAWDATA ddraw;
  g_lpDDData = &ddraw;
  g_DDState.nBpp = 8;
  g_WorkPalette[0] = PALETTEENTRY{10, 20, 30, 0};
  DDSetPaletteEntries(0, 1, &g_WorkPalette[0]);
  std::uint32_t during = 1;
  plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
    during = plat::display::palette()[0];
    d.requestClose();
  });
  std::string buffer;
  EXPECT_EQ(ChooseReplaySaveFile(buffer), 0);
  EXPECT_EQ(during, 0u);
  EXPECT_EQ(plat::display::palette()[0], 0x0A141Eu);
}

TEST(ChosenFiles, OneFileOrAFolderWithNames) {
  struct Case {
    std::string buffer;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {std::string("C:\\a\\f.txt\0\0", 12), {"C:\\a\\f.txt"}},
      {std::string("C:\\a\0x\0y\0\0", 10), {"C:\\a\\x", "C:\\a\\y"}},
      {std::string("\0", 1), {}},
  };
  for (const Case& c : cases) {
    cVector<std::string> list;
    AppendChosenFiles(c.buffer, c.buffer.size(), &list);
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()), c.expected);
  }
  // The buffer's size bounds the reading even without a final empty string.
  cVector<std::string> list;
  AppendChosenFiles(std::string("C:\\a\0xyz", 8), 6, &list);
  EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()), (std::vector<std::string>{"C:\\a\\x"}));
}

}  // namespace
