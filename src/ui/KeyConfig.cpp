#include "ui/KeyConfig.h"

#include <cstdio>

#include "platform/fs.h"

KEYCONFIG g_KeyConfig{};

namespace {

void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutI32(std::uint8_t* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}
std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::int32_t GetI32(const std::uint8_t* p) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= std::uint32_t{p[i]} << (8 * i);
  return static_cast<std::int32_t>(u);
}

constexpr int kBindingBytes = 8;
constexpr int kCountOffset = 96, kJoyCountOffset = 100, kModeOffset = 104;

}  // namespace

std::array<std::uint8_t, KEYCONFIG::FileBytes> EncodeKeyConfig(const KEYCONFIG& record) {
  std::array<std::uint8_t, KEYCONFIG::FileBytes> image{};
  for (int i = 0; i < KEYCONFIG::Bindings; ++i) {
    std::uint8_t* p = image.data() + i * kBindingBytes;
    PutI32(p, record.m_Bindings[i].m_nDevice);
    PutU16(p + 4, record.m_Bindings[i].m_wCode);
    PutU16(p + 6, record.m_Bindings[i].m_wUnused);
  }
  PutI32(image.data() + kCountOffset, record.m_nBindingCount);
  PutI32(image.data() + kJoyCountOffset, record.m_nJoyCount);
  PutI32(image.data() + kModeOffset, record.m_nMode);
  return image;
}

void DecodeKeyConfig(const std::array<std::uint8_t, KEYCONFIG::FileBytes>& image, KEYCONFIG& record) {
  for (int i = 0; i < KEYCONFIG::Bindings; ++i) {
    const std::uint8_t* p = image.data() + i * kBindingBytes;
    record.m_Bindings[i].m_nDevice = GetI32(p);
    record.m_Bindings[i].m_wCode = GetU16(p + 4);
    record.m_Bindings[i].m_wUnused = GetU16(p + 6);
  }
  record.m_nBindingCount = GetI32(image.data() + kCountOffset);
  record.m_nJoyCount = GetI32(image.data() + kJoyCountOffset);
  record.m_nMode = GetI32(image.data() + kModeOffset);
}

int ReadKeyConfig(std::string_view fileName, KEYCONFIG& record) {
  std::FILE* f = plat::fs::open(fileName, "rb");
  if (!f) return 0;
  // The file's bytes overwrite an image of the current record, so a short file leaves
  // the tail as it was.
  auto image = EncodeKeyConfig(record);
  const std::size_t got = std::fread(image.data(), 1, image.size(), f);
  const bool failed = got < image.size() && std::ferror(f);  // e.g. a folder of that name
  std::fclose(f);
  if (failed) return 0;
  DecodeKeyConfig(image, record);
  return 1;
}

void SetDefaultKeyConfig(KEYCONFIG& record) {
  static constexpr std::uint16_t kCodes[KEYCONFIG::Bindings] = {0x25, 0x27, 0x26, 0x28,  // left, right, up, down
                                                                'Z',  'X',  'C',  'V',  'A', 'S', 'D', 'F'};
  for (int i = 0; i < KEYCONFIG::Bindings; ++i) {
    record.m_Bindings[i].m_nDevice = KEYCONFIG::KeyboardDevice;
    record.m_Bindings[i].m_wCode = kCodes[i];
  }
  record.m_nBindingCount = KEYCONFIG::Bindings;
  record.m_nJoyCount = 1;
  record.m_nMode = 0;
}
