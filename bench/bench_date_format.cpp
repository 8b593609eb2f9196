// The date formatter, which IsDateFormat runs on the current date at every selection change.
#include <benchmark/benchmark.h>

#include "date/date_format.h"

namespace tessaly {
namespace {

void FormatDate(benchmark::State& state, const char* format) {
  const LocaleData& us = LocaleData::us_english();
  for (auto _ : state) benchmark::DoNotOptimize(FormatDateValue(46086.588298611, format, us));
}
BENCHMARK_CAPTURE(FormatDate, short_date, "m/d/yyyy");
BENCHMARK_CAPTURE(FormatDate, long_date_time, "[$-409]dddd, mmmm d, yyyy h:mm AM/PM;@");
BENCHMARK_CAPTURE(FormatDate, elapsed, "[h]:mm:ss.00");
BENCHMARK_CAPTURE(FormatDate, number, "#,##0.00_);[Red](#,##0.00)");
BENCHMARK_CAPTURE(FormatDate, general, "General");

}  // namespace
}  // namespace tessaly

BENCHMARK_MAIN();
