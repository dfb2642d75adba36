#include "ui/Window.h"

#include "base/Log.h"
#include "platform/input.h"
#include "platform/modal_ui.h"

namespace {

// Shared by every window (window thread only): the held states of the previous update
// and the press latches.
std::int32_t g_PrevLeft = 0, g_PrevRight = 0;
std::int32_t g_LatchLeft = 0, g_LatchRight = 0;

void UpdatePress(bool down, std::int32_t& latch, std::int32_t& pressed) {
  if (!down) {
    latch = 0;
    pressed = 0;
  } else if (!latch) {
    latch = 1;
    pressed = 1;
  } else {
    pressed = 0;
  }
}

}  // namespace

void cMouseState::Update(std::int32_t mode) {
  g_PrevLeft = m_bLeft;
  g_PrevRight = m_bRight;
  const bool left = plat::input::keyDown(plat::vk::LButton);
  const bool right = plat::input::keyDown(plat::vk::RButton);
  if (mode & Held) {
    m_bLeft = left ? 1 : 0;
    m_bRight = right ? 1 : 0;
  }
  if (mode & Presses) {
    UpdatePress(left, g_LatchLeft, m_bLeftPressed);
    UpdatePress(right, g_LatchRight, m_bRightPressed);
  }
  if (mode & Releases) {
    m_bLeftReleased = (g_PrevLeft == 1 && m_bLeft == 0) ? 1 : 0;
    m_bRightReleased = (g_PrevRight == 1 && m_bRight == 0) ? 1 : 0;
  }
}

cWindow::cWindow() { InitState(7); }

cWindow::~cWindow() = default;

std::intptr_t cWindow::OnCommand(std::uintptr_t, std::intptr_t) { return 0; }
void cWindow::OnMouseMove(std::uintptr_t, std::intptr_t) {}
void cWindow::OnLButtonDown(std::uintptr_t, std::intptr_t) {}
void cWindow::OnRButtonDown(std::uintptr_t, std::intptr_t) {}
void cWindow::OnLButtonDblClk(std::uintptr_t, std::intptr_t) {}
void cWindow::OnRButtonDblClk(std::uintptr_t, std::intptr_t) {}
void cWindow::OnLButtonUp(std::uintptr_t, std::intptr_t) {}
void cWindow::OnRButtonUp(std::uintptr_t, std::intptr_t) {}
std::intptr_t cWindow::WindowProc(plat::WindowToken, const plat::Msg&) { return 0; }

void cWindow::InitState(std::int32_t mode) {
  m_Mouse = cMouseState{};
  m_Mouse.m_nMode = mode;
}

void cWindow::SetCreateParams(std::int32_t resourceId, plat::WindowToken parent, cOwnerLists* ownerLists) {
  m_nResourceId = resourceId;
  m_hParent = parent;
  m_lpOwnerLists = ownerLists;
}

void cWindow::SetLayout(std::int32_t width, std::int32_t height, std::int32_t minWidth, std::int32_t minHeight,
                        std::int32_t maxWidth, std::int32_t maxHeight, std::uint32_t style, std::int32_t menu,
                        std::int32_t toolBarRows, std::int32_t statusBar, std::int32_t scroll) {
  m_nLayoutWidth = width;
  m_nLayoutHeight = height;
  m_nLayoutMinWidth = minWidth;
  m_nLayoutMinHeight = minHeight;
  m_nLayoutMaxWidth = maxWidth;
  m_nLayoutMaxHeight = maxHeight;
  m_dwStyle = style;
  m_bMenu = menu;
  m_nToolBarRows = toolBarRows;
  m_nStatusBar = statusBar;
  m_nScroll = scroll;

  // The sizes given are those of the drawing area: the bars come on top.
  const plat::FrameMetrics& fm = plat::frameMetrics();
  std::int32_t extraW = 0, extraH = 0;
  if (scroll & 2) extraW += fm.vScroll;
  if (scroll & 1) extraH += fm.hScroll;
  if (statusBar == 1 || statusBar == 2) extraH += kStatusBarHeight;
  extraH += toolBarRows * kToolBarRowHeight;
  m_rcInitClient = plat::Rect{0, 0, width + extraW, height + extraH};
  m_rcClient = m_rcInitClient;
  m_rcMin = plat::Rect{0, 0, minWidth + extraW, minHeight + extraH};
  m_rcMax = plat::Rect{0, 0, maxWidth + extraW, maxHeight + extraH};
  Measure();
}

