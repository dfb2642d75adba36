#include "ui/Hook.h"

#include <map>

#include "base/Log.h"
#include "platform/input.h"
#include "platform/modal_ui.h"

std::int32_t g_bCtrlHeld = 0;

namespace {

constexpr int HC_NOREMOVE = 3;

bool s_bHooked = false;

// The "cHook" property of each registered window (window thread only).
std::map<plat::WindowToken, cHook*>& Registered() {
  static std::map<plat::WindowToken, cHook*> m;
  return m;
}

}  // namespace

cHook::~cHook() {
  auto& reg = Registered();
  auto it = reg.find(m_hWnd);
  if (it != reg.end() && it->second == this) reg.erase(it);
}

std::int32_t cHook::KeyboardHook(plat::WindowToken hWnd, std::int32_t suppressWithCtrl) {
  m_hWnd = hWnd;
  m_bSuppressWithCtrl = suppressWithCtrl;
  Registered()[hWnd] = this;
  if (!s_bHooked) {
    plat::ui::setKeyboardHook(&KeyboardHookProc);
    s_bHooked = plat::ui::keyboardHookInstalled();
  }
  return s_bHooked ? 1 : 0;
}

bool cHook::IsNavigationKey(std::uintptr_t vk) {
  switch (vk) {
    case plat::vk::Space:
    case plat::vk::Left:
    case plat::vk::Up:
    case plat::vk::Right:
    case plat::vk::Down:
    case plat::vk::Delete: return true;
    default: return vk >= plat::vk::F1 && vk <= plat::vk::F8;
  }
}

void KeyboardHookProc(int code, std::uintptr_t wParam, std::intptr_t lParam) {
  if (code < 0 || code == HC_NOREMOVE) return;
  const plat::WindowToken active = plat::ui::activeWindow();
  auto& reg = Registered();
  auto it = reg.find(active);
  if (it == reg.end() || it->second->m_hWnd != active) return;
  const cHook& hook = *it->second;
  const bool keyUp = (static_cast<std::uint32_t>(lParam) & 0x80000000u) != 0;
  if (keyUp) {
    if (wParam == plat::vk::Control) g_bCtrlHeld = 0;
    if (!(hook.m_bSuppressWithCtrl && g_bCtrlHeld)) plat::post(active, plat::Msg{plat::wm::KeyUp, wParam, lParam});
    return;
  }
  // An Enter that ends a composition belongs to the input method.
  if (wParam == plat::vk::Return && plat::input::imeComposing()) return;
  if (wParam == plat::vk::Tab) return;
  if (wParam != plat::vk::Return) {
    if (!plat::input::imeComposing() && cHook::IsNavigationKey(wParam)) {
      plat::post(active, plat::Msg{WM_HOOK_NAVKEY, wParam, lParam});
      return;
    }
    if (wParam == plat::vk::Control) g_bCtrlHeld = 1;
  }
  if (!(hook.m_bSuppressWithCtrl && g_bCtrlHeld)) plat::post(active, plat::Msg{plat::wm::KeyDown, wParam, lParam});
}

void ReleaseKeyboardHook() {
  if (!s_bHooked) return;
  plat::ui::setKeyboardHook(nullptr);
  s_bHooked = false;
}

bool KeyboardHookInstalled() { return s_bHooked; }
