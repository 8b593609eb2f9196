// Cell screen geometry: pane choice and visibility as pure rules, the host walked for the rest.
#include "tag/cell_geometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/error_policy.h"
#include "host/rounding.h"
#include "host/text.h"

namespace tessaly {

namespace {

// Split-bar allowances of a window split but not frozen, in points.
constexpr double kSplitBarX = 3.75, kSplitBarY = 4.5;

// Repainting of the windows is swallowed while this lives; lifting it never fails the caller.
class RepaintSuppression {
 public:
  RepaintSuppression(IWindowSystem& windows, std::vector<WindowHandle> targets) : windows_(windows), targets_(std::move(targets)) {
    for (WindowHandle w : targets_) Attempt([&] { return (windows_.SetRepaintSuppressed(w, true), 0); });
  }
  ~RepaintSuppression() {
    for (WindowHandle w : targets_) Attempt([&] { return (windows_.SetRepaintSuppressed(w, false), 0); });
  }
  RepaintSuppression(const RepaintSuppression&) = delete;
  RepaintSuppression& operator=(const RepaintSuppression&) = delete;

 private:
  IWindowSystem& windows_;
  std::vector<WindowHandle> targets_;
};

CellSpan SpanOf(IRange& r) { return {r.Row(), r.Column(), r.RowsCount(), r.ColumnsCount()}; }

// What the position rules read of the window and the target.
struct Situation {
  IExcelWindow& window;
  const RangePtr& target;
  PaneSetup panes;
  std::int32_t p = 1;
  double zoom = 1;
  bool whole_zoom = true;
  ScreenRect client;
  bool right_to_left = false;
};

// Host 12 and later, normal view: the pane converts points itself.
ScreenPoint ByPane(Situation& s) {
  PanePtr pane = s.window.Panes(s.p);
  return {pane->PointsToScreenPixelsX(RoundHalfEven(s.target->Left())),
          pane->PointsToScreenPixelsY(RoundHalfEven(s.target->Top()))};
}

// Host 12 and later, page layout view: the pane converts one axis right only while the other is
// scrolled to its start, so each coordinate is taken with the other scroll at 1 and the scroll
// put back, unseen. Failures are skipped step by step so the scroll is always restored.
std::optional<ScreenPoint> ByPaneInPageLayout(Situation& s, IWindowSystem& windows, WindowHandle book_window) {
  const std::int32_t left = RoundHalfEven(s.target->Left()), top = RoundHalfEven(s.target->Top());
  // Only the workbook window scrolls; the main window around it has nothing to hide.
  RepaintSuppression quiet(windows, {book_window});
  SkipFailures step;
  PanePtr pane;
  step([&] { pane = s.window.Panes(s.p); });
  if (!pane) return std::nullopt;
  auto scroll_row = Attempt([&] { return pane->ScrollRow(); });
  auto scroll_column = Attempt([&] { return pane->ScrollColumn(); });
  std::optional<std::int32_t> x, y;
  if (scroll_row && *scroll_row != 1) {
    if (step([&] { pane->SetScrollRow(1); })) {
      x = Attempt([&] { return pane->PointsToScreenPixelsX(left); });
      step([&] { pane->SetScrollRow(*scroll_row); });
    }
  } else if (scroll_row) {
    x = Attempt([&] { return pane->PointsToScreenPixelsX(left); });
  }
  if (scroll_column && *scroll_column != 1) {
    if (step([&] { pane->SetScrollColumn(1); })) {
      y = Attempt([&] { return pane->PointsToScreenPixelsY(top); });
      step([&] { pane->SetScrollColumn(*scroll_column); });
    }
  } else if (scroll_column) {
    y = Attempt([&] { return pane->PointsToScreenPixelsY(top); });
  }
  if (!x || !y) return std::nullopt;
  return ScreenPoint{*x, *y};
}

// Hosts before 12, whole zoom: the window converts pixels from the sheet's corner.
ScreenPoint ByWholeZoom(Situation& s, const ScaleFactors& scale) {
  const double z = s.zoom;
  double a = RoundHalfEven(z * s.target->Left());
  double b = RoundHalfEven(z * s.target->Top());
  const bool split = !s.panes.frozen;
  if (IsRightPane(s.panes, s.p)) {
    double offset = s.window.Panes(1)->VisibleRange()->Left() - s.window.Panes(2)->VisibleRange()->Left();
    a = RoundHalfEven(s.panes.split_horizontal + z * (s.target->Left() + offset));
    if (split) a = RoundHalfEven(a + kSplitBarX);
  }
  if (IsLowerPane(s.panes, s.p)) {
    std::int32_t lower = s.panes.count == 4 ? 3 : 2;
    double offset = s.window.Panes(1)->VisibleRange()->Top() - s.window.Panes(lower)->VisibleRange()->Top();
    b = RoundHalfEven(s.panes.split_vertical + z * (s.target->Top() + offset));
    if (split) b = RoundHalfEven(b + kSplitBarY);
  }
  return {s.window.PointsToScreenPixelsX(RoundHalfEven(a * scale.device_x)),
          s.window.PointsToScreenPixelsY(RoundHalfEven(b * scale.device_y))};
}

// Hosts before 12, fractional zoom: the grid's corner found by probing, plus the rows and columns
// before the target each rounded to whole pixels.
// Right to left, the columns run leftwards from the grid's top-right corner.
ScreenPoint ByScan(Situation& s, const GeometrySettings& settings) {
  ScreenPoint origin = GetTopLeftCellPosition(s.window, s.client, settings.scan, s.right_to_left);
  ScreenPoint d = GetRangeOffsetInPixels(s.window.Panes(s.p)->VisibleRange(), s.target, s.zoom, settings.scale);
  const double along = s.right_to_left ? -1 : 1;
  double x = double(origin.x) + along * d.x, y = double(origin.y) + d.y;
  const double bar_x = s.panes.frozen ? 0 : kSplitBarX, bar_y = s.panes.frozen ? 0 : kSplitBarY;
  if (IsRightPane(s.panes, s.p)) x = RoundHalfEven(x + along * (s.panes.split_horizontal + bar_x) * settings.scale.form_x);
  if (IsLowerPane(s.panes, s.p)) y = RoundHalfEven(y + (s.panes.split_vertical + bar_y) * settings.scale.form_y);
  return {RoundHalfEven(x), RoundHalfEven(y)};
}

// Hosts before 12: the cell at the computed point must be the target, or a chart moved onto the
// target tells where it is.
std::optional<ScreenPoint> Verified(Situation& s, IExcelApplication& app, IWindowSystem& windows,
                                    const GeometrySettings& settings, ScreenPoint at) {
  if (settings.excel_version >= 12 || (s.panes.frozen && s.p != s.panes.count) || !settings.allow_chart) return at;
  // Two pixels inside the cell from its corner: leftwards of a right-to-left cell's right edge.
  HostObjectPtr there = s.window.RangeFromPoint(s.right_to_left ? at.x - 3 : at.x + 2, at.y + 2);
  bool wrong = !there;
  if (there && iequals(there->TypeName(), "Range")) {
    RangePtr r = there->AsRange();
    wrong = r->Row() != s.target->Row() || r->Column() != s.target->Column();
  }
  if (!wrong) return at;
  return GetRangeScreenPositionByChartObject(app, windows, settings.main_window, s.target, s.right_to_left);
}

PaneSetup ReadPanes(IExcelWindow& window) {
  PaneSetup panes;
  panes.count = window.PanesCount();
  panes.frozen = window.FreezePanes();
  if (panes.count > 1) {
    panes.split_horizontal = RoundHalfEven(window.SplitHorizontal());
    panes.split_vertical = RoundHalfEven(window.SplitVertical());
  }
  return panes;
}

// Only what the pane choice needs is asked.
void ReadPaneStarts(IExcelWindow& window, PaneSetup& panes) {
  if (panes.count > 1 && !panes.frozen) {
    panes.active = window.ActivePane()->Index();
  } else if (panes.count > 1) {
    RangePtr second = window.Panes(2)->VisibleRange();
    panes.pane2_row = second->Row();
    panes.pane2_column = second->Column();
    if (panes.count == 4) panes.pane3_row = window.Panes(3)->VisibleRange()->Row();
  }
}

}  // namespace

ScaleFactors MakeScaleFactors(double dpi_x, double dpi_y) {
  auto sane = [](double dpi) { return std::isfinite(dpi) ? std::clamp(dpi, 24.0, 2400.0) : 96.0; };
  dpi_x = sane(dpi_x), dpi_y = sane(dpi_y);
  ScaleFactors f;
  f.twips_per_pixel_x = 1440 / dpi_x;
  f.twips_per_pixel_y = 1440 / dpi_y;
  f.device_x = float(dpi_x / 72);
  f.device_y = float(dpi_y / 72);
  f.form_x = float(20 / f.twips_per_pixel_x);
  f.form_y = float(20 / f.twips_per_pixel_y);
  return f;
}

ScaleFactors ScreenScale(const IScreenMetrics& screen, WindowHandle window) {
  return MakeScaleFactors(screen.LogicalPixelsPerInchX(window), screen.LogicalPixelsPerInchY(window));
}

std::int32_t ChoosePane(const PaneSetup& panes, std::int32_t row, std::int32_t column) {
  if (panes.count <= 1) return 1;
  if (!panes.frozen) return panes.active;
  if (panes.count == 4) return 1 + (column >= panes.pane2_column ? 1 : 0) + (row >= panes.pane3_row ? 2 : 0);
  bool side_by_side = panes.split_horizontal > 0;
  return (side_by_side ? column >= panes.pane2_column : row >= panes.pane2_row) ? 2 : 1;
}

bool WithinVisibleRange(const CellSpan& t, const CellSpan& v) {
  auto inside = [](std::int64_t first, std::int64_t count, std::int64_t v_first, std::int64_t v_count) {
    return first >= v_first && first + count <= v_first + v_count;
  };
  return inside(t.row, t.rows, v.row, v.rows) && inside(t.column, t.columns, v.column, v.columns);
}

bool IsRightPane(const PaneSetup& panes, std::int32_t p) {
  return (panes.count == 2 && panes.split_horizontal > 0 && p == 2) || (panes.count == 4 && (p == 2 || p == 4));
}

bool IsLowerPane(const PaneSetup& panes, std::int32_t p) {
  return (panes.count == 2 && p == 2 && panes.split_vertical > 0) || (panes.count == 4 && (p == 3 || p == 4));
}

double ZoomFactor(double zoom_percent) {
  if (!std::isfinite(zoom_percent)) return 1;
  return std::nearbyint(std::clamp(zoom_percent, 1.0, 10000.0) / 100 * 10000) / 10000;
}

WindowHandle GetActiveWindowHandle(IWindowSystem& windows, WindowHandle main_window) {
  WindowHandle desk = windows.FindChildWindow(main_window, "XLDESK", 0);
  return desk ? windows.FindChildWindow(desk, "EXCEL7", 0) : 0;
}

std::optional<CellPosition> LocateTarget(IExcelApplication& app, IWindowSystem& windows, const GeometrySettings& settings,
                                         const RangePtr& target) {
  ExcelWindowPtr window = app.ActiveWindow();
  if (!window || window->Type() != xl::kWindowWorkbook || window->WindowState() == xl::kMinimized) return std::nullopt;
  Situation s{*window, target, ReadPanes(*window), 1, 1, true, {}};
  // A host without the member shows its sheets left to right. One that has it but fails to answer
  // leaves the side of the cell, and so its place, unknown: no tag on a guess.
  const std::optional<bool> right_to_left = AttemptMember([&] { return window->DisplayRightToLeft(); }, false);
  if (!right_to_left) return std::nullopt;
  s.right_to_left = *right_to_left;
  s.zoom = ZoomFactor(window->Zoom());
  s.whole_zoom = s.zoom == std::floor(s.zoom);
  WindowHandle handle = GetActiveWindowHandle(windows, settings.main_window);
  if (!handle) return std::nullopt;
  ScreenRect c = windows.ClientRect(handle);
  ScreenPoint tl = windows.ClientToScreen(handle, {c.left, c.top}), br = windows.ClientToScreen(handle, {c.right, c.bottom});
  s.client = {tl.x, tl.y, br.x, br.y};

  ReadPaneStarts(*window, s.panes);
  CellSpan t = SpanOf(*target);
  s.p = ChoosePane(s.panes, t.row, t.column);
  if (!WithinVisibleRange(t, SpanOf(*window->Panes(s.p)->VisibleRange()))) return std::nullopt;

  std::optional<ScreenPoint> at;
  if (settings.excel_version >= 12 && window->View() != xl::kPageLayoutView) at = ByPane(s);
  else if (settings.excel_version >= 12) at = ByPaneInPageLayout(s, windows, handle);
  else if (s.whole_zoom) at = ByWholeZoom(s, settings.scale);
  else at = ByScan(s, settings);
  if (!at) return std::nullopt;
  const ScreenPoint computed = *at;
  at = Verified(s, app, windows, settings, *at);
  if (!at) return std::nullopt;
  return CellPosition{handle, s.client, *at, s.right_to_left, s.zoom, computed};
}

ScreenPoint GetTopLeftCellPosition(IExcelWindow& window, const ScreenRect& client, const ScanWindow& scan,
                                   bool right_to_left) {
  const std::int64_t step = std::max(1, scan.step);
  // A point outside the client area shows none of the window's cells: the scan stays inside it.
  const std::int64_t x_end = std::min<std::int64_t>(scan.h_end, client.width() - 1);
  const std::int64_t y_end = std::min<std::int64_t>(scan.v_end, client.height() - 1);
  for (std::int64_t dx = std::max(0, scan.h_start); dx <= x_end; dx += step)
    for (std::int64_t dy = std::max(0, scan.v_start); dy <= y_end; dy += step) {
      auto x = std::int32_t(right_to_left ? client.right - 1 - dx : client.left + dx), y = std::int32_t(client.top + dy);
      if (window.RangeFromPoint(x, y)) return {right_to_left ? x + 1 : x, y};
    }
  return {right_to_left ? client.right - 20 : client.left + 20, client.top + 20};
}

ScreenPoint GetRangeOffsetInPixels(const RangePtr& start, const RangePtr& target, double zoom, const ScaleFactors& scale) {
  auto sum = [&](bool rows) {
    const std::int32_t first = rows ? start->Row() : start->Column();
    const std::int32_t last = target ? (rows ? target->Row() : target->Column()) - 1
                                     : first + (rows ? start->RowsCount() : start->ColumnsCount()) - 1;
    std::int64_t total = 0;
    for (std::int32_t i = first; i <= last; ++i) {
      RangePtr line = rows ? start->RowsItem(i - first + 1) : start->ColumnsItem(i - first + 1);
      if ((rows ? line->EntireRow() : line->EntireColumn())->Hidden()) continue;
      total += rows ? RoundHalfEven(line->Height() * scale.form_y * zoom) : RoundHalfEven(line->Width() * scale.form_x * zoom);
    }
    return std::int32_t(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
  };
  std::int32_t dy = sum(true);
  return {sum(false), dy};
}

std::optional<ScreenPoint> GetRangeScreenPositionByChartObject(IExcelApplication& app, IWindowSystem& windows,
                                                               WindowHandle main_window, const RangePtr& target,
                                                               bool right_to_left) {
  ChartObjectPtr chart;
  auto found = Attempt([&]() -> std::optional<ScreenPoint> {
    chart = app.ActiveSheet()->ChartObjectsAdd(0, 2, 2, 2);
    chart->SetPlacement(xl::kFreeFloating);
    chart->SetTop(target->Top());
    chart->SetLeft(target->Left());
    chart->Activate();
    ChartObjectPtr done = std::move(chart);
    done->Delete();
    WindowHandle desk = windows.FindChildWindow(main_window, "XLDESK", 0);
    WindowHandle chart_window = desk ? windows.FindChildWindow(desk, "EXCELE", 0) : 0;
    if (!chart_window) return std::nullopt;
    ScreenRect r = windows.WindowScreenRect(chart_window);
    // The chart stands from the cell's corner towards the reading: leftwards on a right-to-left sheet.
    return ScreenPoint{right_to_left ? r.right : r.left, r.top};
  });
  // A chart left behind by a failure would be a change to the user's sheet.
  if (chart) Attempt([&] { return (chart->Delete(), 0); });
  return found ? *found : std::nullopt;
}

}  // namespace tessaly
