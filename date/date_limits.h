// The days a cell's date rule allows: an operator of the host's validation with one or two
// limit dates, judged by whole days.
#pragma once

#include <cstdint>
#include <optional>

namespace tessaly {

// The host's comparison operators, numbered as its validation numbers them.
enum class LimitOperator : std::int32_t {
  Between = 1,
  NotBetween = 2,
  Equal = 3,
  NotEqual = 4,
  Greater = 5,
  Less = 6,
  GreaterEqual = 7,
  LessEqual = 8,
};

struct DateLimits {
  LimitOperator op = LimitOperator::Between;
  double first = 0;   // whole days
  double second = 0;  // used by Between and NotBetween only
  // Whether the day of `date` satisfies the rule (its time of day is ignored).
  bool Allows(double date) const;
  // The allowed day nearest to `date` within the host's calendar, the earlier one on a tie;
  // empty when the rule allows no day.
  std::optional<double> Nearest(double date) const;
  friend bool operator==(const DateLimits&, const DateLimits&) = default;
};

// The rule for an operator number of the host and its limit dates; empty for an unknown operator.
std::optional<DateLimits> MakeDateLimits(std::int32_t op, double first, double second);

}  // namespace tessaly
