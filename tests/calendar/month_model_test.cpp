// Month grid and day collection of the calendar control.
#include "calendar/month_model.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <tuple>

#include <gtest/gtest.h>

#include "calendar/rebuild_image.h"
#include "tests/calendar/control_world.h"

namespace tessaly::calendar {
namespace {

using testing::FixedClock;
using testing::ymd;

struct GridCase {
  const char* name;
  int year, month, first_day_of_week;
  int last_day;          // day number of the month's last day
  double grid_start;     // first date shown in the six-week grid
  int grid_start_day;    // 0 when the month begins on the first day of the week
  int prev_month_last;   // -1 in that case
};

TEST(MonthGrid, StartsAndEndsWhereTheWeekSays) {
  const GridCase cases[] = {
      // 1 Sep 2024 is a Sunday: with Sunday first, a whole week of August comes before it.
      {"sunday_start_on_sunday", 2024, 9, 1, 30, ymd(2024, 8, 25), 0, -1},
      {"sunday_start_on_monday", 2024, 9, 2, 30, ymd(2024, 8, 26), 26, 31},
      // 1 Jan 2024 is a Monday; December of the year before fills the first row.
      {"january_monday_first", 2024, 1, 2, 31, ymd(2023, 12, 25), 0, -1},
      {"january_sunday_first", 2024, 1, 1, 31, ymd(2023, 12, 31), 31, 31},
      {"leap_february", 2024, 2, 1, 29, ymd(2024, 1, 28), 28, 31},
      {"common_february", 2023, 2, 1, 28, ymd(2023, 1, 29), 29, 31},
      {"century_not_leap", 1900, 2, 1, 28, ymd(1900, 1, 28), 28, 31},
      {"bad_first_day_means_sunday", 2024, 9, 9, 30, ymd(2024, 8, 25), 0, -1},
      // February 2015 begins on a Sunday and has exactly four weeks.
      {"four_week_february", 2015, 2, 1, 28, ymd(2015, 1, 25), 0, -1},
      {"saturday_first", 2024, 9, 7, 30, ymd(2024, 8, 31), 31, 31},
  };
  const FixedClock clock(ymd(2024, 6, 15));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    clsDateVars vars(clock);
    double date = ymd(c.year, c.month, 17) + 0.25;
    vars.SetMonth(date, c.first_day_of_week);
    EXPECT_EQ(std::tuple(vars.FirstDayOfMonth(), vars.LastDayOfMonth(), vars.GridStartDate(), vars.GridStartDay(),
                         vars.PrevMonthLastDay()),
              std::tuple(ymd(c.year, c.month, 1), ymd(c.year, c.month, c.last_day), c.grid_start, c.grid_start_day,
                         c.prev_month_last));
    // The six weeks drawn: the days before the month, the month's own, the days after it.
    const auto grid = month_grid(vars);
    int counts[3] = {0, 0, 0};
    for (const GridDay& g : grid) ++counts[static_cast<int>(g.period)];
    const int pre = static_cast<int>(ymd(c.year, c.month, 1) - c.grid_start);
    EXPECT_EQ(std::tuple(counts[0], counts[1], counts[2]), std::tuple(pre, c.last_day, 42 - pre - c.last_day));
    EXPECT_EQ(grid[0].date, c.grid_start);
    EXPECT_EQ(grid[41].date, c.grid_start + 41);
    EXPECT_EQ(grid[static_cast<std::size_t>(pre)].date, ymd(c.year, c.month, 1));
  }
}

TEST(MonthGrid, NonDateBecomesToday) {
  const FixedClock clock(ymd(2024, 6, 15) + 0.75);
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                        -1e9, 1e9};
  for (double b : bad) {
    clsDateVars vars(clock);
    double date = b;
    vars.SetMonth(date, 1);
    EXPECT_EQ(date, ymd(2024, 6, 15)) << b;
    EXPECT_EQ(vars.FirstDayOfMonth(), ymd(2024, 6, 1)) << b;
  }
}

