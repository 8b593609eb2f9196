// The user's locale as the date engine needs it: names, patterns and separators.
#pragma once

#include <array>
#include <string>

namespace tessaly {

struct LocaleData {
  std::array<std::string, 12> month_names;         // January ..
  std::array<std::string, 12> month_abbreviations;  // Jan ..
  std::array<std::string, 7> day_names;            // Sunday .. Saturday
  std::array<std::string, 7> day_abbreviations;    // Sun .. Sat
  std::string short_date_pattern;                  // the platform's picture, e.g. "M/d/yyyy"
  std::string long_date_pattern;                   // e.g. "dddd, MMMM d, yyyy"
  std::string time_pattern;                        // e.g. "h:mm:ss tt"
  std::string date_separator = "/";
  std::string time_separator = ":";
  std::string am = "AM";
  std::string pm = "PM";

  // The built-in US-English locale, used where the platform says nothing.
  static const LocaleData& us_english();
};

// Reads the user's locale from the platform. Implementations fill every field they can and keep
// the US-English value for the rest; a failure to read throws HostError.
class ILocale {
 public:
  virtual ~ILocale() = default;
  virtual LocaleData user_default() const = 0;
};

}  // namespace tessaly
