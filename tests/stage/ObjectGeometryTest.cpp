#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "stage/ActorPhysics.h"
#include "stage/ObjectGeometry.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::cTestActor;
using stagetest::StageFixture;

class ObjectGeometryTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    // Stage 40 x 15 cells: x stage 320..1600, far 1920; y stage 320..800, far 1120.
    // Scroll limits inside the stage.
    Scene().m_ScrollX.m_nMin = 400;
    Scene().m_ScrollX.m_nMax = 1200;
    Scene().m_ScrollY.m_nMin = 400;
    Scene().m_ScrollY.m_nMax = 700;
  }
};

struct ClampCase {
  int mode;
  double in;
  double out;
  int code;
};

TEST_F(ObjectGeometryTest, ClampKeepsTheBoxInsideTheLimitsOfItsMode) {
  const ClampCase xCases[] = {
      {0, 300, 400, 0}, {0, 1190, 1168, 0}, {0, 500, 500, 0},                                            // scroll
      {1, 300, 320, 0}, {1, 1590, 1568, 0}, {1, 380, 380, 1},     {1, 1180, 1180, 1}, {1, 600, 600, 0},  // stage
      {2, -5, 0, 3},    {2, 1900, 1888, 3}, {2, 300, 300, 2},     {2, 1580, 1580, 2},                    // map
      {2, 380, 380, 1}, {2, 1180, 1180, 1}, {2, 600.5, 600.5, 0},
  };
  for (const ClampCase& c : xCases) {
    SCOPED_TRACE(testing::Message() << "x mode " << c.mode << " at " << c.in);
    cGameObject o;
    o.m_nHitW = o.m_nHitH = 32;
    o.m_dX = c.in;
    EXPECT_EQ(o.ClampX(c.mode), c.code);
    EXPECT_DOUBLE_EQ(o.m_dX, c.out);
    EXPECT_DOUBLE_EQ(o.m_dRight, c.out + 31);
    EXPECT_EQ(o.m_nCellLeft, static_cast<int>(c.out) >> 5);
    EXPECT_EQ(o.m_nCellRight, static_cast<int>(c.out + 31) >> 5);
  }
  const ClampCase yCases[] = {
      {0, 300, 400, 0}, {0, 690, 668, 0},                                                          // scroll
      {1, 300, 320, 0}, {1, 790, 768, 0},   {1, 380, 380, 1}, {1, 680, 680, 4}, {1, 500, 500, 0},  // stage
      {2, -1, 0, 3},    {2, 1100, 1088, 6}, {2, 300, 300, 2}, {2, 780, 780, 5},                    // map
      {2, 380, 380, 1}, {2, 680, 680, 4},   {2, 500, 500, 0},
  };
  for (const ClampCase& c : yCases) {
    SCOPED_TRACE(testing::Message() << "y mode " << c.mode << " at " << c.in);
    cGameObject o;
    o.m_nHitW = o.m_nHitH = 32;
    o.m_dY = c.in;
    EXPECT_EQ(o.ClampY(c.mode), c.code);
    EXPECT_DOUBLE_EQ(o.m_dY, c.out);
    EXPECT_DOUBLE_EQ(o.m_dBottom, c.out + 31);
    EXPECT_EQ(o.m_nCellTop, static_cast<int>(c.out) >> 5);
    EXPECT_EQ(o.m_nCellBottom, static_cast<int>(c.out + 31) >> 5);
  }
}

TEST_F(ObjectGeometryTest, StepsAreCutToTheSpeedLimitInBothDirections) {
  g_Stage.SetHitLevel(13);  // 3 sub-steps, 20 pixels per sub-step
  for (double v : {25.0, -25.0, 7.5}) {
    SCOPED_TRACE(v);
    const double moved = std::clamp(v, -20.0, 20.0);
    cGameObject o;
    o.m_nHitW = o.m_nHitH = 32;
    o.m_dX = o.m_dY = 600;
    o.m_dStepX = o.m_dVelY = v;
    o.StepX(2);
    o.StepY(2);
    EXPECT_DOUBLE_EQ(o.m_dStepX, moved);
    EXPECT_DOUBLE_EQ(o.m_dVelY, moved);
    EXPECT_DOUBLE_EQ(o.m_dX, 600 + moved);
    EXPECT_DOUBLE_EQ(o.m_dY, 600 + moved);
  }
}

