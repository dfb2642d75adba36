// The MIDI stream player: turns the format-0 image, buffer by buffer, into stream
// records and keeps two buffers queued from a callback thread of its own, looping at
// the end when asked.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/mailbox_thread.h"
#include "platform/midi_stream.h"
#include "sound/MidiFile.h"

// One stream buffer and what the stream reports of it.
struct cMidiHeader {
  std::vector<std::uint8_t> lpData;
  std::uint32_t dwBufferLength = 0;
  std::uint32_t dwBytesRecorded = 0;
  std::uint32_t dwUser = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwOffset = 0;
};

class cMidiPlayer : public cMidiFile {
 public:
  explicit cMidiPlayer(const std::string& file);
  ~cMidiPlayer() override;

  void Start(int loop);
  void Stop(int pause);
  void QueueNextBuffer();
  // Fills the header from the image position; the image bytes consumed.
  std::uint32_t FillBuffer(std::uint32_t position, cMidiHeader& header);

  std::unique_ptr<plat::audio::MidiStream> m_hStream;
  std::vector<cMidiHeader> m_lpHeaders;
  int m_nHeaders = 2;
  std::uint32_t m_nBufferSize = 24000;
  int m_nCurrent = 0;
  std::uint32_t m_nOffset = 0;
  int m_nState = 0;  // 0 stopped, 1 playing, 2 paused
  plat::MailboxThread m_hThread;
  int m_bLoop = 0;
  // Start, Stop and the refills come from the window, game and callback threads.
  std::recursive_mutex m_Lock;

 private:
  void Open();
  bool Exhausted() const { return m_nOffset >= m_lpImage.size(); }
  void Check(plat::audio::MidiStatus status, const char* format);
  friend void MidiThreadProc(cMidiPlayer* player, plat::MailboxThread& self);
};

void MidiThreadProc(cMidiPlayer* player, plat::MailboxThread& self);
