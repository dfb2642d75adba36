// Block characters: characters that act as moving solids, which other actors are pushed
// out of, stand on, ride and are crushed between.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowHooks.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

// An unset candidate position.
constexpr double UNSET = -1.0;

// Up to this many characters are scanned one by one; more are looked up by the buckets
// of a grid.
constexpr std::size_t LINEAR_LIMIT = 16;
constexpr int BUCKET_SHIFT = 7;  // 128-pixel buckets
// A block character is listed in the buckets around it by this much, so that a move
// within the sub-step after the listing still finds it.
constexpr double BUCKET_MARGIN = 64.0;

cBox BodyOf(const cGameObject& o) { return cBox{o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom}; }

bool IgnoresBlockCharas(const cActor& a) { return a.m_bFlying && a.m_nBlockContact == 0; }

// Overlap extents: their sign tells whether the boxes meet, their size is compared.
double OverlapX(const cBox& a, const cBox& b) {
  if (!a.Overlaps(b)) return 0.0;
  return b.m_dLeft > a.m_dLeft && a.m_dRight >= b.m_dLeft ? a.m_dRight - b.m_dLeft + 1 : b.m_dRight - a.m_dLeft + 1;
}
double OverlapY(const cBox& a, const cBox& b) {
  if (!a.Overlaps(b)) return 0.0;
  return b.m_dTop > a.m_dTop && a.m_dBottom >= b.m_dTop ? a.m_dBottom - b.m_dTop + 1 : b.m_dBottom - a.m_dTop + 1;
}

cBox VSegment(double x, double y1, double y2) { return cBox{x, y1, x, y2}; }
cBox HSegment(double x1, double x2, double y) { return cBox{x1, y, x2, y}; }

bool IsSet(double v) { return v != UNSET; }

// A candidate position with the pusher it came from.
struct cPush {
  double dPos = UNSET;
  double dVel = 0.0;
  std::int32_t nSerial = 0;
  cChara* pFrom = nullptr;

  bool Set() const { return IsSet(dPos); }
  void Max(double v, cChara& b, double dVelocity) {
    if (Set() && v <= dPos) return;
    *this = {v, dVelocity, b.m_nSerial, &b};
  }
  void Min(double v, cChara& b, double dVelocity) {
    if (Set() && v >= dPos) return;
    *this = {v, dVelocity, b.m_nSerial, &b};
  }
};

// The characters of the running stage, in list order, found near a box without walking
// the whole list when it is long. The grid is renewed when the sub-step or the list
// changes.
class cBlockCharaGrid {
 public:
  template <class F>
  void ForEachNear(const cStageScene& scene, const cBox& region, F&& f) {
    if (g_Charas.size() <= LINEAR_LIMIT) {
      for (cChara& c : g_Charas) f(c);
      return;
    }
    Refresh(scene);
    m_Found.clear();
    for (std::int64_t bx = Bucket(region.m_dLeft); bx <= Bucket(region.m_dRight); ++bx) {
      for (std::int64_t by = Bucket(region.m_dTop); by <= Bucket(region.m_dBottom); ++by) {
        auto it = m_Buckets.find(Key(bx, by));
        if (it != m_Buckets.end()) m_Found.insert(m_Found.end(), it->second.begin(), it->second.end());
      }
    }
    std::sort(m_Found.begin(), m_Found.end());
    m_Found.erase(std::unique(m_Found.begin(), m_Found.end()), m_Found.end());
    // A copy: a nested scan (a trigger's flow) may use the buffer.
    const std::vector<int> found = m_Found;
    for (int n : found) f(*m_Charas[n]);
  }

  // The character of that serial, or null.
  cChara* Find(const cStageScene& scene, std::int32_t nSerial) {
    if (g_Charas.size() <= LINEAR_LIMIT) {
      for (cChara& c : g_Charas)
        if (c.m_nSerial == nSerial) return &c;
      return nullptr;
    }
    Refresh(scene);
    auto it = m_BySerial.find(nSerial);
    return it == m_BySerial.end() ? nullptr : m_Charas[it->second];
  }

