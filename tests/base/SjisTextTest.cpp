#include "base/SjisText.h"

#include <gtest/gtest.h>

namespace {

// "あ" 82 A0, "い" 82 A2, "表" 95 5C.
const std::string kA = "\x82\xA0", kI = "\x82\xA2", kHyo = "\x95\x5C";

TEST(SjisText, CountCharsCountsDoubleByteCharactersOnceAndLineFeedsNot) {
  struct Case {
    std::string text;
    int chars;
  };
  const Case cases[] = {
      // clang-format off
      {kA + kI + "\n", 2}, {"abc", 3}, {"", 0}, {kHyo + "\\", 2},
      {"\xB1", 1},          // half-width katakana: one byte
      {"a\x82", 2},         // a lead byte without its trail counts alone
      // clang-format on
      {"\n\n", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CountChars(c.text), c.chars) << c.text;
  EXPECT_TRUE(IsDbcsPair(kA.c_str()));
  EXPECT_TRUE(IsDbcsPair(kHyo.c_str()));
  EXPECT_FALSE(IsDbcsPair("\x82"));  // the terminator is no trail byte
  EXPECT_FALSE(IsDbcsPair("ab"));
}

TEST(SjisText, SubStringClipsAndNeverSplitsACharacter) {
  struct Case {
    std::string str;
    int start, count;
    std::string out;
  };
  const std::string mixed = "a" + kA + kI + "b";  // bytes: a 82 A0 82 A2 b
  const Case cases[] = {
      // clang-format off
      {"abcdef", 1, 3, "bcd"},
      {"abcdef", -3, 3, ""},        // the negative start eats the whole count
      {"abcdef", -4, 3, "abcdef"},  // a count left negative runs to the end
      {"abcdef", 7, 1, ""},
      {"abcdef", 6, 1, ""},
      {"abcdef", 2, 0, ""},
      {"abcdef", 2, -1, "cdef"},
      {"abcdef", 4, 10, "ef"},
      {mixed, 0, 2, "a"},           // would end inside "あ": the half is left out
      {mixed, 1, 2, kA},
      {mixed, 2, 3, kI},            // would start inside "あ"
      {mixed, 2, 1, ""},
      {mixed, 1, 4, kA + kI},
      {kHyo + "x", 1, 2, "x"},
      // clang-format on
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SubString(c.str, c.start, c.count), c.out) << c.str << " " << c.start << " " << c.count;
  }
}

TEST(SjisText, SyncStringLengthCutsAtTheFirstNul) {
  std::string s = "abcdef";
  s[3] = '\0';
  EXPECT_EQ(SyncStringLength(s), 3);
  EXPECT_EQ(s, "abc");
  std::string t = "ab";
  EXPECT_EQ(SyncStringLength(t), 2);
  std::string u = "abc";
  u[1] = '\0';
  EXPECT_EQ(SubString(u, 0, 5), "a");  // measured up to the NUL
}

}  // namespace