TEST_F(ObjectGeometryTest, ScreenRectangleTruncatesTowardZero) {
  struct Case {
    double x, y, scrollX, scrollY;
    int left, top;
  };
  const Case cases[] = {{500.9, 450.2, 400.7, 320.9, 92, 122}, {390.5, 330.0, 400.0, 340.0, -17, -18}};
  for (const Case& c : cases) {
    cGameObject o;
    o.m_nHitOffX = 8;
    o.m_nHitOffY = 8;
    o.m_nWidth = 32;
    o.m_nHeight = 48;
    o.m_dX = c.x;
    o.m_dY = c.y;
    Scene().m_ScrollX.m_dPos = c.scrollX;
    Scene().m_ScrollY.m_dPos = c.scrollY;
    o.CalcScreenRect();
    EXPECT_EQ(o.m_ScreenRect.left, c.left);
    EXPECT_EQ(o.m_ScreenRect.right, c.left + 31);
    EXPECT_EQ(o.m_ScreenRect.top, c.top);
    EXPECT_EQ(o.m_ScreenRect.bottom, c.top + 47);
  }
}

TEST_F(ObjectGeometryTest, ViewAndStageTests) {
  Scene().m_ScrollX.m_dPos = 400;
  Scene().m_ScrollY.m_dPos = 320;
  struct Case {
    double x, y;
    bool onScreen, onScreenIgnoringX, inStage, inMap;
  };
  const Case cases[] = {
      {369, 400, true, true, true, true},     // right edge on the view's left edge
      {368.5, 400, false, true, true, true},  // right edge just left of it
      {1039.5, 400, true, true, true, true},
      {1040, 400, false, true, true, true},    // left edge at the view's right edge
      {600, 800, false, false, false, true},   // below the view and the stage
      {319.5, 400, false, true, false, true},  // half a pixel into the margin
      {1568, 768, false, true, true, true},    // the stage's last cell
      {1569, 768, false, true, false, true},
      {-0.5, 400, false, true, false, false},
      {1888, 1088, false, false, false, true},  // the map's last cell
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    cGameObject o;
    o.m_nHitW = o.m_nHitH = 32;
    o.m_dX = c.x;
    o.m_dY = c.y;
    o.m_dRight = c.x + 31;
    o.m_dBottom = c.y + 31;
    EXPECT_EQ(o.IsOnScreen(), c.onScreen);
    EXPECT_EQ(o.IsOnScreenAxes(1, 0), c.onScreenIgnoringX);
    EXPECT_TRUE(o.IsOnScreenAxes(1, 1));
    EXPECT_EQ(o.IsInStage(0), c.inStage);
    EXPECT_EQ(o.IsInStage(1), c.inMap);
  }
}

