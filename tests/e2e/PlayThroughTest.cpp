// The sample game played through by a key script, as a user would: a new game from the
// title, a save slot with auto-save, every story stage entered from the world map and
// cleared with a ranking entry, replays saved at the ends of the first and the last stage,
// back to the title and out. The trace shows every scene switch and stage end; the slot
// and the rankings are read back, and each replay played from the title repeats its stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "gamedata/WorldMap.h"
#include "platform/fs.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

// A key script written in order: a cursor moves on by waits, and keys are put at it.
class Script {
 public:
  int Now() const { return m_nNow; }
  Script& At(int frame) {
    m_nNow = frame;
    return *this;
  }
  Script& Wait(int frames) {
    m_nNow += frames;
    return *this;
  }
  Script& Press(const std::string& key, int frames = 1) {
    return Put(m_nNow, key + " press " + std::to_string(frames));
  }
  Script& Put(int frame, const std::string& event) {
    m_Events.push_back({frame, event});
    return *this;
  }
  std::string Text() const {
    std::vector<std::pair<int, std::string>> sorted = m_Events;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    for (const auto& [frame, event] : sorted) out += std::to_string(frame) + " " + event + "\n";
    return out;
  }

 private:
  int m_nNow = 0;
  std::vector<std::pair<int, std::string>> m_Events;
};

// The way through one story stage: the map steps to its point, then, in play frames
// counted from the first, the keys held and the frames of the jumps; from nFireFrom on the
// hero fires ahead every 12 frames. The stage is over well before its last frame.
struct Hold {
  const char* key;
  int from, to;
};
struct StageRoute {
  const char* file;    // as the trace names it
  const char* mapKey;  // the map steps to the stage's point
  int nMapSteps;
  std::vector<Hold> holds;
  std::vector<int> jumps;
  int nFireFrom;
  int nPlayFrames;
  int nShot;           // the score of what was shot: 100 a walker, 200 a bat, 5000 the boss
  int nCoins;          // coins taken on the way, 10 points each
  const char* replay;  // the replay saved at its end, or null
};

const StageRoute kRoute[] = {
    // Over the shot walker, up the steps, down to the goal.
    {"data/stg4/Stage01-1.stg4_001", "RIGHT", 0, {{"RIGHT", -20, 440}}, {255, 290}, 0, 440, 100, 1, "Story1.rpl4_513"},
    // Over the pit, off the spring over the wall, over the spikes.
    {"data/stg4/Stage02-1.stg4_001", "RIGHT", 4, {{"RIGHT", -20, 620}}, {113, 375}, 0, 620, 300, 1, nullptr},
    // The bridge scrolls on by itself, and whoever runs ahead is stopped by the screen's
    // edge: over the slow cloud and the bricks, wait; onto the belt that pushes back and
    // off it onto the spring, let go above the ground before the spikes; a jump straight
    // up that walks over them, another onto the belt that pushes on, wait; over the
    // bricks onto the second cloud, wait; onto the last belt and to the goal.
    // clang-format off
    {"data/stg4/Stage03-1.stg4_001", "RIGHT", 3,
     {{"RIGHT", -20, 245}, {"RIGHT", 650, 860}, {"RIGHT", 911, 943}, {"RIGHT", 972, 1010}, {"RIGHT", 1400, 1600},
      {"RIGHT", 2000, 2300}},
     {193, 650, 905, 960, 1415, 1460, 2072}, 0, 2300, 300, 2, nullptr},
    // clang-format on
    // The boss: stand by the left wall firing up until it falls, stepping aside from the
    // spark it drops onto the hero each round (one hit taken from the walker it calls
    // down beside the hero), then walk to the goal it leaves, firing ahead.
    // clang-format off
    {"data/stg4/Stage04-1.stg4_001", "DOWN", 4,
     {{"UP", -20, 228}, {"LEFT", 230, 242}, {"UP", 244, 638}, {"RIGHT", 640, 652}, {"UP", 654, 1058},
      {"LEFT", 1060, 1072}, {"UP", 1074, 1100}, {"X", -10, 1100}, {"RIGHT", 1120, 1300}},
     {},
     1110, 1300, 5000, 0, "Story4.rpl4_513"},
    // clang-format on
};

