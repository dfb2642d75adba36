// A fixture for the runs through the player binary: a fresh copy of the sample project in
// a folder of the test's own, with its first start's "data\" already made.
#pragma once
#include <gtest/gtest.h>

#include "e2e/PlayerProcess.h"
#include "test_support/TempDir.h"

namespace e2e {

class SampleGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = FreshSampleCopy(tmp_.path());
    ASSERT_FALSE(game_.empty()) << "the sample project could not be made";
    CopyDefaultToData(game_);
  }

  test_support::TempDir tmp_;
  fs::path game_;
};

}  // namespace e2e
