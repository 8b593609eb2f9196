// The stand-in spreadsheet host: workbooks, worksheets and chart sheets with cells, formats,
// formulas, locks, merged areas, protection, row heights and column widths, embedded charts,
// windows with panes, zoom and views inside its XLMAIN / XLDESK / EXCEL7 window tree, command bars,
// cell edit mode and the application events, all in memory. Every member of the object model can
// be made to fail, and every call into it is counted per member.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/excel.h"
#include "sim/desktop.h"
#include "sim/sim_clipboard.h"
#include "sim/sheet_geometry.h"
#include "sim/fault_plan.h"

namespace tessaly::sim {

// A rectangle of cells, rows and columns counted from 1, both ends included.
struct Area {
  std::int32_t r1 = 1, c1 = 1, r2 = 1, c2 = 1;
  std::int64_t cells() const { return std::int64_t(r2 - r1 + 1) * (c2 - c1 + 1); }
  bool contains(std::int32_t r, std::int32_t c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
  friend bool operator==(const Area&, const Area&) = default;
};

// A cell's data validation rule, as the Data Validation dialog sets it.
struct ValidationModel {
  std::int32_t type = xl::kValidateDate;
  std::int32_t op = xl::kBetween;
  std::string formula1, formula2;  // as typed: "45536", "9/1/2024", "=DATE(2024,9,1)", "=$B$1"
  std::int32_t alert_style = xl::kValidAlertStop;
  std::string error_title, error_message;
  // A list's or a custom formula's verdict on a value, as the workbook's formula gives it; none:
  // every value passes. Date rules are judged by the host itself from the formulas.
  std::function<bool(const Variant&)> allows;
};

struct CellModel {
  Variant value;            // for a formula cell: its last computed value
  std::string formula;      // empty: a constant
  std::string number_format = "General";
  bool locked = true;       // the host's default for every cell
  std::shared_ptr<const ValidationModel> validation;  // none: the cell takes anything
};

struct WorkbookModel;

struct ChartModel {
  double left = 0, top = 0, width = 0, height = 0;  // points
  std::int32_t placement = 2;                       // moves with cells
  bool deleted = false;
};

struct SheetModel {
  std::string name;
  std::int32_t type = xl::kWorksheet;
  bool protect_contents = false;
  // Protection.AllowFormattingCells: while protected, cells (locked or not) may still be formatted.
  bool allow_formatting_cells = false;
  std::map<std::pair<std::int32_t, std::int32_t>, CellModel> cells;
  std::vector<Area> merged;
  // What the sheet's window shows selected: the areas and the active cell, or a drawing object.
  std::vector<Area> selection{Area{}};
  std::int32_t active_row = 1, active_column = 1;
  std::string selected_object;  // type name of a selected picture or chart; empty: cells
  Axis rows = StandardAxis(15), columns = StandardAxis(48);  // 15 points: 20 pixels at 96 dpi; 48: 64
  bool right_to_left = false;  // Worksheet.DisplayRightToLeft
  std::vector<std::shared_ptr<ChartModel>> charts;
  WorkbookModel* parent = nullptr;
  bool closed = false;
};

// What a workbook window shows of one sheet besides the sheet itself: every window of a workbook
// keeps its own selection on each sheet.
struct SheetView {
  std::vector<Area> selection;
  std::int32_t active_row = 1, active_column = 1;
  std::string selected_object;
};

// A workbook window other than the one the workbook has active (View > New Window): its handles,
// its view, the sheet it shows and its selections, one per sheet of the workbook.
struct OtherWindow {
  std::int32_t id = 0;
  WindowHandle window = 0, main = 0, desk = 0;
  WindowModel win;
  std::size_t active_sheet = 0;
  std::vector<SheetView> views;
};

struct WorkbookModel {
  std::string name;
  bool read_only = false;
  bool inplace = false;
  std::vector<std::shared_ptr<SheetModel>> sheets;
  std::size_t active_sheet = 0;
  // The workbook's one window: its EXCEL7 handle and what it shows.
  WindowHandle window = 0;
  // The main window (XLMAIN) and desk (XLDESK) that hold it: the host's one pair before version
  // 15, the workbook's own from 15 (Excel 2013) on.
  WindowHandle main = 0, desk = 0;
  WindowModel win;
  // The active window's identity, and the workbook's other windows, most recently active first.
  // The windows are numbered in the order they were opened, closing one numbers the rest again.
  std::int32_t window_id = 1;
  std::vector<OtherWindow> other_windows;
  std::int32_t next_window_id = 2;
  // Window.Caption: the workbook's name, or with several windows "Book1:1", "Book1:2"...
  std::string Caption(std::int32_t id) const;
  std::int32_t WindowCount() const { return std::int32_t(other_windows.size()) + 1; }
  bool closed = false;
  // Defined names and what each refers to, as the Name Manager writes it: "=Sheet1!$E$2:$E$9"
  // for a range, or a constant or a formula ("=5").
  std::vector<std::pair<std::string, std::string>> names;
};

struct ControlModel {
  std::int32_t type = xl::kControlButton;
  std::int32_t id = 1;
  std::string tag;
  std::string caption;
  std::string on_action;
  bool enabled = true;
  bool disabled_while_editing = false;  // built-in commands the host greys out during cell editing
  bool begin_group = false;
  bool temporary = false;
  bool deleted = false;  // by the user, from its bar
  std::int32_t style = 0;  // msoButtonAutomatic
  std::int32_t state = xl::kButtonUp;
  std::string tooltip;
  bool visible = true;
  std::string picture, mask;  // keys of the button images given to it
  ButtonImagePtr picture_image, mask_image;  // the images themselves, for drawing
};

struct CommandBarModel {
  std::string name;
  std::vector<std::shared_ptr<ControlModel>> controls;
  std::int32_t position = xl::kBarTop;
  bool visible = true;
  bool temporary = false;
  bool built_in = true;
};

class SimExcel : public IExcelApplication, public std::enable_shared_from_this<SimExcel> {
 public:
  // A host of that version text with the built-in command bars and no workbook.
  static std::shared_ptr<SimExcel> Create(std::string version = "12.0");

