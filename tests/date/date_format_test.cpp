// The date formatter against the committed corpus of format texts, plus malformed and extreme input.
#include "date/date_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "date/serial_date.h"
#include "support/test_data.h"

namespace tessaly {
namespace {

constexpr const char* kRefused = "(refused)";

// "yyyy-mm-dd hh:mm:ss[.fff]" as a serial date.
double SerialOf(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  const int n = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d.%d", &y, &mo, &d, &h, &mi, &s, &ms);
  EXPECT_GE(n, 6) << text;
  return *serial::from_ymd(y, mo, d) + (h * 3600.0 + mi * 60.0 + s + ms / 1000.0) / 86400.0;
}

struct Case {
  std::string format, value, expected;
};

struct Corpus {
  std::map<std::string, double> values;
  std::vector<Case> cases;
};

Corpus LoadCorpus() {
  Corpus c;
  for (const auto& row : testing::ReadTsv("date_formats.tsv")) {
    if (row.size() == 3 && row[0] == "value") {
      c.values[row[1]] = SerialOf(row[2]);
    } else {
      EXPECT_GE(row.size(), 2u) << "malformed corpus line: " << row[0];
      c.cases.push_back({row[0], row.size() > 1 ? row[1] : "", row.size() > 2 ? row[2] : ""});
    }
  }
  return c;
}

std::string Shown(const std::optional<std::string>& s) { return s ? *s : kRefused; }

TEST(DateFormatCorpus, MatchesEveryLine) {
  const Corpus corpus = LoadCorpus();
  std::set<std::string> formats;  // at least 300 distinct ones: the corpus is there and whole
  int failures = 0;
  for (const Case& c : corpus.cases) {
    formats.insert(c.format);
    const auto v = corpus.values.find(c.value);
    ASSERT_NE(v, corpus.values.end()) << "unknown value key " << c.value;
    const std::string got = Shown(FormatDateValue(v->second, c.format, LocaleData::us_english()));
    if (got != c.expected) {
      ++failures;
      ADD_FAILURE() << "format [" << c.format << "] on " << c.value << ": expected [" << c.expected << "], got ["
                    << got << "]";
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GE(formats.size(), 300u);
}

const double kThursday = 46086.0 + (14 * 3600 + 7 * 60 + 9) / 86400.0;  // 2026-03-05 14:07:09

// Malformed formats are refused or shown without harm; a value outside the date range is refused
// by a date format and stays a number otherwise; scaling by percent signs or many decimals can
// pass the largest double: the host shows a row of '#', a number that still fits every digit.
TEST(DateFormatBadInput, RefusedOrShownWithoutHarm) {
  const LocaleData& us = LocaleData::us_english();
  const double first = *serial::from_ymd(100, 1, 1), last = *serial::from_ymd(9999, 12, 31);
  const std::string hashes(8, '#'), nul_inside = std::string("m/d") + '\0' + "/yyyy";
  struct Row {
    std::string format;
    double value;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {"", kThursday, "46086.5883"},                             // no format: General
      {std::string(10000, 'd'), kThursday, std::nullopt},        // longer than the host keeps
      {"\"abc", kThursday, std::nullopt},                        // unbalanced quote
      {"[Red]\"a\"\"", kThursday, std::nullopt},                 // odd number of quotes
      {"[[Red]]m", kThursday, std::nullopt},                     // nested bracket
      {"m/d\\", kThursday, std::nullopt},                        // trailing backslash
      {"\"only\" \"literals\"", kThursday, "only literals"},     // literals alone show without the number
      {nul_inside, kThursday, std::nullopt},                     // NUL inside
      {"\xC3\xA9t\xC3\xA9 d", kThursday, "\xC3\xA9t\xC3\xA9 5"},  // non-ASCII literals pass through whole
      {"\\\xE2\x82\xAC" "0", kThursday, "\xE2\x82\xAC" "46087"},  // escaped multi-byte character
      {"\xFF\xFE m", kThursday, "\xFF\xFE 3"},                   // stray bytes are kept, never read past
      {"yyyy-mm-dd", first, "0100-01-01"},
      {"yyyy-mm-dd hh:mm", last + 0.5, "9999-12-31 12:00"},
      {"yyyy-mm-dd", first - 1, std::nullopt},
      {"yyyy-mm-dd", last + 1, std::nullopt},
      {"yyyy", last + 0.9999999, std::nullopt},  // the last second of 9999 rounds into year 10000
      {"m/d/yyyy", std::nan(""), std::nullopt},
      {"General", INFINITY, std::nullopt},
      {"General", 1e12, "1E+12"},  // numbers stay numbers however large
      {"0.0", -1.5, "-1.5"},
      {"yyyy-mm-dd hh:mm", -1.25, "1899-12-29 06:00"},  // before 1899-12-30 the time still counts forward
      {"0." + std::string(20, '0') + std::string(152, '%'), kThursday, hashes},
      {"0" + std::string(160, '%'), 1.0, hashes},
      {"#,##0.00" + std::string(200, '%'), -2.5, hashes},
      {"0.00E+00", 5e-324, hashes},
      {"0." + std::string(200, '0') + "E+0", 1e300, "1." + std::string(200, '0') + "E+300"},
      {"# ?/99999999999999999999", 0.5, std::nullopt},
  };
  for (const Row& r : rows) {
    const auto got = FormatDateValue(r.value, r.format, us);
    EXPECT_EQ(got, r.expected) << r.value << " in a format of " << r.format.size() << " bytes: ["
                               << r.format.substr(0, 40) << "]";
  }
  // The longest format the host keeps still works: every placeholder padded with zeros.
  const auto longest = FormatDateValue(kThursday, std::string(255, '0'), us);
  ASSERT_TRUE(longest.has_value());
  EXPECT_EQ(longest->size(), 255u);
  EXPECT_EQ(longest->substr(250), "46087");
  // 2^700 has 211 digits: all of them and all 250 decimals are shown.
  const auto wide = FormatDateValue(std::ldexp(1.0, 700), "0." + std::string(250, '0'), us);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(wide->size(), 211u + 1 + 250);
  EXPECT_EQ(wide->substr(0, 4) + wide->substr(211), "5260." + std::string(250, '0'));
}

TEST(DateFormatLocale, NamesAndSeparatorsComeFromTheLocale) {
  LocaleData de = LocaleData::us_english();
  de.month_names[2] = "M\xC3\xA4rz";
  de.month_abbreviations[2] = "M\xC3\xA4r";
  de.day_names[4] = "Donnerstag";
  de.date_separator = ".";
  de.time_separator = ":";
  de.long_date_pattern = "dddd, d. MMMM yyyy";
  de.am = "vorm.";
  de.pm = "nachm.";
  struct Row {
    const char* format;
    const char* expected;
  } rows[] = {
      {"mmmm", "M\xC3\xA4rz"},
      {"mmmmm", "M"},  // first letter, a whole UTF-8 character
      {"d/m/yyyy", "5.3.2026"},
      {"d\\/m", "5/3"},
      {"[$-407]mmm", "M\xC3\xA4r"},
      {"[$-409]mmmm dddd", "March Thursday"},
      {"[$-F800]dddd, mmmm dd, yyyy", "Donnerstag, 5. M\xC3\xA4rz 2026"},
      {"h AM/PM", "2 NACHM."},
  };
  for (const Row& r : rows) EXPECT_EQ(FormatDateValue(kThursday, r.format, de), r.expected) << r.format;
}

}  // namespace
}  // namespace tessaly
