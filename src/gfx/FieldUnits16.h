// The truncating conversions between a 5- or 6-bit pixel field and 8-bit units,
// v * 255 / max and u * max / 255, as one 16-bit multiply-high each: the rows that use
// them vectorise in 16-bit lanes. Exact over every field value and every 8-bit unit.
#pragma once
#include <cstdint>

namespace ddfx {

inline std::uint16_t MulHi16(std::uint16_t a, std::uint16_t m) { return std::uint16_t((std::uint32_t(a) * m) >> 16); }

template <unsigned Max>
struct FieldUnits16 {
  static_assert(Max == 31 || Max == 63, "5- and 6-bit fields");
  static constexpr std::uint16_t kUp = Max == 31 ? 16847 : 8290;
  static constexpr std::uint16_t kDown = Max == 31 ? 7968 : 16192;
  // v * 255 / Max, the field value given shifted left by 5 (where a masked 6-bit green is).
  static std::uint16_t Up(std::uint16_t vAt5) { return MulHi16(vAt5, kUp); }
  // u * Max / 255 for u up to 255.
  static std::uint16_t Down(std::uint16_t u) { return MulHi16(u, kDown); }
  // (s >> 1) * Max / 255 for the sum s of two values from Up. kDown is even, so clearing
  // the low bit of s and halving the multiplier is the same product; for six bits the
  // halved multiplier alone is exact on every such sum.
  static std::uint16_t DownHalf(std::uint16_t s) {
    return MulHi16(Max == 63 ? s : std::uint16_t(s & 0xFFFEu), kDown / 2);
  }
};

// The half mix of two 5-bit field values a and b, (a * 255 / 31 + b * 255 / 31) / 2 back
// down to the field, depends on a + b alone: this is it for the sum s (up to 62).
constexpr std::uint8_t HalfOfSum5(unsigned s) {
  const unsigned a = s < 31 ? s : 31, b = s - a < 31 ? s - a : 31;
  return std::uint8_t(((a * 255 / 31 + b * 255 / 31) >> 1) * 31 / 255);
}

// Whether v * 255 / Max has no remainder: the values whose 8-bit units are exact.
template <unsigned Max>
constexpr bool ExactUnits(unsigned v) {
  return v * 255 % Max == 0;
}

// The half mix of two values of a 5- or 6-bit field, (a * 255 / Max + b * 255 / Max) / 2
// back down to the field, through one number per value: the mix is (a + b - 1) / 2, or
// (a + b) / 2 where both values are exact, floored, so it is (f(a) + f(b)) / 4 floored
// with f(v) = 2 v, less 1 where v is not exact.
template <unsigned Max>
constexpr std::uint8_t HalfQuarters(unsigned v) {
  return std::uint8_t(2 * v - (ExactUnits<Max>(v) ? 0 : 1));
}

}  // namespace ddfx