  // ---- Scripted set-up (no events, no counting) ----
  WorkbookModel& AddWorkbook(const std::string& name, const std::vector<std::string>& sheets = {"Sheet1"});
  SheetModel& AddChartSheet(const std::string& workbook, const std::string& name);
  WorkbookModel& Book(const std::string& name);
  SheetModel& Sheet(const std::string& workbook, const std::string& sheet);
  SheetModel& ActiveSheetModel();
  bool HasWorkbook() const { return active_book_ != nullptr; }
  const WorkbookModel* ActiveBookModel() const { return active_book_.get(); }
  // The cell at an A1 address ("B3") of the sheet, created when absent.
  static CellModel& Cell(SheetModel& sheet, const std::string& a1);
  static void SetFormula(SheetModel& sheet, const std::string& a1, const std::string& formula, const Variant& cached);
  static void Merge(SheetModel& sheet, const std::string& a1_area);
  // Gives every cell of the area ("B2:B9") the one rule.
  static void SetValidation(SheetModel& sheet, const std::string& a1_area, ValidationModel rule);
  // What Evaluate gives for a formula on the sheet: a number, DATE(y,m,d) or a one-cell
  // reference, with or without "="; #NAME? for anything else.
  Variant EvaluateOn(const SheetModel& sheet, const std::string& formula) const;
  void CloseWorkbook(const std::string& name);
  CommandBarModel& Bar(const std::string& name);
  CommandBarModel& AddBar(const std::string& name);
  void RemoveBar(const std::string& name);
  const std::vector<std::shared_ptr<CommandBarModel>>& Bars() const { return bars_; }
  // The host quits and starts again: temporary bars and controls are gone, every other bar and
  // control is kept as the host keeps its toolbar layout; no click subscription survives.
  void Restart();
  // The ProgIds of the connected COM add-ins, to which an action text "!<ProgId>" routes a click.
  std::vector<std::string> com_addins{"TESSALY.Connect"};
  void SetVersion(std::string version) { version_ = std::move(version); }
  int MajorVersion() const;
  // From version 15 (Excel 2013) on, every workbook has its own main window.
  bool MainWindowPerWorkbook() const { return MajorVersion() >= 15; }
  // The first main window, as the host itself uses it (counted as no call of the add-in).
  WindowHandle MainHwnd() const { return hwnd_; }
  // Gives the main window another handle (its XLDESK and workbook windows stay inside it).
  void SetHwnd(WindowHandle hwnd);
  // Gives the desk and a workbook's window other handles, as the stand-in executable's real ones.
  void SetDeskWindow(WindowHandle desk);
  void SetBookWindow(WorkbookModel& book, WindowHandle window);
  // Gives a workbook's own main window and desk other handles (from version 15 on).
  void SetBookMainWindows(WorkbookModel& book, WindowHandle main, WindowHandle desk);
  const std::vector<std::shared_ptr<WorkbookModel>>& Books() const { return books_; }
  // The name the next New gives: "Book" and the count of workbooks the session has opened, plus one.
  std::string NewWorkbookName() const { return "Book" + std::to_string(opened_ + 1); }
  // A real window system that mirrors the model hears of a workbook's windows as soon as the model
  // has them, before any event, and of a window closed with everything inside it.
  std::function<void(WorkbookModel&)> on_book_opened;
  std::function<void(WindowHandle)> on_window_closed;
  void SetInteractive(bool on) { interactive_ = on; }
  // The number format the host gives a General cell that receives a date.
  void SetShortDateFormat(std::string format) { short_date_format_ = std::move(format); }
  std::int32_t MaxRow() const;
  std::int32_t MaxColumn() const;
  // Freezes the window's panes with that many rows and columns fixed from its top-left cell, or
  // splits it there with split bars; 0 and 0 removes either.
  void FreezePanes(const std::string& workbook, std::int32_t rows, std::int32_t columns);
  void Split(const std::string& workbook, std::int32_t rows, std::int32_t columns);
  // Worksheet.DisplayRightToLeft of the workbook's active sheet (Page Layout > Sheet Right-to-Left).
  void SetDisplayRightToLeft(const std::string& workbook, bool right_to_left);

