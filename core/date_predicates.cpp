#include "core/date_predicates.h"

#include <cmath>

#include "date/date_format.h"
#include "date/date_parse.h"
#include "date/serial_date.h"
#include "host/error_policy.h"
#include "host/text.h"
#include "settings/option_ids.h"

namespace tessaly {

bool ListHolds(std::string_view list, std::string_view delimiter, std::string_view item) {
  if (list.empty()) return false;
  if (delimiter.empty()) return iequals(list, item);
  // Walk the pieces in place: this runs at every selection change, with lists of any length.
  for (std::size_t start = 0;;) {
    std::size_t end = list.find(delimiter, start);
    std::string_view piece = list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (iequals(piece, item)) return true;
    if (end == std::string_view::npos) return false;
    start = end + delimiter.size();
  }
}

std::unique_ptr<IDateJudge> MakeDatePredicates(const mVantry& m, const IClock& clock) {
  return std::make_unique<DatePredicates>(*m.RegMan, m.FormatDelimiter, m.UserLocale, clock);
}

DatePredicates::DatePredicates(const cUtilRegMan& options, std::string format_delimiter, const LocaleData& locale,
                               const IClock& clock)
    : options_(options), delimiter_(std::move(format_delimiter)), locale_(locale), clock_(clock) {}

std::optional<double> DatePredicates::ReadAsDate(const Variant& value) const {
  auto read = Attempt([&]() -> std::optional<double> {
    if (value.is_date()) {
      double d = value.as_double();
      return std::isfinite(d) && serial::in_range(d) ? std::optional<double>(d) : std::nullopt;
    }
    // Plain numbers, booleans, errors and empty cells are not dates; only texts are parsed.
    if (!value.is_text()) return std::nullopt;
    int year = serial::to_parts(clock_.now()).year;
    return ParseDateText(value.as_text(), locale_, year);
  });
  return read ? *read : std::nullopt;
}

bool DatePredicates::IsDateLikeValue(const Variant& value) const {
  return Attempt([&] { return date_like(value); }).value_or(false);
}

bool DatePredicates::date_like(const Variant& value) const {
  const auto date = ReadAsDate(value);
  return date && qualifies(*date);
}

bool DatePredicates::qualifies(double date) const {
  const DateParts parts = serial::to_parts(date);
  if (parts.year < serial::kFirstCellYear) return false;
  if (options_.Bool(opt::DateCanContainTime)) return true;
  return parts.hour == 0 && parts.minute == 0 && parts.second == 0;
}

bool DatePredicates::IsDateFormat(const Variant& format) const {
  return Attempt([&] { return date_format(format); }).value_or(false);
}

bool DatePredicates::date_format(const Variant& format) const {
  if (!format.is_text()) return false;
  const std::string& f = format.as_text();
  // Weekday names alone do not read back as dates, yet they are day formats.
  if (iequals(f, "ddd") || iequals(f, "dddd")) return true;
  if (ListHolds(options_.Text(opt::CustomDateFormatsValid), delimiter_, f)) return true;
  if (ListHolds(options_.Text(opt::CustomDateFormatsInvalid), delimiter_, f)) return false;
  // Show this moment through the format and see whether the text reads back as a date.
  auto shown = FormatDateAsText(clock_.now(), f, locale_);
  if (!shown) return false;
  // Read the text once: its reading decides both whether it is a date and whether it qualifies.
  const auto date = ReadAsDate(Variant::text(*shown));
  return date && qualifies(*date);
}

}  // namespace tessaly
