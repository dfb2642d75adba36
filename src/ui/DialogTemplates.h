// The dialog templates of the program's resources: 102, the name entry, and 103, the
// start-up dialog. Control ids are those the dialog code binds by.
#pragma once
#include <cstdint>

#include "platform/ui_dialog.h"

enum : int {
  IDD_NAME_ENTRY = 102,
  IDD_BOOT = 103,
  IDC_BUTTON_OK = 1000,      // 102 "OK", 103 "ゲーム開始"
  IDC_BUTTON_CANCEL = 1001,  // 103 "ゲーム中止"
  IDC_RADIO_D3D = 1002,      // 103
  IDC_EDIT_NAME = 1003,      // 102
  IDC_RADIO_DDRAW = 1003,    // 103
  IDC_CHECK_NOSHOW = 1004,   // 103
  IDC_ICON = 1075,
};

// The template of a resource id; nullptr for an id the program has none of.
const plat::ui::DialogTemplate* FindDialogTemplate(int resourceId);
// The window style a template gives its dialog (Windows style bits); 0 for
// an unknown id.
std::uint32_t DialogTemplateStyle(int resourceId);
