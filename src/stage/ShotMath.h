// Small arithmetic shared by the shot files: truncation that survives data of any size,
// and the base angles of the resolved direction codes.
#pragma once
#include <cmath>
#include <cstdint>

#include "gamedata/Vocabulary.h"

// Toward zero, kept inside 32 bits; not a number gives 0.
inline std::int32_t ShotTrunc(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return 2147483647;
  if (d <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(d);
}

// Degrees of a resolved direction code: 0 left, 90 up, 180 right, 270 down.
inline int DirBaseAngle(int nCode) {
  switch (nCode) {
    case DIR_LEFT: return 0;
    case DIR_RIGHT: return 180;
    case DIR_UP: return 90;
    case DIR_DOWN: return 270;
    case DIR_UP_LEFT: return 45;
    case DIR_DOWN_LEFT: return 315;
    case DIR_UP_RIGHT: return 135;
    case DIR_DOWN_RIGHT: return 225;
    default: return 0;
  }
}

inline constexpr double RAD_TO_DEG = 57.29577951308232;
