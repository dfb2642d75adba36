#include "gamedata/Chara.h"

#include <algorithm>

#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"

void cEdChara::BindFields(std::uint32_t nVersion) {
  AddField1(&m_nBasePalette);
  AddField2(&m_nBaseIndex);
  AddField1(&m_nConditionRule);
  AddField1(&m_bLatchConditions);
  AddField1(&m_nFacing);
  AddField1(&m_nExtraCopies);
  AddField2(&m_nOffsetXBase);
  AddField2(&m_nOffsetXStep);
  AddField2(&m_nOffsetYBase);
  AddField2(&m_nOffsetYStep);
  AddField1(&m_bOffsetXMirror);
  AddField1(&m_bOffsetYMirror);
  AddField2(&m_nImage);
  AddField1(&m_nImageSheet);
  AddField2(&m_nImageSub);
  AddField2(&m_nAnimeSet);
  AddField1(&m_nZ);
  AddField1(&m_bTransparent);
  AddField2(&m_nCharaEffect);
  if (nVersion >= VERSION_EFFECT_PARAMS) AddField1(&m_nCharaEffectParamA);
  AddField1(&m_nCharaEffectParamB);
  AddField2(&m_nDeathEffect);
  if (nVersion >= VERSION_EFFECT_PARAMS) AddField1(&m_nDeathEffectParam);
  AddField1(&m_nMarkShow);
  AddField2(&m_nMark);
  AddField1(&m_nOperator);
  AddField1(&m_nPad);
  AddField1(&m_nPassNumber);
  AddField1(&m_nCharaID);
  AddField1(&m_nFlying);
  AddField1(&m_bFixedFacing);
  AddField1(&m_nInvincible);
  if (nVersion >= VERSION_CHARA_INVINCIBLE_COLOR) AddField1(&m_nInvincibleColor);
  AddField1(&m_bBlockChara);
  AddField1(&m_nScale);
  if (nVersion >= VERSION_AUTO_SCROLL_SYNC) AddField1(&m_bAutoScrollSync);
  AddField1(&m_nSightShape);
  AddField1(&m_nSightRange);
  AddField4(&m_nMaxHP);
  AddField4(&m_nMaxSP);
  AddField2(&m_nStopEase);
  if (nVersion >= VERSION_BLOCK_BOX) AddField1(&m_nBlockBox);
  AddField4(&m_nBodyPower);
  AddField1(&m_nBodyImpact);
  AddField2(&m_nBodyHitEffect);
  if (nVersion >= VERSION_DEFENCE) AddField4(&m_nDefence);
  AddField1(&m_nImpactResist);
  AddField4(&m_nScore);
  AddField1(&m_nGroup35);
  AddField1(&m_bActivationGroup);
  AddField2(&m_nActivationGroup);
  AddField1(&m_nActivationRange);
  AddField1(&m_nActivationRule);
  AddString(&m_strText);
}

void cEdChara::Reset() {
  cEdChara fresh;
  fresh.m_nX = m_nX;
  fresh.m_nY = m_nY;
  fresh.m_Conditions = std::move(m_Conditions);
  fresh.m_Flows = std::move(m_Flows);
  *this = std::move(fresh);
}

void cEdChara::Load(cDataReader& in) {
  cRecord::Load(in);
  in.ReadValue(m_nX);
  in.ReadValue(m_nY);
  in.ReadValue(m_nCarriedItem);
  LoadValueList(in, m_Inherit);
  LoadRecordList(in, m_Conditions);
  LoadFlowList(in, m_Flows);
  if (ShouldDropTestOnlyFlows()) DropTestOnlyFlows(m_Flows);
  if (g_nLoadVersion < CURRENT_DATA_VERSION) Upgrade();
  Inherit();
  Normalize();
}

