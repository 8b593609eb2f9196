// Where everything of the calendar image goes: arrow, title, header and day-cell rectangles
// computed from the control's size, options and two font measurements, and each month's 42 days.
#pragma once

#include <array>

#include "calendar/month_model.h"
#include "host/surface.h"

namespace tessaly::calendar {

struct LayoutInput {
  int width = 0, height = 0;
  bool dual_months = false;
  int dual_months_space = 8;
  int line_style = 3;  // 0 none, 1 raised, 2 flat, 3 sunken
  bool show_day_header = true;
  int stamp_day_head_space = 10;
  int header_text_height = 0;  // height of "Wednesday" in the header font
  int title_text_width = 0;    // width of the widest month title in the title font
  bool week_numbers = false;   // a column of week numbers at the left of each month's days
  int week_text_width = 0;     // width of the widest week number in the day font
};

struct CalendarLayout {
  int months = 1;
  int MonthWidth = 0;
  int CellWidth = 0, CellHeight = 0;
  int ArrowWidth = 0, ArrowHeight = 23;
  int DualMonthsSpace = 8;
  // The week-number column before each month's days; 0 without week numbers.
  int WeekColumnWidth = 0;
  // Cells are spaced CellWidth apart but drawn LineOffset wider and higher.
  int LineOffset = 0;
  bool HasHeader = true;
  int HeaderTop = 0, HeaderHeight = 0;
  int FirstRowTop = 0;
  Rect PrevArrowRect, NextArrowRect;
  std::array<Rect, 2> TitleRects{};

  // month and row/column are 0-based; month_left is where the month's day columns begin.
  int month_left(int month) const {
    return (WeekColumnWidth + 7 * CellWidth + DualMonthsSpace) * month + 2 + WeekColumnWidth;
  }
  Rect header_cell(int month, int column) const;
  Rect day_cell(int month, int row, int column) const;
  // The week column's cell in a row (row -1: beside the weekday header); empty without week numbers.
  Rect week_cell(int month, int row) const;
};

CalendarLayout compute_layout(const LayoutInput& in);

// The focus frame of an arrow: its rectangle inset by 2 pixels on every side.
Rect arrow_focus_rect(const Rect& arrow);

// The three corners of an arrow drawn as a shape: a triangle centred in the arrow rectangle,
// pointing left or right.
struct Triangle {
  int x1, y1, x2, y2, x3, y3;
  friend bool operator==(const Triangle&, const Triangle&) = default;
};
Triangle arrow_triangle(const Rect& arrow, bool points_left);

enum class Period { Pre, Current, Post };
struct GridDay {
  double date = 0;
  Period period = Period::Current;
};
// The six weeks of a month's grid in reading order.
std::array<GridDay, 42> month_grid(const clsDateVars& vars);

// Whether a drag frame and a cell overlap, right and bottom edges of both excluded; an empty
// rectangle overlaps nothing.
bool overlaps(const Rect& frame, const Rect& cell);

}  // namespace tessaly::calendar