 private:
  static std::int64_t Bucket(double v) { return static_cast<std::int64_t>(std::max(v, 0.0)) >> BUCKET_SHIFT; }
  static std::int64_t Key(std::int64_t bx, std::int64_t by) { return (bx << 32) | by; }

  void Refresh(const cStageScene& scene) {
    const cChara* pFront = &g_Charas.front();
    const cChara* pBack = &g_Charas.back();
    if (m_pScene == &scene && m_nStep == scene.m_nStepCount && m_nCount == g_Charas.size() &&
        m_nNextId == scene.m_nNextActorId && m_pFront == pFront && m_pBack == pBack)
      return;
    m_pScene = &scene;
    m_nStep = scene.m_nStepCount;
    m_nCount = g_Charas.size();
    m_nNextId = scene.m_nNextActorId;
    m_pFront = pFront;
    m_pBack = pBack;
    m_Charas.clear();
    m_Buckets.clear();
    m_BySerial.clear();
    // Every character is listed: its block-character flag is read when it is met.
    for (cChara& c : g_Charas) {
      const int n = static_cast<int>(m_Charas.size());
      m_Charas.push_back(&c);
      m_BySerial.emplace(c.m_nSerial, n);
      for (std::int64_t bx = Bucket(c.m_dX - BUCKET_MARGIN); bx <= Bucket(c.m_dRight + BUCKET_MARGIN); ++bx)
        for (std::int64_t by = Bucket(c.m_dY - BUCKET_MARGIN); by <= Bucket(c.m_dBottom + BUCKET_MARGIN); ++by)
          m_Buckets[Key(bx, by)].push_back(n);
    }
  }

  const cStageScene* m_pScene = nullptr;
  std::int32_t m_nStep = -1;
  std::size_t m_nCount = 0;
  std::int32_t m_nNextId = -1;
  const cChara* m_pFront = nullptr;
  const cChara* m_pBack = nullptr;
  std::vector<cChara*> m_Charas;
  std::unordered_map<std::int64_t, std::vector<int>> m_Buckets;
  std::unordered_map<std::int32_t, int> m_BySerial;
  std::vector<int> m_Found;
};

cBlockCharaGrid g_Grid;

// A block character that acts on the actor now.
bool IsCandidate(const cChara& b, const cActor& a) {
  return b.m_Def.m_bBlockChara && b.m_bExists && !b.m_bDead && !b.m_bRemoved && b.m_nSerial != a.m_nSerial;
}

// Every candidate overlapping the region, in list order.
template <class F>
void ForEachCandidate(const cStageScene& scene, const cActor& a, const cBox& region, F&& f) {
  g_Grid.ForEachNear(scene, region, [&](cChara& b) {
    if (IsCandidate(b, a) && BodyOf(b).Overlaps(region)) f(b);
  });
}

template <class F>
bool AnyCandidate(const cStageScene& scene, const cActor& a, const cBox& region, F&& pred) {
  bool bAny = false;
  ForEachCandidate(scene, a, region, [&](cChara& b) { bAny = bAny || pred(b); });
  return bAny;
}

void SetX(cActor& a, double x) {
  a.m_dX = x;
  a.SyncX();
}
void SetY(cActor& a, double y) {
  a.m_dY = y;
  a.SyncY();
}

// A side push of a walking actor; only the first segment the pusher meets counts.
void SidePush(cActor& a, cChara& b, const cBox& right, const cBox& left, bool bRightFirst, cPush& xL, cPush& xR) {
  const cBox body = BodyOf(b);
  const bool bRight = body.Overlaps(right);
  const bool bLeft = body.Overlaps(left);
  if (bRightFirst ? bRight : (bRight && !bLeft)) {
    a.m_bContactRight = 1;
    xR.Min(b.m_dX - a.m_nHitW - 0.5, b, b.m_dStepX);
  } else if (bLeft) {
    a.m_bContactLeft = 1;
    xL.Max(b.m_dRight + 1.5, b, b.m_dStepX);
  }
}

