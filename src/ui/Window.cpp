#include "ui/Window.h"

#include "core/Log.h"
#include "platform/input.h"
#include "platform/modal_ui.h"

namespace {

// Shared by every window: the buttons' states before the last update and the latches
// of the press edges.
std::int32_t s_nPrevLeft = 0, s_nPrevRight = 0;
std::int32_t s_bLatchLeft = 0, s_bLatchRight = 0;

}  // namespace

void cMouseState::Update(std::int32_t mode) {
  s_nPrevLeft = bLeft;
  s_nPrevRight = bRight;
  const std::int32_t left = plat::input::keyDown(plat::vk::LButton) ? 1 : 0;
  const std::int32_t right = plat::input::keyDown(plat::vk::RButton) ? 1 : 0;
  if (mode & 1) {
    bLeft = left;
    bRight = right;
  }
  if (mode & 2) {
    auto edge = [](std::int32_t down, std::int32_t& latch, std::int32_t& pressed) {
      if (!down) {
        latch = 0;
        pressed = 0;
      } else if (!latch) {
        latch = 1;
        pressed = 1;
      } else {
        pressed = 0;
      }
    };
    edge(left, s_bLatchLeft, bLeftPressed);
    edge(right, s_bLatchRight, bRightPressed);
  }
  if (mode & 4) {
    bLeftReleased = (s_nPrevLeft == 1 && bLeft == 0) ? 1 : 0;
    bRightReleased = (s_nPrevRight == 1 && bRight == 0) ? 1 : 0;
  }
}

cWindow::cWindow() { InitState(7); }

void cWindow::InitState(std::int32_t mode) {
  m_Mouse = cMouseState{};
  m_Mouse.nMode = mode;
}

void cWindow::SetCreateParams(std::int32_t resourceId, plat::WindowToken parent, cOwnerLists* owners) {
  m_nResourceId = resourceId;
  m_hParent = parent;
  m_pOwnerLists = owners;
}

void cWindow::SetLayout(std::int32_t width, std::int32_t height, std::int32_t minWidth, std::int32_t minHeight,
                        std::int32_t maxWidth, std::int32_t maxHeight, std::uint32_t style, std::int32_t menu,
                        std::int32_t toolRows, std::int32_t statusKind, std::int32_t scrollFlags) {
  const plat::FrameMetrics& fm = plat::frameMetrics();
  m_dwStyle = style;
  m_bMenu = menu;
  m_nToolRows = toolRows;
  m_nStatusKind = statusKind;
  m_nScrollFlags = scrollFlags;
  // The sizes given are those of the drawing area: the content's extras come on top.
  const std::int32_t extraW = (scrollFlags & 2) ? fm.vScroll : 0;
  const std::int32_t extraH = ((scrollFlags & 1) ? fm.hScroll : 0) + (statusKind == 1 || statusKind == 2 ? 20 : 0) +
                              toolRows * 28;
  m_nLayout[0] = width + extraW;
  m_nLayout[1] = height + extraH;
  m_nLayout[2] = minWidth + extraW;
  m_nLayout[3] = minHeight + extraH;
  m_nLayout[4] = maxWidth + extraW;
  m_nLayout[5] = maxHeight + extraH;
  m_rcMinSize = plat::Rect{0, 0, m_nLayout[2], m_nLayout[3]};
  m_rcMaxSize = plat::Rect{0, 0, m_nLayout[4], m_nLayout[5]};
  m_rcInitClient = plat::Rect{0, 0, m_nLayout[0], m_nLayout[1]};
  m_rcClient = m_rcInitClient;
  Measure();
}

void cWindow::Measure() {
  const plat::FrameMetrics& fm = plat::frameMetrics();
  m_rcWindow = m_rcClient;
  m_nFrameLeft = m_nFrameRight = m_nFrameTop = m_nFrameBottom = 0;
  if (m_dwStyle & WS_CAPTION) m_nFrameTop += fm.caption;
  if (m_dwStyle & WS_THICKFRAME) {
    m_nFrameLeft += fm.frameX;
    m_nFrameRight += fm.frameX;
    m_nFrameTop += fm.frameY;
    m_nFrameBottom += fm.frameY;
  } else if (m_dwStyle & WS_DLGFRAME) {
    m_nFrameLeft += fm.dlgFrameX;
    m_nFrameRight += fm.dlgFrameX;
    m_nFrameTop += fm.dlgFrameY;
    m_nFrameBottom += fm.dlgFrameY;
  }
  if (m_dwStyle & WS_HSCROLL) m_nFrameBottom += fm.hScroll;
  if (m_dwStyle & WS_VSCROLL) m_nFrameRight += fm.vScroll;
  if (m_bMenu) m_nFrameTop += fm.menu;
  const std::int32_t clientW = m_rcClient.right - m_rcClient.left, clientH = m_rcClient.bottom - m_rcClient.top;
  m_rcWindow = plat::Rect{0, 0, clientW + m_nFrameLeft + m_nFrameRight, clientH + m_nFrameTop + m_nFrameBottom};
  m_nDrawX = 0;
  m_nDrawY = m_nToolRows * 28;
  m_nDrawW = clientW;
  m_nDrawH = clientH - m_nDrawY;
  if (m_nScrollFlags & 1) m_nDrawH -= fm.hScroll;
  if (m_nScrollFlags & 2) m_nDrawW -= fm.vScroll;
  if (m_nStatusKind == 1) m_nDrawH -= 20;
}

