#include "platform/ui_dialog.h"

#include <algorithm>

#include "platform/input.h"
#include "platform/ui_detail.h"

namespace plat::ui {

using detail::charLen;
using detail::charStart;
using detail::nextChar;
using detail::prevChar;

namespace {

bool isButtonKind(ControlKind k) {
  return k == ControlKind::PushButton || k == ControlKind::DefPushButton || k == ControlKind::AutoCheck ||
         k == ControlKind::AutoRadio;
}
bool isPushKind(ControlKind k) { return k == ControlKind::PushButton || k == ControlKind::DefPushButton; }

std::uint16_t foldedChar(std::string_view s, std::size_t i, int* len) {
  *len = charLen(s, i);
  if (*len == 2)
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[i]) << 8 | static_cast<std::uint8_t>(s[i + 1]));
  char c = s[i];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return static_cast<std::uint8_t>(c);
}

}  // namespace

Dialog::Dialog(const DialogTemplate& t) : tmpl_(t), title_(t.title) {
  clientW_ = dluToPx(t.width);
  clientH_ = dluToPx(t.height);
  controls_.reserve(t.controls.size());
  for (const ControlSpec& s : t.controls) {
    Control c;
    c.spec = s;
    c.rect = PixelRect{dluToPx(s.x), dluToPx(s.y), dluToPx(s.w), dluToPx(s.h)};
    c.text = s.text;
    if (s.kind == ControlKind::List) c.state = -1;
    controls_.push_back(std::move(c));
  }
}

// ---------------------------------------------------------------------------------------
// Geometry and ending

PixelRect Dialog::itemRect(int id) const {
  const Control* c = at(id);
  return c ? c->rect : PixelRect{};
}

void Dialog::resizeItem(int id, int w, int h) {
  if (Control* c = at(id)) {
    c->rect.w = w;
    c->rect.h = h;
    dirty_ = true;
  }
}

void Dialog::moveTo(int x, int y) {
  x_ = x;
  y_ = y;
  dirty_ = true;
}

void Dialog::end(int result) {
  ended_ = true;
  result_ = result;
}

// ---------------------------------------------------------------------------------------
// Items

int Dialog::find(int id) const {
  if (id == -1) return -1;
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].spec.id == id) return static_cast<int>(i);
  return -1;
}
Dialog::Control* Dialog::at(int id) {
  const int i = find(id);
  return i < 0 ? nullptr : &controls_[static_cast<std::size_t>(i)];
}
const Dialog::Control* Dialog::at(int id) const {
  const int i = find(id);
  return i < 0 ? nullptr : &controls_[static_cast<std::size_t>(i)];
}

bool Dialog::setItemText(int id, std::string_view cp932) {
  Control* c = at(id);
  if (!c) return false;
  c->text.assign(cp932);
  dirty_ = true;
  if (c->spec.kind == ControlKind::Edit) {
    c->anchor = c->caret = 0;
    c->scroll = 0;
    // An edit box reports a new text like a typed one.
    command(id, notify::Update);
  }
  return true;
}

std::string Dialog::itemText(int id) const {
  const Control* c = at(id);
  return c ? c->text : std::string();
}

void Dialog::setCheck(int id, int state) {
  Control* c = at(id);
  if (!c || !isButtonKind(c->spec.kind)) return;
  c->state = state;
  dirty_ = true;
}

int Dialog::check(int id) const {
  const Control* c = at(id);
  return c && isButtonKind(c->spec.kind) ? c->state : 0;
}

void Dialog::getSel(int id, int* start, int* end) const {
  const Control* c = at(id);
  int s = 0, e = 0;
  if (c && c->spec.kind == ControlKind::Edit) {
    s = std::min(c->anchor, c->caret);
    e = std::max(c->anchor, c->caret);
  }
  if (start) *start = s;
  if (end) *end = e;
}

