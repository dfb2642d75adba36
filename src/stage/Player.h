// cPlayer: the character that the pad drives. Besides the two boxes of every actor it
// has a third one that picks up items; its other members and operations come with the
// player code. The stage's player is element 0 of g_Players.
#pragma once
#include "core/Vector.h"
#include "gamedata/Command.h"
#include "stage/Actor.h"

class cPlayer : public cActor {
 public:
  cHitBox m_BoxC;  // picks up items
  double m_dJumpUnit = 0.0;        // 4 / sub-steps per frame
  std::int32_t m_nFootKind = 0;    // special block acting: 3 speed change, 4 move left, 5 move right
  double m_dFootFactor = 0.0;
  std::int32_t m_nFootSteps = 0;   // steps it still acts
  cVector<cEdCommand> m_PendingFlowChanges;  // item flow changes waiting for the flow pass's end

  // The view follows the player; the player stays within the stage (walking) or the
  // view's limits (flying).
  int SyncX() override;
  int SyncY() override;
  int MoveX() override;
  int MoveY() override;
  // The item flow changes queued during the flow pass, applied after it.
  void ApplyPendingFlowChanges();
  // Runs an item's command list on the player: 0, 1 when it clears the stage, 2 when
  // the player's HP fell below 1.
  int RunItemCommands(const cVector<cEdCommand>& commands);
};

extern cVector<cPlayer> g_Players;
