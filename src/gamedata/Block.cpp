#include "gamedata/Block.h"

#include <algorithm>

#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"

void cEdBlock::BindFields(std::uint32_t) {
  AddField1(&m_nBasePalette);
  AddField2(&m_nBaseIndex);
  AddField1(&m_nConditionRule);
  AddField1(&m_bLatchConditions);
  AddField2(&m_nImage);
  AddField1(&m_nImageSheet);
  AddField2(&m_nImageSub);
  AddField1(&m_nLayer);
  AddField1(&m_bTransparent);
  AddField1(&m_nMarkShow);
  AddField2(&m_nMark);
  AddField1(&m_nHit);
  AddField1(&m_nPassGroup);
  AddField1(&m_nEffect);
  AddField4(&m_nEffectValue);
  AddField1(&m_nItemPalette);
  AddField2(&m_nItemIndex);
  AddField1(&m_bFixed);
  AddString(&m_strText);
}

void cEdBlock::Reset() {
  cEdBlock fresh;
  fresh.m_nX = m_nX;
  fresh.m_nY = m_nY;
  fresh.m_Conditions = std::move(m_Conditions);
  *this = std::move(fresh);
}

void cEdBlock::Load(cDataReader& in) {
  cRecord::Load(in);
  in.ReadValue(m_nX);
  in.ReadValue(m_nY);
  LoadValueList(in, m_Inherit);
  LoadRecordList(in, m_Conditions);
  // Version 219 put a new image at the head of the shot sheet (images 0 to 119).
  if (g_nLoadVersion < VERSION_SHOT_SHEET_IMAGE && m_nImageSheet == 3)
    m_nImage = static_cast<std::int16_t>(std::min(m_nImage + 1, 119));
  Inherit();
  Normalize();
}

void cEdBlock::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  out.WriteValue(m_nX);
  out.WriteValue(m_nY);
  SaveValueList(out, m_Inherit);
  SaveRecordList(out, m_Conditions);
}

void cEdBlock::Inherit() {
  const cEdBlock* pBase = FindInheritBase(*this, g_CommonPalette.m_Blocks, g_Stage.m_Palette.m_Blocks);
  if (!pBase) return;
  for (int i = 0; i < m_Inherit.Size(); ++i) {
    if (m_Inherit[i]) CopyGroup(i, *pBase);
  }
}

void cEdBlock::CopyGroup(int nGroup, const cEdBlock& base) {
  switch (nGroup) {
    case BLOCK_INHERIT_TEXT: m_strText = base.m_strText; break;
    case BLOCK_INHERIT_CONDITIONS:
      m_Conditions = base.m_Conditions;
      m_nConditionRule = base.m_nConditionRule;
      m_bLatchConditions = base.m_bLatchConditions;
      break;
    case BLOCK_INHERIT_IMAGE:
      m_nImageSheet = base.m_nImageSheet;
      m_nImage = base.m_nImage;
      m_nImageSub = base.m_nImageSub;
      break;
    case BLOCK_INHERIT_LAYER: m_nLayer = base.m_nLayer; break;
    case BLOCK_INHERIT_TRANSPARENT: m_bTransparent = base.m_bTransparent; break;
    case BLOCK_INHERIT_MARK:
      m_nMarkShow = base.m_nMarkShow;
      m_nMark = base.m_nMark;
      break;
    case BLOCK_INHERIT_HIT: m_nHit = base.m_nHit; break;
    case BLOCK_INHERIT_PASS_GROUP: m_nPassGroup = base.m_nPassGroup; break;
    case BLOCK_INHERIT_EFFECT:
      m_nEffect = base.m_nEffect;
      m_nEffectValue = base.m_nEffectValue;
      break;
    case BLOCK_INHERIT_ITEM:
      m_nItemPalette = base.m_nItemPalette;
      m_nItemIndex = base.m_nItemIndex;
      break;
    case BLOCK_INHERIT_FIXED: m_bFixed = base.m_bFixed; break;
    default: break;  // flags past the last group have nothing to copy
  }
}

void cEdBlock::Normalize() {
  CheckBaseRef(*this, DEF_BLOCK);
  if (m_nImage == 0) {
    m_nHit = 0;
    m_bFixed = 0;
  }
}

void cEdBlock::CheckPaletteRefs() {
  const int nSize = ReferencedListSize(static_cast<std::int8_t>(m_nItemPalette), DEF_ITEM);
  if (nSize >= 0 && !IsValidRef(m_nItemIndex, nSize)) {
    m_nItemPalette = REF_NONE;
    m_nItemIndex = 0;
  }
}
