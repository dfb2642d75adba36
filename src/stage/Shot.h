// cShot: a flying shot or a sword. A shot that steers toward an actor keeps it in
// m_pTarget and is listed in that actor's m_AimingShots exactly while the pointer is
// set; the shot takes itself out of that list when it goes.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Shot.h"
#include "gamedata/Vocabulary.h"
#include "stage/GameObject.h"

class cActor;
class cCommandRuntime;
struct DDSURFACEDATA;

// One element a formation places: where, how fast and with which limits.
struct SHOTSPAWN {
  std::int16_t nRepeat = 0;  // repeat index of the shot command
  double dSpeed = 0.0;       // pixels per frame
  std::int32_t nAngle = 0;   // degrees added to the direction's base angle
  std::int32_t nRange = 0;   // half blocks
  std::int32_t nLife = 0;    // tenths of a second
  double dVx = 0.0;          // pixels per frame
  double dVy = 0.0;
  std::int32_t nX = 0;  // the element being spawned, stage pixels
  std::int32_t nY = 0;
  std::int32_t nBaseX = 0;  // the first element of the formation
  std::int32_t nBaseY = 0;
  std::int32_t nStepX = 0;
  std::int32_t nStepY = 0;
  std::int32_t nRowStepX = 0;
  std::int32_t nRowStepY = 0;
  std::int32_t nWidth = 0;
  std::int32_t nHeight = 0;
  std::int32_t nOffsetX = 0;
  std::int32_t nOffsetY = 0;
  std::int32_t nDirection = 0;  // resolved: DIR_LEFT, DIR_RIGHT or DIR_UP to DIR_DOWN_RIGHT
};

class cShot : public cGameObject {
 public:
  cShot();
  cShot(const cShot& other);
  cShot& operator=(const cShot& other);
  ~cShot() override;

  void ScaleHitBoxes(int nScale) override;
  void KeepFootOnScale(int nNew, int nOld) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;

  // A shot (command type 11) or a sword (12) of shooter from the payload and the spawn
  // record.
  void Init(int nId, cActor& shooter, int nCommandType, const cEdShot& payload, const SHOTSPAWN& spawn);
  // One logic step; 1 when the object must go.
  int Update();
  int UpdateSword();
  void MoveX();
  void MoveY();
  // Kept inside the stage horizontally; 3 when it was clamped.
  int ClampX();
  // 1 when the body box touches a cell that stops it.
  int TouchesBlock() const;
  // At the screen rectangle computed just before; frozen draws without animating.
  void Draw(DDSURFACEDATA* lpSD, int bFrozen);
  // m_dAccel along the velocity (vx, vy), per step.
  void AlignAcceleration(double& ax, double& ay, double vx, double vy) const;
  // Drops the target, and this shot from the target's list of aiming shots.
  void DropTarget();

  // Steering (ShotSteer.cpp), by m_Shot.m_nMotion.
  void Steer();
  void HomeOn(cActor& actor);

  std::int32_t m_nOwnerId = 0;
  std::int32_t m_bIsShot = 0;  // 1 a shot, 0 a sword
  std::int32_t m_nRangeLeft = 0;
  std::int32_t m_nLifeLeft = 0;
  std::int32_t m_nStepCount = 0;  // shot: steps steered; sword: steps in the entry
  std::int32_t m_nSwordEntry = 0;
  double m_dAccel = 0.0;
  double m_dSpeed = 0.0;  // steering speed per step
  double m_dVx = 0.0;     // own velocity per step
  double m_dVy = 0.0;
  std::int32_t m_bAccel = 0;
  std::int32_t m_nTurnStep = 0;
  std::int32_t m_nHomingEnd = 0;
  std::int32_t m_bSteerDone = 0;
  double m_dWavePhase = 0.0;
  double m_dWaveSin = 0.0;
  double m_dWaveCos = 0.0;
  double m_dAtkLeft = 0.0;  // the attack box in stage pixels, inclusive
  double m_dAtkTop = 0.0;
  double m_dAtkRight = 0.0;
  double m_dAtkBottom = 0.0;
  std::int32_t m_nAtkOffX = 0;  // relative to the position, scaled
  std::int32_t m_nAtkOffY = 0;
  std::int32_t m_nAtkW = 0;
  std::int32_t m_nAtkH = 0;
  std::int32_t m_nBaseAtkOffX = 0;
  std::int32_t m_nBaseAtkOffY = 0;
  std::int32_t m_nBaseAtkW = 0;
  std::int32_t m_nBaseAtkH = 0;
  cVector<cActor*> m_HitActors;  // already hit; the hit pass skips them
  cEdShot m_Shot;                // own copy of the payload
  cActor* m_pTarget = nullptr;   // not owned
  std::int32_t m_bRemoved = 0;   // out of the side lists; erased when the pass ends
};

// Fires the command's formation once per repeat (ShotFire.cpp).
void FireShot(cActor& user, cCommandRuntime& runtime, const cEdShot& payload);
// The summon commands' bodies: the formation places the summoned objects.
void SummonChara(cActor& user, cCommandRuntime& runtime, const cEdShot& payload);
void SummonItem(cActor& user, cCommandRuntime& runtime, const cEdShot& payload);
void SummonBlock(cActor& user, cCommandRuntime& runtime, const cEdShot& payload);
// The angle from stage point (x, y) to the centre of the user's target; may set the
// record's speed when the scroll makes the shot lead its target.
int AimAngle(double x, double y, cActor& user, const cEdShot& payload, SHOTSPAWN& spawn);
