#include "core/GameInit.h"

#include "core/AppGlobals.h"
#include "core/MainWindow.h"
#include "core/SceneManager.h"

// So far start-up only sets the frame clock and shows the window; loading the data,
// the graphics, input and sound come with their modules.
bool InitGame(const std::string&, int showCommand) {
  g_SceneManager.m_nFrameRate = 60;
  g_SceneManager.m_nFadeSpeed = 10;
  g_MainWindow.Show(showCommand);
  g_hWnd.store(g_MainWindow.m_hWnd);
  g_MainWindow.SetTitle("");
  return true;
}

void UnInitGame() {}
