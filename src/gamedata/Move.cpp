#include "gamedata/Move.h"

void cEdMove::BindFields(std::uint32_t nVersion) {
  AddField1(&m_nMode);
  AddField1(&m_nDirection);
  AddField2(&m_nAngle);
  AddField2(&m_nAnglePerLevel);
  if (nVersion >= VERSION_MIRROR_ANGLE) AddField1(&m_bMirrorAngle);
  AddField1(&m_bUseX);
  AddField1(&m_bUseY);
  AddField2(&m_nCellX);
  AddField2(&m_nCellY);
  AddField2(&m_nDotX);
  AddField2(&m_nDotY);
  AddField1(&m_nCoordMode);
  AddField1(&m_bStopAtTarget);
  AddField1(&m_bNoMoveX);
  AddField1(&m_bNoMoveY);
  AddField1(&m_bMirrorX);
  AddField1(&m_bMirrorY);
  AddField1(&m_bReverseOnTurn);
  AddField1(&m_bSnapOnArrival);
  if (nVersion >= VERSION_KEEP_FACING_AND_ANIME) AddField1(&m_bKeepFacing);
  AddField1(&m_nTimingMode);
  AddField2(&m_nSpeed);
  AddField2(&m_nSpeedPerLevel);
  AddField2(&m_nDistance);
  AddField2(&m_nDistancePerLevel);
  if (nVersion >= VERSION_DISTANCE_UNIT) AddField1(&m_nDistanceUnit);
  AddField2(&m_nRadius);
  AddField2(&m_nRadiusPerLevel);
  AddField1(&m_bInertia);
  AddField2(&m_nMaxSpeed);
  AddField8(&m_fBrake);
  if (nVersion >= VERSION_KEEP_FACING_AND_ANIME) AddField1(&m_bKeepAnime);
}

void cEdMove::Load(cDataReader& in) {
  cRecord::Load(in);
  const std::uint32_t v = g_nLoadVersion;
  // A payload written before a member existed goes on as it behaved then.
  if (v < VERSION_MIRROR_ANGLE) m_bMirrorAngle = 0;
  if (v < VERSION_DISTANCE_UNIT) m_nDistanceUnit = 0;
  if (v < VERSION_KEEP_FACING_AND_ANIME) m_bKeepFacing = m_bKeepAnime = 0;
}
