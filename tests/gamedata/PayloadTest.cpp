#include <gtest/gtest.h>

#include <functional>

#include "FakeRefs.h"
#include "RecordTestUtil.h"
#include "gamedata/Move.h"
#include "gamedata/Shot.h"

namespace {

class PayloadTest : public rt::RecordFixture {};

// Members and member bytes of the layout of each version.
TEST_F(PayloadTest, LayoutsByVersion) {
  struct Case {
    const char* record;
    std::uint32_t version;
    std::uint32_t members;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"move", 157, 28, 48}, {"move", 158, 29, 49}, {"move", 161, 30, 50}, {"move", 162, 32, 52},
      {"move", 513, 32, 52}, {"shot", 157, 52, 83}, {"shot", 196, 53, 84}, {"shot", 210, 54, 85},
      {"shot", 212, 55, 86}, {"shot", 213, 58, 91}, {"shot", 513, 58, 91},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.record) + " " + std::to_string(c.version));
    cEdMove move;
    cEdShot shot;
    cRecord& r = std::string(c.record) == "move" ? static_cast<cRecord&>(move) : shot;
    std::string body = rt::SaveBody(r, c.version);
    EXPECT_EQ(rt::ReadU32At(body, 0), c.members);
    EXPECT_EQ(body.size(), 4 + c.bytes + 4);
  }
}

TEST_F(PayloadTest, Defaults) {
  cEdMove move;
  EXPECT_EQ(move.m_nSpeed, 10);
  EXPECT_EQ(move.m_fBrake, 1.0);
  EXPECT_EQ(move.m_bMirrorAngle, 1);
  EXPECT_EQ(move.m_bMirrorX, 1);
  EXPECT_EQ(move.m_bMirrorY, 0);
  EXPECT_EQ(move.m_bStopAtTarget, 1);
  cEdShot shot;
  EXPECT_EQ(shot.m_nSize, 1);
  EXPECT_EQ(shot.m_bMirrorAngle, 1);
  EXPECT_EQ(shot.m_bShooterLayer, 1);
  EXPECT_EQ(shot.m_nSetting16, 1);
  EXPECT_EQ(shot.m_nExtraShots, 0);
  EXPECT_EQ(shot.m_nGroupCount, 0);
}

TEST_F(PayloadTest, RoundTripsAtTheCurrentVersion) {
  rt::ScopedRefs refs;
  cEdMove move;
  move.m_nMode = -1;
  move.m_nAngle = -300;
  move.m_fBrake = -2.25;
  move.m_bKeepAnime = 1;
  move.m_nRadiusPerLevel = 32767;
  cEdMove moveBack;
  ASSERT_TRUE(rt::LoadBody(moveBack, rt::SaveBody(move)));
  EXPECT_EQ(moveBack.m_fBrake, -2.25);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(moveBack), rt::SaveBody(move)));

  cEdShot shot;
  shot.m_nFormationValues[2] = -7;
  shot.m_nMotionValues[0] = 300;
  shot.m_nPower = -123456;
  shot.m_nSetting53 = 9;
  shot.m_bAccelerate = 1;
  shot.m_nAccelPerLevel = 4;
  shot.m_nHitEffect = 3;
  cEdShot shotBack;
  ASSERT_TRUE(rt::LoadBody(shotBack, rt::SaveBody(shot)));
  EXPECT_EQ(shotBack.m_nPower, -123456);
  EXPECT_EQ(shotBack.m_nHitEffect, 3);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(shotBack), rt::SaveBody(shot)));
}

