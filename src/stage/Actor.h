// cActor: a character on a stage, the player or one the computer drives. Over the game
// object it holds its own copy of its character definition (statuses, state flags and
// flows), its links to other actors and to the shots aimed at it, the run state of its
// flows and switches, physics and block contact, HP and SP with their gauges, its
// variables, invincibility, the running character effect and two boxes besides the
// body box (box A against characters, box B that shots hit).
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Chara.h"
#include "stage/AnimeSequencer.h"
#include "stage/Box.h"
#include "stage/EffectState.h"
#include "stage/FlowRuntime.h"
#include "stage/GameObject.h"

class cActor;
class cEdCondition;
class cEdKeyCondition;
class cEdMove;
class cItem;
class cPad;
struct PADRUN;
class cMapBlock;
class cShot;
class cImageRef;
struct DDSURFACEDATA;

// A box relative to the body box's position: its edges in stage pixels, and its offset
// and size scaled and at scale 1.
struct cHitBox {
  double m_dLeft = 0.0;
  double m_dTop = 0.0;
  double m_dRight = 0.0;
  double m_dBottom = 0.0;
  std::int32_t m_nOffX = 0;
  std::int32_t m_nOffY = 0;
  std::int32_t m_nW = 0;
  std::int32_t m_nH = 0;
  std::int32_t m_nBaseOffX = 0;
  std::int32_t m_nBaseOffY = 0;
  std::int32_t m_nBaseW = 0;
  std::int32_t m_nBaseH = 0;

  // Edges from the truncated position of the body box.
  void UpdateX(double x) {
    m_dLeft = static_cast<std::int32_t>(x) + m_nOffX;
    m_dRight = m_dLeft + m_nW - 1;
  }
  void UpdateY(double y) {
    m_dTop = static_cast<std::int32_t>(y) + m_nOffY;
    m_dBottom = m_dTop + m_nH - 1;
  }
};

// Display state of an HP or SP gauge.
struct cGauge {
  std::int32_t m_nCounter = 0;  // frames the gauge stays shown
  double m_dDamage = 0.0;       // the part just lost, in gauge pixels
  double m_dDecay = 0.0;        // its decrease per frame
  std::int32_t m_nLength = 0;   // bar length, 0 to 50 pixels
};

// The memory of a recent hit by one attacker.
struct cHitMemory {
  std::int32_t m_nAttackerId = 0;
  std::int32_t m_nStepsLeft = 0;
};

// An animation that a command of a flow started on the actor.
struct cFlowAnime {
  cAnimeSequencer m_Anime;
  std::int32_t m_nFramesLeft = 0;
  std::int32_t m_nHoldLeft = 0;
  std::int32_t m_bHold = 0;        // rests on its first locking frame while the command runs
  std::int32_t m_nFlowSerial = 0;  // -1: started outside any flow
  std::int32_t m_bStopped = 0;
};

