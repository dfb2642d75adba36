// Stages played through the binary with a key script and the trace: each test writes a
// tiny stage into a fresh sample project and reads what happened from the trace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "e2e/TinyStage.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

// One "play" line of the trace: the state as the frame's logic begins.
struct PlayLine {
  int frame = 0;  // the play frame
  double x = 0, y = 0;
  int hp = 0;
  int items = 0;
  double viewX = 0, viewY = 0;
};

std::vector<PlayLine> PlayLines(const std::vector<std::string>& trace) {
  std::vector<PlayLine> out;
  for (const std::string& event : e2e::TraceEvents(trace)) {
    if (event.rfind("play ", 0) != 0) continue;
    PlayLine p;
    const char* s = event.c_str() + 5;
    char* end = nullptr;
    p.frame = static_cast<int>(std::strtol(s, &end, 10));
    p.x = std::strtod(std::strstr(end, " x ") + 3, nullptr);
    p.y = std::strtod(std::strstr(end, " y ") + 3, nullptr);
    p.hp = std::atoi(std::strstr(end, " hp ") + 4);
    p.items = std::atoi(std::strstr(end, " items ") + 7);
    const char* view = std::strstr(end, " view ") + 6;
    p.viewX = std::strtod(view, &end);
    p.viewY = std::strtod(end, nullptr);
    out.push_back(p);
  }
  return out;
}

class PlayDrive : public e2e::SampleGameTest {
 protected:
  // A run to the close request at quitAt; it ends cleanly, without a sanitizer's report.
  e2e::DrivenRun Run(const std::string& stage, const std::string& keys, int quitAt) {
    e2e::DrivenRun run = e2e::RunDriven(game_, fs::path(tmp_.path()) / "run", keys,
                                        {.quitAt = std::to_string(quitAt),
                                         .args = {"data\\stg4\\" + stage + ".stg4"},
                                         .uiAnswers = {},
                                         .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
    EXPECT_EQ(run.exitCode.value_or(-1), 0) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("Sanitizer"), std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("runtime error"), std::string::npos) << run.stderrText;
    return run;
  }
};

// A fall as the physics give it: every sub-step adds the stage's gravity / m² to the
// speed (at most 6 a sub-step) and the speed to y; a bottom edge (y + 24 - 1 for the
// hero's 24-pixel body) inside the floor's row lands: y -= (trunc(bottom) & 31) + 1 and
// the speed becomes 0. ys[n] is y as play frame n + 1 begins.
struct Fall {
  std::vector<double> ys;
  int landedIn = 0;  // the play frame whose sub-steps first land
};

Fall Simulate(int m, double gravity, int nStartRow, int nFloorRow, int nFrames) {
  const double g = gravity / (m * m);
  const int nFloorTop = (nFloorRow + 10) * 32;
  double y = (nStartRow + 10) * 32 + 8, v = 0;  // standing on the bottom of its cell
  Fall f;
  for (int frame = 1; frame <= nFrames; ++frame) {
    f.ys.push_back(y);
    for (int i = 0; i < m; ++i) {
      v = std::min(v + g, 6.0);
      y += v;
      const int nBottom = static_cast<int>(y + 24 - 1);
      if (nBottom >= nFloorTop) {
        if (f.landedIn == 0) f.landedIn = frame;
        y -= (nBottom & 31) + 1;
        v = 0;
      }
    }
  }
  return f;
}

// The game frame of a play frame, and of the first event that starts with prefix (-1: none).
int GameFrameOfPlay(const std::vector<std::string>& trace, int nPlay) {
  const std::string tag = " play " + std::to_string(nPlay) + " ";
  for (const std::string& line : trace)
    if (line.find(tag) != std::string::npos) return std::atoi(line.c_str());
  return -1;
}

int GameFrameOf(const std::vector<std::string>& trace, const std::string& prefix) {
  for (const std::string& line : trace) {
    const std::size_t sp = line.find(' ');
    if (sp != std::string::npos && line.compare(sp + 1, prefix.size(), prefix) == 0) return std::atoi(line.c_str());
  }
  return -1;
}

TEST_F(PlayDrive, AFallLandsInTheFrameThePhysicsGiveAtEveryHitTestLevel) {
  for (int level : {1, 3, 10}) {
    SCOPED_TRACE(level);
    double gravity = 0;
    const std::string name = "Fall" + std::to_string(level);
    ASSERT_TRUE(e2e::WriteTinyStage(game_, name, [&](cEdStage& s, const e2e::StageParts& p) {
      s.m_nHitLevel = level;
      gravity = s.m_dGravity;
      for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
      s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 1));
    }));
    ASSERT_GT(gravity, 0);
    const e2e::DrivenRun run = Run(name, "", 200);
    ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
    const std::vector<PlayLine> lines = PlayLines(run.trace);
    ASSERT_GT(lines.size(), 100u);
    const Fall fall = Simulate(level, gravity, 1, 13, static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].frame, static_cast<int>(i) + 1);
      ASSERT_EQ(lines[i].y, fall.ys[i]) << "play frame " << lines[i].frame;
      EXPECT_EQ(lines[i].x, lines[0].x);
    }
    // Landed within the run, and resting on the floor since.
    EXPECT_GT(fall.landedIn, 1);
    EXPECT_LT(fall.landedIn, lines.back().frame - 10);
    EXPECT_EQ(static_cast<int>(lines.back().y + 24 - 1), (13 + 10) * 32 - 1);
  }
}