TEST_F(ObjectGeometryTest, EraseRange) {
  Scene().m_ScrollX.m_dPos = 400;
  Scene().m_ScrollY.m_dPos = 320;
  cEdStageParam off;
  cEdStageParam sides;
  sides.Set(1, 1, 1, 1, 2, 1, 1, 3);  // two cells left, one right, one above, three below
  struct Case {
    const cEdStageParam* range;
    double x, y;
    int onScreen;
    bool outside;
  };
  const Case cases[] = {
      // clang-format off
      {&off, 0, 400, 1, false},      // on screen: never
      {&off, 0, 400, 0, true},       // the map's left frame, whatever the switches
      {&off, 100, 400, 0, false},
      {&off, 1888, 400, 0, true},    // right edge at far - 1
      {&off, 1887, 400, 0, false},
      {&off, 600, 1088, 0, true},    // bottom at far - 1
      {&sides, 305, 400, 0, true},   // right edge 336 at 400 - 64
      {&sides, 305.5, 400, 0, false},
      {&sides, 1072, 400, 0, true},  // 400 + 32 + 640
      {&sides, 1071.5, 400, 0, false},
      {&sides, 600, 896, 0, true},   // 96 + 320 + 480
      {&sides, 600, 895, 0, false},
      {&sides, 600, 257, 0, true},   // bottom 288 at 320 - 32
      // clang-format on
      {&sides, 600, 257.5, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    cGameObject o;
    o.m_dX = c.x;
    o.m_dY = c.y;
    o.m_dRight = c.x + 31;
    o.m_dBottom = c.y + 31;
    o.m_bOnScreen = c.onScreen;
    EXPECT_EQ(o.IsOutsideEraseRange(*c.range), c.outside);
  }
}

TEST_F(ObjectGeometryTest, SpanTest) {
  struct Case {
    int a, b, c, d, e, f, g, whole;
    bool in;
  };
  // Span 100 with length 32: centre 116, far end 132.
  const Case cases[] = {
      {100, 32, 133, 200, 0, 0, 0, 1, false},    {100, 32, 132, 200, 0, 0, 0, 1, true},
      {100, 32, 0, 99, 0, 0, 0, 1, false},       {100, 32, 0, 100, 0, 0, 0, 1, true},
      {100, 32, 116, 116, 0, 0, 0, 0, true},     {100, 32, 117, 300, 0, 0, 0, 0, false},   // the centre alone
      {100, 32, 0, 90, 0, 10, 5, 0, true},       {100, 32, 0, 89, 0, 10, 5, 0, false},     // before: a - f
      {100, 32, 137, 300, 0, 10, 5, 0, true},    {100, 32, 138, 300, 0, 10, 5, 0, false},  // after: far + g
      {100, 32, 0, 126, 0, -10, -4, 0, true},    {100, 32, 0, 125, 0, -10, -4, 0, false},  // centre - f
      {100, 32, 113, 300, 0, -10, -4, 0, false},                                           // centre + g = 112
      {100, 32, 0, 105, 5, 0, 0, 1, true},       {100, 32, 0, 104, 5, 0, 0, 1, false},     // margin narrows
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cActor::IsInRangeX(c.a, c.b, c.c, c.d, c.e, c.f, c.g, c.whole), c.in)
        << c.c << ".." << c.d << " e " << c.e << " f " << c.f << " g " << c.g << " whole " << c.whole;
  }
}

TEST_F(ObjectGeometryTest, WaveOffsetsAndTheirPhase) {
  const double k = 90 * DEG_TO_RAD;
  double phase = 0;
  EXPECT_DOUBLE_EQ(WaveOffset(10, 90, phase, 1, 0), 10 * k);
  EXPECT_DOUBLE_EQ(phase, 1);
  EXPECT_DOUBLE_EQ(WaveAccel(10, 90, phase, 1, 0), -10 * k * k);  // sin(90 degrees)
  EXPECT_DOUBLE_EQ(phase, 2);
  phase = 359.5;
  WaveOffset(10, 90, phase, 1, 0);
  EXPECT_DOUBLE_EQ(phase, 0.5);

  g_Stage.SetHitLevel(2);  // the phase counts sub-steps: it wraps at 720
  phase = 719;
  EXPECT_DOUBLE_EQ(WaveOffset(10, 1, phase, 1.5, 0), 10 * DEG_TO_RAD * std::cos(DEG_TO_RAD * 359.5) / 2);
  EXPECT_DOUBLE_EQ(phase, 0.5);
}

struct AimResult {
  double vx, vy;
  int turn, result;
};

AimResult Aim(const cActor* a, double x0, double y0, double x1, double y1, double s, int carried, int noFlee,
              int arrival) {
  AimResult r{99, 99, 7, -1};
  r.result = AimVelocity(r.vx, r.vy, r.turn, a, x0, y0, x1, y1, s, carried, noFlee, arrival);
  return r;
}