void Dialog::setSel(int id, int start, int end) {
  Control* c = at(id);
  if (!c || c->spec.kind != ControlKind::Edit) return;
  const int len = static_cast<int>(c->text.size());
  if (start == -1) {
    c->anchor = c->caret;
  } else {
    if (start < 0 || start > len) start = len;
    if (end < 0 || end > len) end = len;
    c->anchor = charStart(c->text, start);
    c->caret = charStart(c->text, end);
  }
  editScrollToCaret(*c);
  dirty_ = true;
}

bool Dialog::setFocus(int id) {
  const int i = find(id);
  if (i < 0 || !controls_[static_cast<std::size_t>(i)].enabled) return false;
  focusIndex(i, false);
  return true;
}

void Dialog::focusFirst() {
  for (int i = 0; i < static_cast<int>(controls_.size()); ++i) {
    if (isTabStop(i)) {
      focusIndex(i, true);
      return;
    }
  }
}

int Dialog::focusId() const {
  if (focus_ < 0) return 0;
  const int id = controls_[static_cast<std::size_t>(focus_)].spec.id;
  return id < 0 ? 0 : id;
}

void Dialog::enable(int id, bool on) {
  const int i = find(id);
  if (i < 0) return;
  controls_[static_cast<std::size_t>(i)].enabled = on;
  if (!on && focus_ == i) focusIndex(-1, false);
  dirty_ = true;
}

bool Dialog::enabled(int id) const {
  const Control* c = at(id);
  return c && c->enabled;
}

void Dialog::setTitle(std::string_view cp932) {
  title_.assign(cp932);
  dirty_ = true;
}

void Dialog::setListItems(int id, std::vector<std::string> items) {
  Control* c = at(id);
  if (!c || c->spec.kind != ControlKind::List) return;
  c->items = std::move(items);
  c->state = -1;
  c->top = 0;
  dirty_ = true;
}

const std::vector<std::string>& Dialog::listItems(int id) const {
  static const std::vector<std::string> none;
  const Control* c = at(id);
  return c ? c->items : none;
}

int Dialog::listSelection(int id) const {
  const Control* c = at(id);
  return c && c->spec.kind == ControlKind::List ? c->state : -1;
}

void Dialog::setListSelection(int id, int index) {
  Control* c = at(id);
  if (!c || c->spec.kind != ControlKind::List) return;
  listSelect(*c, index, false);
}

// ---------------------------------------------------------------------------------------
// Focus and groups

bool Dialog::isButtonLike(int index) const {
  return isButtonKind(controls_[static_cast<std::size_t>(index)].spec.kind);
}

int Dialog::groupStart(int index) const {
  int i = index;
  while (i > 0 && !controls_[static_cast<std::size_t>(i)].spec.group) --i;
  return i;
}

int Dialog::groupEnd(int index) const {
  int i = index + 1;
  while (i < static_cast<int>(controls_.size()) && !controls_[static_cast<std::size_t>(i)].spec.group) ++i;
  return i;
}

bool Dialog::isTabStop(int index) const {
  const Control& c = controls_[static_cast<std::size_t>(index)];
  if (!c.enabled) return false;
  switch (c.spec.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::Edit:
    case ControlKind::AutoCheck:
    case ControlKind::List: return true;
    case ControlKind::AutoRadio: {
      // Tab reaches a radio group at its checked button, else at its first one.
      if (c.state) return true;
      const int from = groupStart(index), to = groupEnd(index);
      int first = -1;
      for (int i = from; i < to; ++i) {
        const Control& o = controls_[static_cast<std::size_t>(i)];
        if (o.spec.kind != ControlKind::AutoRadio) continue;
        if (o.state) return false;
        if (first < 0) first = i;
      }
      return first == index;
    }
    default: return false;
  }
}

