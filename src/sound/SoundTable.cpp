#include "sound/SoundTable.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Log.h"

cVector<DS_SOUNDSET> g_SoundTable;
cVector<DS_SOUNDINFO> g_SoundInfo;
const int g_VolumeTable[11] = {-10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};

namespace {

constexpr int kSystemSounds = 17;

void SetInfo(DS_SOUNDINFO& info, const std::string& name) {
  std::size_t n = std::min(name.size(), sizeof info.szFileName - 1);
  std::memcpy(info.szFileName, name.data(), n);
  info.szFileName[n] = 0;
  info.nCount = 1;
  info.lVolume = 0;
  info.bUsed = 1;
}

}  // namespace

bool SetUpSoundTable(plat::WindowToken hwnd, const std::vector<std::string>& systemSounds,
                     const std::vector<std::string>& soundFiles, int volumeStep) {
  // Entry 0 of the database always exists (it stands for no sound), so 17 entries at least.
  int count = static_cast<int>(std::max<std::size_t>(soundFiles.size(), 1)) + kSystemSounds - 1;
  g_SoundTable.resize(count);
  g_SoundInfo.resize(count);
  for (int i = 0; i < kSystemSounds; ++i)
    SetInfo(g_SoundInfo[i], i < static_cast<int>(systemSounds.size()) ? systemSounds[i] : std::string());
  for (int i = kSystemSounds; i < count; ++i) SetInfo(g_SoundInfo[i], soundFiles[i - (kSystemSounds - 1)]);
  if (!DS_Init(hwnd, 22050, 8, 1)) {
    DebugLog("DS_Init失敗！");
    return false;
  }
  DS_CreateSoundTable(&g_SoundTable, &g_SoundInfo, g_VolumeTable[std::clamp(volumeStep, 0, 10)]);
  return true;
}

std::intptr_t RequestSystemSound(int n) {
  return plat::send(g_hWnd.load(), plat::Msg{appmsg::PlaySound, static_cast<std::uintptr_t>(n), 0});
}

std::intptr_t RequestSound(std::int16_t n) {
  if (n == 0) return 0;
  return plat::send(g_hWnd.load(), plat::Msg{appmsg::PlaySound, static_cast<std::uintptr_t>(n + 16), 0});
}

std::intptr_t HandleSoundRequest(std::uintptr_t index) {
  try {
    // A bad index is logged, asks the program to close and plays entry 0.
    DS_Play(&g_SoundTable[static_cast<int>(index)], 0);
  } catch (const std::out_of_range&) {
    // no table at all: already reported by the subscript
  }
  return 0;
}
