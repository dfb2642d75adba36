#include "platform/msgbox.h"

#include <gtest/gtest.h>

#include "platform/sys.h"

namespace {

class MsgBox : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::sys::LaunchParams p = plat::sys::launch();
    p.headless = true;
    plat::sys::setLaunch(p);
    plat::box_script::reset();
  }
  void TearDown() override { plat::box_script::reset(); }
};

TEST_F(MsgBox, HeadlessBoxesAnswerFromTheScriptInOrder) {
  plat::box_script::setAnswers({plat::answer::No, plat::answer::Ok});
  EXPECT_EQ(plat::messageBox("question", "caption", plat::mb::YesNo), plat::answer::No);
  EXPECT_EQ(plat::messageBox("text", "\x83\x47\x83\x89\x81\x5B", plat::mb::Ok), plat::answer::Ok);
  EXPECT_EQ(plat::box_script::unexpected(), 0u);
  // Unscripted boxes still answer, but are counted so that a test can fail on them.
  EXPECT_EQ(plat::messageBox("more", "c", plat::mb::YesNo), plat::answer::Yes);
  EXPECT_EQ(plat::messageBox("more", "c", plat::mb::Ok), plat::answer::Ok);
  EXPECT_EQ(plat::box_script::unexpected(), 2u);
  auto shown = plat::box_script::shown();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[1].captionCp932, "\x83\x47\x83\x89\x81\x5B");
  EXPECT_EQ(shown[1].textCp932, "text");
  EXPECT_EQ(shown[0].buttons, plat::mb::YesNo);
  EXPECT_EQ(shown[0].answer, plat::answer::No);
}

TEST_F(MsgBox, ScriptFromTheLaunchParameters) {
  plat::sys::LaunchParams p = plat::sys::launch();
  p.uiScript = "yes, NO,,ok,cancel,7,maybe";
  plat::sys::setLaunch(p);
  plat::box_script::loadFromLaunch();
  const int expected[] = {plat::answer::Yes,   plat::answer::No, plat::answer::Ok, plat::answer::Cancel, 7,
                          plat::answer::Failed};
  for (int e : expected) EXPECT_EQ(plat::messageBox("t", "c", plat::mb::YesNo), e);
  EXPECT_EQ(plat::box_script::unexpected(), 0u);
}

}  // namespace