// A floor of deadly blocks kills the hero in the sub-step it lands: the frame's logic
// stops there, with the death sound.
TEST_F(PlayDrive, ADeadlyFloorKillsTheHeroAsItLands) {
  double gravity = 0;
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Deadly", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    gravity = s.m_dGravity;
    cEdBlock deadly = p.block;
    deadly.m_nHit = 2;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(deadly, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 9));
  }));
  const e2e::DrivenRun run = Run("Deadly", "", 150);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const Fall fall = Simulate(3, gravity, 9, 13, 100);
  ASSERT_GT(fall.landedIn, 1);
  const int nDeath = GameFrameOfPlay(run.trace, fall.landedIn);
  ASSERT_GT(nDeath, 0);
  EXPECT_EQ(GameFrameOf(run.trace, "death label Dead 4"), nDeath);
  EXPECT_EQ(GameFrameOf(run.trace, "hero dead"), nDeath);
  EXPECT_EQ(GameFrameOf(run.trace, "sound 8 "), nDeath);
  // Dead, it moves no more.
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  ASSERT_GT(lines.size(), static_cast<std::size_t>(fall.landedIn + 5));
  EXPECT_EQ(lines.back().y, lines[fall.landedIn].y);
}

// The time limit of 2 runs out in play frame 120 (one unit per 60 frames): the hero dies
// in that frame with the death sound, and not before.
TEST_F(PlayDrive, TheTimeLimitKillsTheHeroInItsFrame) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Timed", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 1;
    s.m_bTimeLimit = 1;
    s.m_nTimeLimit = 2;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
  }));
  const e2e::DrivenRun run = Run("Timed", "", 200);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const int nFrame = GameFrameOfPlay(run.trace, 120);
  ASSERT_GT(nFrame, 0);
  EXPECT_EQ(GameFrameOf(run.trace, "hero dead"), nFrame);
  EXPECT_EQ(GameFrameOf(run.trace, "sound 8 "), nFrame);
}

// The hero walks right (3 pixels a frame) to a coin at cell (8, 12). Its item box of
// 16 x 16 lies on its body's top-left (x truncated); the coin's body of 28 x 28 starts at
// (8 + 10) x 32 + 2 + 0.5. The coin is taken in the frame whose logic first brings the
// boxes together, with its sound, and is gone from the next frame on.
TEST_F(PlayDrive, AnItemIsTakenInTheFrameOfContact) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Coin", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 2, 12));
    s.m_Items.push_back(e2e::ItemAt(p.coin, 8, 12));
  }));
  const e2e::DrivenRun run = Run("Coin", "20 RIGHT down\n", 150);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  const double coinLeft = (8 + 10) * 32 + 2 + 0.5;
  std::size_t k = 0;
  while (k < lines.size() && static_cast<int>(lines[k].x) + 15 < coinLeft) ++k;
  ASSERT_GT(k, 1u);
  ASSERT_LT(k, lines.size());
  const int nTaken = GameFrameOfPlay(run.trace, lines[k - 1].frame);
  EXPECT_EQ(GameFrameOf(run.trace, "item "), nTaken);
  EXPECT_EQ(lines[k - 1].items, 1);
  EXPECT_EQ(lines[k].items, 0);
}

