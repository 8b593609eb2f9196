// The host's serial dates: conversion between day counts and calendar parts.
#include "date/serial_date.h"

#include <cmath>

namespace tessaly::serial {
namespace {

// Days from 1 March of year 0 (proleptic Gregorian) to the given date; exact for any year.
long long days_from_civil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

struct Civil {
  long long year;
  int month, day;
};

Civil civil_from_days(long long z) {
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (m <= 2), m, d};
}

const long long kEpoch = days_from_civil(1899, 12, 30);
constexpr long long kMinDay = -657434;  // 1 January 100
constexpr long long kMaxDay = 2958465;  // 31 December 9999

long long floor_div(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Calendar day number (0 = 30 December 1899) and seconds into that day, the time rounded to the
// nearest second. A time that rounds up to midnight moves to the next calendar day.
struct DayAndSeconds {
  long long day;
  int seconds;
};

DayAndSeconds split_serial(double value) {
  if (!std::isfinite(value)) return {0, 0};
  const double whole = std::trunc(value);
  long long day = static_cast<long long>(std::fmax(std::fmin(whole, 1e12), -1e12));
  long long secs = std::llround(std::fabs(value - whole) * 86400.0);
  if (secs >= 86400) {
    secs -= 86400;
    ++day;  // both sides of the epoch: the calendar day after
  }
  return {day, static_cast<int>(secs)};
}

}  // namespace

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

std::optional<double> from_ymd(int year, int month, int day) {
  // Carry months into years first, then let the day run over month ends.
  long long m0 = static_cast<long long>(month) - 1;
  long long y = static_cast<long long>(year) + floor_div(m0, 12);
  int m = static_cast<int>(m0 - floor_div(m0, 12) * 12) + 1;
  if (y < kMinYear - 1 || y > kMaxYear + 1) return std::nullopt;
  long long serial = days_from_civil(y, m, 1) - kEpoch + static_cast<long long>(day) - 1;
  if (serial < kMinDay || serial > kMaxDay) return std::nullopt;
  return static_cast<double>(serial);
}

double time_fraction(int hour, int minute, int second) {
  return (static_cast<double>(hour) * 3600.0 + static_cast<double>(minute) * 60.0 + second) / 86400.0;
}

double combine(double day_serial, double fraction) {
  return day_serial < 0 ? day_serial - fraction : day_serial + fraction;
}

double day_part(double value) { return std::trunc(value); }

double time_part(double value) { return std::fabs(value - std::trunc(value)); }

DateParts to_parts(double value) {
  const DayAndSeconds ds = split_serial(value);
  const Civil c = civil_from_days(ds.day + kEpoch);
  DateParts p;
  p.year = static_cast<int>(c.year);
  p.month = c.month;
  p.day = c.day;
  p.hour = ds.seconds / 3600;
  p.minute = ds.seconds / 60 % 60;
  p.second = ds.seconds % 60;
  return p;
}

int weekday(double value) {
  const long long day = split_serial(value).day;
  // Day 0 (30 December 1899) was a Saturday.
  return static_cast<int>((((day % 7) + 7) % 7 + 6) % 7) + 1;
}

std::optional<double> add_months(double value, int months) {
  if (!in_range(value)) return std::nullopt;
  const double whole = day_part(value);
  const Civil c = civil_from_days(static_cast<long long>(whole) + kEpoch);
  long long m0 = static_cast<long long>(c.month) - 1 + months;
  long long y = c.year + floor_div(m0, 12);
  int m = static_cast<int>(m0 - floor_div(m0, 12) * 12) + 1;
  if (y < kMinYear || y > kMaxYear) return std::nullopt;
  int d = c.day;
  const int last = days_in_month(static_cast<int>(y), m);
  if (d > last) d = last;
  auto day = from_ymd(static_cast<int>(y), m, d);
  if (!day) return std::nullopt;
  return combine(*day, time_part(value));
}

bool in_range(double value) {
  if (!std::isfinite(value)) return false;
  const double whole = std::trunc(value);
  return whole >= static_cast<double>(kMinDay) && whole <= static_cast<double>(kMaxDay);
}

}  // namespace tessaly::serial
