#include "base/Vector.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

// Captures close requests and the report log of one test.
class VectorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    closes_ = 0;
    plat::setPostObserver([this](plat::WindowToken, const plat::Msg& m) {
      if (m.id == plat::wm::Close) ++closes_;
    });
    report_ = dir_.path() + "/Report_Game.txt";
    ASSERT_TRUE(OpenReport(plat::fs::fromNative(report_)));
  }
  void TearDown() override { plat::setPostObserver(nullptr); }
  std::string Report() { return *plat::fs::readFile(plat::fs::fromNative(report_)); }

  test_support::TempDir dir_;
  std::string report_;
  int closes_ = 0;
};

TEST_F(VectorFixture, BadIndexLogsClosesAndAnswersElementZero) {
  struct Case {
    int index;
    const char* line;
  };
  const Case cases[] = {{-1, "err V[-1] ( 3 , 4 )\r\n"}, {3, "err V[3] ( 3 , 4 )\r\n"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(OpenReport(plat::fs::fromNative(report_)));
    closes_ = 0;
    cVector<std::int32_t> v{7, 8, 9};
    EXPECT_EQ(v[c.index], 7);
    EXPECT_EQ(Report(), c.line);
    EXPECT_EQ(closes_, 1);
    EXPECT_EQ(v.size(), 3u);
  }
}

TEST_F(VectorFixture, GoodIndexIsSilent) {
  cVector<std::int32_t> v{7, 8, 9};
  EXPECT_EQ(v[2], 9);
  v[1] = 5;
  EXPECT_EQ(v[1], 5);
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(closes_, 0);
}

TEST_F(VectorFixture, EmptyVectorLogsThenThrows) {
  cVector<std::int32_t> v;
  try {
    (void)v[0];
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) { EXPECT_STREQ(e.what(), "invalid vector<T> subscript"); }
  EXPECT_EQ(Report(), "err V[0] ( 0 , 4 )\r\n");
  EXPECT_EQ(closes_, 1);
}

TEST_F(VectorFixture, RemoveAndFill) {
  int a, b, c, d;
  cVector<int*> v{&a, &b, &a, &c};
  EXPECT_TRUE(v.Remove(&a));
  EXPECT_EQ(v, (std::vector<int*>{&b, &c}));
  EXPECT_FALSE(v.Remove(&d));
  EXPECT_EQ(v.size(), 2u);

  cVector<std::uint8_t> empty;
  empty.Fill(3);
  EXPECT_TRUE(empty.empty());
  cVector<std::int32_t> ints(4);
  ints.Fill(-2);
  EXPECT_EQ(ints, (std::vector<std::int32_t>{-2, -2, -2, -2}));
  EXPECT_EQ(closes_, 0);
}

TEST_F(VectorFixture, ListFormAnswersSharedDefault) {
  struct Rec {
    int value = 0;
    char pad[12] = {};
  };
  cVectorList<Rec> list;
  list.push_back(Rec{1, {}});
  list.push_back(Rec{2, {}});
  EXPECT_EQ(list[1].value, 2);
  Rec& def = list[5];
  EXPECT_EQ(&def, &cVectorList<Rec>::DefaultElement());
  EXPECT_EQ(Report(), "err L[5] ( 2 , 16 )\r\n");
  EXPECT_EQ(closes_, 1);
  cVectorList<Rec> empty;
  EXPECT_EQ(&empty[0], &def);
}

}  // namespace
