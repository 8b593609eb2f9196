// The stand-in workbook window's grid: bands from sizes in points, and the cell under a point.
#include "sim/grid_layout.h"

#include <gtest/gtest.h>

namespace tessaly::sim {
namespace {

TEST(grid_layout, bands_round_each_line_and_skip_hidden_ones) {
  struct Case {
    const char* what;
    double zoom, dpi;
    std::int32_t first;
    std::vector<GridBand> expected;
  } cases[] = {
      // Column 2 is hidden, column 3 is 10.5 points wide.
      {"100 % at 96 dpi", 1.0, 96, 1, {{1, 26, 64}, {3, 90, 14}, {4, 104, 64}, {5, 168, 64}}},
      {"75 %: 36 points and 7.875 px each rounded", 0.75, 96, 1, {{1, 26, 48}, {3, 74, 10}, {4, 84, 48}, {5, 132, 48}}},
      {"144 dpi", 1.0, 144, 3, {{3, 26, 21}, {4, 47, 96}, {5, 143, 96}}},
  };
  auto width = [](std::int32_t n) { return n == 2 ? 0.0 : n == 3 ? 10.5 : 48.0; };
  for (const Case& c : cases)
    EXPECT_EQ(LayOutBands(width, c.first, 5, 26, 200, c.zoom, c.dpi), c.expected) << c.what;
}

TEST(grid_layout, cell_under_a_point_and_cell_rectangles) {
  auto width = [](std::int32_t) { return 48.0; };
  auto height = [](std::int32_t) { return 15.0; };
  const GridLayout g = LayOutGrid(width, height, 3, 2, 1048576, 16384, {}, 300, 100);
  EXPECT_EQ(g.header_width, 26);
  EXPECT_EQ(g.header_height, 20);
  EXPECT_EQ(CellAt(g, 26, 20), (CellRef{3, 2}));
  EXPECT_EQ(CellAt(g, 89, 39), (CellRef{3, 2}));
  EXPECT_EQ(CellAt(g, 90, 40), (CellRef{4, 3}));
  EXPECT_EQ(CellAt(g, 25, 50), std::nullopt);  // the row header
  EXPECT_EQ(CellAt(g, 50, 100), std::nullopt);  // below the window
  EXPECT_EQ(CellRect(g, {4, 3}), (CellBox{90, 40, 154, 60}));
  EXPECT_EQ(CellRect(g, {1, 1}), std::nullopt);  // scrolled out
}

}  // namespace
}  // namespace tessaly::sim