void cWindow::Measure() {
  const plat::FrameMetrics& fm = plat::frameMetrics();
  std::int32_t left = 0, right = 0, top = 0, bottom = 0;
  if (m_dwStyle & ws::Caption) top += fm.caption;
  if (m_dwStyle & ws::ThickFrame) {
    left += fm.frameX;
    right += fm.frameX;
    top += fm.frameY;
    bottom += fm.frameY;
  } else if (m_dwStyle & ws::DlgFrame) {
    left += fm.dlgFrameX;
    right += fm.dlgFrameX;
    top += fm.dlgFrameY;
    bottom += fm.dlgFrameY;
  }
  if (m_dwStyle & ws::HScroll) bottom += fm.hScroll;
  if (m_dwStyle & ws::VScroll) right += fm.vScroll;
  if (m_bMenu) top += fm.menu;
  m_nFrameLeft = left;
  m_nFrameRight = right;
  m_nFrameTop = top;
  m_nFrameBottom = bottom;

  const std::int32_t clientW = m_rcClient.right - m_rcClient.left;
  const std::int32_t clientH = m_rcClient.bottom - m_rcClient.top;
  m_rcWindow = plat::Rect{0, 0, clientW + left + right, clientH + top + bottom};

  m_nDrawLeft = 0;
  m_nDrawTop = m_nToolBarRows * kToolBarRowHeight;
  m_nDrawWidth = clientW;
  m_nDrawHeight = clientH - m_nDrawTop;
  if (m_nScroll & 1) m_nDrawHeight -= fm.hScroll;
  if (m_nScroll & 2) m_nDrawWidth -= fm.vScroll;
  if (m_nStatusBar == 1) m_nDrawHeight -= kStatusBarHeight;
}

bool cWindow::PlatformClientRect(plat::Rect* out) const {
  if (m_lpPlatWindow && m_lpPlatWindow->sdlWindow()) {
    const plat::Rect r = m_lpPlatWindow->clientRectOnScreen();
    *out = plat::Rect{0, 0, r.right - r.left, r.bottom - r.top};
    return true;
  }
  plat::ui::WindowGeometry g;
  if (!m_hWnd || !plat::ui::windowGeometry(m_hWnd, &g)) return false;
  *out = plat::Rect{0, 0, g.client.w, g.client.h};
  return true;
}

void cWindow::UpdateStyle() {
  m_dwStyle = PlatformStyle();
  PlatformClientRect(&m_rcClient);
  Measure();
}

void cWindow::AddStyle(std::uint32_t bits) {
  m_dwStyle |= bits;
  PlatformClientRect(&m_rcClient);
  Measure();
}

void cWindow::RemoveStyle(std::uint32_t bits) {
  m_dwStyle &= ~bits;
  PlatformClientRect(&m_rcClient);
  Measure();
}

plat::Rect cWindow::WindowRect() const {
  if (m_lpPlatWindow && m_lpPlatWindow->sdlWindow()) {
    const plat::Rect c = m_lpPlatWindow->clientRectOnScreen();
    return plat::Rect{c.left - m_nFrameLeft, c.top - m_nFrameTop, c.right + m_nFrameRight, c.bottom + m_nFrameBottom};
  }
  plat::ui::WindowGeometry g;
  if (m_hWnd && plat::ui::windowGeometry(m_hWnd, &g))
    return plat::Rect{g.outer.x, g.outer.y, g.outer.x + g.outer.w, g.outer.y + g.outer.h};
  return plat::Rect{m_nPosX, m_nPosY, m_nPosX + OuterWidth(), m_nPosY + OuterHeight()};
}

void cWindow::SetWindowPos(std::int32_t x, std::int32_t y) {
  // The platform places a window by its client area.
  if (m_lpPlatWindow) m_lpPlatWindow->moveTo(x + m_nFrameLeft, y + m_nFrameTop);
  // A dialog's window is placed by its outer corner.
  else if (m_hWnd) plat::ui::moveWindow(m_hWnd, x, y);
}

void cWindow::MoveTo(std::int32_t x, std::int32_t y) {
  SetWindowPos(x, y);
  m_nPosX = x;
  m_nPosY = y;
  Measure();
}

void cWindow::SetClientSize(std::int32_t width, std::int32_t height) {
  m_rcClient = plat::Rect{0, 0, width, height};
  if (m_lpPlatWindow) m_lpPlatWindow->resize(width, height);
  Measure();
}

