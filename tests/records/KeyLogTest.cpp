#include "base/AppMessages.h"
#include "records/KeyLog.h"

#include <fstream>
#include <vector>

#include "FrontendTestUtil.h"
#include "base/AppGlobals.h"
#include "app/DialogRequests.h"
#include "app/MainWindow.h"
#include "base/SceneManager.h"
#include "platform/input.h"
#include "platform/messaging.h"
#include "platform/modal_ui.h"
#include "platform/sys.h"
#include "ui/DialogRequests.h"

namespace {

using rt::Bytes;

class KeyLogTest : public fe::FrontendFixture {
 protected:
  void SetUp() override {
    fe::FrontendFixture::SetUp();
    g_KeyLog.Clear();
    g_PrevKeyLog.Clear();
    g_nReplayRefuseWait = 0;
  }
  void TearDown() override {
    plat::input::InputProbe::reset();
    if (window_) plat::unregisterWindow(window_);
    g_hWnd.store(0);
    g_KeyLog.Clear();
    g_PrevKeyLog.Clear();
    fe::FrontendFixture::TearDown();
  }
  // A main window that notes the system sounds asked for, and a dialog link that notes
  // the requests.
  void ListenForRequests() {
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id == appmsg::PlaySound) sounds_.push_back(static_cast<int>(m.w));
      return 0;
    });
    g_hWnd.store(window_);
    g_FrontendLinks.dialogRequest = [this](std::uint32_t message, std::uintptr_t w) {
      requests_.push_back({message, w});
      return 1;
    };
  }

  plat::WindowToken window_ = 0;
  std::vector<int> sounds_;
  std::vector<std::pair<std::uint32_t, std::uintptr_t>> requests_;
};

// Plays the log to its end; the frames played as {direction, button} pairs.
std::vector<std::pair<int, int>> PlayAll(cKeyLog& log) {
  std::vector<std::pair<int, int>> frames;
  std::uint16_t d = 0xFFFF, b = 0xFFFF;
  while (log.PlayFrame(&d, &b) == 0 && frames.size() < 100000) frames.push_back({d, b});
  return frames;
}

TEST_F(KeyLogTest, RecordsRunsAndPlaysThemBack) {
  cKeyLog log;
  std::vector<std::pair<int, int>> input;
  for (int f = 0; f < 120; ++f) input.push_back({f < 100 ? 2 : 0, f >= 10 && f < 15 ? 1 : 0});
  for (auto [d, b] : input) log.RecordFrame(static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(b));
  EXPECT_EQ(log.m_DirValues, (cVector<std::uint16_t>{2, 0}));
  EXPECT_EQ(log.m_DirRuns, (cVector<std::uint32_t>{100, 20}));
  EXPECT_EQ(log.m_ButtonValues, (cVector<std::uint16_t>{0, 1, 0}));
  EXPECT_EQ(log.m_ButtonRuns, (cVector<std::uint32_t>{10, 5, 105}));
  EXPECT_EQ(PlayAll(log), input);
  std::uint16_t d = 7, b = 7;
  EXPECT_EQ(log.PlayFrame(&d, &b), 1);  // stays at its end, writes nothing
  EXPECT_EQ(d, 7);
  log.Rewind();
  EXPECT_EQ(PlayAll(log).size(), 120u);
}

TEST_F(KeyLogTest, PlaybackEndsWithTheShorterStream) {
  cKeyLog log;
  log.m_DirValues = {2};
  log.m_DirRuns = {10};
  log.m_ButtonValues = {1, 0};
  log.m_ButtonRuns = {3, 2};
  EXPECT_EQ(PlayAll(log).size(), 5u);
  log.Rewind();
  log.m_DirRuns = {0};  // a run of no frames lasts one
  EXPECT_EQ(PlayAll(log).size(), 1u);
}

TEST_F(KeyLogTest, BodyLayoutAndCopies) {
  cKeyLog log;
  log.m_nRandomSeed = -12345;
  log.RecordFrame(2, 1);
  log.RecordFrame(2, 0);
  log.RecordFrame(10, 0);
  Bytes want;
  want.u32(1).i32(-12345).u32(0).u32(2).i16(2).i16(10).u32(2).i16(1).i16(0).u32(2).u32(2).u32(1).u32(2).u32(1).u32(2);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(log), want.s));

  cKeyLog back;
  back.m_nDirIndex = 1;
  ASSERT_TRUE(rt::LoadBody(back, want.s));
  EXPECT_EQ(back.m_nDirIndex, 0);
  EXPECT_EQ(back.m_nRandomSeed, -12345);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), want.s));

  // A copy takes the streams and the seed, not the other's place in playback.
  std::uint16_t d, b;
  log.PlayFrame(&d, &b);
  cKeyLog copy;
  copy.PlayFrame(&d, &b);
  copy = log;
  EXPECT_EQ(copy.m_nDirCount, 0u);
  EXPECT_EQ(copy.m_DirRuns, log.m_DirRuns);
  EXPECT_EQ(cKeyLog(log).m_nButtonIndex, 0);
  copy.Clear();
  EXPECT_TRUE(copy.m_ButtonRuns.empty());
  EXPECT_EQ(copy.m_nRandomSeed, 0);
}

