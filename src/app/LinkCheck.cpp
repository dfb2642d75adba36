#include "app/LinkCheck.h"

#include <functional>

#include "base/Log.h"
#include "records/FrontendLinks.h"
#include "sound/BgmPlayer.h"
#include "stage/StageLinks.h"

namespace {

// A member added to a table must be added to its list below as well: the sizes catch a
// list that falls behind.
constexpr std::size_t kLink = sizeof(std::function<void()>);
static_assert(sizeof(cFrontendLinks) == 4 * kLink, "list every member of cFrontendLinks below");
static_assert(sizeof(cStageLinks) == 10 * kLink, "list every member of cStageLinks below");
static_assert(sizeof(cBgmRequestLinks) == 7 * kLink, "list every member of cBgmRequestLinks below");

void Check(std::vector<std::string>& missing, const char* name, bool installed) {
  if (!installed) missing.emplace_back(name);
}

}  // namespace

std::vector<std::string> MissingLinks() {
  std::vector<std::string> m;
  const cFrontendLinks& f = g_FrontendLinks;
  Check(m, "cFrontendLinks::gameMode", static_cast<bool>(f.gameMode));
  Check(m, "cFrontendLinks::testPlay", static_cast<bool>(f.testPlay));
  Check(m, "cFrontendLinks::dialogRequest", static_cast<bool>(f.dialogRequest));
  Check(m, "cFrontendLinks::replaySaveDialog", static_cast<bool>(f.replaySaveDialog));
  const cStageLinks& s = g_StageLinks;
  Check(m, "cStageLinks::resetMenuCursor", static_cast<bool>(s.resetMenuCursor));
  Check(m, "cStageLinks::restartFreeStage", static_cast<bool>(s.restartFreeStage));
  Check(m, "cStageLinks::loadStageRankings", static_cast<bool>(s.loadStageRankings));
  Check(m, "cStageLinks::setMenuCursorRow", static_cast<bool>(s.setMenuCursorRow));
  Check(m, "cStageLinks::beginSubLoopFrame", static_cast<bool>(s.beginSubLoopFrame));
  Check(m, "cStageLinks::presentSubLoopFrame", static_cast<bool>(s.presentSubLoopFrame));
  Check(m, "cStageLinks::setMenuRow", static_cast<bool>(s.setMenuRow));
  Check(m, "cStageLinks::moveMenuRows", static_cast<bool>(s.moveMenuRows));
  Check(m, "cStageLinks::playCursorSound", static_cast<bool>(s.playCursorSound));
  Check(m, "cStageLinks::drawMenuList", static_cast<bool>(s.drawMenuList));
  const cBgmRequestLinks& b = g_BgmRequestLinks;
  Check(m, "cBgmRequestLinks::screenBgm", static_cast<bool>(b.screenBgm));
  Check(m, "cBgmRequestLinks::screenBgmLoop", static_cast<bool>(b.screenBgmLoop));
  Check(m, "cBgmRequestLinks::bgmFile", static_cast<bool>(b.bgmFile));
  Check(m, "cBgmRequestLinks::scene", static_cast<bool>(b.scene));
  Check(m, "cBgmRequestLinks::prevScene", static_cast<bool>(b.prevScene));
  Check(m, "cBgmRequestLinks::setStageBgm", static_cast<bool>(b.setStageBgm));
  Check(m, "cBgmRequestLinks::stageBgmLoop", static_cast<bool>(b.stageBgmLoop));
  return m;
}

bool CheckLinksInstalled() {
  const std::vector<std::string> missing = MissingLinks();
  if (missing.empty()) return true;
  std::string names;
  for (const std::string& name : missing) names += "\n" + name;
  ReportError("内部の連携が設定されていません：%s", names.c_str());
  return false;
}