constexpr const char* kName = "PLY";

// A stage's score: what was shot and the coins.
int Score(const StageRoute& r) { return r.nShot + 10 * r.nCoins; }
// The map's start point, where the first stage is.
constexpr int kStartX = 16, kStartY = 12;

// On a map point: "はい" in the box that asks first. Play begins 100 frames after.
void EnterStage(Script& s) { s.Press("Z").Wait(10).Press("UP").Wait(10).Press("Z"); }

void PlayStage(Script& s, const StageRoute& r) {
  const int nPlay = s.Now() + 100;
  for (const Hold& h : r.holds)
    s.Put(nPlay + h.from, std::string(h.key) + " down").Put(nPlay + h.to, std::string(h.key) + " up");
  for (int p = r.nFireFrom; p < r.nPlayFrames; p += 12) s.Put(nPlay + p, "X press 4");
  for (int p : r.jumps) s.Put(nPlay + p, "Z press 15");
  s.At(nPlay + r.nPlayFrames);
  // The result: the name into the rankings (F3), their display closed, the replay saved
  // (F1), the result left for the map.
  s.Wait(60).Press("F3").Wait(30).Press("Z").Wait(20);
  if (r.replay) s.Press("F1").Wait(30);
  s.Press("Z").Wait(70);
}

std::string PlayThroughScript(int& nEnd) {
  Script s;
  s.At(60).Press("Z");  // "はじめから"
  // The map menu: "セーブ" into slot 3, "オートセーブ" on, back to the map.
  s.At(170).Press("X");
  s.At(220).Press("Z").Wait(10).Press("DOWN").Wait(2).Press("DOWN").Wait(8).Press("Z");
  s.Wait(10).Press("UP").Wait(10).Press("Z").Wait(10).Press("X");
  s.Wait(10).Press("DOWN").Wait(10).Press("Z").Wait(10).Press("UP").Wait(10).Press("Z");
  s.Wait(10).Press("X").Wait(60);
  for (const StageRoute& r : kRoute) {
    for (int n = 0; n < r.nMapSteps; ++n) s.Press(r.mapKey).Wait(10);
    s.Wait(10);
    EnterStage(s);
    PlayStage(s, r);
  }
  // The ending: "タイトルへ" from the map menu, then "しゅうりょう".
  s.Press("X").Wait(50).Press("UP").Wait(10).Press("Z").Wait(10).Press("UP").Wait(10).Press("Z").Wait(100);
  s.Press("UP").Wait(10).Press("Z");
  nEnd = s.Now();
  return s.Text();
}

// The events of one stage's play, from the first start line that begins so to its end:
// every frame's hero, the items taken and the characters that die, the end.
std::vector<std::string> StagePlay(const std::vector<std::string>& trace, const std::string& start) {
  std::vector<std::string> out;
  bool bIn = false;
  for (const std::string& e : e2e::TraceEvents(trace)) {
    if (e.rfind(start, 0) == 0) bIn = true;
    if (!bIn) continue;
    if (e.rfind("play ", 0) == 0 || e.rfind("item ", 0) == 0 || e.rfind("chara dead", 0) == 0 ||
        e.rfind("stage end", 0) == 0)
      out.push_back(e);
    if (e.rfind("stage end", 0) == 0) break;
  }
  return out;
}

std::string Native(const fs::path& p) { return plat::fs::fromNative(p.string()); }

