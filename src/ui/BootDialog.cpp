#include "ui/BootDialog.h"

#include <new>

#include "base/Log.h"
#include "base/Screen.h"
#include "gamedata/DataPaths.h"
#include "gamedata/System.h"
#include "platform/modal_ui.h"
#include "ui/DialogTemplates.h"

cBoot g_Boot;
cBootDialog* g_pBootDialog = nullptr;

void cBoot::BindFields(std::uint32_t) {
  ClearFieldLists();
  AddField4(&m_nDrawMode);
  AddField4(&m_bNoShow);
}

std::intptr_t BootDialogProc(plat::WindowToken hWnd, const plat::Msg& msg) {
  return g_pBootDialog ? g_pBootDialog->WindowProc(hWnd, msg) : 0;
}

cBootDialog::cBootDialog() {
  Setup(IDD_BOOT, nullptr, &g_OwnerLists);
  g_pBootDialog = this;
  m_lpProc = &BootDialogProc;
  SetLayout(0, 0, 100, 100, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, 0, 0, 0);
  // Centred on the game window (whose client area is the screen), the cursor on "ゲーム開始".
  std::int32_t mx = 0, my = 0;
  MainWindowPos(&mx, &my);
  m_nStoredX = static_cast<std::int32_t>(mx + SCREEN_WIDTH / 2 - 187.0);
  m_nStoredY = static_cast<std::int32_t>(my + SCREEN_HEIGHT / 2 - 136.0);
  plat::ui::warpCursor(static_cast<int>(m_nStoredX + 181.9), static_cast<int>(m_nStoredY + 198.9));

  auto d3d = std::make_unique<cRadioButton>();
  d3d->m_nId = IDC_RADIO_D3D;
  d3d->Bind(&g_Boot.m_nDrawMode, 1);
  auto ddraw = std::make_unique<cRadioButton>();
  ddraw->m_nId = IDC_RADIO_DDRAW;
  ddraw->Bind(&g_Boot.m_nDrawMode, 0);
  m_RadioButtons.push_back(std::move(d3d));
  m_RadioButtons.push_back(std::move(ddraw));
  auto noShow = std::make_unique<cCheckBox>();
  noShow->m_nId = IDC_CHECK_NOSHOW;
  noShow->Bind(&g_Boot.m_bNoShow);
  m_CheckBoxes.push_back(std::move(noShow));
}

cBootDialog::~cBootDialog() { m_Controls.clear(); }

std::intptr_t cBootDialog::OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) {
  cDialog::OnInitDialog(wParam, lParam);
  if (Platform()) Platform()->setTitle(g_System.m_strTitle);
  for (auto& radio : m_RadioButtons) {
    radio->Attach(this, radio->m_nId);
    m_Controls.push_back(radio.get());
  }
  for (auto& check : m_CheckBoxes) {
    check->Attach(this, check->m_nId);
    m_Controls.push_back(check.get());
  }
  LoadControls();
  m_bFocusReturn = 1;
  return 0;
}

std::intptr_t cBootDialog::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  const std::intptr_t r = cDialog::OnCommand(wParam, lParam);
  switch (static_cast<std::int32_t>(wParam & 0xFFFF)) {
    case IDC_BUTTON_OK:
      StoreControls();
      // A save that fails leaves the choice for this run only.
      g_Boot.SaveToFile(g_PathTable[PATH_BOOT]);
      Close(1);
      return r;
    case IDC_BUTTON_CANCEL: Close(0); return r;
    default: return r;
  }
}

std::int32_t AskDrawMode(std::int32_t* direct3D) {
  if (!g_Boot.LoadUserFile(g_PathTable[PATH_BOOT])) g_Boot = cBoot();
  if (g_Boot.m_bNoShow == 0) {
    cBootDialog* dialog = new (std::nothrow) cBootDialog();
    if (!dialog) {
      OutOfMemory();
      return 0;
    }
    const std::intptr_t result = dialog->DoModal(0);
    delete dialog;
    if (result == 0) return 0;
  }
  *direct3D = g_Boot.m_nDrawMode == 1 ? 1 : 0;
  return 1;
}
