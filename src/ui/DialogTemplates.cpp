#include "ui/DialogTemplates.h"

#include "ui/Window.h"

namespace {

using plat::ui::ControlKind;
using plat::ui::ControlSpec;
using plat::ui::DialogTemplate;

DialogTemplate MakeNameEntry() {
  DialogTemplate t;
  t.resourceId = IDD_NAME_ENTRY;
  t.width = 110;
  t.height = 65;
  t.caption = false;
  t.controls = {
      ControlSpec{IDC_ICON, ControlKind::Icon, "", 8, 8, 21, 20, true},
      ControlSpec{IDC_EDIT_NAME, ControlKind::Edit, "", 38, 21, 40, 13, true},
      ControlSpec{IDC_BUTTON_OK, ControlKind::DefPushButton, "OK", 38, 42, 50, 14, true},
      ControlSpec{-1, ControlKind::Static, "登録名(3文字まで)", 36, 8, 72, 10, true},
  };
  return t;
}

// Laid out so that the point the cursor is sent to (181.9, 198.9 pixels from the
// dialog's corner) lies on "ゲーム開始".
DialogTemplate MakeBoot() {
  DialogTemplate t;
  t.resourceId = IDD_BOOT;
  t.width = 222;
  t.height = 171;
  t.caption = true;
  t.controls = {
      ControlSpec{IDC_ICON, ControlKind::Icon, "", 10, 10, 21, 20, true},
      ControlSpec{IDC_BUTTON_OK, ControlKind::DefPushButton, "ゲーム開始", 84, 108, 66, 18, true},
      ControlSpec{IDC_BUTTON_CANCEL, ControlKind::PushButton, "ゲーム中止", 156, 108, 56, 18, false},
      ControlSpec{-1, ControlKind::GroupBox, "描画モード", 40, 8, 172, 54, true},
      ControlSpec{IDC_RADIO_D3D, ControlKind::AutoRadio, "Direct3D", 54, 24, 120, 12, true},
      ControlSpec{IDC_RADIO_DDRAW, ControlKind::AutoRadio, "DirectDraw", 54, 42, 120, 12, false},
      ControlSpec{-1, ControlKind::Static, "詳細な設定は環境設定ファイル「System.ini」で行って下さい。", 40, 70, 172,
                  24, true},
      ControlSpec{IDC_CHECK_NOSHOW, ControlKind::AutoCheck, "次回からこのダイアログを表示しない", 40, 140, 172, 12,
                  true},
  };
  return t;
}

}  // namespace

const plat::ui::DialogTemplate* FindDialogTemplate(int resourceId) {
  static const DialogTemplate nameEntry = MakeNameEntry();
  static const DialogTemplate boot = MakeBoot();
  switch (resourceId) {
    case IDD_NAME_ENTRY: return &nameEntry;
    case IDD_BOOT: return &boot;
    default: return nullptr;
  }
}

std::uint32_t DialogTemplateStyle(int resourceId) {
  switch (resourceId) {
    case IDD_NAME_ENTRY: return ws::Popup | ws::DlgFrame | ws::ModalFrame;
    case IDD_BOOT: return ws::Popup | ws::Caption | ws::ModalFrame;
    default: return 0;
  }
}
