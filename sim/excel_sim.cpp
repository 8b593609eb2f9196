// The stand-in host's object model: facades over the in-memory workbooks, each member counted and
// able to fail on request.
#include "sim/excel_sim.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>

#include "host/rounding.h"
#include "host/text.h"

namespace tessaly::sim {

namespace {

constexpr std::int32_t kErrApplication = 1004;       // the host's application-defined error
constexpr std::int32_t kErrTypeMismatch = 13;
constexpr std::int32_t kErrSubscript = 9;
constexpr std::int32_t kErrOverflow = 6;
constexpr std::int32_t kErrDisconnected = -2147417848;  // RPC_E_DISCONNECTED

[[noreturn]] void Disconnected() {
  throw HostError(kErrDisconnected, "The object invoked has disconnected from its clients.");
}

// Every member call goes through the host, which counts it and may be told to fail it; a call on an
// object whose sheet or workbook has gone fails as Excel's does.
void EnterLive(SimExcel& host, const char* member, bool gone) {
  host.Enter(member);
  if (gone) Disconnected();
}

const std::vector<std::string> kMembers = {
    "Application.Version", "Application.Hwnd", "Application.Selection", "Application.ActiveCell",
    "Application.ActiveWindow", "Application.ActiveSheet", "Application.ActiveWorkbook", "Application.Interactive",
    "Application.Workbooks", "Application.CommandBars", "Application.SendKeys", "Application.ProcessPendingMessages",
    "Application.Dialogs",
    "Application.Advise", "Application.Unadvise",
    "Object.TypeName", "Object.AsRange",
    "Range.Value.get", "Range.Value.set", "Range.NumberFormat.get", "Range.NumberFormat.set", "Range.HasFormula",
    "Range.Locked", "Range.MergeCells", "Range.Areas.Count", "Range.Cells.Count", "Range.Cells.Item", "Range.Row",
    "Range.Column", "Range.Offset", "Range.Address", "Range.AllowEdit", "Range.Activate", "Range.Worksheet",
    "Range.Left", "Range.Top", "Range.Width", "Range.Height", "Range.Rows.Count", "Range.Columns.Count",
    "Range.Rows.Item", "Range.Columns.Item", "Range.EntireRow", "Range.EntireColumn", "Range.Hidden",
    "Range.MergeArea",
    "Sheet.Type", "Sheet.Name", "Sheet.ProtectContents", "Sheet.Cells", "Sheet.Range", "Sheet.Parent",
    "Sheet.ChartObjects.Add",
    "ChartObject.Placement.set", "ChartObject.Left.set", "ChartObject.Top.set", "ChartObject.Activate",
    "ChartObject.Delete",
    "Workbook.Name", "Workbook.ReadOnly", "Workbook.IsInplace", "Workbook.Worksheets", "Workbooks.Add",
    "Workbooks.Count",
    "Window.Panes.Count", "Window.ActiveSheet", "Window.ActiveCell", "Window.Selection",
    "Window.Type", "Window.WindowState", "Window.Zoom", "Window.View", "Window.FreezePanes",
    "Window.SplitHorizontal", "Window.SplitVertical", "Window.Panes.Item", "Window.ActivePane",
    "Window.PointsToScreenPixelsX", "Window.PointsToScreenPixelsY", "Window.RangeFromPoint", "Window.Hwnd",
    "Pane.Index", "Pane.VisibleRange", "Pane.ScrollRow.get", "Pane.ScrollRow.set", "Pane.ScrollColumn.get",
    "Pane.ScrollColumn.set", "Pane.PointsToScreenPixelsX", "Pane.PointsToScreenPixelsY",
    "Application.CommandBars.Add",
    "CommandBar.Name", "CommandBar.FindControl", "CommandBar.Controls.Add", "CommandBar.Controls.Count",
    "CommandBar.Controls.Item", "CommandBar.Visible.get", "CommandBar.Visible.set",
    "Control.Id", "Control.Tag.get", "Control.Tag.set", "Control.Enabled", "Control.Caption.get",
    "Control.Caption.set", "Control.BeginGroup.get", "Control.BeginGroup.set", "Control.OnAction.get",
    "Control.OnAction.set", "Control.Style.get", "Control.Style.set", "Control.State.get", "Control.State.set",
    "Control.TooltipText.get", "Control.TooltipText.set", "Control.Visible.get", "Control.Visible.set",
    "Control.Picture.set", "Control.Mask.set", "Control.PasteFace", "Control.Advise", "Control.Unadvise",
};

// The cells of an area that are stored, visited without walking the empty ones.
template <class F>
void ForStoredCells(const SheetModel& sheet, const Area& a, F&& f) {
  auto it = sheet.cells.lower_bound({a.r1, a.c1});
  for (; it != sheet.cells.end() && it->first.first <= a.r2; ++it)
    if (a.contains(it->first.first, it->first.second)) f(it->second);
}

std::int64_t TotalCells(const std::vector<Area>& areas) {
  std::int64_t n = 0;
  for (const Area& a : areas) n += a.cells();
  return n;
}

std::int64_t Overlap(const Area& a, const Area& b) {
  std::int64_t rows = std::min(a.r2, b.r2) - std::max(a.r1, b.r1) + 1;
  std::int64_t cols = std::min(a.c2, b.c2) - std::max(a.c1, b.c1) + 1;
  return rows > 0 && cols > 0 ? rows * cols : 0;
}

// A property over all cells of the range: one value when all agree, null when they differ.
template <class Get>
Variant Uniform(const SheetModel& sheet, const std::vector<Area>& areas, const Variant& absent, Get get) {
  std::int64_t stored = 0;
  std::optional<Variant> seen;
  bool mixed = false;
  for (const Area& a : areas)
    ForStoredCells(sheet, a, [&](const CellModel& c) {
      ++stored;
      Variant v = get(c);
      if (!seen) seen = v;
      else if (!(*seen == v)) mixed = true;
    });
  if (stored < TotalCells(areas)) {
    if (seen && !(*seen == absent)) mixed = true;
    seen = absent;
  }
  return mixed ? Variant::null() : *seen;
}

class SimObject : public IHostObject {
 public:
  SimObject(std::shared_ptr<SimExcel> host, std::string type, RangePtr range)
      : host_(std::move(host)), type_(std::move(type)), range_(std::move(range)) {}
  std::string TypeName() override {
    host_->Enter("Object.TypeName");
    return type_;
  }
  RangePtr AsRange() override {
    host_->Enter("Object.AsRange");
    if (!range_) throw HostError(kErrTypeMismatch, "Type mismatch");
    return range_;
  }

