// The movement commands on a laid-out stage: each logic step clears the step velocities,
// runs the character's flows and moves it through the blocks, as its update does.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "flow/CommandTables.h"
#include "gamedata/Move.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/ObjectGeometry.h"
#include "platform/messaging.h"
#include "stage/StageFixture.h"

namespace {

class MoveCommandsTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();  // one sub-step a frame: speeds in tenths are tenths of a pixel a step
    chara_.m_SwitchBusy.assign(27, 0);
    chara_.m_SwitchEnded.assign(27, 0);
    chara_.m_SwitchStarted.assign(27, 0);
  }
  void TearDown() override {
    if (window_) {
      g_hWnd.store(0);
      plat::unregisterWindow(window_);
    }
    StageFixture::TearDown();
  }
  // The sounds asked of the main window from now on are counted.
  void CountSounds() {
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id == appmsg::PlaySound) ++sounds_;
      return 0;
    });
    g_hWnd.store(window_);
  }

  // A command of the type lasting time tenths, with a movement payload set by set.
  template <class F>
  static cEdCommand Move(int type, int time, F&& set) {
    cEdCommand c;
    c.m_nType = static_cast<std::int8_t>(type);
    c.m_nTime = static_cast<std::int16_t>(time);
    c.NewMove();
    set(*c.m_pMove);
    return c;
  }
  // The character runs one flow of these commands from the first step on.
  void Run(std::vector<cEdCommand> commands) {
    cEdFlow f;
    for (cEdCommand& c : commands) f.m_Commands.push_back(c);
    chara_.m_Def.m_Flows.clear();
    chara_.m_Def.m_Flows.push_back(f);
    chara_.BuildFlows(chara_.m_Def.m_Flows, chara_.m_nFacing, 0, -1);
    chara_.FireFlowTrigger(0);
  }
  bool Running() { return chara_.m_FlowRuntimes[0].m_bRunning != 0; }
  void Step() {
    cChara& c = chara_;
    c.m_dStepX = 0.0;
    if (c.m_bFlying) c.m_dVelY = 0.0;
    c.m_bMoveCancelled = 0;
    c.m_bMovedThisStep = 0;
    c.CalcScreenRect();
    c.RunFlowPass(0);
    c.MoveX();
    Scene().ResolveBlocksX(c);
    c.ApplyGravity();
    c.MoveY();
    Scene().ResolveBlocksY(c);
  }

  cChara chara_;
  plat::WindowToken window_ = 0;
  int sounds_ = 0;
};

TEST_F(MoveCommandsTest, WalkerTurnsAtBothEdgesOfAOneBlockPlatform) {
  MakeMap({{5, 10}});
  const double x0 = (5 + 10) * 32;
  const double y0 = (10 + 10 - 1) * 32;
  Place(chara_, x0, y0);
  chara_.m_nFacing = 0;
  Run({Move(3, 999, [](cEdMove& m) { m.m_nSpeed = 30; })});
  // The walk as described: ahead at the speed; one foot without ground (the cell below
  // each edge) turns the actor, which moves on this step and turns from the next.
  const double s = 3.0;
  double x = x0;
  int facing = 0;
  bool turnedRight = false, turnedLeft = false;
  for (int step = 0; step < 40; ++step) {
    const bool left = (static_cast<int>(x) >> 5) == 15;
    const bool right = (static_cast<int>(x + 31) >> 5) == 15;
    const double vx = facing ? s : -s;
    if (left && !right && facing == 1) turnedLeft = true, facing = 0;
    if (right && !left && facing == 0) turnedRight = true, facing = 1;
    x += vx;
    Step();
    ASSERT_DOUBLE_EQ(chara_.m_dX, x) << step;
    ASSERT_EQ(chara_.m_nFacing, facing) << step;
    ASSERT_NEAR(chara_.m_dY, y0, 1.5) << step;  // still standing on the block
  }
  EXPECT_TRUE(turnedRight && turnedLeft);
}

