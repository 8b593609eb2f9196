// The stand-in application: its set-up, the count and faults of every member, and the members of
// Application itself (selection, active objects, keys, pending messages, built-in dialogs).
#include "sim/excel_sim.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "sim/excel_member.h"

namespace tessaly::sim {

namespace {

const std::vector<std::string> kMembers = {
    "Application.Version", "Application.Hwnd", "Application.Selection", "Application.ActiveCell",
    "Application.ActiveWindow", "Application.ActiveSheet", "Application.ActiveWorkbook", "Application.Interactive",
    "Application.Workbooks", "Application.CommandBars", "Application.SendKeys", "Application.TypeKeys",
    "Application.ProcessPendingMessages",
    "Application.Dialogs",
    "Application.Advise", "Application.Unadvise",
    "Object.TypeName", "Object.AsRange",
    "Range.Value.get", "Range.Value.set", "Range.NumberFormat.get", "Range.NumberFormat.set", "Range.HasFormula",
    "Range.Formula.get", "Range.Formula.set",
    "Range.Locked", "Range.MergeCells", "Range.Areas.Count", "Range.Cells.Count", "Range.Cells.Item", "Range.Row",
    "Range.Column", "Range.Offset", "Range.Address", "Range.AllowEdit", "Range.Activate", "Range.Worksheet",
    "Range.Left", "Range.Top", "Range.Width", "Range.Height", "Range.Rows.Count", "Range.Columns.Count",
    "Range.Rows.Item", "Range.Columns.Item", "Range.EntireRow", "Range.EntireColumn", "Range.Hidden",
    "Range.MergeArea", "Range.Select", "Range.Validation",
    "Validation.Type", "Validation.Operator", "Validation.Formula1", "Validation.Formula2",
    "Validation.AlertStyle", "Validation.ErrorTitle", "Validation.ErrorMessage", "Validation.Value",
    "Sheet.Evaluate",
    "Sheet.Type", "Sheet.Name", "Sheet.ProtectContents", "Sheet.Cells", "Sheet.Range", "Sheet.Parent",
    "Sheet.ChartObjects.Add",
    "ChartObject.Placement.set", "ChartObject.Left.set", "ChartObject.Top.set", "ChartObject.Activate",
    "ChartObject.Delete",
    "Workbook.Name", "Workbook.ReadOnly", "Workbook.IsInplace", "Workbook.Worksheets", "Workbook.Names",
    "Name.RefersToRange", "Workbooks.Add",
    "Workbooks.Count",
    "Window.Panes.Count", "Window.ActiveSheet", "Window.ActiveCell", "Window.Selection",
    "Window.Type", "Window.WindowState", "Window.Zoom", "Window.View", "Window.FreezePanes", "Window.DisplayRightToLeft",
    "Window.SplitHorizontal", "Window.SplitVertical", "Window.Panes.Item", "Window.ActivePane",
    "Window.PointsToScreenPixelsX", "Window.PointsToScreenPixelsY", "Window.RangeFromPoint", "Window.Hwnd",
    "Pane.Index", "Pane.VisibleRange", "Pane.ScrollRow.get", "Pane.ScrollRow.set", "Pane.ScrollColumn.get",
    "Pane.ScrollColumn.set", "Pane.PointsToScreenPixelsX", "Pane.PointsToScreenPixelsY",
    "Application.CommandBars.Add",
    "CommandBar.Name", "CommandBar.FindControl", "CommandBar.Controls.Add", "CommandBar.Controls.Count",
    "CommandBar.Controls.Item", "CommandBar.Visible.get", "CommandBar.Visible.set",
    "Control.Id", "Control.Tag.get", "Control.Tag.set", "Control.Enabled", "Control.Enabled.set", "Control.Caption.get",
    "Control.Caption.set", "Control.BeginGroup.get", "Control.BeginGroup.set", "Control.OnAction.get",
    "Control.OnAction.set", "Control.Style.get", "Control.Style.set", "Control.State.get", "Control.State.set",
    "Control.TooltipText.get", "Control.TooltipText.set", "Control.Visible.get", "Control.Visible.set",
    "Control.Picture.set", "Control.Mask.set", "Control.PasteFace", "Control.Advise", "Control.Unadvise",
};

}  // namespace

[[noreturn]] void Disconnected() {
  throw HostError(kErrDisconnected, "The object invoked has disconnected from its clients.");
}

void EnterLive(SimExcel& host, const char* member, bool gone) {
  host.Enter(member);
  if (gone) Disconnected();
}

// ---------------------------------------------------------------- set-up

std::shared_ptr<SimExcel> SimExcel::Create(std::string version) {
  std::shared_ptr<SimExcel> host(new SimExcel());
  host->version_ = std::move(version);
  // The main window with its ribbon above and status bar below the desk that holds the workbooks.
  host->desktop_ = std::make_shared<SimDesktop>();
  SimDesktop& desk = *host->desktop_;
  desk.AddWindow(host->hwnd_, "XLMAIN", desk.current_process, {0, 0, 1280, 800}).frame = {4, 30, 4, 4};
  desk.AddChild(host->hwnd_, host->desk_, "XLDESK", {0, 120, 1272, 744});
  desk.active_window = host->hwnd_;
  // The built-in bars whose commands the host greys out while a cell is edited.
  auto builtin = [](std::int32_t id) {
    auto c = std::make_shared<ControlModel>();
    c->id = id;
    c->disabled_while_editing = true;
    return c;
  };
  auto& vb = host->AddBar("Visual Basic");  // a toolbar the user has not shown
  vb.controls.push_back(builtin(3627));
  vb.visible = false;
  auto& word_art = host->AddBar("WordArt Context Menu");
  word_art.controls.push_back(builtin(2179));
  word_art.position = 5;  // msoBarPopup
  word_art.visible = false;
  auto command = [](std::int32_t id, const char* caption) {
    auto c = std::make_shared<ControlModel>();
    c->id = id;
    c->caption = caption;
    return c;
  };
  // The cell's context menu starts with Cut, as the host's does; menus are shown when called up.
  auto& cell = host->AddBar("Cell");
  cell.position = 5;  // msoBarPopup
  cell.visible = false;
  for (auto [id, caption] : {std::pair{21, "Cu&t"}, {19, "&Copy"}, {22, "&Paste"}}) cell.controls.push_back(command(id, caption));
  cell.controls.front()->disabled_while_editing = true;
  auto& standard = host->AddBar("Standard");
  for (auto [id, caption] : {std::pair{2520, "&New"}, {23, "&Open..."}, {3, "&Save"}}) standard.controls.push_back(command(id, caption));
  return host;
}

int SimExcel::MajorVersion() const { return std::atoi(version_.c_str()); }
std::int32_t SimExcel::MaxRow() const { return MajorVersion() >= 12 ? 1048576 : 65536; }
std::int32_t SimExcel::MaxColumn() const { return MajorVersion() >= 12 ? 16384 : 256; }

std::shared_ptr<WorkbookModel> SimExcel::ActiveBook() const { return active_book_; }

// ---------------------------------------------------------------- faults and counting

const std::vector<std::string>& SimExcel::Members() { return kMembers; }

std::int64_t SimExcel::Calls(const std::string& member) const {
  return faults_.Calls(member);
}

void SimExcel::Enter(const char* member) {
  faults_.Enter(member);
  const std::string_view m(member);
  // Window messages and keyboard input are the system's, no call into the object model.
  if (m == "Application.ProcessPendingMessages" || m == "Application.TypeKeys") return;
  if (busy_) throw HostError(HostError::kCallRejected, "Call was rejected by callee.");
  // While a cell is edited Excel's object model answers nothing, SendKeys included; Office's
  // command bars, and the connection points, still answer.
  const bool office = m.starts_with("CommandBar.") || m.starts_with("Control.") || m == "Application.Advise" ||
                      m == "Application.Unadvise";
  if (editing_ && !office) throw HostError(HostError::kVbaIgnore, "Excel is in cell-editing mode.");
}

// ---------------------------------------------------------------- IExcelApplication

std::string SimExcel::Version(std::int32_t) {
  Enter("Application.Version");
  return version_;
}
WindowHandle SimExcel::Hwnd() {
  Enter("Application.Hwnd");
  if (MainWindowPerWorkbook() && active_book_) return active_book_->main;
  return hwnd_;
}
HostObjectPtr SimExcel::Selection() {
  Enter("Application.Selection");
  auto book = ActiveBook();
  return book ? SelectionObject(book->sheets[book->active_sheet]) : nullptr;
}
RangePtr SimExcel::ActiveCell() {
  Enter("Application.ActiveCell");
  auto book = ActiveBook();
  if (!book) return nullptr;
  const auto& s = book->sheets[book->active_sheet];
  if (s->type != xl::kWorksheet) return nullptr;
  return RangeObject(s, {Area{s->active_row, s->active_column, s->active_row, s->active_column}});
}
ExcelWindowPtr SimExcel::ActiveWindow() {
  Enter("Application.ActiveWindow");
  auto book = ActiveBook();
  return book ? WindowObject(book) : nullptr;
}
SheetPtr SimExcel::ActiveSheet() {
  Enter("Application.ActiveSheet");
  auto book = ActiveBook();
  return book ? SheetObject(book->sheets[book->active_sheet]) : nullptr;
}
WorkbookPtr SimExcel::ActiveWorkbook() {
  Enter("Application.ActiveWorkbook");
  auto book = ActiveBook();
  return book ? WorkbookObject(book) : nullptr;
}
bool SimExcel::Interactive() {
  Enter("Application.Interactive");
  return interactive_;
}
void SimExcel::SendKeys(const std::string& keys, bool wait) {
  Enter("Application.SendKeys");
  sent_keys.push_back(keys);
  if (wait) ApplyKeys(keys);
  else queued_keys_.push_back(keys);
}
void SimExcel::TypeKeys(const std::string& keys) {
  Enter("Application.TypeKeys");
  typed_keys.push_back(keys);
  queued_keys_.push_back(keys);
}
void SimExcel::ProcessPendingMessages() {
  Enter("Application.ProcessPendingMessages");
  while (!queued_keys_.empty()) {
    std::string keys = queued_keys_.front();
    queued_keys_.pop_front();
    ApplyKeys(keys);
  }
  auto work = std::move(pending_);
  pending_.clear();
  for (auto& w : work) w();
}
bool SimExcel::ShowBuiltInDialog(std::int32_t id) {
  Enter("Application.Dialogs");
  constexpr std::int32_t kFormatCells = 42;
  if (id != kFormatCells) throw HostError(kErrSubscript, "Subscript out of range");
  auto book = ActiveBook();
  if (!book || book->sheets[book->active_sheet]->type != xl::kWorksheet)
    throw HostError(kErrApplication, "Show method of Dialog class failed");
  dialogs_shown.push_back(id);
  DialogAnswer answer;
  if (!dialog_answers_.empty()) {
    answer = dialog_answers_.front();
    dialog_answers_.pop_front();
  }
  // OK applies the picked format to the selected cells, as the host's dialog does.
  SheetModel& sheet = *book->sheets[book->active_sheet];
  if (answer.ok)
    for (const Area& a : sheet.selection)
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) sheet.cells[{r, c}].number_format = answer.number_format;
  return answer.ok;
}

}  // namespace tessaly::sim
