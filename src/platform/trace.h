// The play trace: test equipment that tells a test what the game did, one line per
// event, written to the file that PELLMOOR_TRACE names (nothing is written otherwise).
//
// A line is "<frame> <event> <fields>\n": the frame is the count of frames the game has
// begun (0 before the first frame, 1 during it; the count a key script uses), set once
// a frame by the frame clock; the event is one word and the fields follow it, separated
// by single spaces. Texts are UTF-8 (convert game texts with Text(), paths with Path()),
// doubles are printed with "%.17g" so that they read back exactly. The lines of a frame
// reach the file when the next frame begins, or at the end of the run.
//
// Events written today (the README lists the format of each):
//   scene <from> -> <to>                  bgm play <file> loop <0|1>
//   sound <entry> vol <volume>|silent     bgm stop
//   write <path> ok|failed <reason>       quit <exit code>
//   box <caption> | <text> -> <answer>    dialog <resource id> <title> -> <result>
//   file <title> -> <path>|cancel
// Stage play adds "stage start", "stage end" and, with PELLMOOR_TRACE_FRAMES=1, one
// "play" line per play frame:
//   if (plat::trace::FramesEnabled())
//     plat::trace::Line("play %d x %.17g y %.17g ...", playFrame, x, y, ...);
//
// Switched off, every call is one test of a flag: callers that build costly fields
// test Enabled() (or FramesEnabled()) first. Any thread may write lines.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat::trace {

namespace detail {
extern std::atomic<bool> g_enabled;
extern std::atomic<bool> g_frames;
}  // namespace detail

// Whether the trace is being written.
inline bool Enabled() { return detail::g_enabled.load(std::memory_order_relaxed); }
// Whether the per-play-frame lines are wanted too (PELLMOOR_TRACE_FRAMES=1).
inline bool FramesEnabled() { return detail::g_frames.load(std::memory_order_relaxed); }

// One line: the frame, a space, then the formatted event and fields (no line end).
void Line(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The frame count of the lines: set by the frame clock when a frame begins, which also
// puts the lines written so far into the file.
void SetFrame(std::uint32_t frame);
std::uint32_t Frame();

// A game text (CP932) as a field: UTF-8, with line ends, tabs and other control
// characters written as \n, \r, \t or \xNN and a backslash as \\, so that one event
// stays on one line.
std::string Text(std::string_view cp932);
// A path in the program's form ('\', CP932) as a field: '/' separators, UTF-8.
std::string Path(std::string_view program);

// Starts writing to a native path (created or emptied); false with the reason when it
// cannot be created. Then the frame count is 0.
bool Open(const std::string& nativePath, bool frames, std::string* error);
// Writes what is pending and stops; lines after it are dropped.
void Close();

}  // namespace plat::trace
