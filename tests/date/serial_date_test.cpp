// Serial dates: calendar conversion, the convention before 1899, month arithmetic.
#include "date/serial_date.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tessaly {
namespace {

// A date's parts as one value that compares and prints.
std::tuple<int, int, int, int, int, int> Fields(const DateParts& p) {
  return {p.year, p.month, p.day, p.hour, p.minute, p.second};
}

struct YmdCase {
  int y, m, d;
  double serial;
};

TEST(serial_date, from_ymd_known_days) {
  const YmdCase cases[] = {
      {1899, 12, 30, 0},       {1899, 12, 31, 1},      {1900, 1, 1, 2},        {1900, 2, 28, 60},
      {1900, 3, 1, 61},        {2000, 1, 1, 36526},    {2000, 2, 29, 36585},   {2011, 1, 5, 40548},
      {1899, 12, 29, -1},      {1800, 1, 1, -36522},   {100, 1, 1, -657434},   {9999, 12, 31, 2958465},
      {2024, 2, 29, 45351},    {1970, 1, 1, 25569},
  };
  for (const auto& c : cases) {
    auto s = serial::from_ymd(c.y, c.m, c.d);
    ASSERT_TRUE(s) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(*s, c.serial) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(Fields(serial::to_parts(c.serial)), Fields({c.y, c.m, c.d}));
  }
}

TEST(serial_date, from_ymd_carries_like_date_serial) {
  const YmdCase cases[] = {
      {2021, 2, 31, *serial::from_ymd(2021, 3, 3)},  {2020, 2, 31, *serial::from_ymd(2020, 3, 2)},
      {2020, 13, 1, *serial::from_ymd(2021, 1, 1)},  {2020, 0, 1, *serial::from_ymd(2019, 12, 1)},
      {2020, 3, 0, *serial::from_ymd(2020, 2, 29)},  {2020, 1, -1, *serial::from_ymd(2019, 12, 30)},
      {2020, -11, 1, *serial::from_ymd(2019, 1, 1)}, {2020, 1, 366, *serial::from_ymd(2020, 12, 31)},
  };
  for (const auto& c : cases) EXPECT_EQ(serial::from_ymd(c.y, c.m, c.d), c.serial) << c.y << "/" << c.m << "/" << c.d;
}

TEST(serial_date, from_ymd_refuses_out_of_range) {
  const int cases[][3] = {{99, 12, 31},  {10000, 1, 1},           {9999, 12, 32},
                          {100, 1, 0},   {2000, 2147483647, 1},   {2000, 1, -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_FALSE(serial::from_ymd(c[0], c[1], c[2])) << c[0] << "/" << c[1] << "/" << c[2];
}

struct PartsCase {
  double serial;
  DateParts parts;
  int weekday;
};

TEST(serial_date, parts_and_weekday) {
  const PartsCase cases[] = {
      {0.0, {1899, 12, 30, 0, 0, 0}, 7},
      {0.5, {1899, 12, 30, 12, 0, 0}, 7},
      {-0.5, {1899, 12, 30, 12, 0, 0}, 7},
      {-1.25, {1899, 12, 29, 6, 0, 0}, 6},
      {-1.75, {1899, 12, 29, 18, 0, 0}, 6},
      {1.0, {1899, 12, 31, 0, 0, 0}, 1},
      {40548.75, {2011, 1, 5, 18, 0, 0}, 4},
      {40548.0 + 3.0 / 24 + 15.0 / 1440 + 30.0 / 86400, {2011, 1, 5, 3, 15, 30}, 4},
      {40548.999999999, {2011, 1, 6, 0, 0, 0}, 5},  // rounds to midnight
      {-1.999999999, {1899, 12, 30, 0, 0, 0}, 7},
      {2958465.5, {9999, 12, 31, 12, 0, 0}, 6},
      {-657434.0, {100, 1, 1, 0, 0, 0}, 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Fields(serial::to_parts(c.serial)), Fields(c.parts)) << c.serial;
    EXPECT_EQ(serial::weekday(c.serial), c.weekday) << c.serial;
  }
}

TEST(serial_date, combine_counts_time_forward_before_epoch) {
  EXPECT_DOUBLE_EQ(serial::combine(-1, 0.25), -1.25);
  EXPECT_DOUBLE_EQ(serial::combine(40548, 0.25), 40548.25);
  EXPECT_DOUBLE_EQ(serial::combine(0, 0.25), 0.25);
  EXPECT_DOUBLE_EQ(serial::day_part(-1.25), -1);
  EXPECT_DOUBLE_EQ(serial::time_part(-1.25), 0.25);
  EXPECT_DOUBLE_EQ(serial::time_fraction(6, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(serial::time_fraction(0, 90, 0), 1.5 / 24);
}

struct MonthsCase {
  int y, m, d, add;
  int ey, em, ed;
};

TEST(serial_date, add_months_clamps_day) {
  const MonthsCase cases[] = {
      {2021, 1, 31, 1, 2021, 2, 28},  {2020, 1, 31, 1, 2020, 2, 29},   {2020, 3, 31, -1, 2020, 2, 29},
      {2020, 12, 15, 1, 2021, 1, 15}, {2020, 1, 15, -1, 2019, 12, 15}, {2020, 5, 31, 1, 2020, 6, 30},
      {2020, 2, 29, 12, 2021, 2, 28}, {2020, 1, 1, -24, 2018, 1, 1},   {1899, 12, 29, 1, 1900, 1, 29},
  };
  for (const auto& c : cases) {
    auto r = serial::add_months(*serial::from_ymd(c.y, c.m, c.d), c.add);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, *serial::from_ymd(c.ey, c.em, c.ed)) << c.y << "-" << c.m << "-" << c.d << " + " << c.add;
  }
  // The time of day stays, also before the epoch.
  EXPECT_EQ(Fields(serial::to_parts(serial::add_months(-1.25, -1).value_or(0))), Fields({1899, 11, 29, 6}));
  EXPECT_FALSE(serial::add_months(2958465, 1));
  EXPECT_FALSE(serial::add_months(-657434, -1));
}

TEST(serial_date, range_and_month_lengths) {
  for (const auto& [v, in] : {std::pair{-657434.9, true}, {-657435.0, false}, {2958465.99, true}, {2958466.0, false},
                              {1.0 / 0.0, false}})
    EXPECT_EQ(serial::in_range(v), in) << v;
  EXPECT_TRUE(serial::is_leap_year(2000));
  EXPECT_FALSE(serial::is_leap_year(1900));
  EXPECT_EQ(serial::days_in_month(2100, 2), 28);
  EXPECT_EQ(serial::days_in_month(2024, 2), 29);
  EXPECT_EQ(serial::days_in_month(2024, 13), 0);
}

}  // namespace
}  // namespace tessaly
