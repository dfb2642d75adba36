#include "platform/modal_ui.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/fs.h"
#include "platform/input.h"
#include "platform/messaging.h"
#include "platform/msgbox.h"
#include "platform/presenter.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "test_support/TempDir.h"

namespace {

using plat::ui::ControlKind;
using plat::ui::ControlSpec;
using plat::ui::Dialog;
using plat::ui::DialogTemplate;
namespace script = plat::ui_script;

enum : int { kEdit = 10, kOk = 11, kCancel = 12 };

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

DialogTemplate Small() {
  DialogTemplate t;
  t.resourceId = 901;
  t.width = 120;
  t.height = 60;
  t.caption = true;
  t.title = "small";
  t.controls = {
      ControlSpec{kEdit, ControlKind::Edit, "", 8, 8, 80, 13, true},
      ControlSpec{kOk, ControlKind::DefPushButton, "OK", 8, 34, 40, 14, true},
      ControlSpec{kCancel, ControlKind::PushButton, "Cancel", 60, 34, 40, 14, false},
  };
  return t;
}

class ModalUi : public ::testing::Test {
 protected:
  void SetUp() override { SetHeadless(true); }
  void TearDown() override {
    plat::ui::setKeyboardHook(nullptr);
    win_.discard();
    if (video_) plat::videoQuit();
    plat::Presenter::instance().resetForTests();
    script::reset();
    plat::this_thread::resetQueue();
  }
  static void SetHeadless(bool on) {
    plat::sys::LaunchParams p = plat::sys::launch();
    p.headless = on;
    plat::sys::setLaunch(p);
    plat::this_thread::resetQueue();
    script::reset();
  }
  void StartVideo() {
    ASSERT_TRUE(plat::videoInit());
    video_ = true;
  }
  // A procedure that ends with 1 on OK, 0 on Cancel or close, and keeps the edit text.
  Dialog::Proc Proc() {
    return [this](Dialog& d, const plat::Msg& m) -> std::intptr_t {
      if (m.id == plat::wm::InitDialog) return 1;
      if (m.id == plat::wm::Command && (m.w >> 16) == 0) {
        const int id = static_cast<int>(m.w & 0xFFFF);
        if (id == kOk || id == kCancel) {
          text_ = d.itemText(kEdit);
          endedBy_ = id;
          d.end(id == kOk ? 1 : 0);
        }
      }
      if (m.id == plat::wm::Close) {
        endedBy_ = -1;
        d.end(0);
      }
      return 0;
    };
  }
  static script::Response Parse(const char* s) {
    auto r = script::parse(s);
    EXPECT_TRUE(r && r->size() == 1) << s;
    return r && !r->empty() ? (*r)[0] : script::Response{};
  }
  bool video_ = false;
  std::string text_;
  int endedBy_ = 0;  // the button, or -1 for a close
  plat::MainWindow win_;
};

TEST_F(ModalUi, ScriptedResponsesDriveTheDialogsControls) {
  struct Case {
    const char* script;
    int result;
    const char* text;
    unsigned unexpected;
  };
  const Case cases[] = {
      {"text=AB+ok", 1, "AB", 0},  // ok: Enter, the default button
      {"text=AB+key=back+key=return", 1, "A", 0},
      {"text=xy+press=12", 0, "xy", 0},
      {"key=tab+key=tab+key=space", 0, "", 0},  // to "Cancel", pressed by the space bar
      {"close", 0, "", 0},
      {"text=typed only", 0, "", 1},  // did not end it: closed and counted
  };
  for (const Case& c : cases) {
    SetHeadless(true);
    text_.clear();
    script::push(Parse(c.script));
    EXPECT_EQ(plat::ui::runModalDialog(Small(), Proc()), c.result) << c.script;
    EXPECT_EQ(text_, c.text) << c.script;
    EXPECT_EQ(script::unexpected(), c.unexpected) << c.script;
  }
  // With nothing scripted the dialog is closed and counted.
  SetHeadless(true);
  EXPECT_EQ(plat::ui::runModalDialog(Small(), Proc()), 0);
  EXPECT_EQ(script::unexpected(), 1u);
  const auto shown = script::shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, script::Shown::Kind::Dialog);
  EXPECT_EQ(shown[0].resourceId, 901);
}

