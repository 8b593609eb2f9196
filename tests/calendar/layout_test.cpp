// Calendar image layout: cell sizes, arrow and title rectangles, rows per line style, month grids.
#include "calendar/rebuild_image.h"

#include <tuple>

#include <gtest/gtest.h>

#include "tests/calendar/control_world.h"

namespace tessaly::calendar {
namespace {

// The raster surface's bold 8-point Tahoma: 6 pixels a character, lines 13 high.
LayoutInput input(int w, int h, bool dual = false) {
  LayoutInput in;
  in.width = w;
  in.height = h;
  in.dual_months = dual;
  in.header_text_height = 13;
  in.title_text_width = 90;
  return in;
}

TEST(CalendarLayout, CellWidthAndArrowsFollowTheWidth) {
  struct Case {
    const char* name;
    int width;
    bool dual;
    int month_width, cell_width;
    Rect prev, next;
    int second_month_left;
  };
  const Case cases[] = {
      {"one_month_100", 100, false, 96, 13, {2, 2, 15, 25}, {83, 2, 96, 25}, 0},
      {"two_months_301", 301, true, 144, 20, {2, 2, 22, 25}, {277, 2, 297, 25}, 150},
      {"pop_up_233", 233, false, 229, 32, {2, 2, 34, 25}, {197, 2, 229, 25}, 0},
      {"two_months_466", 466, true, 227, 32, {2, 2, 34, 25}, {430, 2, 462, 25}, 234},
      // (303 - 12) / 2 = 145.5 goes to the even 146.
      {"two_months_303_half_to_even", 303, true, 146, 20, {2, 2, 22, 25}, {279, 2, 299, 25}, 150},
      {"too_narrow", 10, false, 6, 0, {2, 2, 2, 25}, {6, 2, 6, 25}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CalendarLayout l = compute_layout(input(c.width, 161, c.dual));
    EXPECT_EQ(std::tuple(l.MonthWidth, l.CellWidth, l.ArrowWidth, l.ArrowHeight),
              std::tuple(c.month_width, c.cell_width, c.cell_width, 23));
    EXPECT_EQ(l.PrevArrowRect, c.prev);
    EXPECT_EQ(l.NextArrowRect, c.next);
    EXPECT_EQ(l.day_cell(0, 0, 0).left, 2);
    if (c.dual) {
      EXPECT_EQ(std::tuple(l.months, l.day_cell(1, 0, 0).left, l.header_cell(1, 0).left),
                std::tuple(2, c.second_month_left, c.second_month_left));
    }
  }
}

TEST(CalendarLayout, TitlesAreCentredOverEachMonthAndTheFocusFrameInset) {
  // (233 - 4 - 90) / 2 = 69.5 rounds to 70; the second title sits half the width further.
  const CalendarLayout one = compute_layout(input(233, 161));
  EXPECT_EQ(one.TitleRects[0], (Rect{70, 2, 160, 25}));
  const CalendarLayout two = compute_layout(input(466, 161, true));
  EXPECT_EQ(std::tuple(two.TitleRects[0], two.TitleRects[1]), std::tuple(Rect{70, 2, 160, 25}, Rect{302, 2, 392, 25}));
  // The arrow's focus frame is inset by two.
  EXPECT_EQ(arrow_focus_rect(Rect{2, 2, 34, 25}), (Rect{4, 4, 32, 23}));
}

TEST(CalendarLayout, RowsByLineStyleHeaderAndStampSpace) {
  struct Case {
    const char* name;
    int line_style;
    bool header;
    int stamp_space, offset, header_height, cell_height, first_row;
  };
  const Case cases[] = {
      {"none", 0, true, 10, 2, 17, 17, 51},
      {"raised", 1, true, 10, 0, 17, 17, 50},
      {"flat_one_shared_line", 2, true, 10, 1, 16, 16, 49},
      {"sunken", 3, true, 10, 0, 17, 17, 50},
      {"no_header", 3, false, 10, 0, 0, 19, 35},
      {"no_header_flat", 2, false, 10, 1, 0, 19, 35},
      {"no_stamp_space_moves_the_grid_up", 3, true, 0, 0, 17, 18, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayoutInput in = input(233, 161);
    in.line_style = c.line_style;
    in.show_day_header = c.header;
    in.stamp_day_head_space = c.stamp_space;
    const CalendarLayout l = compute_layout(in);
    EXPECT_EQ(std::tuple(l.LineOffset, l.HeaderHeight, l.CellHeight, l.FirstRowTop),
              std::tuple(c.offset, c.header_height, c.cell_height, c.first_row));
    // The header stays under the arrows, whatever the space below it.
    EXPECT_EQ(l.header_cell(0, 0), (Rect{2, 30, 34 + c.offset, 30 + c.header_height + c.offset}));
    // Cells are spaced a cell apart and drawn the line offset larger.
    const Rect a = l.day_cell(0, 2, 3), b = l.day_cell(0, 2, 4), below = l.day_cell(0, 3, 3);
    EXPECT_EQ(std::tuple(b.left - a.left, a.width(), below.top - a.top, a.height()),
              std::tuple(l.CellWidth, l.CellWidth + c.offset, l.CellHeight, l.CellHeight + c.offset));
    // The six weeks fit inside the control.
    EXPECT_LE(l.day_cell(0, 5, 6).bottom, 161);
  }
}

TEST(CalendarLayout, WeekColumnTakesItsWidthFromTheDays) {
  struct Case {
    const char* name;
    int width;
    bool dual;
    int week_width, cell_width, second_week_left;
  };
  const Case cases[] = {
      // "53" 12 pixels wide and 3 on either side: (229 - 18) / 7 = 30.
      {"pop_up_233", 233, false, 18, 30, 0},
      {"two_months_466", 466, true, 18, 29, 231},
      // Never more than a quarter of the month.
      {"too_narrow", 40, false, 9, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayoutInput in = input(c.width, 161, c.dual);
    in.week_numbers = true;
    in.week_text_width = 12;
    const CalendarLayout l = compute_layout(in);
    EXPECT_EQ(std::tuple(l.WeekColumnWidth, l.CellWidth, l.ArrowWidth),
              std::tuple(c.week_width, c.cell_width, c.cell_width));
    // The column lies left of the days in every row and beside the header, the days after it.
    EXPECT_EQ(l.week_cell(0, 2), (Rect{2, l.day_cell(0, 2, 0).top, 2 + c.week_width, l.day_cell(0, 2, 0).bottom}));
    EXPECT_EQ(std::tuple(l.week_cell(0, -1).top, l.week_cell(0, -1).bottom),
              std::tuple(l.HeaderTop, l.header_cell(0, 0).bottom));
    EXPECT_EQ(std::tuple(l.day_cell(0, 0, 0).left, l.header_cell(0, 0).left), std::tuple(2 + c.week_width, 2 + c.week_width));
    EXPECT_LE(l.day_cell(0, 5, 6).right, c.dual ? c.width / 2 : c.width - 2);
    if (c.dual) {
      EXPECT_EQ(std::tuple(l.week_cell(1, 0).left, l.day_cell(1, 0, 0).left),
                std::tuple(c.second_week_left, c.second_week_left + c.week_width));
    }
  }
  // Without week numbers there is no column.
  EXPECT_TRUE(compute_layout(input(233, 161)).week_cell(0, 0).empty());
}

TEST(CalendarLayout, ArrowTrianglesPointTheRightWayInsideTheButton) {
  const Rect arrows[] = {{2, 2, 34, 25}, {197, 2, 229, 25}, {2, 2, 15, 25}, {0, 0, 3, 3}};
  for (const Rect& a : arrows) {
    for (bool left : {true, false}) {
      const Triangle t = arrow_triangle(a, left);
      for (auto [x, y] : {std::pair{t.x1, t.y1}, {t.x2, t.y2}, {t.x3, t.y3}}) {
        EXPECT_TRUE(a.contains(x, y) || a.width() < 6) << x << "," << y;
      }
      // The tip is the one corner on the middle line, on the pointing side of the base.
      EXPECT_EQ(std::tuple(t.x2, t.y1 - t.y2), std::tuple(t.x3, t.y3 - t.y1));
      EXPECT_GT(t.y3, t.y2);
      EXPECT_GT(left ? t.x2 - t.x1 : t.x1 - t.x2, 0) << "the tip lies " << (left ? "left" : "right") << " of the base";
    }
  }
}

TEST(DragOverlap, RightAndBottomEdgesAreExclusive) {
  const Rect cell{34, 67, 66, 84};
  struct Case {
    Rect frame;
    bool hit;
  };
  const Case cases[] = {
      {{10, 10, 34, 100}, false},  // ends on the cell's left edge
      {{10, 10, 35, 100}, true},   // one pixel in
      {{66, 60, 90, 90}, false},   // starts on its right edge
      {{65, 60, 90, 90}, true},
      {{40, 10, 50, 67}, false},   // ends on its top edge
      {{40, 84, 50, 90}, false},   // starts on its bottom edge
      {{40, 70, 41, 71}, true},    // inside
      {{40, 70, 40, 80}, false},   // no width
  };
  for (const auto& c : cases) {
    EXPECT_EQ(overlaps(c.frame, cell), c.hit)
        << c.frame.left << "," << c.frame.top << "," << c.frame.right << "," << c.frame.bottom;
  }
}

}  // namespace
}  // namespace tessaly::calendar
