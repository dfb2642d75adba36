#include "gamedata/StageLoad.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "PaletteFixture.h"
#include "core/Log.h"
#include "gamedata/LoadWorker.h"

namespace {

std::vector<std::string> g_Boxes;
int CaptureBox(std::string_view text, std::string_view, int) {
  g_Boxes.emplace_back(text);
  return plat::answer::Ok;
}

class StageLoadTest : public rt::PaletteFixture {
 protected:
  void SetUp() override {
    rt::PaletteFixture::SetUp();
    g_Boxes.clear();
    SetFullScreenBoxRoute(CaptureBox);
    std::filesystem::create_directories("data/stg4");
    plat::fs::invalidateCache();
  }
  void TearDown() override {
    SetLoadMessagePump(nullptr);
    SetFullScreenBoxRoute(nullptr);
    rt::PaletteFixture::TearDown();
  }

  // A playable stage of the given width.
  static cEdStage Playable(std::int32_t nWidth) {
    cEdStage s;
    s.m_nWidth = nWidth;
    s.m_nHeight = 15;
    cEdChara& hero = s.m_Charas.emplace_back();
    hero.m_nOperator = 0;
    hero.m_nImage = 1;
    s.m_Blocks.resize(2);
    s.m_Backgrounds.resize(2);
    return s;
  }
  static std::string File(cEdStage s, std::uint32_t v = CURRENT_DATA_VERSION) {
    rt::ScopedDataVersion version(v);
    cDataWriter out;
    out.WriteU32(v);
    s.Save(out);
    std::string bytes = out.Bytes();
    if (v < 173) bytes.resize(bytes.size() - 4);
    return bytes;
  }
  static void Put(const char* path, const std::string& bytes) { ASSERT_TRUE(plat::fs::writeFileAtomic(path, bytes)); }

