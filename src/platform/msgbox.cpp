#include "platform/msgbox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/cp932.h"
#include "platform/fs.h"
#include "platform/messaging.h"
#include "platform/modal_ui.h"
#include "platform/sys.h"
#include "platform/trace.h"
#include "platform/window.h"

namespace plat {

namespace ui::detail {
int runBox(std::string_view text, std::string_view caption, int buttons, std::optional<ui_script::Response> preset);
}

namespace {

void record(std::string_view text, std::string_view caption, int buttons, int answer) {
  ui_script::Shown s;
  s.kind = ui_script::Shown::Kind::Box;
  s.caption.assign(caption);
  s.text.assign(text);
  s.buttons = buttons;
  s.result = answer;
  ui_script::recordShown(std::move(s));
  if (trace::Enabled())
    trace::Line("box %s | %s -> %d", trace::Text(caption).c_str(), trace::Text(text).c_str(), answer);
}

int headlessBox(std::string_view text, std::string_view caption, int buttons) {
  std::fprintf(stderr, "[message box] %s: %s\n", cp932::toUtf8(caption).c_str(), cp932::toUtf8(text).c_str());
  std::optional<ui_script::Response> r = ui_script::take();
  int answer;
  if (!r) {
    ui_script::countUnexpected();
    answer = buttons == mb::YesNo ? answer::Yes : answer::Ok;
  } else if (!r->empty() && r->front().kind == ui_script::Action::Kind::Answer) {
    answer = r->front().value;
  } else {
    // Keys, clicks or test code: the box runs as it would on screen.
    answer = ui::detail::runBox(text, caption, buttons, std::move(r));
  }
  return answer;
}

// When the window system cannot start: the text goes to standard error and SDL's own
// box is tried.
int fallbackBox(std::string_view textCp932, std::string_view captionCp932, int buttons) {
  const std::string text = cp932::toUtf8(textCp932), caption = cp932::toUtf8(captionCp932);
  std::fprintf(stderr, "[message box] %s: %s\n", caption.c_str(), text.c_str());
  if (buttons != mb::YesNo) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), nullptr) == 0
               ? answer::Ok
               : answer::Failed;
  }
  static const SDL_MessageBoxButtonData data[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, answer::Yes, "\xE3\x81\xAF\xE3\x81\x84"},             // はい
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, answer::No, "\xE3\x81\x84\xE3\x81\x84\xE3\x81\x88"},  // いいえ
  };
  SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, caption.c_str(), text.c_str(), 2, data, nullptr};
  int hit = 0;
  if (SDL_ShowMessageBox(&box, &hit) != 0) return answer::Failed;
  return hit == answer::Yes ? answer::Yes : answer::No;
}

}  // namespace

int messageBox(std::string_view textCp932In, std::string_view captionCp932, int buttons) {
  // Paths in a box read as the user writes them, with '/'.
  const std::string shownText = fs::withSlashes(textCp932In);
  const std::string_view textCp932 = shownText;
  int answer;
  if (sys::launch().headless) {
    answer = headlessBox(textCp932, captionCp932, buttons);
  } else if (windowThread() == 0 && !videoInit()) {
    answer = fallbackBox(textCp932, captionCp932, buttons);
  } else {
    // A box before the window thread exists (a second instance) starts the window
    // system on the asking thread, so that it looks and reads like every other box.
    answer = ui::showMessageBox(textCp932, captionCp932, buttons);  // marshalled to the window thread
  }
  record(textCp932, captionCp932, buttons, answer);
  return answer;
}

namespace box_script {

void setAnswers(std::vector<int> answers) {
  std::vector<ui_script::Response> rs;
  for (int a : answers) {
    ui_script::Action action;
    action.value = a;
    rs.push_back(ui_script::Response{action});
  }
  ui_script::replace(std::move(rs));
}

int parseAnswer(std::string_view word) {
  std::string w;
  for (char c : word) {
    if (c == ' ' || c == '\t') continue;
    w += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  if (w == "ok") return answer::Ok;
  if (w == "cancel") return answer::Cancel;
  if (w == "yes") return answer::Yes;
  if (w == "no") return answer::No;
  if (!w.empty() && w.find_first_not_of("0123456789") == std::string::npos) return std::atoi(w.c_str());
  return answer::Failed;
}

void loadFromLaunch() { ui_script::loadFromLaunch(); }

unsigned unexpected() { return ui_script::unexpected(); }

std::vector<Shown> shown() {
  std::vector<Shown> out;
  for (const ui_script::Shown& s : ui_script::shown())
    if (s.kind == ui_script::Shown::Kind::Box) out.push_back(Shown{s.text, s.caption, s.buttons, s.result});
  return out;
}

void reset() { ui_script::reset(); }

}  // namespace box_script

}  // namespace plat
