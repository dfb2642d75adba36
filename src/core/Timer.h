// Millisecond timers: the frame's work timer, a shared frame counter, the frames-per-
// second measure and the frame clock. Times come from the platform clock (1 ms).
#pragma once
#include <cstdint>

// Remembers now as the start of the work timer.
void StartTimer();
// Milliseconds since StartTimer (unsigned difference).
std::uint32_t ElapsedTime();
// One shared counter. Mode 0 resets it (answers 0); mode 2 answers 1 when it is 0;
// any other mode counts one and answers 1 (resetting it) when it has reached n.
int CountFrames(int mode, std::uint32_t n);
// Calls per second: the count of the last complete one-second window (0 before the
// first window closes). The call that closes a window is counted in neither.
int CountFps();
// The frame clock: true when the next frame may start, which then becomes due
// 1000 / rate ms later, in whole ms with the remainder carried to the next frames, so
// that a second holds `rate` frames (60: 16, 17, 17 ms...); rate 0 never waits. A late
// frame is not made up.
bool LimitFrameRate(int rate);
// Milliseconds until the frame clock's next frame is due (0 when due or never set),
// so a waiting loop can sleep most of it instead of spinning.
std::uint32_t FrameTimeLeft();
// Tests: every timer back to its state at process start.
void ResetTimers();
