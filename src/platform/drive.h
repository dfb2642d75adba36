// The test drive: what lets a test run the real player without a person, switched on
// by environment variables only (all of them off in a normal run):
//   PELLMOOR_KEY_SCRIPT=file    key events by frame (key_script.h)
//   PELLMOOR_TRACE=file         the play trace (trace.h); PELLMOOR_TRACE_FRAMES=1 adds
//                               a line per play frame
//   PELLMOOR_FAST=1             headless runs only: frames do not wait; each moves the
//                               clock on by exactly one frame period
//   PELLMOOR_QUIT_AT=n          the user's close request at frame n
// The frame clock calls BeginFrame once a frame; switched off that is one test of a flag.
#pragma once
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/sys.h"

namespace plat::drive {

namespace detail {
extern bool g_active;  // set before any thread starts, then only read
extern bool g_fast;
void BeginFrame();
}  // namespace detail

// Starts what the launch's variables ask for: the trace file, the key script (read
// whole and checked), the fast clock, the close request. False, with a message naming
// the variable (and the line of a bad key script), when one is refused.
bool Start(const sys::LaunchParams& launch, std::string* error);

// Whether frames do not wait: the frame clock moves the clock on instead (AdvanceClock).
inline bool Fast() { return detail::g_fast; }
void AdvanceClock(Millis ms);

// Once a frame, when the frame clock lets it begin and before the pad is polled:
// counts the frame, puts the trace's lines of the last frame into its file, plays the
// key script's events of this frame and asks for the close at its frame.
inline void BeginFrame() {
  if (detail::g_active) detail::BeginFrame();
}
// Frames begun so far (the frame of the trace and the key script); 0 when not driven.
std::uint32_t Frame();

// The end of the process: "quit <exit code>" into the trace, which is then closed.
void Finish(int exitCode);
// Tests: everything off again, the system clock back.
void Stop();

}  // namespace plat::drive
