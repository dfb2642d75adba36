#include "Canvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/bmp.h"

namespace sample {

namespace {

// Rows of five dots, the top row first; bit 4 is the leftmost dot.
struct Glyph {
  char ch;
  std::uint8_t rows[7];
};

constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
};

const Glyph* FindGlyph(char ch) {
  if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  for (const Glyph& g : kGlyphs)
    if (g.ch == ch) return &g;
  return &kGlyphs[std::size(kGlyphs) - 1];
}

}  // namespace

Canvas::Canvas(int width, int height, std::uint8_t fill)
    : m_nWidth(width), m_nHeight(height), m_Pixels(static_cast<std::size_t>(width) * height, fill) {}

std::uint8_t Canvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return pal::KEY;
  return m_Pixels[static_cast<std::size_t>(y) * m_nWidth + x];
}

void Canvas::Set(int x, int y, std::uint8_t c) {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
  m_Pixels[static_cast<std::size_t>(y) * m_nWidth + x] = c;
}

void Canvas::Rect(int x, int y, int w, int h, std::uint8_t c) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, m_nWidth), y1 = std::min(y + h, m_nHeight);
  for (int yy = y0; yy < y1; ++yy)
    for (int xx = x0; xx < x1; ++xx) m_Pixels[static_cast<std::size_t>(yy) * m_nWidth + xx] = c;
}

void Canvas::Frame(int x, int y, int w, int h, std::uint8_t c) {
  Rect(x, y, w, 1, c);
  Rect(x, y + h - 1, w, 1, c);
  Rect(x, y, 1, h, c);
  Rect(x + w - 1, y, 1, h, c);
}

void Canvas::Ellipse(int x, int y, int w, int h, std::uint8_t c) {
  if (w <= 0 || h <= 0) return;
  // Pixel centres inside the ellipse, in doubled coordinates to stay integer.
  const long long a = w, b = h;
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      const long long dx = 2 * xx + 1 - a, dy = 2 * yy + 1 - b;
      if (dx * dx * b * b + dy * dy * a * a <= a * a * b * b) Set(x + xx, y + yy, c);
    }
}

void Canvas::Line(int x0, int y0, int x1, int y1, std::uint8_t c) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Set(x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void Canvas::Polygon(const std::vector<int>& xy, std::uint8_t c) {
  const std::size_t n = xy.size() / 2;
  if (n < 3) return;
  int top = xy[1], bottom = xy[1];
  for (std::size_t i = 0; i < n; ++i) {
    top = std::min(top, xy[2 * i + 1]);
    bottom = std::max(bottom, xy[2 * i + 1]);
  }
  for (int y = top; y <= bottom; ++y) {
    // Crossings of the row's centre line, in doubled coordinates.
    std::vector<double> xs;
    const double cy = y + 0.5;
    for (std::size_t i = 0; i < n; ++i) {
      const double ax = xy[2 * i], ay = xy[2 * i + 1];
      const double bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
      if ((ay <= cy && by > cy) || (by <= cy && ay > cy)) xs.push_back(ax + (cy - ay) * (bx - ax) / (by - ay));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
      for (int x = static_cast<int>(xs[k] + 0.5); x + 0.5 < xs[k + 1] + 1e-9; ++x) Set(x, y, c);
  }
}

void Canvas::Paste(const Canvas& src, int x, int y, bool keyed) {
  for (int yy = 0; yy < src.m_nHeight; ++yy)
    for (int xx = 0; xx < src.m_nWidth; ++xx) {
      const std::uint8_t c = src.At(xx, yy);
      if (!keyed || c != pal::KEY) Set(x + xx, y + yy, c);
    }
}

Canvas Canvas::Mirrored() const {
  Canvas out(m_nWidth, m_nHeight);
  for (int y = 0; y < m_nHeight; ++y)
    for (int x = 0; x < m_nWidth; ++x) out.Set(m_nWidth - 1 - x, y, At(x, y));
  return out;
}

void Canvas::Text(int x, int y, std::string_view text, std::uint8_t c, int scale, int scaleY) {
  const int sy = scaleY > 0 ? scaleY : scale;
  for (char ch : text) {
    const Glyph* g = FindGlyph(ch);
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (g->rows[row] & (0x10 >> col)) Rect(x + col * scale, y + row * sy, scale, sy, c);
    x += 6 * scale;
  }
}

void Canvas::OutlinedText(int x, int y, std::string_view text, std::uint8_t c, std::uint8_t outline, int scale,
                          int scaleY) {
  const int t = std::max(1, scale / 2);
  for (int dy = -t; dy <= t; ++dy)
    for (int dx = -t; dx <= t; ++dx)
      if (dx || dy) Text(x + dx, y + dy, text, outline, scale, scaleY);
  Text(x, y, text, c, scale, scaleY);
}

Canvas Canvas::Scaled(int factor) const {
  Canvas out(m_nWidth * factor, m_nHeight * factor);
  for (int y = 0; y < m_nHeight; ++y)
    for (int x = 0; x < m_nWidth; ++x) out.Rect(x * factor, y * factor, factor, factor, At(x, y));
  return out;
}

int Canvas::TextWidth(std::string_view text, int scale) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * scale - scale;
}

void Canvas::CentredText(int x, int y, int w, int h, std::string_view text, std::uint8_t c, int scale) {
  Text(x + (w - TextWidth(text, scale)) / 2, y + (h - TextHeight(scale)) / 2, text, c, scale);
}

std::string Canvas::EncodeBmp(const Palette& palette) const {
  plat::bmp::Bitmap b;
  b.width = m_nWidth;
  b.height = m_nHeight;
  b.bitsPerPixel = 8;
  b.stride = (m_nWidth + 3) & ~3;
  b.bits.assign(static_cast<std::size_t>(b.stride) * m_nHeight, 0);
  for (int y = 0; y < m_nHeight; ++y)
    std::copy_n(&m_Pixels[static_cast<std::size_t>(y) * m_nWidth], m_nWidth, b.topRow(y));
  for (const Rgb& c : palette) b.colors.push_back(plat::bmp::RgbQuad{c.b, c.g, c.r, 0});
  return plat::bmp::encode(b);
}

}  // namespace sample
