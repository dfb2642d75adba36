// Modal dialogs, message boxes and file choosers on the window thread.
//
// A modal runs in a nested loop of the window thread's pump (plat::pumpOne), so sends
// from other threads and posted messages are served while it is up, as inside a
// Windows dialog loop. It is shown in one of three ways:
//   - over the game picture when the main window is visible (also full screen);
//   - in a small window of its own before the main window is shown;
//   - not at all in headless runs, where the scripted responder answers it.
// While a modal runs, it takes the keyboard, text input and mouse (its owner is
// disabled); other events, and the messages of other windows, go on as usual.
//
// The scripted responder (namespace ui_script) gives answers in order, one response
// to each modal: from the test API, or from PELLMOOR_UI_SCRIPT, a list of responses
// separated by ',' whose actions are joined by '+':
//   ok | yes | no | cancel | <number>   an answer: a box returns it; a dialog presses
//                                        its default button (ok), closes (cancel), or
//                                        presses the control with that id
//   press=<id>                           clicks a control
//   close                                closes the dialog (its close box)
//   quit                                 the user's close request of the game (its
//                                        window's close button) while the modal waits
//   key=<name>                           a key press and release (RETURN, ESCAPE, TAB,
//                                        SPACE, BACK, DELETE, LEFT, RIGHT, UP, DOWN,
//                                        HOME, END, or a virtual-key number)
//   text=<utf-8>                         typed text (committed input-method text)
//   preedit=<utf-8>                      uncommitted input-method text
//   file=<path>                          a file chooser: the name typed, then "open"
// e.g. "text=ABC+ok,yes". Headless, a modal with no response left, or one that its
// response did not end, is reported on standard error, counted, and closed as if
// cancelled. Every box's text is printed to standard error in headless runs.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui_dialog.h"

namespace plat::ui {

// Runs a dialog until its procedure calls end(); returns that result. The procedure
// gets wm::InitDialog first (a non-zero answer puts the focus on the first control
// that takes it, unless the procedure placed it), wm::Command, wm::Close and the
// messages posted to the dialog's token, and wm::Destroy last. Any thread: from
// another thread the dialog runs on the window thread while the caller waits.
int runModalDialog(const DialogTemplate& t, Dialog::Proc proc);

// The running dialog with this window token, or nullptr.
Dialog* findDialog(std::uint32_t token);
// The window that has the keyboard: the innermost dialog's token, else the main
// window's, else 0.
std::uint32_t activeWindow();

// A keyboard hook of the window thread: called with (0, virtual key, key lParam) for
// every key that reaches a dialog, before the dialog handles it. The lParam has bit 31
// set for a release. An empty function removes the hook.
using KeyboardHook = std::function<void(int code, std::uintptr_t vk, std::intptr_t lParam)>;
void setKeyboardHook(KeyboardHook hook);
bool keyboardHookInstalled();

// Where a window (a running dialog, or the main window) stands on the screen: its
// outer rectangle and its client area. False for a token that is neither.
struct WindowGeometry {
  PixelRect outer, client;
};
bool windowGeometry(std::uint32_t token, WindowGeometry* out);
// Moves a running dialog, or the main window, so that its outer top-left corner is at
// (x, y) of the screen.
bool moveWindow(std::uint32_t token, int x, int y);

// The area a dialog is kept inside, in screen coordinates: the game window's client
// area while it is shown (dialogs are drawn on it), else the desktop's work area.
PixelRect workArea();
// Top-left corner of the main window's client area on the screen (0, 0 without one).
void mainClientOrigin(int* x, int* y);

// Moves the mouse cursor to a screen point (headless runs only record it).
void warpCursor(int x, int y);
// The last point given to warpCursor (tests).
bool lastCursorWarp(int* x, int* y);

// A message box drawn by the program: "OK", or "はい" and "いいえ"; returns
// answer::Ok, answer::Yes or answer::No (answer::Ok also for Escape or the close box
// of an OK box). Window thread (or before there is one).
int showMessageBox(std::string_view textCp932, std::string_view captionCp932, int buttons);

// File choosers: a list of the folder's sub-folders and of its files that match the
// patterns, and a name box. Paths are in the program's form ('\', CP932); the chosen
// file comes back as an absolute path. The current directory never changes.
struct FileRequest {
  std::string initialDir;    // relative to the current directory, or absolute
  std::string title;         // the window's title
  std::string filterDesc;    // shown beside the name box
  std::string patterns;      // "*.a;*.b"
  std::string defaultExt;    // added to a typed name without one (not when it has wildcards)
  std::string proposedName;  // put into the name box at the start
  bool save = false;
  bool mustExist = true;         // an opened file must exist
  bool overwritePrompt = false;  // a saved file that exists is overwritten only after "はい"
};
std::optional<std::string> chooseFile(const FileRequest& r);

// Tests: the picture a visible modal shows now, as 0x00RRGGBB rows (read back from the
// host: the dialog's own window, or the game picture with the dialog over it).
bool captureShown(std::vector<std::uint32_t>& pixels, int* width, int* height);

// Tests: the window-system id of the window the innermost modal is drawn in (its own
// window or the main window); 0 when it is not shown.
std::uint32_t hostWindowId();

// Feeds an SDL event (const SDL_Event*) to the running modal as the pump would, after
// the input module has seen it; false when no modal runs or the event is not its.
bool feedEvent(const void* sdlEvent);

}  // namespace plat::ui

namespace plat::ui_script {

struct Action {
  enum class Kind { Answer, Press, Close, Quit, Key, Text, Preedit, File, Call };
  Kind kind = Kind::Answer;
  int value = 0;                          // the answer, the control id, the virtual key
  std::string text;                       // CP932: typed text, pre-edit, file name
  std::function<void(ui::Dialog&)> call;  // tests: runs inside the modal
};
using Response = std::vector<Action>;

// Appends a response; used in order, one for each modal.
void push(Response r);
// Shorthands.
void pushAnswer(int answer);
void pushCall(std::function<void(ui::Dialog&)> fn);
// Replaces what is queued.
void replace(std::vector<Response> rs);
// Replaces what is queued by the responses of PELLMOOR_UI_SCRIPT.
void loadFromLaunch();
// Parses a script text; nullopt with the offending item when it is malformed.
std::optional<std::vector<Response>> parse(std::string_view script, std::string* bad = nullptr);
// Takes the next response (loading the launch's script on first use).
std::optional<Response> take();
bool pending();

// What the modals of the run were (tests).
struct Shown {
  enum class Kind { Box, Dialog, File } kind = Kind::Box;
  int resourceId = 0;   // dialogs
  std::string caption;  // CP932: box caption, dialog or chooser title
  std::string text;     // CP932: box text
  int buttons = 0;      // boxes
  int result = 0;       // boxes: the answer; dialogs: the result
};
void recordShown(Shown s);
std::vector<Shown> shown();
// Modals that got no (or no ending) response in a headless run.
void countUnexpected();
unsigned unexpected();
void reset();  // nothing queued, nothing shown, no unexpected modals

}  // namespace plat::ui_script
