// The script of steps: parsing, and each step carried out on the model or as real input.
#include "sim/excel_exe/script.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "date/serial_date.h"
#include "host/locale.h"
#include "host/text.h"
#include "sim/cell_text.h"
#include "sim/excel_exe/script_steps.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

void Report(const char* format, const std::string& a, const std::string& b) {
  std::printf(format, a.c_str(), b.c_str());
  std::printf("\n");
  std::fflush(stdout);
}

std::pair<std::string, std::string> Split(const std::string& text) {
  const auto space = text.find(' ');
  if (space == std::string::npos) return {text, ""};
  return {text.substr(0, space), trim(text.substr(space + 1))};
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

std::string Corners(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom);
}

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

CellRef ScriptRunner::CellOf(const std::string& a1) const {
  const Area a = address::Parse(a1, model_.MaxRow(), model_.MaxColumn()).at(0);
  return CellRef{a.r1, a.c1};
}

bool ScriptRunner::Do(const ScriptStep& s) {
  if (s.verb == "wait") {
    return PumpMessages(static_cast<unsigned>(std::atoi(s.argument.c_str())));
  }
  std::optional<bool> done;
  for (auto family : {&ScriptRunner::SheetStep, &ScriptRunner::InputStep, &ScriptRunner::ViewStep, &ScriptRunner::HostStep})
    if ((done = (this->*family)(s))) break;
  if (!done || !*done) return false;
  windows_.Refresh();
  return true;
}

std::optional<bool> ScriptRunner::SheetStep(const ScriptStep& s) {
  [[maybe_unused]] const auto [first, rest] = Split(s.argument);
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
  } else if (s.verb == "format-cells") {
    // format-cells ok <format> | format-cells cancel: how the next Format Cells dialog is closed.
    if (first != "ok" && first != "cancel") return false;
    model_.ScriptFormatCells({first == "ok", rest});
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
  } else if (s.verb == "selection") {
    const SheetModel& sheet = model_.ActiveSheetModel();
    Report("selection %s%s", address::ColumnLetters(sheet.active_column) + std::to_string(sheet.active_row),
           model_.Editing() ? " editing \"" + model_.EditText() + "\"" : "");
  } else {
    return std::nullopt;
  }
  return true;
}

}  // namespace tessaly::sim::exe
