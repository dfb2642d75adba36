#include "sound/Midi.h"

#include <string>

#include "base/PathUtil.h"

int cMidi::Play(int channel, const char* file, int loop) {
  StopAll(1);
  for (auto& p : m_lpPlayers) p.reset();
  std::string ext;
  if (!file || !GetExtension(ext, file) || ext != "mid") return 0;
  if (m_lpPlayers.empty()) return 0;
  auto& slot = m_lpPlayers[channel];
  slot = std::make_unique<cMidiPlayer>(file);
  if (slot->m_lpImage.empty()) return 0;  // stays in its slot, inert
  slot->Start(loop);
  return 1;
}

void cMidi::StopAll(int pause) {
  for (auto& p : m_lpPlayers)
    if (p) p->Stop(pause);
}

void cMidi::DeleteAll() {
  StopAll(1);
  m_lpPlayers.clear();
}
