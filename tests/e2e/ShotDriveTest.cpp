// The sample stage test-played with a key script: the hero walks toward the walker and
// fires on button 2; a shot of power 1 kills the walker of 1 HP, and the hero is never
// touched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

struct PlayLine {
  int frame = 0, hp = 0, chars = 0, shots = 0;
};

// "<frame> play <n> x <x> y <y> hp <hp> sp <sp> chars <c> items <i> shots <s> view ..."
bool ParsePlay(const std::string& line, PlayLine& out) {
  const std::size_t at = line.find(' ');
  if (at == std::string::npos || line.compare(at, 6, " play ") != 0) return false;
  out.frame = std::stoi(line);
  auto Field = [&](const char* name) {
    const std::size_t p = line.find(std::string(" ") + name + " ", at);
    return p == std::string::npos ? -1 : std::stoi(line.substr(p + std::char_traits<char>::length(name) + 2));
  };
  out.hp = Field("hp");
  out.chars = Field("chars");
  out.shots = Field("shots");
  return true;
}

TEST(ShotDrive, TheHeroShootsTheWalkerDead) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  // Play begins about 90 frames after the set-up. The hero walks right until the view
  // scrolls the walker in, then presses X (button 2) every ten frames.
  std::string keys = "100 RIGHT down\n200 RIGHT up\n";
  for (int f = 210; f < 400; f += 10) keys += std::to_string(f) + " X down\n" + std::to_string(f + 3) + " X up\n";
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", keys,
                                            {.quitAt = "500",
                                             .args = {"data\\stg4\\Stage01-1.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;

  int firstShots = -1, walkerGone = -1, minHp = 1000;
  for (const std::string& line : run.trace) {
    PlayLine p;
    if (!ParsePlay(line, p)) continue;
    if (p.shots > 0 && firstShots < 0) firstShots = p.frame;
    if (p.chars == 0 && walkerGone < 0) walkerGone = p.frame;
    if (p.hp < minHp) minHp = p.hp;
  }
  ASSERT_GT(firstShots, 0) << "no shot was fired";
  ASSERT_GT(walkerGone, firstShots) << "the walker did not fall to a shot";
  EXPECT_EQ(minHp, 3);
  // The death sound of a character (system sound 9) came with the hit.
  const std::vector<std::string> events = e2e::TraceEvents(run.trace);
  bool bDeathSound = false;
  for (const std::string& e : events) bDeathSound = bDeathSound || e.rfind("sound 9 ", 0) == 0;
  EXPECT_TRUE(bDeathSound);
}

}  // namespace
