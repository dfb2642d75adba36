#include "gamedata/Move.h"

void cEdMove::BindFields(std::uint32_t nVersion) {
  AddField1(&m_nMode);
  AddField1(&m_nDirection);
  AddField2(&m_nAngle);
  AddField2(&m_nAnglePerLevel);
  if (nVersion >= 158) AddField1(&m_bMirrorAngle);
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
  if (nVersion >= 162) AddField1(&m_bKeepFacing);
  AddField1(&m_nTimingMode);
  AddField2(&m_nSpeed);
  AddField2(&m_nSpeedPerLevel);
  AddField2(&m_nDistance);
  AddField2(&m_nDistancePerLevel);
  if (nVersion >= 159) AddField1(&m_nDistanceUnit);
  AddField2(&m_nRadius);
  AddField2(&m_nRadiusPerLevel);
  AddField1(&m_bInertia);
  AddField2(&m_nMaxSpeed);
  AddField8(&m_fBrake);
  if (nVersion >= 162) AddField1(&m_bKeepAnime);
}

void cEdMove::Load(cDataReader& in) {
  cRecord::Load(in);
  const std::uint32_t v = g_nLoadVersion;
  // A payload written before a member existed goes on as it behaved then.
  if (v < 158) m_bMirrorAngle = 0;
  if (v < 159) m_nDistanceUnit = 0;
  if (v < 162) m_bKeepFacing = m_bKeepAnime = 0;
}
