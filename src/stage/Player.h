// cPlayer: the character that the pad drives. Besides the two boxes of every actor it
// has a third one that picks up items, a jump held by the key, special-block state, a
// view that the scroll follows and a display of its boxes for checking a stage. The
// stage's player is element 0 of g_Players.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Command.h"
#include "stage/Actor.h"

class cPad;
struct DDSURFACEDATA;

// One of the player's boxes as it is shown for checking a stage.
struct cDebugBox {
  std::int32_t m_nBox = 0;     // 0 body, 1 box A, 2 box C, 3 box B
  std::int32_t m_nMode = 0;    // 0 hidden, 1 filled, 2 frame
  std::int32_t m_nColour = 0;  // palette number
  std::int32_t m_nX = 0;       // screen position, computed when drawn
  std::int32_t m_nY = 0;
  std::int32_t m_nW = 0;  // size, scaled
  std::int32_t m_nH = 0;
  std::int32_t m_nCycle = 0;  // colour cycle, 0 to 31
};

class cPlayer : public cActor {
 public:
  cPad* m_pPad = nullptr;
  std::int32_t m_nJumpHold = 0;   // steps the jump key has been held
  std::int32_t m_bJumpReady = 0;  // released since the last jump
  std::int32_t m_bOnNoJumpBlock = 0;
  double m_dJumpUnit = 0.0;  // 4 / sub-steps per frame
  std::int32_t m_bJumpHandled = 0;
  std::int32_t m_nPrevFacing = 0;
  cVectorList<std::int32_t> m_TouchedItems;  // serials of the once-per-contact items touched now
  std::int32_t m_nFootKind = 0;              // special block acting: 3 speed change, 4 move left, 5 move right
  double m_dFootFactor = 0.0;
  std::int32_t m_nFootSteps = 0;  // steps it still acts
  std::int32_t m_nItemBlockCooldown = 0;
  cHitBox m_BoxC;                   // picks up items
  cVector<cDebugBox> m_DebugBoxes;  // largest first
  cVector<cEdCommand> m_PendingFlowChanges;

  void ScaleHitBoxes(int nScale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  // The view follows the player; the player stays within the stage (walking) or the
  // view's limits (flying).
  int SyncX() override;
  int SyncY() override;
  int MoveX() override;
  int MoveY() override;
  // One step of the flows (only the death flows when bDeathPass); 1 when HP ran out.
  int Update(int bDeathPass) override;
  // The jump command's step: starts, holds and cuts the jump by the key.
  int Jump(cCommandRuntime& runtime) override;
  // Items that act once per contact: whether the serial is not being touched now, and
  // forgetting it once the boxes have separated.
  bool IsNotTouching(std::int32_t nSerial) const;
  void ForgetItem(std::int32_t nSerial);
  // The facing and the landed block of the last sub-step, kept before the next one.
  void KeepPrevFootBlock() { m_pPrevFootBlock = m_pLastFootBlock; }
  void KeepPrevFacing() { m_nPrevFacing = m_nFacing; }
  // The drawn cell on screen as every object has it, except that on an automatically
  // scrolling axis the position and the scroll are truncated apart, so that a player
  // held at the view's edge by a fractional scroll sits exactly on it.
  void CalcScreenRect();

  // The hero of a stage from its definition (a scale of 0 there becomes 1) at map pixel
  // (x, y), the centre of its cell.
  void Init(int nSerial, cEdChara& def, double x, double y);
  // Flight mode with the body and the three boxes of the new state; rescale applies the
  // giant scale to them.
  void SetFlyMode(int nMode, int bRescale);
  void BuildDebugBoxes();
  // Drawn as every actor, then its boxes as the stage's settings show them.
  void Draw(DDSURFACEDATA* target, int bFrozen);
  // The darkness mask over the view with its hole on the player (or ahead of it); nothing
  // for sight shape 0.
  void DrawSight(DDSURFACEDATA* target);
  // The item flow changes queued during the flow pass, applied after it.
  void ApplyPendingFlowChanges();
  // The picture of a taken item shown over the player.
  void ShowItemIcon(int nKind, int nIndex, int nParam);
  // Runs an item's command list on the player: 0, 1 when it clears the stage, 2 when
  // the player's HP fell below 1.
  int RunItemCommands(const cVector<cEdCommand>& commands);
};

extern cVector<cPlayer> g_Players;

// The hero is the player object itself, whatever the control kind of a definition says.
bool IsPlayerObject(const cActor& a);
