// The days a cell's date rule allows, and where the calendar opens when the cell's date is refused.
#include "date/date_limits.h"

#include <gtest/gtest.h>

#include <string>

#include "date/serial_date.h"

namespace tessaly {
namespace {

double sep(int d) { return *serial::from_ymd(2024, 9, d); }

// Each operator over September 2024, limits the 10th and the 20th: the days allowed, as a string
// of 30 marks, and the day nearest the 15th.
TEST(date_limits, each_operator_allows_its_days) {
  struct Case {
    int op;
    const char* days;  // '1' allowed, from the 1st
    double nearest_15;
  };
  const Case cases[] = {
      {1, "000000000111111111110000000000", sep(15)},
      {2, "111111111000000000001111111111", sep(9)},
      {3, "000000000100000000000000000000", sep(10)},
      {4, "111111111011111111111111111111", sep(15)},
      {5, "000000000011111111111111111111", sep(15)},
      {6, "111111111000000000000000000000", sep(9)},
      {7, "000000000111111111111111111111", sep(15)},
      {8, "111111111100000000000000000000", sep(10)},
  };
  for (const Case& c : cases) {
    const auto limits = MakeDateLimits(c.op, sep(10) + 0.75, sep(20));
    ASSERT_TRUE(limits) << c.op;
    std::string days;
    for (int d = 1; d <= 30; ++d) days += limits->Allows(sep(d) + 0.5) ? '1' : '0';
    EXPECT_EQ(days, c.days) << c.op;
    EXPECT_EQ(limits->Nearest(sep(15) + 0.5), c.nearest_15) << c.op;
  }
  EXPECT_FALSE(MakeDateLimits(0, sep(10), sep(20)));
  EXPECT_FALSE(MakeDateLimits(9, sep(10), sep(20)));
}

TEST(date_limits, nearest_allowed_day) {
  const DateLimits between{LimitOperator::Between, sep(10), sep(20)};
  EXPECT_EQ(between.Nearest(*serial::from_ymd(2023, 1, 1)), sep(10));
  EXPECT_EQ(between.Nearest(*serial::from_ymd(2025, 1, 1)), sep(20));
  // Not equal to the day itself: the day before, on a tie.
  EXPECT_EQ((DateLimits{LimitOperator::NotEqual, sep(15), 0}).Nearest(sep(15)), sep(14));
  // A range the wrong way round allows nothing.
  EXPECT_FALSE((DateLimits{LimitOperator::Between, sep(20), sep(10)}).Nearest(sep(15)));
  // Past the end of the host's calendar nothing is offered.
  const double last = *serial::from_ymd(9999, 12, 31);
  EXPECT_FALSE((DateLimits{LimitOperator::Greater, last, 0}).Nearest(sep(15)));
}

}  // namespace
}  // namespace tessaly
