// The tag's built-in 16 by 16 calendar icon, drawn when no icon file could be loaded.
#pragma once

#include <array>
#include <cstdint>

namespace tessaly {

inline constexpr int kCalendarIconSize = 16;

// Pixels row by row from the top-left, 0xAARRGGBB; alpha 0 is transparent.
const std::array<std::uint32_t, kCalendarIconSize * kCalendarIconSize>& BuiltinCalendarIcon();

}  // namespace tessaly
