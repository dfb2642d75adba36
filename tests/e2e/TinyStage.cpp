#include "e2e/TinyStage.h"

#include <system_error>

#include "gamedata/DataPaths.h"
#include "gamedata/Database.h"
#include "gamedata/Palette.h"
#include "gamedata/ProjectRefs.h"
#include "gamedata/Record.h"
#include "gamedata/System.h"

namespace e2e {

namespace {

// The project's files are named relative to the game folder, as the player runs.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
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
  if (!stage.LoadFromFile("data\\stg4\\Stage01-1.stg4_001")) return false;
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

}  // namespace e2e
