// The tag on the stand-in host: host calls and time of TagDisplay for a visible cell under each
// position rule, and the grid probe's worst case.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/excel_sim.h"
#include "sim/headless_tag_form.h"
#include "sim/memory_services.h"
#include "tag/frm_tag.h"

using namespace tessaly;

namespace {

enum Rule { kNormal, kPageLayout, kWholeZoom, kScan, kScanWithChart };

struct Session {
  explicit Session(Rule rule) {
    const char* version = rule == kNormal || rule == kPageLayout ? "12.0" : "11.0";
    InitSystem(m, mem.services());
    m.ExcelVersion = std::atoi(version);
    m.ExcelMainWindow = 0x10010;
    host = sim::SimExcel::Create(version);
    sim::WorkbookModel& book = host->AddWorkbook("Book1", {"Sheet1"});
    if (rule == kPageLayout) {
      book.win.view = xl::kPageLayoutView;
      book.win.scroll_row[0] = 5;
      book.win.scroll_column[0] = 3;
    }
    if (rule == kScan || rule == kScanWithChart) book.win.zoom = 75;
    if (rule == kScanWithChart) {
      // Columns a little wider than their pixels make the corner check miss and call for the chart.
      host->Sheet("Book1", "Sheet1").columns.standard = 48.4;
      m.RegMan->Value(opt::AllowPositionByAddingChart, Variant::boolean(true));
    }
    auto form = std::make_unique<sim::HeadlessTagForm>(host->Desktop(), m.ExcelMainWindow);
    tag = std::make_unique<frmTag>(TagServices{m, host, host->Desktop(), host->Desktop()}, std::move(form));
    tag->InitThisObject("");
    auto areas = sim::address::Parse(rule == kScanWithChart ? "M20" : "H20", host->MaxRow(), host->MaxColumn());
    target = host->RangeObject(host->SheetShared(&host->Sheet("Book1", "Sheet1")), areas);
  }
  sim::MemoryServices mem;
  mVantry m;
  std::shared_ptr<sim::SimExcel> host;
  std::unique_ptr<frmTag> tag;
  RangePtr target;
};

void BM_TagDisplay(benchmark::State& state) {
  Session s(static_cast<Rule>(state.range(0)));
  s.host->ResetCalls();
  std::int64_t shown = 0;
  for (auto _ : state) {
    shown += s.tag->TagDisplay(s.target);
    s.tag->TagHide();
  }
  if (shown != state.iterations()) state.SkipWithError("the tag was not shown");
  state.counters["host_calls"] = double(s.host->TotalCalls()) / double(state.iterations());
}
BENCHMARK(BM_TagDisplay)->ArgName("rule")->DenseRange(kNormal, kScanWithChart);

// Nothing under any probe: every point of the scan window is asked.
void BM_GridProbeWorstCase(benchmark::State& state) {
  Session s(kScan);
  s.host->AddChartSheet("Book1", "Chart1");
  s.host->Book("Book1").active_sheet = 1;
  ExcelWindowPtr window = s.host->ActiveWindow();
  const ScreenRect client{4, 150, 1276, 774};
  s.host->ResetCalls();
  for (auto _ : state) benchmark::DoNotOptimize(GetTopLeftCellPosition(*window, client, ScanWindow{}));
  state.counters["host_calls"] = double(s.host->TotalCalls()) / double(state.iterations());
}
BENCHMARK(BM_GridProbeWorstCase);

}  // namespace

BENCHMARK_MAIN();
