// The date predicates over real options, the real formatter and the real parser.
#include "core/date_predicates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "date/serial_date.h"
#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/memory_services.h"

namespace tessaly {
namespace {

double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return serial::combine(*serial::from_ymd(y, mo, d), serial::time_fraction(h, mi, s));
}

class DatePredicatesTest : public ::testing::Test {
 protected:
  DatePredicatesTest() {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, mem.services());
    mem.clock.serial = At(2026, 3, 5, 14, 7, 9);
  }
  DatePredicates judge() const { return DatePredicates(*m.RegMan, m.FormatDelimiter, LocaleData::us_english(), mem.clock); }
  void set(opt::Index i, const Variant& v) { m.RegMan->Value(i, v); }
  bool format(const std::string& f) const { return judge().IsDateFormat(Variant::text(f)); }

  sim::MemoryServices mem;
  mVantry m;
};

struct FormatCase {
  const char* format;
  bool with_time_allowed;
  bool without_time;
};

TEST_F(DatePredicatesTest, formats_shown_through_this_moment) {
  const FormatCase cases[] = {
      {"General", false, false},      {"@", true, false},           {"0.00", false, false},
      {"#,##0", false, false},        {"h:mm", false, false},        {"hh:mm:ss AM/PM", false, false},
      {"dd/mm/yyyy", true, true},     {"mmm-yy", true, true},        {"DDDD", true, true},
      {"ddd", true, true},            {"d mmm yyyy", true, true},    {"mmmm yyyy", true, true},
      {"m/d/yyyy", true, true},       {"[$-409]mmmm d, yyyy", true, true},
      {"m/d/yyyy h:mm", true, false}, {"yyyy-mm-dd hh:mm:ss", true, false},
      {"", false, false},             {"\"unbalanced", false, false},
  };
  for (bool allowed : {true, false}) {
    set(opt::DateCanContainTime, Variant::boolean(allowed));
    for (const auto& c : cases)
      EXPECT_EQ(format(c.format), allowed ? c.with_time_allowed : c.without_time)
          << '"' << c.format << "\" with times " << (allowed ? "allowed" : "refused");
  }
  // Times still refused: at midnight the time part is zero, so a date-time format shows a date.
  mem.clock.serial = At(2026, 3, 5);
  EXPECT_TRUE(format("m/d/yyyy h:mm"));
  EXPECT_FALSE(format("h:mm"));
  // A format that is no text (mixed, or an error) is no date format.
  for (const Variant& v : {Variant(), Variant::null(), Variant::number(14), Variant::boolean(true),
                           Variant::date(At(2026, 1, 1)), Variant::error(2042)})
    EXPECT_FALSE(judge().IsDateFormat(v)) << static_cast<int>(v.type());
}

TEST_F(DatePredicatesTest, custom_lists_decide_before_the_format_is_tried) {
  const std::string d = m.FormatDelimiter;  // "`1`" unless the options say otherwise
  ASSERT_EQ(d, "`1`");
  set(opt::CustomDateFormatsValid, Variant::text("yyyy" + d + "mmm"));
  EXPECT_TRUE(format("yyyy"));
  EXPECT_TRUE(format("MMM"));  // letter case ignored
  EXPECT_FALSE(format("yyyy" + d + "mmm"));

  set(opt::CustomDateFormatsValid, Variant::text("0.00"));  // no delimiter: one format
  EXPECT_TRUE(format("0.00"));
  set(opt::CustomDateFormatsInvalid, Variant::text("d mmm yyyy" + d + "0.00"));
  EXPECT_FALSE(format("d mmm yyyy"));
  EXPECT_TRUE(format("0.00")) << "the valid list is consulted first";
  EXPECT_TRUE(format("m/d/yyyy")) << "formats in neither list are tried";
}

TEST(ListHolds, pieces_between_delimiters) {
  struct Case {
    const char* list;
    const char* delimiter;
    const char* item;
    bool holds;
  } cases[] = {
      {"", "`1`", "", false},          {"a`1`b", "`1`", "b", true},     {"a`1`b", "`1`", "a`1`b", false},
      {"a`1``1`b", "`1`", "", true},   {"a`1`", "`1`", "", true},       {"abc", "", "ABC", true},
      {"ab", "`1`", "a", false},       {"x`1`yy", "`1`", "Y", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ListHolds(c.list, c.delimiter, c.item), c.holds) << c.list << " / " << c.item;
}

TEST_F(DatePredicatesTest, date_like_values_and_their_reading) {
  DatePredicates j = judge();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (bool allowed : {false, true}) {
    set(opt::DateCanContainTime, Variant::boolean(allowed));
    EXPECT_TRUE(j.IsDateLikeValue(Variant::date(At(1900, 1, 1))));
    EXPECT_FALSE(j.IsDateLikeValue(Variant::date(At(1899, 12, 31))));
    EXPECT_FALSE(j.IsDateLikeValue(Variant::text("12/31/1899")));
    EXPECT_TRUE(j.IsDateLikeValue(Variant::text("3/15/2026")));
    EXPECT_EQ(j.IsDateLikeValue(Variant::date(At(2026, 3, 15, 12))), allowed);
    EXPECT_EQ(j.IsDateLikeValue(Variant::text("3/15/2026 12:00")), allowed);
    // Plain numbers, booleans and junk are never dates, whatever their value.
    for (const Variant& v : {Variant(), Variant::null(), Variant::number(46000), Variant::i4(3),
                             Variant::boolean(true), Variant::text("abc"), Variant::text("3.5"),
                             Variant::text(""), Variant::date(nan), Variant::date(1e12)})
      EXPECT_FALSE(j.IsDateLikeValue(v)) << v.to_text();
  }
  // Read as a date, a value keeps its time and an early year; numbers and junk give nothing.
  EXPECT_EQ(j.ReadAsDate(Variant::date(At(1850, 6, 1, 6))), At(1850, 6, 1, 6));
  EXPECT_EQ(j.ReadAsDate(Variant::text("3/15/2026 6:30 PM")), At(2026, 3, 15, 18, 30));
  EXPECT_EQ(j.ReadAsDate(Variant::number(3.5)), std::nullopt);
  EXPECT_EQ(j.ReadAsDate(Variant::text("abc")), std::nullopt);
}

}  // namespace
}  // namespace tessaly