TEST_F(KeyLogTest, DamagedBodiesFail) {
  cKeyLog log;
  for (int f = 0; f < 40; ++f) log.RecordFrame(static_cast<std::uint16_t>(f % 3), static_cast<std::uint16_t>(f % 5));
  const std::string body = rt::SaveBody(log);
  for (std::size_t n = 0; n < body.size(); ++n) {
    cKeyLog r;
    EXPECT_FALSE(rt::LoadBody(r, body.substr(0, n))) << n;
  }
  Bytes mismatched;  // two direction words, one run
  mismatched.u32(1).i32(0).u32(0).u32(2).i16(1).i16(2).u32(0).u32(1).u32(5).u32(0);
  cKeyLog r;
  EXPECT_FALSE(rt::LoadBody(r, mismatched.s));
  EXPECT_EQ(PlayAll(r).size(), 0u);  // and what it left never plays past its lists
  std::string huge = body;
  rt::WriteU32At(huge, 12, 0x40000000);
  EXPECT_FALSE(rt::LoadBody(r, huge));
}

// A stage with a hero, changed in play: the replay keeps the start's settings and
// play's objects.
void MakeStages(cEdStage& stage, cEdStage& start) {
  stage.m_nWidth = 30;
  stage.m_nHeight = 20;
  stage.m_nTimeLimit = 300;
  cEdChara& hero = stage.m_Charas.emplace_back();
  hero.m_nOperator = 0;
  hero.m_nX = 4;
  stage.m_Backgrounds.resize(1);
  start.MakeStartSnapshot(stage);
  stage.m_nTimeLimit = 120;  // counted down in play
  stage.m_Charas[0].m_nX = 9;
}

TEST_F(KeyLogTest, ReplayFilesCarryStageLogAndRecord) {
  cEdStage stage, start;
  MakeStages(stage, start);
  cPlayRecord record;
  record.m_nTotalScore = 777;
  cKeyLog log;
  log.m_nRandomSeed = 99;
  log.RecordFrame(1, 2);
  const std::string path = "user_data\\rpl4\\Forest_00." + ReplayExtension();
  ASSERT_EQ(ReplayExtension(), "rpl4_513");
  ASSERT_EQ(log.SaveReplay(path, stage, start, record), 1);

  cEdStage stage2, start2;
  start2.m_Charas.resize(3);
  cPlayRecord record2;
  cKeyLog log2;
  log2.m_nDirIndex = 1;
  ASSERT_EQ(log2.LoadReplay(path, stage2, start2, record2), 1);
  EXPECT_EQ(stage2.m_strPath, path);
  EXPECT_EQ(stage2.m_nTimeLimit, 300);
  EXPECT_EQ(stage2.m_nWidth, 30);
  ASSERT_EQ(stage2.m_Charas.Size(), 1);
  EXPECT_EQ(stage2.m_Charas[0].m_nX, 9);
  EXPECT_EQ(start2.m_nTimeLimit, 300);
  EXPECT_TRUE(start2.m_Charas.empty());
  EXPECT_EQ(start2.m_Backgrounds.Size(), 1);
  EXPECT_EQ(log2.m_nRandomSeed, 99);
  EXPECT_EQ(log2.m_nDirIndex, 0);
  EXPECT_EQ(log2.m_DirValues, log.m_DirValues);
  EXPECT_EQ(record2.m_nTotalScore, 777);

  // A file that cannot be written reports failure and leaves no file.
  EXPECT_EQ(log.SaveReplay("no_such_folder\\x.rpl4_513", stage, start, record), 0);
  EXPECT_FALSE(plat::fs::exists("no_such_folder"));
}

