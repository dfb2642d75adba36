#include "ui/BootDialog.h"

#include <fstream>
#include <iterator>

#include "DialogTestSupport.h"
#include "gamedata/System.h"
#include "ui/DialogTemplates.h"

namespace {

using dialogtest::DialogFixture;

class Boot : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    g_Boot = cBoot();
    g_System.m_strTitle = "テストゲーム";
  }
  static std::string FileBytes() {
    std::ifstream in("user_data/Boot.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Record(std::int32_t drawMode, std::int32_t noShow) {
    std::string b;
    for (std::uint32_t v : {513u, 2u, static_cast<std::uint32_t>(drawMode), static_cast<std::uint32_t>(noShow), 0u})
      for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
  }
  // Runs the start-up step; what the dialog showed is kept.
  std::int32_t Ask(const char* script, std::int32_t* direct3D) {
    plat::ui_script::pushCall([this](plat::ui::Dialog& d) {
      title_ = d.title();
      d3dChecked_ = d.check(IDC_RADIO_D3D);
      ddChecked_ = d.check(IDC_RADIO_DDRAW);
      noShowChecked_ = d.check(IDC_CHECK_NOSHOW);
    });
    Script(script);
    // The test's first response inspects, the second answers: one dialog takes both.
    auto calls = plat::ui_script::take();
    auto answer = plat::ui_script::take();
    plat::ui_script::Response r = *calls;
    if (answer) r.insert(r.end(), answer->begin(), answer->end());
    plat::ui_script::push(std::move(r));
    return AskDrawMode(direct3D);
  }
  std::string title_;
  int d3dChecked_ = -1, ddChecked_ = -1, noShowChecked_ = -1;
};

TEST_F(Boot, ConfirmingSavesTheChoiceAndTheNextStartAsksNoMore) {
  std::int32_t d3d = -1;
  // No Boot.dat: Direct3D is chosen at first.
  ASSERT_EQ(Ask("ok", &d3d), 1);
  EXPECT_EQ(title_, "テストゲーム");
  EXPECT_EQ(d3dChecked_, 1);
  EXPECT_EQ(ddChecked_, 0);
  EXPECT_EQ(d3d, 1);
  EXPECT_EQ(FileBytes(), Record(1, 0));

  ASSERT_EQ(Ask("press=1003+press=1004+ok", &d3d), 1);
  EXPECT_EQ(d3d, 0);
  EXPECT_EQ(FileBytes(), Record(0, 1));

  // The next start reads the file and does not show the dialog.
  g_Boot = cBoot();
  const auto before = plat::ui_script::shown().size();
  d3d = -1;
  EXPECT_EQ(AskDrawMode(&d3d), 1);
  EXPECT_EQ(d3d, 0);
  EXPECT_EQ(plat::ui_script::shown().size(), before);
  EXPECT_EQ(plat::ui_script::unexpected(), 0u);
}

TEST_F(Boot, ADrawModeOfNeitherKindChecksNeitherButtonAndMeansDirectDraw) {
  std::ofstream("user_data/Boot.dat", std::ios::binary) << Record(2, 0);
  plat::fs::invalidateCache();
  std::int32_t d3d = -1;
  ASSERT_EQ(Ask("ok", &d3d), 1);
  EXPECT_EQ(d3dChecked_, 0);
  EXPECT_EQ(ddChecked_, 0);
  EXPECT_EQ(g_Boot.m_nDrawMode, 2);  // an unchecked radio button leaves it alone
  EXPECT_EQ(d3d, 0);
}

TEST_F(Boot, StoppingTheGameThereFailsStartUpWithoutSaving) {
  for (const char* script : {"press=1001", "close"}) {
    std::ofstream("user_data/Boot.dat", std::ios::binary) << Record(1, 0);
    plat::fs::invalidateCache();
    g_Boot = cBoot();
    std::int32_t d3d = -1;
    EXPECT_EQ(Ask((std::string("press=1004+press=1003+") + script).c_str(), &d3d), 0) << script;
    EXPECT_EQ(d3d, -1);
    EXPECT_EQ(FileBytes(), Record(1, 0)) << script;
  }
}

TEST_F(Boot, StandsInTheMiddleOfTheGameWindowWithTheCursorOnStart) {
  OpenMainWindow(100, 100);
  std::int32_t mx = 0, my = 0;
  ASSERT_TRUE(MainWindowPos(&mx, &my));
  cBootDialog dialog;
  EXPECT_EQ(dialog.m_nStoredX, mx + 133);
  EXPECT_EQ(dialog.m_nStoredY, my + 104);
  int cx = 0, cy = 0;
  ASSERT_TRUE(plat::ui::lastCursorWarp(&cx, &cy));
  EXPECT_EQ(cx, mx + 133 + 181);
  EXPECT_EQ(cy, my + 104 + 198);
  // The cursor lands on "ゲーム開始".
  plat::ui::Dialog d(*FindDialogTemplate(IDD_BOOT));
  const plat::ui::PixelRect start = d.itemRect(IDC_BUTTON_OK);
  EXPECT_TRUE(start.contains(181 - d.clientLeft(), 198 - d.clientTop()));
}

}  // namespace
