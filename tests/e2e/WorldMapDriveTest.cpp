// Story mode on the sample's world map, driven by key scripts through the real player on
// the fast clock: the hero on the start point, the ask-first box, saving through the map
// menu, the map's music going on across the menu, walking up to the gate, the title, and
// a second start that continues from the saved slot; a stage file that is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "records/PlayRecord.h"
#include "gamedata/DataFile.h"
#include "gamedata/WorldMap.h"
#include "platform/bmp.h"
#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

struct MapRun {
  std::optional<int> exitCode;
  std::vector<std::string> trace;
  std::string stderrText;
  fs::path frames;
};

int Count(const std::vector<std::string>& trace, const std::string& event) {
  int n = 0;
  for (const std::string& l : trace) n += l.substr(l.find(' ') + 1) == event ? 1 : 0;
  return n;
}

std::vector<std::string> Events(const std::vector<std::string>& trace) {
  std::vector<std::string> out;
  for (const std::string& l : trace) {
    const std::string e = l.substr(l.find(' ') + 1);
    if (e.rfind("scene", 0) == 0 || e.rfind("bgm", 0) == 0 || e.rfind("write", 0) == 0) out.push_back(e);
  }
  return out;
}

// The hero's cell in the middle of the screen.
bool InHeroCell(int x, int y) { return x >= 288 && x < 320 && y >= 224 && y < 256; }

class WorldMapDrive : public e2e::SampleGameTest {
 protected:
  MapRun Start(const std::string& keyScript, const std::string& quitAt) {
    const fs::path work = fs::path(tmp_.path()) / ("run" + std::to_string(++runs_));
    fs::create_directories(work);
    const fs::path script = work / "keys.txt", trace = work / "trace.txt";
    EXPECT_TRUE(e2e::WriteFile(script, keyScript));
    e2e::PlayerProcess player(game_, work,
                              {.args = {},
                               .uiAnswers = {},
                               .env = {{"PELLMOOR_KEY_SCRIPT", script.string()},
                                       {"PELLMOOR_TRACE", trace.string()},
                                       {"PELLMOOR_FAST", "1"},
                                       {"PELLMOOR_QUIT_AT", quitAt}}});
    MapRun run;
    run.exitCode = player.Wait(60000);
    run.stderrText = player.Stderr();
    run.frames = work / "frames";
    const std::string text = e2e::ReadFile(trace);
    for (std::size_t at = 0; at < text.size();) {
      std::size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      run.trace.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    return run;
  }

  static std::optional<plat::bmp::Bitmap> FrameAt(const MapRun& run, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.bmp", frame);
    return plat::bmp::load(plat::fs::fromNative((run.frames / name).string()));
  }
  // Both frames show the same picture outside the hero's cell.
  static ::testing::AssertionResult SameAroundHero(const plat::bmp::Bitmap& a, const plat::bmp::Bitmap& b) {
    if (a.width != b.width || a.height != b.height) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x)
        if (!InHeroCell(x, y) && a.rgbAt(x, y) != b.rgbAt(x, y))
          return ::testing::AssertionFailure() << "differs at " << x << "," << y;
    return ::testing::AssertionSuccess();
  }

  int runs_ = 0;
};