TEST_F(KeyLogTest, OldReplaysHaveNoPlayRecord) {
  cEdStage stage, start;
  MakeStages(stage, start);
  cKeyLog log;
  log.RecordFrame(4, 0);
  std::string stageBody = rt::SaveBody(stage, 172);
  stageBody.resize(stageBody.size() - 4);  // the end code came with version 173
  Bytes file;
  file.u32(172).bytes(stageBody).bytes(rt::SaveBody(log, 172));
  ASSERT_TRUE(plat::fs::writeFileAtomic("user_data\\rpl4\\old.rpl4_172", file.s));

  cEdStage stage2, start2;
  cPlayRecord record;
  record.m_nTotalScore = 5;
  cKeyLog log2;
  ASSERT_EQ(log2.LoadReplay("user_data\\rpl4\\old.rpl4_172", stage2, start2, record), 1);
  EXPECT_EQ(record.m_nTotalScore, 5);
  EXPECT_EQ(log2.m_DirValues, log.m_DirValues);
  EXPECT_EQ(stage2.m_Charas.Size(), 1);
}

TEST_F(KeyLogTest, DamagedReplayChangesNothing) {
  cEdStage stage, start;
  MakeStages(stage, start);
  cPlayRecord record;
  cKeyLog log;
  log.RecordFrame(1, 1);
  ASSERT_EQ(log.SaveReplay("user_data\\rpl4\\a.rpl4_513", stage, start, record), 1);
  const std::string whole = *plat::fs::readFile("user_data\\rpl4\\a.rpl4_513");

  cEdStage stage2, start2;
  stage2.m_nWidth = 77;
  start2.m_nWidth = 78;
  cPlayRecord record2;
  record2.m_nLives = 3;
  cKeyLog log2;
  log2.m_nRandomSeed = 5;
  for (std::size_t n : {std::size_t{0}, std::size_t{3}, whole.size() / 2, whole.size() - 1}) {
    ASSERT_TRUE(plat::fs::writeFileAtomic("user_data\\rpl4\\b.rpl4_513", whole.substr(0, n)));
    EXPECT_EQ(log2.LoadReplay("user_data\\rpl4\\b.rpl4_513", stage2, start2, record2), 0) << n;
    EXPECT_EQ(stage2.m_nWidth, 77);
    EXPECT_EQ(start2.m_nWidth, 78);
    EXPECT_EQ(record2.m_nLives, 3);
    EXPECT_EQ(log2.m_nRandomSeed, 5);
  }
  EXPECT_EQ(log2.LoadReplay("user_data\\rpl4\\missing.rpl4_513", stage2, start2, record2), 0);
  EXPECT_NE(Report().find("b.rpl4_513"), std::string::npos);
}

TEST_F(KeyLogTest, DefaultNamesTakeTheFirstFreeNumber) {
  EXPECT_EQ(MakeReplayDefaultName(""), "");
  EXPECT_EQ(MakeReplayDefaultName("../../x."), "x_00.rpl4_513");  // stays in the replay folder
  EXPECT_EQ(MakeReplayDefaultName("data\\stg4\\Forest."), "Forest_00.rpl4_513");
  ASSERT_TRUE(plat::fs::writeFileAtomic("user_data\\rpl4\\Forest_00.rpl4_513", "x"));
  EXPECT_EQ(MakeReplayDefaultName("data\\stg4\\Forest."), "Forest_01.rpl4_513");
  for (int i = 0; i <= 8; ++i) {
    for (int j = 0; j <= 8; ++j) {
      std::ofstream("user_data/rpl4/Cave_" + std::to_string(i) + std::to_string(j) + ".rpl4_513") << "x";
    }
  }
  plat::fs::invalidateCache();
  EXPECT_EQ(MakeReplayDefaultName("Cave."), "Cave_88.rpl4_513");
}

TEST_F(KeyLogTest, SaveDialogProposesTheDefaultName) {
  std::string path;
  EXPECT_FALSE(ChooseReplaySavePath(path, "data\\stg4\\Forest."));  // no dialog: cancelled
  std::string proposed;
  g_FrontendLinks.replaySaveDialog = [&proposed](std::string& p) {
    proposed = p;
    p = "user_data\\rpl4\\mine.rpl4_513";
    return true;
  };
  ASSERT_TRUE(ChooseReplaySavePath(path, "data\\stg4\\Forest."));
  EXPECT_EQ(proposed, "Forest_00.rpl4_513");
  EXPECT_EQ(path, "user_data\\rpl4\\mine.rpl4_513");
}

