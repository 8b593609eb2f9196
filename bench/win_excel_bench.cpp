// Costs of reaching Excel through COM, measured under Wine against the stand-in Excel's automation
// objects: one IDispatch round trip, a whole selection change through the events sink and the
// adapters (time and host calls), Tessaly.dll's OnConnection until the controller is ready, the
// pieces of the connection's work one by one on the add-in's own Windows services, and what a
// repaint of the workbook window costs while the tag shows.
// Run as: win_excel_bench.exe [folder of Tessaly.dll]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/win_clock.h"
#include "core/controller.h"
#include "core/date_predicates.h"
#include "host/platform_graphics.h"
#include "settings/folders.h"
#include "settings/init_system.h"
#include "sim/addin_instance.h"
#include "sim/desktop.h"
#include "sim/excel_exe/excel_objects.h"
#include "sim/excel_sim.h"
#include "sim/headless_ui.h"
#include "sim/headless_tag_form.h"
#include "sim/manual_timers.h"
#include "sim/memory_services.h"
#include "tag/frm_tag.h"
#include "win/com/addin_services.h"
#include "win/com/controller_parts.h"
#include "win/com/office_interfaces.h"
#include "win/com/server_registration.h"
#include "win/excel/dispatch_caller.h"
#include "win/excel/excel_objects.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/system_timers.h"
#include "win/ui/tag_window.h"
#include "win/win_window_system.h"

using namespace tessaly;

namespace {

struct Spread {
  double median, worst;
};
template <class T>
Spread spread(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return {double(v[v.size() / 2]), double(v.back())};
}

// The stand-in Excel's model and its automation objects, with a workbook of the cells the
// controller benchmark uses.
struct Host {
  Host() {
    model->AddWorkbook("Book1", {"Sheet1"});
    sim::SheetModel& s = model->Sheet("Book1", "Sheet1");
    sim::SimExcel::Cell(s, "A1").number_format = "d mmm yyyy";
    sim::SimExcel::Cell(s, "B1").value = Variant::date(45000);
    sim::SimExcel::Cell(s, "C1").number_format = "yyyy-mm-dd";
    sim::SimExcel::Cell(s, "D1").value = Variant::text("Due date");
    sim::SimExcel::Cell(s, "E1").value = Variant::number(12.5);
    exe->model = model;
    app = sim::exe::MakeApplication(exe);
  }
  std::shared_ptr<sim::SimExcel> model = sim::SimExcel::Create("12.0");
  std::shared_ptr<sim::exe::ExcelHost> exe = std::make_shared<sim::exe::ExcelHost>();
  win::com_ptr<IDispatch> app;
};

void round_trip() {
  Host h;
  win::excel::AutomationObject app(h.app);
  app.Get(L"Interactive");  // the DISPID is looked up once
  const int rounds = 20000;
  std::vector<double> each;
  each.reserve(rounds);
  for (int i = 0; i < rounds; ++i) {
    const double t = tessaly::bench::NowMs();
    app.Get(L"Interactive");
    each.push_back(1000.0 * (tessaly::bench::NowMs() - t));
  }
  Spread s = spread(each);
  std::printf("IDispatch round trip (Application.Interactive, %d calls): median %.2f us, worst %.1f us\n", rounds,
              s.median, s.worst);
}

struct Controller {
  explicit Controller(ExcelApplicationPtr app) {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, mem.services());
    m.ExcelVersion = 12;
    judge = MakeDatePredicates(m, mem.clock);
    controller = std::make_unique<cVantry>(
        ControllerServices{m, mem.messages, desk, desk, desk, mem.clock, *judge, parts, mem.files}, std::move(app),
        std::make_shared<sim::SimAddInInstance>());
    controller->InitThisObject();
  }
  sim::MemoryServices mem;
  mVantry m;
  sim::SimDesktop desk;
  sim::HeadlessParts parts;
  std::unique_ptr<IDateJudge> judge;
  std::unique_ptr<cVantry> controller;
};

