// Start-up installs every link of the tables below it; one left empty is reported by
// name and stops the start.
#include "app/LinkCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/GameInit.h"
#include "records/FrontendLinks.h"
#include "sound/BgmPlayer.h"
#include "stage/StageLinks.h"
#include "platform/msgbox.h"
#include "test_support/LogCapture.h"

namespace {

class LinkCheck : public test_support::LogCapture {
 protected:
  void TearDown() override {
    g_FrontendLinks = cFrontendLinks();
    g_StageLinks = cStageLinks();
    g_BgmRequestLinks = cBgmRequestLinks();
    LogCapture::TearDown();
  }
};

TEST_F(LinkCheck, StartUpInstallsEveryLink) {
  g_FrontendLinks = cFrontendLinks();
  g_StageLinks = cStageLinks();
  g_BgmRequestLinks = cBgmRequestLinks();
  EXPECT_EQ(MissingLinks().size(), 21u);  // nothing installed: every link is named
  InstallLinks();
  EXPECT_EQ(MissingLinks(), std::vector<std::string>{});
  const std::string before = Report();
  EXPECT_TRUE(CheckLinksInstalled());
  EXPECT_EQ(Report(), before);  // nothing to report
  EXPECT_TRUE(plat::box_script::shown().empty());
}

TEST_F(LinkCheck, AMissingLinkIsNamedInTheErrorAndFailsTheCheck) {
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"cFrontendLinks::dialogRequest", [] { g_FrontendLinks.dialogRequest = nullptr; }},
      {"cStageLinks::drawMenuList", [] { g_StageLinks.drawMenuList = nullptr; }},
      {"cBgmRequestLinks::setStageBgm", [] { g_BgmRequestLinks.setStageBgm = nullptr; }},
  };
  for (const auto& [name, clear] : cases) {
    InstallLinks();
    clear();
    EXPECT_EQ(MissingLinks(), std::vector<std::string>{name});
    EXPECT_FALSE(CheckLinksInstalled()) << name;
    EXPECT_NE(Report().find(name), std::string::npos) << name << "\n" << Report();
  }
  EXPECT_EQ(plat::box_script::shown().size(), cases.size());  // the user is told too
  // Two missing: one error naming both, in table order.
  InstallLinks();
  g_BgmRequestLinks.scene = nullptr;
  g_FrontendLinks.testPlay = nullptr;
  EXPECT_EQ(MissingLinks(), (std::vector<std::string>{"cFrontendLinks::testPlay", "cBgmRequestLinks::scene"}));
}

}  // namespace
