// The stand-in host's screen geometry: sizes summed per row and column, panes laid out from the
// splits, points and pixels converted both ways.
#include "sim/sheet_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "host/rounding.h"

namespace tessaly::sim {

namespace {

// Header sizes at 96 pixels per inch: the row numbers' column and the column letters' row.
constexpr double kRowHeaderWidth = 26, kColumnHeaderHeight = 20;

bool Inside(const ScreenRect& r, ScreenPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The index at a pixel offset from `first`, walking row by row; none past `count`.
std::optional<std::int32_t> IndexAtPixel(const Axis& axis, std::int32_t first, std::int64_t offset, double scale,
                                         std::int32_t count) {
  std::int64_t at = 0;
  for (std::int32_t i = first; i <= count; ++i) {
    at += axis.Pixels(i, scale);
    if (offset < at) return i;
  }
  return std::nullopt;
}

// The last index at least partly inside `extent` pixels from `first`.
std::int32_t LastVisible(const Axis& axis, std::int32_t first, std::int64_t extent, double scale, std::int32_t count) {
  std::int32_t last = first;
  std::int64_t at = 0;
  for (std::int32_t i = first; i <= count && at < extent; ++i) {
    at += axis.Pixels(i, scale);
    if (axis.Pixels(i, scale) > 0 || i == first) last = i;
  }
  return last;
}

// A right-to-left layout is worked out left to right and mirrored about the grid's middle: an
// edge x goes to left + right - x, so a rectangle keeps its width.
std::int32_t MirrorEdge(const WindowLayout& l, std::int64_t x) {
  return std::int32_t(l.right_to_left ? std::int64_t(l.grid.left) + l.grid.right - x : x);
}
ScreenRect Mirror(const WindowLayout& l, const ScreenRect& r) {
  if (!l.right_to_left) return r;
  return {MirrorEdge(l, r.right), r.top, MirrorEdge(l, r.left), r.bottom};
}

std::int64_t ScreenOffset(const Axis& axis, std::int32_t first, double points, double scale, std::int32_t count) {
  std::int32_t i = axis.IndexAtPoints(points, count);
  return axis.PixelSpan(first, i, scale) + RoundHalfEven((points - axis.Start(i)) * scale);
}

}  // namespace

double Axis::Size(std::int32_t i) const {
  if (hidden.count(i)) return 0;
  auto it = sizes.find(i);
  return it == sizes.end() ? standard : it->second;
}

double Axis::Start(std::int32_t i) const {
  double s = double(i - 1) * standard;
  for (auto it = sizes.begin(); it != sizes.end() && it->first < i; ++it)
    if (!hidden.count(it->first)) s += it->second - standard;
  for (auto it = hidden.begin(); it != hidden.end() && *it < i; ++it) s -= standard;
  return s;
}

std::int32_t Axis::Pixels(std::int32_t i, double scale) const { return RoundHalfEven(Size(i) * scale); }

std::int64_t Axis::PixelSpan(std::int32_t from, std::int32_t to, double scale) const {
  if (to < from) return -PixelSpan(to, from, scale);
  const std::int64_t unit = RoundHalfEven(standard * scale);
  std::int64_t px = std::int64_t(to - from) * unit;
  for (auto it = sizes.lower_bound(from); it != sizes.end() && it->first < to; ++it)
    if (!hidden.count(it->first)) px += RoundHalfEven(it->second * scale) - unit;
  for (auto it = hidden.lower_bound(from); it != hidden.end() && *it < to; ++it) px -= unit;
  return px;
}

std::int32_t Axis::IndexAtPoints(double points, std::int32_t count) const {
  std::int32_t lo = 1, hi = count;
  while (lo < hi) {  // the last i with Start(i) <= points
    std::int32_t mid = lo + (hi - lo + 1) / 2;
    if (Start(mid) <= points) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

std::int32_t WindowModel::RowBand(std::int32_t pane) const {
  if (split_row == 0) return 0;
  return split_column == 0 ? (pane == 2 ? 1 : 0) : (pane >= 3 ? 1 : 0);
}

std::int32_t WindowModel::ColumnBand(std::int32_t pane) const {
  if (split_column == 0) return 0;
  return split_row == 0 ? (pane == 2 ? 1 : 0) : (pane == 2 || pane == 4 ? 1 : 0);
}

WindowLayout LayoutWindow(const SheetAxes& sheet, const WindowModel& w, ScreenRect client, double dpi_x, double dpi_y) {
  WindowLayout out;
  out.client = client;
  const double zoom = std::clamp(w.zoom, 10.0, 400.0) / 100;
  out.scale_x = dpi_x / 72 * zoom;
  out.scale_y = dpi_y / 72 * zoom;
  out.right_to_left = sheet.right_to_left;
  const std::int32_t header = RoundHalfEven(kRowHeaderWidth * dpi_x / 96);
  out.grid = {std::min(client.right, client.left + header),
              std::min(client.bottom, client.top + RoundHalfEven(kColumnHeaderHeight * dpi_y / 96)), client.right,
              client.bottom};
  // The row headers stand at the reading start: right of the grid on a right-to-left sheet.
  if (out.right_to_left) out.grid.left = client.left, out.grid.right = std::max(client.left, client.right - header);
  // The bands' edges: [start, end) of the first band and start of the second.
  std::int32_t x_split = out.grid.right, x_second = out.grid.right;
  if (w.split_column > 0) {
    std::int64_t width = sheet.columns.PixelSpan(w.scroll_column[0], w.scroll_column[0] + w.split_column, out.scale_x);
    x_split = std::int32_t(std::min<std::int64_t>(out.grid.left + width, out.grid.right));
    x_second = std::min(out.grid.right, x_split + (w.freeze ? 0 : RoundHalfEven(kSplitBarWidth * dpi_x / 72)));
    out.split_horizontal = double(x_split - out.grid.left) * 72 / dpi_x;
  }
  std::int32_t y_split = out.grid.bottom, y_second = out.grid.bottom;
  if (w.split_row > 0) {
    std::int64_t height = sheet.rows.PixelSpan(w.scroll_row[0], w.scroll_row[0] + w.split_row, out.scale_y);
    y_split = std::int32_t(std::min<std::int64_t>(out.grid.top + height, out.grid.bottom));
    y_second = std::min(out.grid.bottom, y_split + (w.freeze ? 0 : RoundHalfEven(kSplitBarHeight * dpi_y / 72)));
    out.split_vertical = double(y_split - out.grid.top) * 72 / dpi_y;
  }
  for (std::int32_t p = 1; p <= w.PaneCount(); ++p) {
    PaneLayout pane;
    pane.index = p;
    const std::int32_t rb = w.RowBand(p), cb = w.ColumnBand(p);
    pane.rect = Mirror(out, {cb ? x_second : out.grid.left, rb ? y_second : out.grid.top, cb ? out.grid.right : x_split,
                             rb ? out.grid.bottom : y_split});
    pane.first_row = std::clamp(w.scroll_row[rb], 1, sheet.max_row);
    pane.first_column = std::clamp(w.scroll_column[cb], 1, sheet.max_column);
    pane.last_row = LastVisible(sheet.rows, pane.first_row, pane.rect.height(), out.scale_y, sheet.max_row);
    pane.last_column = LastVisible(sheet.columns, pane.first_column, pane.rect.width(), out.scale_x, sheet.max_column);
    out.panes.push_back(pane);
  }
  return out;
}

std::optional<CellHit> CellAt(const SheetAxes& sheet, const WindowLayout& layout, ScreenPoint p) {
  for (const PaneLayout& pane : layout.panes) {
    if (!Inside(pane.rect, p)) continue;
    // Pixels from the pane's leading edge: its right edge on a right-to-left sheet.
    const std::int64_t dx = layout.right_to_left ? std::int64_t(pane.rect.right) - 1 - p.x : p.x - pane.rect.left;
    auto column = IndexAtPixel(sheet.columns, pane.first_column, dx, layout.scale_x, sheet.max_column);
    auto row = IndexAtPixel(sheet.rows, pane.first_row, p.y - pane.rect.top, layout.scale_y, sheet.max_row);
    if (!row || !column) return std::nullopt;
    return CellHit{pane.index, *row, *column};
  }
  return std::nullopt;
}

ScreenRect CellRect(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, std::int32_t row,
                    std::int32_t column) {
  const ScreenRect logical = Mirror(layout, pane.rect);
  auto left = logical.left + sheet.columns.PixelSpan(pane.first_column, column, layout.scale_x);
  auto top = pane.rect.top + sheet.rows.PixelSpan(pane.first_row, row, layout.scale_y);
  return Mirror(layout, {std::int32_t(left), std::int32_t(top), std::int32_t(left + sheet.columns.Pixels(column, layout.scale_x)),
                         std::int32_t(top + sheet.rows.Pixels(row, layout.scale_y))});
}

ScreenRect ObjectRect(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, double left, double top,
                      double width, double height) {
  const std::int32_t x = PaneScreenX(sheet, layout, pane, left), y = PaneScreenY(sheet, layout, pane, top);
  const std::int32_t w = RoundHalfEven(width * layout.scale_x), h = RoundHalfEven(height * layout.scale_y);
  return layout.right_to_left ? ScreenRect{x - w, y, x, y + h} : ScreenRect{x, y, x + w, y + h};
}

std::int32_t PaneScreenX(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, double points) {
  const ScreenRect logical = Mirror(layout, pane.rect);
  return MirrorEdge(layout, logical.left + ScreenOffset(sheet.columns, pane.first_column, points, layout.scale_x, sheet.max_column));
}

std::int32_t PaneScreenY(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, double points) {
  return std::int32_t(pane.rect.top + ScreenOffset(sheet.rows, pane.first_row, points, layout.scale_y, sheet.max_row));
}

const PaneLayout& PaneShowing(const WindowLayout& layout, std::int32_t row, std::int32_t column) {
  for (const PaneLayout& pane : layout.panes)
    if (row >= pane.first_row && row <= pane.last_row && column >= pane.first_column && column <= pane.last_column)
      return pane;
  return layout.panes.front();
}

namespace {

// The column headers' band and the row headers' band, each across the whole grid.
bool InColumnHeaders(const WindowLayout& l, ScreenPoint p) {
  return p.y >= l.client.top && p.y < l.grid.top && (l.right_to_left ? p.x < l.grid.right : p.x >= l.grid.left);
}
bool InRowHeaders(const WindowLayout& l, ScreenPoint p) {
  if (p.y < l.grid.top) return false;
  return l.right_to_left ? p.x >= l.grid.right && p.x < l.client.right : p.x >= l.client.left && p.x < l.grid.left;
}

HeaderBorder ColumnBorderOf(const SheetAxes& sheet, const WindowLayout& l, const PaneLayout& pane, std::int32_t column) {
  const ScreenRect r = CellRect(sheet, l, pane, pane.first_row, column);
  return l.right_to_left ? HeaderBorder{true, column, r.left, r.right - 1, true} : HeaderBorder{true, column, r.right - 1, r.left, false};
}
HeaderBorder RowBorderOf(const SheetAxes& sheet, const WindowLayout& l, const PaneLayout& pane, std::int32_t row) {
  const ScreenRect r = CellRect(sheet, l, pane, row, pane.first_column);
  return {false, row, r.bottom - 1, r.top, false};
}

// The panes of the first column band lie next to the row headers.
bool BesideRowHeaders(const WindowLayout& l, const PaneLayout& pane) {
  return l.right_to_left ? pane.rect.right == l.grid.right : pane.rect.left == l.grid.left;
}

}  // namespace

std::optional<HeaderBorder> HeaderBorderAt(const SheetAxes& sheet, const WindowLayout& layout, ScreenPoint p, std::int32_t grip) {
  const bool columns = InColumnHeaders(layout, p), rows = InRowHeaders(layout, p);
  for (const PaneLayout& pane : layout.panes) {
    const bool across = layout.right_to_left ? p.x >= pane.rect.left - grip && p.x < pane.rect.right
                                             : p.x >= pane.rect.left && p.x < pane.rect.right + grip;
    // The last one first: a column hidden before a border leaves that border to the shown one.
    if (columns && across)
      for (std::int32_t c = pane.last_column; c >= pane.first_column; --c) {
        const HeaderBorder b = ColumnBorderOf(sheet, layout, pane, c);
        if (std::abs(p.x - b.at) <= grip) return b;
      }
    if (rows && p.y >= pane.rect.top && p.y < pane.rect.bottom + grip)
      for (std::int32_t row = pane.last_row; row >= pane.first_row; --row) {
        const HeaderBorder b = RowBorderOf(sheet, layout, pane, row);
        if (std::abs(p.y - b.at) <= grip) return b;
      }
  }
  return std::nullopt;
}

std::optional<ScreenPoint> ColumnBorderPoint(const SheetAxes& sheet, const WindowLayout& layout, std::int32_t column) {
  for (const PaneLayout& pane : layout.panes) {
    if (pane.rect.top != layout.grid.top || column < pane.first_column || column > pane.last_column) continue;
    const HeaderBorder b = ColumnBorderOf(sheet, layout, pane, column);
    if (b.at < pane.rect.left || b.at >= pane.rect.right) return std::nullopt;
    return ScreenPoint{b.at, (layout.client.top + layout.grid.top) / 2};
  }
  return std::nullopt;
}

std::optional<ScreenPoint> RowBorderPoint(const SheetAxes& sheet, const WindowLayout& layout, std::int32_t row) {
  const std::int32_t x = layout.right_to_left ? (layout.grid.right + layout.client.right) / 2 : (layout.client.left + layout.grid.left) / 2;
  for (const PaneLayout& pane : layout.panes) {
    if (!BesideRowHeaders(layout, pane) || row < pane.first_row || row > pane.last_row) continue;
    const HeaderBorder b = RowBorderOf(sheet, layout, pane, row);
    if (b.at >= pane.rect.bottom) return std::nullopt;
    return ScreenPoint{x, b.at};
  }
  return std::nullopt;
}

std::int32_t DraggedPixels(const HeaderBorder& border, ScreenPoint p) {
  const std::int32_t to = border.column ? p.x : p.y;
  return std::max(0, (border.leftwards ? border.start - to : to - border.start) + 1);
}

}  // namespace tessaly::sim
