// Weekend days in WORKDAY.INTL's text and numbering.
#include "date/weekend.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(weekend, text_runs_from_monday_to_sunday) {
  EXPECT_EQ(ParseWeekendDays("0000011"), kSaturdaySunday);
  const WeekendDays friday_saturday = *ParseWeekendDays("0000110");
  EXPECT_TRUE(is_weekend(friday_saturday, 6) && is_weekend(friday_saturday, 7) && !is_weekend(friday_saturday, 1));
  EXPECT_EQ(WeekendDaysText(friday_saturday), "0000110");
  EXPECT_EQ(WeekendDaysText(*ParseWeekendDays("1000000")), "1000000");
  for (const char* bad : {"", "000011", "00000110", "0000012", "000001 "}) EXPECT_FALSE(ParseWeekendDays(bad)) << bad;
}

TEST(weekend, numbered_as_workday_intl_numbers_them) {
  const auto w = NumberedWeekends();
  const char* expected[] = {"0000011", "1000001", "1100000", "0110000", "0011000", "0001100", "0000110",
                            "0000001", "1000000", "0100000", "0010000", "0001000", "0000100", "0000010"};
  for (std::size_t i = 0; i < w.size(); ++i) EXPECT_EQ(WeekendDaysText(w[i]), expected[i]) << i;
}

}  // namespace
}  // namespace tessaly
