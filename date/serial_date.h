// The host's serial dates: days from 30 December 1899, the time of day as the fraction.
#pragma once

#include <optional>

namespace tessaly {

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

namespace serial {

inline constexpr int kMinYear = 100;
inline constexpr int kMaxYear = 9999;
// The host's cells hold no date before 1 January 1900.
inline constexpr int kFirstCellYear = 1900;

// Serial of a calendar day at midnight. Month and day overflow carry as the host's DateSerial
// does (February 31 is March 3 in a common year, month 13 is January of the next year, day 0 is
// the last day of the previous month). Empty when the result lies outside years 100 to 9999.
std::optional<double> from_ymd(int year, int month, int day);

// Time of day as a fraction of a day; hours, minutes and seconds carry likewise.
double time_fraction(int hour, int minute, int second);

// Combines a day and a time of day with the automation convention: for days before
// 30 December 1899 the whole part is negative and the time fraction still counts forward.
double combine(double day_serial, double time_fraction);

// Whole day and time of day of a serial date, undoing combine().
double day_part(double serial);
double time_part(double serial);

// Calendar parts of a serial date (time rounded to the nearest second, as the host shows it).
DateParts to_parts(double serial);

// 1 = Sunday .. 7 = Saturday.
int weekday(double serial);

// Adds months keeping the day where possible and clamping it to the month's end
// (31 January + 1 month = 28 or 29 February); the time of day is kept.
std::optional<double> add_months(double serial, int months);

bool is_leap_year(int year);
int days_in_month(int year, int month);

// True when the serial lies in years 100 to 9999.
bool in_range(double serial);

}  // namespace serial
}  // namespace tessaly
