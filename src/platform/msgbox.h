// Message boxes for the user. Headless runs print the box to standard error and take
// the answer from the scripted responder; otherwise a box is shown on the window thread.
#pragma once
#include <string_view>

#include "platform/winnum.h"

namespace plat {

// Shows a box with CP932 text and caption; buttons are mb::Ok or mb::YesNo.
// Returns answer::Ok, answer::Yes, answer::No, or answer::Failed.
int messageBox(std::string_view textCp932, std::string_view captionCp932, int buttons);

}  // namespace plat
