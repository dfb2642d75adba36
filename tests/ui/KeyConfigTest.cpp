#include "ui/KeyConfig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

class KeyConfigFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_.path() + "/user_data");
    native_ = dir_.path() + "/user_data/KeyConfig.dat";
    program_ = plat::fs::fromNative(native_);
    plat::fs::invalidateCache();
  }
  void WriteFile(const std::string& bytes) {
    std::ofstream(native_, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<long>(bytes.size()));
    plat::fs::invalidateCache();
  }
  static std::string Bytes(const KEYCONFIG& k) {
    const auto image = EncodeKeyConfig(k);
    return std::string(image.begin(), image.end());
  }
  static KEYCONFIG Filled(std::uint8_t byte) {
    KEYCONFIG k;
    std::memset(&k, byte, sizeof k);
    return k;
  }

  test_support::TempDir dir_;
  std::string native_, program_;
};

TEST_F(KeyConfigFixture, MissingFileLeavesTheRecordAndDefaultsFollow) {
  KEYCONFIG k = Filled(0x5A);
  EXPECT_EQ(ReadKeyConfig(program_, k), 0);
  EXPECT_EQ(Bytes(k), Bytes(Filled(0x5A)));

  SetDefaultKeyConfig(k);
  const std::uint16_t codes[12] = {0x25, 0x27, 0x26, 0x28, 0x5A, 0x58, 0x43, 0x56, 0x41, 0x53, 0x44, 0x46};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(k.m_Bindings[i].m_nDevice, 8) << i;
    EXPECT_EQ(k.m_Bindings[i].m_wCode, codes[i]) << i;
    EXPECT_EQ(k.m_Bindings[i].m_wUnused, 0x5A5A) << i;  // not written
  }
  EXPECT_EQ(k.m_nBindingCount, 12);
  EXPECT_EQ(k.m_nJoyCount, 1);
  EXPECT_EQ(k.m_nMode, 0);
}

TEST_F(KeyConfigFixture, FileLayoutIsLittleEndianAtFixedOffsets) {
  std::string file(108, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
  };
  put32(3 * 8, 0xFFFFFFFE);  // binding 3: device -2
  file[3 * 8 + 4] = 0x34;    // code 0x1234
  file[3 * 8 + 5] = 0x12;
  file[3 * 8 + 6] = 0x01;  // unused 0xFF01
  file[3 * 8 + 7] = static_cast<char>(0xFF);
  put32(11 * 8, 8);
  file[11 * 8 + 4] = 0x46;
  put32(96, 12);
  put32(100, 0x01020304);
  put32(104, 0x80000000);
  WriteFile(file);

  KEYCONFIG k{};
  ASSERT_EQ(ReadKeyConfig(program_, k), 1);
  EXPECT_EQ(k.m_Bindings[3].m_nDevice, -2);
  EXPECT_EQ(k.m_Bindings[3].m_wCode, 0x1234);
  EXPECT_EQ(k.m_Bindings[3].m_wUnused, 0xFF01);
  EXPECT_EQ(k.m_Bindings[11].m_nDevice, 8);
  EXPECT_EQ(k.m_Bindings[11].m_wCode, 0x46);
  EXPECT_EQ(k.m_nBindingCount, 12);
  EXPECT_EQ(k.m_nJoyCount, 0x01020304);
  EXPECT_EQ(k.m_nMode, INT32_MIN);
  EXPECT_EQ(Bytes(k), file);
}

TEST_F(KeyConfigFixture, RoundTrip) {
  KEYCONFIG k{};
  SetDefaultKeyConfig(k);
  k.m_nMode = 1;
  k.m_nJoyCount = 2;
  k.m_Bindings[0] = {1, 256, 0};
  k.m_Bindings[4] = {0, 1, 0xBEEF};
  k.m_Bindings[11] = {-1, 0xFFFF, 7};
  WriteFile(Bytes(k));

  KEYCONFIG back = Filled(0xCC);
  ASSERT_EQ(ReadKeyConfig(program_, back), 1);
  EXPECT_EQ(std::memcmp(&back, &k, sizeof k), 0);
}

TEST_F(KeyConfigFixture, ShortFileKeepsTheRestAndLongFileIsCut) {
  KEYCONFIG source{};
  SetDefaultKeyConfig(source);
  source.m_nMode = 3;
  const std::string full = Bytes(source);
  for (std::size_t length : {0u, 1u, 7u, 50u, 100u, 107u, 108u, 200u}) {
    SCOPED_TRACE(length);
    std::string file = full;
    file.resize(length, 'x');
    WriteFile(file);
    KEYCONFIG k = Filled(0xA5);
    ASSERT_EQ(ReadKeyConfig(program_, k), 1);
    const std::string before = Bytes(Filled(0xA5));
    const std::size_t used = std::min<std::size_t>(length, 108);
    EXPECT_EQ(Bytes(k), file.substr(0, used) + before.substr(used));
  }
}

TEST_F(KeyConfigFixture, FolderOfThatNameCountsAsUnreadable) {
  std::filesystem::create_directories(native_);
  plat::fs::invalidateCache();
  KEYCONFIG k = Filled(0x11);
  EXPECT_EQ(ReadKeyConfig(program_, k), 0);
  EXPECT_EQ(Bytes(k), Bytes(Filled(0x11)));
}

}  // namespace
