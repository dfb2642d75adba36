// Helpers for the record tests: byte builders, saving and loading bodies in memory at a
// chosen version, and a fixture that captures the report log and close requests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/Log.h"
#include "gamedata/Record.h"
#include "platform/fs.h"
#include "platform/messaging.h"
#include "test_support/TempDir.h"

namespace rt {

// Little-endian byte strings.
struct Bytes {
  std::string s;
  Bytes& u8(std::uint8_t v) {
    s += static_cast<char>(v);
    return *this;
  }
  Bytes& i16(std::int16_t v) { return raw(&v, 2); }
  Bytes& u32(std::uint32_t v) { return raw(&v, 4); }
  Bytes& i32(std::int32_t v) { return raw(&v, 4); }
  Bytes& f64(double v) { return raw(&v, 8); }
  Bytes& text(std::string_view t) {  // a record string
    if (t.empty()) return u32(1);
    u32(static_cast<std::uint32_t>(t.size() + 1));
    s.append(t);
    s += '\0';
    return *this;
  }
  Bytes& raw(const void* p, std::size_t n) {  // the test hosts are little-endian
    s.append(static_cast<const char*>(p), n);
    return *this;
  }
  Bytes& bytes(std::string_view b) {
    s.append(b);
    return *this;
  }
};

// g_nDataVersion for one scope: saving then writes that version's layout.
class ScopedDataVersion {
 public:
  explicit ScopedDataVersion(std::uint32_t v) : old_(g_nDataVersion) { g_nDataVersion = v; }
  ~ScopedDataVersion() { g_nDataVersion = old_; }

 private:
  std::uint32_t old_;
};

// A record's body (no header), saved in the layout of version.
inline std::string SaveBody(cRecord& r, std::uint32_t version = CURRENT_DATA_VERSION) {
  ScopedDataVersion v(version);
  cDataWriter out;
  r.Save(out);
  return out.Bytes();
}

// Loads a body as if it came from a file of version; true when it loaded whole.
inline bool LoadBody(cRecord& r, const std::string& body, std::uint32_t version = CURRENT_DATA_VERSION) {
  g_nLoadVersion = version;
  cDataReader in{std::string_view(body)};
  r.Load(in);
  return !in.Failed();
}

// Equal byte strings; on a difference names its first offset instead of dumping both.
inline ::testing::AssertionResult SameBytes(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size() << ", first difference at " << at;
}

inline std::uint32_t ReadU32At(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, s.data() + at, 4);
  return v;
}
inline void WriteU32At(std::string& s, std::size_t at, std::uint32_t v) { std::memcpy(s.data() + at, &v, 4); }

// Runs each test in a fresh folder (the current directory) with its own report log,
// counting close requests; restores the globals of the format afterwards.
class RecordFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    plat::fs::invalidateCache();  // folder listings are cached by relative path
    ASSERT_TRUE(OpenReport("Report_Game.txt"));
    plat::setPostObserver([this](plat::WindowToken, const plat::Msg& m) {
      if (m.id == plat::wm::Close) ++closes_;
    });
    g_nDataVersion = CURRENT_DATA_VERSION;
    g_bStripCR = 1;
  }
  void TearDown() override {
    plat::setPostObserver(nullptr);
    std::filesystem::current_path(oldDir_);
    plat::fs::invalidateCache();
    g_nDataVersion = CURRENT_DATA_VERSION;
    g_bStripCR = 0;
  }
  std::string Report() { return plat::fs::readFile("Report_Game.txt").value_or(""); }

  test_support::TempDir dir_;
  std::filesystem::path oldDir_;
  int closes_ = 0;
};

}  // namespace rt
