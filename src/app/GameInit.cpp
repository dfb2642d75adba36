#include "app/GameInit.h"

#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "app/DialogRequests.h"
#include "base/Log.h"
#include "app/MainWindow.h"
#include "base/Screen.h"
#include "gfx/PaletteVariant.h"
#include "base/PathUtil.h"
#include "base/Random.h"
#include "app/SceneHost.h"
#include "app/SystemIni.h"
#include "app/SystemReport.h"
#include "frontend/FreePlay.h"
#include "app/LinkCheck.h"
#include "records/FrontendLinks.h"
#include "frontend/MenuCursor.h"
#include "frontend/MenuHelpers.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Database.h"
#include "gamedata/Option.h"
#include "gamedata/Palette.h"
#include "gamedata/ProjectRefs.h"
#include "gamedata/Record.h"
#include "stage/RunTimeTables.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "gfx/BmpTable.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDSurface.h"
#include "gfx/Font.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "platform/thread.h"
#include "platform/winnum.h"
#include "platform/window.h"
#include "sound/BgmPlayer.h"
#include "sound/DSound.h"
#include "sound/SoundTable.h"
#include "stage/StageLinks.h"
#include "stage/StageScene.h"
#include "ui/BootDialog.h"
#include "ui/Hook.h"
#include "ui/KeyConfig.h"
#include "ui/NameEntryDialog.h"
#include "ui/Pad.h"

bool g_bSoleInstance = true;