TEST_F(ModalUi, ScriptTextIsParsedIntoResponses) {
  auto ok = script::parse("text=ABC+ok, yes,,press=1001+close,key=F1+preedit=x,file=data\\a.stg4_001");
  ASSERT_TRUE(ok);
  ASSERT_EQ(ok->size(), 5u);
  EXPECT_EQ((*ok)[0].size(), 2u);
  EXPECT_EQ((*ok)[0][0].kind, script::Action::Kind::Text);
  EXPECT_EQ((*ok)[0][0].text, "ABC");
  EXPECT_EQ((*ok)[1][0].value, plat::answer::Yes);
  EXPECT_EQ((*ok)[2][0].value, 1001);
  EXPECT_EQ((*ok)[2][1].kind, script::Action::Kind::Close);
  EXPECT_EQ((*ok)[3][0].value, plat::vk::F1);
  EXPECT_EQ((*ok)[4][0].text, "data\\a.stg4_001");
  // Japanese text in the script (UTF-8) becomes Shift-JIS.
  auto jp = script::parse("text=\xE3\x81\x82");
  ASSERT_TRUE(jp);
  EXPECT_EQ((*jp)[0][0].text, "\x82\xA0");
  for (const char* bad : {"press=x", "key=nosuchkey", "frobnicate=1"}) {
    std::string what;
    EXPECT_FALSE(script::parse(bad, &what)) << bad;
    EXPECT_EQ(what, bad);
  }
}

TEST_F(ModalUi, TheKeyboardHookSeesKeysBeforeTheDialogAndItsPostsArrive) {
  std::vector<std::string> seen;
  plat::ui::setKeyboardHook([&](int code, std::uintptr_t key, std::intptr_t lp) {
    const bool up = (static_cast<std::uint32_t>(lp) & 0x80000000u) != 0;
    seen.push_back("hook " + std::to_string(key) + (up ? " up" : " down"));
    EXPECT_EQ(code, 0);
    plat::post(plat::ui::activeWindow(), plat::Msg{up ? plat::wm::KeyUp : plat::wm::KeyDown, key, lp});
  });
  script::push(Parse("text=a+key=A"));
  const int r = plat::ui::runModalDialog(Small(), [&](Dialog& d, const plat::Msg& m) -> std::intptr_t {
    if (m.id == plat::wm::KeyDown) seen.push_back("dialog down " + std::to_string(m.w));
    if (m.id == plat::wm::KeyUp) {
      seen.push_back("dialog up " + std::to_string(m.w));
      d.end(5);
    }
    return m.id == plat::wm::InitDialog;
  });
  EXPECT_EQ(r, 5);
  // The letter also went on into the edit box (as text): the hook only watches.
  EXPECT_EQ(seen, (std::vector<std::string>{"hook 65 down", "hook 65 up", "dialog down 65", "dialog up 65"}));
  EXPECT_EQ(script::unexpected(), 0u);
  // Outside a dialog the main window (none here) has the keyboard.
  EXPECT_EQ(plat::ui::activeWindow(), 0u);
}

TEST_F(ModalUi, MessageBoxesAnswerKeysLikeTheirButtons) {
  struct Case {
    int buttons;
    const char* script;
    int answer;
  };
  const Case cases[] = {
      {plat::mb::YesNo, "key=return", plat::answer::Yes}, {plat::mb::YesNo, "key=right+key=return", plat::answer::No},
      {plat::mb::YesNo, "press=7", plat::answer::No},     {plat::mb::Ok, "key=escape", plat::answer::Ok},
      {plat::mb::Ok, "close", plat::answer::Ok},
  };
  for (const Case& c : cases) {
    SetHeadless(true);
    script::push(Parse(c.script));
    EXPECT_EQ(plat::messageBox("\x82\xA0", "c", c.buttons), c.answer) << c.script;
    EXPECT_EQ(script::unexpected(), 0u) << c.script;
  }
  // Escape does nothing to a yes/no box, which has no way out but its buttons.
  SetHeadless(true);
  script::push(Parse("key=escape"));
  plat::messageBox("q", "c", plat::mb::YesNo);
  EXPECT_EQ(script::unexpected(), 1u);
}

// Dark text pixels in the box's text area (below the caption, above the buttons).
int TextInk(const Dialog& d) {
  auto s = plat::Surface::create(d.outerWidth(), d.outerHeight(), plat::PixelFormat::Xrgb8888, plat::Memory::System);
  d.paint(*s, 0, 0);
  int n = 0;
  for (int y = d.clientTop() + 12; y < d.clientTop() + 12 + Dialog::lineHeight(); ++y)
    for (int x = d.clientLeft() + 12; x < d.clientLeft() + d.clientWidth() - 12; ++x)
      if ((s->rowAs<std::uint32_t>(y)[x] & 0xFFFFFF) < 0x404040) ++n;
  return n;
}

