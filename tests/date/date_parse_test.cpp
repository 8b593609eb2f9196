// Reading texts as dates: the conformance corpus, locales, bad input and the range limits.
#include "date/date_parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "date/serial_date.h"
#include "tests/support/test_data.h"

namespace tessaly {
namespace {

constexpr double kOneSecond = 1.0 / 86400.0;

// ---- the corpus files --------------------------------------------------------------------------

// A text and what it should read as: "-" (refused), "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" or "hh:mm:ss".
struct Reading {
  std::string text, expected;
};

// The serial an expectation stands for; throws on a malformed expectation so that a typo in the
// corpus fails the test instead of passing as "refused".
std::optional<double> expected_serial(const std::string& e) {
  if (e == "-") return std::nullopt;
  // A date with or without a time (groups 1-6), or a time alone (7-9).
  static const std::regex form(R"((\d{4})-(\d{2})-(\d{2})(?: (\d{2}):(\d{2}):(\d{2}))?|(\d{2}):(\d{2}):(\d{2}))");
  std::smatch m;
  if (!std::regex_match(e, m, form)) throw std::runtime_error("bad expectation: " + e);
  const auto part = [&](int i, int otherwise) {
    if (m[i].matched) return std::stoi(m[i].str());
    return i > 3 && m[i + 3].matched ? std::stoi(m[i + 3].str()) : otherwise;
  };
  const int y = part(1, 1899), mo = part(2, 12), d = part(3, 30), h = part(4, 0), mi = part(5, 0), s = part(6, 0);
  if (mo < 1 || mo > 12 || d < 1 || d > serial::days_in_month(y, mo) || h > 23 || mi > 59 || s > 59)
    throw std::runtime_error("impossible expectation: " + e);
  auto day = serial::from_ymd(y, mo, d);
  if (!day) throw std::runtime_error("expectation out of range: " + e);
  return serial::combine(*day, serial::time_fraction(h, mi, s));
}

std::vector<Reading> load_corpus(const std::string& name) {
  std::vector<Reading> out;
  for (auto& row : testing::ReadTsv(name)) {
    if (row.size() != 2) throw std::runtime_error(name + ": want text<TAB>expected: " + row[0]);
    out.push_back({row[0], row[1]});
  }
  return out;
}

std::string show(std::optional<double> v) {
  if (!v) return "-";
  DateParts p = serial::to_parts(*v);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d (%.6f)", p.year, p.month, p.day, p.hour, p.minute,
                p.second, *v);
  return buf;
}

bool same(std::optional<double> a, std::optional<double> b) {
  if (!a || !b) return !a && !b;
  return std::fabs(*a - *b) < kOneSecond / 2;
}

// Reports every text that reads otherwise than expected; returns how many did.
int expect_readings(const std::vector<Reading>& cases, const LocaleData& locale, int current_year = 2026,
                    const std::string& where = "") {
  int failures = 0;
  for (const auto& c : cases) {
    const auto got = ParseDateText(c.text, locale, current_year);
    if (same(got, expected_serial(c.expected))) continue;
    ++failures;
    ADD_FAILURE() << where << "\"" << c.text.substr(0, 60) << "\" expected " << c.expected << ", got " << show(got);
  }
  return failures;
}

// ---- locales -----------------------------------------------------------------------------------

LocaleData day_month_year() {
  LocaleData d = LocaleData::us_english();
  d.short_date_pattern = "dd/MM/yyyy";
  d.long_date_pattern = "dd MMMM yyyy";
  d.time_pattern = "HH:mm:ss";
  d.am = "am";
  d.pm = "pm";
  return d;
}

LocaleData german() {
  LocaleData d;
  d.month_names = {"Januar", "Februar", "M\xC3\xA4rz",  "April",   "Mai",      "Juni",
                   "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  d.month_abbreviations = {"Jan", "Feb", "M\xC3\xA4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  d.day_names = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  d.day_abbreviations = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  d.short_date_pattern = "dd.MM.yyyy";
  d.long_date_pattern = "dddd, d. MMMM yyyy";
  d.time_pattern = "HH:mm:ss";
  d.date_separator = ".";
  d.am = "";
  d.pm = "";
  return d;
}

void run_corpus(const std::string& name, const LocaleData& locale, std::size_t at_least) {
  std::vector<Reading> corpus;
  ASSERT_NO_THROW(corpus = load_corpus(name));
  EXPECT_GE(corpus.size(), at_least) << name;
  EXPECT_EQ(expect_readings(corpus, locale, 2026, name + ": "), 0) << name << ": of " << corpus.size() << " lines";
}

TEST(date_parse_corpus, us_english) { run_corpus("date_texts.tsv", LocaleData::us_english(), 200); }

TEST(date_parse_corpus, day_month_year) { run_corpus("date_texts_dmy.tsv", day_month_year(), 30); }

// ---- exact serials and the current year -------------------------------------------------------

TEST(date_parse, exact_serials) {
  // Serials as the host reports them, independent of the calendar arithmetic behind the corpus.
  const std::pair<const char*, double> cases[] = {
      {"2 January 1970", 25570.0},
      {"1 2 29", 47120.0},  // two-digit years up to 29 are this century's
      {"1 2 30", 10960.0},
      {"6/30/2011 01:20:34 PM", 40724.55594907407},
      {"12/31/9999 23:59:59", 2958465.0 + 86399.0 / 86400.0},
      // Before 30 December 1899 the day counts back and the time still counts forward.
      {"12/29/1899 06:00", -1.25},
      {"12/30/1899 06:00", 0.25},
      {"1/1/100 12:00", -657434.5},
  };
  for (const auto& [text, serial] : cases) {
    auto got = ParseDateText(text, LocaleData::us_english(), 2026);
    ASSERT_TRUE(got) << text;
    EXPECT_NEAR(*got, serial, 1e-9) << text;
  }
}

TEST(date_parse, two_part_dates_take_the_current_year) {
  const auto& us = LocaleData::us_english();
  expect_readings({{"3/15", "2024-03-15"}, {"2/29", "2024-02-29"}, {"3/2020", "2020-03-01"}}, us, 2024);
  expect_readings({{"Mar 15", "1999-03-15"}, {"3/15/2026", "2026-03-15"}}, us, 1999);  // a given year wins
  expect_readings({{"15 Mar", "2100-03-15"}}, us, 2100);
  expect_readings({{"3/15 14:07", "2030-03-15 14:07:00"}}, us, 2030);
  const std::time_t now = std::time(nullptr);  // a year of 0 reads the clock
  expect_readings({{"7/4", std::to_string(std::localtime(&now)->tm_year + 1900) + "-07-04"}}, us, 0);
}

// ---- other locales -----------------------------------------------------------------------------

TEST(date_parse, period_separated_locale) {
  expect_readings({{"02.01.1970", "1970-01-02"},
                   {"02.13.1970", "1970-02-13"},
                   {"02-13-1970", "1970-02-13"},
                   {"2020-01-11", "2020-01-11"},
                   {"2173-10-14", "2173-10-14"},
                   {"02.01.1970 00:00:00", "1970-01-02"},
                   {"5.3.2026 14:07", "2026-03-05 14:07:00"},
                   {"5. M\xC3\xA4rz 2026", "2026-03-05"},
                   {"5. m\xC3\xA4r 2026", "2026-03-05"},
                   {"5. M\xC3\x84R 2026", "2026-03-05"},
                   {"5. M\xC3\x84RZ 2026", "2026-03-05"},
                   {"5. MAR 2026", "-"},
                   {"Donnerstag, 5. M\xC3\xA4rz 2026", "2026-03-05"},
                   {"5 Mai 2026", "2026-05-05"},
                   {"5.3", "2026-03-05"},
                   {"3,5", "-"},
                   {"42", "-"},
                   {"March 5, 2026", "-"}},  // English names mean nothing here
                  german());
}

TEST(date_parse, abbreviations_ending_in_a_period) {
  LocaleData fr = day_month_year();
  fr.month_names = {"janvier", "f\xC3\xA9vrier", "mars",    "avril",   "mai",      "juin",
                    "juillet", "ao\xC3\xBBt",    "septembre", "octobre", "novembre", "d\xC3\xA9" "cembre"};
  fr.month_abbreviations = {"janv.", "f\xC3\xA9vr.", "mars", "avr.", "mai", "juin",
                            "juil.", "ao\xC3\xBBt",  "sept.", "oct.", "nov.", "d\xC3\xA9" "c."};
  expect_readings({{"5 f\xC3\xA9vr. 2026", "2026-02-05"},
                   {"5 f\xC3\xA9vr 2026", "2026-02-05"},
                   {"5 F\xC3\x89VR. 2026", "2026-02-05"},
                   {"5 F\xC3\x89VRIER 2026", "2026-02-05"},
                   {"5 AO\xC3\x9BT 2026", "2026-08-05"},
                   {"5 d\xC3\xA9" "c. 2026", "2026-12-05"},
                   {"sept. 2026", "2026-09-01"},
                   {"5 fevr. 2026", "-"},  // the accent is part of the name
                   {"5 f\xC3\xA9vr.. 2026", "-"}},
                  fr);
}

TEST(date_parse, year_first_locale) {
  LocaleData ymd = LocaleData::us_english();
  ymd.short_date_pattern = "yyyy-MM-dd";
  ymd.date_separator = "-";
  expect_readings({{"1/2/3", "2001-02-03"}, {"2026-03-05", "2026-03-05"}, {"26-3-5", "2026-03-05"},
                   {"5/3/2026", "2026-05-03"}, {"13/5/2026", "2026-05-13"}, {"3/5", "2026-03-05"}},
                  ymd);
}

TEST(date_parse, locale_designators_and_separators) {
  LocaleData l = LocaleData::us_english();
  l.am = "fm";
  l.pm = "em";
  l.time_separator = ".";  // a period already joins times
  expect_readings({{"2:07 em", "14:07:00"}, {"2:07 EM", "14:07:00"}, {"12:07 fm", "00:07:00"},
                   {"2.07 pm", "14:07:00"}, {"2:07 xm", "-"}},
                  l);
  l.date_separator = " ";  // a blank separator adds nothing
  expect_readings({{"3/5/2026", "2026-03-05"}}, l);
  l.date_separator = "_";
  l.time_separator = "h";  // a letter cannot separate
  expect_readings({{"3_5_2026", "2026-03-05"}, {"14h07", "-"}}, l);
}

TEST(date_parse, empty_locale_names_match_nothing) {
  LocaleData bare = LocaleData::us_english();
  bare.month_names = {};
  bare.month_abbreviations = {};
  bare.day_names = {};
  bare.day_abbreviations = {};
  bare.am = "";
  bare.pm = "";
  bare.short_date_pattern = "";
  expect_readings({{"Mar 5 2026", "-"}, {"Monday 3/5/2026", "-"}, {"3/5/2026", "2026-03-05"}, {"2:07 pm", "14:07:00"}},
                  bare);
}

// ---- number texts ------------------------------------------------------------------------------

TEST(date_parse, number_texts_are_not_dates) {
  // Texts a General or number format shows are numbers, with the locale's grouping and decimal
  // signs and blanks of any kind around them; a comma that groups no thousands is a blank.
  expect_readings({{"1,000", "-"},      {"1,000,000", "-"}, {"46,362.59", "-"},  {"-46,362.59", "-"},
                   {" 42 ", "-"},       {"\t3.5\n", "-"},   {"\r\n2.5", "-"},   {"1.5e-3", "-"},
                   {".5", "-"},         {"5.", "-"},        {"+.5E2", "-"},      {"3,5", "2026-03-05"},
                   {"1,000.5 PM", "-"}, {"3.5 PM", "15:05:00"}},
                  LocaleData::us_english());
  expect_readings({{"1.000", "-"}, {"1.000.000", "-"}, {"1.000,5", "-"}, {"3,5", "-"}, {"-7", "-"},
                   {"5.3", "2026-03-05"}},
                  german());
}

// ---- the range and bad input -------------------------------------------------------------------

TEST(date_parse, range_limits_and_bad_texts) {
  std::string repeated;
  while (repeated.size() < 10000) repeated += "3/5/2026 ";
  expect_readings({{"1/1/100", "0100-01-01"}, {"12/31/9999", "9999-12-31"}, {"1/1/10000", "-"}, {"10000-01-01", "-"},
                   {"Jan 1 10000", "-"}, {"12/31/99999999999999999999", "-"}, {"Dec 9999", "9999-12-01"},
                   {"12/31/99", "1999-12-31"},  // never the year 99, which lies below the range
                   {"Mar 10000", "-"},          // month/year readings stay in range too
                   {"", "-"}, {" ", "-"}, {"   ", "-"}, {"\t", "-"}, {"\r\n", "-"}, {",", "-"}, {"/", "-"},
                   {":", "-"}, {".", "-"}, {"-", "-"}, {"\xC2\xA0", "-"},
                   {std::string("3/5\0/2026", 9), "-"}, {std::string("3/5/2026\0", 9), "-"},
                   {std::string("\0003/5/2026", 9), "-"}, {std::string("14:07\0", 6), "-"}, {std::string(1, '\0'), "-"},
                   {std::string(10000, 'x'), "-"}, {std::string(10000, '9'), "-"}, {std::string(10000, '/'), "-"},
                   {std::string(10000, ':'), "-"}, {repeated, "-"},
                   {std::string(9990, '1') + "/5/2026", "-"},  // the first number is far too large
                   // Blanks around a date are allowed in any amount, and leading zeros do not overflow.
                   {std::string(5000, ' ') + "3/5/2026" + std::string(5000, ' '), "2026-03-05"},
                   {"3/5/" + std::string(9990, '0') + "26", "2026-03-05"},
                   {"3/5/2026\xC2\xA0" "14:07", "2026-03-05 14:07:00"},     // no-break space
                   {"3/5/2026\xE3\x80\x80" "14:07", "2026-03-05 14:07:00"},  // ideographic space
                   {"3/5/2026 \xC3\xA9", "-"}, {"M\xC3\xA4rz 5 2026", "-"},
                   {"3\xE2\x81\x84" "5\xE2\x81\x84" "2026", "-"},  // fraction slash
                   {"\xEF\xBC\x93/5/2026", "-"},                   // full-width digit three
                   {"3/5/2026 \xFF", "-"}, {"\xC2", "-"}, {"3/5/2026\xC2", "-"}, {"\xE3\x80", "-"}},
                  LocaleData::us_english());
  EXPECT_FALSE(ParseDateText(std::string_view(), LocaleData::us_english(), 2026));
}

TEST(date_parse, reads_only_its_view) {
  const auto& us = LocaleData::us_english();
  // The views end before the rest of their buffers; what follows must not be read.
  const char buffer[] = "3/5/2026 14:07 junk";
  EXPECT_TRUE(same(ParseDateText(std::string_view(buffer, 8), us, 2026), expected_serial("2026-03-05")));
  EXPECT_TRUE(same(ParseDateText(std::string_view(buffer, 5), us, 2026), expected_serial("2002-03-05")));
  EXPECT_TRUE(same(ParseDateText(std::string_view(buffer, 14), us, 2026), expected_serial("2026-03-05 14:07:00")));
  EXPECT_FALSE(ParseDateText(std::string_view(buffer, 4), us, 2026));  // "3/5/"
  // A buffer without any terminator: a heap copy of exactly the text.
  std::vector<char> exact = {'1', '2', ':', '3', '0'};
  EXPECT_TRUE(same(ParseDateText(std::string_view(exact.data(), exact.size()), us, 2026), expected_serial("12:30:00")));
}

}  // namespace
}  // namespace tessaly
