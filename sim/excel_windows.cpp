// The stand-in's windows and panes: the XLMAIN / XLDESK / EXCEL7 tree, panes, scrolling, zoom,
// freezing and splitting, and where a window shows its cells on screen.
#include "sim/excel_sim.h"

#include <algorithm>
#include <optional>

#include "host/rounding.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

namespace {

// Screen positions of a workbook window's active sheet, as its panes show them.
class WindowScreen {
 public:
  WindowScreen(SimExcel& host, WorkbookModel& book)
      : sheet_(*book.sheets[book.active_sheet]), axes_(host.Axes(sheet_)), layout_(host.Layout(book)), win_(book.win) {}
  const PaneLayout& Pane(std::int32_t index) const { return layout_.panes.at(std::size_t(index - 1)); }
  // Pane.PointsToScreenPixelsX/Y. In page layout view the host's conversion is off while the pane
  // is scrolled along the other axis: x by the height scrolled past, y by the width.
  std::int32_t ScreenX(const PaneLayout& pane, double points) const {
    std::int32_t x = PaneScreenX(axes_, layout_, pane, points);
    if (win_.view == xl::kPageLayoutView) x += std::int32_t(axes_.rows.PixelSpan(1, pane.first_row, layout_.scale_y));
    return x;
  }
  std::int32_t ScreenY(const PaneLayout& pane, double points) const {
    std::int32_t y = PaneScreenY(axes_, layout_, pane, points);
    if (win_.view == xl::kPageLayoutView) y += std::int32_t(axes_.columns.PixelSpan(1, pane.first_column, layout_.scale_x));
    return y;
  }
  // Hosts before 12: pixels from the sheet's corner as pane 1 is scrolled, no zoom, no scale; the
  // corner is the top-right one of a right-to-left sheet, and the pixels run leftwards from it.
  std::int32_t OldScreenX(std::int32_t pixels) const {
    const std::int64_t scrolled = axes_.columns.PixelSpan(1, Pane(1).first_column, layout_.scale_x);
    if (layout_.right_to_left) return std::int32_t(Pane(1).rect.right + scrolled - pixels);
    return std::int32_t(Pane(1).rect.left - scrolled + pixels);
  }
  std::int32_t OldScreenY(std::int32_t pixels) const {
    return std::int32_t(Pane(1).rect.top - axes_.rows.PixelSpan(1, Pane(1).first_row, layout_.scale_y) + pixels);
  }
  std::optional<CellHit> CellAt(ScreenPoint p) const {
    return sheet_.type == xl::kWorksheet ? sim::CellAt(axes_, layout_, p) : std::nullopt;
  }
  // An embedded chart covering the point.
  bool ChartAt(ScreenPoint p) const {
    for (const auto& c : sheet_.charts) {
      auto row = axes_.rows.IndexAtPoints(c->top, axes_.max_row), column = axes_.columns.IndexAtPoints(c->left, axes_.max_column);
      const PaneLayout& pane = PaneShowing(layout_, row, column);
      const ScreenRect r = ObjectRect(axes_, layout_, pane, c->left, c->top, c->width, c->height);
      if (p.x >= r.left && p.y >= r.top && p.x < r.right && p.y < r.bottom) return true;
    }
    return false;
  }
  const WindowLayout& Layout() const { return layout_; }

