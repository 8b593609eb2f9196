// Cell values as the grid shows them.
#include "sim/cell_text.h"

#include "date/date_format.h"

namespace tessaly::sim {

namespace {

std::string ErrorText(std::int32_t code) {
  switch (code) {
    case 2000: return "#NULL!";
    case 2007: return "#DIV/0!";
    case 2015: return "#VALUE!";
    case 2023: return "#REF!";
    case 2029: return "#NAME?";
    case 2036: return "#NUM!";
    default: return "#N/A";
  }
}

}  // namespace

std::string CellDisplayText(const CellModel& cell, const LocaleData& locale) {
  const Variant& v = cell.value;
  if (v.is_text()) return v.as_text();
  if (v.is_bool()) return v.as_bool() ? "TRUE" : "FALSE";
  if (v.is_error()) return ErrorText(v.error_code());
  if (v.is_date() || v.is_number())
    return FormatDateValue(v.as_double(), cell.number_format, locale).value_or(v.to_text());
  return "";
}

}  // namespace tessaly::sim
