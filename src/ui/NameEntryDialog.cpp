#include "ui/NameEntryDialog.h"

#include "base/SceneManager.h"
#include "base/Screen.h"
#include "gamedata/Option.h"
#include "gfx/DDInit.h"
#include "platform/modal_ui.h"
#include "ui/DialogTemplates.h"

cNameEntryDialog* g_pNameEntryDialog = nullptr;

namespace {

StageRankNameSource s_StageRankName = nullptr;

// The options scene is entered through title-menu item 5.
constexpr std::int32_t kMenuOptions = 5;

}  // namespace

void SetStageRankNameSource(StageRankNameSource source) { s_StageRankName = source; }

std::intptr_t NameDialogProc(plat::WindowToken hWnd, const plat::Msg& msg) {
  return g_pNameEntryDialog ? g_pNameEntryDialog->WindowProc(hWnd, msg) : 0;
}

cNameEntryDialog::cNameEntryDialog() {
  Setup(IDD_NAME_ENTRY, nullptr, &g_OwnerLists);
  g_pNameEntryDialog = this;
  m_lpProc = &NameDialogProc;
  SetLayout(0, 0, 100, 100, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, 0, 0, 0);
  // Over the game picture: full screen at (240, 220), in a window as far from its corner.
  if (g_DDState.bWindowed) {
    MainWindowPos(&m_nStoredX, &m_nStoredY);
    m_nStoredX += 240;
    m_nStoredY += 220;
  } else {
    m_nStoredX = 240;
    m_nStoredY = 220;
  }
  plat::ui::warpCursor(m_nStoredX + 80, m_nStoredY + 65);

  std::string* text = nullptr;
  if (g_SceneManager.m_nMenuChoice == kMenuOptions) text = &g_Option.m_strRankName;
  else if (s_StageRankName) text = s_StageRankName();
  if (text) {
    EDITBIND bind;
    SetEditBind(&bind, IDC_EDIT_NAME, text, 3, 1);
    m_EditBinds.push_back(bind);
  }
}

cNameEntryDialog::~cNameEntryDialog() { m_Controls.clear(); }

std::intptr_t cNameEntryDialog::OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  m_EditBoxes.clear();
  for (const EDITBIND& bind : m_EditBinds) {
    auto box = std::make_unique<cEditBox>();
    box->Create(this, bind);
    m_Controls.push_back(box.get());
    m_EditBoxes.push_back(std::move(box));
  }
  LoadControls();
  if (!m_EditBoxes.empty() && Platform()) {
    Platform()->setFocus(m_EditBoxes.front()->m_nId);
    Platform()->setSel(m_EditBoxes.front()->m_nId, 0, 0x7FFFFFFF);
  }
  m_bFocusReturn = 1;
  return 0;
}

std::intptr_t cNameEntryDialog::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  const std::intptr_t r = cDialog::OnCommand(wParam, lParam);
  switch (static_cast<std::int32_t>(wParam & 0xFFFF)) {
    case IDC_BUTTON_OK:
      StoreControls();
      Close(1);
      return r;
    case IDC_BUTTON_CANCEL: Close(0); return r;
    default: return r;
  }
}
