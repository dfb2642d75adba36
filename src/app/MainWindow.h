// The main window: the game's only top-level window and the meeting point of the two
// threads. Its procedure runs on the window thread and serves the ordinary window
// messages, the orderly close of the program, and the private requests the game thread
// sends (dialogs, sounds, music, the device reset) while it waits.
#pragma once
#include <cstdint>
#include <mutex>
#include <string_view>

#include "platform/messaging.h"
#include "platform/window.h"
#include "ui/Window.h"

class cMainWindow : public cWindow {
 public:
  cMainWindow() = default;
  ~cMainWindow() override;

  std::intptr_t WindowProc(plat::WindowToken hWnd, const plat::Msg& msg) override;
  std::intptr_t OnMessage(plat::WindowToken hWnd, const plat::Msg& msg) override;
  virtual void OnCreate() {}

  // The hidden window with its client area at (x, y) (the frame around it). False when
  // it cannot be made.
  bool Create(int clientWidth, int clientHeight, int x, int y);
  void Show(int showCommand);
  void SetTitle(std::string_view titleCp932);
  void Destroy();

  // Notices to the kit's editor (sent only when started by it). The end notice goes out
  // once in a run; later calls do nothing.
  void NotifyEditorStart();
  void NotifyEditorExit(int code);

  // The client area in screen coordinates as of the last move.
  plat::Rect ClientRectOnScreen() const;

  plat::MainWindow m_Window;
  bool m_bExitNotified = false;  // window thread only

 private:
  void Close();

  mutable std::mutex m_ClientMutex;
  plat::Rect m_rcClientOnScreen;
};

extern cMainWindow g_MainWindow;

// The class procedure: forwards every message to g_MainWindow.
std::intptr_t MainWndProc(plat::WindowToken hWnd, const plat::Msg& msg);
