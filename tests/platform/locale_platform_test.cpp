// The platform's locale as the date engine reads it: complete, consistent, and understood by the
// formatter and the parser.
#include <gtest/gtest.h>

#include <set>

#include "date/date_format.h"
#include "date/date_parse.h"
#include "date/serial_date.h"
#include "host/platform_settings.h"

namespace tessaly {
namespace {

TEST(PlatformLocale, NamesArePresentDistinctAndFormatted) {
  const LocaleData d = MakeLocale()->user_default();
  const std::set<std::string> months(d.month_names.begin(), d.month_names.end());
  const std::set<std::string> days(d.day_names.begin(), d.day_names.end());
  EXPECT_EQ(months.size(), 12u);
  EXPECT_EQ(days.size(), 7u);
  for (const std::string& s : d.month_abbreviations) EXPECT_FALSE(s.empty());
  for (const std::string& s : d.day_abbreviations) EXPECT_FALSE(s.empty());
  EXPECT_FALSE(d.short_date_pattern.empty());
  EXPECT_FALSE(d.date_separator.empty());
  EXPECT_FALSE(d.time_separator.empty());

  // The formatter shows them on the right months and weekdays: 4 January 2026 was a Sunday.
  for (int m = 1; m <= 12; ++m) {
    const double day = *serial::from_ymd(2026, m, 4);
    EXPECT_EQ(FormatDateValue(day, "mmmm", d), d.month_names[static_cast<std::size_t>(m - 1)]) << m;
    EXPECT_EQ(FormatDateValue(day, "mmm", d), d.month_abbreviations[static_cast<std::size_t>(m - 1)]) << m;
  }
  for (int k = 0; k < 7; ++k) {
    const double day = *serial::from_ymd(2026, 1, 4 + k);
    EXPECT_EQ(FormatDateValue(day, "dddd", d), d.day_names[static_cast<std::size_t>(k)]) << k;
  }
}

// What the formatter writes in the locale's own short date, the parser reads back.
TEST(PlatformLocale, ShortDateRoundTrips) {
  const LocaleData d = MakeLocale()->user_default();
  const double day = *serial::from_ymd(2026, 11, 23);
  const auto text = FormatDateValue(day, "dd/mm/yyyy", d);
  ASSERT_TRUE(text.has_value());
  // The locale's order decides how the numeric text reads; a day above 12 cannot be a month.
  const auto back = ParseDateText(*text, d, 2026);
  ASSERT_TRUE(back.has_value()) << *text << " in " << d.short_date_pattern;
  EXPECT_EQ(*back, day);
}

}  // namespace
}  // namespace tessaly