TEST_F(MoveCommandsTest, FlyingCircleFollowsTheCircle) {
  Place(chara_, 640, 640, 32, 32, 1, 1);
  const double x0 = chara_.m_dX, y0 = chara_.m_dY;
  const int R = 2 * 16;  // two half blocks
  Run({Move(4, 30, [](cEdMove& m) {
    m.m_nRadius = 2;
    m.m_nAngle = 90;
    m.m_nDistance = 270;
  })});
  // Clockwise from 90 degrees to 270 in 180 steps: s = 1 degree a step; each step moves
  // by -R k s cos t horizontally and -R k s sin t vertically, t the angle before the step.
  const double s = 180.0 / 180, k = M_PI / 180;
  double x = x0, y = y0;
  for (int n = 0; n < 180; ++n) {
    const double t = 90 + n * s;
    Step();
    x += -R * k * s * std::cos(t * k);
    y += -R * k * s * std::cos((t + 270) * k);
    ASSERT_NEAR(chara_.m_dX, x, 1e-9) << n;
    ASSERT_NEAR(chara_.m_dY, y, 1e-9) << n;
    if (n == 0) {
      EXPECT_NEAR(chara_.m_dX, x0, 1e-12);  // the first step is vertical only
    }
  }
  // On the circle x = -R sin t, y = R cos t, within one step's length: half a turn moves
  // it 2R to the right.
  const double step = R * k * s + 1e-9;
  EXPECT_NEAR(chara_.m_dX - x0, -R * (std::sin(270 * k) - std::sin(90 * k)), step);
  EXPECT_NEAR(chara_.m_dY - y0, R * (std::cos(270 * k) - std::cos(90 * k)), step);
  Step();
  EXPECT_FALSE(Running());
}

TEST_F(MoveCommandsTest, TargetMoveWithStopAtTargetEndsOnArrival) {
  const struct {
    int speed;
    int steps;
    double dx, dy;
  } rows[] = {
      // 101 right and 35 up at 3 pixels a step: floor(|d| / 3) steps.
      {30, static_cast<int>(std::sqrt(101.0 * 101 + 35.0 * 35) / 3.0), 101, -35},
      // No speed: the command keeps its run time of 2 tenths and stays.
      {0, 12, 0, 0},
  };
  for (const auto& r : rows) {
    Place(chara_, 640, 640, 32, 32, 1, 1);
    const double x0 = chara_.m_dX, y0 = chara_.m_dY;
    Run({Move(2, 2 * (r.speed ? 50 : 1), [&](cEdMove& m) {
      m.m_nMode = 1;
      m.m_nCoordMode = 1;
      m.m_nCellX = 3;
      m.m_nDotX = 5;
      m.m_nCellY = -1;
      m.m_nDotY = -3;
      m.m_nSpeed = static_cast<std::int16_t>(r.speed);
    })});
    int n = 0;
    while (Running() && n < 1000) {
      Step();
      ++n;
    }
    EXPECT_EQ(n, r.steps) << r.speed;
    const double d = std::sqrt(r.dx * r.dx + r.dy * r.dy);
    const double s = r.speed * 0.1;
    EXPECT_NEAR(chara_.m_dX - x0, d ? r.dx / d * s * n : 0, 1e-9);
    EXPECT_NEAR(chara_.m_dY - y0, d ? r.dy / d * s * n : 0, 1e-9);
  }
}

TEST_F(MoveCommandsTest, CancelMoveSuspendsGravityWhileItRuns) {
  MakeMap();
  Place(chara_, 640, 400);
  chara_.m_dVelY = 3.0;  // falling already
  const double y0 = chara_.m_dY;
  cEdCommand cancel;
  cancel.m_nType = 8;
  cancel.m_nTime = 1;  // 6 steps
  Run({cancel});
  for (int n = 0; n < 6; ++n) {
    Step();
    ASSERT_EQ(chara_.m_dY, y0) << n;
  }
  EXPECT_FALSE(Running());
  const double g = g_Gravity;
  Step();
  EXPECT_DOUBLE_EQ(chara_.m_dY, y0 + g);
  Step();
  EXPECT_DOUBLE_EQ(chara_.m_dY, y0 + g + 2 * g);
}

TEST_F(MoveCommandsTest, DirectionAndAngleVelocities) {
  const double s = 2.0, k = M_PI / 180;
  const struct {
    int flying, code, angle;
    double vx, vy;
    int turn;
  } rows[] = {
      {1, 10, 0, s * HALF_SQRT2, -s * HALF_SQRT2, 2},  // "右上"
      {0, 10, 0, s * HALF_SQRT2, 0, 2},
      {1, 10, 10, -std::cos(145 * k) * s, -std::sin(145 * k) * s, 2},  // 10 degrees clockwise of it
      {1, 0, 0, -s, 0, 1},                                             // "前", facing left
      {1, 5, 0, 0, s, 0},                                              // "後Y", facing left: down
      {0, 6, 0, 0, 0, 0},                                              // up, not flying
  };
  chara_.m_Def.m_bFixedFacing = 0;
  chara_.m_nFacing = 0;
  for (const auto& r : rows) {
    chara_.m_bFlying = r.flying;
    double vx = 9, vy = 9;
    std::int32_t turn = 9;
    if (r.angle == 0) chara_.DirectionVelocity(vx, vy, turn, s, r.code);
    else chara_.AngleVelocity(vx, vy, turn, s, r.code, r.angle);
    EXPECT_NEAR(vx, r.vx, 1e-12) << r.code << " " << r.angle;
    EXPECT_NEAR(vy, r.vy, 1e-12) << r.code << " " << r.angle;
    EXPECT_EQ(turn, r.turn) << r.code << " " << r.angle;
  }
}

