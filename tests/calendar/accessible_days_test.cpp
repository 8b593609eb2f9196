// What a screen reader is told about the day grid: names, headers, places, states, and a pick.
#include "calendar/accessible_days.h"

#include <gtest/gtest.h>

#include "tests/calendar/control_world.h"

namespace tessaly::calendar {
namespace {

using testing::sep;
using testing::World;
using testing::ymd;

TEST(AccessibleDays, FortyTwoLongDatesWithTheirPlacesAndStates) {
  World w;  // today: 18 September 2024
  w.show(sep(1));
  w.cal.SelectDay(sep(10));
  w.cal.set_FocusDate(sep(12));
  w.cal.RebuildImage();
  const AccessibleDayGrid g = DescribeDayGrid(w.cal, LocaleData::us_english(), w.clock.now());
  EXPECT_EQ(g.name, "September 2024");
  ASSERT_EQ(g.days.size(), 42u);
  EXPECT_EQ(std::tuple(g.rows * g.columns, g.keyboard_focus, g.selected, g.focused), std::tuple(42, false, 16u, 18u));
  const AccessibleDay& tenth = g.days[16];
  EXPECT_EQ(tenth.name, "Tuesday, September 10, 2024");
  EXPECT_EQ(std::pair(tenth.row, tenth.column), std::pair(2, 2));
  const clsDateItem& cell = w.day(sep(10));
  EXPECT_EQ(tenth.bounds, (Rect{cell.Left(), cell.TOp(), cell.Right(), cell.Bottom()}));
  int selected = 0, today = 0, focused = 0, in_month = 0;
  for (const AccessibleDay& d : g.days) selected += d.selected, today += d.today, focused += d.focused, in_month += d.in_month;
  EXPECT_EQ(std::tuple(selected, today, focused, in_month), std::tuple(1, 1, 1, 30));
  EXPECT_TRUE(g.days[7 + 17].today);
  EXPECT_EQ(g.days[41].name, "Saturday, October 5, 2024");
  w.picture.gain_focus();
  EXPECT_TRUE(DescribeDayGrid(w.cal, LocaleData::us_english(), w.clock.now()).keyboard_focus);
}

TEST(AccessibleDays, HeadersAndFirstCellFollowTheFirstDayOfTheWeek) {
  const struct {
    int first_day;  // out of range counts as Sunday, as the drawing does
    const char *header0, *header6, *cell0;
  } cases[] = {
      {1, "Sunday", "Saturday", "Sunday, January 28, 2024"},
      {2, "Monday", "Sunday", "Monday, January 29, 2024"},
      {7, "Saturday", "Friday", "Saturday, January 27, 2024"},
      {0, "Sunday", "Saturday", "Sunday, January 28, 2024"},
      {9, "Sunday", "Saturday", "Sunday, January 28, 2024"},
  };
  for (const auto& c : cases) {
    World w;
    w.cal.set_FirstDayOfWeek(c.first_day);
    w.show(ymd(2024, 2, 29));
    const AccessibleDayGrid g = DescribeDayGrid(w.cal, LocaleData::us_english(), w.clock.now());
    EXPECT_EQ(std::tuple(g.name, g.column_headers[0], g.column_headers[6], g.days.at(0).name),
              std::tuple("February 2024", c.header0, c.header6, c.cell0)) << c.first_day;
    EXPECT_FALSE(g.focused || g.selected) << c.first_day;
  }
}

TEST(AccessibleDays, TheLongDateAlwaysNamesTheWeekday) {
  LocaleData no_weekday = LocaleData::us_english();
  no_weekday.long_date_pattern = "d MMMM yyyy";
  EXPECT_EQ(LongDateName(ymd(2024, 2, 29) + 0.75, LocaleData::us_english()), "Thursday, February 29, 2024");
  EXPECT_EQ(LongDateName(ymd(2024, 2, 29), no_weekday), "Thursday, 29 February 2024");
}

TEST(AccessibleDays, PickingWritesADayOfTheMonthOnly) {
  World w;
  w.show(sep(1));
  EXPECT_FALSE(PickDay(w.cal, ymd(2024, 8, 31))) << "a grey day of August is not clickable either";
  EXPECT_TRUE(w.clicked.empty());
  EXPECT_TRUE(PickDay(w.cal, sep(20)));
  EXPECT_EQ(w.clicked, std::vector<double>{sep(20)});
  EXPECT_EQ(w.selected(), std::vector<double>{sep(20)});
}

// A day the cell's rule refuses is told as a grey day: unavailable, without an action to invoke.
TEST(AccessibleDays, ADayTheCellRefusesIsUnavailable) {
  World w;
  w.cal.set_Limits(DateLimits{LimitOperator::GreaterEqual, sep(10), 0});
  w.show(sep(1));
  DayGridAccessible grid(w.cal, LocaleData::us_english(), w.clock);
  const int ninth = 7 + 8, tenth = 7 + 9;
  EXPECT_EQ(grid.Child(ninth).states, acc_state::kUnavailable);
  EXPECT_NE(grid.Child(tenth).states & acc_state::kSelectable, 0u);
  grid.DoDefaultAction(ninth);
  EXPECT_FALSE(PickDay(w.cal, sep(9)));
  EXPECT_TRUE(w.clicked.empty());
  grid.DoDefaultAction(tenth);
  EXPECT_EQ(w.clicked, std::vector<double>{sep(10)});
}

// A marked day says so after its date; the week its row shows is part of its description.
TEST(AccessibleDays, MarksInTheNameAndTheWeekInTheDescription) {
  World w;  // today: 18 September 2024
  w.cal.set_MarkWeekends(true);
  w.cal.set_Holidays({sep(14), sep(16), ymd(2024, 8, 31)});
  w.show(sep(1));
  DayGridAccessible grid(w.cal, LocaleData::us_english(), w.clock);
  const auto said = [&](int index) {
    const AccessibleElement e = grid.Child(index);
    return e.name + " | " + e.description;
  };
  // 31 August, a grey Saturday, is told as it is drawn: unmarked.
  EXPECT_EQ(said(6), "Saturday, August 31, 2024 | ");
  EXPECT_EQ(said(7 + 13), "Saturday, September 14, 2024, weekend, holiday | ");
  EXPECT_EQ(said(7 + 15), "Monday, September 16, 2024, holiday | ");
  EXPECT_EQ(said(7 + 17), "Wednesday, September 18, 2024 | Today");
  w.cal.set_ShowWeekNumbers(true);
  w.cal.RebuildImage();
  EXPECT_EQ(said(7 + 17), "Wednesday, September 18, 2024 | Today, week 38");
  EXPECT_EQ(said(7 + 14), "Sunday, September 15, 2024, weekend | Week 38");
}

}  // namespace
}  // namespace tessaly::calendar