void selection_change(bool through_com) {
  Host h;
  h.model->ResetCalls();
  ExcelApplicationPtr app = through_com ? win::excel::WrapExcelApplication(h.app.get()) : ExcelApplicationPtr(h.model);
  Controller c(app);
  c.desk.AddWindow(h.model->Book("Book1").window, "EXCEL7", c.desk.current_process, {0, 0, 1000, 700});
  const char* const mix[] = {"A1", "B1", "C2", "D2", "E2", "A1:B2", "A1,C3", "$5:$5", "F9"};
  const int rounds = 2700;
  std::vector<double> times;
  std::vector<std::int64_t> calls;
  const std::uint64_t lookups_before = win::excel::NameLookups();
  for (int i = 0; i < rounds; ++i) {
    std::int64_t before = h.model->TotalCalls();
    const double t = tessaly::bench::NowMs();
    h.model->UserSelect(mix[i % std::size(mix)]);
    times.push_back(1000.0 * (tessaly::bench::NowMs() - t));
    calls.push_back(h.model->TotalCalls() - before);
  }
  Spread t = spread(times), n = spread(calls);
  std::printf("selection change %s (mix of 9 cells, %d changes): median %.1f us, worst %.0f us; host calls median %.0f,"
              " worst %.0f; name lookups %.1f per change\n",
              through_com ? "through COM" : "on the model directly", rounds, t.median, t.worst, n.median, n.worst,
              double(win::excel::NameLookups() - lookups_before) / rounds);
}

void connection(const std::wstring& folder) {
  HMODULE dll = ::LoadLibraryW((folder + L"Tessaly.dll").c_str());
  if (!dll) return void(std::printf("OnConnection: Tessaly.dll not found in the given folder\n"));
  auto get_class = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(::GetProcAddress(dll, "DllGetClassObject")));
  win::com_ptr<IClassFactory> factory;
  if (!get_class || FAILED(get_class(win::CLSID_Connect, IID_IClassFactory, factory.put_void())))
    return void(std::printf("OnConnection: no class object\n"));
  std::vector<double> times;
  for (int i = 0; i < 30; ++i) {
    Host h;
    win::com_ptr<IDispatch> instance = sim::exe::MakeComAddIn(h.exe, L"TESSALY.Connect", L"Tessaly");
    win::com_ptr<office::IDTExtensibility2> addin;
    factory->CreateInstance(nullptr, office::IID_IDTExtensibility2, addin.put_void());
    SAFEARRAYBOUND bound{1, 0};
    win::unique_safearray custom(::SafeArrayCreate(VT_VARIANT, 1, &bound));
    LONG at = 0;
    VARIANT one;
    V_VT(&one) = VT_I4;
    V_I4(&one) = 1;
    ::SafeArrayPutElement(custom.get(), &at, &one);
    SAFEARRAY* array = custom.get();
    const double t = tessaly::bench::NowMs();
    HRESULT hr = addin->OnConnection(h.app.get(), office::ext_cm_Startup, instance.get(), &array);
    times.push_back(1000.0 * (tessaly::bench::NowMs() - t));
    if (FAILED(hr) || h.model->Subscribers() != 1) return void(std::printf("OnConnection failed or did not subscribe\n"));
    addin->OnDisconnection(office::ext_dm_HostShutdown, &array);
  }
  Spread s = spread(times);
  std::printf("OnConnection to ready (controller subscribed, %zu connections): median %.0f us, worst %.0f us\n",
              times.size(), s.median, s.worst);
}

// The connection's work piece by piece, each on the add-in's own Windows services: where the time
// of OnConnection goes.
void connection_pieces(const std::wstring& folder) {
  const HMODULE dll = ::LoadLibraryW((folder + L"Tessaly.dll").c_str());
  win::AddInServices services(::GetModuleHandleW(nullptr), "C:\\");
  ConnectServices cs = services.Services();
  const SettingsServices& st = cs.settings;
  const HWND owner = ::CreateWindowExW(0, L"STATIC", L"XLMAIN", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                       nullptr, nullptr);
  std::vector<double> first_run, init, folders, load, tag, form, icons;
  const auto timed = [](std::vector<double>& into, auto&& work) {
    const double t = tessaly::bench::NowMs();
    work();
    into.push_back(1000.0 * (tessaly::bench::NowMs() - t));
  };
  for (int i = 0; i < 30; ++i) {
    mVantry m;
    m.ExcelMainWindow = reinterpret_cast<std::uintptr_t>(owner);
    timed(first_run, [&] { ReadFirstTimeRun(m, st.store); });
    timed(init, [&] { InitSystem(m, st); });
    timed(folders, [&] {
      FolderContext ctx{st.files, st.messages, m.ProductName, m.WinVersion};
      for (int csidl : {kCsidlAppData, kCsidlCommonAppData})
        EnsureFolderExists(ctx, GetSpecialFolder(st.shell, st.files, csidl) + "Brenmoor\\" + m.ProductName + "\\",
                           csidl == kCsidlCommonAppData);
    });
    timed(load, [&] { m.RegMan->LoadAll(); });
    std::unique_ptr<IGraphics> graphics;
    timed(tag, [&] { win::CreateTagForm(owner); });
    timed(form, [&] {
      graphics = MakePlatformGraphics();
      win::CreateCalendarForm({m, *graphics, st.clock, LocaleData::us_english(), {}, &cs.screen}, owner);
    });
    if (dll) {
      timed(icons, [&] {
        win::IconImageList list(dll);
        for (const char* key : {"display", "enable", "disable", "setting16", "about", "help"}) list.Add(key);
      });
    }
  }
  const auto report = [](const char* what, const std::vector<double>& v) {
    const Spread s = spread(v);
    std::printf("  %s: median %.0f us, worst %.0f us\n", what, s.median, s.worst);
  };
  std::printf("OnConnection's pieces (30 rounds each):\n");
  report("first-run flag read and written", first_run);
  report("options started (InitSystem: data folders, 63 options, machine file)", init);
  report("  of which the two data folders found and made sure of", folders);
  report("  of which the options loaded (LoadAll)", load);
  report("the tag's window made", tag);
  report("the calendar pop-up's windows made", form);
  if (!icons.empty()) report("the image list's six icons loaded from the DLL", icons);
  ::DestroyWindow(owner);
}

