#include "platform/modal_ui.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/cp932.h"
#include "platform/input.h"
#include "platform/messaging.h"
#include "platform/presenter.h"
#include "platform/sys.h"
#include "platform/trace.h"
#include "platform/ui_detail.h"
#include "platform/window.h"

namespace plat::ui {

namespace detail {
int runModal(const DialogTemplate& t, Dialog::Proc proc, ui_script::Shown::Kind kind,
             std::optional<ui_script::Response> preset);
}

namespace {

using ui_script::Action;
using ui_script::Response;
using ShownKind = ui_script::Shown::Kind;

// ---------------------------------------------------------------------------------------
// Hosts: where a running dialog is shown and where its mouse events come from.

class Host {
 public:
  virtual ~Host() = default;
  // Shows the dialog again when it changed (or always with force).
  virtual void update(Dialog& d, bool force) = 0;
  // Window coordinates of a mouse event in the dialog's own coordinates; false when
  // the event is not over the window the dialog is shown in.
  virtual bool toDialog(const Dialog& d, std::uint32_t windowId, int x, int y, int* wx, int* wy) const = 0;
  virtual bool ownsWindow(std::uint32_t windowId) const = 0;
  // The caret in the host window's coordinates (for the input method's window).
  virtual PixelRect caretInWindow(const Dialog& d) const = 0;
  virtual bool capture(const Dialog& d, std::vector<std::uint32_t>& px, int* w, int* h) = 0;
  virtual std::uint32_t windowId() const = 0;
};

std::vector<std::uint32_t> paintToPixels(const Dialog& d, std::unique_ptr<Surface>& surface) {
  const int w = d.outerWidth(), h = d.outerHeight();
  if (!surface || surface->width() != w || surface->height() != h)
    surface = Surface::create(w, h, PixelFormat::Xrgb8888, Memory::System);
  std::vector<std::uint32_t> px;
  if (!surface) return px;
  d.paint(*surface, 0, 0);
  px.resize(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* row = surface->rowAs<std::uint32_t>(y);
    for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * w + x] = row[x] & 0xFFFFFFu;
  }
  return px;
}

// A borderless window of the dialog's size; the title bar we draw drags it.
class OwnWindowHost final : public Host {
 public:
  static std::unique_ptr<OwnWindowHost> open(const Dialog& d) {
    std::unique_ptr<OwnWindowHost> h(new OwnWindowHost());
    h->window_ = SDL_CreateWindow(cp932::toUtf8(d.title()).c_str(), d.x(), d.y(), d.outerWidth(), d.outerHeight(),
                                  SDL_WINDOW_BORDERLESS);
    if (!h->window_) return nullptr;
    h->caption_ = d.tmpl().caption;
    h->closeBox_ = d.tmpl().closeBox;
    SDL_SetWindowHitTest(h->window_, &OwnWindowHost::hitTest, h.get());
    h->renderer_ = SDL_CreateRenderer(h->window_, -1, 0);
    if (!h->renderer_) h->renderer_ = SDL_CreateRenderer(h->window_, -1, SDL_RENDERER_SOFTWARE);
    if (!h->renderer_) return nullptr;
    SDL_ShowWindow(h->window_);
    SDL_RaiseWindow(h->window_);
    h->x_ = d.x();
    h->y_ = d.y();
    h->title_ = d.title();
    return h;
  }
  ~OwnWindowHost() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
  }

