// The sound table: the 17 system sounds, then sound n of the sound database at n + 16.
// Code anywhere asks for a sound by number; the window thread, which owns the device,
// plays it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Vector.h"
#include "platform/messaging.h"
#include "sound/DSound.h"

extern cVector<DS_SOUNDSET> g_SoundTable;
extern cVector<DS_SOUNDINFO> g_SoundInfo;
// The eleven master-volume steps of the sound-volume option, in hundredths of a decibel.
extern const int g_VolumeTable[11];

// Start-up's part: the table from the project's records, the device, the master volume.
//   systemSounds: the 17 system-sound file names of the system settings, in order;
//   soundFiles:   the WAV file name of every sound-database entry (entry 0, no sound, included);
//   volumeStep:   the user's sound-volume option (0 to 10; others are clamped).
// False when the device cannot be opened ("DS_Init失敗！" in the debug log).
bool SetUpSoundTable(plat::WindowToken hwnd, const std::vector<std::string>& systemSounds,
                     const std::vector<std::string>& soundFiles, int volumeStep);

// Senders (any thread; the window thread plays the sound while the sender waits).
std::intptr_t RequestSystemSound(int n);
std::intptr_t RequestSound(std::int16_t n);
// The main window's appmsg::PlaySound handler: plays entry index; returns 0.
std::intptr_t HandleSoundRequest(std::uintptr_t index);
