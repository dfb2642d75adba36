// Arithmetic on values that come from files: computed in 64 bits and clamped to the
// range of the type that keeps the result, so damaged data saturates instead of
// overflowing. Where nothing overflows the results are the plain ones.
#pragma once
#include <algorithm>
#include <concepts>
#include <cstdint>
#include <limits>

template <std::integral T>
constexpr T ClampTo(std::int64_t v) {
  return static_cast<T>(std::clamp<std::int64_t>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

constexpr std::int32_t AddClamped(std::int32_t a, std::int32_t b) {
  return ClampTo<std::int32_t>(static_cast<std::int64_t>(a) + b);
}

constexpr std::int32_t MulClamped(std::int32_t a, std::int32_t b) {
  return ClampTo<std::int32_t>(static_cast<std::int64_t>(a) * b);
}