  void update(Dialog& d, bool force) override {
    if (d.x() != x_ || d.y() != y_) {
      x_ = d.x();
      y_ = d.y();
      SDL_SetWindowPosition(window_, x_, y_);
    }
    if (d.title() != title_) {
      title_ = d.title();
      SDL_SetWindowTitle(window_, cp932::toUtf8(title_).c_str());
    }
    if (!force && !d.dirty()) return;
    pixels_ = paintToPixels(d, surface_);
    draw(d);
    SDL_RenderPresent(renderer_);
  }
  bool toDialog(const Dialog&, std::uint32_t windowId, int x, int y, int* wx, int* wy) const override {
    if (windowId != SDL_GetWindowID(window_)) return false;
    *wx = x;
    *wy = y;
    return true;
  }
  bool ownsWindow(std::uint32_t windowId) const override { return windowId == SDL_GetWindowID(window_); }
  std::uint32_t windowId() const override { return SDL_GetWindowID(window_); }
  PixelRect caretInWindow(const Dialog& d) const override {
    PixelRect r = d.caretRect();
    r.x += d.clientLeft();
    r.y += d.clientTop();
    return r;
  }
  bool capture(const Dialog& d, std::vector<std::uint32_t>& px, int* w, int* h) override {
    // Read back what the window's renderer holds, drawn afresh.
    pixels_ = paintToPixels(d, surface_);
    if (!draw(d)) return false;
    *w = d.outerWidth();
    *h = d.outerHeight();
    px.assign(static_cast<std::size_t>(*w) * *h, 0);
    const SDL_Rect r{0, 0, *w, *h};
    if (SDL_RenderReadPixels(renderer_, &r, SDL_PIXELFORMAT_ARGB8888, px.data(), *w * 4) != 0) return false;
    for (auto& p : px) p &= 0xFFFFFFu;
    SDL_RenderPresent(renderer_);
    return true;
  }
  // Notes a move made by the window manager.
  void moved(Dialog& d, int x, int y) {
    x_ = x;
    y_ = y;
    d.moveTo(x, y);
  }

 private:
  OwnWindowHost() = default;

  bool draw(const Dialog& d) {
    const int w = d.outerWidth(), h = d.outerHeight();
    if (pixels_.empty()) return false;
    if (!texture_ || texW_ != w || texH_ != h) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
      texW_ = w;
      texH_ = h;
      SDL_SetWindowSize(window_, w, h);
    }
    if (!texture_) return false;
    SDL_UpdateTexture(texture_, nullptr, pixels_.data(), w * 4);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    return true;
  }

  static SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* p, void* data) {
    const auto* self = static_cast<const OwnWindowHost*>(data);
    if (!self->caption_ || p->y < Dialog::kFrame || p->y >= Dialog::kFrame + Dialog::kCaption)
      return SDL_HITTEST_NORMAL;
    if (self->closeBox_ && p->x >= self->texW_ - Dialog::kFrame - Dialog::kCaption) return SDL_HITTEST_NORMAL;
    return SDL_HITTEST_DRAGGABLE;
  }

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texW_ = 0, texH_ = 0;
  int x_ = 0, y_ = 0;
  bool caption_ = false, closeBox_ = false;
  std::string title_;
  std::unique_ptr<Surface> surface_;
  std::vector<std::uint32_t> pixels_;
};

// The dialog drawn over the game picture in the main window.
class OverlayHost final : public Host {
 public:
  explicit OverlayHost(MainWindow& w) : window_(w) {}
  ~OverlayHost() override {
    Presenter& p = Presenter::instance();
    p.clearOverlay();
    if (window_.sdlWindow()) p.repaint(window_.sdlWindow());
  }
  void update(Dialog& d, bool force) override {
    int fx = 0, fy = 0;
    framePos(d, &fx, &fy);
    if (!force && !d.dirty() && fx == lastX_ && fy == lastY_) return;
    lastX_ = fx;
    lastY_ = fy;
    Frame f;
    f.width = d.outerWidth();
    f.height = d.outerHeight();
    f.pixels = paintToPixels(d, surface_);
    if (f.pixels.empty()) return;
    Presenter& p = Presenter::instance();
    p.setOverlay(f, fx, fy);
    if (window_.sdlWindow()) p.repaint(window_.sdlWindow());
  }
  bool toDialog(const Dialog& d, std::uint32_t windowId, int x, int y, int* wx, int* wy) const override {
    if (!window_.sdlWindow() || windowId != SDL_GetWindowID(window_.sdlWindow())) return false;
    int fx = 0, fy = 0;
    if (!Presenter::instance().windowToFrame(x, y, &fx, &fy)) return false;
    int ox = 0, oy = 0;
    framePos(d, &ox, &oy);
    *wx = fx - ox;
    *wy = fy - oy;
    return true;
  }
  bool ownsWindow(std::uint32_t) const override { return false; }
  std::uint32_t windowId() const override { return window_.sdlWindow() ? SDL_GetWindowID(window_.sdlWindow()) : 0; }
  PixelRect caretInWindow(const Dialog& d) const override {
    int ox = 0, oy = 0;
    framePos(d, &ox, &oy);
    PixelRect r = d.caretRect();
    r.x += ox + d.clientLeft();
    r.y += oy + d.clientTop();
    return r;
  }
  bool capture(const Dialog& d, std::vector<std::uint32_t>& px, int* w, int* h) override {
    auto frame = Presenter::instance().lastFrame();
    if (!frame) return false;
    auto s = Surface::create(frame->width, frame->height, PixelFormat::Xrgb8888, Memory::System);
    if (!s) return false;
    for (int y = 0; y < frame->height; ++y)
      std::copy_n(frame->pixels.data() + static_cast<std::size_t>(y) * frame->width, frame->width,
                  s->rowAs<std::uint32_t>(y));
    int ox = 0, oy = 0;
    framePos(d, &ox, &oy);
    d.paint(*s, ox, oy);
    *w = frame->width;
    *h = frame->height;
    px.resize(static_cast<std::size_t>(*w) * *h);
    for (int y = 0; y < *h; ++y)
      for (int x = 0; x < *w; ++x) px[static_cast<std::size_t>(y) * *w + x] = s->rowAs<std::uint32_t>(y)[x] & 0xFFFFFFu;
    return true;
  }

