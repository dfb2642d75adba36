#include "SampleSounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "gamedata/System.h"

namespace sample {

namespace {

constexpr int RATE = 22050;

enum class Wave { Square, Triangle, Noise };

// One tone: a pitch sliding from f0 to f1 over its length, a short attack and a fade.
struct Tone {
  double f0, f1, seconds;
  Wave wave = Wave::Square;
  double volume = 1.0;
};

std::vector<unsigned char> Render(const std::vector<Tone>& tones) {
  std::vector<unsigned char> out;
  std::uint32_t noise = 0x12345u;
  double phase = 0;
  for (const Tone& t : tones) {
    const int n = static_cast<int>(t.seconds * RATE);
    for (int i = 0; i < n; ++i) {
      const double k = static_cast<double>(i) / n;
      const double f = t.f0 + (t.f1 - t.f0) * k;
      phase += f / RATE;
      phase -= std::floor(phase);
      double v = 0;
      switch (t.wave) {
        case Wave::Square: v = phase < 0.5 ? 1 : -1; break;
        case Wave::Triangle: v = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase; break;
        case Wave::Noise:
          if (std::fmod(phase * 8, 1.0) < f * 8 / RATE) noise = noise * 1103515245u + 12345u;
          v = ((noise >> 16) & 0xFF) / 127.5 - 1;
          break;
      }
      const double attack = std::min(1.0, i / (0.002 * RATE));
      const double release = k < 0.7 ? 1.0 : (1 - k) / 0.3;
      const double s = 128 + 90 * t.volume * v * attack * release;
      out.push_back(static_cast<unsigned char>(std::lround(std::clamp(s, 0.0, 255.0))));
    }
  }
  return out;
}

std::vector<Tone> Notes(std::initializer_list<double> freqs, double each, Wave wave = Wave::Square) {
  std::vector<Tone> tones;
  for (double f : freqs) tones.push_back({f, f, each, wave});
  return tones;
}

// The system sounds in sound-table order: 0 cursor, 1 confirm, 2 cancel, 3 refusal,
// 4 pause, 8 the hero's miss, 9 an enemy beaten, 13 time warning, 15 extra life,
// 16 ranking entry; the others are short cues of their own.
std::vector<Tone> SystemTones(int n) {
  switch (n) {
    case 0: return Notes({880}, 0.04);
    case 1: return Notes({660, 990}, 0.06);
    case 2: return Notes({660, 440}, 0.06);
    case 3: return {{150, 140, 0.18}};
    case 4: return Notes({523, 659, 784}, 0.05, Wave::Triangle);
    case 5: return {{400, 800, 0.10}};
    case 6: return Notes({1046, 1318}, 0.04);
    case 7: return {{800, 400, 0.10}};
    case 8: return {{600, 90, 0.6}};
    case 9: return {{900, 200, 0.15, Wave::Noise}};
    case 10: return Notes({1318, 1760}, 0.06);
    case 11: return Notes({523, 659, 784, 1046}, 0.05);
    case 12: return {{3000, 3000, 0.08, Wave::Noise, 0.7}};
    case 13: return Notes({1000}, 0.08, Wave::Triangle);
    case 14: return {{200, 1200, 0.2, Wave::Triangle}};
    case 15: return Notes({784, 988, 1175, 1568}, 0.07);
    default: return {{523, 523, 0.1}, {523, 523, 0.1}, {784, 784, 0.3}};
  }
}

}  // namespace

std::string SystemSoundPath(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "wave\\sys%02d.wav", n);
  return name;
}

const std::vector<std::string>& DatabaseSoundPaths() {
  static const std::vector<std::string> paths = {"wave\\Jump.wav",     "wave\\Coin.wav",   "wave\\Goal.wav",
                                                 "wave\\BossShot.wav", "wave\\Summon.wav", "wave\\Heal.wav"};
  return paths;
}

std::string EncodeWav(const std::vector<unsigned char>& samples, int rate) {
  std::string s;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put16 = [&](std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
  };
  const auto size = static_cast<std::uint32_t>(samples.size());
  const std::uint32_t pad = size & 1;
  s += "RIFF";
  put32(4 + 8 + 16 + 8 + size + pad);
  s += "WAVEfmt ";
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(static_cast<std::uint32_t>(rate));
  put32(static_cast<std::uint32_t>(rate));  // bytes a second
  put16(1);                                 // block align
  put16(8);                                 // bits a sample
  s += "data";
  put32(size);
  s.append(samples.begin(), samples.end());
  if (pad) s.push_back('\x80');
  return s;
}

std::vector<SoundFile> SampleSounds() {
  std::vector<SoundFile> files;
  for (int n = 0; n < SYSTEM_SOUND_COUNT; ++n)
    files.push_back({SystemSoundPath(n), EncodeWav(Render(SystemTones(n)), RATE)});
  const std::vector<Tone> database[] = {
      {{300, 700, 0.15}},                                                         // jump
      {{988, 988, 0.05}, {1318, 1318, 0.25}},                                     // coin
      {{523, 523, 0.12}, {659, 659, 0.12}, {784, 784, 0.12}, {1046, 1046, 0.4}},  // goal
      {{500, 150, 0.12, Wave::Noise}},                                            // boss shot
      {{120, 400, 0.25, Wave::Triangle}},                                         // summon
      {{660, 660, 0.06}, {880, 880, 0.06}, {1320, 1320, 0.15}},                   // heal
  };
  for (std::size_t i = 0; i < DatabaseSoundPaths().size(); ++i)
    files.push_back({DatabaseSoundPaths()[i], EncodeWav(Render(database[i]), RATE)});
  return files;
}

}  // namespace sample
