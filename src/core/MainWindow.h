// The main window: the game's only top-level window and the meeting point of the two
// threads. Its procedure runs on the window thread.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/messaging.h"
#include "platform/window.h"

class cMainWindow {
 public:
  // Hidden window with a 640 x 480 client area at (x, y). False when it cannot be made.
  bool Create(int clientWidth, int clientHeight, int x, int y);
  // Centres the window (frame included) on the desktop.
  void CenterOnDesktop();
  void Show(int showCommand);
  void SetTitle(std::string_view titleCp932);
  void Destroy();

  std::intptr_t WindowProc(plat::WindowToken hWnd, const plat::Msg& msg);

  // Notices to the kit's editor (sent only when started by it).
  void NotifyEditorStart();
  void NotifyEditorExit(int code);

  plat::WindowToken m_hWnd = 0;  // learnt from the first message; 0 once destroyed
  plat::MainWindow m_Window;
};

extern cMainWindow g_MainWindow;

// The class procedure: forwards every message to g_MainWindow.
std::intptr_t MainWndProc(plat::WindowToken hWnd, const plat::Msg& msg);