void Dialog::focusIndex(int index, bool byKeyboard) {
  if (index == focus_) {
    if (index >= 0 && byKeyboard) {
      Control& c = controls_[static_cast<std::size_t>(index)];
      if (c.spec.kind == ControlKind::Edit) {
        c.anchor = 0;
        c.caret = static_cast<int>(c.text.size());
        editScrollToCaret(c);
      }
    }
    return;
  }
  const int old = focus_;
  focus_ = index;
  preedit_.clear();
  dirty_ = true;
  if (index >= 0 && byKeyboard) {
    // Tabbing into an edit box selects its whole text.
    Control& c = controls_[static_cast<std::size_t>(index)];
    if (c.spec.kind == ControlKind::Edit) {
      c.anchor = 0;
      c.caret = static_cast<int>(c.text.size());
      editScrollToCaret(c);
    }
  }
  if (old >= 0 && controls_[static_cast<std::size_t>(old)].spec.kind == ControlKind::Edit)
    command(controls_[static_cast<std::size_t>(old)].spec.id, notify::KillFocus);
}

void Dialog::moveFocus(bool backward) {
  const int n = static_cast<int>(controls_.size());
  if (n == 0) return;
  int i = focus_;
  for (int step = 0; step < n; ++step) {
    if (backward) i = i <= 0 ? n - 1 : i - 1;
    else i = (i + 1) % n;
    if (i == focus_) return;
    if (isTabStop(i)) {
      focusIndex(i, true);
      return;
    }
  }
}

void Dialog::moveInGroup(bool backward) {
  if (focus_ < 0) return;
  const ControlKind kind = controls_[static_cast<std::size_t>(focus_)].spec.kind;
  const bool radio = kind == ControlKind::AutoRadio;
  const int from = groupStart(focus_), to = groupEnd(focus_);
  const int n = to - from;
  int i = focus_;
  for (int step = 0; step < n; ++step) {
    i = backward ? (i <= from ? to - 1 : i - 1) : (i + 1 >= to ? from : i + 1);
    if (i == focus_) return;
    const Control& c = controls_[static_cast<std::size_t>(i)];
    if (!c.enabled) continue;
    if (radio ? c.spec.kind == ControlKind::AutoRadio : isButtonLike(i)) {
      focusIndex(i, true);
      // Arrows check an automatic radio button as they reach it.
      if (radio) pressIndex(i);
      return;
    }
  }
}

// ---------------------------------------------------------------------------------------
// Notifications

void Dialog::send(std::uint32_t message, std::uintptr_t w, std::intptr_t l) {
  if (proc_) {
    // The procedure may end or change the dialog; it is called by value so that
    // replacing the procedure from inside cannot destroy the running one.
    Proc p = proc_;
    p(*this, Msg{message, w, l});
  }
}

void Dialog::command(int id, int code) {
  const auto w =
      static_cast<std::uintptr_t>((static_cast<std::uint32_t>(id) & 0xFFFF) | (static_cast<std::uint32_t>(code) << 16));
  send(wm::Command, w, id);
}

void Dialog::requestClose() { send(wm::Close, 0, 0); }

void Dialog::pressIndex(int index) {
  Control& c = controls_[static_cast<std::size_t>(index)];
  if (!c.enabled) return;
  const int id = c.spec.id;
  switch (c.spec.kind) {
    case ControlKind::AutoCheck: c.state = c.state ? check::Unchecked : check::Checked; break;
    case ControlKind::AutoRadio: {
      const int from = groupStart(index), to = groupEnd(index);
      for (int i = from; i < to; ++i) {
        Control& o = controls_[static_cast<std::size_t>(i)];
        if (o.spec.kind == ControlKind::AutoRadio) o.state = i == index ? check::Checked : check::Unchecked;
      }
      break;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: break;
    default: return;
  }
  dirty_ = true;
  command(id, notify::Clicked);
}

bool Dialog::click(int id) {
  const int i = find(id);
  if (i < 0 || !controls_[static_cast<std::size_t>(i)].enabled || !isButtonLike(i)) return false;
  focusIndex(i, false);
  pressIndex(i);
  return true;
}

// ---------------------------------------------------------------------------------------
// Keyboard

bool Dialog::keyDown(int key, Mods mods) {
  Control* f = focus_ >= 0 ? &controls_[static_cast<std::size_t>(focus_)] : nullptr;
  switch (key) {
    case vk::Tab:
      if (mods.ctrl) return false;
      moveFocus(mods.shift);
      return true;
    case vk::Return: {
      if (f && f->enabled && isPushKind(f->spec.kind)) {
        pressIndex(focus_);
        return true;
      }
      // The default push button, or IDOK when the dialog has none.
      for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].spec.kind == ControlKind::DefPushButton) {
          if (controls_[i].enabled) pressIndex(static_cast<int>(i));
          return true;
        }
      }
      command(cmd::Ok, notify::Clicked);
      return true;
    }
    case vk::Escape: command(cmd::Cancel, notify::Clicked); return true;
    default: break;
  }
  if (!f) return false;
  if (f->spec.kind == ControlKind::Edit) return editKey(*f, key, mods);
  if (f->spec.kind == ControlKind::List && listKey(*f, key)) return true;
  switch (key) {
    case vk::Left:
    case vk::Up: moveInGroup(true); return true;
    case vk::Right:
    case vk::Down: moveInGroup(false); return true;
    case vk::Space:
      if (isButtonLike(focus_) && !spaceHeld_) {
        spaceHeld_ = true;
        pressed_ = focus_;
        pressedInside_ = true;
        dirty_ = true;
      }
      return true;
    default: return false;
  }
}