  // ---- The screen ----
  // The desktop holding the host's windows: XLMAIN (Hwnd) > XLDESK > one EXCEL7 per workbook; from
  // version 15 on, one XLMAIN > XLDESK > EXCEL7 per workbook, Hwnd the active workbook's XLMAIN.
  SimDesktop& Desktop() { return *desktop_; }
  WindowHandle DeskWindow() const { return desk_; }
  SheetAxes Axes(const SheetModel& sheet) const { return {sheet.rows, sheet.columns, MaxRow(), MaxColumn(), sheet.right_to_left}; }
  // Where the workbook window shows its active sheet's cells now.
  WindowLayout Layout(const WorkbookModel& book);

  // ---- What the user does (raises the host's events) ----
  // Selects the areas ("B3", "A1:B2", "A1,C3", "$5:$5") on the active sheet; merged areas widen it.
  void UserSelect(const std::string& a1_address);
  // Selects a drawing object (no selection event, as the host raises none for shapes).
  void UserSelectObject(const std::string& type_name);
  void UserActivateSheet(const std::string& name);
  void UserActivateWorkbook(const std::string& name);
  // Workbooks.Add as the user's New: a workbook opened and activated.
  void UserNewWorkbook(const std::string& name);
  // Workbooks.Add and Workbooks.Count of the object model: Add is the user's New.
  WorkbookPtr WorkbooksAdd();
  std::int32_t WorkbooksCount();
  // Closes the workbook; when it was the active one, the next one is activated, with the events.
  void UserCloseWorkbook(const std::string& name);
  void UserResizeWindow();
  // View > New Window (Workbook.NewWindow): the active workbook gains a window showing what its
  // active window shows, numbered after the others, and the new window is activated; from version
  // 15 on it is a main window of its own.
  void UserNewWindow();
  // Activates the workbook window with that caption ("Book1:2"), as the View > Switch Windows list
  // or a click on it does, with the events.
  void UserActivateWindow(const std::string& caption);
  // Closes the active window; the workbook stays open while it has another window, which is
  // activated, and closes with its last one.
  void UserCloseWindow();
  // The captions of every open workbook window, the active workbook's first.
  std::vector<std::string> WindowCaptions() const;
  // Application.Windows (every workbook's, for an empty name) or Workbook.Windows: the active
  // window first, then each workbook's windows, the most recently active first.
  std::vector<ExcelWindowPtr> Windows(const std::string& book);
  // Windows(caption): the window of that caption, compared as Excel does without case.
  ExcelWindowPtr WindowsItem(const std::string& book, const std::string& caption);
  // Workbook.NewWindow: the workbook's new window, activated as by View > New Window.
  ExcelWindowPtr NewWindow(const std::string& book);
  // The window Ctrl+F6 goes to next; empty with no workbook.
  std::string NextWindowCaption() const;
  // The caption of the workbook window held in that main window (from version 15 on); empty: none.
  std::string CaptionOfMain(WindowHandle main) const;
  // The scroll bars or the wheel move the active window's top-left pane by rows and columns, or
  // Ctrl+wheel sets its zoom: the model changes and the host raises no event.
  void UserScroll(std::int32_t rows, std::int32_t columns);
  void UserZoom(double percent);
  // ---- View changes that send the workbook window no scroll message and raise no event: the
  // cells move on screen and the windows showing them repaint (sim/excel_view.cpp) ----
  // The status bar's zoom slider or View > Zoom sets the active window's zoom (10 to 400 %).
  void UserSetZoom(double percent);
  // A column's right border or a row's bottom border dragged: the size in points, 0 hiding it
  // as a drag onto the border before it does. Excel takes up to 409 points for a row and 255
  // characters (1 342.5 points) for a column.
  void UserColumnWidth(std::int32_t column, double points);
  void UserRowHeight(std::int32_t row, double points);
  // Hide and Unhide, or an outline group's minus and plus buttons, on the active sheet.
  void UserHideRows(std::int32_t first, std::int32_t last, bool hidden);
  void UserHideColumns(std::int32_t first, std::int32_t last, bool hidden);
  // View > Freeze Panes: the rows above and the columns left of the active cell, counted from the
  // window's top-left cell, stay; on a frozen window the command unfreezes it.
  void UserToggleFreezePanes();
  // Page Layout > Sheet Right-to-Left on the active sheet: every cell mirrored, no event raised.
  void UserSetDisplayRightToLeft(bool right_to_left);
  // The ribbon collapsed to its tabs or shown in full, the formula bar hidden or shown: the active
  // main window's desk, and the workbook window maximised in it, grow or shrink at the top.
  void UserCollapseRibbon(bool collapsed);
  void UserShowFormulaBar(bool shown);
  bool RibbonCollapsed() const { return ribbon_collapsed_; }
  bool FormulaBarShown() const { return formula_bar_shown_; }
  void UserRenameSheet(const std::string& workbook, const std::string& old_name, const std::string& new_name);
  // Starts editing the active cell with the text typed so far.
  void UserBeginEdit(const std::string& typed);
  // Leaves editing as Enter (the text is entered) or Escape (it is thrown away) does.
  void UserEndEdit(bool accept) { ApplyKeys(accept ? "^~" : "{ESC}"); }
  // Clicks a command-bar control. An action text "!<ProgId>" of a connected add-in raises Click
  // on every subscribed button with that control or its tag; false when the click reached none.
  bool UserClickControl(const std::shared_ptr<ControlModel>& control);
  // The user deletes the control at a position of a bar (Customize); references to it fail since.
  void UserDeleteControl(const std::string& bar, std::size_t position);
  // The control at a position (counted from 1) of a bar.
  std::shared_ptr<ControlModel> ControlAt(const std::string& bar, std::size_t position);
  bool Editing() const { return editing_; }
  // Busy with a dialog of its own or a running macro, the host refuses every call into its object
  // model (RPC_E_CALL_REJECTED) until it is done.
  void SetBusy(bool busy) { busy_ = busy; }
  // The workbook's Change macro: the host runs it inside every write through the object model
  // (Range.Value), with the sheet and the cells written; it may select, write or format cells.
  std::function<void(SheetModel&, const std::vector<Area>&)> on_sheet_change;
  const std::string& EditText() const { return edit_text_; }
  // Queues work that runs at the next pass over pending messages.
  void Post(std::function<void()> work) { pending_.push_back(std::move(work)); }
  // The user of the next built-in Format Cells dialog (42): the format they pick and how they close
  // it. With none scripted the dialog is closed with Cancel. Every dialog shown, by number.
  struct DialogAnswer {
    bool ok = false;
    std::string number_format;
  };
  void ScriptFormatCells(DialogAnswer answer) { dialog_answers_.push_back(std::move(answer)); }
  const DialogAnswer* NextFormatCellsAnswer() const { return dialog_answers_.empty() ? nullptr : &dialog_answers_.front(); }
  std::vector<std::int32_t> dialogs_shown;

