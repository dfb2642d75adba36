#include "core/WinMain.h"

#include "core/Log.h"

int PlayerMain(int, char**) {
  SetDebugLog(0, "EC_Game.txt");
  if (!OpenReport("Report_Game.txt")) return 0;
  ReportPrintf("App : ver %s", "513");
  return 0;
}
