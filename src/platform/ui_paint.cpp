// Drawing of the dialogs in the classic grey style of the platform the games were made
// on: raised frames, sunken edit and list boxes, a dark blue title bar.
#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/ui_detail.h"
#include "platform/ui_dialog.h"

namespace plat::ui {
namespace detail {

namespace {
// The line height of a 9-point font: full-width characters 12 pixels wide.
constexpr int kFontHeight = 13;
}  // namespace

text::Face* dialogFace() {
  static std::once_flag once;
  static std::unique_ptr<text::Face> face;
  std::call_once(once, [] { face = text::Face::open("MS PGothic", kFontHeight); });
  return face.get();
}

int textWidth(std::string_view cp932) {
  text::Face* f = dialogFace();
  return f ? f->lineWidth(cp932) : 0;
}

}  // namespace detail

namespace {

constexpr std::uint32_t kFace = 0xD4D0C8;
constexpr std::uint32_t kHighlight = 0xFFFFFF;
constexpr std::uint32_t kShadow = 0x808080;
constexpr std::uint32_t kDarkShadow = 0x404040;
constexpr std::uint32_t kWindow = 0xFFFFFF;
constexpr std::uint32_t kText = 0x000000;
constexpr std::uint32_t kGrayText = 0x808080;
constexpr std::uint32_t kSelection = 0x0A246A;
constexpr std::uint32_t kSelectionText = 0xFFFFFF;
constexpr std::uint32_t kCaptionLeft = 0x0A246A;
constexpr std::uint32_t kCaptionRight = 0xA6CAF0;

// A 32-bit target with a clip rectangle, in target coordinates.
struct Canvas {
  Surface& s;
  int cx0, cy0, cx1, cy1;

  Canvas(Surface& surface) : s(surface), cx0(0), cy0(0), cx1(surface.width()), cy1(surface.height()) {}