 private:
  const SheetModel& sheet_;
  SheetAxes axes_;
  WindowLayout layout_;
  const WindowModel& win_;
};

class SimPane : public IPane {
 public:
  SimPane(std::shared_ptr<SimExcel> host, std::shared_ptr<WorkbookModel> book, std::int32_t index)
      : host_(std::move(host)), book_(std::move(book)), index_(index) {}
  std::int32_t Index() override { return Enter("Pane.Index"), index_; }
  RangePtr VisibleRange() override {
    Enter("Pane.VisibleRange");
    const PaneLayout p = WindowScreen(*host_, *book_).Pane(index_);
    return host_->RangeObject(book_->sheets[book_->active_sheet], {Area{p.first_row, p.first_column, p.last_row, p.last_column}});
  }
  std::int32_t ScrollRow() override { return Enter("Pane.ScrollRow.get"), book_->win.scroll_row[RowBand()]; }
  void SetScrollRow(std::int32_t row) override {
    Enter("Pane.ScrollRow.set");
    book_->win.scroll_row[RowBand()] = Checked(row, host_->MaxRow());
  }
  std::int32_t ScrollColumn() override { return Enter("Pane.ScrollColumn.get"), book_->win.scroll_column[ColumnBand()]; }
  void SetScrollColumn(std::int32_t column) override {
    Enter("Pane.ScrollColumn.set");
    book_->win.scroll_column[ColumnBand()] = Checked(column, host_->MaxColumn());
  }
  std::int32_t PointsToScreenPixelsX(std::int32_t points) override {
    Enter("Pane.PointsToScreenPixelsX");
    WindowScreen screen(*host_, *book_);
    return screen.ScreenX(screen.Pane(index_), points);
  }
  std::int32_t PointsToScreenPixelsY(std::int32_t points) override {
    Enter("Pane.PointsToScreenPixelsY");
    WindowScreen screen(*host_, *book_);
    return screen.ScreenY(screen.Pane(index_), points);
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, book_->closed || index_ > book_->win.PaneCount()); }
  std::int32_t RowBand() const { return book_->win.RowBand(index_); }
  std::int32_t ColumnBand() const { return book_->win.ColumnBand(index_); }
  static std::int32_t Checked(std::int32_t v, std::int32_t max) {
    if (v < 1 || v > max) throw HostError(kErrApplication, "Unable to set the ScrollRow property of the Pane class");
    return v;
  }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<WorkbookModel> book_;
  std::int32_t index_;
};

