// cWindow: the base of the program's window objects (the modal dialogs here; the main
// window later). It keeps a window's handle, its layout numbers and a small mouse
// record, turns messages into calls of overridable handlers, and places a window at a
// remembered position kept inside the work area.
#pragma once
#include <cstdint>

#include "platform/messaging.h"
#include "platform/window.h"

class cOwnerLists;

// Window style bits of the original platform, kept for the layout arithmetic.
enum : std::uint32_t {
  WS_POPUP = 0x80000000u,
  WS_CAPTION = 0x00C00000u,
  WS_DLGFRAME = 0x00400000u,
  WS_VSCROLL = 0x00200000u,
  WS_HSCROLL = 0x00100000u,
  WS_SYSMENU = 0x00080000u,
  WS_THICKFRAME = 0x00040000u,
  WS_MINIMIZEBOX = 0x00020000u,
  WS_DISABLED = 0x08000000u,
  DS_MODALFRAME = 0x00000080u,
};

// Mouse buttons by update: held states, press edges, release edges.
struct cMouseState {
  std::int32_t x = 0, y = 0;
  std::int32_t nMode = 7;  // 1 held, 2 pressed, 4 released
  std::int32_t bLeft = 0, bRight = 0;
  std::int32_t bLeftPressed = 0, bRightPressed = 0;
  std::int32_t bLeftReleased = 0, bRightReleased = 0;

  void Update(std::int32_t mode);
};

class cWindow {
 public:
  cWindow();
  virtual ~cWindow() = default;
  cWindow(const cWindow&) = delete;
  cWindow& operator=(const cWindow&) = delete;

  virtual std::intptr_t OnCommand(std::uintptr_t, std::intptr_t) { return 0; }
  virtual void OnMouseMove(std::uintptr_t, std::intptr_t) {}
  virtual void OnLButtonDown(std::uintptr_t, std::intptr_t) {}
  virtual void OnRButtonDown(std::uintptr_t, std::intptr_t) {}
  virtual void OnLButtonDblClk(std::uintptr_t, std::intptr_t) {}
  virtual void OnRButtonDblClk(std::uintptr_t, std::intptr_t) {}
  virtual void OnLButtonUp(std::uintptr_t, std::intptr_t) {}
  virtual void OnRButtonUp(std::uintptr_t, std::intptr_t) {}
  virtual std::intptr_t WindowProc(plat::WindowToken, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }
  virtual std::intptr_t OnMessage(plat::WindowToken hWnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
  virtual void RefreshLists() {}
  virtual void OnPaint() {}

  void SetCreateParams(std::int32_t resourceId, plat::WindowToken parent, cOwnerLists* owners);
  void SetLayout(std::int32_t width, std::int32_t height, std::int32_t minWidth, std::int32_t minHeight,
                 std::int32_t maxWidth, std::int32_t maxHeight, std::uint32_t style, std::int32_t menu,
                 std::int32_t toolRows, std::int32_t statusKind, std::int32_t scrollFlags);
  void Measure();
  void UpdateStyle();
  void AddStyle(std::uint32_t bits);
  void RemoveStyle(std::uint32_t bits);
  void MoveTo(std::int32_t x, std::int32_t y);
  void SetClientSize(std::int32_t width, std::int32_t height);
  void PlaceInWorkArea();
  void GetWindowPos(std::int32_t* x, std::int32_t* y);
  void GetClientRect(plat::Rect* rc);
  std::int32_t UpdateMouse(std::int32_t always, std::int32_t mode);
  void ClearCommandGuard() { m_bCommandGuard = 0; }
  void InitState(std::int32_t mode);

  plat::WindowToken m_hWnd = 0;
  std::int32_t m_nResourceId = 0;
  plat::WindowToken m_hParent = 0;
  cOwnerLists* m_pOwnerLists = nullptr;
  std::int32_t m_nWindowX = 0, m_nWindowY = 0;
  std::int32_t m_nDrawX = 0, m_nDrawY = 0, m_nDrawW = 0, m_nDrawH = 0;
  cMouseState m_Mouse;
  plat::Rect m_rcInitClient;
  plat::Rect m_rcClient;
  plat::Rect m_rcMinSize, m_rcMaxSize;
  std::int32_t m_nLayout[6] = {0, 0, 0, 0, 0, 0};
  plat::Rect m_rcWindow;
  std::uint32_t m_dwStyle = 0;
  std::int32_t m_bMenu = 0;
  std::int32_t m_nToolRows = 0;
  std::int32_t m_nStatusKind = 0;
  std::int32_t m_nScrollFlags = 0;
  std::int32_t m_nFrameLeft = 0, m_nFrameRight = 0, m_nFrameTop = 0, m_nFrameBottom = 0;
  std::int32_t m_bFocusReturn = 0;
  std::int32_t m_bCommandGuard = 0;
  std::int32_t m_nStoredX = -1000, m_nStoredY = -1000;

 protected:
  // The style the window was made with (a dialog's from its template).
  virtual std::uint32_t PlatformStyle() const { return m_dwStyle; }
};
