#include "gamedata/DataPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "RecordTestUtil.h"

namespace {

namespace stdfs = std::filesystem;

// Message boxes are answered by the test and counted.
int g_nBoxes = 0;
int g_nAnswer = plat::answer::Yes;
int AnswerBox(std::string_view, std::string_view, int) {
  ++g_nBoxes;
  return g_nAnswer;
}

class DataPathsTest : public rt::RecordFixture {
 protected:
  void SetUp() override {
    rt::RecordFixture::SetUp();
    g_nBoxes = 0;
    SetFullScreenBoxRoute(AnswerBox);
  }
  void TearDown() override {
    SetFullScreenBoxRoute(nullptr);
    rt::RecordFixture::TearDown();
  }
  static void MakeDefault() {
    stdfs::create_directories("default/database");
    ASSERT_TRUE(plat::fs::writeFileAtomic("default\\database\\Bgm.dat", "bgm"));
    ASSERT_TRUE(plat::fs::writeFileAtomic("default\\System.dat", "sys"));
  }
};

TEST_F(DataPathsTest, Tables) {
  EXPECT_STREQ(g_PathTable[PATH_DATA], "data\\");
  EXPECT_STREQ(g_PathTable[PATH_WORLD_MAP], "data\\WorldMap.dat");
  EXPECT_STREQ(g_PathTable[PATH_BGM_DATABASE], "data\\database\\Bgm.dat");
  EXPECT_STREQ(g_PathTable[PATH_RANKING_STORY + 2], "user_data\\free\\");
  EXPECT_STREQ(g_PathTable[PATH_OPTION], "user_data\\Option.dat");
  EXPECT_STREQ(g_PathTable[PATH_BOOT], "user_data\\Boot.dat");
  EXPECT_STREQ(g_ExtTable[EXT_STAGE], "stg4");
  EXPECT_STREQ(g_ColorNameTable[COLOR_NAME_TABLE_SIZE - 1], "");
  EXPECT_STREQ(g_DataFolders[DATA_FOLDER_COUNT - 1], "bgm");
}

TEST_F(DataPathsTest, CreateDefaultData) {
  struct Case {
    const char* name;
    bool data, def, fifo;
    int answer;
    int result, boxes;
  };
  const Case cases[] = {
      {"data exists: nothing asked", true, true, false, plat::answer::Yes, 1, 0},
      {"both missing: nothing asked", false, false, false, plat::answer::Yes, 0, 0},
      {"the user declines", false, true, false, plat::answer::No, 0, 1},
      {"copied", false, true, false, plat::answer::Yes, 1, 1},
      {"a copy that fails half way leaves no data folder", false, true, true, plat::answer::Yes, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    stdfs::remove_all("data");
    stdfs::remove_all("default");
    plat::fs::invalidateCache();
    if (c.def) MakeDefault();
    if (c.fifo) { ASSERT_EQ(::mkfifo("default/database/zz.fifo", 0600), 0); }
    if (c.data) stdfs::create_directory("data");
    plat::fs::invalidateCache();
    g_nBoxes = 0;
    g_nAnswer = c.answer;
    EXPECT_EQ(CreateDefaultData(), c.result);
    EXPECT_EQ(g_nBoxes, c.boxes);
    EXPECT_EQ(stdfs::is_directory("data"), c.result == 1);
    if (c.result == 1 && !c.data) {
      EXPECT_EQ(plat::fs::readFile("data\\database\\Bgm.dat"), "bgm");
      EXPECT_EQ(plat::fs::readFile("data\\System.dat"), "sys");
    }
    // Nothing else is left beside the folders.
    for (const auto& e : stdfs::directory_iterator(".")) {
      std::string n = e.path().filename().string();
      EXPECT_TRUE(n == "data" || n == "default" || n == "Report_Game.txt") << n;
    }
  }
}

}  // namespace
