// Rounding to whole pixels: the nearest whole number, a half going to the even neighbour.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace tessaly {

// Saturates at the 32-bit range and takes NaN to 0, so a nonsense input never becomes undefined
// behaviour.
inline std::int32_t RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

}  // namespace tessaly