class SimWindow : public IExcelWindow {
 public:
  SimWindow(std::shared_ptr<SimExcel> host, std::shared_ptr<WorkbookModel> book, std::int32_t id)
      : host_(std::move(host)), book_(std::move(book)), id_(id) {}
  std::int32_t PanesCount() override {
    Enter("Window.Panes.Count");
    return book_->win.PaneCount();
  }
  std::int32_t Type() override { return Enter("Window.Type"), book_->win.type; }
  WindowHandle Hwnd() override {
    Enter("Window.Hwnd");
    // Excel 2013 added the member with its window per workbook.
    if (!host_->MainWindowPerWorkbook()) MemberNotSupported("Hwnd");
    return book_->main;
  }
  std::int32_t WindowState() override { return Enter("Window.WindowState"), book_->win.state; }
  double Zoom() override { return Enter("Window.Zoom"), book_->win.zoom; }
  std::int32_t View() override { return Enter("Window.View"), book_->win.view; }
  bool FreezePanes() override { return Enter("Window.FreezePanes"), book_->win.freeze; }
  // Any open window answers its caption, active in its workbook or not.
  std::string Caption() override {
    const bool open = book_->window_id == id_ || std::any_of(book_->other_windows.begin(), book_->other_windows.end(),
                                                             [this](const OtherWindow& w) { return w.id == id_; });
    EnterLive(*host_, "Window.Caption", book_->closed || !open);
    return book_->Caption(id_);
  }
  // Read-only on the window: it follows the active sheet's own setting.
  bool DisplayRightToLeft() override {
    Enter("Window.DisplayRightToLeft");
    return book_->sheets[book_->active_sheet]->right_to_left;
  }
  double SplitHorizontal() override {
    Enter("Window.SplitHorizontal");
    return WindowScreen(*host_, *book_).Layout().split_horizontal;
  }
  double SplitVertical() override {
    Enter("Window.SplitVertical");
    return WindowScreen(*host_, *book_).Layout().split_vertical;
  }
  PanePtr Panes(std::int32_t index) override {
    Enter("Window.Panes.Item");
    if (index < 1 || index > book_->win.PaneCount()) throw HostError(kErrSubscript, "Subscript out of range");
    return std::make_shared<SimPane>(host_, book_, index);
  }
  PanePtr ActivePane() override {
    Enter("Window.ActivePane");
    return std::make_shared<SimPane>(host_, book_, std::clamp(book_->win.active_pane, 1, book_->win.PaneCount()));
  }
  std::int32_t PointsToScreenPixelsX(std::int32_t points) override {
    Enter("Window.PointsToScreenPixelsX");
    WindowScreen screen(*host_, *book_);
    return host_->MajorVersion() < 12 ? screen.OldScreenX(points) : screen.ScreenX(screen.Pane(1), points);
  }
  std::int32_t PointsToScreenPixelsY(std::int32_t points) override {
    Enter("Window.PointsToScreenPixelsY");
    WindowScreen screen(*host_, *book_);
    return host_->MajorVersion() < 12 ? screen.OldScreenY(points) : screen.ScreenY(screen.Pane(1), points);
  }
  HostObjectPtr RangeFromPoint(std::int32_t x, std::int32_t y) override {
    Enter("Window.RangeFromPoint");
    WindowScreen screen(*host_, *book_);
    if (screen.ChartAt({x, y})) return ObjectOf(host_, "ChartObject", nullptr);
    auto hit = screen.CellAt({x, y});
    if (!hit) return nullptr;
    return ObjectOf(host_, "Range",
                    host_->RangeObject(book_->sheets[book_->active_sheet], {Area{hit->row, hit->column, hit->row, hit->column}}));
  }
  SheetPtr ActiveSheet() override {
    Enter("Window.ActiveSheet");
    return host_->SheetObject(book_->sheets[book_->active_sheet]);
  }
  RangePtr ActiveCell() override {
    Enter("Window.ActiveCell");
    const auto& s = book_->sheets[book_->active_sheet];
    if (s->type != xl::kWorksheet) return nullptr;
    return host_->RangeObject(s, {Area{s->active_row, s->active_column, s->active_row, s->active_column}});
  }
  HostObjectPtr Selection() override {
    Enter("Window.Selection");
    return host_->SelectionObject(book_->sheets[book_->active_sheet]);
  }

 private:
  // A closed window's object is dead. The stand-in answers only for the window its workbook has
  // active, so an object kept from another window fails rather than reading the wrong view.
  void Enter(const char* member) { EnterLive(*host_, member, book_->closed || book_->window_id != id_); }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<WorkbookModel> book_;
  std::int32_t id_;
};

}  // namespace

void SimExcel::RenameWindow(WindowHandle old_handle, WindowHandle new_handle) {
  desktop_->Get(old_handle).handle = new_handle;
  for (auto& b : books_) {
    if (b->main == old_handle) b->main = new_handle;
    if (b->desk == old_handle) b->desk = new_handle;
    for (auto& w : b->other_windows) {
      if (w.main == old_handle) w.main = new_handle;
      if (w.desk == old_handle) w.desk = new_handle;
      if (w.window == old_handle) w.window = new_handle;
    }
  }
  for (auto& w : desktop_->windows)
    if (w.parent == old_handle) w.parent = new_handle;
  if (desktop_->active_window == old_handle) desktop_->active_window = new_handle;
}

void SimExcel::SetHwnd(WindowHandle hwnd) {
  RenameWindow(hwnd_, hwnd);
  hwnd_ = hwnd;
}

void SimExcel::SetDeskWindow(WindowHandle desk) {
  RenameWindow(desk_, desk);
  desk_ = desk;
}

void SimExcel::SetBookWindow(WorkbookModel& book, WindowHandle window) {
  RenameWindow(book.window, window);
  book.window = window;
}

void SimExcel::SetBookMainWindows(WorkbookModel& book, WindowHandle main, WindowHandle desk) {
  if (book.main == hwnd_) hwnd_ = main;
  if (book.desk == desk_) desk_ = desk;
  RenameWindow(book.main, main);
  RenameWindow(book.desk, desk);
}