// The landing record: the platform under the actor's feet.
void RecordLanding(cActor& a, cChara& b, cPush& yB) {
  if (b.m_dVelY < 0) a.m_bContactDown = 1;
  const double y = b.m_dY - a.m_nHitH;
  if (yB.Set() && yB.dPos <= y) return;
  yB = {y, b.m_dVelY, b.m_nSerial, &b};
  a.m_nCarrierSerial = b.m_nSerial;
  a.m_CarrierBox = BodyOf(b);
}

// A side push; one by the ridden platform does not count as being pushed.
void ApplySidePush(cActor& a, const cPush& p, bool bStopMove) {
  if (!p.Set()) return;
  if (bStopMove) a.m_dPushX = 0.0;
  if (!(a.m_bOnBlockChara && p.nSerial == a.m_nCarrierSerial)) a.m_bPushedByBlockChara = 1;
  SetX(a, p.dPos);
}

// The first candidate in list order meeting the upper half lifts the actor out below it.
void SqueezeOutBelow(cStageScene& scene, cActor& a, const cBox& upper, bool bMarkUp) {
  bool bDone = false;
  ForEachCandidate(scene, a, upper, [&](cChara& b) {
    if (bDone) return;
    bDone = true;
    a.m_dPushY = 0.0;
    a.m_bJumpRising = a.m_bJumping = a.m_bNoJump = 1;
    a.m_dVelY = b.m_dVelY;
    if (bMarkUp && b.m_dVelY > 0) a.m_bContactUp = 1;
    SetY(a, b.m_dBottom + 1);
  });
}

void FireRideTriggers(cActor& rider, cActor& platform) {
  if (IsPlayerObject(rider)) flowhook::FireTrigger(platform, TRIGGER_HERO_RIDES);
  flowhook::FireTrigger(platform, TRIGGER_CHARA_RIDES);
}

}  // namespace

int cStageScene::CarryRider(cActor& actor) {
  if (actor.m_bFlying || !actor.m_bOnBlockChara) return OUTCOME_GO_ON;
  cChara* pCarrier = g_Grid.Find(*this, actor.m_nCarrierSerial);
  if (!pCarrier) return OUTCOME_GO_ON;
  actor.m_dStepX += pCarrier->m_dX - actor.m_CarrierBox.m_dLeft;
  actor.m_dVelY = pCarrier->m_dY - actor.m_CarrierBox.m_dTop;
  FireRideTriggers(actor, *pCarrier);
  return OUTCOME_GO_ON;
}

namespace {

int FlyingPass(cStageScene& scene, cActor& a, const cBox& e) {
  cPush xL, xR, yT, yB;
  bool bTouched = false;
  ForEachCandidate(scene, a, e, [&](cChara& b) {
    bTouched = true;
    const cBox body = BodyOf(b);
    if (OverlapX(e, body) <= OverlapY(e, body)) {
      if (body.Overlaps(VSegment(e.m_dLeft, e.m_dTop + 1, e.m_dBottom - 1))) {
        a.m_bContactLeft = 1;
        xL.Max(b.m_dRight + 1, b, b.m_dStepX);
      }
      if (body.Overlaps(VSegment(e.m_dRight, e.m_dTop + 1, e.m_dBottom - 1))) {
        a.m_bContactRight = 1;
        xR.Min(b.m_dX - a.m_nHitW, b, b.m_dStepX);
      }
    } else {
      if (body.Overlaps(HSegment(e.m_dLeft + 1, e.m_dRight - 1, e.m_dTop))) {
        a.m_bContactUp = 1;
        yT.Max(b.m_dBottom + 1, b, b.m_dVelY);
      }
      if (body.Overlaps(HSegment(e.m_dLeft + 1, e.m_dRight - 1, e.m_dBottom))) {
        a.m_bContactDown = 1;
        yB.Min(b.m_dY - a.m_nHitH, b, b.m_dVelY);
      }
    }
  });
  if (bTouched) flowhook::FireTrigger(a, TRIGGER_BLOCK_CHARA);
  if (a.m_nBlockContact == 2) return xL.Set() || xR.Set() || yT.Set() || yB.Set() ? OUTCOME_PLAYER_DIES : 0;
  // A pusher moving away does not drag the actor: only the other axis is resolved.
  if (xL.Set()) {
    a.m_dPushX = 0.0;
    if (xL.dVel < 0 && a.m_dStepX >= 0) {
      a.m_bContactLeft = 0;
      scene.PushOutOfBlockCharas(a, 1);
    } else {
      a.m_bPushedByBlockChara = 1;
      SetX(a, xL.dPos);
    }
  }
  if (xR.Set()) {
    a.m_dPushX = 0.0;
    if (xR.dVel > 0 && a.m_dStepX <= 0) {
      a.m_bContactRight = 0;
      scene.PushOutOfBlockCharas(a, 1);
    } else {
      a.m_bPushedByBlockChara = 1;
      SetX(a, xR.dPos);
    }
  }
  if (yT.Set()) {
    a.m_dPushY = 0.0;
    if (yT.dVel < 0 && a.m_dVelY >= 0) {
      a.m_bContactUp = 0;
      scene.PushOutOfBlockCharas(a, 0);
    } else {
      SetY(a, yT.dPos);
    }
  }
  if (yB.Set()) {
    a.m_dPushY = 0.0;
    if (yB.dVel > 0 && a.m_dVelY <= 0) {
      a.m_bContactDown = 0;
      scene.PushOutOfBlockCharas(a, 0);
      return OUTCOME_GO_ON;
    }
    SetY(a, yB.dPos);
  }
  return OUTCOME_GO_ON;
}

}  // namespace

