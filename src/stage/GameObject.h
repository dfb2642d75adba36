// cGameObject: the base of everything that lives on a stage and moves, is drawn or is
// hit (player, characters, items, shots and swords). Positions are stage pixels as
// doubles (the top-left of the body box is authoritative); sizes exist at scale 1 and
// scaled by the giant scale; the block cells of the box edges follow the position.
#pragma once
#include <cstdint>

#include "stage/AnimeSequencer.h"
#include "stage/Box.h"

class cCommandRuntime;
class cEdStageParam;

class cGameObject {
 public:
  cGameObject();
  // Virtual operations in their fixed order; the base versions of 3 to 12 do nothing.
  virtual ~cGameObject();
  virtual void CopyBase(const cGameObject& other);
  virtual void SetScale(int nNew, int nOld);
  virtual void ScaleHitBoxes(int nScale);
  virtual void KeepFootOnScale(int nNew, int nOld);
  virtual void UpdateHitBoxX();
  virtual void UpdateHitBoxY();
  virtual void SetPos(int x, int y);
  virtual void SetPosStopMove(int x, int y, cCommandRuntime& runtime);
  virtual void SetCenterX(int x);
  virtual void SetCenterXStopMove(int x, cCommandRuntime& runtime);
  virtual void SetCenterY(int y);
  virtual void SetCenterYStopMove(int y, cCommandRuntime& runtime);

  // Identity, geometry and flight of a new object; pTable (a constant frame table, or
  // null) is loaded into the sequencer and nSequence started.
  void Init(int nSerial, int nKind, int nPadIndex, int nSide, int nGraphic, const ANIMESTEP* const* pTable,
            int nSequence, int nHitOffX, int nHitOffY, int nHitW, int nHitH, int nWidth, int nHeight, int nFacing,
            int nFlyMode, int nLevel);
  // 0 walking, 1 flying through blocks, 2 flying and colliding, 3 flying and dying on
  // a block; other values change nothing.
  void SetFlyMode(int nMode);
  void KeepPlaceOnScale(int nNew, int nOld);
  void KeepCentreXOnScale(int nNew, int nOld);

  // Keep a position inside the limits of mode 0 (scroll), 1 (stage) or 2 (block map)
  // and derive the box edges and cells from it; the result tells which limit it met.
  int ClampX(int nMode);
  int ClampY(int nMode);
  // One sub-step of movement, capped at the speed limit, then the clamp.
  int StepX(int nMode);
  int StepY(int nMode);
  void ApplyGravityUnlessFlying();
  // Moves v toward 0 by the friction when enabled, stopping at 0.
  void ApplyFriction(double& v, int bEnabled) const;
  // The drawn cell on screen from the position and the scroll position.
  void CalcScreenRect();
  bool IsOnScreen() const;
  bool IsOnScreenAxes(int bIgnoreX, int bIgnoreY) const;
  bool IsInStage(int bWholeMap) const;
  bool IsOutsideEraseRange(const cEdStageParam& range) const;
  // One of the four corner cells of the stored cell rectangle stops this object.
  bool TouchesSolidBlock() const;
  bool TouchesSolidBlock(const cBox& ignored) const {
    (void)ignored;
    return TouchesSolidBlock();
  }

  std::int32_t m_nSerial = 0;
  std::int32_t m_nLifeSteps = 0;  // 0x7FFFFFFF: unlimited
  std::int32_t m_nFacing = 0;     // 0 left, 1 right
  std::int16_t m_nLevel = 0;
  std::int32_t m_nGraphic = 0;
  cAnimeSequencer m_Anime;
  SCREENRECT m_ScreenRect;
  std::int32_t m_nHitOffX = 0;  // body box inside the drawn cell, scaled
  std::int32_t m_nHitOffY = 0;
  std::int32_t m_nWidth = 0;  // drawn cell, scaled
  std::int32_t m_nHeight = 0;
  std::int32_t m_nBaseHitOffX = 0;
  std::int32_t m_nBaseHitOffY = 0;
  std::int32_t m_nBaseWidth = 0;
  std::int32_t m_nBaseHeight = 0;
  std::int32_t m_nKind = 0;  // 0 the player (and items), 1 a character
  std::int32_t m_nPadIndex = 0;
  std::int32_t m_nSide = 0;  // 0 to 7
  double m_dX = 0.0;         // top-left of the body box
  double m_dY = 0.0;
  double m_dRight = 0.0;  // inclusive
  double m_dBottom = 0.0;
  std::int32_t m_nCellLeft = 0;
  std::int32_t m_nCellTop = 0;
  std::int32_t m_nCellRight = 0;
  std::int32_t m_nCellBottom = 0;
  double m_dStepX = 0.0;  // horizontal displacement of this step
  double m_dVelY = 0.0;   // vertical velocity
  double m_dPushX = 0.0;  // movement velocities, braked towards 0
  double m_dPushY = 0.0;
  double m_dBrake = 0.0;
  std::int32_t m_bBrakeX = 0;
  std::int32_t m_bBrakeY = 0;
  std::int32_t m_bScrollSync = 0;  // moves with the automatic scroll
  std::int32_t m_nHitW = 0;        // body box, scaled
  std::int32_t m_nHitH = 0;
  std::int32_t m_nBaseHitW = 0;
  std::int32_t m_nBaseHitH = 0;
  std::int32_t m_bFlying = 0;
  std::uint8_t m_nBlockContact = 0;  // 0 passes through blocks, 1 collides, 2 dies
  std::int32_t m_bExists = 0;        // appearance conditions hold
  std::int32_t m_bOnScreen = 0;

 protected:
  cGameObject(const cGameObject&) = default;
  cGameObject& operator=(const cGameObject&) = default;
};

inline constexpr std::int32_t UNLIMITED_LIFE = 0x7FFFFFFF;
