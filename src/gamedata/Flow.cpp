#include "gamedata/Flow.h"

#include "base/AppGlobals.h"
#include "gamedata/DataRefs.h"
#include "gamedata/RecordList.h"

void cEdFlow::BindFields(std::uint32_t) {
  AddField1(&m_nID);
  AddField1(&m_nSwitch);
  AddField1(&m_bTestOnly);
  AddField1(&m_nConditionRule);
  AddField1(&m_bLatchConditions);
  AddField1(&m_nTrigger);
  AddField1(&m_nKeyTolerance);
  AddField1(&m_bKeyContinuous);
}

void cEdFlow::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadRecordList(in, m_Conditions);
  LoadRecordList(in, m_KeyConditions);
  LoadRecordList(in, m_Commands);
  const std::uint32_t v = g_nLoadVersion;
  // Triggers inserted into the list: one at 11, then two at 5.
  if (v < VERSION_TRIGGER_AT_11 && m_nTrigger >= 11) m_nTrigger = static_cast<std::int8_t>(m_nTrigger + 1);
  if (v < VERSION_SWITCH_ON_ANY_TRIGGER && m_nTrigger != 0) m_nSwitch = 0;
  if (v < VERSION_TRIGGERS_AT_5 && m_nTrigger >= 5) m_nTrigger = static_cast<std::int8_t>(m_nTrigger + 2);
  Normalize();
}

void cEdFlow::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  SaveRecordList(out, m_Conditions);
  SaveRecordList(out, m_KeyConditions);
  SaveRecordList(out, m_Commands);
}

void cEdFlow::Normalize() {
  for (cEdCondition& condition : m_Conditions) condition.Check();
  for (cEdKeyCondition& step : m_KeyConditions) step.Check();
  for (cEdCommand& command : m_Commands) command.Normalize();
}

void cEdFlow::CheckPaletteRefs() {
  for (cEdCommand& command : m_Commands) command.CheckPaletteRefs();
}

void LoadFlowList(cDataReader& in, cVector<cEdFlow>& list) {
  cEdFlow element;
  element.m_nKeyTolerance = 3;
  LoadRecordList(in, list, element);
}

void DropTestOnlyFlows(cVector<cEdFlow>& list) {
  std::erase_if(list, [](const cEdFlow& flow) { return flow.m_bTestOnly != 0; });
}

bool ShouldDropTestOnlyFlows() { return !g_bFromEditor.load() && !DataRefs().KeepTestOnlyFlows(); }
