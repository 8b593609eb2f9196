// The days of the week that make a weekend, as WORKDAY.INTL writes them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// Bit (weekday - 1) for each weekend day, weekdays numbered 1 = Sunday .. 7 = Saturday.
using WeekendDays = std::uint8_t;
inline constexpr WeekendDays kSaturdaySunday = 0b1000001;

constexpr bool is_weekend(WeekendDays days, int weekday) {
  return weekday >= 1 && weekday <= 7 && ((days >> (weekday - 1)) & 1) != 0;
}

// WORKDAY.INTL's weekend text: seven '0' or '1' from Monday to Sunday, 1 for a day off
// ("0000011" is Saturday and Sunday). Empty for any other text.
std::optional<WeekendDays> ParseWeekendDays(std::string_view text);
std::string WeekendDaysText(WeekendDays days);

// The weekends WORKDAY.INTL numbers: two days (1 Saturday and Sunday .. 7 Friday and Saturday),
// then one (11 Sunday only .. 17 Saturday only).
std::array<WeekendDays, 14> NumberedWeekends();

}  // namespace tessaly
