// Where a cell lies on screen: the workbook window's handle and client area, the pane that shows
// the cell, whether it is wholly in view, and the screen pixel of its top-left corner by the
// position rule the host's version, view and zoom call for.
#pragma once

#include <cstdint>
#include <optional>

#include "host/excel.h"
#include "host/screen_metrics.h"
#include "host/window_system.h"

namespace tessaly {

// Pixels per point of the screen, fixed for one showing.
struct ScaleFactors {
  float device_x = 96.f / 72, device_y = 96.f / 72;  // logical pixels per inch / 72
  float form_x = 20.f / 15, form_y = 20.f / 15;      // 20 twips per point / twips per pixel
  double twips_per_pixel_x = 15, twips_per_pixel_y = 15;
};
// From the display's logical pixels per inch, taken into 24 .. 2400 so that a display reporting
// nonsense never divides by zero.
ScaleFactors MakeScaleFactors(double dpi_x, double dpi_y);
ScaleFactors ScreenScale(const IScreenMetrics& screen, WindowHandle window);

// The grid-origin scan window in pixels from the client corner; a step below 1 is 1.
struct ScanWindow {
  std::int32_t h_start = 1, h_end = 150, v_start = 1, v_end = 150, step = 2;
};

struct GeometrySettings {
  int excel_version = 12;
  WindowHandle main_window = 0;  // the host's XLMAIN
  ScanWindow scan;
  bool allow_chart = false;       // AllowPositionByAddingChart
  ScaleFactors scale;
};

// A cell's row and column span.
struct CellSpan {
  std::int32_t row = 1, column = 1, rows = 1, columns = 1;
};

// The panes of a window and where panes 2 and 3 begin.
struct PaneSetup {
  std::int32_t count = 1;
  bool frozen = false;
  double split_horizontal = 0;  // rounded to whole points
  double split_vertical = 0;
  std::int32_t active = 1;          // ActivePane.Index, asked only of a split window not frozen
  std::int32_t pane2_row = 1, pane2_column = 1;  // first row and column of pane 2's visible range
  std::int32_t pane3_row = 1;                    // first row of pane 3's visible range
};

// The pane that shows the target: 1 top-left, 2 top-right (or bottom of two), 3 bottom-left,
// 4 bottom-right.
std::int32_t ChoosePane(const PaneSetup& panes, std::int32_t target_row, std::int32_t target_column);
// True when the target lies wholly inside the visible range (its partly visible far edges included).
bool WithinVisibleRange(const CellSpan& target, const CellSpan& visible);
// Right-hand and lower panes of a window, for the split offsets.
bool IsRightPane(const PaneSetup& panes, std::int32_t p);
bool IsLowerPane(const PaneSetup& panes, std::int32_t p);
// Window.Zoom / 100 held to four decimals, as a fixed-point currency value would hold it.
double ZoomFactor(double zoom_percent);

struct CellPosition {
  WindowHandle window = 0;  // the workbook window (EXCEL7)
  ScreenRect client;        // its client area on screen
  // The target's corner on screen where its sheet distances start: the top-left corner, or the
  // top-right one on a sheet shown right to left (Window.DisplayRightToLeft), whose Left the host
  // measures leftwards from column A at the right.
  ScreenPoint at;
  bool right_to_left = false;
  double zoom = 1;          // the zoom factor
  ScreenPoint computed;     // the corner by the position rule, before a chart probe put it right
};

// The workbook window: the first EXCEL7 in the first XLDESK in the main window; 0 when not found.
WindowHandle GetActiveWindowHandle(IWindowSystem& windows, WindowHandle main_window);

// Locates the target on screen; empty when it is not on screen or the window is no workbook window.
// Throws HostError when the host fails (the page-layout rule excepted, which goes on step by step).
std::optional<CellPosition> LocateTarget(IExcelApplication& app, IWindowSystem& windows, const GeometrySettings& settings,
                                         const RangePtr& target);

// The first screen point of the scan, down each column before moving right, that has an object
// under it; the client corner plus 20 when none has. Points outside the client area are not asked.
// Right to left, the scan runs from the client's right edge leftwards, mirrored, and the answer is
// the edge right of the point found: the grid's top-right corner.
ScreenPoint GetTopLeftCellPosition(IExcelWindow& window, const ScreenRect& client, const ScanWindow& scan,
                                   bool right_to_left = false);

// Pixels from the start range's top-left cell to the target (or past the start range's last row
// and column when there is none): each row and column not hidden, rounded on its own.
ScreenPoint GetRangeOffsetInPixels(const RangePtr& start, const RangePtr& target, double zoom, const ScaleFactors& scale);

// The target's corner as a temporary free-floating chart moved onto it shows it in its EXCELE
// window (its top-right corner on a right-to-left sheet); empty on any failure. The chart never
// stays on the sheet.
std::optional<ScreenPoint> GetRangeScreenPositionByChartObject(IExcelApplication& app, IWindowSystem& windows,
                                                               WindowHandle main_window, const RangePtr& target,
                                                               bool right_to_left = false);

}  // namespace tessaly