int cStageScene::BlockCharaPass(cActor& a) {
  if (IgnoresBlockCharas(a)) return OUTCOME_GO_ON;
  const cBox e = BodyOf(a);
  if (a.m_bFlying) return FlyingPass(*this, a, e);

  const double dLanding = 2 / g_FrameScale;
  const double dHeadMargin = 0.4 / g_FrameScale;
  const cBox upper{e.m_dLeft, e.m_dTop, e.m_dRight, e.m_dTop + a.m_nHitH / 2};
  const cBox lowThird{e.m_dLeft + 1, e.m_dBottom - a.m_nHitH / 3, e.m_dRight - 1, e.m_dBottom};
  const cBox saved = a.m_SavedBox;
  const cBox path{saved.m_dLeft, e.m_dTop, saved.m_dRight, e.m_dBottom};
  const bool bRightFirst = a.m_dStepX >= 0;
  cPush xL, xR, yT, yB;
  bool bTouched = false;

  ForEachCandidate(*this, a, e, [&](cChara& b) {
    bTouched = true;
    const cBox body = BodyOf(b);
    const cBox& bSaved = b.m_SavedBox;
    if (body.Overlaps(upper)) {
      if (a.m_dVelY > dLanding && path.Overlaps(bSaved) && saved.m_dTop < bSaved.m_dTop) {
        RecordLanding(a, b, yB);
        return;
      }
      const bool bHead =
          (OverlapX(upper, body) - OverlapY(upper, body) > dHeadMargin && e.m_dBottom > body.m_dBottom) ||
          (path.Overlaps(bSaved) && saved.m_dTop > bSaved.m_dTop && !saved.Overlaps(body));
      if (bHead) {
        if (b.m_dVelY > 0) a.m_bContactUp = 1;
        if (!(yT.Set() && yT.dPos >= body.m_dBottom + 1)) yT = {body.m_dBottom + 1, b.m_dVelY, b.m_nSerial, &b};
        if (a.m_bOnBlockChara && a.m_dVelY < 0) a.m_bContactDown = 1;
        return;
      }
      SidePush(a, b, VSegment(upper.m_dRight, upper.m_dTop, upper.m_dBottom),
               VSegment(upper.m_dLeft, upper.m_dTop, upper.m_dBottom), bRightFirst, xL, xR);
      return;
    }
    if (OverlapX(e, body) < OverlapY(e, body)) {
      // Both sides are tried against a pusher at the lower half.
      if (body.Overlaps(VSegment(e.m_dRight, e.m_dTop, e.m_dBottom))) {
        a.m_bContactRight = 1;
        xR.Min(b.m_dX - a.m_nHitW - 0.5, b, b.m_dStepX);
      }
      if (body.Overlaps(VSegment(e.m_dLeft, e.m_dTop, e.m_dBottom))) {
        a.m_bContactLeft = 1;
        xL.Max(b.m_dRight + 1.5, b, b.m_dStepX);
      }
      return;
    }
    if (body.Overlaps(lowThird)) RecordLanding(a, b, yB);
  });

  bool bLanded = false;
  bool bHorizontal = true;
  bool bPushedDown = false;
  if (yT.Set() && !yB.Set()) {
    // Pushed down from above, unless that would put it into a wall or another block character.
    bool bSkip = false;
    if (yT.dVel < 0) {
      // Tried with the top moved and the cells and the bottom as they are.
      const cBox moved{a.m_dX, yT.dPos, a.m_dRight, a.m_dBottom};
      bSkip = a.TouchesSolidBlock() ||
              AnyCandidate(*this, a, moved, [&yT](const cChara& b) { return b.m_nSerial != yT.nSerial; });
    }
    if (!bSkip) {
      a.m_bJumpRising = a.m_bJumping = a.m_bNoJump = 1;
      a.m_dPushY = 0.0;
      a.m_dVelY = yT.dVel;
      SetY(a, yT.dPos);
      RecheckBlocksY(a);
      bPushedDown = true;
    }
  }
  if (!bPushedDown && xL.Set() && xR.Set() && !yB.Set()) {
    // Wedged between two side pushers with nothing above or below.
    SqueezeOutBelow(*this, a, upper, false);
    a.m_bContactLeft = a.m_bContactRight = 0;
    bHorizontal = false;
  } else if (!bPushedDown && yB.Set() && !(xL.Set() && xR.Set())) {
    if (yB.dVel > 0 && a.TouchesSolidBlock()) {
      a.m_bOnBlockChara = 0;
    } else {
      a.m_dPushY = 0.0;
      bLanded = true;
      if (!a.m_bOnBlockChara) {
        a.m_bOnBlockChara = 1;
        FireRideTriggers(a, *yB.pFrom);
      }
      SetY(a, yB.dPos);
      a.m_dVelY = 0.0;
      a.m_nAirSteps = 0;
      a.m_bJumping = a.m_bJumpRising = a.m_bAirborne = a.m_bKnocked = 0;
      if (IsPlayerObject(a)) {
        g_Players[0].m_nJumpHold = 0;
      } else {
        a.m_bNoJump = 0;
      }
    }
  }
  if (bHorizontal) {
    ApplySidePush(a, xL, true);
    ApplySidePush(a, xR, true);
    if (xL.Set() && xR.Set() && !yB.Set()) {
      SetX(a, e.m_dLeft);
      SqueezeOutBelow(*this, a, upper, true);
    }
  }
  if (bTouched || a.m_bOnBlockChara) {
    flowhook::FireTrigger(a, TRIGGER_BLOCK_CHARA);
    if (a.m_bOnBlockChara) flowhook::FireTrigger(a, TRIGGER_ON_BLOCK_CHARA);
  }
  if ((a.m_bContactLeft && a.m_bContactRight) || (a.m_bContactUp && a.m_bContactDown) || IsCrushedByBlockCharas(a, e))
    return OUTCOME_PLAYER_DIES;

  // Out of the block map into the gap the side pushes left, a tenth of a pixel at a time.
  const struct {
    std::int32_t bContact;
    bool bAxisX;
    double d;
  } nudges[4] = {{a.m_bContactLeft, true, -0.1},
                 {a.m_bContactRight, true, 0.1},
                 {a.m_bContactUp, false, -0.1},
                 {a.m_bContactDown, false, 0.1}};
  for (const auto& n : nudges) {
    if (!n.bContact) continue;
    for (int i = 0; i < 15 && a.TouchesSolidBlock(); ++i) {
      if (n.bAxisX) {
        SetX(a, a.m_dX + n.d);
      } else {
        SetY(a, a.m_dY + n.d);
      }
    }
  }

  if (a.m_bOnBlockChara && !bLanded) {
    if (a.m_dKnockY < 0) {
      a.StopRiding(1);
    } else if (IsOnRiddenBlockChara(a) || IsOnAnyBlockChara(a)) {
      if (cChara* pCarrier = g_Grid.Find(*this, a.m_nCarrierSerial)) {
        a.m_nAirSteps = 0;
        a.m_bKnocked = 0;
        a.m_CarrierBox = BodyOf(*pCarrier);
      }
    } else {
      a.StopRiding(1);
    }
  }
  return OUTCOME_GO_ON;
}

