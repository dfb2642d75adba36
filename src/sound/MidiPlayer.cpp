#include "sound/MidiPlayer.h"

#include <algorithm>
#include <cstring>

#include "base/Log.h"
#include "platform/audio.h"

namespace {

using plat::audio::MidiStatus;

// A notice travels to the callback thread as one message: the buffer tag and the record
// offset in wParam's low half, the stream epoch in its high half, the word in lParam.
std::uintptr_t PackNotice(const plat::audio::MidiNotice& n) {
  return (static_cast<std::uintptr_t>(n.epoch) << 32) | ((n.offset & 0xFFFFFF) << 8) | (n.tag & 0xFF);
}

void Put32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

}  // namespace

cMidiPlayer::cMidiPlayer(const std::string& file) : cMidiFile(file) {
  if (!m_lpImage.empty()) Open();
}

void cMidiPlayer::Check(MidiStatus status, const char* format) {
  if (status != MidiStatus::Ok) ReportPrintfDebug(format, m_strFile.c_str(), plat::audio::midiStatusText(status));
}

void cMidiPlayer::Open() {
  m_nCurrent = 0;
  m_lpHeaders.assign(m_nHeaders, cMidiHeader{});
  for (int i = 0; i < m_nHeaders; ++i) {
    m_lpHeaders[i].lpData.assign(m_nBufferSize, 0);
    m_lpHeaders[i].dwBufferLength = m_nBufferSize;
    m_lpHeaders[i].dwUser = static_cast<std::uint32_t>(i);
  }
  m_hThread.start([this](plat::MailboxThread& self) { MidiThreadProc(this, self); });
  m_hThread.post(plat::Msg{plat::wm::App, 0, 0});

  MidiStatus status = MidiStatus::NoDevice;
  if (auto device = plat::audio::acquireDevice(nullptr)) {
    m_hStream = plat::audio::MidiStream::open(
        std::move(device),
        [this](const plat::audio::MidiNotice& n) {
          m_hThread.post(plat::Msg{plat::mm::MomPositionCb, PackNotice(n), static_cast<std::intptr_t>(n.word)});
        },
        &status);
  }
  Check(status, "Midi %s Open %s");
  std::uint16_t division = static_cast<std::uint16_t>((m_lpImage[12] << 8) | m_lpImage[13]);
  Check(m_hStream ? m_hStream->setDivision(division) : MidiStatus::BadHandle, "Midi %s Property %s");
  m_nOffset = kHeaderSize;
  m_nState = 0;
  QueueNextBuffer();
}

cMidiPlayer::~cMidiPlayer() {
  if (m_lpImage.empty()) return;
  // The callback thread ends first, so nothing refills while the stream closes.
  m_hThread.postQuit();
  m_hThread.join();
  Check(m_hStream ? m_hStream->panic() : MidiStatus::BadHandle, "Midi %s Reset %s");
  Check(m_hStream ? MidiStatus::Ok : MidiStatus::BadHandle, "Midi %s Close %s");
  m_hStream.reset();
}

void cMidiPlayer::QueueNextBuffer() {
  std::lock_guard lock(m_Lock);
  if (m_lpImage.empty() || Exhausted()) return;
  cMidiHeader& h = m_lpHeaders[m_nCurrent];
  if (m_hStream && m_hStream->queued(h.dwUser)) return;
  m_nOffset += FillBuffer(m_nOffset, h);
  Check(m_hStream ? m_hStream->submit(std::span(h.lpData.data(), h.dwBytesRecorded), h.dwUser) : MidiStatus::BadHandle,
        "Midi %s Out %s");
  m_nCurrent = (m_nCurrent + 1) % m_nHeaders;
}