  // ---- Faults and counting; members are named "Range.Value.get", "Application.Selection"... ----
  static const std::vector<std::string>& Members();
  void FailNext(const std::string& member) { faults_.FailNext(member); }
  void FailAlways(const std::string& member) { faults_.FailAlways(member); }
  void ClearFaults() { faults_.Clear(); }
  // The plan the host's members follow; the add-in's collaborators may share it.
  FaultPlan& Faults() { return faults_; }
  std::int64_t Calls(const std::string& member) const;
  std::int64_t TotalCalls() const { return faults_.TotalCalls(); }
  const std::map<std::string, std::int64_t>& CallCounts() const { return faults_.CallCounts(); }
  void ResetCalls() { faults_.ResetCalls(); }
  std::vector<std::string> sent_keys;   // every SendKeys text, in order
  std::vector<std::string> typed_keys;  // every key text typed as keyboard input, in order

  // Counts the call and throws the injected fault, if any; every facade member starts with it.
  void Enter(const char* member);
  std::size_t Subscribers() const { return sinks_.size(); }
  std::size_t ButtonSubscribers() const { return button_sinks_.size(); }
  std::int32_t AdviseButton(std::shared_ptr<ControlModel> control, std::shared_ptr<ICommandBarButtonEvents> sink);
  void UnadviseButton(std::int32_t cookie);
  // The system's clipboard, from which PasteFace takes a bitmap.
  std::shared_ptr<SimClipboard> clipboard = std::make_shared<SimClipboard>();

