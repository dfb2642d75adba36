#include "gamedata/Option.h"

#include <gtest/gtest.h>

#include "RecordTestUtil.h"

namespace {

using rt::Bytes;

class OptionTest : public rt::RecordFixture {};

TEST_F(OptionTest, DefaultFileBytes) {
  cOption option;
  ASSERT_EQ(option.SaveToFile("user_data\\Option.dat"), 0);  // no folder yet: nothing written
  ASSERT_TRUE(plat::fs::makeDirectory("user_data"));
  ASSERT_EQ(option.SaveToFile("user_data\\Option.dat"), 1);
  EXPECT_EQ(plat::fs::readFile("user_data\\Option.dat"),
            Bytes().u32(513).u32(4).i32(0).i32(1).i32(7).i32(0).u32(1).text("aaa").s);
}

TEST_F(OptionTest, LoadCases) {
  struct Case {
    const char* name;
    const char* file;  // null: no file
    std::string bytes;
    int result;
    std::int32_t palette, music, volume, mode;
    const char* rankName;
  };
  const Case cases[] = {
      {"no file keeps the defaults", nullptr, "", 0, 0, 1, 7, 0, "aaa"},
      {"stored values", "o.dat", Bytes().u32(513).u32(4).i32(23).i32(0).i32(10).i32(3).u32(1).text("xyz").s, 1, 23, 0,
       10, 3, "xyz"},
      {"an empty name has L = 1", "o.dat", Bytes().u32(513).u32(4).i32(1).i32(1).i32(1).i32(1).u32(1).u32(1).s, 1, 1, 1,
       1, 1, ""},
      {"values above their ranges come down to the top", "o.dat",
       Bytes().u32(513).u32(4).i32(24).i32(5).i32(11).i32(4).u32(1).text("abc").s, 1, 23, 1, 10, 3, "abc"},
      {"values below their ranges come up to 0; music other than 0 is on", "o.dat",
       Bytes().u32(513).u32(4).i32(-1).i32(-7).i32(-4).i32(-2).u32(1).text("abc").s, 1, 0, 1, 0, 0, "abc"},
      {"a damaged file leaves the defaults", "o.dat", Bytes().u32(513).u32(4).i32(5).i32(0).s, 0, 0, 1, 7, 0, "aaa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cOption option;
    if (c.file) { ASSERT_TRUE(plat::fs::writeFileAtomic(c.file, c.bytes)); }
    EXPECT_EQ(option.LoadFromFile(c.file ? c.file : "missing.dat"), c.result);
    EXPECT_EQ(option.m_nPalette, c.palette);
    EXPECT_EQ(option.m_bMusic, c.music);
    EXPECT_EQ(option.m_nSoundVolume, c.volume);
    EXPECT_EQ(option.m_nRankMode, c.mode);
    EXPECT_EQ(option.m_strRankName, c.rankName);
  }
}

TEST_F(OptionTest, RoundTripThroughTheFile) {
  cOption option;
  option.m_nPalette = 12;
  option.m_bMusic = 0;
  option.m_nSoundVolume = 3;
  option.m_nRankMode = 2;
  option.m_strRankName = "名前";
  ASSERT_EQ(option.SaveToFile("Option.dat"), 1);
  cOption back;
  ASSERT_EQ(back.LoadFromFile("Option.dat"), 1);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(option)));
  EXPECT_EQ(back.m_strRankName, "名前");
}

}  // namespace
