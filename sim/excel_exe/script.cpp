// The script of steps: parsing, and each step carried out on the model or as real input.
#include "sim/excel_exe/script.h"

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

#include "date/serial_date.h"
#include "host/locale.h"
#include "host/text.h"
#include "sim/cell_text.h"
#include "sim/excel_exe/command_bars.h"
#include "sim/excel_exe/ribbon_strip.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

void Report(const char* format, const std::string& a, const std::string& b = "") {
  std::printf(format, a.c_str(), b.c_str());
  std::printf("\n");
  std::fflush(stdout);
}

std::pair<std::string, std::string> Split(const std::string& text) {
  const auto space = text.find(' ');
  if (space == std::string::npos) return {text, ""};
  return {text.substr(0, space), trim(text.substr(space + 1))};
}

INPUT MouseAt(POINT p, DWORD flags) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT i{};
  i.type = INPUT_MOUSE;
  i.mi.dx = static_cast<LONG>((p.x * 65535LL + w / 2) / (w - 1));
  i.mi.dy = static_cast<LONG>((p.y * 65535LL + h / 2) / (h - 1));
  i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | flags;
  return i;
}

void SendMouseClick(POINT p) {
  INPUT in[3] = {MouseAt(p, MOUSEEVENTF_MOVE), MouseAt(p, MOUSEEVENTF_LEFTDOWN), MouseAt(p, MOUSEEVENTF_LEFTUP)};
  ::SendInput(3, in, sizeof(INPUT));
}

// The left button pressed at one point, the mouse moved to another in steps, and let go there.
void SendMouseDrag(POINT from, POINT to) {
  INPUT in[6] = {MouseAt(from, MOUSEEVENTF_MOVE), MouseAt(from, MOUSEEVENTF_LEFTDOWN),
                 MouseAt({(2 * from.x + to.x) / 3, (2 * from.y + to.y) / 3}, MOUSEEVENTF_MOVE),
                 MouseAt({(from.x + 2 * to.x) / 3, (from.y + 2 * to.y) / 3}, MOUSEEVENTF_MOVE),
                 MouseAt(to, MOUSEEVENTF_MOVE), MouseAt(to, MOUSEEVENTF_LEFTUP)};
  ::SendInput(6, in, sizeof(INPUT));
}

void SendKey(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}

void SendText(const std::string& text) {
  for (wchar_t ch : win::to_wide(text)) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = ch;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
  }
}

const std::map<std::string, WORD> kKeys = {
    {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},   {"backspace", VK_BACK},
    {"up", VK_UP},        {"down", VK_DOWN},     {"left", VK_LEFT}, {"right", VK_RIGHT},
    {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT},
};

// The first visible window of the class that belongs to this process, top-level or child.
struct WindowSearch {
  std::wstring name;
  HWND found = nullptr;
};

BOOL CALLBACK VisitWindow(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  wchar_t name[256];
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w) && ::GetClassNameW(w, name, 256) && s->name == name) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK VisitTopWindow(HWND top, LPARAM lp) {
  if (!VisitWindow(top, lp)) return FALSE;
  ::EnumChildWindows(top, VisitWindow, lp);
  return reinterpret_cast<WindowSearch*>(lp)->found ? FALSE : TRUE;
}

// Hears a selection change once the add-in, subscribed before it, has handled it: the end of the
// add-in's decision, before anything the add-in leaves for its timers.
struct DecisionEnd : IApplicationEvents {
  void SheetSelectionChange(const SheetPtr&, const RangePtr&) override {
    if (done) done();
  }
  void SheetActivate(const SheetPtr&) override {}
  void SheetDeactivate(const SheetPtr&) override {}
  void WindowActivate(const WorkbookPtr&, const ExcelWindowPtr&) override {}
  void WindowDeactivate(const WorkbookPtr&, const ExcelWindowPtr&) override {}
  void WindowResize(const WorkbookPtr&, const ExcelWindowPtr&) override {}
  std::function<void()> done;
};

HWND FindOwnWindow(const std::wstring& class_name) {
  WindowSearch search{class_name};
  ::EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

POINT Centre(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::optional<Variant> ParseValue(const std::string& kind, const std::string& text) {
  if (kind == "text") return Variant::text(text);
  if (kind == "number") return Variant::number(std::atof(text.c_str()));
  if (kind == "bool") return Variant::boolean(text == "true");
  if (kind == "date") {
    int y = 0, m = 0, d = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &d) != 3) return std::nullopt;
    if (auto serial = serial::from_ymd(y, m, d)) return Variant::date(*serial);
  }
  return std::nullopt;
}

