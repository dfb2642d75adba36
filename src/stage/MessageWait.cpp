// The message-wait sub-loop: while a message, a game wait, or an effect or picture that a
// flow waits for holds the game, a worker thread (thPause) runs frames of its own (frame
// clock, surfaces, a private copy of the pads, the stage drawn frozen, present) and the
// game thread waits for it inside the command. Only one thread uses the stage at a time.
#include "base/AppGlobals.h"
#include "base/Thread.h"
#include "gfx/DDSurface.h"
#include "platform/thread.h"
#include "records/KeyLog.h"
#include "sound/SoundTable.h"
#include "stage/StageLinks.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"
#include "ui/Pad.h"

namespace {

constexpr std::uint16_t BUTTON_ADVANCE = 1;  // button 1 (Z) goes on
constexpr int KEY_DELAY_FRAMES = 10;
constexpr plat::Millis QUIT_GRACE_MS = 2000;

// The end test of one frame of the wait; true when the wait is over.
bool WaitEnds(cStageScene& scene, const cPad& pad) {
  cMessageWait& w = scene.m_Wait;
  if (w.m_nKeyDelay > 0) {
    --w.m_nKeyDelay;
    return false;
  }
  if (w.m_bWaitKey) {
    // Only a fresh press: a key still held from before the wait does not end it.
    if ((pad.m_wButtons & BUTTON_ADVANCE) && !(pad.GetHistory(1, 1) & BUTTON_ADVANCE)) {
      RequestSystemSound(1);
      scene.m_bHoldButtons = 1;
      return true;
    }
    return false;
  }
  return --w.m_nFrames < 0;
}

}  // namespace

unsigned MessageWaitThread(void* arg) {
  cStageScene& scene = *static_cast<cStageScene*>(arg);
  if (scene.m_bQuit.load()) return 0;
  cVector<cPad> pads(g_Pads.size());
  for (int i = 0; i < pads.Size(); ++i) pads[i] = g_Pads[i];
  cPad& pad = pads[0];
  pad.ClearHistory();
  pad.ResetCommandHistory();
  pad.ClearDirection();
  pad.ClearButtons();
  bool bQuitTimer = false;
  plat::Millis nQuitAt = 0;
  for (;;) {
    plat::Msg m;
    if (plat::this_thread::peek(m)) {
      if (m.id == plat::wm::Quit) break;
      continue;
    }
    if (!g_bActive.load()) {
      plat::this_thread::relax();
      continue;
    }
    if (scene.m_bQuit.load()) {
      // The close request normally arrives as a quit message; this bounds the wait
      // in real time when that message is lost.
      const plat::Millis now = plat::systemNowMs();
      if (!bQuitTimer) {
        bQuitTimer = true;
        nQuitAt = now;
      }
      if (now - nQuitAt >= QUIT_GRACE_MS) plat::postThread(plat::this_thread::token(), plat::Msg{plat::wm::Quit, 0, 0});
      plat::this_thread::relax();
      continue;
    }
    if (g_StageLinks.beginSubLoopFrame && !g_StageLinks.beginSubLoopFrame(pads)) PostCloseRequest();
    pad.PushHistory();
    pad.PressOnce(0);
    if (CheckReplaySaveKeys()) continue;
    if (WaitEnds(scene, pad)) break;
    scene.Draw(STAGE_DRAW_STILL_FRAME);
    if (g_StageLinks.presentSubLoopFrame) g_StageLinks.presentSubLoopFrame();
  }
  return 1;
}

void cMessageWait::Start(int nMode, int bWaitKey, int nFrames, int bContinued) {
  m_nMode = nMode;
  m_bWaitKey = bWaitKey;
  m_nFrames = nFrames;
  m_nCounter = 0;
  m_nKeyDelay = bWaitKey && nMode == WAIT_MESSAGE && !bContinued ? KEY_DELAY_FRAMES : 0;
}

void ProveThreadQueue(cThread& worker) {
  const plat::ThreadToken id = worker.m_dwThreadId.load();
  while (!plat::postThread(id, plat::Msg{plat::wm::App, 0, 0})) {
    // A thread that has ended takes no post: there is nothing left to prove.
    if (worker.m_hThread.hasEnded()) return;
    plat::this_thread::yieldNow();
  }
}

void RunSubLoop(cThread& worker, cThread::Proc proc, cStageScene& scene, bool bHandshake) {
  // A close request already made: no further sub-loop, so the game closes at once.
  if (scene.m_bQuit.load()) return;
  // A thread that cannot be made counts as a wait that has ended: nothing to post to.
  if (!worker.Start(proc, &scene)) return;
  if (bHandshake) ProveThreadQueue(worker);
  worker.Wait();
}

void RunMessageWait(cStageScene& scene) { RunSubLoop(thPause, MessageWaitThread, scene, true); }
