// The stand-in Excel's window trees: "XLMAIN" with the ribbon strip and "XLDESK" inside it, and the
// workbook window "EXCEL7" inside "XLDESK", which draws the sheet's grid from the model and turns the
// user's clicks, keys, wheel and scroll bars into the model's selection, cell editing and view. From
// version 15 on every workbook has such a tree of its own.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/excel_sim.h"
#include "sim/sheet_geometry.h"

namespace tessaly::sim::exe {

// Excel's status bar along the bottom of each main window.
inline constexpr wchar_t kStatusBarClass[] = L"EXCEL4";
inline constexpr int kStatusBarHeight = 22;

struct CellRef {
  std::int32_t row = 0, column = 0;
};

class HostWindows {
 public:
  explicit HostWindows(std::shared_ptr<SimExcel> model);
  ~HostWindows();
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

  // Creates and shows the windows of the workbooks the model has, the first main window at the
  // screen rectangle, and from then on those of each workbook the model opens; false when a
  // window cannot be made.
  bool Create(const RECT& frame);
  // The active workbook's main window: its own from version 15 on, the one main window before.
  HWND Main() const;
  // The active workbook's window ("EXCEL7").
  HWND Book() const;
  // The band across the top of the active main window that holds the ribbon's buttons.
  HWND Strip() const { return strip_; }
  // The active main window's status bar ("EXCEL4") with its zoom buttons: the centre of the
  // zoom-out (-) or zoom-in (+) button on screen; empty without a status bar.
  std::optional<POINT> ZoomButtonCentreOnScreen(bool zoom_in) const;
  // The point on the column header (or row header) where the column's right border (the row's
  // bottom border) can be taken by the mouse; empty when it is not on screen.
  std::optional<POINT> ColumnBorderOnScreen(std::int32_t column) const;
  std::optional<POINT> RowBorderOnScreen(std::int32_t row) const;
  // The host's own View commands on the strip after the add-in's controls ("new-window",
  // "formula-bar", "collapse-ribbon"): the centre of the button on screen; empty when not shown.
  std::optional<POINT> ViewCommandOnScreen(const std::string& name) const;

  // Tells the model where the real windows and displays are, so that what it answers about the
  // screen is what the windows show.
  void MirrorIntoModel() const;
  // The centre of a cell in screen pixels; empty when the cell is not on screen.
  std::optional<POINT> CellCentreOnScreen(CellRef cell) const;
  // The cell's rectangle in screen pixels; empty when the cell is not on screen.
  std::optional<RECT> CellOnScreen(CellRef cell) const;
  // Follows the model after it changed behind the windows' back: the active workbook's main window
  // comes to the front with the strip, the scroll bars and the grid are drawn again.
  void Refresh();
  // Asks the host to quit: a message, so that the add-ins are disconnected from the message loop.
  void PostQuit() const;

  // Called when the host quits, before its windows go.
  std::function<void()> on_close;
  // Called with the control id when a button on the ribbon strip is clicked.
  std::function<void(int)> on_strip_command;
  // Called when the strip is told to refresh its controls (a message posted to it).
  std::function<void()> on_strip_refresh;
  // Called for each owner-drawn control of the strip; true when it was drawn.
  std::function<bool(const DRAWITEMSTRUCT&)> on_strip_draw;

 private:
  static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK DeskProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK BookProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK StripProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK StatusProc(HWND, UINT, WPARAM, LPARAM);
  // The real windows of a workbook the model opened: a main window with its desk, or a window in
  // the one desk before version 15.
  void OpenWindows(WorkbookModel& book);
  void CloseWindow(WindowHandle gone);
  const WorkbookModel* BookOf(HWND window) const;
  const WorkbookModel* BookOfMain(HWND main) const;
  // A copy of the workbook as its window that is not the active one shows it: that window's sheet,
  // selection and view; none when the window is no such window.
  std::unique_ptr<WorkbookModel> OtherWindowShown(HWND window) const;
  void OnMainSize(HWND main);
  void OnActivate(HWND main);
  void OnMainClose(HWND main);
  void Quit();
  void OnPaint(HWND book);
  void UpdateScrollBars() const;
  void OnScroll(bool vertical, int code);
  void OnClick(int x, int y);
  // A right click selects the cell under it unless it lies in the selection; the menu follows.
  void OnRightClick(int x, int y);
  void OnContextMenu(POINT at);
  void OnKeyDown(WPARAM key);
  void OnChar(wchar_t ch);
  void OnWheel(int delta, int keys);
  // The status bar (sim/excel_exe/view_controls.cpp): its zoom buttons and percent.
  void OnStatusPaint(HWND status);
  void OnStatusClick(HWND status, int x, int y);
  // A header border taken by the mouse sizes its column or row when let go, as Excel does.
  bool BeginBorderDrag(int x, int y);
  void EndBorderDrag(int x, int y);
  // The View commands (sim/excel_exe/view_commands.cpp): the strip's buttons, the formula bar, the
  // ribbon collapsed to its tabs, and Excel's key tips Alt, W, N for View > New Window.
  void CreateViewCommands(HWND main);
  void LayOutBands(HWND main, const RECT& client);
  void PlaceViewCommands();
  bool OnViewCommand(int id);
  bool OnKeyTip(WPARAM key);
  bool OnAltKey(bool down, WPARAM key);
  void ToggleRibbon();
  void UpdateFormulaBar();
  int RibbonHeight() const;
  int FormulaBarHeight() const;
  void MoveSelection(int rows, int columns);
  void Select(CellRef cell);

  enum class KeyTips { off, tabs, view };

  std::shared_ptr<SimExcel> model_;
  std::optional<HeaderBorder> drag_;
  HWND formula_bar_ = nullptr;  // with the strip, in the active main window
  KeyTips key_tips_ = KeyTips::off;
  bool alt_alone_ = false;      // Alt is down with no other key yet
  bool swallow_char_ = false;   // the key a key tip took brings no typing
  bool quiet_resize_ = false;   // the windows are laid out again for a view change: no event
  bool laid_out_collapsed_ = false, laid_out_formula_bar_ = true;
  RECT first_frame_{};
  std::vector<HWND> mains_;  // in the order they were made
  HWND strip_ = nullptr;
  HWND followed_ = nullptr;  // the active main window Refresh last brought to the front
  bool opening_ = false;     // the model is inside a workbook's opening: its handles are not yet real
  bool following_ = false;   // the windows follow the model: their activation is no user's
  bool enabling_ = false;    // the main windows are being enabled or disabled together
};

}  // namespace tessaly::sim::exe