 private:
  // Screen position to the frame's: the client area's corner is the frame's corner.
  void framePos(const Dialog& d, int* fx, int* fy) const {
    const Rect c = window_.clientRectOnScreen();
    *fx = d.x() - c.left;
    *fy = d.y() - c.top;
  }
  MainWindow& window_;
  std::unique_ptr<Surface> surface_;
  int lastX_ = -1 << 30, lastY_ = -1 << 30;
};

// ---------------------------------------------------------------------------------------
// The stack of running modals (window thread).

struct Modal {
  Dialog* dialog = nullptr;
  std::unique_ptr<Host> host;
  ShownKind kind = ShownKind::Dialog;
  bool textOn = false;
  PixelRect caret;
};

std::vector<Modal*> g_modals;
KeyboardHook g_hook;

struct CursorWarp {
  bool any = false;
  int x = 0, y = 0;
};
CursorWarp g_warp;

bool videoUp() { return windowThread() != 0; }

std::intptr_t keyLParam(const SDL_KeyboardEvent& k, bool up) {
  std::uint32_t lp = 1u | ((static_cast<std::uint32_t>(k.keysym.scancode) & 0xFF) << 16);
  if (up) lp |= 0xC0000000u;
  else if (k.repeat) lp |= 0x40000000u;
  return static_cast<std::intptr_t>(static_cast<std::int32_t>(lp));
}

bool handleEvent(Modal& m, const SDL_Event& ev) {
  Dialog& d = *m.dialog;
  switch (ev.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool up = ev.type == SDL_KEYUP;
      const int key = input::virtualKeyOf(ev);
      if (key == 0) return true;
      if (g_hook) {
        KeyboardHook hook = g_hook;
        hook(0, static_cast<std::uintptr_t>(key), keyLParam(ev.key, up));
      }
      if (d.ended()) return true;
      if (up) {
        d.keyUp(key);
      } else if (key == vk::F4 && (ev.key.keysym.mod & KMOD_ALT)) {
        d.requestClose();
      } else {
        Mods mods;
        mods.shift = (ev.key.keysym.mod & KMOD_SHIFT) != 0;
        mods.ctrl = (ev.key.keysym.mod & KMOD_CTRL) != 0;
        d.keyDown(key, mods);
      }
      return true;
    }
    case SDL_TEXTINPUT: d.textInput(cp932::fromUtf8(ev.text.text)); return true;
    case SDL_TEXTEDITING: d.composition(cp932::fromUtf8(ev.edit.text)); return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int wx = 0, wy = 0;
      if (ev.button.button != SDL_BUTTON_LEFT || !m.host ||
          !m.host->toDialog(d, ev.button.windowID, ev.button.x, ev.button.y, &wx, &wy))
        return true;
      if (ev.type == SDL_MOUSEBUTTONDOWN) d.mouseDown(wx, wy, ev.button.clicks >= 2);
      else d.mouseUp(wx, wy);
      return true;
    }
    case SDL_MOUSEMOTION: {
      int wx = 0, wy = 0;
      if (m.host && m.host->toDialog(d, ev.motion.windowID, ev.motion.x, ev.motion.y, &wx, &wy)) d.mouseMove(wx, wy);
      return true;
    }
    case SDL_MOUSEWHEEL: return true;
    case SDL_WINDOWEVENT:
      if (!m.host || !m.host->ownsWindow(ev.window.windowID)) return false;
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE: d.requestClose(); break;
        case SDL_WINDOWEVENT_MOVED:
          static_cast<OwnWindowHost*>(m.host.get())->moved(d, ev.window.data1, ev.window.data2);
          break;
        case SDL_WINDOWEVENT_EXPOSED: m.host->update(d, true); break;
        default: break;
      }
      return true;
    default: return false;
  }
}

