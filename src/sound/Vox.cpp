#include "sound/Vox.h"

#include "core/Log.h"

cVoxPlayer* CreateVox() {
  auto device = plat::audio::currentDevice();
  if (!device) device = plat::audio::acquireDevice(nullptr);
  return device ? new cVoxPlayer(std::move(device)) : nullptr;
}

int cVox::Init() {
  if (!plat::audio::oggEngineAvailable()) {
    ErrorBoxPrintf("oggの初期化に失敗！");
    return 0;
  }
  // Without a sound device Ogg is not at fault: the sound table's start reports the device.
  m_hModule = plat::audio::acquireDevice(nullptr);
  m_pfnCreateVox = m_hModule ? &CreateVox : nullptr;
  if (!m_pfnCreateVox) {
    DebugLog("oggの初期化に失敗！");
    return 0;
  }
  return 1;
}

int cVox::CreateChannels(int n) {
  m_nChannels = n;
  for (cVoxPlayer* p : m_lpPlayers)
    if (p) p->Delete();
  m_lpPlayers.assign(n > 0 ? n : 0, nullptr);
  m_nCurrent = -1;
  for (int i = 0; i < n; ++i) {
    m_lpPlayers[i] = m_pfnCreateVox ? m_pfnCreateVox() : nullptr;
    if (!m_lpPlayers[i]) {
      OutOfMemory();
      return 0;
    }
  }
  return 1;
}

int cVox::Play(int channel, const char* file, int loop) {
  if (!file || !*file) return 0;
  if (channel < 0 || channel >= static_cast<int>(m_lpPlayers.size()) || !m_lpPlayers[channel]) return 0;
  Stop();
  cVoxPlayer* p = m_lpPlayers[channel];
  p->Close();
  if (!p->Load(file)) {
    m_nCurrent = -1;
    return 0;
  }
  p->SetLoop(loop ? 0x7FFFFFFF : 0);
  p->Play();
  m_nCurrent = channel;
  return 1;
}

void cVox::Stop() {
  if (m_nCurrent == -1) return;
  if (m_nCurrent < static_cast<int>(m_lpPlayers.size()) && m_lpPlayers[m_nCurrent]) m_lpPlayers[m_nCurrent]->Stop();
  m_nCurrent = -1;
}

void cVox::Release() {
  for (cVoxPlayer*& p : m_lpPlayers) {
    if (p) p->Delete();
    p = nullptr;
  }
  m_lpPlayers.clear();
  m_nChannels = 0;
  m_nCurrent = -1;
  m_hModule.reset();
  m_pfnCreateVox = nullptr;
}
