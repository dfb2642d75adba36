// Glyphs of the program's fonts: SDL2_ttf over the IPA Gothic faces, Shift-JIS (CP932)
// characters converted at this edge, every rendered glyph cached per face and character
// so that text drawn every frame is rendered once.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat::text {

// One character's picture: a cell as wide as the character's advance and as high as the
// face, with the coverage of every pixel (0 none .. 255 full; binary glyphs use 0 or 255).
struct Glyph {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;
};

class Face {
 public:
  // Opens the font file standing for a face name (CP932; proportional faces, whose name
  // has a "P", get the proportional file) with a line height of at most `height` pixels.
  // nullptr when no font file can be opened.
  static std::unique_ptr<Face> open(std::string_view faceCp932, int height);
  ~Face();
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;

  int height() const { return height_; }
  // The height of a line that shows every glyph whole: at least height(), more where
  // glyphs such as "_" or "g" reach below the font's rounded descent.
  int fullHeight() const { return fullHeight_; }
  // The glyph of a CP932 character: a single byte, or lead << 8 | trail.
  // smooth: anti-aliased coverage; otherwise binary.
  const Glyph& glyph(std::uint16_t code, bool smooth);
  // Width of a line of CP932 text (sum of the advances).
  int lineWidth(std::string_view cp932);
  void clearCache();
  int renderCount() const { return renders_; }

 private:
  Face() = default;
  void* font_ = nullptr;  // TTF_Font
  int height_ = 0;
  int fullHeight_ = 0;
  int renders_ = 0;
  std::mutex mutex_;
  std::unordered_map<std::uint32_t, Glyph> cache_;  // code | smooth << 16
};

// The font file used for a face name; overridable for tests with PELLMOOR_FONT_FILE.
std::string fontFileFor(std::string_view faceCp932);

// Decodes the CP932 character at text[i] (1 or 2 bytes); returns its length.
int charAt(std::string_view text, std::size_t i, std::uint16_t* code);

}  // namespace plat::text
