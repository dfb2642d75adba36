// The music player: five tracks (0 title, 1 world map and map menu, 2 stage select,
// 3 options, 4 stage), each a file name played by the Ogg or the MIDI engine as its
// extension says. Scenes and the stage ask for music with appmsg::PlayMusic.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "base/Vector.h"
#include "sound/Midi.h"
#include "sound/Vox.h"

using BgmOggNames = char[260];
using BgmMidiNames = char[264];

// The default name tables, five slots each.
extern char g_BgmOggNames[5][260];
extern char g_BgmMidiNames[5][264];

class cBgmPlayer {
 public:
  ~cBgmPlayer() { Release(); }
  int Init(int channels, BgmOggNames* oggNames, BgmMidiNames* midiNames, int tracks);
  int SetChannelCount(int n);
  int SetTrackFile(int track, const char* file);
  int Play(int channel, int track, int loop, int force);
  void Stop();
  void Release();

  int m_bInit = 0;  // while 0 every operation does nothing and reports success
  cVox m_Vox;
  BgmOggNames* m_lpOggNames = nullptr;
  cMidi m_Midi;
  BgmMidiNames* m_lpMidiNames = nullptr;
  int m_nTrack = -1;
  cVector<int> m_TrackKinds;  // 0 unknown (Ogg, then MIDI), 1 Ogg, 2 MIDI
  cVector<int> m_PlayKinds;   // per channel: 0 none, 1 Ogg, 2 MIDI
  // The window thread serves requests and stops the music on a close while the options
  // scene releases and re-makes the player on the game thread: one at a time.
  std::recursive_mutex m_Lock;
};

extern cBgmPlayer g_BgmPlayer;

// What a music request reads of the project's records and the game's state. Start-up
// fills these in; a link left empty reads as 0 or "" (and writes nothing).
struct cBgmRequestLinks {
  std::function<int(int kind)> screenBgm;      // cEdSystem::m_ScreenBgm[kind], checked subscript
  std::function<int(int kind)> screenBgmLoop;  // cEdSystem::m_ScreenBgmLoop[kind], checked subscript
  std::function<std::string(int n)> bgmFile;   // file name of music-database entry n, checked subscript
  std::function<int()> scene;                  // cSceneManager::m_nScene
  std::function<int()> prevScene;              // cSceneManager::m_nPrevScene
  std::function<void(int n)> setStageBgm;      // cPlayRecord::m_nStageBgm = n
  std::function<int()> stageBgmLoop;           // cPlayRecord::m_bStageBgmLoop
};
extern cBgmRequestLinks g_BgmRequestLinks;

// The main window's appmsg::PlayMusic handler; returns 0.
std::intptr_t HandleBgmRequest(std::uintptr_t kind, std::intptr_t lParam);
