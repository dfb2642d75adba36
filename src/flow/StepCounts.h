// Run times, speeds and angles of commands are derived once, from 16-bit data times the
// level and the sub-step count: worked out in 64 bits or doubles and kept inside 32 bits,
// so that no product of extreme data wraps round.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

#include "gamedata/ClampedMath.h"
#include "stage/ActorPhysics.h"

inline std::int32_t Clamp32(std::int64_t n) { return ClampTo<std::int32_t>(n); }

// Toward zero, kept inside 32 bits; not a number gives 0.
inline std::int32_t Trunc32(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (d <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(d);
}

// per-level x level + base.
inline std::int64_t ByLevel(std::int64_t nPerLevel, std::int64_t nLevel, std::int64_t nBase) {
  return nPerLevel * nLevel + nBase;
}

// Tenths of a second as logic steps of the running stage.
inline std::int32_t TenthsToSteps(std::int64_t nTenths) { return Clamp32(nTenths * g_SubSteps * 6); }

// The sub-step count as a divisor: a stage without sub-steps moves nothing, and its
// speeds are taken per frame.
inline double StepScale() { return g_FrameScale > 0.0 ? g_FrameScale : 1.0; }