TEST_F(KeyLogTest, F1AndF2AskForTheSaveOfTheirLog) {
  ListenForRequests();
  LinkMode();
  g_System.m_bRecordReplay = 1;
  using plat::input::InputProbe;

  // Empty logs are refused with a sound, at most once in 60 frames.
  InputProbe::setKey(plat::vk::F1, true);
  EXPECT_EQ(CheckReplaySaveKeys(), 0);
  EXPECT_EQ(sounds_, std::vector<int>{3});
  for (int f = 0; f < 59; ++f) EXPECT_EQ(CheckReplaySaveKeys(), 0);
  EXPECT_EQ(sounds_.size(), 1u);
  InputProbe::setKey(plat::vk::F1, false);
  InputProbe::setKey(plat::vk::F2, true);
  EXPECT_EQ(CheckReplaySaveKeys(), 0);
  EXPECT_EQ(sounds_, (std::vector<int>{3, 3}));
  EXPECT_TRUE(requests_.empty());

  g_PrevKeyLog.RecordFrame(0, 0);
  EXPECT_EQ(CheckReplaySaveKeys(), 1);
  InputProbe::setKey(plat::vk::F2, false);
  EXPECT_EQ(CheckReplaySaveKeys(), 0);
  g_KeyLog.RecordFrame(0, 0);
  InputProbe::setKey(plat::vk::F1, true);
  InputProbe::setKey(plat::vk::F2, true);  // F1 wins
  EXPECT_EQ(CheckReplaySaveKeys(), 1);
  EXPECT_EQ(sounds_, (std::vector<int>{3, 3, 1, 1}));
  const std::vector<std::pair<std::uint32_t, std::uintptr_t>> want = {{0x404, 1}, {0x404, 0}};
  EXPECT_EQ(requests_, want);

  // Nothing while a replay plays or while nothing is recorded.
  mode_ = 3;
  EXPECT_EQ(CheckReplaySaveKeys(), 0);
  mode_ = 0;
  g_System.m_bRecordReplay = 0;
  EXPECT_EQ(CheckReplaySaveKeys(), 0);
  EXPECT_EQ(requests_.size(), 2u);

  EXPECT_EQ(OpenReplayDialog(), 1);
  EXPECT_EQ(requests_.back(), (std::pair<std::uint32_t, std::uintptr_t>{0x403, 0}));
}

TEST_F(KeyLogTest, TheMainWindowSavesEitherLogAndLoadsTheChosenReplay) {
  plat::sys::LaunchParams launch = plat::sys::launch();
  launch.headless = true;
  plat::sys::setLaunch(launch);
  plat::ui_script::reset();
  InstallFrontendLinks();
  g_SceneManager.m_nGameMode = 2;
  EXPECT_EQ(CurrentGameMode(), 2);
  g_SceneManager.m_nGameMode = 0;

  MakeStages(g_Stage, g_StartStage);
  g_PlayRecord.m_strStageName = "data\\stg4\\Forest.";
  g_StartPlayRecord.m_nTotalScore = 10;
  g_PrevStartPlayRecord.m_nTotalScore = 20;
  g_KeyLog.RecordFrame(1, 2);
  g_PrevKeyLog.RecordFrame(3, 4);
  g_PrevKeyLog.RecordFrame(5, 6);
  // The file dialogs answer with these names; requests go straight to the procedure.
  auto answer = [](const char* script) {
    auto steps = plat::ui_script::parse(script);
    ASSERT_TRUE(steps) << script;
    for (auto& one : *steps) plat::ui_script::push(std::move(one));
  };
  const plat::WindowToken w = 0;
  for (const char* script : {"file=current", "file=previous"}) {
    answer(script);
    g_bDialogDone = 0;
    g_MainWindow.WindowProc(w, plat::Msg{appmsg::ReplaySaveDialog, script[5] == 'p' ? 1u : 0u, 0});
    EXPECT_EQ(g_bDialogDone.load(), 1) << script;
    EXPECT_EQ(g_bDialogResult.load(), 1) << script;
  }

  // The previous attempt's file comes back with its own log and record, and its path
  // becomes the stage's.
  g_KeyLog.Clear();
  g_Stage = cEdStage();
  answer("file=previous.rpl4_513");
  g_bDialogDone = 0;
  g_MainWindow.WindowProc(w, plat::Msg{appmsg::ReplayFileDialog, 0, 0});
  EXPECT_EQ(g_bDialogResult.load(), 1);
  const std::string cwd = *plat::fs::currentDirectory();
  EXPECT_EQ(g_Stage.m_strPath, cwd + "\\user_data\\rpl4\\previous." + ReplayExtension());
  EXPECT_EQ(g_PlayRecord.m_nTotalScore, 20);
  EXPECT_EQ(PlayAll(g_KeyLog), (std::vector<std::pair<int, int>>{{3, 4}, {5, 6}}));
  EXPECT_EQ(plat::ui_script::unexpected(), 0u);
  plat::ui_script::reset();
  g_Stage = cEdStage();
  g_StartStage = cEdStage();
  g_StartPlayRecord = cPlayRecord();
  g_PrevStartPlayRecord = cPlayRecord();
}

}  // namespace