void Dialog::keyUp(int key) {
  if (key != vk::Space || !spaceHeld_) return;
  spaceHeld_ = false;
  const int p = pressed_;
  pressed_ = -1;
  dirty_ = true;
  if (p >= 0 && p == focus_) pressIndex(p);
}

void Dialog::textInput(std::string_view cp932) {
  preedit_.clear();
  if (focus_ < 0) return;
  const std::size_t index = static_cast<std::size_t>(focus_);
  if (controls_[index].spec.kind != ControlKind::Edit) return;
  for (std::size_t i = 0; i < cp932.size();) {
    const int n = charLen(cp932, i);
    const std::string_view ch = cp932.substr(i, static_cast<std::size_t>(n));
    i += static_cast<std::size_t>(n);
    // Control characters are keys, not text.
    if (n == 1 && static_cast<std::uint8_t>(ch[0]) < 0x20) continue;
    if (focus_ != static_cast<int>(index)) break;  // the procedure moved the focus
    editInsert(controls_[index], ch);
  }
  dirty_ = true;
}

void Dialog::composition(std::string_view cp932) {
  if (focus_ < 0 || controls_[static_cast<std::size_t>(focus_)].spec.kind != ControlKind::Edit) {
    preedit_.clear();
    return;
  }
  preedit_.assign(cp932);
  dirty_ = true;
}

// ---------------------------------------------------------------------------------------
// Edit box

void Dialog::editInsert(Control& c, std::string_view chars) {
  const int s = std::min(c.anchor, c.caret), e = std::max(c.anchor, c.caret);
  c.text.replace(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s), chars);
  c.caret = c.anchor = s + static_cast<int>(chars.size());
  editScrollToCaret(c);
  dirty_ = true;
  command(c.spec.id, notify::Update);
}

