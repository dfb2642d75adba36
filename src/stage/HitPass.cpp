// The hit pass (who hits whom, friend and foe told apart only by side) and the player's
// pick-up of the items it touches.
#include <algorithm>
#include <vector>

#include "gamedata/Stage.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/Chara.h"
#include "stage/FlowHooks.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int HURT_SOUND = 7;
constexpr int CHARA_DEATH_SOUND = 9;

// Pick-up kinds of an item.
enum : int { TAKE_ONCE = 0, TAKE_PER_CONTACT = 1, TAKE_NEVER = 2 };

cBox BoxOf(const cHitBox& b) { return cBox{b.m_dLeft, b.m_dTop, b.m_dRight, b.m_dBottom}; }
cBox BodyOf(const cGameObject& o) { return cBox{o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom}; }

bool HasBodyAttack(const cActor& a) { return a.m_Def.m_nBodyPower != 0 || a.m_Def.m_nBodyImpact != 0; }

// Block characters are left to the block-character pass; a character taken off the stage
// by a death in this pass waits for its destruction.
bool IsRemoved(const cActor& a) {
  const auto* pChara = dynamic_cast<const cChara*>(&a);
  return pChara && pChara->m_bRemoved;
}

bool TakesPartInBodyHits(const cActor& a, bool bOnScreenOnly) {
  if (bOnScreenOnly && !a.m_bOnScreen) return false;
  return !a.m_Def.m_bBlockChara && a.m_bExists && !a.m_bDead && !IsRemoved(a);
}

// The side list as it stands: flows fired by a hit may add actors to the lists.
void Snapshot(const cVectorList<cActor*>& list, std::vector<cActor*>& out) { out.assign(list.begin(), list.end()); }

}  // namespace

int cStageScene::HitPass() {
  // Attacks against actors (ShotHits.cpp), actors against actors, attacks against attacks.
  if (const int r = HitShotsOnActors(); r != OUTCOME_GO_ON) return r;
  if (const int r = HitActorsPass(); r != OUTCOME_GO_ON) return r;
  ClashShots();
  return OUTCOME_GO_ON;
}

int cStageScene::HitActorsPass() {
  const bool bOnScreenOnly = g_Stage.m_bOnScreenHits != 0;
  const int nSides = std::min(m_SideActors.Size(), SIDE_COUNT);
  std::vector<cActor*> listI;
  std::vector<cActor*> listJ;
  for (int i = 0; i < nSides; ++i) {
    for (int j = i + 1; j < nSides; ++j) {
      if (m_SideActors[i].empty() || m_SideActors[j].empty()) continue;
      Snapshot(m_SideActors[i], listI);
      Snapshot(m_SideActors[j], listJ);
      for (cActor* pO : listI) {
        cActor& o = *pO;
        if (!TakesPartInBodyHits(o, bOnScreenOnly)) continue;
        for (cActor* pQ : listJ) {
          if (IsRemoved(o)) break;
          cActor& q = *pQ;
          if (!TakesPartInBodyHits(q, bOnScreenOnly) || !BoxOf(o.m_BoxA).Overlaps(BoxOf(q.m_BoxA))) continue;
          flowhook::FireTrigger(o, TRIGGER_CHARA_HIT);
          flowhook::FireTrigger(q, TRIGGER_CHARA_HIT);
          // Both damages are taken before either victim is treated.
          bool bHurtO = false, bHurtQ = false;
          int rO = 0, rQ = 0;
          if (HasBodyAttack(q) && !o.IsInvincibleAgainst(q.m_nSerial)) {
            rO = o.DamageFromChara(q);
            bHurtO = true;
          }
          if (HasBodyAttack(o) && !q.IsInvincibleAgainst(o.m_nSerial)) {
            rQ = q.DamageFromChara(o);
            bHurtQ = true;
          }
          if (bHurtO || bHurtQ) RequestSystemSound(HURT_SOUND);
          const struct {
            bool bHurt;
            int r;
            cActor& victim;
            cActor& attacker;
          } victims[2] = {{bHurtO, rO, o, q}, {bHurtQ, rQ, q, o}};
          for (const auto& v : victims) {
            if (!v.bHurt) continue;
            if (v.r == 0) {
              v.victim.StartInvincibilityFrom(v.attacker.m_nSerial);
              continue;
            }
            if (!IsPlayerObject(v.victim)) RequestSystemSound(CHARA_DEATH_SOUND);
            const int k = KillActor(v.victim);
            if (k != OUTCOME_GO_ON) return k;
          }
        }
      }
    }
  }
  return OUTCOME_GO_ON;
}

int cStageScene::ItemPickUpPass(cPlayer& player) {
  const cBox itemBox = BoxOf(player.m_BoxC);
  for (auto it = g_Items.begin(); it != g_Items.end();) {
    cItem& item = *it;
    const int nKind = item.m_Def.m_nTakeMode;
    if (!item.m_bExists || item.m_nHeldMode != 0 || nKind == TAKE_NEVER) {
      ++it;
      continue;
    }
    if (!itemBox.Overlaps(BodyOf(item))) {
      // Parted: the next contact acts again.
      if (nKind == TAKE_PER_CONTACT) player.ForgetItem(item.m_nSerial);
      ++it;
      continue;
    }
    flowhook::FireTrigger(player, TRIGGER_ITEM_HIT);
    if (nKind == TAKE_PER_CONTACT) {
      if (!player.IsNotTouching(item.m_nSerial)) {
        ++it;
        continue;
      }
      player.m_TouchedItems.push_back(item.m_nSerial);
    }
    const int g = GiveItem(&item, g_Players[0]);
    it = nKind == TAKE_ONCE ? g_Items.erase(it) : std::next(it);
    if (g != OUTCOME_GO_ON) return g;
  }
  return OUTCOME_GO_ON;
}
