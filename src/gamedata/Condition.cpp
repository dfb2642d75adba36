#include "gamedata/Condition.h"

std::int16_t g_nRetiredShort = 0;

void cEdCondition::BindFields(std::uint32_t nVersion) {
  AddField1(&m_nKind);
  AddField4(&m_nValue);
  if (nVersion >= VERSION_CONDITION_OPERANDS) {
    AddField4(&m_nRandomMin);
    AddField4(&m_nRandomMax);
    AddField1(&m_nWhose);
    AddField1(&m_nStatus);
  } else {
    AddField2(&g_nRetiredShort);
    AddField2(&g_nRetiredShort);
  }
  if (nVersion >= VERSION_CONDITION_OPERANDS) {
    AddField1(&m_nSubject);
    AddField1(&m_nVarKind);
    AddField2(&m_nIndex);
    AddField1(&m_nOperandKind);
    AddField1(&m_nOperandWhose);
    AddField1(&m_nOperandStatus);
    AddField1(&m_nOperandVarKind);
    AddField2(&m_nOperandIndex);
  }
  AddField1(&m_nCompare);
  if (nVersion >= VERSION_CONDITION_PERCENT) AddField1(&m_bPercent);
  AddField1(&m_nAxis);
}

namespace {

// Status numbers of a character (not of the system) from nFrom on move up by one.
void ShiftCharaStatus(std::int8_t nWhose, std::int8_t& nStatus, int nFrom) {
  if (nWhose != 2 && nStatus >= nFrom) ++nStatus;
}

}  // namespace

void cEdCondition::Load(cDataReader& in) {
  cRecord::Load(in);
  const std::uint32_t v = g_nLoadVersion;
  if (v < VERSION_CONDITION_KINDS_AT_5 && m_nKind >= 5) m_nKind = static_cast<std::int8_t>(m_nKind + 2);
  if (v < VERSION_ON_BLOCK_COMPARE && m_nKind == 6 && m_nStatus == 2)
    m_nCompare = static_cast<std::int8_t>(m_nCompare ^ 1);
  // Statuses inserted into the character status list at 10, then at 5.
  for (auto [nBelow, nFrom] : {std::pair{VERSION_DEFENCE, 10}, std::pair{VERSION_CHARA_ID_STATUS, 5}}) {
    if (v < nBelow && m_nKind == 4) {
      if (m_nSubject == 0) ShiftCharaStatus(m_nWhose, m_nStatus, nFrom);
      if (m_nOperandKind == 2) ShiftCharaStatus(m_nOperandWhose, m_nOperandStatus, nFrom);
    }
  }
  // The auto scroll sync state inserted at 6.
  if (v < VERSION_AUTO_SCROLL_SYNC && m_nKind == 5 && m_nWhose != 2 && m_nStatus >= 6) ++m_nStatus;
  Check();
}
