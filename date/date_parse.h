// Reading texts as dates the way the host's own date parser does for the user's locale.
#pragma once

#include <optional>
#include <string_view>

#include "host/locale.h"

namespace tessaly {

// The serial date a text stands for, or empty when the host would not read it as a date.
// Accepts numeric dates in the locale's order (with the host's day/month swap when the first
// reading is impossible), month names, ISO 8601, times with or without AM/PM and dates with
// times. Plain numbers, empty text and junk are refused. current_year completes two-part dates
// such as "3/15"; 0 takes the year from the local clock.
std::optional<double> ParseDateText(std::string_view text, const LocaleData& locale, int current_year = 0);

}  // namespace tessaly