// The members of cActor, kept apart so that a copy can take them whole and then point
// the flow runtimes at its own flows.
struct cActorFields {
  cActor* m_pTarget = nullptr;    // the target; not owned
  cVector<cActor*> m_Targeters;   // actors whose target this is, no duplicates
  cVector<cShot*> m_AimingShots;  // shots whose target this is
  cEdChara m_Def;                 // own copy of the definition; its m_Flows are the flows
  std::int32_t m_nFlowSerial = 0;
  cVector<cFlowRuntime> m_FlowRuntimes;  // one per flow of m_Def
  cVector<std::uint8_t> m_SwitchBusy;    // by switch 1 to 26
  cVector<std::uint8_t> m_SwitchEnded;
  cVector<std::uint8_t> m_SwitchStarted;
  std::int32_t m_bSwitchEnded = 0;
  std::int32_t m_bFlowDeleted = 0;
  double m_dSpawnX = 0.0;  // position given at spawn
  double m_dSpawnY = 0.0;
  std::int32_t m_bMovedThisStep = 0;
  double m_dKnockX = 0.0;  // knock-back velocity
  double m_dKnockY = 0.0;
  std::int32_t m_bKnocked = 0;
  double m_dPrevKnockY = 0.0;
  std::int32_t m_bMoveCancelled = 0;  // gravity off for this step
  std::int32_t m_nLastBlockSide = 0;  // 0 left, 1 right, -1 none
  std::int32_t m_bAirborne = 0;
  std::int32_t m_bJumpRising = 0;
  std::int32_t m_bJumping = 0;
  std::int32_t m_bJumpBlocked = 0;
  std::int32_t m_bNoJump = 0;  // set by a ceiling hit
  std::int32_t m_nAirSteps = 0;
  cMapBlock* m_pFootBlock = nullptr;  // stood on in this step
  cMapBlock* m_pLastFootBlock = nullptr;
  cMapBlock* m_pPrevFootBlock = nullptr;
  std::int32_t m_nBlockGraceSteps = 0;
  std::int32_t m_bDead = 0;
  std::int32_t m_bContactLeft = 0;  // block contact of this sub-step
  std::int32_t m_bContactRight = 0;
  std::int32_t m_bContactUp = 0;
  std::int32_t m_bContactDown = 0;
  std::int32_t m_bPushedByBlockChara = 0;
  std::int32_t m_bOnBlockChara = 0;
  std::int32_t m_nCarrierSerial = 0;
  cBox m_CarrierBox;
  cBox m_SavedBox;
  std::int32_t m_nHp = 0;
  cGauge m_HpGauge;
  std::int32_t m_nSp = 0;
  cGauge m_SpGauge;
  cVector<std::int32_t> m_Variables;  // entries 1 to 8: "v1" to "v8"
  std::int32_t m_nInvincibleSteps = 0;
  cVectorList<cHitMemory> m_HitMemory;
  cVectorList<cFlowAnime> m_FlowAnimes;
  cCharaEffectState m_CharaEffect;  // effect number 0: none
  std::int32_t m_bVanished = 0;
  std::int32_t m_bPlayerActive = 0;
  std::int32_t m_nSightPx = 0;
  cHitBox m_BoxA;                   // against characters
  cHitBox m_BoxB;                   // hit by shots
  std::int32_t m_nDeathFrames = 0;  // the player's frames after its death effect
};

class cActor : public cGameObject, public cActorFields {
 public:
  cActor();
  cActor(const cActor& other);
  cActor& operator=(const cActor& other);
  ~cActor() override;

  void KeepFootOnScale(int nNew, int nOld) override;
  void SetPos(int x, int y) override;
  void SetPosStopMove(int x, int y, cCommandRuntime& runtime) override;
  void SetCenterX(int x) override;
  void SetCenterXStopMove(int x, cCommandRuntime& runtime) override;
  void SetCenterY(int y) override;
  void SetCenterYStopMove(int y, cCommandRuntime& runtime) override;
  // Operations the actor classes add, in their fixed order; these versions do nothing,
  // except Update, which runs the flow pass.
  virtual void CopyFrom(const cActor& other);
  virtual cItem* GetHeldItem();
  virtual int SyncX();
  virtual int SyncY();
  virtual int MoveX();
  virtual int MoveY();
  virtual int Update(int bDeathPass);
  virtual int Jump(cCommandRuntime& runtime);

  // Everything an actor of either class takes from its definition when it enters the
  // stage; def may be null (the definition, HP and SP then stay).
  void InitForSpawn(const cEdChara* pDef, double x, double y, std::int16_t nLevel);
  // Box A centred in the 32-pixel cell horizontally; vertically centred or standing on
  // the cell's bottom.
  void HitBoxCentre(int bAlignBottom, int w, int h);
  // The animations of a basic anime set of the database become the sequences.
  void ApplyBasicAnimeSet(int nSet, int bForce);
  // Points every flow runtime at the flow of the same index in m_Def.m_Flows.
  void RelinkFlows();

  // Landing on a floor and hitting a ceiling: stop, snap to the cell and fire the
  // block triggers.
  void Land();
  void HitCeiling();