  static std::string Msg(const char* format, const char* path = "") {
    std::string text;
    FormatString(text, format, path);
    return text;
  }
};

TEST_F(StageLoadTest, NewestNumberedVariantIsLoaded) {
  Put("data\\stg4\\A.stg4_003", File(Playable(20)));
  Put("data\\stg4\\A.stg4_010", File(Playable(30)));
  Put("data\\stg4\\A.stg4_999x", File(Playable(40)));  // not a numbered variant
  struct Case {
    const char* name;
    int complete;
    int result;
    const char* path;
    std::int32_t width;
  };
  const Case cases[] = {
      {"data\\stg4\\A.stg4", 1, 1, "data\\stg4\\A.stg4_010", 30},
      {"data\\stg4\\A.stg4_003", 1, 1, "data\\stg4\\A.stg4_010", 30},
      {"data\\stg4\\A.xyz", 1, 1, "data\\stg4\\A.stg4_010", 30},
      {"data\\stg4\\A.stg4_003", 0, 1, "data\\stg4\\A.stg4_003", 20},
      {"data\\stg4\\B.stg4", 1, 0, "", 0},
      {"data\\stg4\\A", 1, 0, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_Stage = cEdStage();
    int nPumped = 0;
    SetLoadMessagePump([&] { return ++nPumped, true; });
    EXPECT_EQ(LoadStage(c.name, c.complete, &g_StartStage), c.result);
    EXPECT_EQ(g_Stage.m_strPath, c.path);
    if (c.result) {
      EXPECT_EQ(g_Stage.m_nWidth, c.width);
      EXPECT_GE(nPumped, 1);  // the caller served its messages while the loader ran
    } else {
      EXPECT_EQ(nPumped, 0);  // nothing found: no loader started
    }
  }
  EXPECT_TRUE(g_Boxes.empty());
  EXPECT_EQ(closes_, 0);
}

TEST_F(StageLoadTest, StartSnapshot) {
  cEdStage s = Playable(33);
  s.m_Params[2].Set(1, 1, 0, 0, 4, 4, 4, 4);
  s.m_Backgrounds[1].m_strBitmap = "sky.bmp";
  s.m_strHeader = "h";
  Put("data\\stg4\\S.stg4_001", File(s));
  ASSERT_EQ(LoadStage("data\\stg4\\S.stg4", 1, &g_StartStage), 1);
  EXPECT_EQ(g_StartStage.m_nWidth, 33);
  EXPECT_EQ(g_StartStage.m_strHeader, "h");
  EXPECT_EQ(g_StartStage.m_Params[2].m_nMarginLeft, 4);
  ASSERT_EQ(g_StartStage.m_Backgrounds.size(), 2u);
  EXPECT_EQ(g_StartStage.m_Backgrounds[1].m_strBitmap, "sky.bmp");
  EXPECT_TRUE(g_StartStage.m_Charas.empty() && g_StartStage.m_Blocks.empty() && g_StartStage.m_Items.empty());
  EXPECT_TRUE(g_StartStage.m_Palette.m_Blocks.empty());
  EXPECT_EQ(g_Stage.m_Charas.size(), 1u);
  EXPECT_EQ(g_Stage.m_bLoadSucceeded, 1);

  // Without a start record only g_Stage changes.
  Put("data\\stg4\\S.stg4_002", File(Playable(44)));
  ASSERT_EQ(LoadStage("data\\stg4\\S.stg4", 1, nullptr), 1);
  EXPECT_EQ(g_Stage.m_nWidth, 44);
  EXPECT_EQ(g_StartStage.m_nWidth, 33);
}

TEST_F(StageLoadTest, AbsolutePathBecomesRelative) {
  Put("data\\stg4\\R.stg4_001", File(Playable(20)));
  const std::string absolute = plat::fs::currentDirectory().value() + "\\data\\stg4\\R.stg4";
  ASSERT_EQ(LoadStage(absolute, 1, &g_StartStage), 1);
  EXPECT_EQ(g_Stage.m_strPath, ".\\data\\stg4\\R.stg4_001");
}

TEST_F(StageLoadTest, DamagedFilesAreRefused) {
  const std::string good = File(Playable(20));
  std::string badEnd = good;
  rt::WriteU32At(badEnd, badEnd.size() - 4, 123456788);
  std::string textCount = good;
  rt::WriteU32At(textCount, textCount.size() - 8, 5);  // five stage texts where the end code lies
  std::string rankCount = good;
  rt::WriteU32At(rankCount, 4 + 428, 0x7fffffff);      // the ranking flags' count
  std::string oldEnding = File(Playable(20), 150);
  oldEnding += "junk";
  const char* broken = "ステージファイル %s が破損しています！";
  const char* failed = "ステージファイル %s の読み込みに失敗しました！";
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;  // null: loaded
    int closes;
  };
  const Case cases[] = {
      {"wrong end code", badEnd, broken, 1},
      {"cut by one byte", good.substr(0, good.size() - 1), broken, 1},
      {"cut in half", good.substr(0, good.size() / 2), broken, 1},
      {"header only", good.substr(0, 12), broken, 1},
      {"no version", good.substr(0, 3), failed, 0},
      {"text count past the end", textCount, failed, 0},
      {"huge ranking count", rankCount, failed, 0},
      {"version 150 is not checked", oldEnding, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_Boxes.clear();
    closes_ = 0;
    g_Stage = cEdStage();
    g_StartStage.m_nWidth = 7;
    Put("data\\stg4\\D.stg4_001", c.bytes);
    const int result = LoadStage("data\\stg4\\D.stg4", 1, &g_StartStage);
    EXPECT_EQ(result, c.message ? 0 : 1);
    if (c.message) {
      ASSERT_EQ(g_Boxes.size(), 1u);
      EXPECT_EQ(g_Boxes[0], Msg(c.message, "data\\stg4\\D.stg4_001"));
      EXPECT_EQ(g_StartStage.m_nWidth, 7);
    } else {
      EXPECT_TRUE(g_Boxes.empty());
    }
    EXPECT_EQ(closes_, c.closes);
    EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\D.stg4_001");
    if (c.closes) {
      EXPECT_EQ(g_Stage.m_nWidth, 0);  // refused before it was read
    }
    cDataWriter out;
    g_Stage.Save(out);  // whatever is left is a whole stage
  }
  EXPECT_EQ(CheckStageFile("data\\stg4\\none.stg4_001"), 1);
}

TEST_F(StageLoadTest, StageWithoutHeroIsRefused) {
  cEdStage s = Playable(25);
  s.m_Charas[0].m_nOperator = 1;
  s.m_Charas.emplace_back().m_nOperator = 0;  // a player without an image is no hero
  Put("data\\stg4\\N.stg4_001", File(s));
  g_StartStage.m_nWidth = 7;
  EXPECT_EQ(LoadStage("data\\stg4\\N.stg4", 1, &g_StartStage), 0);
  ASSERT_EQ(g_Boxes.size(), 1u);
  EXPECT_EQ(g_Boxes[0], "主人公が配置されていないのでプレイできません！");
  EXPECT_EQ(closes_, 1);
  EXPECT_EQ(g_StartStage.m_nWidth, 7);
  EXPECT_EQ(g_Stage.m_nWidth, 25);  // the refused stage stays loaded
}

TEST_F(StageLoadTest, QuitWhileWaitingEndsTheLoad) {
  Put("data\\stg4\\Q.stg4_001", File(Playable(20)));
  g_StartStage.m_nWidth = 7;
  SetLoadMessagePump([] { return false; });
  EXPECT_EQ(LoadStage("data\\stg4\\Q.stg4", 1, &g_StartStage), 0);
  EXPECT_TRUE(g_Boxes.empty());
  EXPECT_EQ(g_StartStage.m_nWidth, 7);
  cDataWriter out;
  g_Stage.Save(out);
}

TEST_F(StageLoadTest, LoaderStopsAtItsNextRead) {
  const std::string file = File(Playable(20));
  std::atomic<bool> stop{true};
  std::unique_ptr<cDataReader> in = OpenLoadData(file);
  in->SetStopFlag(&stop);
  cEdStage s;
  s.Load(*in);
  EXPECT_TRUE(in->Failed());
  EXPECT_TRUE(s.m_Charas.empty());
}

TEST_F(StageLoadTest, CallerServesMessagesWhileTheWorkerRuns) {
  // The work ends only once the caller has served its messages three times.
  std::atomic<int> nPumped{0};
  SetLoadMessagePump([&] { return ++nPumped, true; });
  bool bTimedOut = false;
  EXPECT_EQ(RunLoadWorker([&](const std::atomic<bool>&) {
              for (int i = 0; nPumped < 3; ++i) {
                if (i == 5000) {
                  bTimedOut = true;
                  return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
            }),
            eWorkerEnd::Finished);
  EXPECT_FALSE(bTimedOut);
  EXPECT_GE(nPumped, 3);

  // A close request stops the worker (as the close handling does with the loader); the
  // quit message then ends the wait.
  struct Case {
    const char* name;
    int quitAt;  // the pump call that answers quit; 0 never
    eWorkerEnd end;
  };
  for (const Case& c : {Case{"cancelled", 0, eWorkerEnd::Finished}, Case{"quit", 2, eWorkerEnd::Quit}}) {
    SCOPED_TRACE(c.name);
    int nCalls = 0;
    SetLoadMessagePump([&] {
      ++nCalls;
      if (c.quitAt == 0 && nCalls == 2) CancelLoadWorker();
      return nCalls != c.quitAt;
    });
    bool bStopped = false;
    EXPECT_EQ(RunLoadWorker([&](const std::atomic<bool>& stop) {
                for (int i = 0; i < 5000 && !stop; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                bStopped = stop;
              }),
              c.end);
    EXPECT_TRUE(bStopped);
  }
}

}  // namespace
