// Weekend days as WORKDAY.INTL writes them.
#include "date/weekend.h"

namespace tessaly {

namespace {

// Position i of the text (0 = Monday) is weekday i + 2, Sunday wrapping round to 1.
constexpr int weekday_at(int i) { return (i + 1) % 7 + 1; }
constexpr WeekendDays bit(int weekday) { return static_cast<WeekendDays>(1u << (weekday - 1)); }

}  // namespace

std::optional<WeekendDays> ParseWeekendDays(std::string_view text) {
  if (text.size() != 7) return std::nullopt;
  WeekendDays days = 0;
  for (int i = 0; i < 7; ++i) {
    const char c = text[static_cast<std::size_t>(i)];
    if (c != '0' && c != '1') return std::nullopt;
    if (c == '1') days |= bit(weekday_at(i));
  }
  return days;
}

std::string WeekendDaysText(WeekendDays days) {
  std::string text(7, '0');
  for (int i = 0; i < 7; ++i)
    if (is_weekend(days, weekday_at(i))) text[static_cast<std::size_t>(i)] = '1';
  return text;
}

std::array<WeekendDays, 14> NumberedWeekends() {
  std::array<WeekendDays, 14> out{};
  for (int n = 0; n < 7; ++n) {
    const int saturday_on = (6 + n) % 7 + 1;  // 7 (Saturday), 1 (Sunday), 2 ...
    out[static_cast<std::size_t>(n)] = static_cast<WeekendDays>(bit(saturday_on) | bit(saturday_on % 7 + 1));
    out[static_cast<std::size_t>(7 + n)] = bit(n + 1);
  }
  return out;
}

}  // namespace tessaly