TEST(PlayThrough, TheSampleGameFromTheTitleThroughEveryStoryStageAndItsReplay) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);

  int nEnd = 0;
  constexpr int kCloseAfter = 3000;  // frames from the last choice to the close request
  const std::string keys = PlayThroughScript(nEnd);
  std::vector<std::string> answers;
  for (const StageRoute& r : kRoute) {
    answers.push_back(std::string("text=") + kName + "+ok");
    if (r.replay) answers.push_back(std::string("file=") + r.replay);
  }
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "play", keys,
                                            {.quitAt = std::to_string(nEnd + kCloseAfter),
                                             .args = {},
                                             .uiAnswers = answers,
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}},
                                             .timeoutMs = 120000});
  ASSERT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  // "しゅうりょう" ends the game, not the close request after it. The window thread
  // serves the close on its own time while frames go on without waiting, so the quit
  // comes in the frame of the choice or some after; on a loaded machine that can be a
  // few hundred, still far before the close request.
  const std::string last = run.trace.back();
  const std::size_t sp = last.find(' ');
  ASSERT_NE(std::string::npos, sp) << last;
  EXPECT_EQ(" quit 0", last.substr(sp)) << last;
  const int nQuit = std::stoi(last.substr(0, sp));
  EXPECT_GE(nQuit, nEnd);
  EXPECT_LT(nQuit, nEnd + kCloseAfter);

  // Title, map, the map menu for the slot, every stage and back to the map, the map menu
  // for the title, the title.
  std::vector<std::string> scenes = {"scene -1 -> 0", "scene 0 -> 1", "scene 1 -> 2", "scene 2 -> 1"};
  for (std::size_t n = 0; n < std::size(kRoute); ++n) {
    scenes.push_back("scene 1 -> 4");
    scenes.push_back("scene 4 -> 1");
  }
  scenes.push_back("scene 1 -> 2");
  scenes.push_back("scene 2 -> 0");
  EXPECT_EQ(scenes, e2e::EventsStarting(run.trace, "scene "));

  // Each stage started in story mode and cleared once, on its first life, with the score
  // of what was shot and the coins taken; the clear counts the stage's play frames. The
  // result goes back to the map.
  std::vector<std::string> starts, ends;
  for (const StageRoute& r : kRoute) {
    starts.push_back(std::string("stage start ") + r.file + " mode 0 part 1");
    const std::vector<std::string> play = StagePlay(run.trace, std::string("stage start ") + r.file);
    const auto last =
        std::find_if(play.rbegin(), play.rend(), [](const std::string& e) { return e.rfind("play ", 0) == 0; });
    ASSERT_NE(last, play.rend()) << r.file;
    const std::string nFrames = last->substr(5, last->find(' ', 5) - 5);
    ends.push_back("stage end clear frames " + nFrames + " score " + std::to_string(Score(r)) + " next 2");
    // The coins and the goal are the items taken.
    EXPECT_EQ(r.nCoins + 1,
              std::count_if(play.begin(), play.end(),
                            [](const std::string& e) { return e.rfind("item ", 0) == 0 && e.ends_with(" taken"); }))
        << r.file;
  }
  EXPECT_EQ(starts, e2e::EventsStarting(run.trace, "stage start "));
  EXPECT_EQ(ends, e2e::EventsStarting(run.trace, "stage end"));
  EXPECT_TRUE(e2e::EventsStarting(run.trace, "hero dead").empty());
  EXPECT_EQ(std::vector<std::string>(std::size(kRoute), "game end next scene 1"),
            e2e::EventsStarting(run.trace, "game end next"));
  EXPECT_EQ(std::vector<std::string>(std::size(kRoute), std::string("ranking entry ") + kName),
            e2e::EventsStarting(run.trace, "ranking entry"));

  // Written: the slot (saved, auto-save switched on, then after each stage), each stage's
  // rankings and the replays.
  std::vector<std::string> writes = {"write user_data/story/Story03.dat ok", "write user_data/story/Story03.dat ok"};
  for (std::size_t n = 0; n < std::size(kRoute); ++n) {
    writes.push_back("write user_data/story/Stage0" + std::to_string(n + 1) + ".rkg ok");
    if (kRoute[n].replay) writes.push_back(std::string("write <game>/user_data/rpl4/") + kRoute[n].replay + " ok");
    writes.push_back("write user_data/story/Story03.dat ok");
  }
  std::vector<std::string> written = e2e::EventsStarting(run.trace, "write ");
  // The chooser answers with the replay's full path.
  for (std::string& w : written)
    if (const std::size_t at = w.find("/user_data/rpl4/"); at != std::string::npos && w.rfind("write /", 0) == 0)
      w = "write <game>" + w.substr(at);
  EXPECT_EQ(writes, written);

  // The slot: every stage's switch on, the score of the last stage (a stage entered from
  // the map starts the totals again).
  // The slot's map cell is checked against the map as it loads.
  ASSERT_EQ(1, g_WorldMap.LoadFromFile(Native(game / "data" / "WorldMap.dat")));
  cPlayRecord slot;
  ASSERT_EQ(1, slot.LoadFromFile(Native(game / "user_data" / "story" / "Story03.dat")));
  g_WorldMap = cEdWorldMap();
  EXPECT_EQ(2, slot.m_nSlot);
  EXPECT_EQ(1, slot.m_bAutoSave);
  EXPECT_EQ(Score(*std::rbegin(kRoute)), slot.m_nTotalScore);
  int nMapX = kStartX, nMapY = kStartY;
  for (const StageRoute& r : kRoute) (std::string(r.mapKey) == "RIGHT" ? nMapX : nMapY) += r.nMapSteps;
  EXPECT_EQ(nMapX, slot.m_nMapX);
  EXPECT_EQ(nMapY, slot.m_nMapY);
  for (std::size_t n = 1; n <= std::size(kRoute); ++n) {
    ASSERT_LT(static_cast<int>(n), slot.m_Switches.Size());
    EXPECT_EQ(1, slot.m_Switches[static_cast<int>(n)]) << "stage " << n;
  }
  EXPECT_EQ(0, slot.m_Switches[static_cast<int>(std::size(kRoute)) + 1]);

  // The rankings: the name heads each stage's score table with the stage's score.
  for (std::size_t n = 0; n < std::size(kRoute); ++n) {
    cRankingSet rankings;
    const fs::path file = game / "user_data" / "story" / ("Stage0" + std::to_string(n + 1) + ".rkg");
    ASSERT_EQ(1, rankings.LoadFromFile(Native(file)));
    ASSERT_GT(rankings.m_Tables.Size(), 0);
    const cRankingTable& score = rankings.m_Tables[0];
    ASSERT_GT(score.m_Entries.Size(), 1);
    EXPECT_EQ(1, score.m_Entries[0].m_bUsed);
    EXPECT_EQ(kName, score.m_Entries[0].m_strName);
    EXPECT_EQ(Score(kRoute[n]), score.m_Entries[0].m_nValue);
    EXPECT_EQ(0, score.m_Entries[1].m_bUsed);
  }

  // "リプレイ" from the title plays the stage again: the same frames, the same hero in
  // each, the same characters dying, items taken and the same end.
  for (const StageRoute& r : kRoute) {
    if (!r.replay) continue;
    SCOPED_TRACE(r.replay);
    const std::vector<std::string> played = StagePlay(run.trace, std::string("stage start ") + r.file);
    ASSERT_GT(played.size(), 100u);
    const e2e::DrivenRun replay =
        e2e::RunDriven(game, fs::path(tmp.path()) / r.replay,
                       "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 DOWN press 1\n68 Z press 1\n",
                       {.quitAt = std::to_string(400 + static_cast<int>(played.size())),
                        .args = {},
                        .uiAnswers = {std::string("file=") + r.replay},
                        .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
    ASSERT_EQ(std::optional<int>(0), replay.exitCode) << replay.stderrText;
    // The replay names its own file as the stage, in the replay mode.
    const std::vector<std::string> replayStarts = e2e::EventsStarting(replay.trace, "stage start ");
    ASSERT_FALSE(replayStarts.empty()) << replay.stderrText;
    EXPECT_NE(std::string::npos, replayStarts[0].find(std::string("/user_data/rpl4/") + r.replay + " mode 3 part 1"));
    EXPECT_EQ(played, StagePlay(replay.trace, "stage start "));
  }
}

}  // namespace