  // Gravity, contact bookkeeping of a sub-step, jumps, placing and knock-back.
  void ApplyGravity();
  void ClearContacts();
  void SavePos();
  void RestorePos();
  bool IsSupported() const;
  void StopRiding(int bSetPushed);
  double JumpSpeed(double h) const;
  double JumpSpeedForHeight(std::int8_t n) const { return JumpSpeed(n * 16.0); }
  static int ApexSteps(double v);
  int JumpFrames(std::int8_t n) const;
  void PlaceAtCellX(int nColumn);
  void PlaceAtCellY(int nRow);
  void PlaceAtCell(int nColumn, int nRow) {
    PlaceAtCellX(nColumn);
    PlaceAtCellY(nRow);
  }
  void KnockBack(std::int8_t nImpact, double dx, double dy);
  void KnockBackFromChara(const cActor& other);
  void KnockBackFromShot(const cShot& shot);
  static void KnockBackVelocity(double& outX, double& outY, std::int8_t e, double dx, double dy);
  void ApplyKnockBackY();
  void DecayVelocityX();
  void DecayVelocityY();

  // HP and SP with their gauges, hits, invincibility and death.
  int ChangeHp(int nDelta, bool bForced, bool bGauge);
  void StartHpGauge(int nDelta);
  void ChangeSp(int nDelta, bool bGauge);
  void StartSpGauge(int nDelta);
  int DamageFromChara(cActor& attacker);
  int DamageFromShot(cShot& shot);
  void StartInvincibility();
  void StartInvincibilityFrom(int nAttackerId);
  void TickInvincibility();
  bool IsInvincible() const { return m_nInvincibleSteps > 0; }
  // Invincible by its own status or by a running period (what the status operation and
  // the colour effect ask; hits look at the period alone).
  bool IsInvincibleNow() const { return m_Def.m_nInvincible != 0 || IsInvincible(); }
  bool IsInvincibleAgainst(int nAttackerId) const;
  int Die();
  void DeleteFlowAnimes(int nSerial);
  void EndFlowAnimes(int nSerial);
  void ResumeFlowAnimes(int nSerial);

  // Geometry of the movement commands.
  int FacingSign() const { return m_nFacing != 0 ? 1 : -1; }
  static bool IsInRangeX(int a, int b, int c, int d, int e, int f, int g, int bWhole);
  void GetMoveTarget(double& x, double& y, const cCommandRuntime& runtime) const;
  int MoveToPoint(cCommandRuntime& runtime, cActor* pTarget, double x, double y, int bCarried, int bArrival);
  void ApproachX(cCommandRuntime& runtime, cActor* pTarget, double x, int bCarried, int bArrival);
  void ApproachY(cCommandRuntime& runtime, cActor* pTarget, double y, int bCarried, int bArrival);
  static int ApproachStep(double& v, double& other, std::int32_t& turn, cActor* pTarget, double from, double to,
                          double s, int bCarried, int bArrival);
  static int ApproachStepY(double& v, double& other, std::int32_t& turn, cActor* pTarget, double from, double to,
                           double s, int bCarried, int bArrival);
  cActor* NearestCharaToSelf(const cVectorList<cActor*>& list) const;
  // Velocities of the movement commands: the direction codes 0 to 12 resolve to 2, 3
  // (left, right), 6, 7 (up, down) or 8 to 11 (the diagonals); turn receives the facing
  // request (0 none, 1 left, 2 right).
  int ResolveMoveDirection(int nCode) const;
  void DirectionVelocity(double& vx, double& vy, std::int32_t& turn, double s, int nCode) const;
  void AngleVelocity(double& vx, double& vy, std::int32_t& turn, double s, int nCode, int nAngle) const;
  // Toward a point given by the movement's coordinate kind; with stop-at-target the
  // remaining steps become the steps to reach it.
  void TargetVelocity(double& vx, double& vy, std::int32_t& turn, double s, int nOffsetX, int nOffsetY,
                      const cEdMove& move, std::int32_t& nRemaining) const;
  // The walk of the ground turn-around move: ahead, turning where one foot has no ground.
  void CheckGroundAhead(cCommandRuntime& runtime, const cEdMove& move);
  // One steering step toward (x, y) on the axes the movement allows.
  void HomingStep(cCommandRuntime& runtime, const cEdMove& move, cActor* pTarget, double x, double y);
  // Back into the view from near the opposite edge.
  void AvoidOffscreenStep(cCommandRuntime& runtime, const cEdMove& move);
  // Hands a movement velocity to the step (or inertial) velocities, turns the actor and
  // shows its moving animation.
  void ApplyMoveVelocity(double vx, double vy, int nTurn, cCommandRuntime& runtime, const cEdMove& move, int bForce);
  // Centre of the drawn cell on screen.
  int ScreenCentreX() const { return m_ScreenRect.left + (m_nWidth >> 1); }
  int ScreenCentreY() const { return m_ScreenRect.top + (m_nHeight >> 1); }

