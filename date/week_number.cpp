// Week numbers of a day.
#include "date/week_number.h"

#include "date/serial_date.h"

namespace tessaly::serial {

namespace {

// Serial of 1 January of the day's year, found from its parts so that it holds at the ends of
// the host's date range too.
double first_of_year(double day) {
  const DateParts p = to_parts(day);
  int before = 0;
  for (int m = 1; m < p.month; ++m) before += days_in_month(p.year, m);
  return day - before - (p.day - 1);
}

int iso_week(double day) {
  const int iso_weekday = (weekday(day) + 5) % 7 + 1;  // Monday 1 .. Sunday 7
  // A week belongs to the year that holds its Thursday.
  const double thursday = day - iso_weekday + 4;
  return static_cast<int>(thursday - first_of_year(thursday)) / 7 + 1;
}

int week_from_first_january(double day, int first_day_of_week) {
  const int first = first_day_of_week >= 1 && first_day_of_week <= 7 ? first_day_of_week : 1;
  const double jan1 = first_of_year(day);
  const int lead = (weekday(jan1) - first + 7) % 7;  // days of week 1 before 1 January
  return (static_cast<int>(day - jan1) + lead) / 7 + 1;
}

}  // namespace

int week_number(double serial, WeekNumbering system, int first_day_of_week) {
  const double day = day_part(serial);
  return system == WeekNumbering::Iso8601 ? iso_week(day) : week_from_first_january(day, first_day_of_week);
}

}  // namespace tessaly::serial
