#include "gamedata/Record.h"

#include <gtest/gtest.h>

#include <functional>

#include "gamedata/RecordList.h"
#include "RecordTestUtil.h"

namespace {

using rt::Bytes;

// i32, i16, u8 and double members and two strings.
class cExample : public cRecord {
 public:
  std::int32_t m_nA = 7;
  std::int16_t m_nB = -2;
  std::uint8_t m_nC = 1;
  double m_dD = 0.5;
  std::string m_strFirst;
  std::string m_strSecond = "abc";

  void BindFields(std::uint32_t) override {
    AddField4(&m_nA);
    AddField2(&m_nB);
    AddField1(&m_nC);
    AddField8(&m_dD);
    AddString(&m_strFirst);
    AddString(&m_strSecond);
  }
};

// The same with a fifth member that version 200 added, and an array member.
class cLater : public cExample {
 public:
  std::int32_t m_nLate = 0;
  std::int16_t m_Array[3] = {1, 2, 3};
  void BindFields(std::uint32_t v) override {
    cExample::BindFields(v);
    if (v >= 200) AddField4(&m_nLate);
    AddField2(m_Array, 3);
  }
};

class RecordTest : public rt::RecordFixture {};

TEST_F(RecordTest, ExampleSavesToItsExactBytes) {
  cExample r;
  std::string expect =
      Bytes().u32(513).u32(4).i32(7).i16(-2).u8(1).f64(0.5).u32(2).u32(1).u32(4).bytes(std::string("abc\0", 4)).s;
  ASSERT_EQ(r.SaveToFile("example.dat"), 1);
  EXPECT_EQ(plat::fs::readFile("example.dat"), expect);

  cExample back;
  back.m_nA = 0;
  back.m_strSecond.clear();
  ASSERT_EQ(back.LoadFromFile("example.dat"), 1);
  EXPECT_EQ(g_nLoadVersion, 513u);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(r)));
}

