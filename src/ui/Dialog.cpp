#include "ui/Dialog.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "base/SjisText.h"
#include "platform/input.h"
#include "platform/modal_ui.h"
#include "ui/DialogTemplates.h"

cOwnerLists g_OwnerLists;

namespace {

constexpr std::int32_t kTextBuffer = 5120;

// Notification codes the command dispatch serves.
constexpr std::uint32_t EN_KILLFOCUS = 0x200;
constexpr std::uint32_t EN_UPDATE = 0x400;

}  // namespace

bool MainWindowPos(std::int32_t* x, std::int32_t* y) {
  *x = *y = 0;
  plat::MainWindow* w = plat::MainWindow::primary();
  plat::ui::WindowGeometry g;
  if (!w || !plat::ui::windowGeometry(w->token(), &g)) return false;
  *x = g.outer.x;
  *y = g.outer.y;
  return true;
}

// ---------------------------------------------------------------------------------------
// Item texts

void GetDlgItemString(plat::WindowToken hDlg, std::int32_t id, std::string& out, std::int32_t max) {
  out.clear();
  plat::ui::Dialog* d = plat::ui::findDialog(hDlg);
  if (!d || max <= 0) return;
  const std::string text = d->itemText(id);
  const std::int32_t limit = std::min(max, kTextBuffer) - 1;
  if (static_cast<std::int32_t>(text.size()) <= limit) {
    out = text;
    return;
  }
  // Cut to the limit; a double-byte character that would be cut in two is left out.
  std::size_t keep = 0;
  while (keep < text.size()) {
    const std::size_t n = (keep + 1 < text.size() && IsDbcsPair(text.c_str() + keep)) ? 2 : 1;
    if (keep + n > static_cast<std::size_t>(limit)) break;
    keep += n;
  }
  out = text.substr(0, keep);
}

void SetDlgItemString(plat::WindowToken hDlg, std::int32_t id, const std::string& text) {
  if (plat::ui::Dialog* d = plat::ui::findDialog(hDlg)) d->setItemText(id, text);
}

// ---------------------------------------------------------------------------------------
// Owner lists

void cOwnerLists::ShowOwners(std::int32_t flag) {
  // Nothing is ever added to the lists; the windows of the first list only keep their
  // hidden state here, the objects of the second have no window the platform can hide.
  for (cWindow* w : m_Windows) {
    if (!w || !w->m_hWnd) continue;
    if (flag) std::erase(m_Hidden, w->m_hWnd);
    else m_Hidden.push_back(w->m_hWnd);
  }
}

void cOwnerLists::EnableOwners(std::int32_t flag) {
  for (cWindow* w : m_Windows) {
    if (!w) continue;
    if (flag) w->RemoveStyle(ws::Disabled);
    else w->AddStyle(ws::Disabled);
  }
  for (cHandleOwner* o : m_Others) {
    if (!o) continue;
    if (flag) o->m_dwStyle &= ~ws::Disabled;
    else o->m_dwStyle |= ws::Disabled;
  }
}

// ---------------------------------------------------------------------------------------
// cDialog

cDialog::cDialog() = default;

cDialog::~cDialog() { m_Controls.clear(); }

void cDialog::Setup(std::int32_t resourceId, cWindow* parent, cOwnerLists* owners) {
  m_bFocusReturn = 0;
  m_bModeless = 0;
  m_nModalFlags = 0;
  SetParent(resourceId, parent, owners);
}

void cDialog::SetParent(std::int32_t resourceId, cWindow* parent, cOwnerLists* owners) {
  m_hParent = parent ? parent->m_hWnd : g_hWnd.load();
  m_pParent = parent;
  m_bSubclassed = 0;
  SetCreateParams(resourceId, m_hParent, owners);
}

plat::Rect cDialog::WorkArea() const {
  const plat::ui::PixelRect a = plat::ui::workArea();
  return plat::Rect{a.x, a.y, a.x + a.w, a.y + a.h};
}

std::uint32_t cDialog::PlatformStyle() const {
  const std::uint32_t style = DialogTemplateStyle(m_nResourceId);
  return style ? style : m_dwStyle;
}

