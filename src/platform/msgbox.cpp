#include "platform/msgbox.h"

#include <SDL.h>

#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/cp932.h"
#include "platform/messaging.h"
#include "platform/sys.h"
#include "platform/window.h"

namespace plat {
namespace {

struct Script {
  std::mutex mutex;
  bool loaded = false;  // the environment's script is read on the first box
  std::deque<int> answers;
  unsigned unexpected = 0;
  std::vector<box_script::Shown> shown;
};
Script& script() {
  static Script s;
  return s;
}

void loadLocked(Script& s) {
  if (s.loaded) return;
  s.loaded = true;
  s.answers.clear();
  const std::string& text = sys::launch().uiScript;
  std::size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    std::size_t comma = text.find(',', start);
    std::string_view word = std::string_view(text).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!word.empty()) s.answers.push_back(box_script::parseAnswer(word));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
}

int headlessBox(std::string_view text, std::string_view caption, int buttons) {
  std::fprintf(stderr, "[message box] %s: %s\n", cp932::toUtf8(caption).c_str(), cp932::toUtf8(text).c_str());
  Script& s = script();
  std::lock_guard lk(s.mutex);
  loadLocked(s);
  int answer;
  if (!s.answers.empty()) {
    answer = s.answers.front();
    s.answers.pop_front();
  } else {
    ++s.unexpected;
    answer = buttons == mb::YesNo ? answer::Yes : answer::Ok;
  }
  s.shown.push_back({std::string(text), std::string(caption), buttons, answer});
  return answer;
}

// On the window thread (or before it exists): the window system's own box.
int sdlBox(const std::string& text, const std::string& caption, int buttons) {
  SDL_Window* parent = nullptr;
  if (MainWindow* w = MainWindow::primary(); w && w->shown()) parent = w->sdlWindow();
  if (buttons != mb::YesNo) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), parent) == 0
               ? answer::Ok
               : answer::Failed;
  }
  static const char* yes = "\xE3\x81\xAF\xE3\x81\x84";              // "はい" in UTF-8
  static const char* no = "\xE3\x81\x84\xE3\x81\x84\xE3\x81\x88";  // "いいえ" in UTF-8
  const SDL_MessageBoxButtonData data[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, answer::Yes, yes},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, answer::No, no},
  };
  SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, parent, caption.c_str(), text.c_str(), 2, data, nullptr};
  int hit = 0;
  if (SDL_ShowMessageBox(&box, &hit) != 0) return answer::Failed;
  return hit == answer::Yes ? answer::Yes : answer::No;
}

}  // namespace

int messageBox(std::string_view textCp932, std::string_view captionCp932, int buttons) {
  if (sys::launch().headless) return headlessBox(textCp932, captionCp932, buttons);
  std::string text = cp932::toUtf8(textCp932), caption = cp932::toUtf8(captionCp932);
  ThreadToken wt = windowThread();
  if (wt == 0 || onWindowThread()) return sdlBox(text, caption, buttons);
  // The window system belongs to the window thread: the box is shown there while
  // this thread waits, as a modal box blocks its caller.
  return static_cast<int>(callOn(wt, [&] { return static_cast<std::intptr_t>(sdlBox(text, caption, buttons)); }));
}

namespace box_script {

void setAnswers(std::vector<int> answers) {
  Script& s = script();
  std::lock_guard lk(s.mutex);
  s.loaded = true;
  s.answers.assign(answers.begin(), answers.end());
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

void loadFromLaunch() {
  Script& s = script();
  std::lock_guard lk(s.mutex);
  s.loaded = false;
  loadLocked(s);
}

unsigned unexpected() {
  Script& s = script();
  std::lock_guard lk(s.mutex);
  return s.unexpected;
}

std::vector<Shown> shown() {
  Script& s = script();
  std::lock_guard lk(s.mutex);
  return s.shown;
}

void reset() {
  Script& s = script();
  std::lock_guard lk(s.mutex);
  s.loaded = true;
  s.answers.clear();
  s.unexpected = 0;
  s.shown.clear();
}

}  // namespace box_script
}  // namespace plat