namespace {

// The window-mode flag and the screen's bits per pixel that the graphics open with.
std::int32_t g_bWindowMode = 0;
std::int32_t g_nScreenBpp = 0;

constexpr const char* kSystemIni = "System.ini";
constexpr const char* kBadScreenModeInWindow =
    "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！";
constexpr const char* kBadScreenMode = "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！";
constexpr const char* kNoSoundDevice =
    "DS_Init失敗！\nサウンドデバイスを開けません。\n"
    "サウンドカードの無い環境では、環境変数 SDL_AUDIODRIVER=dummy を付けて起動して下さい（音は出ません）。\n"
    "No sound device could be opened: start with SDL_AUDIODRIVER=dummy to play without sound.";
constexpr const char* kTextureFailureHint =
    "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\nSystem.ini"
    "ファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性があります。";

bool g_bClosedByUser = false;

// The game window was closed while a question of start-up waited: start-up ends there,
// as the user asked. Asked right after those questions, before anything of the program
// could have asked to close.
bool ClosedDuringStart() {
  if (plat::this_thread::quitPosted()) g_bClosedByUser = true;
  return g_bClosedByUser;
}

// The drawing mode when "System.ini" leaves it to the user (Direct3D 2 or more): 1
// Direct3D, 0 DirectDraw, -1 when the user ends the game instead, from the start-up
// dialog and "user_data\Boot.dat".
int ChooseDrawMode() {
  std::int32_t direct3D = 1;
  if (!AskDrawMode(&direct3D)) return -1;
  return direct3D ? 1 : 0;
}

void ShowMainWindow(int showCommand, bool maximized) {
  g_MainWindow.Show(maximized ? plat::sw::Maximized : showCommand);
}

bool StartGraphics(int showCommand) {
  const std::int32_t vsync = g_SystemIni.m_nVSync ? 1 : 0;
  auto init = [&] {
    return DDInit(g_SystemIni.m_nDirect3D, g_hWnd.load(), SCREEN_WIDTH, SCREEN_HEIGHT, g_nScreenBpp, vsync,
                  g_bWindowMode, 1, 60, vsync, g_SurfaceData, g_BmpTable, BMP_TABLE_COUNT);
  };
  if (init()) return true;
  if (g_SystemIni.m_nDirect3D) {
    // A Direct3D device that cannot be made: the same screen through DirectDraw.
    DDUnInit();
    g_SystemIni.m_nDirect3D = 0;
    ShowMainWindow(showCommand, !g_bWindowMode);
    if (init()) return true;
  }
  DebugLog("DDInit失敗");
  return false;
}

void ChooseFlipOff() {
  if (!g_lpDDData) return;
  if (g_bWindowMode) {
    g_bFlipOff = 1;
  } else {
    const int refresh = plat::desktop().refreshHz;
    g_bFlipOff = (g_SystemIni.m_nVSync && refresh >= g_SceneManager.m_nFrameRate) ? 0 : 1;
  }
}

bool CreateStartUpFonts() {
  for (FONTINFO& info : g_FontInfos) info.szFace = FontFaceName(g_System.m_nFontFace);
  if (!CreateFonts(g_Fonts, g_FontInfos, 4)) return false;
  g_Fonts[1].m_bHasSymbol = g_System.m_bSymbolFont;
  g_Fonts[1].m_bCentre = g_System.m_bCentreFont;
  if (!CreateDigitSurfaces(g_DigitSurfaces, g_DigitInfos, DIGIT_SURFACE_COUNT, g_Fonts, g_FontInfos)) return false;
  return true;
}

void SetUpInput() {
  for (cPad& pad : g_Pads) pad.SetDefaultJoyButtons();
  if (!ReadKeyConfig(g_PathTable[PATH_KEY_CONFIG], g_KeyConfig)) SetDefaultKeyConfig(g_KeyConfig);
}

// What the player records read of the game's state, and their dialog requests.
void LinkFrontend() {
  InstallFrontendLinks();
  g_FrontendLinks.testPlay = [] { return static_cast<int>(g_bTestPlay); };
  g_StageLinks.resetMenuCursor = [] { g_MenuCursor.Reset(); };
  g_StageLinks.setMenuCursorRow = [](int nRow) { g_MenuCursor.m_pTop->m_nRow = nRow; };
  g_StageLinks.restartFreeStage = [] {
    if (!StartStageFile(g_Stage.m_strPath, 0)) return false;
    // A test play stays off the stage list at every restart, so that each one reads the
    // file and starts a new play record again.
    if (g_bTestPlay) g_PlayRecord.m_bNumbered = 0;
    return true;
  };
  g_StageLinks.loadStageRankings = [] {
    g_RankingSet.LoadFile(g_SceneManager.m_nGameMode, g_PlayRecord.m_strStageName);
  };
  g_StageLinks.beginSubLoopFrame = [](cVector<cPad>& pads) {
    WaitNextFrame();
    const bool restored = g_SceneHost.RestoreLostSurfaces() != 0;
    g_SceneHost.UpdateInput(pads);
    return restored;
  };
  g_StageLinks.presentSubLoopFrame = [] { g_SceneHost.PresentFrame(); };
  g_StageLinks.setMenuRow = [](int nRow) { g_MenuCursor.m_pTop->m_nRow = nRow; };
  g_StageLinks.moveMenuRows = [](const cPad& pad, int x0, int y0, int nPitchY, int nRows, int& nRow, int& x, int& y) {
    g_MenuCursor.MoveGrid(pad, x0, y0, 0, nPitchY, 1, nRows);
    const CURSORSTATE& top = *g_MenuCursor.m_pTop;
    nRow = top.m_nRow;
    x = top.m_nX;
    y = top.m_nY;
  };
  g_StageLinks.playCursorSound = [](const cPad& pad, int nAxes, int nSound) { PlayCursorSound(pad, nAxes, nSound); };
  g_StageLinks.drawMenuList = [](int x, int y, int nFirst, int nCount, int bWithCursor) {
    DrawMenuList(x, y, nFirst, nCount, bWithCursor);
  };
  SetStageRankNameSource([]() -> std::string* {
    cStageScene* stage = g_StageScene.load();
    return stage ? &stage->m_strPlayerName : nullptr;
  });
}

// What a music request reads of the project and the game.
void LinkMusicRequests() {
  cBgmRequestLinks& l = g_BgmRequestLinks;
  l.screenBgm = [](int kind) { return g_System.m_SceneBgm[kind]; };
  l.screenBgmLoop = [](int kind) { return static_cast<int>(g_System.m_SceneBgmLoop[kind]); };
  l.bgmFile = [](int n) { return g_Database.m_Bgms[n].m_strFile; };
  l.scene = [] { return static_cast<int>(g_SceneManager.m_nScene); };
  l.prevScene = [] { return static_cast<int>(g_SceneManager.m_nPrevScene); };
  l.setStageBgm = [](int n) { g_PlayRecord.m_nStageBgm = n; };
  l.stageBgmLoop = [] { return static_cast<int>(g_PlayRecord.m_bStageBgmLoop); };
}

bool StartSound() {
  if (g_Option.m_bMusic) g_BgmPlayer.Init(1, g_BgmOggNames, g_BgmMidiNames, 5);
  std::vector<std::string> systemSounds(g_System.m_SoundFiles.begin(), g_System.m_SoundFiles.end());
  std::vector<std::string> soundFiles;
  soundFiles.reserve(g_Database.m_Sounds.size());
  for (const cEdSound& sound : g_Database.m_Sounds) soundFiles.push_back(sound.m_strFile);
  // The volume option is clamped to the table's eleven steps there.
  if (SetUpSoundTable(g_hWnd.load(), systemSounds, soundFiles, g_Option.m_nSoundVolume)) return true;
  // The debug log has the line already; the report log and the user get it too, with
  // the way to play on a machine without a sound card.
  ReportWrite("DS_Init失敗！");
  ErrorBox(kNoSoundDevice);
  return false;
}

bool LoadMapAndPalette() {
  const char* worldMap = g_PathTable[PATH_WORLD_MAP];
  if (!g_WorldMap.LoadFromFile(worldMap)) {
    ReportError("%s のロードに失敗！", worldMap);
    return false;
  }
  return LoadCommonPalette() != 0;
}

// The stage file of "FreeStage", completed to its newest numbered file. False when the
// test play cannot start; true with "FreeStage" emptied when the file is missing (the
// title follows).
bool StartTestPlay() {
  std::string& name = g_SystemIni.m_szFreeStage;
  FindNewestNumberedFile(name, name, "stg4");
  // A folder of that name is no stage: it is reported like a missing file.
  if (!plat::fs::isFile(name)) {
    ReportPrintfDebug("「%s」の読み込みに失敗しました！", name.c_str());
    name.clear();
    return true;
  }
  g_bTestPlay = 1;
  if (!StartStageFile(name, 1)) return false;
  // Test play is off the stage list even for a numbered stage: a restart reads the file
  // again, and no next part is looked for.
  g_PlayRecord.m_bNumbered = 0;
  g_SceneManager.m_nGameMode = GAME_MODE_FREE;
  g_SceneManager.m_bModeRanks = 1;
  g_SceneManager.m_nMenuChoice = 3;  // stage file
  g_SceneManager.m_nScene = SCENE_STAGE;
  g_SceneManager.m_nPrevScene = SCENE_TITLE;
  return true;
}

}  // namespace