void cStageScene::PushOutOfBlockCharas(cActor& a, int bVertical) {
  const cBox q = BodyOf(a);
  cPush lo, hi;
  if (bVertical) {
    ForEachCandidate(*this, a, q, [&](cChara& b) {
      const cBox body = BodyOf(b);
      if (body.Overlaps(HSegment(q.m_dLeft + 1, q.m_dRight - 1, q.m_dTop))) {
        a.m_bContactUp = 1;
        lo.Max(b.m_dBottom + 1, b, b.m_dVelY);
      }
      if (body.Overlaps(HSegment(q.m_dLeft, q.m_dRight, q.m_dBottom))) {
        a.m_bContactDown = 1;
        hi.Min(b.m_dY - a.m_nHitH, b, b.m_dVelY);
      }
    });
    if (lo.Set()) SetY(a, lo.dPos);
    if (hi.Set()) SetY(a, hi.dPos);
    return;
  }
  ForEachCandidate(*this, a, q, [&](cChara& b) {
    const cBox body = BodyOf(b);
    if (body.Overlaps(VSegment(q.m_dLeft, q.m_dTop + 1, q.m_dBottom - 1))) {
      a.m_bContactLeft = 1;
      lo.Max(b.m_dRight + 1, b, b.m_dStepX);
    }
    if (body.Overlaps(VSegment(q.m_dRight, q.m_dTop, q.m_dBottom))) {
      a.m_bContactRight = 1;
      hi.Min(b.m_dX - a.m_nHitW, b, b.m_dStepX);
    }
  });
  ApplySidePush(a, lo, false);
  ApplySidePush(a, hi, false);
}

