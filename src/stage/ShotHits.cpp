// The attack stages of the hit pass: attacks against the actors of other sides (damage,
// death, item drops, and the end of a shot that does not pierce), and attacks against
// the attacks of other sides (the weaker clashing attack gives way).
#include "gamedata/Item.h"
#include "gamedata/Stage.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/FlowHooks.h"
#include "stage/Item.h"
#include "stage/ObjectGeometry.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/StageScene.h"

namespace {

bool Overlap(double l1, double t1, double r1, double b1, double l2, double t2, double r2, double b2) {
  return l1 <= r2 && r1 >= l2 && t1 <= b2 && b1 >= t2;
}

bool HitsActor(const cShot& s, const cActor& a) {
  return Overlap(a.m_BoxB.m_dLeft, a.m_BoxB.m_dTop, a.m_BoxB.m_dRight, a.m_BoxB.m_dBottom, s.m_dAtkLeft, s.m_dAtkTop,
                 s.m_dAtkRight, s.m_dAtkBottom);
}

bool BodiesOverlap(const cShot& a, const cShot& b) {
  return Overlap(a.m_dX, a.m_dY, a.m_dRight, a.m_dBottom, b.m_dX, b.m_dY, b.m_dRight, b.m_dBottom);
}

// The item a shot hands over at a hit; its outcome.
int DropItem(cStageScene& scene, const cShot& s) {
  const cEdShot& p = s.m_Shot;
  if (p.m_nItemSource == ITEM_SOURCE_NONE) return 0;
  cEdItem* def = GetItemDef(static_cast<std::int8_t>(p.m_nItemSource), p.m_nItem);
  if (!def) return 0;
  cItem item;
  item.Init(0, *def, 0);
  item.m_bExists = 1;
  return scene.GiveItem(&item, g_Players[0]);
}

}  // namespace

int cStageScene::HitShotsOnActors() {
  if (g_Stage.m_nHitPasses != 0 && m_nSubStep >= 1 && m_nSubStep <= m_HitSchedule.Size() &&
      m_HitSchedule[m_nSubStep - 1] == 0)
    return 0;
  const bool bOnScreenOnly = g_Stage.m_bOnScreenHits != 0;
  int nResult = 0;
  for (int c = 0; c < SIDE_COUNT && nResult == 0; ++c) {
    cVectorList<cShot*>& shots = m_SideShots[c];
    for (int d = 0; d < SIDE_COUNT && nResult == 0; ++d) {
      if (d == c || m_SideActors[d].empty()) continue;
      cVectorList<cActor*>& actors = m_SideActors[d];
      for (auto it = shots.begin(); it != shots.end() && nResult == 0;) {
        cShot& s = **it;
        if (bOnScreenOnly && !s.m_bOnScreen) {
          ++it;
          continue;
        }
        const cEdShot& p = s.m_Shot;
        bool bRemove = false;
        for (cActor* pa : actors) {
          cActor& a = *pa;
          if (bOnScreenOnly && !a.m_bOnScreen) continue;
          if (!a.m_bExists || a.m_bDead || a.m_Def.m_nInvincible == 2 || !HitsActor(s, a)) continue;
          if (IdListContains(s.m_HitActors, &a)) continue;
          flowhook::FireTrigger(a, TRIGGER_SHOT_HIT);
          if ((p.m_nPower == 0 && p.m_nImpact == 0 && p.m_nItemSource == 0) || a.IsInvincible()) continue;
          if (a.DamageFromShot(s) != 0) {
            if (a.m_nKind == 1) RequestSystemSound(9);
            const int k = KillActor(a);
            if (k == 1 || k == 2) {
              nResult = k;
              break;
            }
          } else {
            RequestSystemSound(7);
            a.StartInvincibility();
          }
          if (!s.m_bIsShot || p.m_nSetting42 == 1) {
            s.m_HitActors.push_back(&a);
          } else {
            bRemove = true;
          }
          if (const int g = DropItem(*this, s)) {
            nResult = g;
            break;
          }
        }
        if (bRemove) {
          s.DropTarget();
          s.m_bRemoved = 1;
          it = shots.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
  SweepShots();
  return nResult;
}

void cStageScene::ClashShots() {
  for (int j = 0; j < SIDE_COUNT; ++j) {
    cVectorList<cShot*>& qs = m_SideShots[j];
    for (int k = j + 1; k < SIDE_COUNT; ++k) {
      cVectorList<cShot*>& ss = m_SideShots[k];
      if (ss.empty()) continue;
      for (auto qi = qs.begin(); qi != qs.end();) {
        cShot& q = **qi;
        const bool bQClash = q.m_Shot.m_bHitsShots != 0;
        bool bRemoveQ = false;
        for (auto si = ss.begin(); si != ss.end();) {
          cShot& s = **si;
          const bool bSClash = s.m_Shot.m_bHitsShots != 0;
          bool bRemoveS = false;
          if ((bQClash || bSClash) && BodiesOverlap(q, s)) {
            if (bQClash && bSClash) {
              if (s.m_Shot.m_nShotStrength >= q.m_Shot.m_nShotStrength) bRemoveQ = true;
              if (s.m_Shot.m_nShotStrength <= q.m_Shot.m_nShotStrength) bRemoveS = true;
            } else if (bQClash) {
              bRemoveQ = true;
            } else {
              bRemoveS = true;
            }
          }
          if (bRemoveS) {
            s.DropTarget();
            s.m_bRemoved = 1;
            si = ss.erase(si);
          } else {
            ++si;
          }
        }
        if (bRemoveQ) {
          q.DropTarget();
          q.m_bRemoved = 1;
          qi = qs.erase(qi);
        } else {
          ++qi;
        }
      }
    }
  }
  SweepShots();
}
