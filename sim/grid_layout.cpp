// Pixel layout of a workbook window's grid.
#include "sim/grid_layout.h"

#include <algorithm>
#include <cmath>

namespace tessaly::sim {

namespace {

// The headers of a window at 100 % and 96 pixels per inch; they scale with the screen, not the zoom.
constexpr double kHeaderWidthPoints = 19.5;   // 26 pixels
constexpr double kHeaderHeightPoints = 15.0;  // 20 pixels

const GridBand* Find(const std::vector<GridBand>& bands, std::int32_t index) {
  for (const GridBand& b : bands)
    if (b.index == index) return &b;
  return nullptr;
}

const GridBand* Under(const std::vector<GridBand>& bands, std::int32_t p) {
  for (const GridBand& b : bands)
    if (p >= b.start && p < b.end()) return &b;
  return nullptr;
}

}  // namespace

std::int32_t PointsToPixels(double points, double zoom, double dpi) {
  return static_cast<std::int32_t>(std::nearbyint(points * zoom * dpi / 72.0));
}

std::vector<GridBand> LayOutBands(const LineSize& size, std::int32_t first, std::int32_t last, std::int32_t origin,
                                  std::int32_t extent, double zoom, double dpi) {
  std::vector<GridBand> bands;
  std::int32_t at = origin;
  for (std::int32_t n = std::max(first, 1); n <= last && at < extent; ++n) {
    const std::int32_t px = PointsToPixels(size(n), zoom, dpi);
    if (px <= 0) continue;
    bands.push_back({n, at, px});
    at += px;
  }
  return bands;
}

GridLayout LayOutGrid(const LineSize& column_width, const LineSize& row_height, std::int32_t scroll_row,
                      std::int32_t scroll_column, std::int32_t max_row, std::int32_t max_column,
                      const GridScale& scale, std::int32_t client_width, std::int32_t client_height) {
  GridLayout g;
  g.header_width = PointsToPixels(kHeaderWidthPoints, 1.0, scale.dpi_x);
  g.header_height = PointsToPixels(kHeaderHeightPoints, 1.0, scale.dpi_y);
  g.columns = LayOutBands(column_width, scroll_column, max_column, g.header_width, client_width, scale.zoom, scale.dpi_x);
  g.rows = LayOutBands(row_height, scroll_row, max_row, g.header_height, client_height, scale.zoom, scale.dpi_y);
  return g;
}

std::optional<CellRef> CellAt(const GridLayout& layout, std::int32_t x, std::int32_t y) {
  const GridBand* c = Under(layout.columns, x);
  const GridBand* r = Under(layout.rows, y);
  if (!c || !r) return std::nullopt;
  return CellRef{r->index, c->index};
}

std::optional<CellBox> CellRect(const GridLayout& layout, CellRef cell) {
  const GridBand* c = Find(layout.columns, cell.column);
  const GridBand* r = Find(layout.rows, cell.row);
  if (!c || !r) return std::nullopt;
  return CellBox{c->start, r->start, c->end(), r->end()};
}

}  // namespace tessaly::sim