  // ---- IExcelApplication ----
  std::string Version(std::int32_t lcid) override;
  WindowHandle Hwnd() override;
  HostObjectPtr Selection() override;
  RangePtr ActiveCell() override;
  ExcelWindowPtr ActiveWindow() override;
  SheetPtr ActiveSheet() override;
  WorkbookPtr ActiveWorkbook() override;
  bool Interactive() override;
  WorkbookPtr Workbooks(const std::string& name) override;
  CommandBarPtr CommandBars(const std::string& name) override;
  CommandBarPtr CommandBarsAdd(const std::string& name, std::int32_t position, bool temporary) override;
  void SendKeys(const std::string& keys, bool wait) override;
  void TypeKeys(const std::string& keys) override;
  void ProcessPendingMessages() override;
  bool ShowBuiltInDialog(std::int32_t id) override;
  std::int32_t Advise(std::shared_ptr<IApplicationEvents> sink) override;
  void Unadvise(std::int32_t cookie) override;

  // Facades over the model, as the object model hands them out.
  SheetPtr SheetObject(const std::shared_ptr<SheetModel>& sheet);
  WorkbookPtr WorkbookObject(const std::shared_ptr<WorkbookModel>& book);
  ExcelWindowPtr WindowObject(const std::shared_ptr<WorkbookModel>& book);
  // One of the workbook's windows by its number, active or not.
  ExcelWindowPtr WindowObject(const std::shared_ptr<WorkbookModel>& book, std::int32_t window_id);
  RangePtr RangeObject(const std::shared_ptr<SheetModel>& sheet, std::vector<Area> areas);
  HostObjectPtr SelectionObject(const std::shared_ptr<SheetModel>& sheet);
  std::shared_ptr<SheetModel> SheetShared(const SheetModel* sheet) const;
  std::shared_ptr<WorkbookModel> BookShared(const WorkbookModel* book) const;

