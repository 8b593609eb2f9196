// Week numbers of a day: ISO 8601, or weeks counted from the one that holds 1 January.
#pragma once

namespace tessaly {

enum class WeekNumbering {
  Iso8601 = 0,      // weeks begin on Monday; week 1 holds the year's first Thursday
  FirstJanuary = 1, // weeks begin on the given first day; week 1 holds 1 January (WEEKNUM)
};

namespace serial {

// The week number of a serial date (its time of day ignored): 1 to 53 in ISO 8601, where the
// last days of December may be week 1 and the first days of January week 52 or 53; 1 to 54 when
// counted from 1 January. first_day_of_week (1 = Sunday .. 7 = Saturday) matters for the second
// system only; outside 1..7 it is Sunday.
int week_number(double serial, WeekNumbering system, int first_day_of_week);

}  // namespace serial
}  // namespace tessaly
