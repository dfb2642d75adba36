#include "gamedata/StageLoad.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <thread>

#include "PaletteFixture.h"
#include "base/Log.h"
#include "base/Thread.h"
#include "platform/messaging.h"
#include "platform/thread.h"

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
    plat::this_thread::resetQueue();
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      served_.push_back(thLoad.HasThread());
      if (onMessage_) onMessage_(m);
      return 0;
    });
  }
  void TearDown() override {
    plat::unregisterWindow(window_);
    plat::this_thread::resetQueue();
    thLoad.Exit();
    SetFullScreenBoxRoute(nullptr);
    rt::PaletteFixture::TearDown();
  }

  // A message to this thread's window, served by the next pump.
  void PostToWindow() { ASSERT_TRUE(plat::post(window_, plat::Msg{plat::wm::App, 0, 0})); }

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

  plat::WindowToken window_ = 0;
  std::vector<bool> served_;  // per message served: whether the loader was attached then
  std::function<void(const plat::Msg&)> onMessage_;
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
    served_.clear();
    PostToWindow();
    EXPECT_EQ(LoadStage(c.name, c.complete, &g_StartStage), c.result);
    EXPECT_EQ(g_Stage.m_strPath, c.path);
    EXPECT_FALSE(thLoad.HasThread());
    if (c.result) {
      EXPECT_EQ(g_Stage.m_nWidth, c.width);
      // The caller served its messages while the loader ran.
      EXPECT_EQ(served_, std::vector<bool>{true});
    } else {
      EXPECT_TRUE(served_.empty());  // nothing found: no loader started, no wait
      plat::pumpOne(false);
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
  rt::WriteU32At(rankCount, 4 + 428, 0x7fffffff);  // the ranking flags' count
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
  plat::this_thread::postQuit(0);
  EXPECT_EQ(LoadStage("data\\stg4\\Q.stg4", 1, &g_StartStage), 0);
  EXPECT_TRUE(g_Boxes.empty());
  EXPECT_EQ(closes_, 0);
  EXPECT_EQ(g_StartStage.m_nWidth, 7);
  EXPECT_FALSE(thLoad.HasThread());
  // The quit stays for the loop that called LoadStage, which must end too.
  EXPECT_TRUE(plat::this_thread::quitPosted());
  cDataWriter out;
  g_Stage.Save(out);
}

TEST_F(StageLoadTest, CloseDuringTheLoadStopsTheLoader) {
  // The close handling stops the loader from inside the wait, as the window thread
  // does when the close request reaches it there. Whether the loader was still
  // reading decides between a stage and the failure box; either way the wait ends,
  // the loader is released and g_Stage is a whole stage.
  cEdStage large = Playable(20);
  large.m_Charas.resize(3000);
  Put("data\\stg4\\C.stg4_001", File(large));
  onMessage_ = [](const plat::Msg&) { thLoad.Exit(); };
  g_StartStage.m_nWidth = 7;
  PostToWindow();
  const int result = LoadStage("data\\stg4\\C.stg4", 1, &g_StartStage);
  EXPECT_EQ(served_, std::vector<bool>{true});
  EXPECT_FALSE(thLoad.HasThread());
  if (result) {
    EXPECT_TRUE(g_Boxes.empty());
    EXPECT_EQ(g_StartStage.m_nWidth, 20);
  } else {
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0], Msg("ステージファイル %s の読み込みに失敗しました！", "data\\stg4\\C.stg4_001"));
    EXPECT_EQ(g_StartStage.m_nWidth, 7);
  }
  cDataWriter out;
  g_Stage.Save(out);
}

TEST_F(StageLoadTest, FaultWhileWaitingStillStopsTheLoader) {
  Put("data\\stg4\\F.stg4_001", File(Playable(20)));
  onMessage_ = [](const plat::Msg&) { throw std::runtime_error("fault"); };
  PostToWindow();
  EXPECT_THROW(LoadStage("data\\stg4\\F.stg4", 1, &g_StartStage), std::runtime_error);
  EXPECT_FALSE(thLoad.HasThread());
}

TEST_F(StageLoadTest, LoaderStopsAtItsNextRead) {
  const std::string file = File(Playable(20));
  // A quit posted to the reading thread: every read fails, the stage stays whole.
  {
    plat::this_thread::postQuit(0);
    std::unique_ptr<cDataReader> in = OpenLoadData(file);
    in->EnableCheckpoints();
    cEdStage s;
    s.Load(*in);
    EXPECT_TRUE(in->Failed());
    EXPECT_TRUE(s.m_Charas.empty());
    plat::this_thread::resetQueue();
  }
  // A cancelled thread unwinds from the read.
  {
    static std::atomic<bool> go{false}, loaded{false};
    static const std::string* bytes = nullptr;
    go = false;
    loaded = false;
    bytes = &file;
    ASSERT_EQ(thLoad.Start(
                  [](void*) -> unsigned {
                    while (!go) std::this_thread::yield();
                    std::unique_ptr<cDataReader> in = OpenLoadData(*bytes);
                    in->EnableCheckpoints();
                    cEdStage s;
                    s.Load(*in);
                    loaded = true;
                    return 1;
                  },
                  nullptr),
              1);
    thLoad.m_hThread.requestCancel();
    go = true;
    thLoad.Wait();
    EXPECT_FALSE(loaded);
  }
  // Without checkpoints a pending quit does not concern the reader.
  {
    plat::this_thread::postQuit(0);
    std::unique_ptr<cDataReader> in = OpenLoadData(file);
    cEdStage s;
    s.Load(*in);
    EXPECT_FALSE(in->Failed());
    EXPECT_EQ(s.m_Charas.size(), 1u);
  }
}

}  // namespace