  void clip(int x, int y, int w, int h) {
    cx0 = std::max(0, x);
    cy0 = std::max(0, y);
    cx1 = std::min(s.width(), x + w);
    cy1 = std::min(s.height(), y + h);
  }
  void unclip() {
    cx0 = cy0 = 0;
    cx1 = s.width();
    cy1 = s.height();
  }
  void put(int x, int y, std::uint32_t rgb) {
    if (x < cx0 || y < cy0 || x >= cx1 || y >= cy1) return;
    s.rowAs<std::uint32_t>(y)[x] = 0xFF000000u | rgb;
  }
  void blend(int x, int y, std::uint32_t rgb, int a) {
    if (a <= 0 || x < cx0 || y < cy0 || x >= cx1 || y >= cy1) return;
    std::uint32_t& d = s.rowAs<std::uint32_t>(y)[x];
    if (a >= 255) {
      d = 0xFF000000u | rgb;
      return;
    }
    auto mix = [&](int shift) {
      const int b = static_cast<int>((d >> shift) & 0xFF), f = static_cast<int>((rgb >> shift) & 0xFF);
      return static_cast<std::uint32_t>(b + (f - b) * a / 255) << shift;
    };
    d = 0xFF000000u | mix(16) | mix(8) | mix(0);
  }
  void fill(int x, int y, int w, int h, std::uint32_t rgb) {
    const int x0 = std::max(x, cx0), y0 = std::max(y, cy0);
    const int x1 = std::min(x + w, cx1), y1 = std::min(y + h, cy1);
    for (int j = y0; j < y1; ++j) {
      std::uint32_t* row = s.rowAs<std::uint32_t>(j);
      for (int i = x0; i < x1; ++i) row[i] = 0xFF000000u | rgb;
    }
  }
  void hline(int x, int y, int w, std::uint32_t rgb) { fill(x, y, w, 1, rgb); }
  void vline(int x, int y, int h, std::uint32_t rgb) { fill(x, y, 1, h, rgb); }
  // A two-colour edge: top-left in one colour, bottom-right in the other.
  void edge(int x, int y, int w, int h, std::uint32_t tl, std::uint32_t br) {
    hline(x, y, w - 1, tl);
    vline(x, y, h - 1, tl);
    hline(x, y + h - 1, w, br);
    vline(x + w - 1, y, h, br);
  }
  void raised(int x, int y, int w, int h) {
    edge(x, y, w, h, kFace, kDarkShadow);
    edge(x + 1, y + 1, w - 2, h - 2, kHighlight, kShadow);
  }
  void sunken(int x, int y, int w, int h) {
    edge(x, y, w, h, kShadow, kHighlight);
    edge(x + 1, y + 1, w - 2, h - 2, kDarkShadow, kFace);
  }
  void dotted(int x, int y, int w, int h) {
    for (int i = 0; i < w; i += 2) {
      put(x + i, y, kText);
      put(x + i, y + h - 1, kText);
    }
    for (int j = 0; j < h; j += 2) {
      put(x, y + j, kText);
      put(x + w - 1, y + j, kText);
    }
  }
  // One line of text with its top-left corner at (x, y); returns the width drawn.
  int text(int x, int y, std::string_view cp932, std::uint32_t rgb) {
    text::Face* f = detail::dialogFace();
    if (!f) return 0;
    int pen = x;
    for (std::size_t i = 0; i < cp932.size();) {
      std::uint16_t code = 0;
      i += static_cast<std::size_t>(text::charAt(cp932, i, &code));
      const text::Glyph& g = f->glyph(code, true);
      if (pen < cx1 && pen + g.width > cx0) {
        for (int j = 0; j < g.height; ++j)
          for (int k = 0; k < g.width; ++k)
            blend(pen + k, y + j, rgb, g.coverage[static_cast<std::size_t>(j) * g.width + k]);
      }
      pen += g.width;
    }
    return pen - x;
  }
};

// Marks that must not stand at the start of a line.
bool opensNoLine(std::string_view ch) {
  static constexpr std::string_view kMarks[] = {"」", "』", "）", "】", "、", "。", "，", "．", "ー",
                                                "…",  "！", "？", ")",  ",",  ".",  "!",  "?"};
  for (std::string_view m : kMarks)
    if (ch == m) return true;
  return false;
}

}  // namespace

std::vector<std::string> detail::wrapText(std::string_view cp932, int width) {
  std::vector<std::string> lines;
  std::string line;
  int lineW = 0;
  int lastSpace = -1;  // byte index in line after a space
  for (std::size_t i = 0; i < cp932.size();) {
    const int n = detail::charLen(cp932, i);
    const std::string_view ch = cp932.substr(i, static_cast<std::size_t>(n));
    i += static_cast<std::size_t>(n);
    if (ch == "\r") continue;
    if (ch == "\n") {
      lines.push_back(line);
      line.clear();
      lineW = 0;
      lastSpace = -1;
      continue;
    }
    const int w = detail::textWidth(ch);
    if (lineW + w > width && !line.empty()) {
      // A closing mark never starts a line: the character before it moves down too.
      if (lastSpace < 0 && opensNoLine(ch)) {
        const int back = detail::prevChar(line, static_cast<int>(line.size()));
        if (back > 0) {
          lines.push_back(line.substr(0, static_cast<std::size_t>(back)));
          line.erase(0, static_cast<std::size_t>(back));
          line += ch;
          lineW = detail::textWidth(line);
          continue;
        }
      }
      if (lastSpace > 0 && ch != " ") {
        std::string rest = line.substr(static_cast<std::size_t>(lastSpace));
        line.resize(static_cast<std::size_t>(lastSpace));
        lines.push_back(line);
        line = rest;
      } else {
        lines.push_back(line);
        line.clear();
      }
      lineW = detail::textWidth(line);
      lastSpace = -1;
      if (ch == " ") continue;
    }
    line += ch;
    lineW += w;
    if (ch == " ") lastSpace = static_cast<int>(line.size());
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

namespace {

void drawIcon(Canvas& c, int x, int y) {
  // The program's emblem: a framed gem on a blue field.
  for (int j = 0; j < 32; ++j)
    for (int i = 0; i < 32; ++i) {
      const int dx = i - 16, dy = j - 16;
      const int d = std::abs(dx) + std::abs(dy);
      if (d > 15) continue;
      std::uint32_t rgb;
      if (d >= 14) rgb = 0x10204A;
      else if (dy < 0 && dx < 0) rgb = 0x7FB2FF;
      else if (dy < 0) rgb = 0x3F7FE0;
      else if (dx < 0) rgb = 0x2A5FBF;
      else rgb = 0x1A3F8F;
      c.put(x + i, y + j, rgb);
    }
}

}  // namespace

int Dialog::lineHeight() {
  // Lines as high as the glyphs reach, so that an underscore is not cut off.
  text::Face* f = detail::dialogFace();
  return f ? f->fullHeight() : 14;
}

void Dialog::paint(Surface& target, int ox, int oy) const {
  Canvas c(target);
  const int w = outerWidth(), h = outerHeight();
  c.fill(ox, oy, w, h, kFace);
  c.raised(ox, oy, w, h);
  if (tmpl_.caption) paintCaption(target, ox, oy);
  for (int i = 0; i < static_cast<int>(controls_.size()); ++i) paintControl(target, ox, oy, i);
  dirty_ = false;
}

void Dialog::paintCaption(Surface& s, int ox, int oy) const {
  Canvas c(s);
  const int x = ox + kFrame, y = oy + kFrame, w = outerWidth() - 2 * kFrame, h = kCaption - 1;
  for (int i = 0; i < w; ++i) {
    auto lerp = [&](int shift) {
      const int a = static_cast<int>((kCaptionLeft >> shift) & 0xFF),
                b = static_cast<int>((kCaptionRight >> shift) & 0xFF);
      return static_cast<std::uint32_t>(a + (b - a) * i / std::max(1, w - 1)) << shift;
    };
    c.vline(x + i, y, h, lerp(16) | lerp(8) | lerp(0));
  }
  int textRight = x + w - 2;
  if (tmpl_.closeBox) {
    const int bw = h - 4, bx = x + w - bw - 2, by = y + 2;
    c.fill(bx, by, bw, bw, kFace);
    c.raised(bx, by, bw, bw);
    for (int k = 0; k < bw - 8; ++k) {
      c.put(bx + 4 + k, by + 4 + k, kText);
      c.put(bx + 5 + k, by + 4 + k, kText);
      c.put(bx + bw - 5 - k, by + 4 + k, kText);
      c.put(bx + bw - 6 - k, by + 4 + k, kText);
    }
    textRight = bx - 2;
  }
  c.clip(x, y, textRight - x, h);
  c.text(x + 3, y + (h - lineHeight()) / 2, title_, 0xFFFFFF);
}

void Dialog::paintControl(Surface& s, int ox, int oy, int index) const {
  const Control& ctl = controls_[static_cast<std::size_t>(index)];
  Canvas c(s);
  const int x = ox + clientLeft() + ctl.rect.x, y = oy + clientTop() + ctl.rect.y;
  const int w = ctl.rect.w, h = ctl.rect.h;
  const int lh = lineHeight();
  const bool focused = index == focus_;
  const std::uint32_t ink = ctl.enabled ? kText : kGrayText;
  switch (ctl.spec.kind) {
    case ControlKind::Static: {
      c.clip(x, y, w, h);
      int ty = y;
      for (const std::string& line : detail::wrapText(ctl.text, w)) {
        c.text(x, ty, line, ink);
        ty += lh;
      }
      break;
    }
    case ControlKind::Icon: drawIcon(c, x, y); break;
    case ControlKind::GroupBox: {
      const int top = y + lh / 2;
      c.edge(x, top, w, h - lh / 2, kShadow, kHighlight);
      c.edge(x + 1, top + 1, w - 2, h - lh / 2 - 2, kHighlight, kShadow);
      const int tw = detail::textWidth(ctl.text);
      c.fill(x + 7, y, tw + 4, lh, kFace);
      c.clip(x, y, w, h);
      c.text(x + 9, y, ctl.text, ink);
      break;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
      const bool down = pressed_ == index && pressedInside_;
      const bool isDefault = ctl.spec.kind == ControlKind::DefPushButton || focused;
      int bx = x, by = y, bw = w, bh = h;
      if (isDefault) {
        c.edge(bx, by, bw, bh, kText, kText);
        ++bx, ++by, bw -= 2, bh -= 2;
      }
      if (down) {
        c.edge(bx, by, bw, bh, kShadow, kShadow);
      } else {
        c.raised(bx, by, bw, bh);
      }
      const int tw = detail::textWidth(ctl.text);
      const int shift = down ? 1 : 0;
      c.clip(bx + 2, by + 2, bw - 4, bh - 4);
      c.text(bx + (bw - tw) / 2 + shift, by + (bh - lh) / 2 + shift, ctl.text, ink);
      c.unclip();
      if (focused) c.dotted(bx + 3, by + 3, bw - 6, bh - 6);
      break;
    }
    case ControlKind::AutoCheck:
    case ControlKind::AutoRadio: {
      const int box = 13, by = y + (h - box) / 2;
      const bool down = pressed_ == index && pressedInside_;
      if (ctl.spec.kind == ControlKind::AutoCheck) {
        c.fill(x, by, box, box, down ? kFace : kWindow);
        c.sunken(x, by, box, box);
        if (ctl.state) {
          // A tick drawn three pixels thick.
          for (int k = 0; k < 7; ++k) {
            const int py = k < 3 ? by + 5 + k : by + 9 - k;
            for (int t = 0; t < 3; ++t) c.put(x + 3 + k, py + t, ink);
          }
        }
      } else {
        // A sunken ring, white inside, with a dot when checked.
        const int r = 6, cx0 = x + r, cy0 = by + r;
        for (int j = -r; j <= r; ++j)
          for (int i = -r; i <= r; ++i) {
            const int d2 = i * i + j * j;
            if (d2 > r * r + 2) continue;
            const bool upperLeft = i + j < 0;
            std::uint32_t rgb = down ? kFace : kWindow;
            if (d2 > (r - 1) * (r - 1)) rgb = upperLeft ? kShadow : kHighlight;
            else if (d2 > (r - 2) * (r - 2)) rgb = upperLeft ? kDarkShadow : kFace;
            else if (ctl.state && d2 <= 5) rgb = ink;
            c.put(cx0 + i, cy0 + j, rgb);
          }
      }
      const int tx = x + box + 4, ty = y + (h - lh) / 2;
      c.clip(x, y, w, h);
      const int tw = c.text(tx, ty, ctl.text, ink);
      c.unclip();
      if (focused) c.dotted(tx - 1, ty, std::min(tw + 2, x + w - tx + 1), lh);
      break;
    }
    case ControlKind::Edit: {
      c.fill(x, y, w, h, ctl.enabled ? kWindow : kFace);
      c.sunken(x, y, w, h);
      const int tx = x + 3 - ctl.scroll, ty = y + (h - lh) / 2;
      c.clip(x + 2, y + 2, w - 4, h - 4);
      const int s0 = std::min(ctl.anchor, ctl.caret), s1 = std::max(ctl.anchor, ctl.caret);
      const std::string_view t = ctl.text;
      const int before = detail::textWidth(t.substr(0, static_cast<std::size_t>(s0)));
      const std::string_view sel = t.substr(static_cast<std::size_t>(s0), static_cast<std::size_t>(s1 - s0));
      if (focused && !preedit_.empty()) {
        // The pre-edit text sits at the caret, underlined, in place of the selection.
        const int caretX = detail::textWidth(t.substr(0, static_cast<std::size_t>(ctl.caret)));
        c.text(tx, ty, t.substr(0, static_cast<std::size_t>(ctl.caret)), ink);
        const int pw = c.text(tx + caretX, ty, preedit_, ink);
        c.hline(tx + caretX, ty + lh - 1, pw, ink);
        c.text(tx + caretX + pw, ty, t.substr(static_cast<std::size_t>(ctl.caret)), ink);
        c.vline(tx + caretX + pw, ty, lh, kText);
      } else {
        c.text(tx, ty, t.substr(0, static_cast<std::size_t>(s0)), ink);
        int selW = 0;
        if (focused && s1 > s0) {
          selW = detail::textWidth(sel);
          c.fill(tx + before, ty, selW, lh, kSelection);
          c.text(tx + before, ty, sel, kSelectionText);
        } else {
          selW = c.text(tx + before, ty, sel, ink);
        }
        c.text(tx + before + selW, ty, t.substr(static_cast<std::size_t>(s1)), ink);
        if (focused) {
          const int caretX = detail::textWidth(t.substr(0, static_cast<std::size_t>(ctl.caret)));
          c.vline(tx + caretX, ty, lh, kText);
        }
      }
      break;
    }
    case ControlKind::List: {
      c.fill(x, y, w, h, kWindow);
      c.sunken(x, y, w, h);
      const int rowH = lh + 2, rows = listRows(ctl);
      const int n = static_cast<int>(ctl.items.size());
      const bool bar = n > rows;
      const int innerW = w - 4 - (bar ? 16 : 0);
      for (int r = 0; r < rows && ctl.top + r < n; ++r) {
        const int item = ctl.top + r;
        const int ry = y + 2 + r * rowH;
        c.clip(x + 2, y + 2, innerW, h - 4);
        std::uint32_t fg = ink;
        if (item == ctl.state) {
          c.fill(x + 2, ry, innerW, rowH, focused ? kSelection : kFace);
          if (focused) fg = kSelectionText;
        }
        c.text(x + 4, ry + 1, ctl.items[static_cast<std::size_t>(item)], fg);
        c.unclip();
        if (item == ctl.state && focused) c.dotted(x + 2, ry, innerW, rowH);
      }
      if (bar) {
        // A scroll bar that shows where the visible rows are.
        const int bx = x + w - 18, bh = h - 4;
        c.fill(bx, y + 2, 16, bh, 0xE8E6E2);
        const int thumbH = std::max(12, bh * rows / n);
        const int thumbY = y + 2 + (bh - thumbH) * ctl.top / std::max(1, n - rows);
        c.fill(bx, thumbY, 16, thumbH, kFace);
        c.raised(bx, thumbY, 16, thumbH);
      }
      break;
    }
  }
}

}  // namespace plat::ui
