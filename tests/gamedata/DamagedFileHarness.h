// The damaged-file checks shared by every record class: a sound file of each kind loads
// whole; every truncation fails; a count or length that the data cannot hold fails.
// Each leaves a record that still saves.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordTestUtil.h"
#include "gamedata/DataFile.h"
#include "gamedata/Record.h"

namespace damaged {

struct Kind {
  const char* name;
  std::function<std::unique_ptr<cRecord>()> fresh;
  std::string file;                 // a sound file of the kind, with content in every list
  std::vector<std::size_t> counts;  // offsets of counts and lengths inside the file
};

inline bool LoadImage(cRecord& r, std::string bytes) {
  std::unique_ptr<cDataReader> in = OpenLoadData(std::move(bytes));
  r.Load(*in);
  return !in->Failed();
}

inline std::string FileOf(cRecord& r) {
  cDataWriter out;
  out.WriteU32(g_nDataVersion);
  r.Save(out);
  return out.Bytes();
}

// Bytes of the record's own registered members, without its lists.
inline std::size_t BaseBodySize(cRecord& r) {
  cDataWriter out;
  r.cRecord::Save(out);
  return out.Bytes().size();
}

inline void ExpectSoundFilesLoadWhole(const std::vector<Kind>& kinds) {
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.name);
    auto r = k.fresh();
    EXPECT_TRUE(LoadImage(*r, k.file));
    EXPECT_TRUE(rt::SameBytes(FileOf(*r), k.file));
  }
}

inline void ExpectEveryTruncationFails(const std::vector<Kind>& kinds) {
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.name);
    for (std::size_t n = 0; n < k.file.size(); ++n) {
      auto r = k.fresh();
      ASSERT_FALSE(LoadImage(*r, k.file.substr(0, n))) << "cut at " << n;
      FileOf(*r);  // still a whole record
    }
  }
}

inline void ExpectHugeCountsAndLengthsFail(const std::vector<Kind>& kinds) {
  for (const Kind& k : kinds) {
    for (std::size_t at : k.counts) {
      for (std::uint32_t huge : {0x80000000u, 0xffffffffu, static_cast<std::uint32_t>(k.file.size())}) {
        SCOPED_TRACE(std::string(k.name) + " count at " + std::to_string(at) + " = " + std::to_string(huge));
        std::string bad = k.file;
        ASSERT_LT(rt::ReadU32At(bad, at), 1000u);  // it is a count
        rt::WriteU32At(bad, at, huge);
        auto r = k.fresh();
        EXPECT_FALSE(LoadImage(*r, bad));
        FileOf(*r);
      }
    }
  }
}

}  // namespace damaged