// Members a version added get the value that an older file means; properties that became
// inheritable got a flag inserted at their place in the list, which is below today's place
// by the flags inserted beneath it later.
void cEdChara::Upgrade() {
  const std::uint32_t v = g_nLoadVersion;
  if (v < VERSION_DEFENCE) {
    m_nDefence = 0;
    InsertInheritFlag(m_Inherit, CHARA_INHERIT_COUNT, CHARA_INHERIT_DEFENCE - 2);
  }
  if (v < VERSION_EFFECT_PARAMS) {
    m_nCharaEffectParamA = 0;
    m_nDeathEffectParam = 0;
  }
  if (v < VERSION_BLOCK_BOX) {
    m_nBlockBox = 0;
    InsertInheritFlag(m_Inherit, CHARA_INHERIT_COUNT, CHARA_INHERIT_BLOCK_BOX - 1);
  }
  // Value 2 was inserted into the list of boxes at version 206.
  if (v < VERSION_BLOCK_BOX_2 && m_nBlockBox >= 2) ++m_nBlockBox;
  if (v < VERSION_AUTO_SCROLL_SYNC) {
    m_bAutoScrollSync = 0;
    InsertInheritFlag(m_Inherit, CHARA_INHERIT_COUNT, CHARA_INHERIT_AUTO_SCROLL_SYNC);
  }
  if (v < VERSION_SHOT_SHEET_IMAGE && m_nImageSheet == 3)
    m_nImage = static_cast<std::int16_t>(std::min(m_nImage + 1, 119));
  if (v < VERSION_CHARA_INVINCIBLE_COLOR) m_nInvincibleColor = 1;
}

void cEdChara::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  out.WriteValue(m_nX);
  out.WriteValue(m_nY);
  out.WriteValue(m_nCarriedItem);
  SaveValueList(out, m_Inherit);
  SaveRecordList(out, m_Conditions);
  SaveRecordList(out, m_Flows);
}

void cEdChara::Inherit() {
  const cEdChara* pBase = FindInheritBase(*this, g_CommonPalette.m_Charas, g_Stage.m_Palette.m_Charas);
  if (!pBase) return;
  for (int i = 0; i < m_Inherit.Size(); ++i) {
    if (m_Inherit[i]) CopyGroup(i, *pBase);
  }
}

