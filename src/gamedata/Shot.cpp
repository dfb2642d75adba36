#include "gamedata/Shot.h"

#include "gamedata/DataRefs.h"

void cEdShot::BindFields(std::uint32_t nVersion) {
  AddField1(&m_nGroupCount);
  AddField1(&m_nFormation);
  AddField2(m_nFormationValues, 3);
  AddField1(&m_nDirection);
  AddField1(&m_bAimAtTarget);
  AddField2(&m_nAngle);
  AddField2(&m_nAngleStep);
  if (nVersion >= VERSION_MIRROR_ANGLE) AddField1(&m_bMirrorAngle);
  AddField2(&m_nSpread);
  AddField1(&m_nSetting10);
  AddField1(&m_nExtraShots);
  AddField2(&m_nSetting12);
  AddField2(&m_nSetting13);
  AddField2(&m_nSetting14);
  AddField2(&m_nSetting15);
  AddField1(&m_nSetting16);
  AddField1(&m_nSetting17);
  AddField2(&m_nGraphic);
  AddField1(&m_nSetting19);
  AddField1(&m_bInvisible);
  AddField1(&m_bShooterLayer);
  AddField1(&m_nLayer);
  AddField1(&m_nSetting23);
  AddField1(&m_nSize);
  AddField1(&m_nSetting25);
  AddField1(&m_nMotion);
  AddField2(m_nMotionValues, 3);
  if (nVersion >= VERSION_SHOT_SCROLL_SYNC) AddField1(&m_bScrollSync);
  AddField2(&m_nSpeed);
  AddField2(&m_nSpeedStep);
  if (nVersion >= VERSION_SHOT_ACCELERATION) {
    AddField1(&m_bAccelerate);
    AddField2(&m_nAccel);
    AddField2(&m_nAccelPerLevel);
  }
  AddField2(&m_nRange);
  AddField1(&m_bRangeLimit);
  AddField2(&m_nRangeStep);
  AddField1(&m_bStopAtLimit);
  AddField1(&m_bTimeLimit);
  AddField2(&m_nLife);
  AddField2(&m_nLifeStep);
  AddField1(&m_nBlockMode);
  AddField1(&m_nSetting42);
  AddField1(&m_bHitsShots);
  AddField1(&m_nShotStrength);
  AddField4(&m_nPower);
  AddField2(&m_nSetting46);
  AddField1(&m_nImpact);
  AddField2(&m_nHitEffect);
  AddField1(&m_nItemSource);
  AddField2(&m_nItem);
  AddField1(&m_nBlockSummonMode);
  AddField1(&m_nSetting52);
  if (nVersion >= VERSION_SUMMON_CLEAR_OF_CHARAS) AddField1(&m_nSetting53);
  AddField1(&m_nSummonPalette);
  AddField2(&m_nSummon);
  AddField1(&m_nSummonLayer);
  AddField1(&m_nSetting57);
  AddField1(&m_bSummonOpposite);
}

void cEdShot::Load(cDataReader& in) {
  cRecord::Load(in);
  const std::uint32_t v = g_nLoadVersion;
  if (v < VERSION_MIRROR_ANGLE) m_bMirrorAngle = 0;
  if (v < VERSION_SUMMON_CLEAR_OF_CHARAS) m_nSetting53 = m_nSetting52;
  // Before 212 the scroll sync followed from the motion (also over a stored value of 211).
  if (v < VERSION_SHOT_SCROLL_SYNC_KEPT) m_bScrollSync = (m_nMotion >= 4 && m_nMotion <= 7) ? 1 : 0;
  if (v < VERSION_SHOT_ACCELERATION) {
    m_bAccelerate = 0;
    m_nAccel = 0;
    m_nAccelPerLevel = 0;
  }
  FixIndices();
}

void cEdShot::Save(cDataWriter& out) {
  FixIndices();
  cRecord::Save(out);
}

void cEdShot::FixIndices() {
  if (m_nSize < 1) m_nSize = 1;
  if (!IsValidRef(m_nHitEffect, DataRefs().DatabaseSize(DB_EFFECT))) m_nHitEffect = 0;
}

double cEdShot::OffsetX(int nIndex, int nFacing) const {
  const double d = m_nSetting12 + nIndex * m_nSetting13;
  return nFacing == 1 && m_nSetting16 ? -d : d;
}

double cEdShot::OffsetY(int nIndex, int nFacing) const {
  const double d = m_nSetting14 + nIndex * m_nSetting15;
  return nFacing == 1 && m_nSetting17 ? -d : d;
}
