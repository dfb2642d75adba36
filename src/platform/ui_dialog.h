// Dialogs drawn by the program itself: a template of controls laid out in dialog units,
// and a running dialog that keeps the state of its controls, handles the keyboard, text
// input (with an input method's pre-edit text) and the mouse as a Windows user expects,
// and tells its procedure what happened with the Windows message numbers
// (wm::Command with a notification code, wm::Close).
//
// Nothing here opens a window or pumps events: the modal runner (modal_ui.h) hosts a
// dialog, feeds it events and shows what paint() draws. So a dialog can be driven and
// looked at in tests without any display.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.h"
#include "platform/winnum.h"

namespace plat::ui {

enum class ControlKind : std::uint8_t {
  Static,    // left-aligned text, wrapped inside its rectangle
  Icon,      // the program's icon
  GroupBox,  // a frame with a title
  PushButton,
  DefPushButton,  // the button that Enter presses
  Edit,           // one line, scrolls horizontally
  AutoRadio,      // checks itself and clears the other radio buttons of its group
  AutoCheck,      // toggles itself
  List,           // a list of lines, one selected
};

struct ControlSpec {
  int id = -1;  // -1: a control nobody addresses
  ControlKind kind = ControlKind::Static;
  std::string text;                // CP932
  int x = 0, y = 0, w = 0, h = 0;  // dialog units, in the client area
  bool group = false;              // starts a group: arrow keys move within a group
};

struct DialogTemplate {
  int resourceId = 0;
  int width = 0, height = 0;          // client area, dialog units
  bool caption = false;               // a title bar
  bool closeBox = false;              // a close box in the title bar
  std::string title;                  // CP932
  std::vector<ControlSpec> controls;  // also the tab order
};

// Dialog units of the templates' 9-point font: one unit is 1.5 pixels each way.
inline int dluToPx(int dlu) { return dlu * 3 / 2; }

// Command identifiers the dialog manager sends on its own.
namespace cmd {
enum : int { Ok = 1, Cancel = 2 };
}
// Notification codes (high word of a command's w).
namespace notify {
enum : int { Clicked = 0, SelChange = 1, DblClk = 2, KillFocus = 0x200, Update = 0x400 };
}
// Button states.
namespace check {
enum : int { Unchecked = 0, Checked = 1 };
}

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// Key modifiers of a key press.
struct Mods {
  bool shift = false;
  bool ctrl = false;
};

class Dialog {
 public:
  // Every notification (wm::Command: w = id | code << 16, l = id; wm::Close) goes to
  // the procedure, synchronously, from inside the call that caused it.
  using Proc = std::function<std::intptr_t(Dialog&, const Msg&)>;

  explicit Dialog(const DialogTemplate& t);
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  void setProc(Proc proc) { proc_ = std::move(proc); }
  const DialogTemplate& tmpl() const { return tmpl_; }
  int resourceId() const { return tmpl_.resourceId; }

  // --- Geometry (pixels) -------------------------------------------------------------
  // The frame around the client area and the title bar follow the platform's frame
  // metrics of a dialog frame.
  static constexpr int kFrame = 3;
  static constexpr int kCaption = 19;
  int clientWidth() const { return clientW_; }
  int clientHeight() const { return clientH_; }
  int clientLeft() const { return kFrame; }
  int clientTop() const { return kFrame + (tmpl_.caption ? kCaption : 0); }
  int outerWidth() const { return clientW_ + 2 * kFrame; }
  int outerHeight() const { return clientTop() + clientH_ + kFrame; }
  // Rectangle of a control in client coordinates (empty for an unknown id).
  PixelRect itemRect(int id) const;
  void resizeItem(int id, int w, int h);

  // Where the window stands: its outer top-left corner in screen coordinates.
  int x() const { return x_; }
  int y() const { return y_; }
  void moveTo(int x, int y);

  // --- Ending ---------------------------------------------------------------------------
  void end(int result);  // EndDialog
  bool ended() const { return ended_; }
  int result() const { return result_; }

  // The window token posts to the dialog go to (set by the runner; 0 without).
  std::uint32_t token() const { return token_; }
  void setToken(std::uint32_t t) { token_ = t; }

