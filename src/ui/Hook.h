// cHook: the keyboard hook of the window thread. A dialog's controls take the keyboard
// focus, so the dialog itself would not see the keys typed; the hook gives it a copy of
// every key that reaches it (posted key-down and key-up messages) while the key still
// goes on to the focused control. It keeps out of the input method's way: an Enter that
// ends a composition and Tab are not copied, and the navigation keys are handed over as
// appmsg::HookNavKey only while no composition is in progress.
#pragma once
#include <cstdint>

#include "base/AppMessages.h"
#include "platform/messaging.h"

// A navigation key for the dialog.
inline constexpr std::uint32_t WM_HOOK_NAVKEY = appmsg::HookNavKey;

class cHook {
 public:
  cHook() = default;
  virtual ~cHook();
  cHook(const cHook&) = delete;
  cHook& operator=(const cHook&) = delete;

  // Registers the window and installs the hook when none is installed yet. 1 when a
  // hook is installed (already or now), 0 when the installation failed.
  std::int32_t KeyboardHook(plat::WindowToken hWnd, std::int32_t suppressWithCtrl);
  static bool IsNavigationKey(std::uintptr_t vk);

  plat::WindowToken m_hWnd = 0;
  std::int32_t m_bSuppressWithCtrl = 0;
};

// The hook procedure: code, virtual key, key lParam (bit 31 set for a release).
void KeyboardHookProc(int code, std::uintptr_t wParam, std::intptr_t lParam);
// Removes the hook (shutdown).
void ReleaseKeyboardHook();
// Whether the hook is installed.
bool KeyboardHookInstalled();

// Set while a Ctrl key is held (seen by the hook); the dialogs pass it to their controls.
extern std::int32_t g_bCtrlHeld;