// A walker (power 1) walks into the hero (3 HP), who stands still. With an invincibility
// of 6 frames after a hit, and 6 frames against the same attacker, the walker hurts the
// hero every 6 frames while they touch: HP 3, 2, 1, then death, with the hit sound (7)
// and the death sound (8).
TEST_F(PlayDrive, AWalkerHitsTheHeroAtTheIntervalsItsInvincibilityAllowsUntilDeath) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Walker", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    for (int& t : s.m_HitTimes) t = 6;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 4, 12));
    s.m_Charas.push_back(e2e::CharaAt(p.walker, 7, 12));
  }));
  const e2e::DrivenRun run = Run("Walker", "", 250);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  auto firstWithHp = [&](int hp) {
    for (const PlayLine& l : lines)
      if (l.hp == hp) return l.frame;
    return -1;
  };
  const int nHit1 = firstWithHp(2) - 1;  // the frame whose logic took the HP
  const int nHit2 = firstWithHp(1) - 1;
  ASSERT_GT(nHit1, 0);
  EXPECT_EQ(nHit2, nHit1 + 6);
  const int nDeath = GameFrameOfPlay(run.trace, nHit1 + 12);
  EXPECT_EQ(GameFrameOf(run.trace, "hero dead"), nDeath);
  EXPECT_EQ(GameFrameOf(run.trace, "sound 7 "), GameFrameOfPlay(run.trace, nHit1));
  EXPECT_EQ(GameFrameOf(run.trace, "sound 8 "), nDeath);
}

// Every game frame of an event that starts with prefix.
std::vector<int> GameFramesOf(const std::vector<std::string>& trace, const std::string& prefix) {
  std::vector<int> out;
  for (const std::string& line : trace) {
    const std::size_t sp = line.find(' ');
    if (sp != std::string::npos && line.compare(sp + 1, prefix.size(), prefix) == 0)
      out.push_back(std::atoi(line.c_str()));
  }
  return out;
}

// A spring block (kind 1, 4 half blocks) under the hero throws it up with its sound (10)
// whenever it lands on it. The hero's launch speed is (-g - sqrt(g (g + 8 x 64))) / 2 x
// (0.99 - G x 0.025) with g = G / m²; every sub-step adds g to it before the move, so the
// rise is the sum of the speeds from the first sub-step on until they turn.
TEST_F(PlayDrive, ASpringBlockLaunchesTheHeroAgainAndAgainWithItsSound) {
  double gravity = 0;
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Spring", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    gravity = s.m_dGravity;
    for (int x = 0; x < 20; ++x) {
      cEdBlock b = p.block;
      if (x == 5) {
        b.m_nEffect = 1;
        b.m_nEffectValue = 4;
      }
      s.m_Blocks.push_back(e2e::BlockAt(b, x, 13));
    }
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
  }));
  const e2e::DrivenRun run = Run("Spring", "", 250);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const std::vector<int> springs = GameFramesOf(run.trace, "sound 10 ");
  ASSERT_GE(springs.size(), 3u);
  const double g = gravity / 9;
  double v = (-g - std::sqrt(g * (g + 8 * 64.0))) * 0.5 * (0.99 - gravity * 0.025);
  double rise = 0;
  for (v += g; v < 0; v += g) rise -= v;  // gravity comes before the move in each sub-step
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  const double rest = (12 + 10) * 32 + 8;
  double top = rest;
  for (const PlayLine& l : lines) {
    top = std::min(top, l.y);
    EXPECT_EQ(l.x, lines[0].x);
  }
  // Frames sample the flight: the highest of them lies within a frame's move of the apex.
  EXPECT_NEAR(rest - top, rise, 3 * 3 * g + 1);
  // Each bounce takes as long as the one before, give or take a frame.
  for (std::size_t i = 2; i < springs.size(); ++i)
    EXPECT_NEAR(springs[i] - springs[i - 1], springs[1] - springs[0], 1) << i;
}

