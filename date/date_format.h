// Showing a date value through one of the host's number-format texts, the way a cell shows it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/locale.h"

namespace tessaly {

// The text the host shows for the serial date under `format` ("m/d/yyyy", "[$-409]mmmm d, yyyy",
// "General", "0.00", ...), month and weekday names from `locale`. Empty when the host would
// refuse the format text itself. Never throws, never reads past the format.
std::optional<std::string> FormatDateValue(double serial, std::string_view format, const LocaleData& locale);

// The date-formatting service's text of a date value: as FormatDateValue, except that a format
// made only of text sections ("@") shows the date's default text, its short date and, when it
// has one, its time of day, where a cell would show the serial number.
std::optional<std::string> FormatDateAsText(double serial, std::string_view format, const LocaleData& locale);

}  // namespace tessaly
