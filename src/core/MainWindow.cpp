#include "core/MainWindow.h"

#include "core/AppGlobals.h"
#include "core/Log.h"
#include "core/Thread.h"
#include "ui/DialogRequests.h"

cMainWindow g_MainWindow;

namespace {
constexpr std::uintptr_t kVkEscape = 0x1B;
}

std::intptr_t MainWndProc(plat::WindowToken hWnd, const plat::Msg& msg) { return g_MainWindow.WindowProc(hWnd, msg); }

bool cMainWindow::Create(int clientWidth, int clientHeight, int x, int y) {
  return m_Window.create(clientWidth, clientHeight, x, y, &MainWndProc);
}

void cMainWindow::CenterOnDesktop() {
  const plat::FrameMetrics& fm = plat::frameMetrics();
  plat::Rect client = m_Window.clientRectOnScreen();
  int outerW = client.right - client.left + 2 * fm.dlgFrameX;
  int outerH = client.bottom - client.top + fm.caption + 2 * fm.dlgFrameY;
  plat::Rect desk = plat::desktop().bounds;
  int x = (desk.right - outerW) / 2;
  int y = (desk.bottom - outerH) / 2;
  m_Window.moveTo(x + fm.dlgFrameX, y + fm.caption + fm.dlgFrameY);
}

void cMainWindow::Show(int showCommand) { m_Window.show(plat::showModeFromCommand(showCommand)); }

void cMainWindow::SetTitle(std::string_view titleCp932) { m_Window.setTitle(titleCp932); }

void cMainWindow::Destroy() { m_Window.destroy(); }

std::intptr_t cMainWindow::WindowProc(plat::WindowToken hWnd, const plat::Msg& msg) {
  m_hWnd = hWnd;
  switch (msg.id) {
    case plat::wm::Destroy:
      DebugLog("WM_DESTROY");
      m_hWnd = 0;
      g_hWnd.store(0);
      if (g_bFromEditor.load()) NotifyEditorExit(1);
      plat::this_thread::postQuit(0);
      return 0;
    case plat::wm::Close:
      if (thPause.HasThread()) {
        // A message of stage play waits on thPause while the game thread waits for it:
        // end the sub-loop first; stage play then asks to close again.
        DebugLog("WM_CLOSE thPause.m_hThread");
        plat::postThread(thPause.m_dwThreadId.load(), plat::Msg{plat::wm::Quit, 0, 0});
        return 0;
      }
      DebugLog("WM_CLOSE 成功！");
      thLoad.Exit();
      thPause.Exit();
      thRanking.Exit();
      DebugLog("thPause.Exit()");
      thGame.Exit();
      DebugLog("thGame.Exit()");
      Destroy();
      return 0;
    case plat::wm::ActivateApp:
      g_bActive.store(msg.w != 0 ? 1 : 0);
      return 0;
    case plat::wm::KeyDown:
      if (msg.w == kVkEscape) plat::post(hWnd, plat::Msg{plat::wm::Close, 0, 0});
      return 0;
    // The dialog requests of the game thread; starting, loading and saving the chosen
    // files come with the modules that own them.
    case plat::wm::User + 1:
      OnNameEntryRequest();
      return 0;
    case plat::wm::User + 2:
      OnStageFileRequest(nullptr);
      return 0;
    case plat::wm::User + 3:
      OnReplayFileRequest(nullptr);
      return 0;
    case plat::wm::User + 4:
      OnReplaySaveRequest(msg.w, nullptr, nullptr);
      return 0;
    default:
      return 0;
  }
}
