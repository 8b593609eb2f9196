// What a screen reader is told about the calendar's day grid: its name, the weekday headers, and
// for each of the 42 cells the long date, its place, and whether it is in the month, selected,
// today or the focus day.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dual_months.h"
#include "host/locale.h"
#include "host/surface.h"

namespace tessaly::calendar {

struct AccessibleDay {
  double date = 0;
  std::string name;  // the long date of the user's locale, weekday included
  int row = 0, column = 0;
  bool in_month = true, selected = false, today = false, focused = false;
  Rect bounds;  // the cell on the control, in client pixels
};

struct AccessibleDayGrid {
  std::string name;  // the month shown, as its title reads ("February 2024")
  int rows = 6, columns = 7;
  std::array<std::string, 7> column_headers;  // full weekday names from the first day of the week
  std::vector<AccessibleDay> days;             // 42 in reading order, the first month shown only
  std::optional<std::size_t> focused;          // the focus day's index into days
  std::optional<std::size_t> selected;         // the first selected day's index into days
  bool keyboard_focus = false;                 // the day grid has the keyboard focus
};

// The first displayed month's grid as the control last laid it out; `today` is a serial date
// (its time of day is ignored).
AccessibleDayGrid DescribeDayGrid(const clsDualMonths& calendar, const LocaleData& locale, double today);

// The date as the user's locale writes it in full, with the weekday even where the locale's long
// date leaves it out ("Thursday, February 29, 2024").
std::string LongDateName(double date, const LocaleData& locale);

// Picks a day of the displayed month as a click on it does (the owner writes it); false, and
// nothing happens, for a day the month does not show.
bool PickDay(clsDualMonths& calendar, double date);

}  // namespace tessaly::calendar
