// Where a workbook window draws its headers, columns and rows: pixel bands from the sheet's sizes
// in points, the zoom and the screen's pixels per inch, and the cell under a client point.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tessaly::sim {

// The size in points of row or column n (counted from 1); 0 for a hidden one.
using LineSize = std::function<double(std::int32_t)>;

struct GridScale {
  double zoom = 1.0;           // the window's Zoom / 100
  double dpi_x = 96, dpi_y = 96;  // the screen's logical pixels per inch
};

// One row or column on screen: its index and its span in client pixels.
struct GridBand {
  std::int32_t index = 0;
  std::int32_t start = 0, size = 0;
  std::int32_t end() const { return start + size; }
  friend bool operator==(const GridBand&, const GridBand&) = default;
};

struct GridLayout {
  std::int32_t header_width = 0, header_height = 0;  // the row-number column and the letter row
  std::vector<GridBand> columns, rows;                // visible ones, the last possibly cut off
};

struct CellRef {
  std::int32_t row = 0, column = 0;
  friend bool operator==(const CellRef&, const CellRef&) = default;
};

// Points to whole pixels at a zoom, a half going to the even neighbour.
std::int32_t PointsToPixels(double points, double zoom, double dpi);

// The bands from line `first` on, each line rounded to whole pixels on its own, placed from
// `origin` until `extent` pixels are covered or `last` is reached. Hidden lines take no band.
std::vector<GridBand> LayOutBands(const LineSize& size, std::int32_t first, std::int32_t last, std::int32_t origin,
                                  std::int32_t extent, double zoom, double dpi);

// The whole window: headers sized for the scale, then the columns and rows from the scroll position.
GridLayout LayOutGrid(const LineSize& column_width, const LineSize& row_height, std::int32_t scroll_row,
                      std::int32_t scroll_column, std::int32_t max_row, std::int32_t max_column,
                      const GridScale& scale, std::int32_t client_width, std::int32_t client_height);

// The cell under a client point; empty over the headers or past the last band.
std::optional<CellRef> CellAt(const GridLayout& layout, std::int32_t x, std::int32_t y);

// The cell's client rectangle as left, top, right, bottom; empty when it is not laid out.
struct CellBox {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const CellBox&, const CellBox&) = default;
};
std::optional<CellBox> CellRect(const GridLayout& layout, CellRef cell);

}  // namespace tessaly::sim
