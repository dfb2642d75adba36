// Pictures of every dialog as a real display shows them (under Xvfb in CI): each is
// written as a bitmap into PELLMOOR_SCREENSHOT_DIR and its texts are checked for ink.
// Without that variable (every ordinary run) the test is skipped.
#include <cstdlib>
#include <fstream>

#include "DialogTestSupport.h"
#include "gamedata/System.h"
#include "platform/bmp.h"
#include "platform/msgbox.h"
#include "platform/presenter.h"
#include "ui/BootDialog.h"
#include "ui/DialogTemplates.h"
#include "ui/FileDialog.h"

namespace {

using dialogtest::DialogFixture;

class DialogScreenshot : public DialogFixture {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("PELLMOOR_SCREENSHOT_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "PELLMOOR_SCREENSHOT_DIR is not set (the Xvfb run sets it)";
    outDir_ = dir;
    std::filesystem::create_directories(outDir_);
    DialogFixture::SetUp();
    plat::sys::LaunchParams p = plat::sys::launch();
    p.headless = false;
    plat::sys::setLaunch(p);
    OpenMainWindow(100, 100);
  }
  void TearDown() override {
    if (outDir_.empty()) return;
    plat::Presenter::instance().resetForTests();
    DialogFixture::TearDown();
  }
  // Captures what the innermost dialog shows, saves it, and counts dark pixels in the
  // rectangle of each of the given controls (texts drawn in black).
  void Shoot(plat::ui::Dialog& d, const std::string& name, const std::vector<int>& textIds) {
    std::vector<std::uint32_t> px;
    int w = 0, h = 0;
    ASSERT_TRUE(plat::ui::captureShown(px, &w, &h)) << name;
    std::ofstream(outDir_ + "/" + name + ".bmp", std::ios::binary) << plat::bmp::encodeRgb(w, h, px.data());
    // Where the dialog's window lies in the picture: its own window, or over the game.
    int ox = 0, oy = 0;
    if (w != d.outerWidth()) {
      int cx = 0, cy = 0;
      plat::ui::mainClientOrigin(&cx, &cy);
      ox = d.x() - cx;
      oy = d.y() - cy;
    }
    std::vector<plat::ui::PixelRect> rects;
    for (int id : textIds) rects.push_back(d.itemRect(id));
    if (rects.empty()) rects.push_back(plat::ui::PixelRect{0, 0, d.clientWidth(), d.clientHeight()});
    for (const plat::ui::PixelRect& r : rects) {
      int ink = 0;
      for (int y = oy + d.clientTop() + r.y; y < oy + d.clientTop() + r.y + r.h && y < h; ++y)
        for (int x = ox + d.clientLeft() + r.x; x < ox + d.clientLeft() + r.x + r.w && x < w; ++x)
          if ((px[static_cast<std::size_t>(y) * w + x] & 0xFFFFFF) < 0x505050) ++ink;
      EXPECT_GT(ink, 30) << name << " at " << r.x << "," << r.y;
    }
    // A yes/no box has no close box: it ends by its "いいえ" button.
    if (!d.click(plat::answer::No)) d.requestClose();
  }
  std::string outDir_;
};

TEST_F(DialogScreenshot, EveryDialogShowsItsJapaneseTexts) {
  // The start-up dialog comes before the game window is shown: a window of its own.
  g_System.m_strTitle = "ペルムーアの冒険";
  plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
    Shoot(d, "dialog_103_boot", {IDC_BUTTON_OK, IDC_BUTTON_CANCEL, IDC_CHECK_NOSHOW});
  });
  cBootDialog boot;
  EXPECT_EQ(boot.DoModal(0), 0);

  // The others come over the game picture.
  window_.show(plat::ShowMode::Normal);
  auto frame = plat::Surface::create(640, 480, plat::PixelFormat::Xrgb8888, plat::Memory::System);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) frame->rowAs<std::uint32_t>(y)[x] = 0x203060 + ((x / 32 + y / 32) % 2) * 0x101010;
  plat::Presenter::instance().submit(*frame, false);
  plat::Presenter::instance().presentPending(window_.sdlWindow());

  g_SceneManager.m_nMenuChoice = 5;
  g_Option.m_strRankName = "ぺる";
  plat::ui_script::pushCall([&](plat::ui::Dialog& d) { Shoot(d, "dialog_102_name", {IDC_EDIT_NAME}); });
  cNameEntryDialog name;
  EXPECT_EQ(name.DoModal(0), 0);

  plat::ui_script::pushCall([&](plat::ui::Dialog& d) { Shoot(d, "message_box", {}); });
  plat::messageBox("データが存在しません！デフォルトデータを作成しますか？", "確認", plat::mb::YesNo);

  std::filesystem::create_directories("data/stg4");
  // A Japanese name as the disk has it (UTF-8).
  std::ofstream(reinterpret_cast<const char*>(u8"data/stg4/最初の面.stg4_001")) << "x";
  std::ofstream("data/stg4/second.stg4_002") << "x";
  plat::fs::invalidateCache();
  plat::ui_script::pushCall([&](plat::ui::Dialog& d) {
    d.setListSelection(1120, 1);
    Shoot(d, "file_open_stage", {1120});
  });
  std::string path;
  EXPECT_EQ(ChooseStageFile(path), 0);
  EXPECT_EQ(plat::ui_script::unexpected(), 0u);
}

}  // namespace