void syncTextInput(Modal& m) {
  if (!m.host) return;
  const Dialog& d = *m.dialog;
  if (d.wantsText()) {
    const PixelRect r = m.host->caretInWindow(d);
    if (!m.textOn || r.x != m.caret.x || r.y != m.caret.y) {
      input::textInputBegin(input::CaretRect{r.x, r.y, std::max(1, r.w), r.h});
      m.textOn = true;
      m.caret = r;
    }
  } else if (m.textOn) {
    input::textInputEnd();
    m.textOn = false;
  }
}

// --- The scripted responder's actions -------------------------------------------------

struct KeyOfVk {
  SDL_Scancode scancode;
  SDL_Keycode keycode;
};
KeyOfVk keyOfVk(int key) {
  if (key >= 'A' && key <= 'Z')
    return {static_cast<SDL_Scancode>(SDL_SCANCODE_A + (key - 'A')), static_cast<SDL_Keycode>(SDLK_a + (key - 'A'))};
  if (key >= '1' && key <= '9')
    return {static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (key - '1')), static_cast<SDL_Keycode>(key)};
  if (key == '0') return {SDL_SCANCODE_0, SDLK_0};
  if (key >= vk::F1 && key <= vk::F12)
    return {static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + (key - vk::F1)),
            static_cast<SDL_Keycode>(SDLK_F1 + (key - vk::F1))};
  switch (key) {
    case vk::Return: return {SDL_SCANCODE_RETURN, SDLK_RETURN};
    case vk::Escape: return {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE};
    case vk::Tab: return {SDL_SCANCODE_TAB, SDLK_TAB};
    case vk::Space: return {SDL_SCANCODE_SPACE, SDLK_SPACE};
    case vk::Back: return {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE};
    case vk::Delete: return {SDL_SCANCODE_DELETE, SDLK_DELETE};
    case vk::Left: return {SDL_SCANCODE_LEFT, SDLK_LEFT};
    case vk::Right: return {SDL_SCANCODE_RIGHT, SDLK_RIGHT};
    case vk::Up: return {SDL_SCANCODE_UP, SDLK_UP};
    case vk::Down: return {SDL_SCANCODE_DOWN, SDLK_DOWN};
    case vk::Home: return {SDL_SCANCODE_HOME, SDLK_HOME};
    case vk::End: return {SDL_SCANCODE_END, SDLK_END};
    case vk::Prior: return {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP};
    case vk::Next: return {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN};
    case vk::Shift: return {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT};
    case vk::Control: return {SDL_SCANCODE_LCTRL, SDLK_LCTRL};
    default: return {SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN};
  }
}

// An event as it comes from the window system: the input module sees it first.
void deliver(Modal& m, const SDL_Event& ev) {
  input::feedEvent(ev);
  handleEvent(m, ev);
}

void scriptKey(Modal& m, int key) {
  const KeyOfVk k = keyOfVk(key);
  if (k.scancode == SDL_SCANCODE_UNKNOWN) return;
  SDL_Event ev{};
  ev.type = SDL_KEYDOWN;
  ev.key.state = SDL_PRESSED;
  ev.key.keysym.scancode = k.scancode;
  ev.key.keysym.sym = k.keycode;
  deliver(m, ev);
  ev.type = SDL_KEYUP;
  ev.key.state = SDL_RELEASED;
  deliver(m, ev);
}

// Text events carry at most 31 bytes of UTF-8: longer text comes in pieces.
void scriptText(Modal& m, std::string_view cp932, bool preedit) {
  const std::string utf8 = cp932::toUtf8(cp932);
  std::size_t i = 0;
  do {
    std::size_t n = std::min<std::size_t>(utf8.size() - i, SDL_TEXTINPUTEVENT_TEXT_SIZE - 1);
    while (n > 0 && i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80) --n;
    SDL_Event ev{};
    if (preedit) {
      ev.type = SDL_TEXTEDITING;
      std::copy_n(utf8.data() + i, n, ev.edit.text);
    } else {
      ev.type = SDL_TEXTINPUT;
      std::copy_n(utf8.data() + i, n, ev.text.text);
    }
    deliver(m, ev);
    i += n;
  } while (i < utf8.size() && !preedit);
}

