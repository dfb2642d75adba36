#include "core/GameInit.h"

#include "core/AppGlobals.h"
#include "core/DialogRequests.h"
#include "core/MainWindow.h"
#include "core/SceneManager.h"
#include "gfx/BmpTable.h"
#include "gfx/DDInit.h"
#include "platform/display.h"
#include "sound/BgmPlayer.h"
#include "stage/StageScene.h"
#include "ui/KeyConfig.h"
#include "ui/NameEntryDialog.h"
#include "ui/Pad.h"

// So far start-up sets the frame clock, shows the window, sets up input and opens the
// graphics in a window (DirectDraw at the desktop's depth: the frame clock and the
// vertical blank pace it); loading the data, the settings and sound come with their
// modules.
bool InitGame(const std::string&, int showCommand) {
  g_SceneManager.m_nFrameRate = 60;
  g_SceneManager.m_nFadeSpeed = 10;
  for (cPad& pad : g_Pads) pad.SetRepeat(18, 6);
  g_MainWindow.Show(showCommand);
  g_hWnd.store(g_MainWindow.m_hWnd);
  g_MainWindow.SetTitle("");
  if (!DDInit(0, g_hWnd.load(), 640, 480, plat::display::desktopDepth(), 0, 1, 1, 60, 0, g_SurfaceData, g_BmpTable,
              BMP_TABLE_COUNT))
    return false;
  g_bFlipOff = 1;  // in a window the back buffer is copied
  for (cPad& pad : g_Pads) pad.SetDefaultJoyButtons();
  if (!ReadKeyConfig("user_data\\KeyConfig.dat", g_KeyConfig)) SetDefaultKeyConfig(g_KeyConfig);
  g_BgmRequestLinks.scene = [] { return g_SceneManager.m_nScene; };
  g_BgmRequestLinks.prevScene = [] { return g_SceneManager.m_nPrevScene; };
  InstallFrontendLinks();
  SetStageRankNameSource([]() -> std::string* {
    cStageScene* stage = g_StageScene.load();
    return stage ? &stage->m_strRankName : nullptr;
  });
  return true;
}

void UnInitGame() {
  g_SceneManager.DeleteAllScenes();
  DDUnInit();
}