WindowHandle SimExcel::FreshHandle() {
  while (desktop_->Exists(next_window_)) next_window_ += 0x10;
  const WindowHandle fresh = next_window_;
  next_window_ += 0x10;
  return fresh;
}

void SimExcel::FreezePanes(const std::string& workbook, std::int32_t rows, std::int32_t columns) {
  WindowModel& w = Book(workbook).win;
  w.freeze = rows > 0 || columns > 0;
  w.split_row = rows, w.split_column = columns;
  w.scroll_row[1] = w.scroll_row[0] + rows;
  w.scroll_column[1] = w.scroll_column[0] + columns;
  w.active_pane = w.PaneCount();
}

void SimExcel::SetDisplayRightToLeft(const std::string& workbook, bool right_to_left) {
  WorkbookModel& b = Book(workbook);
  b.sheets[b.active_sheet]->right_to_left = right_to_left;
}

void SimExcel::Split(const std::string& workbook, std::int32_t rows, std::int32_t columns) {
  WindowModel& w = Book(workbook).win;
  w.freeze = false;
  w.split_row = rows, w.split_column = columns;
  w.scroll_row[1] = w.scroll_row[0] + rows;
  w.scroll_column[1] = w.scroll_column[0] + columns;
  w.active_pane = 1;
}

WindowLayout SimExcel::Layout(const WorkbookModel& book) {
  const SheetModel& sheet = *book.sheets[book.active_sheet];
  ScreenRect client = desktop_->ClientRect(book.window);
  ScreenPoint origin = desktop_->ClientToScreen(book.window, {0, 0});
  client = {client.left + origin.x, client.top + origin.y, client.right + origin.x, client.bottom + origin.y};
  return LayoutWindow(Axes(sheet), book.win, client, desktop_->LogicalPixelsPerInchX(book.window),
                      desktop_->LogicalPixelsPerInchY(book.window));
}

void SimExcel::RaiseWindow(const WorkbookModel& book) {
  desktop_->BringToTop(book.window);
  if (MainWindowPerWorkbook()) {
    desktop_->BringToTop(book.main);
    desktop_->active_window = book.main;
  }
}

void SimExcel::UserScroll(std::int32_t rows, std::int32_t columns) {
  auto book = ActiveBook();
  if (!book) return;
  WindowModel& w = book->win;
  // The scrolling band moves; a frozen band stays.
  const std::size_t row_band = w.freeze && w.split_row > 0 ? 1 : 0, column_band = w.freeze && w.split_column > 0 ? 1 : 0;
  w.scroll_row[row_band] = std::clamp(w.scroll_row[row_band] + rows, 1, MaxRow());
  w.scroll_column[column_band] = std::clamp(w.scroll_column[column_band] + columns, 1, MaxColumn());
  desktop_->Scrolled(book->window);
  desktop_->Repainted(book->window);
}

void SimExcel::UserZoom(double percent) {
  auto book = ActiveBook();
  if (!book) return;
  book->win.zoom = std::clamp(percent, 10.0, 400.0);
  desktop_->Scrolled(book->window);
  desktop_->Repainted(book->window);
}

void SimExcel::UserResizeWindow() {
  auto book = ActiveBook();
  WorkbookPtr wb = WorkbookObject(book);
  ExcelWindowPtr wn = WindowObject(book);
  Raise([&](IApplicationEvents& e) { e.WindowResize(wb, wn); });
}

ExcelWindowPtr SimExcel::WindowObject(const std::shared_ptr<WorkbookModel>& book) {
  return std::make_shared<SimWindow>(shared_from_this(), book, book->window_id);
}

ExcelWindowPtr SimExcel::WindowObject(const std::shared_ptr<WorkbookModel>& book, std::int32_t window_id) {
  return std::make_shared<SimWindow>(shared_from_this(), book, window_id);
}

}  // namespace tessaly::sim
