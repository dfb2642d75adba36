// Failures met after the start has gone on: each is shown in a box that names its file,
// and the player ends with exit status 1, not as a run that went well.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "e2e/TinyStage.h"

namespace {

namespace fs = e2e::fs;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class FailureExit : public e2e::SampleGameTest {
 protected:
  e2e::DrivenRun Run(std::vector<std::string> args = {}) {
    e2e::DriveOptions o;
    o.quitAt = "300";
    o.args = std::move(args);
    o.uiAnswers = {"ok"};
    return e2e::RunDriven(game_, fs::path(tmp_.path()) / "work", "", o);
  }
};

TEST_F(FailureExit, ADamagedTitlePicture) {
  const fs::path title = game_ / "bmp" / "Title.bmp";
  std::string bytes = e2e::ReadFile(title);
  ASSERT_GT(bytes.size(), 64u);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37 + 11);
  ASSERT_TRUE(e2e::WriteFile(title, bytes));
  const e2e::DrivenRun run = Run();
  EXPECT_EQ(std::optional<int>(1), run.exitCode) << run.stderrText;
  EXPECT_NE(std::string::npos, run.stderrText.find(U8(u8"[message box] エラー: bmp/Title.bmp の読み込みに失敗！")))
      << run.stderrText;
}

// A stage wider than the block map may hold is not a lack of memory: the box says which
// file and how large it is.
TEST_F(FailureExit, ATestPlayOfAStageTooLargeToPlay) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Wide-1", [](cEdStage& s, const e2e::StageParts& parts) {
    s.m_Charas.push_back(e2e::CharaAt(parts.hero, 2, 10));
    s.m_nWidth = 1001;
  }));
  const e2e::DrivenRun run = Run({"data\\stg4\\Wide-1.stg4"});
  EXPECT_EQ(std::optional<int>(1), run.exitCode) << run.stderrText;
  EXPECT_NE(
      std::string::npos,
      run.stderrText.find(
          U8(u8"[message box] エラー: ステージファイル data/stg4/Wide-1.stg4_001 のステージの大きさ (1001 x 15 マス)")))
      << run.stderrText;
  EXPECT_EQ(std::string::npos, run.stderrText.find(U8(u8"メモリ不足"))) << run.stderrText;
}

}  // namespace
