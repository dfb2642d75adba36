#include "records/Ranking.h"

#include <climits>

#include "FrontendTestUtil.h"
#include "records/NumberText.h"

namespace {

using rt::Bytes;

class RankingTest : public fe::FrontendFixture {
 protected:
  void SetUp() override {
    fe::FrontendFixture::SetUp();
    rankFlags_ = g_Stage.m_RankFlags;
  }
  void TearDown() override {
    g_RankingSet.Reset();
    g_Stage.m_RankFlags = rankFlags_;
    fe::FrontendFixture::TearDown();
  }
  cVector<std::int32_t> rankFlags_;
};

cRankingTable TableOf(int descending, std::initializer_list<int> values) {
  cRankingTable t;
  t.m_bDescending = descending;
  int i = 0;
  for (int v : values) {
    t.m_Entries[i].m_bUsed = 1;
    t.m_Entries[i].m_nValue = v;
    t.m_Entries[i].m_strName = "p" + std::to_string(i);
    ++i;
  }
  return t;
}

std::vector<int> Values(const cRankingTable& t) {
  std::vector<int> v;
  for (const cRankingEntry& e : t.m_Entries) v.push_back(e.m_bUsed ? e.m_nValue : -1);
  return v;
}

TEST_F(RankingTest, FileLayoutOfANewSet) {
  cRankingSet set;
  ASSERT_EQ(set.m_Tables.Size(), 5);
  cDataWriter out;
  out.WriteU32(513);
  set.Save(out);
  ASSERT_EQ(out.Bytes().size(), 2096u);
  Bytes head;
  head.u32(513).u32(0).u32(0).u32(5).u32(1).i32(1).u32(0).u32(20).u32(2).i32(0).i32(0).u32(1).u32(1);
  EXPECT_TRUE(rt::SameBytes(out.Bytes().substr(0, head.s.size()), head.s));
  for (int q = 0; q < 5; ++q) EXPECT_EQ(set.m_Tables[q].m_bDescending, q == 2 ? 0 : 1) << q;

  // A name adds its length and its zero byte.
  set.m_Tables[2].Insert("abc", 4500);
  EXPECT_EQ(rt::SaveBody(set).size(), 2092u + 4);
  cRankingSet back;
  back.m_Tables.clear();
  ASSERT_TRUE(rt::LoadBody(back, rt::SaveBody(set)));
  EXPECT_EQ(back.m_Tables[2].m_Entries[0].m_strName, "abc");
  EXPECT_EQ(back.m_Tables[2].m_Entries[0].m_nValue, 4500);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(set)));
}