TEST_F(MoveCommandsTest, HomingAimsWhereTheTargetWasOnePeriodBefore) {
  Place(chara_, 640, 640, 32, 32, 1, 1);
  cPlayer& target = g_Players[0];
  Place(target, 800, 700, 32, 32, 0, 1);
  chara_.m_pTarget = &target;
  const int p = 3;
  Run({Move(6, 99, [&](cEdMove& m) {
    m.m_nRadius = p;  // steps at one sub-step a frame
    m.m_nSpeed = 20;
  })});
  const double s = 2.0;
  std::vector<std::pair<double, double>> seen;  // the target's centre at each step
  double vx = 0, vy = 0;
  for (int c = 0; c < 10; ++c) {
    target.m_dX += 5;  // it runs away to the right
    target.m_dY -= 2;
    target.ClampX(2);
    target.ClampY(2);
    target.CalcScreenRect();
    chara_.CalcScreenRect();
    seen.push_back({target.ScreenCentreX(), target.ScreenCentreY()});
    // Aim at the point of p steps before, every p steps; keep the velocity between.
    if (c % p == 0) {
      const auto [px, py] = seen[c - (c == 0 ? 0 : p)];
      const double dx = px - chara_.ScreenCentreX(), dy = py - chara_.ScreenCentreY();
      const double r = std::sqrt(dx * dx + dy * dy);
      vx = s * dx / r;
      vy = s * dy / r;
    }
    const double x = chara_.m_dX, y = chara_.m_dY;
    Step();
    ASSERT_NEAR(chara_.m_dX - x, vx, 1e-9) << c;
    ASSERT_NEAR(chara_.m_dY - y, vy, 1e-9) << c;
  }
}

TEST_F(MoveCommandsTest, InertialMovementBrakesAgainstItsPushAndKeepsToItsCap) {
  cEdCommand c = Move(2, 1, [](cEdMove& m) {
    m.m_bInertia = 1;
    m.m_fBrake = 0.5;
  });
  cCommandRuntime runtime;
  runtime.m_pCommand = &c;
  runtime.m_dSpeed2 = 1.0;
  const struct {
    double push, v;  // inertial velocity before; the command's velocity (per second)
    double after;    // per step: v / 60, halved against the push, within -1..1
    int brake;       // friction of the push stays on only against it
  } rows[] = {
      {0.5, -60, 0.0, 1}, {0.0, 120, 1.0, 0}, {-0.25, 30, 0.0, 1}, {0.5, 30, 1.0, 0}, {-0.5, -90, -1.0, 0},
  };
  for (const auto& r : rows) {
    chara_.m_dPushX = r.push;
    chara_.m_bBrakeX = 1;
    chara_.m_dStepX = 0.0;
    chara_.ApplyMoveVelocity(r.v, 0.0, 0, runtime, *c.m_pMove, 0);
    EXPECT_DOUBLE_EQ(chara_.m_dPushX, r.after) << r.push << " " << r.v;
    EXPECT_EQ(chara_.m_bBrakeX, r.brake) << r.push << " " << r.v;
    EXPECT_EQ(chara_.m_dStepX, 0.0);
  }
}

TEST_F(MoveCommandsTest, ChangeDirectionTowardATargetWaitsForOne) {
  CountSounds();
  MakeMap();
  Place(chara_, 640, 640);
  chara_.m_nFacing = 0;
  chara_.m_pTarget = nullptr;
  cEdCommand turn;
  turn.m_nType = 9;
  turn.m_nTime = 99;
  turn.m_nSound = 3;
  turn.m_Params = {2};
  Run({turn});
  for (int n = 0; n < 4; ++n) Step();
  EXPECT_EQ(sounds_, 4);  // no target: the sound again at every step
  EXPECT_EQ(chara_.m_nFacing, 0);
  cPlayer& target = g_Players[0];
  Place(target, 800, 640, 32, 32, 0);
  chara_.m_pTarget = &target;
  // With one to the right it turns, then once every tenth of a second (6 steps).
  for (int n = 0; n < 13; ++n) Step();
  EXPECT_EQ(chara_.m_nFacing, 1);
  EXPECT_EQ(sounds_, 4 + 3);
}

