// Fuzzing the date text parser with a month-first and a day-first locale.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "date/date_parse.h"
#include "date/serial_date.h"
#include "host/locale.h"

namespace {

const tessaly::LocaleData& day_first() {
  static const tessaly::LocaleData l = [] {
    tessaly::LocaleData d = tessaly::LocaleData::us_english();
    // Names with UTF-8 letters and abbreviations that end in a period.
    d.month_names[2] = "M\xC3\xA4rz";
    d.month_abbreviations[1] = "f\xC3\xA9vr.";
    d.month_abbreviations[11] = "D\xC3\x89" "C.";
    d.short_date_pattern = "dd.MM.yyyy";
    d.date_separator = ".";
    d.am = "am";
    d.pm = "pm";
    return d;
  }();
  return l;
}

// Whatever the text, a reading is a finite serial inside the host's date range.
void check(std::string_view text, const tessaly::LocaleData& locale) {
  auto v = tessaly::ParseDateText(text, locale, 2026);
  if (v && (!std::isfinite(*v) || !tessaly::serial::in_range(*v))) __builtin_trap();
  // Blanks around a text never change its reading.
  const std::string padded = " " + std::string(text) + "\t";
  if (tessaly::ParseDateText(padded, locale, 2026) != v) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The view covers exactly the fuzzer's buffer: a read past its end is caught by the sanitizer.
  std::string_view text(reinterpret_cast<const char*>(data), size);
  check(text, tessaly::LocaleData::us_english());
  check(text, day_first());
  return 0;
}