// A payload saved in an older layout loads into the values its version means.
TEST_F(PayloadTest, Upgrades) {
  rt::ScopedRefs refs;
  struct Case {
    const char* name;
    std::uint32_t version;
    std::function<void(cEdMove&, cEdShot&)> stored;    // what the older file holds
    std::function<void(cEdMove&, cEdShot&)> loadInto;  // the record before the load
    std::function<void(const cEdMove&, const cEdShot&)> check;
  };
  auto none = [](cEdMove&, cEdShot&) {};
  const Case cases[] = {
      {"move 157: angle not mirrored", 157, none, none,
       [](const cEdMove& m, const cEdShot&) { EXPECT_EQ(m.m_bMirrorAngle, 0); }},
      {"move 158: distance unit half blocks", 158, [](cEdMove& m, cEdShot&) { m.m_nDistanceUnit = 1; },
       [](cEdMove& m, cEdShot&) { m.m_nDistanceUnit = 1; },
       [](const cEdMove& m, const cEdShot&) {
         EXPECT_EQ(m.m_bMirrorAngle, 1);
         EXPECT_EQ(m.m_nDistanceUnit, 0);
       }},
      {"move 161: keeps neither facing nor animation", 161, none,
       [](cEdMove& m, cEdShot&) { m.m_bKeepFacing = m.m_bKeepAnime = 1; },
       [](const cEdMove& m, const cEdShot&) {
         EXPECT_EQ(m.m_bKeepFacing, 0);
         EXPECT_EQ(m.m_bKeepAnime, 0);
       }},
      {"move 162 keeps what it stores", 162, [](cEdMove& m, cEdShot&) { m.m_bKeepFacing = m.m_bKeepAnime = 1; }, none,
       [](const cEdMove& m, const cEdShot&) { EXPECT_EQ(m.m_bKeepAnime, 1); }},
      {"shot 157: angle not mirrored", 157, none, none,
       [](const cEdMove&, const cEdShot& s) { EXPECT_EQ(s.m_bMirrorAngle, 0); }},
      {"shot 196: member 53 copies member 52", 196, [](cEdMove&, cEdShot& s) { s.m_nSetting52 = 6; }, none,
       [](const cEdMove&, const cEdShot& s) { EXPECT_EQ(s.m_nSetting53, 6); }},
      {"shot 211: motion 5 moves with the scroll whatever was stored", 211,
       [](cEdMove&, cEdShot& s) {
         s.m_nMotion = 5;
         s.m_bScrollSync = 0;
       },
       none, [](const cEdMove&, const cEdShot& s) { EXPECT_EQ(s.m_bScrollSync, 1); }},
      {"shot 210: motion 3 does not", 210, [](cEdMove&, cEdShot& s) { s.m_nMotion = 3; },
       [](cEdMove&, cEdShot& s) { s.m_bScrollSync = 1; },
       [](const cEdMove&, const cEdShot& s) { EXPECT_EQ(s.m_bScrollSync, 0); }},
      {"shot 212 keeps its stored scroll and has no acceleration", 212,
       [](cEdMove&, cEdShot& s) {
         s.m_nMotion = 5;
         s.m_bScrollSync = 0;
       },
       [](cEdMove&, cEdShot& s) {
         s.m_bAccelerate = 1;
         s.m_nAccel = 5;
         s.m_nAccelPerLevel = 6;
       },
       [](const cEdMove&, const cEdShot& s) {
         EXPECT_EQ(s.m_bScrollSync, 0);
         EXPECT_EQ(s.m_bAccelerate | s.m_nAccel | s.m_nAccelPerLevel, 0);
       }},
      {"shot: size 0 and a hit effect past the database are repaired", 513,
       [](cEdMove&, cEdShot& s) {
         s.m_nSize = 0;
         s.m_nHitEffect = 4;  // the fake database has 4 effects
       },
       none,
       [](const cEdMove&, const cEdShot& s) {
         EXPECT_EQ(s.m_nSize, 1);
         EXPECT_EQ(s.m_nHitEffect, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cEdMove storedMove;
    cEdShot storedShot;
    c.stored(storedMove, storedShot);
    // Written through the record's own binding for that version (no load-time repairs).
    std::string moveBody, shotBody;
    {
      rt::ScopedDataVersion v(c.version);
      cDataWriter a, b;
      storedMove.cRecord::Save(a);
      storedShot.cRecord::Save(b);
      moveBody = a.Bytes();
      shotBody = b.Bytes();
    }
    cEdMove move;
    cEdShot shot;
    c.loadInto(move, shot);
    ASSERT_TRUE(rt::LoadBody(move, moveBody, c.version));
    ASSERT_TRUE(rt::LoadBody(shot, shotBody, c.version));
    c.check(move, shot);
  }
}

}  // namespace
