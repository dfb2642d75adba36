// The SMF loader and the stream buffers the player fills from the image it builds.
#include <cstddef>
#include <cstdint>

#include "sound/MidiPlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cMidiPlayer player("");  // no file: no image, so no stream is opened
  std::vector<std::uint8_t> image = player.Init({data, size});
  if (image.empty()) return 0;
  // The image describes itself: the track length, and the end event last.
  std::uint32_t len = (image[18] << 24) | (image[19] << 16) | (image[20] << 8) | image[21];
  if (len != image.size() - cMidiFile::kHeaderSize || image[image.size() - 3] != 0xFF) __builtin_trap();
  player.m_lpImage = std::move(image);
  cMidiHeader h;
  h.lpData.assign(player.m_nBufferSize, 0);
  h.dwBufferLength = player.m_nBufferSize;
  // Every buffer makes progress until the image is used up.
  for (std::uint32_t pos = cMidiFile::kHeaderSize; pos < player.m_lpImage.size();) {
    std::uint32_t used = player.FillBuffer(pos, h);
    if (used == 0 || h.dwBytesRecorded > h.dwBufferLength) __builtin_trap();
    pos += used;
  }
  player.m_lpImage.clear();
  return 0;
}
