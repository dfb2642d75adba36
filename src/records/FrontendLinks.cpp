#include "records/FrontendLinks.h"

cFrontendLinks g_FrontendLinks;

int CurrentGameMode() { return g_FrontendLinks.gameMode ? g_FrontendLinks.gameMode() : 0; }

int IsTestPlay() { return g_FrontendLinks.testPlay ? g_FrontendLinks.testPlay() : 0; }
