#include "app/DialogRequests.h"

#include "base/AppGlobals.h"
#include "app/SceneHost.h"
#include "base/AppMessages.h"
#include "records/FrontendLinks.h"
#include "platform/messaging.h"
#include "platform/thread.h"
#include "platform/winnum.h"
#include "ui/DialogRequests.h"
#include "ui/FileDialog.h"
#include "ui/Pad.h"

std::intptr_t SendDialogRequest(std::uint32_t message, std::uintptr_t wParam, std::atomic<std::int32_t>& done) {
  done.store(0);
  const std::intptr_t r = plat::send(g_hWnd.load(), plat::Msg{message, wParam, 0});
  while (!done.load()) plat::this_thread::sleepMs(1);
  // The pad was not polled while the dialog ran; the rest of this frame keeps what it
  // read before.
  if (g_Pads.Size() > 0) {
    cPad& pad = g_Pads[0];
    const std::uint16_t direction = pad.m_wDirection, buttons = pad.m_wButtons;
    g_SceneHost.UpdateInput(g_Pads);
    pad.SettleAfterPause(pad.m_wDirection, pad.m_wButtons);
    pad.m_wDirection = direction;
    pad.m_wButtons = buttons;
  }
  return r;
}

void InstallFrontendLinks() {
  g_FrontendLinks.gameMode = [] { return static_cast<int>(g_SceneManager.m_nGameMode); };
  g_FrontendLinks.dialogRequest = [](std::uint32_t message, std::uintptr_t wParam) {
    if (message == appmsg::NameEntry) {
      SendDialogRequest(message, wParam, g_bNameDone);
      return 1;
    }
    SendDialogRequest(message, wParam, g_bDialogDone);
    return static_cast<int>(g_bDialogResult.load());
  };
  g_FrontendLinks.replaySaveDialog = [](std::string& path) { return ChooseReplaySaveFile(path) != 0; };
}