  // Conditions of this actor's flows: a state, facing or footing, the distance to the hero.
  bool CheckFlagCondition(const cEdCondition& condition);
  bool CheckPositionCondition(const cEdCondition& condition);
  bool CheckDistanceCondition(const cEdCondition& condition);
  // The key gate of a flow: its key sequence against the hero's recent input.
  bool CheckKeyConditions(cFlowRuntime& runtime);
  bool MatchKeySequence(const cVector<cEdKeyCondition*>& steps, int nTolerance);
  bool MatchKeyStep(const cEdKeyCondition& step, const cKeyCursor& cursor, int& nMatched);
  static bool MatchKeyRun(const PADRUN* pRun, int r, const cEdKeyCondition& step, int nState);
  static void ShiftKeyHistory(cKeyCursor& cursor, const cPad& pad, int n);
  // A key condition against the newest runs of the pad only (the player's jump).
  static bool CheckKeyState(const cPad& pad, const cEdKeyCondition& condition);

  // Flow run state. Insert 0 rebuilds it all for flows (normally m_Def.m_Flows); insert 1
  // adds copies of flows at nIndex, or at the end when nIndex is outside. Returns the
  // number of flows built.
  int BuildFlows(const cVector<cEdFlow>& flows, int nFacing, int bInsert, int nIndex);
  // Starts every eligible flow of the trigger.
  void FireFlowTrigger(int nTrigger);
  // Once a frame before the logic sub-steps.
  void ResetFlowTriggerFlags();
  // The flow pass of an update; 1 when the actor is gone (vanished, or out of HP
  // outside the death pass).
  int RunFlowPass(int bDeathPass);
  void DeleteFlow(int nIndex);
  // ID 0 deletes every flow and returns 0; otherwise the first deleted index, or -1.
  int DeleteFlowsOfGroup(int nID);
  // Starts the command animations whose time on their flow's time line has come.
  void RunFlowAnimeLinks();
  // The first direction channel held on the pad.
  static int GetInputDirection(const cPad& pad);
  int ExecCommand(cCommandRuntime& runtime);

  // Drawing (ActorDraw.cpp). Frozen draws without advancing patterns and effects.
  // The pattern to show: the flow-started animations take turns with the own one.
  int CurrentPattern(int bFrozen);
  // The definition's graphic column; clears the reference's draw mode unless the
  // actor's colour effect applies.
  int GraphicColumn(cImageRef& ref);
  void Draw(DDSURFACEDATA* target, int bFrozen);
  // 1 once a dying actor's ending has finished.
  int DrawEnding(DDSURFACEDATA* target, int bFrozen);
  // The running character effect advanced without drawing.
  void TickCharaEffect(int bFrozen);
  void DrawMark(DDSURFACEDATA* target);
  void DrawGauge(DDSURFACEDATA* target, cGauge& gauge, int bSp);
  void DrawHpGauge(DDSURFACEDATA* target) { DrawGauge(target, m_HpGauge, 0); }
  void DrawSpGauge(DDSURFACEDATA* target) { DrawGauge(target, m_SpGauge, 1); }
  void DrawGauges(DDSURFACEDATA* target) {
    DrawHpGauge(target);
    DrawSpGauge(target);
  }
};
