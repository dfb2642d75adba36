// Shared inside the dialog modules: the dialog font and CP932 character steps.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp932.h"
#include "platform/text.h"

namespace plat::ui::detail {

// The font of every dialog and box (IPA P Gothic standing for the 9-point proportional
// Gothic of the templates); nullptr when no font file can be opened.
text::Face* dialogFace();
// Width in pixels of a line of CP932 text in the dialog font (0 without a font).
int textWidth(std::string_view cp932);

// Lines of a text wrapped into a width in pixels: at line feeds, after the last space
// that fits, or between two characters of a longer word (a closing mark never starts a
// line).
std::vector<std::string> wrapText(std::string_view cp932, int width);

using cp932::charLen;
// The start of the character that contains byte pos (pos itself at a boundary).
inline int charStart(std::string_view text, int pos) {
  int i = 0;
  while (i < pos) {
    const int n = charLen(text, static_cast<std::size_t>(i));
    if (i + n > pos) return i;
    i += n;
  }
  return pos;
}
// The boundary before pos (0 at the start).
inline int prevChar(std::string_view text, int pos) {
  int i = 0, last = 0;
  while (i < pos) {
    last = i;
    i += charLen(text, static_cast<std::size_t>(i));
  }
  return last;
}
// The boundary after pos (the end at the end).
inline int nextChar(std::string_view text, int pos) {
  if (pos >= static_cast<int>(text.size())) return static_cast<int>(text.size());
  return pos + charLen(text, static_cast<std::size_t>(pos));
}

}  // namespace plat::ui::detail