// A conveyor floor (kind 5, 30 tenths of a pixel a frame to the right) carries the
// standing hero to the wall at cell 12 and holds it there, its body's right edge on the
// last pixel before the wall.
TEST_F(PlayDrive, AConveyorCarriesTheHeroToAWallAndItStopsThere) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Conveyor", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    cEdBlock belt = p.block;
    belt.m_nEffect = 5;
    belt.m_nEffectValue = 30;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(x < 12 ? belt : p.block, x, 13));
    for (int y = 10; y <= 12; ++y) s.m_Blocks.push_back(e2e::BlockAt(p.block, 12, y));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 3, 12));
  }));
  const e2e::DrivenRun run = Run("Conveyor", "", 250);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  ASSERT_GT(lines.size(), 200u);
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_GE(lines[i].x, lines[i - 1].x) << lines[i].frame;
  const int nWallLeft = (12 + 10) * 32;
  EXPECT_GT(lines[40].x, lines[0].x + 60);  // carried about 3 pixels a frame
  for (std::size_t i = lines.size() - 20; i < lines.size(); ++i) {
    EXPECT_EQ(static_cast<int>(lines[i].x) + 16 - 1, nWallLeft - 1) << lines[i].frame;
    EXPECT_EQ(lines[i].hp, 3);
  }
}

// The hero stands on a block character that walks the ground at 10 tenths of a pixel a
// frame: it is carried along (a pixel a frame, either way as the carrier turns) and
// stays on the carrier's top, 24 pixels above row 12's top.
TEST_F(PlayDrive, RidingABlockCharacterKeepsTheHeroOnIt) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Ride", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    cEdChara carrier = p.walker;
    carrier.m_bBlockChara = 1;
    carrier.m_nBodyPower = 0;
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 8, 11));
    s.m_Charas.push_back(e2e::CharaAt(carrier, 8, 12));
  }));
  const e2e::DrivenRun run = Run("Ride", "", 200);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  ASSERT_GT(lines.size(), 150u);
  double moved = 0;
  for (std::size_t i = 40; i < lines.size(); ++i) {
    EXPECT_EQ(static_cast<int>(lines[i].y), (12 + 10) * 32 - 24) << lines[i].frame;
    const double dx = std::fabs(lines[i].x - lines[i - 1].x);
    EXPECT_NEAR(dx, 1.0, 1e-9) << lines[i].frame;
    moved += dx;
  }
  EXPECT_GT(moved, 100);
}

// The view's edge pushing a standing hero along one axis, as the formulas give it: the
// scroll moves n tenths of a pixel a frame, n x 0.1 / m a sub-step, before the player;
// the player's screen rectangle is taken afresh before each clamp, with the position and
// the scroll truncated apart, so the hero is held at the scroll position as soon as
// trunc(pos) < trunc(scroll). A wall (or floor) whose first pixel is at nWall stops the
// held hero's far edge (pos + 15 across, pos + 23 down): it is pushed back, held again,
// and touching both sides it is crushed in that sub-step.
struct Push {
  std::vector<double> views, poss;  // as each play frame begins
  int crushedIn = 0;                // the play frame
};

Push SimulatePush(int m, int nTenths, double pos, double view, int nFar, int nWall, int nFrames) {
  const double speed = nTenths * 0.1 / m;
  Push p;
  for (int frame = 1; frame <= nFrames && p.crushedIn == 0; ++frame) {
    p.views.push_back(view);
    p.poss.push_back(pos);
    for (int i = 0; i < m; ++i) {
      view += speed;
      if (static_cast<int>(pos) < static_cast<int>(view)) {
        pos = view;
        if (static_cast<int>(pos + nFar) >= nWall) {
          p.crushedIn = frame;
          break;
        }
      }
    }
  }
  return p;
}

