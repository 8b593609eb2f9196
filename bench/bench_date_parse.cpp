// Reading typical cell texts as dates, as the date predicates do at every selection change.
#include <benchmark/benchmark.h>

#include <string>

#include "date/date_parse.h"
#include "host/locale.h"

namespace tessaly {
namespace {

void ParseText(benchmark::State& state, const char* text) {
  const LocaleData& us = LocaleData::us_english();
  for (auto _ : state) benchmark::DoNotOptimize(ParseDateText(text, us, 2026));
}
BENCHMARK_CAPTURE(ParseText, numeric, "3/15/2026");
BENCHMARK_CAPTURE(ParseText, swapped_day_month, "13/5/2020");
BENCHMARK_CAPTURE(ParseText, iso_date_time, "2026-03-05T14:07:09");
BENCHMARK_CAPTURE(ParseText, long_date_time, "Thursday, March 5, 2026 2:07 PM");
BENCHMARK_CAPTURE(ParseText, time_only, "2:07:09 PM");
BENCHMARK_CAPTURE(ParseText, plain_number, "46,362.59");
BENCHMARK_CAPTURE(ParseText, junk, "Invoice 2026 for March");

void ParseLongText(benchmark::State& state) {
  const std::string text(static_cast<std::size_t>(state.range(0)), 'x');
  const LocaleData& us = LocaleData::us_english();
  for (auto _ : state) benchmark::DoNotOptimize(ParseDateText(text, us, 2026));
}
BENCHMARK(ParseLongText)->Arg(10000);

}  // namespace
}  // namespace tessaly

BENCHMARK_MAIN();
