#include "app/MainWindow.h"

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Log.h"
#include "app/SceneHost.h"
#include "base/Screen.h"
#include "base/Thread.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "records/SaveNotice.h"
#include "gamedata/Stage.h"
#include "gfx/DDPresent.h"
#include "platform/input.h"
#include "platform/presenter.h"
#include "sound/BgmPlayer.h"
#include "sound/SoundTable.h"
#include "frontend/FreePlay.h"
#include "stage/StageScene.h"
#include "ui/DialogRequests.h"

cMainWindow g_MainWindow;

namespace {

constexpr std::uint32_t kMainStyle = ws::Popup | ws::Caption | ws::SysMenu | ws::MinimizeBox;

// The title menu's free play of a chosen stage file.
bool StartChosenStageFile(const std::string& path) { return StartStageFile(path, 0); }

bool LoadChosenReplay(const std::string& path) {
  return g_KeyLog.LoadReplay(path, g_Stage, g_StartStage, g_PlayRecord) != 0;
}

std::int32_t ChooseReplaySave(std::string& path) {
  return ChooseReplaySavePath(path, g_PlayRecord.m_strStageName) ? 1 : 0;
}

// which 0: the attempt being played; 1: the one before it.
// A failed save has its report line from the key log; the player hears and sees it here.
bool SaveChosenReplay(std::uintptr_t which, const std::string& path) {
  const bool saved = which == 1 ? g_PrevKeyLog.SaveReplay(path, g_Stage, g_StartStage, g_PrevStartPlayRecord) != 0
                                : g_KeyLog.SaveReplay(path, g_Stage, g_StartStage, g_StartPlayRecord) != 0;
  if (!saved) TellFailedSave(AutoSave::Replay, path);
  return saved;
}

}  // namespace

std::intptr_t MainWndProc(plat::WindowToken hWnd, const plat::Msg& msg) { return g_MainWindow.WindowProc(hWnd, msg); }

cMainWindow::~cMainWindow() = default;

bool cMainWindow::Create(int clientWidth, int clientHeight, int x, int y) {
  SetLayout(clientWidth, clientHeight, 100, 100, SCREEN_WIDTH, SCREEN_HEIGHT, kMainStyle, 0, 0, 0, 0);
  m_lpProc = &MainWndProc;
  m_lpPlatWindow = &m_Window;
  m_bExitNotified = false;
  m_nPosX = x;
  m_nPosY = y;
  if (!m_Window.create(clientWidth, clientHeight, x + m_nFrameLeft, y + m_nFrameTop, &MainWndProc)) return false;
  // Every turn of the window thread's pump shows a frame the game has finished.
  plat::setPresentHook([] { g_MainWindow.m_Window.presentPending(); });
  return true;
}

void cMainWindow::Show(int showCommand) { m_Window.show(plat::showModeFromCommand(showCommand)); }

void cMainWindow::SetTitle(std::string_view titleCp932) { m_Window.setTitle(titleCp932); }

void cMainWindow::Destroy() { m_Window.destroy(); }

plat::Rect cMainWindow::ClientRectOnScreen() const {
  std::lock_guard lock(m_ClientMutex);
  return m_rcClientOnScreen;
}

std::intptr_t cMainWindow::OnMessage(plat::WindowToken hWnd, const plat::Msg& msg) {
  std::intptr_t r = cWindow::OnMessage(hWnd, msg);
  if (msg.id == plat::wm::Create) OnCreate();
  return r;
}

std::intptr_t cMainWindow::WindowProc(plat::WindowToken hWnd, const plat::Msg& msg) {
  m_hWnd = hWnd;
  UpdateMouse(0, 7);
  switch (msg.id) {
    case plat::wm::Destroy:
      DebugLog("WM_DESTROY");
      m_hWnd = 0;
      g_hWnd.store(0);
      // A close served inside start-up ends a start that failed: WinMain tells the editor
      // so (with 0) once start-up has returned, and the editor hears of the end only once.
      if (g_bFromEditor.load() && g_bInitDone.load()) NotifyEditorExit(1);
      plat::this_thread::postQuit(g_nExitStatus.load());
      return 0;
    case plat::wm::Move: {
      const plat::Rect r = m_Window.clientRectOnScreen();
      std::lock_guard lock(m_ClientMutex);
      m_rcClientOnScreen = r;
      return 0;
    }
    case plat::wm::Size: UpdateStyle(); return 0;
    case plat::wm::Paint:
      // The last finished frame is shown again; the game thread's back buffer is not read.
      if (g_bInitDone.load()) m_Window.repaintFrame();
      return 0;
    case plat::wm::Close: Close(); return 0;
    case plat::wm::ActivateApp: g_bActive.store(msg.w != 0 ? 1 : 0); return 0;
    case plat::wm::GetMinMaxInfo:
      if (msg.l) GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(msg.l));
      return 0;
    case plat::wm::KeyDown:
      if (msg.w == plat::vk::Escape) plat::post(hWnd, plat::Msg{plat::wm::Close, 0, 0});
      return 0;
    case appmsg::NameEntry: OnNameEntryRequest(); return 0;
    case appmsg::StageFileDialog: OnStageFileRequest(&StartChosenStageFile); return 0;
    case appmsg::ReplayFileDialog: OnReplayFileRequest(&LoadChosenReplay); return 0;
    case appmsg::ReplaySaveDialog: OnReplaySaveRequest(msg.w, &ChooseReplaySave, &SaveChosenReplay); return 0;
    case appmsg::PlaySound: HandleSoundRequest(msg.w); return 0;
    case appmsg::PlayMusic: HandleBgmRequest(msg.w, msg.l); return 0;
    case appmsg::RestoreSurfaces: DDRestoreSurface(); return 0;
    default:
      // Creation, commands, mouse and palette messages need nothing here: the palette
      // of the 256-colour display is the graphics library's own.
      return 0;
  }
}

void cMainWindow::Close() {
  if (thPause.HasThread()) {
    // A message of stage play waits on thPause while the game thread waits for it:
    // end the sub-loop first; stage play then asks to close again.
    DebugLog("WM_CLOSE thPause.m_hThread");
    if (cStageScene* stage = g_StageScene.load()) stage->m_bQuit.store(1);
    plat::postThread(thPause.m_dwThreadId.load(), plat::Msg{plat::wm::Quit, 0, 0});
    return;
  }
  DebugLog("WM_CLOSE 成功！");
  g_BgmPlayer.Stop();
  thLoad.Exit();
  thPause.Exit();
  thRanking.Exit();
  DebugLog("thPause.Exit()");
  // No frame is shown from here on: a game thread waiting for its frame goes on.
  plat::Presenter::instance().detachWindow();
  thGame.Exit();
  DebugLog("thGame.Exit()");
  // A sub-loop that the game thread started after its worker was stopped above must not
  // outlive the window and the surfaces it draws on.
  thPause.Exit();
  thRanking.Exit();
  Destroy();
}