 private:
  std::shared_ptr<SimExcel> host_;
  std::string type_;
  RangePtr range_;
};

class SimRange : public IRange {
 public:
  SimRange(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::vector<Area> areas)
      : host_(std::move(host)), sheet_(std::move(sheet)), areas_(std::move(areas)) {}

  Variant Value() override {
    Enter("Range.Value.get");
    if (TotalCells(areas_) != 1) throw HostError(kErrTypeMismatch, "Type mismatch: the range holds an array of values");
    auto it = sheet_->cells.find({areas_[0].r1, areas_[0].c1});
    return it == sheet_->cells.end() ? Variant() : it->second.value;
  }
  void SetValue(const Variant& value) override {
    Enter("Range.Value.set");
    RefuseOnProtectedCells();
    for (const Area& a : areas_)
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) host_->WriteValue(*sheet_, r, c, value);
  }
  Variant NumberFormat() override {
    Enter("Range.NumberFormat.get");
    return Uniform(*sheet_, areas_, Variant::text("General"), [](const CellModel& c) { return Variant::text(c.number_format); });
  }
  void SetNumberFormat(const std::string& format) override {
    Enter("Range.NumberFormat.set");
    RefuseOnProtectedCells();
    for (const Area& a : areas_)
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) sheet_->cells[{r, c}].number_format = format;
  }
  Variant HasFormula() override {
    Enter("Range.HasFormula");
    return Uniform(*sheet_, areas_, Variant::boolean(false), [](const CellModel& c) { return Variant::boolean(!c.formula.empty()); });
  }
  Variant Locked() override {
    Enter("Range.Locked");
    return Uniform(*sheet_, areas_, Variant::boolean(true), [](const CellModel& c) { return Variant::boolean(c.locked); });
  }
  Variant MergeCells() override {
    Enter("Range.MergeCells");
    std::int64_t merged = 0;
    for (const Area& a : areas_)
      for (const Area& m : sheet_->merged) merged += Overlap(a, m);
    if (merged == 0) return Variant::boolean(false);
    return merged == TotalCells(areas_) ? Variant::boolean(true) : Variant::null();
  }
  std::int32_t AreasCount() override {
    Enter("Range.Areas.Count");
    return static_cast<std::int32_t>(areas_.size());
  }
  std::int32_t CellsCount() override {
    Enter("Range.Cells.Count");
    std::int64_t n = TotalCells(areas_);
    if (n > std::numeric_limits<std::int32_t>::max()) throw HostError(kErrOverflow, "Overflow");
    return static_cast<std::int32_t>(n);
  }
  RangePtr CellsItem(std::int32_t index) override {
    Enter("Range.Cells.Item");
    const Area& a = areas_[0];
    std::int32_t width = a.c2 - a.c1 + 1;
    if (index < 1) throw HostError(kErrApplication, "Application-defined or object-defined error");
    std::int64_t r = a.r1 + (std::int64_t(index) - 1) / width;
    std::int32_t c = a.c1 + (index - 1) % width;
    if (r > host_->MaxRow()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    auto row = static_cast<std::int32_t>(r);
    return host_->RangeObject(sheet_, {Area{row, c, row, c}});
  }
  std::int32_t Row() override {
    Enter("Range.Row");
    return areas_[0].r1;
  }
  std::int32_t Column() override {
    Enter("Range.Column");
    return areas_[0].c1;
  }
  RangePtr Offset(std::int32_t rows, std::int32_t columns) override {
    Enter("Range.Offset");
    std::vector<Area> moved = areas_;
    for (Area& a : moved) {
      a.r1 += rows, a.r2 += rows, a.c1 += columns, a.c2 += columns;
      if (a.r1 < 1 || a.c1 < 1 || a.r2 > host_->MaxRow() || a.c2 > host_->MaxColumn())
        throw HostError(kErrApplication, "Application-defined or object-defined error");
    }
    return host_->RangeObject(sheet_, std::move(moved));
  }
  std::string Address(bool row_abs, bool col_abs, std::int32_t style, bool external) override {
    Enter("Range.Address");
    std::string local = address::Format(areas_, row_abs, col_abs, style, host_->MaxRow(), host_->MaxColumn());
    if (!external) return local;
    std::string prefix = "[" + sheet_->parent->name + "]" + sheet_->name;
    bool plain = std::all_of(prefix.begin(), prefix.end(), [](unsigned char ch) {
      return std::isalnum(ch) || ch == '_' || ch == '.' || ch == '[' || ch == ']';
    });
    return (plain ? prefix : "'" + prefix + "'") + "!" + local;
  }
  bool AllowEdit() override {
    Enter("Range.AllowEdit");
    if (!sheet_->protect_contents) return true;
    Variant locked = Uniform(*sheet_, areas_, Variant::boolean(true), [](const CellModel& c) { return Variant::boolean(c.locked); });
    return locked == Variant::boolean(false);
  }
  void Activate() override {
    Enter("Range.Activate");
    const WorkbookModel& book = *sheet_->parent;
    if (book.sheets[book.active_sheet] != sheet_)
      throw HostError(kErrApplication, "Activate method of Range class failed");
    const Area& first = areas_[0];
    bool inside = false;
    for (const Area& s : sheet_->selection) inside = inside || (areas_.size() == 1 && first.cells() == 1 && s.contains(first.r1, first.c1));
    if (!inside) {
      sheet_->selection = areas_;
      sheet_->selected_object.clear();
    }
    sheet_->active_row = first.r1;
    sheet_->active_column = first.c1;
  }
  SheetPtr Worksheet() override {
    Enter("Range.Worksheet");
    return host_->SheetObject(sheet_);
  }
  double Left() override { return Enter("Range.Left"), sheet_->columns.Start(areas_[0].c1); }
  double Top() override { return Enter("Range.Top"), sheet_->rows.Start(areas_[0].r1); }
  double Width() override { return Enter("Range.Width"), sheet_->columns.Span(areas_[0].c1, areas_[0].c2); }
  double Height() override { return Enter("Range.Height"), sheet_->rows.Span(areas_[0].r1, areas_[0].r2); }
  std::int32_t RowsCount() override { return Enter("Range.Rows.Count"), areas_[0].r2 - areas_[0].r1 + 1; }
  std::int32_t ColumnsCount() override { return Enter("Range.Columns.Count"), areas_[0].c2 - areas_[0].c1 + 1; }
  RangePtr RowsItem(std::int32_t index) override {
    Enter("Range.Rows.Item");
    const Area& a = areas_[0];
    std::int64_t r = std::int64_t(a.r1) + index - 1;
    if (index < 1 || r > host_->MaxRow()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    return host_->RangeObject(sheet_, {Area{std::int32_t(r), a.c1, std::int32_t(r), a.c2}});
  }
  RangePtr ColumnsItem(std::int32_t index) override {
    Enter("Range.Columns.Item");
    const Area& a = areas_[0];
    std::int64_t c = std::int64_t(a.c1) + index - 1;
    if (index < 1 || c > host_->MaxColumn()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    return host_->RangeObject(sheet_, {Area{a.r1, std::int32_t(c), a.r2, std::int32_t(c)}});
  }
  RangePtr EntireRow() override {
    Enter("Range.EntireRow");
    std::vector<Area> rows = areas_;
    for (Area& a : rows) a.c1 = 1, a.c2 = host_->MaxColumn();
    return host_->RangeObject(sheet_, std::move(rows));
  }
  RangePtr EntireColumn() override {
    Enter("Range.EntireColumn");
    std::vector<Area> columns = areas_;
    for (Area& a : columns) a.r1 = 1, a.r2 = host_->MaxRow();
    return host_->RangeObject(sheet_, std::move(columns));
  }
  bool Hidden() override {
    Enter("Range.Hidden");
    const Area& a = areas_[0];
    auto all_hidden = [](const std::set<std::int32_t>& hidden, std::int32_t first, std::int32_t last) {
      return std::distance(hidden.lower_bound(first), hidden.upper_bound(last)) == last - first + 1;
    };
    if (a.c1 == 1 && a.c2 == host_->MaxColumn()) return all_hidden(sheet_->rows.hidden, a.r1, a.r2);
    if (a.r1 == 1 && a.r2 == host_->MaxRow()) return all_hidden(sheet_->columns.hidden, a.c1, a.c2);
    throw HostError(kErrApplication, "Unable to get the Hidden property of the Range class");
  }
  RangePtr MergeArea() override {
    Enter("Range.MergeArea");
    const Area& a = areas_[0];
    for (const Area& m : sheet_->merged)
      if (m.contains(a.r1, a.c1)) return host_->RangeObject(sheet_, {m});
    return host_->RangeObject(sheet_, {Area{a.r1, a.c1, a.r1, a.c1}});
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, sheet_->closed); }
  void RefuseOnProtectedCells() {
    if (!sheet_->protect_contents) return;
    Variant locked = Uniform(*sheet_, areas_, Variant::boolean(true), [](const CellModel& c) { return Variant::boolean(c.locked); });
    if (!(locked == Variant::boolean(false)))
      throw HostError(kErrApplication, "The cell or chart you're trying to change is on a protected sheet.");
  }

  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
  std::vector<Area> areas_;
};

class SimChartObject : public IChartObject {
 public:
  SimChartObject(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::shared_ptr<ChartModel> chart)
      : host_(std::move(host)), sheet_(std::move(sheet)), chart_(std::move(chart)) {}
  void SetPlacement(std::int32_t placement) override { Enter("ChartObject.Placement.set"), chart_->placement = placement; }
  void SetLeft(double points) override { Enter("ChartObject.Left.set"), chart_->left = points; }
  void SetTop(double points) override { Enter("ChartObject.Top.set"), chart_->top = points; }
  // The chart opens in its own EXCELE window inside XLDESK, over the chart's place on screen.
  void Activate() override {
    Enter("ChartObject.Activate");
    WorkbookModel& book = *sheet_->parent;
    WindowLayout layout = host_->Layout(book);
    SheetAxes axes = host_->Axes(*sheet_);
    auto row = sheet_->rows.IndexAtPoints(chart_->top, host_->MaxRow());
    auto column = sheet_->columns.IndexAtPoints(chart_->left, host_->MaxColumn());
    const PaneLayout& pane = PaneShowing(layout, row, column);
    ScreenPoint at{PaneScreenX(axes, layout, pane, chart_->left), PaneScreenY(axes, layout, pane, chart_->top)};
    SimDesktop& desk = host_->Desktop();
    ScreenPoint in_desk = desk.ScreenToClient(host_->DeskWindow(), at);
    ScreenRect rect{in_desk.x, in_desk.y, in_desk.x + RoundHalfEven(chart_->width * layout.scale_x),
                    in_desk.y + RoundHalfEven(chart_->height * layout.scale_y)};
    if (WindowHandle old = desk.FindChildWindow(host_->DeskWindow(), "EXCELE", 0)) desk.RemoveWindow(old);
    WindowHandle chart_window = desk.NewHandle();
    desk.AddChild(host_->DeskWindow(), chart_window, "EXCELE", rect);
    desk.BringToTop(chart_window);
  }
  // The chart goes at once; its EXCELE window lingers until the host next handles its messages.
  void Delete() override {
    Enter("ChartObject.Delete");
    chart_->deleted = true;
    std::erase(sheet_->charts, chart_);
    std::weak_ptr<SimExcel> host = host_;
    host_->Post([host] {
      if (auto h = host.lock())
        while (WindowHandle w = h->Desktop().FindChildWindow(h->DeskWindow(), "EXCELE", 0)) h->Desktop().RemoveWindow(w);
    });
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, chart_->deleted || sheet_->closed); }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
  std::shared_ptr<ChartModel> chart_;
};

class SimSheet : public ISheet {
 public:
  SimSheet(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet) : host_(std::move(host)), sheet_(std::move(sheet)) {}
  std::int32_t Type() override {
    Enter("Sheet.Type");
    return sheet_->type;
  }
  std::string Name() override {
    Enter("Sheet.Name");
    return sheet_->name;
  }
  bool ProtectContents() override {
    Enter("Sheet.ProtectContents");
    return sheet_->protect_contents;
  }
  RangePtr Cells(std::int32_t row, std::int32_t column) override {
    Enter("Sheet.Cells");
    RequireWorksheet();
    if (row < 1 || column < 1 || row > host_->MaxRow() || column > host_->MaxColumn())
      throw HostError(kErrApplication, "Application-defined or object-defined error");
    return host_->RangeObject(sheet_, {Area{row, column, row, column}});
  }
  RangePtr Range(const std::string& a1) override {
    Enter("Sheet.Range");
    RequireWorksheet();
    return host_->RangeObject(sheet_, address::Parse(a1, host_->MaxRow(), host_->MaxColumn()));
  }
  WorkbookPtr Parent() override {
    Enter("Sheet.Parent");
    return host_->WorkbookObject(host_->BookShared(sheet_->parent));
  }
  ChartObjectPtr ChartObjectsAdd(double left, double top, double width, double height) override {
    Enter("Sheet.ChartObjects.Add");
    RequireWorksheet();
    auto chart = std::make_shared<ChartModel>(ChartModel{left, top, width, height});
    sheet_->charts.push_back(chart);
    return std::make_shared<SimChartObject>(host_, sheet_, chart);
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, sheet_->closed); }
  void RequireWorksheet() {
    if (sheet_->type != xl::kWorksheet) throw HostError(438, "Object doesn't support this property or method");
  }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
};

