// Item command lists test-played through the player: the sample stage rewritten with the
// stage record so that the hero, walking right, first takes an item whose list gives
// itself (it stops at the nesting cap with one report line, and play goes on), then the
// goal, whose list raises the score by 500 and clears the stage on to the next part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/TinyStage.h"
#include "gamedata/DataRefs.h"
#include "gamedata/Record.h"
#include "gamedata/Stage.h"
#include "gamedata/Vocabulary.h"
#include "platform/cp932.h"
#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

// The sample's databases are not loaded here: every stored reference is taken as it is.
class KeepEveryRef : public cDataRefs {
 public:
  int DatabaseSize(eDatabase) const override { return 1 << 20; }
  int PaletteSize(ePalette, eDefinition) const override { return 1 << 20; }
};

// Rewrites the sample stage in place; false when it does not load or does not save back
// unchanged before it is edited.
bool RewriteStage(const fs::path& file, const fs::path& scratch) {
  const std::uint32_t savedVersion = g_nDataVersion;
  g_nDataVersion = CURRENT_DATA_VERSION;
  KeepEveryRef refs;
  SetDataRefs(&refs);
  const std::string path = plat::fs::fromNative(file.string());
  bool ok = g_Stage.LoadFromFile(path) == 1 && g_Stage.SaveToFile(plat::fs::fromNative(scratch.string())) == 1 &&
            e2e::ReadFile(scratch) == e2e::ReadFile(file);
  if (ok) {
    // Stage palette item k gives item k of the stage palette again.
    cVector<cEdItem>& defs = g_Stage.m_Palette.m_Items;
    if (defs.Size() == 0) defs.resize(1);  // element 0 stays the empty definition
    const int k = defs.Size();
    cEdItem self;
    for (const cEdItem& item : g_Stage.m_Items)
      if (item.m_strText == "ゴール") self = item;  // its picture and take mode
    self.m_strText = "ふえる";
    self.m_Commands.clear();
    self.m_Commands.push_back(e2e::ItemCommand(CMD_GET_ITEM, {1, k}));
    defs.push_back(self);

    // The hero stands on cell (2, 12); the self-giving item at 4 and the goal at 8 are
    // met before the coin at (6, 11) could be, which is moved out of the way.
    bool goal = false;
    for (cEdItem& item : g_Stage.m_Items) {
      if (item.m_strText == "ゴール") {
        goal = true;
        item.m_nX = 8;
        item.m_Commands.clear();
        item.m_Commands.push_back(e2e::ScorePlus(500));
        item.m_Commands.push_back(e2e::ItemCommand(CMD_STAGE_CLEAR, {0, 0, 0, 0, 0}));  // on to the next part
      } else if (item.m_nX == 6) {
        item.m_nX = 30;
        item.m_nY = 3;
      }
    }
    cEdItem placed = self;
    placed.m_nX = 4;
    placed.m_nY = 12;
    g_Stage.m_Items.push_back(placed);
    ok = goal && g_Stage.SaveToFile(path) == 1;
  }
  g_Stage.Reset();
  SetDataRefs(nullptr);
  g_nDataVersion = savedVersion;
  return ok;
}

TEST(ItemCommandDrive, ASelfGivingItemStopsAtTheCapAndTheGoalClearsOnToTheNextPart) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  ASSERT_TRUE(RewriteStage(game / "data" / "stg4" / "Stage01-1.stg4_001", fs::path(tmp.path()) / "scratch.stg4"));

  const e2e::DrivenRun run =
      e2e::RunDriven(game, fs::path(tmp.path()) / "run", "100 RIGHT down\n",
                     {.quitAt = "400", .args = {"data\\stg4\\Stage01-1.stg4"}, .uiAnswers = {}, .env = {}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;

  std::vector<std::string> items, ends;
  for (const std::string& e : e2e::TraceEvents(run.trace)) {
    if (e.rfind("item ", 0) == 0) items.push_back(e);
    if (e.rfind("stage end ", 0) == 0) ends.push_back(e);
  }
  // Both items were handed to the hero, the goal after the self-giving one.
  ASSERT_EQ(items.size(), 2u) << run.stderrText;
  ASSERT_EQ(ends.size(), 1u) << run.stderrText;
  // A stage played from the command line is its part 1: the clear leads to part 2, and
  // the score is the goal's 500 alone.
  const std::string& end = ends[0];
  EXPECT_NE(end.find(" score 500 next 2"), std::string::npos) << end;

  const std::string report = e2e::ReadLogUtf8(game / "Report_Game.txt");
  const std::string cap = plat::cp932::toUtf8("アイテムの取得の入れ子");
  int lines = 0;
  for (std::size_t at = report.find(cap); at != std::string::npos; at = report.find(cap, at + 1)) ++lines;
  EXPECT_EQ(lines, 1) << report;
}

}  // namespace
