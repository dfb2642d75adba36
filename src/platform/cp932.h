// Shift-JIS (code page 932) text: byte classes and conversion to and from UTF-8.
// Internal text is CP932 bytes; only the platform's edges convert.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace plat::cp932 {

inline bool isLead(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool isTrail(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// CP932 to UTF-8; an undecodable byte becomes U+FFFD.
std::string toUtf8(std::string_view s);
// UTF-8 to CP932; an unmapped character becomes '?'.
std::string fromUtf8(std::string_view s);

}  // namespace plat::cp932