class SimWorkbook : public IWorkbook {
 public:
  SimWorkbook(std::shared_ptr<SimExcel> host, std::shared_ptr<WorkbookModel> book) : host_(std::move(host)), book_(std::move(book)) {}
  std::string Name() override {
    Enter("Workbook.Name");
    return book_->name;
  }
  bool ReadOnly() override {
    Enter("Workbook.ReadOnly");
    return book_->read_only;
  }
  bool IsInplace() override {
    Enter("Workbook.IsInplace");
    return book_->inplace;
  }
  SheetPtr Worksheets(const std::string& name) override {
    Enter("Workbook.Worksheets");
    for (const auto& s : book_->sheets)
      if (s->type == xl::kWorksheet && iequals(s->name, name)) return host_->SheetObject(s);
    throw HostError(kErrSubscript, "Subscript out of range");
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, book_->closed); }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<WorkbookModel> book_;
};

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
  // Hosts before 12: pixels from the sheet's corner as pane 1 is scrolled, no zoom, no scale.
  std::int32_t OldScreenX(std::int32_t pixels) const {
    return std::int32_t(Pane(1).rect.left - axes_.columns.PixelSpan(1, Pane(1).first_column, layout_.scale_x) + pixels);
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
      std::int32_t x = PaneScreenX(axes_, layout_, pane, c->left), y = PaneScreenY(axes_, layout_, pane, c->top);
      if (p.x >= x && p.y >= y && p.x < x + RoundHalfEven(c->width * layout_.scale_x) &&
          p.y < y + RoundHalfEven(c->height * layout_.scale_y))
        return true;
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
  SimWindow(std::shared_ptr<SimExcel> host, std::shared_ptr<WorkbookModel> book) : host_(std::move(host)), book_(std::move(book)) {}
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
    if (screen.ChartAt({x, y})) return std::make_shared<SimObject>(host_, "ChartObject", nullptr);
    auto hit = screen.CellAt({x, y});
    if (!hit) return nullptr;
    return std::make_shared<SimObject>(
        host_, "Range", host_->RangeObject(book_->sheets[book_->active_sheet], {Area{hit->row, hit->column, hit->row, hit->column}}));
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
  void Enter(const char* member) { EnterLive(*host_, member, book_->closed); }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<WorkbookModel> book_;
};

