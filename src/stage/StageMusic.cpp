// The stage's music request: the loop flag goes with the play record, the number to the
// window thread, which owns the music player.
#include "core/AppGlobals.h"
#include "frontend/PlayRecord.h"
#include "platform/messaging.h"
#include "stage/StageScene.h"

void cStageScene::RequestBgm(int nBgm, int bLoop) {
  g_PlayRecord.m_bStageBgmLoop = bLoop;
  plat::send(g_hWnd.load(), plat::Msg{plat::wm::User + 6, 4, static_cast<std::intptr_t>(nBgm)});
}
