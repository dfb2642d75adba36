// The start-up dialog (template 103): Direct3D or DirectDraw, and whether to ask again.
// The choice is kept in "user_data\Boot.dat".
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "gamedata/Record.h"
#include "ui/Dialog.h"

class cBoot : public cRecord {
 public:
  std::int32_t m_nDrawMode = 1;  // 1 Direct3D, 0 DirectDraw
  std::int32_t m_bNoShow = 0;    // non-zero: start without the dialog

  void BindFields(std::uint32_t nVersion) override;
};

extern cBoot g_Boot;

class cBootDialog : public cDialog {
 public:
  cBootDialog();
  ~cBootDialog() override;

  std::intptr_t OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;
  std::intptr_t WindowProc(plat::WindowToken hWnd, const plat::Msg& msg) override { return DialogProc(hWnd, msg); }
  std::intptr_t OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) override;

  std::vector<std::unique_ptr<cCheckBox>> m_CheckBoxes;
  std::vector<std::unique_ptr<cRadioButton>> m_RadioButtons;
};

extern cBootDialog* g_pBootDialog;
std::intptr_t BootDialogProc(plat::WindowToken hWnd, const plat::Msg& msg);

// The start-up step of the drawing mode, for a "Direct3D" setting of 2 or more: loads
// "user_data\Boot.dat" (a missing file keeps the defaults), asks with the start-up
// dialog unless told not to, and sets *direct3D to 1 for Direct3D, else 0. 0 when the
// user stopped the game there (start-up then fails).
std::int32_t AskDrawMode(std::int32_t* direct3D);