void Dialog::editDeleteSelection(Control& c) {
  const int s = std::min(c.anchor, c.caret), e = std::max(c.anchor, c.caret);
  c.text.erase(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
  c.caret = c.anchor = s;
  editScrollToCaret(c);
  dirty_ = true;
  command(c.spec.id, notify::Update);
}

bool Dialog::editKey(Control& c, int key, Mods mods) {
  const int len = static_cast<int>(c.text.size());
  int to = c.caret;
  switch (key) {
    case vk::Left:
      if (!mods.shift && c.anchor != c.caret) to = std::min(c.anchor, c.caret);
      else to = prevChar(c.text, c.caret);
      break;
    case vk::Right:
      if (!mods.shift && c.anchor != c.caret) to = std::max(c.anchor, c.caret);
      else to = nextChar(c.text, c.caret);
      break;
    case vk::Home: to = 0; break;
    case vk::End: to = len; break;
    case vk::Back:
      if (c.anchor == c.caret) {
        if (c.caret == 0) return true;
        c.anchor = prevChar(c.text, c.caret);
      }
      editDeleteSelection(c);
      return true;
    case vk::Delete:
      if (c.anchor == c.caret) {
        if (c.caret >= len) return true;
        c.anchor = nextChar(c.text, c.caret);
      }
      editDeleteSelection(c);
      return true;
    default: return false;
  }
  c.caret = to;
  if (!mods.shift) c.anchor = to;
  editScrollToCaret(c);
  dirty_ = true;
  return true;
}

void Dialog::editScrollToCaret(Control& c) {
  const int inner = std::max(1, c.rect.w - 6);
  const int caretX = detail::textWidth(std::string_view(c.text).substr(0, static_cast<std::size_t>(c.caret)));
  if (caretX - c.scroll > inner - 1) c.scroll = caretX - inner + 1;
  if (caretX < c.scroll) c.scroll = std::max(0, caretX - inner / 3);
  const int total = detail::textWidth(c.text);
  if (c.scroll > 0 && total - c.scroll < inner - 1) c.scroll = std::max(0, total - inner + 1);
}

int Dialog::editPosAt(const Control& c, int clientX) const {
  const int target = clientX - (c.rect.x + 3) + c.scroll;
  int pos = 0, x = 0;
  while (pos < static_cast<int>(c.text.size())) {
    const int n = charLen(c.text, static_cast<std::size_t>(pos));
    const int w =
        detail::textWidth(std::string_view(c.text).substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(n)));
    if (target < x + w / 2) break;
    x += w;
    pos += n;
  }
  return pos;
}

bool Dialog::wantsText() const {
  return focus_ >= 0 && controls_[static_cast<std::size_t>(focus_)].spec.kind == ControlKind::Edit &&
         controls_[static_cast<std::size_t>(focus_)].enabled;
}

PixelRect Dialog::caretRect() const {
  if (!wantsText()) return PixelRect{};
  const Control& c = controls_[static_cast<std::size_t>(focus_)];
  const int x = detail::textWidth(std::string_view(c.text).substr(0, static_cast<std::size_t>(c.caret)));
  return PixelRect{c.rect.x + 3 + x - c.scroll, c.rect.y + (c.rect.h - lineHeight()) / 2, 1, lineHeight()};
}

// ---------------------------------------------------------------------------------------
// List

int Dialog::listRows(const Control& c) const { return std::max(1, (c.rect.h - 4) / (lineHeight() + 2)); }

void Dialog::listSelect(Control& c, int index, bool notifyChange) {
  const int n = static_cast<int>(c.items.size());
  if (n == 0) index = -1;
  else index = std::clamp(index, 0, n - 1);
  const bool changed = index != c.state;
  c.state = index;
  if (index >= 0) {
    const int rows = listRows(c);
    if (index < c.top) c.top = index;
    if (index >= c.top + rows) c.top = index - rows + 1;
  }
  dirty_ = true;
  if (changed && notifyChange) command(c.spec.id, notify::SelChange);
}

bool Dialog::listKey(Control& c, int key) {
  const int rows = listRows(c);
  const int cur = c.state;
  switch (key) {
    case vk::Up: listSelect(c, cur < 0 ? 0 : cur - 1, true); return true;
    case vk::Down: listSelect(c, cur + 1, true); return true;
    case vk::Prior: listSelect(c, cur < 0 ? 0 : cur - rows + 1, true); return true;
    case vk::Next: listSelect(c, cur < 0 ? 0 : cur + rows - 1, true); return true;
    case vk::Home: listSelect(c, 0, true); return true;
    case vk::End: listSelect(c, static_cast<int>(c.items.size()) - 1, true); return true;
    default: return false;
  }
}

// ---------------------------------------------------------------------------------------
// Mouse

