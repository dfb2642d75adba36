// The MIDI engine of the music player: one stream player per channel, made anew at
// every track change.
#pragma once
#include <memory>

#include "base/Vector.h"
#include "sound/MidiPlayer.h"

class cMidi {
 public:
  ~cMidi() { DeleteAll(); }
  // 1 when the file plays; 0 for another extension than "mid" or a file that does not load.
  int Play(int channel, const char* file, int loop);
  void StopAll(int pause);
  void DeleteAll();

  cVector<std::unique_ptr<cMidiPlayer>> m_lpPlayers;  // null where a channel has none
};
