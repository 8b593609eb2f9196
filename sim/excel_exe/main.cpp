// The stand-in Excel: one workbook on the in-memory model, shown in Excel's window tree, with the
// add-ins registered for Excel loaded and connected; driven by the user or by a script of steps.
//   tessaly_excel.exe [--script FILE] [--no-addins] [--version N]
// Version 12 and later (16 unless told) show the add-ins' ribbon; earlier versions show toolbars.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "sim/excel_exe/addin_loader.h"
#include "sim/excel_exe/command_bars.h"
#include "sim/excel_exe/excel_objects.h"
#include "sim/excel_exe/ribbon_strip.h"
#include "sim/excel_exe/script.h"
#include "sim/excel_exe/workbook_window.h"
#include "win/utf.h"

using namespace tessaly;
using namespace tessaly::sim::exe;

namespace {

struct Options {
  std::wstring script;
  bool load_addins = true;
  std::string version = "16.0";
};

Options ReadArguments(int argc, wchar_t** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--script" && i + 1 < argc) o.script = argv[++i];
    if (a == L"--no-addins") o.load_addins = false;
    if (a == L"--version" && i + 1 < argc) o.version = std::to_string(_wtoi(argv[++i])) + ".0";
  }
  return o;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(win::to_utf8(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int MessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const Options options = ReadArguments(argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int code = 0;
  {
    auto model = sim::SimExcel::Create(options.version);
    const bool has_ribbon = model->MajorVersion() >= 12;
    model->AddWorkbook("Book1.xlsx", {"Sheet1"});
    HostWindows windows(model);
    if (!windows.Create({0, 0, 1000, 700})) {
      std::fprintf(stderr, "cannot create the main window\n");
      return 3;
    }

    auto host = std::make_shared<ExcelHost>();
    host->model = model;
    std::unique_ptr<ToolbarStrip> toolbars;
    host->changed = [&windows, &toolbars] {
      windows.Refresh();
      if (toolbars) toolbars->Refresh();
    };
    win::com_ptr<IDispatch> application = MakeApplication(host);
    std::vector<LoadedAddIn> addins;
    std::unique_ptr<AddInRibbon> ribbon;
    auto connect = [&](office::ext_ConnectMode mode) {
      if (!options.load_addins) return;
      addins = ConnectAddIns(application.get(), *host, mode);
      model->com_addins.clear();
      for (const LoadedAddIn& a : addins) model->com_addins.push_back(win::to_utf8(a.prog_id));
      if (!has_ribbon) return;
      for (const LoadedAddIn& a : addins) {
        auto xml = sim::ParseRibbonXml(a.ribbon_xml);
        if (!xml) continue;
        ribbon = std::make_unique<AddInRibbon>(windows.Strip(), a.object, *xml);
        break;  // one strip: the first add-in with a ribbon
      }
    };
    connect(office::ext_cm_Startup);
    if (!has_ribbon) toolbars = std::make_unique<ToolbarStrip>(windows.Strip(), model);
    windows.on_strip_command = [&ribbon, &toolbars](int command) {
      if (ribbon) ribbon->OnCommand(command);
      if (toolbars) toolbars->OnCommand(command);
    };
    windows.on_strip_draw = [&toolbars](const DRAWITEMSTRUCT& item) { return toolbars && toolbars->OnDrawItem(item); };
    windows.on_strip_refresh = [&ribbon] {
      if (ribbon) ribbon->RefreshInvalidated();
    };
    // Excel disconnects its add-ins while its windows still exist.
    auto shut_down = [&] {
      ribbon.reset();
      toolbars.reset();
      DisconnectAddIns(addins);
    };
    windows.on_close = shut_down;
    std::printf("ready\n");
    std::fflush(stdout);

    // The COM Add-ins dialog: the add-ins turned off, their servers let go, then turned on again.
    auto reconnect = [&] {
      ribbon.reset();
      DisconnectAddIns(addins, office::ext_dm_UserClosed);
      host->com_addins.clear();
      connect(office::ext_cm_AfterStartup);
    };

    // A script that does not quit leaves the stand-in to the user (or to xdotool) afterwards.
    bool script_ok = true;
    if (!options.script.empty()) {
      ScriptRunner::AddIns hooks{[&ribbon] { return static_cast<RibbonStrip*>(ribbon.get()); }, application.get(),
                                 reconnect, [&toolbars] { return toolbars.get(); }};
      script_ok = ScriptRunner(*model, windows, std::move(hooks)).Run(ParseScript(ReadFile(options.script)));
    }
    code = script_ok ? (windows.Main() ? MessageLoop() : 0) : 1;
    shut_down();
  }
  ::OleUninitialize();
  return code;
}