TEST(DayCollection, KeysOrderAndRefusals) {
  clsDateItems items;
  items.Add(ymd(2024, 2, 29));
  items.Add(ymd(2024, 3, 1) + 0.5);
  items.Add(ymd(2024, 3, 2));
  EXPECT_EQ(items.FormatKey(ymd(2024, 2, 29)), "29 Feb 2024");
  EXPECT_EQ(items.FormatKey(ymd(100, 1, 5)), "05 Jan 0100");
  EXPECT_TRUE(items.Exists("01 Mar 2024"));
  EXPECT_EQ(items.Item(2).DateTime(), ymd(2024, 3, 1) + 0.5);
  EXPECT_THROW(items.Add(ymd(2024, 3, 1)), std::invalid_argument);
  EXPECT_EQ(items.count(), 3u);
  EXPECT_THROW(items.Item(0), std::out_of_range);
  EXPECT_THROW(items.Item(4), std::out_of_range);
  EXPECT_THROW(items.Item("31 Feb 2024"), std::out_of_range);

  items.Remove(1);
  ASSERT_EQ(items.count(), 2u);
  EXPECT_FALSE(items.Exists("29 Feb 2024"));
  // Keys still find the right items after the positions moved.
  EXPECT_EQ(items.Item("02 Mar 2024").DateTime(), ymd(2024, 3, 2));
  items.Remove("01 Mar 2024");
  EXPECT_EQ(items.Item(1).DateTime(), ymd(2024, 3, 2));
  items.Clear();
  EXPECT_EQ(items.count(), 0u);
  EXPECT_FALSE(items.Exists(1));
}

TEST(DayMarks, WeekendsWhenAskedAndHolidaysByDay) {
  const WeekendDays friday_saturday = *ParseWeekendDays("0000110");
  clsDayMarks marks;
  // 2024-03-14 is a Thursday: Thursday to Sunday under a Friday-Saturday weekend.
  const double thu = ymd(2024, 3, 14);
  const auto weekends = [&] {
    std::string seen;
    for (int i = 0; i < 4; ++i) seen += marks.Of(thu + i + 0.5).weekend ? '1' : '0';
    return seen;
  };
  EXPECT_EQ(weekends(), "0000") << "no weekend marked until asked for";
  marks.SetWeekend(true, friday_saturday);
  EXPECT_EQ(weekends(), "0110");
  marks.SetWeekend(true, kSaturdaySunday);
  EXPECT_EQ(weekends(), "0011");
  marks.SetWeekend(false, kSaturdaySunday);
  EXPECT_EQ(weekends(), "0000");

  // Holidays count by day, in any order, with any time of day, given twice.
  marks.SetHolidays({ymd(2024, 12, 25) + 0.25, ymd(2024, 1, 1), ymd(2024, 12, 25)});
  EXPECT_EQ(marks.Holidays(), (std::vector<double>{ymd(2024, 1, 1), ymd(2024, 12, 25)}));
  EXPECT_EQ(marks.Of(ymd(2024, 12, 25) + 0.9), (DayMarks{false, true}));
  EXPECT_EQ(marks.Of(ymd(2024, 12, 24)), (DayMarks{false, false}));
}

TEST(DayMarks, RowWeekNumberIsTheWeekMostOfTheRowBelongsTo) {
  struct Case {
    double row_start;
    WeekNumbering system;
    int first_day, week;
  };
  constexpr auto Iso = WeekNumbering::Iso8601;
  constexpr auto Jan1 = WeekNumbering::FirstJanuary;
  const Case cases[] = {
      // Sunday 3 January 2021 ends ISO week 53, but its row from Sunday is mostly week 1.
      {ymd(2021, 1, 3), Iso, 1, 1}, {ymd(2020, 12, 28), Iso, 2, 53}, {ymd(2021, 1, 4), Iso, 2, 1},
      {ymd(2026, 12, 27), Iso, 1, 53}, {ymd(2026, 12, 26), Iso, 7, 53}, {ymd(2026, 12, 19), Iso, 7, 52},
      // From 1 January: the row that holds it is week 1.
      {ymd(2020, 12, 27), Jan1, 1, 1}, {ymd(2020, 12, 20), Jan1, 1, 52}, {ymd(2021, 1, 3), Jan1, 1, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(RowWeekNumber(c.row_start, c.system, c.first_day), c.week) << c.row_start;
}

}  // namespace
}  // namespace tessaly::calendar
