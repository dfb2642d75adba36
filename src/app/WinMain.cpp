#include "app/WinMain.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#include "base/AppGlobals.h"
#include "app/GameInit.h"
#include "base/Log.h"
#include "app/MainWindow.h"
#include "base/PathUtil.h"
#include "app/SceneHost.h"
#include "app/SystemReport.h"
#include "base/Screen.h"
#include "base/Thread.h"
#include "platform/drive.h"
#include "platform/fs.h"
#include "platform/msgbox.h"
#include "platform/signals.h"
#include "platform/sys.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

// A start that did not reach the game is not a success: scripts and `make run` see it.
constexpr int kStartFailed = 1;

std::optional<plat::fs::InstanceLock> g_InstanceLock;

void ReleaseInstanceLock() { g_InstanceLock.reset(); }

}  // namespace

int PlayerMain(int argc, char** argv) {
  // A close signal from here on is a close request, never the default end of the process.
  plat::signals::takeCloseSignals();
  plat::sys::setLaunch(plat::sys::readLaunchParams(argc, argv));
  std::string refused;
  if (!plat::drive::Start(plat::sys::launch(), &refused)) {
    // Test equipment that cannot do what it was asked: the run would prove nothing.
    std::fprintf(stderr, "%s\n", refused.c_str());
    return kDriveRefusedExitCode;
  }
  int code = WinMain(plat::sys::launch().commandLine, plat::sys::launch().showCommand);
  plat::videoQuit();
  plat::drive::Finish(code);
  return code;
}

int WinMain(const std::string& commandLine, int showCommand) {
  SetDebugLog(plat::sys::launch().debugLog ? 1 : 0, "EC_Game.txt");

  // The single-instance check comes before the report log is created, so that a
  // second start does not wipe the log of the game that is running.
  const plat::fs::InstanceLock::Result lock = plat::fs::InstanceLock::acquire("ゲーム", g_InstanceLock);
  if (lock == plat::fs::InstanceLock::Result::AlreadyRunning) {
    plat::messageBox("既に起動しています", "二重起動", plat::mb::Ok);
    return kStartFailed;
  }
  g_bSoleInstance = lock == plat::fs::InstanceLock::Result::Acquired;

  std::string reportPath = "Report_Game.txt";
  MakeAbsolutePath(reportPath);
  if (!OpenReport(reportPath)) {
    // Without its report log the game could not tell what goes wrong later: it says so
    // (standard error and a box) and ends with a failure status.
    plat::messageBox("レポートログ " + reportPath + " を作成できません！", "エラー", plat::mb::Ok);
    ReleaseInstanceLock();
    return kStartFailed;
  }
  ReportPrintf("App : ver %s", "513");
  ReportSystemInfo();

  g_bFromEditor.store(showCommand == plat::sw::Show ? 1 : 0);

  if (!plat::videoInit()) {
    ReleaseInstanceLock();
    return kStartFailed;
  }
  if (!g_MainWindow.Create(SCREEN_WIDTH, SCREEN_HEIGHT, 100, 100)) {
    ErrorBox("ウインドウが生成出来ません！");
    ReleaseInstanceLock();
    return kStartFailed;
  }
  g_MainWindow.CenterOnDesktop();

  DebugLog("G");
  if (g_bFromEditor.load()) g_MainWindow.NotifyEditorStart();
  DebugLog("H");

  if (!InitGame(commandLine, showCommand)) {
    UnInitGame();
    ReleaseInstanceLock();
    // A window closed while start-up waited for the user is the user's end, not a failure.
    const bool closed = StartClosedByUser();
    if (g_bFromEditor.load()) g_MainWindow.NotifyEditorExit(closed ? 1 : 0);
    return closed ? plat::this_thread::quitCode() : kStartFailed;
  }
  g_bInitDone.store(1);
  DebugLog("I");

  if (!thGame.Start(&GameLoop, nullptr)) {
    // Without a game thread nothing would ever step a frame: report and end.
    ReportPrintfDebug("thGame could not be started");
    UnInitGame();
    ReleaseInstanceLock();
    if (g_bFromEditor.load()) g_MainWindow.NotifyEditorExit(0);
    return kStartFailed;
  }
  while (!plat::postThread(thGame.m_dwThreadId.load(), plat::Msg{plat::wm::App, 0, 0})) {}
  DebugLog("J");

  // Every request to the window thread wakes its pump, so it may always block.
  while (plat::pumpOne(true) != plat::Pump::Quit) {}
  int exitCode = plat::this_thread::quitCode();
  // A window closed while start-up still ran has not told the editor yet.
  if (g_bFromEditor.load()) g_MainWindow.NotifyEditorExit(1);

  if (plat::abandonedWorkers() > 0) {
    // A worker that never stopped may still touch the game state: nothing shared may
    // be torn down under it, so the process ends here.
    ReportPrintfDebug("a worker thread did not stop; ending without UnInitGame");
    plat::drive::Finish(exitCode);
    std::_Exit(exitCode);
  }
  UnInitGame();
  DebugLog("UnInitGame後");
  ReleaseInstanceLock();
  DebugLog("ReleaseMutex後");
  return exitCode;
}

unsigned GameLoop(void*) {
  for (;;) {
    plat::Msg msg;
    if (plat::this_thread::peek(msg)) {
      if (msg.id == plat::wm::Quit) {
        DebugLog("GameLoop WM_QUIT!");
        return 1;
      }
      continue;  // every other message is dropped
    }
    if (!g_bActive.load()) {
      plat::this_thread::relax();  // inactive: nothing to step, leave the core
      continue;
    }
    int stepped;
    try {
      stepped = g_SceneHost.StepFrame();
    } catch (const std::exception& e) {
      // A program error ends the frame, never the process.
      DebugLog(e.what());
      PostCloseRequest();
      continue;
    }
    if (!stepped) {
      PostCloseRequest();
      return 1;
    }
  }
}

void cMainWindow::NotifyEditorStart() { plat::sys::EditorLink::fromLaunch(plat::sys::launch()).notify(1, 1, m_hWnd); }

void cMainWindow::NotifyEditorExit(int code) {
  if (m_bExitNotified) return;
  m_bExitNotified = true;
  plat::sys::EditorLink::fromLaunch(plat::sys::launch()).notify(0, code, m_hWnd);
}
