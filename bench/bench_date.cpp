// The date predicates as the activation rules call them at every selection change.
#include <benchmark/benchmark.h>

#include <string>

#include "date/serial_date.h"
#include "core/date_predicates.h"
#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/memory_services.h"

namespace tessaly {
namespace {

struct World {
  explicit World(int list_length) {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, mem.services());
    mem.clock.serial = 46086.588;  // 5 March 2026, 14:06
    std::string valid, invalid;
    for (int i = 0; i < list_length; ++i) {
      if (i) valid += m.FormatDelimiter, invalid += m.FormatDelimiter;
      valid += "yyyy \"week\" " + std::to_string(i);
      invalid += "0.0" + std::string(static_cast<std::size_t>(i % 7 + 1), '0') + " \"x" + std::to_string(i) + '"';
    }
    m.RegMan->Value(opt::CustomDateFormatsValid, Variant::text(valid));
    m.RegMan->Value(opt::CustomDateFormatsInvalid, Variant::text(invalid));
  }
  sim::MemoryServices mem;
  mVantry m;
};

void IsDateFormat(benchmark::State& state, const char* format) {
  World w(static_cast<int>(state.range(0)));
  DatePredicates judge(*w.m.RegMan, w.m.FormatDelimiter, LocaleData::us_english(), w.mem.clock);
  Variant f = Variant::text(format);
  for (auto _ : state) benchmark::DoNotOptimize(judge.IsDateFormat(f));
}
BENCHMARK_CAPTURE(IsDateFormat, short_date, "m/d/yyyy")->Arg(0)->Arg(50);
BENCHMARK_CAPTURE(IsDateFormat, long_date_time, "[$-409]dddd, mmmm d, yyyy h:mm AM/PM")->Arg(0)->Arg(50);
BENCHMARK_CAPTURE(IsDateFormat, number, "#,##0.00")->Arg(0)->Arg(50);
BENCHMARK_CAPTURE(IsDateFormat, general, "General")->Arg(0)->Arg(50);

void IsDateLikeValue(benchmark::State& state, const char* text) {
  World w(0);
  DatePredicates judge(*w.m.RegMan, w.m.FormatDelimiter, LocaleData::us_english(), w.mem.clock);
  Variant v = Variant::text(text);
  for (auto _ : state) benchmark::DoNotOptimize(judge.IsDateLikeValue(v));
}
BENCHMARK_CAPTURE(IsDateLikeValue, numeric, "3/15/2026");
BENCHMARK_CAPTURE(IsDateLikeValue, month_name_time, "March 15, 2026 6:30 PM");
BENCHMARK_CAPTURE(IsDateLikeValue, refused, "Invoice 2026");

void IsDateLikeValueOnDate(benchmark::State& state) {
  World w(0);
  DatePredicates judge(*w.m.RegMan, w.m.FormatDelimiter, LocaleData::us_english(), w.mem.clock);
  Variant v = Variant::date(46086.0);
  for (auto _ : state) benchmark::DoNotOptimize(judge.IsDateLikeValue(v));
}
BENCHMARK(IsDateLikeValueOnDate);

}  // namespace
}  // namespace tessaly

BENCHMARK_MAIN();