bool cStageScene::IsOnRiddenBlockChara(cActor& a) {
  const cBox strip{a.m_dX, a.m_dBottom, a.m_dRight, a.m_dBottom + 5};
  return AnyCandidate(*this, a, strip, [&a](const cChara& b) { return b.m_nSerial == a.m_nCarrierSerial; });
}

bool cStageScene::IsOnAnyBlockChara(cActor& a) {
  const cBox strip{a.m_dX, a.m_dBottom, a.m_dRight, a.m_dBottom + 5};
  return AnyCandidate(*this, a, strip, [](const cChara&) { return true; });
}

bool cStageScene::IsCrushedByBlockCharas(cActor& a, const cBox& entry) {
  if (IgnoresBlockCharas(a)) return false;
  const cBox now = BodyOf(a);
  // clang-format off
  const double corners[2][4][2] = {
      {{now.m_dLeft, now.m_dTop}, {now.m_dRight, now.m_dTop}, {now.m_dLeft, now.m_dBottom - 1}, {now.m_dRight, now.m_dBottom - 1}},
      {{entry.m_dLeft, entry.m_dTop}, {entry.m_dRight, entry.m_dTop}, {entry.m_dLeft, entry.m_dBottom - 1},
       {entry.m_dRight, entry.m_dBottom - 1}}};
  // clang-format on
  for (int k = 0; k < 4; ++k) {
    bool bHeld = false;
    for (const auto& set : corners) {
      const cBox point{set[k][0], set[k][1], set[k][0], set[k][1]};
      bHeld = bHeld || AnyCandidate(*this, a, point, [](const cChara&) { return true; });
    }
    if (!bHeld) return false;
  }
  return true;
}

bool cStageScene::OverlapsSolidChara(cActor& a) {
  if (IgnoresBlockCharas(a)) return false;
  return AnyCandidate(*this, a, BodyOf(a), [](const cChara&) { return true; });
}