class SimImageKey : public IButtonImage {
 public:
  explicit SimImageKey(std::string key) : key_(std::move(key)) {}
  std::string Key() const override { return key_; }

 private:
  std::string key_;
};

constexpr const char* kInvalidCall = "Invalid procedure call or argument";
constexpr std::int32_t kErrInvalidCall = 5;

class SimControl : public ICommandBarControl {
 public:
  SimControl(std::shared_ptr<SimExcel> host, std::shared_ptr<ControlModel> control)
      : host_(std::move(host)), c_(std::move(control)) {}
  std::int32_t Id() override { return host_->Enter("Control.Id"), c_->id; }
  std::string Tag() override { return host_->Enter("Control.Tag.get"), c_->tag; }
  void SetTag(const std::string& tag) override { host_->Enter("Control.Tag.set"), c_->tag = tag; }
  bool Enabled() override {
    host_->Enter("Control.Enabled");
    return c_->enabled && !(c_->disabled_while_editing && host_->Editing());
  }
  std::string Caption() override { return host_->Enter("Control.Caption.get"), c_->caption; }
  void SetCaption(const std::string& caption) override { host_->Enter("Control.Caption.set"), c_->caption = caption; }
  bool BeginGroup() override { return host_->Enter("Control.BeginGroup.get"), c_->begin_group; }
  void SetBeginGroup(bool group) override { host_->Enter("Control.BeginGroup.set"), c_->begin_group = group; }
  std::string OnAction() override { return host_->Enter("Control.OnAction.get"), c_->on_action; }
  void SetOnAction(const std::string& action) override { host_->Enter("Control.OnAction.set"), c_->on_action = action; }
  bool Visible() override { return host_->Enter("Control.Visible.get"), c_->visible; }
  void SetVisible(bool visible) override { host_->Enter("Control.Visible.set"), c_->visible = visible; }
  std::int32_t Style() override { return Button("Control.Style.get"), c_->style; }
  void SetStyle(std::int32_t style) override {
    Button("Control.Style.set");
    if (style < 0 || style > 15) throw HostError(kErrInvalidCall, kInvalidCall);
    c_->style = style;
  }
  std::int32_t State() override { return Button("Control.State.get"), c_->state; }
  void SetState(std::int32_t state) override { Button("Control.State.set"), c_->state = state; }
  std::string TooltipText() override { return Button("Control.TooltipText.get"), c_->tooltip; }
  void SetTooltipText(const std::string& text) override { Button("Control.TooltipText.set"), c_->tooltip = text; }
  void SetPicture(const ButtonImagePtr& picture) override {
    Button("Control.Picture.set");
    NotBefore10();
    if (!picture) throw HostError(kErrTypeMismatch, "Type mismatch");
    c_->picture = picture->Key();
    c_->picture_image = picture;
  }
  void SetMask(const ButtonImagePtr& mask) override {
    Button("Control.Mask.set");
    NotBefore10();
    if (!mask) throw HostError(kErrTypeMismatch, "Type mismatch");
    c_->mask = mask->Key();
    c_->mask_image = mask;
  }
  void PasteFace() override {
    Button("Control.PasteFace");
    // The host opens the clipboard with its own window; busy or without a bitmap, the paste fails.
    SimClipboard& clipboard = *host_->clipboard;
    ButtonImagePtr picture;
    if (clipboard.Open(host_->MainHwnd())) {
      if (const SimClipboard::Format* f = clipboard.Get(kClipBitmap)) picture = f->picture;
      clipboard.Close();
    }
    if (!picture) throw HostError(kErrApplication, "Method 'PasteFace' of object '_CommandBarButton' failed");
    c_->picture = picture->Key();
    c_->picture_image = picture;
    c_->mask.clear();
    c_->mask_image.reset();
  }
  std::int32_t Advise(std::shared_ptr<ICommandBarButtonEvents> sink) override {
    Button("Control.Advise");
    return host_->AdviseButton(c_, std::move(sink));
  }
  void Unadvise(std::int32_t cookie) override { host_->Enter("Control.Unadvise"), host_->UnadviseButton(cookie); }

