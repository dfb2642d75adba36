// An 8-bit picture of palette numbers to draw the sample's bitmaps on: shapes clipped to
// the picture, a small pixel font, and the file image of the finished bitmap.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SamplePalette.h"

namespace sample {

class Canvas {
 public:
  Canvas(int width, int height, std::uint8_t fill = pal::KEY);

  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  std::uint8_t At(int x, int y) const;

  void Set(int x, int y, std::uint8_t c);
  void Fill(std::uint8_t c) { Rect(0, 0, m_nWidth, m_nHeight, c); }
  void Rect(int x, int y, int w, int h, std::uint8_t c);
  void Frame(int x, int y, int w, int h, std::uint8_t c);
  // A filled ellipse inside the box (x, y, w, h).
  void Ellipse(int x, int y, int w, int h, std::uint8_t c);
  void Line(int x0, int y0, int x1, int y1, std::uint8_t c);
  // A filled polygon given as pairs of corners (even-odd rule at pixel centres).
  void Polygon(const std::vector<int>& xy, std::uint8_t c);
  // Every dot becomes a square of factor x factor dots.
  Canvas Scaled(int factor) const;
  // Copies another canvas to (x, y); with keyed set, its transparent pixels are left out.
  void Paste(const Canvas& src, int x, int y, bool keyed = true);
  // The same picture flipped left to right.
  Canvas Mirrored() const;

  // Text in the 5 x 7 pixel font, scale pixels a dot (scaleY rows when given), one dot
  // between letters; lower-case letters are drawn as capitals.
  void Text(int x, int y, std::string_view text, std::uint8_t c, int scale = 1, int scaleY = 0);
  // The same with an outline in another colour around every letter.
  void OutlinedText(int x, int y, std::string_view text, std::uint8_t c, std::uint8_t outline, int scale = 1,
                    int scaleY = 0);
  static int TextWidth(std::string_view text, int scale = 1);
  static int TextHeight(int scale = 1) { return 7 * scale; }
  // Text centred in the box (x, y, w, h).
  void CentredText(int x, int y, int w, int h, std::string_view text, std::uint8_t c, int scale = 1);

  // The picture as an uncompressed 8-bit bottom-up bitmap file with the given palette.
  std::string EncodeBmp(const Palette& palette = SamplePalette()) const;

 private:
  int m_nWidth, m_nHeight;
  std::vector<std::uint8_t> m_Pixels;  // top row first
};

}  // namespace sample
