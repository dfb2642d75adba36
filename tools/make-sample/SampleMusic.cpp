#include "SampleMusic.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>

namespace sample {

namespace {

constexpr int TICKS_PER_QUARTER = 480;
constexpr int EIGHTH = TICKS_PER_QUARTER / 2;

struct Event {
  std::uint32_t tick;
  int order;  // note-offs before note-ons at the same tick
  std::vector<std::uint8_t> bytes;
};

// "C5:2 R:1 F#4:1 ..." : a note name with octave (C4 = 60) or R for a rest, and a length
// in eighth notes.
void AddVoice(std::vector<Event>& events, int channel, int velocity, const std::string& score, int repeats) {
  static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  std::uint32_t tick = 0;
  for (int r = 0; r < repeats; ++r) {
    std::istringstream in(score);
    std::string token;
    while (in >> token) {
      const auto colon = token.find(':');
      if (colon == std::string::npos) throw std::logic_error("note without a length: " + token);
      const auto length = static_cast<std::uint32_t>(std::stoi(token.substr(colon + 1)) * EIGHTH);
      if (token[0] != 'R') {
        std::size_t i = 1;
        int note = kSteps[token[0] - 'A'];
        if (token[i] == '#') ++note, ++i;
        note += 12 * (std::stoi(token.substr(i, colon - i)) + 1);
        const auto key = static_cast<std::uint8_t>(note);
        events.push_back(
            {tick, 1, {static_cast<std::uint8_t>(0x90 | channel), key, static_cast<std::uint8_t>(velocity)}});
        events.push_back({tick + length - EIGHTH / 8, 0, {static_cast<std::uint8_t>(0x80 | channel), key, 0x40}});
      }
      tick += length;
    }
  }
}

void PutVarLen(std::string& s, std::uint32_t v) {
  std::uint8_t tmp[4];
  int n = 0;
  do {
    tmp[n++] = v & 0x7F;
    v >>= 7;
  } while (v);
  while (n--) s.push_back(static_cast<char>(tmp[n] | (n ? 0x80 : 0)));
}

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

struct Tune {
  const char* path;
  int bpm;
  int leadProgram, bassProgram;
  const char* lead;
  const char* bass;
  int repeats;
};

std::string MakeSmf(const Tune& t) {
  std::vector<Event> events;
  const std::uint32_t tempo = 60000000u / static_cast<std::uint32_t>(t.bpm);
  events.push_back(
      {0, -2, {0xFF, 0x51, 0x03, std::uint8_t(tempo >> 16), std::uint8_t(tempo >> 8), std::uint8_t(tempo)}});
  events.push_back({0, -1, {0xC0, static_cast<std::uint8_t>(t.leadProgram)}});
  events.push_back({0, -1, {0xC1, static_cast<std::uint8_t>(t.bassProgram)}});
  events.push_back({0, -1, {0xB0, 7, 100}});
  events.push_back({0, -1, {0xB1, 7, 90}});
  AddVoice(events, 0, 96, t.lead, t.repeats);
  AddVoice(events, 1, 80, t.bass, t.repeats);
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::string track;
  std::uint32_t last = 0;
  for (const Event& e : events) {
    PutVarLen(track, e.tick - last);
    last = e.tick;
    track.append(e.bytes.begin(), e.bytes.end());
  }
  PutVarLen(track, EIGHTH);
  track += "\xFF\x2F";
  track.push_back('\0');
  std::string s = "MThd";
  Put32(s, 6);
  s += std::string("\0\0\0\1", 4);  // format 0, one track
  s.push_back(static_cast<char>(TICKS_PER_QUARTER >> 8));
  s.push_back(static_cast<char>(TICKS_PER_QUARTER & 0xFF));
  s += "MTrk";
  Put32(s, static_cast<std::uint32_t>(track.size()));
  return s + track;
}

// General MIDI programs: 80 square lead, 73 flute, 81 saw lead, 11 vibraphone, 33 and 38 basses.
const Tune kTunes[] = {
    {"bgm\\Title.mid", 132, 80, 33,
     "C5:2 E5:2 G5:2 C6:2 B5:2 G5:2 A5:4 F5:2 A5:2 C6:2 A5:2 G5:6 R:2 "
     "E5:2 F5:2 G5:2 E5:2 D5:2 E5:2 F5:2 D5:2 C5:2 D5:2 E5:2 G5:2 C5:6 R:2",
     "C3:4 C3:4 A2:4 A2:4 F2:4 F2:4 G2:4 G2:4 C3:4 C3:4 D3:4 G2:4 F2:4 G2:4 C3:8", 2},
    {"bgm\\WorldMap.mid", 104, 73, 33,
     "F5:3 A5:1 C6:4 A5:2 G5:2 F5:4 D5:3 F5:1 A5:4 G5:8 F5:3 A5:1 C6:4 D6:2 C6:2 A5:4 G5:2 A5:2 G5:2 E5:2 F5:8",
     "F2:8 D3:8 A#2:8 C3:8 F2:8 D3:8 C3:8 F2:8", 2},
    {"bgm\\Challenge.mid", 160, 81, 38,
     "A4:1 C5:1 E5:1 A5:1 G5:2 E5:2 F5:1 E5:1 D5:1 C5:1 D5:2 E5:2 A4:1 C5:1 E5:1 A5:1 B5:2 C6:2 B5:1 A5:1 G#5:1 B5:1 "
     "A5:4",
     "A2:2 A2:2 A2:2 A2:2 D2:2 D2:2 E2:2 E2:2 A2:2 A2:2 A2:2 A2:2 E2:2 E2:2 A2:4", 4},
    {"bgm\\Option.mid", 88, 11, 33, "E5:2 G5:2 B5:2 G5:2 D5:2 F#5:2 A5:4 C5:2 E5:2 G5:2 E5:2 B4:2 D5:2 G5:4",
     "E2:8 D2:8 C2:8 G2:8", 2},
    {"bgm\\Stage.mid", 150, 80, 38,
     "G4:1 B4:1 D5:2 B4:1 D5:1 G5:2 F#5:2 D5:2 E5:2 C5:2 A4:1 C5:1 E5:2 D5:2 B4:2 G4:4 "
     "C5:2 E5:2 D5:2 B4:2 A4:2 B4:1 C5:1 D5:4 G4:1 B4:1 D5:2 G5:2 F#5:1 E5:1 D5:2 C5:2 A4:2 G4:6",
     "G2:2 D3:2 G2:2 D3:2 C3:2 G2:2 D3:2 D2:2 C3:2 G2:2 D3:2 G2:2 C3:2 D3:2 G2:4 "
     "C3:2 G2:2 G2:2 D3:2 D3:2 A2:2 D3:4 G2:2 D3:2 E3:2 B2:2 C3:2 D3:2 G2:4",
     2},
    {"bgm\\Boss.mid", 176, 30, 38,
     "E5:1 E5:1 G5:1 E5:1 A#5:2 A5:2 E5:1 E5:1 G5:1 E5:1 D5:2 C5:2 E5:1 E5:1 G5:1 E5:1 A#5:2 B5:2 C6:2 B5:1 A#5:1 A5:4",
     "E2:1 E2:1 E3:1 E2:1 E2:1 E3:1 E2:1 D3:1 E2:1 E2:1 E3:1 E2:1 C3:2 D3:2 E2:1 E2:1 E3:1 E2:1 E2:1 E3:1 E2:1 D3:1 "
     "C3:2 B2:2 A2:4",
     4},
};

}  // namespace

std::vector<MusicFile> SampleMusic() {
  std::vector<MusicFile> files;
  for (const Tune& t : kTunes) files.push_back({t.path, MakeSmf(t)});
  return files;
}

const std::vector<std::string>& DatabaseMusicPaths() {
  static const std::vector<std::string> paths = {"bgm\\Title.mid",     "bgm\\WorldMap.mid", "bgm\\Stage.mid",
                                                 "bgm\\Challenge.mid", "bgm\\Option.mid",   "bgm\\Boss.mid"};
  return paths;
}

}  // namespace sample