// Microseconds the work takes.
template <class F>
double Timed(F&& work) {
  LARGE_INTEGER f, a, b;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&a);
  work();
  ::QueryPerformanceCounter(&b);
  return double(b.QuadPart - a.QuadPart) * 1e6 / double(f.QuadPart);
}

std::string Figures(std::vector<double> v, const char* unit) {
  std::sort(v.begin(), v.end());
  char text[96];
  std::snprintf(text, sizeof text, "median %.1f %s, worst %.1f %s (%zu runs)", v[v.size() / 2], unit, v.back(), unit, v.size());
  return text;
}

// Calls an add-in's member by name as a careless or hostile caller might, and says what it answered.
HRESULT HostileCall(IDispatch* target, const wchar_t* name, WORD flags, DISPPARAMS params) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  if (const HRESULT hr = target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); FAILED(hr)) return hr;
  VARIANT result;
  ::VariantInit(&result);
  EXCEPINFO excep{};
  UINT arg_err = 0;
  const HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &excep, &arg_err);
  ::VariantClear(&result);
  ::SysFreeString(excep.bstrSource);
  ::SysFreeString(excep.bstrDescription);
  ::SysFreeString(excep.bstrHelpFile);
  return hr;
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
}

// "left top right bottom"
std::string Corners(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom);
}

// Application.Hwnd as an add-in reads it: through IDispatch.
long ApplicationHwnd(IDispatch* application) {
  if (!application) return 0;
  wchar_t name[] = L"Hwnd";
  LPOLESTR names[] = {name};
  DISPID id = DISPID_UNKNOWN;
  VARIANT result;
  ::VariantInit(&result);
  DISPPARAMS none{};
  if (FAILED(application->GetIDsOfNames(IID_NULL, names, 1, 1033, &id)) ||
      FAILED(application->Invoke(id, IID_NULL, 1033, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr)) ||
      V_VT(&result) != VT_I4)
    return 0;
  return V_I4(&result);
}

}  // namespace

std::vector<ScriptStep> ParseScript(const std::string& text) {
  std::vector<ScriptStep> steps;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    auto [verb, rest] = Split(line);
    steps.push_back({verb, rest});
  }
  return steps;
}

