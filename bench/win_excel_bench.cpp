// Costs of reaching Excel through COM, measured under Wine against the stand-in Excel's automation
// objects: one IDispatch round trip, a whole selection change through the events sink and the
// adapters (time and host calls), Tessaly.dll's OnConnection until the controller is ready, and the
// pieces of the connection's work one by one on the add-in's own Windows services.
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
#include "sim/memory_services.h"
#include "win/com/addin_services.h"
#include "win/com/controller_parts.h"
#include "win/com/office_interfaces.h"
#include "win/com/server_registration.h"
#include "win/excel/dispatch_caller.h"
#include "win/excel/excel_objects.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/tag_window.h"

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
  ::OleUninitialize();
  return 0;
}
