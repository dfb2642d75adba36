// A test's own report and debug logs in a fresh folder, headless boxes recorded and
// close requests counted.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <vector>

#include "base/Log.h"
#include "platform/fs.h"
#include "platform/messaging.h"
#include "platform/msgbox.h"
#include "platform/sys.h"
#include "test_support/TempDir.h"

namespace test_support {

class LogCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::sys::LaunchParams p = plat::sys::launch();
    p.headless = true;
    plat::sys::setLaunch(p);
    plat::box_script::reset();
    closes_ = 0;
    plat::setPostObserver([this](plat::WindowToken, const plat::Msg& m) {
      if (m.id == plat::wm::Close) ++closes_;
    });
    root_ = plat::fs::fromNative(dir_.path());
    ASSERT_TRUE(OpenReport(root_ + "\\Report_Game.txt"));
    SetDebugLog(1, root_ + "\\EC_Game.txt");
  }
  void TearDown() override {
    plat::setPostObserver(nullptr);
    SetDebugLog(0, "EC_Game.txt");
    plat::box_script::reset();
  }
  std::string Report() { return plat::fs::readFile(root_ + "\\Report_Game.txt").value_or("<none>"); }
  std::string Debug() { return plat::fs::readFile(root_ + "\\EC_Game.txt").value_or("<none>"); }
  // The debug log as lines (CR LF taken off).
  std::vector<std::string> DebugLines() { return DebugLinesOf("\\EC_Game.txt"); }
  std::vector<std::string> DebugLinesOf(const std::string& name) {
    std::vector<std::string> out;
    std::istringstream in(plat::fs::readFile(root_ + name).value_or(""));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line);
    }
    return out;
  }

  TempDir dir_;
  std::string root_;
  std::atomic<int> closes_{0};
};

}  // namespace test_support