 private:
  // Picture and Mask came with version 10; before, a face is only pasted.
  void NotBefore10() {
    if (host_->MajorVersion() < 10) throw HostError(438, "Object doesn't support this property or method");
  }
  void Button(const char* member) {
    host_->Enter(member);
    if (c_->type != xl::kControlButton) throw HostError(438, "Object doesn't support this property or method");
  }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<ControlModel> c_;
};

class SimCommandBar : public ICommandBar {
 public:
  SimCommandBar(std::shared_ptr<SimExcel> host, std::shared_ptr<CommandBarModel> bar) : host_(std::move(host)), bar_(std::move(bar)) {}
  std::string Name() override { return host_->Enter("CommandBar.Name"), bar_->name; }
  CommandBarControlPtr FindControl(std::int32_t type, std::int32_t id, const std::string& tag) override {
    host_->Enter("CommandBar.FindControl");
    for (const auto& c : bar_->controls)
      if (c->type == type && c->id == id && (tag.empty() || c->tag == tag)) return std::make_shared<SimControl>(host_, c);
    return nullptr;
  }
  CommandBarControlPtr ControlsAdd(std::int32_t type, std::int32_t id, std::int32_t before, bool temporary) override {
    host_->Enter("CommandBar.Controls.Add");
    const auto count = static_cast<std::int32_t>(bar_->controls.size());
    // Buttons, edit boxes, drop-downs, combo boxes and pop-ups are what a program may add.
    const bool known_type = type == xl::kControlButton || type == 2 || type == 3 || type == 4 || type == 10;
    if (!known_type || id < 1 || before < 0 || before > count + 1) throw HostError(kErrInvalidCall, kInvalidCall);
    auto c = std::make_shared<ControlModel>();
    c->type = type;
    c->id = id;
    c->temporary = temporary;
    const auto at = before == 0 ? bar_->controls.end() : bar_->controls.begin() + (before - 1);
    bar_->controls.insert(at, c);
    return std::make_shared<SimControl>(host_, c);
  }
  std::int32_t ControlsCount() override {
    host_->Enter("CommandBar.Controls.Count");
    return static_cast<std::int32_t>(bar_->controls.size());
  }
  CommandBarControlPtr Controls(std::int32_t index) override {
    host_->Enter("CommandBar.Controls.Item");
    if (index < 1 || index > static_cast<std::int32_t>(bar_->controls.size())) throw HostError(kErrInvalidCall, kInvalidCall);
    return std::make_shared<SimControl>(host_, bar_->controls[static_cast<std::size_t>(index - 1)]);
  }
  bool Visible() override { return host_->Enter("CommandBar.Visible.get"), bar_->visible; }
  void SetVisible(bool visible) override { host_->Enter("CommandBar.Visible.set"), bar_->visible = visible; }

 private:
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<CommandBarModel> bar_;
};

}  // namespace

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