void cEdChara::CopyGroup(int nGroup, const cEdChara& b) {
  switch (nGroup) {
    case CHARA_INHERIT_TEXT: m_strText = b.m_strText; break;
    case CHARA_INHERIT_OPERATOR:
      m_nOperator = b.m_nOperator;
      m_nPad = b.m_nPad;
      break;
    case CHARA_INHERIT_PASS_NUMBER: m_nPassNumber = b.m_nPassNumber; break;
    case CHARA_INHERIT_CHARA_ID: m_nCharaID = b.m_nCharaID; break;
    case CHARA_INHERIT_CONDITIONS:
      m_Conditions = b.m_Conditions;
      m_nConditionRule = b.m_nConditionRule;
      m_bLatchConditions = b.m_bLatchConditions;
      break;
    case CHARA_INHERIT_FACING: m_nFacing = b.m_nFacing; break;
    case CHARA_INHERIT_EXTRA_COPIES: m_nExtraCopies = b.m_nExtraCopies; break;
    case CHARA_INHERIT_OFFSET_X:
      m_nOffsetXBase = b.m_nOffsetXBase;
      m_nOffsetXStep = b.m_nOffsetXStep;
      m_bOffsetXMirror = b.m_bOffsetXMirror;
      break;
    case CHARA_INHERIT_OFFSET_Y:
      m_nOffsetYBase = b.m_nOffsetYBase;
      m_nOffsetYStep = b.m_nOffsetYStep;
      m_bOffsetYMirror = b.m_bOffsetYMirror;
      break;
    case CHARA_INHERIT_IMAGE:
      m_nImageSheet = b.m_nImageSheet;
      m_nImage = b.m_nImage;
      m_nImageSub = b.m_nImageSub;
      break;
    case CHARA_INHERIT_ANIME_SET: m_nAnimeSet = b.m_nAnimeSet; break;
    case CHARA_INHERIT_Z: m_nZ = b.m_nZ; break;
    case CHARA_INHERIT_TRANSPARENT: m_bTransparent = b.m_bTransparent; break;
    case CHARA_INHERIT_CHARA_EFFECT:
      m_nCharaEffect = b.m_nCharaEffect;
      m_nCharaEffectParamA = b.m_nCharaEffectParamA;
      m_nCharaEffectParamB = b.m_nCharaEffectParamB;
      break;
    case CHARA_INHERIT_DEATH_EFFECT:
      m_nDeathEffect = b.m_nDeathEffect;
      m_nDeathEffectParam = b.m_nDeathEffectParam;
      break;
    case CHARA_INHERIT_MARK:
      m_nMarkShow = b.m_nMarkShow;
      m_nMark = b.m_nMark;
      break;
    case CHARA_INHERIT_FIXED_FACING: m_bFixedFacing = b.m_bFixedFacing; break;
    case CHARA_INHERIT_FLYING: m_nFlying = b.m_nFlying; break;
    case CHARA_INHERIT_INVINCIBLE:
      m_nInvincible = b.m_nInvincible;
      m_nInvincibleColor = b.m_nInvincibleColor;
      break;
    case CHARA_INHERIT_BLOCK_CHARA: m_bBlockChara = b.m_bBlockChara; break;
    case CHARA_INHERIT_SCALE: m_nScale = b.m_nScale; break;
    case CHARA_INHERIT_AUTO_SCROLL_SYNC: m_bAutoScrollSync = b.m_bAutoScrollSync; break;
    case CHARA_INHERIT_SIGHT:
      m_nSightShape = b.m_nSightShape;
      m_nSightRange = b.m_nSightRange;
      break;
    case CHARA_INHERIT_MAX_HP: m_nMaxHP = b.m_nMaxHP; break;
    case CHARA_INHERIT_MAX_SP: m_nMaxSP = b.m_nMaxSP; break;
    case CHARA_INHERIT_BLOCK_BOX: m_nBlockBox = b.m_nBlockBox; break;
    case CHARA_INHERIT_BODY_POWER: m_nBodyPower = b.m_nBodyPower; break;
    case CHARA_INHERIT_BODY_IMPACT: m_nBodyImpact = b.m_nBodyImpact; break;
    case CHARA_INHERIT_BODY_HIT_EFFECT: m_nBodyHitEffect = b.m_nBodyHitEffect; break;
    case CHARA_INHERIT_DEFENCE: m_nDefence = b.m_nDefence; break;
    case CHARA_INHERIT_IMPACT_RESIST: m_nImpactResist = b.m_nImpactResist; break;
    case CHARA_INHERIT_STOP_EASE: m_nStopEase = b.m_nStopEase; break;
    case CHARA_INHERIT_ACTIVATION_RANGE:
      m_nActivationRange = b.m_nActivationRange;
      m_nActivationRule = b.m_nActivationRule;
      break;
    case CHARA_INHERIT_ACTIVATION_GROUP:
      m_nActivationGroup = b.m_nActivationGroup;
      m_bActivationGroup = b.m_bActivationGroup;
      break;
    case CHARA_INHERIT_SCORE: m_nScore = b.m_nScore; break;
    case CHARA_INHERIT_GROUP_35: m_nGroup35 = b.m_nGroup35; break;
    case CHARA_INHERIT_FLOWS: m_Flows = b.m_Flows; break;
    default: break;
  }
}

void cEdChara::Normalize() {
  CheckBaseRef(*this, DEF_CHARA);
  if (m_nImageSheet == 4) RepairIndex(m_nImage, DB_CHARA_BMP, std::int16_t{1});
  if (m_nScale == 0) m_nScale = 1;
  RepairIndex(m_nAnimeSet, DB_ANIME_SET, std::int16_t{1});
  RepairIndex(m_nCharaEffect, DB_CHARA_EFFECT, std::int16_t{0});
  RepairIndex(m_nDeathEffect, DB_CHARA_EFFECT, std::int16_t{0});
  RepairIndex(m_nBodyHitEffect, DB_EFFECT, std::int16_t{0});
  for (cEdFlow& flow : m_Flows) flow.Normalize();
  std::erase_if(m_Flows, [](const cEdFlow& flow) {
    return flow.m_Conditions.empty() && flow.m_KeyConditions.empty() && flow.m_Commands.empty();
  });
}

void cEdChara::CheckPaletteRefs() {
  for (cEdFlow& flow : m_Flows) flow.CheckPaletteRefs();
}

double cEdChara::OffsetX(int n, int nFacing) const {
  double d = static_cast<double>(n) * m_nOffsetXStep + m_nOffsetXBase;
  return nFacing == 1 && m_bOffsetXMirror ? -d : d;
}

double cEdChara::OffsetY(int n, int nFacing) const {
  double d = static_cast<double>(n) * m_nOffsetYStep + m_nOffsetYBase;
  return nFacing == 1 && m_bOffsetYMirror ? -d : d;
}