void applyResponse(Modal& m, Response& r) {
  Dialog& d = *m.dialog;
  for (Action& a : r) {
    if (d.ended()) break;
    switch (a.kind) {
      case Action::Kind::Answer:
        if (m.kind == ShownKind::Box) d.end(a.value);
        else if (a.value == answer::Ok) scriptKey(m, vk::Return);
        else if (a.value == answer::Cancel) d.requestClose();
        else if (!d.click(a.value)) d.end(a.value);
        break;
      case Action::Kind::Press: d.click(a.value); break;
      case Action::Kind::Close: d.requestClose(); break;
      case Action::Kind::Quit: {
        // The close request of the game's window arrives while the modal waits.
        SDL_Event ev{};
        ev.type = SDL_QUIT;
        SDL_PushEvent(&ev);
        break;
      }
      case Action::Kind::Key: scriptKey(m, a.value); break;
      case Action::Kind::Text: scriptText(m, a.text, false); break;
      case Action::Kind::Preedit: scriptText(m, a.text, true); break;
      case Action::Kind::File: {
        // The name goes into the first edit box, then Enter there.
        for (const ControlSpec& c : d.tmpl().controls) {
          if (c.kind != ControlKind::Edit) continue;
          d.setFocus(c.id);
          d.setItemText(c.id, a.text);
          break;
        }
        if (!d.ended()) scriptKey(m, vk::Return);
        break;
      }
      case Action::Kind::Call:
        if (a.call) a.call(d);
        break;
    }
  }
}

std::unique_ptr<Host> makeHost(const Dialog& d) {
  if (MainWindow* mw = MainWindow::primary();
      mw && mw->shown() && mw->sdlWindow() && Presenter::instance().submittedCount() > 0)
    return std::make_unique<OverlayHost>(*mw);
  return OwnWindowHost::open(d);
}

void installFilter() {
  setModalFilter([](const void* e) {
    return !g_modals.empty() && handleEvent(*g_modals.back(), *static_cast<const SDL_Event*>(e));
  });
}

}  // namespace

int detail::runModal(const DialogTemplate& t, Dialog::Proc proc, ShownKind kind, std::optional<Response> preset) {
  if (videoUp() && !onWindowThread()) {
    // The window system belongs to the window thread: the modal runs there while the
    // caller waits, as a modal dialog blocks its caller.
    return static_cast<int>(
        callOn(windowThread(), [&] { return static_cast<std::intptr_t>(runModal(t, proc, kind, preset)); }));
  }
  Dialog d(t);
  Modal m;
  m.dialog = &d;
  m.kind = kind;
  d.setProc(proc);
  const WindowToken token =
      registerWindow([&d, proc](WindowToken, const Msg& msg) -> std::intptr_t { return proc ? proc(d, msg) : 0; });
  d.setToken(token);
  g_modals.push_back(&m);
  if (g_modals.size() == 1) installFilter();

  const std::intptr_t init = proc ? proc(d, Msg{wm::InitDialog, 0, 0}) : 1;
  if (init && d.focusId() == 0) d.focusFirst();

  const bool headless = sys::launch().headless;
  if (!d.ended() && !headless && videoUp()) {
    m.host = makeHost(d);
    if (!m.host) std::fprintf(stderr, "[dialog] %s: cannot open a window for it\n", cp932::toUtf8(d.title()).c_str());
  }
  std::optional<Response> response = preset;
  if (!response && (headless || ui_script::pending())) response = ui_script::take();
  if (response) applyResponse(m, *response);

  bool first = true;
  while (!d.ended()) {
    if (m.host) {
      m.host->update(d, first);
      first = false;
      syncTextInput(m);
    }
    const Pump p = pumpOne(m.host != nullptr);
    if (p == Pump::Quit) {
      // The quit stays posted for the loops outside.
      if (!d.ended()) d.end(0);
      break;
    }
    if (p == Pump::Empty && !m.host && !d.ended()) {
      // Nobody will answer: report, count, and close it as the user could.
      std::fprintf(stderr, "[dialog] %s: %s; closed\n", cp932::toUtf8(d.title()).c_str(),
                   response ? "the scripted answer did not end it" : "no scripted answer");
      ui_script::countUnexpected();
      d.requestClose();
      if (!d.ended()) d.end(0);
    }
  }
  if (proc) proc(d, Msg{wm::Destroy, 0, 0});

  if (m.textOn) input::textInputEnd();
  g_modals.pop_back();
  if (g_modals.empty()) setModalFilter(nullptr);
  unregisterWindow(token);
  m.host.reset();
  if (!g_modals.empty() && g_modals.back()->host) g_modals.back()->host->update(*g_modals.back()->dialog, true);
  if (kind != ShownKind::Box) {
    ui_script::Shown s;
    s.kind = kind;
    s.resourceId = t.resourceId;
    s.caption = d.title();
    s.result = d.result();
    ui_script::recordShown(std::move(s));
    if (kind == ShownKind::Dialog && trace::Enabled())
      trace::Line("dialog %d %s -> %d", t.resourceId, trace::Text(d.title()).c_str(), d.result());
  }
  return d.result();
}

