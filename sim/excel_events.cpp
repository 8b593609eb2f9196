// The stand-in application's events: the subscriptions, and what the user does that raises them
// (selecting, switching sheets and workbooks, closing one, editing a cell).
#include "sim/excel_sim.h"

#include <cstdlib>

#include "host/text.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

void SimExcel::Raise(const std::function<void(IApplicationEvents&)>& event) {
  // A copy: a handler may end its subscription while the event is delivered.
  auto sinks = sinks_;
  for (auto& [cookie, sink] : sinks)
    if (sinks_.count(cookie)) event(*sink);
}

std::int32_t SimExcel::Advise(std::shared_ptr<IApplicationEvents> sink) {
  Enter("Application.Advise");
  sinks_[next_cookie_] = std::move(sink);
  return next_cookie_++;
}
void SimExcel::Unadvise(std::int32_t cookie) {
  Enter("Application.Unadvise");
  sinks_.erase(cookie);
}

// ---------------------------------------------------------------- what the user does

void SimExcel::UserSelect(const std::string& a1_address) {
  auto book = ActiveBook();
  SelectAreas(book->sheets[book->active_sheet], address::Parse(a1_address, MaxRow(), MaxColumn()));
}

void SimExcel::SelectAreas(const std::shared_ptr<SheetModel>& sheet, std::vector<Area> areas) {
  sheet->selection = WidenToMerged(*sheet, std::move(areas));
  sheet->selected_object.clear();
  sheet->active_row = sheet->selection[0].r1;
  sheet->active_column = sheet->selection[0].c1;
  SheetPtr sh = SheetObject(sheet);
  RangePtr target = RangeObject(sheet, sheet->selection);
  Raise([&](IApplicationEvents& e) { e.SheetSelectionChange(sh, target); });
}

void SimExcel::Changed(const std::shared_ptr<SheetModel>& sheet, const std::vector<Area>& areas) {
  if (on_sheet_change) on_sheet_change(*sheet, areas);
  if (sheet->closed) return;
  SheetPtr sh = SheetObject(sheet);
  RangePtr target = RangeObject(sheet, areas);
  Raise([&](IApplicationEvents& e) { e.SheetChange(sh, target); });
}

void SimExcel::UserSelectObject(const std::string& type_name) { ActiveSheetModel().selected_object = type_name; }

void SimExcel::UserActivateSheet(const std::string& name) {
  auto book = ActiveBook();
  for (std::size_t i = 0; i < book->sheets.size(); ++i) {
    if (!iequals(book->sheets[i]->name, name) || i == book->active_sheet) continue;
    SheetPtr old_sheet = SheetObject(book->sheets[book->active_sheet]);
    Raise([&](IApplicationEvents& e) { e.SheetDeactivate(old_sheet); });
    book->active_sheet = i;
    SheetPtr new_sheet = SheetObject(book->sheets[i]);
    Raise([&](IApplicationEvents& e) { e.SheetActivate(new_sheet); });
    return;
  }
}

void SimExcel::UserActivateWorkbook(const std::string& name) {
  auto next = BookShared(&Book(name));
  if (next == active_book_) return;
  if (auto old = active_book_) {
    WorkbookPtr wb = WorkbookObject(old);
    ExcelWindowPtr wn = WindowObject(old);
    Raise([&](IApplicationEvents& e) { e.WindowDeactivate(wb, wn); });
  }
  active_book_ = next;
  RaiseWindow(*next);
  WorkbookPtr wb = WorkbookObject(next);
  ExcelWindowPtr wn = WindowObject(next);
  Raise([&](IApplicationEvents& e) { e.WindowActivate(wb, wn); });
}

void SimExcel::UserNewWorkbook(const std::string& name) {
  AddWorkbook(name);
  UserActivateWorkbook(name);
}

void SimExcel::UserCloseWorkbook(const std::string& name) {
  auto book = BookShared(&Book(name));
  const bool active = book == active_book_;
  if (active) {
    WorkbookPtr wb = WorkbookObject(book);
    ExcelWindowPtr wn = WindowObject(book);
    Raise([&](IApplicationEvents& e) { e.WindowDeactivate(wb, wn); });
  }
  CloseWorkbook(name);
  if (!active || !active_book_) return;
  RaiseWindow(*active_book_);
  WorkbookPtr wb = WorkbookObject(active_book_);
  ExcelWindowPtr wn = WindowObject(active_book_);
  Raise([&](IApplicationEvents& e) { e.WindowActivate(wb, wn); });
}

void SimExcel::UserBeginEdit(const std::string& typed) {
  editing_ = true;
  edit_text_ = typed;
}

void SimExcel::ApplyKeys(const std::string& keys) {
  if (!editing_) return;
  if (keys == "^~") {
    SheetModel& sheet = ActiveSheetModel();
    // Typed digits become a number, anything else stays text, as the host's entry does for these.
    char* end = nullptr;
    double number = std::strtod(edit_text_.c_str(), &end);
    bool numeric = !edit_text_.empty() && end && *end == '\0';
    WriteValue(sheet, sheet.active_row, sheet.active_column, numeric ? Variant::number(number) : Variant::text(edit_text_));
    editing_ = false;
    edit_text_.clear();
    Changed(SheetShared(&sheet), {Area{sheet.active_row, sheet.active_column, sheet.active_row, sheet.active_column}});
  } else if (keys == "{ESC}") {
    editing_ = false;
  }
  if (!editing_) edit_text_.clear();
}

}  // namespace tessaly::sim
