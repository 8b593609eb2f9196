// What a repaint of the sheet costs the add-in while the tag is shown: the view watch's call on
// each paint, and the one deferred check of the tag's place once the window is quiet, with nothing
// moved and with the cell moved by a zoom.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/controller.h"
#include "settings/init_system.h"
#include "sim/addin_instance.h"
#include "sim/excel_sim.h"
#include "sim/headless_tag_form.h"
#include "sim/headless_ui.h"
#include "sim/manual_timers.h"
#include "sim/memory_services.h"
#include "tag/frm_tag.h"

using namespace tessaly;

namespace {

// The host's desktop, keeping the calls the controller's view watch is given, so that a paint can
// be delivered without the stand-in desktop's own work around it.
class WatchedDesktop final : public IWindowSystem {
 public:
  explicit WatchedDesktop(sim::SimDesktop& d) : d_(d) {}
  WindowHandle FindTopLevelWindow(const std::string& c, WindowHandle a) override { return d_.FindTopLevelWindow(c, a); }
  WindowHandle FindChildWindow(WindowHandle p, const std::string& c, WindowHandle a) override { return d_.FindChildWindow(p, c, a); }
  std::uint32_t WindowProcessId(WindowHandle w) override { return d_.WindowProcessId(w); }
  std::uint32_t CurrentProcessId() override { return d_.CurrentProcessId(); }
  ScreenRect WindowScreenRect(WindowHandle w) override { return d_.WindowScreenRect(w); }
  ScreenRect ClientRect(WindowHandle w) override { return d_.ClientRect(w); }
  ScreenPoint ClientToScreen(WindowHandle w, ScreenPoint p) override { return d_.ClientToScreen(w, p); }
  ScreenPoint ScreenToClient(WindowHandle w, ScreenPoint p) override { return d_.ScreenToClient(w, p); }
  ScreenRect MonitorRect(WindowHandle w) override { return d_.MonitorRect(w); }
  ScreenPoint CursorPos() override { return d_.CursorPos(); }
  WindowHandle WindowFromPoint(ScreenPoint p) override { return d_.WindowFromPoint(p); }
  void SetWindowStyles(WindowHandle w, std::uint32_t s, std::uint32_t x) override { d_.SetWindowStyles(w, s, x); }
  void SetParent(WindowHandle w, WindowHandle p) override { d_.SetParent(w, p); }
  WindowHandle Parent(WindowHandle w) override { return d_.Parent(w); }
  void MoveWindow(WindowHandle w, ScreenRect r) override { d_.MoveWindow(w, r); }
  void ShowWindow(WindowHandle w, bool show) override { d_.ShowWindow(w, show); }
  void SetRepaintSuppressed(WindowHandle w, bool s) override { d_.SetRepaintSuppressed(w, s); }
  std::unique_ptr<IWindowWatch> WatchView(WindowHandle w, ViewWatchCalls calls) override {
    watched = calls;
    return d_.WatchView(w, std::move(calls));
  }
  ViewWatchCalls watched;

 private:
  sim::SimDesktop& d_;
};

// The real tag on the stand-in desktop; the calendar stays windowless.
struct TagParts : sim::HeadlessParts {
  TagParts(mVantry& m, std::shared_ptr<sim::SimExcel> h, IWindowSystem& w) : m_(m), host_(std::move(h)), windows_(w) {}
  std::unique_ptr<ITagWindow> CreateTag() override {
    auto form = std::make_unique<sim::HeadlessTagForm>(host_->Desktop(), m_.ExcelMainWindow);
    return std::make_unique<frmTag>(TagServices{m_, host_, windows_, host_->Desktop()}, std::move(form));
  }
  mVantry& m_;
  std::shared_ptr<sim::SimExcel> host_;
  IWindowSystem& windows_;
};

struct Session {
  Session() {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, mem.services());
    m.ExcelVersion = 16;
    m.ExcelMainWindow = host->MainHwnd();
    host->AddWorkbook("Book1", {"Sheet1"});
    sim::SimExcel::Cell(host->Sheet("Book1", "Sheet1"), "C2").number_format = "d mmm yyyy";
    controller = std::make_unique<cVantry>(
        ControllerServices{m, mem.messages, host->Desktop(), windows, host->Desktop(), mem.clock, judge, parts, mem.files,
                           nullptr, nullptr, &timers},
        host, std::make_shared<sim::SimAddInInstance>());
    controller->InitThisObject();
    host->UserSelect("C2");
  }
  bool Shown() const { return controller->Tag() && controller->Tag()->Displayed(); }
  sim::MemoryServices mem;
  mVantry m;
  std::shared_ptr<sim::SimExcel> host = sim::SimExcel::Create("16.0");
  WatchedDesktop windows{host->Desktop()};
  sim::ManualTimers timers;
  TagParts parts{m, host, windows};
  struct Judge : IDateJudge {
    bool IsDateFormat(const Variant& f) const override { return f.is_text() && f.as_text() != "General"; }
    bool IsDateLikeValue(const Variant&) const override { return false; }
    std::optional<double> ReadAsDate(const Variant&) const override { return std::nullopt; }
  } judge;
  std::unique_ptr<cVantry> controller;
};

// Every paint but the first of a burst: the check is already due, so the call only reads a flag.
void BM_RepaintWhileACheckIsDue(benchmark::State& state) {
  Session s;
  if (!s.Shown() || !s.windows.watched.changed) return state.SkipWithError("no tag shown");
  s.windows.watched.changed();  // the burst's first paint
  s.host->ResetCalls();
  for (auto _ : state) s.windows.watched.changed();
  state.counters["host_calls"] = double(s.host->TotalCalls()) / double(state.iterations());
}
BENCHMARK(BM_RepaintWhileACheckIsDue);

// A burst's first paint, and the check the timer then runs, finding the tag beside its cell: the
// whole of what a repaint where nothing moved costs.
void BM_RepaintAndCheckNothingMoved(benchmark::State& state) {
  Session s;
  if (!s.Shown()) return state.SkipWithError("no tag shown");
  s.host->ResetCalls();
  for (auto _ : state) {
    s.windows.watched.changed();
    s.timers.Elapse(20);
  }
  if (!s.Shown()) state.SkipWithError("the tag went");
  state.counters["host_calls"] = double(s.host->TotalCalls()) / double(state.iterations());
}
BENCHMARK(BM_RepaintAndCheckNothingMoved);

// The same with the zoom changed between paints, so that each check moves the tag.
void BM_RepaintAndCheckTagMoved(benchmark::State& state) {
  Session s;
  if (!s.Shown()) return state.SkipWithError("no tag shown");
  double& zoom = s.host->Book("Book1").win.zoom;
  s.host->ResetCalls();
  for (auto _ : state) {
    zoom = zoom == 100 ? 150 : 100;
    s.windows.watched.changed();
    s.timers.Elapse(20);
  }
  if (!s.Shown()) state.SkipWithError("the tag went");
  state.counters["host_calls"] = double(s.host->TotalCalls()) / double(state.iterations());
}
BENCHMARK(BM_RepaintAndCheckTagMoved);

}  // namespace

BENCHMARK_MAIN();