void SimExcel::RenameWindow(WindowHandle old_handle, WindowHandle new_handle) {
  desktop_->Get(old_handle).handle = new_handle;
  for (auto& b : books_) {
    if (b->main == old_handle) b->main = new_handle;
    if (b->desk == old_handle) b->desk = new_handle;
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

WorkbookModel& SimExcel::AddWorkbook(const std::string& name, const std::vector<std::string>& sheets) {
  auto book = std::make_shared<WorkbookModel>();
  book->name = name;
  book->window = FreshHandle();
  book->main = hwnd_, book->desk = desk_;
  const bool own_main = MainWindowPerWorkbook() &&
                        (!desktop_->Exists(hwnd_) || std::any_of(books_.begin(), books_.end(), [&](const auto& b) { return b->main == hwnd_; }));
  if (own_main) {
    // A main window of its own, cascaded from the host's first one, with the same ribbon and desk.
    const WindowHandle first = desktop_->Exists(hwnd_) ? hwnd_ : 0;
    const ScreenRect at = first ? desktop_->Get(first).rect : ScreenRect{0, 0, 1280, 800};
    const std::int32_t step = 30 * std::int32_t(books_.size() % 8);
    book->main = FreshHandle();
    book->desk = FreshHandle();
    desktop_->AddWindow(book->main, "XLMAIN", desktop_->current_process,
                        {at.left + step, at.top + step, at.right + step, at.bottom + step}).frame = {4, 30, 4, 4};
    desktop_->AddChild(book->main, book->desk, "XLDESK", {0, 120, at.width() - 8, at.height() - 56});
  }
  // Maximised inside the desk, under the active workbook's window.
  desktop_->AddChild(book->desk, book->window, "EXCEL7", desktop_->ClientRect(book->desk));
  for (const std::string& s : sheets) {
    auto sheet = std::make_shared<SheetModel>();
    sheet->name = s;
    sheet->parent = book.get();
    book->sheets.push_back(sheet);
  }
  books_.push_back(book);
  ++opened_;
  if (!active_book_) active_book_ = book;  // set-up opens in the background; UserActivateWorkbook switches
  RaiseWindow(*active_book_);
  if (on_book_opened) on_book_opened(*book);
  return *book;
}

SheetModel& SimExcel::AddChartSheet(const std::string& workbook, const std::string& name) {
  WorkbookModel& book = Book(workbook);
  auto sheet = std::make_shared<SheetModel>();
  sheet->name = name;
  sheet->type = xl::kChart;
  sheet->parent = &book;
  book.sheets.push_back(sheet);
  return *sheet;
}

WorkbookModel& SimExcel::Book(const std::string& name) {
  for (auto& b : books_)
    if (iequals(b->name, name)) return *b;
  throw HostError(kErrSubscript, "no workbook " + name);
}

SheetModel& SimExcel::Sheet(const std::string& workbook, const std::string& sheet) {
  for (auto& s : Book(workbook).sheets)
    if (iequals(s->name, sheet)) return *s;
  throw HostError(kErrSubscript, "no sheet " + sheet);
}

SheetModel& SimExcel::ActiveSheetModel() {
  auto book = ActiveBook();
  if (!book) throw HostError(kErrApplication, "no workbook is open");
  return *book->sheets[book->active_sheet];
}

CellModel& SimExcel::Cell(SheetModel& sheet, const std::string& a1) {
  std::vector<Area> a = address::Parse(a1, 1048576, 16384);
  return sheet.cells[{a[0].r1, a[0].c1}];
}

void SimExcel::SetFormula(SheetModel& sheet, const std::string& a1, const std::string& formula, const Variant& cached) {
  CellModel& c = Cell(sheet, a1);
  c.formula = formula;
  c.value = cached;
}

void SimExcel::Merge(SheetModel& sheet, const std::string& a1_area) {
  for (const Area& a : address::Parse(a1_area, 1048576, 16384)) sheet.merged.push_back(a);
}

void SimExcel::CloseWorkbook(const std::string& name) {
  for (auto it = books_.begin(); it != books_.end(); ++it)
    if (iequals((*it)->name, name)) {
      (*it)->closed = true;
      for (auto& s : (*it)->sheets) s->closed = true;
      // A workbook's own main window goes with it, and every window inside it.
      const WindowHandle gone = MainWindowPerWorkbook() ? (*it)->main : (*it)->window;
      desktop_->RemoveWindow(gone);
      if (active_book_ == *it) active_book_ = nullptr;
      books_.erase(it);
      if (!active_book_ && !books_.empty()) active_book_ = books_.back();
      if (on_window_closed) on_window_closed(gone);
      return;
    }
}

CommandBarModel& SimExcel::Bar(const std::string& name) {
  for (auto& b : bars_)
    if (iequals(b->name, name)) return *b;
  throw HostError(kErrSubscript, "no command bar " + name);
}

CommandBarModel& SimExcel::AddBar(const std::string& name) {
  auto bar = std::make_shared<CommandBarModel>();
  bar->name = name;
  bars_.push_back(bar);
  return *bar;
}

void SimExcel::RemoveBar(const std::string& name) {
  std::erase_if(bars_, [&](const auto& b) { return iequals(b->name, name); });
}

void SimExcel::Restart() {
  std::erase_if(bars_, [](const auto& b) { return b->temporary; });
  for (auto& b : bars_) std::erase_if(b->controls, [](const auto& c) { return c->temporary; });
  button_sinks_.clear();
}

std::shared_ptr<ControlModel> SimExcel::ControlAt(const std::string& bar, std::size_t position) {
  auto& controls = Bar(bar).controls;
  if (position < 1 || position > controls.size()) throw HostError(kErrSubscript, "no control " + std::to_string(position));
  return controls[position - 1];
}

std::int32_t SimExcel::AdviseButton(std::shared_ptr<ControlModel> control, std::shared_ptr<ICommandBarButtonEvents> sink) {
  if (!sink) throw HostError(kErrInvalidCall, kInvalidCall);
  const std::int32_t cookie = next_cookie_++;
  button_sinks_[cookie] = {std::move(control), std::move(sink)};
  return cookie;
}

void SimExcel::UnadviseButton(std::int32_t cookie) {
  if (!button_sinks_.erase(cookie)) throw HostError(-2147220992, "CONNECT_E_NOCONNECTION");
}

bool SimExcel::UserClickControl(const std::shared_ptr<ControlModel>& control) {
  if (!control || !control->visible || !control->enabled) return false;
  const std::string& action = control->on_action;
  const bool routed = std::any_of(com_addins.begin(), com_addins.end(),
                                  [&](const std::string& prog_id) { return iequals(action, "!<" + prog_id + ">"); });
  if (!routed) return false;
  // The receivers may subscribe and unsubscribe while they run: the list is taken first.
  std::vector<std::pair<std::shared_ptr<ControlModel>, std::shared_ptr<ICommandBarButtonEvents>>> receivers;
  for (const auto& [cookie, s] : button_sinks_)
    if (s.first == control || (!control->tag.empty() && s.first->tag == control->tag)) receivers.push_back(s);
  bool cancel = false;
  for (auto& [c, sink] : receivers) sink->Click(std::make_shared<SimControl>(shared_from_this(), c), cancel);
  return !receivers.empty();
}

std::shared_ptr<WorkbookModel> SimExcel::ActiveBook() const { return active_book_; }

std::shared_ptr<SheetModel> SimExcel::SheetShared(const SheetModel* sheet) const {
  for (const auto& b : books_)
    for (const auto& s : b->sheets)
      if (s.get() == sheet) return s;
  Disconnected();
}

std::shared_ptr<WorkbookModel> SimExcel::BookShared(const WorkbookModel* book) const {
  for (const auto& b : books_)
    if (b.get() == book) return b;
  Disconnected();
}

// ---------------------------------------------------------------- the host's own behaviour

void SimExcel::WriteValue(SheetModel& sheet, std::int32_t row, std::int32_t column, const Variant& value) {
  CellModel& c = sheet.cells[{row, column}];
  c.value = value;
  c.formula.clear();
  // The host formats a General cell that receives a date as a date, with the time when it has one.
  if (value.is_date() && iequals(c.number_format, "General")) {
    double whole = std::floor(value.as_double());
    c.number_format = value.as_double() == whole ? short_date_format_ : short_date_format_ + " h:mm";
  }
}

std::vector<Area> SimExcel::WidenToMerged(const SheetModel& sheet, std::vector<Area> areas) const {
  for (Area& a : areas) {
    for (bool grown = true; grown;) {
      grown = false;
      for (const Area& m : sheet.merged) {
        if (Overlap(a, m) == 0) continue;
        Area u{std::min(a.r1, m.r1), std::min(a.c1, m.c1), std::max(a.r2, m.r2), std::max(a.c2, m.c2)};
        if (!(u == a)) a = u, grown = true;
      }
    }
  }
  return areas;
}

void SimExcel::Raise(const std::function<void(IApplicationEvents&)>& event) {
  // A copy: a handler may end its subscription while the event is delivered.
  auto sinks = sinks_;
  for (auto& [cookie, sink] : sinks)
    if (sinks_.count(cookie)) event(*sink);
}

void SimExcel::UserSelect(const std::string& a1_address) {
  auto book = ActiveBook();
  auto sheet = book->sheets[book->active_sheet];
  sheet->selection = WidenToMerged(*sheet, address::Parse(a1_address, MaxRow(), MaxColumn()));
  sheet->selected_object.clear();
  sheet->active_row = sheet->selection[0].r1;
  sheet->active_column = sheet->selection[0].c1;
  SheetPtr sh = SheetObject(sheet);
  RangePtr target = RangeObject(sheet, sheet->selection);
  Raise([&](IApplicationEvents& e) { e.SheetSelectionChange(sh, target); });
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

WorkbookPtr SimExcel::WorkbooksAdd() {
  Enter("Workbooks.Add");
  UserNewWorkbook(NewWorkbookName());
  return WorkbookObject(active_book_);
}

std::int32_t SimExcel::WorkbooksCount() {
  Enter("Workbooks.Count");
  return static_cast<std::int32_t>(books_.size());
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

void SimExcel::UserScroll(std::int32_t rows, std::int32_t columns) {
  auto book = ActiveBook();
  if (!book) return;
  WindowModel& w = book->win;
  // The scrolling band moves; a frozen band stays.
  const std::size_t row_band = w.freeze && w.split_row > 0 ? 1 : 0, column_band = w.freeze && w.split_column > 0 ? 1 : 0;
  w.scroll_row[row_band] = std::clamp(w.scroll_row[row_band] + rows, 1, MaxRow());
  w.scroll_column[column_band] = std::clamp(w.scroll_column[column_band] + columns, 1, MaxColumn());
  desktop_->Scrolled(book->window);
}

void SimExcel::UserZoom(double percent) {
  auto book = ActiveBook();
  if (!book) return;
  book->win.zoom = std::clamp(percent, 10.0, 400.0);
  desktop_->Scrolled(book->window);
}

void SimExcel::UserResizeWindow() {
  auto book = ActiveBook();
  WorkbookPtr wb = WorkbookObject(book);
  ExcelWindowPtr wn = WindowObject(book);
  Raise([&](IApplicationEvents& e) { e.WindowResize(wb, wn); });
}

void SimExcel::UserRenameSheet(const std::string& workbook, const std::string& old_name, const std::string& new_name) {
  Sheet(workbook, old_name).name = new_name;
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
  } else if (keys == "{ESC}") {
    editing_ = false;
  }
  if (!editing_) edit_text_.clear();
}

// ---------------------------------------------------------------- faults and counting

const std::vector<std::string>& SimExcel::Members() { return kMembers; }

std::int64_t SimExcel::Calls(const std::string& member) const {
  return faults_.Calls(member);
}

void SimExcel::Enter(const char* member) {
  faults_.Enter(member);
}

// ---------------------------------------------------------------- facades

SheetPtr SimExcel::SheetObject(const std::shared_ptr<SheetModel>& sheet) {
  return std::make_shared<SimSheet>(shared_from_this(), sheet);
}
WorkbookPtr SimExcel::WorkbookObject(const std::shared_ptr<WorkbookModel>& book) {
  return std::make_shared<SimWorkbook>(shared_from_this(), book);
}
ExcelWindowPtr SimExcel::WindowObject(const std::shared_ptr<WorkbookModel>& book) {
  return std::make_shared<SimWindow>(shared_from_this(), book);
}
RangePtr SimExcel::RangeObject(const std::shared_ptr<SheetModel>& sheet, std::vector<Area> areas) {
  return std::make_shared<SimRange>(shared_from_this(), sheet, std::move(areas));
}
HostObjectPtr SimExcel::SelectionObject(const std::shared_ptr<SheetModel>& sheet) {
  if (sheet->type != xl::kWorksheet) return std::make_shared<SimObject>(shared_from_this(), "ChartArea", nullptr);
  if (!sheet->selected_object.empty())
    return std::make_shared<SimObject>(shared_from_this(), sheet->selected_object, nullptr);
  return std::make_shared<SimObject>(shared_from_this(), "Range", RangeObject(sheet, sheet->selection));
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
WorkbookPtr SimExcel::Workbooks(const std::string& name) {
  Enter("Application.Workbooks");
  for (const auto& b : books_)
    if (iequals(b->name, name)) return WorkbookObject(b);
  throw HostError(kErrSubscript, "Subscript out of range");
}
CommandBarPtr SimExcel::CommandBars(const std::string& name) {
  Enter("Application.CommandBars");
  for (const auto& b : bars_)
    if (iequals(b->name, name)) return std::make_shared<SimCommandBar>(shared_from_this(), b);
  throw HostError(kErrInvalidCall, kInvalidCall);
}
CommandBarPtr SimExcel::CommandBarsAdd(const std::string& name, std::int32_t position, bool temporary) {
  Enter("Application.CommandBars.Add");
  const bool taken = std::any_of(bars_.begin(), bars_.end(), [&](const auto& b) { return iequals(b->name, name); });
  if (name.empty() || taken || position < 0 || position > 6) throw HostError(kErrInvalidCall, kInvalidCall);
  auto bar = std::make_shared<CommandBarModel>();
  bar->name = name;
  bar->position = position;
  bar->visible = false;
  bar->temporary = temporary;
  bar->built_in = false;
  bars_.push_back(bar);
  return std::make_shared<SimCommandBar>(shared_from_this(), bar);
}
void SimExcel::SendKeys(const std::string& keys, bool wait) {
  Enter("Application.SendKeys");
  sent_keys.push_back(keys);
  if (wait) ApplyKeys(keys);
  else queued_keys_.push_back(keys);
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
std::int32_t SimExcel::Advise(std::shared_ptr<IApplicationEvents> sink) {
  Enter("Application.Advise");
  sinks_[next_cookie_] = std::move(sink);
  return next_cookie_++;
}
void SimExcel::Unadvise(std::int32_t cookie) {
  Enter("Application.Unadvise");
  sinks_.erase(cookie);
}

// ---------------------------------------------------------------- addresses

namespace address {

std::string ColumnLetters(std::int32_t column) {
  std::string s;
  for (; column > 0; column = (column - 1) / 26) s.insert(s.begin(), char('A' + (column - 1) % 26));
  return s;
}

namespace {

[[noreturn]] void Bad(const std::string& text) { throw HostError(kErrApplication, "Method 'Range' of object failed: " + text); }

// One end of an area: a cell, a whole column (row 0) or a whole row (column 0).
struct End {
  std::int32_t row = 0, column = 0;
};

End ParseEnd(const std::string& t, const std::string& whole) {
  End e;
  std::size_t i = 0;
  if (i < t.size() && t[i] == '$') ++i;
  std::int64_t col = 0;
  while (i < t.size() && std::isalpha(static_cast<unsigned char>(t[i]))) {
    col = col * 26 + (std::toupper(static_cast<unsigned char>(t[i])) - 'A' + 1);
    if (col > 100000) Bad(whole);
    ++i;
  }
  if (i < t.size() && t[i] == '$') ++i;
  std::int64_t row = 0;
  std::size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
    row = row * 10 + (t[i] - '0');
    if (row > 100000000) Bad(whole);
    ++i, ++digits;
  }
  if (i != t.size() || (col == 0 && digits == 0)) Bad(whole);
  e.column = static_cast<std::int32_t>(col);
  e.row = static_cast<std::int32_t>(row);
  return e;
}

}  // namespace

std::vector<Area> Parse(const std::string& a1, std::int32_t max_row, std::int32_t max_column) {
  std::vector<Area> out;
  for (const std::string& piece : split(a1, ",")) {
    std::string p = trim(piece);
    auto colon = p.find(':');
    End a = ParseEnd(p.substr(0, colon), a1);
    End b = colon == std::string::npos ? a : ParseEnd(p.substr(colon + 1), a1);
    bool rows = a.column == 0 && b.column == 0, cols = a.row == 0 && b.row == 0;
    if ((a.column == 0) != (b.column == 0) || (a.row == 0) != (b.row == 0)) Bad(a1);
    if (colon == std::string::npos && (rows || cols)) Bad(a1);  // "5" or "C" alone is no range
    Area r{rows ? 1 : 0, cols ? 1 : 0, 0, 0};
    r.r1 = cols ? 1 : std::min(a.row, b.row);
    r.r2 = cols ? max_row : std::max(a.row, b.row);
    r.c1 = rows ? 1 : std::min(a.column, b.column);
    r.c2 = rows ? max_column : std::max(a.column, b.column);
    if (r.r1 < 1 || r.c1 < 1 || r.r2 > max_row || r.c2 > max_column) Bad(a1);
    out.push_back(r);
  }
  return out;
}

namespace {

std::string R1C1Part(char axis, std::int32_t n, bool absolute) {
  if (absolute) return std::string(1, axis) + std::to_string(n);
  // Relative references count from the first cell of the sheet.
  return n == 1 ? std::string(1, axis) : std::string(1, axis) + "[" + std::to_string(n - 1) + "]";
}

std::string FormatArea(const Area& a, bool ra, bool ca, std::int32_t style, std::int32_t max_row, std::int32_t max_col) {
  const bool whole_rows = a.c1 == 1 && a.c2 == max_col;
  const bool whole_cols = a.r1 == 1 && a.r2 == max_row && !whole_rows;
  if (style == xl::kR1C1) {
    if (whole_rows) {
      std::string s = R1C1Part('R', a.r1, ra);
      return a.r1 == a.r2 ? s : s + ":" + R1C1Part('R', a.r2, ra);
    }
    if (whole_cols) {
      std::string s = R1C1Part('C', a.c1, ca);
      return a.c1 == a.c2 ? s : s + ":" + R1C1Part('C', a.c2, ca);
    }
    std::string s = R1C1Part('R', a.r1, ra) + R1C1Part('C', a.c1, ca);
    return a.cells() == 1 ? s : s + ":" + R1C1Part('R', a.r2, ra) + R1C1Part('C', a.c2, ca);
  }
  const std::string rd = ra ? "$" : "", cd = ca ? "$" : "";
  if (whole_rows) return rd + std::to_string(a.r1) + ":" + rd + std::to_string(a.r2);
  if (whole_cols) return cd + ColumnLetters(a.c1) + ":" + cd + ColumnLetters(a.c2);
  std::string s = cd + ColumnLetters(a.c1) + rd + std::to_string(a.r1);
  return a.cells() == 1 ? s : s + ":" + cd + ColumnLetters(a.c2) + rd + std::to_string(a.r2);
}

}  // namespace

std::string Format(const std::vector<Area>& areas, bool row_abs, bool col_abs, std::int32_t style, std::int32_t max_row,
                   std::int32_t max_column) {
  std::string out;
  for (const Area& a : areas) {
    if (!out.empty()) out += ",";
    out += FormatArea(a, row_abs, col_abs, style, max_row, max_column);
  }
  return out;
}

}  // namespace address

}  // namespace tessaly::sim
