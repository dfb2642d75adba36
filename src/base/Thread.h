// cThread: one worker thread with start, wait, suspend, resume and a forced stop, and
// the program's four workers. Whoever starts a worker waits for it, so one thread at a
// time works on the game state; the window thread stops them all when the game closes.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/thread.h"

class cThread {
 public:
  using Proc = unsigned (*)(void* arg);

  cThread() = default;
  cThread(const cThread&) = delete;
  cThread& operator=(const cThread&) = delete;
  ~cThread() { Exit(); }

  // 1 when the thread runs, 0 when it cannot be made (nothing attached then). A thrown
  // text or program error that leaves the procedure is logged and closes the game.
  int Start(Proc proc, void* arg);
  // Polls every millisecond until the thread has ended, then becomes idle.
  void Wait();
  // The suspension gate (nests); 1 also when no thread is attached.
  int Suspend();
  int Resume();
  // Stops the attached thread: resumed, asked to quit (again every poll), cancelled
  // from the 200th poll, and abandoned (logged) if it still runs long after that.
  void Exit();

  bool HasThread() const { return m_hThread.attached(); }

  std::atomic<plat::ThreadToken> m_dwThreadId{0};  // the target of thread posts
  plat::Worker m_hThread;                          // the attached thread; idle when none
};

extern cThread thGame;
extern cThread thPause;
extern cThread thRanking;
extern cThread thLoad;

// The suspension gate of every worker, around the modal name dialog.
void SuspendAllThreads();
void ResumeAllThreads();

// Polls of Exit before the thread is cancelled, and the real time after that before a
// thread that still runs is abandoned.
inline constexpr int kExitPollsBeforeCancel = 200;
inline constexpr int kExitAbandonAfterMs = 2000;