void Dialog::mouseDown(int wx, int wy, bool doubleClick) {
  if (tmpl_.caption && wy >= kFrame && wy < kFrame + kCaption) {
    const int boxX = outerWidth() - kFrame - kCaption;
    if (tmpl_.closeBox && wx >= boxX) {
      requestClose();
      return;
    }
    dragging_ = true;
    dragDX_ = wx;
    dragDY_ = wy;
    return;
  }
  const int cx = wx - clientLeft(), cy = wy - clientTop();
  // The control under the pointer; frames and labels only when nothing else is there.
  int hit = -1;
  for (int i = 0; i < static_cast<int>(controls_.size()); ++i) {
    const Control& c = controls_[static_cast<std::size_t>(i)];
    if (!c.rect.contains(cx, cy)) continue;
    const bool passive =
        c.spec.kind == ControlKind::GroupBox || c.spec.kind == ControlKind::Static || c.spec.kind == ControlKind::Icon;
    if (!passive || hit < 0) hit = i;
  }
  if (hit < 0) return;
  Control& c = controls_[static_cast<std::size_t>(hit)];
  if (!c.enabled) return;
  switch (c.spec.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::AutoCheck:
    case ControlKind::AutoRadio:
      focusIndex(hit, false);
      pressed_ = hit;
      pressedInside_ = true;
      dirty_ = true;
      break;
    case ControlKind::Edit:
      focusIndex(hit, false);
      c.caret = c.anchor = editPosAt(c, cx);
      pressed_ = hit;
      dirty_ = true;
      break;
    case ControlKind::List: {
      focusIndex(hit, false);
      const int row = (cy - c.rect.y - 2) / (lineHeight() + 2);
      if (cy - c.rect.y - 2 >= 0 && c.top + row < static_cast<int>(c.items.size())) {
        listSelect(c, c.top + row, true);
        if (doubleClick) command(c.spec.id, notify::DblClk);
      }
      break;
    }
    default: break;
  }
}

void Dialog::mouseMove(int wx, int wy) {
  if (dragging_) {
    moveTo(x_ + wx - dragDX_, y_ + wy - dragDY_);
    return;
  }
  if (pressed_ < 0 || spaceHeld_) return;
  Control& c = controls_[static_cast<std::size_t>(pressed_)];
  const int cx = wx - clientLeft(), cy = wy - clientTop();
  if (c.spec.kind == ControlKind::Edit) {
    c.caret = editPosAt(c, cx);
    editScrollToCaret(c);
    dirty_ = true;
  } else {
    const bool inside = c.rect.contains(cx, cy);
    if (inside != pressedInside_) dirty_ = true;
    pressedInside_ = inside;
  }
}

void Dialog::mouseUp(int wx, int wy) {
  if (dragging_) {
    dragging_ = false;
    return;
  }
  if (pressed_ < 0 || spaceHeld_) return;
  const int p = pressed_;
  pressed_ = -1;
  dirty_ = true;
  const Control& c = controls_[static_cast<std::size_t>(p)];
  if (c.spec.kind == ControlKind::Edit) return;
  if (c.rect.contains(wx - clientLeft(), wy - clientTop())) pressIndex(p);
}

// ---------------------------------------------------------------------------------------
// File-name patterns

bool matchWildcard(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starN = n;
      continue;
    }
    int nl = 1, pl = 1;
    if (p < pattern.size()) {
      const std::uint16_t pc = foldedChar(pattern, p, &pl);
      const std::uint16_t nc = foldedChar(name, n, &nl);
      if (pc == '?' || pc == nc) {
        n += static_cast<std::size_t>(nl);
        p += static_cast<std::size_t>(pl);
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    // Let the last star take one more character of the name.
    foldedChar(name, starN, &nl);
    starN += static_cast<std::size_t>(nl);
    n = starN;
    p = starP;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool matchAnyPattern(std::string_view name, std::string_view patterns) {
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t semi = patterns.find(';', start);
    if (semi == std::string_view::npos) semi = patterns.size();
    std::string_view one = patterns.substr(start, semi - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (!one.empty() && matchWildcard(name, one)) return true;
    start = semi + 1;
  }
  return false;
}

}  // namespace plat::ui
