// The stand-in Excel: one workbook on the in-memory model, shown in Excel's window tree, with the
// add-ins registered for Excel loaded and connected; driven by the user or by a script of steps.
//   tessaly_excel.exe [--script FILE] [--no-addins] [--version N]
// Version 12 and later (16 unless told) show the add-ins' ribbon; earlier versions show toolbars.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <map>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "sim/excel_exe/addin_loader.h"
#include "sim/excel_exe/builtin_dialogs.h"
#include "sim/excel_exe/command_bars.h"
#include "sim/excel_exe/excel_objects.h"
#include "sim/excel_exe/ribbon_strip.h"
#include "sim/excel_exe/script.h"
#include "sim/excel_exe/toolbar_file.h"
#include "sim/excel_exe/workbook_window.h"
#include "win/utf.h"

using namespace tessaly;
using namespace tessaly::sim::exe;

namespace {

struct Options {
  std::wstring script;
  bool load_addins = true;
  std::string version = "16.0";
  std::wstring clipboard_text;  // the user's clipboard at the start: this text and a private format
};

Options ReadArguments(int argc, wchar_t** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--script" && i + 1 < argc) o.script = argv[++i];
    if (a == L"--no-addins") o.load_addins = false;
    if (a == L"--clipboard-text" && i + 1 < argc) o.clipboard_text = argv[++i];
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

HGLOBAL GlobalCopy(const void* data, std::size_t size) {
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (void* p = memory ? ::GlobalLock(memory) : nullptr) {
    std::memcpy(p, data, size);
    ::GlobalUnlock(memory);
  }
  return memory;
}

// What the user copied before the add-in came: a text, and the same text in a private format of
// another program.
void PutUsersClipboard(HWND owner, const std::wstring& text) {
  if (text.empty() || !::OpenClipboard(owner)) return;
  ::EmptyClipboard();
  ::SetClipboardData(CF_UNICODETEXT, GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
  ::SetClipboardData(::RegisterClipboardFormatW(kPrivateClipboardFormat), GlobalCopy(text.data(), text.size() * sizeof(wchar_t)));
  ::CloseClipboard();
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
    // Excel keeps its toolbars in the user's profile between runs, and the add-ins' controls with them.
    const std::wstring toolbar_file = ToolbarFilePath(model->MajorVersion());
    ReadToolbarFile(*model, toolbar_file);
    model->AddWorkbook("Book1.xlsx", {"Sheet1"});
    HostWindows windows(model);
    if (!windows.Create({0, 0, 1000, 700})) {
      std::fprintf(stderr, "cannot create the main window\n");
      return 3;
    }

    PutUsersClipboard(windows.Main(), options.clipboard_text);
    auto host = std::make_shared<ExcelHost>();
    host->model = model;
    std::unique_ptr<ToolbarStrip> toolbars;
    host->changed = [&windows, &toolbars] {
      windows.Refresh();
      if (toolbars) toolbars->Refresh();
    };
    host->show_dialog = [&windows, &model](std::int32_t n) { return ShowBuiltInDialog(windows.Main(), *model, n); };
    win::com_ptr<IDispatch> application = MakeApplication(host);
    host->application = application.get();
    std::vector<LoadedAddIn> addins;
    std::map<std::wstring, win::com_ptr<IDispatch>> com_addin_of;
    // The strip follows the ribbon XML of the first connected add-in that gave one. Held shared:
    // a callback into the strip may turn its add-in off.
    std::shared_ptr<AddInRibbon> ribbon;
    auto show_ribbon = [&] {
      ribbon.reset();
      for (const LoadedAddIn& a : addins) {
        auto xml = sim::ParseRibbonXml(a.ribbon_xml);
        if (!xml) continue;
        ribbon = std::make_shared<AddInRibbon>(windows.Strip(), a.object, *xml);
        break;
      }
    };
    // A control's action text "!<ProgId>" routes its click to a connected add-in.
    auto route_clicks = [&] {
      model->com_addins.clear();
      for (const LoadedAddIn& a : addins) model->com_addins.push_back(win::to_utf8(a.prog_id));
    };
    auto connected = [&](const std::wstring& prog_id) {
      return std::find_if(addins.begin(), addins.end(), [&](const LoadedAddIn& a) { return a.prog_id == prog_id; });
    };
    // COMAddIn.Connect: off disconnects and releases the object (COM may unload its server);
    // on creates a new object and connects it, as Excel does.
    host->set_connect = [&](const std::wstring& prog_id, bool on) {
      auto it = connected(prog_id);
      if (!on) {
        if (it == addins.end()) return;
        LoadedAddIn gone = std::move(*it);
        addins.erase(it);
        route_clicks();
        show_ribbon();
        DisconnectAddIn(gone, office::ext_dm_UserClosed);
        return;
      }
      if (it != addins.end()) return;
      auto a = ConnectAddIn(prog_id, com_addin_of[prog_id], application.get(), office::ext_cm_AfterStartup, has_ribbon);
      if (!a) throw HostError(-2147467259, "The add-in could not be loaded.", "COMAddIn.Connect");
      addins.push_back(std::move(*a));
      route_clicks();
      show_ribbon();
    };
    if (options.load_addins)
      for (const std::wstring& prog_id : StartupAddIns()) {
        com_addin_of[prog_id] = MakeComAddIn(host, prog_id, prog_id);
        host->com_addins.push_back(com_addin_of[prog_id]);
        if (auto a = ConnectAddIn(prog_id, com_addin_of[prog_id], application.get(), office::ext_cm_Startup, has_ribbon))
          addins.push_back(std::move(*a));
      }
    route_clicks();
    show_ribbon();
    if (!has_ribbon) toolbars = std::make_unique<ToolbarStrip>(windows.Strip(), model);
    windows.on_strip_command = [&ribbon, &toolbars](int command) {
      if (auto keep = ribbon) keep->OnCommand(command);
      if (toolbars) toolbars->OnCommand(command);
    };
    windows.on_strip_draw = [&toolbars](const DRAWITEMSTRUCT& item) { return toolbars && toolbars->OnDrawItem(item); };
    windows.on_strip_refresh = [&ribbon] {
      if (auto keep = ribbon) keep->RefreshInvalidated();
    };
    // Excel disconnects its add-ins while its windows still exist.
    auto shut_down = [&] {
      ribbon.reset();
      toolbars.reset();
      for (LoadedAddIn& a : addins) DisconnectAddIn(a, office::ext_dm_HostShutdown);
      addins.clear();
      host->set_connect = [](const std::wstring&, bool) {};
      host->com_addins.clear();
      com_addin_of.clear();
    };
    windows.on_close = shut_down;
    std::printf("ready\n");
    std::fflush(stdout);

    // The COM Add-ins dialog: each add-in turned off, then on again.
    auto reconnect = [&] {
      for (auto& [prog_id, com_addin] : com_addin_of) {
        const HRESULT off = SetComAddInConnect(com_addin.get(), false);
        const HRESULT on = SetComAddInConnect(com_addin.get(), true);
        if (FAILED(off) || FAILED(on))
          std::printf("add-in %s: turned off 0x%08lX, on 0x%08lX\n", win::to_utf8(prog_id).c_str(),
                      static_cast<unsigned long>(off), static_cast<unsigned long>(on));
      }
    };

    // A script that does not quit leaves the stand-in to the user (or to xdotool) afterwards.
    bool script_ok = true;
    if (!options.script.empty()) {
      ScriptRunner::AddIns hooks{[&ribbon] { return static_cast<RibbonStrip*>(ribbon.get()); }, application.get(),
                                 reconnect,
                                 [&addins] { return addins.empty() ? static_cast<IDispatch*>(nullptr) : addins.front().object.get(); },
                                 [&toolbars] { return toolbars.get(); }};
      script_ok = ScriptRunner(*model, windows, std::move(hooks)).Run(ParseScript(ReadFile(options.script)));
    }
    code = script_ok ? (windows.Main() ? MessageLoop() : 0) : 1;
    shut_down();
    WriteToolbarFile(*model, toolbar_file);
  }
  ::OleUninitialize();
  return code;
}
