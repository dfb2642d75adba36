// The user's own files are damaged by crashes, copies and hand edits: each gives a
// report-log line and defaults, never a close of the game.
#include <functional>

#include "records/FrontendTestUtil.h"
#include "records/Ranking.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"

namespace {

class DamagedUserFileTest : public fe::FrontendFixture {};

// The saved bytes with the member count (bytes 4-7) set to FF FF FF FF.
std::string WithHugeMemberCount(std::string bytes) {
  rt::WriteU32At(bytes, 4, 0xFFFFFFFFu);
  return bytes;
}

TEST_F(DamagedUserFileTest, AnUnknownLayoutGivesDefaultsAndAReportLine) {
  struct Case {
    const char* name;
    std::string path;
    std::function<void()> save;       // writes a good file at path
    std::function<bool()> load;       // true when the load took the file
    std::function<bool()> defaulted;  // the record holds its defaults
  };
  cOption option;
  cPlayRecord record;
  cRankingSet ranking;
  const Case cases[] = {
      {"options", g_PathTable[PATH_OPTION],
       [] {
         cOption o;
         o.m_nSoundVolume = 2;
         ASSERT_EQ(o.SaveToFile(g_PathTable[PATH_OPTION]), 1);
       },
       [&] {
         option.m_nSoundVolume = 4;
         return option.LoadUserFile(g_PathTable[PATH_OPTION]) != 0;
       },
       [&] { return option.m_nSoundVolume == 7; }},
      {"story slot", "user_data\\story\\Story03.dat",
       [] {
         cPlayRecord r;
         r.m_nTotalScore = 9;
         ASSERT_EQ(r.SaveSlot(2), 1);
       },
       [&] { return record.LoadSlot(2) != 0; }, [&] { return record.m_nTotalScore == 0; }},
      {"challenge", g_PathTable[PATH_CHALLENGE],
       [] {
         cPlayRecord r;
         r.m_nTotalScore = 9;
         ASSERT_EQ(r.SaveChallenge(), 1);
       },
       [&] { return record.LoadChallenge(); }, [&] { return record.m_nTotalScore == 0; }},
      {"ranking", "user_data\\story\\A.rkg",
       [] {
         cRankingSet s;
         s.m_Tables[0].Insert("me", 5);
         ASSERT_EQ(s.SaveFile(0, "A."), 1);
       },
       [&] { return ranking.LoadFile(0, "A.") != 0; }, [&] { return ranking.m_Tables[0].m_Entries[0].m_bUsed == 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.save();
    ASSERT_TRUE(c.load());  // the good file loads
    std::string bytes = plat::fs::readFile(c.path).value_or("");
    ASSERT_GT(bytes.size(), 8u);
    ASSERT_TRUE(plat::fs::writeFileAtomic(c.path, WithHugeMemberCount(bytes)));
    option = cOption();
    record = cPlayRecord();
    ranking = cRankingSet();
    EXPECT_FALSE(c.load());
    EXPECT_TRUE(c.defaulted());
    EXPECT_NE(Report().find(c.path.substr(c.path.rfind('\\') + 1) + " のロードに失敗"), std::string::npos);
  }
  EXPECT_EQ(closes_, 0);
}

}  // namespace