std::uint32_t cMidiPlayer::FillBuffer(std::uint32_t position, cMidiHeader& h) {
  const std::vector<std::uint8_t>& img = m_lpImage;
  std::fill(h.lpData.begin(), h.lpData.end(), 0);
  const std::uint32_t size = static_cast<std::uint32_t>(img.size());
  const std::uint32_t room = h.dwBufferLength;
  std::uint32_t recorded = 0;
  std::uint32_t pos = position;
  std::uint32_t used = position;  // just past the last event written
  std::uint64_t carry = 0;        // deltas of skipped meta events
  std::int64_t lastWord = -1;
  std::uint32_t skipTo = 0;
  bool full = false;

  auto write = [&](std::uint32_t delta, std::uint32_t word) {
    if (recorded + 12 > room) return false;
    std::uint8_t* q = h.lpData.data() + recorded;
    Put32(q, delta);
    Put32(q + 4, 0);
    Put32(q + 8, word);
    lastWord = recorded + 8;
    recorded += 12;
    return true;
  };

  auto writeLong = [&](std::uint32_t delta, std::uint8_t status, const std::uint8_t* data, std::uint32_t len) {
    std::uint32_t count = 1 + len;
    std::uint32_t need = 12 + ((count + 3) & ~3u);
    if (recorded + need > room) return false;
    std::uint8_t* q = h.lpData.data() + recorded;
    Put32(q, delta);
    Put32(q + 4, 0);
    Put32(q + 8, 0x80000000u | count);
    q[12] = status;
    if (len) std::memcpy(q + 13, data, len);
    lastWord = recorded + 8;
    recorded += need;
    return true;
  };

  while (pos < size) {
    std::uint32_t delta = 0;
    int n = ReadVarLen(std::span(img).subspan(pos), delta);
    if (n == 0 || pos + n >= size) {
      used = pos = size;
      break;
    }
    std::uint32_t p = pos + n;
    std::uint8_t status = img[p];
    std::uint32_t full32 = static_cast<std::uint32_t>(std::min<std::uint64_t>(carry + delta, 0xFFFFFFFFu));
    std::uint32_t next = 0;
    bool written = false, end = false;
    if (status == 0xF0 || status == 0xF7) {
      std::uint32_t len = 0;
      int m = ReadVarLen(std::span(img).subspan(p + 1), len);
      next = p + 1 + m + len;
      if (m == 0 || next > size) {
        used = pos = size;
        break;
      }
      // The long record holds the status byte and the data.
      if (writeLong(full32, status, &img[p + 1 + m], len)) written = true;
      else full = true;
    } else if (status == 0xFF) {
      if (p + 1 >= size) {
        used = pos = size;
        break;
      }
      std::uint8_t type = img[p + 1];
      std::uint32_t len = 0;
      int m = ReadVarLen(std::span(img).subspan(p + 2), len);
      next = p + 2 + m + len;
      if (m == 0 || next > size) {
        used = pos = size;
        break;
      }
      if (type == 0x2F) {
        if (write(full32, 0x40002FFFu)) written = end = true;
        else full = true;
      } else if (type == 0x51 && len >= 3) {
        const std::uint8_t* t = &img[p + 2 + m];
        std::uint32_t tempo = (t[0] << 16) | (t[1] << 8) | t[2];
        if (write(full32, plat::audio::kMidiTempo | tempo)) written = true;
        else full = true;
      } else {
        carry += delta;  // nothing written: its time moves to the next event
        pos = next;
        continue;
      }
    } else {
      std::uint32_t bytes = (status & 0xE0) == 0xC0 ? 2 : 3;
      next = p + bytes;
      if (next > size) {
        used = pos = size;
        break;
      }
      std::uint32_t word = status | (img[p + 1] << 8) | (bytes == 3 ? img[p + 2] << 16 : 0);
      if (write(full32, word)) written = true;
      else full = true;
    }
    if (full) {
      skipTo = next;
      break;
    }
    if (written) {
      carry = 0;
      pos = used = next;
    }
    if (end) break;
  }
  if (full) {
    if (lastWord >= 0) {
      std::uint32_t w;
      std::memcpy(&w, h.lpData.data() + lastWord, 4);
      Put32(h.lpData.data() + lastWord, w | plat::audio::kMidiNotify);
    } else {
      // Not even an empty buffer holds it (cannot come from the loader): skip it.
      used = skipTo;
    }
  } else if (pos >= size) {
    used = size;
  }
  h.dwBytesRecorded = recorded;
  h.dwFlags = h.dwOffset = 0;
  // Skipped meta events after the last record written are read again with the next
  // buffer, so their time is not lost at the boundary.
  return used - position;
}

void cMidiPlayer::Start(int loop) {
  std::lock_guard lock(m_Lock);
  if (m_lpImage.empty()) return;
  m_bLoop = loop;
  if (m_nState == 1) return;
  Check(m_hStream ? m_hStream->resume() : MidiStatus::BadHandle, "Midi %s Restart %s");
  int was = m_nState;
  m_nState = 1;
  if (was == 2) return;
  if (!Exhausted()) QueueNextBuffer();
}

void cMidiPlayer::Stop(int pause) {
  std::lock_guard lock(m_Lock);
  if (m_lpImage.empty()) return;
  if (pause) {
    if (m_nState != 1) return;
    Check(m_hStream ? m_hStream->pause() : MidiStatus::BadHandle, "Midi %s Pause %s");
    m_nState = 2;
    return;
  }
  Check(m_hStream ? m_hStream->halt() : MidiStatus::BadHandle, "Midi %s Stop %s");
  m_nState = 0;
  m_nOffset = kHeaderSize;
  QueueNextBuffer();  // the beginning waits for the next start
}

void MidiThreadProc(cMidiPlayer* player, plat::MailboxThread& self) {
  plat::Msg m;
  while (self.get(m)) {
    if (m.id != plat::mm::MomPositionCb) continue;
    std::uint32_t epoch = static_cast<std::uint32_t>(m.w >> 32);
    std::uint32_t word = static_cast<std::uint32_t>(m.l);
    std::lock_guard lock(player->m_Lock);
    // A notice from before a stop belongs to a play that is over.
    if (!player->m_hStream || epoch != player->m_hStream->epoch()) continue;
    if ((word & 0xFFFFFF) == 0x2FFF) {
      player->Stop(0);
      if (player->m_bLoop) player->Start(1);
    } else if (!player->Exhausted()) {
      player->QueueNextBuffer();
    }
  }
}
