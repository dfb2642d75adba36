// Reads arbitrary bytes as "System.ini" against the descriptors of a new project, or,
// when the first byte is odd, against a descriptor list cut short.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/SystemIni.h"
#include "gamedata/System.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const cEdSystem system;
  static const cVector<cEdSetting> shortList(system.m_Settings.begin(), system.m_Settings.begin() + 3);
  const cVector<cEdSetting>& settings = data[0] & 1 ? shortList : system.m_Settings;
  SYSTEMINIDATA ini;
  SetSystemIniDefaults(ini, settings);
  ParseSystemIni(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), ini, settings);
  if (ini.m_szFreeStage.size() > MAX_FREE_STAGE_BYTES) __builtin_trap();
  return 0;
}
