// The sample's sound effects, synthesised: the seventeen system sounds and the sounds of
// the sound database, as PCM WAV files of 22050 Hz, 8 bits, mono.
#pragma once
#include <string>
#include <vector>

namespace sample {

struct SoundFile {
  std::string path;   // program form, relative to the project folder
  std::string bytes;  // the whole WAV file
};

// "wave\sys00.wav" to "wave\sys16.wav", the system sounds in sound-table order.
std::string SystemSoundPath(int n);
// The sound database's files, entry 1 on: jump, coin, goal.
const std::vector<std::string>& DatabaseSoundPaths();

std::vector<SoundFile> SampleSounds();

// A RIFF WAVE file of 8-bit unsigned mono PCM samples.
std::string EncodeWav(const std::vector<unsigned char>& samples, int rate);

}  // namespace sample