  // Writes a value the way the host does, including its reaction to receiving a date.
  void WriteValue(SheetModel& sheet, std::int32_t row, std::int32_t column, const Variant& value);
  // Makes the areas the sheet's selection, widened to merged areas, the first cell active, and
  // raises the selection event.
  void SelectAreas(const std::shared_ptr<SheetModel>& sheet, std::vector<Area> areas);
  // Cells of the sheet received values or formulas: the workbook's Change macro runs, then the
  // application's SheetChange is raised, as the host does after every entry.
  void Changed(const std::shared_ptr<SheetModel>& sheet, const std::vector<Area>& areas);

 private:
  SimExcel() = default;
  std::shared_ptr<WorkbookModel> ActiveBook() const;
  void Raise(const std::function<void(IApplicationEvents&)>& event);
  void ApplyKeys(const std::string& keys);
  std::vector<Area> WidenToMerged(const SheetModel& sheet, std::vector<Area> areas) const;

  void RaiseWindow(const WorkbookModel& book);
  // The workbook's other window at that index becomes its active one, the active one kept aside.
  void SwapWindow(WorkbookModel& book, std::size_t other);
  void RaiseWindowEvent(const std::shared_ptr<WorkbookModel>& book, bool activate);
  // Every open window that shows the sheet paints it again.
  void RepaintSheet(const SheetModel& sheet);
  // The active main window's desk grows (positive) or shrinks at its top by that many pixels.
  void GrowDesk(std::int32_t pixels);
  void RenameWindow(WindowHandle old_handle, WindowHandle new_handle);
  // A handle no window of the desktop has yet: a real window system's handles share the desktop.
  WindowHandle FreshHandle();

  std::string version_ = "12.0";
  std::shared_ptr<SimDesktop> desktop_;
  WindowHandle hwnd_ = 0x10010;
  WindowHandle desk_ = 0x10018;
  WindowHandle next_window_ = 0x20020;
  std::size_t opened_ = 0;  // workbooks opened in the session
  bool interactive_ = true;
  std::string short_date_format_ = "m/d/yyyy";
  std::vector<std::shared_ptr<WorkbookModel>> books_;
  std::shared_ptr<WorkbookModel> active_book_;
  std::vector<std::shared_ptr<CommandBarModel>> bars_;
  std::map<std::int32_t, std::shared_ptr<IApplicationEvents>> sinks_;
  std::map<std::int32_t, std::pair<std::shared_ptr<ControlModel>, std::shared_ptr<ICommandBarButtonEvents>>> button_sinks_;
  std::int32_t next_cookie_ = 1;
  bool editing_ = false;
  bool busy_ = false;
  bool ribbon_collapsed_ = false, formula_bar_shown_ = true;
  std::string edit_text_;
  std::deque<std::function<void()>> pending_;
  std::deque<std::string> queued_keys_;
  std::deque<DialogAnswer> dialog_answers_;
  FaultPlan faults_;
};

// A1 addresses as the host writes and reads them.
namespace address {
std::string ColumnLetters(std::int32_t column);
// Parses "B3", "$B$3:$C$4", "$5:$7", "C:C" and comma-separated lists; throws HostError on bad text.
std::vector<Area> Parse(const std::string& a1, std::int32_t max_row, std::int32_t max_column);
std::string Format(const std::vector<Area>& areas, bool row_abs, bool col_abs, std::int32_t style,
                   std::int32_t max_row, std::int32_t max_column);
}  // namespace address

}  // namespace tessaly::sim
