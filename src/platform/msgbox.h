// Message boxes for the user. Headless runs print the box to standard error and take
// the answer from the scripted responder (PELLMOOR_UI_SCRIPT or the test API, see
// modal_ui.h); otherwise the box is drawn on the window thread, whichever thread asks.
// Asked before videoInit, the box starts the window system on the asking thread.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/winnum.h"

namespace plat {

// Shows a box with CP932 text and caption; buttons are mb::Ok or mb::YesNo.
// Returns answer::Ok, answer::Yes, answer::No, answer::Cancel or answer::Failed.
int messageBox(std::string_view textCp932, std::string_view captionCp932, int buttons);

namespace box_script {
// Replaces the scripted answers (answer:: values), used in order by headless boxes.
void setAnswers(std::vector<int> answers);
// Replaces the scripted answers with those of the launch (PELLMOOR_UI_SCRIPT).
void loadFromLaunch();
// "yes", "no", "ok", "cancel" (any case) or a number; answer::Failed when unknown.
int parseAnswer(std::string_view word);
// Headless boxes shown with no scripted answer left (they answer Ok, or Yes).
unsigned unexpected();
struct Shown {
  std::string textCp932, captionCp932;
  int buttons;
  int answer;
};
// Every headless box of the run, in order.
std::vector<Shown> shown();
void reset();  // tests: no answers, nothing shown, no unexpected boxes
}  // namespace box_script

}  // namespace plat
