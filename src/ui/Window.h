// cWindow: the base of every window object (the main window, the dialogs). It keeps the
// window's handle, its layout numbers derived from a client size and a style (frame
// metrics, outer size, size limits, the drawing area), a small mouse record, places the
// window on the desktop, and turns window messages into calls of overridable handlers.
//
// The style is a plain number with the Windows style bits: only layout
// arithmetic reads it. The platform window behind the object (when there is one) does
// the moving; without one the object keeps its position as numbers.
#pragma once
#include <cstdint>

#include "platform/messaging.h"
#include "platform/window.h"

// Window style bits.
namespace ws {
enum : std::uint32_t {
  Popup = 0x80000000u,
  Caption = 0x00C00000u,  // border and dialog frame
  Border = 0x00800000u,
  DlgFrame = 0x00400000u,
  VScroll = 0x00200000u,
  HScroll = 0x00100000u,
  SysMenu = 0x00080000u,
  ThickFrame = 0x00040000u,
  MinimizeBox = 0x00020000u,
  Disabled = 0x08000000u,
  ModalFrame = 0x00000080u,  // a dialog template's modal frame
};
}  // namespace ws

struct POINT {
  std::int32_t x = 0, y = 0;
};

// Size limits of a window as the platform asks for them (outer sizes).
struct MINMAXINFO {
  POINT ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

// The mouse as the window saw it on its last update.
struct cMouseState {
  enum : std::int32_t { Held = 1, Presses = 2, Releases = 4 };  // update mode bits

  // Reads the buttons by the mode's bits. The latches and the previous held states are
  // shared by every window.
  void Update(std::int32_t mode);

  std::int32_t m_nX = 0, m_nY = 0;  // cursor in drawing-area coordinates
  std::int32_t m_nMode = 7;
  std::int32_t m_bLeft = 0, m_bRight = 0;                  // held
  std::int32_t m_bLeftPressed = 0, m_bRightPressed = 0;    // went down this update
  std::int32_t m_bLeftReleased = 0, m_bRightReleased = 0;  // went up this update
};

class cOwnerLists;

class cWindow {
 public:
  using Proc = std::intptr_t (*)(plat::WindowToken, const plat::Msg&);

  cWindow();
  cWindow(const cWindow&) = delete;
  cWindow& operator=(const cWindow&) = delete;
  virtual ~cWindow();

  // Overridable handlers.
  virtual std::intptr_t OnCommand(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnMouseMove(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnLButtonDown(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnRButtonDown(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnLButtonDblClk(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnRButtonDblClk(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnLButtonUp(std::uintptr_t wParam, std::intptr_t lParam);
  virtual void OnRButtonUp(std::uintptr_t wParam, std::intptr_t lParam);
  virtual std::intptr_t WindowProc(plat::WindowToken hWnd, const plat::Msg& msg);
  // The dispatcher: 1 when the message was one of those it hands to a handler.
  virtual std::intptr_t OnMessage(plat::WindowToken hWnd, const plat::Msg& msg);
  // A dialog re-reads its list controls.
  virtual void RefreshLists() {}
  virtual void OnPaint() {}

  void SetCreateParams(std::int32_t resourceId, plat::WindowToken parent, cOwnerLists* ownerLists);
  // Client size, its limits and the style; sizes are those of the drawing area (the
  // room of tool bar, status bar and scroll bars is added).
  void SetLayout(std::int32_t width, std::int32_t height, std::int32_t minWidth, std::int32_t minHeight,
                 std::int32_t maxWidth, std::int32_t maxHeight, std::uint32_t style, std::int32_t menu,
                 std::int32_t toolBarRows, std::int32_t statusBar, std::int32_t scroll);
  void Measure();
  void UpdateStyle();
  void AddStyle(std::uint32_t bits);
  void RemoveStyle(std::uint32_t bits);
  void MoveTo(std::int32_t x, std::int32_t y);
  void SetClientSize(std::int32_t width, std::int32_t height);
  void CenterOnDesktop();
  void PlaceInWorkArea();
  void GetWindowPos(POINT* out) const;
  void GetMinMaxInfo(MINMAXINFO* info) const;
  // Cursor into the mouse record: 0 (record unchanged) when it lies outside the drawing
  // area and `always` is 0, else 1.
  std::int32_t UpdateMouse(std::int32_t always, std::int32_t mode);
  void ClearCommandGuard() { m_bCommandGuard = 0; }
  void InitState(std::int32_t mode);

  std::int32_t OuterWidth() const { return m_rcWindow.right; }
  std::int32_t OuterHeight() const { return m_rcWindow.bottom; }
  // Outer rectangle on screen.
  plat::Rect WindowRect() const;

  plat::WindowToken m_hWnd = 0;
  std::int32_t m_nResourceId = 0;
  plat::WindowToken m_hParent = 0;
  Proc m_lpProc = nullptr;
  cOwnerLists* m_lpOwnerLists = nullptr;
  plat::MainWindow* m_lpPlatWindow = nullptr;  // the platform window, when there is one
  std::int32_t m_nPosX = 0, m_nPosY = 0;       // top-left corner on screen
  std::int32_t m_nDrawLeft = 0, m_nDrawTop = 0, m_nDrawWidth = 0, m_nDrawHeight = 0;
  cMouseState m_Mouse;
  plat::Rect m_rcInitClient;
  plat::Rect m_rcClient;
  plat::Rect m_rcMin;  // right, bottom: smallest client width, height
  plat::Rect m_rcMax;  // right, bottom: largest client width, height
  std::int32_t m_nLayoutWidth = 0, m_nLayoutHeight = 0, m_nLayoutMinWidth = 0, m_nLayoutMinHeight = 0,
               m_nLayoutMaxWidth = 0, m_nLayoutMaxHeight = 0;
  plat::Rect m_rcWindow;  // 0, 0, outer width, outer height
  std::uint32_t m_dwStyle = 0;
  std::int32_t m_bMenu = 0;
  std::int32_t m_nToolBarRows = 0;  // rows of 28 pixels at the top
  std::int32_t m_nStatusBar = 0;    // 1 or 2: 20 pixels at the bottom
  std::int32_t m_nScroll = 0;       // 1 horizontal, 2 vertical scroll bar
  std::int32_t m_nFrameLeft = 0, m_nFrameRight = 0, m_nFrameTop = 0, m_nFrameBottom = 0;
  std::int32_t m_bFocusReturn = 0;
  std::int32_t m_bCommandGuard = 0;  // 1 while a command is handled
  std::int32_t m_nStoredX = kNoPosition, m_nStoredY = kNoPosition;

  static constexpr std::int32_t kNoPosition = -1000;
  static constexpr std::int32_t kToolBarRowHeight = 28;
  static constexpr std::int32_t kStatusBarHeight = 20;

 protected:
  // The style the window was made with (a dialog's from its template).
  virtual std::uint32_t PlatformStyle() const { return m_dwStyle; }
  // Where a stored position must stay: the desktop's work area here.
  virtual plat::Rect WorkArea() const;

 private:
  void SetWindowPos(std::int32_t x, std::int32_t y);
  // The client rectangle (at 0, 0) of the platform window behind the object, the main
  // window's or a dialog's; false without one.
  bool PlatformClientRect(plat::Rect* out) const;
};
