// Week numbers around the turn of the year, in both systems.
#include "date/week_number.h"

#include <gtest/gtest.h>

#include "date/serial_date.h"

namespace tessaly {
namespace {

struct WeekCase {
  int y, m, d;
  WeekNumbering system;
  int first_day;  // 1 = Sunday, 2 = Monday
  int week;
};

TEST(week_number, turn_of_the_year) {
  constexpr auto Iso = WeekNumbering::Iso8601;
  constexpr auto Jan1 = WeekNumbering::FirstJanuary;
  const WeekCase cases[] = {
      // 2020 has 53 ISO weeks; 3 January 2021, a Sunday, is still in its last.
      {2020, 12, 31, Iso, 1, 53}, {2021, 1, 3, Iso, 1, 53}, {2021, 1, 4, Iso, 1, 1},
      // 2026 begins on a Thursday: 53 weeks, the last from Monday 28 December to 3 January 2027.
      {2026, 12, 28, Iso, 1, 53}, {2027, 1, 3, Iso, 2, 53}, {2027, 1, 4, Iso, 1, 1},
      // The last Monday of 2008 begins week 1 of 2009.
      {2008, 12, 29, Iso, 1, 1}, {2024, 2, 29, Iso, 1, 9},
      // Counted from 1 January: the week that holds it is week 1, whatever day it falls on.
      {2020, 12, 31, Jan1, 1, 53}, {2021, 1, 1, Jan1, 1, 1}, {2021, 1, 2, Jan1, 1, 1}, {2021, 1, 3, Jan1, 1, 2},
      {2021, 1, 3, Jan1, 2, 1},  {2021, 1, 4, Jan1, 2, 2},
      {2026, 12, 28, Jan1, 1, 53}, {2026, 12, 28, Jan1, 2, 53}, {2027, 1, 1, Jan1, 2, 1},
      // A leap year that begins on a Saturday reaches week 54 on its last Sunday.
      {2000, 12, 31, Jan1, 1, 54}, {2000, 1, 1, Jan1, 1, 1}, {2000, 1, 2, Jan1, 1, 2},
      // The ends of the host's range.
      {9999, 12, 31, Iso, 1, 52}, {100, 1, 1, Iso, 1, 53}, {100, 1, 1, Jan1, 1, 1},
  };
  for (const WeekCase& c : cases)
    EXPECT_EQ(serial::week_number(*serial::from_ymd(c.y, c.m, c.d) + 0.75, c.system, c.first_day), c.week)
        << c.y << "-" << c.m << "-" << c.d << " system " << static_cast<int>(c.system) << " first " << c.first_day;
}

}  // namespace
}  // namespace tessaly
