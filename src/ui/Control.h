// The controls of a dialog, each bound to one piece of program data: LoadValue puts the
// data into the control when the dialog opens, StoreValue puts the control's value back
// when the user confirms. The edit box keeps its text within limits of characters per
// line and of lines (a name of up to three characters).
#pragma once
#include <cstdint>
#include <string>

#include "platform/messaging.h"

class cDialog;

// Control kinds as the dialog's command dispatch knows them.
enum : std::int32_t {
  CTRL_EDIT = 3,
  CTRL_CANVAS = 4,
  CTRL_CHECK = 5,
  CTRL_RADIO = 6,
  CTRL_SCROLL = 11,
};

class cControl {
 public:
  explicit cControl(std::int32_t kind) : m_nKind(kind) {}
  virtual ~cControl() = default;
  cControl(const cControl&) = delete;
  cControl& operator=(const cControl&) = delete;

  virtual void Enable(std::int32_t flag);
  virtual void LoadValue() {}
  virtual void StoreValue() {}
  virtual void OnChange() {}
  virtual std::intptr_t OnNotify(std::uintptr_t, std::intptr_t) { return 0; }
  virtual std::intptr_t OnScroll(std::uintptr_t, std::intptr_t) { return 0; }
  virtual void Refresh() {}
  virtual void OnKillFocus() {}
  virtual void OnRedraw() {}
  virtual void OnKey(std::uintptr_t, std::intptr_t, std::int32_t) {}

  void Attach(cDialog* dialog, std::int32_t id);
  void SavePos();

  std::int32_t m_hCtrl = 0;  // the control's handle: its id while its dialog has it, else 0
  cDialog* m_pDialog = nullptr;
  plat::WindowToken m_hDialog = 0;
  std::int32_t m_nKind;
  std::int32_t m_nId = 0;
  std::int32_t m_nScreenX = 0, m_nScreenY = 0;
  std::int32_t m_nDialogX = 0, m_nDialogY = 0;
  std::int32_t m_bBusy = 0;
  std::string m_strTooltip;
};

// What an edit box is bound to, and its limits (0 takes the default).
struct EDITBIND {
  std::uint16_t nId = 0;
  std::string* pText = nullptr;
  std::int32_t nTotal = 0;    // characters in all
  std::int32_t nPerLine = 0;  // characters a line
  std::int32_t nLines = 0;
  std::int32_t bDbcs = 0;  // 1: limits count characters, a double-byte pair being one
  std::int32_t nExtra[4] = {0, 0, 0, 0};
};
// A binding of n characters on one line: total n + 1, per line n (double-byte mode) or
// the default.
void SetEditBind(EDITBIND* bind, std::uint16_t id, std::string* text, std::int32_t n, std::int32_t dbcs);

class cEditBox : public cControl {
 public:
  cEditBox() : cControl(CTRL_EDIT) {}
  void Create(cDialog* dialog, const EDITBIND& bind);
  void LoadValue() override;
  void StoreValue() override;
  void OnChange() override;

  std::string* m_pText = nullptr;
  std::int32_t m_nTotal = 4096;
  std::int32_t m_bDbcs = 0;
  std::int32_t m_nPerLine = 1024;
  std::int32_t m_nLines = 32;
  std::int32_t m_bInitial = 0;
  std::string m_strAccepted;  // the last text the limiter let through
  std::int32_t m_nSelStart = 0, m_nSelEnd = 0;
  std::int32_t m_nExtra[4] = {0, 0, 0, 0};

 private:
  std::int32_t MaxCount() const { return m_bDbcs ? 2 * m_nTotal - 1 : m_nTotal; }
  std::int32_t Length(std::string_view text) const;
};

class cCheckBox : public cControl {
 public:
  cCheckBox() : cControl(CTRL_CHECK) {}
  void Bind(std::int32_t* value) { m_pValue = value; }
  void LoadValue() override;
  void StoreValue() override;
  std::int32_t* m_pValue = nullptr;
};

class cRadioButton : public cControl {
 public:
  cRadioButton() : cControl(CTRL_RADIO) {}
  void Bind(std::int32_t* value, std::int32_t own) {
    m_pValue = value;
    m_nOwnValue = own;
  }
  void LoadValue() override;
  void StoreValue() override;  // an unchecked button leaves the value alone
  std::int32_t* m_pValue = nullptr;
  std::int32_t m_nOwnValue = 0;
};

// Scroll codes, numbered as Windows numbers them.
enum : std::int32_t {
  SB_LINEUP = 0,
  SB_LINELEFT = 0,
  SB_LINEDOWN = 1,
  SB_LINERIGHT = 1,
  SB_PAGEUP = 2,
  SB_PAGELEFT = 2,
  SB_PAGEDOWN = 3,
  SB_PAGERIGHT = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6,
  SB_BOTTOM = 7,
};

struct SCROLLBIND {
  std::uint16_t nId = 0;
  plat::WindowToken* pTarget = nullptr;
  std::int32_t nBar = 0;
  std::int32_t nExtra = 0;
  std::int32_t nMin = 0, nMax = 0, nPage = 0;
  std::int32_t bRedraw = 0;
};

// A scroll bar of a dialog: its range, page, position and the track position of a
// drag. No dialog of the program has one, but every dialog carries two.
class cScrollBar : public cControl {
 public:
  cScrollBar() : cControl(CTRL_SCROLL) {}
  void Attach(cDialog* dialog, const SCROLLBIND& bind);
  // The position after a scroll request with this code (clamped to the range).
  std::int32_t Scroll(std::int32_t code);
  std::int32_t m_nMin = 0, m_nMax = 0, m_nPage = 0, m_nPos = 0, m_nTrackPos = 0;
};

// Messages a scroll bar's own procedure lets through: a right-button release never
// reaches the bar. 0 for a message swallowed.
std::int32_t ScrollSubclassProc(std::uint32_t msg);

// The owner-drawn canvas every dialog carries; never attached by the program's dialogs.
class cCanvas : public cControl {
 public:
  cCanvas() : cControl(CTRL_CANVAS) {}
};
