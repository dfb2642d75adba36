// cDialog: a dialog template run modally on the window thread, with a list of controls
// bound to program data. Controls load their values when the dialog opens and store
// them when the user confirms; command and notification messages go to the controls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Vector.h"
#include "ui/Control.h"
#include "ui/Hook.h"
#include "ui/Window.h"

namespace plat::ui {
class Dialog;
}

// Objects that carry a window handle, for the second list of the owner lists.
struct cHandleOwner {
  plat::WindowToken m_hWnd = 0;
  std::uint32_t m_dwStyle = 0;
};

// Windows a dialog can hide or disable while it runs. Nothing adds to the lists, so
// there is nothing to act on; the object is handed to every window all the same.
class cOwnerLists {
 public:
  void ShowOwners(std::int32_t flag);
  void EnableOwners(std::int32_t flag);
  std::vector<cWindow*> m_Windows;
  std::vector<cHandleOwner*> m_Others;
  std::vector<plat::WindowToken> m_Hidden;  // windows currently hidden by ShowOwners
};

extern cOwnerLists g_OwnerLists;

// Modal flags of DoModal.
enum : std::int32_t { DLG_HIDE_OWNERS = 2, DLG_DISABLE_OWNERS = 4 };

class cDialog : public cWindow {
 public:
  cDialog();
  ~cDialog() override;

  std::intptr_t OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;
  std::intptr_t OnMessage(plat::WindowToken hWnd, const plat::Msg& msg) override;
  void RefreshLists() override;
  void OnPaint() override {}
  virtual std::intptr_t OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam);

  // parent may be null: the main window (g_hWnd) is then the owner.
  void Setup(std::int32_t resourceId, cWindow* parent, cOwnerLists* owners);
  void SetParent(std::int32_t resourceId, cWindow* parent, cOwnerLists* owners);
  // Runs the dialog; its result (0 at once when its window exists already, -1 when the
  // template is unknown).
  std::intptr_t DoModal(std::int32_t flags);
  void Close(std::int32_t result);
  void LoadControls();
  void StoreControls();
  void RestoreOwners();
  std::intptr_t DialogProc(plat::WindowToken hWnd, const plat::Msg& msg);

  // The platform's dialog while it runs (between the first message and the end).
  plat::ui::Dialog* Platform() const { return m_pPlatform; }

  std::int32_t m_bModeless = 0;
  std::int32_t m_nModalFlags = 0;
  std::int32_t m_bSubclassed = 0;  // the dialog window has been taken over for this object
  std::int32_t m_nResult = 0;
  cHook m_Hook;
  cWindow* m_pParent = nullptr;
  cCanvas m_Canvas;
  cScrollBar m_HScroll;
  cScrollBar m_VScroll;
  cVector<cControl*> m_Controls;

 protected:
  std::uint32_t PlatformStyle() const override;
  // Dialogs are drawn on the main window's client area while it is shown.
  plat::Rect WorkArea() const override;

 private:
  void ScrollOwnBar(cScrollBar& bar, std::uintptr_t wParam);
  plat::ui::Dialog* m_pPlatform = nullptr;
};

// The outer top-left corner of the main window on the screen (it exists, hidden, before
// the game starts); false without one.
bool MainWindowPos(std::int32_t* x, std::int32_t* y);

// Dialog item texts through a buffer of 5120 bytes: GetDlgItemString copies at most
// max - 1 bytes (and 5119), never half of a double-byte character.
void GetDlgItemString(plat::WindowToken hDlg, std::int32_t id, std::string& out, std::int32_t max);
void SetDlgItemString(plat::WindowToken hDlg, std::int32_t id, const std::string& text);