TEST_F(ModalUi, BoxTextsShowGlyphsThatReachBelowTheBaseline) {
  // An underscore lies below the font's rounded descent: a line only as high as the
  // font would cut it off.
  int ink = -1;
  script::pushCall([&](Dialog& d) {
    ink = TextInk(d);
    d.end(plat::answer::Ok);
  });
  EXPECT_EQ(plat::messageBox("____", "c", plat::mb::Ok), plat::answer::Ok);
  EXPECT_GT(ink, 10);
}

TEST_F(ModalUi, ABoxBeforeTheWindowSystemStartsItAndDrawsTheBoxItself) {
  // A second instance asks before there is a window thread: the box is the program's own.
  SetHeadless(false);
  ASSERT_TRUE(plat::windowThread() == 0);
  bool onWindowThread = false;
  std::uint32_t host = 0;
  int ink = 0;
  script::pushCall([&](Dialog& d) {
    onWindowThread = plat::onWindowThread();
    host = plat::ui::hostWindowId();
    ink = TextInk(d);
    d.end(plat::answer::Ok);
  });
  EXPECT_EQ(plat::messageBox("\x8A\xF9\x82\xC9\x8B\x4E\x93\xAE", "c", plat::mb::Ok), plat::answer::Ok);  // "既に起動"
  video_ = plat::windowThread() != 0;
  EXPECT_TRUE(video_);
  EXPECT_TRUE(onWindowThread);
  EXPECT_NE(host, 0u);  // shown in a window of its own
  EXPECT_GT(ink, 20);
}

TEST_F(ModalUi, ADialogAskedForByAnotherThreadRunsOnTheWindowThreadAndServesSends) {
  SetHeadless(false);  // shown in its own window of the dummy display
  StartVideo();
  const plat::WindowToken target = plat::registerWindow(
      [](plat::WindowToken, const plat::Msg& m) -> std::intptr_t { return m.id == 0x401 ? 42 : 0; });
  std::atomic<bool> onWindowThread{false};
  std::atomic<std::intptr_t> served{0};
  std::thread sender;
  script::pushCall([&](Dialog& d) {
    onWindowThread = plat::onWindowThread();
    // A send from a third thread while the dialog is up: the dialog's loop serves it.
    sender = std::thread([&, token = d.token()] {
      served = plat::send(target, plat::Msg{0x401, 0, 0});
      plat::post(token, plat::Msg{plat::wm::Command, kOk, kOk});
    });
  });
  std::atomic<int> result{-1};
  std::thread asker([&] {
    result = plat::ui::runModalDialog(Small(), Proc());
    plat::wakeWindowThread();
  });
  while (result.load() == -1) plat::pumpOne(true);
  asker.join();
  sender.join();
  EXPECT_TRUE(onWindowThread.load());
  EXPECT_EQ(served.load(), 42);
  EXPECT_EQ(result.load(), 1);
  plat::unregisterWindow(target);
}

TEST_F(ModalUi, OwnWindowShowsTheDialogAndTakesItsMouse) {
  SetHeadless(false);
  StartVideo();
  int width = 0, height = 0;
  std::vector<std::uint32_t> px;
  script::pushCall([&](Dialog& d) {
    ASSERT_TRUE(plat::ui::captureShown(px, &width, &height));
    // A click on "OK" in the dialog's own window.
    const plat::ui::PixelRect r = d.itemRect(kOk);
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = SDL_BUTTON_LEFT;
    ev.button.windowID = plat::ui::hostWindowId();
    ev.button.x = d.clientLeft() + r.x + 5;
    ev.button.y = d.clientTop() + r.y + 5;
    ev.button.clicks = 1;
    SDL_PushEvent(&ev);
    ev.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&ev);
  });
  EXPECT_EQ(plat::ui::runModalDialog(Small(), Proc()), 1);
  ASSERT_EQ(width, plat::ui::dluToPx(120) + 2 * Dialog::kFrame);
  // The picture is the dialog: the grey face colour inside it.
  EXPECT_EQ(px[static_cast<std::size_t>(height - 6) * width + width / 2], 0xD4D0C8u);
}

