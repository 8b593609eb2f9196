// The days a date rule allows, and the allowed day nearest to another.
#include "date/date_limits.h"

#include <cmath>

#include "date/serial_date.h"

namespace tessaly {

bool DateLimits::Allows(double date) const {
  const double d = serial::day_part(date);
  switch (op) {
    case LimitOperator::Between: return d >= first && d <= second;
    case LimitOperator::NotBetween: return d < first || d > second;
    case LimitOperator::Equal: return d == first;
    case LimitOperator::NotEqual: return d != first;
    case LimitOperator::Greater: return d > first;
    case LimitOperator::Less: return d < first;
    case LimitOperator::GreaterEqual: return d >= first;
    case LimitOperator::LessEqual: return d <= first;
  }
  return true;
}

std::optional<double> DateLimits::Nearest(double date) const {
  const double d = serial::day_part(date);
  if (serial::in_range(d) && Allows(d)) return d;
  // Where allowed days begin or end lies next to a limit or to the day itself.
  const double candidates[] = {first - 1, first, first + 1, second - 1, second, second + 1, d - 1, d + 1};
  std::optional<double> best;
  for (const double c : candidates) {
    if (!serial::in_range(c) || !Allows(c)) continue;
    if (!best || std::abs(c - d) < std::abs(*best - d) || (std::abs(c - d) == std::abs(*best - d) && c < *best)) best = c;
  }
  return best;
}

std::optional<DateLimits> MakeDateLimits(std::int32_t op, double first, double second) {
  if (op < 1 || op > 8) return std::nullopt;
  return DateLimits{static_cast<LimitOperator>(op), serial::day_part(first), serial::day_part(second)};
}

}  // namespace tessaly
