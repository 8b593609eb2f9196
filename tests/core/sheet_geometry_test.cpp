// The stand-in host's header borders as the mouse takes them: a column's far edge in the reading
// direction, mirrored on a right-to-left sheet, and a row's bottom edge, each sized from its
// opposite edge.
#include <gtest/gtest.h>

#include "sim/sheet_geometry.h"

namespace tessaly::sim {
namespace {

TEST(SheetGeometry, header_borders_follow_the_reading_direction) {
  const Axis rows = StandardAxis(15), columns = StandardAxis(48);
  for (const bool right_to_left : {false, true}) {
    SCOPED_TRACE(right_to_left ? "right to left" : "left to right");
    const SheetAxes axes{rows, columns, 1048576, 16384, right_to_left};
    const WindowLayout layout = LayoutWindow(axes, WindowModel{}, {0, 0, 800, 600}, 96, 96);
    const ScreenRect b2 = CellRect(axes, layout, layout.panes.at(0), 2, 2);
    const int outwards = right_to_left ? -1 : 1;

    const auto column = ColumnBorderPoint(axes, layout, 2);
    ASSERT_TRUE(column);
    EXPECT_EQ(column->x, right_to_left ? b2.left : b2.right - 1);
    const auto taken = HeaderBorderAt(axes, layout, {column->x + outwards, column->y}, 2);
    ASSERT_TRUE(taken);
    EXPECT_TRUE(taken->column);
    EXPECT_EQ(taken->index, 2);
    EXPECT_EQ(DraggedPixels(*taken, {column->x + 10 * outwards, column->y}), b2.width() + 10);
    EXPECT_EQ(DraggedPixels(*taken, {(right_to_left ? b2.right : b2.left) - 5 * outwards, column->y}), 0);

    const auto row = RowBorderPoint(axes, layout, 2);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->y, b2.bottom - 1);
    EXPECT_TRUE(right_to_left ? row->x >= layout.grid.right : row->x < layout.grid.left) << "in the row headers";
    const auto taken_row = HeaderBorderAt(axes, layout, *row, 2);
    ASSERT_TRUE(taken_row);
    EXPECT_FALSE(taken_row->column);
    EXPECT_EQ(DraggedPixels(*taken_row, {row->x, row->y + 7}), b2.height() + 7);

    const auto before = HeaderBorderAt(axes, layout, {right_to_left ? b2.right - 1 : b2.left, column->y}, 2);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->index, 1) << "at a column's reading-start edge the mouse takes the border of column A";
    EXPECT_FALSE(HeaderBorderAt(axes, layout, {b2.right - 1, b2.top + 5}, 2)) << "no border among the cells";
  }
}

}  // namespace
}  // namespace tessaly::sim
