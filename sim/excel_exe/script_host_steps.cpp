// The script's steps on the host itself: faults and a busy host, the add-ins turned off and on,
// hostile callers, resources, figures and call counts.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>

#include "sim/excel_exe/script.h"
#include "sim/excel_exe/script_steps.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

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

}  // namespace

std::optional<bool> ScriptRunner::HostStep(const ScriptStep& s) {
  [[maybe_unused]] const auto [first, rest] = Split(s.argument);
  if (s.verb == "reconnect") {
    // reconnect [count]: the add-ins turned off and on again that many times.
    const int count = s.argument.empty() ? 1 : std::atoi(s.argument.c_str());
    if (count < 1) return false;
    for (int i = 0; i < count; ++i) {
      addins_.reconnect();
      if (!PumpMessages(0)) return false;
    }
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
  } else if (s.verb == "census") {
    // census [N]: heap blocks, GDI objects, windows and committed bytes, then each kind and size
    // whose count moved by N or more since the census before: what a repeated action leaves behind.
    const long least = s.argument.empty() ? 0 : std::atol(s.argument.c_str());
    const MemoryCensus::Totals t = census_.Take();
    Report("census %s %s", std::to_string(t.heap_blocks) + " heap blocks, " + std::to_string(t.gdi_objects) +
           " GDI objects, " + std::to_string(t.windows) + " windows,", std::to_string(t.committed_bytes / 1024) + " kB committed");
    if (least > 0)
      for (const auto& m : census_.MovedSince(least)) Report("census %s %s", m.what, (m.by > 0 ? "+" : "") + std::to_string(m.by));
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
  } else if (s.verb == "sweep") {
    // sweep <date cell> <other cell> <tag class>: each member of the model made to fail in turn
    // while the user clicks from the other cell onto the date cell; a decision that met the
    // failure must leave no tag shown.
    std::istringstream words(s.argument);
    std::string target, other, tag;
    words >> target >> other >> tag;
    auto to = windows_.CellCentreOnScreen(CellOf(target));
    auto away = windows_.CellCentreOnScreen(CellOf(other));
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
  } else if (s.verb == "calls") {
    // calls [member]: how often the add-in called the model (that member, or all) since the last reset.
    Report("calls %s %s", s.argument.empty() ? "all" : s.argument,
           std::to_string(s.argument.empty() ? model_.TotalCalls() : model_.Calls(s.argument)));
  } else if (s.verb == "reset-calls") {
    model_.ResetCalls();
  } else if (s.verb == "quit") {
    windows_.PostQuit();
  } else {
    return std::nullopt;
  }
  return true;
}

}  // namespace tessaly::sim::exe
