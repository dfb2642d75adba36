#include "platform/key_script.h"

#include <algorithm>
#include <limits>

#include "platform/input.h"

namespace plat::key_script {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// A whole number that fits 32 bits unsigned.
std::optional<std::uint32_t> Number(std::string_view w) {
  if (w.empty() || w.size() > 10) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (v > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

std::string Lower(std::string_view w) {
  std::string s(w);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

}  // namespace

std::optional<std::vector<Event>> Parse(std::string_view text, std::string* error) {
  std::vector<Event> events;
  std::uint32_t lastFrame = 0;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return std::nullopt;
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> w = Words(line);
    if (w.empty()) continue;
    if (w.size() < 3) return fail("expected \"<frame> <key> down|up|press <frames>\"");
    const std::optional<std::uint32_t> frame = Number(w[0]);
    if (!frame) return fail("\"" + std::string(w[0]) + "\" is not a frame number");
    if (*frame < lastFrame)
      return fail("frame " + std::to_string(*frame) + " comes before frame " + std::to_string(lastFrame) +
                  " of an earlier line");
    lastFrame = *frame;
    const std::uint8_t vk = input::keyByName(w[1]);
    if (vk == 0) return fail("unknown key \"" + std::string(w[1]) + "\"");
    const std::string action = Lower(w[2]);
    if (action == "down" || action == "up") {
      if (w.size() != 3) return fail("nothing may follow \"" + action + "\"");
      events.push_back(Event{*frame, vk, action == "down"});
    } else if (action == "press") {
      const std::optional<std::uint32_t> held = w.size() == 4 ? Number(w[3]) : std::nullopt;
      if (!held || *held == 0 || *held > std::numeric_limits<std::uint32_t>::max() - *frame)
        return fail("\"press\" needs a number of frames from 1 on");
      events.push_back(Event{*frame, vk, true});
      events.push_back(Event{*frame + *held, vk, false});
    } else {
      return fail("unknown action \"" + std::string(w[2]) + "\" (down, up or press)");
    }
  }
  // The releases of presses land among later lines; within a frame the order of writing stays.
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.frame < b.frame; });
  return events;
}

void Player::PlayUntil(std::uint32_t frame) {
  for (; next_ < events_.size() && events_[next_].frame <= frame; ++next_)
    input::scriptKey(events_[next_].vk, events_[next_].down);
}

}  // namespace plat::key_script
