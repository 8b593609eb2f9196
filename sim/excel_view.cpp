// The stand-in host's view changes that send the workbook window no scroll message and raise no
// event: zoom from the status bar, column widths and row heights, hidden rows and columns, frozen
// panes, the sheet turned right to left, the ribbon and the formula bar. Each moves cells on screen
// and repaints their windows.
#include <algorithm>

#include "sim/excel_sim.h"

namespace tessaly::sim {

namespace {

constexpr double kMaxRowPoints = 409;
constexpr double kMaxColumnPoints = 1342.5;
// Pixels the desk gains when the ribbon shows its tabs only, and when the formula bar goes.
constexpr std::int32_t kRibbonGroupsPixels = 68;
constexpr std::int32_t kFormulaBarPixels = 24;

void SetSize(Axis& axis, std::int32_t index, double points) {
  if (points <= 0) {
    axis.hidden.insert(index);
    return;
  }
  axis.hidden.erase(index);
  if (points == axis.standard) axis.sizes.erase(index);
  else axis.sizes[index] = points;
}

void Hide(Axis& axis, std::int32_t first, std::int32_t last, bool hidden) {
  for (std::int32_t i = first; i <= last; ++i) {
    if (hidden) axis.hidden.insert(i);
    else axis.hidden.erase(i);
  }
}

}  // namespace

void SimExcel::RepaintSheet(const SheetModel& sheet) {
  for (const auto& book : books_)
    if (!book->closed && book->sheets[book->active_sheet].get() == &sheet && desktop_->Exists(book->window))
      desktop_->Repainted(book->window);
  // The workbook's other windows showing the sheet paint it too.
  for (const auto& book : books_)
    for (const auto& w : book->other_windows)
      if (!book->closed && book->sheets[w.active_sheet].get() == &sheet && desktop_->Exists(w.window))
        desktop_->Repainted(w.window);
}

void SimExcel::UserSetDisplayRightToLeft(bool right_to_left) {
  if (!active_book_) return;
  SheetModel& sheet = ActiveSheetModel();
  if (sheet.type != xl::kWorksheet || sheet.right_to_left == right_to_left) return;
  sheet.right_to_left = right_to_left;
  RepaintSheet(sheet);
}

void SimExcel::UserSetZoom(double percent) {
  auto book = ActiveBook();
  if (!book) return;
  book->win.zoom = std::clamp(percent, 10.0, 400.0);
  desktop_->Repainted(book->window);
}

void SimExcel::UserColumnWidth(std::int32_t column, double points) {
  if (!active_book_ || column < 1 || column > MaxColumn()) return;
  SheetModel& sheet = ActiveSheetModel();
  SetSize(sheet.columns, column, std::clamp(points, 0.0, kMaxColumnPoints));
  RepaintSheet(sheet);
}

void SimExcel::UserRowHeight(std::int32_t row, double points) {
  if (!active_book_ || row < 1 || row > MaxRow()) return;
  SheetModel& sheet = ActiveSheetModel();
  SetSize(sheet.rows, row, std::clamp(points, 0.0, kMaxRowPoints));
  RepaintSheet(sheet);
}

void SimExcel::UserHideRows(std::int32_t first, std::int32_t last, bool hidden) {
  if (!active_book_) return;
  SheetModel& sheet = ActiveSheetModel();
  Hide(sheet.rows, std::max(first, 1), std::min(last, MaxRow()), hidden);
  RepaintSheet(sheet);
}

void SimExcel::UserHideColumns(std::int32_t first, std::int32_t last, bool hidden) {
  if (!active_book_) return;
  SheetModel& sheet = ActiveSheetModel();
  Hide(sheet.columns, std::max(first, 1), std::min(last, MaxColumn()), hidden);
  RepaintSheet(sheet);
}

void SimExcel::UserToggleFreezePanes() {
  auto book = ActiveBook();
  if (!book) return;
  WindowModel& w = book->win;
  if (w.freeze) {
    w.freeze = false;
    w.split_row = w.split_column = 0;
    w.active_pane = 1;
  } else {
    const SheetModel& sheet = *book->sheets[book->active_sheet];
    FreezePanes(book->name, std::max(0, sheet.active_row - w.scroll_row[0]), std::max(0, sheet.active_column - w.scroll_column[0]));
  }
  desktop_->Repainted(book->window);
}

void SimExcel::GrowDesk(std::int32_t pixels) {
  auto book = ActiveBook();
  if (!book || !desktop_->Exists(book->desk) || !desktop_->Exists(book->window)) return;
  ScreenRect desk = desktop_->Get(book->desk).rect;
  desk.top -= pixels;
  desktop_->MoveWindow(book->desk, desk);
  // The workbook windows are maximised in the desk: each is sized to its new client area.
  for (const auto& b : books_)
    if (!b->closed && b->desk == book->desk && desktop_->Exists(b->window)) {
      desktop_->MoveWindow(b->window, desktop_->ClientRect(book->desk));
      desktop_->Repainted(b->window);
    }
}

void SimExcel::UserCollapseRibbon(bool collapsed) {
  if (collapsed == ribbon_collapsed_) return;
  ribbon_collapsed_ = collapsed;
  GrowDesk(collapsed ? kRibbonGroupsPixels : -kRibbonGroupsPixels);
}

void SimExcel::UserShowFormulaBar(bool shown) {
  if (shown == formula_bar_shown_) return;
  formula_bar_shown_ = shown;
  GrowDesk(shown ? -kFormulaBarPixels : kFormulaBarPixels);
}

}  // namespace tessaly::sim