// The format's rules, one behaviour a row.
TEST_F(RecordTest, FormatRules) {
  struct Case {
    const char* name;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"version 150 reads four members; the fifth keeps its value until an upgrade sets it",
       [] {
         cLater r;
         r.m_nLate = 99;
         std::string body =
             Bytes().u32(5).i32(1).i16(2).u8(3).f64(4.0).i16(5).i16(6).i16(7).u32(2).text("x").text("y").s;
         ASSERT_TRUE(rt::LoadBody(r, body, 150));
         EXPECT_EQ(r.m_nA, 1);
         EXPECT_EQ(r.m_dD, 4.0);
         EXPECT_EQ(r.m_Array[2], 7);
         EXPECT_EQ(r.m_nLate, 99);
         EXPECT_EQ(r.m_strSecond, "y");
         // Saved again it has the current layout.
         EXPECT_EQ(rt::ReadU32At(rt::SaveBody(r), 0), 6u);
       }},
      {"fewer members in the file leave the rest as they were",
       [] {
         cExample r;
         ASSERT_TRUE(rt::LoadBody(r, Bytes().u32(1).i32(42).u32(0).s));
         EXPECT_EQ(r.m_nA, 42);
         EXPECT_EQ(r.m_nB, -2);
         EXPECT_EQ(r.m_strSecond, "abc");
       }},
      {"CR removed when stripping is on",
       [] {
         g_bStripCR = 1;
         cExample r;
         ASSERT_TRUE(rt::LoadBody(r, Bytes().u32(0).u32(1).text("a\r\nb").s));
         EXPECT_EQ(r.m_strFirst, "a\nb");
       }},
      {"CR kept when stripping is off",
       [] {
         g_bStripCR = 0;
         cExample r;
         ASSERT_TRUE(rt::LoadBody(r, Bytes().u32(0).u32(1).text("a\r\nb").s));
         EXPECT_EQ(r.m_strFirst, "a\r\nb");
       }},
      {"a stored length with an inner zero keeps the text before it",
       [] {
         cExample r;
         ASSERT_TRUE(rt::LoadBody(r, Bytes().u32(0).u32(1).u32(6).bytes(std::string("ab\0cd\0", 6)).s));
         EXPECT_EQ(r.m_strFirst, "ab");
       }},
      {"a stored length 0 reads as empty",
       [] {
         cExample r;
         r.m_strFirst = "old";
         ASSERT_TRUE(rt::LoadBody(r, Bytes().u32(0).u32(1).u32(0).s));
         EXPECT_EQ(r.m_strFirst, "");
       }},
      {"saving a text with an inner zero writes and keeps the part before it",
       [] {
         cExample r;
         r.m_strFirst = std::string("ab\0cd", 5);
         std::string body = rt::SaveBody(r);
         EXPECT_EQ(body.substr(4 + 15 + 4, 7), Bytes().u32(3).bytes(std::string("ab\0", 3)).s);
         EXPECT_EQ(r.m_strFirst, "ab");
       }},
      {"Clear zeroes every element of an array member and every string",
       [] {
         cLater r;
         r.Clear();
         EXPECT_EQ(r.m_Array[0] | r.m_Array[1] | r.m_Array[2], 0);
         EXPECT_EQ(r.m_nA, 0);
         EXPECT_EQ(r.m_dD, 0.0);
         EXPECT_EQ(r.m_strSecond, "");
       }},
      {"LoadFromFile of an empty path opens \"err\"",
       [] {
         cExample r;
         EXPECT_EQ(r.LoadFromFile(""), 0);
         cExample written;
         written.m_nA = 31;
         ASSERT_EQ(written.SaveToFile("err"), 1);
         EXPECT_EQ(r.LoadFromFile(""), 1);
         EXPECT_EQ(r.m_nA, 31);
       }},
      {"a file newer than the current version reads with the current layout",
       [] {
         cLater r;
         std::string body = rt::SaveBody(r);
         cLater back;
         back.m_nLate = 5;
         ASSERT_TRUE(rt::LoadBody(back, body, 600));
         EXPECT_EQ(back.m_nLate, 0);
       }},
      {"CopyFrom copies members and strings; a copy is independent and saves its own values",
       [] {
         cExample a, b;
         a.m_nA = 11;
         a.m_strFirst = "first";
         b.CopyFrom(a);
         EXPECT_EQ(b.m_nA, 11);
         EXPECT_EQ(b.m_strFirst, "first");
         cExample c = a;
         c.Clear();
         EXPECT_EQ(a.m_nA, 11);
         cExample d;
         d = a;
         d.m_nB = 9;
         EXPECT_EQ(rt::ReadU32At(rt::SaveBody(d), 4), 11u);
         EXPECT_EQ(static_cast<std::int16_t>(rt::ReadU32At(rt::SaveBody(d), 8) & 0xffff), 9);
         EXPECT_EQ(a.m_nB, -2);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.check();
  }
  EXPECT_EQ(closes_, 0);
}

TEST_F(RecordTest, MoreMembersOrStringsThanTheLayoutFailWithTheIndexError) {
  struct Case {
    const char* name;
    std::string body;
    const char* line;
  };
  const Case cases[] = {
      {"members", Bytes().u32(5).i32(1).i16(2).u8(3).f64(4).i32(5).u32(0).s, "err V[4] ( 4 , 24 )\r\n"},
      {"members counted as negative", Bytes().u32(0x80000000u).i32(1).i16(2).u8(3).f64(4).i32(5).s,
       "err V[4] ( 4 , 24 )\r\n"},
      {"strings", Bytes().u32(0).u32(3).text("a").text("b").text("c").s, "err V[2] ( 2 , 16 )\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenReport("Report_Game.txt"));
    closes_ = 0;
    cExample r;
    EXPECT_FALSE(rt::LoadBody(r, c.body));
    EXPECT_EQ(Report(), c.line);
    EXPECT_EQ(closes_, 1);
  }
}

TEST_F(RecordTest, ListFramings) {
  cVector<cExample> list(5);
  cVector<std::int32_t> values{1, -2, 3};
  cVector<std::uint8_t> flags{0, 1, 2, 255};
  cVector<std::string> texts{"", "text"};
  list[1].m_nA = 100;
  list.resize(3);

  cDataWriter out;
  SaveRecordList(out, list);
  SaveValueList(out, values);
  SaveValueList(out, flags);
  SaveStringList(out, texts);
  EXPECT_EQ(rt::ReadU32At(out.Bytes(), 0), 3u);

  cVector<cExample> list2(7);
  cVector<std::int32_t> values2{9};
  cVector<std::uint8_t> flags2;
  cVector<std::string> texts2{"a", "b", "c"};
  g_nLoadVersion = 513;
  cDataReader in{std::string_view(out.Bytes())};
  LoadRecordList(in, list2);
  LoadValueList(in, values2);
  LoadValueList(in, flags2);
  LoadStringList(in, texts2);
  ASSERT_FALSE(in.Failed());
  EXPECT_EQ(in.Remaining(), 0u);
  ASSERT_EQ(list2.size(), 3u);
  EXPECT_EQ(list2[1].m_nA, 100);
  EXPECT_EQ(values2, values);
  EXPECT_EQ(flags2, flags);
  EXPECT_EQ(texts2, texts);

  // An empty list loads as empty; the default element is what new elements start from.
  const std::string emptyList = Bytes().u32(0).s;
  cDataReader empty{std::string_view(emptyList)};
  LoadRecordList(empty, list2);
  EXPECT_TRUE(list2.empty());
  cExample defaults;
  defaults.m_nB = 77;
  const std::string oneElement = Bytes().u32(1).u32(1).i32(5).u32(0).s;
  cDataReader one{std::string_view(oneElement)};
  LoadRecordList(one, list2, defaults);
  ASSERT_EQ(list2.size(), 1u);
  EXPECT_EQ(list2[0].m_nA, 5);
  EXPECT_EQ(list2[0].m_nB, 77);

  cVector<cExample> reset(2);
  reset[0].m_nA = 1;
  reset.ResetRecords(4);
  ASSERT_EQ(reset.size(), 4u);
  EXPECT_EQ(reset[0].m_nA, 7);
}

// Lists nested inside lists: a hostile file cannot recurse without end.
class cNested : public cRecord {
 public:
  cVector<cNested> m_Children;
  void Load(cDataReader& in) override {
    cRecord::Load(in);
    LoadRecordList(in, m_Children);
  }
};

TEST_F(RecordTest, DamagedListsFailCleanly) {
  auto records = [](cDataReader& in) {
    cVector<cExample> list(2);
    LoadRecordList(in, list);
  };
  auto values = [](cDataReader& in) {
    cVector<std::int32_t> list{4};
    LoadValueList(in, list);
  };
  auto texts = [](cDataReader& in) {
    cVector<std::string> list;
    LoadStringList(in, list);
  };
  auto nested = [](cDataReader& in) {
    cNested r;
    r.Load(in);
  };
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += Bytes().u32(0).u32(0).u32(1).s;
  struct Case {
    const char* name;
    std::function<void(cDataReader&)> load;
    std::string bytes;
  };
  const Case cases[] = {
      {"record count 2^31", records, Bytes().u32(0x80000000u).s + std::string(64, '\0')},
      {"record count 2^32-1", records, Bytes().u32(0xffffffffu).s + std::string(64, '\0')},
      {"record body cut short", records, Bytes().u32(1).u32(2).i32(1).s},
      {"value count beyond the data", values, Bytes().u32(3).i32(1).i32(2).s},
      {"value count 2^31", values, Bytes().u32(0x80000000u).i32(1).s},
      {"string length past the end", texts, Bytes().u32(1).u32(100).bytes("abc").s},
      {"string count 2^31", texts, Bytes().u32(0x80000000u).u32(1).s},
      {"no count at all", texts, Bytes().u8(1).s},
      {"lists nested 100000 deep", nested, deep},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cDataReader in{std::string_view(c.bytes)};
    c.load(in);
    EXPECT_TRUE(in.Failed());
  }
}

}  // namespace