void InstallLinks() {
  LinkFrontend();
  LinkMusicRequests();
}

SCREENMODE ChooseScreenMode(const SYSTEMINIDATA& ini, std::int32_t colorMode, std::int32_t desktopBpp,
                            bool vistaOrLater) {
  SCREENMODE m;
  m.bWindowMode = ini.m_nWindowMode ? 1 : 0;
  const bool direct3D = ini.m_nDirect3D != 0;
  m.nVSync = ini.m_nVSync;
  if (direct3D) {
    if (m.nVSync >= 2) m.nVSync = 1;
  } else if (m.bWindowMode) {
    m.nVSync = 0;
  } else if (m.nVSync >= 2) {
    m.nVSync = vistaOrLater ? 0 : 1;
  }
  m.nBpp = ini.m_nBpp;
  if (m.nBpp == 0) {
    if (m.bWindowMode) m.nBpp = desktopBpp;
    else m.nBpp = (!direct3D && colorMode == 0) ? 8 : 32;
  }
  const bool deep = m.nBpp == 16 || m.nBpp == 32;
  if (m.bWindowMode) {
    if (!deep) m.lpszError = kBadScreenMode;
    else if (m.nBpp != desktopBpp) m.lpszError = kBadScreenModeInWindow;
  } else if (!deep && !(!direct3D && m.nBpp == 8 && colorMode == 0)) {
    m.lpszError = kBadScreenMode;
  }
  return m;
}

bool SetUpPaletteAndTransparency() {
  if (!g_lpD3DData && !(g_lpDDData && g_lpDDData->bPalette)) return true;
  const std::string& paletteFile = g_BmpTable[0].szFileName;
  // These failures also reach the report log and the user: a start that ends without a
  // word would leave nobody knowing why.
  if (!DDLoadPaletteFromFile(g_Palette, paletteFile, g_DDState.bWindowed)) {
    DebugLog("DDLoadPaletteFromFile失敗");
    ReportError("%s の読み込みに失敗！", paletteFile.c_str());
    return false;
  }
  for (int i = 0; i < 256; ++i) g_WorkPalette[i] = g_Palette[i];

  auto fromFile = [&] {
    if (DDSetTransmitFromFile(paletteFile)) return true;
    DebugLog("DDSetTransmit失敗");
    ReportError("%s の読み込みに失敗！", paletteFile.c_str());
    return false;
  };
  if (g_System.m_nColorMode == 0) {
    if (!fromFile()) return false;
  } else if (g_DDState.nBpp == 16) {
    if (!fromFile()) return false;
    // The project's own colour becomes the key of the pictures loaded at 16 bits; the
    // raw transparent pixel stays the palette bitmap's.
    std::uint8_t* bgr = g_lpD3DData ? g_lpD3DData->TransmitColor16 : g_lpDDData->TransmitColor16;
    bgr[0] = g_System.m_nTransparentB;
    bgr[1] = g_System.m_nTransparentG;
    bgr[2] = g_System.m_nTransparentR;
  } else {
    DDSetTransmit(g_System.m_nTransparentR, g_System.m_nTransparentG, g_System.m_nTransparentB);
  }
  return true;
}