  // --- Items ---------------------------------------------------------------------------
  bool hasItem(int id) const { return find(id) >= 0; }
  // An edit box reports the change with notify::Update, as after typing.
  bool setItemText(int id, std::string_view cp932);
  std::string itemText(int id) const;
  void setCheck(int id, int state);
  int check(int id) const;
  // Selection of an edit box in bytes of its text: start <= end.
  void getSel(int id, int* start, int* end) const;
  // start -1 removes the selection; an end past the text means the end; positions
  // inside a double-byte character move to its start.
  void setSel(int id, int start, int end);
  bool setFocus(int id);
  // The first control that Tab would reach (what a dialog starts with).
  void focusFirst();
  int focusId() const;  // 0 when nothing addressable has the focus
  void enable(int id, bool on);
  bool enabled(int id) const;
  void setTitle(std::string_view cp932);
  const std::string& title() const { return title_; }
  void setListItems(int id, std::vector<std::string> items);
  const std::vector<std::string>& listItems(int id) const;
  int listSelection(int id) const;  // -1 when none
  void setListSelection(int id, int index);
  // Pre-edit text of the focused edit box (CP932), empty when none.
  const std::string& composition() const { return preedit_; }

  // --- Input ---------------------------------------------------------------------------
  // Virtual-key codes (vk::). Returns true when the dialog used the key.
  bool keyDown(int vk, Mods mods = {});
  void keyUp(int vk);
  // Committed text: each character goes into the focused edit box on its own (an
  // input method commits several at once), each followed by notify::Update.
  void textInput(std::string_view cp932);
  // The input method's uncommitted text, shown at the caret; empty ends it.
  void composition(std::string_view cp932);
  // Mouse in window coordinates (relative to the outer top-left corner).
  void mouseDown(int wx, int wy, bool doubleClick = false);
  void mouseMove(int wx, int wy);
  void mouseUp(int wx, int wy);
  // The close box, Alt+F4 or the window manager: wm::Close to the procedure.
  void requestClose();
  // Clicks the button as the user would (focus, then BN_CLICKED); false when it
  // cannot be clicked.
  bool click(int id);

  // Whether the focused control takes text, and where its caret is (client pixels).
  bool wantsText() const;
  PixelRect caretRect() const;

  // --- Drawing -------------------------------------------------------------------------
  // The whole window with its frame and title, its outer top-left corner at (ox, oy)
  // of a 32-bit surface; clipped to the surface.
  void paint(Surface& target, int ox, int oy) const;
  // Whether something changed since the last paint().
  bool dirty() const { return dirty_; }

  // Line height of the dialog font, in pixels.
  static int lineHeight();

 private:
  struct Control {
    ControlSpec spec;
    PixelRect rect;  // client pixels
    std::string text;
    int state = 0;  // check state; list selection
    bool enabled = true;
    // Edit box.
    int anchor = 0, caret = 0, scroll = 0;
    // List.
    std::vector<std::string> items;
    int top = 0;
  };

  int find(int id) const;
  Control* at(int id);
  const Control* at(int id) const;
  bool isTabStop(int index) const;
  bool isButtonLike(int index) const;
  int groupStart(int index) const;
  int groupEnd(int index) const;
  void focusIndex(int index, bool byKeyboard);
  void moveFocus(bool backward);
  void moveInGroup(bool backward);
  void pressIndex(int index);
  void command(int id, int code);
  void send(std::uint32_t message, std::uintptr_t w, std::intptr_t l);
  // Edit box operations.
  void editInsert(Control& c, std::string_view chars);
  void editDeleteSelection(Control& c);
  bool editKey(Control& c, int vk, Mods mods);
  void editScrollToCaret(Control& c);
  int editPosAt(const Control& c, int clientX) const;
  bool listKey(Control& c, int vk);
  void listSelect(Control& c, int index, bool notifyChange);
  int listRows(const Control& c) const;
  // Drawing helpers (ui_paint.cpp).
  void paintControl(Surface& s, int ox, int oy, int index) const;
  void paintCaption(Surface& s, int ox, int oy) const;

  DialogTemplate tmpl_;
  std::vector<Control> controls_;
  Proc proc_;
  std::string title_;
  int clientW_ = 0, clientH_ = 0;
  int x_ = 0, y_ = 0;
  int focus_ = -1;    // index into controls_
  int pressed_ = -1;  // button held by the mouse or the space bar
  bool pressedInside_ = false;
  bool spaceHeld_ = false;
  bool dragging_ = false;
  int dragDX_ = 0, dragDY_ = 0;
  bool ended_ = false;
  int result_ = 0;
  std::uint32_t token_ = 0;
  std::string preedit_;
  mutable bool dirty_ = true;
};

// Wildcard match of one CP932 name against one pattern ('*', '?'), ASCII letters
// matched without regard to case, double-byte characters compared whole.
bool matchWildcard(std::string_view name, std::string_view pattern);
// Any of the patterns separated by ';'.
bool matchAnyPattern(std::string_view name, std::string_view patterns);

}  // namespace plat::ui