void cWindow::UpdateStyle() {
  m_dwStyle = PlatformStyle();
  plat::ui::WindowGeometry g;
  if (m_hWnd && plat::ui::windowGeometry(m_hWnd, &g)) m_rcClient = plat::Rect{0, 0, g.client.w, g.client.h};
  Measure();
}

void cWindow::AddStyle(std::uint32_t bits) {
  m_dwStyle |= bits;
  Measure();
}

void cWindow::RemoveStyle(std::uint32_t bits) {
  m_dwStyle &= ~bits;
  Measure();
}

void cWindow::MoveTo(std::int32_t x, std::int32_t y) {
  plat::ui::moveWindow(m_hWnd, x, y);
  m_nWindowX = x;
  m_nWindowY = y;
  Measure();
}

void cWindow::SetClientSize(std::int32_t width, std::int32_t height) {
  m_rcClient = plat::Rect{0, 0, width, height};
  Measure();
}

void cWindow::PlaceInWorkArea() {
  if (m_nStoredX == -1000 || m_nStoredY == -1000) return;
  const plat::ui::PixelRect area = plat::ui::workArea();
  const std::int32_t w = m_rcWindow.right - m_rcWindow.left, h = m_rcWindow.bottom - m_rcWindow.top;
  if (m_nStoredX < 0) m_nStoredX = 0;
  else if (m_nStoredX + w >= area.x + area.w) m_nStoredX = area.x + area.w - w;
  if (m_nStoredY < 0) m_nStoredY = 0;
  else if (m_nStoredY + h >= area.y + area.h) m_nStoredY = area.y + area.h - h;
  MoveTo(m_nStoredX, m_nStoredY);
}

void cWindow::GetWindowPos(std::int32_t* x, std::int32_t* y) {
  plat::ui::WindowGeometry g;
  if (plat::ui::windowGeometry(m_hWnd, &g)) {
    *x = g.outer.x;
    *y = g.outer.y;
  }
}

void cWindow::GetClientRect(plat::Rect* rc) {
  plat::ui::WindowGeometry g;
  if (!m_hWnd || !plat::ui::windowGeometry(m_hWnd, &g)) return;
  *rc = plat::Rect{0, 0, g.client.w, g.client.h};
}

std::int32_t cWindow::UpdateMouse(std::int32_t always, std::int32_t mode) {
  int sx = 0, sy = 0;
  if (!plat::ui::cursorPos(&sx, &sy)) DebugLog("GetCursorPos失敗！");
  plat::ui::WindowGeometry g;
  if (plat::ui::windowGeometry(m_hWnd, &g)) {
    sx -= g.client.x;
    sy -= g.client.y;
  }
  const std::int32_t x = sx - m_nDrawX, y = sy - m_nDrawY;
  if (!always && (x < 0 || x >= m_nDrawW || y < 0 || y >= m_nDrawH)) return 0;
  m_Mouse.x = x;
  m_Mouse.y = y;
  m_Mouse.Update(mode);
  return 1;
}

std::intptr_t cWindow::OnMessage(plat::WindowToken hWnd, std::uint32_t msg, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  m_hWnd = hWnd;
  if (msg == plat::wm::Command) {
    // A command sent from inside the handling of another is ignored.
    if (m_bCommandGuard == 1) return 0;
    m_bCommandGuard = 1;
  }
  UpdateMouse(0, 7);
  switch (msg) {
    case plat::wm::Destroy:
      m_hWnd = 0;
      return 1;
    case plat::wm::Move: {
      plat::ui::WindowGeometry g;
      if (plat::ui::windowGeometry(hWnd, &g)) {
        m_nWindowX = g.outer.x;
        m_nWindowY = g.outer.y;
      }
      return 1;
    }
    case plat::wm::Size:
      UpdateStyle();
      return 1;
    case plat::wm::ActivateApp:
    case plat::wm::GetMinMaxInfo:
      return 1;
    case plat::wm::Paint:
      OnPaint();
      return 1;
    case plat::wm::Command:
      OnCommand(wParam, lParam);
      ClearCommandGuard();
      return 1;
    case plat::wm::MouseMove: OnMouseMove(wParam, lParam); return 1;
    case plat::wm::LButtonDown: OnLButtonDown(wParam, lParam); return 1;
    case plat::wm::LButtonUp: OnLButtonUp(wParam, lParam); return 1;
    case plat::wm::LButtonDblClk: OnLButtonDblClk(wParam, lParam); return 1;
    case plat::wm::RButtonDown: OnRButtonDown(wParam, lParam); return 1;
    case plat::wm::RButtonUp: OnRButtonUp(wParam, lParam); return 1;
    case plat::wm::RButtonDblClk: OnRButtonDblClk(wParam, lParam); return 1;
    default:
      return 0;
  }
}
