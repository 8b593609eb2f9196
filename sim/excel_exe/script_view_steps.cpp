// The script's steps on the view and the windows: zoom, scrolling, hidden and frozen rows and
// columns, and the workbooks' windows opened, switched, closed, moved and listed.
#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "sim/excel_exe/script.h"
#include "sim/excel_exe/script_steps.h"
#include "win/com_handles.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
}

// A member called through IDispatch as an add-in calls it, with at most one argument; empty on failure.
win::unique_variant Member(IDispatch* on, const wchar_t* name, WORD flags, const VARIANT* argument = nullptr) {
  win::unique_variant result;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  VARIANT arg = argument ? *argument : VARIANT{};
  DISPPARAMS params{argument ? &arg : nullptr, nullptr, argument ? 1u : 0u, 0};
  if (!on || FAILED(on->GetIDsOfNames(IID_NULL, names, 1, 1033, &id)) ||
      FAILED(on->Invoke(id, IID_NULL, 1033, flags, &params, result.put(), nullptr, nullptr)))
    result.put();
  return result;
}

IDispatch* Object(const win::unique_variant& v) { return v.type() == VT_DISPATCH ? V_DISPATCH(&v.get()) : nullptr; }

std::string Caption(IDispatch* window) {
  win::unique_variant caption = Member(window, L"Caption", DISPATCH_PROPERTYGET);
  return caption.type() == VT_BSTR ? win::to_utf8(V_BSTR(&caption.get())) : std::string("?");
}

// Application.Hwnd as an add-in reads it: through IDispatch.
long ApplicationHwnd(IDispatch* application) {
  win::unique_variant hwnd = Member(application, L"Hwnd", DISPATCH_PROPERTYGET);
  return hwnd.type() == VT_I4 ? V_I4(&hwnd.get()) : 0;
}

// Application.Windows through IDispatch: the count, then each Windows(i).Caption.
std::string WindowsThroughCom(IDispatch* application) {
  win::unique_variant windows = Member(application, L"Windows", DISPATCH_PROPERTYGET);
  win::unique_variant count = Member(Object(windows), L"Count", DISPATCH_PROPERTYGET);
  if (count.type() != VT_I4) return "none";
  std::string text = std::to_string(V_I4(&count.get())) + ":";
  for (std::int32_t i = 1; i <= V_I4(&count.get()); ++i) {
    VARIANT index{};
    V_VT(&index) = VT_I4;
    V_I4(&index) = i;
    win::unique_variant window = Member(Object(windows), L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, &index);
    text += " " + Caption(Object(window));
  }
  return text;
}

}  // namespace

std::optional<bool> ScriptRunner::ViewStep(const ScriptStep& s) {
  [[maybe_unused]] const auto [first, rest] = Split(s.argument);
  if (s.verb == "view") {
    const WindowModel& w = model_.Book(model_.ActiveSheetModel().parent->name).win;
    Report("view row %s zoom %s", std::to_string(w.scroll_row[0]) + " column " + std::to_string(w.scroll_column[0]),
           std::to_string(static_cast<int>(w.zoom)));
  } else if (s.verb == "zoom" || s.verb == "freeze" || s.verb == "split" || s.verb == "scroll") {
    // The window's view: zoom percent, frozen or split panes and scrolling (rows, then columns).
    WorkbookModel& book = *model_.ActiveSheetModel().parent;
    const std::int32_t a = std::atoi(first.c_str()), b = std::atoi(rest.c_str());
    if (s.verb == "zoom") book.win.zoom = a;
    if (s.verb == "freeze") model_.FreezePanes(book.name, a, b);
    if (s.verb == "split") model_.Split(book.name, a, b);
    if (s.verb == "scroll") book.win.scroll_row[0] = std::max(a, 1), book.win.scroll_column[0] = std::max(b, 1);
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
    else if (kind == "columns") model_.UserHideColumns(CellOf(a + "1").column, CellOf(b + "1").column, s.verb == "hide");
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
    const CellRef at = CellOf(columns ? first + "1" : "A" + first);
    Axis& axis = columns ? sheet.columns : sheet.rows;
    const std::int32_t index = columns ? at.column : at.row;
    if (s.verb.rfind("hide", 0) == 0) axis.hidden.insert(index);
    else axis.sizes[index] = std::atof(rest.c_str());
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
  } else if (s.verb == "com-windows") {
    // Application.Windows as an add-in reads it: its count and each window's caption, Windows(1) first.
    Report("com windows %s%s", WindowsThroughCom(application_), "");
  } else if (s.verb == "com-new-window") {
    // ActiveWorkbook.NewWindow through IDispatch: the caption of the window it returns.
    win::unique_variant book = Member(application_, L"ActiveWorkbook", DISPATCH_PROPERTYGET);
    win::unique_variant window = Member(Object(book), L"NewWindow", DISPATCH_METHOD);
    if (!Object(window)) return false;
    Report("com new window %s%s", Caption(Object(window)), "");
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
  } else {
    return std::nullopt;
  }
  return true;
}

}  // namespace tessaly::sim::exe
