#include "gamedata/Item.h"

#include <algorithm>

#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"

void cEdItem::BindFields(std::uint32_t) {
  AddField1(&m_nBasePalette);
  AddField2(&m_nBaseIndex);
  AddField1(&m_nConditionRule);
  AddField1(&m_bLatchConditions);
  AddField2(&m_nOffsetX);
  AddField2(&m_nOffsetY);
  AddField2(&m_nImage);
  AddField1(&m_nImageSheet);
  AddField2(&m_nImageSub);
  AddField1(&m_nGroup5);
  AddField1(&m_bTransparent);
  AddField1(&m_nMarkShow);
  AddField2(&m_nMark);
  AddField1(&m_bShowOnTake);  // stored before the take mode
  AddField1(&m_nTakeMode);
  AddField1(&m_nScale);
  AddField2(&m_nTakeSound);
  AddString(&m_strText);
}

void cEdItem::Reset() {
  cEdItem fresh;
  fresh.m_nX = m_nX;
  fresh.m_nY = m_nY;
  fresh.m_Conditions = std::move(m_Conditions);
  fresh.m_Commands = std::move(m_Commands);
  *this = std::move(fresh);
}

void cEdItem::Load(cDataReader& in) {
  cRecord::Load(in);
  in.ReadValue(m_nX);
  in.ReadValue(m_nY);
  LoadValueList(in, m_Inherit);
  LoadRecordList(in, m_Conditions);
  LoadRecordList(in, m_Commands);
  if (g_nLoadVersion < VERSION_SHOT_SHEET_IMAGE && m_nImageSheet == 3)
    m_nImage = static_cast<std::int16_t>(std::min(m_nImage + 1, 119));
  Inherit();
  Normalize();
}

void cEdItem::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  out.WriteValue(m_nX);
  out.WriteValue(m_nY);
  SaveValueList(out, m_Inherit);
  SaveRecordList(out, m_Conditions);
  SaveRecordList(out, m_Commands);
}

void cEdItem::Inherit() {
  const cEdItem* pBase = FindInheritBase(*this, g_CommonPalette.m_Items, g_Stage.m_Palette.m_Items);
  if (!pBase) return;
  for (int i = 0; i < m_Inherit.Size(); ++i) {
    if (m_Inherit[i]) CopyGroup(i, *pBase);
  }
}

void cEdItem::CopyGroup(int nGroup, const cEdItem& b) {
  switch (nGroup) {
    case ITEM_INHERIT_TEXT: m_strText = b.m_strText; break;
    case ITEM_INHERIT_CONDITIONS:
      m_Conditions = b.m_Conditions;
      m_nConditionRule = b.m_nConditionRule;
      m_bLatchConditions = b.m_bLatchConditions;
      break;
    case ITEM_INHERIT_OFFSET_X: m_nOffsetX = b.m_nOffsetX; break;
    case ITEM_INHERIT_OFFSET_Y: m_nOffsetY = b.m_nOffsetY; break;
    case ITEM_INHERIT_IMAGE:
      m_nImageSheet = b.m_nImageSheet;
      m_nImage = b.m_nImage;
      m_nImageSub = b.m_nImageSub;
      break;
    case ITEM_INHERIT_GROUP_5: m_nGroup5 = b.m_nGroup5; break;
    case ITEM_INHERIT_TRANSPARENT: m_bTransparent = b.m_bTransparent; break;
    case ITEM_INHERIT_MARK:
      m_nMarkShow = b.m_nMarkShow;
      m_nMark = b.m_nMark;
      break;
    case ITEM_INHERIT_SCALE: m_nScale = b.m_nScale; break;
    case ITEM_INHERIT_TAKE_MODE: m_nTakeMode = b.m_nTakeMode; break;
    case ITEM_INHERIT_SHOW_ON_TAKE: m_bShowOnTake = b.m_bShowOnTake; break;
    case ITEM_INHERIT_TAKE_SOUND: m_nTakeSound = b.m_nTakeSound; break;
    case ITEM_INHERIT_COMMANDS: m_Commands = b.m_Commands; break;
    default: break;
  }
}

void cEdItem::Normalize() {
  CheckBaseRef(*this, DEF_ITEM);
  if (m_nScale == 0) m_nScale = 1;
  RepairIndex(m_nTakeSound, DB_SOUND, std::int16_t{0});
  for (cEdCommand& command : m_Commands) command.Normalize();
}

void cEdItem::CheckPaletteRefs() {
  for (cEdCommand& command : m_Commands) command.CheckPaletteRefs();
}

cEdItem* GetItemDef(std::int8_t nPalette, std::int16_t nIndex) {
  cVector<cEdItem>* pList = nullptr;
  if (nPalette == REF_COMMON) pList = &g_CommonPalette.m_Items;
  if (nPalette == REF_STAGE) pList = &g_Stage.m_Palette.m_Items;
  if (!pList || !IsValidRef(nIndex, pList->Size())) return nullptr;
  return &(*pList)[nIndex];
}
