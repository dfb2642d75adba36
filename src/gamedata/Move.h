// The movement payload of the movement commands and the warp: how the move is given,
// angles, target offsets, speeds, distances, radii, timing and mirroring. Many values
// come as a base and a per-level part (per-level x the character's level + base).
#pragma once
#include <cstdint>

#include "gamedata/Record.h"

class cEdMove : public cRecord {
 public:
  std::int8_t m_nMode = 0;       // eMoveMode; the warp's eWarpMode
  std::int8_t m_nDirection = 0;  // eDirection; circle: eRotation
  std::int16_t m_nAngle = 0;
  std::int16_t m_nAnglePerLevel = 0;
  std::uint8_t m_bMirrorAngle = 1;  // from version 158: facing right, angle a becomes 360 - a
  std::uint8_t m_bUseX = 1;
  std::uint8_t m_bUseY = 1;
  std::int16_t m_nCellX = 0;
  std::int16_t m_nCellY = 0;
  std::int16_t m_nDotX = 0;
  std::int16_t m_nDotY = 0;
  std::uint8_t m_nCoordMode = 0;  // eMoveCoord; the warp's eWarpCoord
  std::uint8_t m_bStopAtTarget = 1;
  std::uint8_t m_bNoMoveX = 0;
  std::uint8_t m_bNoMoveY = 0;
  std::uint8_t m_bMirrorX = 1;
  std::uint8_t m_bMirrorY = 0;
  std::uint8_t m_bReverseOnTurn = 1;
  std::uint8_t m_bSnapOnArrival = 0;
  std::uint8_t m_bKeepFacing = 0;  // from version 162
  std::uint8_t m_nTimingMode = 0;  // eMoveTiming; circle: eCircleTiming
  std::int16_t m_nSpeed = 10;      // tenths of a pixel per frame at 60 frames per second
  std::int16_t m_nSpeedPerLevel = 0;
  std::int16_t m_nDistance = 0;
  std::int16_t m_nDistancePerLevel = 0;
  std::uint8_t m_nDistanceUnit = 0;  // eDistanceUnit; from version 159
  std::int16_t m_nRadius = 0;
  std::int16_t m_nRadiusPerLevel = 0;
  std::uint8_t m_bInertia = 0;
  std::int16_t m_nMaxSpeed = 0;
  double m_fBrake = 1.0;
  std::uint8_t m_bKeepAnime = 0;  // from version 162

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
};