bool PumpMessages(unsigned milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

ScriptRunner::ScriptRunner(SimExcel& model, HostWindows& windows, AddIns addins)
    : model_(model), windows_(windows), addins_(std::move(addins)), application_(addins_.application) {
  wchar_t name[] = L"ActiveCell";
  LPOLESTR names[] = {name};
  if (application_) application_->GetIDsOfNames(IID_NULL, names, 1, 1033, &active_cell_id_);
}

bool ScriptRunner::Run(const std::vector<ScriptStep>& steps) {
  for (const ScriptStep& step : steps) {
    bool ok = false;
    try {
      ok = Do(step);
    } catch (const HostError& e) {
      Report("step failed: %s: %s", step.verb + " " + step.argument, e.what());
    }
    if (!ok) {
      Report("cannot carry out: %s %s", step.verb, step.argument);
      return false;
    }
    // After a quit the thread's queue says so; the script ends there, as it asked.
    if (!PumpMessages(60)) return step.verb == "quit";
  }
  return true;
}

bool ScriptRunner::Do(const ScriptStep& s) {
  const auto [first, rest] = Split(s.argument);
  auto cell_of = [&](const std::string& a1) {
    const Area a = address::Parse(a1, model_.MaxRow(), model_.MaxColumn()).at(0);
    return CellRef{a.r1, a.c1};
  };
  if (s.verb == "value") {
    auto [kind, text] = Split(rest);
    auto v = ParseValue(kind, text);
    if (!v) return false;
    SimExcel::Cell(model_.ActiveSheetModel(), first).value = *v;
  } else if (s.verb == "format") {
    SimExcel::Cell(model_.ActiveSheetModel(), first).number_format = rest;
  } else if (s.verb == "name") {
    // name NAME REFERS-TO: defines (or redefines) a name of the active workbook ("=Sheet1!$E$1:$E$9").
    WorkbookModel& book = *model_.ActiveSheetModel().parent;
    std::erase_if(book.names, [&](const auto& n) { return n.first == first; });
    book.names.emplace_back(first, rest);
  } else if (s.verb == "validation") {
    // validation CELLS date OP FORMULA1 [FORMULA2]: a date rule (Stop) as the Data Validation
    // dialog makes it; validation CELLS weekdays stop|warning|information: a custom rule taking
    // weekdays only, with its own message.
    auto [kind, spec] = Split(rest);
    ValidationModel rule;
    if (kind == "date") {
      auto [op, formulas] = Split(spec);
      auto [f1, f2] = Split(formulas);
      rule.op = std::atoi(op.c_str());
      rule.formula1 = f1;
      rule.formula2 = f2;
    } else if (kind == "weekdays") {
      static const std::map<std::string, std::int32_t> kAlerts = {
          {"stop", xl::kValidAlertStop}, {"warning", xl::kValidAlertWarning}, {"information", xl::kValidAlertInformation}};
      const auto alert = kAlerts.find(spec);
      if (alert == kAlerts.end()) return false;
      rule.type = xl::kValidateCustom;
      rule.formula1 = "=WEEKDAY(" + first + ",2)<6";
      rule.alert_style = alert->second;
      rule.error_title = "Working days";
      rule.error_message = "Pick a working day.";
      rule.allows = [](const Variant& v) { return (v.is_date() || v.is_number()) && serial::weekday(v.as_double()) % 6 != 1; };
    } else {
      return false;
    }
    SimExcel::SetValidation(model_.ActiveSheetModel(), first, std::move(rule));
  } else if (s.verb == "select") {
    model_.UserSelect(s.argument);
  } else if (s.verb == "click") {
    auto p = windows_.CellCentreOnScreen(cell_of(s.argument));
    if (!p) return false;
    SendMouseClick(*p);
  } else if (s.verb == "click-window") {
    HWND w = FindOwnWindow(win::to_wide(s.argument));
    if (!w) return false;
    SendMouseClick(Centre(w));
  } else if (s.verb == "click-button") {
    // click-button <window class> <caption>: a real click on a button of one of the own windows.
    HWND w = FindOwnWindow(win::to_wide(first));
    HWND button = w ? ::FindWindowExW(w, nullptr, nullptr, win::to_wide(rest).c_str()) : nullptr;
    if (!button) return false;
    SendMouseClick(Centre(button));
  } else if (s.verb == "ribbon") {
    RibbonStrip* ribbon = addins_.ribbon();
    auto p = ribbon ? ribbon->ButtonCentreOnScreen(s.argument) : std::nullopt;
    if (!p) return false;
    SendMouseClick(*p);
  } else if (s.verb == "format-cells") {
    // format-cells ok <format> | format-cells cancel: how the next Format Cells dialog is closed.
    if (first != "ok" && first != "cancel") return false;
    model_.ScriptFormatCells({first == "ok", rest});
  } else if (s.verb == "reconnect") {
    // reconnect [count]: the add-ins turned off and on again that many times.
    const int count = s.argument.empty() ? 1 : std::atoi(s.argument.c_str());
    if (count < 1) return false;
    for (int i = 0; i < count; ++i) {
      addins_.reconnect();
      if (!PumpMessages(0)) return false;
    }
  } else if (s.verb == "ribbon-where") {
    RibbonStrip* ribbon = addins_.ribbon();
    auto p = ribbon ? ribbon->ButtonCentreOnScreen(s.argument) : std::nullopt;
    // A greyed-out button says so after its place.
    Report("ribbon %s %s", s.argument,
           p ? "at " + std::to_string(p->x) + " " + std::to_string(p->y) + " in " + ribbon->Tab() +
                   (ribbon->ButtonEnabled(s.argument) ? "" : " disabled")
             : std::string("absent"));
  } else if (s.verb == "hostile") {
    // Inconsistent DISPPARAMS at the add-in's callbacks: each must get an error, none a crash.
    IDispatch* addin = addins_.addin();
    if (!addin) return false;
    VARIANT_BOOL yes = VARIANT_TRUE;
    VARIANT inner, args[2];
    ::VariantInit(&inner), ::VariantInit(&args[0]), ::VariantInit(&args[1]);
    V_VT(&inner) = VT_BOOL | VT_BYREF, V_BOOLREF(&inner) = &yes;
    V_VT(&args[0]) = VT_VARIANT | VT_BYREF, V_VARIANTREF(&args[0]) = &inner;
    V_VT(&args[1]) = VT_DISPATCH, V_DISPATCH(&args[1]) = application_;
    DISPID put = DISPID_PROPERTYPUT, other = 7;
    const struct {
      const char* what;
      const wchar_t* name;
      WORD flags;
      DISPPARAMS params;
    } calls[] = {
        {"more named than all", L"ZorelButtonProc", DISPATCH_METHOD, {args, &put, 1, 2}},
        {"no argument array", L"ZorelButtonProc", DISPATCH_METHOD, {nullptr, nullptr, 2, 0}},
        {"no named ids", L"ZorelButtonProc", DISPATCH_METHOD, {args, nullptr, 2, 1}},
        {"a named argument", L"ZorelButtonProc", DISPATCH_METHOD, {args, &other, 1, 1}},
        {"a put on a callback", L"ZorelButtonProc", DISPATCH_PROPERTYPUT, {args, &put, 1, 1}},
        {"a reference to a reference", L"ZorelToggleButtonProc", DISPATCH_METHOD, {args, nullptr, 2, 0}},
        {"a call with no kind", L"ZorelGetScreentip", 0, {args + 1, nullptr, 1, 0}},
    };
    int accepted = 0;
    for (const auto& c : calls) {
      const HRESULT hr = HostileCall(addin, c.name, c.flags, c.params);
      accepted += SUCCEEDED(hr);
      char code[16];
      std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
      Report("hostile %s: %s", c.what, code);
    }
    Report("hostile done: %s accepted%s", std::to_string(accepted), "");
  } else if (s.verb == "resources") {
    // The thread-local slots still free (each taken until none is left, then given back) and the
    // process's committed memory: what loading and unloading an add-in must not use up.
    std::vector<DWORD> slots;
    for (DWORD slot; (slot = ::TlsAlloc()) != TLS_OUT_OF_INDEXES;) slots.push_back(slot);
    for (DWORD slot : slots) ::TlsFree(slot);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    Report("resources %s %s", "tls-free " + std::to_string(slots.size()),
           "commit-kb " + std::to_string(memory.PagefileUsage / 1024) + " working-set-kb " +
               std::to_string(memory.WorkingSetSize / 1024));
  } else if (s.verb == "view") {
    const WindowModel& w = model_.Book(model_.ActiveSheetModel().parent->name).win;
    Report("view row %s zoom %s", std::to_string(w.scroll_row[0]) + " column " + std::to_string(w.scroll_column[0]),
           std::to_string(static_cast<int>(w.zoom)));
  } else if (s.verb == "type") {
    SendText(s.argument);
  } else if (s.verb == "key") {
    auto k = kKeys.find(s.argument);
    if (k == kKeys.end()) return false;
    SendKey(k->second);
  } else if (s.verb == "wait") {
    return PumpMessages(static_cast<unsigned>(std::atoi(s.argument.c_str())));
  } else if (s.verb == "mark") {
    Report("mark %s", s.argument);
  } else if (s.verb == "fail") {
    model_.FailAlways(s.argument);
  } else if (s.verb == "fail-next") {
    model_.FailNext(s.argument);
  } else if (s.verb == "clear-faults") {
    model_.ClearFaults();
  } else if (s.verb == "busy") {
    // "busy on": Excel with a dialog of its own open refuses every call until "busy off".
    if (s.argument != "on" && s.argument != "off") return false;
    model_.SetBusy(s.argument == "on");
  } else if (s.verb == "on-change") {
    // The workbook's Change macro: "select <cells>", "value <cell> <kind> <text>" (written into
    // the cell the macro names), or "off".
    if (s.argument == "off") {
      model_.on_sheet_change = nullptr;
    } else if (first == "select") {
      model_.on_sheet_change = [this, cells = rest](SheetModel&, const std::vector<Area>&) { model_.UserSelect(cells); };
    } else if (first == "value") {
      auto [cell, typed] = Split(rest);
      auto [kind, text] = Split(typed);
      auto v = ParseValue(kind, text);
      if (!v) return false;
      model_.on_sheet_change = [cell, value = *v](SheetModel& sheet, const std::vector<Area>&) {
        SimExcel::Cell(sheet, cell).value = value;
      };
    } else {
      return false;
    }
  } else if (s.verb == "dump") {
    SheetModel& sheet = model_.ActiveSheetModel();
    for (const Area& a : address::Parse(s.argument, model_.MaxRow(), model_.MaxColumn()))
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) {
          auto it = sheet.cells.find({r, c});
          const std::string shown = it == sheet.cells.end() ? "" : CellDisplayText(it->second, LocaleData::us_english());
          const std::string format = it == sheet.cells.end() ? "General" : it->second.number_format;
          Report("cell %s = %s", address::ColumnLetters(c) + std::to_string(r), "\"" + shown + "\" [" + format + "]");
        }
  } else if (s.verb == "window") {
    HWND w = FindOwnWindow(win::to_wide(s.argument));
    RECT r{};
    if (w) ::GetWindowRect(w, &r);
    Report("window %s %s", s.argument,
           w ? "shown " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
                   " " + std::to_string(r.bottom - r.top)
             : std::string("hidden"));
  } else if (s.verb == "zoom" || s.verb == "freeze" || s.verb == "split" || s.verb == "scroll") {
    // The window's view: zoom percent, frozen or split panes and scrolling (rows, then columns).
    WorkbookModel& book = *model_.ActiveSheetModel().parent;
    const std::int32_t a = std::atoi(first.c_str()), b = std::atoi(rest.c_str());
    if (s.verb == "zoom") book.win.zoom = a;
    if (s.verb == "freeze") model_.FreezePanes(book.name, a, b);
    if (s.verb == "split") model_.Split(book.name, a, b);
    if (s.verb == "scroll") book.win.scroll_row[0] = std::max(a, 1), book.win.scroll_column[0] = std::max(b, 1);
  } else if (s.verb == "zoom-button" || s.verb == "where-zoom") {
    // zoom-button in|out: a real click on the status bar's + or - button; where-zoom: where it is.
    if (s.argument != "in" && s.argument != "out") return false;
    auto p = windows_.ZoomButtonCentreOnScreen(s.argument == "in");
    if (!p) return false;
    if (s.verb == "zoom-button") SendMouseClick(*p);
    else Report("zoom-button %s %s", s.argument, std::to_string(p->x) + " " + std::to_string(p->y));
  } else if (s.verb == "drag-border" || s.verb == "where-border") {
    // drag-border column|row <letters or row> <pixels>: a real drag of the column's right border
    // (the row's bottom border) in the headers, by that many pixels; where-border: where it is.
    std::istringstream words(s.argument);
    std::string kind, which;
    int by = 0;
    words >> kind >> which >> by;
    if (kind != "column" && kind != "row") return false;
    const CellRef at = cell_of(kind == "column" ? which + "1" : "A" + which);
    auto p = kind == "column" ? windows_.ColumnBorderOnScreen(at.column) : windows_.RowBorderOnScreen(at.row);
    if (!p) return false;
    if (s.verb == "where-border") {
      Report("border %s %s", kind + " " + which, std::to_string(p->x) + " " + std::to_string(p->y));
    } else {
      SendMouseDrag(*p, kind == "column" ? POINT{p->x + by, p->y} : POINT{p->x, p->y + by});
      PumpMessages(200);
    }
  } else if (s.verb == "view-zoom") {
    // View > Zoom, closed with OK at that percent.
    model_.UserSetZoom(std::atof(s.argument.c_str()));
  } else if (s.verb == "hide" || s.verb == "unhide") {
    // hide|unhide rows <first> <last>, hide|unhide columns <first> <last>: Home > Format > Hide &
    // Unhide, or an outline group's minus and plus buttons.
    std::istringstream words(s.argument);
    std::string kind, a, b;
    words >> kind >> a >> b;
    if (b.empty()) b = a;
    if (kind == "rows") model_.UserHideRows(std::atoi(a.c_str()), std::atoi(b.c_str()), s.verb == "hide");
    else if (kind == "columns") model_.UserHideColumns(cell_of(a + "1").column, cell_of(b + "1").column, s.verb == "hide");
    else return false;
  } else if (s.verb == "sheet-right-to-left") {
    // sheet-right-to-left on|off: Page Layout > Sheet Right-to-Left on the active sheet.
    if (s.argument != "on" && s.argument != "off") return false;
    model_.UserSetDisplayRightToLeft(s.argument == "on");
  } else if (s.verb == "freeze-panes") {
    // View > Freeze Panes at the active cell, or Unfreeze Panes.
    model_.UserToggleFreezePanes();
  } else if (s.verb == "column-width" || s.verb == "row-height" || s.verb == "hide-column" || s.verb == "hide-row") {
    // column-width <letters> <points>, row-height <row> <points>, hide-column <letters>, hide-row <row>
    SheetModel& sheet = model_.ActiveSheetModel();
    const bool columns = s.verb == "column-width" || s.verb == "hide-column";
    const CellRef at = cell_of(columns ? first + "1" : "A" + first);
    Axis& axis = columns ? sheet.columns : sheet.rows;
    const std::int32_t index = columns ? at.column : at.row;
    if (s.verb.rfind("hide", 0) == 0) axis.hidden.insert(index);
    else axis.sizes[index] = std::atof(rest.c_str());
  } else if (s.verb == "click-points") {
    // A click just inside the corner the object model gives for the cell: what it answers must be on screen.
    const CellRef cell = cell_of(s.argument);
    const SheetModel& sheet = model_.ActiveSheetModel();
    const std::int32_t pane = PaneShowing(model_.Layout(*sheet.parent), cell.row, cell.column).index;
    RangePtr range = model_.ActiveSheet()->Range(s.argument);
    PanePtr p = model_.ActiveWindow()->Panes(pane);
    const POINT at{p->PointsToScreenPixelsX(static_cast<std::int32_t>(std::lround(range->Left()))) + 3,
                   p->PointsToScreenPixelsY(static_cast<std::int32_t>(std::lround(range->Top()))) + 3};
    SendMouseClick(at);
  } else if (s.verb == "check-edge") {
    // The selected cell's drawn edge lies where the object model puts the cell's left side.
    const CellRef cell = cell_of(s.argument);
    const SheetModel& sheet = model_.ActiveSheetModel();
    const std::int32_t pane = PaneShowing(model_.Layout(*sheet.parent), cell.row, cell.column).index;
    RangePtr range = model_.ActiveSheet()->Range(s.argument);
    PanePtr p = model_.ActiveWindow()->Panes(pane);
    const int x = p->PointsToScreenPixelsX(static_cast<std::int32_t>(std::lround(range->Left())));
    const int top = p->PointsToScreenPixelsY(static_cast<std::int32_t>(std::lround(range->Top())));
    const int bottom = p->PointsToScreenPixelsY(static_cast<std::int32_t>(std::lround(range->Top() + range->Height())));
    HDC screen = ::GetDC(nullptr);
    const COLORREF seen = ::GetPixel(screen, x, (top + bottom) / 2);
    ::ReleaseDC(nullptr, screen);
    char colour[16];
    std::snprintf(colour, sizeof colour, "%02X%02X%02X", GetRValue(seen), GetGValue(seen), GetBValue(seen));
    Report("edge %s %s", s.argument, std::string("at ") + std::to_string(x) + " " + std::to_string((top + bottom) / 2) + " #" + colour);
  } else if (s.verb == "bench") {
    // bench <count> <cell> <other cell>: figures of the host under an add-in, printed as
    // median and worst: one IDispatch round trip (Application.ActiveCell, then its Value), and
    // a whole selection change raised through the connection point (the add-in's handling included).
    std::istringstream words(s.argument);
    int count = 0;
    std::string target, other;
    words >> count >> target >> other;
    if (count < 1 || !application_) return false;
    auto trip = [&] {
      VARIANT cell, value;
      ::VariantInit(&cell), ::VariantInit(&value);
      DISPPARAMS none{};
      application_->Invoke(active_cell_id_, IID_NULL, 1033, DISPATCH_PROPERTYGET, &none, &cell, nullptr, nullptr);
      if (V_VT(&cell) == VT_DISPATCH && V_DISPATCH(&cell)) {
        DISPID value_id = DISPID_UNKNOWN;
        wchar_t name[] = L"Value";
        LPOLESTR names[] = {name};
        V_DISPATCH(&cell)->GetIDsOfNames(IID_NULL, names, 1, 1033, &value_id);
        V_DISPATCH(&cell)->Invoke(value_id, IID_NULL, 1033, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
      }
      ::VariantClear(&cell), ::VariantClear(&value);
    };
    std::vector<double> trips, changes, calls;
    for (int i = 0; i < count; ++i) trips.push_back(Timed(trip) / 2);
    for (int i = 0; i < count; ++i) {
      model_.UserSelect(other);
      const std::int64_t before = model_.TotalCalls();
      changes.push_back(Timed([&] { model_.UserSelect(target); }));
      calls.push_back(double(model_.TotalCalls() - before));
      PumpMessages(0);
    }
    Report("bench IDispatch round trip: %s", Figures(trips, "us"));
    Report("bench selection change through COM: %s", Figures(changes, "us"));
    Report("bench host calls per selection change: %s", Figures(calls, ""));
  } else if (s.verb == "where") {
    auto p = windows_.CellCentreOnScreen(cell_of(s.argument));
    if (!p) return false;
    Report("where %s %s", s.argument, std::to_string(p->x) + " " + std::to_string(p->y));
  } else if (s.verb == "where-control") {
    // where-control <bar> <position>: the centre of a toolbar's control on screen.
    auto [bar, position] = Split(s.argument);
    ToolbarStrip* toolbars = addins_.toolbars();
    auto p = toolbars ? toolbars->ControlCentreOnScreen(bar, static_cast<std::size_t>(std::atoi(position.c_str())))
                      : std::nullopt;
    if (!p) return false;
    Report("control %s %s", s.argument, std::to_string(p->x) + " " + std::to_string(p->y));
  } else if (s.verb == "clipboard") {
    // The user's content as another program reads it: the text, the private format's text, and
    // whether a bitmap is there.
    if (!::OpenClipboard(nullptr)) return false;
    auto text_of = [](UINT format, std::size_t terminator) {
      HANDLE h = ::GetClipboardData(format);
      const auto* p = h ? static_cast<const wchar_t*>(::GlobalLock(h)) : nullptr;
      if (!p) return std::string("-");
      std::wstring t(p, ::GlobalSize(h) / sizeof(wchar_t) - terminator);
      ::GlobalUnlock(h);
      return win::to_utf8(t.c_str());
    };
    const std::string text = text_of(CF_UNICODETEXT, 1);
    const std::string own = text_of(::RegisterClipboardFormatW(kPrivateClipboardFormat), 0);
    const bool bitmap = ::IsClipboardFormatAvailable(CF_BITMAP);
    ::CloseClipboard();
    Report("clipboard text %s, private %s", text, own + (bitmap ? ", a bitmap" : ""));
  } else if (s.verb == "bars") {
    // Each visible toolbar and the cell menu: the controls' captions, "|" before a group, "*" when down.
    for (const auto& bar : model_.Bars()) {
      if (!bar->visible && bar->name != "Cell") continue;
      std::string line;
      for (const auto& c : bar->controls) {
        if (!c->visible) continue;
        line += std::string(line.empty() ? "" : " ") + (c->begin_group ? "| " : "") + c->caption +
                (c->state == xl::kButtonDown ? "*" : "") + (c->picture_image ? " [picture]" : "");
      }
      Report("bar %s: %s", bar->name, line);
    }
  } else if (s.verb == "await-bar") {
    // await-bar NAME TIMEOUT: waits, handling messages, for a visible command bar of that name; an
    // add-in may build its bars once its connection has returned.
    auto [name, timeout] = Split(s.argument);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::atoi(timeout.c_str()));
    const auto shown = [&] {
      const auto& bars = model_.Bars();
      return std::any_of(bars.begin(), bars.end(), [&](const auto& bar) { return bar->name == name && bar->visible; });
    };
    while (!shown() && ::GetTickCount64() < end)
      if (!PumpMessages(50)) return false;
    Report("awaited bar %s %s", name, shown() ? "shown" : "missing");
  } else if (s.verb == "await-window" || s.verb == "await-gone") {
    // Waits, handling messages, for a window of the class to show (or to go), then reports it.
    auto [class_name, timeout] = Split(s.argument);
    const bool want = s.verb == "await-window";
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::atoi(timeout.c_str()));
    HWND w = FindOwnWindow(win::to_wide(class_name));
    while ((w != nullptr) != want && ::GetTickCount64() < end) {
      if (!PumpMessages(50)) return false;
      w = FindOwnWindow(win::to_wide(class_name));
    }
    RECT r{};
    if (w) ::GetWindowRect(w, &r);
    Report("window %s %s", class_name,
           w ? "shown " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
                   " " + std::to_string(r.bottom - r.top)
             : std::string("hidden"));
  } else if (s.verb == "sweep") {
    // sweep <date cell> <other cell> <tag class>: each member of the model made to fail in turn
    // while the user clicks from the other cell onto the date cell; a decision that met the
    // failure must leave no tag shown.
    std::istringstream words(s.argument);
    std::string target, other, tag;
    words >> target >> other >> tag;
    auto to = windows_.CellCentreOnScreen(cell_of(target));
    auto away = windows_.CellCentreOnScreen(cell_of(other));
    if (!to || !away || tag.empty()) return false;
    int bad = 0;
    // The member fails for the decision alone: the calendar the add-in readies afterwards, at its
    // timer, is not the decision.
    auto decision_end = std::make_shared<DecisionEnd>();
    struct Subscription {
      SimExcel& model;
      std::shared_ptr<DecisionEnd> sink;
      std::int32_t cookie;
      ~Subscription() {
        sink->done = nullptr;
        model.ClearFaults();
        model.Unadvise(cookie);
      }
    } subscription{model_, decision_end, model_.Advise(decision_end)};
    for (const std::string& member : SimExcel::Members()) {
      SendMouseClick(*away);
      if (!PumpMessages(150)) return false;
      const std::int64_t before = model_.Calls(member);
      std::int64_t asked = -1;
      decision_end->done = [&] {
        model_.ClearFaults();
        asked = model_.Calls(member);
      };
      model_.FailAlways(member);
      SendMouseClick(*to);
      if (!PumpMessages(250)) return false;
      decision_end->done = nullptr;
      model_.ClearFaults();
      if (asked < 0) asked = model_.Calls(member);
      if (asked == before) continue;  // the decision never asked for it
      const bool shown = FindOwnWindow(win::to_wide(tag)) != nullptr;
      bad += shown;
      Report("sweep %s: %s", member, shown ? "tag left shown" : "tag hidden");
    }
    Report("sweep done: %s%s", std::to_string(bad) + " faults left a tag", "");
  } else if (s.verb == "focus") {
    // The window with the keyboard focus: its class, and its parent's.
    const HWND f = ::GetFocus();
    const auto class_of = [](HWND w) {
      wchar_t name[128] = L"";
      if (w) ::GetClassNameW(w, name, 128);
      return win::to_utf8(w ? name : L"none");
    };
    Report("focus %s in %s", class_of(f), class_of(f ? ::GetParent(f) : nullptr));
  } else if (s.verb == "await-file") {
    // await-file <path> <ms>: handles messages until the file exists, so input from outside the
    // process can be interleaved with the steps.
    auto [path, timeout] = Split(s.argument);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::atoi(timeout.c_str()));
    const std::wstring wide = win::to_wide(path);
    while (::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetTickCount64() < end)
      if (!PumpMessages(50)) return false;
    Report("file %s %s", path, ::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES ? "missing" : "found");
  } else if (s.verb == "selection") {
    const SheetModel& sheet = model_.ActiveSheetModel();
    Report("selection %s%s", address::ColumnLetters(sheet.active_column) + std::to_string(sheet.active_row),
           model_.Editing() ? " editing \"" + model_.EditText() + "\"" : "");
  } else if (s.verb == "calls") {
    // calls [member]: how often the add-in called the model (that member, or all) since the last reset.
    Report("calls %s %s", s.argument.empty() ? "all" : s.argument,
           std::to_string(s.argument.empty() ? model_.TotalCalls() : model_.Calls(s.argument)));
  } else if (s.verb == "reset-calls") {
    model_.ResetCalls();
  } else if (s.verb == "new-workbook") {
    model_.UserNewWorkbook(model_.NewWorkbookName());
  } else if (s.verb == "close-workbook") {
    // close-workbook [name]: as the user closes it (the active one unless named); never the last.
    if (model_.Books().size() < 2) return false;
    model_.UserCloseWorkbook(s.argument.empty() ? model_.ActiveSheetModel().parent->name : s.argument);
  } else if (s.verb == "activate-workbook") {
    model_.UserActivateWorkbook(s.argument);
  } else if (s.verb == "new-window") {
    // View > New Window on the active workbook.
    model_.UserNewWindow();
  } else if (s.verb == "activate-window") {
    model_.UserActivateWindow(s.argument);
  } else if (s.verb == "close-window") {
    // The active window closes; never the last window of the session.
    if (model_.WindowCaptions().size() < 2) return false;
    model_.UserCloseWindow();
  } else if (s.verb == "windows") {
    // Each workbook window by caption, the active one with its workbook window and active cell.
    const WorkbookModel* active = model_.HasWorkbook() ? model_.ActiveSheetModel().parent : nullptr;
    for (const std::string& caption : model_.WindowCaptions()) {
      const bool is_active = active && caption == active->Caption(active->window_id);
      const SheetModel* sheet = is_active ? &model_.ActiveSheetModel() : nullptr;
      Report("window %s%s", caption,
             is_active ? " active window " + std::to_string(active->window) + " cell " +
                             address::ColumnLetters(sheet->active_column) + std::to_string(sheet->active_row)
                       : std::string());
    }
  } else if (s.verb == "workbooks") {
    // Each workbook with its main and workbook windows, then what Application.Hwnd answers through COM.
    for (const auto& book : model_.Books())
      Report("workbook %s %s", book->name,
             "main " + std::to_string(book->main) + " window " + std::to_string(book->window) +
                 (book.get() == model_.ActiveSheetModel().parent ? " active" : ""));
    Report("application hwnd %s%s", std::to_string(ApplicationHwnd(application_)), "");
  } else if (s.verb == "move-window" || s.verb == "size-window") {
    // move-window <x> <y> | size-window <width> <height>: the active workbook's main window, restored.
    HWND main = windows_.Main();
    const int a = std::atoi(first.c_str()), b = std::atoi(rest.c_str());
    if (!main || (s.verb == "size-window" && (a < 1 || b < 1))) return false;
    ::ShowWindow(main, SW_RESTORE);
    if (s.verb == "move-window") ::SetWindowPos(main, nullptr, a, b, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else ::SetWindowPos(main, nullptr, 0, 0, a, b, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (s.verb == "monitors") {
    std::vector<RECT> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    for (const RECT& r : monitors) Report("monitor %s%s", Corners(r), "");
  } else if (s.verb == "cell-box") {
    auto r = windows_.CellOnScreen(cell_of(s.argument));
    if (!r) return false;
    Report("cell-box %s %s", s.argument, Corners(*r));
  } else if (s.verb == "owner") {
    // owner <class>: the top-level window that holds the visible window of the class.
    HWND w = FindOwnWindow(win::to_wide(s.argument));
    Report("owner %s %s", s.argument, w ? std::to_string(reinterpret_cast<std::uintptr_t>(::GetAncestor(w, GA_ROOT))) : std::string("none"));
  } else if (s.verb == "client") {
    // The active workbook window's client area on screen.
    RECT r{};
    ::GetClientRect(windows_.Book(), &r);
    ::MapWindowPoints(windows_.Book(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    Report("client %s%s", Corners(r), "");
  } else if (s.verb == "quit") {
    windows_.PostQuit();
  } else {
    return false;
  }
  windows_.Refresh();
  return true;
}

}  // namespace tessaly::sim::exe