TEST_F(ModalUi, OverTheGameWindowTheDialogCoversThePictureAndTheWindowGetsNoKeys) {
  SetHeadless(false);
  StartVideo();
  std::vector<std::uint32_t> mainMessages;
  ASSERT_TRUE(win_.create(640, 480, 100, 100, [&](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
    mainMessages.push_back(m.id);
    return 0;
  }));
  win_.show(plat::ShowMode::Normal);
  auto frame = plat::Surface::create(640, 480, plat::PixelFormat::Xrgb8888, plat::Memory::System);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) frame->rowAs<std::uint32_t>(y)[x] = 0x00FF00;
  plat::Presenter::instance().submit(*frame, false);
  plat::Presenter::instance().presentPending(win_.sdlWindow());
  const plat::Rect client = win_.clientRectOnScreen();

  int width = 0, height = 0;
  std::vector<std::uint32_t> px;
  mainMessages.clear();
  script::pushCall([&](Dialog& d) {
    d.moveTo(client.left + 200, client.top + 100);
    ASSERT_TRUE(plat::ui::captureShown(px, &width, &height));
    EXPECT_EQ(plat::ui::hostWindowId(), SDL_GetWindowID(win_.sdlWindow()));
    // Escape on the game window reaches the dialog (IDCANCEL, not handled), not the game.
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SDL_GetWindowID(win_.sdlWindow());
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    // Then a click on "Cancel", in the window's coordinates.
    const plat::ui::PixelRect r = d.itemRect(kCancel);
    int wx = 0, wy = 0, fx = -1, fy = -1;
    for (wx = 0; wx < 2000 && fx < 200 + d.clientLeft() + r.x + 3; ++wx)
      plat::Presenter::instance().windowToFrame(wx, 0, &fx, &fy);
    for (wy = 0; wy < 2000 && fy < 100 + d.clientTop() + r.y + 3; ++wy)
      plat::Presenter::instance().windowToFrame(wx, wy, &fx, &fy);
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = SDL_BUTTON_LEFT;
    ev.button.windowID = SDL_GetWindowID(win_.sdlWindow());
    ev.button.x = wx;
    ev.button.y = wy;
    SDL_PushEvent(&ev);
    ev.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&ev);
  });
  EXPECT_EQ(plat::ui::runModalDialog(Small(), Proc()), 0);
  EXPECT_EQ(endedBy_, kCancel);
  ASSERT_EQ(width, 640);
  ASSERT_EQ(height, 480);
  EXPECT_EQ(px[10 * 640 + 10], 0x00FF00u);               // the game picture
  EXPECT_EQ(px[(100 + 40) * 640 + 200 + 5], 0xD4D0C8u);  // the dialog over it
  for (std::uint32_t id : mainMessages) EXPECT_NE(id, plat::wm::KeyDown);
  EXPECT_FALSE(plat::Presenter::instance().hasOverlay());  // gone with the dialog
}

class FileChooser : public ModalUi {
 protected:
  void SetUp() override {
    ModalUi::SetUp();
    const std::filesystem::path root = dir_.path();
    std::filesystem::create_directories(root / "sub");
    for (const char* f : {"a.stg4_001", "B.STG4_002", "c.txt", "\xE6\x97\xA5\xE6\x9C\xAC.stg4_003", "sub/d.rpl4_513"})
      std::ofstream(root / f) << "x";
    folder_ = plat::fs::fromNative(root.string());
  }
  plat::ui::FileRequest Request(bool save = false) {
    plat::ui::FileRequest r;
    r.initialDir = folder_;
    r.title = "\x83\x58\x83\x65\x81\x5B\x83\x57";  // "ステージ"
    r.filterDesc = "StageFile ( *.stg4_*;*.rpl4_* )";
    r.patterns = "*.stg4_*;*.rpl4_*";
    r.defaultExt = save ? "rpl4_513" : "stg4_*;rpl4_*";
    r.save = save;
    r.mustExist = !save;
    return r;
  }
  std::string In(const char* name) const { return folder_ + "\\" + name; }
  test_support::TempDir dir_;
  std::string folder_;
};

TEST_F(FileChooser, ListsFoldersThenMatchingFilesAndReturnsTheChosenPath) {
  std::vector<std::string> items;
  script::pushCall([&](Dialog& d) { items = d.listItems(1120); });
  EXPECT_EQ(plat::ui::chooseFile(Request()), std::nullopt);  // nothing chosen: closed
  // Upper and lower case alike; the UTF-8 name on disk shown in Shift-JIS ("日本").
  EXPECT_EQ(items,
            (std::vector<std::string>{"[..]", "[sub]", "a.stg4_001", "B.STG4_002", "\x93\xFA\x96\x7B.stg4_003"}));

  script::push(Parse("file=B.STG4_002"));
  EXPECT_EQ(plat::ui::chooseFile(Request()), In("B.STG4_002"));
  // Into the sub-folder from the list, then the file there by double click.
  script::pushCall([&](Dialog& d) {
    d.setFocus(1120);
    d.setListSelection(1120, 1);
    d.keyDown(plat::vk::Return);
    items = d.listItems(1120);
    d.setListSelection(1120, 1);
    d.keyDown(plat::vk::Return);
  });
  EXPECT_EQ(plat::ui::chooseFile(Request()), In("sub\\d.rpl4_513"));
  EXPECT_EQ(items, (std::vector<std::string>{"[..]", "d.rpl4_513"}));
  script::push(Parse("cancel"));
  EXPECT_EQ(plat::ui::chooseFile(Request()), std::nullopt);
  EXPECT_EQ(script::unexpected(), 1u);  // only the first, unanswered one
  EXPECT_EQ(plat::fs::currentDirectory(), plat::fs::fromNative(std::filesystem::current_path().string()));
}

