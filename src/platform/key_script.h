// Key scripts (test equipment): key presses and releases by frame, read from the text
// file that PELLMOOR_KEY_SCRIPT names and fed into the input layer's key table at the
// start of each frame, before the pad is polled.
//
// One event a line, "<frame> <key> <action>", words separated by spaces or tabs:
//   30 Z down          Z goes down at the start of frame 30
//   31 Z up            and comes up at the start of frame 31
//   60 RIGHT press 45  RIGHT is held for 45 frames (down at 60, up at 105)
// "#" starts a comment that runs to the line's end; blank lines are skipped. Frames
// count as the trace's do (the first frame is 1; 0 means before it) and never go back
// from one line to the next. Key names are those of plat::input::keyByName.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::key_script {

struct Event {
  std::uint32_t frame = 0;
  std::uint8_t vk = 0;
  bool down = false;
  bool operator==(const Event&) const = default;
};

// The events of a script, ordered by frame (the order of the lines within a frame);
// nullopt and "line <n>: <reason>" in *error at the first bad line.
std::optional<std::vector<Event>> Parse(std::string_view text, std::string* error);

// Plays parsed events into the key table.
class Player {
 public:
  Player() = default;
  explicit Player(std::vector<Event> events) : events_(std::move(events)) {}
  // Every event up to this frame that has not been played yet.
  void PlayUntil(std::uint32_t frame);
  bool Finished() const { return next_ >= events_.size(); }

 private:
  std::vector<Event> events_;
  std::size_t next_ = 0;
};

}  // namespace plat::key_script