bool InitGame(const std::string& commandLine, int showCommand) {
  Srand(plat::clock().nowMs());
  g_nDataVersion = CURRENT_DATA_VERSION;
  g_bStripCR = 1;

  // Interrupted saves and copies leave temporaries in the game folder and the user's
  // folders. Only the holder of the instance lock may take them for stale: without it
  // they may be the saves of a game that runs. Project folders are the editor's.
  if (g_bSoleInstance) {
    plat::fs::removeStaleTemporaries(".");
    for (const char* folder : g_DataFolders) {
      if (std::string_view(folder).starts_with("user_data")) plat::fs::removeStaleTemporaries(folder);
    }
  }
  if (!CreateDefaultData()) {
    // Closed while the question waited: nothing was copied, and nothing went wrong.
    if (ClosedDuringStart()) return false;
    ReportError("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
    return false;
  }
  for (const char* folder : g_DataFolders) plat::fs::makeDirectory(folder);

  InstallDataRefs();
  if (!g_Database.LoadAll()) {
    ReportError("データベースの読み込みに失敗…");
    return false;
  }
  BuildDatabaseTables();

  const char* systemDat = g_PathTable[PATH_SYSTEM];
  if (!g_System.LoadFromFile(systemDat)) {
    ReportError("%s の読み込みに失敗…", systemDat);
    return false;
  }

  SetSystemIniDefaults(g_SystemIni, g_System.m_Settings);
  if (!LoadSystemIni(kSystemIni, g_SystemIni, g_System.m_Settings)) {
    ReportError("System.ini の読み込みに失敗しました！");
    SetSystemIniDefaults(g_SystemIni, g_System.m_Settings);
  }
  if (ClosedDuringStart()) return false;
  if (g_SystemIni.m_nDirect3D >= 2) {
    const int drawMode = ChooseDrawMode();
    if (drawMode < 0) {
      ClosedDuringStart();  // notes a close of the game window, as against the dialog's own end
      return false;
    }
    g_SystemIni.m_nDirect3D = drawMode == 1 ? 1 : 0;
  }
  // The whole command line names the stage, however long: a cut name would name another file.
  if (!commandLine.empty()) g_SystemIni.m_szFreeStage = commandLine;

  g_SceneManager.m_nFrameRate = 60;
  g_SceneManager.m_nFadeSpeed = 10;
  for (cPad& pad : g_Pads) pad.SetRepeat(18, 6);
  InstallLinks();
  if (!CheckLinksInstalled()) return false;

  const SCREENMODE mode =
      ChooseScreenMode(g_SystemIni, g_System.m_nColorMode, plat::display::desktopDepth(), IsOsVersionAtLeast(6, 0));
  g_bWindowMode = mode.bWindowMode;
  g_nScreenBpp = mode.nBpp;
  g_SystemIni.m_nBpp = mode.nBpp;
  g_SystemIni.m_nVSync = mode.nVSync;
  if (mode.lpszError) {
    ErrorBoxPrintf("%s", mode.lpszError);
    return false;
  }

  ShowMainWindow(showCommand, !g_SystemIni.m_nDirect3D && !g_bWindowMode);
  g_hWnd.store(g_MainWindow.m_hWnd);
  g_MainWindow.SetTitle(g_System.m_strTitle);

  if (!StartGraphics(showCommand)) return false;
  // The window's renderer is made now rather than at the first picture.
  g_MainWindow.m_Window.prepareRenderer();
  if (g_lpD3DData) {
    g_lpD3DData->strFailureHint = kTextureFailureHint;
    LinkSurfaceAliases();
  }
  ReportDisplayInfo();
  DebugLog("DDInit成功");

  if (!SetUpPaletteAndTransparency()) return false;
  ChooseFlipOff();
  const std::int32_t debugBitmap[] = {1};
  if (!DDLoadSurfaces(g_SurfaceData, debugBitmap, 1)) return false;
  if (!CreateStartUpFonts()) return false;

  SetUpInput();
  g_Option.LoadUserFile(g_PathTable[PATH_OPTION]);
  if (g_DDState.nBpp == 8 && !LoadHbtPalette(g_Option.m_nPalette)) return false;

  if (!StartSound()) return false;
  if (!LoadMapAndPalette()) return false;
  if (g_SystemIni.m_szFreeStage.empty()) return true;
  return StartTestPlay();
}

bool StartClosedByUser() { return g_bClosedByUser; }

void UnInitGame() {
  DS_UnInit();
  g_BgmPlayer.Release();
  g_SceneHost.DeleteAllScenes();
  for (Font& font : g_Fonts) font.Release();
  for (DDSURFACEDATA& strip : g_DigitSurfaces) DDReleaseSurface(&strip);
  DDUnInit();
  ReleaseKeyboardHook();
}