TEST_F(MoveCommandsTest, ChargeTakesItsLineOnceAndNeedsALiveTarget) {
  MakeMap({{0, 13}, {1, 13}, {2, 13}, {3, 13}, {4, 13}, {5, 13}, {6, 13}, {7, 13}, {8, 13}, {9, 13}});
  cPlayer& target = g_Players[0];
  Place(target, 12 * 32, 22 * 32, 32, 32, 0);
  target.CalcScreenRect();
  for (int bDead : {0, 1}) {
    Place(chara_, 16 * 32, 22 * 32);
    chara_.m_nFacing = 1;
    chara_.m_Def.m_bFixedFacing = 0;
    chara_.m_pTarget = &target;
    target.m_bDead = bDead;
    Run({Move(5, 99, [](cEdMove& m) { m.m_nSpeed = 20; })});
    const double x0 = chara_.m_dX;
    Step();
    target.m_dX = 30 * 32;  // it goes behind; the charge keeps its line
    target.ClampX(2);
    target.CalcScreenRect();
    Step();
    Step();
    // Alive: toward the target's side at 2 pixels a step, turned to face it.
    EXPECT_DOUBLE_EQ(chara_.m_dX - x0, bDead ? 0.0 : -3 * 2.0) << bDead;
    EXPECT_EQ(chara_.m_nFacing, bDead ? 1 : 0) << bDead;
    target.m_dX = 12 * 32;
    target.ClampX(2);
    target.CalcScreenRect();
  }
}

TEST_F(MoveCommandsTest, AvoidOffscreenBringsBackWhatDriftedToTheOtherEdge) {
  cEdCommand c = Move(7, 1, [](cEdMove&) {});
  cCommandRuntime runtime;
  runtime.m_pCommand = &c;
  runtime.m_dSpeed = 1.5;
  chara_.m_bFlying = 1;
  const struct {
    int code, left, top;
    double vx, vy;
  } rows[] = {
      {2, 609, 200, -1.5, 0},  // going left, near the right edge: back to the left
      {2, 608, 200, 0, 0},     // well inside
      {3, -40, 200, 1.5, 0},   // right edge at -9 < 32
      {6, 300, 449, 0, -1.5}, {11, -40, -40, 1.5, 1.5}, {8, 609, 449, -1.5, -1.5},
  };
  for (const auto& r : rows) {
    runtime.m_nMoveMode = static_cast<std::uint8_t>(r.code);
    chara_.m_ScreenRect = SCREENRECT{r.left, r.top, r.left + 31, r.top + 31};
    chara_.AvoidOffscreenStep(runtime, *c.m_pMove);
    EXPECT_DOUBLE_EQ(runtime.m_dVelX, r.vx) << r.code << " " << r.left;
    EXPECT_DOUBLE_EQ(runtime.m_dVelY, r.vy) << r.code << " " << r.left;
  }
}