std::intptr_t cDialog::DoModal(std::int32_t flags) {
  if (m_hWnd) return 0;
  Close(0);
  m_bModeless = 0;
  m_nModalFlags = flags;
  if (m_lpOwnerLists) {
    if (flags & DLG_HIDE_OWNERS) m_lpOwnerLists->ShowOwners(0);
    if (flags & DLG_DISABLE_OWNERS) m_lpOwnerLists->EnableOwners(0);
  }
  std::intptr_t result = -1;
  if (const plat::ui::DialogTemplate* t = FindDialogTemplate(m_nResourceId)) {
    result = plat::ui::runModalDialog(*t, [this](plat::ui::Dialog& d, const plat::Msg& m) -> std::intptr_t {
      m_pPlatform = &d;
      return m_lpProc ? m_lpProc(d.token(), m) : WindowProc(d.token(), m);
    });
  }
  m_pPlatform = nullptr;
  m_hWnd = 0;
  if (m_lpOwnerLists) {
    if (flags & DLG_HIDE_OWNERS) m_lpOwnerLists->ShowOwners(1);
    if (flags & DLG_DISABLE_OWNERS) m_lpOwnerLists->EnableOwners(1);
  }
  return result;
}

void cDialog::Close(std::int32_t result) {
  m_nResult = result;
  m_Controls.clear();
  if (!m_bModeless && m_hWnd && m_pPlatform) m_pPlatform->end(result);
}

void cDialog::LoadControls() {
  for (std::size_t i = 0; i < m_Controls.size(); ++i) m_Controls[i]->LoadValue();
}

void cDialog::StoreControls() {
  for (std::size_t i = 0; i < m_Controls.size(); ++i) m_Controls[i]->StoreValue();
}

void cDialog::RefreshLists() {
  for (std::size_t i = 0; i < m_Controls.size(); ++i)
    if (m_Controls[i]->m_nKind == 8) m_Controls[i]->Refresh();
}

void cDialog::RestoreOwners() {
  if (!m_lpOwnerLists) return;
  if (m_nModalFlags & DLG_HIDE_OWNERS) m_lpOwnerLists->ShowOwners(1);
  if (m_nModalFlags & DLG_DISABLE_OWNERS) m_lpOwnerLists->EnableOwners(1);
}

std::intptr_t cDialog::DialogProc(plat::WindowToken hWnd, const plat::Msg& msg) {
  const std::intptr_t r = OnMessage(hWnd, msg);
  if (msg.id == plat::wm::Destroy) return 1;
  if (msg.id == plat::wm::Close) {
    Close(0);
    return 1;
  }
  return r ? 1 : 0;
}

std::intptr_t cDialog::OnInitDialog(std::uintptr_t, std::intptr_t) {
  m_Controls.clear();
  // The dialog window belongs to this object from now on; messages reach it through
  // the runner, which is what taking over its procedure amounts to here.
  m_bSubclassed = 1;
  UpdateStyle();
  if (m_rcInitClient.right - m_rcInitClient.left != 0)
    SetClientSize(m_rcInitClient.right - m_rcInitClient.left, m_rcInitClient.bottom - m_rcInitClient.top);
  if (m_nScroll & 1) {
    m_HScroll.Attach(this, SCROLLBIND{});
    m_Controls.push_back(&m_HScroll);
  }
  if (m_nScroll & 2) {
    m_VScroll.Attach(this, SCROLLBIND{});
    m_Controls.push_back(&m_VScroll);
  }
  PlaceInWorkArea();
  if (!m_Hook.KeyboardHook(m_hWnd, m_bModeless)) ErrorBox("KeyboardHookに失敗!");
  UpdateMouse(0, 7);
  return 0;
}

void cDialog::ScrollOwnBar(cScrollBar& bar, std::uintptr_t wParam) {
  const std::int32_t before = bar.m_nPos;
  if (static_cast<std::int32_t>(wParam & 0xFFFF) == SB_THUMBTRACK)
    bar.m_nTrackPos = static_cast<std::int32_t>(wParam >> 16);
  if (bar.Scroll(static_cast<std::int32_t>(wParam & 0xFFFF)) != before) OnPaint();
}

