#include "frontend/NewGame.h"

#include "records/PlayRecord.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"

void NewGame() {
  ResetPlayRecord(g_PlayRecord);
  g_PlayRecord.m_nMapX = g_WorldMap.m_nStartX;
  g_PlayRecord.m_nMapY = g_WorldMap.m_nStartY;
  g_PlayRecord.m_nRound = 0;
  if (g_System.m_UnlimitedLives[GAME_MODE_STORY]) {
    g_PlayRecord.m_nStartLives = g_PlayRecord.m_nLives = UNLIMITED_LIVES;
  } else {
    g_PlayRecord.m_nStartLives = g_System.m_StartLives[GAME_MODE_STORY];
    g_PlayRecord.m_nLives = g_PlayRecord.m_nStartLives - 1;
  }
}