void cWindow::CenterOnDesktop() {
  const plat::Rect now = WindowRect();
  const plat::Rect desk = plat::desktop().bounds;
  MoveTo((desk.right - (now.right - now.left)) / 2, (desk.bottom - (now.bottom - now.top)) / 2);
}

plat::Rect cWindow::WorkArea() const { return plat::desktop().workArea; }

void cWindow::PlaceInWorkArea() {
  if (m_nStoredX == kNoPosition || m_nStoredY == kNoPosition) return;
  const plat::Rect work = WorkArea();
  std::int32_t x = m_nStoredX, y = m_nStoredY;
  if (x < 0) x = 0;
  else if (x + OuterWidth() >= work.right) x = work.right - OuterWidth();
  if (y < 0) y = 0;
  else if (y + OuterHeight() >= work.bottom) y = work.bottom - OuterHeight();
  m_nStoredX = x;
  m_nStoredY = y;
  MoveTo(x, y);
}

void cWindow::GetWindowPos(POINT* out) const {
  const plat::Rect r = WindowRect();
  out->x = r.left;
  out->y = r.top;
}

void cWindow::GetMinMaxInfo(MINMAXINFO* info) const {
  const std::int32_t frameW = m_nFrameLeft + m_nFrameRight, frameH = m_nFrameTop + m_nFrameBottom;
  info->ptMinTrackSize = POINT{m_rcMin.right + frameW, m_rcMin.bottom + frameH};
  info->ptMaxTrackSize = POINT{m_rcMax.right + frameW, m_rcMax.bottom + frameH};
}

std::int32_t cWindow::UpdateMouse(std::int32_t always, std::int32_t mode) {
  int sx = 0, sy = 0;
  if (!plat::cursorOnScreen(sx, sy)) DebugLog("GetCursorPos失敗！");
  std::int32_t originX = 0, originY = 0;
  plat::ui::WindowGeometry g;
  if (!(m_lpPlatWindow && m_lpPlatWindow->sdlWindow()) && m_hWnd && plat::ui::windowGeometry(m_hWnd, &g)) {
    originX = g.client.x;
    originY = g.client.y;
  } else {
    const plat::Rect r = WindowRect();
    originX = r.left + m_nFrameLeft;
    originY = r.top + m_nFrameTop;
  }
  const std::int32_t x = sx - originX - m_nDrawLeft;
  const std::int32_t y = sy - originY - m_nDrawTop;
  if (!always && (x < 0 || x >= m_nDrawWidth || y < 0 || y >= m_nDrawHeight)) return 0;
  m_Mouse.m_nX = x;
  m_Mouse.m_nY = y;
  m_Mouse.Update(mode);
  return 1;
}

std::intptr_t cWindow::OnMessage(plat::WindowToken hWnd, const plat::Msg& msg) {
  m_hWnd = hWnd;
  if (msg.id == plat::wm::Command) {
    // A command sent from inside the handling of another does nothing.
    if (m_bCommandGuard) return 0;
    m_bCommandGuard = 1;
  }
  UpdateMouse(0, 7);
  switch (msg.id) {
    case plat::wm::Destroy: m_hWnd = 0; return 1;
    case plat::wm::Move: {
      const plat::Rect r = WindowRect();
      m_nPosX = r.left;
      m_nPosY = r.top;
      return 1;
    }
    case plat::wm::Size: UpdateStyle(); return 1;
    case plat::wm::ActivateApp: return 1;
    case plat::wm::Paint: OnPaint(); return 1;
    case plat::wm::GetMinMaxInfo:
      if (msg.l) GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(msg.l));
      return 1;
    case plat::wm::Command:
      OnCommand(msg.w, msg.l);
      ClearCommandGuard();
      return 1;
    case plat::wm::MouseMove: OnMouseMove(msg.w, msg.l); return 1;
    case plat::wm::LButtonDown: OnLButtonDown(msg.w, msg.l); return 1;
    case plat::wm::LButtonUp: OnLButtonUp(msg.w, msg.l); return 1;
    case plat::wm::LButtonDblClk: OnLButtonDblClk(msg.w, msg.l); return 1;
    case plat::wm::RButtonDown: OnRButtonDown(msg.w, msg.l); return 1;
    case plat::wm::RButtonUp: OnRButtonUp(msg.w, msg.l); return 1;
    case plat::wm::RButtonDblClk: OnRButtonDblClk(msg.w, msg.l); return 1;
    default: return 0;
  }
}
