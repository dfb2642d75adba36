#include "gamedata/RecordList.h"

void LoadStringList(cDataReader& in, cVector<std::string>& list) {
  if (in.Failed()) return;
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, sizeof(std::uint32_t)) || !in.ChargeElements(nCount, sizeof(std::string))) return;
  list.assign(nCount, std::string());
  for (std::string& text : list) {
    if (!in.ReadString(text)) break;
  }
}

void SaveStringList(cDataWriter& out, cVector<std::string>& list) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (std::string& text : list) {
    if (std::size_t nZero = text.find('\0'); nZero != std::string::npos) text.resize(nZero);
    out.WriteString(text);
  }
}
