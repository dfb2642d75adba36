// The sound-effect interface: free functions with the prefix DS_ over plain records.
// Failures are a false result and a line in the debug log. Before DS_Init and after
// DS_UnInit there is no device: every call does nothing and reports success or 0.
#pragma once
#include <cstdint>
#include <memory>

#include "base/Vector.h"
#include "platform/messaging.h"
#include "platform/sound_buffer.h"
#include "platform/wav.h"

// One WAV file read into memory.
struct DS_WAVEDATA {
  plat::audio::WavFormat wfx;
  std::unique_ptr<std::uint8_t[]> lpData;  // the "data" chunk; owned until DS_FreeWave
  std::uint32_t dwSize = 0;
};

// One playable sound: buffer 0 loaded from the file, buffers 1.. duplicates of it.
// lpBuffers null: not built yet; buffer 0 null: silent.
struct DS_SOUNDSET {
  char szName[260] = {};
  plat::audio::SoundBuffer** lpBuffers = nullptr;  // owned array of nCount buffers
  int nCount = 0;
  int nNext = 0;  // the buffer the next play uses
};

// How to build one set.
struct DS_SOUNDINFO {
  char szFileName[260] = {};
  int nCount = 0;
  int lVolume = 0;  // hundredths of a decibel, used when the master volume is 0
  int bUsed = 0;
};

bool DS_Init(plat::WindowToken hwnd, int samplesPerSec, int bitsPerSample, int channels);
void DS_UnInit();
int DS_CreateSoundTable(cVector<DS_SOUNDSET>* sets, cVector<DS_SOUNDINFO>* infos, int masterVolume);
bool DS_CreateSoundSet(DS_SOUNDSET* set, const char* fileName, int count, int volume);
void DS_ReleaseSoundSet(DS_SOUNDSET* set);
bool DS_CreateBuffer(plat::audio::SoundBuffer** buffer, const char* fileName);
bool DS_LoadWave(const char* fileName, DS_WAVEDATA* wave);
void DS_FreeWave(DS_WAVEDATA* wave);
bool DS_DuplicateBuffer(plat::audio::SoundBuffer** duplicate, plat::audio::SoundBuffer* source);
void DS_Play(DS_SOUNDSET* set, int flags);
int DS_SetVolume(DS_SOUNDSET* set, int index, int volume, int relative);
int DS_GetVolume(DS_SOUNDSET* set, int index);

// The primary format DS_Init was asked for: accepted and kept, the mix does not use it.
plat::audio::WavFormat DS_GetPrimaryFormat();