// The view scrolls right by itself at 60 tenths of a pixel a frame; its left edge takes
// the standing hero along, exactly at the edge, into a wall at cell 20 that crushes it.
TEST_F(PlayDrive, AutomaticScrollingCrushesTheHeroAgainstAWall) {
  for (int level : {3, 10}) {
    SCOPED_TRACE(level);
    const std::string name = "Crush" + std::to_string(level);
    ASSERT_TRUE(e2e::WriteTinyStage(game_, name, [&](cEdStage& s, const e2e::StageParts& p) {
      s.m_nHitLevel = level;
      e2e::MakeAutoScrolling(s, 60, 60);
      for (int x = 0; x < 60; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
      for (int y = 9; y <= 12; ++y) s.m_Blocks.push_back(e2e::BlockAt(p.block, 20, y));
      s.m_Charas.push_back(e2e::CharaAt(p.hero, 1, 12));
    }));
    const e2e::DrivenRun run = Run(name, "", 200);
    ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
    const std::vector<PlayLine> lines = PlayLines(run.trace);
    ASSERT_GT(lines.size(), 20u);
    ASSERT_EQ(lines[0].viewX, 320);  // the view starts at the stage's left
    const Push push = SimulatePush(level, 60, lines[0].x, 320, 15, (20 + 10) * 32, 200);
    ASSERT_GT(push.crushedIn, 20);
    ASSERT_GE(lines.size(), static_cast<std::size_t>(push.crushedIn));
    int nHeld = 0;
    for (int i = 0; i < push.crushedIn; ++i) {
      ASSERT_EQ(lines[i].frame, i + 1);
      EXPECT_EQ(lines[i].viewX, push.views[i]) << "play frame " << i + 1;
      EXPECT_EQ(lines[i].x, push.poss[i]) << "play frame " << i + 1;
      nHeld += lines[i].x == lines[i].viewX;
    }
    EXPECT_GT(nHeld, 40);  // the edge held the hero for most of the way
    const int nDeath = GameFrameOfPlay(run.trace, push.crushedIn);
    ASSERT_GT(nDeath, 0);
    EXPECT_EQ(GameFrameOf(run.trace, "hero dead"), nDeath);
    EXPECT_EQ(GameFrameOf(run.trace, "death label Dead SP"), nDeath);
    EXPECT_EQ(GameFrameOf(run.trace, "sound 8 "), nDeath);
  }
}

// The view scrolls down by itself at 30 tenths of a pixel a frame over a hero standing on
// a floor near the stage's top: the view's top edge pushes the hero into the floor,
// which crushes it in the sub-step in which trunc(view y) passes the hero's trunc(y).
TEST_F(PlayDrive, AutomaticScrollingDownCrushesTheHeroAgainstTheFloor) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "CrushDown", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 3;
    s.m_nHeight = 30;
    s.m_nExtentY = (30 + 20) * 32 - 640;
    s.m_nScrollModeY = 1;
    s.m_nAutoScrollY = 30;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 2));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 1));
  }));
  const e2e::DrivenRun run = Run("CrushDown", "", 150);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  const std::vector<PlayLine> lines = PlayLines(run.trace);
  ASSERT_GT(lines.size(), 20u);
  ASSERT_EQ(lines[0].viewY, 320);
  // Standing on row 2: the 24-pixel body's top is 8 below the top of row 1.
  const int nTop = (1 + 10) * 32 + 8;
  ASSERT_EQ(static_cast<int>(lines[0].y), nTop);
  const Push push = SimulatePush(3, 30, nTop, 320, 23, (2 + 10) * 32, 100);
  ASSERT_GT(push.crushedIn, 5);
  for (int i = 0; i < push.crushedIn; ++i) EXPECT_EQ(lines[i].viewY, push.views[i]) << "play frame " << i + 1;
  const int nDeath = GameFrameOfPlay(run.trace, push.crushedIn);
  ASSERT_GT(nDeath, 0);
  EXPECT_EQ(GameFrameOf(run.trace, "hero dead"), nDeath);
  EXPECT_EQ(GameFrameOf(run.trace, "death label Dead SP"), nDeath);
}

}  // namespace