// A folder and a file whose names Shift-JIS cannot write: listed with '?' in place of
// the character, the folder shown with '/', and the file chosen by its true name.
TEST_F(FileChooser, NamesOutsideShiftJisAreShownWithAMarkAndChosenWhole) {
  const std::filesystem::path folder = std::filesystem::path(dir_.path()) / U8(u8"\u00dcber");
  std::filesystem::create_directories(folder);
  std::ofstream(folder / U8(u8"caf\u00e9.stg4_001")) << "x";
  std::ofstream(folder / "b.stg4_001") << "x";
  plat::ui::FileRequest r = Request();
  r.initialDir = plat::fs::fromNative(folder.string());
  std::vector<std::string> items;
  std::string shownFolder;
  script::pushCall([&](Dialog& d) {
    items = d.listItems(1120);
    shownFolder = d.itemText(1088);
    d.setFocus(1120);
    d.setListSelection(1120, 2);
    d.keyDown(plat::vk::Return);
  });
  const std::optional<std::string> chosen = plat::ui::chooseFile(r);
  EXPECT_EQ(items, (std::vector<std::string>{"[..]", "b.stg4_001", "caf?.stg4_001"}));
  EXPECT_EQ(shownFolder, dir_.path() + "/?ber");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(plat::fs::toNative(*chosen), (folder / U8(u8"caf\u00e9.stg4_001")).string());
  // Typed in the name box as it is listed, it means the same file.
  script::push(Parse("file=caf?.stg4_001"));
  EXPECT_EQ(plat::ui::chooseFile(r), chosen);
  EXPECT_TRUE(plat::box_script::shown().empty());
}

// A typed character without a Shift-JIS code arrives as '?': the name is refused with a
// word on why, and the chooser stays open for another.
TEST_F(FileChooser, ANameWithACharacterOutsideShiftJisIsRefused) {
  script::push(Parse((std::string("file=") + U8(u8"r\u00e9sum\u00e9") + "+file=fine").c_str()));
  script::pushAnswer(plat::answer::Ok);
  EXPECT_EQ(plat::ui::chooseFile(Request(true)), In("fine.rpl4_513"));
  const auto boxes = plat::box_script::shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].textCp932.find("r?sum?\n"), 0u) << boxes[0].textCp932;
  EXPECT_NE(boxes[0].textCp932.find("使えない文字"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(dir_.path()) / "r?sum?.rpl4_513"));
  EXPECT_EQ(script::unexpected(), 0u);
}

TEST_F(FileChooser, AMissingFileIsRefusedWithABox) {
  script::push(Parse("file=zzz.stg4_001+file=a.stg4_001"));
  script::pushAnswer(plat::answer::Ok);
  EXPECT_EQ(plat::ui::chooseFile(Request()), In("a.stg4_001"));
  const auto boxes = plat::box_script::shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].textCp932.find("zzz.stg4_001"), std::string::npos);
  EXPECT_EQ(script::unexpected(), 0u);
}

TEST_F(FileChooser, SavingAddsTheExtensionAndAsksBeforeOverwritingWhenTold) {
  // Without the prompt an existing file is taken as it is.
  script::push(Parse("file=a.stg4_001"));
  EXPECT_EQ(plat::ui::chooseFile(Request(true)), In("a.stg4_001"));
  EXPECT_TRUE(plat::box_script::shown().empty());
  // With it, "いいえ" keeps the chooser open; a new name gets the default extension.
  plat::ui::FileRequest r = Request(true);
  r.overwritePrompt = true;
  script::push(Parse("file=a.stg4_001+file=new"));
  script::pushAnswer(plat::answer::No);
  EXPECT_EQ(plat::ui::chooseFile(r), In("new.rpl4_513"));
  ASSERT_EQ(plat::box_script::shown().size(), 1u);
  EXPECT_EQ(script::unexpected(), 0u);
}

}  // namespace
