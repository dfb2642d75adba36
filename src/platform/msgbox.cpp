#include "platform/msgbox.h"

#include <cstdio>
#include <string>

#include "platform/cp932.h"

namespace plat {

int messageBox(std::string_view textCp932, std::string_view captionCp932, int buttons) {
  std::string text = cp932::toUtf8(textCp932);
  std::string caption = cp932::toUtf8(captionCp932);
  std::fprintf(stderr, "[message box] %s: %s\n", caption.c_str(), text.c_str());
  return buttons == mb::YesNo ? answer::Yes : answer::Ok;
}

}  // namespace plat
