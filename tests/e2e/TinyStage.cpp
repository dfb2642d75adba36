#include "e2e/TinyStage.h"

#include <system_error>

#include "gamedata/DataPaths.h"
#include "gamedata/Database.h"
#include "gamedata/Palette.h"
#include "gamedata/ProjectRefs.h"
#include "gamedata/Record.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "platform/fs.h"

namespace e2e {

namespace {

constexpr const char* SAMPLE_STAGE_FILE = "data\\stg4\\Stage01-1.stg4_001";

// The project's files are named relative to the game folder, as the player runs.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
    plat::fs::invalidateCache();
  }
  ~InFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    plat::fs::invalidateCache();
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace

bool WriteTinyStage(const std::filesystem::path& game, const std::string& name,
                    const std::function<void(cEdStage&, const StageParts&)>& edit) {
  InFolder here(game);
  g_nDataVersion = CURRENT_DATA_VERSION;
  InstallDataRefs();
  if (!g_Database.LoadAll() || !g_System.LoadFromFile(g_PathTable[PATH_SYSTEM]) || !LoadCommonPalette()) return false;
  cEdStage& stage = g_Stage;
  if (!stage.LoadFromFile(SAMPLE_STAGE_FILE)) return false;
  StageParts parts;
  bool bHero = false, bWalker = false;
  for (const cEdChara& c : stage.m_Charas) {
    if (c.m_nOperator == 0 && !bHero) {
      parts.hero = c;
      bHero = true;
    } else if (c.m_nOperator != 0 && !bWalker) {
      parts.walker = c;
      bWalker = true;
    }
  }
  if (!bHero || !bWalker || stage.m_Blocks.empty() || stage.m_Items.empty()) return false;
  parts.block = stage.m_Blocks[0];
  parts.coin = stage.m_Items[0];
  stage.m_Blocks.clear();
  stage.m_Charas.clear();
  stage.m_Items.clear();
  stage.m_nWidth = 20;
  stage.m_nHeight = 15;
  stage.m_nExtentX = (20 + 20) * 32 - 640;
  stage.m_nExtentY = (15 + 20) * 32 - 640;
  stage.m_bShowStart1 = stage.m_bShowStart2 = 0;
  stage.m_bTimeLimit = 0;
  stage.m_nBgm = 0;
  edit(stage, parts);
  return stage.SaveToFile("data\\stg4\\" + name + ".stg4_001") != 0;
}

cEdBlock BlockAt(const cEdBlock& def, int x, int y) {
  cEdBlock b = def;
  b.m_nX = static_cast<std::int16_t>(x);
  b.m_nY = static_cast<std::int16_t>(y);
  return b;
}

cEdChara CharaAt(const cEdChara& def, int x, int y) {
  cEdChara c = def;
  c.m_nX = static_cast<std::int16_t>(x);
  c.m_nY = static_cast<std::int16_t>(y);
  return c;
}

cEdItem ItemAt(const cEdItem& def, int x, int y) {
  cEdItem i = def;
  i.m_nX = static_cast<std::int16_t>(x);
  i.m_nY = static_cast<std::int16_t>(y);
  return i;
}

void MakeAutoScrolling(cEdStage& stage, int nWidth, int nSpeed) {
  stage.m_nWidth = nWidth;
  stage.m_nExtentX = (nWidth + 20) * 32 - 640;
  stage.m_nScrollModeX = 1;
  stage.m_nAutoScrollX = nSpeed;
}

cEdCommand MakeCommand(int type, int time, std::vector<std::int32_t> params, const char* text) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.m_strText = text;
  return c;
}

cEdCommand ItemCommand(int type, std::vector<std::int32_t> params) {
  cEdCommand c;
  c.m_nSet = 1;  // an item command
  c.m_nType = static_cast<std::int8_t>(type - ITEM_TYPE_OFFSET);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.Normalize();
  return c;
}

cEdCommand ScorePlus(int n) {
  std::vector<std::int32_t> p(18, 0);
  p[3] = 2;  // the system's value
  p[4] = 3;  // the score
  p[5] = 1;  // +
  p[7] = n;
  return ItemCommand(CMD_STATUS, p);
}

cEdCommand ClearStage() { return ItemCommand(CMD_STAGE_CLEAR, {2, 0, 0, 0, 0}); }

bool WriteGoalStage(const std::filesystem::path& game, const std::string& name, int nScore,
                    const std::function<void(cEdStage&)>& stage, const std::function<void(cEdSystem&)>& project) {
  return WriteTinyStage(game, name, [&](cEdStage& s, const StageParts& p) {
    s.m_bShowClear = 1;
    s.m_bAutoEnd = 0;
    s.m_RankFlags.assign(5, 1);
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(BlockAt(p.block, x, 13));
    s.m_Charas.push_back(CharaAt(p.hero, 5, 12));
    cEdItem goal = ItemAt(p.coin, 5, 12);
    goal.m_Commands.clear();
    goal.m_Commands.push_back(ScorePlus(nScore));
    goal.m_Commands.push_back(ClearStage());
    s.m_Items.push_back(goal);
    if (stage) stage(s);
    if (project) {
      project(g_System);
      g_System.SaveToFile(g_PathTable[PATH_SYSTEM]);
    }
  });
}

bool GiveHeroFlow(const std::filesystem::path& game, std::vector<cEdCommand> commands) {
  InFolder here(game);
  if (!g_Database.LoadAll()) return false;
  InstallDataRefs();
  if (!g_CommonPalette.LoadFromFile(g_PathTable[PATH_COMMON_PALETTE])) return false;
  cEdStage stage;
  if (!stage.LoadFromFile(SAMPLE_STAGE_FILE)) return false;
  cEdFlow flow;
  flow.m_nTrigger = 0;
  for (cEdCommand& c : commands) flow.m_Commands.push_back(c);
  flow.m_Commands.push_back(MakeCommand(CMD_WAIT, 30000, {}));
  bool bFound = false;
  for (cEdChara& c : stage.m_Charas) {
    if (c.m_nOperator != 0) continue;
    c.m_Flows.push_back(flow);
    bFound = true;
  }
  for (cEdChara& c : stage.m_Palette.m_Charas)
    if (c.m_nOperator == 0) c.m_Flows.push_back(flow);
  return bFound && stage.SaveToFile(SAMPLE_STAGE_FILE) != 0;
}

}  // namespace e2e
