// The scripted responder: the answers of headless runs and tests, in order.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/cp932.h"
#include "platform/input.h"
#include "platform/modal_ui.h"
#include "platform/msgbox.h"
#include "platform/sys.h"

namespace plat::ui_script {
namespace {

struct State {
  std::mutex mutex;
  bool loaded = false;  // the launch's script is read on first use
  std::deque<Response> queue;
  std::vector<Shown> shown;
  unsigned unexpected = 0;
};
State& state() {
  static State* s = new State();  // boxes may come during static teardown
  return *s;
}

std::string lower(std::string_view w) {
  std::string out;
  for (char c : w) {
    if (c == ' ' || c == '\t') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return out;
}

bool allDigits(std::string_view w) { return !w.empty() && w.find_first_not_of("0123456789") == std::string_view::npos; }

// A virtual-key number, or one of the input layer's key names.
int keyByName(std::string_view name) {
  const std::string n = lower(name);
  if (allDigits(n)) return std::atoi(n.c_str());
  return input::keyByName(n);
}

std::optional<Action> parseAction(std::string_view item) {
  while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
  const std::size_t eq = item.find('=');
  if (eq == std::string_view::npos) {
    Action a;
    if (lower(item) == "close") {
      a.kind = Action::Kind::Close;
      return a;
    }
    if (lower(item) == "quit") {
      a.kind = Action::Kind::Quit;
      return a;
    }
    a.kind = Action::Kind::Answer;
    a.value = box_script::parseAnswer(item);
    return a;
  }
  const std::string key = lower(item.substr(0, eq));
  const std::string_view value = item.substr(eq + 1);
  Action a;
  if (key == "press") {
    if (!allDigits(lower(value))) return std::nullopt;
    a.kind = Action::Kind::Press;
    a.value = std::atoi(lower(value).c_str());
  } else if (key == "key") {
    a.kind = Action::Kind::Key;
    a.value = keyByName(value);
    if (a.value <= 0 || a.value > 255) return std::nullopt;
  } else if (key == "text") {
    a.kind = Action::Kind::Text;
    a.text = cp932::fromUtf8(value);
  } else if (key == "preedit") {
    a.kind = Action::Kind::Preedit;
    a.text = cp932::fromUtf8(value);
  } else if (key == "file") {
    a.kind = Action::Kind::File;
    a.text = cp932::fromUtf8(value);
  } else {
    return std::nullopt;
  }
  return a;
}

void loadLocked(State& s) {
  if (s.loaded) return;
  s.loaded = true;
  s.queue.clear();
  std::string bad;
  auto parsed = parse(sys::launch().uiScript, &bad);
  if (!parsed) {
    std::fprintf(stderr, "[ui script] cannot read \"%s\"; no scripted answers\n", bad.c_str());
    return;
  }
  for (Response& r : *parsed) s.queue.push_back(std::move(r));
}

}  // namespace

std::optional<std::vector<Response>> parse(std::string_view script, std::string* bad) {
  std::vector<Response> out;
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t comma = script.find(',', start);
    if (comma == std::string_view::npos) comma = script.size();
    const std::string_view item = script.substr(start, comma - start);
    start = comma + 1;
    if (lower(item).empty()) continue;
    Response r;
    std::size_t a = 0;
    while (a <= item.size()) {
      std::size_t plus = item.find('+', a);
      if (plus == std::string_view::npos) plus = item.size();
      const std::string_view one = item.substr(a, plus - a);
      a = plus + 1;
      if (lower(one).empty()) continue;
      auto action = parseAction(one);
      if (!action) {
        if (bad) bad->assign(one);
        return std::nullopt;
      }
      r.push_back(std::move(*action));
    }
    if (!r.empty()) out.push_back(std::move(r));
  }
  return out;
}

void push(Response r) {
  State& s = state();
  std::lock_guard lk(s.mutex);
  loadLocked(s);
  s.queue.push_back(std::move(r));
}

void pushAnswer(int answer) {
  Action a;
  a.kind = Action::Kind::Answer;
  a.value = answer;
  push(Response{a});
}

void pushCall(std::function<void(ui::Dialog&)> fn) {
  Action a;
  a.kind = Action::Kind::Call;
  a.call = std::move(fn);
  push(Response{a});
}

void replace(std::vector<Response> rs) {
  State& s = state();
  std::lock_guard lk(s.mutex);
  s.loaded = true;
  s.queue.assign(std::make_move_iterator(rs.begin()), std::make_move_iterator(rs.end()));
}

void loadFromLaunch() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  s.loaded = false;
  loadLocked(s);
}

std::optional<Response> take() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  loadLocked(s);
  if (s.queue.empty()) return std::nullopt;
  Response r = std::move(s.queue.front());
  s.queue.pop_front();
  return r;
}

bool pending() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  loadLocked(s);
  return !s.queue.empty();
}

void recordShown(Shown sh) {
  State& s = state();
  std::lock_guard lk(s.mutex);
  s.shown.push_back(std::move(sh));
}

std::vector<Shown> shown() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  return s.shown;
}

void countUnexpected() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  ++s.unexpected;
}

unsigned unexpected() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  return s.unexpected;
}

void reset() {
  State& s = state();
  std::lock_guard lk(s.mutex);
  s.loaded = true;
  s.queue.clear();
  s.shown.clear();
  s.unexpected = 0;
}

}  // namespace plat::ui_script