std::intptr_t cDialog::OnMessage(plat::WindowToken hWnd, const plat::Msg& msg) {
  const std::intptr_t r = cWindow::OnMessage(hWnd, msg);
  const std::uintptr_t wParam = msg.w;
  const std::intptr_t lParam = msg.l;
  switch (msg.id) {
    case plat::wm::Destroy: RestoreOwners(); break;
    case plat::wm::Notify:
      for (std::size_t i = 0; i < m_Controls.size(); ++i)
        if (m_Controls[i]->OnNotify(wParam, lParam)) break;
      break;
    case plat::wm::KeyDown: {
      // Page and arrow keys ask the dialog's scroll bars to move.
      struct KeyScroll {
        std::uintptr_t key;
        std::uint32_t msg;
        std::int32_t code;
      };
      static constexpr KeyScroll kKeys[] = {
          {plat::vk::Prior, plat::wm::VScroll, SB_PAGEUP},    {plat::vk::Next, plat::wm::VScroll, SB_PAGEDOWN},
          {plat::vk::End, plat::wm::HScroll, SB_PAGERIGHT},   {plat::vk::Home, plat::wm::HScroll, SB_PAGELEFT},
          {plat::vk::Left, plat::wm::HScroll, SB_LINELEFT},   {plat::vk::Up, plat::wm::VScroll, SB_LINEUP},
          {plat::vk::Right, plat::wm::HScroll, SB_LINERIGHT}, {plat::vk::Down, plat::wm::VScroll, SB_LINEDOWN},
      };
      for (const KeyScroll& k : kKeys) {
        if (k.key != wParam) continue;
        const cScrollBar& bar = k.msg == plat::wm::VScroll ? m_VScroll : m_HScroll;
        plat::post(m_hWnd, plat::Msg{k.msg, static_cast<std::uintptr_t>(k.code), bar.m_hCtrl});
      }
      if (!m_bModeless) {
        for (std::size_t i = 0; i < m_Controls.size(); ++i) m_Controls[i]->OnKey(wParam, lParam, g_bCtrlHeld);
      }
      break;
    }
    case plat::wm::InitDialog: OnInitDialog(wParam, lParam); break;
    case plat::wm::HScroll:
    case plat::wm::VScroll: {
      cScrollBar& bar = msg.id == plat::wm::HScroll ? m_HScroll : m_VScroll;
      if (bar.m_hCtrl && lParam == bar.m_hCtrl) ScrollOwnBar(bar, wParam);
      for (std::size_t i = 0; i < m_Controls.size(); ++i)
        if (m_Controls[i]->OnScroll(wParam, lParam)) break;
      break;
    }
    case WM_HOOK_NAVKEY: plat::send(m_hWnd, plat::Msg{plat::wm::KeyDown, wParam, lParam}); break;
    default: break;
  }
  return r;
}

std::intptr_t cDialog::OnCommand(std::uintptr_t wParam, std::intptr_t) {
  const std::int32_t id = static_cast<std::int32_t>(wParam & 0xFFFF);
  const std::uint32_t code = static_cast<std::uint32_t>(wParam >> 16);
  for (std::size_t i = 0; i < m_Controls.size(); ++i) {
    cControl* c = m_Controls[i];
    if (c->m_nId != id) continue;
    bool served = true;
    switch (c->m_nKind) {
      case 2:
      case CTRL_EDIT:
        if (code == EN_UPDATE) c->OnChange();
        else if (code == EN_KILLFOCUS) c->OnKillFocus();
        else served = false;
        break;
      case 7:
        if (code == 1) c->OnChange();
        else served = false;
        break;
      case 8:
        if (code == 1) c->OnChange();
        else if (code == 5) c->OnKillFocus();
        else served = false;
        break;
      default: served = false; break;
    }
    if (served) break;
  }
  for (std::size_t i = 0; i < m_Controls.size(); ++i) {
    if (m_Controls[i]->m_nKind != 8) continue;
    m_Controls[i]->OnRedraw();
  }
  return 0;
}
