// Where the stand-in host's cells lie on screen: row and column sizes, pane rectangles, visible
// ranges, the cell under a point and the screen pixel of a sheet distance, from the window's zoom,
// view, splits and scrolling and the display's resolution. Pure functions: the object model
// answers with them and the stand-in executable paints with them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "host/excel.h"
#include "host/window_system.h"

namespace tessaly::sim {

// The rows or the columns of a sheet: sizes in points, counted from 1.
struct Axis {
  double standard = 15;                   // every row or column not listed below
  std::map<std::int32_t, double> sizes;   // those of another size
  std::set<std::int32_t> hidden;

  double Size(std::int32_t i) const;      // 0 when hidden
  double Start(std::int32_t i) const;     // points before i: the sum of the sizes of 1 .. i-1
  double Span(std::int32_t first, std::int32_t last) const { return Start(last + 1) - Start(first); }
  // Whole pixels of one row or column at that many pixels per point; each is rounded on its own.
  std::int32_t Pixels(std::int32_t i, double scale) const;
  // Pixels of from .. to-1 (negative when to lies before from).
  std::int64_t PixelSpan(std::int32_t from, std::int32_t to, double scale) const;
  // The last index whose start lies at or before the distance in points (1 for negative ones).
  std::int32_t IndexAtPoints(double points, std::int32_t count) const;
};

inline Axis StandardAxis(double points) {
  Axis a;
  a.standard = points;
  return a;
}

// A workbook window's view of its sheet.
struct WindowModel {
  std::int32_t type = xl::kWindowWorkbook;
  std::int32_t state = xl::kMaximized;
  double zoom = 100;  // percent
  std::int32_t view = xl::kNormalView;
  bool freeze = false;
  // Rows above and columns left of the split or the frozen panes, counted from the first row and
  // column of the top and left bands; 0: not split that way.
  std::int32_t split_row = 0, split_column = 0;
  std::array<std::int32_t, 2> scroll_row{1, 1};     // first row of the top and the bottom band
  std::array<std::int32_t, 2> scroll_column{1, 1};  // first column of the left and the right band
  std::int32_t active_pane = 1;

  std::int32_t PaneCount() const { return (split_row > 0 ? 2 : 1) * (split_column > 0 ? 2 : 1); }
  // The bands of a pane: 0 top or left, 1 bottom or right.
  std::int32_t RowBand(std::int32_t pane) const;
  std::int32_t ColumnBand(std::int32_t pane) const;
};

struct PaneLayout {
  std::int32_t index = 1;
  ScreenRect rect;  // on screen
  std::int32_t first_row = 1, first_column = 1;
  std::int32_t last_row = 1, last_column = 1;  // the last at least partly visible
};

struct WindowLayout {
  ScreenRect client;  // the window's client area on screen
  ScreenRect grid;    // the cells' area, right of the row headers and below the column headers
  double scale_x = 1, scale_y = 1;  // screen pixels per sheet point, zoom applied
  double split_horizontal = 0, split_vertical = 0;  // points on screen from the grid's corner
  std::vector<PaneLayout> panes;
  // A right-to-left sheet: the grid, the panes and every cell mirrored about the grid's middle;
  // column A, the first band and the sheet's corner at the right.
  bool right_to_left = false;
};

struct SheetAxes {
  const Axis& rows;
  const Axis& columns;
  std::int32_t max_row, max_column;
  // Worksheet.DisplayRightToLeft: column A at the right, the row headers right of the grid, and
  // every sheet distance along x measured leftwards from the grid's right edge.
  bool right_to_left = false;
};

// The split bars of a window split but not frozen, in points.
inline constexpr double kSplitBarWidth = 3.75;
inline constexpr double kSplitBarHeight = 4.5;

WindowLayout LayoutWindow(const SheetAxes& sheet, const WindowModel& window, ScreenRect client, double dpi_x, double dpi_y);

struct CellHit {
  std::int32_t pane = 1, row = 1, column = 1;
};
// The cell under a screen point; none over the headers, the split bars or outside the grid.
std::optional<CellHit> CellAt(const SheetAxes& sheet, const WindowLayout& layout, ScreenPoint p);
// The screen rectangle of a cell as the pane shows it (it may lie partly or wholly outside the pane).
ScreenRect CellRect(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, std::int32_t row,
                    std::int32_t column);
// The screen pixel of a sheet distance in points as the pane shows it (hosts 12 and later). On a
// right-to-left sheet the distance runs leftwards from the pane's right edge, so a cell's Left
// gives the screen x of its right edge, the edge nearest column A.
std::int32_t PaneScreenX(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, double points);
std::int32_t PaneScreenY(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, double points);
// A drawing object's rectangle on screen from its Left and Top in points (its leading corner, the
// top-right one on a right-to-left sheet) and its size.
ScreenRect ObjectRect(const SheetAxes& sheet, const WindowLayout& layout, const PaneLayout& pane, double left, double top,
                      double width, double height);
// A border in the headers that the mouse can take: a column's far edge in the reading direction
// (its right edge, its left one on a right-to-left sheet) or a row's bottom edge.
struct HeaderBorder {
  bool column = true;
  std::int32_t index = 1;
  std::int32_t at = 0;     // the border's screen x (a row's: y)
  std::int32_t start = 0;  // the opposite edge's, where the size is measured from
  bool leftwards = false;  // the size grows towards the left: a column of a right-to-left sheet
};
// The border within grip pixels of a point in the column or row headers; none elsewhere.
std::optional<HeaderBorder> HeaderBorderAt(const SheetAxes& sheet, const WindowLayout& layout, ScreenPoint p, std::int32_t grip);
// The point in the headers where a column's (a row's) border is taken; none when it is not shown.
std::optional<ScreenPoint> ColumnBorderPoint(const SheetAxes& sheet, const WindowLayout& layout, std::int32_t column);
std::optional<ScreenPoint> RowBorderPoint(const SheetAxes& sheet, const WindowLayout& layout, std::int32_t row);
// The size in pixels a border let go at the point gives; 0 at or beyond the opposite edge.
std::int32_t DraggedPixels(const HeaderBorder& border, ScreenPoint p);

// The pane that shows a cell, the first pane when none does.
const PaneLayout& PaneShowing(const WindowLayout& layout, std::int32_t row, std::int32_t column);

}  // namespace tessaly::sim
