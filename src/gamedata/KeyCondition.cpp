#include "gamedata/KeyCondition.h"

#include "gamedata/RecordList.h"

void cEdKeyCondition::Reset() {
  Clear();
  m_KeyStates.assign(KEY_CHANNEL_COUNT, 0);
}

void cEdKeyCondition::BindFields(std::uint32_t) {
  AddField1(&m_bFacingRelative);
  AddField2(&m_nMinFrames);
  AddField2(&m_nMaxFrames);
  AddField1(&m_bAnyLength);
  AddField1(&m_nRule);
}

void cEdKeyCondition::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadValueList(in, m_KeyStates);
  Check();
}

void cEdKeyCondition::Save(cDataWriter& out) {
  Check();
  cRecord::Save(out);
  SaveValueList(out, m_KeyStates);
}
