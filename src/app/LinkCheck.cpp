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

}  // namespace

std::vector<std::string> MissingLinks() {
  std::vector<std::string> m;
  const auto Check = [&m](const char* name, const auto& link) {
    if (!link) m.emplace_back(name);
  };
  const cFrontendLinks& f = g_FrontendLinks;
  Check("cFrontendLinks::gameMode", f.gameMode);
  Check("cFrontendLinks::testPlay", f.testPlay);
  Check("cFrontendLinks::dialogRequest", f.dialogRequest);
  Check("cFrontendLinks::replaySaveDialog", f.replaySaveDialog);
  const cStageLinks& s = g_StageLinks;
  Check("cStageLinks::resetMenuCursor", s.resetMenuCursor);
  Check("cStageLinks::restartFreeStage", s.restartFreeStage);
  Check("cStageLinks::loadStageRankings", s.loadStageRankings);
  Check("cStageLinks::setMenuCursorRow", s.setMenuCursorRow);
  Check("cStageLinks::beginSubLoopFrame", s.beginSubLoopFrame);
  Check("cStageLinks::presentSubLoopFrame", s.presentSubLoopFrame);
  Check("cStageLinks::setMenuRow", s.setMenuRow);
  Check("cStageLinks::moveMenuRows", s.moveMenuRows);
  Check("cStageLinks::playCursorSound", s.playCursorSound);
  Check("cStageLinks::drawMenuList", s.drawMenuList);
  const cBgmRequestLinks& b = g_BgmRequestLinks;
  Check("cBgmRequestLinks::screenBgm", b.screenBgm);
  Check("cBgmRequestLinks::screenBgmLoop", b.screenBgmLoop);
  Check("cBgmRequestLinks::bgmFile", b.bgmFile);
  Check("cBgmRequestLinks::scene", b.scene);
  Check("cBgmRequestLinks::prevScene", b.prevScene);
  Check("cBgmRequestLinks::setStageBgm", b.setStageBgm);
  Check("cBgmRequestLinks::stageBgmLoop", b.stageBgmLoop);
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