// A window that paints nothing, as a stand-in for the workbook window's own paint.
HWND SheetWindow() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchSheet";
  ::RegisterClassExW(&wc);
  return ::CreateWindowExW(0, L"BenchSheet", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

// One paint of the window, timed in microseconds.
double TimedPaint(HWND w) {
  ::InvalidateRect(w, nullptr, FALSE);
  const double t = tessaly::bench::NowMs();
  ::UpdateWindow(w);
  return 1000.0 * (tessaly::bench::NowMs() - t);
}

// Handles the thread's messages for a while, or until the check has run when a windowless tag
// is given (it counts its follows).
void PumpFor(double milliseconds, const sim::HeadlessTag* tag = nullptr) {
  const int follows = tag ? tag->follows : 0;
  const double end = tessaly::bench::NowMs() + milliseconds;
  MSG msg;
  while ((!tag || tag->follows == follows) && tessaly::bench::NowMs() < end)
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// The add-in's window system, keeping the calls the controller's view watch is given.
struct CapturingWindows : win::Win32WindowSystem {
  std::unique_ptr<IWindowWatch> WatchView(WindowHandle w, ViewWatchCalls calls) override {
    watched = calls;
    return win::Win32WindowSystem::WatchView(w, std::move(calls));
  }
  ViewWatchCalls watched;
};

// What a paint of the workbook window costs the add-in while the tag shows. The subclass that
// watches the window: paints of one real window with an empty watch on it and without, in
// alternate blocks. The controller's own call on each paint: while a check is already due, and as
// a burst's first paint, which sets the check's system timer.
void repaint_signal() {
  win::Win32WindowSystem plain_windows;
  const HWND sheet = SheetWindow();
  PumpFor(200);
  std::vector<double> unwatched, watched;
  for (int block = 0; block < 200; ++block) {
    std::unique_ptr<IWindowWatch> watch = plain_windows.WatchView(reinterpret_cast<WindowHandle>(sheet), {[] {}, [] {}});
    for (int i = 0; i < 100; ++i) watched.push_back(TimedPaint(sheet));
    watch.reset();
    for (int i = 0; i < 100; ++i) unwatched.push_back(TimedPaint(sheet));
  }
  const Spread u = spread(unwatched), w = spread(watched);
  std::printf("paint of a real window (%zu paints each): unwatched median %.2f us, through the watch's subclass %.2f us (%+.2f us)\n",
              watched.size(), u.median, w.median, w.median - u.median);

  Host h;
  sim::SimExcel::Cell(h.model->Sheet("Book1", "Sheet1"), "A1").number_format = "d mmm yyyy";
  CapturingWindows windows;
  win::Win32Timers timers;
  sim::MemoryServices mem;
  mVantry m;
  m.AddInFolder = "C:\\Tessaly\\";
  InitSystem(m, mem.services());
  m.ExcelVersion = 12;
  std::unique_ptr<IDateJudge> judge = MakeDatePredicates(m, mem.clock);
  sim::SimDesktop desk;
  sim::HeadlessParts parts;
  cVantry controller(ControllerServices{m, mem.messages, desk, windows, desk, mem.clock, *judge, parts, mem.files, nullptr,
                                        nullptr, &timers},
                     h.model, std::make_shared<sim::SimAddInInstance>());
  controller.InitThisObject();
  parts.tag->parent = reinterpret_cast<WindowHandle>(sheet);
  h.model->UserSelect("A1");
  if (!parts.tag->displayed || !windows.watched.changed) return void(std::printf("repaint: no tag shown\n"));
  PumpFor(200, parts.tag);
  std::vector<double> first;
  for (int i = 0; i < 200; ++i) {
    PumpFor(200, parts.tag);  // the check runs: the next paint is a burst's first
    const double t = tessaly::bench::NowMs();
    windows.watched.changed();
    first.push_back(1000.0 * (tessaly::bench::NowMs() - t));
  }
  const int calls = 1000000;
  const double t = tessaly::bench::NowMs();
  for (int i = 0; i < calls; ++i) windows.watched.changed();
  const double due_ns = 1e6 * (tessaly::bench::NowMs() - t) / calls;
  PumpFor(200, parts.tag);
  const Spread f = spread(first);
  std::printf("the controller's call on a paint with the tag shown: a check already due %.1f ns; a burst's first paint "
              "(its timer set) median %.2f us, worst %.0f us; checks run %d\n",
              due_ns, f.median, f.worst, parts.tag->follows);
  ::DestroyWindow(sheet);
}

// The real tag on the stand-in desktop, the host reached directly or only through COM.
struct TagParts : sim::HeadlessParts {
  TagParts(mVantry& m, std::shared_ptr<sim::SimExcel> model, ExcelApplicationPtr app) : m_(m), model_(std::move(model)), app_(std::move(app)) {}
  std::unique_ptr<ITagWindow> CreateTag() override {
    auto form = std::make_unique<sim::HeadlessTagForm>(model_->Desktop(), m_.ExcelMainWindow);
    return std::make_unique<frmTag>(TagServices{m_, app_, model_->Desktop(), model_->Desktop()}, std::move(form));
  }
  mVantry& m_;
  std::shared_ptr<sim::SimExcel> model_;
  ExcelApplicationPtr app_;
};

// The check the timer runs once the window is quiet, with the real tag beside C2 and nothing moved:
// time and host calls, on the model directly and through COM.
void view_check(bool through_com) {
  Host h;
  sim::SimExcel::Cell(h.model->Sheet("Book1", "Sheet1"), "C2").number_format = "d mmm yyyy";
  ExcelApplicationPtr app = through_com ? win::excel::WrapExcelApplication(h.app.get()) : ExcelApplicationPtr(h.model);
  sim::MemoryServices mem;
  mVantry m;
  m.AddInFolder = "C:\\Tessaly\\";
  InitSystem(m, mem.services());
  m.ExcelVersion = 12;
  m.ExcelMainWindow = h.model->MainHwnd();
  std::unique_ptr<IDateJudge> judge = MakeDatePredicates(m, mem.clock);
  sim::SimDesktop& desk = h.model->Desktop();
  sim::ManualTimers timers;
  TagParts parts(m, h.model, app);
  cVantry controller(ControllerServices{m, mem.messages, desk, desk, desk, mem.clock, *judge, parts, mem.files, nullptr,
                                        nullptr, &timers},
                     app, std::make_shared<sim::SimAddInInstance>());
  controller.InitThisObject();
  h.model->UserSelect("C2");
  if (!controller.Tag() || !controller.Tag()->Displayed()) return void(std::printf("check: no tag shown\n"));
  const WindowHandle book = h.model->Book("Book1").window;
  const int rounds = 5000;
  std::vector<double> times;
  std::vector<std::int64_t> calls;
  for (int i = 0; i < rounds; ++i) {
    const std::int64_t before = h.model->TotalCalls();
    const double t = tessaly::bench::NowMs();
    desk.Repainted(book);
    timers.Elapse(20);
    times.push_back(1000.0 * (tessaly::bench::NowMs() - t));
    calls.push_back(h.model->TotalCalls() - before);
  }
  if (!controller.Tag()->Displayed()) return void(std::printf("check: the tag went\n"));
  const Spread t = spread(times), n = spread(calls);
  std::printf("check of the tag's place, nothing moved, %s (%d checks): median %.1f us, worst %.0f us; host calls %.0f\n",
              through_com ? "through COM" : "on the model directly", rounds, t.median, t.worst, n.median);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::OleInitialize(nullptr);
  round_trip();
  selection_change(false);
  selection_change(true);
  std::wstring folder = argc > 1 ? argv[1] : L"";
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  connection(folder);
  connection_pieces(folder);
  repaint_signal();
  view_check(false);
  view_check(true);
  ::OleUninitialize();
  return 0;
}
