#include "base/Thread.h"

#include <exception>

#include "base/AppGlobals.h"
#include "base/Log.h"

cThread thGame;
cThread thPause;
cThread thRanking;
cThread thLoad;

void SuspendAllThreads() {
  thGame.Suspend();
  thPause.Suspend();
  thRanking.Suspend();
  thLoad.Suspend();
}

void ResumeAllThreads() {
  thGame.Resume();
  thPause.Resume();
  thRanking.Resume();
  thLoad.Resume();
}

int cThread::Start(Proc proc, void* arg) {
  bool ok = m_hThread.start([proc, arg] {
    // Faults are not thrown across the program: an error that escapes the procedure
    // goes to the debug log and closes the game in order.
    try {
      proc(arg);
    } catch (const std::exception& e) {
      DebugLog(e.what());
      PostCloseRequest();
    }
  });
  if (!ok) return 0;
  m_dwThreadId.store(m_hThread.token());
  return 1;
}

void cThread::Wait() {
  while (!m_hThread.hasEnded()) plat::this_thread::sleepMs(1);
  m_hThread.release();
}

int cThread::Suspend() { return m_hThread.suspend() ? 1 : 0; }

int cThread::Resume() { return m_hThread.resume() ? 1 : 0; }

void cThread::Exit() {
  if (!m_hThread.attached()) return;
  while (!Resume()) {}
  const plat::ThreadToken id = m_dwThreadId.load();
  DebugLog("Exit A");
  plat::postThread(id, plat::Msg{plat::wm::Quit, 0, 0});
  DebugLog("Exit B");
  DebugLog("Exit C");
  int polls = 0;
  plat::Millis cancelledAt = 0;
  while (!m_hThread.hasEnded()) {
    plat::this_thread::sleepMs(1);
    plat::postThread(id, plat::Msg{plat::wm::Quit, 0, 0});
    ++polls;
    // No thread is ever killed: from the 200th poll its next checkpoint unwinds it.
    if (polls == kExitPollsBeforeCancel) cancelledAt = plat::systemNowMs();
    if (polls >= kExitPollsBeforeCancel) m_hThread.requestCancel();
    if (polls >= kExitPollsBeforeCancel &&
        plat::systemNowMs() - cancelledAt >= static_cast<plat::Millis>(kExitAbandonAfterMs)) {
      ReportPrintfDebug("cThread::Exit: thread %u did not stop and was abandoned", id);
      m_hThread.abandon();
      break;
    }
  }
  DebugLog("Exit D");
  m_hThread.release();
  DebugLog("Exit E");
}
