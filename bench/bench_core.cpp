// The controller's decision on the stand-in host: host calls per selection change and time per
// decision over a mix of qualifying and non-qualifying cells.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/controller.h"
#include "settings/init_system.h"
#include "sim/desktop.h"
#include "sim/excel_sim.h"
#include "sim/headless_ui.h"
#include "sim/addin_instance.h"
#include "sim/manual_timers.h"
#include "sim/memory_services.h"

using namespace tessaly;

namespace {

// Format and value tests of the cheapest kind, so the figures show the controller and the host.
struct BenchJudge : IDateJudge {
  bool IsDateFormat(const Variant& f) const override {
    if (!f.is_text()) return false;
    const std::string& t = f.as_text();
    return t != "General" && (t.find('d') != std::string::npos || t.find('y') != std::string::npos);
  }
  bool IsDateLikeValue(const Variant& v) const override { return v.is_date() && v.as_double() >= 2; }
  std::optional<double> ReadAsDate(const Variant& v) const override {
    return v.is_date() ? std::optional<double>(v.as_double()) : std::nullopt;
  }
};

struct Session {
  Session() {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, mem.services());
    m.ExcelVersion = 12;
    host = sim::SimExcel::Create("12.0");
    host->AddWorkbook("Book1", {"Sheet1"});
    desk.AddWindow(host->Book("Book1").window, "EXCEL7", desk.current_process, {0, 0, 1000, 700});
    sim::SheetModel& s = host->Sheet("Book1", "Sheet1");
    sim::SimExcel::Cell(s, "A1").number_format = "d mmm yyyy";     // by format
    sim::SimExcel::Cell(s, "B1").value = Variant::date(45000);      // by value
    sim::SimExcel::Cell(s, "C1").number_format = "yyyy-mm-dd";      // C2 below a date
    sim::SimExcel::Cell(s, "D1").value = Variant::text("Due date");  // D2 in a date column
    sim::SimExcel::Cell(s, "E1").value = Variant::number(12.5);      // E2 qualifies by nothing
    controller = std::make_unique<cVantry>(
        ControllerServices{m, mem.messages, desk, desk, desk, mem.clock, judge, parts, mem.files, nullptr, nullptr, &timers},
        host,
        std::make_shared<sim::SimAddInInstance>());
    controller->InitThisObject();
  }
  sim::MemoryServices mem;
  // As the add-in's: what waits for the host's loop (the calendar readied) is not the selection's.
  sim::ManualTimers timers;
  mVantry m;
  std::shared_ptr<sim::SimExcel> host;
  sim::SimDesktop desk;
  sim::HeadlessParts parts;
  BenchJudge judge;
  std::unique_ptr<cVantry> controller;
};

const char* const kMix[] = {"A1", "B1", "C2", "D2", "E2", "A1:B2", "A1,C3", "$5:$5", "F9"};

void BM_SelectionChange(benchmark::State& state) {
  Session s;
  std::vector<std::int64_t> calls;
  std::size_t i = 0;
  for (auto _ : state) {
    const char* address = kMix[i++ % std::size(kMix)];
    std::int64_t before = s.host->TotalCalls();
    s.host->UserSelect(address);
    calls.push_back(s.host->TotalCalls() - before);
  }
  std::sort(calls.begin(), calls.end());
  state.counters["host_calls_median"] = double(calls[calls.size() / 2]);
  state.counters["host_calls_worst"] = double(calls.back());
}
BENCHMARK(BM_SelectionChange);

// One figure per cell kind: how many host calls its decision takes.
void BM_CallsPerCell(benchmark::State& state) {
  Session s;
  const char* address = kMix[state.range(0)];
  std::int64_t calls = 0;
  for (auto _ : state) {
    std::int64_t before = s.host->TotalCalls();
    s.host->UserSelect(address);
    calls = s.host->TotalCalls() - before;
  }
  state.SetLabel(address);
  state.counters["host_calls"] = double(calls);
}
BENCHMARK(BM_CallsPerCell)->DenseRange(0, std::size(kMix) - 1);

}  // namespace

BENCHMARK_MAIN();
