// The stand-in Excel's window tree: "XLMAIN" with the ribbon strip and "XLDESK" inside it, and the
// workbook window "EXCEL7" inside "XLDESK", which draws the active sheet's grid from the model and
// turns the user's clicks and keys into the model's selection and cell editing.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "sim/excel_sim.h"
#include "sim/sheet_geometry.h"

namespace tessaly::sim::exe {

struct CellRef {
  std::int32_t row = 0, column = 0;
};

class HostWindows {
 public:
  explicit HostWindows(std::shared_ptr<SimExcel> model);
  ~HostWindows();
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

  // Creates and shows the tree at the screen rectangle; false when a window cannot be made.
  bool Create(const RECT& frame);
  HWND Main() const { return main_; }
  HWND Desk() const { return desk_; }
  HWND Book() const { return book_; }
  // The band across the top of the main window that holds the ribbon's buttons.
  HWND Strip() const { return strip_; }

  // Tells the model where the real windows are, so that what it answers about the screen is
  // what the windows show.
  void MirrorIntoModel() const;
  // The centre of a cell in screen pixels; empty when the cell is not on screen.
  std::optional<POINT> CellCentreOnScreen(CellRef cell) const;
  // Draws the grid again after the model changed behind the window's back.
  void Refresh() const;

  // Called when the user closes the main window, before it goes.
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
  void OnMainSize();
  void Lay();
  void OnPaint();
  void OnClick(int x, int y);
  // A right click selects the cell under it unless it lies in the selection; the menu follows.
  void OnRightClick(int x, int y);
  void OnContextMenu(POINT at);
  void OnKeyDown(WPARAM key);
  void OnChar(wchar_t ch);
  void OnWheel(int delta, int keys);
  void MoveSelection(int rows, int columns);
  void Select(CellRef cell);

  std::shared_ptr<SimExcel> model_;
  HWND main_ = nullptr, strip_ = nullptr, desk_ = nullptr, book_ = nullptr;
};

}  // namespace tessaly::sim::exe
