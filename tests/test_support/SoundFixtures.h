// Sound fixtures made by code: WAV bytes, standard MIDI files, Ogg Vorbis files
// encoded at test time, and a synth that records what it is told.
#pragma once
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/midi_synth.h"

namespace test_support {

inline void put16(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
inline void put32(std::string& s, std::uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}
inline std::string chunk(const char* id, const std::string& body) {
  std::string s(id, 4);
  put32(s, static_cast<std::uint32_t>(body.size()));
  s += body;
  if (body.size() & 1) s += '\0';
  return s;
}
inline std::string fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  std::string f;
  put16(f, tag);
  put16(f, channels);
  put32(f, rate);
  put32(f, rate * channels * bits / 8);
  put16(f, static_cast<std::uint16_t>(channels * bits / 8));
  put16(f, bits);
  return f;
}
inline std::string riffWave(const std::string& chunks) { return chunk("RIFF", "WAVE" + chunks); }
inline std::string makeWav(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, const std::string& data,
                           std::uint16_t tag = 1) {
  return riffWave(chunk("fmt ", fmtBody(tag, channels, rate, bits)) + chunk("data", data));
}
// 16-bit samples (interleaved when stereo) as bytes.
inline std::string pcm16(const std::vector<int>& samples) {
  std::string s;
  for (int v : samples) put16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
  return s;
}

// ---- standard MIDI files ----------------------------------------------------------
struct SmfTrack {
  std::string bytes;
  SmfTrack& ev(std::uint32_t delta, std::initializer_list<int> data) {
    varlen(delta);
    for (int b : data) bytes += static_cast<char>(b);
    return *this;
  }
  SmfTrack& tempo(std::uint32_t delta, std::uint32_t usPerQuarter) {
    return ev(delta, {0xFF, 0x51, 0x03, static_cast<int>(usPerQuarter >> 16),
                      static_cast<int>((usPerQuarter >> 8) & 0xFF), static_cast<int>(usPerQuarter & 0xFF)});
  }
  SmfTrack& end(std::uint32_t delta = 0) { return ev(delta, {0xFF, 0x2F, 0x00}); }
  void varlen(std::uint32_t v) {
    char tmp[5];
    int n = 0;
    do {
      tmp[n++] = static_cast<char>(v & 0x7F);
      v >>= 7;
    } while (v);
    for (int i = n - 1; i >= 0; --i) bytes += static_cast<char>(tmp[i] | (i ? 0x80 : 0));
  }
};
inline void putBe(std::string& s, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline std::string makeSmf(int format, int division, const std::vector<SmfTrack>& tracks) {
  std::string s = "MThd";
  putBe(s, 6, 4);
  putBe(s, format, 2);
  putBe(s, static_cast<std::uint32_t>(tracks.size()), 2);
  putBe(s, division, 2);
  for (const auto& t : tracks) {
    s += "MTrk";
    putBe(s, static_cast<std::uint32_t>(t.bytes.size()), 4);
    s += t.bytes;
  }
  return s;
}

// ---- Ogg Vorbis -----------------------------------------------------------------
// Encodes frames produced by gen(frame, channel) at the given rate; "" on failure.
inline std::string encodeOgg(int rate, int channels, int frames, const std::function<float(int, int)>& gen) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) return "";
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);
  std::string out;
  ogg_page og;
  ogg_packet op, hc, hcc;
  vorbis_analysis_headerout(&vd, &vc, &op, &hc, &hcc);
  ogg_stream_packetin(&os, &op);
  ogg_stream_packetin(&os, &hc);
  ogg_stream_packetin(&os, &hcc);
  while (ogg_stream_flush(&os, &og)) {
    out.append(reinterpret_cast<char*>(og.header), og.header_len);
    out.append(reinterpret_cast<char*>(og.body), og.body_len);
  }
  int done = 0;
  bool eos = false;
  while (!eos) {
    int n = std::min(1024, frames - done);
    if (n > 0) {
      float** buf = vorbis_analysis_buffer(&vd, n);
      for (int i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buf[c][i] = gen(done + i, c);
      vorbis_analysis_wrote(&vd, n);
      done += n;
    } else {
      vorbis_analysis_wrote(&vd, 0);
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) {
          out.append(reinterpret_cast<char*>(og.header), og.header_len);
          out.append(reinterpret_cast<char*>(og.body), og.body_len);
          if (ogg_page_eos(&og)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

// ---- a synth that records ------------------------------------------------------------
struct SynthEvent {
  enum Kind { Short, Sysex, Release, Silence, Fresh } kind;
  std::uint64_t frame;
  std::uint8_t status = 0, d1 = 0, d2 = 0;
  std::vector<std::uint8_t> bytes;
};

class RecordingSynth : public plat::audio::MidiSynth {
 public:
  explicit RecordingSynth(std::vector<SynthEvent>* log) : log_(log) {}
  void shortMessage(std::uint64_t f, std::uint8_t s, std::uint8_t a, std::uint8_t b) override {
    log_->push_back({SynthEvent::Short, f, s, a, b, {}});
  }
  void systemExclusive(std::uint64_t f, std::span<const std::uint8_t> bytes) override {
    log_->push_back({SynthEvent::Sysex, f, 0, 0, 0, {bytes.begin(), bytes.end()}});
  }
  void releaseAll(std::uint64_t f) override { log_->push_back({SynthEvent::Release, f, 0, 0, 0, {}}); }
  void silenceAll(std::uint64_t f) override { log_->push_back({SynthEvent::Silence, f, 0, 0, 0, {}}); }
  void freshState(std::uint64_t f) override { log_->push_back({SynthEvent::Fresh, f, 0, 0, 0, {}}); }
  void render(float* lr, int frames) override { std::fill(lr, lr + 2 * frames, 0.0f); }

 private:
  std::vector<SynthEvent>* log_;
};

// Note-on events (velocity above 0) of a log, as (frame, key).
inline std::vector<std::pair<std::uint64_t, int>> noteOns(const std::vector<SynthEvent>& log) {
  std::vector<std::pair<std::uint64_t, int>> r;
  for (const auto& e : log)
    if (e.kind == SynthEvent::Short && (e.status & 0xF0) == 0x90 && e.d2 > 0) r.emplace_back(e.frame, e.d1);
  return r;
}

// Renders frames from a manual device into interleaved stereo.
inline std::vector<float> renderFrames(plat::audio::Device& d, int frames) {
  std::vector<float> out(2 * static_cast<std::size_t>(frames));
  d.render(out.data(), frames);
  return out;
}

inline float peak(const std::vector<float>& v, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  float p = 0;
  for (std::size_t i = from; i < std::min(to, v.size()); ++i) p = std::max(p, std::fabs(v[i]));
  return p;
}

}  // namespace test_support
