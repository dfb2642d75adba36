// The screen mode that start-up derives from "System.ini", the project's colour mode and
// the desktop: depth and vertical sync chosen, and the combinations refused.
#include <gtest/gtest.h>

#include <string>

#include "app/GameInit.h"
#include "app/SystemIni.h"

namespace {

const char* const kWindowMsg =
    "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！";
const char* const kGeneralMsg = "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！";

struct Row {
  const char* what;
  int direct3D, window, bpp, vsync, colorMode, desktop;
  bool vista;
  int wantWindow, wantBpp, wantVSync;
  const char* wantError;
};

TEST(ScreenMode, ChoosesOrRefusesTheCombination) {
  const Row rows[] = {
      {"D3D window, automatic depth", 1, 1, 0, 2, 0, 32, true, 1, 32, 1, nullptr},
      {"D3D window 16 on a 32-bit desktop", 1, 1, 16, 1, 0, 32, true, 1, 16, 1, kWindowMsg},
      {"D3D window 16 on a 16-bit desktop", 1, 1, 16, 0, 0, 16, true, 1, 16, 0, nullptr},
      {"D3D full screen, automatic depth", 1, 0, 0, 1, 0, 32, true, 0, 32, 1, nullptr},
      {"D3D full screen 8", 1, 0, 8, 1, 0, 32, true, 0, 8, 1, kGeneralMsg},
      {"DD window 8", 0, 1, 8, 1, 0, 32, true, 1, 8, 0, kGeneralMsg},
      {"DD window 24", 0, 1, 24, 0, 0, 32, true, 1, 24, 0, kGeneralMsg},
      {"DD window keeps no vertical sync", 0, 1, 32, 1, 0, 32, true, 1, 32, 0, nullptr},
      {"DD full screen, palette project", 0, 0, 0, 1, 0, 32, true, 0, 8, 1, nullptr},
      {"DD full screen, no palette", 0, 0, 0, 1, 1, 32, true, 0, 32, 1, nullptr},
      {"DD full screen 8 without palette", 0, 0, 8, 1, 1, 32, true, 0, 8, 1, kGeneralMsg},
      {"DD full screen automatic sync, new system", 0, 0, 16, 2, 0, 32, true, 0, 16, 0, nullptr},
      {"DD full screen automatic sync, old system", 0, 0, 16, 2, 0, 32, false, 0, 16, 1, nullptr},
  };
  for (const Row& r : rows) {
    SYSTEMINIDATA ini;
    ini.m_nDirect3D = r.direct3D;
    ini.m_nWindowMode = r.window;
    ini.m_nBpp = r.bpp;
    ini.m_nVSync = r.vsync;
    const SCREENMODE m = ChooseScreenMode(ini, r.colorMode, r.desktop, r.vista);
    EXPECT_EQ(r.wantWindow, m.bWindowMode) << r.what;
    EXPECT_EQ(r.wantBpp, m.nBpp) << r.what;
    EXPECT_EQ(r.wantVSync, m.nVSync) << r.what;
    EXPECT_EQ(std::string(r.wantError ? r.wantError : ""), std::string(m.lpszError ? m.lpszError : "")) << r.what;
  }
}

}  // namespace