TEST_F(ObjectGeometryTest, AimVelocityPlainAndFleeing) {
  struct Case {
    const char* name;
    double x1, y1, s;
    int noFlee, arrival;
    AimResult expected;
  };
  const double t = 2 * HALF_SQRT2;
  const Case cases[] = {
      {"same point", 0, 0, 5, 0, 0, {0, 0, 0, 0}},
      {"same point, arrival", 0, 0, 5, 0, 1, {0, 0, 0, 1}},
      {"toward", 30, 40, 5, 0, 1, {3, 4, 2, 0}},
      {"within a step", -3, 4, 6, 0, 1, {-3.6, 4.8, 1, 1}},
      {"flee up-left", 10, -10, -2, 0, 0, {-t, t, 1, 0}},
      {"flee, shared x", 0, 10, -2, 0, 0, {t, -t, 2, 0}},
      {"negative speed without flight", 30, 40, -5, 1, 0, {-3, -4, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AimResult r = Aim(nullptr, 0, 0, c.x1, c.y1, c.s, 0, c.noFlee, c.arrival);
    EXPECT_DOUBLE_EQ(r.vx, c.expected.vx);
    EXPECT_DOUBLE_EQ(r.vy, c.expected.vy);
    EXPECT_EQ(r.turn, c.expected.turn);
    EXPECT_EQ(r.result, c.expected.result);
  }
}

TEST_F(ObjectGeometryTest, AimVelocityAndTheAutomaticScroll) {
  cScrollAxis& sx = Scene().m_ScrollX;
  sx.m_dSpeed = 3;
  cTestActor synced, free;
  synced.m_bScrollSync = 1;
  struct Case {
    const char* name;
    int rule;
    const cActor* actor;
    int carried;
    double x1, y1, s;
    AimResult expected;
  };
  const Case cases[] = {
      {"carry rule adds the scroll", 1, &free, 0, 30, 40, 5, {6, 4, 2, 0}},
      {"not synced: the scroll is taken off", 0, &free, 0, 30, 40, 5, {0, 4, 0, 0}},
      {"synced and carried: as aimed", 0, &synced, 1, 30, 40, 5, {3, 4, 2, 0}},
      {"no actor: as aimed", 0, nullptr, 0, 30, 40, 5, {3, 4, 2, 0}},
      // Lead aim at a point straight below that moves right at 3: meet it at (3, 4).
      {"lead aim", 0, &synced, 0, 0, 100, 5, {3, 4, 2, 0}},
      // The scroll outruns the speed: the plain aim stays.
      {"lead aim without a solution", 0, &synced, 0, 0, 100, 2, {0, 2, 0, 0}},
      {"flee, carried and not synced", 0, &free, 1, 10, 10, -2, {-2 * HALF_SQRT2 - 3, -2 * HALF_SQRT2, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_System.m_bScrollMoveRule = c.rule;
    const AimResult r = Aim(c.actor, 0, 0, c.x1, c.y1, c.s, c.carried, 0, 0);
    EXPECT_DOUBLE_EQ(r.vx, c.expected.vx);
    EXPECT_DOUBLE_EQ(r.vy, c.expected.vy);
    EXPECT_EQ(r.turn, c.expected.turn);
    EXPECT_EQ(r.result, c.expected.result);
  }
  // The lead aim gives up between equal points: no facing is asked for.
  g_System.m_bScrollMoveRule = 0;
  AimResult r = Aim(&synced, 5, 5, 5, 5, 2, 0, 0, 1);
  EXPECT_EQ(r.turn, 7);
  EXPECT_EQ(r.result, 0);
  // A scroll at its limit carries nothing.
  sx.m_bAtLimit = 1;
  r = Aim(&free, 0, 0, 30, 40, 5, 0, 0, 0);
  EXPECT_DOUBLE_EQ(r.vx, 3);
}

TEST_F(ObjectGeometryTest, ApproachSteps) {
  struct Case {
    double from, to, s;
    int arrival;
    double v;
    int turn, result;
  };
  const Case cases[] = {
      {10, 20, 3, 1, 3, 2, 0}, {20, 10, 3, 1, -3, 1, 0}, {10, 10, 3, 1, -3, 1, 1},
      {10, 12, 3, 1, 3, 2, 1}, {10, 12, 3, 0, 3, 2, 0},  {10, 13, 3, 1, 3, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
    double v = 0, other = 5;
    std::int32_t turn = 7;
    EXPECT_EQ(cActor::ApproachStep(v, other, turn, nullptr, c.from, c.to, c.s, 0, c.arrival), c.result);
    EXPECT_EQ(v, c.v);
    EXPECT_EQ(other, 0.0);
    EXPECT_EQ(turn, c.turn);
    turn = 7;
    EXPECT_EQ(cActor::ApproachStepY(v, other, turn, nullptr, c.from, c.to, c.s, 0, c.arrival), c.result);
    EXPECT_EQ(turn, 0);
  }
  // A target carried by the scroll is followed at the scroll's speed too, under the
  // carry rule only.
  Scene().m_ScrollX.m_dSpeed = 2;
  cTestActor target;
  target.m_bScrollSync = 1;
  double v = 0, other = 0;
  std::int32_t turn = 0;
  cActor::ApproachStep(v, other, turn, &target, 10, 20, 3, 0, 0);
  EXPECT_EQ(v, 3);
  g_System.m_bScrollMoveRule = 1;
  cActor::ApproachStep(v, other, turn, &target, 10, 20, 3, 0, 0);
  EXPECT_EQ(v, 5);
  cActor::ApproachStep(v, other, turn, &target, 10, 20, 3, 1, 0);
  EXPECT_EQ(v, 3);
}

TEST_F(ObjectGeometryTest, MovementTargetsAndArrival) {
  cEdCommand command;
  command.NewMove();
  cCommandRuntime runtime;
  runtime.m_pCommand = &command;
  runtime.m_nOffsetX = 5;
  runtime.m_nOffsetY = -3;
  cTestActor target;
  target.m_ScreenRect = SCREENRECT{100, 200, 131, 231};
  target.m_nWidth = target.m_nHeight = 32;
  struct Case {
    int noX, noY;
    double x, y;
  };
  const Case cases[] = {{0, 0, 121, 213}, {1, 0, -1, 213}, {0, 1, 121, -1}, {1, 1, 121, -1}};
  for (const Case& c : cases) {
    command.m_pMove->m_bNoMoveX = static_cast<std::uint8_t>(c.noX);
    command.m_pMove->m_bNoMoveY = static_cast<std::uint8_t>(c.noY);
    double x = -1, y = -1;
    target.GetMoveTarget(x, y, runtime);
    EXPECT_EQ(x, c.x) << c.noX << c.noY;
    EXPECT_EQ(y, c.y) << c.noX << c.noY;
  }

  // Arriving with the stop flag puts the actor's centre on the point and ends the motion.
  command.m_pMove->m_bSnapOnArrival = 1;
  cTestActor a;
  Place(a, 640, 480);
  a.CalcScreenRect();  // centre (336, 176)
  runtime.m_dSpeed = 4;
  runtime.m_nRemaining = 10;
  a.ApproachX(runtime, nullptr, 338.5, 0, 1);
  EXPECT_DOUBLE_EQ(a.m_dX, 642);
  EXPECT_EQ(runtime.m_nRemaining, 0);
  EXPECT_EQ(runtime.m_dVelX, 0.0);
  runtime.m_nRemaining = 10;
  a.ApproachY(runtime, nullptr, 190, 0, 1);  // too far for one step
  EXPECT_EQ(runtime.m_nRemaining, 10);
  EXPECT_EQ(runtime.m_dVelY, 4);
  EXPECT_EQ(a.MoveToPoint(runtime, nullptr, 333, 179, 0, 1), 1);
  EXPECT_DOUBLE_EQ(a.m_dX, 639);
  EXPECT_DOUBLE_EQ(a.m_dY, 483);
  EXPECT_EQ(runtime.m_nRemaining, 0);
  // Without the flag only the velocity is written.
  command.m_pMove->m_bSnapOnArrival = 0;
  a.CalcScreenRect();
  EXPECT_EQ(a.MoveToPoint(runtime, nullptr, a.ScreenCentreX() + 1, a.ScreenCentreY(), 0, 1), 1);
  EXPECT_DOUBLE_EQ(a.m_dX, 639);
  EXPECT_DOUBLE_EQ(runtime.m_dVelX, 4);
}

class FindCharaTest : public StageFixture {
 protected:
  // Actor i with its screen centre at (x, 100).
  cTestActor& Add(int x, int onScreen, int exists = 1) {
    cTestActor& a = actors_[count_];
    a.m_nSerial = count_;
    a.m_nWidth = a.m_nHeight = 32;
    a.m_ScreenRect = SCREENRECT{x - 16, 84, x + 15, 115};
    a.m_bOnScreen = onScreen;
    a.m_bExists = exists;
    list_.push_back(&a);
    ++count_;
    return a;
  }
  cActor* Target(int mode) { return FindTargetChara(0, 100, list_, mode, 0, 0, 0, 0, 0, 0, 0); }

  cTestActor actors_[8];
  int count_ = 0;
  cVectorList<cActor*> list_;
};

TEST_F(FindCharaTest, TargetModesPreferTheScreen) {
  Add(100, 1);                        // 0: on screen, far
  Add(10, 0);                         // 1: off screen, near
  Add(5, 1, 0);                       // 2: nearest, but does not exist
  Add(-100, 1);                       // 3: on screen, as far as 0
  EXPECT_EQ(Target(0), &actors_[0]);  // the farther on-screen one, the earlier of equals
  EXPECT_EQ(Target(1), &actors_[1]);
  EXPECT_EQ(Target(2), &actors_[0]);
  EXPECT_EQ(Target(3), nullptr);
  actors_[0].m_bOnScreen = actors_[3].m_bOnScreen = 0;
  EXPECT_EQ(Target(0), &actors_[1]);  // nothing on screen: the nearest off screen
  EXPECT_EQ(Target(2), nullptr);
  // The first candidate in order ignores existence and the screen.
  EXPECT_EQ(FindChara(list_, 0, 0, 0, 0, 0, 0, 0), &actors_[0]);
}

TEST_F(FindCharaTest, CandidatesAreFilteredByIdDeathSerialInvincibilityAndBlockCharacters) {
  cTestActor& a = Add(50, 1);
  a.m_Def.m_nCharaID = 200;
  struct Case {
    const char* name;
    int useId, id, exSerial, ex1, ex2, exBlock;
    int dead, invincible, block;
    bool found;
  };
  const Case cases[] = {
      {"id as a signed byte", 1, -56, 0, 0, 0, 0, 0, 0, 0, true},
      {"other id", 1, 7, 0, 0, 0, 0, 0, 0, 0, false},
      {"dead", 0, 0, 0, 0, 0, 0, 1, 0, 0, false},
      {"own serial", 0, 0, 1, 0, 0, 0, 0, 0, 0, false},
      {"status 1", 0, 0, 0, 1, 0, 0, 0, 1, 0, false},
      {"status 1 kept", 0, 0, 0, 0, 1, 0, 0, 1, 0, true},
      {"status 2", 0, 0, 0, 0, 1, 0, 0, 2, 0, false},
      {"block character", 0, 0, 0, 0, 0, 1, 0, 0, 1, false},
      {"block character kept", 0, 0, 0, 0, 0, 0, 0, 0, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a.m_bDead = c.dead;
    a.m_Def.m_nInvincible = static_cast<std::uint8_t>(c.invincible);
    a.m_Def.m_bBlockChara = static_cast<std::uint8_t>(c.block);
    const cActor* expected = c.found ? &a : nullptr;
    EXPECT_EQ(FindChara(list_, c.useId, c.id, c.exSerial, c.ex1, c.ex2, c.exBlock, a.m_nSerial), expected);
    EXPECT_EQ(FindTargetChara(0, 0, list_, 1, c.useId, c.id, c.exSerial, c.ex1, c.ex2, c.exBlock, a.m_nSerial),
              expected);
  }
}

TEST_F(FindCharaTest, NearestExcludesOnlyShotProofActorsAndFollowsTheOnScreenHitsFlag) {
  Add(100, 1).m_Def.m_nInvincible = 1;
  Add(10, 0);
  Add(5, 1).m_Def.m_nInvincible = 2;
  g_Stage.m_bOnScreenHits = 0;
  EXPECT_EQ(FindNearestChara(0, 100, list_), &actors_[0]);
  actors_[0].m_bOnScreen = 0;
  EXPECT_EQ(FindNearestChara(0, 100, list_), &actors_[1]);
  g_Stage.m_bOnScreenHits = 1;
  EXPECT_EQ(FindNearestChara(0, 100, list_), nullptr);
  actors_[1].m_bOnScreen = 1;
  cTestActor& self = actors_[7];
  self.m_nWidth = self.m_nHeight = 32;
  self.m_ScreenRect = SCREENRECT{-16, 84, 15, 115};
  EXPECT_EQ(self.NearestCharaToSelf(list_), &actors_[1]);
}

TEST_F(ObjectGeometryTest, ListHelpers) {
  cTestActor a, b;
  cVector<cActor*> list{&a};
  EXPECT_TRUE(IdListContains(list, &a));
  EXPECT_FALSE(IdListContains(list, &b));
  EXPECT_EQ(a.FacingSign(), -1);
  a.m_nFacing = 1;
  EXPECT_EQ(a.FacingSign(), 1);
  // Without DirectDraw every sheet is its own variant.
  EXPECT_EQ(ChooseSheetVariant(4, 0), 4);
  EXPECT_EQ(ChooseSheetVariant(20, 1), 20);
}

}  // namespace