TEST_F(WorldMapDrive, NewGameSavesOnTheMapAndContinuesThereAtTheNextStart) {
  const MapRun run = Start(
      "60 Z press 1\n"                                                                  // "はじめから"
      "150 Z press 1\n160 X press 1\n"                                                  // the ask-first box, cancelled
      "170 X press 1\n"                                                                 // the map menu
      "220 Z press 1\n230 DOWN press 1\n232 DOWN press 1\n240 Z press 1\n"              // "セーブ", slot 3
      "250 UP press 1\n260 Z press 1\n"                                                 // "セーブする"
      "270 X press 1\n280 X press 1\n"                                                  // back to the map
      "330 RIGHT press 1\n340 RIGHT press 1\n350 RIGHT press 1\n360 RIGHT press 1\n"    // up to the gate
      "370 X press 1\n420 UP press 1\n430 Z press 1\n440 UP press 1\n450 Z press 1\n",  // "タイトルへ"
      "520");
  ASSERT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  const std::vector<std::string> expected = {
      "scene -1 -> 0", "bgm play bgm/Title.mid loop 1",        "scene 0 -> 1", "bgm play bgm/WorldMap.mid loop 1",
      "scene 1 -> 2",  "write user_data/story/Story03.dat ok", "scene 2 -> 1", "scene 1 -> 2",
      "scene 2 -> 0",  "bgm play bgm/Title.mid loop 1",        "bgm stop"};
  EXPECT_EQ(expected, Events(run.trace));
  // The box opens the frame after the press and is cancelled; cancel on the map opens
  // the menu with its own sound.
  std::vector<std::string> sounds;
  for (const std::string& l : run.trace)
    if (l.find(" sound ") != std::string::npos && std::stoi(l) >= 150 && std::stoi(l) <= 175)
      sounds.push_back(l.substr(0, l.find(" vol")));
  EXPECT_EQ((std::vector<std::string>{"151 sound 1", "160 sound 2", "170 sound 4"}), sounds);

  // The hero stands on the start point after the fade-in, facing down.
  const int onMap = e2e::FrameOf(run.trace, "scene 0 -> 1");
  ASSERT_GT(onMap, 0);
  const auto first = FrameAt(run, onMap + 60);
  ASSERT_TRUE(first);
  const auto accessory = plat::bmp::load(plat::fs::fromNative((game_ / "bmp" / "Accessory.bmp").string()));
  ASSERT_TRUE(accessory);
  // One of the two walking cells facing down, its transparent colour that of the corner.
  bool shown[2] = {true, true};
  int opaque[2] = {0, 0};
  const std::uint32_t clear = accessory->rgbAt(0, 64);
  for (int step = 0; step < 2; ++step)
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const std::uint32_t sprite = accessory->rgbAt(32 * step + x, 64 + y);
        if (sprite == clear) continue;
        ++opaque[step];
        shown[step] = shown[step] && first->rgbAt(288 + x, 224 + y) == sprite;
      }
  EXPECT_GT(opaque[0], 100);
  EXPECT_GT(opaque[1], 100);
  EXPECT_TRUE(shown[0] || shown[1]);

  // Three steps right, and the gate stops the fourth.
  const auto beforeWalk = FrameAt(run, 325), walked = FrameAt(run, 355), stopped = FrameAt(run, 365);
  ASSERT_TRUE(beforeWalk && walked && stopped);
  EXPECT_TRUE(SameAroundHero(*first, *beforeWalk));
  EXPECT_FALSE(SameAroundHero(*beforeWalk, *walked));
  EXPECT_TRUE(SameAroundHero(*walked, *stopped));

  // The slot holds the game as it stood on the start point.
  // The slot's map cell is checked against the map as it loads.
  ASSERT_EQ(1, g_WorldMap.LoadFromFile(plat::fs::fromNative((game_ / "data" / "WorldMap.dat").string())));
  cPlayRecord saved;
  ASSERT_EQ(1, saved.LoadFromFile(plat::fs::fromNative((game_ / "user_data" / "story" / "Story03.dat").string())));
  g_WorldMap = cEdWorldMap();
  EXPECT_EQ(16, saved.m_nMapX);
  EXPECT_EQ(12, saved.m_nMapY);
  EXPECT_EQ(2, saved.m_nSlot);
  EXPECT_EQ(0, saved.m_nMapFacing);

  // The next start continues from slot 3 on the same point.
  const MapRun second = Start("60 DOWN press 1\n62 Z press 1\n64 DOWN press 1\n66 DOWN press 1\n68 Z press 1\n", "200");
  ASSERT_EQ(std::optional<int>(0), second.exitCode) << second.stderrText;
  const int continued = e2e::FrameOf(second.trace, "scene 0 -> 1");
  ASSERT_GT(continued, 0);
  EXPECT_EQ(1, Count(second.trace, "bgm play bgm/WorldMap.mid loop 1"));
  const auto again = FrameAt(second, continued + 60);
  ASSERT_TRUE(again);
  EXPECT_TRUE(SameAroundHero(*first, *again));
}

TEST_F(WorldMapDrive, AStageFileThatIsMissingShowsTheBoxAndTheHeroStaysOnTheMap) {
  ASSERT_TRUE(fs::remove(game_ / "data" / "stg4" / "Stage01-1.stg4_001"));
  const MapRun run = Start("60 Z press 1\n150 Z press 1\n160 UP press 1\n170 Z press 1\n", "260");
  ASSERT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  int boxes = 0;
  for (const std::string& l : run.trace)
    if (l.find(" box ") != std::string::npos) {
      ++boxes;
      // The trace is UTF-8 whatever the narrow literals of the game are.
      for (const std::u8string& part :
           {std::u8string(u8"| ステージファイル data"), std::u8string(u8"Stage01-1.stg4 が読み込めません！ ->")})
        EXPECT_NE(std::string::npos, l.find(reinterpret_cast<const char*>(part.c_str()))) << l;
    }
  EXPECT_EQ(1, boxes);
  EXPECT_EQ(0, Count(run.trace, "scene 1 -> 4"));
  const std::vector<std::string> expected = {"scene -1 -> 0", "bgm play bgm/Title.mid loop 1", "scene 0 -> 1",
                                             "bgm play bgm/WorldMap.mid loop 1", "bgm stop"};
  EXPECT_EQ(expected, Events(run.trace));
}

}  // namespace