int runModalDialog(const DialogTemplate& t, Dialog::Proc proc) {
  return detail::runModal(t, std::move(proc), ShownKind::Dialog, std::nullopt);
}

Dialog* findDialog(std::uint32_t token) {
  if (token == 0) return nullptr;
  for (Modal* m : g_modals)
    if (m->dialog->token() == token) return m->dialog;
  return nullptr;
}

std::uint32_t activeWindow() {
  if (!g_modals.empty()) return g_modals.back()->dialog->token();
  MainWindow* mw = MainWindow::primary();
  return mw ? mw->token() : 0;
}

void setKeyboardHook(KeyboardHook hook) { g_hook = std::move(hook); }
bool keyboardHookInstalled() { return static_cast<bool>(g_hook); }

PixelRect workArea() {
  if (MainWindow* mw = MainWindow::primary(); mw && mw->shown()) {
    const Rect r = mw->clientRectOnScreen();
    return PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  const Rect r = desktop().workArea;
  return PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void mainClientOrigin(int* x, int* y) {
  *x = *y = 0;
  if (MainWindow* mw = MainWindow::primary()) {
    const Rect r = mw->clientRectOnScreen();
    *x = r.left;
    *y = r.top;
  }
}

bool windowGeometry(std::uint32_t token, WindowGeometry* out) {
  if (Dialog* d = findDialog(token)) {
    out->outer = PixelRect{d->x(), d->y(), d->outerWidth(), d->outerHeight()};
    out->client = PixelRect{d->x() + d->clientLeft(), d->y() + d->clientTop(), d->clientWidth(), d->clientHeight()};
    return true;
  }
  MainWindow* mw = MainWindow::primary();
  if (!mw || token == 0 || mw->token() != token) return false;
  // The main window's frame follows the platform's frame metrics (a caption and a
  // dialog frame), which the window system cannot report.
  const Rect c = mw->clientRectOnScreen();
  const FrameMetrics& fm = frameMetrics();
  out->client = PixelRect{c.left, c.top, c.right - c.left, c.bottom - c.top};
  out->outer = PixelRect{c.left - fm.dlgFrameX, c.top - fm.caption - fm.dlgFrameY, out->client.w + 2 * fm.dlgFrameX,
                         out->client.h + fm.caption + 2 * fm.dlgFrameY};
  return true;
}

bool moveWindow(std::uint32_t token, int x, int y) {
  if (Dialog* d = findDialog(token)) {
    d->moveTo(x, y);
    return true;
  }
  MainWindow* mw = MainWindow::primary();
  if (!mw || token == 0 || mw->token() != token) return false;
  const FrameMetrics& fm = frameMetrics();
  mw->moveTo(x + fm.dlgFrameX, y + fm.caption + fm.dlgFrameY);
  return true;
}

void warpCursor(int x, int y) {
  g_warp = CursorWarp{true, x, y};
  if (!sys::launch().headless && videoUp()) SDL_WarpMouseGlobal(x, y);
}

bool lastCursorWarp(int* x, int* y) {
  if (!g_warp.any) return false;
  *x = g_warp.x;
  *y = g_warp.y;
  return true;
}

bool captureShown(std::vector<std::uint32_t>& pixels, int* width, int* height) {
  if (g_modals.empty() || !g_modals.back()->host) return false;
  return g_modals.back()->host->capture(*g_modals.back()->dialog, pixels, width, height);
}

std::uint32_t hostWindowId() {
  if (g_modals.empty() || !g_modals.back()->host) return 0;
  return g_modals.back()->host->windowId();
}

bool feedEvent(const void* sdlEvent) {
  if (g_modals.empty()) return false;
  const auto& ev = *static_cast<const SDL_Event*>(sdlEvent);
  input::feedEvent(ev);
  return handleEvent(*g_modals.back(), ev);
}

// ---------------------------------------------------------------------------------------
// Message boxes

namespace {

// Pixels to dialog units, rounded up so that the pixels fit.
int pxToDlu(int px) { return (px * 2 + 2) / 3; }

DialogTemplate boxTemplate(std::string_view text, std::string_view caption, int buttons) {
  constexpr int kMargin = 12, kButtonW = 75, kButtonH = 23, kGap = 6, kMaxTextW = 480;
  const int lh = Dialog::lineHeight();
  const std::vector<std::string> lines = detail::wrapText(text, kMaxTextW);
  int textW = 0;
  for (const std::string& l : lines) textW = std::max(textW, detail::textWidth(l));
  const int textH = static_cast<int>(lines.size()) * lh;
  const int count = buttons == mb::YesNo ? 2 : 1;
  const int buttonsW = count * kButtonW + (count - 1) * kGap;
  const int clientW = std::max({textW + 4, buttonsW, 160}) + 2 * kMargin;
  const int buttonY = kMargin + textH + kMargin;

  DialogTemplate t;
  t.width = pxToDlu(clientW);
  t.height = pxToDlu(buttonY + kButtonH + kMargin);
  t.caption = true;
  t.closeBox = buttons != mb::YesNo;
  t.title.assign(caption);
  t.controls.push_back(ControlSpec{-1, ControlKind::Static, std::string(text), pxToDlu(kMargin), pxToDlu(kMargin),
                                   pxToDlu(textW + 4), pxToDlu(textH), true});
  int bx = (dluToPx(t.width) - buttonsW) / 2;
  if (buttons == mb::YesNo) {
    t.controls.push_back(ControlSpec{answer::Yes, ControlKind::DefPushButton, "はい", pxToDlu(bx), pxToDlu(buttonY),
                                     pxToDlu(kButtonW), pxToDlu(kButtonH), true});
    bx += kButtonW + kGap;
    t.controls.push_back(ControlSpec{answer::No, ControlKind::PushButton, "いいえ", pxToDlu(bx), pxToDlu(buttonY),
                                     pxToDlu(kButtonW), pxToDlu(kButtonH), false});
  } else {
    t.controls.push_back(ControlSpec{answer::Ok, ControlKind::DefPushButton, "OK", pxToDlu(bx), pxToDlu(buttonY),
                                     pxToDlu(kButtonW), pxToDlu(kButtonH), true});
  }
  return t;
}

}  // namespace

namespace detail {

int runBox(std::string_view text, std::string_view caption, int buttons, std::optional<Response> preset) {
  // The dialog font draws CP932 only: a character kept beyond it shows as '?'.
  const DialogTemplate t = boxTemplate(cp932::withoutKept(text), caption, buttons);
  const bool yesNo = buttons == mb::YesNo;
  auto proc = [yesNo](Dialog& d, const Msg& m) -> std::intptr_t {
    switch (m.id) {
      case wm::InitDialog: {
        // Centred on the game window when it is shown, else on the desktop.
        const PixelRect area = workArea();
        d.moveTo(area.x + (area.w - d.outerWidth()) / 2, area.y + (area.h - d.outerHeight()) / 2);
        return 1;
      }
      case wm::Command: {
        const int id = static_cast<int>(m.w & 0xFFFF);
        if (id == answer::Ok || id == answer::Yes || id == answer::No) d.end(id);
        else if (id == cmd::Cancel && !yesNo) d.end(answer::Ok);
        return 1;
      }
      case wm::Close:
        if (!yesNo) d.end(answer::Ok);
        return 1;
      default: return 0;
    }
  };
  return runModal(t, proc, ShownKind::Box, std::move(preset));
}

}  // namespace detail

int showMessageBox(std::string_view textCp932, std::string_view captionCp932, int buttons) {
  return detail::runBox(textCp932, captionCp932, buttons, std::nullopt);
}

}  // namespace plat::ui