// While the view moves on by itself the move allows for the view's speed: the edge band
// widens by |speed + 1| and the velocity carries the view's speed, but not where the view
// has stopped at the end of the map. The choice is made by the horizontal axis alone.
TEST_F(MoveCommandsTest, AvoidOffscreenKeepsPaceWithAScrollingView) {
  cEdCommand c = Move(7, 1, [](cEdMove&) {});
  cCommandRuntime runtime;
  runtime.m_pCommand = &c;
  runtime.m_dSpeed = 1.5;
  chara_.m_bFlying = 1;
  chara_.m_nFacing = 0;
  cScrollAxis& ax = Scene().m_ScrollX;
  cScrollAxis& ay = Scene().m_ScrollY;
  ax.m_nFar = 1920;  // the view's left edge goes no further than 1920 - 640 = 1280
  ay.m_nFar = 1120;  // and its top no further than 1120 - 480 = 640
  const struct {
    const char* name;
    double a, b;  // the views' speeds
    int bAtLimit;
    double sx, sy;
    int code, left, top;
    double vx, vy;
  } rows[] = {
      // Speed 2 widens the right band to 608 - 3 = 605 and adds 2 to the way back.
      {"left, inside the widened band", 2, 0, 0, 500, 300, 2, 606, 200, 2 - 1.5, 0},
      {"left, at the band", 2, 0, 0, 500, 300, 2, 605, 200, 0, 0},
      {"ahead of a left-facing actor", 2, 0, 0, 500, 300, 0, 606, 200, 2 - 1.5, 0},
      // The view reaches the map's end in this step (1278 + 2 = 1280) or has passed it.
      {"left, the view reaching its end", 2, 0, 0, 1278, 300, 2, 700, 200, 2 - 1.5, 0},
      {"left, the view past its end", 2, 0, 0, 1279, 300, 2, 700, 200, 0, 0},
      {"left, the view at the map's start", 2, 0, 0, 0, 300, 2, 700, 200, 0, 0},
      // The left band: right edge below 3 + 32.
      {"right, inside the band", 2, 0, 0, 500, 300, 3, 34 - 31, 200, 2 + 1.5, 0},
      {"right, at the band", 2, 0, 0, 500, 300, 3, 35 - 31, 200, 0, 0},
      {"right, the view at its end", 2, 0, 0, 1280, 300, 3, 0, 200, 0, 0},
      // Scrolling left at 2: |-2 + 1| = 1, so the bands are 607 and 33.
      {"left, scrolling left", -2, 0, 0, 500, 300, 2, 608, 200, -2 - 1.5, 0},
      {"left, scrolling left, outside", -2, 0, 0, 500, 300, 2, 607, 200, 0, 0},
      {"right, scrolling left from the start", -2, 0, 0, 1, 300, 3, 0, 200, 0, 0},
      // The vertical axis follows the same rule with its own speed (|-1 + 1| = 0).
      {"up-left", 2, -1, 0, 500, 300, 8, 606, 449, 2 - 1.5, -1 - 1.5},
      {"up, the view at the top", 2, -1, 0, 500, 0, 6, 300, 449, 0, 0},
      {"down-right", 2, -1, 0, 500, 300, 11, 0, 0, 2 + 1.5, -1 + 1.5},
      {"down, the view short of the bottom", 2, -1, 0, 500, 639, 7, 300, 0, 0, -1 + 1.5},
      {"down, the view at the bottom", 2, -1, 0, 500, 640, 7, 300, 0, 0, 0},
      // Without horizontal scrolling, or with the view held at a limit, the plain rule
      // holds even while the view scrolls vertically.
      {"not scrolling across", 0, -1, 0, 500, 300, 8, 606, 449, 0, -1.5},
      {"held at a limit", 2, -1, 1, 500, 300, 8, 609, 449, -1.5, -1.5},
      // The input direction is no direction here.
      {"input direction", 2, 0, 0, 500, 300, 12, 700, 200, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ax.m_dSpeed = r.a;
    ax.m_bAtLimit = r.bAtLimit;
    ax.m_dPos = r.sx;
    ay.m_dSpeed = r.b;
    ay.m_bAtLimit = 0;
    ay.m_dPos = r.sy;
    runtime.m_nMoveMode = static_cast<std::uint8_t>(r.code);
    chara_.m_ScreenRect = SCREENRECT{r.left, r.top, r.left + 31, r.top + 31};
    chara_.AvoidOffscreenStep(runtime, *c.m_pMove);
    EXPECT_DOUBLE_EQ(runtime.m_dVelX, r.vx);
    EXPECT_DOUBLE_EQ(runtime.m_dVelY, r.vy);
  }
}

// Run as a flow's command, the move is the actor's step velocity; a walker keeps only
// the horizontal part.
TEST_F(MoveCommandsTest, AvoidOffscreenAsACommandMovesFlyersBothWaysAndWalkersAcross) {
  cScrollAxis& ax = Scene().m_ScrollX;
  cScrollAxis& ay = Scene().m_ScrollY;
  ax.m_dSpeed = 2;
  ax.m_bAtLimit = 0;
  ax.m_dPos = 500;
  ay.m_dSpeed = -1;
  ay.m_bAtLimit = 0;
  ay.m_dPos = 300;
  for (int bFlying : {1, 0}) {
    SCOPED_TRACE(bFlying);
    // Up-left from the screen's bottom-right corner band: screen (606, 449).
    Place(chara_, 500 + 606, 300 + 449);
    chara_.m_bFlying = bFlying;
    chara_.m_nFacing = 1;
    chara_.CalcScreenRect();
    Run({Move(7, 10, [](cEdMove& m) {
      m.m_nSpeed = 15;
      m.m_nDirection = 8;
    })});
    chara_.m_dStepX = chara_.m_dVelY = 0;
    chara_.RunFlowPass(0);
    EXPECT_DOUBLE_EQ(chara_.m_dStepX, 2 - 1.5);
    EXPECT_DOUBLE_EQ(chara_.m_dVelY, bFlying ? -1 - 1.5 : 0.0);
  }
}

}  // namespace
