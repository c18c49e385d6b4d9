// Numbers read from files that are not finite ("nan", "inf", a value
// beyond float's range, or such bits in a binary file) are replaced before
// they reach the scene: one of them would spread through every normal,
// box and matrix computed from it.
#pragma once

#include <cmath>
#include <span>

namespace modra {

inline float FiniteOr(float v, float fallback) {
  return std::isfinite(v) ? v : fallback;
}

inline void ReplaceNonFinite(std::span<float> values, float fallback = 0.0f) {
  for (float& v : values)
    v = FiniteOr(v, fallback);
}

inline bool AllFinite(std::span<const float> values) {
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace modra