TEST_F(RankingTest, PlacesOfAValue) {
  const cRankingTable down = TableOf(1, {500, 400, 400, 300});
  const cRankingTable up = TableOf(0, {10, 20, 20});
  const struct {
    const cRankingTable* table;
    int value, rank;
  } cases[] = {
      {&down, 400, 3}, {&down, 600, 0}, {&down, 300, 4}, {&down, -5, 4},
      {&down, 401, 1}, {&up, 20, 3},    {&up, 5, 0},     {&up, 15, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.table->FindRank(c.value), c.rank) << c.value;
  cRankingTable full = TableOf(1, {});
  for (int i = 0; i < 20; ++i) full.Insert("x", 100 - i);
  EXPECT_EQ(full.FindRank(81), -1);
  EXPECT_EQ(full.FindRank(82), 19);
}

TEST_F(RankingTest, InsertKeepsTheCount) {
  cRankingTable t = TableOf(1, {});
  for (int i = 0; i < 20; ++i) t.Insert("x", 100 + i);
  EXPECT_EQ(Values(t).front(), 119);
  EXPECT_EQ(Values(t).back(), 100);
  t.Insert("best", 200);
  EXPECT_EQ(t.m_Entries.Size(), 20);
  EXPECT_EQ(t.m_Entries[0].m_strName, "best");
  EXPECT_EQ(Values(t).back(), 101);  // the last one dropped out
  const std::vector<int> before = Values(t);
  t.Insert("worst", 50);
  EXPECT_EQ(Values(t), before);

  cRankingTable five = TableOf(0, {1, 2, 3});
  five.m_Entries.resize(5);
  five.Insert("a", 0);
  five.Insert("b", 9);
  EXPECT_EQ(Values(five), (std::vector<int>{0, 1, 2, 3, 9}));
  five.Insert("c", 2);
  EXPECT_EQ(Values(five), (std::vector<int>{0, 1, 2, 2, 3}));
  cRankingTable none;
  none.m_Entries.clear();
  none.Insert("z", 1);
  EXPECT_TRUE(none.m_Entries.empty());
}

TEST_F(RankingTest, ResetsKeepWhatFitsInTwenty) {
  cRankingTable t = TableOf(1, {7, 6, 5});
  t.m_Entries.resize(25);
  t.Reset();
  EXPECT_EQ(t.m_bDescending, 0);
  EXPECT_EQ(t.m_Entries.Size(), 20);
  EXPECT_EQ(Values(t)[2], 5);
  t.m_Entries.resize(2);
  t.Reset();
  EXPECT_EQ(Values(t)[1], 6);
  EXPECT_EQ(t.m_Entries.Size(), 20);
}

TEST_F(RankingTest, FilesOfOtherShapes) {
  // A table file holding 5 entries keeps 5.
  cRankingSet set;
  set.m_Tables[0].m_Entries.resize(5);
  cRankingSet five;
  ASSERT_TRUE(rt::LoadBody(five, rt::SaveBody(set)));
  ASSERT_EQ(five.m_Tables[0].m_Entries.Size(), 5);
  for (int i = 0; i < 8; ++i) five.m_Tables[0].Insert("n", i);
  EXPECT_EQ(five.m_Tables[0].m_Entries.Size(), 5);
  EXPECT_EQ(five.m_Tables[0].m_Entries[0].m_nValue, 7);

  // Version 180 knew three quantities: the other two are added, ranking large first.
  cRankingSet old;
  old.m_Tables.resize(3);
  for (cRankingTable& t : old.m_Tables) t.m_bDescending = 0;
  const std::string body = rt::SaveBody(old, 180);
  const struct {
    std::uint32_t version;
    std::vector<int> descending;
  } cases[] = {{180, {0, 0, 0, 1, 1}}, {181, {0, 0, 0, 1, 1}}, {513, {0, 0, 0, 1, 1}}};
  for (const auto& c : cases) {
    cRankingSet r;
    ASSERT_TRUE(rt::LoadBody(r, body, c.version));
    ASSERT_EQ(r.m_Tables.Size(), 5);
    for (int q = 0; q < 5; ++q) EXPECT_EQ(r.m_Tables[q].m_bDescending, c.descending[q]) << c.version << q;
  }
  // At 180 even a stored fourth table is made to rank large first.
  old.m_Tables.resize(5);
  old.m_Tables[3].m_bDescending = 0;
  cRankingSet r;
  ASSERT_TRUE(rt::LoadBody(r, rt::SaveBody(old, 180), 180));
  EXPECT_EQ(r.m_Tables[3].m_bDescending, 1);
  ASSERT_TRUE(rt::LoadBody(r, rt::SaveBody(old), 513));
  EXPECT_EQ(r.m_Tables[3].m_bDescending, 0);

  // Thousands of entries load; more than 4096 in a table is a damaged file.
  for (int n : {4096, 4097}) {
    cRankingSet big;
    big.m_Tables[2].m_Entries.resize(static_cast<std::size_t>(n));
    cRankingSet back;
    EXPECT_EQ(rt::LoadBody(back, rt::SaveBody(big)), n == 4096) << n;
  }
}

TEST_F(RankingTest, RankingPaths) {
  const struct {
    int mode;
    const char* name;
    const char* path;
  } cases[] = {
      {0, "data\\stg4\\Forest.", "user_data\\story\\Forest.rkg"},
      {1, "data\\stg4\\A.", "user_data\\challenge\\A.rkg"},
      {2, "B.", "user_data\\free\\B.rkg"},
      {0, "data\\stg4\\表.", "user_data\\story\\表.rkg"},  // a trail byte 0x5C is no separator
      {0, "../../A.", "user_data\\story\\A.rkg"},          // '/' separates too: no way out
      {0, "data\\..", nullptr},
      {0, "x/.", nullptr},
      {3, "A.", nullptr},
      {-1, "A.", nullptr},
  };
  for (const auto& c : cases) {
    std::string path = "unchanged";
    EXPECT_EQ(MakeRankingPath(path, c.mode, c.name), c.path ? 1 : 0) << c.mode << c.name;
    EXPECT_EQ(path, c.path ? c.path : "unchanged");
  }
}

TEST_F(RankingTest, SavedRankingsComeBackAndMissingOnesStartEmpty) {
  g_RankingSet.m_Tables[1].Insert("me", 42);
  ASSERT_EQ(g_RankingSet.SaveFile(1, "data\\stg4\\A."), 1);
  EXPECT_TRUE(plat::fs::isFile("user_data\\challenge\\A.rkg"));
  EXPECT_EQ(g_RankingSet.SaveFile(3, "data\\stg4\\A."), 0);

  cRankingSet set;
  ASSERT_EQ(set.LoadFile(1, "data\\stg4\\A."), 1);
  EXPECT_EQ(set.m_Tables[1].m_Entries[0].m_strName, "me");
  // Another mode's file, a mode without rankings and a damaged file: an empty set.
  const std::string whole = *plat::fs::readFile("user_data\\challenge\\A.rkg");
  ASSERT_TRUE(plat::fs::writeFileAtomic("user_data\\story\\A.rkg", whole.substr(0, whole.size() - 1)));
  for (int mode : {2, 3, 0}) {
    set.m_Tables[1].Insert("x", 50);
    EXPECT_EQ(set.LoadFile(mode, "data\\stg4\\A."), 0) << mode;
    EXPECT_EQ(set.m_Tables.Size(), 5);
    EXPECT_EQ(set.m_Tables[1].m_Entries[0].m_bUsed, 0);
    EXPECT_EQ(set.m_Tables[2].m_bDescending, 0);
  }
  EXPECT_NE(Report().find("user_data\\story\\A.rkg"), std::string::npos);
  EXPECT_EQ(closes_, 0);
}

TEST_F(RankingTest, NumbersAndTimes) {
  const struct {
    int t;
    const char* text;
  } times[] = {{0, "00:00.00"},      {345, "00:03.45"},     {6000, "01:00.00"},
               {599999, "99:59.99"}, {600000, "100:00.00"}, {-345, "00:-03.-45"}};
  for (const auto& c : times) {
    std::string s;
    FormatTime(s, c.t);
    EXPECT_EQ(s, c.text) << c.t;
  }
  const struct {
    int v, digits;
  } counts[] = {{0, 1}, {9, 1}, {10, 2}, {-10, 2}, {99999, 5}, {INT_MAX, 10}, {INT_MIN, 10}};
  for (const auto& c : counts) EXPECT_EQ(CountDigits(c.v), c.digits) << c.v;
  const struct {
    int v, width, keep, plus;
    const char* text;
    // clang-format off
  } numbers[] = {{5, 3, 0, 0, "  5"},   {5, 3, 1, 1, "+005"},   {-42, 0, 1, 0, "-42"},   {0, 3, 0, 0, "  0"},
                 {1234, 2, 1, 0, "1234"}, {-7, 3, 0, 0, "-  7"}, {INT_MIN, 0, 1, 0, "-2147483648"},
                 // clang-format on
                 {12, 4, 0, 1, "+  12"}};
  for (const auto& c : numbers) {
    std::string s;
    NumberToText(s, c.v, c.width, c.keep, c.plus);
    EXPECT_EQ(s, c.text) << c.v;
  }
  EXPECT_EQ(CountValue(cVector<std::int32_t>{1, 0, 1, 1}, 1), 3);
}

TEST_F(RankingTest, TableLayout) {
  LinkMode();
  cRankingTable t = TableOf(1, {12345, 99});
  t.m_Entries[3].m_bUsed = 1;
  t.m_Entries[3].m_nValue = 7;
  t.m_Entries[3].m_strName = "ccc";
  RANKINGLAYOUT l = LayoutRankingTable(t, 100, 40, 0, 3);
  EXPECT_TRUE(l.bWindow);
  EXPECT_EQ(l.nWindowX, 101);
  EXPECT_EQ(l.nWindowW, 270);
  EXPECT_EQ(l.nWindowH, 350);
  const cVector<RANKINGTEXT> want = {
      {100, 40, "ランキング    スコア"},
      {116, 56, "1"},
      {164, 56, "p0"},
      {100 + 16 * 9, 56, "12345"},  // W = 5: numbers end at x + 16 x 14
      {116, 72, "2"},
      {164, 72, "p1"},
      {100 + 16 * 12, 72, "99"},
      {116, 104, "4"},  // row 3 (row 2 is not used)
      {164, 104, "ccc"},
      {100 + 16 * 13, 104, "7"},
      {100 + 136 - 8 * 13, 40 + 16 * 20 + 16, "Vキーでジャンルの切り替え"},
  };
  EXPECT_EQ(l.Texts, want);
  EXPECT_EQ(l.Icons, (cVector<RANKINGICON>{{100, 40 + 16 * 3 + 16}}));

  // Clear times take a column of their own; one ranked quantity leaves the footer out.
  g_System.m_GameModes[0].m_RankedQuantities.assign(5, 0);
  g_System.m_GameModes[0].m_RankedQuantities[2] = 1;
  l = LayoutRankingTable(t, 0, 0, 2, -1);
  EXPECT_EQ(l.Texts[0].strText, "ランキング    クリア時間");
  EXPECT_EQ(l.Texts[3], (RANKINGTEXT{144, 16, "02:03.45"}));
  EXPECT_EQ(l.Texts.Size(), 10);
  EXPECT_TRUE(l.Icons.empty());
  EXPECT_EQ(t.Draw(nullptr, 0, 0, 2, -1), -1);

  cRankingTable empty;
  empty.m_Entries.clear();
  l = LayoutRankingTable(empty, 0, 0, 1, -1);
  EXPECT_EQ(l.Texts.Size(), 1);
}

TEST_F(RankingTest, ResultPanelLayout) {
  LinkMode();
  g_PlayRecord.m_nTotalScore = 123456;
  g_PlayRecord.m_nTotalTimeLeft = 40;
  g_PlayRecord.m_nTotalClearTime = 6100;
  g_PlayRecord.m_nTotalHpLeft = 7;
  g_Stage.m_RankFlags = {1, 1, 0, 1, 0};
  g_System.m_GameModes[0].m_RankedQuantities = {0, 1, 1, 1, 1};
  const std::int32_t ranks[5] = {0, -1, 0, 2, 0};
  RANKINGLAYOUT l = LayoutResultPanel(336, 224, ranks);
  // Shown: stage and mode both rank it. Labels "残り時間" and "残りHP": L = 4; V = 2.
  ASSERT_TRUE(l.bWindow);
  EXPECT_EQ(l.nWindowW, 16 * (2 + 4 + 3));
  EXPECT_EQ(l.nWindowH, 32);
  const cVector<RANKINGTEXT> want = {
      {352, 224, "残り時間"}, {336 + 64 + 32, 224, "40"}, {352, 240, "残りHP"}, {336 + 64 + 32, 240, "7"}};
  EXPECT_EQ(l.Texts, want);
  EXPECT_EQ(l.Icons, (cVector<RANKINGICON>{{336, 240}}));  // quantity 1 did not enter

  // Test play shows what the stage ranks whatever the mode says.
  testPlay_ = 1;
  l = LayoutResultPanel(0, 0, ranks);
  EXPECT_EQ(l.Texts.Size(), 6);
  EXPECT_EQ(l.Texts[1].strText, "123456");
  EXPECT_EQ(l.nWindowW, 16 * (6 + 4 + 3));
  g_Stage.m_RankFlags = {0, 0, 1, 0, 0};
  l = LayoutResultPanel(0, 0, ranks);
  EXPECT_EQ(l.Texts[1].strText, "01:01.00");
  EXPECT_EQ(l.nWindowW, 16 * (8 + 5 + 3));
  g_Stage.m_RankFlags.clear();
  l = LayoutResultPanel(0, 0, ranks);
  EXPECT_FALSE(l.bWindow);
  EXPECT_TRUE(l.Texts.empty());
  DrawResultPanel(nullptr, 0, 0, ranks);
}

TEST_F(RankingTest, DamagedFilesFailCleanly) {
  cRankingSet set;
  set.m_Tables[0].Insert("abc", 3);
  const std::string body = rt::SaveBody(set);
  for (std::size_t n = 0; n < body.size(); n += 7) {
    cRankingSet r;
    EXPECT_FALSE(rt::LoadBody(r, body.substr(0, n))) << n;
    rt::SaveBody(r);
  }
  for (std::size_t at : {std::size_t{8}, std::size_t{24}}) {  // table count, first entry count
    std::string huge = body;
    rt::WriteU32At(huge, at, 0xFFFFFFF0u);
    cRankingSet r;
    EXPECT_FALSE(rt::LoadBody(r, huge)) << at;
  }
}

}  // namespace
