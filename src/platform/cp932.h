// Shift-JIS (code page 932) text: byte classes and conversion to and from UTF-8.
// Internal text is CP932 bytes; only the platform's edges convert.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace plat::cp932 {

inline bool isLead(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool isTrail(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
// Length of the character at text[i]: 2 for a lead byte followed by a trail byte.
inline int charLen(std::string_view text, std::size_t i) {
  if (i + 1 < text.size() && isLead(static_cast<std::uint8_t>(text[i])) &&
      isTrail(static_cast<std::uint8_t>(text[i + 1])))
    return 2;
  return 1;
}

// A character that CP932 cannot hold, kept inside CP932 text: this byte (neither a lead
// nor a trail byte, so no scan pairs it with a neighbour) and seven decimal digits, the
// code point, or 1114112 plus the byte for a byte that is not UTF-8.
inline constexpr std::uint8_t kKeptMark = 0xFD;
inline constexpr std::size_t kKeptLength = 8;
// The length of a kept character at s[i], 0 when there is none.
std::size_t keptAt(std::string_view s, std::size_t i);

// CP932 to UTF-8; a kept character becomes itself again, an undecodable byte U+FFFD.
std::string toUtf8(std::string_view s);
// UTF-8 to CP932; an unmapped character becomes '?'. For typed text.
std::string fromUtf8(std::string_view s);
// UTF-8 to CP932 without loss, for names from the file system: a character without a
// CP932 code that gives it back unchanged, a byte that is not UTF-8 and the ASCII
// character alsoKept (when not 0) become kept characters; toUtf8 restores the input.
std::string fromUtf8Exact(std::string_view s, char alsoKept = 0);
// For drawing with a CP932 font: every kept character becomes '?'.
std::string withoutKept(std::string_view s);

}  // namespace plat::cp932
