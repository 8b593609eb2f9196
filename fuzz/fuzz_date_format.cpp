// Fuzzing the date formatter: any bytes as a format text, applied to dates across the range.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "date/date_format.h"
#include "host/locale.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view format(reinterpret_cast<const char*>(data), size);
  // A modern date-time, the first and last days users can type, midnight before 1900, numbers
  // near the ends of a double's range.
  static constexpr double kValues[] = {46086.588298611, -657434.0, 2958465.999988, -1.25, 0.0, 1e12,
                                       -1.7e308, 4.9e-324};
  const tessaly::LocaleData& us = tessaly::LocaleData::us_english();
  for (double v : kValues) {
    const auto text = tessaly::FormatDateValue(v, format, us);
    // The same input always gives the same answer, and a shown text is never absurdly long.
    if (tessaly::FormatDateValue(v, format, us) != text) __builtin_trap();
    if (text && text->size() > 64 * (size + 16)) __builtin_trap();
  }
  return 0;
}
